// SPDX-License-Identifier: MIT
#pragma once
// The window's four pictures and the program's icon, drawn pixel by pixel so
// that every machine shows exactly the same ones. This code runs when the
// program is built (draw_art.cpp) and in the tests; the program loads what it
// drew (window/artwork.h).

#include <QImage>

#include "window/artwork.h"

QImage DrawMiniCardsSprite();   // the 52 faces, bright
QImage DrawMiniCardsSprite2();  // the same faces, dimmed
QImage DrawMiniBack();          // one card back, 52 x 70
QImage DrawMiniSelection();     // the glow around the active slot, 76 x 94

// The king of spades over the table, "Quillan" below; size x size pixels.
QImage DrawAppIcon(int size);
