// SPDX-License-Identifier: MIT
// The end-to-end test's knowledge of the window, taken from the program's own
// constants: with no arguments it prints, as JSON, the window's size, the
// controls' places, the slots' corners, each card's place in the fanned sheet
// with a point that picks it, a point of the bare table, the card size and the
// table's colour.
// With "cells" it writes cells of the bright card sheet as PNG files, one per
// card code named ("AS", "0H", "KD", ...), for screenshots to be compared with.
//
//     e2e_places
//     e2e_places cells <folder> <card>...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "art/art.h"
#include "cards/cards.h"
#include "table/table.h"
#include "window/layout.h"

namespace {

struct Control {
    const char* name;  // as assistive technology names it
    QRect place;
};

constexpr Control Controls[] = {
    {"Play Hands", Command1Place},       {"Clear Cards", Command2Place},
    {"Number of players", Text1Place},   {"Status", StatusPlace},
    {"Hole Cards:", Label1Place},        {"Community Cards:", Label2Place},
    {"Number of players:", Label3Place},
};

bool Inside(const TableArea& area, int x, int y) {
    return x >= area.X && x < area.X + area.Width && y >= area.Y && y < area.Y + area.Height;
}

// Where the pointer rests on the bare table, hovering no card: right of the
// sheet and of the community row's glow, half way to the window's edge.
QPoint BareTable() {
    const CardSlot& last = Slots[SlotCount];
    const int rightmost = std::max(SheetRight + 1, last.X + CardWidth + FrameMargin);
    return {(rightmost + FormWidth) / 2, FormHeight / 2};
}

// Says why a point the test relies on is not what it is said to be, or "".
std::string CheckPlaces() {
    for (int row = 1; row <= SheetRows; ++row) {
        for (int column = 1; column <= SheetColumns; ++column) {
            const TableArea area = SheetCellArea(column, row);
            const int x = area.X + SheetStepX / 2, y = area.Y + SheetStepY / 2;
            if (SheetCellAt(float(x), float(y)) != SheetCell{column, row})
                return "the pick point of " + SheetCard(column, row) + " picks another card";
        }
    }
    const QPoint bare = BareTable();
    if (SheetCellAt(float(bare.x()), float(bare.y())).onSheet()) return "the bare table point lies on the sheet";
    for (const CardSlot& slot : Slots) {
        const TableArea frame{slot.X - FrameMargin, slot.Y - FrameMargin, FrameWidth, FrameHeight};
        if (Inside(frame, bare.x(), bare.y())) return "the bare table point lies on a slot";
    }
    for (const Control& control : Controls) {
        if (control.place.contains(bare)) return std::string("the bare table point lies on ") + control.name;
    }
    return {};
}

int PrintPlaces() {
    const std::string wrong = CheckPlaces();
    if (!wrong.empty()) {
        std::fprintf(stderr, "e2e_places: %s\n", wrong.c_str());
        return 1;
    }
    std::printf("{\n  \"window\": {\"width\": %d, \"height\": %d},\n", FormWidth, FormHeight);
    std::printf("  \"card\": {\"width\": %d, \"height\": %d, \"raised_lift\": %d},\n", CardWidth, CardHeight,
                RaisedLift);
    std::printf("  \"table_green\": [%d, %d, %d],\n", qRed(TableGreen), qGreen(TableGreen), qBlue(TableGreen));
    std::printf("  \"controls\": {");
    const char* separator = "\n";
    for (const Control& control : Controls) {
        const QRect& place = control.place;
        std::printf("%s    \"%s\": {\"x\": %d, \"y\": %d, \"width\": %d, \"height\": %d, \"center\": [%d, %d]}",
                    separator, control.name, place.x(), place.y(), place.width(), place.height(), place.center().x(),
                    place.center().y());
        separator = ",\n";
    }
    std::printf("\n  },\n  \"slots\": [");
    separator = "\n";
    for (const CardSlot& slot : Slots) {
        std::printf("%s    {\"x\": %d, \"y\": %d}", separator, slot.X, slot.Y);
        separator = ",\n";
    }
    // Each card's corner at rest, and the middle of its top-left strip, the
    // part of it that no other card covers.
    std::printf("\n  ],\n  \"sheet\": {");
    separator = "\n";
    for (int row = 1; row <= SheetRows; ++row) {
        for (int column = 1; column <= SheetColumns; ++column) {
            const TableArea area = SheetCellArea(column, row);
            std::printf("%s    \"%s\": {\"column\": %d, \"row\": %d, \"x\": %d, \"y\": %d, \"pick\": [%d, %d]}",
                        separator, SheetCard(column, row).c_str(), column, row, area.X, area.Y, area.X + SheetStepX / 2,
                        area.Y + SheetStepY / 2);
            separator = ",\n";
        }
    }
    const QPoint bare = BareTable();
    std::printf("\n  },\n  \"bare_table\": [%d, %d]\n}\n", bare.x(), bare.y());
    return 0;
}

int WriteCells(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    const QImage sheet = DrawMiniCardsSprite().convertToFormat(QImage::Format_RGB32);

    for (int i = 3; i < argc; ++i) {
        const std::string_view card = argv[i];
        const SheetCell at = SheetCellOf(card);
        if (!at.onSheet()) {
            std::fprintf(stderr, "e2e_places: not a card: %s\n", argv[i]);
            return 2;
        }
        const QImage cell = sheet.copy((at.Column - 1) * CardWidth, (at.Row - 1) * CardHeight, CardWidth, CardHeight);
        const QString file = folder.filePath(QString::fromLatin1(card.data(), 2) + ".png");
        if (!cell.save(file, "PNG")) {
            std::fprintf(stderr, "e2e_places: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    BuildCardTable();
    PlaceSlots();
    if (argc == 1) return PrintPlaces();
    if (argc >= 4 && std::string_view(argv[1]) == "cells") return WriteCells(argc, argv);
    std::fprintf(stderr, "usage: e2e_places\n       e2e_places cells <folder> <card>...\n");
    return 2;
}
