// SPDX-License-Identifier: MIT
#pragma once
// Cards and hand values: card codes, the deck, the card table and the
// seven-card evaluator. No toolkit headers here: the odds run, the tests and
// the benchmarks all use this without a window.

#include <array>
#include <string>
#include <string_view>

// A card code is two characters, rank then suit ("AS", "0H", "KD"); the ten is
// "0" so every code is two characters. Card sets are codes run together.
using CardCode = std::string;

// Rank characters by rank index 1..14; the ace stands at both ends.
inline constexpr std::string_view RankChars = "A234567890JQKA";
// Suit characters by suit index 1..4: spades, hearts, clubs, diamonds.
inline constexpr std::string_view SuitChars = "SHCD";

inline constexpr std::string_view FullDeck =
    "AS2S3S4S5S6S7S8S9S0SJSQSKS"
    "AH2H3H4H5H6H7H8H9H0HJHQHKH"
    "AC2C3C4C5C6C7C8C9C0CJCQCKC"
    "AD2D3D4D5D6D7D8D9D0DJDQDKD";

// The 14 x 4 table of codes by rank index r (1..14) and suit index s (1..4),
// stored flat rank by rank: entry (r, s) is flat[(r - 1) * 4 + (s - 1)].
struct CardGrid {
    std::array<CardCode, 56> flat;
    CardCode& operator()(int r, int s) { return flat[(r - 1) * 4 + (s - 1)]; }
    const CardCode& operator()(int r, int s) const { return flat[(r - 1) * 4 + (s - 1)]; }
};

extern CardGrid CardTable;

// Fills every entry of CardTable; running it again gives the same table.
void BuildCardTable();

// A card's name in spoken English, "ten of clubs", "ace of spades"; "" for a
// code that names no card.
std::string CardName(std::string_view code);

// Scores a set of cards into a whole number whose order is the order of poker
// hands: weight * 100^5 + key1 * 100^4 + ... + key5. Order and repeats of codes
// do not matter. Reads its own compile-time tables, not CardTable.
double EvaluateHand(const std::string& hand);
