#include "core/entry_line.h"
#include "core/entry_order.h"

#include <QTest>

#include <algorithm>

using namespace callvista;

class TestEntryLine : public QObject
{
    Q_OBJECT

private slots:
    void buildsLine_data();
    void buildsLine();
    void readsFieldsBack_data();
    void readsFieldsBack();
    void cutsIrregularLines_data();
    void cutsIrregularLines();
    void headerLine();
    void mendsFieldText_data();
    void mendsFieldText();
    void sortsLikeAListBox_data();
    void sortsLikeAListBox();
};

static QString pad(const QString& text, int width)
{
    return text + QString(width - text.size(), u' ');
}

void TestEntryLine::buildsLine_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("expected");

    QTest::newRow("all empty") << ""
                               << ""
                               << "" << pad("", 30) + "|" + pad("", 20) + "|" + pad("", 20);
    QTest::newRow("spaces around are dropped")
        << "  Smith "
        << " Tom"
        << "555  " << pad("Smith", 30) + "|" + pad("Tom", 20) + "|" + pad("555", 20);
    QTest::newRow("inner spaces stay")
        << "van der Berg"
        << "J P"
        << "1 2" << pad("van der Berg", 30) + "|" + pad("J P", 20) + "|" + pad("1 2", 20);
    QTest::newRow("exact width gets no padding")
        << QString(30, u'F') << QString(20, u'S') << QString(20, u'9')
        << QString(30, u'F') + "|" + QString(20, u'S') + "|" + QString(20, u'9');
    QTest::newRow("tab is not trimmed and counts")
        << "Smith\t"
        << "a"
        << "1" << pad("Smith\t", 30) + "|" + pad("a", 20) + "|" + pad("1", 20);
    QTest::newRow("case kept") << "mcDonald"
                               << "ANN"
                               << "1"
                               << pad("mcDonald", 30) + "|" + pad("ANN", 20) + "|" + pad("1", 20);
    QTest::newRow("too long is cut to the column")
        << QString(35, u'x') << QString(25, u'y') << QString(21, u'7')
        << QString(30, u'x') + "|" + QString(20, u'y') + "|" + QString(20, u'7');
    // 29 units, then a surrogate pair that would straddle the column's end.
    QTest::newRow("surrogate pair is not split")
        << QString(29, u'a') + QString::fromUcs4(U"\U0001F600") << "s"
        << "1" << QString(29, u'a') + " |" + pad("s", 20) + "|" + pad("1", 20);
    // What a box at its limit keeps of a pair typed last: its first half.
    QTest::newRow("half a pair as the column's last unit is dropped")
        << QString(29, u'a') + QChar(0xD83D) << QString(QChar(0xDE00)) + "s"
        << "1" + QString(QChar(0xD83D))
        << QString(29, u'a') + " |" + pad("s", 20) + "|" + pad("1", 20);
    QTest::newRow("LF, pasted at the end, is a space and trimmed")
        << "Miller\n"
        << "Ann"
        << "5" << pad("Miller", 30) + "|" + pad("Ann", 20) + "|" + pad("5", 20);
    QTest::newRow("CR LF inside is one space")
        << "van\r\nDyk"
        << "\rAnn"
        << "5\r\n6" << pad("van Dyk", 30) + "|" + pad("Ann", 20) + "|" + pad("5 6", 20);
    QTest::newRow("lone CR and LF inside are a space each")
        << "a\rb\nc"
        << "\n\r"
        << "1\n\n2" << pad("a b c", 30) + "|" + pad("", 20) + "|" + pad("1  2", 20);
    QTest::newRow("line breaks count once each towards the width")
        << QString(15, u'x') + "\r\n" + QString(20, u'y') << "s"
        << "1"
        << QString(15, u'x') + " " + QString(14, u'y') + "|" + pad("s", 20) + "|" + pad("1", 20);
}

void TestEntryLine::buildsLine()
{
    QFETCH(QString, family);
    QFETCH(QString, shortName);
    QFETCH(QString, phone);
    QFETCH(QString, expected);

    const QString line = makeEntryLine(family, shortName, phone);
    QCOMPARE(line, expected);
    QCOMPARE(line.size(), 72);
    QCOMPARE(line.at(30), u'|');
    QCOMPARE(line.at(51), u'|');
}

void TestEntryLine::readsFieldsBack_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<QString>("phone");

    QTest::newRow("plain") << "Smith"
                           << "John"
                           << "+49-555-12";
    QTest::newRow("bar inside fields") << "A|B"
                                       << "|x|"
                                       << "12";
    QTest::newRow("full columns") << QString(30, u'F') << QString(20, u'S') << QString(20, u'9');
    QTest::newRow("accents and emoji")
        << QString::fromUtf8("Émile Zoë") << QString::fromUtf8("😀 ß") << "0";
    QTest::newRow("empty short name") << "Adams"
                                      << ""
                                      << "555-01-00";
}

void TestEntryLine::readsFieldsBack()
{
    QFETCH(QString, family);
    QFETCH(QString, shortName);
    QFETCH(QString, phone);

    const QString line = makeEntryLine(family, shortName, phone);
    QCOMPARE(entryField(line, Field::Family), family);
    QCOMPARE(entryField(line, Field::Short), shortName);
    QCOMPARE(entryField(line, Field::Phone), phone);
}

