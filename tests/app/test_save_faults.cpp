#include "app/main_window.h"
#include "core/document_file.h"
#include "core/file_system.h"
#include "faults/io_faults.h"
#include "test_support.h"

#include "core/folder_listing.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

// Every I/O call of a real save, made by File, Save in the real window on
// the real file system, failed in turn by the preloaded fault library: the
// first call, then the second, and so on until a save makes no more calls.
// After each, nothing may be lost: the save succeeded and the file reads
// back to the list, or it was refused with the reason, the old file is as
// it was, no temporary file is left and the document is still changed.

using namespace callvista;
using namespace callvista::testing;

namespace {

using Arm = void (*)(int, int, CallvistaFault);
using Disarm = int (*)(const char**);

struct Fault {
    const char* name;
    CallvistaFault kind;
    int error;
};

const Fault Faults[] = {
    {"EIO", CallvistaFault::Error, EIO},
    {"ENOSPC", CallvistaFault::Error, ENOSPC},
    {"EDQUOT", CallvistaFault::Error, EDQUOT},
    {"EFBIG", CallvistaFault::Error, EFBIG},
    {"EACCES", CallvistaFault::Error, EACCES},
    {"EINTR on write", CallvistaFault::Interrupted, EINTR},
    {"short write", CallvistaFault::ShortWrite, 0},
};

QStringList folderEntries()
{
    return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                     | QDir::NoDotAndDotDot);
}

// What a child process of this program does, named by its first argument;
// each saves a document of that many entries to the path.

// Starts as the program starts (or, told so, without preparing the process
// as it does), lowers its file-size limit to a few kilobytes, as
// `ulimit -f` would, and saves. Prints the refusal; ends with 0 when the
// save was refused, 1 when it was reported as done.
int saveUnderLimit(const QString& path, int entries, bool prepared)
{
    std::signal(SIGXFSZ, SIG_DFL);
    if (prepared)
        fs::prepareProcess();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 4096;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 2;
    const Result<void> result = writeDocumentFile(systemFileSystem(), path, numberedLines(entries));
    std::fputs(result.error().toLocal8Bit().constData(), stdout);
    return result.ok() ? 1 : 0;
}

// Saves and is killed at its I/O call of that number, as a power cut or the
// user would stop it.
int saveAndDie(const QString& path, int entries, int call)
{
    auto arm = reinterpret_cast<Arm>(dlsym(RTLD_DEFAULT, "callvista_faults_arm"));
    if (!arm)
        return 2;
    arm(call, 0, CallvistaFault::Kill);
    return writeDocumentFile(systemFileSystem(), path, numberedLines(entries)).ok() ? 0 : 1;
}

struct Child {
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QString output;
};

Child runChild(const QStringList& arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(60000))
        return {};
    return {child.exitStatus(), child.exitCode(),
            QString::fromLocal8Bit(child.readAllStandardOutput())};
}

} // namespace

class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyCallFailedInTurn_data();
    void everyCallFailedInTurn();
    void failedPermissionCopyNeverOpensTheFile();
    void failedLookAtTheOpenFileGivesTheSystemsReason();
    void fileSizeLimitRefusesTheSave_data();
    void fileSizeLimitRefusesTheSave();
    void killedSaveLeavesNothingInTheWay_data();
    void killedSaveLeavesNothingInTheWay();
    void cleanupTestCase();

private:
    Arm m_arm = nullptr;
    Disarm m_disarm = nullptr;
    int m_failed = 0;
    int m_outcomes = 0;
    int m_saved = 0;
    int m_refused = 0;
};

void TestSaveFaults::initTestCase()
{
    m_arm = reinterpret_cast<Arm>(dlsym(RTLD_DEFAULT, "callvista_faults_arm"));
    m_disarm = reinterpret_cast<Disarm>(dlsym(RTLD_DEFAULT, "callvista_faults_disarm"));
    QVERIFY2(m_arm && m_disarm, "run with LD_PRELOAD naming the fault library");
}

void TestSaveFaults::everyCallFailedInTurn_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("200 entries") << 200;
    QTest::newRow("3000 entries") << 3000;
}

