// SPDX-License-Identifier: MIT
#pragma once
// The pictures the window shows: the card sheets, the card back, the glow and
// the icon. art/ draws them when the program is built and they are built into
// it, so the window only loads them.

#include <QIcon>
#include <QImage>
#include <QString>

#include "table/table.h"

// The card sheets hold one card-sized cell per card, ranks across, suits down.
inline constexpr int SpriteWidth = SheetColumns * CardWidth;  // 676
inline constexpr int SpriteHeight = SheetRows * CardHeight;   // 280

// The table's green: the window, its labels and the edge of the glow share
// it, so the glow blends into the table.
inline constexpr QRgb TableGreen = qRgb(0, 128, 0);

// The picture of the picture box with this name: "MiniCardsSprite" (the 52
// faces, bright), "MiniCardsSprite2" (dimmed), "MiniBack" (one card back) or
// "MiniSelection" (the glow around the active slot). It comes as 32-bit RGB,
// the format the board copies between; null for any other name.
QImage LoadPicture(const QString& name);

QIcon AppIcon();  // the icon at every size drawn for it
