#include "core/contact_import.h"
#include "core/csv_reader.h"
#include "core/entry_line.h"
#include "core/vcard_reader.h"

#include <QStringDecoder>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <numeric>

using namespace callvista;

// The two contact readers on samples written after each exporter's
// documented format, the choice between them, what an import adds to a list
// and what it says about it.
class TestContactImport : public QObject
{
    Q_OBJECT

private slots:
    void readsVCards_data();
    void readsVCards();
    void readsCsv_data();
    void readsCsv();
    void readsLargeFilesInParts();
    void refuses_data();
    void refuses();
    void tellsTheFormats();
    void decodesWindows1252();
    void decodesUtf8_data();
    void decodesUtf8();
    void skipsWhatTheListHolds();
    void refusesPastTheLimit();
    void tellsWhatHappened_data();
    void tellsWhatHappened();
};

// "family|short|phone" as the entry line the reader should give.
static QStringList entries(const QStringList& compact)
{
    QStringList lines;
    for (const QString& entry : compact) {
        const QStringList fields = entry.split(u'|');
        lines.append(makeEntryLine(fields.value(0), fields.value(1), fields.value(2)));
    }
    return lines;
}

// The text in UTF-16 LE after its mark.
static QByteArray utf16le(const QString& text)
{
    return "\xff\xfe" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

static QByteArray card(const QByteArray& properties, const QByteArray& version = "3.0")
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + properties + "END:VCARD\r\n";
}

static void addReadColumns()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("withoutNameOrPhone");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<int>("shortened");
}

static void checkRead(const Result<ContactEntries>& read)
{
    QFETCH(QStringList, expected);
    QFETCH(int, withoutNameOrPhone);
    QFETCH(int, unreadable);
    QFETCH(int, shortened);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read->lines, entries(expected));
    QCOMPARE(read->withoutNameOrPhone, withoutNameOrPhone);
    QCOMPARE(read->unreadableLines, unreadable);
    QCOMPARE(std::accumulate(read->shortened.begin(), read->shortened.end(), 0), shortened);
}

