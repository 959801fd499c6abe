// SPDX-License-Identifier: MIT
// Long seeded sequences of random mouse, keyboard and window events sent to
// the real widgets, with the rules of the table checked after every step; and
// how deep presses of "Play Hands" during a run can nest.

#include <QAccessible>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <pthread.h>

#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <random>
#include <set>
#include <string>

#include "tests/support/gui_support.h"

namespace {

int EnvInt(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Steps and full runs of Play Hands per sequence, a few seconds in a Release
// build and under ten under the sanitizers; QUILLAN_INTERACTION_STEPS and
// QUILLAN_INTERACTION_RUNS ask for a longer soak, QUILLAN_INTERACTION_SEED for
// another sequence.
int StepsPerSequence() { return EnvInt("QUILLAN_INTERACTION_STEPS", 8000); }
int RunsPerSequence() { return EnvInt("QUILLAN_INTERACTION_RUNS", 10); }

// Runs in progress at once that the random user may start; deeper nesting
// has a test of its own below.
constexpr int MaxRunDepth = 3;
// Chance that a run's deal lets one random step in before the next deal.
constexpr double StepDuringRunChance = 0.02;

// What a user may type into the player-count box or paste anywhere.
QStringList Numbers() {
    static const QStringList numbers = [] {
        // clang-format off
        QStringList list = {
            "2", "10", "2.5", " 3 ", "1e1", "-0", "+4", "0x5", "inf", "nan", "\u0663", "", "3", "7", "9.99",
            "10.0", "10.5", "1", "11", "0", "-3", "2,5", "1,0", "1.000", "1 000", "1\u00a0000", "1\u202f000",
            "\uff12", "\u0662\u066b\u0665", "2\u066b5", "03", "0002", "+2.", "  10", "10  ", "\t5", "5\t", "5\n",
            "\n5", QString(QChar(0)), QStringLiteral("2") + QChar(0), "abc", "3 players", "\u22122", "2\u0301",
            "\u200f4", "\U0001F0A1", ".5", "5.", ".", "-", "+", "--2", "1e-400", "2'000", "2\u2019000",
            "\x01\x02\x1b\x7f", "\r\n", "8\r",
        };
        // clang-format on
        list << "0." + QString(400, '0') + "1" << QString(400, '9') << QString(10000, '7')
             << QString(10000, QChar(0x0663)) << QString(5000, '2') + "." + QString(5000, '5');
        return list;
    }();
    return numbers;
}

// Characters for random short texts: digits, signs, separators, letters,
// blanks and a few from far outside Latin-1. Control characters come in by
// pasting, as key events do not type them.
const QString TypingPool =
    QStringLiteral("0123456789+-.,e xX\t\u00a0\u202f\u066b\u0663\u0966\uff10\u2212abcINFnan\u00e9\u4e2d\u200f");

// The locales the window may run under: a point, a comma, and group separators
// of more than one byte.
QLocale AnyLocale(int which) {
    switch (which) {
    case 0: return QLocale::c();
    case 1: return QLocale(QLocale::German, QLocale::Germany);
    case 2: return QLocale(QLocale::French, QLocale::France);
    default: return QLocale(QLocale::German, QLocale::Switzerland);
    }
}

QString Escaped(const QString& text) {
    QString shown;
    for (QChar c : text.left(40)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.unicode() > 0x7e)
            shown += QString("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
        else
            shown += c;
    }
    if (text.size() > 40) shown += QString("... (%1 chars)").arg(text.size());
    return '"' + shown + '"';
}

// A result text: three lines of figures in either decimal form, none
// negative, adding up to at most 100.
bool IsResult(const QString& status) {
    for (QChar point : {QChar('.'), QChar(',')}) {
        const std::vector<double> figures = Figures(status, point);
        if (figures.size() != 3) continue;
        for (double figure : figures)
            if (!(figure >= 0)) return false;
        return Sum(figures) <= 100 + 1e-9;
    }
    return false;
}

bool IsFirstDeal(const QString& status) {
    const std::vector<double> figures = Figures(status);
    return figures.size() == 3 && Sum(figures) < 0.15;
}

// A user clicking, dragging, typing and resizing at random, one step at a
// time, in the open window. Every step is checked before the next one; the
// first broken rule is kept with the seed and the steps that led to it, and
// closes the window so that any run in progress ends.
class RandomUser {
public:
    RandomUser(unsigned seed, int runBudget, std::vector<SeenBox>& boxes)
        : seed_(seed), rng_(seed), runBudget_(runBudget), boxes_(boxes), status_(Status()) {
        for (int n = 1; n <= SlotCount; ++n) places_[n - 1] = QPoint(Slots[n].X, Slots[n].Y);
        // Every write to the status box lets events in before the next one
        // when it comes from a run, so a step scheduled from here lands in
        // the middle of the run.
        QObject::connect(Form1->txt_Status, &QPlainTextEdit::textChanged, &context_, [this] { StatusChanged(); });
    }

    void Step() {
        if (!failure_.empty() || Form1->Unloaded()) return;
        ++steps_;
        const int before = steps_;
        const int action = Pick(100);
        if (action < 35) {
            MoveTo(AnyPoint(), "move");
        } else if (action < 65) {
            Click(AnyPoint());
        } else if (action < 75) {
            ClickSomewhereOn(Pick(3) == 0 ? Form1->Command2 : Form1->Command1);
        } else if (action < 85) {
            TypeInto(Form1->Text1);
        } else if (action < 91) {
            TypeInto(Form1->txt_Status);
        } else if (action < 93) {
            Resize();
        } else if (action < 95) {
            Assist();
        } else if (action < 97) {
            const int which = Pick(4);
            Log("locale %d", which);
            QLocale::setDefault(AnyLocale(which));
        } else {
            Log("let events run");
            QCoreApplication::processEvents();
        }
        // With no window manager nothing hands the activation back after a
        // message box but the window's own request, which needs a pass.
        if (!Form1->isActiveWindow()) QCoreApplication::processEvents();
        Check(before);
    }

    const std::string& Failure() const { return failure_; }
    int RunsStarted() const { return runs_; }
    int StepsDuringRuns() const { return stepsDuringRuns_; }

private:
    int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng_); }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    [[gnu::format(printf, 2, 3)]] void Log(const char* format, ...) {
        char line[200];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        log_.push_back("#" + std::to_string(steps_) + " " + line);
        if (log_.size() > 40) log_.pop_front();
    }

