#include "app/main_window.h"
#include "core/contact_import.h"
#include "core/csv_writer.h"
#include "core/document_file.h"
#include "core/document_reader.h"
#include "core/document_writer.h"
#include "core/entry_line.h"
#include "core/entry_match.h"
#include "core/entry_order.h"
#include "core/recovery_store.h"
#include "core/sorted_lines.h"
#include "core/vcard_writer.h"
#include "widgets/entry_list.h"
#include "widgets/modal.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <malloc.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Measures the program at 1,000 and 32,767 entries, each beside a floor
// measured in the same run: the plain work that no implementation can avoid.
// The figures that matter are printed at the end, each with its floor and
// whether its target is met.

using namespace callvista;

namespace {

const std::vector<int> Sizes{1000, MaxEntries};

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A document in random order, as one from elsewhere might be, or one that
// this program saved, in list order.
QString documentName(int entries, bool saved = false)
{
    return (saved ? QStringLiteral("saved%1.CVA") : QStringLiteral("book%1.CVA")).arg(entries);
}

QString documentPath(int entries, bool saved = false)
{
    return folder().filePath(documentName(entries, saved));
}

// Realistic, deterministic entries in random order: family names with
// accents and inner blanks, short names, phone numbers.
QStringList makeEntries(int count)
{
    static const QStringList families{"Müller",  "van der Berg", "O'Brien",    "Ñúñez",
                                      "Smith",   "Łukasiewicz",  "de la Cruz", "Østergaard",
                                      "Dubois",  "Nakamura",     "Goldsmith",  "Émile Zola",
                                      "Schäfer", "Lefèvre"};
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

// Each size is written twice: in the random order of makeEntries, which
// reading has to sort, and in list order, as Save leaves it.
void writeDocuments()
{
    for (int size : Sizes) {
        const QStringList entries = makeEntries(size);
        SortedLines sorted;
        sorted.reset(entries);
        for (const auto& [saved, result] :
             {std::pair{false, writeDocumentFile(systemFileSystem(), documentPath(size), entries)},
              std::pair{true,
                        writeDocumentFile(systemFileSystem(), documentPath(size, true), sorted)}}) {
            if (!result.ok())
                qFatal("%s%s", saved ? "saved: " : "", qPrintable(result.error()));
        }
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

// Lets the loading of a document use that many threads; 0 is every core.
class Threads
{
public:
    explicit Threads(int count)
    {
        QThreadPool::globalInstance()->setMaxThreadCount(count > 0 ? count
                                                                   : QThread::idealThreadCount());
    }
    ~Threads() { QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount()); }
};

} // namespace

// The floor of reading: the file's bytes, decoded, split into lines, each
// entry's three lines joined into its padded line, and put in order by the
// list's one comparison on one thread: checked, and sorted when the check
// fails. That much a load cannot do without.
static void BM_ReadFloor(benchmark::State& state)
{
    const QString path = documentPath(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        const EntryOrder order;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        const QString text = QString::fromUtf8(file.readAll());
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        std::vector<QString> joined;
        joined.reserve(size_t(lines.size() / 3));
        for (qsizetype i = 0; i + 2 < lines.size(); i += 3)
            joined.push_back(lines.at(i).leftJustified(30) + u'|'
                             + lines.at(i + 1).leftJustified(20) + u'|'
                             + lines.at(i + 2).leftJustified(20));
        const auto less = [&](const QString& a, const QString& b) {
            return order.compare(a, b) < 0;
        };
        if (!std::is_sorted(joined.begin(), joined.end(), less))
            std::stable_sort(joined.begin(), joined.end(), less);
        benchmark::DoNotOptimize(joined.data());
    }
    perEntry(state);
}

static void BM_ReadIntoList(benchmark::State& state)
{
    const QString path = documentPath(int(state.range(0)), state.range(1) != 0);
    MainWindow window;
    showAndPaint(window);
    for (auto _ : state) {
        const Result<DocumentEntries> document = readDocumentFile(systemFileSystem(), path);
        entryList(window).setItems(document->lines);
        QCoreApplication::processEvents();
    }
    perEntry(state);
}

// File, Open, whole: the chooser, reading, the list and its first paint.
// The second argument is the number of threads the load may use, 0 for all;
// the third is 1 for the document in list order.
static void BM_Open(benchmark::State& state)
{
    const Threads threads(int(state.range(1)));
    MainWindow window;
    showAndPaint(window);
    chooseDocument(documentName(int(state.range(0)), state.range(2) != 0));
    for (auto _ : state) {
        runMenu(window, "OpenMenu");
        QCoreApplication::processEvents();
    }
    setModalDriver({});
    if (entryList(window).count() != state.range(0))
        state.SkipWithError("the document was not opened");
    perEntry(state);
}

// File, Save, whole, of an opened document.
static void BM_Save(benchmark::State& state)
{
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
    if (entryList(window).count() != state.range(0)
        || window.windowTitle() != QDir::toNativeSeparators(saved))
        state.SkipWithError("the document was not saved");
    perEntry(state);
}

// The copy of the unsaved changes that the session writes a moment after a
// change, of the same entries as BM_Save saves, as a document is saved too.
static void BM_RecoveryCopy(benchmark::State& state)
{
    SortedLines lines;
    lines.reset(makeEntries(int(state.range(0))));
    RecoveryStore store(systemFileSystem(), folder().filePath(QStringLiteral("recovery")));
    const FileSnapshot file{{qint64(lines.size()), 0}, digestOf("opened")};
    for (auto _ : state)
        if (!store.write(lines, documentPath(int(state.range(0))), file).ok())
            state.SkipWithError("cannot write");
    store.remove();
    perEntry(state);
}

// The floor of saving: one plain write of the same bytes into a file, flushed
// to the disk, as a save that must survive a crash is.
static void BM_SaveFloor(benchmark::State& state)
{
    const QByteArray bytes = encodeDocument(makeEntries(int(state.range(0)))).value();
    const QString path = folder().filePath(QStringLiteral("floor.CVA"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
            state.SkipWithError("cannot write");
    }
    perEntry(state);
}

// Where a save's time goes: turning the lines into bytes, and the writer
// with its temporary file, sync and rename.
static void BM_EncodeDocument(benchmark::State& state)
{
    const QStringList lines = makeEntries(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeDocument(lines).value().size());
    perEntry(state);
}

static void BM_WriteDocumentFile(benchmark::State& state)
{
    const QStringList lines = makeEntries(int(state.range(0)));
    const QString path = folder().filePath(QStringLiteral("written.CVA"));
    for (auto _ : state)
        if (!writeDocumentFile(systemFileSystem(), path, lines).ok())
            state.SkipWithError("cannot write");
    perEntry(state);
}

// The same entries as a vCard file from elsewhere, in the random order of
// makeEntries: N, FN, TEL and EMAIL on each card.
const QByteArray& vcardFile(int entries)
{
    static std::map<int, QByteArray> files;
    QByteArray& bytes = files[entries];
    if (!bytes.isEmpty())
        return bytes;
    for (const QString& line : makeEntries(entries)) {
        const QByteArray family = entryField(line, Field::Family).toUtf8();
        const QByteArray shortName = entryField(line, Field::Short).toUtf8();
        bytes += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + family + ";" + shortName
                 + ";;;\r\nFN:" + shortName + " " + family + "\r\nTEL;TYPE=CELL:"
                 + entryField(line, Field::Phone).toUtf8() + "\r\nEMAIL;TYPE=INTERNET:" + shortName
                 + "." + QByteArray::number(bytes.size()) + "@example.com\r\nEND:VCARD\r\n";
    }
    return bytes;
}

// The pure part of Open: a document's bytes decoded and put in order.
static void BM_DecodeDocumentSorted(benchmark::State& state)
{
    QFile file(documentPath(int(state.range(0))));
    if (!file.open(QIODevice::ReadOnly))
        state.SkipWithError("cannot read");
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        SortedLines lines;
        lines.reset(decodeDocument(bytes)->lines);
        benchmark::DoNotOptimize(lines.size());
    }
    perEntry(state);
}

// The pure part of Import into an empty list, beside it: the vCard read,
// the entries the list lacks found, and put in order.
static void BM_ImportVCardSorted(benchmark::State& state)
{
    const QByteArray& bytes = vcardFile(int(state.range(0)));
    for (auto _ : state) {
        const SortedLines empty;
        const Result<ContactImport> import = prepareImport(bytes, empty);
        if (!import.ok()) {
            state.SkipWithError("the cards were refused");
            break;
        }
        SortedLines lines;
        lines.reset(import->lines);
        if (lines.size() != state.range(0))
            state.SkipWithError("the cards were not read");
    }
    state.counters["MiB"] = double(bytes.size()) / (1024.0 * 1024.0);
    perEntry(state);
}

// Reading alone, and the CSV reader on the same entries as this program
// exports them.
static void BM_ReadVCard(benchmark::State& state)
{
    const QByteArray& bytes = vcardFile(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(readContacts(bytes)->entries.lines.size());
    perEntry(state);
}

static void BM_ReadCsv(benchmark::State& state)
{
    SortedLines sorted;
    sorted.reset(makeEntries(int(state.range(0))));
    const QByteArray bytes = encodeCsv(sorted);
    for (auto _ : state)
        benchmark::DoNotOptimize(readContacts(bytes)->entries.lines.size());
    perEntry(state);
}

// Export's encoding, beside the document's from the same list.
static void BM_EncodeVCard(benchmark::State& state)
{
    SortedLines sorted;
    sorted.reset(makeEntries(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeVCard(sorted).size());
    perEntry(state);
}

static void BM_EncodeCsv(benchmark::State& state)
{
    SortedLines sorted;
    sorted.reset(makeEntries(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeCsv(sorted).size());
    perEntry(state);
}

static void BM_EncodeSortedDocument(benchmark::State& state)
{
    SortedLines sorted;
    sorted.reset(makeEntries(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeDocument(sorted).value().size());
    perEntry(state);
}

// Find Next through a list where nothing matches: every entry is tested.
static void BM_FindScan(benchmark::State& state)
{
    EntryList list;
    list.setItems(makeEntries(int(state.range(0))));
    const Search search{{QStringLiteral("no such name"), QString(), QString()}, {}};
    for (auto _ : state)
        benchmark::DoNotOptimize(findEntry(list.lines(), -1, search));
    perEntry(state);
}

// The floor of a scan: one pass over the same stored lines, reading each
// line's three fields and nothing more.
static void BM_FindFloor(benchmark::State& state)
{
    EntryList list;
    list.setItems(makeEntries(int(state.range(0))));
    const SortedLines& lines = list.lines();
    for (auto _ : state) {
        qsizetype total = 0;
        benchmark::DoNotOptimize(lines.findIn(0, lines.size(), [&](const QString& line) {
            for (const Field field : {Field::Family, Field::Short, Field::Phone})
                total += trimSpacesView(entryColumn(line, field)).size();
            return false;
        }));
        benchmark::DoNotOptimize(total);
    }
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
    const QString extra =
        makeEntryLine(QStringLiteral("Müller"), QStringLiteral("Jo"), QStringLiteral("1"));
    for (auto _ : state) {
        list.addItem(extra);
        state.PauseTiming();
        for (int row = 0; row < list.count(); ++row) {
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
        entryList(*window).setItems(readDocumentFile(systemFileSystem(), path)->lines);
        QCoreApplication::processEvents();
        state.PauseTiming();
        state.counters["added_MiB"] = (heapBytes() - before) / (1024.0 * 1024.0);
        window.reset();
        state.ResumeTiming();
    }
}

// The least time of three repetitions: on a shared machine the other load
// only ever adds time. Wall-clock time throughout, since saving waits on the
// disk, not on the processor.
double leastOf(const std::vector<double>& times)
{
    return times.empty() ? 0.0 : *std::min_element(times.begin(), times.end());
}

#define CALLVISTA_MEASURE                                                                          \
    ->Unit(benchmark::kMillisecond)                                                                \
        ->UseRealTime()                                                                            \
        ->MinTime(0.1)                                                                             \
        ->Repetitions(3)                                                                           \
        ->ComputeStatistics("min", leastOf)                                                        \
        ->ReportAggregatesOnly(true)
#define CALLVISTA_SIZES ->Arg(1000)->Arg(MaxEntries) CALLVISTA_MEASURE
// Random order, and (second argument 1) list order.
#define CALLVISTA_ORDERS                                                                           \
    ->Args({1000, 0})->Args({MaxEntries, 0})->Args({MaxEntries, 1}) CALLVISTA_MEASURE
BENCHMARK(BM_ReadFloor) CALLVISTA_ORDERS;
BENCHMARK(BM_ReadIntoList) CALLVISTA_ORDERS;
BENCHMARK(BM_Open)
    ->Args({1000, 0, 0})
    ->Args({MaxEntries, 0, 0})
    ->Args({MaxEntries, 1, 0})
    ->Args({MaxEntries, 0, 1}) CALLVISTA_MEASURE;
BENCHMARK(BM_Save) CALLVISTA_SIZES;
BENCHMARK(BM_SaveFloor) CALLVISTA_SIZES;
BENCHMARK(BM_RecoveryCopy) CALLVISTA_SIZES;
BENCHMARK(BM_EncodeDocument) CALLVISTA_SIZES;
BENCHMARK(BM_WriteDocumentFile) CALLVISTA_SIZES;
BENCHMARK(BM_DecodeDocumentSorted) CALLVISTA_SIZES;
BENCHMARK(BM_ImportVCardSorted) CALLVISTA_SIZES;
BENCHMARK(BM_ReadVCard) CALLVISTA_SIZES;
BENCHMARK(BM_ReadCsv) CALLVISTA_SIZES;
BENCHMARK(BM_EncodeSortedDocument) CALLVISTA_SIZES;
BENCHMARK(BM_EncodeVCard) CALLVISTA_SIZES;
BENCHMARK(BM_EncodeCsv) CALLVISTA_SIZES;
BENCHMARK(BM_FindScan) CALLVISTA_SIZES;
BENCHMARK(BM_FindFloor) CALLVISTA_SIZES;
BENCHMARK(BM_InsertIntoFullList) CALLVISTA_SIZES;
BENCHMARK(BM_MakeEntryLine)->Unit(benchmark::kMicrosecond)->MinTime(0.2);
BENCHMARK(BM_StartUp) CALLVISTA_MEASURE;
BENCHMARK(BM_StartUpFloor) CALLVISTA_MEASURE;
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
            // A repeated benchmark counts by its least time, one run once
            // by its own.
            const bool repeated = run.run_type == Run::RT_Aggregate;
            if (run.error_occurred || (repeated && run.aggregate_name != "min"))
                continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            ms[name] = run.GetAdjustedRealTime()
                       * (run.time_unit == benchmark::kMillisecond   ? 1.0
                          : run.time_unit == benchmark::kMicrosecond ? 1e-3
                                                                     : 1e-6);
            for (const auto& [key, counter] : run.counters)
                counters[name + "/" + key] = counter.value;
        }
    }
};

void printTargets(const KeepingReporter& r)
{
    const auto at = [&](const std::string& name) {
        const auto found = r.ms.find(name);
        return found == r.ms.end() ? 0.0 : found->second;
    };
    // Built by insert: GCC 12 warns, wrongly, of an overlap in "/" + string.
    std::string big = std::to_string(MaxEntries);
    big.insert(big.begin(), '/');
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    const auto perEntryGrowth = [&](const std::string& name) {
        return ratio(at(name + big) / MaxEntries, at(name + "/1000") / 1000.0);
    };
    const auto verdict = [](bool met) { return met ? "met" : "missed"; };
    const auto line = [&](const char* what, double figure, const char* unit, double floor,
                          const char* target, bool met) {
        std::printf("  %-46s %9.3f %-3s floor %9.3f ms  %-12s %s\n", what, figure, unit, floor,
                    target, verdict(met));
    };

    const double find = at("BM_FindScan" + big);
    const double findGrowth = perEntryGrowth("BM_FindScan");
    const double openAll = at("BM_Open" + big + "/0/0");
    const double openOne = at("BM_Open" + big + "/1/0");
    const double openSaved = at("BM_Open" + big + "/0/1");
    const double readFloor = at("BM_ReadFloor" + big + "/0");
    const double readFloorSaved = at("BM_ReadFloor" + big + "/1");
    const double save = at("BM_Save" + big);
    const double saveFloor = at("BM_SaveFloor" + big);
    const double read = at("BM_ReadIntoList" + big + "/0");
    const double readSaved = at("BM_ReadIntoList" + big + "/1");
    const auto memory = r.counters.find("BM_ListMemory/added_MiB");
    const double mib = memory == r.counters.end() ? 0.0 : memory->second;

    std::printf("\nTargets at %d entries, on %d cores\n", MaxEntries, QThread::idealThreadCount());
    line("Find Next, no match", find, "ms", at("BM_FindFloor" + big), "< 2 ms",
         find > 0 && find < 2.0);
    line("Find: cost per entry at 32767 / at 1000", findGrowth, "x", at("BM_FindFloor" + big),
         "<= 1.3 x", findGrowth > 0 && findGrowth <= 1.3);
    line("Open, all cores / single-thread floor", ratio(openAll, readFloor), "x", readFloor,
         "<= 1.2 x", openAll > 0 && ratio(openAll, readFloor) <= 1.2);
    std::printf("  %-46s %9.3f ms  all cores %9.3f ms  (%.2f x faster)\n", "Open, 1 thread",
                openOne, openAll, ratio(openOne, openAll));
    line("Save / plain write flushed to disk", ratio(save, saveFloor), "x", saveFloor, "<= 3 x",
         save > 0 && ratio(save, saveFloor) <= 3.0);
    const double copy = at("BM_RecoveryCopy" + big);
    line("Recovery copy / Save of the same entries", ratio(copy, save), "x", save, "<= 1.2 x",
         copy > 0 && ratio(copy, save) <= 1.2);
    std::printf("  %-46s %9.3f ms  encoding %.3f ms, writer with its file %.3f ms\n",
                "Save, whole command", save, at("BM_EncodeDocument" + big),
                at("BM_WriteDocumentFile" + big));
    line("Reading into the list / its floor", ratio(read, readFloor), "x", readFloor, "<= 1.8 x",
         read > 0 && ratio(read, readFloor) <= 1.8);
    line("Open of a saved document / single-thread floor", ratio(openSaved, readFloorSaved), "x",
         readFloorSaved, "<= 1.2 x", openSaved > 0 && ratio(openSaved, readFloorSaved) <= 1.2);
    line("Reading a saved document / its floor", ratio(readSaved, readFloorSaved), "x",
         readFloorSaved, "<= 1.8 x", readSaved > 0 && ratio(readSaved, readFloorSaved) <= 1.8);
    std::printf("  %-46s %9.3f MiB                         %-12s %s\n",
                "Memory held by the loaded list", mib, "<= 14 MiB",
                verdict(mib > 0 && mib <= 14.0));

    std::printf("Other figures\n");
    std::printf("  %-46s %9.3f ms  (saved, in list order: %.3f ms)\n",
                "Open, whole command, all cores", openAll, openSaved);
    std::printf("  %-46s %9.3f us  (%.3f us at 1000)\n", "Inserting one entry into a full list",
                1000.0 * at("BM_InsertIntoFullList" + big),
                1000.0 * at("BM_InsertIntoFullList/1000"));
    std::printf("  %-46s %9.3f ms  (empty window %.3f ms)\n", "Start-up to the first paint",
                at("BM_StartUp"), at("BM_StartUpFloor"));
    // The parts of Import and Export that need no file, each beside the
    // same part of Open and Save; the whole commands are to take at most
    // twice Open and Save.
    const double importSorted = at("BM_ImportVCardSorted" + big);
    const double decodeSorted = at("BM_DecodeDocumentSorted" + big);
    const double encodeVCard = at("BM_EncodeVCard" + big);
    const double encodeSorted = at("BM_EncodeSortedDocument" + big);
    const auto cards = r.counters.find("BM_ImportVCardSorted" + big + "/MiB");
    std::printf("  %-46s %9.3f ms  document decoded and sorted %.3f ms (%.2f x)\n",
                "vCard read, new entries found, sorted", importSorted, decodeSorted,
                ratio(importSorted, decodeSorted));
    std::printf("  %-46s %9.3f ms  of %.2f MiB of cards\n", "  of which reading the vCard",
                at("BM_ReadVCard" + big), cards == r.counters.end() ? 0.0 : cards->second);
    std::printf("  %-46s %9.3f ms  document encoded %.3f ms (%.2f x)\n", "vCard encoded",
                encodeVCard, encodeSorted, ratio(encodeVCard, encodeSorted));
    std::printf("  %-46s %9.3f ms  read %.3f ms\n", "CSV of the same entries encoded",
                at("BM_EncodeCsv" + big), at("BM_ReadCsv" + big));
    std::printf("  Cost per entry at %d / at 1000:", MaxEntries);
    for (const char* name : {"BM_ReadIntoList", "BM_Open", "BM_Save", "BM_FindScan"}) {
        const std::string base = name;
        const double growth =
            base == "BM_Open"
                ? ratio(at(base + big + "/0/0") / MaxEntries, at(base + "/1000/0/0") / 1000.0)
            : base == "BM_ReadIntoList"
                ? ratio(at(base + big + "/0") / MaxEntries, at(base + "/1000/0") / 1000.0)
                : perEntryGrowth(base);
        std::printf(" %s %.2f x;", name + 3, growth);
    }
    std::printf("\n");
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
    printTargets(reporter);
    benchmark::Shutdown();
    return 0;
}
