// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <set>

#include "odds/odds.h"
#include "table/table.h"
#include "tests/support/literal_evaluator.h"
#include "tests/support/random_state.h"
#include "tests/support/table_state.h"

namespace {

bool ContainsCard(const std::string& cards, const std::string& code) { return cards.find(code) != std::string::npos; }

// Splits a card set into its codes.
std::vector<std::string> Codes(const std::string& cards) {
    std::vector<std::string> codes;
    for (std::size_t i = 0; i + 1 < cards.size(); i += 2) codes.push_back(cards.substr(i, 2));
    return codes;
}

// One deal as the run deals it, and its outcome as the run scores it.
DealtCards Deal(const Deck& runDeck, const std::string& hole, const CommunityCards& board, double players) {
    DealtCards deal;
    DealCards(deal, runDeck, hole, board, players);
    return deal;
}

DealOutcome Play(const Deck& runDeck, const std::string& hole, const CommunityCards& board, double players) {
    return ScoreDeal(hole, Deal(runDeck, hole, board, players));
}

// How many random numbers a call used, found by where the sequence stands after it.
template <typename F>
int RandomsUsedBy(F call) {
    ResetRandom();
    call();
    const float next = NextRandom();
    ResetRandom();
    for (int used = 0; used < 10000; ++used) {
        if (NextRandom() == next) return used;
    }
    return -1;
}

TEST(FormatOdds, WritesEachCountAsAShareOfTheWholeRun) {
    struct Case {
        int wins, losses, draws;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, 0, "Win Chance: 0%\r\nLose Chance: 0%\r\nDraw Chance: 0%"},
        {1, 0, 0, "Win Chance: 0.1%\r\nLose Chance: 0%\r\nDraw Chance: 0%"},
        {0, 0, 1, "Win Chance: 0%\r\nLose Chance: 0%\r\nDraw Chance: 0.1%"},
        {123, 5, 872, "Win Chance: 12.3%\r\nLose Chance: 0.5%\r\nDraw Chance: 87.2%"},
        {1000, 0, 0, "Win Chance: 100%\r\nLose Chance: 0%\r\nDraw Chance: 0%"},
        {376, 601, 23, "Win Chance: 37.6%\r\nLose Chance: 60.1%\r\nDraw Chance: 2.3%"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatOdds(c.wins, c.losses, c.draws), c.text);
}

TEST(FormatOdds, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatOdds(5, 123, 10, ","), "Win Chance: 0,5%\r\nLose Chance: 12,3%\r\nDraw Chance: 1%");
}

TEST(ReadPlayerCount, ReadsTheNumberTheTextStartsWith) {
    struct Case {
        const char* text;
        double count;
    };
    const Case cases[] = {
        {"10", 10}, {"2", 2},   {"2.9", 2.9}, {"  3", 3},  {"\t4", 4}, {"3 players", 3},
        {"2,5", 2}, {"-3", -3}, {"+4", 4},    {".5", 0.5}, {"7.", 7},  {"1e5", 1},
        {"", 0},    {"abc", 0}, {"-", 0},     {".", 0},    {"x10", 0}, {"0", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ReadPlayerCount(c.text), c.count) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(ReadPlayerCount(std::string(400, '9'))));
    EXPECT_EQ(ReadPlayerCount("0." + std::string(400, '0') + "1"), 0);  // below the smallest double
    EXPECT_EQ(ReadLocaleNumber("-0." + std::string(400, '0') + "1", ".", ","), 0);
}

