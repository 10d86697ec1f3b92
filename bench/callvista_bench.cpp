#include "app/adr_list.h"
#include "core/entry_line.h"

#include <QApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

using namespace callvista;

static QStringList makeLines(int count)
{
    QRandomGenerator random(20261208);
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines.append(makeEntryLine(QStringLiteral("Name %1").arg(random.bounded(1000000)),
                                   QStringLiteral("S%1").arg(i),
                                   QString::number(random.bounded(1000000)), ColumnWidths{}));
    return lines;
}

static void BM_MakeNewItem(benchmark::State& state)
{
    const ColumnWidths widths;
    for (auto _ : state)
        benchmark::DoNotOptimize(makeEntryLine(QStringLiteral("  van der Berg "),
                                               QStringLiteral("Jan"),
                                               QStringLiteral("+31-20-555"), widths));
}
BENCHMARK(BM_MakeNewItem);

static void BM_InsertIntoFullList(benchmark::State& state)
{
    AdrList list;
    const QStringList lines = makeLines(int(state.range(0)) - 1);
    const QString extra = makeEntryLine(QStringLiteral("Müller"), QStringLiteral("Jo"),
                                        QStringLiteral("1"), ColumnWidths{});
    for (auto _ : state) {
        state.PauseTiming();
        list.setItems(lines);
        state.ResumeTiming();
        benchmark::DoNotOptimize(list.addItem(extra));
    }
}
BENCHMARK(BM_InsertIntoFullList)->Arg(1)->Arg(1000)->Arg(MaxEntries)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
