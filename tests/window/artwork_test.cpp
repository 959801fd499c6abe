// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QPainter>

#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "art/art.h"

namespace {

constexpr QRgb Black = qRgb(0, 0, 0), Red = qRgb(220, 12, 4);

std::string Rgb(QRgb c) {
    char text[48];
    std::snprintf(text, sizeof text, "(%d,%d,%d)", qRed(c), qGreen(c), qBlue(c));
    return text;
}

std::string At(const QImage& img, QPoint p) { return Rgb(img.pixel(p)); }

double MeanBrightness(const QImage& img) {
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            sum += (qRed(c) + qGreen(c) + qBlue(c)) / 3.0;
        }
    return sum / (img.width() * img.height());
}

// Top-left pixel of the cell in column 1..13 (2 .. ace), row 1..4 (spades, hearts, clubs, diamonds).
QPoint Cell(int column, int row) { return {52 * (column - 1), 70 * (row - 1)}; }
bool RedRow(int row) { return row == 2 || row == 4; }

const QImage& Bright() {
    static const QImage sheet = DrawMiniCardsSprite();
    return sheet;
}
const QImage& Dimmed() {
    static const QImage sheet = DrawMiniCardsSprite2();
    return sheet;
}

// Each sheet with its card stock, panel rim and panel colours.
const auto Sheets = {std::tuple{&Bright, "(255,247,221)", "(255,225,183)", "(255,255,255)"},
                     std::tuple{&Dimmed, "(217,217,217)", "(204,190,171)", "(238,238,238)"}};

// Separate blobs of ink in the face panel, within its rim.
int InkBlobs(const QImage& sheet, QPoint cell, bool red) {
    std::set<std::pair<int, int>> seen;
    const auto ink = [&](int x, int y) {
        if (x < 16 || x > 47 || y < 4 || y > 65) return false;
        const QRgb c = sheet.pixel(cell + QPoint(x, y));
        return red ? qGreen(c) < 200 : qRed(c) + qGreen(c) + qBlue(c) < 3 * 200;
    };
    const auto fill = [&](auto&& self, int x, int y) -> void {
        if (!ink(x, y) || !seen.insert({x, y}).second) return;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) self(self, x + dx, y + dy);
    };
    int blobs = 0;
    for (int y = 4; y <= 65; ++y)
        for (int x = 16; x <= 47; ++x)
            if (ink(x, y) && !seen.count({x, y})) {
                ++blobs;
                fill(fill, x, y);
            }
    return blobs;
}

TEST(ArtSprite, CellsHaveABlackOutlineAroundStockAndAShadedPanel) {
    const std::string Black2 = "(0,0,0)(0,0,0)";  // two outline pixels
    for (const auto& [sheet, stock, rim, paper] : Sheets) {
        const QImage& s = sheet();
        ASSERT_EQ(s.size(), QSize(SpriteWidth, SpriteHeight));
        ASSERT_EQ(s.size(), QSize(13 * 52, 4 * 70));
        EXPECT_EQ(s.format(), QImage::Format_RGB32);
        for (const QPoint p : {QPoint(0, 0), QPoint(416, 0), QPoint(520, 140), QPoint(624, 210), QPoint(675, 279)})
            EXPECT_EQ(At(s, p), "(0,0,0)");
        for (int row = 1; row <= 4; ++row)
            for (int column = 1; column <= 13; ++column) {
                const QPoint c = Cell(column, row);
                for (int i = 0; i < 70; ++i) EXPECT_EQ(At(s, c + QPoint(0, i)) + At(s, c + QPoint(51, i)), Black2);
                for (int i = 0; i < 52; ++i) EXPECT_EQ(At(s, c + QPoint(i, 0)) + At(s, c + QPoint(i, 69)), Black2);
                for (const QPoint p : {QPoint(1, 1), QPoint(13, 2), QPoint(50, 1), QPoint(50, 35), QPoint(1, 68)})
                    EXPECT_EQ(At(s, c + p), stock) << column << "," << row;
                for (int y = 10; y <= 60; y += 10) {
                    EXPECT_EQ(At(s, c + QPoint(14, y)) + At(s, c + QPoint(49, y)), Black2);
                    EXPECT_EQ(At(s, c + QPoint(15, y)), rim);
                }
                EXPECT_EQ(At(s, c + QPoint(32, 2)) + At(s, c + QPoint(32, 67)), Black2);
            }
        // On the two of spades: paper in the middle, the rim lightening towards it.
        EXPECT_EQ(At(s, QPoint(32, 35)), paper);
        for (int x = 16; x <= 19; ++x) EXPECT_GT(qBlue(s.pixel(x, 35)), qBlue(s.pixel(x - 1, 35)));
    }
}

