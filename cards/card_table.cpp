// SPDX-License-Identifier: MIT
#include "cards/cards.h"

CardGrid CardTable;

void BuildCardTable() {
    for (int r = 1; r <= 14; ++r) {
        for (int s = 1; s <= 4; ++s) {
            CardTable(r, s) = CardCode{RankChars[r - 1], SuitChars[s - 1]};
        }
    }
}

int RankValue(char rank) {
    switch (rank) {
    case 'A': return 14;
    case 'K': return 13;
    case 'Q': return 12;
    case 'J': return 11;
    case '0': return 10;
    default: return rank >= '2' && rank <= '9' ? rank - '0' : 0;
    }
}
