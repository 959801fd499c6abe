// SPDX-License-Identifier: MIT
#include <unistd.h>
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/app.h"
#include "window/form1.h"

namespace {

// Where the user has not chosen a platform and an X display is there, use X,
// through XWayland on a Wayland desktop: only there can the window ask to be
// kept above the others.
void PreferX() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Qt reports a platform it cannot start with a stream of messages and an
// abort; while the application starts, its messages are held back, and a
// failure is said in one line instead.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> HeldMessages;

// What stopped the start: the X display, which the user mends through
// DISPLAY, or else the platform chosen, in the words of Qt's first message
// about platforms.
QByteArray StartupFailure(const QString& fatal) {
    QString reason = fatal;
    for (const HeldMessage& held : HeldMessages) {
        if (!held.category.startsWith("qt.qpa")) continue;
        if (held.category == "qt.qpa.xcb" && held.text.startsWith("could not connect to display")) {
            const QByteArray display = qgetenv("DISPLAY");
            return "cannot open a display (" + (display.isEmpty() ? "DISPLAY is not set" : "DISPLAY is " + display) +
                   ")";
        }
        reason = held.text;
        break;
    }
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return "cannot start the platform \"" + (platform.isEmpty() ? "Qt's default" : platform) +
           "\": " + reason.section(QLatin1Char('\n'), 0, 0).trimmed().toLocal8Bit();
}

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        HeldMessages.push_back({type, context.category, text});
        return;
    }
    std::fprintf(stderr, "quillan: %s\n", StartupFailure(text).constData());
    std::fflush(stderr);
    _exit(EXIT_FAILURE);
}

void ReleaseStartupMessages(QtMessageHandler handler) {
    qInstallMessageHandler(handler);
    if (!handler) return;
    for (const HeldMessage& held : HeldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        handler(held.type, context, held.text);
    }
    HeldMessages.clear();
}

}  // namespace

int main(int argc, char* argv[]) {
    // Quillan takes no command line, Qt's own options included.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    PreferX();
    const QtMessageHandler qtHandler = qInstallMessageHandler(HoldStartupMessage);
    QApplication app(qtArgc, qtArgv);
    ReleaseStartupMessages(qtHandler);

    QApplication::setApplicationName("Quillan");
    QApplication::setApplicationVersion(QUILLAN_VERSION);
    QGuiApplication::setDesktopFileName("io.github.quillan.Quillan");
    std::unique_ptr<Form1Window> form(LoadForm1());
    form->show();
    return app.exec();
}
