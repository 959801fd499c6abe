// SPDX-License-Identifier: MIT
#pragma once
// The card pictures the board is drawn from, all drawn by code so that
// nothing is read from disk.

#include <QImage>

#include "table/table.h"

// The card sheets hold one card-sized cell per card, ranks across, suits down.
inline constexpr int SpriteWidth = SheetColumns * CardWidth;  // 676
inline constexpr int SpriteHeight = SheetRows * CardHeight;   // 280

// The table's green: the window, its labels and the edge of the glow share
// it, so the glow blends into the table.
inline constexpr QRgb TableGreen = qRgb(0, 128, 0);

QImage DrawMiniCardsSprite();   // the 52 faces, bright
QImage DrawMiniCardsSprite2();  // the same faces, dimmed
QImage DrawMiniBack();          // one card back, 52 x 70
QImage DrawMiniSelection();     // the glow around the active slot, 76 x 94
