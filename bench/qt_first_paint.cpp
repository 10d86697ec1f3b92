#include "first_paint.h"

#include <QApplication>
#include <QListWidget>
#include <QMainWindow>

#include <cstring>

// The least a Qt Widgets program of this kind does: a main window with a
// list, shown; the floor for the program's start-up. With the argument
// "text" the list holds one line, so that the floor loads the fonts as every
// program that shows text must.
int main(int argc, char* argv[])
{
    const bool text = argc > 1 && std::strcmp(argv[argc - 1], "text") == 0;
    QApplication app(argc, argv);
    QMainWindow window;
    auto* list = new QListWidget(&window);
    if (text)
        list->addItem(QStringLiteral("Family Name"));
    window.setCentralWidget(list);
    const FirstPaintProbe probe(window);
    window.show();
    return app.exec();
}
