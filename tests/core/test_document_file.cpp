#include "core/document_file.h"
#include "core/document_reader.h"
#include "core/document_writer.h"
#include "document_support.h"
#include "file_support.h"
#ifndef Q_OS_WIN
#include "posix_faults.h"
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

using namespace callvista;
using namespace callvista::testing;

using Entries = QList<QStringList>;

class TestDocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writesTheDocumentByteForByte();
    void cutsFieldsByPosition();
    void writesUtf8AsQtDoes_data();
    void writesUtf8AsQtDoes();
    void writesTheSameOnEveryCore_data();
    void writesTheSameOnEveryCore();
    void roundTrips_data();
    void roundTrips();
    void savingOverALongerFileLeavesNothingOfIt();
    void savingKeepsPermissions();
    void readsIrregularFiles_data();
    void readsIrregularFiles();
    void readsGarbageIntoWellFormedLines();
    void refusesTooManyEntries_data();
    void refusesTooManyEntries();
    void refusesOversizedFilesUnread();
    void readsOnPastTheMeasuredSize();
    void refusesWhatIsNoDocument_data();
    void refusesWhatIsNoDocument();
    void writesTheCodePageOrElseUtf8_data();
    void writesTheCodePageOrElseUtf8();
    void readsWhatTheOtherSystemWrote_data();
    void readsWhatTheOtherSystemWrote();
    void refusesHalfASurrogatePair();
    void failedSaveLeavesOldFile_data();
    void failedSaveLeavesOldFile();
    void realWriteFailureLeavesOldFile_data();
    void realWriteFailureLeavesOldFile();
    void readingNeverWaitsOnAPipe();
    void digestIsXxh64_data();
    void digestIsXxh64();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

static constexpr ColumnWidths widths = EntryWidths;

// True where the system's encoding is UTF-8 (Linux); on Windows it is the
// ANSI code page.
static bool systemIsUtf8()
{
    return QString::fromLocal8Bit("\xc3\xa9") == QString::fromUtf8("\xc3\xa9");
}

// Windows-1252: the system's own converter where that is the code page (on
// Western Windows), else ICU's, which Qt for Windows does not have.
static TextEncoding westernCodePage()
{
    if (!systemIsUtf8())
        return {};
    return {QByteArrayLiteral("windows-1252")};
}

static QStringList linesOf(const Entries& entries, const ColumnWidths& w = widths)
{
    QStringList lines;
    for (const QStringList& e : entries)
        lines.append(makeEntryLine(e.value(0), e.value(1), e.value(2), w));
    return lines;
}

void TestDocumentFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDocumentFile::writesTheDocumentByteForByte()
{
    const QByteArray example = "Adams\r\n\r\n555-01-00\r\nBaker\r\nTom\r\n12-345-67\r\n";
    QCOMPARE(example.size(), 43);
    const QStringList lines = linesOf({{"Adams", "", "555-01-00"}, {"Baker", "Tom", "12-345-67"}});

    const Result<QByteArray> encoded = encodeDocument(lines, widths);
    QVERIFY2(encoded.ok(), qPrintable(encoded.error()));
    QCOMPARE(encoded.value(), example);

    QVERIFY(writeDocumentFile(systemFileSystem(), path("a.CVA"), lines, widths).ok());
    QCOMPARE(readBytes(path("a.CVA")), example);

    QVERIFY(writeDocumentFile(systemFileSystem(), path("empty.CVA"), QStringList(), widths).ok());
    QCOMPARE(QFileInfo(path("empty.CVA")).size(), 0);
    const Result<DocumentEntries> empty =
        readDocumentFile(systemFileSystem(), path("empty.CVA"), widths);
    QVERIFY(empty.ok());
    QVERIFY(empty->lines.isEmpty());
}

void TestDocumentFile::cutsFieldsByPosition()
{
    // Narrow columns, and no "|" where the separators stand: a writer that
    // looked for the bars would not find these fields.
    const ColumnWidths narrow{5, 3, 4};
    const QStringList lines{QStringLiteral("Sm|thXT|mY12  ")};
    const Result<QByteArray> encoded = encodeDocument(lines, narrow);
    QVERIFY(encoded.ok());
    QCOMPARE(encoded.value(), QByteArray("Sm|th\r\nT|m\r\n12\r\n"));
}

void TestDocumentFile::writesUtf8AsQtDoes_data()
{
    QTest::addColumn<QString>("value");

    // The edges of each UTF-8 length, and characters of every length mixed.
    QTest::newRow("last one-byte and first two-byte") << QString::fromUcs4(U"\u007F\u0080");
    QTest::newRow("last two-byte and first three-byte") << QString::fromUcs4(U"\u07FF\u0800");
    QTest::newRow("last of the basic plane and first beyond it")
        << QString::fromUcs4(U"\uFFFD\U00010000");
    QTest::newRow("last code point") << QString::fromUcs4(U"\U0010FFFF");
    QTest::newRow("mixed") << QString::fromUtf8("Zoë № 5 € 😀 z");
}

