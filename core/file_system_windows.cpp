#include "core/file_system.h"

#include "core/file_name.h"

#include <QDir>
#include <QFileInfo>

#include <array>

#include <windows.h>

namespace callvista {

namespace {

std::wstring nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The system's own sentence for an error code, as Windows shows it.
QString systemReason(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0,
                                        nullptr);
    QString reason = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed()
                                : QStringLiteral("Windows error %1").arg(error);
    LocalFree(text);
    return reason;
}

class Handle
{
public:
    explicit Handle(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    [[nodiscard]] bool isValid() const { return m_handle != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const { return m_handle; }
    bool close()
    {
        if (!isValid())
            return true;
        const bool closed = CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

// The old file must be one this program may replace. Asking for write
// access with full sharing fails exactly when another program holds it
// without sharing or when it is read-only, and gives the system's reason
// before any byte is written.
QString replaceRefusal(const std::wstring& target)
{
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return QStringLiteral("It is read-only. ") + systemReason(ERROR_ACCESS_DENIED);
    const Handle probe(CreateFileW(target.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.isValid())
        return systemReason(GetLastError());
    return {};
}

} // namespace

QString replaceFileWith(const QString& path, const QByteArray& bytes)
{
    const std::wstring target = nativePath(path);
    if (const QString refusal = replaceRefusal(target); !refusal.isEmpty())
        return refusal;

    // A fresh name in the same folder, so that the last step is a rename
    // within one volume.
    const QString folderPath = QFileInfo(path).absolutePath();
    if (!QFileInfo(folderPath).isDir())
        return systemReason(ERROR_PATH_NOT_FOUND);
    const std::wstring folder = nativePath(folderPath);
    std::array<wchar_t, MAX_PATH + 1> temporary{};
    if (GetTempFileNameW(folder.c_str(), L"cva", 0, temporary.data()) == 0)
        return systemReason(GetLastError());
    const auto failure = [&temporary](DWORD error) {
        DeleteFileW(temporary.data());
        return systemReason(error);
    };

    Handle file(CreateFileW(temporary.data(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid())
        return failure(GetLastError());
    qsizetype done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(qMin<qsizetype>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.constData() + done, chunk, &written, nullptr))
            return failure(GetLastError());
        if (written == 0)
            return failure(ERROR_DISK_FULL);
        done += written;
    }
    // The bytes are on the disk before the name points at them.
    if (!FlushFileBuffers(file.get()))
        return failure(GetLastError());
    if (!file.close())
        return failure(GetLastError());

    // An existing file is replaced with its attributes and permissions kept;
    // a new one is moved into place, written through to the disk.
    const bool replaced =
        GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES
            ? ReplaceFileW(target.c_str(), temporary.data(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                  != 0
            : MoveFileExW(temporary.data(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!replaced)
        return failure(GetLastError());
    return {};
}

qint64 openOrdinaryFile(QFile& file, const QString& path, QString& reason)
{
    // Device names never get this far (the chooser refuses them by name),
    // and opening a file here never waits for a writer.
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return -1;
    }
    return file.size();
}

bool systemRefusesName(const QString& name)
{
    return windowsRefusesName(name);
}

} // namespace callvista
