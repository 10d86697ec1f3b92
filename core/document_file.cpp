#include "core/document_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

} // namespace

bool writeAllBytes(QIODevice& file, const QByteArray& bytes, QString& reason)
{
    if (file.write(bytes) == bytes.size())
        return true;
    reason = file.errorString();
    return false;
}

DocumentWriteResult writeDocumentFile(const QString& path, const QStringList& lines,
                                      const ColumnWidths& widths, WriteBytesFunction writeBytes)
{
    const EncodedDocument document = encodeDocument(lines, widths);
    if (!document.ok())
        return writeFailure(path, document.error);
    if (QFileInfo(path).isDir())
        return writeFailure(path, QStringLiteral("It is a folder."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return writeFailure(path, file.errorString());
    QString reason;
    if (!writeBytes(file, document.bytes, reason)) {
        file.cancelWriting();
        return writeFailure(path, reason);
    }
    if (!file.commit())
        return writeFailure(path, file.errorString());
    return {};
}

DecodedDocument readDocumentFile(const QString& path, const ColumnWidths& widths)
{
    const QFileInfo info(path);
    if (!info.exists())
        return readRefusal(path, QStringLiteral("There is no such file."));
    if (info.isDir())
        return readRefusal(path, QStringLiteral("It is a folder."));
    if (!info.isFile())
        return readRefusal(path, QStringLiteral("It is not an ordinary file."));
    const qint64 limit = maxDocumentBytes(widths);
    if (info.size() > limit)
        return readRefusal(path, QStringLiteral("It is %1 bytes long, more than a document can "
                                                "be (%2 bytes).")
                                     .arg(info.size())
                                     .arg(limit));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readRefusal(path, file.errorString());
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
