// SPDX-License-Identifier: MIT
#include <unistd.h>
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app.h"
#include "window/form1.h"

namespace {

// The platforms Quillan starts on where the user has not chosen one: X first
// where DISPLAY names a display, through XWayland on a Wayland desktop too,
// since only there can the window ask to be kept above the others; Wayland
// where X cannot be used. With no DISPLAY, Wayland first.
constexpr const char* XFirst = "xcb;wayland";
constexpr const char* WaylandFirst = "wayland;xcb";

// The Debian package that brings each platform's plugin.
constexpr std::pair<std::string_view, const char*> PluginPackages[] = {{"wayland", "qt6-wayland"},
                                                                       {"xcb", "libqt6gui6"}};

// How Qt's messages begin that say a platform did not start.
constexpr char MissingPlugin[] = "Could not find the Qt platform plugin \"";
constexpr char PluginNotLoaded[] = "Could not load the Qt platform plugin";
constexpr char NoXDisplayText[] = "could not connect to display";
constexpr char NoWaylandDisplayText[] = "Failed to create wl_display";

constexpr char NotOnTopOnWayland[] =
    "quillan: on Wayland the window cannot be kept above other windows; see \"man quillan\" for how";

bool UserChosePlatform = false;

void ChoosePlatforms() {
    UserChosePlatform = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (!UserChosePlatform) qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? WaylandFirst : XFirst);
}

// Qt reports a platform it cannot start with a stream of messages and an
// abort; while the application starts, its messages are held back, and a
// failure is said in one line instead, after whatever debugging output the
// user turned on.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> HeldMessages;
QtMessageHandler QtHandler = nullptr;

// Qt's word that it could not open the display of a platform it tried.
bool NoWaylandDisplay(const HeldMessage& held) { return held.text.startsWith(QLatin1String(NoWaylandDisplayText)); }
bool NoXDisplay(const HeldMessage& held) {
    return held.category == "qt.qpa.xcb" && held.text.startsWith(QLatin1String(NoXDisplayText));
}

QByteArray Variable(const char* name) {
    const QByteArray value = qgetenv(name);
    return name + (value.isEmpty() ? QByteArray(" is not set") : " is " + value);
}

// What stopped the start: a platform whose plugin is missing, where the user
// chose that platform or its display is named, with the package that brings
// the plugin; else the displays that could not be opened, which the user
// mends through DISPLAY and WAYLAND_DISPLAY; else the platform chosen, in the
// words of Qt's first warning about platforms. Debugging output is no reason.
QByteArray StartupFailure(const QString& fatal) {
    bool xFailed = false;
    bool waylandFailed = false;
    QString missing;
    QString reason;
    for (const HeldMessage& held : HeldMessages) {
        if (held.type != QtWarningMsg && held.type != QtCriticalMsg) continue;
        if (NoWaylandDisplay(held)) {
            waylandFailed = true;
        } else if (NoXDisplay(held)) {
            xFailed = true;
        } else if (held.category.startsWith("qt.qpa")) {
            if (held.text.startsWith(QLatin1String(MissingPlugin))) {
                const QString name = held.text.section(QLatin1Char('"'), 1, 1);
                const bool displayNamed = (name == "xcb" && !qEnvironmentVariableIsEmpty("DISPLAY")) ||
                                          (name == "wayland" && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
                if (missing.isEmpty() && (UserChosePlatform || displayNamed)) missing = held.text;
            }
            if (reason.isEmpty()) reason = held.text;
        }
    }
    if (!missing.isEmpty()) {
        const QByteArray name = missing.section(QLatin1Char('"'), 1, 1).toLocal8Bit();
        QByteArray line = "cannot start the platform \"" + name +
                          "\": " + missing.section(QLatin1Char('\n'), 0, 0).trimmed().toLocal8Bit();
        for (const auto& [platform, package] : PluginPackages) {
            if (name.toStdString() == platform) line += "; install the Debian package " + QByteArray(package);
        }
        return line;
    }
    if (xFailed || waylandFailed) {
        QByteArrayList displays;
        if (xFailed) displays.append(Variable("DISPLAY"));
        if (waylandFailed && (!xFailed || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")))
            displays.append(Variable("WAYLAND_DISPLAY"));
        return "cannot open a display (" + displays.join(", ") + ")";
    }
    if (reason.isEmpty()) reason = fatal;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return "cannot start the platform \"" + (platform.isEmpty() ? "Qt's default" : platform) +
           "\": " + reason.section(QLatin1Char('\n'), 0, 0).trimmed().toLocal8Bit();
}

// Passes a held message on as Qt would have: to the handler the application
// had, or in Qt's own format to stderr.
void PassOn(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (QtHandler)
        QtHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

void PassOn(const HeldMessage& held) {
    PassOn(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category.constData()), held.text);
}

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        HeldMessages.push_back({type, context.category, text});
        return;
    }
    for (const HeldMessage& held : HeldMessages) {
        if (held.type == QtDebugMsg) PassOn(held);
    }
    std::fprintf(stderr, "quillan: %s\n", StartupFailure(text).constData());
    std::fflush(stderr);
    _exit(EXIT_FAILURE);
}

// Qt's word that a platform it tried did not start: of no interest once a
// later platform of the ones chosen here has.
bool PlatformNotStarted(const HeldMessage& held) {
    return NoWaylandDisplay(held) || NoXDisplay(held) ||
           (held.category == "qt.qpa.plugin" && held.type != QtDebugMsg &&
            (held.text.startsWith(QLatin1String(MissingPlugin)) ||
             held.text.startsWith(QLatin1String(PluginNotLoaded))));
}

// Qt asks a screen reader about every key and waits 100 ms for its answer;
// Orca takes longer whenever one of its commands clicks, and Qt then says so
// on the console and gives the key to the window, as it should. There is
// nothing in it for the user to act on.
constexpr char ScreenReaderSlowToAnswer[] = "QSpiApplication::keyEventError";

void PassRunningMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String(ScreenReaderSlowToAnswer))) return;
    PassOn(type, context, text);
}

void ReleaseStartupMessages() {
    qInstallMessageHandler(PassRunningMessage);
    for (const HeldMessage& held : HeldMessages) {
        if (UserChosePlatform || !PlatformNotStarted(held)) PassOn(held);
    }
    HeldMessages.clear();
}

}  // namespace

int main(int argc, char* argv[]) {
    // Quillan takes no command line, Qt's own options included.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    ChoosePlatforms();
    QtHandler = qInstallMessageHandler(HoldStartupMessage);
    QApplication app(qtArgc, qtArgv);
    ReleaseStartupMessages();
    // Qt has no way to ask a Wayland compositor to keep a window above the
    // others: the window runs on as an ordinary one, and the user is told so.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        std::fprintf(stderr, "%s\n", NotOnTopOnWayland);

    QApplication::setApplicationName("Quillan");
    QApplication::setApplicationVersion(QUILLAN_VERSION);
    QGuiApplication::setDesktopFileName(QUILLAN_APP_ID);
    std::unique_ptr<Form1Window> form(LoadForm1());
    form->show();
    return app.exec();
}
