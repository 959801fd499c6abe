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

// Qt reports a display it cannot open with a stream of warnings and an abort;
// while the application starts, its messages are held back, and a failure is
// said in one line instead.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> HeldMessages;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        HeldMessages.push_back({type, context.category, text});
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    std::fprintf(stderr, "quillan: cannot open a display (%s)\n",
                 display.isEmpty() ? "DISPLAY is not set" : ("DISPLAY is " + display).constData());
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