    void Fail(const std::string& what) {
        if (!failure_.empty()) return;
        failure_ = what + "\nseed " + std::to_string(seed_) + ", step " + std::to_string(steps_) + "; last steps:";
        for (const std::string& line : log_) failure_ += "\n  " + line;
        Form1->close();
    }

    // The rules of the table, after any step.
    void Check(int step) {
        if (!failure_.empty()) return;
        std::set<CardCode> seen;
        for (int n = 1; n <= SlotCount; ++n) {
            const CardSlot& slot = Slots[n];
            const std::string where = "slot " + std::to_string(n) + ": ";
            if (QPoint(slot.X, slot.Y) != places_[n - 1]) return Fail(where + "moved");
            if (slot.Card.empty()) {
                if (slot.Column != 0 || slot.Row != 0) return Fail(where + "empty but names a sheet cell");
                continue;
            }
            if (slot.Column < 1 || slot.Column > SheetColumns || slot.Row < 1 || slot.Row > SheetRows)
                return Fail(where + "card " + slot.Card + " names no sheet cell");
            if (slot.Card != SheetCard(slot.Column, slot.Row))
                return Fail(where + "card " + slot.Card + " is not the card of its sheet cell");
            if (!seen.insert(slot.Card).second) return Fail(where + "card " + slot.Card + " is in two slots");
        }
        if (ActiveSlot < 1 || ActiveSlot > SlotCount) return Fail("active slot " + std::to_string(ActiveSlot));
        if (Form1->TableDescription().toStdString() != SlotsInWords())
            return Fail("a screen reader reads " + Form1->TableDescription().toStdString());
        const QString status = Status();
        if (status != status_ && status != ClearPrompt && !IsResult(status))
            return Fail("status text " + Escaped(status).toStdString() + " after step " + std::to_string(step));
    }