void TestSaveFaults::everyCallFailedInTurn()
{
    QFETCH(int, entries);
    const ScratchFolder temp;
    QVERIFY(!temp.path().isEmpty());

    writeBytes("book.CVA", documentOf(entries));
    MainWindow window;
    showActive(window);
    openDocument(window, "book.CVA");
    QCOMPARE(int(entryList(window)->count()), entries);
    const QString document = QDir::toNativeSeparators(QDir::current().absoluteFilePath("book.CVA"));
    QCOMPARE(window.windowTitle(), document);

    int added = 0;
    int mostCalls = 0;
    for (const Fault& fault : Faults) {
        for (int call = 1;; ++call) {
            addEntries(window, {{QStringLiteral("Added %1").arg(++added, 4, 10, QChar(u'0')), "New",
                                 "555-0199"}});
            const QByteArray old = readBytes("book.CVA");
            const QStringList listed = entryList(window)->lines().lines();

            MessageScript messages;
            m_arm(call, fault.error, fault.kind);
            runMenu(window, "SaveMenu");
            const char* failedCall = nullptr;
            const int calls = m_disarm(&failedCall);
            mostCalls = std::max(mostCalls, calls);
            const QByteArray where = QByteArray(fault.name) + " on call " + QByteArray::number(call)
                                     + " (" + (failedCall ? failedCall : "none") + ")";

            QCOMPARE(folderEntries(), QStringList{"book.CVA"});
            const Result<DocumentEntries> read = readDocumentFile(systemFileSystem(), "book.CVA");
            QVERIFY2(read.ok(), qPrintable(read.error()));
            if (messages.asked.isEmpty()) {
                ++m_saved;
                QVERIFY2(read->lines == listed, where.constData());
                QVERIFY2(!asksAboutChanges(window), where.constData());
            } else {
                ++m_refused;
                QVERIFY2(fault.kind == CallvistaFault::Error,
                         "an interrupted or short write must be carried on: " + where);
                QCOMPARE(messages.asked.size(), 1);
                const QString text = messages.asked.first().text;
                QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
                QVERIFY2(text.contains(document), qPrintable(text));
                QVERIFY2(text.contains(QString::fromLocal8Bit(std::strerror(fault.error))),
                         qPrintable(where + ": " + text));
                // Only a folder that cannot be flushed comes after the new
                // file took the old one's place, and then it is said so.
                if (text.contains(QStringLiteral("was written")))
                    QVERIFY2(read->lines == listed, where.constData());
                else
                    QVERIFY2(readBytes("book.CVA") == old, where.constData());
                QVERIFY2(asksAboutChanges(window), where.constData());
            }
            ++m_outcomes;
            if (!failedCall)
                break;
            ++m_failed;
        }
    }
    std::printf("At %d entries a save makes %d I/O calls.\n", entries, mostCalls);
}

// A document kept from other users stays so, even when its permissions
// cannot be copied onto the new file: that file starts readable by its
// owner alone, whatever the umask.
void TestSaveFaults::failedPermissionCopyNeverOpensTheFile()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath("private.CVA");
    writeBytes(path, documentOf(2));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    const mode_t oldMask = ::umask(0);
    const auto restore = qScopeGuard([&] { ::umask(oldMask); });

    for (int call = 1;; ++call) {
        m_arm(call, EIO, CallvistaFault::Error);
        const Result<void> result = writeDocumentFile(
            systemFileSystem(), path, QStringList{makeEntryLine("Private", "Kept", "1")});
        const char* failedCall = nullptr;
        m_disarm(&failedCall);
        struct stat status {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0600));
        if (!failedCall)
            break;
        if (std::strcmp(failedCall, "fchmod") == 0)
            QVERIFY2(result.ok(), qPrintable(result.error()));
    }
}

