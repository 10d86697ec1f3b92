#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>

// The disk as saving and reading a document see it, behind one interface in
// the manner of LevelDB's Env, so that the logic of the document file stays
// the same on every system and a test can put a disk of its own in its place.
// file_system_posix.cpp and file_system_windows.cpp each implement it for
// their system; CMake compiles the one for the target.
namespace callvista {

// What went wrong, in kinds a caller can act on.
enum class FileError {
    None,
    Missing, // nothing there, or a folder of the path is missing
    Folder,
    NotOrdinary, // a device, a pipe, a socket
    NoRoom, // the disk is full, or the user's share of it
    NoPermission,
    TooLarge, // past what the file system or the user's limit allows
    Other,
};

// The outcome of a call: its kind, and the system's own words for it
// ("No space left on device") where the system gave any.
struct FileStatus {
    FileError error = FileError::None;
    QString systemText;

    [[nodiscard]] bool ok() const { return error == FileError::None; }
};

// A file's size and the time it was last written, as the system keeps them:
// what tells, without reading it, that a file is as the program left it.
struct FileStamp {
    qint64 size = -1;
    // In the system's own units (nanoseconds since 1970 on POSIX, 100
    // nanoseconds since 1601 on Windows): stamps are only compared.
    qint64 modified = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The sentence that tells the user what went wrong: the system's words where
// it gave some, else the program's for the kind; empty for success. The one
// place where a FileStatus becomes words.
[[nodiscard]] QString describe(const FileStatus& status);

// A file open for writing, closed when it is destroyed, at the latest.
class WritableFile
{
public:
    WritableFile() = default;
    virtual ~WritableFile() = default;
    WritableFile(const WritableFile&) = delete;
    WritableFile& operator=(const WritableFile&) = delete;

    // Writes all the bytes, going on after a short write; a write that
    // takes none of them gives up.
    [[nodiscard]] FileStatus write(QByteArrayView bytes);
    // Flushes the file's contents to the disk.
    [[nodiscard]] virtual FileStatus flush() = 0;
    // Closes the file; a file system may report a failed write only here.
    // The file is closed even when this fails, and never closed again.
    [[nodiscard]] virtual FileStatus close() = 0;

protected:
    // Writes some of the bytes, at least one unless it fails, and says how
    // many in `written`.
    [[nodiscard]] virtual FileStatus writeSome(const char* data, qint64 size, qint64& written) = 0;
};

// A file open for reading, closed when it is destroyed.
class ReadableFile
{
public:
    ReadableFile() = default;
    virtual ~ReadableFile() = default;
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    // Its size when it was opened; it may have grown since.
    [[nodiscard]] virtual qint64 size() const = 0;
    // Appends up to `most` bytes, fewer only at the end of the file.
    [[nodiscard]] FileStatus read(QByteArray& bytes, qint64 most);

protected:
    // Reads up to `size` bytes and says how many in `done`; none at the end.
    [[nodiscard]] virtual FileStatus readSome(char* data, qint64 size, qint64& done) = 0;
};

class FileSystem
{
public:
    FileSystem() = default;
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // What the path names, after following links: ok() for an ordinary
    // file, else Missing, Folder, NotOrdinary, or what kept the system from
    // looking (a loop of links, no access).
    [[nodiscard]] virtual FileStatus statusOf(const QString& path) = 0;

    // The size and time of the file the path names, after following links;
    // fails as statusOf does for anything but an ordinary file.
    [[nodiscard]] virtual FileStatus stampOf(const QString& path, FileStamp& stamp) = 0;

    // True when the path is a link to nothing.
    [[nodiscard]] virtual bool isDanglingLink(const QString& path) = 0;

    // Creates a new file at the path for writing; fails if anything is there.
    // When `permissionsOf` names an existing file, the new file is created
    // readable by its owner alone and then given that file's permissions, so
    // that it is never more open than the file it is to replace, even when
    // copying the permissions fails. Otherwise it gets the permissions a new
    // file of the user gets.
    [[nodiscard]] virtual FileStatus createFile(const QString& path, const QString& permissionsOf,
                                                std::unique_ptr<WritableFile>& file) = 0;

    // Opens an ordinary file for reading without ever waiting (a pipe put at
    // the path after it was looked at must not hold the window) and checks
    // what was opened: Folder or NotOrdinary for anything but an ordinary
    // file, which is not kept open.
    [[nodiscard]] virtual FileStatus openForReading(const QString& path,
                                                    std::unique_ptr<ReadableFile>& file) = 0;

    // Puts the file at `from` in the place of `to` in one step: whoever opens
    // `to` finds either the old file or the new one whole.
    [[nodiscard]] virtual FileStatus replaceFile(const QString& from, const QString& to) = 0;

    // Flushes the folder itself, so that a renamed file is found under its
    // new name after a power cut. Succeeds where the file system has nothing
    // of the kind to flush.
    [[nodiscard]] virtual FileStatus flushFolder(const QString& folder) = 0;

    // Removes the file if it is there; what is left over from a failed save.
    virtual void removeFile(const QString& path) = 0;
};

// The disk of the system the program runs on.
[[nodiscard]] FileSystem& systemFileSystem();

// What the system does that no caller needs to replace in a test.
namespace fs {

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

} // namespace fs

} // namespace callvista
