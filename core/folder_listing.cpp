#include "core/folder_listing.h"

#include "core/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <array>

namespace callvista {

bool isPseudoFileSystem(const QByteArray& type)
{
    static constexpr std::array<const char*, 26> pseudo{
        "autofs",     "binfmt_misc",    "bpf",      "cgroup",   "cgroup2", "configfs",
        "debugfs",    "devpts",         "devtmpfs", "efivarfs", "fusectl", "hugetlbfs",
        "mqueue",     "nsfs",           "proc",     "pstore",   "ramfs",   "rpc_pipefs",
        "securityfs", "selinuxfs",      "squashfs", "sysfs",    "tmpfs",   "tracefs",
        "rootfs",     "fuse.gvfsd-fuse"};
    return std::any_of(pseudo.cbegin(), pseudo.cend(),
                       [&type](const char* name) { return type == name; });
}

QStringList listDrives()
{
    QStringList drives{QDir::rootPath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || isPseudoFileSystem(volume.fileSystemType()))
            continue;
        // Single files bound into a container show up as mounts too.
        if (!QFileInfo(volume.rootPath()).isDir())
            continue;
        if (!drives.contains(volume.rootPath()))
            drives.append(volume.rootPath());
    }
    return drives;
}

QString driveOf(const QString& folder)
{
    const QStorageInfo volume(folder);
    return volume.isValid() ? volume.rootPath() : QDir::rootPath();
}

QString fallbackDrive()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/");
#else
    return QDir::rootPath();
#endif
}

bool canListFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable())
        return false;
#ifndef Q_OS_WIN
    if (!info.isExecutable())
        return false;
#endif
    return true;
}

QStringList folderChain(const QString& folder)
{
    QStringList chain;
    QString current = QDir::cleanPath(QDir(folder).absolutePath());
    for (;;) {
        chain.prepend(current);
        const QDir dir(current);
        if (dir.isRoot())
            break;
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            break;
        current = parent;
    }
    return chain;
}

// QDir lets a link through whatever it points to; what a link stands for
// is judged here, after following it.
QStringList subfolders(const QString& folder)
{
    const QDir dir(folder);
    QStringList paths;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries)
        if (entry.isDir())
            paths.append(entry.filePath());
    return paths;
}

QStringList matchingFiles(const QString& folder, const QString& pattern)
{
    QDir dir(folder);
    const QStringList patterns = pattern.split(u';', Qt::SkipEmptyParts);
    dir.setNameFilters(patterns);
    QStringList names;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries)
        if (entry.isFile())
            names.append(entry.fileName());
    const QStringList undecodable = fs::undecodableFiles(folder);
    if (undecodable.isEmpty())
        return names;
    for (const QString& name : undecodable)
        if (QDir::match(patterns, name))
            names.append(name);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

} // namespace callvista
