// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <compare>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "cards/cards.h"
#include "tests/support/literal_evaluator.h"

namespace {

class CardsTest : public ::testing::Test {
protected:
    void SetUp() override { BuildCardTable(); }
};

std::string DeckCard(int index) { return std::string(FullDeck.substr(2 * static_cast<std::size_t>(index), 2)); }

std::string Shuffled(std::mt19937& rng) {
    std::array<int, 52> order{};
    for (int i = 0; i < 52; ++i) {
        order[i] = i;
    }
    std::shuffle(order.begin(), order.end(), rng);
    std::string cards;
    for (const int i : order) {
        cards += DeckCard(i);
    }
    return cards;
}

// A five-card scorer of its own for cross-checking order: category 0..8, then
// tie-break ranks by group size and rank (the straight's top card for straights).
using Score = std::array<int, 6>;

Score ScoreFive(const std::string& cards) {
    std::map<int, int> counts;
    std::set<char> suits;
    for (std::size_t c = 0; c < cards.size(); c += 2) {
        ++counts[literal::RankValue(cards[c])];
        suits.insert(cards[c + 1]);
    }
    std::vector<std::pair<int, int>> groups;  // (count, rank)
    for (const auto& [rank, count] : counts) {
        groups.emplace_back(count, rank);
    }
    std::sort(groups.rbegin(), groups.rend());

    const bool flush = suits.size() == 1;
    int straightTop = 0;
    if (groups.size() == 5) {
        if (groups[0].second - groups[4].second == 4) {
            straightTop = groups[0].second;
        } else if (groups[0].second == 14 && groups[1].second == 5) {
            straightTop = 5;
        }
    }

    int category = 0;
    if (straightTop != 0 && flush)
        category = 8;
    else if (groups[0].first == 4)
        category = 7;
    else if (groups[0].first == 3 && groups[1].first == 2)
        category = 6;
    else if (flush)
        category = 5;
    else if (straightTop != 0)
        category = 4;
    else if (groups[0].first == 3)
        category = 3;
    else if (groups[0].first == 2 && groups[1].first == 2)
        category = 2;
    else if (groups[0].first == 2)
        category = 1;

    Score score{category};
    if (straightTop != 0 && (category == 8 || category == 4)) {
        score[1] = straightTop;
        return score;
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
        score[g + 1] = groups[g].second;
    }
    return score;
}

Score BestOfSeven(const std::string& seven) {
    Score best{};
    for (int skipA = 0; skipA < 7; ++skipA) {
        for (int skipB = skipA + 1; skipB < 7; ++skipB) {
            std::string five;
            for (int c = 0; c < 7; ++c) {
                if (c != skipA && c != skipB) {
                    five += seven.substr(2 * static_cast<std::size_t>(c), 2);
                }
            }
            best = std::max(best, ScoreFive(five));
        }
    }
    return best;
}

int Sign(double x) { return (x > 0) - (x < 0); }
int Sign(std::strong_ordering o) { return (o > 0) - (o < 0); }

}  // namespace

TEST_F(CardsTest, AceRowsAtBothEndsAreEqual) {
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(CardTable(1, s), CardTable(14, s));
        EXPECT_EQ(CardTable(14, s), (std::string{'A', SuitChars[s - 1]}));
    }
    EXPECT_EQ(CardTable(10, 3), "0C");
}

TEST_F(CardsTest, RowsTwoToFourteenHoldExactlyTheDeck) {
    std::set<std::string> table;
    for (int r = 2; r <= 14; ++r) {
        for (int s = 1; s <= 4; ++s) {
            table.insert(CardTable(r, s));
        }
    }
    std::set<std::string> deck;
    for (int i = 0; i < 52; ++i) {
        deck.insert(DeckCard(i));
    }
    EXPECT_EQ(table.size(), 52u);
    EXPECT_EQ(table, deck);
}