TEST(ReadLocaleNumber, AcceptsOnlyAWholeNumberInTheLocalesForm) {
    struct Case {
        const char* text;
        const char* point;
        const char* group;
        std::optional<double> value;
    };
    // clang-format off
    const Case cases[] = {
        {"2", ".", ",", 2},           {" 3 ", ".", ",", 3},         {"2.5", ".", ",", 2.5},
        {"2,5", ",", ".", 2.5},       {"1,000", ".", ",", 1000},    {"1.000,5", ",", ".", 1000.5},
        {"-3", ".", ",", -3},         {"+7", ".", ",", 7},          {".5", ".", ",", 0.5},
        {"10\xc2\xa0" "000", ",", "\xc2\xa0", 10000},
        {"", ".", ",", std::nullopt},        {"   ", ".", ",", std::nullopt},
        {"abc", ".", ",", std::nullopt},     {"3 players", ".", ",", std::nullopt},
        {"inf", ".", ",", std::nullopt},     {"nan", ".", ",", std::nullopt},
        {"1e3", ".", ",", std::nullopt},     {"2.5", ",", ".", 25},
        {",5", ".", ",", std::nullopt},      {"1,", ".", ",", std::nullopt},
        {"1,,0", ".", ",", std::nullopt},    {".", ".", ",", std::nullopt},
        {"+", ".", ",", std::nullopt},       {"--2", ".", ",", std::nullopt},
        {"3\n", ".", ",", std::nullopt},     {"0x10", ".", ",", std::nullopt},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(ReadLocaleNumber(c.text, c.point, c.group), c.value) << '"' << c.text << '"';
}

TEST(IsPlayerCountValid, TakesTwoToTenBothIncludedFractionsToo) {
    for (double count : {2.0, 2.5, 9.99, 10.0}) EXPECT_TRUE(IsPlayerCountValid(count)) << count;
    for (double count : {1.0, 1.99, 10.01, 11.0, 0.0, -3.0, double(INFINITY), double(NAN)})
        EXPECT_FALSE(IsPlayerCountValid(count)) << count;
    EXPECT_FALSE(IsPlayerCountValid(std::nullopt));
}

TEST(DrawCard, TheLargestAndSmallestWordsTakeTheLastAndFirstCard) {
    // The largest words of the run's sequence draw the last card, however
    // many are left: a draw that made r of all 32 bits as a float would round
    // these up to 1 and reach past the deck. The smallest draw the first.
    struct Case {
        bool (*wanted)(std::uint32_t word);
        bool last;
    };
    const Case cases[] = {
        {[](std::uint32_t word) { return word >= 0xFFFFFF80u; }, true},
        {[](std::uint32_t word) { return word < 0x100u; }, false},
    };
    for (const Case& c : cases) {
        std::mt19937 ahead;
        unsigned long long position = 0;
        while (!c.wanted(static_cast<std::uint32_t>(ahead()))) ASSERT_LT(++position, 500'000'000u) << "no such word";
        for (const std::size_t left : {52u, 35u, 18u, 2u, 1u}) {
            RandomEngine = std::mt19937();
            RandomEngine.discard(position);
            Deck deck(FullDeck.substr(0, 2 * left));
            const std::size_t at = c.last ? left - 1 : 0;
            EXPECT_EQ(DrawCard(deck), FullDeck.substr(2 * at, 2)) << left << " cards left";
        }
    }
}

TEST(DrawCard, DealsEveryCardOnceThenNothing) {
    ResetRandom();
    Deck deck(FullDeck);
    std::set<std::string> drawn;
    for (int i = 0; i < 52; ++i) {
        const std::string card = DrawCard(deck);
        EXPECT_NE(FullDeck.find(card) % 2, 1u);
        EXPECT_TRUE(drawn.insert(card).second) << card << " drawn twice";
        EXPECT_EQ(deck.Cards().size(), 104u - 2 * drawn.size());
        EXPECT_EQ(deck.Cards().find(card), std::string::npos);
    }
    EXPECT_EQ(DrawCard(deck), "");
    EXPECT_EQ(deck.Cards(), "");
}

TEST(DrawCard, TakesTheCardAtRTimesCardsLeftAndKeepsTheRestInOrder) {
    // Decks of every size, drawn down to nothing: the card is the one at
    // floor(r x cards left) for the number the draw uses, and the others stay
    // in their order.
    std::mt19937 rng(5);
    for (std::size_t size = 0; size <= 52; ++size) {
        std::vector<std::string> cards = Codes(std::string(FullDeck));
        std::shuffle(cards.begin(), cards.end(), rng);
        cards.resize(size);
        std::sort(cards.begin(), cards.end(),
                  [](const std::string& a, const std::string& b) { return FullDeck.find(a) < FullDeck.find(b); });
        std::string codes;
        for (const std::string& card : cards) codes += card;
        Deck deck(codes);
        while (!codes.empty()) {
            std::mt19937 next = RandomEngine;
            const std::size_t k = (next() >> 8) * (codes.size() / 2) >> 24;
            ASSERT_EQ(DrawCard(deck), codes.substr(2 * k, 2)) << size;
            codes.erase(2 * k, 2);
            ASSERT_EQ(deck.Cards(), codes) << size;
        }
    }
}

TEST(DrawCard, PicksEveryRemainingCardAlike) {
    ResetRandom();
    std::map<std::string, int> counts;
    const int draws = 52 * 2000;
    for (int i = 0; i < draws; ++i) {
        Deck deck(FullDeck);
        ++counts[DrawCard(deck)];
    }
    ASSERT_EQ(counts.size(), 52u);
    for (const auto& [card, count] : counts) EXPECT_NEAR(count, 2000, 250) << card;
}

TEST(RemoveCard, RemovesEveryOccurrenceAndNothingForWhatIsNoCode) {
    Deck cards("AS2HAS3C");
    RemoveCard(cards, "AS");
    EXPECT_EQ(cards.Cards(), "2H3C");
    for (const char* notACode : {"", "2", "2H3"}) {
        RemoveCard(cards, notACode);
        EXPECT_EQ(cards.Cards(), "2H3C") << '"' << notACode << '"';
    }
}

class Dealing : public testing::Test {
protected:
    void SetUp() override {
        ResetTable();
        ResetRandom();
    }
};

TEST_F(Dealing, RunDeckLeavesOutTheCardsInTheSlots) {
    PutCard(1, "AS");
    PutCard(2, "KD");
    EXPECT_EQ(BuildRunDeck(SlotCards()).Cards().size(), 100u);
    PutCard(3, "0H");
    PutCard(7, "2C");
    const Deck runDeck = BuildRunDeck(SlotCards());
    const std::string_view deck = runDeck.Cards();
    EXPECT_EQ(deck.size(), 96u);
    for (const char* card : {"AS", "KD", "0H", "2C"}) EXPECT_EQ(deck.find(card), std::string::npos) << card;
}

TEST_F(Dealing, DrawsTheEmptyCommunityPlacesThenTwoCardsPerOpponent) {
    PutCard(1, "AS");
    PutCard(2, "KD");
    const std::string hole = "ASKD";
    const Deck deck = BuildRunDeck(SlotCards());
    struct Case {
        double players;
        int opponents;
    };
    for (const Case c : {Case{2, 1}, Case{10, 9}, Case{2.9, 1}, Case{1, 0}, Case{0, 0}, Case{-3, 0}}) {
        EXPECT_EQ(RandomsUsedBy([&] { Deal(deck, hole, CommunityCardsInSlots(), c.players); }), 5 + 2 * c.opponents)
            << c.players;
        EXPECT_EQ(Deal(deck, hole, CommunityCardsInSlots(), c.players).opponents.size(), std::size_t(c.opponents));
    }

    for (int n = 3; n <= 7; ++n) PutCard(n, FullDeck.substr(2 * n, 2));
    const Deck fullBoard = BuildRunDeck(SlotCards());
    EXPECT_EQ(fullBoard.Cards().size(), 90u);
    EXPECT_EQ(RandomsUsedBy([&] { Deal(fullBoard, hole, CommunityCardsInSlots(), 4); }), 6);
    EXPECT_EQ(Deal(fullBoard, hole, CommunityCardsInSlots(), 4).board, "4S5S6S7S8S");
}

TEST_F(Dealing, NoPlayersMeansEveryDealIsWon) {
    PutCard(1, "2S");
    PutCard(2, "7D");
    const Deck deck = BuildRunDeck(SlotCards());
    for (int deal = 0; deal < 200; ++deal) EXPECT_EQ(Play(deck, "2S7D", CommunityCardsInSlots(), 0), DealOutcome::Win);
}

TEST_F(Dealing, ThirtyPlayersEmptyTheDeckAndStillScore) {
    PutCard(1, "AS");
    PutCard(2, "KD");
    const Deck deck = BuildRunDeck(SlotCards());
    const DealtCards deal = Deal(deck, "ASKD", CommunityCardsInSlots(), 30);
    ASSERT_EQ(deal.opponents.size(), 29u);
    for (int j = 0; j < 22; ++j) EXPECT_EQ(deal.opponents[j].size(), 4u);
    EXPECT_EQ(deal.opponents[22].size(), 2u);
    for (int j = 23; j < 29; ++j) EXPECT_EQ(deal.opponents[j], "");
    ScoreDeal("ASKD", deal);  // scores six- and five-card hands without trouble
}

TEST_F(Dealing, ATieWithTheBestOpponentIsADraw) {
    // A royal flush on the board: everybody plays it.
    for (auto [slot, card] : {std::pair{3, "AH"}, {4, "KH"}, {5, "QH"}, {6, "JH"}, {7, "0H"}}) PutCard(slot, card);
    PutCard(1, "2S");
    PutCard(2, "3C");
    const Deck deck = BuildRunDeck(SlotCards());
    for (double players : {2.0, 5.0, 10.0})
        EXPECT_EQ(Play(deck, "2S3C", CommunityCardsInSlots(), players), DealOutcome::Draw);
}

TEST_F(Dealing, NoCardTwiceInADealEvenWhenTheSlotsChangeMidRun) {
    PutCard(1, "AS");
    PutCard(2, "KD");
    const std::string hole = "ASKD";
    const Deck deck = BuildRunDeck(SlotCards());
    auto check = [&](const DealtCards& deal) {
        std::set<std::string> seen{"AS", "KD"};
        std::vector<std::string> all = Codes(deal.board);
        for (const std::string& hand : deal.opponents) {
            for (const std::string& card : Codes(hand)) all.push_back(card);
        }
        for (const std::string& card : all) ASSERT_TRUE(seen.insert(card).second) << card << " twice";
        EXPECT_EQ(all.size(), 5u + 2 * deal.opponents.size());
    };
    for (int deal = 0; deal < 300; ++deal) {
        // Between deals the user puts cards on the board, takes them off again,
        // and moves a hole card onto the board.
        PutCard(4, deal % 3 == 0 ? "QS" : "");
        PutCard(6, deal % 5 == 0 ? "AS" : "");
        const DealtCards dealt = Deal(deck, hole, CommunityCardsInSlots(), 10);
        check(dealt);
        if (deal % 3 == 0) {
            EXPECT_EQ(dealt.board.substr(2, 2), "QS");
        }
        EXPECT_NE(dealt.board.substr(6, 2), "AS");
    }
}

TEST_F(Dealing, AnyDeckBoardAndCountDealsEachCardOnceAndScoresByTheRules) {
    // Decks of any size, boards with cards placed or moved during the run,
    // and up to 30 players, which empty the deck: the placed cards stay, the
    // rest is dealt from the deck, as many cards as there are to give, no
    // card twice, and the deal is scored by the literal rules.
    std::mt19937 rng(11);
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<std::string> cards = Codes(std::string(FullDeck));
        std::shuffle(cards.begin(), cards.end(), rng);
        const std::string hole = cards[0] + cards[1];
        CommunityCards board;
        std::size_t emptyPlaces = 0;
        std::string placed;
        for (std::size_t place = 0; place < board.size(); ++place) {
            const unsigned kind = rng() % 4;
            board[place] = kind == 2 ? cards[2 + place] : kind == 3 ? cards[rng() % 2] : "";
            if (kind == 2)
                placed += board[place];
            else
                ++emptyPlaces;
        }
        std::string codes;
        std::size_t available = 0;
        const unsigned kept = rng() % 101;
        for (const std::string& card : Codes(std::string(FullDeck))) {
            if (ContainsCard(hole, card) || rng() % 100 >= kept) continue;
            codes += card;
            if (!ContainsCard(placed, card)) ++available;
        }
        const int players = static_cast<int>(rng() % 31);
        const std::size_t opponents = players >= 2 ? std::size_t(players) - 1 : 0;
        RandomEngine.discard(rng() % 2000);

        const DealtCards dealt = Deal(Deck(codes), hole, board, players);
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", " << players << " players, deck " << codes);
        ASSERT_EQ(dealt.opponents.size(), opponents);
        std::string given;
        for (const std::string& hand : dealt.opponents) given += hand;
        for (const std::string& card : Codes(placed)) EXPECT_TRUE(ContainsCard(dealt.board, card)) << card;
        std::set<std::string> seen(cards.begin(), cards.begin() + 2);
        for (const std::string& card : Codes(dealt.board + given)) {
            EXPECT_TRUE(seen.insert(card).second) << card << " twice";
            EXPECT_TRUE(ContainsCard(placed, card) || ContainsCard(codes, card)) << card << " is not in the deck";
        }
        EXPECT_EQ(dealt.board.size() + given.size(),
                  placed.size() + 2 * std::min(available, emptyPlaces + 2 * opponents));

        const double mine = literal::EvaluateHand(hole + dealt.board);
        double best = 0;
        for (const std::string& hand : dealt.opponents)
            best = std::max(best, literal::EvaluateHand(hand + dealt.board));
        const DealOutcome outcome = mine > best   ? DealOutcome::Win
                                    : mine < best ? DealOutcome::Loss
                                                  : DealOutcome::Draw;
        ASSERT_EQ(ScoreDeal(hole, dealt), outcome);
    }
}

}  // namespace

