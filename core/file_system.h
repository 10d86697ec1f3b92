#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

// The few calls of the operating system that saving and reading a document
// make, behind one small interface so that the logic of the document file
// stays the same on every system. file_system_posix.cpp implements it with
// the POSIX calls; another system gets a file of its own beside it.
//
// Every function that can fail returns the system's reason in words
// ("No space left on device"), empty when it succeeded.
namespace callvista::fs {

// An open file as the system knows it (a descriptor, a handle).
using Handle = qintptr;
inline constexpr Handle NoHandle = -1;

// What a path names, after following links.
enum class PathKind {
    Missing, // nothing there; `danglingLink` tells a link to nothing
    Folder,
    Ordinary, // an ordinary file
    Other, // a device, a pipe, a socket
    Unreachable, // the system refused to look (a loop of links, no access): see `reason`
};

struct PathStatus {
    PathKind kind = PathKind::Missing;
    bool danglingLink = false;
    QString reason;
};

[[nodiscard]] PathStatus statusOf(const QString& path);

// Creates a new file at the path for writing; fails if anything is there.
// When `permissionsOf` names an existing file, the new file is created
// readable by its owner alone and then given that file's permissions, so
// that it is never more open than the file it is to replace, even when
// copying the permissions fails. Otherwise it gets the permissions a new
// file of the user gets. Returns NoHandle with the reason on failure.
[[nodiscard]] Handle createFile(const QString& path, const QString& permissionsOf, QString& reason);

// Writes all the bytes, going on after an interrupted or short write; only
// a call that writes nothing at all gives up, with the system's reason.
[[nodiscard]] QString writeAll(Handle file, const char* data, qint64 size);

// Flushes the file's contents to the disk.
[[nodiscard]] QString flushFile(Handle file);

// Closes the file; a file system may report a failed write only here.
[[nodiscard]] QString closeFile(Handle file);

// Puts the file at `from` in the place of `to` in one step: whoever opens
// `to` finds either the old file or the new one whole.
[[nodiscard]] QString replaceFile(const QString& from, const QString& to);

// Flushes the folder itself, so that a renamed file is found under its new
// name after a power cut. Succeeds where the file system has nothing of the
// kind to flush.
[[nodiscard]] QString flushFolder(const QString& folder);

// Removes the file if it is there; what is left over from a failed save.
void removeFile(const QString& path);

// Opens an ordinary file for reading without ever waiting (a pipe put at
// the path after it was looked at must not hold the window) and checks what
// was opened. Returns the file's size, or -1 with the reason.
[[nodiscard]] qint64 openForReading(QFile& file, const QString& path, QString& reason);

// The ordinary files (or links to them) of the folder, hidden ones left out,
// whose names the system stores in bytes that its encoding cannot decode.
// Qt's listings leave them out; they are given as decoded, with U+FFFD for
// what could not be read, which no file is called, so that the user sees
// them and is told why they cannot be opened.
[[nodiscard]] QStringList undecodableFiles(const QString& folder);

// Called once at start-up: a write past the user's file-size limit then
// fails with a reason instead of ending the program.
void prepareProcess();

// True when the system refuses a file of this name (the name alone, without
// its folder) or takes it for something else, beyond the folder separators,
// "*", "?" and control characters that every system's chooser refuses.
[[nodiscard]] bool refusesName(const QString& name);

} // namespace callvista::fs
