// SPDX-License-Identifier: MIT
#include "art/art.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

#include "art/raster.h"

namespace {

using namespace raster;

// The king of spades for the smallest icons, outline included; '.' leaves the
// background showing at the corners.
// clang-format off
constexpr std::array<std::string_view, 24> SmallKingCard{{
    ".KKKKKKKKKKKKKKKK.",
    "KWWWWWWWWWWWWWWWWK",
    "KWWKWKWWWYWWYWWYWK",
    "KWWKWKWWWYYWYWYYWK",
    "KWWKKWWWWYRYYYRYWK",
    "KWWKWKWWWKKKKKKKWK",
    "KWWKWKWWWKWKWKWKWK",
    "KWWWWWWWWKWWWWWKWK",
    "KWWWKWWWWKYWRWYKWK",
    "KWWKKKWWWKYYYYYKWK",
    "KWKKKKKWKKKYYYKKKK",
    "KWKKKKKWKRRKYKBBBK",
    "KWWWKWWKRRRKYKBBBK",
    "KWWKKKWKRYRKYKBYBK",
    "KWWWWWKRYYYRKBYYYK",
    "KWWWWKRRRYRRKBBYBK",
    "KWWWKRRRRRRRKBBBBK",
    "KWWKRRYRRYRRKBYBYK",
    "KWWKRYYYRRRKKBBBBK",
    "KWWKRRYRRRKWKBYBYK",
    "KWWKRRRRRKWKKBBBBK",
    "KWWKYYYYYKWKKYYYYK",
    "KWWKRRRRRKWKKBBBBK",
    ".KKKKKKKKKKKKKKKK.",
}};
// clang-format on

// Two pixel fonts for the name under the card: 5 rows high for the smallest
// icons, 7 for the rest. Only the letters needed.
struct Letter {
    char c;
    std::array<std::string_view, 7> rows;
};
// clang-format off
constexpr std::array<Letter, 7> TinyFont{{
    {'Q', {".##.", "#..#", "#..#", "#.#.", ".#.#"}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'u', {"...", "#.#", "#.#", "#.#", ".##"}},
    {'i', {"#", ".", "#", "#", "#"}},
    {'l', {"#", "#", "#", "#", "#"}},
    {'a', {"...", ".##", "#.#", "#.#", ".##"}},
    {'n', {"...", "##.", "#.#", "#.#", "#.#"}},
}};
// clang-format on
// clang-format off
constexpr std::array<Letter, 6> SmallFont{{
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
    {'i', {"#", ".", "#", "#", "#", "#", "#"}},
    {'l', {"#", "#", "#", "#", "#", "#", "#"}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
}};
// clang-format on
constexpr std::array<std::string_view, 6> TinySpade{{"..#..", ".###.", "#####", "#####", "..#..", ".###."}};

struct PixelFont {
    std::span<const Letter> letters;
    int height;
};

const Letter* Find(const PixelFont& font, char c) {
    for (const Letter& l : font.letters)
        if (l.c == c) return &l;
    return nullptr;
}

int TextWidth(const PixelFont& font, std::string_view text) {
    int w = -1;
    for (char c : text)
        if (const Letter* l = Find(font, c)) w += int(l->rows[0].size()) + 1;
    return std::max(w, 0);
}

void DrawText(QImage& img, const PixelFont& font, std::string_view text, int x, int y, int scale, QRgb ink) {
    for (char c : text)
        if (const Letter* l = Find(font, c)) {
            DrawBitmap(img, x, y, l->rows, ink, scale);
            x += (int(l->rows[0].size()) + 1) * scale;
        }
}

}  // namespace

QImage DrawAppIcon(int size) {
    if (size <= 0) return {};
    QImage img = Blank(size, size, Black);
    constexpr QRgb Smoke = qRgb(60, 60, 62), Baize = qRgb(0, 120, 0);
    for (int y = 0; y < size; ++y) {
        const double t = std::clamp(((y + 0.5) / size - 0.3) / 0.6, 0.0, 1.0);
        FillRect(img, 0, y, size, 1, Mix(Smoke, Baize, t * t * (3 - 2 * t)));
    }
    const int margin = std::max(1, size / 32);

    const PixelFont tiny{TinyFont, 5}, small{SmallFont, 7};
    const bool smallest = size < 48;
    const PixelFont& font = smallest ? tiny : small;
    const int textWidth = TextWidth(font, "Quillan");
    int scale = 1;
    while (textWidth * (scale + 1) <= size * 0.92) ++scale;
    const int shadow = smallest ? 0 : std::max(1, scale / 2);
    const int textTop = size - margin - shadow - font.height * scale;

    if (smallest) {
        DrawArt(img, size - margin - int(SmallKingCard[0].size()), margin, SmallKingCard, White, false);
    } else {
        // The court art at a whole multiple, on a card cut off above the name.
        const int k = std::max(1, size / 64);
        const int w = 32 * k, h = std::min(43 * k, textTop - 2 * margin);
        const int x0 = size - margin - w, y0 = margin;
        DrawRoundedBox(img, x0, y0, x0 + w, y0 + h, 3 * k, k, [](double) { return White; });
        const QRect inside(x0 + k, y0 + k, w - 2 * k, h - 2 * k);
        DrawArt(img, x0 + 2 * k, y0 + 2 * k, KingArt, White, false, k, inside);
        DrawArt(img, x0 + 2 * k, y0 + 31 * k, KingArt, White, true, k, inside);
        DrawText(img, tiny, "K", x0 + 3 * k, y0 + 2 * k, k, Black);
        DrawBitmap(img, x0 + 2 * k, y0 + 8 * k, TinySpade, Black, k);
    }

    const int textLeft = (size - textWidth * scale) / 2;
    if (shadow) DrawText(img, font, "Quillan", textLeft + shadow, textTop + shadow, scale, Black);
    DrawText(img, font, "Quillan", textLeft, textTop, scale, qRgb(255, 222, 0));
    return img;
}
