#include "core/file_name.h"

#include "core/entry_line.h"
#include "core/file_system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace callvista {

namespace {

struct FileName {
    Q_DECLARE_TR_FUNCTIONS(FileName)
};

// The longest file name, in bytes of the file system's encoding, that the
// common file systems store.
constexpr qsizetype MaxNameBytes = 255;

bool isRefusedInName(QChar c)
{
    return c == u'/' || c == u'\\' || c == u'*' || c == u'?'
           || c.category() == QChar::Other_Control;
}

bool isRefusedOnWindows(QChar c)
{
    return c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || isRefusedInName(c);
}

} // namespace

bool windowsRefusesName(const QString& name)
{
    if (name.isEmpty() || std::any_of(name.cbegin(), name.cend(), isRefusedOnWindows))
        return true;
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return true;
    // A device name stays one with any extension, and with spaces before it.
    const QString stem = name.left(name.indexOf(u'.')).trimmed().toUpper();
    static const QStringList devices{QStringLiteral("CON"), QStringLiteral("PRN"),
                                     QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT"))
           && stem.at(3) >= u'1' && stem.at(3) <= u'9';
}

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

Result<QString> acceptName(const QString& folder, const QString& name, const QString& ext,
                           AppendedExtension appended)
{
    const QString trimmed = trimSpaces(name);
    if (trimmed.isEmpty())
        return Failure{FileName::tr("You Must Specify a FileName!")};

    QString path = joinFolderAndName(folder, trimmed);
    const QString tail = path.right(4);
    if (!tail.contains(u'.'))
        path += u'.' + (appended == AppendedExtension::LowerCase ? ext.toLower() : ext);
    else if (tail.toUpper() != u'.' + ext)
        return Failure{FileName::tr("Only .%1 Files is Valid").arg(ext)};

    const QString badPath = FileName::tr("Error On Input\\Output Path+FileName!");
    const QString fileName = QFileInfo(path).fileName();
    if (std::any_of(trimmed.cbegin(), trimmed.cend(), isRefusedInName) || fs::refusesName(fileName))
        return Failure{badPath};
    // The name's characters are fine but the file system could not store it:
    // say so, or the user cannot tell what to change.
    const qsizetype bytes = QFile::encodeName(fileName).size();
    if (bytes > MaxNameBytes)
        return Failure{badPath
                       + FileName::tr("\n\nThe name is %1 bytes long with its extension; "
                                      "a file name can be at most %2 bytes.")
                             .arg(bytes)
                             .arg(MaxNameBytes)};
    return path;
}

bool documentExists(const QString& path)
{
    // Hidden or not: a hidden document is replaced as surely as any other.
    return QFileInfo(path).isFile();
}

QString fullDocumentPath(const QString& argument)
{
    return QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath());
}

bool isUndecodableName(const QString& path)
{
    const QFileInfo info(path);
    return info.fileName().contains(QChar::ReplacementCharacter) && !info.exists()
           && !info.isSymLink();
}

} // namespace callvista