void TestDocumentFile::writesUtf8AsQtDoes()
{
    QFETCH(QString, value);
    const Result<QByteArray> encoded = encodeDocument(linesOf({{value, value, value}}));
    QVERIFY2(encoded.ok(), qPrintable(encoded.error()));
    const QString text = value + "\r\n" + value + "\r\n" + value + "\r\n";
    QCOMPARE(encoded.value(), text.toUtf8());
}

void TestDocumentFile::writesTheSameOnEveryCore_data()
{
    QTest::addColumn<int>("broken");

    // Large documents are written a share of the entries to each thread.
    QTest::newRow("whole document") << -1;
    QTest::newRow("line break in the first share") << 10;
    QTest::newRow("line break in the last share") << 11990;
}

void TestDocumentFile::writesTheSameOnEveryCore()
{
    QFETCH(int, broken);

    QStringList lines;
    const QStringList names{QString::fromUtf8("Müller"), "Smith", QString::fromUtf8("Łukasz 😀"),
                            QString::fromUtf8("Zoë")};
    for (int i = 0; i < 12000; ++i)
        lines.append(makeEntryLine(names.at(i % names.size()) + QString::number(i), "s",
                                   QString::number(i * 7)));
    if (broken >= 0)
        lines[broken][3] = u'\n';

    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const Result<QByteArray> alone = encodeDocument(lines);
    QThreadPool::globalInstance()->setMaxThreadCount(std::max(threads, 2));
    const Result<QByteArray> shared = encodeDocument(lines);
    QThreadPool::globalInstance()->setMaxThreadCount(threads);

    QCOMPARE(shared.ok(), alone.ok());
    QCOMPARE(shared.error(), alone.error());
    if (broken < 0) {
        QVERIFY2(shared.ok(), qPrintable(shared.error()));
        QCOMPARE(shared.value(), alone.value());
        QCOMPARE(decodeDocument(shared.value())->lines, lines);
    } else {
        QVERIFY2(shared.error().startsWith(QStringLiteral("Entry %1 (").arg(broken + 1)),
                 qPrintable(shared.error()));
    }
}

void TestDocumentFile::roundTrips_data()
{
    QTest::addColumn<Entries>("entries");

    QTest::newRow("bars inside fields") << Entries{{"A|B", "|", "1|2"}};
    QTest::newRow("inner blanks and tabs") << Entries{{"van der  Berg", "J\tP", "\t555 12\t"}};
    QTest::newRow("accented letters")
        << Entries{{QString::fromUtf8("Müller-Lüdenscheidt"), QString::fromUtf8("Zoë"),
                    QString::fromUtf8("№ 5")}};
    QTest::newRow("outside the basic plane")
        << Entries{{QString::fromUtf8("𝔄𝔡𝔞𝔪𝔰 😀"), QString::fromUtf8("𐐷"), "1"}};
    QTest::newRow("empty short name") << Entries{{"Adams", "", "555-01-00"}};
    QTest::newRow("only a family name") << Entries{{"Adams", "", ""}};
    QTest::newRow("full columns") << Entries{
        {QString(30, u'F'), QString(20, u'S'), QString(20, u'9')}};
    QTest::newRow("control characters") << Entries{{QString("a") + QChar(0) + "b", "\x01", "\x7f"}};
    QTest::newRow("zero-width no-break space starting a later entry")
        << Entries{{"Adams", "", "1"}, {QString(QChar(0xFEFF)) + "Baker", "", "2"}};
    QTest::newRow("several, kept in the given order")
        << Entries{{"Zed", "z", "3"}, {"", "", ""}, {"adams", "a", "1"}};
}

void TestDocumentFile::roundTrips()
{
    QFETCH(Entries, entries);
    const QStringList lines = linesOf(entries);
    const Result<void> written =
        writeDocumentFile(systemFileSystem(), path("r.CVA"), lines, widths);
    QVERIFY2(written.ok(), qPrintable(written.error()));

    const Result<DocumentEntries> read =
        readDocumentFile(systemFileSystem(), path("r.CVA"), widths);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read->lines, lines);
    QVERIFY(isClean(read->report));
}

