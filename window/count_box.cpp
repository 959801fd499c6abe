// SPDX-License-Identifier: MIT
// The count box's rule: whatever changes the count, the user's typing, a
// drop or assistive technology, is checked before the focus leaves the box
// for a control that asks for it or before a run reads it; a refusal keeps
// the focus in the box, and nothing changes the count under a warning.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "window/form1.h"

namespace {

// The window's own rules for its controls, ahead of Qt's:
// - a count changed in Text1 is checked before the focus leaves the box for a
//   control that asks for it: the two buttons and the status box. Qt moves the
//   focus on a mouse press before the target sees the press, so those controls
//   take the focus by Tab only and this filter moves it itself once the check
//   passes; on a refusal the press is eaten and the focus stays in Text1.
// - any other move of the focus out of Text1 (by the platform, by assistive
//   technology) is checked as soon as it has happened, and a refusal brings
//   the focus back;
// - Return and Enter press a focused button, as Space does.
class ControlFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!Form1 || Form1->Unloaded()) return false;
        QWidget* const statusView = Form1->txt_Status->viewport();
        const auto type = event->type();
        if (watched == Form1->Text1) {
            if (type == QEvent::FocusOut) CheckAfterLeaving(static_cast<QFocusEvent*>(event)->reason());
            if (type != QEvent::KeyPress) return false;
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return !Form1->CheckText1();
            return false;
        }
        if (type == QEvent::KeyPress && (watched == Form1->Command1 || watched == Form1->Command2)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
            static_cast<QPushButton*>(watched)->click();
            return true;
        }
        // A click inside Text1 leaves the focus where it is.
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            if (watched == Form1->txt_Status) return false;  // its viewport gets the press
            QWidget* target = watched == statusView ? Form1->txt_Status : qobject_cast<QWidget*>(watched);
            return !Form1->SetFocus(target, Qt::MouseFocusReason);
        }
        return false;
    }

private:
    // The window losing its activation, or a menu opening over Text1, leaves
    // the focus where it is.
    static void CheckAfterLeaving(Qt::FocusReason reason) {
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
            return;
        // Not from within the focus change itself, which a message box would
        // upset: once it has settled.
        QTimer::singleShot(0, Form1, [] {
            if (Form1->focusWidget() != Form1->Text1) Form1->CheckText1();
        });
    }
};

}  // namespace

void Form1Window::InstallCountBoxRule() {
    auto* filter = new ControlFilter(this);
    for (QObject* control :
         {static_cast<QObject*>(Text1), static_cast<QObject*>(Command1), static_cast<QObject*>(Command2),
          static_cast<QObject*>(txt_Status), static_cast<QObject*>(txt_Status->viewport())})
        control->installEventFilter(filter);

    // Whatever changes the count, the user's typing, a drop, assistive
    // technology, is checked before the focus leaves the box or a run reads it.
    // Under a warning the count stays as it was: a change made there, which
    // only assistive technology or another program can make, is undone.
    text1WhileWarned_ = Text1->text();
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (WarningOpen() && text != text1WhileWarned_) {
            const QSignalBlocker quiet(Text1);
            Text1->setText(text1WhileWarned_);
            return;
        }
        text1WhileWarned_ = text;
        text1Unchecked_ = true;
    });
}

bool Form1Window::CheckText1() {
    if (!text1Unchecked_) return true;
    // Only the check's own warning can be open over an unchecked count: one
    // warning at a time, and the focus goes back to Text1 when it closes.
    if (WarningOpen()) return false;
    bool cancel = false;
    emit Text1Validate(cancel);
    text1Unchecked_ = false;  // a refusal wrote "2", which passes
    if (!cancel) return true;
    activateWindow();
    Text1->setFocus(Qt::OtherFocusReason);
    return false;
}

bool Form1Window::SetFocus(QWidget* control, Qt::FocusReason reason) {
    if (!CheckText1()) return false;
    if (control) control->setFocus(reason);
    return true;
}
