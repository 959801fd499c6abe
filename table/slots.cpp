// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "table/table.h"

SlotArray Slots;
std::uint8_t ActiveSlot = 1;
float MouseX = 0;
float MouseY = 0;
PickClockFunction PickClock = std::chrono::steady_clock::now;

namespace {

// The last pick that counted, and when it was made.
struct Pick {
    SheetCell cell;
    std::chrono::steady_clock::time_point at;
};
Pick LastPick;

}  // namespace

SheetCell SheetCellAt(float x, float y) {
    // The comparisons are written so that NaN falls off the sheet too.
    if (!(x >= SheetLeft && x <= SheetRight && y >= SheetTop && y <= SheetBottom)) return {};
    // Every card but the last of a row or column shows only its left and top
    // strip, so the area beyond the last strip belongs to the last card.
    int column = static_cast<int>(std::floor((x - SheetLeft) / SheetStepX)) + 1;
    int row = static_cast<int>(std::floor((y - SheetTop) / SheetStepY)) + 1;
    if (column > SheetColumns) column = SheetColumns;
    if (row > SheetRows) row = SheetRows;
    return {column, row};
}

CardCode SheetCard(int column, int row) { return CardTable(column + 1, row); }

SheetCell SheetCellOf(std::string_view card) {
    if (card.size() != 2) return {};
    // The ranks of the sheet's columns, two to ace: the ace's second place.
    const auto rank = RankChars.find(card[0], 1);
    const auto suit = SuitChars.find(card[1]);
    if (rank == std::string_view::npos || suit == std::string_view::npos) return {};
    return {int(rank), int(suit) + 1};
}

TableArea SheetCellArea(int column, int row) {
    const int x = SheetLeft + SheetStepX * (column - 1);
    const int y = SheetTop + SheetStepY * (row - 1);
    return {x, y, column == SheetColumns ? SheetRight + 1 - x : SheetStepX,
            row == SheetRows ? SheetBottom + 1 - y : SheetStepY};
}

void PlaceSlots() {
    Slots[1].X = FirstSlotX;
    Slots[1].Y = HoleRowY;
    Slots[2].X = FirstSlotX + SlotPitch;
    Slots[2].Y = HoleRowY;
    for (int n = 3; n <= SlotCount; ++n) {
        Slots[n].X = static_cast<std::int16_t>((n - 3) * SlotPitch + FirstSlotX);
        Slots[n].Y = CommunityRowY;
    }
}

void PutCard(int number, std::string_view card) {
    const SheetCell cell = SheetCellOf(card);
    CardSlot& slot = Slots[number];
    slot.Card = cell.onSheet() ? CardCode(card) : CardCode();
    slot.Column = static_cast<std::uint8_t>(cell.Column);
    slot.Row = static_cast<std::uint8_t>(cell.Row);
}

std::array<CardCode, 5> CommunityCardsInSlots() {
    std::array<CardCode, 5> board;
    for (int n = 3; n <= SlotCount; ++n) board[static_cast<std::size_t>(n - 3)] = Slots[n].Card;
    return board;
}

void EmptySlots() {
    for (int n = 1; n <= SlotCount; ++n) PutCard(n, "");
    ActiveSlot = 1;
    LastPick = {};
}

std::array<CardCode, SlotCount> SlotCards() {
    std::array<CardCode, SlotCount> cards;
    for (int n = 1; n <= SlotCount; ++n) cards[n - 1] = Slots[n].Card;
    return cards;
}

namespace {

// The cards of the slots first to last, up to the last card there is, with
// "empty" for a gap; "none" for no card.
std::string CardsInWords(int first, int last) {
    while (last >= first && Slots[last].Card.empty()) --last;
    if (last < first) return "none";
    std::string words;
    for (int n = first; n <= last; ++n) {
        if (n > first) words += ", ";
        words += Slots[n].Card.empty() ? "empty" : CardName(Slots[n].Card);
    }
    return words;
}

}  // namespace

int SlotHolding(std::string_view card, const SlotArray& slots) {
    for (int n = 1; n <= SlotCount; ++n) {
        if (!card.empty() && slots[n].Card == card) return n;
    }
    return 0;
}

std::string SlotName(int number) {
    return number <= 2 ? "Hole card " + std::to_string(number) : "Community card " + std::to_string(number - 2);
}

std::string SlotNameInSentence(int number) {
    std::string name = SlotName(number);
    name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    return name;
}

std::string SlotsInWords() {
    return "Hole cards: " + CardsInWords(1, 2) + ". Community cards: " + CardsInWords(3, SlotCount) +
           ". Next card: " + SlotNameInSentence(ActiveSlot) + ".";
}

namespace {

bool AllEmpty(const SlotArray& slots) {
    return std::all_of(slots.begin(), slots.end(), [](const CardSlot& slot) { return slot.Card.empty(); });
}

std::string Sentence(std::string words) {
    words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
    return words + ". ";
}

}  // namespace

TableSnapshot SnapshotOfTable() { return {Slots, ActiveSlot}; }

SlotChange ChangeOfSlot(const TableSnapshot& before, const TableSnapshot& after, int number) {
    return {before.places[number].Card != after.places[number].Card,
            (number == before.active) != (number == after.active)};
}

bool TableChanged(const TableSnapshot& before, const TableSnapshot& after) {
    for (int n = 1; n <= SlotCount; ++n) {
        if (ChangeOfSlot(before, after, n).any()) return true;
    }
    return false;
}

std::string TableChangeInWords(const TableSnapshot& before, const TableSnapshot& after) {
    if (!TableChanged(before, after)) return "";
    const bool emptied = AllEmpty(after.places) && !AllEmpty(before.places);
    std::string placed = emptied ? "All places empty. " : "";
    std::string left;
    for (int n = 1; n <= SlotCount; ++n) {
        if (!ChangeOfSlot(before, after, n).card) continue;
        const CardCode& card = after.places[n].Card;
        if (!card.empty()) {
            placed += Sentence(CardName(card) + " in " + SlotNameInSentence(n));
        } else if (!emptied) {
            left += Sentence(SlotName(n) + " empty");
        }
    }
    return placed + left + "Next card: " + SlotNameInSentence(after.active) + ".";
}

void PickCard(SheetCell cell) {
    const auto now = PickClock();
    if (cell == LastPick.cell && now - LastPick.at < RepeatedPickTime) return;
    LastPick = {cell, now};

    const CardCode picked = SheetCard(cell.Column, cell.Row);
    // A card stands in one slot only: picking it again moves it here.
    for (int n = 1; n <= SlotCount; ++n) {
        if (Slots[n].Card == picked) PutCard(n, "");
    }
    PutCard(ActiveSlot, picked);
    ActiveSlot = static_cast<std::uint8_t>(ActiveSlot % SlotCount + 1);
}

void Form_DblClick() { LastPick = {}; }

void Form_MouseUp(int /*Button*/, int /*Shift*/, float X, float Y) {
    MouseX = X;
    MouseY = Y;

    if (SheetCell cell = SheetCellAt(X, Y); cell.onSheet()) PickCard(cell);

    // A release on a slot makes it the one that takes the next card; the
    // right and bottom edges belong to the gap beside it.
    for (int n = 1; n <= SlotCount; ++n) {
        const CardSlot& slot = Slots[n];
        if (X >= slot.X && X < slot.X + CardWidth && Y >= slot.Y && Y < slot.Y + CardHeight)
            ActiveSlot = static_cast<std::uint8_t>(n);
    }
}
