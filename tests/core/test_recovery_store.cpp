#include "core/entry_line.h"
#include "core/recovery_store.h"
#include "file_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

// Copies of unsaved changes as the next start of the program finds them:
// what a copy gives back, which copies are offered and in what order, and
// what becomes of a damaged one.

using namespace callvista;
using namespace callvista::testing;

namespace {

SortedLines sorted(const QStringList& lines)
{
    SortedLines result;
    result.reset(lines);
    return result;
}

// Moves the file's time that many seconds back.
void age(const QString& path, int seconds)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                             QFileDevice::FileModificationTime));
}

} // namespace

class TestRecoveryStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void copyReadsBackAsWritten_data();
    void copyReadsBackAsWritten();
    void onlyEndedProgramsCopiesNewestFirst();
    void damagedCopyIsPutAside_data();
    void damagedCopyIsPutAside();

private:
    // Writes a copy as a program that then ends, and says which file it is.
    QString leftBehind(const QStringList& lines, const std::optional<QString>& path);

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_folder;
};

void TestRecoveryStore::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_folder = m_temp->filePath(QStringLiteral("data/recovery"));
}

QString TestRecoveryStore::leftBehind(const QStringList& lines, const std::optional<QString>& path)
{
    RecoveryStore program(systemFileSystem(), m_folder);
    const Result<void> written = program.write(sorted(lines), path, std::nullopt);
    if (!written.ok())
        qWarning("%s", qPrintable(written.error()));
    return program.ownCopy();
}

void TestRecoveryStore::copyReadsBackAsWritten_data()
{
    QTest::addColumn<std::optional<QString>>("path");
    QTest::addColumn<bool>("snapshot");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("untitled, no entries") << std::optional<QString>() << false << QStringList{};
    QTest::newRow("named, with what its file held")
        << std::optional<QString>(QStringLiteral("/home/ann/Mein Büro 100% sicher.CVA")) << true
        << QStringList{makeEntryLine("Ñúñez", "Zoë", "+34 1"), makeEntryLine("", "", ""),
                       makeEntryLine("Baker", "Tom", "12-345-67")};
    QTest::newRow("a name holding a line break")
        << std::optional<QString>(QStringLiteral("/tmp/a\nb.CVA")) << false
        << QStringList{makeEntryLine("Adams", "Ann", "1")};
}

