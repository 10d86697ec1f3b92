#include "core/document_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace callvista {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Qt's error texts are lower-case phrases; the reasons here are sentences.
QString sentence(QString reason)
{
    if (reason.isEmpty())
        return QStringLiteral("The system gave no reason.");
    reason[0] = reason.at(0).toUpper();
    if (!reason.endsWith(u'.'))
        reason += u'.';
    return reason;
}

#ifdef Q_OS_UNIX
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
#endif

DocumentWriteResult writeFailure(const QString& path, const QString& reason)
{
    return {QStringLiteral("\"%1\" was not saved. %2").arg(shown(path), sentence(reason))};
}

QString refusalOf(const QString& path, const QString& reason)
{
    return QStringLiteral("\"%1\" cannot be opened. %2").arg(shown(path), sentence(reason));
}

DecodedDocument readRefusal(const QString& path, const QString& reason)
{
    DecodedDocument result;
    result.refusal = refusalOf(path, reason);
    return result;
}

// Only an ordinary file, or a link to one, is replaced by a save; a device,
// a pipe or a link to one of them must never be.
QString saveTargetRefusal(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? QStringLiteral("It is a link to a file that does not exist.")
                                : QString();
    if (info.isDir())
        return QStringLiteral("It is a folder.");
    if (!info.isFile())
        return QStringLiteral("It is not an ordinary file.");
    return {};
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

// The file system may accept the bytes and only find at this point that it
// has no room for them.
bool syncToDisk(QFileDevice& file, QString& reason)
{
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) {
        reason = systemReason(errno);
        return false;
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(reason);
#endif
    return true;
}

} // namespace

qint64 openOrdinaryFile(QFile& file, const QString& path, QString& reason)
{
#ifdef Q_OS_UNIX
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
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return -1;
    }
    return file.size();
#endif
}

namespace {

DocumentWriteResult writeEncoded(const QString& path, const EncodedDocument& document)
{
    if (!document.ok())
        return writeFailure(path, document.error);
    if (const QString refusal = saveTargetRefusal(path); !refusal.isEmpty())
        return writeFailure(path, refusal);

    // Unbuffered, so that a failing write shows here: QSaveFile would flush
    // a buffer only at commit() and rename the short file over the old one
    // without looking at the flush.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return writeFailure(path, file.errorString());
    QString reason;
    if (!writeAll(file, document.bytes, reason) || !syncToDisk(file, reason)) {
        // The temporary file goes with the QSaveFile; the old file was
        // never touched.
        file.cancelWriting();
        return writeFailure(path, reason);
    }
    if (!file.commit())
        return writeFailure(path, file.errorString());
    return {};
}

} // namespace

DocumentWriteResult writeDocumentFile(const QString& path, const QStringList& lines,
                                      const ColumnWidths& widths)
{
    return writeEncoded(path, encodeDocument(lines, widths));
}

DocumentWriteResult writeDocumentFile(const QString& path, const SortedLines& lines,
                                      const ColumnWidths& widths)
{
    return writeEncoded(path, encodeDocument(lines, widths));
}

DecodedDocument readDocumentFile(const QString& path, const ColumnWidths& widths)
{
    const QFileInfo info(path);
    if (!info.exists())
        return readRefusal(path, QStringLiteral("There is no such file."));
    if (info.isDir())
        return readRefusal(path, QStringLiteral("It is a folder."));
    // A device is not even opened: opening some of them has effects.
    if (!info.isFile())
        return readRefusal(path, QStringLiteral("It is not an ordinary file."));

    QFile file;
    QString reason;
    const qint64 size = openOrdinaryFile(file, path, reason);
    if (size < 0)
        return readRefusal(path, reason);
    const qint64 limit = maxDocumentBytes(widths);
    if (size > limit)
        return readRefusal(path, QStringLiteral("It is %1 bytes long, more than a document can "
                                                "be (%2 bytes).")
                                     .arg(size)
                                     .arg(limit));
    // One byte more than the limit tells a file that grew since it was
    // measured from one that fills the limit exactly.
    const QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return readRefusal(path, file.errorString());
    if (bytes.size() > limit)
        return readRefusal(path, QStringLiteral("It is more than %1 bytes long, more than a "
                                                "document can be.")
                                     .arg(limit));
    DecodedDocument result = decodeDocument(bytes, widths);
    if (!result.ok())
        result.refusal = refusalOf(path, result.refusal);
    return result;
}

LoadedDocument loadDocumentFile(const QString& path, const QLocale& locale)
{
    LoadedDocument loaded{{}, {}, SortedLines(locale)};
    DecodedDocument document = readDocumentFile(path);
    if (!document.ok()) {
        loaded.refusal = std::move(document.refusal);
        return loaded;
    }
    loaded.report = document.report;
    loaded.lines.reset(document.lines);
    return loaded;
}

} // namespace callvista
