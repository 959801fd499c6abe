// SPDX-License-Identifier: MIT
#pragma once
// The odds run behind "Play Hands" and the reading of the player count: the
// dealing, tallying, formatting and number reading, in plain C++. The two
// handlers that touch the window's controls are in play_hands.h.

#include <array>
#include <cstddef>
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

// Cards not dealt yet, in FullDeck's order: codes run together, at most
// FullDeck's 52 cards.
struct Deck {
    Deck() = default;
    explicit Deck(std::string_view cards);
    std::string_view Cards() const { return {codes.data(), size}; }

    std::array<char, 2 * FullDeck.size()> codes{};  // the cards, then room to close gaps in (see dealing.cpp)
    std::size_t size = 0;                           // the characters of codes in use
};

// Takes one random card out of a deck that holds each card once and returns
// it: for r, the engine's next word's top 24 bits as a number in [0, 1), the
// card at floor(r x cards left), counting from 0. An empty deck still uses a
// word and gives "".
CardCode DrawCard(Deck& deck);

// Takes every occurrence of a card code out of a deck; anything but a
// two-character code takes out nothing.
void RemoveCard(Deck& deck, std::string_view code);

// FullDeck without the given cards, the cards in the slots when a run starts.
Deck BuildRunDeck(std::span<const CardCode> slotCards);

// The five community places in slot order, "" where a place is empty.
using CommunityCards = std::array<CardCode, 5>;

// The cards of one deal. A run deals every deal into the same one, so that
// after the first deal its strings need no new memory.
struct DealtCards {
    Deck deck;                           // the cards left undealt
    std::string board;                   // the five community cards in slot order
    std::vector<std::string> opponents;  // two cards each, opponent 2 first
};

// Deals from runDeck with DrawCard: the empty places of board in slot order,
// then two cards for each opponent up to the player count, first card before
// second; once the deck is empty, an opponent gets one card or none. A card
// of board still in runDeck (placed during the run) is taken out first; a
// place holding one of the hole cards (moved onto the board during the run)
// counts as empty.
void DealCards(DealtCards& deal, const Deck& runDeck, const std::string& hole, const CommunityCards& board,
               double players);

enum class DealOutcome { Win, Loss, Draw };

// Compares the user's best hand, hole cards and board, with the best
// opponent's; equal is a draw.
DealOutcome ScoreDeal(const std::string& hole, const DealtCards& deal);

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
