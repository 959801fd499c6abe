// SPDX-License-Identifier: MIT
#pragma once
// Puts the card table back as start-up leaves it, for tests and benchmarks.

#include <string>

#include "table/table.h"

// A clock for picks that moves on a second at every reading: no two picks
// of a test count as one click.
inline std::chrono::steady_clock::time_point SecondPerPick() {
    static std::chrono::steady_clock::time_point now;
    return now += std::chrono::seconds(1);
}

inline void ResetTable() {
    PickClock = SecondPerPick;
    BuildCardTable();
    PlaceSlots();
    EmptySlots();
    MouseX = MouseY = 0;
}

// The slots' cards in order, "AS KD -- -- -- -- -- ".
inline std::string SlotCodes() {
    std::string codes;
    for (const CardSlot& slot : Slots) codes += (slot.Card.empty() ? "--" : slot.Card) + " ";
    return codes;
}
