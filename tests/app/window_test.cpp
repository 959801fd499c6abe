// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/support/gui_support.h"

namespace {

using WindowLayout = WindowTest;
using PlayHands = WindowTest;
using PlayerCount = WindowTest;
using ClearCards = WindowTest;
using TableAccess = WindowTest;

// Lets the window take back its activation after a message box, as a
// window manager would give it back.
void Settle() { EXPECT_TRUE(QTest::qWaitForWindowActive(Form1, 1000)); }

void ClickButton(QPushButton* button, Qt::MouseButton which = Qt::LeftButton) {
    QTest::mouseClick(button, which, {}, button->rect().center());
    Settle();
}

// Presses a button as assistive technology does; the press is animated and
// clicks a moment later, when the handler runs before the spy hears it.
void PressButton(QPushButton* button) {
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(clicked.wait(2000));
}

// The slots' cards and the active slot, "AS KD -- -- -- -- -- > 3".
std::string TableState() { return SlotCodes() + "> " + std::to_string(ActiveSlot); }

void HoleCards(const char* first, const char* second) {
    PutCard(1, first);
    PutCard(2, second);
}

constexpr const char* EmptyTable = "Hole cards: none. Community cards: none. Next card: hole card 1.";

// What a screen reader reads as the card table's description.
QString TableDescription() { return TableElement("Card table")->text(QAccessible::Description); }

TEST_F(WindowLayout, OpensWithItsControlsInPlace) {
    EXPECT_EQ(form->windowTitle(), "Quillan");
    EXPECT_EQ(form->size(), QSize(331, 500));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);

    struct Place {
        QWidget* control;
        QRect rect;
        QString text;
    };
    const Place places[] = {
        {form->Command1, {176, 24, 65, 25}, "Play Hands"},
        {form->Command2, {248, 24, 65, 25}, "Clear Cards"},
        {form->Text1, {280, 56, 25, 17}, "2"},
        {form->txt_Status, {176, 80, 137, 49}, ""},
        {form->Label1, {24, 16, 121, 17}, "Hole Cards:"},
        {form->Label2, {24, 144, 241, 17}, "Community Cards:"},
        {form->Label3, {184, 56, 97, 17}, "Number of players:"},
    };
    for (const Place& p : places) {
        EXPECT_EQ(p.control->geometry(), p.rect) << p.text.toStdString();
        EXPECT_FALSE(p.control->accessibleName().isEmpty()) << p.text.toStdString();
        EXPECT_FALSE(p.control->accessibleDescription().isEmpty()) << p.text.toStdString();
    }
    EXPECT_EQ(form->Command1->text(), "Play Hands");
    EXPECT_EQ(form->Command2->text(), "Clear Cards");
    EXPECT_EQ(form->Text1->text(), "2");
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(TableDescription(), EmptyTable);

