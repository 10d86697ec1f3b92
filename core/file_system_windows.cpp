#include "core/file_system.h"

#include "core/file_name.h"

#include <QCoreApplication>
#include <QDir>

#include <string>

#include <windows.h>

namespace callvista::fs {

namespace {

std::wstring nativeName(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The system's own sentence for an error code, as Windows shows it.
QString reasonOf(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString reason = length > 0
                         ? QString::fromWCharArray(text, int(length)).trimmed()
                         : QCoreApplication::translate("FileSystem", "Windows error %1").arg(error);
    LocalFree(text);
    return reason;
}

QString lastReason()
{
    return reasonOf(GetLastError());
}

HANDLE handleOf(Handle file)
{
    return reinterpret_cast<HANDLE>(file);
}

} // namespace

PathStatus statusOf(const QString& path)
{
    const DWORD attributes = GetFileAttributesW(nativeName(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {PathKind::Missing, false, {}};
        return {PathKind::Unreachable, false, reasonOf(error)};
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {PathKind::Folder, false, {}};
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return {PathKind::Other, false, {}};
    return {PathKind::Ordinary, false, {}};
}

Handle createFile(const QString& path, const QString& permissionsOf, QString& reason)
{
    if (!permissionsOf.isEmpty()) {
        // The old file is to be replaced, which needs it deletable: a
        // program that holds it open without sharing makes the save fail
        // here, in the system's words, before anything is written.
        const HANDLE old = CreateFileW(nativeName(permissionsOf).c_str(), DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (old == INVALID_HANDLE_VALUE) {
            reason = lastReason();
            return NoHandle;
        }
        CloseHandle(old);
    }
    // The replaced file's attributes and permissions are carried over by
    // replaceFile, which takes them from the old file.
    const HANDLE file = CreateFileW(nativeName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = lastReason();
        return NoHandle;
    }
    return reinterpret_cast<Handle>(file);
}

QString writeAll(Handle file, const char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const DWORD chunk = DWORD(qMin<qint64>(size - done, qint64(1) << 30));
        DWORD written = 0;
        if (!WriteFile(handleOf(file), data + done, chunk, &written, nullptr))
            return lastReason();
        if (written == 0)
            return QCoreApplication::translate("FileSystem", "The system took none of the bytes");
        done += written;
    }
    return {};
}

QString flushFile(Handle file)
{
    return FlushFileBuffers(handleOf(file)) ? QString() : lastReason();
}

QString closeFile(Handle file)
{
    return CloseHandle(handleOf(file)) ? QString() : lastReason();
}

// An existing file is replaced with its attributes (hidden, say) and
// permissions kept; a new name is given by a move that returns only when it
// is on the disk.
QString replaceFile(const QString& from, const QString& to)
{
    const std::wstring source = nativeName(from);
    const std::wstring target = nativeName(to);
    const DWORD old = GetFileAttributesW(target.c_str());
    if (old == INVALID_FILE_ATTRIBUTES)
        return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? QString()
                                                                                   : lastReason();
    if (!ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr))
        return lastReason();
    // Not every implementation of ReplaceFileW carries the attributes over.
    constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD now = GetFileAttributesW(target.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & kept) != (old & kept)) {
        const DWORD wanted = (now & ~(kept | FILE_ATTRIBUTE_NORMAL)) | (old & kept);
        SetFileAttributesW(target.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
    }
    return {};
}

// Windows has no flush of a folder; the move above is written through.
QString flushFolder(const QString&)
{
    return {};
}

void removeFile(const QString& path)
{
    DeleteFileW(nativeName(path).c_str());
}

// Windows keeps no pipes among a folder's files, and device names never get
// this far (the file chooser refuses them by name), so opening never waits.
qint64 openForReading(QFile& file, const QString& path, QString& reason)
{
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return -1;
    }
    return file.size();
}

// Windows stores names in UTF-16, which Qt reads whole.
QStringList undecodableFiles(const QString&)
{
    return {};
}

void prepareProcess() {}

bool refusesName(const QString& name)
{
    return windowsRefusesName(name);
}

} // namespace callvista::fs
