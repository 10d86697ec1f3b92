#pragma once

#include "core/document_file.h"
#include "core/entry_match.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <optional>

class QLabel;

namespace callvista {

class CommandButton;
class EntryList;
class ImageButton;
struct FileBoxOptions;

// The main window owns the document: the entry list, the file it belongs to,
// whether it has unsaved changes, and the search that Find offers again. A
// click flows from a control to a slot here, which opens a dialog with the
// values it needs, or calls the pure functions of core/, and shows what comes
// back.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the document named on the command line as Open opens a chosen
    // one: the same reader, refusals and warnings. The list is filled at
    // once, so that the first paint shows it; the message, if any, waits
    // until the event loop runs and the window is up. A refused or missing
    // file leaves the empty untitled document.
    void openAtStart(const QString& path);
    // The same with the document read beforehand from fullPath, as
    // fullDocumentPath gives it, for example while the window was being made.
    void openAtStart(const QString& fullPath, Result<LoadedDocument>&& document);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void refreshButtons();
    void addEntries();
    void editEntry();
    void deleteEntry();
    void findEntry();
    void blink();
    void blinkStep();
    void newDocument();
    void openDocument();
    void saveDocument();
    void saveDocumentAs();
    void exit();

private:
    // What came of a save: the file was written, the Save As chooser was
    // left without a name, or writing failed (the user has been told).
    enum class SaveOutcome { Saved, Cancelled, Failed };

    void buildControls();
    // Gives the list and its header the largest size of the list's font at
    // which the whole entry line fits beside the list's scroll bar; where no
    // readable size fits, the list and the window widen by the scroll bar.
    void fitListFont(QWidget* client);
    void buildMenu();
    // The window as a new document finds it: no remembered search, and Edit,
    // Delete and Find disabled until the list has had the focus.
    void resetCommands();
    // The one place that names the document: after a command has made,
    // opened or written the file, the caption shows its name and there are
    // no unsaved changes.
    void showDocument(const QString& name);
    // Edit, Delete and Find act on the selected entry; with none selected the
    // first one is selected and the list takes the focus.
    bool ensureSelection();
    // The unsaved-changes question of New and Open: false ends the command.
    bool settleChangesBeforeReplacing();
    // Shows the file chooser; the accepted path, or nothing.
    std::optional<QString> chooseFile(const FileBoxOptions& options);
    // Reads the file and, unless the reader refuses it, replaces the
    // document with it. Hands back what to tell the user: the refusal
    // ("Error"), what the reader mended ("Warning"), or nothing.
    struct Notice {
        QString title;
        QString text;
    };
    std::optional<Notice> openPath(const QString& path);
    std::optional<Notice> showLoaded(const QString& path, Result<LoadedDocument>&& document);
    SaveOutcome save();
    SaveOutcome saveAs();
    SaveOutcome writeTo(const QString& path);

    QString m_fileName;
    bool m_changed = false;
    Search m_search;

    EntryList* m_list = nullptr;
    QLabel* m_header = nullptr;
    ImageButton* m_logo = nullptr;
    CommandButton* m_addButton = nullptr;
    CommandButton* m_editButton = nullptr;
    CommandButton* m_deleteButton = nullptr;
    CommandButton* m_findButton = nullptr;
    QTimer m_blinkTimer;
    int m_blinkPhase = 0;
    // Reading and ordering a document build and drop copies of its lines.
    // The freed pages go back to the system once the window has been idle
    // a moment after the list was replaced, not on the way to drawing it:
    // given back at once, the next Open would fault them all in again.
    QTimer m_returnMemoryTimer;
};

} // namespace callvista
