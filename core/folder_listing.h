#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the file chooser's drive, folder and file lists show, read from the
// file system. Paths are absolute and use "/" as Qt does; the lists turn them
// into the platform's form only for display.
namespace callvista {

// True for file systems that hold no user data: the kernel's views of
// processes, devices and control groups, and the like.
[[nodiscard]] bool isPseudoFileSystem(const QByteArray& type);

// The root folder first, then the root folders of the other mounted file
// systems that are valid, ready and hold user data, each once.
[[nodiscard]] QStringList listDrives();

// The root folder of the file system that holds `folder`.
[[nodiscard]] QString driveOf(const QString& folder);

// The drive that the chooser falls back to when a chosen one cannot be read.
[[nodiscard]] QString fallbackDrive();

// True when `folder` is a folder whose entries can be read.
[[nodiscard]] bool canListFolder(const QString& folder);

// The folders from the root down to `folder` itself, e.g. "/", "/a", "/a/b".
[[nodiscard]] QStringList folderChain(const QString& folder);

// The full paths of the folder's subfolders (and links to folders), hidden
// ones left out, sorted by name without regard to letter case.
[[nodiscard]] QStringList subfolders(const QString& folder);

// The names of the ordinary, non-hidden files of `folder` (and links to
// such files) that match one of the ";"-separated patterns without regard to
// letter case, sorted by name. Devices, pipes and links to them are left out.
// A file whose name is not valid in the system's encoding is listed under
// its name as decoded, so that opening it can say why it cannot be opened.
[[nodiscard]] QStringList matchingFiles(const QString& folder, const QString& pattern);

} // namespace callvista
