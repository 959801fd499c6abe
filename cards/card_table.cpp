// SPDX-License-Identifier: MIT
#include "cards/cards.h"

#include <array>

CardGrid CardTable;

void BuildCardTable() {
    for (int r = 1; r <= 14; ++r) {
        for (int s = 1; s <= 4; ++s) {
            CardTable(r, s) = CardCode{RankChars[r - 1], SuitChars[s - 1]};
        }
    }
}

std::string CardName(std::string_view code) {
    static constexpr std::array<std::string_view, 13> Ranks = {
        "ace", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "jack", "queen", "king"};
    static constexpr std::array<std::string_view, 4> Suits = {"spades", "hearts", "clubs", "diamonds"};
    if (code.size() != 2) return {};
    const std::size_t rank = RankChars.substr(0, 13).find(code[0]);
    const std::size_t suit = SuitChars.find(code[1]);
    if (rank == std::string_view::npos || suit == std::string_view::npos) return {};
    return std::string(Ranks[rank]) + " of " + std::string(Suits[suit]);
}
