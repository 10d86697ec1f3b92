// Times the list's one comparison where it runs, without Google Benchmark so
// that it builds and runs for Windows (under wine) as on Linux: the cost of
// one EntryOrder::compare beside a case-blind QString::compare (the floor: no
// collation at all), and what a full list costs through it: loading a saved
// document (checked, kept), loading a shuffled one (sorted) and inserting
// every line one by one. Each figure is the least of a few runs.
#include "core/entry_line.h"
#include "core/entry_order.h"
#include "core/sorted_lines.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace callvista;

namespace {

double leastMilliseconds(int runs, const std::function<void()>& work)
{
    double least = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        least = std::min(least, double(timer.nsecsElapsed()) / 1e6);
    }
    return least;
}

QStringList fullList()
{
    static const QStringList families{
        "Smith",  "smith", "SMITH", "Smith-Jones", "O'Brien", "Adams",      "van Dyk", "Müller",
        "Muller", "Émile", "emile", "Ångström",    "Zeta",    "1st Choice", "Baker",   "Nguyen"};
    QRandomGenerator random(3);
    QStringList lines;
    for (int i = 0; i < MaxEntries; ++i)
        lines.append(makeEntryLine(families.at(random.bounded(families.size())),
                                   QString::number(random.bounded(5000)),
                                   QString::number(random.bounded(1000000))));
    return lines;
}

} // namespace

int main()
{
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const EntryOrder order{locale};
    const QStringList shuffled = fullList();
    SortedLines sortedList{locale};
    sortedList.reset(shuffled);
    const QStringList saved = sortedList.lines();

    constexpr int Pairs = 200000;
    int sink = 0;
    const double collated = leastMilliseconds(3, [&] {
        for (int i = 0; i < Pairs; ++i)
            sink +=
                order.compare(shuffled.at(i % MaxEntries), shuffled.at((i * 7 + 1) % MaxEntries));
    });
    const double plain = leastMilliseconds(3, [&] {
        for (int i = 0; i < Pairs; ++i)
            sink += QString::compare(shuffled.at(i % MaxEntries),
                                     shuffled.at((i * 7 + 1) % MaxEntries), Qt::CaseInsensitive);
    });
    std::printf("one comparison, EntryOrder::compare      %8.1f ns\n", collated * 1e6 / Pairs);
    std::printf("one comparison, QString case-blind floor %8.1f ns\n", plain * 1e6 / Pairs);

    const auto load = [&](const QStringList& lines) {
        return leastMilliseconds(3, [&] {
            SortedLines list{locale};
            list.reset(lines);
            sink += list.size();
        });
    };
    std::printf("load %d saved lines (checked, kept)   %8.1f ms\n", int(MaxEntries), load(saved));
    std::printf("load %d shuffled lines (sorted)       %8.1f ms\n", int(MaxEntries),
                load(shuffled));
    const double inserted = leastMilliseconds(1, [&] {
        SortedLines list{locale};
        for (const QString& line : shuffled)
            list.insert(list.place(line));
        sink += list.size();
    });
    std::printf("insert %d lines one by one            %8.1f ms\n", int(MaxEntries), inserted);
    return sink == 42 ? 1 : 0;
}
