// SPDX-License-Identifier: MIT
#pragma once
// The odds run behind "Play Hands" and the reading of the player count: the
// dealing, tallying, formatting and number reading, in plain C++. The two
// handlers that touch the window's controls are in play_hands.h.

#include <array>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cards/cards.h"

inline constexpr int DealsPerRun = 1000;

// The program's one random sequence: the standard Mersenne Twister with its
// default seed, never reseeded, so the first run after a start always plays
// the same deals.
extern std::mt19937 RandomEngine;

// The engine's next word as a number in [0, 1): its top 24 bits, 2^-24 apart.
float NextRandom();

// Removes one random card from a deck that holds each card once and returns
// it; "" on an empty deck.
CardCode DrawCard(std::string& deck);

// Removes every occurrence of a card code from a card set.
void RemoveCard(std::string& cards, std::string_view code);

// The three status lines, each count as a share of the whole run in percent,
// joined by CR LF.
std::string FormatOdds(int wins, int losses, int draws, std::string_view decimalPoint = ".");

// The number the text starts with, "." as the decimal point, leading blanks
// skipped; 0 when it does not start with a number.
double ReadPlayerCount(std::string_view text);

// The whole text, blanks at the ends aside, as a number written with the
// given decimal point and group separator; nothing when it is not one.
std::optional<double> ReadLocaleNumber(std::string_view text, std::string_view decimalPoint,
                                       std::string_view groupSeparator);

inline constexpr double MinPlayers = 2;
inline constexpr double MaxPlayers = 10;
bool IsPlayerCountValid(std::optional<double> count);

enum class DealOutcome { Win, Loss, Draw };

// The cards of one simulated deal: the five community cards in slot order
// and each opponent's hand, opponent 2 first.
struct DealtCards {
    std::string board;
    std::vector<std::string> opponents;
};

// The five community places in slot order, "" where a place is empty.
using CommunityCards = std::array<CardCode, 5>;

// The cards of a card set string, a code every two characters; a code that
// names no card adds none.
CardSet CardsIn(std::string_view cards);

// The codes of a set's cards run together in FullDeck's order.
std::string CardCodes(CardSet cards);

// FullDeck without the given cards, the cards in the slots when a run starts.
CardSet BuildRunDeck(std::span<const CardCode> slotCards);

// Deals from runDeck: the empty places of board, then two cards for each
// opponent up to the player count, every card the one DrawCard would draw
// from the codes left. A card of board still in runDeck (placed during the
// run) is taken out first; a place holding a hole card (moved onto the board
// during the run) counts as empty.
DealtCards DealCards(CardSet runDeck, CardSet hole, const CommunityCards& board, double players);

// Compares the user's best hand with the best opponent's.
DealOutcome ScoreDeal(const std::string& hole, const DealtCards& deal);

// The outcome of the next deal, dealt as DealCards deals and scored as
// ScoreDeal scores, with card sets throughout.
DealOutcome PlayDeal(CardSet runDeck, CardSet hole, const CommunityCards& board, double players);
