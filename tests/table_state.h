// SPDX-License-Identifier: MIT
#pragma once
// Puts the card table back as start-up leaves it, for tests and benchmarks.

#include "table/table.h"

inline void ResetTable() {
    BuildCardTable();
    PlaceSlots();
    EmptySlots();
    MouseX = MouseY = 0;
}