    // A point on the sheet, on or around a slot, anywhere in the window, or
    // outside it.
    QPoint AnyPoint() {
        const int width = Form1->width();
        const int height = Form1->height();
        const int where = Pick(10);
        if (where < 5) return {Between(SheetLeft - 3, SheetRight + 3), Between(SheetTop - 30, SheetBottom + 3)};
        if (where < 7) {
            const CardSlot& slot = Slots[1 + Pick(SlotCount)];
            return {Between(slot.X - 2, slot.X + CardWidth + 1), Between(slot.Y - 2, slot.Y + CardHeight + 1)};
        }
        if (where < 9) return {Pick(width), Pick(height)};
        return Pick(2) ? QPoint(Pick(2) ? -1 - Pick(200) : width + Pick(200), Between(-200, height + 200))
                       : QPoint(Between(-200, width + 200), Pick(2) ? -1 - Pick(200) : height + Pick(200));
    }

    // The widget a real press at a window point goes to; none outside the window.
    static QWidget* WidgetAt(QPoint at) {
        if (!Form1->rect().contains(at)) return nullptr;
        QWidget* child = Form1->childAt(at);
        return child ? child : Form1;
    }

    Qt::MouseButton AnyButton() {
        static const Qt::MouseButton buttons[] = {Qt::LeftButton,  Qt::LeftButton,   Qt::LeftButton,   Qt::RightButton,
                                                  Qt::RightButton, Qt::MiddleButton, Qt::MiddleButton, Qt::BackButton};
        return buttons[Pick(8)];
    }

    Qt::KeyboardModifiers AnyModifiers() {
        if (!Chance(0.2)) return {};
        static const Qt::KeyboardModifier keys[] = {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier};
        Qt::KeyboardModifiers modifiers;
        for (Qt::KeyboardModifier key : keys)
            if (Pick(2)) modifiers |= key;
        return modifiers;
    }

