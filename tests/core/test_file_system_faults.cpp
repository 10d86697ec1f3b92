#include "core/document_file.h"
#include "core/entry_line.h"
#include "faulty_file_system.h"
#include "file_support.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// Every call that saving or reading a document makes to the disk, failed in
// turn with each kind of error, on every system: the first call, then the
// second, and so on until one makes no more calls. After each save nothing
// may be lost: it succeeded and the file reads back to the lines, or it was
// refused with the reason, the old file is as it was and no temporary file
// is left. A refused save is a failure returned, which is what keeps the
// document marked changed.

using namespace callvista;
using namespace callvista::testing;

namespace {

struct Injected {
    const char* name;
    FileStatus failure;
};

const Injected Failures[] = {
    {"missing", {FileError::Missing, QStringLiteral("No such file or directory")}},
    {"a folder", {FileError::Folder, {}}},
    {"not an ordinary file", {FileError::NotOrdinary, {}}},
    {"no room", {FileError::NoRoom, QStringLiteral("No space left on device")}},
    {"no permission", {FileError::NoPermission, QStringLiteral("Permission denied")}},
    {"too large", {FileError::TooLarge, QStringLiteral("File too large")}},
    {"other", {FileError::Other, QStringLiteral("Input/output error")}},
    {"other, without words", {FileError::Other, {}}},
};

} // namespace

class TestFileSystemFaults : public QObject
{
    Q_OBJECT

private slots:
    void everySaveCallFailedInTurn_data();
    void everySaveCallFailedInTurn();
    void everyReadCallFailedInTurn();
};

void TestFileSystemFaults::everySaveCallFailedInTurn_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("200 entries") << 200;
    QTest::newRow("3000 entries") << 3000;
}

void TestFileSystemFaults::everySaveCallFailedInTurn()
{
    QFETCH(int, entries);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath("book.CVA");
    writeBytes(path, documentOf(entries));
    QStringList lines = numberedLines(entries);
    FaultyFileSystem disk(systemFileSystem());

    int mostCalls = 0;
    int saved = 0;
    int refused = 0;
    QSet<QString> failedCalls;
    for (const Injected& injected : Failures) {
        for (int call = 1;; ++call) {
            lines.append(makeEntryLine(QStringLiteral("Added %1").arg(lines.size()), "", "1"));
            const QByteArray old = readBytes(path);
            disk.failCall(call, injected.failure);
            const Result<void> result = writeDocumentFile(disk, path, lines);
            const QString failedCall = disk.failedCall();
            mostCalls = std::max(mostCalls, disk.calls());
            const QString where = QStringLiteral("%1 on call %2 (%3): %4")
                                      .arg(injected.name)
                                      .arg(call)
                                      .arg(failedCall, result.error());

            QCOMPARE(QDir(temp.path())
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                    | QDir::NoDotAndDotDot),
                     QStringList{"book.CVA"});
            const Result<DocumentEntries> read = readDocumentFile(systemFileSystem(), path);
            QVERIFY2(read.ok(), qPrintable(read.error()));
            if (result.ok()) {
                ++saved;
                QVERIFY2(read->lines == lines, qPrintable(where));
                // A failure swallowed, not one that changes nothing: only a
                // file said to be missing is saved anyway, as a new one.
                QVERIFY2(failedCall.isEmpty()
                             || (injected.failure.error == FileError::Missing
                                 && failedCall == QLatin1String("statusOf")),
                         qPrintable(where));
            } else {
                ++refused;
                QVERIFY2(!failedCall.isEmpty(), qPrintable(where));
                QVERIFY2(result.error().contains(QDir::toNativeSeparators(path)),
                         qPrintable(where));
                QVERIFY2(result.error().contains(describe(injected.failure)), qPrintable(where));
                // Only a folder that cannot be flushed comes after the new
                // file took the old one's place, and then it is said so.
                if (result.error().contains(QStringLiteral("was written")))
                    QVERIFY2(read->lines == lines, qPrintable(where));
                else
                    QVERIFY2(readBytes(path) == old, qPrintable(where));
            }
            if (failedCall.isEmpty())
                break;
            failedCalls.insert(failedCall);
        }
    }
    // Every step of a save goes through the file system, or its failure
    // would go untested.
    QStringList names = failedCalls.values();
    names.sort();
    QCOMPARE(names, QStringList({"close", "createFile", "flush", "flushFolder", "replaceFile",
                                 "statusOf", "write"}));
    qInfo("At %d entries a save makes %d calls that can fail (%s); each failed in turn with %d "
          "errors: %d saves refused with nothing lost, %d saved.",
          entries, mostCalls, qPrintable(names.join(QStringLiteral(", "))),
          int(std::size(Failures)), refused, saved);
}

// A read that meets a failure is refused with the reason, never taken for
// a document.
void TestFileSystemFaults::everyReadCallFailedInTurn()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath("book.CVA");
    writeBytes(path, documentOf(200));
    const Result<DocumentEntries> expected = readDocumentFile(systemFileSystem(), path);
    QVERIFY2(expected.ok(), qPrintable(expected.error()));
    FaultyFileSystem disk(systemFileSystem());

    int refused = 0;
    for (const Injected& injected : Failures) {
        for (int call = 1;; ++call) {
            disk.failCall(call, injected.failure);
            const Result<DocumentEntries> read = readDocumentFile(disk, path);
            const QString where = QStringLiteral("%1 on call %2 (%3): %4")
                                      .arg(injected.name)
                                      .arg(call)
                                      .arg(disk.failedCall(), read.error());
            QVERIFY2(read.ok() == disk.failedCall().isEmpty(), qPrintable(where));
            if (read.ok()) {
                QCOMPARE(read->lines, expected->lines);
                break;
            }
            ++refused;
            QVERIFY2(read.error().contains(QDir::toNativeSeparators(path)), qPrintable(where));
            QVERIFY2(read.error().contains(describe(injected.failure)), qPrintable(where));
        }
    }
    qInfo("Failing each call of a read in turn, %d reads were refused.", refused);
}

QTEST_GUILESS_MAIN(TestFileSystemFaults)
#include "test_file_system_faults.moc"
