// SPDX-License-Identifier: MIT
#pragma once
// The scoring rules followed step by step, one string search per card code and
// strings for the cards that make up flush, pair and high-card keys. Slow and
// plain on purpose: the tests hold EvaluateHand to exactly its values and the
// benchmark measures against it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cards/cards.h"

namespace literal {

// Rank value of a rank character: "A" 14, "K" 13, "Q" 12, "J" 11, "0" 10,
// digits their own value; 0 for anything else.
inline int RankValue(char rank) {
    switch (rank) {
    case 'A': return 14;
    case 'K': return 13;
    case 'Q': return 12;
    case 'J': return 11;
    case '0': return 10;
    default: return rank >= '2' && rank <= '9' ? rank - '0' : 0;
    }
}

inline double EvaluateHand(const std::string& hand) {
    constexpr std::int64_t K5 = 10'000'000'000, K4 = 100'000'000, K3 = 1'000'000, K2 = 10'000;

    int P[15][5] = {};
    for (int r = 1; r <= 14; ++r) {
        for (int s = 1; s <= 4; ++s) {
            P[r][s] = hand.find(CardTable(r, s)) != std::string::npos ? 1 : 0;
        }
    }

    int N[15] = {};
    int M[5] = {};
    for (int r = 1; r <= 14; ++r) {
        for (int s = 1; s <= 4; ++s) {
            N[r] += P[r][s];
            if (r >= 2) {
                M[s] += P[r][s];
            }
        }
    }

    int maxN = 0, run = 0, L = 0;
    for (int r = 1; r <= 14; ++r) {
        if (N[r] != 0) {
            maxN = std::max(maxN, N[r]);
            ++run;
        } else {
            L = std::max(L, run);
            run = 0;
        }
        L = std::max(L, run);
    }
    const int maxM = std::max({M[1], M[2], M[3], M[4]});

    // Appends the rank values of codes first .. first + count - 1 of `cards`,
    // 0 for each one past its end.
    auto appendCodes = [](std::int64_t value, const std::string& cards, std::size_t first, std::size_t count) {
        for (std::size_t c = first; c < first + count; ++c) {
            value = value * 100 + (2 * c < cards.size() ? RankValue(cards[2 * c]) : 0);
        }
        return value;
    };
    auto cardsOfRank = [&](int r) {
        std::string cards;
        for (int s = 1; s <= 4; ++s) {
            if (P[r][s] == 1) {
                cards += CardTable(r, s);
            }
        }
        return cards;
    };

    // 1. Straight flush
    if (maxM >= 5 && L >= 5) {
        for (int i = 10; i >= 1; --i) {
            for (int s = 1; s <= 4; ++s) {
                if (P[i][s] && P[i + 1][s] && P[i + 2][s] && P[i + 3][s] && P[i + 4][s]) {
                    return static_cast<double>(9 * K5 + i * K4);
                }
            }
        }
    }

    // 2. Four of a kind
    if (maxN == 4) {
        int i = 14;
        while (N[i] != 4) {
            --i;
        }
        int j = 0;
        for (int r = 14; r >= 2; --r) {
            if (r != i && N[r] >= 1) {
                j = r;
                break;
            }
        }
        return static_cast<double>(8 * K5 + i * K4 + j * K3);
    }

    // 3. Full house
    if (maxN == 3) {
        for (int i = 14; i >= 2; --i) {
            if (N[i] != 3) {
                continue;
            }
            for (int j = 14; j >= 2; --j) {
                if (j != i && N[j] >= 2) {
                    return static_cast<double>(7 * K5 + i * K4 + j * K3);
                }
            }
        }
    }

    // 4. Flush
    if (maxM >= 5) {
        for (int s = 1; s <= 4; ++s) {
            if (M[s] < 5) {
                continue;
            }
            std::string cards;
            for (int r = 14; r >= 2; --r) {
                if (P[r][s] == 1) {
                    cards += CardTable(r, s);
                }
            }
            cards = cards.substr(0, 10);
            return static_cast<double>(appendCodes(6, cards, 0, 5));
        }
    }

    // 5. Straight
    if (L >= 5) {
        for (int i = 10; i >= 1; --i) {
            if (N[i] >= 1 && N[i + 1] >= 1 && N[i + 2] >= 1 && N[i + 3] >= 1 && N[i + 4] >= 1) {
                return static_cast<double>(5 * K5 + i * K4);
            }
        }
    }

    // 6. Three of a kind
    if (maxN == 3) {
        for (int i = 14; i >= 2; --i) {
            if (N[i] != 3) {
                continue;
            }
            for (int j = 14; j >= 2; --j) {
                if (j == i || N[j] != 1) {
                    continue;
                }
                for (int k = j - 1; k >= 2; --k) {
                    if (k != i && N[k] == 1) {
                        return static_cast<double>(4 * K5 + i * K4 + j * K3 + k * K2);
                    }
                }
            }
        }
    }

    // 7. Two pair
    if (maxN == 2) {
        for (int i = 14; i >= 2; --i) {
            if (N[i] != 2) {
                continue;
            }
            for (int j = i - 1; j >= 2; --j) {
                if (N[j] != 2) {
                    continue;
                }
                for (int k = 14; k >= 2; --k) {
                    if (k != i && k != j && N[k] >= 1) {
                        return static_cast<double>(3 * K5 + i * K4 + j * K3 + k * K2);
                    }
                }
            }
        }
    }

    // 8. One pair
    if (maxN == 2) {
        int i = 14;
        while (i >= 2 && N[i] != 2) {
            --i;
        }
        if (i >= 2) {
            std::string cards = cardsOfRank(i);
            for (int j = 14; j >= 2; --j) {
                if (j != i && N[j] == 1) {
                    cards += cardsOfRank(j);
                }
            }
            cards = cards.substr(0, 10);
            return static_cast<double>(appendCodes(2, cards, 1, 4) * 100);
        }
    }

    // 9. High card
    std::string cards;
    for (int j = 14; j >= 2; --j) {
        if (N[j] == 1) {
            cards += cardsOfRank(j);
        }
    }
    cards = cards.substr(0, 10);
    return static_cast<double>(appendCodes(1, cards, 0, 5));
}

}  // namespace literal