    // Most moves go straight to the widget under the pointer, as a burst of
    // moves comes in before the window repaints; the others go through the
    // platform's pointer, and the window repaints after each of those.
    void MoveTo(QPoint at, const char* what) {
        QWidget* target = WidgetAt(at);
        if (!target || Pick(8) == 0) {
            Log("%s to (%d, %d)", what, at.x(), at.y());
            QTest::mouseMove(Form1, at);
            return;
        }
        Log("%s to (%d, %d) on %s", what, at.x(), at.y(), qPrintable(target->objectName()));
        const QPoint local = target->mapFrom(Form1, at);
        QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                         AnyModifiers());
        QApplication::sendEvent(target, &move);
    }

    // Runs `events` and, when no other step ran meanwhile, checks what any
    // message box it raised said and what a refusal left in the count box.
    template <typename F>
    void Deliver(F&& events) {
        const std::size_t boxesBefore = boxes_.size();
        const int stepsBefore = steps_;
        events();
        if (steps_ != stepsBefore || !failure_.empty()) return;
        bool refused = false;
        for (std::size_t i = boxesBefore; i < boxes_.size(); ++i) {
            const SeenBox& box = boxes_[i];
            if (box.title != WarningTitle || box.buttons != 1 ||
                (box.text != MissingHoleCardsMessage && box.text != PlayerCountMessage))
                return Fail("unexpected message box " + Escaped(box.title + ": " + box.text).toStdString());
            refused = refused || box.text == PlayerCountMessage;
        }
        if (refused && Form1->Text1->text() != "2")
            return Fail("player count " + Escaped(Form1->Text1->text()).toStdString() + " after a refusal");
    }

    // Whether a left click on Play Hands may go ahead. One that would play
    // runs past the budget or nest deeper than MaxRunDepth becomes a right
    // click, which the button ignores.
    bool TakeRuns(int count) {
        if (Slots[1].Card.empty() || Slots[2].Card.empty()) return true;  // it only warns
        if (runs_ + count > runBudget_ || runDepth_ >= MaxRunDepth) return false;
        runs_ += count;
        return true;
    }

    // Press at one point, maybe drag, release at the same or another point;
    // the release goes where the press went, as with a real mouse.
    void Click(QPoint at) {
        QPointer<QWidget> target = WidgetAt(at);
        if (!target) return MoveTo(at, "move outside");
        Qt::MouseButton button = AnyButton();
        const Qt::KeyboardModifiers modifiers = AnyModifiers();
        const bool drag = Chance(0.2);
        const QPoint releaseAt = drag ? AnyPoint() : at;
        const bool twice = !drag && Chance(0.05);
        const bool onPlay = target == Form1->Command1 && WidgetAt(releaseAt) == Form1->Command1;
        bool run = false;
        if (onPlay && button == Qt::LeftButton) {
            run = TakeRuns(twice ? 2 : 1);
            if (!run) button = Qt::RightButton;
        }
        Log("%s with button %d at (%d, %d) on %s, release at (%d, %d)",
            twice  ? "double-click"
            : drag ? "drag"
                   : "click",
            int(button), at.x(), at.y(), qPrintable(target->objectName()), releaseAt.x(), releaseAt.y());
        if (run) ++runDepth_;
        Deliver([&] {
            const QPoint local = target->mapFrom(Form1, at);
            QTest::mousePress(target, button, modifiers, local);
            if (target && drag) QTest::mouseMove(target, target->mapFrom(Form1, releaseAt));
            if (target) QTest::mouseRelease(target, button, modifiers, target->mapFrom(Form1, releaseAt));
            if (target && twice) {
                QTest::mouseDClick(target, button, modifiers, local);
                if (target) QTest::mouseRelease(target, button, modifiers, local);
            }
        });
        if (run) --runDepth_;
    }

    void ClickSomewhereOn(QPushButton* button) {
        const QRect inside = button->geometry();
        Click({Between(inside.left(), inside.right()), Between(inside.top(), inside.bottom())});
    }

    void Key(QWidget* to, Qt::Key key, const QString& text = {}, Qt::KeyboardModifiers modifiers = {}) {
        Deliver([&] { QTest::sendKeyEvent(QTest::Click, to, key, text, modifiers); });
    }

    // Key by key; a surrogate pair goes in one key event.
    void TypeText(QWidget* to, const QString& text) {
        for (qsizetype i = 0; i < text.size() && to == QApplication::focusWidget(); ++i) {
            const QChar c = text[i];
            QString unit(c);
            if (c.isHighSurrogate() && i + 1 < text.size()) unit += text[++i];
            Qt::Key key = Qt::Key_unknown;
            if (c.isDigit() && c.unicode() < 0x80)
                key = Qt::Key(Qt::Key_0 + c.digitValue());
            else if (c.unicode() >= 'a' && c.unicode() <= 'z')
                key = Qt::Key(Qt::Key_A + (c.unicode() - 'a'));
            else if (c == ' ')
                key = Qt::Key_Space;
            else if (c == '.')
                key = Qt::Key_Period;
            Key(to, key, unit);
        }
    }

    QString AnyText() {
        if (Pick(3)) return Numbers()[Pick(int(Numbers().size()))];
        QString text;
        for (int n = Pick(12); n > 0; --n) text += TypingPool[Pick(int(TypingPool.size()))];
        return text;
    }

    // Clicks into a box, then types, pastes, edits or leaves it with a key.
    // Keys go to whichever control has the focus after the click, as
    // they would for a user, and only when that is one of the two boxes.
    void TypeInto(QWidget* box) {
        QWidget* clickOn = box == Form1->txt_Status ? Form1->txt_Status->viewport() : box;
        const QPoint at(Pick(clickOn->width()), Pick(clickOn->height()));
        Log("click into %s at (%d, %d)", qPrintable(box->objectName()), at.x(), at.y());
        Deliver([&] { QTest::mouseClick(clickOn, Qt::LeftButton, {}, at); });
        if (!failure_.empty()) return;
        QWidget* to = QApplication::focusWidget();
        if (to != Form1->Text1 && to != Form1->txt_Status) return;

        typing_ = true;
        switch (Pick(5)) {
        case 0: {
            const QString text = AnyText();
            Log("select all and type %s", qPrintable(Escaped(text)));
            Key(to, Qt::Key_A, {}, Qt::ControlModifier);
            TypeText(to, text.left(60));
            break;
        }
        case 1: {
            const QString text = AnyText();
            Log("type %s", qPrintable(Escaped(text)));
            TypeText(to, text.left(60));
            break;
        }
        case 2: {
            const QString text = AnyText();
            const bool replace = Pick(2);
            Log("%s %s", replace ? "select all and paste" : "paste", qPrintable(Escaped(text)));
            QGuiApplication::clipboard()->setText(text);
            if (replace) Key(to, Qt::Key_A, {}, Qt::ControlModifier);
            Key(to, Qt::Key_V, {}, Qt::ControlModifier);
            break;
        }
        case 3: {
            static const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                                           Qt::Key_End,       Qt::Key_A,      Qt::Key_Z,    Qt::Key_X,     Qt::Key_C};
            for (int n = 1 + Pick(5); n > 0 && to == QApplication::focusWidget(); --n) {
                const Qt::Key key = keys[Pick(10)];
                const Qt::KeyboardModifiers modifiers =
                    key >= Qt::Key_A && key <= Qt::Key_Z ? Qt::KeyboardModifiers(Qt::ControlModifier) : AnyModifiers();
                Log("key %x modifiers %x", unsigned(key), unsigned(modifiers));
                Key(to, key, {}, modifiers);
            }
            break;
        }
        default: {
            static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape};
            const Qt::Key key = keys[Pick(5)];
            Log("key %x", unsigned(key));
            Key(to, key);
            break;
        }
        }
        typing_ = false;
        if (to == Form1->txt_Status) status_ = Status();  // what the user typed into it
    }

    // What assistive technology does, through the controls' accessible
    // interfaces: no key or mouse event, and often no focus move either.
    void Assist() {
        switch (Pick(4)) {
        case 0: {
            const QString text = AnyText();
            Log("set the count box to %s", qPrintable(Escaped(text)));
            Deliver([&] { SetCount(text); });
            break;
        }
        case 1: {
            // The press action ends in click(), a moment later.
            QPushButton* button = Pick(3) == 0 ? Form1->Command2 : Form1->Command1;
            const bool run = button == Form1->Command1 && TakeRuns(1);
            if (button == Form1->Command1 && !run) return;
            Log("press %s", qPrintable(button->objectName()));
            if (run) ++runDepth_;
            Deliver([&] { button->click(); });
            if (run) --runDepth_;
            break;
        }
        case 2: {
            // A card of the sheet or a place of the drawn table, pressed.
            QAccessibleInterface* group = TableElement(Pick(4) ? "Card sheet" : "Card places");
            QAccessibleInterface* element = group->child(Pick(group->childCount()));
            Log("press %s", qPrintable(element->text(QAccessible::Name)));
            Deliver([&] { element->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); });
            break;
        }
        default: {
            QWidget* const targets[] = {Form1->Command1, Form1->Command2, Form1->txt_Status};
            QWidget* target = targets[Pick(3)];
            Log("move the focus to %s", qPrintable(target->objectName()));
            Deliver([&] {
                QAccessible::queryAccessibleInterface(target)->actionInterface()->doAction(
                    QAccessibleActionInterface::setFocusAction());
                QCoreApplication::processEvents();  // the check follows the move
            });
            break;
        }
        }
    }

    void Resize() {
        const QSize size = Pick(3) ? QSize(Between(40, 900), Between(40, 900)) : QSize(FormWidth, FormHeight);
        Log("resize to %d x %d", size.width(), size.height());
        Form1->resize(size);
        QCoreApplication::processEvents();
    }

    void StatusChanged() {
        if (typing_ || !failure_.empty()) return;
        Check(steps_);
        // A run's first figures follow its reading of the count with no
        // event between: what it read must have passed the box's check.
        if (IsFirstDeal(Status())) {
            const double players = ReadPlayerCount(Form1->Text1->text().toStdString());
            if (!(players >= MinPlayers && players < MaxPlayers + 1))
                return Fail("a run read the count " + Escaped(Form1->Text1->text()).toStdString());
        }
        if (stepPending_ || runDepth_ == 0 || !IsResult(Status()) || !Chance(StepDuringRunChance)) return;
        stepPending_ = true;
        QTimer::singleShot(0, &context_, [this] {
            stepPending_ = false;
            // A modal message box keeps real input away from the window.
            if (QApplication::activeModalWidget() || Form1->Unloaded()) return;
            ++stepsDuringRuns_;
            Step();
        });
    }

    const unsigned seed_;
    std::mt19937 rng_;
    const int runBudget_;
    std::vector<SeenBox>& boxes_;
    QString status_;  // the status text as the user last left it
    std::array<QPoint, SlotCount> places_;
    std::deque<std::string> log_;
    std::string failure_;
    QObject context_;
    int steps_ = 0;
    int runs_ = 0;
    int runDepth_ = 0;
    int stepsDuringRuns_ = 0;
    bool typing_ = false;
    bool stepPending_ = false;
};

