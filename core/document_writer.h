#pragma once

#include "core/entry_line.h"
#include "core/result.h"
#include "core/sorted_lines.h"
#include "core/text_decoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

class QIODevice;

// Entry lines into the bytes of a document: three lines per entry (family
// name, short name, phone number, each without its padding), CR LF after
// every line, in the order of the list, no header and no byte-order mark.
// An empty list is zero bytes.
namespace callvista {

// The bytes of a document holding these entry lines. Each field is cut from
// its line by position. The document is in the encoding when it stores every
// character, and in UTF-8 otherwise. Fails, with a reason naming the entry,
// when a field holds a line break or a character that UTF-8 cannot represent
// (half of a surrogate pair), and for more than MaxEntries lines: none of
// them could be read back.
Result<QByteArray> encodeDocument(const QStringList& lines,
                                  const ColumnWidths& widths = EntryWidths,
                                  const TextEncoding& encoding = {});
// The same for the lines where the entry list keeps them.
Result<QByteArray> encodeDocument(const SortedLines& lines,
                                  const ColumnWidths& widths = EntryWidths,
                                  const TextEncoding& encoding = {});

// Writes all the bytes to the open device, going on after a short write;
// fails with the device's reason when a write fails or writes nothing.
Result<void> writeBytes(QIODevice& device, QByteArrayView bytes);

} // namespace callvista