void TestDocumentFile::savingOverALongerFileLeavesNothingOfIt()
{
    QStringList many;
    for (int i = 0; i < 50; ++i)
        many.append(makeEntryLine(QStringLiteral("Family %1").arg(i), "s", "1", widths));
    QVERIFY(writeDocumentFile(systemFileSystem(), path("d.CVA"), many, widths).ok());

    const QStringList one = linesOf({{"Baker", "Tom", "12-345-67"}});
    QVERIFY(writeDocumentFile(systemFileSystem(), path("d.CVA"), one, widths).ok());
    QCOMPARE(readBytes(path("d.CVA")), QByteArray("Baker\r\nTom\r\n12-345-67\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"d.CVA"});
}

void TestDocumentFile::savingKeepsPermissions()
{
#ifdef Q_OS_WIN
    // What Windows keeps of a file is its attributes: a hidden file stays
    // hidden.
    writeBytes(path("p.CVA"), "old\r\n\r\n\r\n");
    const std::wstring native = QDir::toNativeSeparators(path("p.CVA")).toStdWString();
    QVERIFY(SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_HIDDEN));
    QVERIFY(writeDocumentFile(systemFileSystem(), path("p.CVA"), linesOf({{"new", "", ""}}), widths)
                .ok());
    QCOMPARE(readBytes(path("p.CVA")), QByteArray("new\r\n\r\n\r\n"));
    QVERIFY(GetFileAttributesW(native.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.CVA"});
#else
    const QFileDevice::Permissions chosen =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    writeBytes(path("p.CVA"), "old\r\n\r\n\r\n");
    QVERIFY(QFile::setPermissions(path("p.CVA"), chosen));

    QVERIFY(writeDocumentFile(systemFileSystem(), path("p.CVA"), linesOf({{"new", "", ""}}), widths)
                .ok());
    QCOMPARE(readBytes(path("p.CVA")), QByteArray("new\r\n\r\n\r\n"));
    QCOMPARE(QFile::permissions(path("p.CVA"))
                 & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
             chosen);
#endif
}

void TestDocumentFile::readsIrregularFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<int>("shortened");
    QTest::addColumn<bool>("completed");
    QTest::addColumn<int>("windows1252Lines");

    const Entries two{{"Adams", "", "555"}, {"Baker", "Tom", "12"}};
    const Entries accented{
        {QString::fromUtf8("Müller"), QString::fromUtf8("Zoë"), QString::fromUtf8("€ 5")}};
    QTest::newRow("3N lines, no final line end")
        << QByteArray("Adams\r\n\r\n555\r\nBaker\r\nTom\r\n12") << two << 0 << false << 0;
    QTest::newRow("LF only") << QByteArray("Adams\n\n555\nBaker\nTom\n12\n") << two << 0 << false
                             << 0;
    QTest::newRow("CR only") << QByteArray("Adams\r\r555\rBaker\rTom\r12\r") << two << 0 << false
                             << 0;
    QTest::newRow("LF then CR ends two lines")
        << QByteArray("Adams\n\r555\r\nBaker\rTom\n12") << two << 0 << false << 0;
    QTest::newRow("blanks around values dropped")
        << QByteArray("  Adams \r\n   \r\n555  \r\n") << Entries{{"Adams", "", "555"}} << 0 << false
        << 0;
    QTest::newRow("UTF-8 file") << QByteArray("M\xc3\xbcller\r\nZo\xc3\xab\r\n\xe2\x82\xac 5\r\n")
                                << accented << 0 << false << 0;
    QTest::newRow("Windows-1252 file")
        << QByteArray("M\xfcller\r\nZo\xeb\r\n\x80 5\r\n") << accented << 0 << false << 3;
    QTest::newRow("one Windows-1252 line among UTF-8 ones")
        << QByteArray("M\xc3\xbcller\r\nZo\xc3\xab\r\n\xe2\x82\xac 5\r\n"
                      "J\xe4ger\r\nZo\xc3\xab\r\n1\r\n")
        << Entries{accented[0], {QString::fromUtf8("Jäger"), QString::fromUtf8("Zoë"), "1"}} << 0
        << false << 1;
    QTest::newRow("UTF-8 cut off inside its last character")
        << QByteArray("A\r\nB\xc3\xa4\r\n\xc3")
        << Entries{{"A", QString::fromUtf8("Bä"), QString::fromUtf8("Ã")}} << 0 << false << 1;
    QTest::newRow("UTF-8 byte-order mark dropped")
        << QByteArray("\xef\xbb\xbf"
                      "Adams\r\n\r\n555\r\n")
        << Entries{{"Adams", "", "555"}} << 0 << false << 0;
    QTest::newRow("UTF-8 byte-order mark before a Windows-1252 line")
        << QByteArray("\xef\xbb\xbf"
                      "Adams\r\n\r\n\xa7 5\r\n")
        << Entries{{"Adams", "", QString::fromUtf8("§ 5")}} << 0 << false << 1;
    QTest::newRow("UTF-16 little-endian with its mark")
        << QByteArray("\xff\xfe"
                      "M\0\xfc\0l\0l\0"
                      "e\0r\0\r\0\n\0Z\0o\0\xeb\0\r\0\n\0\xac\x20 \0"
                      "5\0\r\0\n\0",
                      38)
        << accented << 0 << false << 0;
    QTest::newRow("UTF-16 big-endian with its mark, outside the basic plane")
        << QByteArray("\xfe\xff\0A\0\r\0\n\xd8\x3d\xde\x00\0\r\0\n\0"
                      "1",
                      18)
        << Entries{{"A", QString::fromUtf8("😀"), "1"}} << 0 << false << 0;
    QTest::newRow("UTF-16 with half of a surrogate pair, which is dropped")
        << QByteArray("\xff\xfe"
                      "A\0\x3d\xd8\r\0\n\0B\0\r\0\n\0"
                      "1\0",
                      18)
        << Entries{{"A", "B", "1"}} << 0 << false << 0;
    QTest::newRow("UTF-16 line holding only half of a pair is blank")
        << QByteArray("\xff\xfe\x41\xd8\r\0", 6) << Entries{} << 0 << false << 0;
    QTest::newRow("UTF-32 little-endian with its mark")
        << QByteArray("\xff\xfe\0\0"
                      "A\0\0\0\n\0\0\0\xfc\0\0\0\n\0\0\0"
                      "1\0\0\0",
                      24)
        << Entries{{"A", QString::fromUtf8("ü"), "1"}} << 0 << false << 0;
    QTest::newRow("overlong values cut to their columns")
        << QByteArray(QByteArray(31, 'f') + "\r\n" + QByteArray(25, 's') + "\r\n"
                      + QByteArray(20, '9'))
        << Entries{{QString(30, u'f'), QString(20, u's'), QString(20, u'9')}} << 2 << false << 0;
    QTest::newRow("trailing spaces do not make a value overlong")
        << QByteArray("Smith" + QByteArray(40, ' ') + "\r\n\r\n1\r\n")
        << Entries{{"Smith", "", "1"}} << 0 << false << 0;
    QTest::newRow("incomplete last entry with text")
        << QByteArray("Adams\r\n\r\n555\r\nBaker\r\nTom\r\n")
        << Entries{two[0], {"Baker", "Tom", ""}} << 0 << true << 0;
    QTest::newRow("one line, no line end")
        << QByteArray("Adams") << Entries{{"Adams", "", ""}} << 0 << true << 0;
    QTest::newRow("last entry's empty fields given as empty lines")
        << QByteArray("Adams\r\n\r\n\r\n") << Entries{{"Adams", "", ""}} << 0 << false << 0;
    QTest::newRow("one empty line an editor left")
        << QByteArray("Adams\r\n\r\n555\r\n\r\n") << Entries{two[0]} << 0 << false << 0;
    QTest::newRow("two empty lines, no line end after them")
        << QByteArray("Adams\r\n\r\n555\r\n\r\n  ") << Entries{two[0]} << 0 << false << 0;
    QTest::newRow("one blank entry at the end")
        << QByteArray("Adams\r\n\r\n555\r\n\r\n\r\n\r\n") << Entries{two[0], {}} << 0 << false << 0;
    QTest::newRow("blank entries at the end, one empty line left over, mixed line ends")
        << QByteArray("Adams\r\n\r\n555\r\n\r\n\n\r  \r\n\r\n\r\n\r\n") << Entries{two[0], {}, {}}
        << 0 << false << 0;
    QTest::newRow("blank lines only")
        << QByteArray("\r\n \r\n\n") << Entries{{}} << 0 << false << 0;
    QTest::newRow("two empty lines only") << QByteArray("\r\n\r\n") << Entries{} << 0 << false << 0;
    QTest::newRow("empty entry before text kept")
        << QByteArray("\r\n\r\n\r\nAdams\r\n\r\n555\r\n") << Entries{{"", "", ""}, two[0]} << 0
        << false << 0;
    // A mark decides only when the rest reads cleanly under it.
    QTest::newRow("UTF-16 whose first character is U+0000, not UTF-32")
        << QByteArray("\xff\xfe\0\0"
                      "A\0\r\0\n\0"
                      "B\0\r\0\n\0"
                      "1\0",
                      18)
        << Entries{{QString(QChar(0)) + "A", "B", "1"}} << 0 << false << 0;
    QTest::newRow("Windows-1252 file starting with the bytes of a UTF-16 mark")
        << QByteArray("\xff\xfe"
                      "Adams\r\nTom\r\n12\r\n")
        << Entries{{QString::fromUtf8("ÿþAdams"), "Tom", "12"}} << 0 << false << 1;
    QTest::newRow("odd number of bytes after a UTF-16 mark")
        << QByteArray("\xff\xfe"
                      "A\0\r\0\n\0"
                      "B",
                      9)
        << Entries{{QString::fromUtf8("ÿþA") + QChar(0), QString(QChar(0)),
                    QString(QChar(0)) + "B"}}
        << 0 << false << 1;
    QTest::newRow("U+FEFF starting a later line is a character")
        << QByteArray("Adams\r\n\xef\xbb\xbfTom\r\n\xe4\r\n")
        << Entries{{"Adams", QString(QChar(0xFEFF)) + "Tom", QString::fromUtf8("ä")}} << 0 << false
        << 1;
    QTest::newRow("NUL bytes are characters")
        << QByteArray("A\0B\r\n\0\r\n1\r\n", 11)
        << Entries{{QString("A") + QChar(0) + "B", QString(QChar(0)), "1"}} << 0 << false << 0;
}

void TestDocumentFile::readsIrregularFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Entries, entries);
    QFETCH(int, shortened);
    QFETCH(bool, completed);
    QFETCH(int, windows1252Lines);

    writeBytes(path("i.CVA"), bytes);
    const Result<DocumentEntries> read =
        readDocumentFile(systemFileSystem(), path("i.CVA"), widths);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read->lines, linesOf(entries));
    QCOMPARE(read->report.shortenedValues, shortened);
    QCOMPARE(read->report.completedLastEntry, completed);
    // Where the system's encoding is a code page, lines in it are the
    // document's own and are not reported.
    QCOMPARE(read->report.windows1252Lines, systemIsUtf8() ? windows1252Lines : 0);
}

