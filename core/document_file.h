#pragma once

#include "core/document_format.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

// Reading and writing document files. Nothing here keeps a file open between
// calls, and neither function touches the entry list: the caller decides what
// to do with the result.
namespace callvista {

struct DocumentWriteResult {
    // Why the document was not saved; empty when it was.
    QString error;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// Writes the bytes of a document into the open temporary file that will
// replace the document. Returns false, with the reason, when not all of them
// were written. writeDocumentFile takes another one only in tests, to make a
// write fail the way a full disk does.
using WriteBytesFunction = bool (*)(QIODevice& file, const QByteArray& bytes, QString& reason);

[[nodiscard]] bool writeAllBytes(QIODevice& file, const QByteArray& bytes, QString& reason);

// Saves the entry lines, in their order, to the file at the path. The whole
// document is written to a temporary file in the same folder first, which
// then takes the place of the old file, keeping its permissions. On any
// failure the old file is left exactly as it was and the reason is returned.
[[nodiscard]] DocumentWriteResult writeDocumentFile(const QString& path, const QStringList& lines,
                                                    const ColumnWidths& widths,
                                                    WriteBytesFunction writeBytes = writeAllBytes);

// Reads the document at the path. Refuses, with a reason, a path that is
// missing, a folder or anything but an ordinary file, a file that cannot be
// read, and a file larger than maxDocumentBytes before reading any of it.
[[nodiscard]] DecodedDocument readDocumentFile(const QString& path, const ColumnWidths& widths);

} // namespace callvista
