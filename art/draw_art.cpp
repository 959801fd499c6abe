// SPDX-License-Identifier: MIT
// Draws the window's four pictures and the program's icon at each size named
// on the command line, as PNG files: <folder>/<picture box>.png, and the icon
// where the hicolor theme expects it, <folder>/icons/<N>x<N>/apps/quillan.png.
//
//     draw_art <folder> <size>...

#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "art/art.h"

namespace {

bool Save(const QImage& picture, const QString& folder, const QString& name) {
    const QString file = folder + QLatin1Char('/') + name;
    if (QDir().mkpath(folder) && picture.save(file, "PNG")) return true;
    std::fprintf(stderr, "draw_art: cannot write %s\n", qPrintable(file));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: draw_art <folder> <size>...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const struct {
        const char* name;
        QImage (*draw)();
    } pictures[] = {
        {"MiniCardsSprite", DrawMiniCardsSprite},
        {"MiniCardsSprite2", DrawMiniCardsSprite2},
        {"MiniBack", DrawMiniBack},
        {"MiniSelection", DrawMiniSelection},
    };
    for (const auto& picture : pictures)
        if (!Save(picture.draw(), folder, QLatin1String(picture.name) + QLatin1String(".png"))) return 1;

    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QImage icon = DrawAppIcon(size);
        if (icon.isNull()) {
            std::fprintf(stderr, "draw_art: not a size: %s\n", argv[i]);
            return 2;
        }
        if (!Save(icon, QStringLiteral("%1/icons/%2x%2/apps").arg(folder).arg(size), QStringLiteral("quillan.png")))
            return 1;
    }
    return 0;
}
