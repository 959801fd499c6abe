#include <QApplication>
#include <memory>

#include "window/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillan");
    QApplication::setApplicationVersion(QUILLAN_VERSION);
    QGuiApplication::setDesktopFileName("io.github.quillan.Quillan");
    std::unique_ptr<Form1Window> form(LoadForm1());
    form->show();
    return app.exec();
}
