#include "core/file_system.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace callvista {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Every write is checked, and a short one is retried, so that the second
// attempt reports the system's reason (a full disk, a size limit) that the
// first one, having written part, did not.
bool writeAll(QIODevice& file, const QByteArray& bytes, QString& reason)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            reason = file.errorString();
            return false;
        }
        done += qsizetype(written);
    }
    return true;
}

} // namespace

QString replaceFileWith(const QString& path, const QByteArray& bytes)
{
    // Unbuffered, so that a failing write shows here: QSaveFile would flush
    // a buffer only at commit() and rename the short file over the old one
    // without looking at the flush.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    QString reason;
    if (!writeAll(file, bytes, reason)) {
        // The temporary file goes with the QSaveFile; the old file was
        // never touched.
        file.cancelWriting();
        return reason;
    }
    // The file system may accept the bytes and only find at this point that
    // it has no room for them.
    if (::fsync(file.handle()) != 0) {
        reason = systemReason(errno);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

qint64 openOrdinaryFile(QFile& file, const QString& path, QString& reason)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = systemReason(errno);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = S_ISDIR(status.st_mode) ? QStringLiteral("It is a folder.")
                                         : QStringLiteral("It is not an ordinary file.");
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

bool systemRefusesName(const QString&)
{
    return false;
}

} // namespace callvista