    // Every caption fits its box.
    for (QLabel* label : {form->Label1, form->Label2, form->Label3}) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << label->text().toStdString();
        EXPECT_LE(label->fontMetrics().height(), label->height() + 2) << label->text().toStdString();
    }
    for (QPushButton* button : {form->Command1, form->Command2})
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width() - 6);
    EXPECT_LE(form->Text1->fontMetrics().horizontalAdvance("10"), form->Text1->width());

    EXPECT_TRUE(form->Text1->font().bold());
    EXPECT_EQ(form->Text1->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(form->Text1->palette().color(QPalette::Base), QColor(0, 0, 0));
    EXPECT_EQ(form->txt_Status->palette().color(QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(form->txt_Status->palette().color(QPalette::Base), QColor(64, 64, 64));

    for (const PictureBox* box :
         {&form->MiniCardsSprite, &form->MiniCardsSprite2, &form->MiniBack, &form->MiniSelection}) {
        EXPECT_FALSE(box->control->isVisible());
        EXPECT_EQ(box->control->size(), box->picture.size());
    }
}

TEST_F(WindowLayout, ResultLinesShowAsThreeLines) {
    SetText(form->txt_Status, FormatOdds(1, 0, 0));
    EXPECT_EQ(form->txt_Status->document()->blockCount(), 3);
    EXPECT_EQ(Status(), "Win Chance: 0.1%\nLose Chance: 0%\nDraw Chance: 0%");
}

TEST_F(WindowLayout, TabVisitsPlayStatusCountThenClear) {
    form->Command1->setFocus();
    std::vector<QWidget*> visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(visited, (std::vector<QWidget*>{form->txt_Status, form->Text1, form->Command2, form->Command1}));
}

TEST_F(WindowLayout, EnlargingAddsGreenTableAndMovesNothing) {
    const QRgb sheetPixel = form->hDC()->pixel(40, 290);
    std::vector<QRect> places;
    for (QWidget* control : form->findChildren<QWidget*>()) places.push_back(control->geometry());
    // Taller, then wider, then both: each time the new area is green table.
    const std::pair<QSize, QPoint> steps[] = {
        {{331, 600}, {200, 550}}, {{450, 600}, {400, 250}}, {{500, 700}, {450, 650}}};
    for (auto [size, inNewArea] : steps) {
        form->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(form->hDC()->pixel(inNewArea), qRgb(0, 128, 0)) << size.width() << " x " << size.height();
        EXPECT_EQ(OnScreen().pixel(inNewArea), qRgb(0, 128, 0)) << size.width() << " x " << size.height();
    }
    EXPECT_EQ(form->hDC()->pixel(40, 290), sheetPixel);
    std::vector<QRect> after;
    for (QWidget* control : form->findChildren<QWidget*>()) after.push_back(control->geometry());
    EXPECT_EQ(after, places);
    EXPECT_EQ(form->grab().toImage().pixel(450, 650), qRgb(0, 128, 0));
}

TEST_F(PlayHands, MissingHoleCardWarnsAndChangesNothing) {
    SetText(form->txt_Status, "before");
    for (auto [first, second] : {std::pair{"AS", ""}, {"", "KD"}, {"", ""}}) {
        HoleCards(first, second);
        ClickButton(form->Command1);
        EXPECT_EQ(Status(), "before");
        EXPECT_TRUE(form->txt_Status->hasFocus());
    }
    ASSERT_EQ(boxes.size(), 3u);
    for (const SeenBox& box : boxes) {
        EXPECT_EQ(box.title, "Warning");
        EXPECT_EQ(box.text, "Select your hole cards.");
        EXPECT_EQ(box.buttons, 1);
        EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    }
}

TEST_F(PlayHands, FiguresCountUpToOneHundred) {
    HoleCards("AS", "KD");
    form->Text1->setText("4");
    QSignalSpy writes(form->txt_Status, &QPlainTextEdit::textChanged);
    QStringList texts;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] {
        texts << Status();
        if (texts.size() != 500) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // over a display frame
        // The hole cards and the count are read once, when the run starts: the
        // two of clubs picked into hole place 1 and another count typed now
        // change none of the texts pinned below.
        QTest::mouseClick(form.get(), Qt::LeftButton, {}, {SheetLeft + 9, SheetTop + 2 * SheetStepY + 20});
        form->Text1->setText("10");
    });
    // The text the box held at each of its paints: what the screen showed.
    struct PaintedTexts : QObject {
        QStringList texts;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) texts << Form1->txt_Status->toPlainText();
            return false;
        }
    } painted;
    form->txt_Status->viewport()->installEventFilter(&painted);
    ClickButton(form->Command1);
    QApplication::processEvents();  // the paint of the end

    ASSERT_EQ(texts.size(), 1000);
    EXPECT_EQ(Slots[1].Card, "2C");
    EXPECT_LT(painted.texts.size(), 100);  // at most once a display frame, not once a deal
    // But it is seen counting up: a deal that ends more than a frame after the
    // last paint is painted, and the last paint shows the end.
    EXPECT_TRUE(painted.texts.contains(texts[499]));
    ASSERT_FALSE(painted.texts.empty());
    EXPECT_EQ(painted.texts.back(), texts.back());
    const std::vector<double> first = Figures(texts.front());
    ASSERT_EQ(first.size(), 3u);
    EXPECT_DOUBLE_EQ(Sum(first), 0.1);
    EXPECT_EQ(std::count(first.begin(), first.end(), 0.1), 1);
    for (int deal = 1; deal <= 1000; deal += 111) EXPECT_NEAR(Sum(Figures(texts[deal - 1])), deal / 10.0, 1e-9);
    const std::vector<double> last = Figures(Status());
    EXPECT_NEAR(Sum(last), 100, 1e-9);
    EXPECT_NEAR(last[0], 37.6, 4);  // ace-king against three players
    EXPECT_TRUE(boxes.empty());

    // The first run after a start always plays the same deals: pin every text
    // it showed, so that no change to dealing, drawing, scoring or writing
    // the figures can alter what the user sees unnoticed.
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a of the texts, '|' between them
    for (char c : texts.join('|').toStdString()) hash = (hash ^ std::uint8_t(c)) * 1099511628211u;
    EXPECT_EQ(texts.back().toStdString(), "Win Chance: 36.7%\nLose Chance: 61.6%\nDraw Chance: 1.7%");
    EXPECT_EQ(hash, 5442007355108833612u);
}