void TestDocumentFile::readsGarbageIntoWellFormedLines()
{
    QRandomGenerator random(20240601);
    QByteArray garbage(200000, Qt::Uninitialized);
    for (char& c : garbage)
        c = char(random.bounded(256));
    // One line far longer than any column, with a character outside the
    // basic plane straddling the end of the family column.
    const QByteArray longLine =
        QByteArray(29, 'x') + "\xf0\x9f\x98\x80" + QByteArray(3'000'000, 'y');

    for (const QByteArray& bytes : {garbage, longLine}) {
        const Result<DocumentEntries> read = decodeDocument(bytes, widths);
        QVERIFY(read.ok());
        QVERIFY(!read->lines.isEmpty());
        for (const QString& line : read->lines) {
            QCOMPARE(line.size(), widths.lineLength());
            QCOMPARE(line.at(30), u'|');
            QCOMPARE(line.at(51), u'|');
        }
    }
    const Result<DocumentEntries> longRead = decodeDocument(longLine, widths);
    QCOMPARE(longRead->lines, linesOf({{QString(29, u'x'), "", ""}}));
    QCOMPARE(longRead->report.shortenedValues, 1);
    QVERIFY(longRead->report.completedLastEntry);
}

void TestDocumentFile::refusesTooManyEntries_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("exactly the most") << QByteArray() << true;
    QTest::newRow("the most, then two empty lines") << QByteArray("\r\n  \r\n") << true;
    QTest::newRow("the most, then a blank entry") << QByteArray("\r\n\r\n  \r\n\r\n") << false;
    QTest::newRow("one line more") << QByteArray("x") << false;
    QTest::newRow("a whole entry more") << QByteArray("x\r\ny\r\nz\r\n") << false;
    QTest::newRow("text after blank lines") << QByteArray("\r\n\r\n\r\n\r\nx") << false;
}

