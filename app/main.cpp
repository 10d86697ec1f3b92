#include "app/main_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    callvista::Main window;
    window.show();
    return app.exec();
}