TEST_F(PlayHands, ACountChangedWithoutLeavingTheBoxIsCheckedBeforeTheRunReadsIt) {
    HoleCards("2S", "7D");
    // Written into the box as assistive technology or a paste by another
    // program does, with the focus elsewhere: the run would deal 49
    // opponents, or none, to a count nobody checked.
    for (const char* count : {"50", "abc", "", "1", "0", "30"}) {
        boxes.clear();
        form->Text1->setText(count);
        Command1_Click();
        ASSERT_EQ(boxes.size(), 1u) << count;
        EXPECT_EQ(boxes[0].text, PlayerCountMessage);
        EXPECT_EQ(form->Text1->text(), "2");
        EXPECT_EQ(form->focusWidget(), form->Text1);
        EXPECT_EQ(Status(), "") << "a run read " << count;
    }
    form->Text1->setText("3");
    Command1_Click();
    EXPECT_NEAR(Sum(Figures(Status())), 100, 1e-9);
}

TEST_F(PlayHands, AnotherPressDuringARunRunsInsideItAndTheFirstRunWritesLast) {
    HoleCards("QH", "QC");
    QStringList texts;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] {
        texts << Status();
        if (texts.size() == 500) ClickButton(form->Command1);
    });
    ClickButton(form->Command1);
    ASSERT_EQ(texts.size(), 2000);
    EXPECT_NEAR(Sum(Figures(texts[1499])), 100, 1e-9);   // the inner run's last text
    EXPECT_NEAR(Sum(Figures(texts[1500])), 50.1, 1e-9);  // the outer run goes on
    EXPECT_NEAR(Sum(Figures(texts.back())), 100, 1e-9);
}

TEST_F(PlayHands, ACardPutOnTheBoardDuringARunPlaysFromTheNextDeal) {
    HoleCards("2H", "7C");
    ActiveSlot = 3;
    QStringList texts;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] {
        texts << Status();
        if (texts.size() != 100) return;
        // Picked in the pause after the hundredth deal: the ten to the ace of
        // spades, a royal flush that every player plays, so every deal from
        // the next one on is a draw.
        QTimer::singleShot(0, form.get(), [&] {
            for (int column = 9; column <= 13; ++column)
                QTest::mouseClick(form.get(), Qt::LeftButton, {}, {SheetCellArea(column, 1).X + 9, SheetTop + 20});
        });
    });
    ClickButton(form->Command1);
    ASSERT_EQ(texts.size(), 1000);
    for (int n = 3; n <= 7; ++n) EXPECT_EQ(Slots[n].Card, std::string(1, "0JQKA"[n - 3]) + "S");
    const std::vector<double> before = Figures(texts[99]);
    const std::vector<double> after = Figures(texts.back());
    ASSERT_EQ(before.size(), 3u);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_NEAR(after[2], before[2] + 90, 1e-9);
}

TEST_F(PlayHands, ClosingTheWindowEndsEveryRunAtOnce) {
    HoleCards("QH", "QC");
    int writes = 0;
    int writesAfterClose = 0;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] {
        if (form->Unloaded()) ++writesAfterClose;
        if (++writes == 10) QTest::mouseClick(form->Command1, Qt::LeftButton);  // a nested run
        if (writes == 30) form->close();
    });
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_EQ(writes, 30);
    EXPECT_EQ(writesAfterClose, 0);
    EXPECT_TRUE(form->Unloaded());
}

TEST_F(PlayHands, DecimalCommaLocaleWritesCommas) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    HoleCards("AS", "KD");
    form->Text1->setText("2,5");
    QStringList texts;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] { texts << Status(); });
    ClickButton(form->Command1);
    ASSERT_EQ(texts.size(), 1000);
    EXPECT_TRUE(texts.front().contains("0,1%"));
    EXPECT_NEAR(Sum(Figures(texts.back(), ',')), 100, 1e-9);
    EXPECT_TRUE(boxes.empty());
}

// Run by FirstRun.IsTheSameInEveryNewProcess in a process of its own.
TEST_F(PlayHands, PrintFirstRunTexts) {
    if (qEnvironmentVariableIsEmpty("QUILLAN_PRINT_FIRST_RUN")) GTEST_SKIP() << "only run as a child process";
    HoleCards("9H", "9C");
    form->Text1->setText("6");
    QStringList texts;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] { texts << Status(); });
    ClickButton(form->Command1);
    printf("texts:%s\n", qPrintable(texts.join('|').replace('\n', '/')));
}

