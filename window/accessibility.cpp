// SPDX-License-Identifier: MIT
// What assistive technology sees of the window: its controls without the
// hidden picture holders, the card table as one element that says in words
// what lies in the slots, and a status box that is not read out deal by deal.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>

#include "table/table.h"
#include "window/form1.h"

namespace {

// The card table is drawn, not made of controls: this element stands for it.
class TableAccessible : public QAccessibleInterface {
public:
    explicit TableAccessible(Form1Window* form) : form_(form) {}

    bool isValid() const override { return !form_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return form_ ? form_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(form_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!form_) return {};
        if (t == QAccessible::Name) return QStringLiteral("Card table");
        if (t == QAccessible::Description) return form_->TableDescription();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!form_) return {};
        // Everything from the slots down to the sheet's last row.
        const QRect table(FirstSlotX - FrameMargin, HoleRowY - FrameMargin, FormWidth - 2 * (FirstSlotX - FrameMargin),
                          SheetBottom + 1 - (HoleRowY - FrameMargin));
        return table.translated(form_->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override { return QAccessible::Graphic; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !form_ || !form_->isVisible();
        return state;
    }

private:
    QPointer<Form1Window> form_;
};

// The window: its visible controls in their order, then the card table.
class FormAccessible : public QAccessibleWidget {
public:
    explicit FormAccessible(Form1Window* form) : QAccessibleWidget(form, QAccessible::Window), form_(form) {}

    ~FormAccessible() override {
        if (table_) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(table_));
    }

    int childCount() const override { return int(Controls().size()) + 1; }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> controls = Controls();
        if (index >= 0 && index < controls.size()) return QAccessible::queryAccessibleInterface(controls[index]);
        return index == controls.size() ? Table() : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child == table_) return int(Controls().size());
        return int(Controls().indexOf(qobject_cast<QWidget*>(child->object())));
    }

    QAccessibleInterface* Table() const {
        if (!table_) {
            table_ = new TableAccessible(form_);
            QAccessible::registerAccessibleInterface(table_);
        }
        return table_;
    }

private:
    // The picture holders are never shown and hold nothing to read.
    QList<QWidget*> Controls() const {
        QList<QWidget*> controls;
        for (QWidget* child : form_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow()) continue;
            const bool holder = child == form_->MiniSelection.control || child == form_->MiniBack.control ||
                                child == form_->MiniCardsSprite2.control || child == form_->MiniCardsSprite.control;
            if (!holder) controls.push_back(child);
        }
        return controls;
    }

    Form1Window* form_;
    mutable TableAccessible* table_ = nullptr;
};

QAccessibleInterface* MakeFormAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(Form1Window::staticMetaObject.className())) return nullptr;
    auto* form = qobject_cast<Form1Window*>(object);
    return form ? new FormAccessible(form) : nullptr;
}

// The kinds of event by which a text box tells a screen reader what changed.
bool IsTextEvent(QAccessible::Event type) {
    switch (type) {
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
    case QAccessible::TextAttributeChanged:
    case QAccessible::TextColumnChanged:
    case QAccessible::ValueChanged: return true;
    default: return false;
    }
}

// Every accessibility event passes here: held text events of the status box
// stop, everything else goes on to the platform as before.
void PassAccessibilityEvent(QAccessibleEvent* event) {
    const QObject* source = event->object();
    if (Form1 && Form1->StatusAnnouncementsHeld() && source &&
        (source == Form1->txt_Status || source == Form1->txt_Status->viewport()) && IsTextEvent(event->type()))
        return;
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(PassAccessibilityEvent);
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeFormAccessible);
        QAccessible::installUpdateHandler(PassAccessibilityEvent);
        return true;
    }();
    (void)installed;
}

void Form1Window::DescribeTable(const std::string& description) {
    const QString text = QString::fromStdString(description);
    if (text == tableDescription_) return;
    tableDescription_ = text;
    if (!QAccessible::isActive()) return;
    auto* form = dynamic_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(this));
    if (!form) return;
    QAccessibleEvent changed(form->Table(), QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void Form1Window::HoldStatusAnnouncements() {
    if (statusHolds_++ == 0) statusBeforeHold_ = txt_Status->toPlainText();
}

void Form1Window::ReleaseStatusAnnouncements() {
    if (statusHolds_ == 0 || --statusHolds_ > 0) return;
    const QString now = txt_Status->toPlainText();
    if (now == statusBeforeHold_) return;
    QAccessibleTextUpdateEvent changed(txt_Status, 0, statusBeforeHold_, now);
    QAccessible::updateAccessibility(&changed);
}
