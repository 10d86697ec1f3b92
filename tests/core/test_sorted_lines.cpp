#include "core/entry_line.h"
#include "core/sorted_lines.h"

#include <QRandomGenerator>
#include <QTest>
#include <QThreadPool>

#include <algorithm>

using namespace callvista;

// The sorted list of entry lines checked against a plain sorted QStringList
// kept with the same order, through inserts and removals that split and
// empty its blocks.
class TestSortedLines : public QObject
{
    Q_OBJECT

private slots:
    void matchesAPlainSortedList_data();
    void matchesAPlainSortedList();
    void refusesTheEntryPastTheLimit();
    void loadsAsInsertingOneByOne_data();
    void loadsAsInsertingOneByOne();
    void cLocaleSortsByTheRootCollation();
};

void TestSortedLines::matchesAPlainSortedList_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("inserts");
    QTest::addColumn<int>("startWith");
    QTest::addColumn<int>("distinct");

    QTest::newRow("few lines, C") << "C" << 20 << 0 << 1000;
    QTest::newRow("one block split, en_US") << "en_US" << 700 << 0 << 100000;
    QTest::newRow("many splits, many equal lines, C") << "C" << 3000 << 0 << 40;
    QTest::newRow("inserts into a reset list, en_US") << "en_US" << 1500 << 2000 << 100000;
}

void TestSortedLines::matchesAPlainSortedList()
{
    QFETCH(QString, locale);
    QFETCH(int, inserts);
    QFETCH(int, startWith);
    QFETCH(int, distinct);

    const EntryOrder order{QLocale(locale)};
    const auto less = [&](const QString& a, const QString& b) { return order.compare(a, b) < 0; };
    QRandomGenerator random(7);
    const auto randomLine = [&] {
        static const QStringList names{"smith", "Smith",   QString::fromUtf8("Émile"),
                                       "emile", "van Dyk", "Adams",
                                       "zeta",  "Ångström"};
        return makeEntryLine(names.at(random.bounded(names.size())),
                             QString::number(random.bounded(distinct)), u"1");
    };

    SortedLines lines{QLocale(locale)};
    QStringList expected;
    for (int i = 0; i < startWith; ++i)
        expected.append(randomLine());
    lines.reset(expected);
    std::stable_sort(expected.begin(), expected.end(), less);

    for (int i = 0; i < inserts; ++i) {
        const QString line = randomLine();
        const auto at = std::upper_bound(expected.begin(), expected.end(), line, less);
        const int row = int(at - expected.begin());
        expected.insert(row, line);
        const SortedLines::Place place = lines.place(line);
        QCOMPARE(place.row, row);
        QVERIFY(lines.insert(place));
        // Every tenth step removes a line somewhere, emptying blocks too.
        if (i % 10 == 9) {
            const int gone = int(random.bounded(expected.size()));
            expected.removeAt(gone);
            lines.remove(gone);
        }
    }
    QCOMPARE(lines.size(), expected.size());
    QCOMPARE(lines.lines(), expected);
    for (int row = 0; row < expected.size(); row += 97)
        QCOMPARE(lines.at(row), expected.at(row));
}

void TestSortedLines::refusesTheEntryPastTheLimit()
{
    SortedLines lines{QLocale::c()};
    QStringList full;
    for (int i = 0; i < MaxEntries; ++i)
        full.append(makeEntryLine(QString::number(i), u"s", u"1"));
    lines.reset(full + QStringList{"one too many"});
    QCOMPARE(lines.size(), MaxEntries);
    QVERIFY(!lines.insert(lines.place("late")));
    QCOMPARE(lines.size(), MaxEntries);
    lines.remove(0);
    QVERIFY(lines.insert(lines.place("late")));
    QCOMPARE(lines.size(), MaxEntries);
}

void TestSortedLines::loadsAsInsertingOneByOne_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("threads");
    QTest::addColumn<QString>("arrangement");

    // A load must give exactly the order that inserting the lines one by
    // one in file order gives, equal lines ("smith" and "Smith" where case
    // is ignored) in file order: whether it sorts a shuffled file share by
    // share and merges, or finds a saved file in order and keeps it.
    for (const char* locale : {"en_US", "C"}) {
        for (const char* arrangement :
             {"shuffled", "sorted", "sorted, one line raised at a share's edge",
              "sorted, the first line moved to the end"}) {
            for (int threads : {1, 2}) {
                QTest::addRow("%s, %s, %d thread(s)", locale, arrangement, threads)
                    << locale << threads << arrangement;
            }
        }
    }
}