TEST(ArtSprite, IndexInkStaysInTheCornerInTheSuitsColour) {
    for (const auto& [sheet, stock, rim, paper] : Sheets)
        for (int row = 1; row <= 4; ++row)
            for (int column = 1; column <= 13; ++column) {
                int rankInk = 0, suitInk = 0, solid = 0;
                for (int y = 1; y <= 68; ++y)
                    for (int x = 1; x <= 13; ++x) {
                        const QRgb p = sheet().pixel(Cell(column, row) + QPoint(x, y));
                        if (Rgb(p) == stock) continue;
                        ASSERT_TRUE(y >= 4 && y <= 39) << "ink at " << x << "," << y << " of " << column << "," << row;
                        (y <= 22 ? rankInk : suitInk)++;
                        solid += p == (RedRow(row) ? Red : Black);
                        if (RedRow(row))
                            EXPECT_GE(qRed(p), 200);
                        else
                            EXPECT_LE(qRed(p) - qGreen(p), 12);
                    }
                EXPECT_GT(rankInk, 40) << column << "," << row;
                EXPECT_GT(suitInk, 40) << column << "," << row;
                EXPECT_GT(solid, 60) << column << "," << row;
            }
}

TEST(ArtSprite, EveryOverlappedCornerIsDistinct) {
    for (const auto& [sheet, stock, rim, paper] : Sheets) {
        std::set<std::vector<QRgb>> seen;
        for (int row = 1; row <= 4; ++row)
            for (int column = 1; column <= 13; ++column) {
                std::vector<QRgb> pixels;
                for (int y = 0; y < 40; ++y)
                    for (int x = 0; x < 18; ++x) pixels.push_back(sheet().pixel(Cell(column, row) + QPoint(x, y)));
                seen.insert(pixels);
            }
        EXPECT_EQ(seen.size(), 52u);
    }
}

// In the fanned sheet a card shows only its top-left 18 x 40: the next card's
// outline covers it from x = 18 on, the card below from y = 40 on. A pip,
// figure or index must lie wholly inside that strip or wholly under the
// covering cards, never show a sliver of itself at the strip's edge. Ink is
// what is drawn in black, red, blue or gold; a piece of it is followed through
// touching ink pixels (diagonals too) from the strip, leaving out the card's
// outline and the straight edges of the face panel's outline, which frame
// every card and run on under the next card by design.
TEST(ArtSprite, NoPipOrFigureIsCutAtTheEdgeOfTheVisibleStrip) {
    const QRgb Blue = qRgb(24, 66, 184), Gold = qRgb(250, 202, 30);
    const auto frame = [](int x, int y) {
        return x == 0 || x == 51 || y == 0 || y == 69 || x == 14 || x == 49 || y == 2 || y == 67;
    };
    for (const auto& [sheet, stock, rim, paper] : Sheets)
        for (int row = 1; row <= 4; ++row)
            for (int column = 1; column <= 13; ++column) {
                const QPoint cell = Cell(column, row);
                const auto ink = [&](int x, int y) {
                    if (x < 0 || x > 51 || y < 0 || y > 69 || frame(x, y)) return false;
                    const QRgb c = sheet().pixel(cell + QPoint(x, y));
                    return c == Black || c == Red || c == Blue || c == Gold;
                };
                std::set<std::pair<int, int>> seen;
                std::vector<std::pair<int, int>> todo;
                for (int y = 0; y < 40; ++y)
                    for (int x = 0; x < 18; ++x)
                        if (ink(x, y)) todo.push_back({x, y});
                QPoint covered(-1, -1);
                while (!todo.empty() && covered.x() < 0) {
                    const auto [x, y] = todo.back();
                    todo.pop_back();
                    if (!seen.insert({x, y}).second) continue;
                    if (x >= 18 || y >= 40) covered = {x, y};
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (ink(x + dx, y + dy)) todo.push_back({x + dx, y + dy});
                }
                EXPECT_LT(covered.x(), 0)
                    << (sheet == &Bright ? "bright " : "dimmed ") << column << "," << row
                    << ": ink seen in the strip runs on under the next card, to " << covered.x() << "," << covered.y();
            }
}

