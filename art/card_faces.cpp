// SPDX-License-Identifier: MIT
// The 52 card faces of the two card sheets: pips, court figures and aces.
#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string_view>

#include "art/art.h"
#include "art/raster.h"

namespace raster {

// The upper half of each court figure, 28 x 29, turned round for the lower;
// the king's is also the icon's card.
// clang-format off
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
// clang-format on

}  // namespace raster

namespace {

using namespace raster;

// A cell of the card sheets is exactly a card on the table.
constexpr int CellWidth = CardWidth;
constexpr int CellHeight = CardHeight;

// The paper colours of a card; the dimmed sheet only swaps these.
struct Paper {
    QRgb stock;     // the card outside the face panel
    QRgb rimOuter;  // the panel's shading next to its outline
    QRgb panel;     // the panel inside the shading
};
constexpr Paper BrightPaper{qRgb(255, 247, 221), qRgb(255, 225, 183), White};
constexpr Paper DimmedPaper{qRgb(217, 217, 217), qRgb(204, 190, 171), qRgb(238, 238, 238)};

// Smooth shapes in a unit box, for the ace of spades.

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

// Drawn smoothly at these sizes a club's lobes melt into a spade's outline, so
// each pip is set by hand: the spade pointed, the club three round lobes, the
// heart cleft at the top, the diamond without a stem.

enum class Suit { Spades, Hearts, Clubs, Diamonds };  // the sheet's row order

template <std::size_t Rows>
using PipSet = std::array<std::array<std::string_view, Rows>, 4>;  // in Suit order

// 11 x 13, under the rank in the index.
// clang-format off
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
// clang-format on

// 8 x 10, on the number cards.
// clang-format off
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
// clang-format on

// 5 x 7, beside the court figures: narrow enough to lie wholly under the next
// card of the sheet, which covers this one from x = 18, and still clear of the
// figure's outline.
// clang-format off
constexpr PipSet<7> CourtPips{{
    {{
        "..#..",
        ".###.",
        "#####",
        "#####",
        "#.#.#",
        "..#..",
        ".###.",
    }},
    {{
        "##.##",
        "#####",
        "#####",
        "#####",
        ".###.",
        "..#..",
        ".....",
    }},
    {{
        ".###.",
        ".###.",
        "##.##",
        "#####",
        "##.##",
        "..#..",
        ".###.",
    }},
    {{
        "..#..",
        ".###.",
        ".###.",
        "#####",
        ".###.",
        ".###.",
        "..#..",
    }},
}};
// clang-format on

// 20 x 24, alone on the aces but for spades, whose ace has a picture of its own.
// clang-format off
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
// clang-format on
// clang-format off
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
// clang-format on
// clang-format off
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
// clang-format on

// A pip with its top left at (x, y), turned half round on the lower half of a card.
void DrawPip(QImage& img, int x, int y, Bitmap rows, QRgb ink, bool upsideDown = false) {
    const int h = int(rows.size());
    for (int j = 0; j < h; ++j) {
        const int w = int(rows[j].size());
        for (int i = 0; i < w; ++i)
            if (rows[j][i] == '#') Put(img, x + (upsideDown ? w - 1 - i : i), y + (upsideDown ? h - 1 - j : j), ink);
    }
}

// clang-format off
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
// clang-format on

// clang-format off
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
// clang-format on

// Index ranks: 11 x 18 bold figures, "10" 13 wide.

using Glyph = std::array<std::string_view, 18>;

// clang-format off
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
// clang-format on

// The face panel, in cell pixels: x 14..49, y 2..67.
constexpr int PanelLeft = 14, PanelTop = 2, PanelRight = 50, PanelBottom = 68;

void DrawPanel(QImage& img, int ox, int oy, const Paper& paper) {
    constexpr double Radius = 5, Rim = 4;
    DrawRoundedBox(img, ox + PanelLeft, oy + PanelTop, ox + PanelRight, oy + PanelBottom, Radius, 1, [&](double depth) {
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
    static constexpr Spot Seven[] = {{Lft, Row1},   {Rgt, Row1}, {Mid, 24},  {Lft, Centre},
                                     {Rgt, Centre}, {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Eight[] = {{Lft, Row1},   {Rgt, Row1}, {Mid, 24},   {Lft, Centre},
                                     {Rgt, Centre}, {Mid, 46},   {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Nine[] = {{Lft, Row1}, {Rgt, Row1}, {Lft, Row2}, {Rgt, Row2}, {Mid, Centre},
                                    {Lft, Row3}, {Rgt, Row3}, {Lft, Row4}, {Rgt, Row4}};
    static constexpr Spot Ten[] = {{Lft, Row1}, {Rgt, Row1}, {Mid, 21}, {Lft, Row2}, {Rgt, Row2},
                                   {Lft, Row3}, {Rgt, Row3}, {Mid, 49}, {Lft, Row4}, {Rgt, Row4}};
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

// One card in its cell; rank 0..12 for 2..10, J, Q, K, A.
void DrawCardFace(QImage& img, int ox, int oy, int rank, Suit suit, const Paper& paper) {
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
        DrawPip(img, ox + 18, oy + 5, CourtPips[int(suit)], ink);
        DrawPip(img, ox + 41, oy + 58, CourtPips[int(suit)], ink, true);
    }
}

QImage DrawSheet(const Paper& paper) {
    QImage img = Blank(SpriteWidth, SpriteHeight, paper.stock);
    for (int row = 0; row < 4; ++row)
        for (int rank = 0; rank < 13; ++rank)
            DrawCardFace(img, rank * CellWidth, row * CellHeight, rank, Suit(row), paper);
    return img;
}

}  // namespace

QImage DrawMiniCardsSprite() { return DrawSheet(BrightPaper); }

QImage DrawMiniCardsSprite2() { return DrawSheet(DimmedPaper); }
