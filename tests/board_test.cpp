// SPDX-License-Identifier: MIT
#include <QTest>

#include "gui_support.h"
#include "window/artwork.h"

namespace {

using Board = WindowTest;
using MousePicking = WindowTest;

// Whether the 52 x 70 card at (x, y) of the surface, as far as rect shows,
// is the given cell of a card sheet.
bool ShowsCell(const QImage& surface, QRect visible, QPoint cardCorner, const QImage& sheet, int column, int row) {
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        for (int x = visible.left(); x <= visible.right(); ++x) {
            const QPoint inCell(x - cardCorner.x() + 52 * (column - 1), y - cardCorner.y() + 70 * (row - 1));
            if (surface.pixel(x, y) != sheet.pixel(inCell)) return false;
        }
    }
    return true;
}

// The visible top-left strip of a resting sheet card.
QRect Strip(int column, int row) {
    const int x = 33 + 18 * (column - 1);
    const int y = 280 + 40 * (row - 1);
    return {x, y, column == 13 ? 52 : 18, row == 4 ? 70 : 40};
}

QImage Surface() { return *Form1->hDC(); }

void MoveTo(float x, float y) { Form_MouseMove(0, 0, x, y); }

TEST_F(Board, AtRestEveryCardOfTheSheetIsDimmed) {
    const QImage surface = Surface();
    for (int row = 1; row <= 4; ++row) {
        for (int column = 1; column <= 13; ++column) {
            const QRect strip = Strip(column, row);
            EXPECT_TRUE(ShowsCell(surface, strip, strip.topLeft(), form->MiniCardsSprite2.picture, column, row))
                << column << ", " << row;
        }
    }
}

TEST_F(Board, TheCardUnderThePointerStandsRaisedAndBright) {
    MoveTo(110, 330);  // six of hearts
    QImage surface = Surface();
    // It covers 26 more pixels of the card above; the row below still covers it.
    EXPECT_TRUE(ShowsCell(surface, {105, 294, 18, 66}, {105, 294}, form->MiniCardsSprite.picture, 5, 2));
    EXPECT_TRUE(ShowsCell(surface, {105, 360, 18, 40}, {105, 360}, form->MiniCardsSprite2.picture, 5, 3));
    EXPECT_TRUE(ShowsCell(surface, {105, 280, 18, 14}, {105, 280}, form->MiniCardsSprite2.picture, 5, 1));

    MoveTo(290, 300);  // past the last strip: the ace of spades
    surface = Surface();
    EXPECT_TRUE(ShowsCell(surface, {249, 254, 52, 26}, {249, 254}, form->MiniCardsSprite.picture, 13, 1));

    MoveTo(33, 280);
    EXPECT_TRUE(ShowsCell(Surface(), {33, 254, 18, 26}, {33, 254}, form->MiniCardsSprite.picture, 1, 1));

    MoveTo(300, 469);  // just off the sheet: nothing raised
    const QImage offSheet = Surface();
    MoveTo(0, 0);
    EXPECT_EQ(offSheet, Surface());
    MoveTo(100, 200);  // over a slot: slots have no hover look
    EXPECT_EQ(offSheet, Surface());
}

TEST_F(Board, SlotsShowBacksOrBrightFacesAndTheFrameGlowsAroundTheActiveOne) {
    Slots[3].Card = "QC";
    Slots[3].Column = 11;
    Slots[3].Row = 3;
    ActiveSlot = 7;
    DrawBoard();
    const QImage surface = Surface();
    EXPECT_TRUE(ShowsCell(surface, {30, 175, 52, 70}, {30, 175}, form->MiniCardsSprite.picture, 11, 3));
    for (int n : {1, 2, 4, 5, 6, 7}) {
        const QImage back = surface.copy(Slots[n].X, Slots[n].Y, 52, 70);
        EXPECT_EQ(back, form->MiniBack.picture) << n;
    }

    // The frame of slot 7 spans x 242..317, y 163..256; slot 6 covers its left edge.
    const QImage& frame = form->MiniSelection.picture;
    EXPECT_EQ(surface.pixel(306, 210), frame.pixel(64, 47));
    EXPECT_EQ(surface.pixel(317, 210), frame.pixel(75, 47));
    EXPECT_EQ(surface.pixel(280, 163), frame.pixel(38, 0));
    EXPECT_EQ(surface.pixel(280, 256), frame.pixel(38, 93));
    EXPECT_EQ(surface.pixel(249, 210), form->MiniBack.picture.pixel(51, 35));
    EXPECT_EQ(surface.pixel(251, 210), frame.pixel(9, 47));
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x)
            ASSERT_NE(surface.pixel(x, y), qRgb(255, 0, 0)) << "red of the frame shows at " << x << ", " << y;
    }
}

