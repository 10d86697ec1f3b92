#pragma once

#include "core/document_file.h"
#include "core/entry_line.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

class QAction;
class QLabel;

namespace callvista {

class AdrList;
class CommandButton;
class Picture;

// The main window owns the document: the entry list and the public state that
// the dialogs read and write. A click flows from a widget to a handler here,
// which calls the pure functions of core/ and shows what they return.
class Main : public QMainWindow
{
    Q_OBJECT

public:
    explicit Main(QWidget* parent = nullptr);
    ~Main() override;

    // Public state of the document and of the remembered search.
    QString CvaFileName;
    bool ChangeFlag = false;
    bool ActionFlag = false;
    QString find_fn;
    QString find_sn;
    QString find_pn;
    qint16 find_match = 0;
    qint16 find_whole = 0;

    [[nodiscard]] QString MakeNewItem(const QString& family, const QString& shortName,
                                      const QString& phone) const;
    [[nodiscard]] QString GetItemField(const QString& line, int field) const;
    [[nodiscard]] ColumnWidths columnWidths() const { return m_widths; }
    [[nodiscard]] AdrList* adrList() const { return m_adrList; }

    // Saves the list, in its order and with its widths, to the file at the
    // path. Reads the file at the path into entry lines without touching the
    // list, so that the caller can keep the current document on a refusal.
    [[nodiscard]] DocumentWriteResult WriteDocument(const QString& path) const;
    [[nodiscard]] DecodedDocument ReadDocument(const QString& path) const;

    // Handlers, also called directly where one command runs another's.
    void load();
    void refreshButtons();
    void addCmdClick();
    void editCmdClick();
    void delCmdClick();
    void findCmdClick();
    void blink();
    [[nodiscard]] bool isBlinking() const { return m_blinkTimer.isActive(); }

    void newMenuClick();
    void openMenuClick();
    void saveMenuClick();
    void saveAsMenuClick();
    void exitMenuClick();

    // What came of a save: the file was written, the Save As chooser was
    // left without a name, or writing failed (the user has been told).
    enum class SaveOutcome { Saved, Cancelled, Failed };
    SaveOutcome save();
    SaveOutcome saveAs();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    // Edit, Delete and Find act on the selected entry; with none selected the
    // first one is selected and the list takes the focus.
    bool ensureSelection();
    void blinkStep();
    // The unsaved-changes question of New and Open: false ends the command.
    bool settleChangesBeforeReplacing();
    // Shows the file chooser; true when it accepted a path into CvaFileName.
    bool chooseFile(const QString& caption, const QString& actionCaption, bool warnFlag,
                    bool locked);
    SaveOutcome writeTo(const QString& path, const QString& previousName);
    void showCaption(const QString& name);

    ColumnWidths m_widths;
    AdrList* m_adrList = nullptr;
    QLabel* m_title = nullptr;
    Picture* m_image = nullptr;
    CommandButton* m_addCmd = nullptr;
    CommandButton* m_editCmd = nullptr;
    CommandButton* m_delCmd = nullptr;
    CommandButton* m_findCmd = nullptr;
    QTimer m_blinkTimer;
    int m_blinkPhase = 0;
};

} // namespace callvista