void TestSortedLines::loadsAsInsertingOneByOne()
{
    QFETCH(QString, locale);
    QFETCH(int, threads);
    QFETCH(QString, arrangement);

    // Accents, case variants and few distinct short names and phone numbers:
    // hundreds of lines that compare equal ("Smith" and "SMITH" with the same
    // fields) in a shuffled order, told apart only by their letter case.
    static const QStringList names{"smith",       "Smith",
                                   "SMITH",       QString::fromUtf8("Émile"),
                                   "emile",       QString::fromUtf8("Ångström"),
                                   "angstrom",    "van Dyk",
                                   "Van dyk",     QString::fromUtf8("Müller"),
                                   "Muller",      "zeta",
                                   "Smith-Jones", "O'Brien",
                                   "OBrien",      "1st Choice"};
    QRandomGenerator random(11);
    QStringList file;
    for (int i = 0; i < 7000; ++i)
        file.append(makeEntryLine(names.at(random.bounded(names.size())),
                                  QString::number(random.bounded(3)),
                                  QString::number(random.bounded(3))));
    const auto insertedOneByOne = [&](const QStringList& lines) {
        SortedLines list{QLocale(locale)};
        for (const QString& line : lines)
            list.insert(list.place(line));
        return list;
    };
    if (arrangement != QLatin1String("shuffled")) {
        // A file as this program saves it: in list order, equal lines in
        // the order they were inserted.
        file = insertedOneByOne(file).lines();
        const EntryOrder order{QLocale(locale)};
        if (arrangement.contains(QLatin1String("edge"))) {
            // Two shares meet in the middle when the lines are cut in two:
            // the first line there that sorts after its upper neighbour goes
            // up to stand before it, the one pair out of order in the file.
            const int edge = int(file.size()) / 2;
            int later = edge;
            while (order.compare(file.at(edge - 1), file.at(later)) == 0)
                ++later;
            file.move(later, edge - 1);
        } else if (arrangement.contains(QLatin1String("moved"))) {
            file.append(file.takeFirst());
        }
    }
    const SortedLines oneByOne = insertedOneByOne(file);

    const int before = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    SortedLines loaded{QLocale(locale)};
    loaded.reset(file);
    QThreadPool::globalInstance()->setMaxThreadCount(before);

    QCOMPARE(loaded.size(), int(file.size()));
    QCOMPARE(loaded.lines(), oneByOne.lines());
    if (arrangement == QLatin1String("sorted"))
        QCOMPARE(loaded.lines(), file);
    // Inserting into the loaded list goes on in the same order.
    const QString late = makeEntryLine("Smith", "1", "late");
    QCOMPARE(loaded.place(late).row, oneByOne.place(late).row);
}

void TestSortedLines::cLocaleSortsByTheRootCollation()
{
    // Under C or POSIX there is no language to collate by; code points would
    // put every accented capital after "Z" and "é" after "z".
    const QStringList families{"Zeta",
                               QString::fromUtf8("Ångström"),
                               QString::fromUtf8("émile"),
                               "Emile",
                               "Fabre",
                               "ADAMS",
                               "adam"};
    for (const QLocale& locale : {QLocale::c(), QLocale(QStringLiteral("POSIX"))}) {
        SortedLines lines{locale};
        for (const QString& family : families)
            QVERIFY(lines.insert(lines.place(makeEntryLine(family, u"", u""))));
        QStringList shown;
        for (const QString& line : lines.lines())
            shown.append(entryField(line, Field::Family));
        QCOMPARE(shown, (QStringList{"adam", "ADAMS", QString::fromUtf8("Ångström"), "Emile",
                                     QString::fromUtf8("émile"), "Fabre", "Zeta"}));
    }
}

QTEST_APPLESS_MAIN(TestSortedLines)
#include "test_sorted_lines.moc"