TEST(ArtSprite, PipCardsShowAsManyPipsAsTheirRankTurnedRoundBelowTheMiddle) {
    for (int row = 1; row <= 4; ++row)
        for (int column = 1; column <= 9; ++column)
            EXPECT_EQ(InkBlobs(Bright(), Cell(column, row), RedRow(row)), column + 1) << column << "," << row;

    // The two of hearts: the upper heart points down, the lower one up.
    const auto width = [](int y) {
        int n = 0;
        for (int x = 28; x < 36; ++x) n += qGreen(Bright().pixel(Cell(1, 2) + QPoint(x, y))) < 128;
        return n;
    };
    EXPECT_GT(width(11), width(17));
    EXPECT_LT(width(53), width(59));
}

// Which pixels of area in a cell carry ink, whatever its colour: red and black
// alike take the green out of the paper, so only shapes are compared.
std::vector<bool> InkMask(const QImage& sheet, QPoint cell, QRect area) {
    std::vector<bool> mask;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            mask.push_back(qGreen(sheet.pixel(cell + QPoint(x, y))) < 128);
    return mask;
}

TEST(ArtSprite, NoTwoSuitsDrawTheirPipsInTheSameShape) {
    const char* const suits[] = {"spades", "hearts", "clubs", "diamonds"};
    // Where one pip stands alone, in which card, and how many pixels two suits must differ by there.
    const struct {
        const char* where;
        int column;
        QRect area;
        int apart;
    } pips[] = {
        {"index", 1, {1, 23, 13, 17}, 12},
        {"top left pip of the four", 3, {16, 4, 14, 20}, 10},
        {"jack's corner", 10, {16, 4, 10, 12}, 6},
        {"ace", 13, {16, 4, 32, 62}, 40},
    };
    for (const auto& [sheet, stock, rim, paper] : Sheets)
        for (const auto& pip : pips)
            for (int a = 1; a <= 4; ++a)
                for (int b = a + 1; b <= 4; ++b) {
                    const std::vector<bool> one = InkMask(sheet(), Cell(pip.column, a), pip.area);
                    const std::vector<bool> other = InkMask(sheet(), Cell(pip.column, b), pip.area);
                    int differ = 0;
                    for (std::size_t i = 0; i < one.size(); ++i) differ += one[i] != other[i];
                    EXPECT_GE(differ, pip.apart) << pip.where << ": " << suits[a - 1] << " and " << suits[b - 1];
                }
}

TEST(ArtSprite, CourtCardsAreDifferentFiguresInRedBlueGoldAndBlack) {
    const auto panel = [](int column, int row) {
        return Bright().copy(QRect(Cell(column, row) + QPoint(14, 2), QSize(36, 66)));
    };
    for (int row = 1; row <= 4; ++row) {
        EXPECT_NE(panel(10, row), panel(11, row));
        EXPECT_NE(panel(11, row), panel(12, row));
        EXPECT_NE(panel(10, row), panel(12, row));
        for (int column = 10; column <= 12; ++column) {
            std::set<std::string> colours;
            const QImage p = panel(column, row);
            for (int y = 0; y < p.height(); ++y)
                for (int x = 0; x < p.width(); ++x) colours.insert(At(p, {x, y}));
            for (const char* c : {"(0,0,0)", "(220,12,4)", "(24,66,184)", "(250,202,30)"})
                EXPECT_TRUE(colours.count(c)) << c << " missing from " << column << "," << row;
        }
    }
}

TEST(ArtSprite, DimmedSheetKeepsTheInkOnGreyerDarkerPaper) {
    int kept = 0;
    for (int y = 0; y < SpriteHeight; ++y)
        for (int x = 0; x < SpriteWidth; ++x) {
            const QRgb p = Bright().pixel(x, y);
            if (p == Black || p == Red || p == qRgb(24, 66, 184) || p == qRgb(250, 202, 30)) {
                ASSERT_EQ(At(Dimmed(), {x, y}), Rgb(p)) << x << "," << y;
                ++kept;
            }
        }
    EXPECT_GT(kept, 52 * 300);
    EXPECT_NEAR(MeanBrightness(Bright()), 179, 6);
    EXPECT_NEAR(MeanBrightness(Dimmed()), 164, 6);
    EXPECT_LT(MeanBrightness(Dimmed()), MeanBrightness(Bright()) - 8);
}

