// SPDX-License-Identifier: MIT
// The least a Qt Widgets program with Quillan's controls does: the floor that
// scripts/bench sets Quillan's start-up, click and pointer move beside. The
// same 331 x 500 window with two buttons, a line edit and a text box where
// Quillan has them; a button click writes one short line, and a pointer move
// over the bare window repaints two card-sized rectangles, the one the pointer
// left and the one under it.

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "window/layout.h"

namespace {

constexpr QSize CardSize(52, 70);
constexpr QRgb Table = 0x008000;

class FloorWindow : public QWidget {
public:
    FloorWindow() {
        setWindowTitle("Quillan floor");
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_StaticContents);
        resize(FormWidth, FormHeight);

        auto* clear = new QPushButton("Clear Cards", this);
        clear->setGeometry(Command2Place);
        auto* players = new QLineEdit("2", this);
        players->setGeometry(Text1Place);
        auto* status = new QPlainTextEdit(this);
        status->setGeometry(StatusPlace);
        auto* play = new QPushButton("Play Hands", this);
        play->setGeometry(Command1Place);
        connect(play, &QPushButton::clicked, status, [status] { status->setPlainText("Played."); });
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        painter.fillRect(rect(), QColor(Table));
        painter.fillRect(card_, Qt::white);
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        update(card_);
        card_ = QRect(event->position().toPoint(), CardSize);
        update(card_);
    }

private:
    QRect card_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    FloorWindow window;
    window.show();
    return app.exec();
}