TEST(FirstRun, IsTheSameInEveryNewProcess) {
    auto firstRun = [] {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLAN_PRINT_FIRST_RUN", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=PlayHands.PrintFirstRunTexts"});
        child.waitForFinished(60000);
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        const int at = out.indexOf("texts:");
        return at < 0 ? QString() : out.mid(at, out.indexOf('\n', at) - at);
    };
    const QString first = firstRun();
    EXPECT_GT(first.count('|'), 900);
    EXPECT_EQ(first, firstRun());
}

TEST_F(PlayerCount, AcceptedCountsLetTheFocusMoveOn) {
    for (const char* count : {"2", "10", " 3 ", "2.5", "7"}) {
        form->Text1->setText(count);
        form->Text1->setFocus();
        ClickButton(form->Command2);
        EXPECT_EQ(form->Text1->text(), count);
        EXPECT_EQ(Status(), ClearPrompt);  // the button's handler ran
        SetText(form->txt_Status, "");
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PlayerCount, RefusedCountsKeepTheFocusAndStopTheButton) {
    HoleCards("AS", "KD");
    const char* refused[] = {"1", "11", "0", "-3", "", "abc", "3 players", "inf", "nan", "1e1", "10.5"};
    for (const char* count : refused) {
        boxes.clear();
        form->Text1->setText(count);
        form->Text1->setFocus();
        ClickButton(form->Command1);
        ASSERT_EQ(boxes.size(), 1u) << count;
        EXPECT_EQ(boxes[0].title, "Warning");
        EXPECT_EQ(boxes[0].text, PlayerCountMessage);
        EXPECT_EQ(boxes[0].buttons, 1);
        EXPECT_EQ(boxes[0].icon, QMessageBox::NoIcon);
        EXPECT_EQ(boxes[0].text1WhileOpen, count);  // the message comes before the reset
        EXPECT_EQ(form->Text1->text(), "2");
        EXPECT_TRUE(form->Text1->hasFocus()) << count;
        EXPECT_EQ(Status(), "") << "Play Hands ran after a refusal of " << count;
    }
    // The "2" written back passes, so the next press plays two-handed.
    boxes.clear();
    ClickButton(form->Command1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_NEAR(Sum(Figures(Status())), 100, 1e-9);
}

TEST_F(PlayerCount, ClickingInsideTheBoxChecksNothing) {
    form->Text1->setText("1");  // on the way to "10"
    form->Text1->setFocus();
    QTest::mouseClick(form->Text1, Qt::LeftButton, {}, {5, 5});
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(form->Text1->text(), "1");
}

TEST_F(PlayerCount, ACountIsRefusedUnlessTheRunWouldPlayItAsChecked) {
    // The run reads the number the text starts with, "." as the point; a count
    // that reads otherwise under the user's locale would play another table.
    struct Case {
        QLocale::Language language;
        QLocale::Country country;
        const char* count;
        bool accepted;
    };
    const Case cases[] = {
        {QLocale::English, QLocale::UnitedStates, "2.5", true},
        {QLocale::English, QLocale::UnitedStates, "1,0", false},  // ten to the check, one to the run
        {QLocale::German, QLocale::Germany, "2,5", true},
        {QLocale::German, QLocale::Germany, "10", true},
        {QLocale::German, QLocale::Germany, "1.0", false},
        {QLocale::German, QLocale::Germany, "2.5", false},  // twenty-five
    };
    for (const Case& c : cases) {
        QLocale::setDefault(QLocale(c.language, c.country));
        form->Text1->setText(c.count);
        bool cancel = false;
        Text1_Validate(cancel);
        EXPECT_EQ(cancel, !c.accepted) << c.count << " under " << qPrintable(QLocale().name());
    }
}

TEST_F(PlayerCount, EveryWayACountComesInOrTheFocusLeavesIsChecked) {
    // However a count reaches the box and however the focus leaves it, or
    // the run starts without its leaving, a count out of range is refused
    // once, put back to "2", and keeps the focus; no run reads it.
    HoleCards("AS", "KD");
    auto typed = [this](const char* count) {
        form->Text1->setFocus();
        form->Text1->setText(count);
    };
    auto dropped = [this](const char* count) {
        form->Text1->clear();
        QMimeData data;
        data.setText(count);
        const QPoint at = form->Text1->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form->Text1, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form->Text1, &drop);
    };
    auto pressedByAssistiveTechnology = [](QPushButton* button) { return [button] { PressButton(button); }; };
    QWidget other;
    struct Case {
        const char* how;
        std::function<void()> enter;
        std::function<void()> leave;
        QString status = "";     // the status box after the refusal
        bool focusStays = true;  // or leaves, by the platform or assistive technology, and comes back
    };
    const Case cases[] = {
        {"typed, then Tab", [&] { typed("12"); }, [&] { QTest::keyClick(form->Text1, Qt::Key_Tab); }},
        {"typed, then Shift+Tab", [&] { typed("12"); }, [&] { QTest::keyClick(form->Text1, Qt::Key_Backtab); }},
        {"typed, then a click into the status box", [&] { typed("zz"); },
         [&] { QTest::mouseClick(form->txt_Status->viewport(), Qt::LeftButton); }},
        {"typed, then Play Hands clicked while another window has the focus", [&] { typed("50"); },
         [&] {
             other.show();
             QApplication::setActiveWindow(&other);
             ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
             ASSERT_FALSE(form->Text1->hasFocus());
             QTest::mouseClick(form->Command1, Qt::LeftButton, {}, form->Command1->rect().center());
             other.hide();
         },
         "", false},
        {"dropped, then Play Hands clicked", [&] { dropped("50"); }, [&] { ClickButton(form->Command1); }},
        {"set by assistive technology, then Play Hands pressed there", [] { SetCount("50"); },
         pressedByAssistiveTechnology(form->Command1)},
        // Clear Cards' handler moves the focus to the status box.
        {"typed, then Clear Cards pressed by assistive technology",
         [&] {
             form->Text1->setFocus();
             QTest::keyClicks(form->Text1, "0");  // "20"
         },
         pressedByAssistiveTechnology(form->Command2), ClearPrompt},
        {"typed, then the focus moved by assistive technology",
         [&] {
             form->Text1->setFocus();
             QTest::keyClick(form->Text1, Qt::Key_A);
         },
         [&] {
             QAccessible::queryAccessibleInterface(form->Command2)
                 ->actionInterface()
                 ->doAction(QAccessibleActionInterface::setFocusAction());
         },
         "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        boxes.clear();
        SetText(form->txt_Status, "");
        c.enter();
        ASSERT_NE(form->Text1->text(), "2");
        // The focus may go to the warning, and nowhere else.
        QString leftFor;
        QObject watching;  // ends the watch with this case
        QObject::connect(qApp, &QApplication::focusChanged, &watching, [&](QWidget*, QWidget* now) {
            if (leftFor.isEmpty() && now && now != form->Text1 && !qobject_cast<QMessageBox*>(now->window()))
                leftFor = now->objectName();
        });
        c.leave();
        // Assistive technology's presses click a moment later.
        if (!QTest::qWaitFor([&] { return !boxes.empty(); }, 2000)) ADD_FAILURE() << "no warning";
        Settle();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, PlayerCountMessage);
        EXPECT_EQ(form->Text1->text(), "2");
        EXPECT_EQ(form->focusWidget(), form->Text1);
        EXPECT_EQ(Status(), c.status) << "a run read the count";
        if (c.focusStays && !leftFor.isEmpty()) ADD_FAILURE() << "the focus left for " << qPrintable(leftFor);
    }

    // Leaving a valid count raises nothing.
    boxes.clear();
    form->Text1->setFocus();
    QTest::mouseClick(form->txt_Status->viewport(), Qt::LeftButton);
    Settle();
    EXPECT_TRUE(form->txt_Status->hasFocus());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PlayerCount, PastingWhatTheClipboardCannotGiveAsTextInsertsNothing) {
    QMimeData* nothing = new QMimeData;  // no owner, or no text: no formats at all
    QApplication::clipboard()->setMimeData(nothing);
    form->txt_Status->setFocus();
    SetText(form->txt_Status, "kept");
    QTest::keyClick(form->txt_Status, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(form->txt_Status, Qt::Key_Insert, Qt::ShiftModifier);
    // The context menu's Paste calls paste() itself, past any key or mouse event.
    std::unique_ptr<QMenu> menu(form->txt_Status->createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() == "edit-paste") action->trigger();
    }
    form->txt_Status->paste();
    EXPECT_EQ(Status(), "kept");
    form->Text1->setFocus();
    QTest::keyClick(form->Text1, Qt::Key_V, Qt::ControlModifier);
    form->Text1->paste();  // its context menu's Paste
    EXPECT_EQ(form->Text1->text(), "2");
}

TEST_F(WindowLayout, ReturnOrEnterOnAFocusedButtonPressesIt) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SetText(form->txt_Status, "");
        form->Command2->setFocus();
        QTest::keyClick(form->Command2, key);
        EXPECT_EQ(Status(), ClearPrompt);
        boxes.clear();
        form->Command1->setFocus();
        QTest::keyClick(form->Command1, key);
        Settle();
        ASSERT_EQ(boxes.size(), 1u);  // no hole cards yet
        EXPECT_EQ(boxes[0].text, MissingHoleCardsMessage);
    }
}

