#include "core/file_system.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace callvista::fs {

namespace {

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray nativeName(const QString& path)
{
    return QFile::encodeName(path);
}

int descriptor(Handle file)
{
    return int(file);
}

} // namespace

PathStatus statusOf(const QString& path)
{
    struct stat status {
    };
    if (::stat(nativeName(path).constData(), &status) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            struct stat link {
            };
            const bool dangling =
                ::lstat(nativeName(path).constData(), &link) == 0 && S_ISLNK(link.st_mode);
            return {PathKind::Missing, dangling, {}};
        }
        return {PathKind::Unreachable, false, reasonOf(error)};
    }
    if (S_ISDIR(status.st_mode))
        return {PathKind::Folder, false, {}};
    if (S_ISREG(status.st_mode))
        return {PathKind::Ordinary, false, {}};
    return {PathKind::Other, false, {}};
}

Handle createFile(const QString& path, const QString& permissionsOf, QString& reason)
{
    struct stat old {
    };
    const bool keepOld =
        !permissionsOf.isEmpty() && ::stat(nativeName(permissionsOf).constData(), &old) == 0;
    const mode_t mode =
        keepOld ? S_IRUSR | S_IWUSR : S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
    int fd = -1;
    do {
        fd = ::open(nativeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        reason = reasonOf(errno);
        return NoHandle;
    }
    // Before any byte is written. Should this fail, the file stays readable
    // by its owner alone, never more open than the old one.
    if (keepOld)
        (void)::fchmod(fd, old.st_mode & 0777);
    return Handle(fd);
}

QString writeAll(Handle file, const char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t written = ::write(descriptor(file), data + done, size_t(size - done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return reasonOf(errno);
        }
        if (written == 0)
            return QCoreApplication::translate("FileSystem", "The system took none of the bytes");
        done += written;
    }
    return {};
}

QString flushFile(Handle file)
{
    return ::fsync(descriptor(file)) == 0 ? QString() : reasonOf(errno);
}

QString closeFile(Handle file)
{
    // Never retried: on Linux the descriptor is gone even when close fails.
    return ::close(descriptor(file)) == 0 ? QString() : reasonOf(errno);
}

QString replaceFile(const QString& from, const QString& to)
{
    return ::rename(nativeName(from).constData(), nativeName(to).constData()) == 0
               ? QString()
               : reasonOf(errno);
}

QString flushFolder(const QString& folder)
{
    const int fd = ::open(nativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return reasonOf(errno);
    QString reason;
    // Some file systems cannot flush a folder and say so; there is nothing
    // more to be done there.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        reason = reasonOf(errno);
    ::close(fd);
    return reason;
}

void removeFile(const QString& path)
{
    ::unlink(nativeName(path).constData());
}

qint64 openForReading(QFile& file, const QString& path, QString& reason)
{
    const int fd = ::open(nativeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = reasonOf(errno);
        return -1;
    }
    struct stat status {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = S_ISDIR(status.st_mode)
                     ? QCoreApplication::translate("FileSystem", "It is a folder.")
                     : QCoreApplication::translate("FileSystem", "It is not an ordinary file.");
        ::close(fd);
        return -1;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reason = file.errorString();
        ::close(fd);
        return -1;
    }
    return qint64(status.st_size);
}

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

} // namespace callvista::fs
