#include "core/recovery_store.h"

#include "core/document_reader.h"
#include "core/document_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace callvista {

namespace {

struct Recovery {
    Q_DECLARE_TR_FUNCTIONS(Recovery)
};

// A copy is a few lines of its own, an empty line, and the document as it
// is saved, in UTF-8 whatever the system's encoding, so that it reads back
// exactly:
//
//   Callvista recovery copy 1
//   path <the document's path, percent-encoded>     (none while untitled)
//   written <UTC time, ISO 8601>
//   file <size> <time> <digest>     (what the file held when opened or saved)
//   document <bytes> <digest>                       (of what follows)
//
// A copy cut short or changed since is told by its digest.
constexpr char Heading[] = "Callvista recovery copy 1";
constexpr qsizetype MostHeaderBytes = 64 * 1024;
constexpr char CopySuffix[] = ".copy";

QByteArray copyBytes(const QByteArray& document, const std::optional<QString>& path,
                     const std::optional<FileSnapshot>& file)
{
    QByteArray bytes = QByteArray(Heading) + '\n';
    if (path)
        bytes += "path " + QUrl::toPercentEncoding(*path) + '\n';
    bytes +=
        "written " + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    if (file)
        bytes += "file " + QByteArray::number(file->stamp.size) + ' '
                 + QByteArray::number(file->stamp.modified) + ' ' + file->digest.toHex() + '\n';
    bytes += "document " + QByteArray::number(document.size()) + ' ' + digestOf(document).toHex()
             + "\n\n";
    bytes.reserve(bytes.size() + document.size());
    bytes += document;
    return bytes;
}

std::optional<FileSnapshot> snapshotFrom(const QByteArray& value)
{
    const QList<QByteArray> parts = value.split(' ');
    bool sized = false;
    bool timed = false;
    FileSnapshot file{{parts.value(0).toLongLong(&sized), parts.value(1).toLongLong(&timed)},
                      QByteArray::fromHex(parts.value(2))};
    if (parts.size() != 3 || !sized || !timed)
        return std::nullopt;
    return file;
}

// What the copy's bytes hold, or why they are no copy.
Result<RecoveredDocument> decodeCopy(const QByteArray& bytes, const QLocale& locale)
{
    const qsizetype end = bytes.indexOf("\n\n");
    const QList<QByteArray> header = bytes.left(std::max<qsizetype>(end, 0)).split('\n');
    if (end < 0 || end > MostHeaderBytes || header.first() != Heading)
        return Failure{Recovery::tr("It is not a copy of unsaved changes.")};
    RecoveredDocument copy{std::nullopt, {}, std::nullopt, SortedLines(locale)};
    qint64 size = -1;
    QByteArray digest;
    for (const QByteArray& line : header.mid(1)) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray key = line.left(space);
        const QByteArray value = space < 0 ? QByteArray() : line.mid(space + 1);
        if (key == "path")
            copy.path = QUrl::fromPercentEncoding(value);
        else if (key == "written")
            copy.written = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        else if (key == "file")
            copy.file = snapshotFrom(value);
        else if (key == "document") {
            const QList<QByteArray> parts = value.split(' ');
            size = parts.value(0).toLongLong();
            digest = QByteArray::fromHex(parts.value(1));
        }
    }
    const QByteArray document =
        QByteArray::fromRawData(bytes.constData() + end + 2, bytes.size() - end - 2);
    if (document.size() != size || digestOf(document) != digest)
        return Failure{Recovery::tr("It was cut short or changed after it was written.")};
    const Result<DocumentEntries> entries = decodeDocument(document);
    if (!entries.ok())
        return Failure{entries.error()};
    copy.lines.reset(entries->lines);
    return copy;
}

} // namespace

LeftCopy::LeftCopy(QString id, std::unique_ptr<QLockFile> lock)
    : id(std::move(id))
    , lock(std::move(lock))
{
}

LeftCopy::LeftCopy(LeftCopy&&) noexcept = default;
LeftCopy& LeftCopy::operator=(LeftCopy&&) noexcept = default;
LeftCopy::~LeftCopy() = default;

RecoveryStore::RecoveryStore(FileSystem& files, QString folder)
    : m_files(files)
    , m_folder(std::move(folder))
{
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::standardFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("recovery"));
}

