#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// Files for the tests: writing and reading bytes. Qt Core only, on every
// system; the real failures of a POSIX file system are in posix_faults.h.
namespace callvista::testing {

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The bytes of the file, or "<missing>" when it cannot be read.
inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The bytes of a document of that many entries, each of the same short name
// and phone.
inline QByteArray documentOf(int entries)
{
    QByteArray bytes;
    for (int i = 0; i < entries; ++i)
        bytes += QStringLiteral("Family %1\r\nShort\r\n555-0100\r\n")
                     .arg(i, 5, 10, QChar(u'0'))
                     .toUtf8();
    return bytes;
}

} // namespace callvista::testing