void TestEntryLine::cutsIrregularLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("shortName");
    QTest::addColumn<QString>("phone");

    QTest::newRow("empty line") << ""
                                << ""
                                << ""
                                << "";
    QTest::newRow("ends inside family") << "  Smi"
                                        << "Smi"
                                        << ""
                                        << "";
    QTest::newRow("ends inside short") << pad("Smith", 30) + "|Jo"
                                       << "Smith"
                                       << "Jo"
                                       << "";
    QTest::newRow("separators not looked at")
        << QString("ab|cd").leftJustified(30, u'-') + "#" + pad("x", 20) + "#12"
        << QString("ab|cd").leftJustified(30, u'-') << "x"
        << "12";
}

void TestEntryLine::cutsIrregularLines()
{
    QFETCH(QString, line);
    QFETCH(QString, family);
    QFETCH(QString, shortName);
    QFETCH(QString, phone);

    QCOMPARE(entryField(line, Field::Family), family);
    QCOMPARE(entryField(line, Field::Short), shortName);
    QCOMPARE(entryField(line, Field::Phone), phone);
}

void TestEntryLine::headerLine()
{
    const QString header = callvista::headerLine();
    QCOMPARE(header.size(), 72);
    QCOMPARE(header.mid(0, 11), QStringLiteral("Family Name"));
    QCOMPARE(header.mid(31, 10), QStringLiteral("Short Name"));
    QCOMPARE(header.mid(52, 8), QStringLiteral("Phone No"));
    QCOMPARE(header.at(30), u'|');
    QCOMPARE(header.at(51), u'|');
    QCOMPARE(header.count(u' '), 72 - 11 - 10 - 8 - 2 + 3);
}

void TestEntryLine::mendsFieldText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("mended");
    QTest::addColumn<int>("mendedCursor");

    const QString smile = QString::fromUcs4(U"\U0001F600");
    QTest::newRow("nothing to mend") << "Smith" + smile << 3 << "Smith" + smile << 3;
    QTest::newRow("other control characters stay") << "a\tb\x01" << 4 << "a\tb\x01" << 4;
    QTest::newRow("cursor after a CR LF moves back one") << "ab\r\ncd" << 4 << "ab cd" << 3;
    QTest::newRow("cursor inside a CR LF goes after its space") << "ab\r\ncd" << 3 << "ab cd" << 3;
    QTest::newRow("cursor at the end stays at the end") << "x\r\n" << 3 << "x " << 2;
    QTest::newRow("high half at the end dropped")
        << "abc" + QString(QChar(0xD83D)) << 4 << "abc" << 3;
    QTest::newRow("low half alone dropped") << QString(QChar(0xDE00)) + "ab" << 1 << "ab" << 0;
    QTest::newRow("a whole pair is kept, cursor inside goes after it")
        << "a" + smile + "b" << 2 << "a" + smile + "b" << 3;
}

void TestEntryLine::mendsFieldText()
{
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, mended);
    QFETCH(int, mendedCursor);

    qsizetype position = cursor;
    QCOMPARE(toFieldText(text, &position), mended);
    QCOMPARE(int(position), mendedCursor);
    QVERIFY(!holdsLineBreak(mended));
    QCOMPARE(holdsLineBreak(text), text.contains(u'\r') || text.contains(u'\n'));
}

void TestEntryLine::sortsLikeAListBox_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("sorted");

    const QStringList names{"Smythe", "smithers", "Smith", "Adams", "Smith-Jones", "Zeta"};
#ifdef Q_OS_WIN
    // Windows's own order, as its list boxes sort, passes over the hyphen.
    const QStringList nameOrder{"Adams", "Smith", "smithers", "Smith-Jones", "Smythe", "Zeta"};
#else
    const QStringList nameOrder{"Adams", "Smith", "Smith-Jones", "smithers", "Smythe", "Zeta"};
#endif
    QTest::newRow("en_US family before longer name") << "en_US" << names << nameOrder;
    // The C locale names no language and sorts as English does.
    QTest::newRow("C family before longer name") << "C" << names << nameOrder;
    QTest::newRow("en_US accents beside base letter")
        << "en_US" << QStringList{"Fabre", QString::fromUtf8("émile"), "Dupont", "Emile"}
        << QStringList{"Dupont", "Emile", QString::fromUtf8("émile"), "Fabre"};
    QTest::newRow("en_US digits after padding")
        << "en_US" << QStringList{"A1", "A", "Ab"} << QStringList{"A", "A1", "Ab"};
    QTest::newRow("en_US case ignored")
        << "en_US" << QStringList{"baker", "ADAMS", "Adam", "SMITH", "smith"}
        << QStringList{"Adam", "ADAMS", "baker", "SMITH", "smith"};
    QTest::newRow("C case ignored")
        << "C" << QStringList{"baker", "ADAMS", "Adam", "SMITH", "smith"}
        << QStringList{"Adam", "ADAMS", "baker", "SMITH", "smith"};
    QTest::newRow("C digits after padding")
        << "C" << QStringList{"A1", "A", "Ab"} << QStringList{"A", "A1", "Ab"};
}

void TestEntryLine::sortsLikeAListBox()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, families);
    QFETCH(QStringList, sorted);

    const EntryOrder order{QLocale(locale)};
    QStringList lines;
    for (const QString& family : families)
        lines.append(makeEntryLine(family, u"x", u"1"));
    std::stable_sort(lines.begin(), lines.end(),
                     [&](const QString& a, const QString& b) { return order.compare(a, b) < 0; });
    QStringList result;
    for (const QString& line : lines)
        result.append(entryField(line, Field::Family));
    QCOMPARE(result, sorted);
}

QTEST_APPLESS_MAIN(TestEntryLine)
#include "test_entry_line.moc"
