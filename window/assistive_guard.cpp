// SPDX-License-Identifier: MIT
// Every request that a screen reader or another assistive technology sends
// over AT-SPI passes here before Qt's own handler answers it. Qt 6.4 trusts
// the offsets and lengths it is sent: the extents of a range that ends at the
// largest integer are looked up character by character for ever, an insert
// of "ab" with a length of 2^31 inserts two billion characters and leaves the
// status box broken. Here every offset is clamped to the text it names, an
// insert is cut to the text sent and refused past a size no box needs, and
// while a warning is open nothing may act on or change the main window.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <limits>

#include "window/form1.h"

namespace {

// Where Qt's handler of the whole tree is registered on the accessibility
// bus: each element at <path>/<its id>, the application at <path>/root.
const QString AccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");
const QString AccessibilityBus = QStringLiteral("a11y");

const QString TextInterface = QStringLiteral("org.a11y.atspi.Text");
const QString EditableTextInterface = QStringLiteral("org.a11y.atspi.EditableText");

// No box needs more text than this; longer texts sent to one are refused.
constexpr int MaxAssistiveText = 10000;

// What the arguments of a text call are: the offset of a character, a
// position between characters (0 to the length, where a caret or an insert
// goes), or a range, a start and an end, where an end of -1 means the end of
// the text, as GetText lets it.
enum class Offsets { Character, Position, Range };

struct OffsetArguments {
    const char* member;
    int first;  // the index of the first offset among the call's arguments
    Offsets kind;
};

// A character's offset stops at the last character: Qt 6.4 answers a word or
// sentence asked for at the end of a line edit's text by looping for ever.
constexpr OffsetArguments TextOffsets[] = {
    {"GetTextAtOffset", 0, Offsets::Character},
    {"GetTextBeforeOffset", 0, Offsets::Character},
    {"GetTextAfterOffset", 0, Offsets::Character},
    {"GetStringAtOffset", 0, Offsets::Character},
    {"GetCharacterAtOffset", 0, Offsets::Character},
    {"GetCharacterExtents", 0, Offsets::Character},
    {"GetAttributes", 0, Offsets::Character},
    {"GetAttributeValue", 0, Offsets::Character},
    {"GetAttributeRun", 0, Offsets::Character},
    {"SetCaretOffset", 0, Offsets::Position},
    {"GetText", 0, Offsets::Range},
    {"AddSelection", 0, Offsets::Range},
    {"SetSelection", 1, Offsets::Range},
    {"GetRangeExtents", 0, Offsets::Range},
    {"ScrollSubstringTo", 0, Offsets::Range},
    {"ScrollSubstringToPoint", 0, Offsets::Range},
};
constexpr OffsetArguments EditableTextOffsets[] = {
    {"InsertText", 0, Offsets::Position}, {"PasteText", 0, Offsets::Position}, {"CopyText", 0, Offsets::Range},
    {"CutText", 0, Offsets::Range},       {"DeleteText", 0, Offsets::Range},
};

// Calls that change what the window shows or where its focus is, each
// answering true when it did.
bool Changes(const QDBusMessage& call) {
    const QString& member = call.member();
    const bool asks = member.startsWith(QLatin1String("Get")) || member.startsWith(QLatin1String("Is"));
    if (call.interface() == EditableTextInterface) return member != QLatin1String("CopyText");
    if (call.interface() == TextInterface)
        return member == QLatin1String("SetCaretOffset") || (member.endsWith(QLatin1String("Selection")) && !asks);
    if (call.interface() == QLatin1String("org.a11y.atspi.Action")) return member == QLatin1String("DoAction");
    if (call.interface() == QLatin1String("org.a11y.atspi.Component"))
        return member == QLatin1String("GrabFocus") || member.startsWith(QLatin1String("Set")) ||
               member.startsWith(QLatin1String("ScrollTo"));
    if (call.interface() == QLatin1String("org.a11y.atspi.Selection")) return !asks;
    if (call.interface() == QLatin1String("org.a11y.atspi.Value")) return member == QLatin1String("SetCurrentValue");
    return call.interface() == QLatin1String("org.freedesktop.DBus.Properties") && member == QLatin1String("Set");
}

// The element a call is addressed to; null for the application and for an
// element that is gone.
QAccessibleInterface* Addressee(const QDBusMessage& call) {
    const QString id = call.path().mid(AccessiblePath.size() + 1);
    bool number = false;
    const uint value = id.toUInt(&number);
    return number ? QAccessible::accessibleInterface(value) : nullptr;
}

bool InMainWindow(QAccessibleInterface* element) {
    return Form1 && element->window() && element->window() == Form1->windowHandle();
}

int Clamped(const QVariant& offset, int from, int to) {
    return int(std::clamp<qlonglong>(offset.toLongLong(), from, to));
}

// Puts the offsets of a text or editable-text call inside the text of
// length characters.
template <std::size_t N>
void ClampOffsets(QList<QVariant>& arguments, const QString& member, int length, const OffsetArguments (&table)[N]) {
    const auto* found = std::find_if(std::begin(table), std::end(table), [&](const OffsetArguments& entry) {
        return member == QLatin1String(entry.member);
    });
    if (found == std::end(table) || arguments.size() < found->first + (found->kind == Offsets::Range ? 2 : 1)) return;
    QVariant& first = arguments[found->first];
    switch (found->kind) {
    case Offsets::Character: first = Clamped(first, 0, std::max(length - 1, 0)); break;
    case Offsets::Position: first = Clamped(first, 0, length); break;
    case Offsets::Range: {
        QVariant& end = arguments[found->first + 1];
        end = end.toLongLong() == -1 ? length : Clamped(end, 0, length);
        first = Clamped(first, 0, end.toInt());
        break;
    }
    }
}

class AssistiveGuard : public QDBusVirtualObject {
public:
    explicit AssistiveGuard(QDBusVirtualObject* qtHandler) : QDBusVirtualObject(qtHandler), qtHandler_(qtHandler) {}