// Qt's own chatter that thousands of random events bring out: the offscreen
// platform on every message box, QTest on every press a control eats, the
// font database on unusual characters.
QtMessageHandler PassedOnMessages = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    for (const char* chatter :
         {"does not support propagateSizeHints", "not accepted by receiving widget", "OpenType support missing"}) {
        if (message.contains(QLatin1String(chatter))) return;
    }
    PassedOnMessages(type, context, message);
}

class RandomUse : public WindowTest, public testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override {
        PassedOnMessages = qInstallMessageHandler(QuietMessages);
        WindowTest::SetUp();
        boxCloser.setInterval(0);  // hundreds of warnings come up
    }
    void TearDown() override {
        WindowTest::TearDown();
        qInstallMessageHandler(PassedOnMessages);
    }
};

TEST_P(RandomUse, KeepsCardsSlotsStatusAndPlayerCountConsistent) {
    const unsigned seed = unsigned(EnvInt("QUILLAN_INTERACTION_SEED", int(GetParam())));
    const int steps = StepsPerSequence();
    RandomUser user(seed, RunsPerSequence(), boxes);
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < steps && user.Failure().empty() && !form->Unloaded(); ++n) user.Step();
    QCoreApplication::processEvents();
    EXPECT_EQ(user.Failure(), "");
    EXPECT_FALSE(form->Unloaded()) << "seed " << seed;
    std::printf("seed %u: %d steps, %d during runs, %d runs, %zu warnings, %lld ms\n", seed, steps,
                user.StepsDuringRuns(), user.RunsStarted(), boxes.size(), clock.elapsed());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomUse, testing::Values(1u, 2u, 3u));

