// SPDX-License-Identifier: MIT
#include "art/raster.h"

#include <optional>

namespace raster {

void Blend(QImage& img, int x, int y, QRgb c, double alpha) {
    if (alpha <= 0 || !Inside(img, x, y)) return;
    Put(img, x, y, alpha >= 1 ? c : Mix(At(img, x, y), c, alpha));
}

void FillRect(QImage& img, int x, int y, int w, int h, QRgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Put(img, i, j, c);
}

void Frame(QImage& img, int x, int y, int w, int h, QRgb c) {
    FillRect(img, x, y, w, 1, c);
    FillRect(img, x, y + h - 1, w, 1, c);
    FillRect(img, x, y, 1, h, c);
    FillRect(img, x + w - 1, y, 1, h, c);
}

QImage Blank(int w, int h, QRgb c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

double DepthInRoundedBox(double px, double py, double x0, double y0, double x1, double y1, double r) {
    const double dx = std::min(px - x0, x1 - px);
    const double dy = std::min(py - y0, y1 - py);
    if (dx < r && dy < r) return r - std::hypot(r - dx, r - dy);
    return std::min(dx, dy);
}

void DrawBitmap(QImage& img, int x, int y, Bitmap rows, QRgb ink, int scale) {
    for (int j = 0; j < int(rows.size()); ++j)
        for (int i = 0; i < int(rows[j].size()); ++i)
            if (rows[j][i] == '#') FillRect(img, x + i * scale, y + j * scale, scale, scale, ink);
}

namespace {

std::optional<QRgb> ArtColour(char c, QRgb paper) {
    switch (c) {
    case 'K': return Black;
    case 'R': return InkRed;
    case 'B': return RobeBlue;
    case 'Y': return Gold;
    case 'W': return paper;
    default: return std::nullopt;
    }
}

}  // namespace

void DrawArt(QImage& img, int x, int y, Bitmap rows, QRgb paper, bool upsideDown, int scale, QRect clip) {
    if (clip.isNull()) clip = img.rect();
    const int h = int(rows.size());
    for (int j = 0; j < h; ++j) {
        const int w = int(rows[j].size());
        for (int i = 0; i < w; ++i) {
            const std::optional<QRgb> c = ArtColour(rows[j][i], paper);
            if (!c) continue;
            const int left = x + (upsideDown ? w - 1 - i : i) * scale;
            const int top = y + (upsideDown ? h - 1 - j : j) * scale;
            const QRect block = QRect(left, top, scale, scale) & clip;
            FillRect(img, block.x(), block.y(), block.width(), block.height(), *c);
        }
    }
}

}  // namespace raster
