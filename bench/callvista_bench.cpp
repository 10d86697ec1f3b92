#include "app/main_window.h"
#include "core/document_file.h"
#include "core/document_format.h"
#include "core/entry_line.h"
#include "core/entry_match.h"
#include "core/entry_order.h"
#include "widgets/entry_list.h"
#include "widgets/modal.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <malloc.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Measures the program at 1, 1,000 and 32,767 entries, each beside a floor
// measured in the same run: the plain work that no implementation can avoid.
// The figures that matter are the ratios printed at the end.

using namespace callvista;

namespace {

const std::vector<int> Sizes{1, 1000, MaxEntries};

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString documentPath(int entries)
{
    return folder().filePath(QStringLiteral("book%1.CVA").arg(entries));
}

// Realistic, deterministic entries in random order: family names with
// accents and inner blanks, short names, phone numbers.
QStringList makeEntries(int count)
{
    static const QStringList families{
        "Müller", "van der Berg", "O'Brien", "Ñúñez", "Smith", "Łukasiewicz", "de la Cruz",
        "Østergaard", "Dubois", "Nakamura", "Goldsmith", "Émile Zola", "Schäfer", "Lefèvre"};
    static const QStringList shorts{"Ann", "Tom", "Jörg", "Zoë", "Jan", "Li", "François", "Eva"};
    QRandomGenerator random(20261208);
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString family = families.at(random.bounded(families.size())) + QLatin1Char(' ')
                               + QString::number(random.bounded(100000));
        const QString phone = QStringLiteral("+%1-%2-%3")
                                  .arg(random.bounded(1, 99))
                                  .arg(random.bounded(100, 999))
                                  .arg(random.bounded(10000, 99999));
        lines.append(makeEntryLine(family, shorts.at(random.bounded(shorts.size())), phone));
    }
    return lines;
}

void writeDocuments()
{
    for (int size : Sizes) {
        const auto result = writeDocumentFile(documentPath(size), makeEntries(size));
        if (!result.ok())
            qFatal("%s", qPrintable(result.error));
    }
}

// Runs events until the widget has been painted once.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

void showAndPaint(QWidget& window)
{
    PaintWatch watch(&window);
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (!watch.painted && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Bytes the process holds from the heap, whether in small blocks or in
// blocks of their own.
double heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks) + double(info.hblkhd);
}

void perEntry(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

EntryList& entryList(const QWidget& window)
{
    return *window.findChild<EntryList*>(QStringLiteral("AdrList"));
}

void runMenu(const QWidget& window, const char* item)
{
    window.findChild<QAction*>(QLatin1String(item))->trigger();
}

// Answers the Open chooser as a person would: the document's name, then the
// action button. The documents lie in the current folder.
void chooseDocument(const QString& name)
{
    setModalDriver([name](QDialog& chooser) {
        chooser.findChild<QLineEdit*>(QStringLiteral("boxFileName"))->setText(name);
        chooser.findChild<QPushButton*>(QStringLiteral("btnAction"))->click();
    });
}

} // namespace

static void BM_ReadIntoList(benchmark::State& state)
{
    const QString path = documentPath(int(state.range(0)));
    MainWindow window;
    showAndPaint(window);
    for (auto _ : state) {
        const DecodedDocument document = readDocumentFile(path);
        entryList(window).setItems(document.lines);
        QCoreApplication::processEvents();
    }
    perEntry(state);
}

static void BM_ReadFloor(benchmark::State& state)
{
    const QString path = documentPath(int(state.range(0)));
    const EntryOrder order;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        const QString text = QString::fromUtf8(file.readAll());
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        std::vector<std::pair<EntryOrder::Key, QString>> keyed;
        keyed.reserve(size_t(lines.size() / 3));
        for (qsizetype i = 0; i + 2 < lines.size(); i += 3)
            keyed.emplace_back(order.key(lines.at(i)), lines.at(i));
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
        benchmark::DoNotOptimize(keyed.data());
    }
    perEntry(state);
}

