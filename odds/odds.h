#pragma once
// The odds run behind "Play Hands" and the reading of the player count: the
// dealing, tallying, formatting and number reading, in plain C++. The two
// handlers that touch the window's controls are in play_hands.h.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/cards.h"

inline constexpr int DealsPerRun = 1000;

// The program's one random sequence: uniform in [0, 1) with 24 bits, from the
// same state at every start and never reseeded, so the first run after a
// start always plays the same deals.
float NextRandom();
void ResetRandom();  // back to the start-up state (for tests)

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

// FullDeck without the cards now in the slots.
std::string BuildRunDeck();

// Deals from a copy of runDeck: the community places that are empty in Slots
// now, then two cards for each opponent up to the player count.
DealtCards DealCards(const std::string& runDeck, const std::string& hole, double players);

// Compares the user's best hand with the best opponent's.
DealOutcome ScoreDeal(const std::string& hole, const DealtCards& deal);

inline DealOutcome PlayDeal(const std::string& runDeck, const std::string& hole, double players) {
    return ScoreDeal(hole, DealCards(runDeck, hole, players));
}
