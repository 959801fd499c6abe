// SPDX-License-Identifier: MIT
// What assistive technology sees of the window: its controls without the
// hidden picture holders; the drawn card table as elements a screen reader
// can walk, read and press, the seven places and the 52 cards of the sheet;
// and a status box that is not read out deal by deal.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "table/table.h"
#include "window/form1.h"

void GuardAssistiveRequests();  // assistive_guard.cpp

namespace {

// The parts of the card table: the table holds two groups, the places and
// the sheet; the places hold the seven slots, the sheet its 52 cards, row by
// row as drawn (spades, hearts, clubs, diamonds), two to ace in each.
enum class Part { Table, Places, Sheet, Place, Card };

class TablePart;

// Every element of a window's card table.
struct TableParts {
    TablePart* table = nullptr;
    TablePart* places = nullptr;
    TablePart* sheet = nullptr;
    std::array<TablePart*, SlotCount> place{};                // slot n at n - 1
    std::array<TablePart*, SheetColumns * SheetRows> card{};  // cell (c, r) at (r - 1) * 13 + c - 1
    std::vector<QAccessible::Id> ids;
};

QRect ToRect(const TableArea& area) { return {area.X, area.Y, area.Width, area.Height}; }

class TablePart : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TablePart(Form1Window* form, const TableParts& parts, Part part, int index)
        : form_(form), parts_(parts), part_(part), index_(index) {}

    bool isValid() const override { return !form_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return form_ ? form_->windowHandle() : nullptr; }

    QAccessibleInterface* parent() const override {
        switch (part_) {
        case Part::Table: return QAccessible::queryAccessibleInterface(form_);
        case Part::Places:
        case Part::Sheet: return parts_.table;
        case Part::Place: return parts_.places;
        case Part::Card: return parts_.sheet;
        }
        return nullptr;
    }

