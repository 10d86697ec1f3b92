#include "core/document_format.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace callvista;

namespace {

void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "document reader: %s\n", what);
    std::abort();
}

bool holdsHalfAPair(const QString& line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate())
            ++i;
        else if (line.at(i).isSurrogate())
            return true;
    }
    return false;
}

} // namespace

// Reads any bytes as a document. Whatever is read must be well-formed entry
// lines that hold no line break and no half of a surrogate pair, and writing
// them and reading the result again must give the same lines with nothing to
// report.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr ColumnWidths widths = EntryWidths;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedDocument read = decodeDocument(bytes, widths);
    if (!read.ok()) {
        check(read.lines.isEmpty(), "a refused document has entries");
        return 0;
    }
    check(read.lines.size() <= MaxEntries, "more entries than a document holds");
    for (const QString& line : read.lines) {
        check(line.size() == widths.lineLength(), "an entry line of the wrong length");
        check(line.at(widths.family) == u'|', "first separator out of place");
        check(line.at(widths.family + widths.shortName + 1) == u'|', "second separator out of place");
        check(!line.contains(u'\r') && !line.contains(u'\n'), "an entry line holds a line break");
        check(!holdsHalfAPair(line), "an entry line holds half of a surrogate pair");
    }

    const EncodedDocument written = encodeDocument(read.lines, widths);
    check(written.ok(), "what was read cannot be written");
    // A zero-width no-break space opening the document is written as the
    // bytes of a byte-order mark, which the reader drops.
    if (!read.lines.isEmpty() && read.lines.first().startsWith(QChar(0xFEFF)))
        return 0;
    const DecodedDocument again = decodeDocument(written.bytes, widths);
    check(again.ok(), "what was written is refused");
    check(again.lines == read.lines, "what was written reads back differently");
    check(again.report.isClean(), "what was written reads back with a report");
    return 0;
}
