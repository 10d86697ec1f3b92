#pragma once

#include "core/user_prompts.h"
#include "dialogs/form_dialog.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace callvista {

class DirList;
class DriveList;
class FileList;

// The program's own file chooser: a drive list, a folder list, a file list
// and a name box. It builds, checks and, when accepted, hands back the full
// path of a document; Escape and its close box leave it without one.
class FileBox : public FormDialog
{
    Q_OBJECT

public:
    explicit FileBox(const ChooserOptions& options, QWidget* parent = nullptr);

    // The accepted path, in the platform's form; empty until one is accepted.
    [[nodiscard]] QString path() const { return m_path; }

protected:
    bool previewKey(QObject* control, const QKeyEvent& key) override;

private slots:
    void showDrive();
    void showFolderFiles();
    void takeFileName();
    void acceptName();

private:
    void buildControls();
    void openStartFolder();

    ChooserOptions m_options;
    QString m_path;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_fileName = nullptr;
    DriveList* m_driveList = nullptr;
    DirList* m_folderList = nullptr;
    FileList* m_fileList = nullptr;
    QPushButton* m_actionButton = nullptr;
};

} // namespace callvista
