#include "core/document_reader.h"
#include "core/document_writer.h"
#include "core/entry_line.h"
#include "document_support.h"
#include "fuzz_checks.h"

#include <QByteArray>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

using namespace callvista;
using callvista::fuzzing::check;
using callvista::testing::isClean;

namespace {

// A field as a box can hold it: any characters, with blanks, bars, accents
// and pairs outside the basic plane more often than chance would give them.
QString randomField(FuzzedDataProvider& input, int width)
{
    QString field;
    const int length = input.ConsumeIntegralInRange(0, width + 2);
    for (int i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            field += u' ';
            break;
        case 1:
            field += u'|';
            break;
        case 2:
            field += QChar(0x00E9);
            break; // é
        case 3:
            field += QString::fromUcs4(U"\U0001F600");
            break;
        case 4:
            field += QChar(0xFEFF);
            break;
        case 5:
            field += QChar(input.ConsumeIntegralInRange<char16_t>(0, 0x7F));
            break;
        default: {
            const char32_t c = input.ConsumeIntegralInRange<char32_t>(0, 0x10FFFF);
            field += QString::fromUcs4(&c, 1);
            break;
        }
        }
    }
    return field;
}

// Entries built from the bytes as the dialogs build them, written and read
// again: the same list, blank entries and all, with nothing to report.
void roundTripEntries(const std::uint8_t* data, std::size_t size)
{
    constexpr ColumnWidths widths = EntryWidths;
    FuzzedDataProvider input(data, size);
    QStringList lines;
    while (input.remaining_bytes() > 0 && lines.size() < 64) {
        if (input.ConsumeBool()) {
            lines.append(makeEntryLine(QString(), QString(), QString(), widths));
            continue;
        }
        const QString family = randomField(input, widths.family);
        const QString shortName = randomField(input, widths.shortName);
        const QString phone = randomField(input, widths.phone);
        lines.append(makeEntryLine(family, shortName, phone, widths));
    }
    const Result<QByteArray> written = encodeDocument(lines, widths);
    check(written.ok(), "entries the dialogs build cannot be written");
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF)))
        return;
    const Result<DocumentEntries> read = decodeDocument(written.value(), widths);
    check(read.ok(), "written entries are refused");
    check(read->lines == lines, "written entries read back differently");
    check(isClean(read->report), "written entries read back with a report");
}

} // namespace

// Reads any bytes as a document, and builds entries from them for a
// round trip through the writer. Whatever is read must be well-formed entry
// lines that hold no line break and no half of a surrogate pair, and writing
// them and reading the result again must give the same lines with nothing to
// report.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr ColumnWidths widths = EntryWidths;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    roundTripEntries(data, size);
    const Result<DocumentEntries> read = decodeDocument(bytes, widths);
    if (!read.ok()) {
        check(!read.error().isEmpty(), "a document is refused without a reason");
        return 0;
    }
    callvista::fuzzing::checkEntryLines(read->lines, widths);

    const Result<QByteArray> written = encodeDocument(read->lines, widths);
    check(written.ok(), "what was read cannot be written");
    // A zero-width no-break space opening the document is written as the
    // bytes of a byte-order mark, which the reader drops.
    if (!read->lines.isEmpty() && read->lines.first().startsWith(QChar(0xFEFF)))
        return 0;
    const Result<DocumentEntries> again = decodeDocument(written.value(), widths);
    check(again.ok(), "what was written is refused");
    check(again->lines == read->lines, "what was written reads back differently");
    check(isClean(again->report), "what was written reads back with a report");
    return 0;
}