void TestDocumentFile::refusesTooManyEntries()
{
    QFETCH(QByteArray, tail);
    QFETCH(bool, accepted);

    const QByteArray bytes = QByteArray("Family\r\nShort\r\n1\r\n").repeated(MaxEntries) + tail;
    writeBytes(path("many.CVA"), bytes);
    const Result<DocumentEntries> read =
        readDocumentFile(systemFileSystem(), path("many.CVA"), widths);
    QCOMPARE(read.ok(), accepted);
    if (accepted) {
        QCOMPARE(read->lines.size(), MaxEntries);
    } else {
        QVERIFY(read.error().contains(QString::number(MaxEntries)));
        QVERIFY(read.error().contains(QDir::toNativeSeparators(path("many.CVA"))));
    }
}

void TestDocumentFile::refusesOversizedFilesUnread()
{
    const qint64 limit = maxDocumentBytes(widths);
    QCOMPARE(limit, qint64(70 * 4 + 6) * MaxEntries);
    // A full document of three-byte characters, the widest UTF-8 makes them,
    // fits with room to spare.
    QStringList full;
    const QString wide(10, QChar(0x20AC));
    for (int i = 0; i < MaxEntries; ++i)
        full.append(makeEntryLine(wide.repeated(3), wide.repeated(2), wide.repeated(2), widths));
    const Result<QByteArray> encoded = encodeDocument(full, widths);
    QVERIFY(encoded.ok());
    QVERIFY(encoded.value().size() <= limit);

    // A sparse file: refused by its size, long before it could be read.
    QFile big(path("big.CVA"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(limit + 1));
    big.close();
    const Result<DocumentEntries> read =
        readDocumentFile(systemFileSystem(), path("big.CVA"), widths);
    QVERIFY(!read.ok());
    QVERIFY(read.error().contains(QString::number(limit)));
    QVERIFY(!decodeDocument(QByteArray(limit + 1, '\n'), widths).ok());
}

void TestDocumentFile::readsOnPastTheMeasuredSize()
{
#ifdef Q_OS_LINUX
    // The kernel's own files say they are empty and hold text, as a file
    // that grew after it was measured holds more than its size: all of it
    // is read, not only the size measured.
    const QString status = QStringLiteral("/proc/self/status");
    QCOMPARE(QFileInfo(status).size(), 0);
    QFile file(status);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const qsizetype lines = file.readAll().count('\n');
    QVERIFY(lines > 30);
    const Result<DocumentEntries> read = readDocumentFile(systemFileSystem(), status);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read.value().lines.size(), (lines + 2) / 3);
    QVERIFY(read.value().lines.first().startsWith(QStringLiteral("Name:")));
#else
    QSKIP("only Linux has files that hold more than their size");
#endif
}

void TestDocumentFile::refusesWhatIsNoDocument_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing file") << "missing.CVA"
                                  << "no such file";
    QTest::newRow("folder") << "folder.CVA"
                            << "folder";
#ifndef Q_OS_WIN
    QTest::newRow("device") << "/dev/zero"
                            << "not an ordinary file";
    QTest::newRow("loop of links") << "loop.CVA"
                                   << "Too many levels of symbolic links";
    // Its bytes are Latin-1, not UTF-8: the name the listing shows for it.
    QTest::newRow("name not valid in the system's encoding")
        << QString::fromUtf8("b\xef\xbf\xbd.CVA") << "name is not valid in the system's encoding";