TEST_F(WindowLayout, AClickIntoTheStatusBoxLetsTheUserTypeThere) {
    ASSERT_FALSE(form->txt_Status->hasFocus());
    QTest::mouseClick(form->txt_Status->viewport(), Qt::LeftButton);
    EXPECT_TRUE(form->txt_Status->hasFocus());
    QTest::keyClicks(form->txt_Status, "note");
    EXPECT_EQ(Status(), "note");
}

TEST_F(WindowLayout, ButtonsKeepThePlatformsColours) {
    for (QPushButton* button : {form->Command1, form->Command2}) {
        const QImage look = button->grab().toImage();
        for (int y = 0; y < look.height(); ++y) {
            for (int x = 0; x < look.width(); ++x) {
                const QColor c = look.pixelColor(x, y);
                ASSERT_FALSE(c.green() > c.red() + 40 && c.green() > c.blue() + 40)
                    << qPrintable(button->text()) << " takes the table's green at " << x << "," << y;
            }
        }
    }
}

TEST_F(ClearCards, EmptiesTheSlotsAndPromptsAndLeavesTheCount) {
    for (int n = 1; n <= 7; ++n)
        QTest::mouseClick(form.get(), Qt::LeftButton, {}, {SheetCellArea(n, 1).X + 1, SheetTop + 1});
    const QString full =
        "Hole cards: two of spades, three of spades. Community cards: four of spades, five of spades, six of spades, "
        "seven of spades, eight of spades. Next card: hole card 1.";
    EXPECT_EQ(TableDescription(), full);
    form->Text1->setText("5");
    SetText(form->txt_Status, FormatOdds(1000, 0, 0));
    ClickButton(form->Command2);
    ClickButton(form->Command2);
    EXPECT_EQ(TableDescription(), EmptyTable);
    for (const CardSlot& slot : Slots) EXPECT_EQ(slot.Card, "");
    EXPECT_EQ(ActiveSlot, 1);
    EXPECT_EQ(Status(), ClearPrompt);
    EXPECT_TRUE(form->txt_Status->hasFocus());
    EXPECT_EQ(form->Text1->text(), "5");
}

