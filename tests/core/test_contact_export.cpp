#include "core/contact_import.h"
#include "core/csv_writer.h"
#include "core/entry_line.h"
#include "core/vcard_writer.h"

#include <QRandomGenerator>
#include <QTest>

#include <unordered_set>

using namespace callvista;

// The vCard and CSV writers, byte for byte, and what they write read back
// by the import as the same list.
class TestContactExport : public QObject
{
    Q_OBJECT

private slots:
    void writesVCard();
    void foldsLongLines();
    void writesCsv();
    void roundTrips_data();
    void roundTrips();
};

static SortedLines listOf(const QStringList& lines)
{
    SortedLines list;
    list.reset(lines);
    return list;
}

void TestContactExport::writesVCard()
{
    const SortedLines list =
        listOf({makeEntryLine(u"Smith, Jr.", u"a;b\\c", u""),
                makeEntryLine(u"Baker", u"Tom", u"555-0100"), makeEntryLine(u"", u"", u"12")});
    QCOMPARE(encodeVCard(list),
             QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:;;;;\r\nFN:\r\nTEL;TYPE=VOICE:12\r\n"
                        "END:VCARD\r\n"
                        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Baker;Tom;;;\r\nFN:Tom Baker\r\n"
                        "TEL;TYPE=VOICE:555-0100\r\nEND:VCARD\r\n"
                        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith\\, Jr.;a\\;b\\\\c;;;\r\n"
                        "FN:a\\;b\\\\c Smith\\, Jr.\r\nEND:VCARD\r\n"));
    QCOMPARE(encodeVCard(SortedLines()), QByteArray());
}

void TestContactExport::foldsLongLines()
{
    const QString family = QString(13, QChar(0x00E9)) + QStringLiteral("😀😀😀😀,,,,,,,,,");
    const QString shortName(20, QChar(0x20AC));
    const QByteArray vcard = encodeVCard(listOf({makeEntryLine(family, shortName, u"")}));
    const QList<QByteArray> lines = vcard.split('\n');
    for (const QByteArray& line : lines) {
        QVERIFY2(line.size() <= 76, line.constData());
        // A continuation never starts inside a character.
        if (line.startsWith(' ') && line.size() > 1)
            QVERIFY2((uchar(line.at(1)) & 0xC0) != 0x80, line.constData());
    }
    QByteArray unfolded = vcard;
    unfolded.replace("\r\n ", "");
    QVERIFY(
        unfolded.contains("\r\nN:" + QString(family).replace(u',', QStringLiteral("\\,")).toUtf8()
                          + ";" + shortName.toUtf8() + ";;;\r\n"));
    QVERIFY(vcard.count("\r\n ") >= 2);
}

void TestContactExport::writesCsv()
{
    const SortedLines list = listOf({makeEntryLine(u"Smith, Jr.", u"say \"hi\"", u""),
                                     makeEntryLine(u"Baker", u"Tom", u"555-0100")});
    QCOMPARE(encodeCsv(list), QByteArray("\xef\xbb\xbfLast Name,First Name,Mobile Phone\r\n"
                                         "Baker,Tom,555-0100\r\n"
                                         "\"Smith, Jr.\",\"say \"\"hi\"\"\",\r\n"));
}

// A random field from the characters names are written in, those the
// formats escape or quote, and characters outside the basic plane.
static QString randomField(QRandomGenerator& random, int width)
{
    static const QStringList pieces{
        "a", "Z", "7", " ",    ",",   ";",   "\"",    "\\",          ":",        "=", "\t",
        "é", "ß", "Ж", "Ω",    "中",  "ع",   "ש",     "ก",           "€",        "İ", "ǅ",
        "ﬀ", "😀", "𐐀", "tel:", "=C3", "\\n", " ::: ", "BEGIN:VCARD", "END:VCARD"};
    QString field;
    const int length = int(random.bounded(width + 4));
    while (field.size() < length)
        field += pieces.at(random.bounded(pieces.size()));
    return field;
}

void TestContactExport::roundTrips_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("csv");
    for (const quint32 seed : {1u, 2u, 3u}) {
        QTest::addRow("vCard, seed %u", seed) << seed << false;
        QTest::addRow("CSV, seed %u", seed) << seed << true;
    }
}

void TestContactExport::roundTrips()
{
    QFETCH(quint32, seed);
    QFETCH(bool, csv);
    QRandomGenerator random(seed);
    // The import skips entries without a value and those equal to another
    // letter case aside, so no list that holds them comes back the same.
    QStringList lines;
    std::unordered_set<quint64> keys;
    while (lines.size() < 400) {
        const QString line = makeEntryLine(randomField(random, EntryWidths.family),
                                           randomField(random, EntryWidths.shortName),
                                           randomField(random, EntryWidths.phone));
        if (!isBlankField(QString(line).remove(u'|')) && keys.insert(foldedKey(line)).second)
            lines.append(line);
    }
    const SortedLines list = listOf(lines);
    const QByteArray bytes = csv ? encodeCsv(list) : encodeVCard(list);
    const Result<ContactImport> import = prepareImport(bytes, SortedLines());
    QVERIFY2(import.ok(), qPrintable(import.error()));
    QCOMPARE(import->format, csv ? ContactFormat::Csv : ContactFormat::VCard);
    QCOMPARE(listOf(import->lines).lines(), list.lines());
    QCOMPARE(import->alreadyInList + import->withoutNameOrPhone + import->shortenedValues
                 + import->unreadableLines,
             0);
}

QTEST_GUILESS_MAIN(TestContactExport)
#include "test_contact_export.moc"