static void BM_Open(benchmark::State& state)
{
    MainWindow window;
    showAndPaint(window);
    chooseDocument(QFileInfo(documentPath(int(state.range(0)))).fileName());
    for (auto _ : state) {
        runMenu(window, "OpenMenu");
        QCoreApplication::processEvents();
    }
    setModalDriver({});
    if (entryList(window).listCount() != state.range(0))
        state.SkipWithError("the document was not opened");
    perEntry(state);
}

static void BM_Save(benchmark::State& state)
{
    // The document is opened, so that Save has a file to write to.
    const QString path = documentPath(int(state.range(0)));
    const QString saved = folder().filePath(QStringLiteral("saved.CVA"));
    QFile::remove(saved);
    QFile::copy(path, saved);
    MainWindow window;
    chooseDocument(QStringLiteral("saved.CVA"));
    runMenu(window, "OpenMenu");
    setModalDriver({});
    for (auto _ : state)
        runMenu(window, "SaveMenu");
    if (entryList(window).listCount() != state.range(0) || window.windowTitle() != QDir::toNativeSeparators(saved))
        state.SkipWithError("the document was not saved");
    perEntry(state);
}

static void BM_SaveFloor(benchmark::State& state)
{
    const QByteArray bytes =
        encodeDocument(makeEntries(int(state.range(0)))).bytes;
    const QString path = folder().filePath(QStringLiteral("floor.CVA"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write");
    }
    perEntry(state);
}

static void BM_EncodeDocument(benchmark::State& state)
{
    const QStringList lines = makeEntries(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeDocument(lines).bytes.size());
    perEntry(state);
}

// The plain write of the floor, flushed to the disk as a save that must
// survive a crash is: the part of Save that the atomic replace costs.
static void BM_SaveFloorSynced(benchmark::State& state)
{
    const QByteArray bytes =
        encodeDocument(makeEntries(int(state.range(0)))).bytes;
    const QString path = folder().filePath(QStringLiteral("floor.CVA"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
            || !file.flush() || ::fsync(file.handle()) != 0)
            state.SkipWithError("cannot write");
    }
    perEntry(state);
}

static void BM_FindScan(benchmark::State& state)
{
    EntryList list;
    list.setItems(makeEntries(int(state.range(0))));
    const Search search{{QStringLiteral("no such name"), QString(), QString()}, {}};
    for (auto _ : state)
        benchmark::DoNotOptimize(findEntry(list.lines(), -1, search));
    perEntry(state);
}

static void BM_MakeEntryLine(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(makeEntryLine(QStringLiteral("  van der Berg "),
                                               QStringLiteral("Jan"),
                                               QStringLiteral("+31-20-555")));
}

static void BM_InsertIntoFullList(benchmark::State& state)
{
    EntryList list;
    list.setItems(makeEntries(int(state.range(0)) - 1));
    const QString extra = makeEntryLine(QStringLiteral("Müller"), QStringLiteral("Jo"),
                                        QStringLiteral("1"));
    for (auto _ : state) {
        list.addItem(extra);
        state.PauseTiming();
        for (int row = 0; row < list.listCount(); ++row) {
            if (list.itemText(row) == extra) {
                list.removeItem(row);
                break;
            }
        }
        state.ResumeTiming();
    }
}

static void BM_StartUp(benchmark::State& state)
{
    for (auto _ : state) {
        auto window = std::make_unique<MainWindow>();
        showAndPaint(*window);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

static void BM_StartUpFloor(benchmark::State& state)
{
    for (auto _ : state) {
        auto window = std::make_unique<QMainWindow>();
        showAndPaint(*window);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

static void BM_ListMemory(benchmark::State& state)
{
    const QString path = documentPath(MaxEntries);
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<MainWindow>();
        showAndPaint(*window);
        const double before = heapBytes();
        state.ResumeTiming();
        entryList(*window).setItems(readDocumentFile(path).lines);
        QCoreApplication::processEvents();
        state.PauseTiming();
        state.counters["added_MiB"] = (heapBytes() - before) / (1024.0 * 1024.0);
        window.reset();
        state.ResumeTiming();
    }
}

#define CALLVISTA_SIZES ->Arg(1)->Arg(1000)->Arg(MaxEntries)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ReadIntoList) CALLVISTA_SIZES;
BENCHMARK(BM_ReadFloor) CALLVISTA_SIZES;
BENCHMARK(BM_Open) CALLVISTA_SIZES;
BENCHMARK(BM_Save) CALLVISTA_SIZES;
BENCHMARK(BM_SaveFloor) CALLVISTA_SIZES;
BENCHMARK(BM_SaveFloorSynced) CALLVISTA_SIZES;
BENCHMARK(BM_EncodeDocument) CALLVISTA_SIZES;
BENCHMARK(BM_FindScan) CALLVISTA_SIZES;
BENCHMARK(BM_InsertIntoFullList) CALLVISTA_SIZES;
BENCHMARK(BM_MakeEntryLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

namespace {

// Keeps every run's time per iteration, in milliseconds, by name.
class KeepingReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> ms;
    std::map<std::string, double> counters;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const std::string name = run.benchmark_name();
            ms[name] = run.GetAdjustedRealTime()
                       * (run.time_unit == benchmark::kMillisecond ? 1.0
                          : run.time_unit == benchmark::kMicrosecond ? 1e-3
                                                                      : 1e-6);
            for (const auto& [key, counter] : run.counters)
                counters[name + "/" + key] = counter.value;
        }
    }
};

void printRatios(const KeepingReporter& r)
{
    const auto at = [&](const std::string& name) {
        const auto found = r.ms.find(name);
        return found == r.ms.end() ? 0.0 : found->second;
    };
    std::string big = std::to_string(MaxEntries);
    big.insert(big.begin(), '/');
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    const auto perEntryGrowth = [&](const std::string& name) {
        return ratio(at(name + big) / MaxEntries, at(name + "/1000") / 1000.0);
    };
    std::printf("\nTargets at %d entries\n", MaxEntries);
    std::printf("  %-44s %8.2f ms (target < 150)\n", "Open", at("BM_Open" + big));
    std::printf("  %-44s %8.2f x   (target <= 2)\n", "Open / read floor",
                ratio(at("BM_Open" + big), at("BM_ReadFloor" + big)));
    std::printf("  %-44s %8.2f x   (target <= 2)\n", "Read into list / read floor",
                ratio(at("BM_ReadIntoList" + big), at("BM_ReadFloor" + big)));
    std::printf("  %-44s %8.2f x   (target <= 2)\n", "Save / write floor",
                ratio(at("BM_Save" + big), at("BM_SaveFloor" + big)));
    std::printf("  %-44s %8.2f x\n", "Save / write floor flushed to disk",
                ratio(at("BM_Save" + big), at("BM_SaveFloorSynced" + big)));
    std::printf("  %-44s %8.3f ms (target < 5)\n", "Full Find scan", at("BM_FindScan" + big));
    std::printf("  %-44s %8.2f x   (target <= 1.5)\n", "Start-up / empty window",
                ratio(at("BM_StartUp"), at("BM_StartUpFloor")));
    const auto memory = r.counters.find("BM_ListMemory/iterations:1/added_MiB");
    std::printf("  %-44s %8.2f MiB (target <= 20)\n", "Memory added by the loaded list",
                memory == r.counters.end() ? 0.0 : memory->second);
    std::printf("Cost per entry at %d / at 1000 (target <= 2)\n", MaxEntries);
    for (const char* name : {"BM_ReadIntoList", "BM_Open", "BM_Save", "BM_FindScan"})
        std::printf("  %-44s %8.2f x\n", name, perEntryGrowth(name));
    std::printf("  %-44s %8.2f x\n", "BM_InsertIntoFullList (one entry, by size)",
                ratio(at("BM_InsertIntoFullList" + big), at("BM_InsertIntoFullList/1000")));
}

// The offscreen platform warns at every fixed-size window it shows.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    // The list collates as a user's list does, not in the C locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (!folder().isValid())
        return 1;
    writeDocuments();
    QDir::setCurrent(folder().path());
    benchmark::Initialize(&argc, argv);
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
