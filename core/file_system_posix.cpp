#include "core/file_system.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace callvista {

namespace {

FileStatus statusOfError(int error)
{
    FileError kind = FileError::Other;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        kind = FileError::Missing;
        break;
    case EISDIR:
        kind = FileError::Folder;
        break;
    case ENOSPC:
    case EDQUOT:
        kind = FileError::NoRoom;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        kind = FileError::NoPermission;
        break;
    case EFBIG:
        kind = FileError::TooLarge;
        break;
    default:
        break;
    }
    return {kind, QString::fromLocal8Bit(std::strerror(error))};
}

FileStatus lastError()
{
    return statusOfError(errno);
}

QByteArray nativeName(const QString& path)
{
    return QFile::encodeName(path);
}

class PosixWritableFile final : public WritableFile
{
public:
    explicit PosixWritableFile(int fd)
        : m_fd(fd)
    {
    }
    ~PosixWritableFile() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    FileStatus flush() override { return ::fsync(m_fd) == 0 ? FileStatus() : lastError(); }

    FileStatus close() override
    {
        // Never retried: on Linux the descriptor is gone even when close
        // fails.
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 ? FileStatus() : lastError();
    }

protected:
    FileStatus writeSome(const char* data, qint64 size, qint64& written) override
    {
        ssize_t done = -1;
        do {
            done = ::write(m_fd, data, size_t(size));
        } while (done < 0 && errno == EINTR);
        if (done < 0)
            return lastError();
        written = done;
        return {};
    }

private:
    int m_fd;
};

class PosixReadableFile final : public ReadableFile
{
public:
    PosixReadableFile(int fd, qint64 size)
        : m_fd(fd)
        , m_size(size)
    {
    }
    ~PosixReadableFile() override { ::close(m_fd); }

    qint64 size() const override { return m_size; }

protected:
    FileStatus readSome(char* data, qint64 size, qint64& done) override
    {
        ssize_t got = -1;
        do {
            got = ::read(m_fd, data, size_t(size));
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            return lastError();
        done = got;
        return {};
    }

private:
    int m_fd;
    qint64 m_size;
};

class PosixFileSystem final : public FileSystem
{
public:
    FileStatus statusOf(const QString& path) override
    {
        struct stat status {
        };
        if (::stat(nativeName(path).constData(), &status) != 0) {
            const FileStatus failure = lastError();
            // Nothing there is no failure of the system's: the caller says so
            // in its own words.
            return failure.error == FileError::Missing ? FileStatus{FileError::Missing, {}}
                                                       : failure;
        }
        return kindOf(status);
    }

    FileStatus stampOf(const QString& path, FileStamp& stamp) override
    {
        struct stat status {
        };
        if (::stat(nativeName(path).constData(), &status) != 0) {
            const FileStatus failure = lastError();
            return failure.error == FileError::Missing ? FileStatus{FileError::Missing, {}}
                                                       : failure;
        }
        if (const FileStatus kind = kindOf(status); !kind.ok())
            return kind;
        stamp = {qint64(status.st_size),
                 qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
        return {};
    }

    bool isDanglingLink(const QString& path) override
    {
        struct stat link {
        };
        struct stat target {
        };
        return ::lstat(nativeName(path).constData(), &link) == 0 && S_ISLNK(link.st_mode)
               && ::stat(nativeName(path).constData(), &target) != 0
               && (errno == ENOENT || errno == ENOTDIR);
    }

    FileStatus createFile(const QString& path, const QString& permissionsOf,
                          std::unique_ptr<WritableFile>& file) override
    {
        struct stat old {
        };
        const bool keepOld =
            !permissionsOf.isEmpty() && ::stat(nativeName(permissionsOf).constData(), &old) == 0;
        const mode_t mode =
            keepOld ? S_IRUSR | S_IWUSR : S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
        int fd = -1;
        do {
            fd =
                ::open(nativeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return lastError();
        // Before any byte is written. Should this fail, the file stays
        // readable by its owner alone, never more open than the old one.
        if (keepOld)
            (void)::fchmod(fd, old.st_mode & 0777);
        file = std::make_unique<PosixWritableFile>(fd);
        return {};
    }

    FileStatus openForReading(const QString& path, std::unique_ptr<ReadableFile>& file) override
    {
        const int fd = ::open(nativeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return lastError();
        struct stat status {
        };
        // Only what is open is judged: whatever the name pointed to before.
        FileStatus opened = ::fstat(fd, &status) == 0 ? kindOf(status) : lastError();
        if (!opened.ok()) {
            ::close(fd);
            return opened;
        }
        file = std::make_unique<PosixReadableFile>(fd, qint64(status.st_size));
        return {};
    }

    FileStatus replaceFile(const QString& from, const QString& to) override
    {
        return ::rename(nativeName(from).constData(), nativeName(to).constData()) == 0
                   ? FileStatus()
                   : lastError();
    }

    FileStatus flushFolder(const QString& folder) override
    {
        const int fd = ::open(nativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return lastError();
        FileStatus flushed;
        // Some file systems cannot flush a folder and say so; there is
        // nothing more to be done there.
        if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
            flushed = lastError();
        ::close(fd);
        return flushed;
    }

    void removeFile(const QString& path) override { ::unlink(nativeName(path).constData()); }

private:
    static FileStatus kindOf(const struct stat& status)
    {
        if (S_ISDIR(status.st_mode))
            return {FileError::Folder, {}};
        if (!S_ISREG(status.st_mode))
            return {FileError::NotOrdinary, {}};
        return {};
    }
};

} // namespace

FileSystem& systemFileSystem()
{
    static PosixFileSystem system;
    return system;
}

namespace fs {

QStringList undecodableFiles(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(nativeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || QFile::encodeName(QFile::decodeName(name)) == name)
            continue;
        struct stat status {
        };
        if (::fstatat(::dirfd(dir), entry->d_name, &status, 0) == 0 && S_ISREG(status.st_mode))
            names.append(QFile::decodeName(name));
    }
    ::closedir(dir);
    return names;
}

void prepareProcess()
{
    // Without this the kernel ends the program with SIGXFSZ when a save
    // passes the user's file-size limit, and the unsaved entries with it;
    // ignored, the write fails with EFBIG and the save is refused.
    std::signal(SIGXFSZ, SIG_IGN);
}

bool refusesName(const QString&)
{
    return false;
}

} // namespace fs

} // namespace callvista
