#include "app/start.h"

#include "app/font_warm_up.h"
#include "app/main_window.h"
#include "app/recovery.h"
#include "core/document_file.h"
#include "core/file_name.h"
#include "core/file_system.h"
#include "widgets/program_style.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStyleFactory>
#include <QThreadPool>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <future>
#include <optional>

namespace callvista {

namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QCoreApplication::translate(
        "Start", "A small address book of family names, short names and phone numbers.\n"
                 "With FILE, the program starts with that document open, as File, Open\n"
                 "would open it; a file that cannot be read leaves an empty, untitled\n"
                 "document and a message that says why.\n"
                 "Qt's own options, such as -platform, are accepted as well."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QCoreApplication::translate("Start", "The document (.CVA) to open at start."),
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

// A document named on the command line is read while the application
// connects to the display and the window is built; on two cores that takes
// the reading off the way to the first paint. Only a lone argument that is
// no option is read ahead: anything else may hold Qt's options, which only
// QApplication can tell apart. The name is checked against the parsed
// command line before the result is used.
struct ReadAhead {
    QString fullPath;
    std::future<Result<LoadedDocument>> document;
};

std::optional<ReadAhead> readAhead(int argc, char* argv[])
{
    if (argc != 2 || argv[1][0] == '-' || argv[1][0] == '\0')
        return std::nullopt;
    // Qt takes the first thread that makes a QObject for its main thread,
    // and the reading uses the global thread pool, a QObject: made here,
    // it and the main thread belong to this thread, not to the reader.
    QThreadPool::globalInstance();
    ReadAhead ahead;
    ahead.fullPath = fullDocumentPath(QString::fromLocal8Bit(argv[1]));
    ahead.document = std::async(std::launch::async, [path = ahead.fullPath] {
        return loadDocumentFile(systemFileSystem(), path);
    });
    return ahead;
}

} // namespace

int runProgram(int argc, char* argv[], const std::function<void(QMainWindow&)>& created)
{
    fs::prepareProcess();
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

    // QApplication sets the C library's locale from the environment; done
    // here first, that call changes nothing while the read-ahead runs.
    std::setlocale(LC_ALL, "");
    std::optional<ReadAhead> ahead = readAhead(argc, argv);
    FontWarmUp fonts;
    QApplication app(argc, argv);
    // The style Qt chose (-style, QT_STYLE_OVERRIDE, the desktop's) is
    // wrapped as a second one of its kind: setStyle deletes the one it
    // replaces.
    app.setStyle(new ProgramStyle(QStyleFactory::create(QApplication::style()->name())));
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(CALLVISTA_APP_ID));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("callvista: give at most one document to open\n\n", stderr);
        parser.showHelp(2);
    }

    fonts.finish();
    MainWindow window;
    if (created)
        created(window);
    // Before the window is shown, so that its first paint already holds
    // the list.
    if (!files.isEmpty()) {
        const QString fullPath = fullDocumentPath(files.first());
        if (ahead && ahead->fullPath == fullPath)
            window.openAtStart(fullPath, ahead->document.get());
        else
            window.openAtStart(fullPath, loadDocumentFile(systemFileSystem(), fullPath));
    }
    // After the document named on the command line, which a restored copy
    // replaces.
    const Recovery recovery(window.session());
    window.show();
    return app.exec();
}

} // namespace callvista