TEST_F(TableAccess, CardsAndPlacesPressedDoWhatAClickInTheirMiddleDoesAndShowIt) {
    // A hand as a player picks it, with a place chosen, a card moved and a
    // full table wrapping round.
    const QString steps[] = {"ace of spades",    "king of diamonds", "Community card 2", "queen of hearts",
                             "ace of spades",    "Hole card 1",      "ten of clubs",     "two of diamonds",
                             "Community card 5", "nine of hearts",   "three of spades",  "jack of clubs",
                             "four of hearts",   "king of diamonds", "five of clubs"};
    std::vector<std::string> clicked;
    for (const QString& step : steps) {
        const QPoint middle = form->mapFromGlobal(TableElement(step)->rect().center());
        Form_MouseUp(1, 0, float(middle.x()), float(middle.y()));
        clicked.push_back(TableState());
    }
    EmptySlots();
    MouseX = MouseY = 0;
    DrawBoard();
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        PressElement(steps[i]);
        ASSERT_EQ(TableState(), clicked[i]) << "after pressing " << qPrintable(steps[i]);
        // No pointer move follows a press: the press shows its change itself,
        // on the screen too, where the glow and the slots' cards are.
        const QImage drawn = *form->hDC();
        const QImage screen = OnScreen();
        DrawBoard();
        ASSERT_EQ(*form->hDC(), drawn) << "the table was not redrawn after pressing " << qPrintable(steps[i]);
        QApplication::processEvents();  // the fresh drawing's refresh, before the next press
        for (const CardSlot& slot : Slots) {
            for (QPoint at : {QPoint(slot.X + 26, slot.Y + 35), QPoint(slot.X + 26, slot.Y - 6)})
                ASSERT_EQ(screen.pixel(at), drawn.pixel(at))
                    << "at " << at.x() << "," << at.y() << " after pressing " << qPrintable(steps[i]);
        }
        EXPECT_EQ(form->TableDescription().toStdString(), SlotsInWords());
    }
}