    int childCount() const override {
        switch (part_) {
        case Part::Table: return 2;
        case Part::Places: return SlotCount;
        case Part::Sheet: return int(parts_.card.size());
        default: return 0;
        }
    }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        switch (part_) {
        case Part::Table: return index == 0 ? parts_.places : parts_.sheet;
        case Part::Places: return parts_.place[std::size_t(index)];
        case Part::Sheet: return parts_.card[std::size_t(index)];
        default: return nullptr;
        }
    }

    int indexOfChild(const QAccessibleInterface* wanted) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (child(i) == wanted) return i;
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (child(i)->rect().contains(x, y)) return child(i);
        }
        return nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (!form_) return {};
        if (t == QAccessible::Name) return Name();
        if (t == QAccessible::Description) return Description();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    // In screen pixels, where a click does what this part's action does.
    QRect rect() const override {
        if (!form_) return {};
        return Area().translated(form_->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::Role role() const override {
        switch (part_) {
        case Part::Place: return QAccessible::RadioButton;
        case Part::Card: return QAccessible::Button;
        default: return QAccessible::Grouping;
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !form_ || !form_->isVisible();
        if (part_ == Part::Place) {
            state.checkable = true;
            state.checked = index_ == ActiveSlot;
        } else if (part_ == Part::Card) {
            state.checkable = true;
            state.checked = SlotHolding(Code()) != 0;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        const bool pressable = part_ == Part::Place || part_ == Part::Card;
        return type == QAccessible::ActionInterface && pressable ? static_cast<QAccessibleActionInterface*>(this)
                                                                 : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The same as a click on the card or the place, unless a warning is open.
    void doAction(const QString& name) override {
        if (name != pressAction() || !form_ || form_->WarningOpen()) return;
        if (part_ == Part::Place) emit form_->SlotClick(index_);
        if (part_ == Part::Card) emit form_->SheetCardClick(Column(), Row());
        if (form_) form_->TellWhatChanged();
    }

    // The card of a card of the sheet.
    CardCode Code() const { return SheetCard(Column(), Row()); }

private:
    int Column() const { return index_ % SheetColumns + 1; }
    int Row() const { return index_ / SheetColumns + 1; }

    QString Name() const {
        switch (part_) {
        case Part::Table: return QStringLiteral("Card table");
        case Part::Places: return QStringLiteral("Card places");
        case Part::Sheet: return QStringLiteral("Card sheet");
        case Part::Place: {
            const CardCode& card = Slots[index_].Card;
            return QString::fromStdString(SlotName(index_) + ": " + (card.empty() ? "empty" : CardName(card)));
        }
        case Part::Card: return QString::fromStdString(CardName(Code()));
        }
        return {};
    }

    QString Description() const {
        switch (part_) {
        case Part::Table: return form_->TableDescription();
        case Part::Places:
            return QStringLiteral(
                "Your two hole cards, then the five community cards. "
                "Press a place to put the next card there.");
        case Part::Sheet:
            return QStringLiteral(
                "All 52 cards, a row for each suit: spades, hearts, clubs, diamonds, "
                "two to ace. Press a card to put it into the next place.");
        case Part::Place: return index_ == ActiveSlot ? QStringLiteral("The next card goes here.") : QString();
        case Part::Card: {
            const int slot = SlotHolding(Code());
            return slot ? QString::fromStdString("In " + SlotNameInSentence(slot) + ".") : QString();
        }
        }
        return {};
    }

    // In window pixels.
    QRect Area() const {
        switch (part_) {
        case Part::Table:
            // From the glow around the slots down to the sheet's last row.
            return {FirstSlotX - FrameMargin, HoleRowY - FrameMargin, FormWidth - 2 * (FirstSlotX - FrameMargin),
                    SheetBottom + 1 - (HoleRowY - FrameMargin)};
        case Part::Places:
            return QRect(QPoint(Slots[1].X, Slots[1].Y),
                         QPoint(Slots[SlotCount].X + CardWidth - 1, Slots[SlotCount].Y + CardHeight - 1));
        case Part::Sheet: return {SheetLeft, SheetTop, SheetRight + 1 - SheetLeft, SheetBottom + 1 - SheetTop};
        case Part::Place: return {Slots[index_].X, Slots[index_].Y, CardWidth, CardHeight};
        case Part::Card: return ToRect(SheetCellArea(Column(), Row()));
        }
        return {};
    }

    QPointer<Form1Window> form_;
    const TableParts& parts_;
    Part part_;
    int index_;  // slot number of a place, (row - 1) * 13 + column - 1 of a card
};

// What the window said unasked. Screen readers speak a notification the
// moment it shows, whatever has the focus; it is never on screen, so a screen
// reader's review of the window passes it by. A few take turns: Orca reads a
// notification's name when it comes to its event, and skips an event when a
// later one of the same object waits, so one element would lose what was
// said while it was busy.
class AnnouncementElement : public QAccessibleInterface {
public:
    explicit AnnouncementElement(Form1Window* form) : form_(form) {}

    bool isValid() const override { return !form_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return form_ ? form_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(form_); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? said_ : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }

    void Say(const QString& message) {
        said_ = message;
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }

private:
    QPointer<Form1Window> form_;
    QString said_;
};

// The window: its visible controls in their order, then the card table.
class FormAccessible : public QAccessibleWidget {
public:
    explicit FormAccessible(Form1Window* form) : QAccessibleWidget(form, QAccessible::Window), form_(form) {}

    ~FormAccessible() override {
        for (QAccessible::Id id : parts_.ids) QAccessible::deleteAccessibleInterface(id);
        for (QAccessible::Id id : announcementIds_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(Controls().size()) + 1 + AnnouncementTurns; }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> controls = Controls();
        if (index >= 0 && index < controls.size()) return QAccessible::queryAccessibleInterface(controls[index]);
        if (index == controls.size()) return Parts().table;
        const qsizetype turn = index - controls.size() - 1;
        return turn >= 0 && turn < AnnouncementTurns ? Announcements()[std::size_t(turn)] : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child == parts_.table) return int(Controls().size());
        const auto turn = std::find(announcements_.begin(), announcements_.end(), child);
        if (turn != announcements_.end()) return int(Controls().size()) + 1 + int(turn - announcements_.begin());
        return int(Controls().indexOf(qobject_cast<QWidget*>(child->object())));
    }

    // Tells assistive technology what changed on the table between two
    // snapshots: a handful of events for a pick, not one for every element.
    // The table's description names every slot's card and the next place, so
    // any change is a change of it.
    void SendChanges(const TableSnapshot& told, const TableSnapshot& now) {
        TableParts& parts = Parts();
        auto send = [](QAccessibleInterface* part, QAccessible::Event type) {
            QAccessibleEvent event(part, type);
            QAccessible::updateAccessibility(&event);
        };
        auto sendChecked = [](QAccessibleInterface* part) {
            QAccessible::State checked;
            checked.checked = true;
            QAccessibleStateChangeEvent event(part, checked);
            QAccessible::updateAccessibility(&event);
        };
        for (int n = 1; n <= SlotCount; ++n) {
            const SlotChange change = ChangeOfSlot(told, now, n);
            if (change.card) send(parts.place[std::size_t(n - 1)], QAccessible::NameChanged);
            if (change.active) sendChecked(parts.place[std::size_t(n - 1)]);
        }
        // A card that came into a place, left one or moved to another.
        for (TablePart* card : parts.card) {
            const int before = SlotHolding(card->Code(), told.places);
            const int after = SlotHolding(card->Code(), now.places);
            if (before == after) continue;
            if ((before == 0) != (after == 0)) sendChecked(card);
            send(card, QAccessible::DescriptionChanged);
        }
        send(parts.table, QAccessible::DescriptionChanged);
    }

    // Says message through the next of the announcement elements.
    void Say(const QString& message) {
        Announcements()[std::size_t(nextTurn_)]->Say(message);
        nextTurn_ = (nextTurn_ + 1) % AnnouncementTurns;
    }

private:
    static constexpr int AnnouncementTurns = 3;

    std::array<AnnouncementElement*, AnnouncementTurns>& Announcements() const {
        if (!announcements_[0]) {
            for (AnnouncementElement*& element : announcements_) {
                element = new AnnouncementElement(form_);
                announcementIds_.push_back(QAccessible::registerAccessibleInterface(element));
            }
        }
        return announcements_;
    }

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

    // Made on first use, and kept as long as the window.
    TableParts& Parts() const {
        if (!parts_.table) {
            auto make = [this](Part part, int index) {
                auto* made = new TablePart(form_, parts_, part, index);
                parts_.ids.push_back(QAccessible::registerAccessibleInterface(made));
                return made;
            };
            parts_.table = make(Part::Table, 0);
            parts_.places = make(Part::Places, 0);
            parts_.sheet = make(Part::Sheet, 0);
            for (int n = 1; n <= SlotCount; ++n) parts_.place[std::size_t(n - 1)] = make(Part::Place, n);
            for (int i = 0; i < int(parts_.card.size()); ++i) parts_.card[std::size_t(i)] = make(Part::Card, i);
        }
        return parts_;
    }

    Form1Window* form_;
    mutable TableParts parts_;
    mutable std::array<AnnouncementElement*, AnnouncementTurns> announcements_{};
    mutable std::vector<QAccessible::Id> announcementIds_;
    int nextTurn_ = 0;
};

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
    // The status box has no class name of its own.
    if (className == QLatin1String("QPlainTextEdit")) return MakeStatusBoxAccessible(object);
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

// Every accessibility event passes here: the status box's text events during
// a run stop, everything else goes on to the platform as before.
void PassAccessibilityEvent(QAccessibleEvent* event) {
    const QObject* source = event->object();
    if (Form1 && Form1->txt_Status->InRun() && source &&
        (source == Form1->txt_Status || source == Form1->txt_Status->viewport()) && IsTextEvent(event->type()))
        return;
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(PassAccessibilityEvent);
}

// Qt's bridge to assistive technology says it is active before it puts its
// handler of requests on the bus, in the same call: the guard goes in front
// of that handler as soon as the call is over, before any request can come.
class BridgeObserver : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override {
        if (active) QTimer::singleShot(0, qApp, GuardAssistiveRequests);
    }
};

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeAccessible);
        QAccessible::installUpdateHandler(PassAccessibilityEvent);
        static BridgeObserver observer;
        QAccessible::installActivationObserver(&observer);
        if (QAccessible::isActive()) QTimer::singleShot(0, qApp, GuardAssistiveRequests);
        return true;
    }();
    (void)installed;
}

void Form1Window::TellWhatChanged() {
    const TableSnapshot now = SnapshotOfTable();
    if (!TableChanged(told_.table, now)) return;
    const TableSnapshot before = told_.table;
    // Told before the events go out, so what they make a screen reader read
    // afresh is the table as it is now.
    told_ = {now, QString::fromStdString(SlotsInWords())};
    if (auto* form = dynamic_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(this)))
        form->SendChanges(before, now);
    Announce(TableChangeInWords(before, now));
}

void Form1Window::showEvent(QShowEvent* event) {
    // Assistive technology first learns the table as it is shown.
    if (told_.words.isEmpty()) told_ = {SnapshotOfTable(), QString::fromStdString(SlotsInWords())};
    QWidget::showEvent(event);
}

void Form1Window::Announce(const std::string& message) {
    if (message.empty()) return;
    const bool first = pendingAnnouncement_.isEmpty();
    if (!first) pendingAnnouncement_ += QLatin1Char(' ');
    pendingAnnouncement_ += QString::fromStdString(message);
    if (!first) return;
    QTimer::singleShot(0, this, [this] {
        announcement_ = std::exchange(pendingAnnouncement_, QString());
        if (auto* form = dynamic_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(this)))
            form->Say(announcement_);
    });
}
