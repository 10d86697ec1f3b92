#include "core/entry_line.h"
#include "core/entry_match.h"

#include <QTest>

using namespace callvista;

class TestEntryMatch : public QObject
{
    Q_OBJECT

private slots:
    void decisionTable_data();
    void decisionTable();
    void wholeEntries_data();
    void wholeEntries();
    void searchOrder_data();
    void searchOrder();
};

// The lines as the entry list keeps them, in their sorted order.
static SortedLines listOf(const QStringList& lines)
{
    SortedLines list;
    list.reset(lines);
    return list;
}

static QString line(const QString& family, const QString& shortName, const QString& phone)
{
    return makeEntryLine(family, shortName, phone);
}

// One field against its criterion, with the expected outcome for each of the
// four option pairs: neither, Whole Word only, Match Case only, both.
void TestEntryMatch::decisionTable_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<QList<bool>>("expected");

    using L = QList<bool>;
    QTest::newRow("smi in Smith") << "Smith"
                                  << "smi" << L{true, false, false, false};
    QTest::newRow("smi in SMITHERS") << "SMITHERS"
                                     << "smi" << L{true, false, false, false};
    QTest::newRow("smi in Goldsmith") << "Goldsmith"
                                      << "smi" << L{true, false, true, false};
    QTest::newRow("smith is Smith") << "Smith"
                                    << "smith" << L{true, true, false, false};
    QTest::newRow("smith is SMITH") << "SMITH"
                                    << "smith" << L{true, true, false, false};
    QTest::newRow("smith in Smithers") << "Smithers"
                                       << "smith" << L{true, false, false, false};
    QTest::newRow("smith in John Smith") << "John Smith"
                                         << "smith" << L{true, false, false, false};
    QTest::newRow("Smith exactly") << "Smith"
                                   << "Smith" << L{true, true, true, true};
    QTest::newRow("longer than the field") << "Smith"
                                           << "Smithers" << L{false, false, false, false};
    QTest::newRow("555 in +49-555-12") << "+49-555-12"
                                       << "555" << L{true, false, true, false};
    QTest::newRow("blanks around the criterion") << "Smith"
                                                 << "  smith " << L{true, true, false, false};
    QTest::newRow("inner blank kept") << "Van Dyk"
                                      << "van Dyk" << L{true, true, false, false};
    QTest::newRow("inner blank must occur") << "VanDyk"
                                            << "van Dyk" << L{false, false, false, false};
    QTest::newRow("two inner blanks differ") << "van Dyk"
                                             << "van  Dyk" << L{false, false, false, false};
    QTest::newRow("tab is no blank") << "Smith"
                                     << "\tSmith" << L{false, false, false, false};
    QTest::newRow("empty criterion") << "Smith"
                                     << "" << L{true, true, true, true};
    QTest::newRow("blank criterion") << "Smith"
                                     << "   " << L{true, true, true, true};
    QTest::newRow("empty field, empty criterion") << ""
                                                  << "" << L{false, true, false, true};
    QTest::newRow("empty field, blank criterion") << ""
                                                  << "  " << L{false, true, false, true};
    QTest::newRow("empty field, criterion") << ""
                                            << "a" << L{false, false, false, false};
    QTest::newRow("sharp s upper-cases to SS")
        << "STRASSE" << QString::fromUtf8("straße") << L{true, true, false, false};
    QTest::newRow("sharp s at the end of a full column")
        << QString::fromUtf8("Abcdefghijklmnopqrsß") << "sss" << L{true, false, false, false};
    QTest::newRow("dotless i upper-cases to I")
        << QString::fromUtf8("Kırk") << "KIRK" << L{true, true, false, false};
    QTest::newRow("ASCII match before other letters")
        << QString::fromUtf8("Smith Müller") << "smith" << L{true, false, false, false};
    QTest::newRow("accent upper-cased")
        << QString::fromUtf8("ÉMILE") << QString::fromUtf8("émile") << L{true, true, false, false};
    QTest::newRow("accent not folded")
        << QString::fromUtf8("Émile") << "emile" << L{false, false, false, false};
    QTest::newRow("accented letters in a longer field")
        << QString::fromUtf8("Müller-Lüdenscheidt") << QString::fromUtf8("lüden")
        << L{true, false, false, false};
    QTest::newRow("field beyond the basic plane")
        << QString::fromUtf8("\U0001F600 Ann") << "ann" << L{true, false, false, false};
    QTest::newRow("bar is ordinary text") << "A|B"
                                          << "|b" << L{true, false, false, false};
}