#endif
}

void TestDocumentFile::refusesWhatIsNoDocument()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);

    QVERIFY(QDir(m_dir->path()).mkdir("folder.CVA"));
#ifndef Q_OS_WIN
    QVERIFY(QFile::link(path("loop.CVA"), path("loop.CVA")));
    const QByteArray latin1 = QFile::encodeName(m_dir->path()) + "/b\xe9.CVA";
    QVERIFY(::close(::open(latin1.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644)) == 0);
#endif
    const QString target = QDir::isAbsolutePath(name) ? name : path(name);
    const Result<DocumentEntries> read = readDocumentFile(systemFileSystem(), target, widths);
    QVERIFY(!read.ok());
    QVERIFY2(read.error().contains(reason), qPrintable(read.error()));
    QVERIFY(read.error().contains(QDir::toNativeSeparators(target)));
}

void TestDocumentFile::writesTheCodePageOrElseUtf8_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QByteArray>("bytes");

    // Every character fits Windows-1252: one byte each.
    QTest::newRow("all in the code page")
        << Entries{{QString::fromUtf8("Müller"), "", QString::fromUtf8("€ 5")}}
        << QByteArray("M\xfcller\r\n\r\n\x80 5\r\n");
    // One character that it lacks puts the whole document in UTF-8, the
    // other entries too, and the save is not refused.
    QTest::newRow("one character beyond it")
        << Entries{{QString::fromUtf8("Łukasz"), "", "1"}, {QString::fromUtf8("Müller"), "", "2"}}
        << QByteArray("\xc5\x81ukasz\r\n\r\n1\r\nM\xc3\xbcller\r\n\r\n2\r\n");
    QTest::newRow("beyond the basic plane") << Entries{{"Smith", QString::fromUtf8("😀"), "1"}}
                                            << QByteArray("Smith\r\n\xf0\x9f\x98\x80\r\n1\r\n");
    QTest::newRow("plain ASCII is the same in both")
        << Entries{{"Adams", "Al", "5"}} << QByteArray("Adams\r\nAl\r\n5\r\n");
}

void TestDocumentFile::writesTheCodePageOrElseUtf8()
{
    QFETCH(Entries, entries);
    QFETCH(QByteArray, bytes);

    const TextEncoding codePage = westernCodePage();
    const Result<QByteArray> encoded = encodeDocument(linesOf(entries), widths, codePage);
    QVERIFY2(encoded.ok(), qPrintable(encoded.error()));
    QCOMPARE(encoded.value(), bytes);
    // Read back in the same code page: the same lines, and nothing to report.
    const Result<DocumentEntries> read = decodeDocument(encoded.value(), widths, codePage);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read->lines, linesOf(entries));
    QVERIFY(isClean(read->report));
}

void TestDocumentFile::readsWhatTheOtherSystemWrote_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("codePage");

    // What Linux writes (UTF-8) and what Western Windows writes (its code
    // page), each read by the other and by itself.
    const QByteArray utf8("M\xc3\xbcller\r\nZo\xc3\xab\r\n\xe2\x82\xac 5\r\n");
    const QByteArray windows("M\xfcller\r\nZo\xeb\r\n\x80 5\r\n");
    QTest::newRow("UTF-8 read where the system is the code page") << utf8 << true;
    QTest::newRow("UTF-8 read where the system is UTF-8") << utf8 << false;
    QTest::newRow("code page read where the system is the code page") << windows << true;
    // Qt for Windows has no converter for a code page other than the
    // system's, and its system is never UTF-8.
    if (QStringDecoder(FallbackEncodingName).isValid())
        QTest::newRow("code page read where the system is UTF-8") << windows << false;
}

void TestDocumentFile::readsWhatTheOtherSystemWrote()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, codePage);

    const TextEncoding encoding =
        codePage ? westernCodePage() : TextEncoding{QByteArrayLiteral("UTF-8")};
    const Result<DocumentEntries> read = decodeDocument(bytes, widths, encoding);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read->lines, linesOf({{QString::fromUtf8("Müller"), QString::fromUtf8("Zoë"),
                                    QString::fromUtf8("€ 5")}}));
    // Lines in a foreign code page are worth a word where the system reads
    // UTF-8; in the system's own code page they are not.
    const bool foreign = !codePage && !bytes.contains("\xc3");
    QCOMPARE(read->report.windows1252Lines, foreign ? 3 : 0);
}

void TestDocumentFile::refusesHalfASurrogatePair()
{
    // Neither the code page nor UTF-8 can store half of a pair; it goes
    // straight into the phone column, since the line builder would drop it.
    for (const TextEncoding& encoding : {TextEncoding{}, westernCodePage()}) {
        QStringList lines = linesOf({{"Adams", "", "1"}, {"Smith", "", ""}});
        lines[1][52] = QChar(0xD83D);
        const Result<QByteArray> encoded = encodeDocument(lines, widths, encoding);
        QVERIFY(!encoded.ok());
        QVERIFY2(encoded.error().contains("U+D83D"), qPrintable(encoded.error()));
        QVERIFY2(encoded.error().contains("Entry 2 (\"Smith\")"), qPrintable(encoded.error()));
    }
}