TEST_F(TableAccess, EveryCardIsNamedAndPickedWhereItsExtentsLie) {
    QAccessibleInterface* sheet = TableElement("Card sheet");
    ASSERT_EQ(sheet->childCount(), 52);
    for (int i = 0; i < 52; ++i) {
        QAccessibleInterface* card = sheet->child(i);
        const QRect extents(form->mapFromGlobal(card->rect().topLeft()), card->rect().size());
        // Drawn in rows by suit, two to ace.
        EXPECT_EQ(card->text(QAccessible::Name).toStdString(), CardName(SheetCard(i % 13 + 1, i / 13 + 1)));
        EXPECT_EQ(card->role(), QAccessible::Button);
        for (QPoint at : {extents.topLeft(), extents.center(), extents.bottomRight()}) {
            const SheetCell cell = SheetCellAt(float(at.x()), float(at.y()));
            EXPECT_EQ(cell, (SheetCell{i % 13 + 1, i / 13 + 1})) << qPrintable(card->text(QAccessible::Name));
        }
        // The element under a point, as a screen reader asks for it, from the window down.
        QAccessibleInterface* under = QAccessible::queryAccessibleInterface(form.get());
        for (int depth = 0; depth < 3 && under; ++depth)
            under = under->childAt(card->rect().center().x(), card->rect().center().y());
        EXPECT_EQ(under, card);
    }
}

TEST_F(TableAccess, CardsAndPlacesSayWhereTheCardsAreAndWhichPlaceIsNext) {
    PressElement("ace of spades");
    PressElement("Community card 3");
    PressElement("king of diamonds");
    auto checked = [](const QString& name) { return TableElement(name)->state().checked; };
    EXPECT_EQ(TableElement("Hole card 1")->text(QAccessible::Name), "Hole card 1: ace of spades");
    EXPECT_EQ(TableElement("Community card 3")->text(QAccessible::Name), "Community card 3: king of diamonds");
    EXPECT_EQ(TableElement("Hole card 2")->text(QAccessible::Name), "Hole card 2: empty");
    EXPECT_EQ(TableElement("king of diamonds")->text(QAccessible::Description), "In community card 3.");
    EXPECT_EQ(TableElement("queen of diamonds")->text(QAccessible::Description), "");
    EXPECT_TRUE(checked("ace of spades"));
    EXPECT_FALSE(checked("queen of diamonds"));
    for (int n = 1; n <= 7; ++n) {
        const QString place = QString::fromStdString(SlotName(n));
        EXPECT_EQ(checked(place), n == 6) << n;  // the next card goes into community card 4
        EXPECT_EQ(TableElement(place)->role(), QAccessible::RadioButton);
        EXPECT_EQ(form->mapFromGlobal(TableElement(place)->rect().topLeft()), QPoint(Slots[n].X, Slots[n].Y));
    }
}

TEST_F(PlayHands, AWarningHoldsForAssistiveTechnologyToo) {
    QString countWhileOpen;
    whileBoxOpen = [&] {
        const std::string before = TableState();
        for (int n = 0; n < 3; ++n) PressButton(form->Command1);
        PressButton(form->Command2);
        PressElement("ace of spades");
        PressElement("Community card 4");
        SetCount("7");
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(form->txt_Status);
        const QString statusBefore = Status();
        status->editableTextInterface()->replaceText(0, status->textInterface()->characterCount(), "changed");
        status->editableTextInterface()->insertText(0, "x");
        status->editableTextInterface()->deleteText(0, 4);
        EXPECT_EQ(Status(), statusBefore) << "the status box was edited under a warning";
        QAccessible::queryAccessibleInterface(form->Command2)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::setFocusAction());
        QCoreApplication::processEvents();
        EXPECT_EQ(TableState(), before);
        countWhileOpen = form->Text1->text();
    };

    // The hole cards' warning: no second warning, no run, no clearing, no
    // pick, no count change.
    PressButton(form->Command1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, MissingHoleCardsMessage);
    EXPECT_EQ(countWhileOpen, "2");
    EXPECT_EQ(Status(), "");
    Settle();
    EXPECT_EQ(form->focusWidget(), form->txt_Status) << "the focus moved under the warning";

    // The count's warning holds the count that was refused until it closes.
    HoleCards("QH", "QC");
    SetCount("50");
    PressButton(form->Command1);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, PlayerCountMessage);
    EXPECT_EQ(countWhileOpen, "50");
    EXPECT_EQ(form->Text1->text(), "2");
    EXPECT_EQ(Status(), "") << "a run played under the warning";
    Settle();
    EXPECT_EQ(form->focusWidget(), form->Text1);

    // A press made under a warning clicks a tenth of a second later, when
    // the warning has closed: it plays no run and clears nothing then either.
    SetCount("50");
    whileBoxOpen = [&] {
        for (QPushButton* button : {form->Command1, form->Command2})
            QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
    };
    PressButton(form->Command1);
    ASSERT_EQ(boxes.size(), 3u);
    whileBoxOpen = nullptr;
    QTest::qWait(400);
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_EQ(Status(), "") << "a press made under the warning played a run after it";
    EXPECT_EQ(Slots[1].Card, "QH") << "a press made under the warning cleared the table after it";

    // Once closed, a press lands again.
    PressElement("ace of spades");
    EXPECT_EQ(Slots[1].Card, "AS");
}

}  // namespace

