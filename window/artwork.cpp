// SPDX-License-Identifier: MIT
#include "window/artwork.h"

#include <QDir>
#include <QDirIterator>

QImage LoadPicture(const QString& name) {
    // An opaque PNG reads back as RGB32 already; converting it then costs nothing.
    return QImage(QStringLiteral(":/art/%1.png").arg(name)).convertToFormat(QImage::Format_RGB32);
}

QIcon AppIcon() {
    QIcon icon;
    QDirIterator files(QStringLiteral(":/art/icons"), {QStringLiteral("quillan.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) icon.addFile(files.next());
    return icon;
}
