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

// The encoding that a document is written in when it can store every
// character (else the document is written in UTF-8), and that a line which
// is not UTF-8 is read in. An empty name means the system's encoding: UTF-8
// on Linux, the ANSI code page on Windows; any other name is one that
// QStringEncoder and QStringDecoder know.
struct TextEncoding {
    QByteArray name;
};

// Where the system's encoding is UTF-8, the encoding of a line that is not
// valid UTF-8: the code page of documents written on Western Windows.
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
    // Lines whose bytes were valid neither in UTF-8 nor in the code page
    // and were read as Windows-1252.
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
// its line by position. The document is in the encoding when it stores every
// character, and in UTF-8 otherwise. Fails, with a reason naming the entry,
// when a field holds a line break or a character that UTF-8 cannot represent
// (half of a surrogate pair), and for more than MaxEntries lines: none of
// them could be read back.
[[nodiscard]] EncodedDocument encodeDocument(const QStringList& lines,
                                             const ColumnWidths& widths = EntryWidths,
                                             const TextEncoding& encoding = {});
// The same for the lines where the entry list keeps them.
[[nodiscard]] EncodedDocument encodeDocument(const SortedLines& lines,
                                             const ColumnWidths& widths = EntryWidths,
                                             const TextEncoding& encoding = {});

// The entry lines held by the bytes of a document. A byte-order mark of
// UTF-16 or UTF-32 names the encoding of the whole file when the rest reads
// cleanly in it; otherwise a file that is valid UTF-8 is read as UTF-8, and
// else each line that is not is read in the encoding (where that is not
// UTF-8) or as Windows-1252. A line ends at CR LF, at a lone CR and at a lone
// LF. After the last text, every three blank lines are a blank entry and one
// or two left over are dropped; an entry that the file ends inside gets empty
// fields for its missing lines. A value wider than its column is cut to it.
// Refused, with a reason, when the bytes are more than maxDocumentBytes or
// hold more than MaxEntries entries; no more than MaxEntries lines are built
// either way.
[[nodiscard]] DecodedDocument decodeDocument(const QByteArray& bytes, const ColumnWidths& widths = EntryWidths,
                                             const TextEncoding& encoding = {});

} // namespace callvista
