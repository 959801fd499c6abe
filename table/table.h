// SPDX-License-Identifier: MIT
#pragma once
// The card table: the seven card slots, the active slot, the pointer, the
// geometry of the fanned card sheet and picking a card, in plain C++. Drawing
// the board and the handlers that reach the window are in board.h.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/cards.h"

// One card place on the table. Card is "" exactly when Column and Row are 0;
// otherwise Column (1..13, two to ace) and Row (1..4, S H C D) name the card's
// cell in the card sheet.
struct CardSlot {
    std::int16_t X = 0;
    std::int16_t Y = 0;
    CardCode Card;
    std::uint8_t Column = 0;
    std::uint8_t Row = 0;
};

inline constexpr int SlotCount = 7;

// The slots, numbered 1..7: 1 and 2 the hole cards, 3 to 7 the community cards.
struct SlotArray {
    std::array<CardSlot, SlotCount> items;
    CardSlot& operator[](int number) { return items[number - 1]; }
    const CardSlot& operator[](int number) const { return items[number - 1]; }
    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }
};

extern SlotArray Slots;
extern std::uint8_t ActiveSlot;  // the slot that receives the next picked card
extern float MouseX;             // last pointer position; 0 until the first event,
extern float MouseY;             // which lies off the sheet

// Table geometry, in window pixels.
inline constexpr int CardWidth = 52;
inline constexpr int CardHeight = 70;
inline constexpr int SheetColumns = 13;
inline constexpr int SheetRows = 4;
inline constexpr int SheetLeft = 33;  // corner of the card in column 1, row 1
inline constexpr int SheetTop = 280;
inline constexpr int SheetStepX = 18;  // visible strip of a covered card
inline constexpr int SheetStepY = 40;
inline constexpr int SheetRight = 299;  // last x and y that hit the sheet
inline constexpr int SheetBottom = 469;
inline constexpr int RaisedLift = 26;   // the hovered card is drawn this much higher
inline constexpr int FrameMargin = 12;  // glow of the selection frame around a slot
inline constexpr int FrameWidth = CardWidth + 2 * FrameMargin;
inline constexpr int FrameHeight = CardHeight + 2 * FrameMargin;
inline constexpr int HoleRowY = 55;
inline constexpr int CommunityRowY = 175;
inline constexpr int SlotPitch = 56;  // card width plus a 4-pixel gap
inline constexpr int FirstSlotX = 30;

// A cell of the card sheet; Column and Row are 0 when the point is off the sheet.
struct SheetCell {
    int Column = 0;
    int Row = 0;
    bool onSheet() const { return Column != 0; }
    bool operator==(const SheetCell&) const = default;
};

// The card of the fanned sheet whose visible part lies under (x, y).
SheetCell SheetCellAt(float x, float y);

// The code of the card in a sheet cell: column 1 is the two, 13 the ace.
CardCode SheetCard(int column, int row);

// The sheet cell of a card, the inverse of SheetCard; off the sheet for
// anything that is not a card's code.
SheetCell SheetCellOf(std::string_view card);

// A rectangle of the window, in window pixels.
struct TableArea {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// Where a release picks the card of a sheet cell: the visible strip of a
// covered card, all of the last card of a row or column that the sheet's edge leaves.
TableArea SheetCellArea(int column, int row);

// Gives the seven slots their fixed places.
void PlaceSlots();

// Empties every slot and makes slot 1 active; places stay as they are.
void EmptySlots();

// Puts card into slot number (1..7) with its sheet cell, or empties the slot
// for "": the one way a slot's card is set.
void PutCard(int number, std::string_view card);

// The cards of the five community slots, slot 3 first, "" for an empty one:
// the board a run deals to.
std::array<CardCode, 5> CommunityCardsInSlots();

// The slot of slots holding card, 0 when none does.
int SlotHolding(std::string_view card, const SlotArray& slots = Slots);

// A slot's name as a person says it: "Hole card 1", "Community card 5"; in
// the middle of a sentence, "hole card 1".
std::string SlotName(int number);
std::string SlotNameInSentence(int number);

// Puts the card of a sheet cell into the active slot, taking it out of any
// other slot, and moves the active slot on to the next; unless it repeats the
// last pick (below), when it does nothing.
void PickCard(SheetCell cell);

// A screen reader's click command can reach a card three times: Orca clicks
// where it reviews, clicks the card's middle when it believes the first click
// missed, then presses the card's action. Each arrives as a pick, 1 to 27 ms
// apart as measured on an idle machine, over 50 ms on a busy one. The same
// card picked again within this time of the pick that counted, a desktop's
// usual double-click time, is that same command and picks nothing; unless a
// person's double click ends there (Form_DblClick), which moves it on.
inline constexpr std::chrono::milliseconds RepeatedPickTime{400};

// The clock picks are timed by; a test may put in its own.
using PickClockFunction = std::chrono::steady_clock::time_point (*)();
extern PickClockFunction PickClock;

// The cards in the slots, slot 1 first, "" for an empty slot.
std::array<CardCode, SlotCount> SlotCards();

// The slots in words, for assistive technology: "Hole cards: ace of spades,
// king of diamonds. Community cards: none. Next card: community card 1."
std::string SlotsInWords();

// The slots and the active slot at one moment, as the screen or assistive
// technology was last shown them: what changed since is worked out from this
// alone.
struct TableSnapshot {
    SlotArray places;
    int active = 0;
};
TableSnapshot SnapshotOfTable();  // the table now

// How slot number (1..7) differs between two snapshots: its card, or its
// being the slot the next card goes to.
struct SlotChange {
    bool card = false;
    bool active = false;
    bool any() const { return card || active; }
};
SlotChange ChangeOfSlot(const TableSnapshot& before, const TableSnapshot& after, int number);
bool TableChanged(const TableSnapshot& before, const TableSnapshot& after);

// What changed between two snapshots, as a screen reader says it unasked: a
// pick, "King of diamonds in hole card 2. Next card: community card 1."; a
// card moved on also empties its old place ("Hole card 1 empty."); a place
// chosen, "Next card: community card 3."; an emptied table, "All places
// empty. Next card: hole card 1.". "" when nothing changed.
std::string TableChangeInWords(const TableSnapshot& before, const TableSnapshot& after);

// The window's handler of a double click made by hand: the release that ends
// it picks even when it repeats the last pick, as a person's second click is
// meant to.
void Form_DblClick();

// The window's handler of a mouse button release: a card of the sheet goes
// into the active slot, a slot becomes the active one. It changes only the
// state above and does not redraw. Button and shift state are not used:
// every mouse button picks alike.
void Form_MouseUp(int Button, int Shift, float X, float Y);
