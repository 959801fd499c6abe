// SPDX-License-Identifier: MIT
#pragma once
// The status box, where the program writes its prompts and a run's figures.

#include <QPlainTextEdit>
#include <chrono>
#include <string>

class QAccessibleInterface;

// The status box. Qt 6.4's text edit crashes on a paste of clipboard data
// that offers no format at all, as when the clipboard's owner has quit while
// the context menu was open; the keyboard, the mouse, the menu and drops all
// end in insertFromMimeData, so that is where a paste without text stops.
//
// A screen reader is told what the program writes into it, whole. A run
// writes it after every deal: meanwhile a screen reader reads it as empty and
// is told the figures once, when the last run ends, and the box repaints at
// most once a frame, and once more at the end. Runs nest.
class StatusBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    void BeginRunWrites();
    void EndRunWrites();
    bool InRun() const { return runs_ > 0; }
    // After a run's write: lets the box repaint if a frame's time has passed.
    void PaintIfFrameDue();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int runs_ = 0;
    std::chrono::steady_clock::time_point lastPaint_;
};

// What assistive technology reads of the status box (see status_box.cpp).
QAccessibleInterface* MakeStatusBoxAccessible(QObject* object);

// The lines of a box as one sentence, for a screen reader to say whole:
// "Win Chance: 34.8%, Lose Chance: 60.1%, Draw Chance: 5.1%".
QString SpokenText(const QString& lines);

// Replaces the whole text of a several-line box; CR LF starts a new line.
// What the program writes into the status box is announced, whole, unless a
// run writes it: a run's figures are announced once, when the last run ends.
void SetText(QPlainTextEdit* box, const std::string& text);