void TestContactImport::readsVCards_data()
{
    addReadColumns();
    QTest::newRow("iPhone 3.0: groups, TYPE=pref")
        << card("PRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\nN:Appleseed;John;;;\r\n"
                "FN:John Appleseed\r\nitem1.TEL;type=CELL;type=VOICE:+1 555 0100\r\n"
                "item2.TEL;type=HOME;type=VOICE;type=pref:+1 555 0199\r\n")
        << QStringList{"Appleseed|John|+1 555 0199"} << 0 << 0 << 0;
    QTest::newRow("Android 2.1: quoted-printable, soft break, bare PREF")
        << card("N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=B6=\r\nrg;;;\r\n"
                "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=B6rg M=C3=BC=\r\nller\r\n"
                "TEL;CELL:+49 170 1234567\r\nTEL;HOME;PREF:+49 30 1234\r\n",
                "2.1")
        << QStringList{"Müller|Jörg|+49 30 1234"} << 0 << 0 << 0;
    QTest::newRow("2.1 soft break before an indent, inside a character")
        << card("N;QUOTED-PRINTABLE;CHARSET=UTF-8:=E5=BC=\r\n =A0;=E4=B8=89;;;\r\n", "2.1")
        << QStringList{"张|三|"} << 0 << 0 << 0;
    QTest::newRow("2.1: Windows-1252, ISO-8859-1, a backslash that is no escape")
        << card("N;CHARSET=windows-1252;ENCODING=QUOTED-PRINTABLE:=80uro\\n;Caf=E9;;;\r\n"
                "TEL;CHARSET=ISO-8859-1:\xb1"
                "1\r\n",
                "2.1")
        << QStringList{"€uro\\n|Café|±1"} << 0 << 0 << 0;
    QTest::newRow("an unknown CHARSET and broken UTF-8 are counted")
        << card("N;CHARSET=KOI8-R:\xe9;;;;\r\nTEL;CHARSET=UTF-8:\xe9"
                "1\r\n")
        << QStringList{"é||é1"} << 0 << 2 << 0;
    QTest::newRow("no CHARSET: UTF-8, else Windows-1252 uncounted")
        << card("N:M\xfcller;Zo\xeb;;;\r\nTEL:555\xc2\xb7"
                "0100\r\n")
        << QStringList{"Müller|Zoë|555·0100"} << 0 << 0 << 0;
    QTest::newRow("3.0 fold inside a character, escapes, values")
        << card("N:de,la,Cruz;Ana\\, Mar\xc3\r\n \xad"
                "a;;;\r\nTEL:1\\;2\\\\3\\n4\r\n")
        << QStringList{"de la Cruz|Ana, María|1;2\\3 4"} << 0 << 0 << 0;
    QTest::newRow("4.0: lowest PREF, tel: URI")
        << card("FN:Jane Doe\r\nN:Doe;Jane;;;\r\nTEL;VALUE=uri;PREF=2;TYPE=home:tel:+1-555-0101\r\n"
                "TEL;VALUE=uri;PREF=1;TYPE=\"voice,cell\":tel:+1-555-0100;ext=12;isub=9\r\n",
                "4.0")
        << QStringList{"Doe|Jane|+1-555-0100 x12"} << 0 << 0 << 0;
    QTest::newRow("Thunderbird 4.0: text numbers, the first taken")
        << card("FN:Tom Baker\r\nN:Baker;Tom;;;\r\nTEL;TYPE=work;VALUE=TEXT:555-0100\r\n"
                "TEL;TYPE=cell;VALUE=TEXT:555-0199\r\nUID:1c1e\r\n",
                "4.0")
        << QStringList{"Baker|Tom|555-0100"} << 0 << 0 << 0;
    QTest::newRow("FN, then ORG; NICKNAME for the short name")
        << card("N:;;;;\r\nFN:Jim Smith\r\nNICKNAME:,Jimmy,J\r\n")
               + card("ORG:Acme\\, Inc.;Sales\r\nTEL:555\r\nNICKNAME:Ace\r\n")
        << QStringList{"Jim Smith|Jimmy|", "Acme, Inc.|Ace|555"} << 0 << 0 << 0;
    QTest::newRow("no name and no phone; photos skipped")
        << card("EMAIL:a@example.com\r\nPHOTO;BASE64:/9j/4AAQ\r\nSkZJRgAB\r\n\r\n", "2.1")
               + card("PHOTO;ENCODING=b;TYPE=JPEG:" + QByteArray(5000, 'A').replace(70, 1, "\r\n ")
                      + "\r\nN:Lee;Ann;;;\r\n")
        << QStringList{"Lee|Ann|"} << 1 << 0 << 0;
    QTest::newRow("any case, LF and CR, lines outside cards")
        << QByteArray("begin:vcard\nversion:3.0\nitem1.n:Lee;Ann;;;\rno colon\rEnd:VCard\n"
                      "stray:line\n\n")
        << QStringList{"Lee|Ann|"} << 0 << 2 << 0;
    QTest::newRow("UTF-16 with its mark, CHARSET ignored")
        << utf16le(
               QStringLiteral("BEGIN:VCARD\r\nN;CHARSET=ISO-8859-1:Øster;Åsa;;;\r\nEND:VCARD\r\n"))
        << QStringList{"Øster|Åsa|"} << 0 << 0 << 0;
    QTest::newRow("an agent's card inside, a card without END")
        << card("N:Boss;Big;;;\r\nAGENT:\r\nBEGIN:VCARD\r\nN:Aide;Al;;;\r\nEND:VCARD\r\n"
                "TEL:1\r\n")
               + "BEGIN:VCARD\r\nN:Cut;Off;;;\r\n" + card("N:Next;One;;;\r\n")
        << QStringList{"Boss|Big|1", "Cut|Off|", "Next|One|"} << 0 << 0 << 0;
    QTest::newRow("values longer than their column")
        << card("N:" + QByteArray(31, 'F') + ";" + QByteArray(21, 'S') + ";;;\r\nTEL:1\r\n")
        << QStringList{QString(30, u'F') + u'|' + QString(20, u'S') + QStringLiteral("|1")} << 0
        << 0 << 2;
}

