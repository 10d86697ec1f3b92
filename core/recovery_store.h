#pragma once

#include "core/document_file.h"
#include "core/file_system.h"
#include "core/result.h"
#include "core/sorted_lines.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;

// Copies of unsaved changes, so that a program that is killed or ended by
// the system loses none of them. Each running program keeps at most one
// copy in the folder, beside a lock it holds while it runs; a copy whose
// lock is stale was left by a program that has ended, and is offered at the
// next start. Copies are written as a document is saved (writeFileSafely),
// readable by the user alone.
namespace callvista {

// What a copy holds: the document as it was when the copy was written.
struct RecoveredDocument {
    // Nothing for an untitled document.
    std::optional<QString> path;
    QDateTime written;
    // What the document's file held when it was last opened or saved.
    std::optional<FileSnapshot> file;
    SortedLines lines;
};

// A copy that an ended program left, held by this program (its lock taken)
// while it decides what to do with it, so that no other program offers it
// meanwhile. Let go when it is destroyed.
struct LeftCopy {
    QString id;
    std::unique_ptr<QLockFile> lock;

    LeftCopy(QString id, std::unique_ptr<QLockFile> lock);
    LeftCopy(LeftCopy&&) noexcept;
    LeftCopy& operator=(LeftCopy&&) noexcept;
    ~LeftCopy();
};

class RecoveryStore
{
public:
    // The copies go to the folder, made when the first copy is written;
    // nothing is made before.
    RecoveryStore(FileSystem& files, QString folder);
    // Lets go of this program's lock. Its copy stays, if it was not removed:
    // the changes in it were neither saved nor given up.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // "recovery" in the user's local data folder of this program, empty when
    // the system names none.
    [[nodiscard]] static QString standardFolder();
    [[nodiscard]] const QString& folder() const { return m_folder; }
    // The file of this program's copy; empty while it has none.
    [[nodiscard]] QString ownCopy() const;

    // Writes this program's copy of the document: its lines, its path and
    // what its file held. On failure the copy written before stays.
    Result<void> write(const SortedLines& lines, const std::optional<QString>& path,
                       const std::optional<FileSnapshot>& file);
    // Removes this program's copy, if it has one.
    void remove();

    // The newest copy that a program which has ended left, taken for this
    // one; nothing when there is none. A start without copies costs the
    // listing of the folder and no more.
    [[nodiscard]] std::optional<LeftCopy> takeLeftCopy();
    // What the copy holds, or why it cannot be read, naming its file.
    [[nodiscard]] Result<RecoveredDocument> read(const LeftCopy& copy,
                                                 const QLocale& locale = QLocale()) const;
    // Deletes the copy: its changes were given up.
    void discard(LeftCopy&& copy);
    // Puts a damaged copy aside, where it is no longer offered, and says
    // where it went.
    QString setAside(LeftCopy&& copy);
    // The copy becomes this program's own, kept until its changes are saved
    // or given up, so that a second crash still finds it.
    void adopt(LeftCopy&& copy);

private:
    [[nodiscard]] QString copyPath(const QString& id) const;
    [[nodiscard]] QString lockPath(const QString& id) const;
    // The folder, the lock and an empty copy readable by the user alone.
    Result<void> claim();

    FileSystem& m_files;
    QString m_folder;
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace callvista