    QString introspect(const QString& path) const override { return qtHandler_->introspect(path); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QAccessibleInterface* element = Addressee(message);
        if (!element) return qtHandler_->handleMessage(message, connection);
        if (Form1 && Form1->WarningOpen() && InMainWindow(element) && Changes(message))
            return Refuse(message, connection);

        // A copy shares the call's identity, so Qt's answer still reaches the caller.
        QDBusMessage call = message;
        QList<QVariant> arguments = call.arguments();
        QAccessibleTextInterface* text = element->textInterface();
        const int length = text ? text->characterCount() : 0;
        if (call.interface() == TextInterface) {
            ClampOffsets(arguments, call.member(), length, TextOffsets);
        } else if (call.interface() == EditableTextInterface) {
            ClampOffsets(arguments, call.member(), length, EditableTextOffsets);
            if (call.member() == QLatin1String("InsertText") && arguments.size() == 3) {
                const int sent = int(arguments[1].toString().size());
                arguments[2] = Clamped(arguments[2], 0, sent);
                if (qlonglong(length) + arguments[2].toInt() > MaxAssistiveText) return Refuse(message, connection);
            }
            if (call.member() == QLatin1String("SetTextContents") && !arguments.isEmpty() &&
                arguments[0].toString().size() > MaxAssistiveText)
                return Refuse(message, connection);
        }
        call.setArguments(arguments);
        return qtHandler_->handleMessage(call, connection);
    }

private:
    // Answers that nothing was done: false, as every call it refuses answers
    // whether it did something, but a property's Set, which answers nothing.
    static bool Refuse(const QDBusMessage& message, const QDBusConnection& connection) {
        const bool answersNothing = message.member() == QLatin1String("Set");
        connection.send(answersNothing ? message.createErrorReply(QDBusError::AccessDenied,
                                                                  QStringLiteral("Not while a warning is open"))
                                       : message.createReply(false));
        return true;
    }

    QDBusVirtualObject* qtHandler_;
};

}  // namespace

void GuardAssistiveRequests() {
    // Only a live bridge has a connection to guard; asking otherwise would
    // start Qt's D-Bus machinery in a program that has no use for it.
    if (!QAccessible::isActive()) return;
    static QPointer<QObject> guard;
    QDBusConnection bus(AccessibilityBus);
    if (!bus.isConnected()) return;
    QObject* registered = bus.objectRegisteredAt(AccessiblePath);
    if (!registered || registered == guard) return;
    auto* qtHandler = qobject_cast<QDBusVirtualObject*>(registered);
    if (!qtHandler) return;
    bus.unregisterObject(AccessiblePath, QDBusConnection::UnregisterTree);
    auto* made = new AssistiveGuard(qtHandler);
    if (bus.registerVirtualObject(AccessiblePath, made, QDBusConnection::SubPath)) {
        guard = made;
    } else {
        delete made;
        bus.registerVirtualObject(AccessiblePath, qtHandler, QDBusConnection::SubPath);
    }
}
