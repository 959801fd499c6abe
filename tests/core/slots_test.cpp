// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

#include "table/table.h"
#include "tests/support/table_state.h"

namespace {

class Picking : public testing::Test {
protected:
    void SetUp() override { ResetTable(); }

    // Releases a button over the visible corner of a card of the sheet.
    static void Pick(const CardCode& card, int button = 1) {
        const SheetCell cell = SheetCellOf(card);
        ASSERT_TRUE(cell.onSheet()) << card;
        const TableArea area = SheetCellArea(cell.Column, cell.Row);
        Form_MouseUp(button, 0, float(area.X) + 2.5f, float(area.Y) + 3.5f);
    }

    // What must hold after anything the mouse does.
    static void ExpectConsistent() {
        for (const CardSlot& slot : Slots) {
            if (slot.Card.empty()) {
                EXPECT_EQ(slot.Column, 0);
                EXPECT_EQ(slot.Row, 0);
            } else {
                EXPECT_EQ(SheetCard(slot.Column, slot.Row), slot.Card);
            }
        }
        EXPECT_GE(ActiveSlot, 1);
        EXPECT_LE(ActiveSlot, 7);
    }
};

TEST(SheetCellAt, FindsTheCardWhoseVisiblePartIsUnderThePoint) {
    struct Case {
        float x, y;
        int column, row;
    };
    const Case cases[] = {
        {33, 280, 1, 1},     {299, 469, 13, 4}, {300, 469, 0, 0},    {290, 300, 13, 1},
        {50, 300, 1, 1},     {51, 300, 2, 1},   {110, 330, 5, 2},    {40, 285, 1, 1},
        {200, 330, 10, 2},   {190, 330, 9, 2},  {32.99f, 300, 0, 0}, {100, 279.5f, 0, 0},
        {100, 469.5f, 0, 0}, {0, 0, 0, 0},      {-40, 300, 0, 0},    {33, 460, 1, 4},
    };
    for (const Case& c : cases) {
        const SheetCell cell = SheetCellAt(c.x, c.y);
        EXPECT_EQ(cell.Column, c.column) << c.x << ", " << c.y;
        EXPECT_EQ(cell.Row, c.row) << c.x << ", " << c.y;
    }
    EXPECT_FALSE(SheetCellAt(NAN, 300).onSheet());
    EXPECT_FALSE(SheetCellAt(100, INFINITY).onSheet());
}

TEST(SheetCellOf, IsTheInverseOfSheetCardAndKnowsNoOtherCode) {
    BuildCardTable();
    for (int column = 1; column <= SheetColumns; ++column) {
        for (int row = 1; row <= SheetRows; ++row)
            EXPECT_EQ(SheetCellOf(SheetCard(column, row)), (SheetCell{column, row})) << column << ", " << row;
    }
    // The ten is written "0", and the ace's column is the last.
    EXPECT_EQ(SheetCellOf("0H"), (SheetCell{9, 2}));
    EXPECT_EQ(SheetCellOf("AD"), (SheetCell{13, 4}));
    for (const char* code : {"", "A", "TS", "1S", "AX", "ASK", "as", "0s"})
        EXPECT_FALSE(SheetCellOf(code).onSheet()) << code;
}

TEST(SheetCellArea, CoversExactlyThePointsThatPickItsCard) {
    // Every pixel in and around the sheet: in the area of the card it picks,
    // and in no area when it picks none.
    for (int y = SheetTop - 30; y <= SheetBottom + 5; ++y) {
        for (int x = SheetLeft - 5; x <= SheetRight + 5; ++x) {
            SheetCell in;
            for (int column = 1; column <= SheetColumns; ++column) {
                for (int row = 1; row <= SheetRows; ++row) {
                    const TableArea area = SheetCellArea(column, row);
                    if (x < area.X || x >= area.X + area.Width || y < area.Y || y >= area.Y + area.Height) continue;
                    ASSERT_FALSE(in.onSheet()) << x << ", " << y << " lies in two areas";
                    in = {column, row};
                }
            }
            ASSERT_EQ(in, SheetCellAt(float(x), float(y))) << x << ", " << y;
        }
    }
}

TEST(SheetCard, RunsFromTheTwoToTheAceAndSpadesHeartsClubsDiamonds) {
    BuildCardTable();
    EXPECT_EQ(SheetCard(1, 1), "2S");
    EXPECT_EQ(SheetCard(9, 2), "0H");
    EXPECT_EQ(SheetCard(10, 2), "JH");
    EXPECT_EQ(SheetCard(11, 3), "QC");
    EXPECT_EQ(SheetCard(13, 4), "AD");
}

TEST_F(Picking, SlotsStandInTheirFixedPlaces) {
    const std::pair<int, int> places[] = {{30, 55}, {86, 55}, {30, 175}, {86, 175}, {142, 175}, {198, 175}, {254, 175}};
    for (int n = 1; n <= 7; ++n) {
        EXPECT_EQ(Slots[n].X, places[n - 1].first);
        EXPECT_EQ(Slots[n].Y, places[n - 1].second);
    }
}

TEST_F(Picking, SevenPicksFillTheSlotsInOrderAndTheEighthReplacesTheFirst) {
    for (const char* card : {"AS", "KD", "2C", "0H", "JS", "9D", "5C"}) Pick(card);
    EXPECT_EQ(SlotCodes(), "AS KD 2C 0H JS 9D 5C ");
    EXPECT_EQ(ActiveSlot, 1);
    EXPECT_EQ(Slots[4].Column, 9);
    EXPECT_EQ(Slots[4].Row, 2);
    EXPECT_EQ(Slots[2].Column, 12);
    EXPECT_EQ(Slots[2].Row, 4);
    Pick("3H");
    EXPECT_EQ(SlotCodes(), "3H KD 2C 0H JS 9D 5C ");
    EXPECT_EQ(ActiveSlot, 2);
    ExpectConsistent();
}

TEST_F(Picking, ACardAlreadyInASlotMovesToTheActiveSlot) {
    for (const char* card : {"AS", "KD", "2C", "0H"}) Pick(card);
    ASSERT_EQ(ActiveSlot, 5);
    Pick("KD");
    EXPECT_EQ(SlotCodes(), "AS -- 2C 0H KD -- -- ");
    EXPECT_EQ(ActiveSlot, 6);
    EXPECT_EQ(Slots[2].Column, 0);

    Form_MouseUp(1, 0, 30, 175);  // make slot 3 active, then pick its own card
    Pick("2C");
    EXPECT_EQ(Slots[3].Card, "2C");
    EXPECT_EQ(ActiveSlot, 4);
    ExpectConsistent();
}

TEST_F(Picking, AReleaseOnASlotMakesItActiveAndChangesNoCard) {
    Pick("AS");
    const std::pair<float, float> corners[] = {{86, 175}, {137.9f, 244.9f}, {86, 244}, {137, 175}};
    for (auto [x, y] : corners) {
        ActiveSlot = 1;
        Form_MouseUp(1, 0, x, y);
        EXPECT_EQ(ActiveSlot, 4) << x << ", " << y;
    }
    Pick("QC");
    EXPECT_EQ(Slots[4].Card, "QC");
    EXPECT_EQ(ActiveSlot, 5);
    EXPECT_EQ(SlotCodes(), "AS -- -- QC -- -- -- ");

    // The right and bottom edges and the gaps between slots belong to no slot.
    for (auto [x, y] : {std::pair{82.f, 60.f}, {138.f, 200.f}, {100.f, 245.f}, {310.f, 200.f}, {-5.f, -5.f}}) {
        Form_MouseUp(1, 0, x, y);
        EXPECT_EQ(ActiveSlot, 5) << x << ", " << y;
        EXPECT_EQ(MouseX, x);
        EXPECT_EQ(MouseY, y);
    }
    EXPECT_EQ(SlotCodes(), "AS -- -- QC -- -- -- ");
}

TEST_F(Picking, TheSheetEdgesAndEveryButtonPickAlike) {
    Form_MouseUp(1, 0, 299, 469);
    EXPECT_EQ(Slots[1].Card, "AD");
    Form_MouseUp(1, 0, 300, 469);
    EXPECT_EQ(Slots[2].Card, "");
    Form_MouseUp(2, 0, 40, 285);
    EXPECT_EQ(Slots[2].Card, "2S");
    Form_MouseUp(4, 1, 200, 330);
    EXPECT_EQ(Slots[3].Card, "JH");
    Form_MouseUp(0, 0, 190, 330);
    EXPECT_EQ(Slots[4].Card, "0H");
    ExpectConsistent();
}

TEST_F(Picking, EmptyingTwiceIsLikeOnceAndKeepsPlacesAndPointer) {
    for (const char* card : {"AS", "KD", "2C"}) Pick(card);
    Form_MouseUp(1, 0, 200, 200);
    EmptySlots();
    EmptySlots();
    EXPECT_EQ(SlotCodes(), "-- -- -- -- -- -- -- ");
    EXPECT_EQ(ActiveSlot, 1);
    EXPECT_EQ(Slots[7].X, 254);
    EXPECT_EQ(MouseX, 200);
    ExpectConsistent();
}

TEST_F(Picking, TheSlotsReadInWordsAsTheyArePicked) {
    // What a screen reader reads of the table after each step, and what it
    // is told unasked of the change.
    struct Step {
        const char* pick;  // a card, a slot number to click, or "clear"
        const char* words;
        const char* change;
    };
    const Step steps[] = {
        {"", "Hole cards: none. Community cards: none. Next card: hole card 1.", ""},
        {"0C", "Hole cards: ten of clubs. Community cards: none. Next card: hole card 2.",
         "Ten of clubs in hole card 1. Next card: hole card 2."},
        {"AS", "Hole cards: ten of clubs, ace of spades. Community cards: none. Next card: community card 1.",
         "Ace of spades in hole card 2. Next card: community card 1."},
        {"5", "Hole cards: ten of clubs, ace of spades. Community cards: none. Next card: community card 3.",
         "Next card: community card 3."},
        {"5", "Hole cards: ten of clubs, ace of spades. Community cards: none. Next card: community card 3.", ""},
        {"QH",
         "Hole cards: ten of clubs, ace of spades. Community cards: empty, empty, queen of hearts. "
         "Next card: community card 4.",
         "Queen of hearts in community card 3. Next card: community card 4."},
        {"0C",
         "Hole cards: empty, ace of spades. Community cards: empty, empty, queen of hearts, ten of clubs. "
         "Next card: community card 5.",
         "Ten of clubs in community card 4. Hole card 1 empty. Next card: community card 5."},
        {"2",
         "Hole cards: empty, ace of spades. Community cards: empty, empty, queen of hearts, ten of clubs. "
         "Next card: hole card 2.",
         "Next card: hole card 2."},
        {"KD",
         "Hole cards: empty, king of diamonds. Community cards: empty, empty, queen of hearts, ten of clubs. "
         "Next card: community card 1.",
         "King of diamonds in hole card 2. Next card: community card 1."},
        {"clear", "Hole cards: none. Community cards: none. Next card: hole card 1.",
         "All places empty. Next card: hole card 1."},
        {"clear", "Hole cards: none. Community cards: none. Next card: hole card 1.", ""},
    };
    for (const Step& step : steps) {
        const TableSnapshot before = SnapshotOfTable();
        const std::string_view pick = step.pick;
        if (pick == "clear") {
            EmptySlots();
        } else if (pick.size() == 2) {
            Pick(CardCode(pick));
        } else if (pick.size() == 1) {
            const CardSlot& slot = Slots[pick[0] - '0'];
            Form_MouseUp(1, 0, slot.X + 1, slot.Y + 1);
        }
        EXPECT_EQ(SlotsInWords(), step.words) << "after " << step.pick;
        EXPECT_EQ(TableChangeInWords(before, SnapshotOfTable()), step.change) << "after " << step.pick;
    }
}

TEST_F(Picking, TheSameCardPickedAgainSoonIsOneClickUnlessAPersonDoubleClicked) {
    // Each step: a card picked, "clear" for Clear Cards or "double" for a
    // double click by hand, at a time in milliseconds.
    struct Case {
        std::vector<std::pair<const char*, int>> picks;
        const char* cards;
    };
    const Case cases[] = {
        // A screen reader's click, its press and its two fallback clicks.
        {{{"AS", 0}, {"AS", 4}, {"AS", 27}}, "AS -- -- -- -- -- -- "},
        {{{"AS", 0}, {"AS", 120}, {"AS", 399}}, "AS -- -- -- -- -- -- "},
        // A person's double click moves the card on, as a second click on it
        // after the double-click time does.
        {{{"AS", 0}, {"double", 110}, {"AS", 120}}, "-- AS -- -- -- -- -- "},
        {{{"AS", 0}, {"AS", 400}}, "-- AS -- -- -- -- -- "},
        // Timed from the pick that counted, not from a repeat.
        {{{"AS", 0}, {"AS", 300}, {"AS", 600}}, "-- AS -- -- -- -- -- "},
        // Another card between them, or Clear Cards, starts afresh.
        {{{"AS", 0}, {"KD", 10}, {"AS", 20}}, "-- KD AS -- -- -- -- "},
        {{{"AS", 0}, {"clear", 5}, {"AS", 10}}, "AS -- -- -- -- -- -- "},
        {{{"AS", 0}, {"KD", 1}, {"QH", 2}}, "AS KD QH -- -- -- -- "},
    };
    static std::chrono::steady_clock::time_point now;
    PickClock = [] { return now; };
    for (const Case& c : cases) {
        EmptySlots();
        const auto start = now += std::chrono::hours(1);
        for (const auto& [card, ms] : c.picks) {
            now = start + std::chrono::milliseconds(ms);
            if (std::string_view(card) == "clear") {
                EmptySlots();
            } else if (std::string_view(card) == "double") {
                Form_DblClick();
            } else {
                Pick(card);
            }
        }
        EXPECT_EQ(SlotCodes(), c.cards) << "after " << c.picks.size() << " picks ending with " << c.picks.back().first
                                        << " at " << c.picks.back().second << " ms";
    }
}

TEST(CardName, SaysRankAndSuitInWordsAndNothingForAnUnknownCode) {
    EXPECT_EQ(CardName("0C"), "ten of clubs");
    EXPECT_EQ(CardName("AS"), "ace of spades");
    EXPECT_EQ(CardName("2H"), "two of hearts");
    EXPECT_EQ(CardName("KD"), "king of diamonds");
    for (const char* code : {"", "A", "1S", "AX", "ASK", "as"}) EXPECT_EQ(CardName(code), "") << code;
}

}  // namespace
