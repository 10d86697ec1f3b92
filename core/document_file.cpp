#include "core/document_file.h"

#include "core/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

DocumentWriteResult writeEncoded(const QString& path, const EncodedDocument& document)
{
    if (!document.ok())
        return writeFailure(path, document.error);
    if (const QString refusal = saveTargetRefusal(path); !refusal.isEmpty())
        return writeFailure(path, refusal);
    if (const QString reason = replaceFileWith(path, document.bytes); !reason.isEmpty())
        return writeFailure(path, reason);
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

} // namespace callvista