void TestEntryMatch::decisionTable()
{
    QFETCH(QString, field);
    QFETCH(QString, criterion);
    QFETCH(QList<bool>, expected);

    const QList<MatchOptions> pairs{{false, false}, {false, true}, {true, false}, {true, true}};
    for (int column = 0; column < 3; ++column) {
        QStringList fields{"x", "x", "x"};
        QStringList criteria{"", "", ""};
        fields[column] = field;
        criteria[column] = criterion;
        const SortedLines entries = listOf({line(fields.at(0), fields.at(1), fields.at(2))});
        for (int i = 0; i < pairs.size(); ++i) {
            const FindCriteria find{criteria.at(0), criteria.at(1), criteria.at(2)};
            const int found = findEntry(entries, -1, {find, pairs.at(i)});
            const QString where = QStringLiteral("field %1, match case %2, whole word %3")
                                      .arg(column + 1)
                                      .arg(pairs.at(i).matchCase)
                                      .arg(pairs.at(i).wholeWord);
            QVERIFY2((found == 0) == expected.at(i), qPrintable(where));
        }
    }
}

void TestEntryMatch::wholeEntries_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("criteria");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("found");

    const QString annNoPhone = line("Ann", "A", "");
    const QString smith = line("Smith", "John", "555");
    QTest::newRow("all three must hold")
        << smith << QStringList{"smi", "jo", "55"} << false << true;
    QTest::newRow("one failing criterion")
        << smith << QStringList{"smi", "jo", "9"} << false << false;
    QTest::newRow("empty phone never contains")
        << annNoPhone << QStringList{"Ann", "", ""} << false << false;
    QTest::newRow("empty phone equals empty criterion")
        << annNoPhone << QStringList{"ann", "", ""} << true << true;
    QTest::newRow("empty phone against a phone criterion")
        << annNoPhone << QStringList{"ann", "", "1"} << true << false;
    QTest::newRow("short line, family only, containment")
        << "  Smith" << QStringList{"smith", "", ""} << false << false;
    QTest::newRow("short line, family only, whole word")
        << "  Smith" << QStringList{"smith", "", ""} << true << true;
    QTest::newRow("line ending inside short name")
        << line("Smith", "", "").left(31) + "Jo" << QStringList{"", "jo", ""} << true << true;
    QTest::newRow("empty line, whole word") << "" << QStringList{"", "", ""} << true << true;
    QTest::newRow("separators not looked at")
        << QString("ab|cd").leftJustified(30, u'-') + "#" + QString("x").leftJustified(20) + "#12"
        << QStringList{"ab|cd---", "x", "12"} << false << true;
    QTest::newRow("overlong line cut by position")
        << smith + "999" << QStringList{"", "", "999"} << false << false;
}

void TestEntryMatch::wholeEntries()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, criteria);
    QFETCH(bool, wholeWord);
    QFETCH(bool, found);

    const int result =
        findEntry(listOf({entry}), -1,
                  {{criteria.at(0), criteria.at(1), criteria.at(2)}, {false, wholeWord}});
    QCOMPARE(result, found ? 0 : -1);
}

void TestEntryMatch::searchOrder_data()
{
    QTest::addColumn<QList<int>>("matches");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");

    const QList<int> twoAndSeven{2, 7};
    QTest::newRow("no selection") << twoAndSeven << 9 << -1 << 2;
    for (int start = 0; start < 9; ++start)
        QTest::addRow("from %d", start)
            << twoAndSeven << 9 << start << (start >= 2 && start < 7 ? 7 : 2);
    QTest::newRow("selected entry is the only match") << QList<int>{4} << 9 << 4 << 4;
    QTest::newRow("first entry tested last") << QList<int>{0} << 9 << 0 << 0;
    QTest::newRow("nothing matches") << QList<int>{} << 9 << 3 << -1;
    QTest::newRow("empty list") << QList<int>{} << 0 << -1 << -1;
    QTest::newRow("match at the end") << QList<int>{8} << 9 << -1 << 8;
    // The list keeps its lines in blocks of a few hundred: the scan goes
    // from block to block, and wraps from the last to the first.
    const QList<int> acrossBlocks{300, 1000};
    QTest::newRow("many blocks, from before the first match") << acrossBlocks << 1200 << 10 << 300;
    QTest::newRow("many blocks, between the matches") << acrossBlocks << 1200 << 300 << 1000;
    QTest::newRow("many blocks, wrapping from the end") << acrossBlocks << 1200 << 1100 << 300;
    QTest::newRow("many blocks, last entry") << QList<int>{1199} << 1200 << 0 << 1199;
}

void TestEntryMatch::searchOrder()
{
    QFETCH(QList<int>, matches);
    QFETCH(int, count);
    QFETCH(int, start);
    QFETCH(int, expected);

    QStringList entries;
    for (int i = 0; i < count; ++i)
        entries.append(line(QStringLiteral("Name %1").arg(i, 5, 10, QChar(u'0')),
                            matches.contains(i) ? "hit" : "miss", "1"));
    QCOMPARE(findEntry(listOf(entries), start, {{"", "hit", ""}, {}}), expected);
}

QTEST_APPLESS_MAIN(TestEntryMatch)
#include "test_entry_match.moc"
