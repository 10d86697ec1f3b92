#pragma once

#include "core/entry_line.h"
#include "core/sorted_lines.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// A document is plain text: three lines per entry (family name, short name,
// phone number, each without its padding), CR LF after every line, in the
// order of the list, no header and no byte-order mark. These functions turn
// entry lines into the bytes of a document and back, without touching a file.
namespace callvista {

// The extension of a document's file name, without the dot.
inline constexpr QStringView DocumentExtension = u"CVA";

// The encoding that a document is written and first read in. An empty name
// means the system's encoding; any other name is one that QStringEncoder and
// QStringDecoder know.
struct TextEncoding {
    QByteArray name;
};

// The encoding a document falls back to when its bytes are not valid in the
// first one: the code page of documents written on Windows.
inline constexpr char FallbackEncodingName[] = "windows-1252";

struct EncodedDocument {
    QByteArray bytes;
    // Why the document cannot be written; empty when it can.
    QString error;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// What the reader had to do to make entries of a document that was not
// exactly what the writer writes. All zero or false for a well-formed one.
struct ReadReport {
    // Values longer than their column, cut to it.
    int shortenedValues = 0;
    // The file ended inside its last entry, whose missing fields are empty.
    bool completedLastEntry = false;
    // Lines whose bytes were not valid in the first encoding and were read
    // as Windows-1252.
    int windows1252Lines = 0;

    [[nodiscard]] bool isClean() const
    {
        return shortenedValues == 0 && !completedLastEntry && windows1252Lines == 0;
    }
};

struct DecodedDocument {
    // Why the document was refused; empty when it was read.
    QString refusal;
    // The entry lines, in the order of the file; empty when refused.
    QStringList lines;
    ReadReport report;

    [[nodiscard]] bool ok() const { return refusal.isEmpty(); }
};

// The largest document the writer makes for MaxEntries entries with these
// widths, at four bytes per UTF-16 unit (the most any system encoding takes).
// A larger file is not a document and is refused before it is read.
[[nodiscard]] qint64 maxDocumentBytes(const ColumnWidths& widths = EntryWidths);

// The bytes of a document holding these entry lines. Each field is cut from
// its line by position. Fails, with a reason naming the entry, when a field
// holds a line break or a character that the encoding cannot represent, and
// for more than MaxEntries lines: none of them could be read back.
[[nodiscard]] EncodedDocument encodeDocument(const QStringList& lines,
                                             const ColumnWidths& widths = EntryWidths,
                                             const TextEncoding& encoding = {});
// The same for the lines where the entry list keeps them.
[[nodiscard]] EncodedDocument encodeDocument(const SortedLines& lines,
                                             const ColumnWidths& widths = EntryWidths,
                                             const TextEncoding& encoding = {});

// The entry lines held by the bytes of a document. A byte-order mark of
// UTF-16 or UTF-32 names the encoding of the whole file when the rest reads
// cleanly in it; otherwise the whole file is read in the first encoding, or,
// where it is not valid there, each line on its own, as Windows-1252 where
// its bytes are not valid in the first. A line ends at CR LF, at a lone CR
// and at a lone LF. After the last text, every three blank lines are a blank
// entry and one or two left over are dropped; an entry that the file ends
// inside gets empty fields for its missing lines. A value wider than its
// column is cut to it. Refused, with a reason, when the bytes are more than
// maxDocumentBytes or hold more than MaxEntries entries; no more than
// MaxEntries lines are built either way.
[[nodiscard]] DecodedDocument decodeDocument(const QByteArray& bytes, const ColumnWidths& widths = EntryWidths,
                                             const TextEncoding& encoding = {});

} // namespace callvista