// A second write replaces the first; the copy then gives back what the
// program had, for any name and any letter.
void TestRecoveryStore::copyReadsBackAsWritten()
{
    QFETCH(std::optional<QString>, path);
    QFETCH(bool, snapshot);
    QFETCH(QStringList, lines);

    std::optional<FileSnapshot> file;
    if (snapshot)
        file = FileSnapshot{{1234, 987654321012}, digestOf("the file's bytes")};
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    {
        RecoveryStore program(systemFileSystem(), m_folder);
        QVERIFY(
            program.write(sorted({makeEntryLine("Old", "", "")}), std::nullopt, std::nullopt).ok());
        QVERIFY(program.write(sorted(lines), path, file).ok());
    }
    RecoveryStore next(systemFileSystem(), m_folder);
    std::optional<LeftCopy> left = next.takeLeftCopy();
    QVERIFY(left);
    const Result<RecoveredDocument> copy = next.read(*left);
    QVERIFY2(copy.ok(), qPrintable(copy.error()));
    QCOMPARE(copy->path, path);
    QCOMPARE(copy->lines.lines(), sorted(lines).lines());
    QCOMPARE(copy->file.has_value(), snapshot);
    if (snapshot) {
        QCOMPARE(copy->file->stamp, file->stamp);
        QCOMPARE(copy->file->digest, file->digest);
    }
    QVERIFY(copy->written >= before && copy->written <= QDateTime::currentDateTimeUtc());
#ifndef Q_OS_WIN
    // The unsaved entries are the user's alone.
    const QString own = QDir(m_folder).filePath(left->id + ".copy");
    next.adopt(std::move(*left));
    QVERIFY(next.write(sorted(lines), path, file).ok());
    QCOMPARE(next.ownCopy(), own);
    const QFile::Permissions whose = ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QCOMPARE(QFileInfo(own).permissions() & whose, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(QFileInfo(m_folder).permissions() & whose,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
}

void TestRecoveryStore::onlyEndedProgramsCopiesNewestFirst()
{
    // A start with no copy makes nothing.
    RecoveryStore start(systemFileSystem(), m_folder);
    QVERIFY(!start.takeLeftCopy());
    QVERIFY(!QFileInfo::exists(m_folder));

    age(leftBehind({makeEntryLine("Older", "", "")}, QStringLiteral("/older.CVA")), 60);
    age(leftBehind({makeEntryLine("Newer", "", "")}, QStringLiteral("/newer.CVA")), 30);
    RecoveryStore running(systemFileSystem(), m_folder);
    QVERIFY(
        running.write(sorted({makeEntryLine("Running", "", "")}), std::nullopt, std::nullopt).ok());

    // The running program's copy is never offered; one taken by a start is
    // not offered to another start meanwhile.
    std::optional<LeftCopy> newest = start.takeLeftCopy();
    QVERIFY(newest);
    QCOMPARE(start.read(*newest)->path, QStringLiteral("/newer.CVA"));
    {
        RecoveryStore other(systemFileSystem(), m_folder);
        std::optional<LeftCopy> older = other.takeLeftCopy();
        QVERIFY(older);
        QCOMPARE(other.read(*older)->path, QStringLiteral("/older.CVA"));
        QVERIFY(!other.takeLeftCopy());
    }
    // Let go undecided, a copy is offered again; a discarded one is not.
    start.discard(std::move(*newest));
    std::optional<LeftCopy> again = start.takeLeftCopy();
    QVERIFY(again);
    QCOMPARE(start.read(*again)->path, QStringLiteral("/older.CVA"));
    start.discard(std::move(*again));
    QVERIFY(!start.takeLeftCopy());
    running.remove();
    QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList{});
}

void TestRecoveryStore::damagedCopyIsPutAside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");

    QTest::newRow("not a copy") << "other"
                                << "It is not a copy of unsaved changes.";
    QTest::newRow("cut short") << "cut"
                               << "It was cut short or changed after it was written.";
    QTest::newRow("a byte changed") << "byte"
                                    << "It was cut short or changed after it was written.";
    // What a program killed before its first copy leaves is no copy.
    QTest::newRow("never written") << "empty"
                                   << "";
}

void TestRecoveryStore::damagedCopyIsPutAside()
{
    QFETCH(QString, damage);
    QFETCH(QString, reason);

    const QString file = leftBehind({makeEntryLine("Baker", "Tom", "1")}, std::nullopt);
    QByteArray bytes = readBytes(file);
    if (damage == "other")
        bytes = "Baker\r\nTom\r\n1\r\n";
    else if (damage == "cut")
        bytes.chop(3);
    else if (damage == "byte")
        bytes[bytes.size() - 4] = 'X';
    else
        bytes.clear();
    writeBytes(file, bytes);

    RecoveryStore start(systemFileSystem(), m_folder);
    std::optional<LeftCopy> left = start.takeLeftCopy();
    if (reason.isEmpty()) {
        QVERIFY(!left);
        QVERIFY(!QFileInfo::exists(file));
        return;
    }
    QVERIFY(left);
    const Result<RecoveredDocument> copy = start.read(*left);
    QVERIFY(!copy.ok());
    QCOMPARE(copy.error(),
             "\"" + QDir::toNativeSeparators(file) + "\" cannot be restored. " + reason);
    const QString aside = start.setAside(std::move(*left));
    QCOMPARE(readBytes(aside), bytes);
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!start.takeLeftCopy());
}

QTEST_GUILESS_MAIN(TestRecoveryStore)
#include "test_recovery_store.moc"
