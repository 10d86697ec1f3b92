#pragma once

#include "core/document_file.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <memory>

class QLabel;

namespace callvista {

class CommandButton;
class DocumentSession;
class EntryList;
class EntryStore;
class ImageButton;
class WindowPrompts;

// The main window: the entry list with its header, the four buttons, the
// logo and the File menu. It builds the controls, runs the entry dialogs,
// and forwards the document's commands to its DocumentSession, which owns
// the document's name, its unsaved changes and the remembered search; what
// comes back is shown here.
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

    // The document, for what keeps its unsaved changes safe.
    [[nodiscard]] DocumentSession& session() { return *m_session; }

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
    void showCaption(const QString& caption);
    void documentReplaced(bool fromFile);

private:
    void buildControls();
    void buildMenu();
    // Edit, Delete and Find disabled until the list has had the focus.
    void disableEntryCommands();
    // Edit, Delete and Find act on the selected entry; with none selected the
    // first one is selected and the list takes the focus.
    bool ensureSelection();

    EntryList* m_list = nullptr;
    QLabel* m_header = nullptr;
    ImageButton* m_logo = nullptr;
    CommandButton* m_addButton = nullptr;
    CommandButton* m_editButton = nullptr;
    CommandButton* m_deleteButton = nullptr;
    CommandButton* m_findButton = nullptr;
    std::unique_ptr<EntryStore> m_entries;
    std::unique_ptr<WindowPrompts> m_prompts;
    std::unique_ptr<DocumentSession> m_session;
    QTimer m_blinkTimer;
    int m_blinkPhase = 0;
    // Reading and ordering a document build and drop copies of its lines.
    // The freed pages go back to the system once the window has been idle
    // a moment after the list was replaced, not on the way to drawing it:
    // given back at once, the next Open would fault them all in again.
    QTimer m_returnMemoryTimer;
};

} // namespace callvista
