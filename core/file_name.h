#pragma once

#include "core/result.h"

#include <QString>

// What the file chooser does with a name before any window is involved: the
// keys its name box discards, the full path it builds from the opened folder
// and the typed or listed name, and the test whether that file exists.
namespace callvista {

// True for the characters that typing into the name box discards: ".", "\",
// ":" and "/", so that a typed name never carries an extension, a folder or a
// drive of its own.
[[nodiscard]] bool isDiscardedNameKey(QChar key);

// The folder, a separator unless the folder already ends in one, and the name.
[[nodiscard]] QString joinFolderAndName(const QString& folder, const QString& name);

// How an extension that a name lacks is appended: as given ("CVA", the
// documents' own), or in lower case, as other programs name their files
// (".vcf").
enum class AppendedExtension { AsGiven, LowerCase };

// Builds the full path of `name` in `folder` and checks it, in this order:
// an empty name (after trimming spaces); the extension, judged by the last
// four characters of the full path: without a dot among them "." + ext is
// appended, with one they must read "." + ext in upper case and are kept in
// the case given; last, a name that holds a folder separator, "*", "?" or a
// control character, which could name another folder or a set of files, a
// name that the platform's file system refuses (on Windows, see
// windowsRefusesName), or one longer than a file system stores. Returns the
// full path in the platform's native form, or the error to show (title
// "Error").
Result<QString> acceptName(const QString& folder, const QString& name, const QString& ext,
                           AppendedExtension appended = AppendedExtension::AsGiven);

// True for a file name (without a folder) that Windows refuses or takes for
// something else: one holding < > : " / \ | ? * or a control character, one
// ending in a dot or a space, and the device names CON, PRN, AUX, NUL,
// COM1-COM9 and LPT1-LPT9, with or without an extension.
[[nodiscard]] bool windowsRefusesName(const QString& name);

// True when an ordinary file has exactly this path, hidden ones included, so
// that a save never replaces a hidden file without asking. Folders do not
// count, and no character of the path is taken as a pattern.
[[nodiscard]] bool documentExists(const QString& path);

// The full path, in the platform's native form, of a document named on the
// command line, relative names taken from the current folder.
[[nodiscard]] QString fullDocumentPath(const QString& argument);

// True when the path names nothing because the file's name, as the system
// stores it, is not valid in the system's encoding: what it was decoded to
// holds U+FFFD in place of the bytes it could not read, and no file has
// that name. Such a file is listed, so that it is not lost from sight, and
// opening it says why it cannot be opened.
[[nodiscard]] bool isUndecodableName(const QString& path);

} // namespace callvista
