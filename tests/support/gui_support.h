// SPDX-License-Identifier: MIT
#pragma once
// Shared set-up for the tests that open the window.

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "app/app.h"
#include "odds/odds.h"
#include "odds/play_hands.h"
#include "table/board.h"
#include "table/table.h"
#include "tests/support/random_state.h"
#include "tests/support/table_state.h"
#include "window/form1.h"

// What a message box showed before the test closed it.
struct SeenBox {
    QString title;
    QString text;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text1WhileOpen;  // the player-count box while the message was up
};

// The element of the window's card table that assistive technology finds by
// this name ("Card sheet", "ace of spades", "Hole card 1: empty"), or by the
// start of it ("Hole card 1").
inline QAccessibleInterface* TableElement(const QString& name) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(Form1);
    std::vector<QAccessibleInterface*> todo{window};
    while (!todo.empty()) {
        QAccessibleInterface* element = todo.back();
        todo.pop_back();
        const QString its = element->text(QAccessible::Name);
        if (its == name || its.startsWith(name + ": ")) return element;
        for (int i = 0; i < element->childCount(); ++i) todo.push_back(element->child(i));
    }
    return nullptr;
}

// Presses an element of the card table as assistive technology does.
inline void PressElement(const QString& name) {
    QAccessibleInterface* element = TableElement(name);
    ASSERT_TRUE(element && element->actionInterface()) << qPrintable(name);
    element->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Sets the count box's text as assistive technology does, without the focus.
inline void SetCount(const QString& text) {
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(Form1->Text1);
    box->editableTextInterface()->replaceText(0, box->textInterface()->characterCount(), text);
}

// What the status box shows.
inline QString Status() { return Form1->txt_Status->toPlainText(); }

// Opens a fresh window as the program does at start-up, and closes every
// message box that comes up, noting what it said; whileBoxOpen, when set,
// runs first, with the box still open.
class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        ResetTable();
        ResetRandom();
        form.reset(LoadForm1());
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        boxCloser.setInterval(5);
        QObject::connect(&boxCloser, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || boxHeld) return;
            if (whileBoxOpen) {
                boxHeld = true;
                whileBoxOpen();
                boxHeld = false;
            }
            boxes.push_back(
                {box->windowTitle(), box->text(), int(box->buttons().size()), box->icon(), Form1->Text1->text()});
            box->button(QMessageBox::Ok)->click();
        });
        boxCloser.start();
    }

    void TearDown() override {
        boxCloser.stop();
        form.reset();
        QLocale::setDefault(QLocale::c());
    }

    std::unique_ptr<Form1Window> form;
    QTimer boxCloser;
    std::vector<SeenBox> boxes;
    std::function<void()> whileBoxOpen;
    bool boxHeld = false;
};

// Counts the paint events of the widgets it is installed on.
struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// What the screen shows once pending paints are done: on the offscreen
// platform the window's backing store, which keeps what every paint left
// there. grab() would paint the whole window afresh.
inline QImage OnScreen() {
    QApplication::processEvents();
    return Form1->screen()->grabWindow(Form1->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The three figures of a result text, in percent; empty when the text is not one.
inline std::vector<double> Figures(const QString& status, QChar decimalPoint = '.') {
    static const char* const labels[] = {"Win Chance: ", "Lose Chance: ", "Draw Chance: "};
    const QStringList lines = status.split('\n');
    if (lines.size() != 3) return {};
    std::vector<double> figures;
    for (int i = 0; i < 3; ++i) {
        if (!lines[i].startsWith(labels[i]) || !lines[i].endsWith('%')) return {};
        QString number = lines[i].mid(int(strlen(labels[i])));
        number.chop(1);
        bool ok = false;
        const double value = number.replace(decimalPoint, '.').toDouble(&ok);
        if (!ok) return {};
        figures.push_back(value);
    }
    return figures;
}

inline double Sum(const std::vector<double>& figures) {
    double sum = 0;
    for (double figure : figures) sum += figure;
    return sum;
}
