#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace callvista {

class DirList;
class DriveList;
class FileList;
class Main;

// The program's own file chooser. The caller creates it, configures it, shows
// it with runModal and then reads Main's ActionFlag and CvaFileName: the
// dialog writes both when it accepts a path and neither when it is left by
// Escape or its close box.
class FileBox : public QDialog
{
    Q_OBJECT

public:
    explicit FileBox(Main& main);

    // Ask before accepting the name of a file that already exists.
    bool WarnFlag = false;
    // The required extension without the dot.
    QString Ext;

    void setCaption(const QString& caption);
    void setActionCaption(const QString& caption);
    void setPattern(const QString& pattern);
    // A locked name box takes its name from the file list only.
    void setNameLocked(bool locked);
    // The whole calling protocol for a document: caption, button caption,
    // WarnFlag, the extension "CVA" with its pattern, and the lock.
    void configure(const QString& caption, const QString& actionCaption, bool warnFlag,
                   bool locked);

    // Handlers, callable directly as the controls' events call them.
    void boxDriveChange();
    void boxDirChange();
    void boxFileClick();
    void btnActionClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void openStartFolder();

    Main& m_main;
    QLabel* m_label = nullptr;
    QLineEdit* m_fileName = nullptr;
    DriveList* m_drive = nullptr;
    DirList* m_dir = nullptr;
    FileList* m_file = nullptr;
    QPushButton* m_action = nullptr;
};

} // namespace callvista