TEST(ArtBack, HasADarkEdgeCreamMarginAndABrickTrellis) {
    const QImage back = DrawMiniBack();
    ASSERT_EQ(back.size(), QSize(52, 70));
    EXPECT_EQ(back.format(), QImage::Format_RGB32);
    const auto check = [&](std::initializer_list<QPoint> points, const char* colour) {
        for (const QPoint p : points) EXPECT_EQ(At(back, p), colour) << p.x() << "," << p.y();
    };
    check({{0, 0}, {51, 35}, {26, 69}, {0, 40}}, "(44,39,50)");
    check({{1, 35}, {4, 35}, {48, 35}, {50, 35}, {26, 1}, {26, 3}, {26, 66}, {26, 68}, {2, 2}}, "(250,231,193)");
    check({{5, 35}, {47, 35}, {26, 4}, {26, 65}}, "(141,43,29)");
    int brick = 0, cream = 0;
    for (int y = 10; y < 60; ++y)
        for (int x = 10; x < 42; ++x) (At(back, {x, y}) == "(141,43,29)" ? brick : cream)++;
    EXPECT_GT(brick, cream / 3);
    EXPECT_GT(cream, brick / 3);
}

TEST(ArtSelection, GlowsFromYellowToTableGreenRoundARedCard) {
    const QImage glow = DrawMiniSelection();
    ASSERT_EQ(glow.size(), QSize(76, 94));
    const int red[] = {234, 198, 165, 135, 108, 84, 63, 45, 30, 18, 9, 3};
    const int green[] = {233, 217, 202, 188, 176, 166, 156, 148, 141, 136, 132, 129};
    for (int d = 1; d <= 12; ++d) {
        const std::string want = Rgb(qRgb(red[d - 1], green[d - 1], 0));
        EXPECT_EQ(At(glow, {12 - d, 47}), want) << "left " << d;
        EXPECT_EQ(At(glow, {63 + d, 46}), want) << "right " << d;
        EXPECT_EQ(At(glow, {38, 12 - d}), want) << "top " << d;
        EXPECT_EQ(At(glow, {37, 81 + d}), want) << "bottom " << d;
    }
    for (const QPoint p : {QPoint(0, 0), QPoint(75, 0), QPoint(0, 93), QPoint(75, 93), QPoint(3, 3)})
        EXPECT_EQ(At(glow, p), "(0,128,0)");

    QImage covered = glow;
    QPainter(&covered).drawImage(12, 12, Bright(), 0, 0, 52, 70);
    for (int y = 0; y < 94; ++y)
        for (int x = 0; x < 76; ++x) ASSERT_NE(At(covered, {x, y}), "(255,0,0)") << x << "," << y;
}

TEST(ArtIcon, IsDrawnOpaqueAtEverySize) {
    for (int size : {QUILLAN_ICON_SIZES}) {
        const QImage icon = DrawAppIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_FALSE(icon.hasAlphaChannel());
        int yellow = 0;
        for (int y = size * 3 / 4; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb c = icon.pixel(x, y);
                yellow += qRed(c) > 200 && qGreen(c) > 180 && qBlue(c) < 80;
            }
        EXPECT_GT(yellow, size * size / 60) << size;                                     // the name
        EXPECT_EQ(At(icon, {size - 1 - size / 16, size / 8}), "(255,255,255)") << size;  // the card
        EXPECT_LT(qGreen(icon.pixel(0, 0)), qGreen(icon.pixel(0, size - 1)));            // grey above, green below
        EXPECT_EQ(qRed(icon.pixel(0, 0)), qGreen(icon.pixel(0, 0)));
    }
    EXPECT_NE(DrawAppIcon(64), DrawAppIcon(32).scaled(64, 64));

    const QList<QSize> sizes = AppIcon().availableSizes();
    for (int size : {QUILLAN_ICON_SIZES}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}

// The window loads what the build drew and built into it; this fails when the
// build embedded stale or wrong art, or when the loaded pictures come in
// another format than the board's copies expect.
TEST(ArtBuiltIn, EveryPictureAndIconIsWhatTheCodeDrawsNow) {
    const struct {
        const char* name;
        QImage drawn;
    } pictures[] = {
        {"MiniCardsSprite", Bright()},
        {"MiniCardsSprite2", Dimmed()},
        {"MiniBack", DrawMiniBack()},
        {"MiniSelection", DrawMiniSelection()},
    };
    for (const auto& [name, drawn] : pictures) {
        const QImage loaded = LoadPicture(name);
        EXPECT_EQ(loaded.format(), QImage::Format_RGB32) << name;
        EXPECT_EQ(loaded.size(), drawn.size()) << name;
        EXPECT_TRUE(loaded == drawn) << name;
    }
    EXPECT_TRUE(LoadPicture("MiniCards").isNull());

    const QIcon icon = AppIcon();
    EXPECT_EQ(icon.availableSizes().size(), 5);
    for (int size : {QUILLAN_ICON_SIZES}) {
        const QImage loaded = icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(loaded == DrawAppIcon(size)) << size;
    }
}

}  // namespace
