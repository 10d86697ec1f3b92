#include "core/file_system.h"

#include <QCoreApplication>

namespace callvista {

namespace {

struct Disk {
    Q_DECLARE_TR_FUNCTIONS(Disk)
};

} // namespace

QString describe(const FileStatus& status)
{
    // The system's texts are often lower-case phrases; the user reads
    // sentences.
    if (QString text = status.systemText.trimmed(); !text.isEmpty()) {
        text[0] = text.at(0).toUpper();
        if (!text.endsWith(u'.'))
            text += u'.';
        return text;
    }
    switch (status.error) {
    case FileError::None:
        return {};
    case FileError::Missing:
        return Disk::tr("There is no such file.");
    case FileError::Folder:
        return Disk::tr("It is a folder.");
    case FileError::NotOrdinary:
        return Disk::tr("It is not an ordinary file.");
    case FileError::NoRoom:
        return Disk::tr("There is no room left on the disk.");
    case FileError::NoPermission:
        return Disk::tr("The system does not permit it.");
    case FileError::TooLarge:
        return Disk::tr("The file would be too large.");
    case FileError::Other:
        break;
    }
    return Disk::tr("The system gave no reason.");
}

FileStatus WritableFile::write(QByteArrayView bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        qint64 written = 0;
        if (FileStatus status = writeSome(bytes.data() + done, bytes.size() - done, written);
            !status.ok())
            return status;
        if (written <= 0)
            return {FileError::Other, Disk::tr("The system took none of the bytes")};
        done += written;
    }
    return {};
}

FileStatus ReadableFile::read(QByteArray& bytes, qint64 most)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + qsizetype(most));
    qint64 done = 0;
    FileStatus status;
    while (done < most) {
        qint64 got = 0;
        status = readSome(bytes.data() + start + done, most - done, got);
        if (!status.ok() || got <= 0)
            break;
        done += got;
    }
    bytes.resize(start + qsizetype(done));
    return status;
}

} // namespace callvista
