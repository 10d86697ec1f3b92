#include "app/main_window.h"
#include "app/recovery.h"
#include "app/start.h"
#include "core/recovery_store.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#ifndef Q_OS_WIN
#include <sys/types.h>
#include <unistd.h>
#endif

// Through the real thing: the program itself, in a child process, with an
// entry added and then killed after its copy was written, or ended by a
// signal at once; the next start in the same home must offer the entry.

using namespace callvista;
using namespace callvista::testing;

namespace {

// What a child runs: the program as it starts, given no document. With
// `change`, an entry is added through the Add dialog once the window is up;
// then it says so and waits to be ended.
int runChild(char* program, bool change)
{
    char* arguments[] = {program, nullptr};
    return runProgram(1, arguments, [change](QMainWindow& window) {
        QTimer::singleShot(0, &window, [&window, change] {
            if (change) {
                setModalDriver([](QDialog& dialog) {
                    dialog.findChild<QLineEdit*>(QStringLiteral("Family"))->setText("Kept");
                    dialog.findChild<QLineEdit*>(QStringLiteral("Short"))->setText("Child");
                    dialog.findChild<QLineEdit*>(QStringLiteral("Phone"))->setText("555");
                    dialog.findChild<QPushButton*>(QStringLiteral("AddCmd"))->click();
                    dialog.findChild<QPushButton*>(QStringLiteral("DoneCmd"))->click();
                });
                window.findChild<QAbstractButton*>(QStringLiteral("AddCmd"))->click();
                setModalDriver({});
            }
            std::puts("ready");
            std::fflush(stdout);
        });
    });
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void endedProgramsChangesAreOffered_data();
    void endedProgramsChangesAreOffered();

private:
    QTemporaryDir m_home;
};

void TestRecovery::initTestCase()
{
    // The children's home and name, as the program's: their copies are
    // found where this start looks.
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
    QCoreApplication::setApplicationName(QStringLiteral("callvista"));
}

// On Windows the folder is in the wine prefix, whatever the home: each test
// starts without copies and leaves none.
void TestRecovery::init()
{
    QDir(RecoveryStore::standardFolder()).removeRecursively();
}

void TestRecovery::cleanup()
{
    init();
}

void TestRecovery::endedProgramsChangesAreOffered_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<int>("signal");

    // 0 is the hard kill, which no program sees coming: only a copy already
    // written survives it.
    QTest::newRow("killed after the copy's moment") << true << 0;
#ifndef Q_OS_WIN
    QTest::newRow("SIGTERM at once") << true << SIGTERM;
    QTest::newRow("SIGHUP at once") << true << SIGHUP;
    QTest::newRow("SIGINT at once") << true << SIGINT;
    QTest::newRow("SIGTERM without changes") << false << SIGTERM;
#endif
}

void TestRecovery::endedProgramsChangesAreOffered()
{
    QFETCH(bool, change);
    QFETCH(int, signal);

    // Copies with the changes in them, not the empty file a first copy is
    // written over.
    const auto copies = [] {
        int written = 0;
        for (const QFileInfo& copy : QDir(RecoveryStore::standardFolder())
                                         .entryInfoList({QStringLiteral("*.copy")}, QDir::Files))
            written += copy.size() > 0 ? 1 : 0;
        return written;
    };
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {change ? QStringLiteral("--changed") : QStringLiteral("--unchanged")});
    QVERIFY(child.waitForStarted());
    QVERIFY2(child.waitForReadyRead(60000), qPrintable(child.readAllStandardError()));
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("ready"));
    if (signal == 0) {
        QTRY_COMPARE_WITH_TIMEOUT(copies(), 1, 5000);
        child.kill();
    } else {
#ifndef Q_OS_WIN
        // At once: the copy still waits for its moment.
        QCOMPARE(copies(), 0);
        QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
#endif
    }
    QVERIFY(child.waitForFinished(30000));
    // Ended as the signal ends a program, not by a return from main.
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    if (signal != 0)
        QCOMPARE(child.exitCode(), signal);
    QCOMPARE(copies(), change ? 1 : 0);

    // The next start, here, in the same home.
    MessageScript messages;
    messages.answer(MessageAnswer::Yes);
    MainWindow window;
    const Recovery recovery(window.session());
    window.show();
    if (!change) {
        QTest::qWait(200);
        QCOMPARE(messages.asked.size(), 0);
        return;
    }
    QTRY_COMPARE(messages.asked.size(), 1);
    const MessageRequest& question = messages.asked.first();
    QCOMPARE(question.text,
             QStringLiteral("Callvista ended without saving the changes to '<Untitled>'. "
                            "Restore them?"));
    QCOMPARE(question.title, QStringLiteral("Alert"));
    QCOMPARE(question.buttons, MessageButtons::YesNo);
    QCOMPARE(question.defaultButton(), MessageAnswer::Yes);
    QCOMPARE(window.windowTitle(), QStringLiteral("<Untitled>"));
    QCOMPARE(families(window), QStringList{"Kept"});
    QVERIFY(asksAboutChanges(window));
}

int main(int argc, char* argv[])
{
    if (argc == 2
        && (std::strcmp(argv[1], "--changed") == 0 || std::strcmp(argv[1], "--unchanged") == 0))
        return runChild(argv[0], std::strcmp(argv[1], "--changed") == 0);
    QApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery.moc"