// Where the stack stands in the caller.
[[gnu::noinline]] std::uintptr_t StackPoint() { return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)); }

// The lowest address the main thread's stack may grow down to.
std::uintptr_t StackLimit() {
    pthread_attr_t attributes;
    void* lowest = nullptr;
    std::size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 0;
    pthread_attr_getstack(&attributes, &lowest, &size);
    pthread_attr_destroy(&attributes);
    return reinterpret_cast<std::uintptr_t>(lowest);
}

// A press of "Play Hands" that lands in the yield after a deal, as the
// next mouse click would.
void PressPlayHandsAtNextYield() {
    QTimer::singleShot(0, Form1, [] { QTest::mouseClick(Form1->Command1, Qt::LeftButton); });
}

using RunNesting = WindowTest;

TEST_F(RunNesting, EveryPressDuringARunNestsAWholeRunAtBoundedStackCost) {
    PutCard(1, "QH");
    PutCard(2, "QC");
    constexpr int Levels = 24;
    std::vector<std::uintptr_t> firstDeals;  // stack point at each run's first deal, outermost first
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] {
        if (!IsFirstDeal(Status())) return;
        firstDeals.push_back(StackPoint());
        if (int(firstDeals.size()) < Levels)
            PressPlayHandsAtNextYield();
        else
            form->close();  // every run ends at its next yield
    });
    QTest::mouseClick(form->Command1, Qt::LeftButton);

    ASSERT_EQ(int(firstDeals.size()), Levels);
    const std::uintptr_t perLevel = (firstDeals.front() - firstDeals.back()) / (Levels - 1);
    const std::uintptr_t lowest = StackLimit();
    const std::uintptr_t levelsLeft = lowest ? (firstDeals.front() - lowest) / perLevel : 0;
    std::printf("stack per nested run: %zu bytes; room below the first run for about %zu nested runs\n",
                std::size_t(perLevel), std::size_t(levelsLeft));
    RecordProperty("StackBytesPerNestedRun", int(perLevel));
    RecordProperty("NestedRunsTheStackHolds", int(levelsLeft));
    EXPECT_GT(perLevel, 0u);
    EXPECT_LT(perLevel, 64u * 1024);  // a few dozen levels stay far inside any stack
}

TEST_F(RunNesting, PressesBeyondTheCapOfRunsAtOnceAreIgnored) {
    constexpr int Presses = 100;
    PutCard(1, "QH");
    PutCard(2, "QC");
    int runsStarted = 0;
    int presses = 1;
    QObject::connect(form->txt_Status, &QPlainTextEdit::textChanged, [&] {
        if (IsFirstDeal(Status())) ++runsStarted;
        if (presses < Presses) {
            ++presses;
            PressPlayHandsAtNextYield();
        } else {
            form->close();
        }
    });
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_EQ(presses, Presses);
    EXPECT_EQ(runsStarted, MaxRunsAtOnce);
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
