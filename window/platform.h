// SPDX-License-Identifier: MIT
#pragma once
// The few platform calls the handlers make, named as on the desktop they were
// first written for, implemented over Qt: holding a window on top, copying
// rectangles between images, a modal message box and letting pending events run.

#include <QString>
#include <cstdint>

class QImage;
class QWidget;

using HWND = QWidget*;
using HDC = QImage*;  // a device context is the image it draws into

inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
inline constexpr unsigned SWP_NOSIZE = 0x0001;
inline constexpr unsigned SWP_NOMOVE = 0x0002;
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;

// Keeps hWnd above all other windows when hWndInsertAfter is HWND_TOPMOST.
// Only the z-order part is supported; position and size are always left alone.
bool SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, unsigned uFlags);

// Copies a cx x cy rectangle from (xSrc, ySrc) of hdcSrc to (x, y) of hdcDest,
// pixel for pixel, clipped to both images. Only SRCCOPY is supported.
bool BitBlt(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc, std::uint32_t rop);

inline constexpr int vbOKOnly = 0;
inline constexpr int vbOK = 1;

// A modal message box with a single OK button and no icon; returns vbOK once closed.
int MsgBox(const QString& prompt, int buttons, const QString& title);

// Lets pending window events run, then returns.
void DoEvents();
