#include "app/main_window.h"
#include "core/file_system.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "A small address book of family names, short names and phone numbers.\n"
        "With FILE, the program starts with that document open, as File, Open\n"
        "would open it; a file that cannot be read leaves an empty, untitled\n"
        "document and a message that says why.\n"
        "Qt's own options, such as -platform, are accepted as well."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The document (.CVA) to open at start."),
                                 QStringLiteral("[FILE]"));
}

// --help and --version print and end; they need no window system, so they
// are answered before the GUI application connects to a display.
bool asksOnlyForText(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            return false;
        for (const char* option : {"-h", "-?", "--help", "-v", "--version"})
            if (std::strcmp(arg, option) == 0)
                return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    callvista::fs::prepareProcess();
    QCoreApplication::setApplicationName(QStringLiteral("callvista"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CALLVISTA_VERSION));
    QCommandLineParser parser;
    describe(parser);

    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        // Unknown options (Qt's own, which only QApplication takes) do not
        // keep the help from being shown.
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(QStringLiteral("version")))
            parser.showVersion();
        parser.showHelp(0);
    }

    QApplication app(argc, argv);
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(CALLVISTA_APP_ID));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("callvista: give at most one document to open\n\n", stderr);
        parser.showHelp(2);
    }

    callvista::MainWindow window;
    // Before the window is shown, so that its first paint already holds
    // the list.
    if (!files.isEmpty())
        window.openAtStart(files.first());
    window.show();
    return app.exec();
}
