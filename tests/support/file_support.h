#pragma once

#include "core/entry_line.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// Files for the tests: writing and reading bytes. Qt Core only, on every
// system; the real failures of a POSIX file system are in posix_faults.h.
namespace callvista::testing {

// Goes back to the folder that was current when it was made, when its scope
// ends.
class CurrentFolderKept
{
public:
    CurrentFolderKept() = default;
    ~CurrentFolderKept() { QDir::setCurrent(m_folder); }
    CurrentFolderKept(const CurrentFolderKept&) = delete;
    CurrentFolderKept& operator=(const CurrentFolderKept&) = delete;

private:
    QString m_folder = QDir::currentPath();
};

// A new empty folder, the process's current one while it lives (the file
// chooser starts there, and relative names land there); the folder that
// was current before is current again afterwards and this one is removed.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        if (m_dir.isValid() && QDir::setCurrent(m_dir.path()))
            m_path = QDir::currentPath();
    }

    // Empty when the folder could not be made or made current.
    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] QString filePath(const QString& name) const
    {
        return QDir(m_path).filePath(name);
    }

private:
    CurrentFolderKept m_previous;
    QTemporaryDir m_dir;
    QString m_path;
};

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

// The entry lines of that many entries, each named by its number.
inline QStringList numberedLines(int entries)
{
    QStringList lines;
    for (int i = 0; i < entries; ++i)
        lines.append(makeEntryLine(QStringLiteral("Saved %1").arg(i, 5, 10, QChar(u'0')), "New",
                                   "555-0142"));
    return lines;
}

} // namespace callvista::testing