TEST_F(CardsTest, FullDeckRunsFromAceOfSpadesToKingOfDiamonds) {
    EXPECT_EQ(FullDeck.size(), 104u);
    EXPECT_EQ(FullDeck.substr(0, 2), "AS");
    EXPECT_EQ(FullDeck.substr(102), "KD");
    EXPECT_EQ(DeckCard(26), "AC");  // card 27
}

TEST_F(CardsTest, CodesInARunOfCodesAreFoundOnlyAtCardBoundaries) {
    std::mt19937 rng(7);
    for (const std::string& run : {std::string(FullDeck), Shuffled(rng), Shuffled(rng)}) {
        for (const CardCode& code : CardTable.flat) {
            int found = 0;
            for (auto at = run.find(code); at != std::string::npos; at = run.find(code, at + 1)) {
                EXPECT_EQ(at % 2, 0u) << code << " in " << run;
                ++found;
            }
            EXPECT_EQ(found, 1) << code;
        }
    }
}

TEST_F(CardsTest, EvaluateHandScoresKnownHands) {
    struct Case {
        const char* what;
        std::string hand;
        double value;
    };
    const Case cases[] = {
        {"pair of aces", "ASKHAD7C5S3H2D", 21413070500},
        {"high card", "KSQD9H7C5S3D2H", 11312090705},
        {"ace-low straight", "AS2H3D4C5SKH9D", 50100000000},
        {"royal flush", "ASKSQSJS0S2H3D", 91000000000},
        {"flush of seven spades takes the top five", "2S4S6S8S0SQSAS", 61412100806},
        {"two sets of trips make a full house", "KSKHKDQSQHQC2D", 71312000000},
        {"three pairs: two pair with the single as kicker", "KSKHQSQH2S2H3D", 31312030000},
        {"three pairs: third pair's rank is the kicker", "KSKHQSQH4S4H3D", 31312040000},
        {"quads and trips: trips' rank is the kicker", "7S7H7D7CKSKHKD", 80713000000},
        {"low flush", "2S3S4S5S9S6H7D", 60905040302},
        {"ace-low straight flush", "AS2S3S4S5SKH9D", 90100000000},
        {"six ranks in a row: the top five", "2S3H4D5C6S7HKD", 50300000000},
        {"seven ranks in a row up to the ace", "8S9H0DJCQSKHAD", 51000000000},
        // The ten is written "0", between the nine and the jack; any other
        // character, a "T" or a suit in lower case, makes no card.
        {"a ten between nine and jack", "6S7H8D9C0SKHKD", 50600000000},
        {"tens over nines", "0S0H9D9C2S3H4D", 31009040000},
        {"a T is no ten", "TSJHQDKCAS2H3D", 11413121103},
        {"a lower-case suit is no card", "0sJHQDKCAS2H3D", 11413121103},
        {"six suited in a row", "4H5H6H7H8H9H2C", 90500000000},
        {"six suited, no straight", "2D4D6D8D0DQDKD", 61312100806},
        {"straight and flush but not a straight flush", "5S6S7S8H9S2SKS", 61309070605},
        {"queen-king-ace-two-three is no straight", "QSKHAD2C3S7H8D", 11413120807},
        {"order does not matter", "2D3H5S7CADKHAS", 21413070500},
        {"repeated codes count once", "ASASKHAD7C5S3H2D2D", 21413070500},
        {"nothing", "", 10000000000},
        {"trips alone have no kickers and score as no single cards", "ASAHAD", 10000000000},
        {"two pairs alone fall to one pair without kickers", "ASAHKSKH", 21400000000},
        {"lower case is not a card", "askhad7c5s3h2d", 10000000000},
        {"codes found at odd offsets", "XASKHQDJC", 11413121100},
        {"a stray character splits a code", "AXSKH", 11300000000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EvaluateHand(c.hand), c.value) << c.what << ": " << c.hand;
        EXPECT_EQ(literal::EvaluateHand(c.hand), c.value) << c.what << ": " << c.hand;
    }

    // Both players play the straight on the board.
    EXPECT_EQ(EvaluateHand("5S6H7D8C9S2H3D"), EvaluateHand("5S6H7D8C9SAHKD"));
    EXPECT_EQ(EvaluateHand("5S6H7D8C9S2H3D"), 50500000000);
}

