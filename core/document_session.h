#pragma once

#include "core/document_file.h"
#include "core/entry_match.h"
#include "core/user_prompts.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

// The open document's life: its name, whether it has unsaved changes, the
// search that Find offers again, and the decisions of New, Open, Save, Save
// As and closing, with the questions they ask on the way. The window builds
// the controls and forwards each command here; the session reads and writes
// the files, asks and tells through UserPrompts, and changes the entries
// only through EntryStore.
namespace callvista {

class RecoveryStore;
struct RecoveredDocument;

// Where the window keeps the document's entries.
class EntryStore
{
public:
    virtual ~EntryStore() = default;

    [[nodiscard]] virtual const SortedLines& lines() const = 0;
    // Replaces every entry by these lines, already in order.
    virtual void replaceLines(SortedLines&& lines) = 0;
    virtual void clearLines() = 0;
};

// A file made of the entries for another program, or to be printed: how
// its name is chosen and how the entries become its bytes.
struct ExportFormat {
    ChooserOptions chooser;
    // The file's bytes for the entries in their order; `caption` names the
    // document, as the window's caption does.
    std::function<Result<QByteArray>(const SortedLines& lines, const QString& caption)> encode;
};

class DocumentSession : public QObject
{
    Q_OBJECT

public:
    // What came of a save: the file was written, the Save As chooser was
    // left without a name, or the file was not written (the user has been
    // told, or kept another program's change), which keeps the changes.
    enum class SaveOutcome { Saved, Cancelled, Failed };

    // Something to tell the user once the window is up.
    struct Notice {
        QString title;
        QString text;
    };

    DocumentSession(EntryStore& entries, UserPrompts& user, FileSystem& files,
                    QObject* parent = nullptr);

    // The document's file; nothing while it has none.
    [[nodiscard]] const std::optional<QString>& path() const { return m_path; }
    // The window's caption: the path, or "<Untitled>".
    [[nodiscard]] QString caption() const;
    [[nodiscard]] static QString untitledCaption();

    [[nodiscard]] bool isModified() const { return m_modified; }
    // Add, Edit and Delete changed the entries.
    void setModified();

    [[nodiscard]] const Search& search() const { return m_search; }
    void rememberSearch(const Search& search) { m_search = search; }

    void newDocument();
    void openDocument();
    SaveOutcome save();
    SaveOutcome saveAs();
    // Writes the entries to a file the user chooses, as a document is saved
    // (the same checks and messages), and leaves the document's name and
    // its unsaved changes as they were.
    SaveOutcome exportTo(const ExportFormat& format);
    // Asks about unsaved changes and saves on Yes. False only when that save
    // failed: the window then stays open rather than lose the changes.
    bool mayClose();

    // Takes in a document read beforehand from the path, as Open does once
    // it has read the file, and hands back what to tell the user about it:
    // the refusal (the document stays as it was), what the reader mended,
    // or nothing.
    std::optional<Notice> adoptRead(const QString& path, Result<LoadedDocument>&& document);

    // From now on keeps a copy of the unsaved changes in the store (nothing
    // with nullptr): written a moment after the changes, removed when they
    // are saved or given up, and kept when the program ends without either.
    void keepCopiesIn(RecoveryStore* store);
    // Writes the copy that waits for its moment at once: the program is
    // about to be ended.
    void writePendingCopy();
    // At start, before any change: offers the changes of a program that
    // ended without saving them, newest first, one copy per start. Yes
    // restores them (still unsaved, under their name), No deletes the copy;
    // a damaged copy is reported and put aside. True when changes were
    // restored.
    bool offerLeftCopy();

signals:
    // The caption after a command named the document, also when the name
    // stayed the same.
    void captionChanged(const QString& caption);
    // New emptied the entries (fromFile false), or Open or a restored copy
    // replaced them (true); the remembered search is gone.
    void documentReplaced(bool fromFile);
    void modificationChanged(bool modified);

private:
    // The unsaved-changes question of New and Open: false ends the command.
    bool settleChangesBeforeReplacing();
    // Before Save writes over the document's file: a file that another
    // program changed since it was opened or saved is overwritten only when
    // the user says so.
    bool mayOverwrite();
    SaveOutcome writeTo(const QString& path);
    // After a command has made, opened or written the file: the document is
    // named by it and has no unsaved changes.
    void named(const QString& path);
    void setModifiedState(bool modified);
    void scheduleCopy();
    void writeCopy();
    // The changes were saved or given up.
    void dropCopy();
    // The document of a copy, unsaved, under its name.
    void restore(RecoveredDocument&& copy);

    EntryStore& m_entries;
    UserPrompts& m_user;
    FileSystem& m_files;
    std::optional<QString> m_path;
    bool m_modified = false;
    Search m_search;
    // What the document's file held when it was opened or last saved.
    std::optional<FileSnapshot> m_file;
    RecoveryStore* m_store = nullptr;
    QTimer m_copyTimer;
    // Since the first change that is in no copy yet.
    QElapsedTimer m_pendingSince;
    bool m_copyPending = false;
};

} // namespace callvista