void TestContactImport::readsVCards()
{
    QFETCH(QByteArray, bytes);
    checkRead(readVCard(bytes));
}

// Samples shortened to the columns that matter and a few around them, in
// the exporters' order.
void TestContactImport::readsCsv_data()
{
    addReadColumns();
    QTest::newRow("Google, older columns, numbers joined by :::")
        << QByteArray("Name,Given Name,Additional Name,Family Name,Nickname,Short Name,"
                      "E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value\r\n"
                      "Ann Lee,Ann,,Lee,,,ann@example.com,Mobile,+44 7700 900123 ::: +44 20 1\r\n"
                      "Acme Ltd,,,,,,,Work,555\r\n")
        << QStringList{"Lee|Ann|+44 7700 900123", "Acme Ltd||555"} << 0 << 0 << 0;
    QTest::newRow("Google, columns of 2023")
        << QByteArray("First Name,Middle Name,Last Name,Phonetic First Name,Nickname,File As,"
                      "E-mail 1 - Label,E-mail 1 - Value,Phone 1 - Label,Phone 1 - Value\r\n"
                      "Bo,,Kim,,Bobo,,* Home,bo@example.com,Mobile,010-1234\r\n"
                      ",,,,,,,only@example.com,,\r\n")
        << QStringList{"Kim|Bo|010-1234"} << 1 << 0 << 0;
    QTest::newRow("Outlook in Windows-1252, Primary Phone empty")
        << QByteArray("\"First Name\",\"Middle Name\",\"Last Name\",\"Title\",\"E-mail Address\","
                      "\"Primary Phone\",\"Home Phone\",\"Mobile Phone\"\r\n"
                      "\"J\xf6rg\",\"\",\"M\xfcller\",\"\",\"\",\"\",\"\",\"+49 170 1\"\r\n")
        << QStringList{"Müller|Jörg|+49 170 1"} << 0 << 0 << 0;
    QTest::newRow("Outlook with semicolons, quoted delimiters and lines")
        << QByteArray("\r\nFirst Name;Last Name;Display Name;Nickname;E-mail Address;Home Phone;"
                      "Business Phone;Mobile Phone\r\n"
                      "\"Jean; Luc\";\"Pic\"\"ard\";;;;;+33 1;\"+33\r\n6\"\r\n")
        << QStringList{"Pic\"ard|Jean; Luc|+33 6"} << 0 << 0 << 0;
    QTest::newRow("Thunderbird: Display Name, Mobile Number")
        << QByteArray("First Name,Last Name,Display Name,Nickname,Primary Email,Work Phone,"
                      "Home Phone,Mobile Number\n"
                      ",,Acme Support,,help@example.com,555-0100,,555-0199\n")
        << QStringList{"Acme Support||555-0199"} << 0 << 0 << 0;
    QTest::newRow("tabs in UTF-16 LE, header matched loosely")
        << utf16le(QStringLiteral("  SURNAME \tfirst name\r\nØ\tÅ\r\n")) << QStringList{"Ø|Å|"} << 0
        << 0 << 0;
    QTest::newRow("three columns without a header")
        << QByteArray("\xef\xbb\xbfLee,Ann,555\r\n\r\n,,\r\nKim,Bo,\r\n")
        << QStringList{"Lee|Ann|555", "Kim|Bo|"} << 0 << 0 << 0;
    QTest::newRow("a quote never closed costs its line")
        << QByteArray("Last Name,Phone\r\nLee,555\r\n\"Kim,1\r\nPark,2\r\n")
        << QStringList{"Lee||555", "Park||2"} << 0 << 1 << 0;
}

void TestContactImport::readsCsv()
{
    QFETCH(QByteArray, bytes);
    checkRead(readCsv(bytes));
}