void TestDocumentFile::failedSaveLeavesOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");

    const QString good = makeEntryLine("New", "n", "2", widths);
#ifdef Q_OS_WIN
    QTest::newRow("folder missing")
        << "nowhere/x.CVA" << good << qt_error_string(ERROR_PATH_NOT_FOUND).trimmed();
#else
    QTest::newRow("folder missing") << "nowhere/x.CVA" << good << "No such file or directory";
#endif
    QTest::newRow("target is a folder") << "folder.CVA" << good << "folder";
#ifndef Q_OS_WIN
    // Windows has no devices, pipes or symbolic links among a folder's files
    // that a program may make.
    QTest::newRow("target is a device") << "device.CVA" << good << "not an ordinary file";
    QTest::newRow("target is a pipe") << "pipe.CVA" << good << "not an ordinary file";
    QTest::newRow("target links to a device") << "to-device.CVA" << good << "not an ordinary file";
    QTest::newRow("target links to nothing") << "dangling.CVA" << good << "does not exist";
    QTest::newRow("target is a loop of links")
        << "loop.CVA" << good << "Too many levels of symbolic links";
#endif
    // Half of a surrogate pair put straight into a line: the line builder
    // never makes one.
    QString halfPair = makeEntryLine("New", "", "2", widths);
    halfPair[31] = QChar(0xDC00);
    QTest::newRow("character the system cannot store") << "old.CVA" << halfPair << "U+DC00";
    // Lines put into the list behind the dialogs' back, which mend line
    // breaks: the file would shift every later field by one.
    for (const QString& lineBreak :
         {QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\r\n")}) {
        QString broken = makeEntryLine("Miller", "Ann", "5", widths);
        broken.replace(6, lineBreak.size(), lineBreak);
        QTest::newRow(qPrintable(QStringLiteral("line break %1 in a field")
                                     .arg(lineBreak == "\n"   ? "LF"
                                          : lineBreak == "\r" ? "CR"
                                                              : "CR LF")))
            << "old.CVA" << broken << "Entry 1 (\"Miller";
    }
}

// The old document, and the folder around it, exactly as they were.
static void expectUntouched(const QString& folder, const QByteArray& old,
                            const QStringList& entriesBefore)
{
    QCOMPARE(readBytes(QDir(folder).filePath("old.CVA")), old);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), entriesBefore);
}

void TestDocumentFile::failedSaveLeavesOldFile()
{
    QFETCH(QString, name);
    QFETCH(QString, line);
    QFETCH(QString, reason);

    const QByteArray old = "Old\r\nfamily\r\n1\r\nOlder\r\n\r\n2\r\n";
    writeBytes(path("old.CVA"), old);
    QVERIFY(QDir(m_dir->path()).mkpath("folder.CVA/inside"));
#ifndef Q_OS_WIN
    // A device like /dev/null, where the test may make one.
    const bool device =
        ::mknod(QFile::encodeName(path("device.CVA")).constData(), S_IFCHR | 0666, makedev(1, 3))
        == 0;
    if (name == "device.CVA" && !device)
        QSKIP("making a device node needs root");
    QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.CVA")).constData(), 0600), 0);
    QVERIFY(QFile::link("/dev/null", path("to-device.CVA")));
    QVERIFY(QFile::link(path("gone.CVA"), path("dangling.CVA")));
    QVERIFY(QFile::link(path("loop.CVA"), path("loop.CVA")));
#endif
    const QStringList before =
        QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

    const Result<void> result = writeDocumentFile(systemFileSystem(), path(name), {line}, widths);
    QVERIFY(!result.ok());
    QVERIFY2(result.error().contains(QDir::toNativeSeparators(path(name))),
             qPrintable(result.error()));
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));

    expectUntouched(m_dir->path(), old, before);
    QVERIFY(QFileInfo(path("folder.CVA/inside")).isDir());
#ifndef Q_OS_WIN
    QVERIFY(!QFileInfo(path("pipe.CVA")).isFile());
    QVERIFY(QFileInfo(path("to-device.CVA")).isSymLink());
    QVERIFY(QFileInfo(path("dangling.CVA")).isSymLink());
    QVERIFY(!QFileInfo::exists(path("gone.CVA")));
#endif
}

void TestDocumentFile::realWriteFailureLeavesOldFile_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("reason");

#ifdef Q_OS_WIN
    // What Windows refuses to let a program replace, in its own words.
    QTest::newRow("read-only file") << "read-only" << 200 << "The file is read-only.";
    QTest::newRow("file held open without sharing")
        << "held open" << 200 << qt_error_string(ERROR_SHARING_VIOLATION).trimmed();
    QTest::newRow("file held open without sharing, large document")
        << "held open" << 3000 << qt_error_string(ERROR_SHARING_VIOLATION).trimmed();
