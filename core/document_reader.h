#pragma once

#include "core/entry_line.h"
#include "core/result.h"
#include "core/text_decoding.h"

#include <QByteArray>
#include <QStringList>

// The bytes of a document into entry lines, mending what the writer would
// not have written and reporting what it mended.
namespace callvista {

// What the reader had to do to make entries of a document that was not
// exactly what the writer writes. All zero or false for a well-formed one.
struct ReadReport {
    // Values longer than their column, cut to it.
    int shortenedValues = 0;
    // The file ended inside its last entry, whose missing fields are empty.
    bool completedLastEntry = false;
    // Lines whose bytes were valid neither in UTF-8 nor in the code page
    // and were read as Windows-1252.
    int windows1252Lines = 0;
};

struct DocumentEntries {
    // The entry lines, in the order of the file.
    QStringList lines;
    ReadReport report;
};

// The largest document the writer makes for MaxEntries entries with these
// widths, at four bytes per UTF-16 unit (the most any system encoding takes).
// A larger file is not a document and is refused before it is read.
[[nodiscard]] qint64 maxDocumentBytes(const ColumnWidths& widths = EntryWidths);

// The entry lines held by the bytes of a document, its text decoded as
// decodeText does. A line ends at CR LF, at a lone CR and at a lone LF.
// After the last text, every three blank lines are a blank entry and one or
// two left over are dropped; an entry that the file ends inside gets empty
// fields for its missing lines. A value wider than its column is cut to it.
// Refused, with a reason, when the bytes are more than maxDocumentBytes or
// hold more than MaxEntries entries; no more than MaxEntries lines are built
// either way.
Result<DocumentEntries> decodeDocument(const QByteArray& bytes,
                                       const ColumnWidths& widths = EntryWidths,
                                       const TextEncoding& encoding = {});

} // namespace callvista