namespace {

using Picks = WindowTest;

// Sends a mouse event to the window with the X server's time, in ms.
void SendMouse(QEvent::Type type, QPoint at, quint64 time) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, Form1->mapToGlobal(at), Qt::LeftButton, held, {});
    event.setTimestamp(time);
    QApplication::sendEvent(Form1, &event);
}

TEST_F(Picks, APersonsDoubleClickMovesACardOnAndAProgramsTwoQuickClicksPickOnce) {
    PickClock = std::chrono::steady_clock::now;
    const TableArea area = SheetCellArea(SheetCellOf("AS").Column, SheetCellOf("AS").Row);
    const QPoint ace(area.X + 5, area.Y + 5);
    // Two clicks 120 ms apart, the second a double click: both pick.
    SendMouse(QEvent::MouseButtonPress, ace, 1000);
    SendMouse(QEvent::MouseButtonRelease, ace, 1060);
    SendMouse(QEvent::MouseButtonDblClick, ace, 1120);
    SendMouse(QEvent::MouseButtonRelease, ace, 1180);
    EXPECT_EQ(TableState(), "-- AS -- -- -- -- -- > 3");

    // A screen reader's click and its click again 3 ms later: one pick.
    QTest::qWait(int(RepeatedPickTime.count()) + 50);
    SendMouse(QEvent::MouseButtonPress, ace, 5000);
    SendMouse(QEvent::MouseButtonRelease, ace, 5001);
    SendMouse(QEvent::MouseButtonDblClick, ace, 5003);
    SendMouse(QEvent::MouseButtonRelease, ace, 5004);
    EXPECT_EQ(TableState(), "-- -- AS -- -- -- -- > 4");
}

}  // namespace

namespace {

using Announcements = WindowTest;

// What the window says unasked once the event at hand has been handled.
QString Said() {
    QApplication::processEvents();
    return Form1->Announcement();
}

TEST_F(Announcements, EveryChangeOfTheTableAndEveryResultIsSaidWhole) {
    const TableArea ace = SheetCellArea(SheetCellOf("AS").Column, SheetCellOf("AS").Row);
    QTest::mouseClick(form.get(), Qt::LeftButton, {}, {ace.X + 5, ace.Y + 5});
    EXPECT_EQ(Said(), "Ace of spades in hole card 1. Next card: hole card 2.");
    PressElement("king of diamonds");
    EXPECT_EQ(Said(), "King of diamonds in hole card 2. Next card: community card 1.");
    PressElement("Community card 3");
    EXPECT_EQ(Said(), "Next card: community card 3.");

    // A pointer moving over the sheet says nothing.
    for (int x = SheetLeft; x < SheetRight; x += 9) QTest::mouseMove(form.get(), {x, SheetTop + 5});
    EXPECT_EQ(Said(), "Next card: community card 3.");

    // A run is said once, whole, when it ends; while it plays, a screen
    // reader finds the status box empty.
    QString duringRun;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] {
        duringRun = QAccessible::queryAccessibleInterface(Form1->txt_Status)->textInterface()->text(0, -1);
    });
    ClickButton(form->Command1);
    EXPECT_EQ(duringRun, "");
    const QStringList lines = Status().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(Said(), lines.join(", "));
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(form->txt_Status);
    int start = 0;
    int end = 0;
    EXPECT_EQ(status->textInterface()->textAtOffset(5, QAccessible::LineBoundary, &start, &end), Status())
        << "the status box reads as one line";

    // Clear Cards: the emptied table and the prompt, in one.
    ClickButton(form->Command2);
    EXPECT_EQ(Said(), QString("All places empty. Next card: hole card 1. ") + ClearPrompt);
}

}  // namespace
