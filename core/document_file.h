#pragma once

#include "core/document_reader.h"
#include "core/result.h"
#include "core/sorted_lines.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QStringView>

// Reading and writing document files. Nothing here keeps a file open between
// calls, and neither function touches the entry list: the caller decides what
// to do with the result.
namespace callvista {

// The extension of a document's file name, without the dot.
inline constexpr QStringView DocumentExtension = u"CVA";

// Saves the entry lines, in their order, to the file at the path. The whole
// document is written to a temporary file in the same folder first, every
// write checked and the file flushed to disk, and only then does it take the
// place of the old file, keeping its permissions. Anything but an ordinary
// file (or a link to one) at the path is refused. On any failure the old file
// is left exactly as it was, no temporary file remains, and the reason, in
// the system's words where it gave one, is returned.
Result<void> writeDocumentFile(const QString& path, const QStringList& lines,
                               const ColumnWidths& widths = EntryWidths);
// The same for the lines where the entry list keeps them, copying none.
Result<void> writeDocumentFile(const QString& path, const SortedLines& lines,
                               const ColumnWidths& widths = EntryWidths);

// Opens the file at the path for reading and checks what was opened, not the
// name looked at before: a pipe put in the file's place in between must not
// hold the window, so nothing waits for a writer, and only an ordinary file
// is kept open. Returns the file's size.
Result<qint64> openOrdinaryFile(QFile& file, const QString& path);

// Reads the document at the path. Refuses, with a reason, a path that is
// missing, a folder or anything but an ordinary file (judged on the file as
// opened, which never waits), a file that cannot be read, and a file larger
// than maxDocumentBytes before reading any of it.
Result<DocumentEntries> readDocumentFile(const QString& path,
                                         const ColumnWidths& widths = EntryWidths);

// A document read and put in the list's order, ready to be shown. Needs no
// window, so it can run on any thread, while the window is still being made.
struct LoadedDocument {
    ReadReport report;
    SortedLines lines;
};

// Reads the document at the path as readDocumentFile does and orders its
// lines in the collation of the locale.
Result<LoadedDocument> loadDocumentFile(const QString& path, const QLocale& locale = QLocale());

} // namespace callvista