TEST_F(Board, PaintingShowsTheSurfaceUnchanged) {
    MoveTo(110, 330);
    const QImage shown = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (QPoint p : {QPoint(110, 300), QPoint(40, 290), QPoint(60, 80), QPoint(300, 490), QPoint(5, 5)})
        EXPECT_EQ(shown.pixel(p), Surface().pixel(p)) << p.x() << ", " << p.y();
}

TEST_F(Board, PointerMovesRepaintNoControl) {
    QApplication::processEvents();
    PaintCounter paints;
    for (QWidget* control : form->findChildren<QWidget*>()) control->installEventFilter(&paints);
    for (int column = 1; column <= 13; ++column) {
        MoveTo(SheetLeft + SheetStepX * (column - 1) + 1, SheetTop + 1);
        QApplication::processEvents();
    }
    Form_MouseUp(1, 0, SheetLeft + 1, SheetTop + 1);  // a pick, shown by the next move
    MoveTo(5, 5);
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
}

TEST_F(MousePicking, ReleasesOnTheSheetFillTheSlotsAndTheNextMoveShowsThem) {
    QTest::mouseMove(form.get(), {251, 285});
    QTest::mouseClick(form.get(), Qt::LeftButton, {}, {251, 285});  // ace of spades
    EXPECT_EQ(Slots[1].Card, "AS");
    EXPECT_EQ(Surface().copy(30, 55, 52, 70), form->MiniBack.picture);  // not drawn yet
    QTest::mouseMove(form.get(), {252, 286});
    EXPECT_TRUE(ShowsCell(Surface(), {30, 55, 52, 70}, {30, 55}, form->MiniCardsSprite.picture, 13, 1));

    QTest::mouseClick(form.get(), Qt::RightButton, {}, {233, 405});  // king of diamonds, right button
    QTest::mouseClick(form.get(), Qt::MiddleButton, {}, {40, 285});  // two of spades
    EXPECT_EQ(Slots[2].Card, "KD");
    EXPECT_EQ(Slots[3].Card, "2S");

    QTest::mouseClick(form.get(), Qt::LeftButton, {}, {100, 60});  // slot 2 becomes active
    EXPECT_EQ(ActiveSlot, 2);
    QTest::mouseClick(form.get(), Qt::LeftButton, {}, {40, 285});  // the two moves up
    EXPECT_EQ(Slots[2].Card, "2S");
    EXPECT_EQ(Slots[3].Card, "");
    EXPECT_EQ(ActiveSlot, 3);
}

TEST_F(MousePicking, EventsOverAControlStayWithTheControl) {
    QTest::mouseClick(form->Label2, Qt::LeftButton, {}, {10, 5});
    QTest::mouseMove(form->Label1, {10, 5});
    EXPECT_EQ(MouseX, 0);
    EXPECT_EQ(MouseY, 0);
}

// Runs under QT_SCALE_FACTOR=2 from its own CTest entry.
TEST_F(Board, ScaledWindowShowsCardsPixelForPixel) {
    if (form->devicePixelRatio() < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    Form_MouseUp(1, 0, 251, 285);
    MoveTo(0, 0);
    const QImage grab = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(grab.width(), 2 * 331);
    QSet<QRgb> sprite;
    const QImage& sheet = form->MiniCardsSprite.picture;
    for (int y = 0; y < 70; ++y) {
        for (int x = 624; x < 676; ++x) sprite.insert(sheet.pixel(x, y));
    }
    for (int y = 2 * 55; y < 2 * 125; ++y) {
        for (int x = 2 * 30; x < 2 * 82; ++x)
            ASSERT_TRUE(sprite.contains(grab.pixel(x, y))) << "a blended colour at " << x << ", " << y;
    }
}

}  // namespace
