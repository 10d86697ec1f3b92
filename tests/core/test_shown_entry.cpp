#include "core/entry_line.h"
#include "core/shown_entry.h"

#include <QTest>

using namespace callvista;

class TestShownEntry : public QObject
{
    Q_OBJECT

private slots:
    void marksWhatWouldNotShow_data();
    void marksWhatWouldNotShow();
    void readsTheEntryAloud_data();
    void readsTheEntryAloud();
    void keepsTheStoredLine();
};

void TestShownEntry::marksWhatWouldNotShow_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");

    QTest::newRow("tab") << QString("a\tb") << QString::fromUtf16(u"a\u2409b");
    QTest::newRow("line and paragraph separators")
        << QString::fromUtf16(u"a\u2028b\u2029c") << QString::fromUtf16(u"a\u2424b\u00b6c");
    QTest::newRow("CR, LF, NUL, escape and DEL")
        << QString::fromUtf16(u"\r\n") + QChar(0) + QString::fromUtf16(u"\x1b\x7f")
        << QString::fromUtf16(u"\u240d\u240a\u2400\u241b\u2421");
    QTest::newRow("C1 controls") << QString::fromUtf16(u"x\u0085\u009by")
                                 << QString::fromUtf16(u"x\u2424\ufffdy");
    // What a layout draws itself stays: marks, joiners, direction marks,
    // characters outside the basic plane.
    QTest::newRow("combining marks composed with their letter")
        << QString::fromUtf16(u"Jose\u0301 A\u030angstro\u0308m")
        << QString::fromUtf16(u"Jos\u00e9 \u00c5ngstr\u00f6m");
    QTest::newRow("a mark without a composed form stays")
        << QString::fromUtf16(u"g\u0303 \u1ea1\u0300")
        << QString::fromUtf16(u"g\u0303 \u1ea1\u0300");
    QTest::newRow("right to left and its marks stay")
        << QString::fromUtf16(u"\u05db\u05d4\u05df \u200f\u05dc\u05d5\u05d9")
        << QString::fromUtf16(u"\u05db\u05d4\u05df \u200f\u05dc\u05d5\u05d9");
    QTest::newRow("emoji and joiner stay") << QString::fromUtf16(u"\U0001F469\u200D\U0001F52C")
                                           << QString::fromUtf16(u"\U0001F469\u200D\U0001F52C");
    QTest::newRow("a bar and a no-break space stay")
        << QString::fromUtf16(u"a|b\u00a0c") << QString::fromUtf16(u"a|b\u00a0c");
}

void TestShownEntry::marksWhatWouldNotShow()
{
    QFETCH(QString, field);
    QFETCH(QString, shown);
    QCOMPARE(visibleField(field), shown);
}

void TestShownEntry::readsTheEntryAloud_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("spoken");

    QTest::newRow("three fields") << makeEntryLine("Baker", "Tom", "12-345-67")
                                  << "Baker, Tom, 12-345-67";
    QTest::newRow("spaces inside a field stay once")
        << makeEntryLine("van der Berg", "Jan", "+31 20") << "van der Berg, Jan, +31 20";
    QTest::newRow("an empty field is left out") << makeEntryLine("Baker", "", "12") << "Baker, 12";
    QTest::newRow("tab and separators are read as spaces")
        << makeEntryLine(QString::fromUtf16(u"Ann\tMarie\u2028Lee"), "A", "1")
        << "Ann Marie Lee, A, 1";
    QTest::newRow("a bar inside a field is read as it is")
        << makeEntryLine("Smith|Jones", "Al", "2") << "Smith|Jones, Al, 2";
    QTest::newRow("a field of its column's full width")
        << makeEntryLine(QString(30, u'W'), QString(20, u'M'), QString(20, u'9'))
        << QString(30, u'W') + ", " + QString(20, u'M') + ", " + QString(20, u'9');
    QTest::newRow("right to left")
        << makeEntryLine(QString::fromUtf16(u"\u05db\u05d4\u05df"), "Dan", "123")
        << QString::fromUtf16(u"\u05db\u05d4\u05df, Dan, 123");
    QTest::newRow("the blank entry") << makeEntryLine("", "", "") << "";
}

void TestShownEntry::readsTheEntryAloud()
{
    QFETCH(QString, line);
    QFETCH(QString, spoken);
    QCOMPARE(spokenEntry(line), spoken);
}

void TestShownEntry::keepsTheStoredLine()
{
    // Only the drawing marks a tab or a separator: the line stores them as
    // they came, counted in the column's width, and reads them back.
    const QString family = QString::fromUtf16(u"a\tb\u2028");
    const QString line = makeEntryLine(family, "c", "d");
    QCOMPARE(line.size(), EntryWidths.lineLength());
    QCOMPARE(line.left(EntryWidths.family + 1), family + QString(26, u' ') + u'|');
    QCOMPARE(entryField(line, Field::Family), family);
    // The header and the names given to assistive technology are the same
    // three captions.
    const QStringList captions = columnCaptions();
    QCOMPARE(captions, QStringList({"Family Name", "Short Name", "Phone No"}));
    QCOMPARE(headerLine(), makeEntryLine(captions.at(0), captions.at(1), captions.at(2)));
}

QTEST_APPLESS_MAIN(TestShownEntry)
#include "test_shown_entry.moc"
