#include "app/main_window.h"
#include "core/file_system.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    callvista::fs::prepareProcess();
    QApplication app(argc, argv);
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(CALLVISTA_APP_ID));
    callvista::MainWindow window;
    window.show();
    return app.exec();
}