namespace {

// The first run after a start plays the same deals every time: every text it
// shows is pinned, so that no change to dealing, scoring or writing the
// figures can alter what the user sees unnoticed. The window's own test pins
// the same texts as the status box showed them.
TEST_F(Dealing, TheFirstRunAfterAStartShowsThePinnedTexts) {
    PutCard(1, "AS");
    PutCard(2, "KD");
    const std::string hole = Slots[1].Card + Slots[2].Card;
    const Deck runDeck = BuildRunDeck(SlotCards());
    int wins = 0;
    int losses = 0;
    int draws = 0;
    DealtCards dealt;
    std::string texts;
    for (int deal = 1; deal <= DealsPerRun; ++deal) {
        DealCards(dealt, runDeck, hole, CommunityCardsInSlots(), 4);
        switch (ScoreDeal(hole, dealt)) {
        case DealOutcome::Win: ++wins; break;
        case DealOutcome::Loss: ++losses; break;
        case DealOutcome::Draw: ++draws; break;
        }
        std::string text = FormatOdds(wins, losses, draws);
        std::erase(text, '\r');  // the box shows each "\r\n" as one line end
        texts += (deal > 1 ? "|" : "") + text;
        if (deal == DealsPerRun) {
            EXPECT_EQ(text, "Win Chance: 36.7%\nLose Chance: 61.6%\nDraw Chance: 1.7%");
        }
    }
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (char c : texts) hash = (hash ^ std::uint8_t(c)) * 1099511628211u;
    EXPECT_EQ(hash, 5442007355108833612u);
}

}  // namespace