#else
    // Under 16 KB a document fits the file object's buffer, where a failing
    // write goes unseen until the buffer is flushed.
    QTest::newRow("size limit, document under one buffer")
        << "size limit" << 200 << "File too large.";
    QTest::newRow("size limit, large document") << "size limit" << 3000 << "File too large.";
    QTest::newRow("full disk, document under one buffer")
        << "full disk" << 200 << "No space left on device.";
    QTest::newRow("full disk, large document") << "full disk" << 3000 << "No space left on device.";
#endif
}

void TestDocumentFile::realWriteFailureLeavesOldFile()
{
    QFETCH(QString, fault);
    QFETCH(int, entries);
    QFETCH(QString, reason);

    QStringList lines;
    for (int i = 0; i < entries; ++i)
        lines.append(makeEntryLine(QStringLiteral("Family %1").arg(i, 5, 10, QChar(u'0')), "Short",
                                   "555-0100", widths));
    const QByteArray old = "Old\r\nfamily\r\n1\r\n";
    Result<void> result;
#ifdef Q_OS_WIN
    const QString folder = m_dir->path();
    const QString target = QDir(folder).filePath("old.CVA");
    writeBytes(target, old);
    const std::wstring native = QDir::toNativeSeparators(target).toStdWString();
    const QStringList before =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    if (fault == "read-only") {
        QVERIFY(SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_READONLY));
        result = writeDocumentFile(systemFileSystem(), target, lines, widths);
        QVERIFY(SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_NORMAL));
    } else {
        // As another program that opened the file and shares it with none.
        const HANDLE held = CreateFileW(native.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        QVERIFY(held != INVALID_HANDLE_VALUE);
        result = writeDocumentFile(systemFileSystem(), target, lines, widths);
        CloseHandle(held);
    }
#else
    std::unique_ptr<TinyFileSystem> disk;
    QString folder = m_dir->path();
    if (fault == "full disk") {
        disk = std::make_unique<TinyFileSystem>(64);
        if (!disk->mounted())
            QSKIP(qPrintable("a full disk is made by mounting a tiny tmpfs, which is not allowed "
                             "here: "
                             + disk->why()));
        folder = disk->path();
    }
    const QString target = QDir(folder).filePath("old.CVA");
    writeBytes(target, old);
    if (disk)
        QVERIFY(disk->fill());
    const QStringList before =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    if (disk) {
        result = writeDocumentFile(systemFileSystem(), target, lines, widths);
    } else {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.isSet());
        result = writeDocumentFile(systemFileSystem(), target, lines, widths);
    }
#endif
    QVERIFY2(!result.ok(), "the save was reported as done");
    QVERIFY2(result.error().contains(QDir::toNativeSeparators(target)), qPrintable(result.error()));
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
    expectUntouched(folder, old, before);
}

void TestDocumentFile::readingNeverWaitsOnAPipe()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no named pipe that a program may put among a folder's files");
#else
    // No program writes into the pipe: a reader that waited for one would
    // hang here until the test is stopped.
    QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.CVA")).constData(), 0600), 0);
    std::unique_ptr<ReadableFile> file;
    const FileStatus pipe = systemFileSystem().openForReading(path("pipe.CVA"), file);
    QCOMPARE(int(pipe.error), int(FileError::NotOrdinary));
    QCOMPARE(describe(pipe), QStringLiteral("It is not an ordinary file."));
    QVERIFY(!file);

    const Result<DocumentEntries> read =
        readDocumentFile(systemFileSystem(), path("pipe.CVA"), widths);
    QVERIFY(!read.ok());
    QVERIFY2(read.error().contains("not an ordinary file"), qPrintable(read.error()));

    writeBytes(path("doc.CVA"), "A\r\nB\r\n1\r\n");
    const FileStatus document = systemFileSystem().openForReading(path("doc.CVA"), file);
    QVERIFY2(document.ok(), qPrintable(describe(document)));
    QCOMPARE(file->size(), qint64(9));
    QByteArray bytes;
    QVERIFY(file->read(bytes, 100).ok());
    QCOMPARE(bytes, QByteArray("A\r\nB\r\n1\r\n"));
#endif
}

void TestDocumentFile::digestIsXxh64_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("digest");

    // Values of the reference implementation (libxxhash 0.8.1), through
    // each of its paths: short tails, and 32-byte stripes with all tails.
    QTest::newRow("empty") << QByteArray() << QByteArray("ef46db3751d8e999");
    QTest::newRow("one byte") << QByteArray("a") << QByteArray("d24ec4f1a98c6e5b");
    QTest::newRow("one entry") << QByteArray("Baker\r\nTom\r\n12-345-67\r\n")
                               << QByteArray("1d252f4fad0fc817");
    QTest::newRow("stripes and a tail")
        << QByteArray("Adams\r\nAnn\r\n1\r\nBaker\r\nTom\r\n12-345-67\r\n").repeated(3)
        << QByteArray("8fe762465acc3a5a");
}

// The digest that snapshots and copies keep must read the same in every run
// and on every system: a copy is checked by the next start.
void TestDocumentFile::digestIsXxh64()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, digest);
    QCOMPARE(digestOf(bytes).toHex(), digest);
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "test_document_file.moc"