void TestContactImport::readsLargeFilesInParts()
{
    // Large enough to be read on two threads where there are two: what the
    // second part repeats of the first, letter case aside, is counted.
    QByteArray bytes;
    QStringList expected;
    for (int i = 0; i < 6000; ++i) {
        const QByteArray family = "Family " + QByteArray::number(i % 4000);
        bytes += card("N:" + (i < 4000 ? family : family.toUpper()) + ";Given\\, "
                      + QByteArray(60, 'x') + ";;;\r\nTEL:" + QByteArray::number(i % 4000) + "\r\n")
                 + (i % 3000 == 1 ? "\r\nno colon\r\n\r\n" : "");
        if (i < 4000)
            expected.append(family + "|Given, " + QString(20, u'x') + "|" + QString::number(i));
    }
    const Result<ContactEntries> read = readVCard(bytes);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read->lines, entries(expected));
    QCOMPARE(read->repeated, 2000);
    QCOMPARE(read->unreadableLines, 2);
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const Result<ContactEntries> alone = readVCard(bytes);
    QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
    QCOMPARE(alone->lines, read->lines);
    QCOMPARE(alone->shortened, read->shortened);
    QCOMPARE(alone->repeated + alone->unreadableLines, 2002);
}

void TestContactImport::refuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QTest::newRow("empty") << QByteArray("\xef\xbb\xbf\r\n") << "it is empty";
    QTest::newRow("columns unknown")
        << QByteArray("E-mail,Company,Notes,Birthday\r\na@b,Acme,,\r\n")
        << "\"Family Name\", \"Last Name\", \"Surname\", \"Short Name\"";
    QTest::newRow("larger than a document")
        << QByteArray(maxContactFileBytes() + 1, 'a') << "bytes long";
}

void TestContactImport::refuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const Result<ReadContacts> read = readContacts(bytes);
    QVERIFY(!read.ok());
    QVERIFY2(read.error().contains(reason), qPrintable(read.error()));
}

void TestContactImport::tellsTheFormats()
{
    for (const QByteArray& vcard :
         {QByteArray("BEGIN:VCARD"), QByteArray("\xef\xbb\xbf\r\n \t\nbegin:vcard\r\n"),
          QByteArray("\xfe\xff\0B\0E\0G\0I\0N\0:\0V\0C\0A\0R\0D", 24)})
        QVERIFY2(isVCard(vcard), vcard.constData());
    for (const QByteArray& csv : {QByteArray("Name,BEGIN:VCARD"), QByteArray("BEGIN:VCAR")})
        QVERIFY2(!isVCard(csv), csv.constData());
    const Result<ReadContacts> csv = readContacts("Name\r\nLee\r\n");
    QVERIFY(csv.ok() && csv->format == ContactFormat::Csv);
}

void TestContactImport::decodesWindows1252()
{
    // Qt with ICU knows the code page; the reader's own table must agree.
    QStringDecoder icu("windows-1252");
    if (!icu.isValid())
        QSKIP("This Qt has no Windows-1252 converter to compare with");
    QByteArray all(256, Qt::Uninitialized);
    for (int byte = 0; byte < 256; ++byte)
        all[byte] = char(byte);
    QString own;
    appendWindows1252(own, all);
    const QString theirs = icu.decode(all);
    QCOMPARE(own.size(), 256);
    for (int byte = 0; byte < 256; ++byte)
        if (theirs.at(byte) != QChar::ReplacementCharacter)
            QCOMPARE(own.at(byte), theirs.at(byte));
    QCOMPARE(own.at(0x80), QChar(0x20AC));
}

void TestContactImport::decodesUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII, a mark, pairs")
        << QByteArray("a\xef\xbb\xbf\xe2\x82\xac\xf0\x9f\x98\x80");
    QTest::newRow("overlong") << QByteArray("\xc0\x80");
    QTest::newRow("overlong in three") << QByteArray("\xe0\x80\x80");
    QTest::newRow("overlong in four") << QByteArray("\xf0\x8f\xbf\xbf");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
    QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80");
    QTest::newRow("cut off") << QByteArray("ab\xe2\x82");
    QTest::newRow("no lead") << QByteArray("\x80"
                                           "a");
    QTest::newRow("lead without end") << QByteArray("\xfe"
                                                    "a");
}

