#include "core/file_name.h"

#include "core/entry_line.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace callvista {

namespace {

// The longest file name, in bytes of the file system's encoding, that the
// common file systems store.
constexpr qsizetype MaxNameBytes = 255;

bool isRefusedInName(QChar c)
{
    return c == u'/' || c == u'\\' || c == u'*' || c == u'?'
           || c.category() == QChar::Other_Control;
}

} // namespace

bool isDiscardedNameKey(QChar key)
{
    return key == u'.' || key == u'\\' || key == u':' || key == u'/';
}

QString joinFolderAndName(const QString& folder, const QString& name)
{
    QString path = QDir::toNativeSeparators(folder);
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path + name;
}

AcceptedName acceptName(const QString& folder, const QString& name, const QString& ext)
{
    const QString trimmed = trimSpaces(name);
    if (trimmed.isEmpty())
        return {{}, QStringLiteral("You Must Specify a FileName!")};

    QString path = joinFolderAndName(folder, trimmed);
    const QString tail = path.right(4);
    if (!tail.contains(u'.'))
        path += u'.' + ext;
    else if (tail.toUpper() != u'.' + ext)
        return {{}, QStringLiteral("Only .") + ext + QStringLiteral(" Files is Valid")};

    if (std::any_of(trimmed.cbegin(), trimmed.cend(), isRefusedInName)
        || QFile::encodeName(QFileInfo(path).fileName()).size() > MaxNameBytes)
        return {{}, QStringLiteral("Error On Input\\Output Path+FileName!")};
    return {path, {}};
}

bool documentExists(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

QString fullDocumentPath(const QString& argument)
{
    return QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath());
}

} // namespace callvista