// A document that the system cannot look at once it is open is refused in
// the system's words, not taken for something other than an ordinary file.
void TestSaveFaults::failedLookAtTheOpenFileGivesTheSystemsReason()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath("book.CVA");
    writeBytes(path, documentOf(2));
    bool looked = false;
    for (int call = 1;; ++call) {
        m_arm(call, EIO, CallvistaFault::Error);
        const Result<DocumentEntries> read = readDocumentFile(systemFileSystem(), path);
        const char* failedCall = nullptr;
        m_disarm(&failedCall);
        if (!failedCall)
            break;
        if (std::strcmp(failedCall, "fstat") != 0)
            continue;
        looked = true;
        QVERIFY(!read.ok());
        QVERIFY2(read.error().endsWith(QString::fromLocal8Bit(std::strerror(EIO)) + u'.'),
                 qPrintable(read.error()));
    }
    QVERIFY2(looked, "reading never looked at the open file");
}

void TestSaveFaults::fileSizeLimitRefusesTheSave_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("prepared");
    QTest::newRow("200 entries") << 200 << true;
    QTest::newRow("3000 entries") << 3000 << true;
    // What the program did before it prepared the process: it died.
    QTest::newRow("unprepared, 200 entries") << 200 << false;
}

void TestSaveFaults::fileSizeLimitRefusesTheSave()
{
    QFETCH(int, entries);
    QFETCH(bool, prepared);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath("book.CVA");
    const QByteArray old = documentOf(3);
    writeBytes(path, old);

    const Child child =
        runChild({QStringLiteral("--save-under-limit"), path, QString::number(entries),
                  prepared ? QStringLiteral("prepared") : QStringLiteral("not")});
    if (prepared) {
        QCOMPARE(child.status, QProcess::NormalExit);
        QCOMPARE(child.code, 0);
        QVERIFY2(child.output.endsWith(QStringLiteral("File too large.")),
                 qPrintable(child.output));
        QVERIFY2(child.output.contains(path), qPrintable(child.output));
    } else {
        QCOMPARE(child.status, QProcess::CrashExit);
    }
    QCOMPARE(readBytes(path), old);
    if (prepared)
        QCOMPARE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"book.CVA"});
}

void TestSaveFaults::killedSaveLeavesNothingInTheWay_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("200 entries") << 200;
    QTest::newRow("3000 entries") << 3000;
}

// Killed at each I/O call of a save in turn: the document is whole, old or
// new; what is left beside it is hidden from the chooser and taken away by
// the next save.
void TestSaveFaults::killedSaveLeavesNothingInTheWay()
{
    QFETCH(int, entries);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath("book.CVA");
    int kills = 0;
    for (int call = 1;; ++call) {
        const QByteArray old = documentOf(3);
        writeBytes(path, old);
        const Child child = runChild({QStringLiteral("--save-and-die"), path,
                                      QString::number(entries), QString::number(call)});
        if (child.status == QProcess::NormalExit) {
            QCOMPARE(child.code, 0);
            break;
        }
        ++kills;
        const Result<DocumentEntries> read = readDocumentFile(systemFileSystem(), path);
        QVERIFY2(readBytes(path) == old || (read.ok() && read->lines == numberedLines(entries)),
                 qPrintable(QStringLiteral("killed at call %1").arg(call)));
        QCOMPARE(matchingFiles(temp.path(), QStringLiteral("*.CVA")), QStringList{"book.CVA"});

        const Result<void> again = writeDocumentFile(systemFileSystem(), path, numberedLines(2));
        QVERIFY2(again.ok(), qPrintable(again.error()));
        QCOMPARE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"book.CVA"});
    }
    QVERIFY2(kills >= 6, qPrintable(QString::number(kills)));
}

void TestSaveFaults::cleanupTestCase()
{
    std::printf("Injected %d failed I/O calls (EIO, ENOSPC, EDQUOT, EFBIG and EACCES on every "
                "call, EINTR and a short write on every write) and checked %d outcomes: %d "
                "saves succeeded, %d were refused with nothing lost.\n",
                m_failed, m_outcomes, m_saved, m_refused);
}

int main(int argc, char* argv[])
{
    const QString what = argc == 5 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (what == QLatin1String("--save-under-limit"))
        return saveUnderLimit(QFile::decodeName(argv[2]), std::atoi(argv[3]),
                              std::strcmp(argv[4], "prepared") == 0);
    if (what == QLatin1String("--save-and-die"))
        return saveAndDie(QFile::decodeName(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    QApplication app(argc, argv);
    TestSaveFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_save_faults.moc"
