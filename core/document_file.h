#pragma once

#include "core/document_reader.h"
#include "core/file_system.h"
#include "core/result.h"
#include "core/sorted_lines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Reading and writing document files, and any other file the program saves
// or reads whole, on the FileSystem the caller hands in (the program's is
// systemFileSystem()). Nothing here keeps a file open between calls or
// touches the entry list: the caller decides what to do with the result.
namespace callvista {

// The extension of a document's file name, without the dot.
inline constexpr QStringView DocumentExtension = u"CVA";

// Writes the bytes to the file at the path, safely: all of them go to a
// temporary file in the same folder first, every write checked and the file
// flushed to disk, and only then does it take the place of the old file,
// keeping its permissions; then the folder is flushed. Anything but an
// ordinary file (or a link to one) at the path is refused. On any failure the
// old file is left exactly as it was, no temporary file remains, and the
// reason, naming the file and in the system's words where it gave some, is
// returned.
Result<void> writeFileSafely(FileSystem& fs, const QString& path, QByteArrayView bytes);
// The same for bytes that were to be made first: when making them failed,
// the file is not touched and the reason is returned in the same words.
Result<void> writeEncodedFile(FileSystem& fs, const QString& path, const Result<QByteArray>& bytes);

// Saves the entry lines, in their order, as a document to the file at the
// path, as writeFileSafely writes. A list that cannot be encoded never
// touches the disk.
Result<void> writeDocumentFile(FileSystem& fs, const QString& path, const QStringList& lines,
                               const ColumnWidths& widths = EntryWidths);
// The same for the lines where the entry list keeps them, copying none.
Result<void> writeDocumentFile(FileSystem& fs, const QString& path, const SortedLines& lines,
                               const ColumnWidths& widths = EntryWidths);

// What a document's file held when the program last read or wrote it: its
// stamp, and a digest of its bytes, so that a later save can tell another
// program's change from a file that was only touched, and from the
// program's own last save.
struct FileSnapshot {
    // The size is -1 when the system could not say: the bytes then decide.
    FileStamp stamp;
    QByteArray digest;
};

// The digest of a file's bytes that a snapshot keeps: XXH64, 8 bytes, the
// same on every system and in every run.
[[nodiscard]] QByteArray digestOf(QByteArrayView bytes);

// Saves as writeDocumentFile does. `saved` then holds a snapshot of the file
// whenever it holds the new document: after a save, and also when only the
// flush of its folder failed.
Result<void> saveDocumentFile(FileSystem& fs, const QString& path, const SortedLines& lines,
                              std::optional<FileSnapshot>& saved);

// How the file at a path compares with a snapshot of it.
enum class FileChange { Same, Changed, Removed };

// Looks at the file again before a save writes over it: its stamp first, and
// its bytes only when the stamp differs, so that a file only touched is the
// same. Fails, as a save that is refused, when the system cannot tell.
Result<FileChange> changeSince(FileSystem& fs, const QString& path, const FileSnapshot& snapshot);

// Reads the whole file at the path. Refuses, with a reason naming the file, a
// path that is missing, a folder or anything but an ordinary file (judged on
// the file as opened too, which never waits: a pipe put in the file's place
// in between must not hold the window), a file that cannot be read, and a
// file larger than `limit` bytes, before reading any of it when its size
// says so.
Result<QByteArray> readWholeFile(FileSystem& fs, const QString& path, qint64 limit);

// Reads the document at the path, as readWholeFile reads a file of at most
// maxDocumentBytes, and decodes it.
Result<DocumentEntries> readDocumentFile(FileSystem& fs, const QString& path,
                                         const ColumnWidths& widths = EntryWidths);

// A document read and put in the list's order, ready to be shown. Needs no
// window, so it can run on any thread, while the window is still being made.
struct LoadedDocument {
    ReadReport report;
    SortedLines lines;
    FileSnapshot file;
};

// Reads the document at the path as readDocumentFile does, orders its lines
// in the collation of the locale and takes a snapshot of the file; its stamp
// is taken before the bytes are read, so that a change made meanwhile is
// still seen. A file the system cannot give a stamp of is refused too.
Result<LoadedDocument> loadDocumentFile(FileSystem& fs, const QString& path,
                                        const QLocale& locale = QLocale());

} // namespace callvista
