// SPDX-License-Identifier: MIT
#pragma once
// Pixel by pixel drawing into 32-bit images, shared by the card faces, the
// back, the glow and the icon: so every machine shows exactly the same pictures.

#include <QImage>
#include <QRect>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string_view>

namespace raster {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb InkRed = qRgb(220, 12, 4);
constexpr QRgb RobeBlue = qRgb(24, 66, 184);
constexpr QRgb Gold = qRgb(250, 202, 30);

// Rows of a bitmap, one character a pixel.
using Bitmap = std::span<const std::string_view>;

inline double Sq(double v) { return v * v; }

// t = 0 gives a, 1 gives b.
inline QRgb Mix(QRgb a, QRgb b, double t) {
    const auto channel = [t](int from, int to) { return int(std::lround(from + (to - from) * t)); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

inline bool Inside(const QImage& img, int x, int y) { return x >= 0 && y >= 0 && x < img.width() && y < img.height(); }

inline QRgb At(const QImage& img, int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]; }

// Nothing outside the image.
inline void Put(QImage& img, int x, int y, QRgb c) {
    if (Inside(img, x, y)) reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c;
}

void Blend(QImage& img, int x, int y, QRgb c, double alpha);
void FillRect(QImage& img, int x, int y, int w, int h, QRgb c);
void Frame(QImage& img, int x, int y, int w, int h, QRgb c);  // a 1-pixel outline
QImage Blank(int w, int h, QRgb c);

// Distance from (px, py) to the edge of the box x0..x1, y0..y1 whose corners
// are rounded with radius r; positive inside.
double DepthInRoundedBox(double px, double py, double x0, double y0, double x1, double y1, double r);

// '#' pixels of a bitmap in one colour, each as a scale x scale block.
void DrawBitmap(QImage& img, int x, int y, Bitmap rows, QRgb ink, int scale = 1);

// Coloured art: K black, R red, B blue, Y gold, W paper; '.' leaves what lies
// beneath. Each pixel a scale x scale block, turned half round if upsideDown,
// kept within clip if one is given.
void DrawArt(QImage& img, int x, int y, Bitmap rows, QRgb paper, bool upsideDown, int scale = 1, QRect clip = {});

// Paints the part of the w x h box at (x0, y0) that inside(u, v) covers, u and
// v running 0..1 across and down the box, 4 x 4 samples a pixel.
template <class Shape>
void FillShape(QImage& img, int x0, int y0, int w, int h, QRgb ink, Shape inside) {
    constexpr int N = 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int hits = 0;
            for (int j = 0; j < N; ++j)
                for (int i = 0; i < N; ++i)
                    if (inside((x + (i + 0.5) / N) / w, (y + (j + 0.5) / N) / h)) ++hits;
            Blend(img, x0 + x, y0 + y, ink, hits / double(N * N));
        }
}

// Paints the box x0..x1, y0..y1 (pixel edges) with corners of radius r: a black
// outline `line` pixels wide, and inside it fill(depth), depth being the pixel
// centre's distance from the edge. The curves are smoothed against what lies
// beneath with 4 x 4 samples; the straight edges stay sharp.
template <class Fill>
void DrawRoundedBox(QImage& img, int x0, int y0, int x1, int y1, double r, double line, Fill fill) {
    constexpr int N = 4, Samples = N * N;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (!Inside(img, x, y)) continue;
            const QRgb inner = fill(DepthInRoundedBox(x + 0.5, y + 0.5, x0, y0, x1, y1, r));
            const QRgb under = At(img, x, y);
            int red = 0, green = 0, blue = 0;
            for (int j = 0; j < N; ++j)
                for (int i = 0; i < N; ++i) {
                    const double d = DepthInRoundedBox(x + (i + 0.5) / N, y + (j + 0.5) / N, x0, y0, x1, y1, r);
                    const QRgb c = d < 0 ? under : d < line ? Black : inner;
                    red += qRed(c);
                    green += qGreen(c);
                    blue += qBlue(c);
                }
            const auto mean = [](int sum) { return (sum + Samples / 2) / Samples; };
            Put(img, x, y, qRgb(mean(red), mean(green), mean(blue)));
        }
}

// The king's figure, the upper half of the court card: on the card faces and
// on the icon's card.
extern const std::array<std::string_view, 29> KingArt;

}  // namespace raster
