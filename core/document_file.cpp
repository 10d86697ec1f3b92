#include "core/document_file.h"

#include "core/document_writer.h"
#include "core/file_name.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <memory>

namespace callvista {

namespace {

struct Document {
    Q_DECLARE_TR_FUNCTIONS(Document)
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Failure notSaved(const QString& path, const QString& reason)
{
    return {Document::tr("\"%1\" was not saved. %2").arg(shown(path), reason)};
}

Failure notOpened(const QString& path, const QString& reason)
{
    return {Document::tr("\"%1\" cannot be opened. %2").arg(shown(path), reason)};
}

// Only an ordinary file, or a link to one, is replaced by a save; a device,
// a pipe or a link to one of them must never be. Nothing there is a new file.
QString saveTargetError(FileSystem& fs, const QString& path, const FileStatus& target)
{
    if (target.error != FileError::Missing)
        return describe(target);
    return fs.isDanglingLink(path) ? Document::tr("It is a link to a file that does not exist.")
                                   : QString();
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

// The bytes go to a temporary file beside the old one, which takes its place
// only when all of them are on the disk; then the folder is flushed, so that
// the new name, not the old file or none, is found after a power cut.
// `replaced` says whether the file at the path holds the new bytes, which it
// also does when only the flush of the folder failed.
Result<void> writeSafely(FileSystem& fs, const QString& path, QByteArrayView bytes, bool& replaced)
{
    replaced = false;
    const FileStatus status = fs.statusOf(path);
    if (const QString error = saveTargetError(fs, path, status); !error.isEmpty())
        return notSaved(path, error);

    // A link stays a link; the file it points to is replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    const bool replacing = status.ok();
    if (replacing && !QFileInfo(target).isWritable())
        return notSaved(path, Document::tr("The file is read-only."));

    const QString temporary = temporaryPathFor(target);
    fs.removeFile(temporary);
    std::unique_ptr<WritableFile> file;
    FileStatus failure = fs.createFile(temporary, replacing ? target : QString(), file);
    if (!failure.ok())
        return notSaved(path, describe(failure));
    failure = file->write(bytes);
    // The disk may take the bytes and find only at the flush, or even at the
    // close, that it has no room for them.
    if (failure.ok())
        failure = file->flush();
    if (const FileStatus closed = file->close(); failure.ok())
        failure = closed;
    if (failure.ok())
        failure = fs.replaceFile(temporary, target);
    if (!failure.ok()) {
        fs.removeFile(temporary);
        return notSaved(path, describe(failure));
    }
    replaced = true;
    if (const FileStatus flushed = fs.flushFolder(QFileInfo(target).path()); !flushed.ok())
        return Failure{Document::tr("\"%1\" was written, but its folder could not be flushed to "
                                    "the disk, so a power cut could still lose the save. %2 Save "
                                    "again to be sure.")
                           .arg(shown(path), describe(flushed))};
    return {};
}

// XXH64 (seed 0), as its specification gives it: a stable 64-bit digest at
// the speed of memory, where SHA-1 took two milliseconds of every save of a
// full list. It tells a changed file, not a forged one: whoever may write
// the file needs no collision.
constexpr quint64 Prime1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 Prime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 Prime3 = 0x165667B19E3779F9ULL;
constexpr quint64 Prime4 = 0x85EBCA77C2B2AE63ULL;
constexpr quint64 Prime5 = 0x27D4EB2F165667C5ULL;

quint64 rotated(quint64 value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

quint64 mixed(quint64 lane, quint64 input)
{
    return rotated(lane + input * Prime2, 31) * Prime1;
}

quint64 xxh64(const uchar* data, qsizetype length)
{
    const uchar* const end = data + length;
    quint64 hash = Prime5;
    if (length >= 32) {
        quint64 lanes[4] = {Prime1 + Prime2, Prime2, 0, 0 - Prime1};
        for (; end - data >= 32; data += 32)
            for (int lane = 0; lane < 4; ++lane)
                lanes[lane] = mixed(lanes[lane], qFromLittleEndian<quint64>(data + 8 * lane));
        hash = rotated(lanes[0], 1) + rotated(lanes[1], 7) + rotated(lanes[2], 12)
               + rotated(lanes[3], 18);
        for (const quint64 lane : lanes)
            hash = (hash ^ mixed(0, lane)) * Prime1 + Prime4;
    }
    hash += quint64(length);
    for (; end - data >= 8; data += 8)
        hash = rotated(hash ^ mixed(0, qFromLittleEndian<quint64>(data)), 27) * Prime1 + Prime4;
    if (end - data >= 4) {
        hash = rotated(hash ^ quint64(qFromLittleEndian<quint32>(data)) * Prime1, 23) * Prime2
               + Prime3;
        data += 4;
    }
    for (; data < end; ++data)
        hash = rotated(hash ^ *data * Prime5, 11) * Prime1;
    hash ^= hash >> 33;
    hash *= Prime2;
    hash ^= hash >> 29;
    hash *= Prime3;
    return hash ^ (hash >> 32);
}

Result<DocumentEntries> decodeRead(const QString& path, const Result<QByteArray>& bytes,
                                   const ColumnWidths& widths)
{
    if (!bytes.ok())
        return Failure{bytes.error()};
    Result<DocumentEntries> result = decodeDocument(bytes.value(), widths);
    if (!result.ok())
        return notOpened(path, result.error());
    return result;
}

} // namespace

QByteArray digestOf(QByteArrayView bytes)
{
    const quint64 digest = xxh64(reinterpret_cast<const uchar*>(bytes.data()), bytes.size());
    QByteArray big(sizeof digest, Qt::Uninitialized);
    qToBigEndian(digest, big.data());
    return big;
}

Result<void> writeEncodedFile(FileSystem& fs, const QString& path, const Result<QByteArray>& bytes)
{
    if (!bytes.ok())
        return notSaved(path, bytes.error());
    return writeFileSafely(fs, path, bytes.value());
}

Result<void> writeFileSafely(FileSystem& fs, const QString& path, QByteArrayView bytes)
{
    bool replaced = false;
    return writeSafely(fs, path, bytes, replaced);
}

Result<void> writeDocumentFile(FileSystem& fs, const QString& path, const QStringList& lines,
                               const ColumnWidths& widths)
{
    return writeEncodedFile(fs, path, encodeDocument(lines, widths));
}

Result<void> writeDocumentFile(FileSystem& fs, const QString& path, const SortedLines& lines,
                               const ColumnWidths& widths)
{
    return writeEncodedFile(fs, path, encodeDocument(lines, widths));
}

Result<void> saveDocumentFile(FileSystem& fs, const QString& path, const SortedLines& lines,
                              std::optional<FileSnapshot>& saved)
{
    saved.reset();
    const Result<QByteArray> bytes = encodeDocument(lines);
    if (!bytes.ok())
        return notSaved(path, bytes.error());
    bool replaced = false;
    const Result<void> written = writeSafely(fs, path, bytes.value(), replaced);
    if (replaced) {
        FileSnapshot snapshot{{}, digestOf(bytes.value())};
        // A stamp the system would not give is left unknown: the bytes then
        // decide at the next save.
        if (!fs.stampOf(path, snapshot.stamp).ok())
            snapshot.stamp = {};
        saved = std::move(snapshot);
    }
    return written;
}

Result<FileChange> changeSince(FileSystem& fs, const QString& path, const FileSnapshot& snapshot)
{
    FileStamp now;
    const FileStatus looked = fs.stampOf(path, now);
    if (looked.error == FileError::Missing)
        return FileChange::Removed;
    if (!looked.ok())
        return notSaved(path, describe(looked));
    if (now == snapshot.stamp)
        return FileChange::Same;
    // Other bytes when the size differs; the same size at another time may
    // be a file that was only touched, which its bytes tell.
    if ((snapshot.stamp.size >= 0 && now.size != snapshot.stamp.size)
        || now.size > maxDocumentBytes())
        return FileChange::Changed;
    const Result<QByteArray> bytes = readWholeFile(fs, path, maxDocumentBytes());
    if (!bytes.ok())
        return notSaved(path, Document::tr("It could not be read again to see whether another "
                                           "program changed it: %1")
                                  .arg(bytes.error()));
    return digestOf(bytes.value()) == snapshot.digest ? FileChange::Same : FileChange::Changed;
}

Result<QByteArray> readWholeFile(FileSystem& fs, const QString& path, qint64 limit)
{
    const FileStatus status = fs.statusOf(path);
    if (status.error == FileError::Missing && isUndecodableName(path))
        return notOpened(path, Document::tr("Its name is not valid in the system's encoding, so it "
                                            "cannot be opened by that name; rename it with a file "
                                            "manager."));
    // A device is not even opened: opening some of them has effects.
    if (!status.ok())
        return notOpened(path, describe(status));

    std::unique_ptr<ReadableFile> file;
    if (const FileStatus opened = fs.openForReading(path, file); !opened.ok())
        return notOpened(path, describe(opened));
    const qint64 size = file->size();
    if (size > limit)
        return notOpened(path, Document::tr("It is %1 bytes long, more than a file of its kind can "
                                            "be (%2 bytes).")
                                   .arg(size)
                                   .arg(limit));
    // The size measured and one byte more: only a file that grew since it
    // was measured is read on, up to one byte more than the limit, which
    // tells it from one that fills the limit exactly. No buffer as large as
    // the limit: glibc, once it has freed a block that large, keeps every
    // later block of up to that size in its heap instead of giving each one
    // pages of its own, and those pages are not handed back when freed.
    QByteArray bytes;
    FileStatus read = file->read(bytes, size + 1);
    if (read.ok() && bytes.size() > size)
        read = file->read(bytes, limit + 1 - bytes.size());
    if (!read.ok())
        return notOpened(path, describe(read));
    if (bytes.size() > limit)
        return notOpened(path,
                         Document::tr("It is more than %1 bytes long, more than a file of its "
                                      "kind can be.")
                             .arg(limit));
    return bytes;
}

Result<DocumentEntries> readDocumentFile(FileSystem& fs, const QString& path,
                                         const ColumnWidths& widths)
{
    return decodeRead(path, readWholeFile(fs, path, maxDocumentBytes(widths)), widths);
}

Result<LoadedDocument> loadDocumentFile(FileSystem& fs, const QString& path, const QLocale& locale)
{
    FileStamp stamp;
    const FileStatus looked = fs.stampOf(path, stamp);
    const Result<QByteArray> bytes = readWholeFile(fs, path, maxDocumentBytes());
    const Result<DocumentEntries> document = decodeRead(path, bytes, EntryWidths);
    if (!document.ok())
        return Failure{document.error()};
    if (!looked.ok())
        return notOpened(path, describe(looked));
    LoadedDocument loaded{document->report, SortedLines(locale), {stamp, digestOf(bytes.value())}};
    loaded.lines.reset(document->lines);
    return loaded;
}

} // namespace callvista