void TestContactImport::decodesUtf8()
{
    // The reader's own decoder takes and gives what Qt's does.
    QFETCH(QByteArray, bytes);
    QStringDecoder qt(QStringConverter::Utf8, QStringConverter::Flag::Stateless
                                                  | QStringConverter::Flag::ConvertInitialBom);
    const QString theirs = qt.decode(bytes);
    QString own = QStringLiteral("x");
    QCOMPARE(appendUtf8(own, bytes), !qt.hasError());
    QCOMPARE(own, qt.hasError() ? QStringLiteral("x") : u'x' + theirs);
}

void TestContactImport::skipsWhatTheListHolds()
{
    SortedLines list;
    list.reset(entries({"Lee|Ann|1"}));
    const Result<ContactImport> import = prepareImport(
        "Last Name,First Name,Phone\r\nLEE,ann,1\r\nKim," + QByteArray(21, 'B') + ",2\r\n" + "kim,"
            + QByteArray(21, 'b') + ",2\r\nLee,Ann," + QByteArray(21, '9') + "\r\n",
        list);
    QVERIFY2(import.ok(), qPrintable(import.error()));
    QCOMPARE(import->lines,
             entries({"Kim|" + QString(20, u'B') + "|2", "Lee|Ann|" + QString(20, u'9')}));
    QCOMPARE(import->alreadyInList, 2);
    QCOMPARE(import->shortenedValues, 2);
    QCOMPARE(import->format, ContactFormat::Csv);
}

void TestContactImport::refusesPastTheLimit()
{
    // Entries past the first MaxEntries of a file are counted by their keys:
    // those the list holds already need no room.
    QByteArray csv = "Last Name\r\n";
    for (int i = 0; i < MaxEntries + 5; ++i)
        csv += "N" + QByteArray::number(i) + "\r\n";
    SortedLines list;
    list.reset(entries({"n32767", "N32768", "Other"}));
    const Result<ContactImport> import = prepareImport(csv, list);
    QVERIFY(!import.ok());
    QVERIFY2(import.error().contains(QString::number(MaxEntries + 6)), qPrintable(import.error()));

    list.reset(entries({"Full"}));
    csv.truncate(csv.indexOf("N32766"));
    QVERIFY(prepareImport(csv, list).ok());
    QVERIFY(!prepareImport(csv + "More\r\n", list).ok());
}

void TestContactImport::tellsWhatHappened_data()
{
    QTest::addColumn<ContactImport>("import");
    QTest::addColumn<QString>("message");

    QTest::newRow("all, more than one")
        << ContactImport{ContactFormat::VCard, QStringList(3), 2, 2, 2, 2}
        << "3 entries were added from \"a.vcf\".\n"
           "2 entries were already in the list and were skipped.\n"
           "2 cards held no name and no phone and were skipped.\n"
           "2 values were longer than their column and were shortened.\n"
           "2 lines could not be read.";
    QTest::newRow("one each") << ContactImport{ContactFormat::Csv, QStringList(1), 1, 1, 1, 1}
                              << "1 entry was added from \"a.vcf\".\n"
                                 "1 entry was already in the list and was skipped.\n"
                                 "1 row held no name and no phone and was skipped.\n"
                                 "1 value was longer than its column and was shortened.\n"
                                 "1 line could not be read.";
    QTest::newRow("nothing else") << ContactImport{ContactFormat::Csv, {}, 0, 0, 0, 0}
                                  << "No entry was added from \"a.vcf\".";
}

void TestContactImport::tellsWhatHappened()
{
    QFETCH(ContactImport, import);
    QFETCH(QString, message);
    QCOMPARE(importMessage(QStringLiteral("a.vcf"), import), message);
}

QTEST_GUILESS_MAIN(TestContactImport)
#include "test_contact_import.moc"
