// The card faces, the card back, the glow around the active slot and the
// program icon. Everything is drawn pixel by pixel from the shapes and bitmaps
// below, so every machine shows exactly the same pictures.
#include "window/artwork.h"

#include <QPixmap>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>

namespace {

// A cell of the card sheets is exactly a card on the table.
constexpr int CellWidth = CardWidth;
constexpr int CellHeight = CardHeight;

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb InkRed = qRgb(220, 12, 4);
constexpr QRgb RobeBlue = qRgb(24, 66, 184);
constexpr QRgb Gold = qRgb(250, 202, 30);

// The paper colours of a card; the dimmed sheet only swaps these.
struct Paper {
    QRgb stock;     // the card outside the face panel
    QRgb rimOuter;  // the panel's shading next to its outline
    QRgb panel;     // the panel inside the shading
};
constexpr Paper BrightPaper{qRgb(255, 247, 221), qRgb(255, 225, 183), White};
constexpr Paper DimmedPaper{qRgb(217, 217, 217), qRgb(204, 190, 171), qRgb(238, 238, 238)};

using Bitmap = std::span<const std::string_view>;

// ---- Pixels -------------------------------------------------------------------------

double Sq(double v) { return v * v; }

QRgb Mix(QRgb a, QRgb b, double t) {
    const auto channel = [t](int from, int to) { return int(std::lround(from + (to - from) * t)); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

bool Inside(const QImage& img, int x, int y) { return x >= 0 && y >= 0 && x < img.width() && y < img.height(); }

QRgb At(const QImage& img, int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]; }

void Put(QImage& img, int x, int y, QRgb c) {
    if (Inside(img, x, y)) reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c;
}

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

// Distance from (px, py) to the edge of the box x0..x1, y0..y1 whose corners
// are rounded with radius r; positive inside.
double DepthInRoundedBox(double px, double py, double x0, double y0, double x1, double y1, double r) {
    const double dx = std::min(px - x0, x1 - px);
    const double dy = std::min(py - y0, y1 - py);
    if (dx < r && dy < r) return r - std::hypot(r - dx, r - dy);
    return std::min(dx, dy);
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

// '#' pixels of a bitmap in one colour, each as a scale x scale block.
void DrawBitmap(QImage& img, int x, int y, Bitmap rows, QRgb ink, int scale = 1) {
    for (int j = 0; j < int(rows.size()); ++j)
        for (int i = 0; i < int(rows[j].size()); ++i)
            if (rows[j][i] == '#') FillRect(img, x + i * scale, y + j * scale, scale, scale, ink);
}

// ---- Smooth shapes in a unit box, for the ace of spades -------------------------------

bool InHeart(double u, double v) {
    constexpr double r = 0.26, lobeY = 0.28;
    if (Sq(u - r) + Sq(v - lobeY) <= r * r || Sq(u - (1 - r)) + Sq(v - lobeY) <= r * r) return true;
    if (v < lobeY || v > 1) return false;
    const double s = (v - lobeY) / (1 - lobeY);
    return std::abs(u - 0.5) <= 0.5 * (1 - std::pow(s, 1.3));
}

// The flared foot.
bool InStem(double u, double v) {
    if (v < 0.5 || v > 1) return false;
    const double s = std::max(0.0, (v - 0.62) / 0.38);
    return std::abs(u - 0.5) <= 0.05 + 0.2 * s * s;
}

// A spade's body is a heart upside down.
bool InSpadeBody(double u, double v) { return InHeart(u, 1 - v); }

bool InSpade(double u, double v) {
    constexpr double body = 0.8;
    return (v <= body && InSpadeBody(u, v / body)) || InStem(u, v);
}

// Slightly hollow sides.
bool InDiamond(double u, double v) {
    return std::pow(std::abs(2 * u - 1), 0.9) + std::pow(std::abs(2 * v - 1), 0.9) <= 1;
}

// ---- Pips: a bitmap per suit for each size a card shows -------------------------------
// Drawn smoothly at these sizes a club's lobes melt into a spade's outline, so
// each pip is set by hand: the spade pointed, the club three round lobes, the
// heart cleft at the top, the diamond without a stem.

enum class Suit { Spades, Hearts, Clubs, Diamonds };  // the sheet's row order

template <std::size_t Rows>
using PipSet = std::array<std::array<std::string_view, Rows>, 4>;  // in Suit order

// 11 x 13, under the rank in the index.
constexpr PipSet<13> IndexPips{{
    {{
        ".....#.....",
        "....###....",
        "...#####...",
        "..#######..",
        ".#########.",
        "###########",
        "###########",
        "###########",
        "###########",
        ".###.#.###.",
        ".....#.....",
        "....###....",
        "..#######..",
    }},
    {{
        "...........",
        ".###...###.",
        "#####.#####",
        "###########",
        "###########",
        "###########",
        ".#########.",
        ".#########.",
        "..#######..",
        "...#####...",
        "....###....",
        ".....#.....",
        "...........",
    }},
    {{
        "....###....",
        "...#####...",
        "...#####...",
        "...#####...",
        "....###....",
        ".###.#.###.",
        "###########",
        "###########",
        "###########",
        ".###.#.###.",
        ".....#.....",
        "....###....",
        "..#######..",
    }},
    {{
        ".....#.....",
        "....###....",
        "....###....",
        "...#####...",
        "..#######..",
        ".#########.",
        "###########",
        ".#########.",
        "..#######..",
        "...#####...",
        "....###....",
        "....###....",
        ".....#.....",
    }},
}};

// 8 x 10, on the number cards.
constexpr PipSet<10> NumberPips{{
    {{
        "...##...",
        "..####..",
        ".######.",
        "########",
        "########",
        "########",
        "########",
        ".##..##.",
        "...##...",
        "..####..",
    }},
    {{
        ".##..##.",
        "########",
        "########",
        "########",
        "########",
        ".######.",
        ".######.",
        "..####..",
        "...##...",
        "...##...",
    }},
    {{
        "..####..",
        ".######.",
        ".######.",
        "..####..",
        ".#.##.#.",
        "########",
        "########",
        ".##..##.",
        "...##...",
        "..####..",
    }},
    {{
        "...##...",
        "..####..",
        "..####..",
        ".######.",
        "########",
        "########",
        ".######.",
        "..####..",
        "..####..",
        "...##...",
    }},
}};

// 7 x 7, beside the court figures.
constexpr PipSet<7> CourtPips{{
    {{
        "...#...",
        "..###..",
        ".#####.",
        "#######",
        "#######",
        "...#...",
        "..###..",
    }},
    {{
        ".##.##.",
        "#######",
        "#######",
        ".#####.",
        "..###..",
        "...#...",
        ".......",
    }},
    {{
        "..###..",
        "..###..",
        "##.#.##",
        "#######",
        "##.#.##",
        "...#...",
        "..###..",
    }},
    {{
        "...#...",
        "..###..",
        "..###..",
        ".#####.",
        "..###..",
        "..###..",
        "...#...",
    }},
}};

// 20 x 24, alone on the aces but for spades, whose ace has a picture of its own.
constexpr std::array<std::string_view, 24> AceOfHearts{{
    "....................",
    "....................",
    "....................",
    "...#####....#####...",
    ".########..########.",
    "####################",
    "####################",
    "####################",
    "####################",
    ".##################.",
    ".##################.",
    "..################..",
    "..################..",
    "...##############...",
    "....############....",
    ".....##########.....",
    "......########......",
    ".......######.......",
    "........####........",
    ".........##.........",
    "....................",
    "....................",
    "....................",
    "....................",
}};
constexpr std::array<std::string_view, 24> AceOfClubs{{
    "........####........",
    "......########......",
    "......########......",
    ".....##########.....",
    ".....##########.....",
    ".....##########.....",
    ".....##########.....",
    "......########......",
    "......########......",
    "...####.####.####...",
    ".##################.",
    ".##################.",
    "####################",
    "####################",
    "####################",
    "####################",
    ".##################.",
    ".##################.",
    "...####..##..####...",
    ".........##.........",
    ".........##.........",
    "........####........",
    ".......######.......",
    ".....##########.....",
}};
constexpr std::array<std::string_view, 24> AceOfDiamonds{{
    "....................",
    ".........##.........",
    "........####........",
    ".......######.......",
    "......########......",
    ".....##########.....",
    "....############....",
    "...##############...",
    "...##############...",
    "..################..",
    ".##################.",
    "####################",
    "####################",
    ".##################.",
    "..################..",
    "...##############...",
    "...##############...",
    "....############....",
    ".....##########.....",
    "......########......",
    ".......######.......",
    "........####........",
    ".........##.........",
    "....................",
}};

// A pip with its top left at (x, y), turned half round on the lower half of a card.
void DrawPip(QImage& img, int x, int y, Bitmap rows, QRgb ink, bool upsideDown = false) {
    const int h = int(rows.size());
    for (int j = 0; j < h; ++j) {
        const int w = int(rows[j].size());
        for (int i = 0; i < w; ++i)
            if (rows[j][i] == '#') Put(img, x + (upsideDown ? w - 1 - i : i), y + (upsideDown ? h - 1 - j : j), ink);
    }
}

// ---- Index ranks: 11 x 18 bold figures, "10" 13 wide -----------------------------------

using Glyph = std::array<std::string_view, 18>;

constexpr std::array<Glyph, 13> RankGlyphs{{
    {{"..#######..", ".#########.", "####...####", "###.....###", "........###", "........###",
      ".......####", "......####.", ".....####..", "....####...", "...####....", "..####.....",
      ".####......", "####.......", "###........", "###........", "###########", "###########"}},
    {{"..#######..", ".#########.", "####...####", "###.....###", "........###", "........###",
      ".......####", "...######..", "...#######.", ".......####", "........###", "........###",
      "........###", "........###", "###.....###", "####...####", ".#########.", "..#######.."}},
    {{"......###..", ".....####..", ".....####..", "....#####..", "....#####..", "...######..",
      "...######..", "..###.###..", "..###.###..", ".###..###..", ".###..###..", "###...###..",
      "###########", "###########", "......###..", "......###..", "......###..", "......###.."}},
    {{"##########.", "##########.", "###........", "###........", "###........", "###.####...",
      "##########.", "####...####", "........###", "........###", "........###", "........###",
      "........###", "........###", "###.....###", "####...####", ".#########.", "..#######.."}},
    {{"..#######..", ".#########.", "####...####", "###.....###", "###........", "###........",
      "###.####...", "##########.", "####...####", "###.....###", "###.....###", "###.....###",
      "###.....###", "###.....###", "###.....###", "####...####", ".#########.", "..#######.."}},
    {{"###########", "###########", "........###", ".......###.", ".......###.", "......###..",
      "......###..", ".....###...", ".....###...", "....###....", "....###....", "....###....",
      "...###.....", "...###.....", "...###.....", "...###.....", "...###.....", "...###....."}},
    {{"..#######..", ".#########.", "####...####", "###.....###", "###.....###", "###.....###",
      "####...####", ".#########.", ".#########.", "####...####", "###.....###", "###.....###",
      "###.....###", "###.....###", "###.....###", "####...####", ".#########.", "..#######.."}},
    {{"..#######..", ".#########.", "####...####", "###.....###", "###.....###", "###.....###",
      "###.....###", "###.....###", "###.....###", "####...####", ".##########", "...####.###",
      "........###", "........###", "###.....###", "####...####", ".#########.", "..#######.."}},
    {{".###..####...", "####.######..", "####.###.###.", ".###.##...##.", ".###.##...##.", ".###.##...##.",
      ".###.##...##.", ".###.##...##.", ".###.##...##.", ".###.##...##.", ".###.##...##.", ".###.##...##.",
      ".###.##...##.", ".###.##...##.", ".###.##...##.", ".###.###.###.", ".###..#####..", ".###...###..."}},
    {{"...########", "...########", "........###", "........###", "........###", "........###",
      "........###", "........###", "........###", "........###", "........###", "........###",
      "........###", "........###", "###.....###", "####...####", ".#########.", "..#######.."}},
    {{"..#######..", ".#########.", "####...####", "###.....###", "###.....###", "###.....###",
      "###.....###", "###.....###", "###.....###", "###.....###", "###.....###", "###.....###",
      "###..#..###", "###..##.###", "####..#####", ".#########.", "..#########", "........###"}},
    {{"###....####", "###....###.", "###...####.", "###...###..", "###..####..", "###..###...",
      "###.####...", "#######....", "######.....", "#######....", "########...", "###.####...",
      "###..####..", "###...###..", "###...####.", "###....###.", "###....####", "###.....###"}},
    {{"....###....", "....###....", "...#####...", "...#####...", "...#####...", "...#####...",
      "..###.###..", "..###.###..", "..###.###..", "..###.###..", ".###...###.", ".#########.",
      ".#########.", ".###...###.", "###.....###", "###.....###", "###.....###", "###.....###"}},
}};

// ---- Court figures: the upper half of each, 28 x 29, turned round for the lower -------
// K black, R red, B blue, Y gold, W paper; '.' leaves the panel showing.

constexpr std::array<std::string_view, 29> KingArt{{
    "........K....KK....K........",
    ".......KYK..KYYK..KYK.......",
    ".......KYYKKYYYYKKYYK.......",
    ".......KYYYYYRRYYYYYK.......",
    ".......KKKKKKKKKKKKKK.......",
    ".......KYY........YYK.......",
    ".......KYK.KK..KK.KYK.......",
    ".......KYK..K..K..KYK.......",
    ".......KYK....K...KYK.......",
    ".......KYK...KK...KYK.......",
    ".......KYYYYYKKYYYYYK.......",
    ".......KYYYYKRRKYYYYK.......",
    "........KYYYYKKYYYYK........",
    "...KKKKK.KYYYYYYYYK.KKKKK...",
    "..KRRRRRKKKYYYYYYKKKBBBBBK..",
    ".KRRRRRRRKWKKYYKKWKBBBBBBBK.",
    ".KRRYRRRRKWWKKKKWWKBBBBYBBK.",
    "KRRYYYRRKWKWWKKWWKWKBBYYYBBK",
    "KRRRYRRRKWWWKYYKWWWKBBBYBBBK",
    "KRRRRRRKKKKKKYYKKKKKKBBBBBBK",
    "KRRYRRKYYYYYYKKYYYYYYKBBYBBK",
    "KRYYYRKYRRRRYKKYBBBBYKBYYYBK",
    "KRRYRRKYRYYRYKKYBYYBYKBBYBBK",
    "KRRRRRKYRRRRYKKYBBBBYKBBBBBK",
    "KRRRRRKYYYYYYKKYYYYYYKBBBBBK",
    "KRRYRRKKKKKKKKKKKKKKKKBBYBBK",
    "KRYYYRKRRRRRRKKBBBBBBKBYYYBK",
    "KRRYRRKRRYYRRKKBBYYBBKBBYBBK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKK",
}};

constexpr std::array<std::string_view, 29> QueenArt{{
    "...........K.KK.K...........",
    "..........KYKYYKYK..........",
    "..........KYRYYRYK..........",
    ".......KKKKKKKKKKKKKK.......",
    "......KYYYYYYYYYYYYYYK......",
    ".....KYYYK........KYYYK.....",
    ".....KYYK..........KYYK.....",
    ".....KYYK..K....K..KYYK.....",
    ".....KYYK.....K....KYYK.....",
    ".....KYYK....KK....KYYK.....",
    ".....KYYK....RR....KYYK.....",
    ".....KYYYK........KYYYK.....",
    ".....KYYYYKK....KKYYYYK.....",
    "....KYYYYKRRKKKKRRKYYYYK....",
    "..KKYYYYKRRRRKKRRRRKYYYYKK..",
    ".KBBKYYKRRYRRKKRRYRRKYYKBBK.",
    "KBBBBKYKRYYYRKKRYYYRKYKBBBBK",
    "KBYBBKKRRRYRRKKRRYRRRKKBBYBK",
    "KYYYBKRRRRRRRKKRRRRRRRKBYYYK",
    "KBYBBKYYYYYYYKKYYYYYYYKBBYBK",
    "KBBBBKKKKKKKKKKKKKKKKKKBBBBK",
    "KBBYBKRYRYRYRKKRYRYRYRKBYBBK",
    "KBYYYKYRYRYRYKKYRYRYRYKYYYBK",
    "KBBYBKRYRYRYRKKRYRYRYRKBYBBK",
    "KBBBBKYRYRYRYKKYRYRYRYKBBBBK",
    "KBBYBKKKKKKKKKKKKKKKKKKBYBBK",
    "KBYYYKBBBBBBBKKBBBBBBBKYYYBK",
    "KBBYBKBBYYYBBKKBBYYYBBKBYBBK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKK",
}};

constexpr std::array<std::string_view, 29> JackArt{{
    "...............KKK..........",
    ".........KKKKKKKYYK.........",
    "........KRRRRRRKYYK.........",
    ".......KRRRRRRRRKYK.........",
    ".......KYYYYYYYYYYYYK.......",
    ".......KKKKKKKKKKKKKK.......",
    "........KYY......YYK........",
    "........KY........YK........",
    "........K..K....K..K........",
    "........K.....K....K........",
    "........K....KK....K........",
    "........K....RR....K........",
    ".........K........K.........",
    "..........KKKKKKKK..........",
    "...KKKKKKKYYYYYYYYKKKKKKK...",
    "..KBBBBBBKYKYKKYKYKRRRRRRK..",
    ".KBBBBBBBKYYYYYYYYKRRRRRRRK.",
    ".KBBYBBBBKRRRYYRRRKRRRRYRRK.",
    "KBBYBBBBBKYRRYYRRYKRRRRRYRRK",
    "KBYYYBBBBKRYRYYRYRKRRRRYYYRK",
    "KBBYBBBBBKRRYYYYRRKRRRRRYRRK",
    "KBBBBBBBBKRRRYYRRRKRRRRRRRRK",
    "KBBYBBBBBKKKKKKKKKKRRRRRYRRK",
    "KBYYYBBBBKYYYKKYYYKRRRRYYYRK",
    "KBBYBBBBBKKKKKKKKKKRRRRRYRRK",
    "KBBBBBBBBKBBBRRBBBKRRRRRRRRK",
    "KBBYBBBBBKBBRRRRBBKRRRRRYRRK",
    "KBYYYBBBBKBRRRRRRBKRRRRYYYRK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKK",
}};

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

// Art with each pixel as a scale x scale block, kept within clip if one is given.
void DrawArt(QImage& img, int x, int y, Bitmap rows, QRgb paper, bool upsideDown, int scale = 1, QRect clip = {}) {
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

// ---- One card -------------------------------------------------------------------------

// The face panel, in cell pixels: x 14..49, y 2..67.
constexpr int PanelLeft = 14, PanelTop = 2, PanelRight = 50, PanelBottom = 68;

void DrawPanel(QImage& img, int ox, int oy, const Paper& paper) {
    constexpr double Radius = 5, Rim = 4;
    DrawRoundedBox(img, ox + PanelLeft, oy + PanelTop, ox + PanelRight, oy + PanelBottom, Radius, 1,
                   [&](double depth) {
                       return Mix(paper.rimOuter, paper.panel, std::clamp((depth - 1.5) / Rim, 0.0, 1.0));
                   });
}

// Where the 8 x 10 pips go: their centres, on pixel corners of the cell.
struct Spot {
    int x, y;
};
constexpr int Lft = 23, Mid = 32, Rgt = 41;
constexpr int Row1 = 14, Row2 = 28, Centre = 35, Row3 = 42, Row4 = 56;

std::span<const Spot> PipSpots(int pips) {
    static constexpr Spot Two[] = {{Mid, Row1}, {Mid, Row4}};
    static constexpr Spot Three[] = {{Mid, Row1}, {Mid, Centre}, {Mid, Row4}};
    static constexpr Spot Four[] = {{Lft, Row1}, {Rgt, Row1}, {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Five[] = {{Lft, Row1}, {Rgt, Row1}, {Mid, Centre}, {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Six[] = {{Lft, Row1}, {Rgt, Row1}, {Lft, Centre}, {Rgt, Centre}, {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Seven[] = {{Lft, Row1}, {Rgt, Row1}, {Mid, 24},   {Lft, Centre},
                                     {Rgt, Centre}, {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Eight[] = {{Lft, Row1},   {Rgt, Row1}, {Mid, 24},   {Lft, Centre},
                                     {Rgt, Centre}, {Mid, 46},   {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Nine[] = {{Lft, Row1}, {Rgt, Row1}, {Lft, Row2}, {Rgt, Row2}, {Mid, Centre},
                                    {Lft, Row3}, {Rgt, Row3}, {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Ten[] = {{Lft, Row1}, {Rgt, Row1}, {Mid, 21},   {Lft, Row2}, {Rgt, Row2},
                                   {Lft, Row3}, {Rgt, Row3}, {Mid, 49},   {Lft, Row4}, {Rgt, Row4}};
    switch (pips) {
        case 2: return Two;
        case 3: return Three;
        case 4: return Four;
        case 5: return Five;
        case 6: return Six;
        case 7: return Seven;
        case 8: return Eight;
        case 9: return Nine;
        default: return Ten;
    }
}

// A big spade with a paper line inside its edge, in an oval frame of single
// pixels set with a diamond at top and bottom.
void DrawAceOfSpades(QImage& img, int ox, int oy, const Paper& paper) {
    const auto inOval = [](int x, int y) { return Sq((x + 0.5 - 32) / 13.6) + Sq((y + 0.5 - 35) / 25.6) <= 1; };
    for (int y = 8; y < 62; ++y)
        for (int x = 18; x < 46; ++x) {
            const bool edge =
                inOval(x, y) && !(inOval(x - 1, y) && inOval(x + 1, y) && inOval(x, y - 1) && inOval(x, y + 1));
            if (edge && std::abs(x - 31.5) > 4) Put(img, ox + x, oy + y, Black);
        }
    FillShape(img, ox + 29, oy + 6, 6, 7, Black, InDiamond);
    FillShape(img, ox + 29, oy + 57, 6, 7, Black, InDiamond);
    FillShape(img, ox + 21, oy + 20, 22, 29, Black, InSpade);
    FillShape(img, ox + 24, oy + 24, 16, 16, paper.panel, InSpadeBody);
    FillShape(img, ox + 25, oy + 26, 14, 13, Black, InSpadeBody);
}

// rank 0..12 for 2..10, J, Q, K, A.
void DrawCard(QImage& img, int ox, int oy, int rank, Suit suit, const Paper& paper) {
    FillRect(img, ox, oy, CellWidth, CellHeight, paper.stock);
    Frame(img, ox, oy, CellWidth, CellHeight, Black);
    DrawPanel(img, ox, oy, paper);

    const QRgb ink = suit == Suit::Hearts || suit == Suit::Diamonds ? InkRed : Black;
    const Glyph& glyph = RankGlyphs[rank];
    DrawBitmap(img, ox + (glyph[0].size() > 11 ? 1 : 2), oy + 4, glyph, ink);
    DrawPip(img, ox + 2, oy + 24, IndexPips[int(suit)], ink);

    constexpr int Jack = 9, Queen = 10, Ace = 12;
    if (rank < Jack) {
        for (const Spot& s : PipSpots(rank + 2))
            DrawPip(img, ox + s.x - 4, oy + s.y - 5, NumberPips[int(suit)], ink, s.y > Centre);
    } else if (rank == Ace) {
        if (suit == Suit::Spades) {
            DrawAceOfSpades(img, ox, oy, paper);
        } else {
            const Bitmap pip = suit == Suit::Hearts  ? Bitmap(AceOfHearts)
                               : suit == Suit::Clubs ? Bitmap(AceOfClubs)
                                                     : Bitmap(AceOfDiamonds);
            DrawPip(img, ox + 22, oy + 23, pip, ink);
        }
    } else {
        const Bitmap art = rank == Jack ? Bitmap(JackArt) : rank == Queen ? Bitmap(QueenArt) : Bitmap(KingArt);
        DrawArt(img, ox + 18, oy + 6, art, paper.panel, false);
        DrawArt(img, ox + 18, oy + 35, art, paper.panel, true);
        DrawPip(img, ox + 17, oy + 5, CourtPips[int(suit)], ink);
        DrawPip(img, ox + 40, oy + 58, CourtPips[int(suit)], ink, true);
    }
}

QImage DrawSheet(const Paper& paper) {
    QImage img = Blank(SpriteWidth, SpriteHeight, paper.stock);
    for (int row = 0; row < 4; ++row)
        for (int rank = 0; rank < 13; ++rank) DrawCard(img, rank * CellWidth, row * CellHeight, rank, Suit(row), paper);
    return img;
}

// ---- The icon -------------------------------------------------------------------------

// The king of spades for the smallest icons, outline included; '.' leaves the
// background showing at the corners.
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

// Two pixel fonts for the name under the card: 5 rows high for the smallest
// icons, 7 for the rest. Only the letters needed.
struct Letter {
    char c;
    std::array<std::string_view, 7> rows;
};
constexpr std::array<Letter, 7> TinyFont{{
    {'Q', {".##.", "#..#", "#..#", "#.#.", ".#.#"}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'u', {"...", "#.#", "#.#", "#.#", ".##"}},
    {'i', {"#", ".", "#", "#", "#"}},
    {'l', {"#", "#", "#", "#", "#"}},
    {'a', {"...", ".##", "#.#", "#.#", ".##"}},
    {'n', {"...", "##.", "#.#", "#.#", "#.#"}},
}};
constexpr std::array<Letter, 6> SmallFont{{
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
    {'i', {"#", ".", "#", "#", "#", "#", "#"}},
    {'l', {"#", "#", "#", "#", "#", "#", "#"}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
}};
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

QImage DrawMiniCardsSprite() { return DrawSheet(BrightPaper); }

QImage DrawMiniCardsSprite2() { return DrawSheet(DimmedPaper); }

QImage DrawMiniBack() {
    constexpr QRgb Edge = qRgb(44, 39, 50), Cream = qRgb(250, 231, 193), Brick = qRgb(141, 43, 29);
    QImage img = Blank(CellWidth, CellHeight, Cream);
    Frame(img, 0, 0, CellWidth, CellHeight, Edge);

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

QIcon AppIcon() {
    QIcon icon;
    for (int size : {32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(DrawAppIcon(size)));
    return icon;
}
