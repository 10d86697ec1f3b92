#pragma once

#include "core/document_reader.h"
#include "core/document_writer.h"

#include <QIODevice>

// The document format as the tests hold it: Qt Core only, for the core
// tests and the reader's fuzzer.
namespace callvista::testing {

// True when the reader mended nothing: the document was exactly what the
// writer writes.
inline bool isClean(const ReadReport& report)
{
    return report.shortenedValues == 0 && !report.completedLastEntry
           && report.windows1252Lines == 0;
}

// Encodes the lines and writes the document to the open device, as saving
// does through the temporary file.
template <typename Lines>
Result<void> writeDocument(QIODevice& device, const Lines& lines,
                           const ColumnWidths& widths = EntryWidths,
                           const TextEncoding& encoding = {})
{
    const Result<QByteArray> bytes = encodeDocument(lines, widths, encoding);
    if (!bytes.ok())
        return Failure{bytes.error()};
    return writeBytes(device, bytes.value());
}

} // namespace callvista::testing
