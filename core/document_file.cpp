#include "core/document_file.h"

#include "core/document_writer.h"
#include "core/file_name.h"
#include "core/file_system.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace callvista {

namespace {

struct Document {
    Q_DECLARE_TR_FUNCTIONS(Document)
};

// The temporary file as a device the writer writes onto: every write goes
// to the system at once, checked, and a failed one leaves the system's
// reason as the device's error.
class HandleDevice : public QIODevice
{
public:
    explicit HandleDevice(fs::Handle handle)
        : m_handle(handle)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const QString reason = fs::writeAll(m_handle, data, size);
        if (reason.isEmpty())
            return size;
        setErrorString(reason);
        return -1;
    }

private:
    fs::Handle m_handle;
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Qt's error texts are lower-case phrases; the reasons here are sentences.
QString sentence(QString reason)
{
    if (reason.isEmpty())
        return Document::tr("The system gave no reason.");
    reason[0] = reason.at(0).toUpper();
    if (!reason.endsWith(u'.'))
        reason += u'.';
    return reason;
}

Failure notSaved(const QString& path, const QString& reason)
{
    return {Document::tr("\"%1\" was not saved. %2").arg(shown(path), sentence(reason))};
}

Failure notOpened(const QString& path, const QString& reason)
{
    return {Document::tr("\"%1\" cannot be opened. %2").arg(shown(path), sentence(reason))};
}

// Only an ordinary file, or a link to one, is replaced by a save; a device,
// a pipe or a link to one of them must never be.
QString saveTargetError(const fs::PathStatus& target)
{
    switch (target.kind) {
    case fs::PathKind::Missing:
        return target.danglingLink ? Document::tr("It is a link to a file that does not exist.")
                                   : QString();
    case fs::PathKind::Folder:
        return Document::tr("It is a folder.");
    case fs::PathKind::Other:
        return Document::tr("It is not an ordinary file.");
    case fs::PathKind::Unreachable:
        return target.reason;
    case fs::PathKind::Ordinary:
        break;
    }
    return {};
}

// The temporary file's name is short, whatever the document's name, so that
// every name the file system takes can be saved again; and it is the same
// for every save of one document, so that a file left behind by a save that
// was killed is taken away by the next one. The dot hides it and its
// extension keeps it out of the file chooser.
QString temporaryPathFor(const QString& target)
{
    const QFileInfo info(target);
    const QByteArray digest =
        QCryptographicHash::hash(info.fileName().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(info.path())
        .filePath(QStringLiteral(".callvista-%1.tmp").arg(QString::fromLatin1(digest.left(12))));
}

// The new document goes to a temporary file beside the old one and takes its
// place only when all of it is on the disk; then the folder is flushed, so
// that the new name, not the old file or none, is found after a power cut.
Result<void> writeEncoded(const QString& path, const Result<QByteArray>& document)
{
    if (!document.ok())
        return notSaved(path, document.error());
    const fs::PathStatus status = fs::statusOf(path);
    if (const QString error = saveTargetError(status); !error.isEmpty())
        return notSaved(path, error);

    // A link stays a link; the file it points to is replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    const bool replacing = status.kind == fs::PathKind::Ordinary;
    if (replacing && !QFileInfo(target).isWritable())
        return notSaved(path, Document::tr("The file is read-only."));

    const QString temporary = temporaryPathFor(target);
    fs::removeFile(temporary);
    QString reason;
    const fs::Handle file = fs::createFile(temporary, replacing ? target : QString(), reason);
    if (file == fs::NoHandle)
        return notSaved(path, reason);
    {
        HandleDevice device(file);
        reason = writeBytes(device, document.value()).error();
    }
    // The disk may take the bytes and find only at the flush, or even at the
    // close, that it has no room for them.
    if (reason.isEmpty())
        reason = fs::flushFile(file);
    const QString closed = fs::closeFile(file);
    if (reason.isEmpty())
        reason = closed;
    if (reason.isEmpty())
        reason = fs::replaceFile(temporary, target);
    if (!reason.isEmpty()) {
        fs::removeFile(temporary);
        return notSaved(path, reason);
    }
    if (const QString flushed = fs::flushFolder(QFileInfo(target).path()); !flushed.isEmpty())
        return Failure{Document::tr("\"%1\" was written, but its folder could not be flushed to "
                                    "the disk, so a power cut could still lose the save. %2 Save "
                                    "again to be sure.")
                           .arg(shown(path), sentence(flushed))};
    return {};
}

} // namespace

Result<qint64> openOrdinaryFile(QFile& file, const QString& path)
{
    QString reason;
    const qint64 size = fs::openForReading(file, path, reason);
    if (size < 0)
        return Failure{reason};
    return size;
}

Result<void> writeDocumentFile(const QString& path, const QStringList& lines,
                               const ColumnWidths& widths)
{
    return writeEncoded(path, encodeDocument(lines, widths));
}

Result<void> writeDocumentFile(const QString& path, const SortedLines& lines,
                               const ColumnWidths& widths)
{
    return writeEncoded(path, encodeDocument(lines, widths));
}

Result<DocumentEntries> readDocumentFile(const QString& path, const ColumnWidths& widths)
{
    const fs::PathStatus status = fs::statusOf(path);
    switch (status.kind) {
    case fs::PathKind::Missing:
        if (isUndecodableName(path))
            return notOpened(path, Document::tr("Its name is not valid in the system's "
                                                "encoding, so it cannot be opened by that "
                                                "name; rename it with a file manager."));
        return notOpened(path, Document::tr("There is no such file."));
    case fs::PathKind::Folder:
        return notOpened(path, Document::tr("It is a folder."));
    // A device is not even opened: opening some of them has effects.
    case fs::PathKind::Other:
        return notOpened(path, Document::tr("It is not an ordinary file."));
    case fs::PathKind::Unreachable:
        return notOpened(path, status.reason);
    case fs::PathKind::Ordinary:
        break;
    }

    QFile file;
    const Result<qint64> opened = openOrdinaryFile(file, path);
    if (!opened.ok())
        return notOpened(path, opened.error());
    const qint64 size = opened.value();
    const qint64 limit = maxDocumentBytes(widths);
    if (size > limit)
        return notOpened(path, Document::tr("It is %1 bytes long, more than a document can be "
                                            "(%2 bytes).")
                                   .arg(size)
                                   .arg(limit));
    // The size measured and one byte more: only a file that grew since it
    // was measured is read on, up to one byte more than the limit, which
    // tells it from one that fills the limit exactly. No buffer as large as
    // the limit: glibc, once it has freed a block that large, keeps every
    // later block of up to that size in its heap instead of giving each one
    // pages of its own, and those pages are not handed back when freed.
    QByteArray bytes = file.read(size + 1);
    if (file.error() == QFileDevice::NoError && bytes.size() > size)
        bytes += file.read(limit + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        return notOpened(path, file.errorString());
    if (bytes.size() > limit)
        return notOpened(path, Document::tr("It is more than %1 bytes long, more than a "
                                            "document can be.")
                                   .arg(limit));
    Result<DocumentEntries> result = decodeDocument(bytes, widths);
    if (!result.ok())
        return notOpened(path, result.error());
    return result;
}

Result<LoadedDocument> loadDocumentFile(const QString& path, const QLocale& locale)
{
    const Result<DocumentEntries> document = readDocumentFile(path);
    if (!document.ok())
        return Failure{document.error()};
    LoadedDocument loaded{document->report, SortedLines(locale)};
    loaded.lines.reset(document->lines);
    return loaded;
}

} // namespace callvista
