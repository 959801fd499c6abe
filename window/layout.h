// SPDX-License-Identifier: MIT
#pragma once
// Where the window's controls stand: client pixels, top-left corner and size,
// for a 96 dpi screen. The card table's places are in table/table.h.

#include <QRect>

inline constexpr int FormWidth = 331;
inline constexpr int FormHeight = 500;

inline constexpr QRect Command1Place{176, 24, 65, 25};  // "Play Hands"
inline constexpr QRect Command2Place{248, 24, 65, 25};  // "Clear Cards"
inline constexpr QRect Text1Place{280, 56, 25, 17};     // the number of players
inline constexpr QRect StatusPlace{176, 80, 137, 49};   // txt_Status
inline constexpr QRect Label1Place{24, 16, 121, 17};    // "Hole Cards:"
inline constexpr QRect Label2Place{24, 144, 241, 17};   // "Community Cards:"
inline constexpr QRect Label3Place{184, 56, 97, 17};    // "Number of players:"
