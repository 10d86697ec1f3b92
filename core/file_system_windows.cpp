#include "core/file_system.h"

#include "core/file_name.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <memory>
#include <string>
#include <utility>

#include <windows.h>

namespace callvista {

namespace {

std::wstring nativeName(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The system's own sentence for an error code, as Windows shows it.
QString textOf(DWORD error)
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

FileStatus statusOfError(DWORD error)
{
    FileError kind = FileError::Other;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        kind = FileError::Missing;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        kind = FileError::NoRoom;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        kind = FileError::NoPermission;
        break;
    case ERROR_FILE_TOO_LARGE:
        kind = FileError::TooLarge;
        break;
    default:
        break;
    }
    return {kind, textOf(error)};
}

FileStatus lastError()
{
    return statusOfError(GetLastError());
}

class WindowsWritableFile final : public WritableFile
{
public:
    explicit WindowsWritableFile(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~WindowsWritableFile() override
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }

    FileStatus flush() override { return FlushFileBuffers(m_handle) ? FileStatus() : lastError(); }

    FileStatus close() override
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? FileStatus() : lastError();
    }

protected:
    FileStatus writeSome(const char* data, qint64 size, qint64& written) override
    {
        const DWORD chunk = DWORD(qMin<qint64>(size, qint64(1) << 30));
        DWORD done = 0;
        if (!WriteFile(m_handle, data, chunk, &done, nullptr))
            return lastError();
        written = done;
        return {};
    }

private:
    HANDLE m_handle;
};

// Read through Qt, which opens long paths and shares the file as every
// Windows program expects; its texts are the system's.
class WindowsReadableFile final : public ReadableFile
{
public:
    explicit WindowsReadableFile(const QString& path)
        : m_file(path)
    {
    }

    FileStatus open()
    {
        if (!m_file.open(QIODevice::ReadOnly))
            return {FileError::Other, m_file.errorString()};
        m_size = m_file.size();
        return {};
    }

    qint64 size() const override { return m_size; }

protected:
    FileStatus readSome(char* data, qint64 size, qint64& done) override
    {
        done = m_file.read(data, size);
        if (done < 0)
            return {FileError::Other, m_file.errorString()};
        return {};
    }

private:
    QFile m_file;
    qint64 m_size = 0;
};

class WindowsFileSystem final : public FileSystem
{
public:
    FileStatus statusOf(const QString& path) override
    {
        const DWORD attributes = GetFileAttributesW(nativeName(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            // Nothing there is no failure of the system's: the caller says
            // so in its own words.
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                return {FileError::Missing, {}};
            return statusOfError(error);
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return {FileError::Folder, {}};
        if (attributes & FILE_ATTRIBUTE_DEVICE)
            return {FileError::NotOrdinary, {}};
        return {};
    }

    FileStatus stampOf(const QString& path, FileStamp& stamp) override
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(nativeName(path).c_str(), GetFileExInfoStandard, &data)) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                return {FileError::Missing, {}};
            return statusOfError(error);
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return {FileError::Folder, {}};
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
            return {FileError::NotOrdinary, {}};
        stamp = {qint64((quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow),
                 qint64((quint64(data.ftLastWriteTime.dwHighDateTime) << 32)
                        | data.ftLastWriteTime.dwLowDateTime)};
        return {};
    }

    // The attributes above are the link's own, not its target's.
    bool isDanglingLink(const QString&) override { return false; }

    FileStatus createFile(const QString& path, const QString& permissionsOf,
                          std::unique_ptr<WritableFile>& file) override
    {
        if (!permissionsOf.isEmpty()) {
            // The old file is to be replaced, which needs it deletable: a
            // program that holds it open without sharing makes the save fail
            // here, in the system's words, before anything is written.
            const HANDLE old = CreateFileW(nativeName(permissionsOf).c_str(), DELETE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (old == INVALID_HANDLE_VALUE)
                return lastError();
            CloseHandle(old);
        }
        // The replaced file's attributes and permissions are carried over by
        // replaceFile, which takes them from the old file.
        const HANDLE handle = CreateFileW(nativeName(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return lastError();
        file = std::make_unique<WindowsWritableFile>(handle);
        return {};
    }

    // Windows keeps no pipes among a folder's files, and device names never
    // get this far (the file chooser refuses them by name), so opening never
    // waits.
    FileStatus openForReading(const QString& path, std::unique_ptr<ReadableFile>& file) override
    {
        auto opened = std::make_unique<WindowsReadableFile>(path);
        if (FileStatus status = opened->open(); !status.ok())
            return status;
        file = std::move(opened);
        return {};
    }

    // An existing file is replaced with its attributes (hidden, say) and
    // permissions kept; a new name is given by a move that returns only when
    // it is on the disk.
    FileStatus replaceFile(const QString& from, const QString& to) override
    {
        const std::wstring source = nativeName(from);
        const std::wstring target = nativeName(to);
        const DWORD old = GetFileAttributesW(target.c_str());
        if (old == INVALID_FILE_ATTRIBUTES)
            return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)
                       ? FileStatus()
                       : lastError();
        if (!ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                          nullptr, nullptr))
            return lastError();
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
    FileStatus flushFolder(const QString&) override { return {}; }

    void removeFile(const QString& path) override { DeleteFileW(nativeName(path).c_str()); }
};

} // namespace

FileSystem& systemFileSystem()
{
    static WindowsFileSystem system;
    return system;
}

namespace fs {

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

} // namespace fs

} // namespace callvista
