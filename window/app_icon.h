// SPDX-License-Identifier: MIT
#pragma once
// The program's icon: the king of spades over the table, "Quillan" below.
// Drawn by code, for the window and, at build time, for the desktop.

#include <QIcon>
#include <QImage>

QImage DrawAppIcon(int size);  // size x size pixels
QIcon AppIcon();               // every size of the icon
