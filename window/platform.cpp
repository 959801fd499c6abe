// SPDX-License-Identifier: MIT
#include "window/platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cstring>

bool SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int, int, int, int, unsigned) {
    if (!hWnd || hWndInsertAfter != HWND_TOPMOST) return false;
    // Changing a window's flags hides it; a shown window is shown again.
    const bool shown = hWnd->isVisible();
    hWnd->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (shown) hWnd->show();
    return true;
}

bool BitBlt(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc, std::uint32_t rop) {
    if (!hdcDest || !hdcSrc || rop != SRCCOPY || hdcDest == hdcSrc) return false;

    // Clip the rectangle to both images, moving source and destination together.
    const int left = std::max({0, -x, -xSrc});
    const int top = std::max({0, -y, -ySrc});
    const int right = std::min({cx, hdcDest->width() - x, hdcSrc->width() - xSrc});
    const int bottom = std::min({cy, hdcDest->height() - y, hdcSrc->height() - ySrc});
    if (right <= left || bottom <= top) return true;

    if (hdcDest->format() == hdcSrc->format() && hdcDest->depth() == 32) {
        const auto bytes = static_cast<std::size_t>(right - left) * 4;
        const qsizetype destStride = hdcDest->bytesPerLine();
        const qsizetype srcStride = hdcSrc->bytesPerLine();
        uchar* dest = hdcDest->bits() + (y + top) * destStride + (x + left) * 4;
        const uchar* src = hdcSrc->constBits() + (ySrc + top) * srcStride + (xSrc + left) * 4;
        for (int row = top; row < bottom; ++row, dest += destStride, src += srcStride) std::memcpy(dest, src, bytes);
        return true;
    }
    QPainter painter(hdcDest);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x + left, y + top), *hdcSrc, QRect(xSrc + left, ySrc + top, right - left, bottom - top));
    return true;
}

namespace {

// The program's window a message box belongs to: the active one, or else the
// shown window that holds the focus (while another program is active).
QWidget* OwnerWindow() {
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->focusWidget()) return window;
    }
    return nullptr;
}

}  // namespace

int MsgBox(const QString& prompt, int, const QString& title) {
    QWidget* parent = OwnerWindow();
    // Nothing moves the focus under the box, assistive technology included:
    // it is where it was when the box closes.
    const QPointer<QWidget> focused = parent ? parent->focusWidget() : nullptr;
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, parent);
    // Read once: as the box's text, not again as its description.
    box.setAccessibleName(title);
    box.exec();
    if (!parent) return vbOK;
    if (focused && parent->focusWidget() != focused) focused->setFocus(Qt::OtherFocusReason);
    // Give the window back its activation and so its focus; with no window
    // manager nothing else does.
    parent->activateWindow();
    return vbOK;
}

void DoEvents() { QCoreApplication::processEvents(); }
