// SPDX-License-Identifier: MIT
// The card back of an empty slot and the glow around the active one.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/raster.h"

using namespace raster;

QImage DrawMiniBack() {
    constexpr QRgb Edge = qRgb(44, 39, 50), Cream = qRgb(250, 231, 193), Brick = qRgb(141, 43, 29);
    QImage img = Blank(CardWidth, CardHeight, Cream);
    Frame(img, 0, 0, CardWidth, CardHeight, Edge);

    // A frame line round a trellis of two-pixel strands running both ways,
    // woven: at each crossing one strand passes over and the other stops a
    // pixel short on either side, alternately along every strand.
    constexpr int X0 = 5, Y0 = 4, X1 = 48, Y1 = 66;
    constexpr int Period = 8, Strand = 2;
    for (int y = Y0; y < Y1; ++y)
        for (int x = X0; x < X1; ++x) {
            const double depth = DepthInRoundedBox(x + 0.5, y + 0.5, X0, Y0, X1, Y1, 4);
            if (depth < 0 || (depth >= 1 && depth < 2)) continue;
            if (depth < 1) {
                Put(img, x, y, Brick);
                continue;
            }
            const int rising = x + y, falling = x - y + 100 * Period;  // kept positive
            const int a = rising % Period, b = falling % Period;
            const bool onRising = a < Strand, onFalling = b < Strand;
            const int crossing = (rising + Period / 2) / Period + (falling + Period / 2) / Period;
            const bool risingOver = crossing % 2 == 0;
            const auto beside = [](int m) { return m == Strand || m == Period - 1; };
            bool ink = onRising || onFalling;
            if (onFalling && !onRising && risingOver && beside(a)) ink = false;
            if (onRising && !onFalling && !risingOver && beside(b)) ink = false;
            if (ink) Put(img, x, y, Brick);
        }
    return img;
}

QImage DrawMiniSelection() {
    constexpr int W = FrameWidth, H = FrameHeight, Glow = FrameMargin;
    // The glow's colour by distance from the card, 0 being its edge: yellow
    // fading into the table's green.
    static constexpr int Red[Glow + 1] = {255, 234, 198, 165, 135, 108, 84, 63, 45, 30, 18, 9, 3};
    static constexpr int Green[Glow + 1] = {242, 233, 217, 202, 188, 176, 166, 156, 148, 141, 136, 132, 129};
    QImage img = Blank(W, H, TableGreen);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int dx = std::max({Glow - x, x - (W - 1 - Glow), 0});
            const int dy = std::max({Glow - y, y - (H - 1 - Glow), 0});
            if (dx == 0 && dy == 0) {
                Put(img, x, y, qRgb(255, 0, 0));
                continue;
            }
            const double d = std::hypot(dx, dy);
            if (d > Glow) continue;
            const int lo = int(d), hi = std::min(lo + 1, Glow);
            const double t = d - lo;
            Put(img, x, y,
                qRgb(int(std::lround(Red[lo] + (Red[hi] - Red[lo]) * t)),
                     int(std::lround(Green[lo] + (Green[hi] - Green[lo]) * t)), 0));
        }
    return img;
}
