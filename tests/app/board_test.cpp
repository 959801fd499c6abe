// SPDX-License-Identifier: MIT
#include <QTest>

#include <vector>

#include "tests/support/gui_support.h"
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
    PutCard(3, "QC");
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
    // Only what changed is painted anew, so a change the refresh leaves out
    // shows on the screen as the look from before the event.
    const QImage& glow = form->MiniSelection.picture;
    const QImage& back = form->MiniBack.picture;
    const QImage& faces = form->MiniCardsSprite.picture;
    auto expectShown = [&](const char* after) {
        const QImage screen = OnScreen();
        for (int n = 1; n <= 7; ++n) {
            const CardSlot& slot = Slots[n];
            const QRgb middle = slot.Card.empty() ? back.pixel(26, 35)
                                                  : faces.pixel(52 * (slot.Column - 1) + 26, 70 * (slot.Row - 1) + 35);
            EXPECT_EQ(screen.pixel(slot.X + 26, slot.Y + 35), middle) << after << ": slot " << n;
            // The top edge of the glow, clear of the glow of the slots beside.
            EXPECT_EQ(screen.pixel(slot.X + 26, slot.Y - 6), n == ActiveSlot ? glow.pixel(38, 6) : qRgb(0, 128, 0))
                << after << ": above slot " << n;
        }
        const QImage surface = Surface();
        for (QPoint p : {QPoint(110, 300), QPoint(150, 265), QPoint(40, 290), QPoint(300, 490), QPoint(5, 5)})
            EXPECT_EQ(screen.pixel(p), surface.pixel(p)) << after << ": at " << p.x() << ", " << p.y();
    };
    struct Step {
        const char* what;
        std::vector<QPoint> clicks;  // on the table, then a move: a pick shows on the next move
        QPoint moveTo;               // never where the last move went, which QTest would drop
        int active;
    };
    const Step steps[] = {
        {"a move onto the six of hearts", {}, {110, 330}, 1},
        {"a move on to the eight of spades", {}, {150, 290}, 1},
        {"a click on community place 3", {{150, 200}}, {151, 201}, 5},
        {"the eight of spades picked", {{150, 290}}, {5, 5}, 6},
        {"the eight moved to hole place 1", {{40, 60}, {150, 290}}, {10, 5}, 2},
    };
    for (const Step& step : steps) {
        for (QPoint at : step.clicks) QTest::mouseClick(form.get(), Qt::LeftButton, {}, at);
        QTest::mouseMove(form.get(), step.moveTo);
        EXPECT_EQ(ActiveSlot, step.active) << step.what;
        expectShown(step.what);
    }
    QTest::mouseClick(form->Command2, Qt::LeftButton);
    expectShown("Clear Cards");
}

TEST_F(Board, PointerMovesRepaintNoControl) {
    QApplication::processEvents();
    PaintCounter paints;
    for (QWidget* control : form->findChildren<QWidget*>()) control->installEventFilter(&paints);
    for (int column = 1; column <= 13; ++column) {
        MoveTo(SheetCellArea(column, 1).X + 1, SheetTop + 1);
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
    ASSERT_EQ(grab.width(), 2 * FormWidth);
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
