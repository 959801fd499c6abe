// SPDX-License-Identifier: MIT
// Writes cells of the bright card sheet as PNG files, one per card named on
// the command line ("AS", "KD", ...), for the end-to-end test to compare its
// screenshots with.
//
//     sprite_cells <folder> <card>...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <string_view>

#include "art/art.h"
#include "table/table.h"

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: sprite_cells <folder> <card>...\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QImage sheet = DrawMiniCardsSprite().convertToFormat(QImage::Format_RGB32);

    for (int i = 2; i < argc; ++i) {
        const std::string_view card = argv[i];
        const SheetCell at = SheetCellOf(card);
        if (!at.onSheet()) {
            std::fprintf(stderr, "sprite_cells: not a card: %s\n", argv[i]);
            return 2;
        }
        const QImage cell = sheet.copy((at.Column - 1) * CardWidth, (at.Row - 1) * CardHeight, CardWidth, CardHeight);
        const QString file = folder.filePath(QString::fromLatin1(card.data(), 2) + ".png");
        if (!cell.save(file, "PNG")) {
            std::fprintf(stderr, "sprite_cells: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