QString RecoveryStore::copyPath(const QString& id) const
{
    return QDir(m_folder).filePath(id + QLatin1String(CopySuffix));
}

QString RecoveryStore::lockPath(const QString& id) const
{
    return QDir(m_folder).filePath(id + QLatin1String(".lock"));
}

QString RecoveryStore::ownCopy() const
{
    return m_lock ? copyPath(m_id) : QString();
}

Result<void> RecoveryStore::claim()
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return Failure{Recovery::tr("The folder \"%1\" for copies of unsaved changes cannot be "
                                    "made.")
                           .arg(QDir::toNativeSeparators(m_folder))};
    // The user's alone: no one else may read the unsaved entries.
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString id = QString::number(QRandomGenerator::system()->generate64(), 16);
    auto lock = std::make_unique<QLockFile>(lockPath(id));
    // Stale only once the program that holds it has ended, however long it
    // has run.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return Failure{
            Recovery::tr("\"%1\" cannot be made.").arg(QDir::toNativeSeparators(lockPath(id)))};
    // Empty and readable by the user alone, before any entry is in it: every
    // copy written over it keeps the permissions of the file it replaces.
    QFile copy(copyPath(id));
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)
        || !copy.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return Failure{Recovery::tr("\"%1\" cannot be made. %2")
                           .arg(QDir::toNativeSeparators(copyPath(id)), copy.errorString())};
    m_id = id;
    m_lock = std::move(lock);
    return {};
}

Result<void> RecoveryStore::write(const SortedLines& lines, const std::optional<QString>& path,
                                  const std::optional<FileSnapshot>& file)
{
    const Result<QByteArray> document = encodeDocument(lines, EntryWidths, TextEncoding{"UTF-8"});
    if (!document.ok())
        return Failure{document.error()};
    if (!m_lock)
        if (const Result<void> claimed = claim(); !claimed.ok())
            return claimed;
    return writeFileSafely(m_files, ownCopy(), copyBytes(document.value(), path, file));
}

void RecoveryStore::remove()
{
    if (!m_lock)
        return;
    m_files.removeFile(copyPath(m_id));
    m_lock.reset();
    m_id.clear();
}

std::optional<LeftCopy> RecoveryStore::takeLeftCopy()
{
    if (m_folder.isEmpty())
        return std::nullopt;
    const QFileInfoList copies =
        QDir(m_folder).entryInfoList({QStringLiteral("*.copy")}, QDir::Files, QDir::Time);
    for (const QFileInfo& found : copies) {
        const QString id = found.completeBaseName();
        if (id == m_id)
            continue;
        auto lock = std::make_unique<QLockFile>(lockPath(id));
        lock->setStaleLockTime(0);
        // Held while its program runs.
        if (!lock->tryLock(0))
            continue;
        LeftCopy copy(id, std::move(lock));
        // Its program ended before it wrote a change into it.
        if (found.size() == 0) {
            discard(std::move(copy));
            continue;
        }
        return copy;
    }
    return std::nullopt;
}

Result<RecoveredDocument> RecoveryStore::read(const LeftCopy& copy, const QLocale& locale) const
{
    const QString path = copyPath(copy.id);
    const Result<QByteArray> bytes =
        readWholeFile(m_files, path, maxDocumentBytes() + MostHeaderBytes);
    if (!bytes.ok())
        return Failure{bytes.error()};
    Result<RecoveredDocument> document = decodeCopy(bytes.value(), locale);
    if (!document.ok())
        return Failure{Recovery::tr("\"%1\" cannot be restored. %2")
                           .arg(QDir::toNativeSeparators(path), document.error())};
    return document;
}

void RecoveryStore::discard(LeftCopy&& copy)
{
    m_files.removeFile(copyPath(copy.id));
    copy.lock.reset();
}

QString RecoveryStore::setAside(LeftCopy&& copy)
{
    const QString aside = QDir(m_folder).filePath(copy.id + QLatin1String(".damaged"));
    const bool moved = m_files.replaceFile(copyPath(copy.id), aside).ok();
    copy.lock.reset();
    return QDir::toNativeSeparators(moved ? aside : copyPath(copy.id));
}

void RecoveryStore::adopt(LeftCopy&& copy)
{
    remove();
    m_id = std::move(copy.id);
    m_lock = std::move(copy.lock);
}

} // namespace callvista