TEST_F(CardsTest, EvaluateHandGivesTheKnownCountsOverAllFiveCardHands) {
    std::array<std::int64_t, 10> categories{};
    std::unordered_set<std::int64_t> distinct;
    std::string hand(10, ' ');
    auto put = [&hand](int slot, int card) {
        hand[2 * slot] = FullDeck[2 * card];
        hand[2 * slot + 1] = FullDeck[2 * card + 1];
    };
    for (int a = 0; a < 52; ++a) {
        put(0, a);
        for (int b = a + 1; b < 52; ++b) {
            put(1, b);
            for (int c = b + 1; c < 52; ++c) {
                put(2, c);
                for (int d = c + 1; d < 52; ++d) {
                    put(3, d);
                    for (int e = d + 1; e < 52; ++e) {
                        put(4, e);
                        const auto value = static_cast<std::int64_t>(EvaluateHand(hand));
                        ++categories[static_cast<std::size_t>(value / 10'000'000'000)];
                        distinct.insert(value);
                    }
                }
            }
        }
    }
    EXPECT_EQ(distinct.size(), 7462u);
    const std::array<std::int64_t, 10> expected = {0, 1302540, 1098240, 123552, 54912, 10200, 5108, 3744, 624, 40};
    EXPECT_EQ(categories, expected);
}

TEST_F(CardsTest, EvaluateHandOrdersSevenCardHandsLikeBestFiveOfSeven) {
    std::mt19937 rng(2024);
    for (int deal = 0; deal < 3000; ++deal) {
        const std::string cards = Shuffled(rng);
        const std::string board = cards.substr(0, 10);
        const std::string first = cards.substr(10, 4) + board;
        const std::string second = cards.substr(14, 4) + board;
        const std::string stranger = cards.substr(18, 14);
        for (const std::string& other : {second, stranger}) {
            EXPECT_EQ(Sign(EvaluateHand(first) - EvaluateHand(other)), Sign(BestOfSeven(first) <=> BestOfSeven(other)))
                << first << " vs " << other;
        }
    }
}

TEST_F(CardsTest, EvaluateHandMatchesLiteralScoringOnAnyString) {
    std::mt19937 rng(99);
    auto pick = [&rng](int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng); };
    const std::string cardChars = "A234567890JQKSHCD";

    std::vector<std::string> hands;
    for (int n = 0; n < 3000; ++n) {
        hands.push_back(Shuffled(rng).substr(0, 14));
    }
    for (int n = 0; n < 3000; ++n) {
        // Zero to ten codes, repeats allowed: short hands and lone groups.
        std::string codes;
        for (int k = pick(11); k > 0; --k) {
            codes += DeckCard(pick(52));
        }
        hands.push_back(codes);
    }
    for (int n = 0; n < 3000; ++n) {
        std::string bytes(static_cast<std::size_t>(pick(41)), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(pick(256));
        }
        hands.push_back(bytes);
    }
    for (int n = 0; n < 6000; ++n) {
        // Dense runs of card characters: many codes at odd offsets, several
        // flushes and quads at once, junk breaking codes apart.
        std::string text(static_cast<std::size_t>(pick(n % 10 == 0 ? 2000 : 60)), ' ');
        for (char& c : text) {
            c = pick(20) == 0 ? static_cast<char>(pick(256)) : cardChars[static_cast<std::size_t>(pick(17))];
        }
        hands.push_back(text);
    }

    for (const std::string& hand : hands) {
        const double value = EvaluateHand(hand);
        ASSERT_EQ(value, literal::EvaluateHand(hand)) << ::testing::PrintToString(hand);
        ASSERT_GE(value, 1e10);
        ASSERT_LE(value, 91e9);
        ASSERT_EQ(value, std::floor(value));
    }
}
