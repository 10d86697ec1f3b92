#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// What the document file and the file chooser need of the file system that
// differs between platforms. Each platform has its own implementation:
// file_system_posix.cpp and file_system_windows.cpp; the rest of the program
// is the same everywhere.
namespace callvista {

// Puts exactly these bytes at the path in place of what was there: they go
// into a new temporary file in the same folder, are flushed to the disk, and
// only then does that file take the old one's place, in one step, keeping the
// old file's permissions. Refuses a target that the system would not let this
// program change (a read-only file, a file another program holds open
// without sharing). Returns the system's reason for a failure, empty on
// success; after a failure the old file is exactly as it was and no
// temporary file remains.
[[nodiscard]] QString replaceFileWith(const QString& path, const QByteArray& bytes);

// Opens the file at the path for reading and checks what was opened, not the
// name looked at before: a pipe put in the file's place in between must not
// hold the window, so nothing waits for a writer, and only an ordinary file
// is kept open. Returns the file's size, or -1 with the reason.
[[nodiscard]] qint64 openOrdinaryFile(QFile& file, const QString& path, QString& reason);

// True when the platform's file system refuses a file of this name (the name
// alone, without a folder), beyond what every platform refuses.
[[nodiscard]] bool systemRefusesName(const QString& name);
} // namespace callvista
