// SPDX-License-Identifier: MIT
// The status box: what the program writes into it, the paste that Qt cannot
// take, and what assistive technology reads and hears of it.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "window/status_box.h"

#include "window/form1.h"

QString SpokenText(const QString& lines) { return lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(", "); }

namespace {

// Replaces the text of box with lines, CR LF already made LF.
void WriteLines(QPlainTextEdit* box, const QString& lines) {
    QTextDocument* document = box->document();
    const QStringList wanted = lines.split(QLatin1Char('\n'));
    if (document->blockCount() != wanted.size()) {
        box->setPlainText(lines);
        return;
    }
    // The odds run rewrites the same three lines after every deal: replacing
    // only the lines that changed lays out only those, and what the program
    // writes leaves no undo history.
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    QTextBlock block = document->firstBlock();
    for (const QString& line : wanted) {
        if (block.text() != line) {
            cursor.setPosition(block.position());
            cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            cursor.insertText(line);
        }
        block = block.next();
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(true);
}

}  // namespace

void SetText(QPlainTextEdit* box, const std::string& text) {
    if (Form1) Form1->TellWhatChanged();
    QString lines = QString::fromStdString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    WriteLines(box, lines);
    auto* status = dynamic_cast<StatusBox*>(box);
    if (!status) return;
    if (status->InRun()) {
        status->PaintIfFrameDue();
    } else if (Form1) {
        Form1->Announce(SpokenText(lines).toStdString());
    }
}

bool StatusBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText() && QPlainTextEdit::canInsertFromMimeData(source);
}

void StatusBox::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText()) QPlainTextEdit::insertFromMimeData(source);
}

void StatusBox::BeginRunWrites() {
    if (runs_ == 0 && !toPlainText().isEmpty()) {
        // From here on assistive technology finds the box empty.
        QAccessibleTextRemoveEvent removed(this, 0, toPlainText());
        QAccessible::updateAccessibility(&removed);
    }
    ++runs_;
}

void StatusBox::EndRunWrites() {
    if (runs_ == 0 || --runs_ > 0) return;
    setUpdatesEnabled(true);
    const QString now = toPlainText();
    if (!now.isEmpty()) {
        QAccessibleTextInsertEvent inserted(this, 0, now);
        QAccessible::updateAccessibility(&inserted);
    }
    if (Form1) Form1->Announce(SpokenText(now).toStdString());
}

void StatusBox::PaintIfFrameDue() {
    // A run writes the box after every deal, far more often than a screen
    // shows a new frame.
    constexpr std::chrono::milliseconds FrameTime{16};
    const auto now = std::chrono::steady_clock::now();
    const bool due = now - lastPaint_ >= FrameTime;
    setUpdatesEnabled(due);
    if (due) lastPaint_ = now;
}

namespace {

// The box as assistive technology reads and edits it. Its text is one
// message, a prompt or a run's three figures, so a screen reader reads it as
// one line, whole, however it wraps on the screen. During a run it reads as
// empty and takes no edits.
class StatusBoxAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit StatusBoxAccessible(StatusBox* box) : QAccessibleWidget(box, QAccessible::EditableText), box_(box) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    // The text interface, every offset clamped to the text.
    QString text(int start, int end) const override {
        const QString all = Text();
        start = Clamp(start);
        end = end < 0 ? int(all.size()) : Clamp(end);
        return start < end ? all.mid(start, end - start) : QString();
    }
    using QAccessibleWidget::text;
    int characterCount() const override { return int(Text().size()); }

    int cursorPosition() const override { return Clamp(box_->textCursor().position()); }
    void setCursorPosition(int position) override { Select(position, position); }

    int selectionCount() const override { return box_->InRun() || !box_->textCursor().hasSelection() ? 0 : 1; }
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || selectionCount() == 0) return;
        *start = Clamp(box_->textCursor().selectionStart());
        *end = Clamp(box_->textCursor().selectionEnd());
    }
    void addSelection(int start, int end) override { Select(start, end); }
    void removeSelection(int index) override {
        if (index == 0) Select(cursorPosition(), cursorPosition());
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) Select(start, end);
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override {
        if (IsLine(boundary)) {
            *start = 0;
            *end = characterCount();
            return Text();
        }
        return QAccessibleTextInterface::textAtOffset(LastCharacterAt(offset), boundary, start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override {
        if (IsLine(boundary)) return Nothing(start, end);
        return QAccessibleTextInterface::textBeforeOffset(Clamp(offset), boundary, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override {
        if (IsLine(boundary)) return Nothing(start, end);
        return QAccessibleTextInterface::textAfterOffset(LastCharacterAt(offset), boundary, start, end);
    }

    QRect characterRect(int offset) const override {
        if (offset < 0 || offset >= characterCount()) return {};
        QTextCursor at(box_->document());
        at.setPosition(offset);
        QRect rect = box_->cursorRect(at);
        rect.setWidth(box_->fontMetrics().horizontalAdvance(Text().at(offset)));
        return rect.translated(box_->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = box_->viewport()->mapFromGlobal(point);
        if (box_->InRun() || !box_->viewport()->rect().contains(local)) return -1;
        return box_->cursorForPosition(local).position();
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // The editable-text interface.
    void deleteText(int start, int end) override { Replace(start, end, {}); }
    void insertText(int offset, const QString& text) override { Replace(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override { Replace(start, end, text); }

private:
    QString Text() const { return box_->InRun() ? QString() : box_->toPlainText(); }
    int Clamp(int offset) const { return std::clamp(offset, 0, characterCount()); }
    // A character's offset at most the last character's: Qt looks for the
    // word or sentence at the end of the text for ever.
    int LastCharacterAt(int offset) const { return std::min(Clamp(offset), std::max(characterCount() - 1, 0)); }
    static bool IsLine(QAccessible::TextBoundaryType boundary) {
        return boundary == QAccessible::LineBoundary || boundary == QAccessible::ParagraphBoundary ||
               boundary == QAccessible::NoBoundary;
    }
    static QString Nothing(int* start, int* end) {
        *start = *end = -1;
        return {};
    }

    bool Editable() const { return !box_->InRun() && !(Form1 && Form1->WarningOpen()); }

    void Select(int start, int end) {
        if (!Editable()) return;
        QTextCursor cursor = box_->textCursor();
        cursor.setPosition(Clamp(start));
        cursor.setPosition(Clamp(end), QTextCursor::KeepAnchor);
        box_->setTextCursor(cursor);
    }

    void Replace(int start, int end, const QString& text) {
        if (!Editable()) return;
        QTextCursor cursor(box_->document());
        cursor.setPosition(Clamp(start));
        cursor.setPosition(std::max(Clamp(start), end < 0 ? characterCount() : Clamp(end)), QTextCursor::KeepAnchor);
        cursor.insertText(text);
    }

    StatusBox* box_;
};

}  // namespace

QAccessibleInterface* MakeStatusBoxAccessible(QObject* object) {
    auto* box = dynamic_cast<StatusBox*>(object);
    return box ? new StatusBoxAccessible(box) : nullptr;
}
