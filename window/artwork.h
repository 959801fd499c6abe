#pragma once
// The card pictures the board is drawn from, and the program's icon, all drawn
// by code so that nothing is read from disk.

#include <QIcon>
#include <QImage>

inline constexpr int SpriteWidth = 676;   // 13 cells of 52
inline constexpr int SpriteHeight = 280;  // 4 cells of 70

QImage DrawMiniCardsSprite();   // the 52 faces, bright
QImage DrawMiniCardsSprite2();  // the same faces, dimmed
QImage DrawMiniBack();          // one card back, 52 x 70
QImage DrawMiniSelection();     // the glow around the active slot, 76 x 94
QImage DrawAppIcon(int size);   // the king of spades over the table, "Quillan" below
QIcon AppIcon();                // every size of the icon
