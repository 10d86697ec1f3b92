#include "dialogs/file_box.h"

#include "core/file_name.h"
#include "core/folder_listing.h"
#include "widgets/dir_list.h"
#include "widgets/drive_list.h"
#include "widgets/file_list.h"
#include "widgets/message_box.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace callvista {

FormTable FileBox::table()
{
    using enum ControlKind;
    // The object names are the design's (Label1, boxFileName, btnAction):
    // the tests and the end-to-end scenarios find the controls by them. The
    // caption reaches up to the name box: the design's 912 twips ran 12 into
    // it, a whole pixel once rounded.
    return {"FileBox",
            {4620, 3960},
            {
                {"Label1", Label, {60, 36, 900, 288}, 0, tr("&FileName:")},
                {"boxFileName", TextBox, {960, 30, 2856, 285}, 1},
                {"boxDrive", Drives, {45, 360, 2376, 288}, 2},
                {"boxDir", Folders, {45, 720, 2415, 3180}, 3},
                {"boxFile", Files, {2490, 384, 2100, 3528}, 4},
                {"btnAction", Button, {3870, 48, 735, 315}, 5},
            }};
}

FileBox::FileBox(const ChooserOptions& options, QWidget* parent)
    : FormDialog(table(), FormFont::System, parent)
    , m_options(options)
    , m_fileName(controls().get<QLineEdit>("boxFileName"))
    , m_driveList(controls().get<DriveList>("boxDrive"))
    , m_folderList(controls().get<DirList>("boxDir"))
    , m_fileList(controls().get<FileList>("boxFile"))
    , m_actionButton(controls().get<QPushButton>("btnAction"))
{
    setWindowTitle(options.caption);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(palette);
    setAutoFillBackground(true);
    setUpControls();
    m_actionButton->setText(options.actionCaption);
    m_fileName->setReadOnly(options.nameLocked);
    m_fileList->setPattern(QStringLiteral("*.") + options.extension);
    openStartFolder();
    m_fileName->setFocus();
}

void FileBox::setUpControls()
{
    QPalette namePalette = m_fileName->palette();
    namePalette.setColor(QPalette::Base, Qt::white);
    namePalette.setColor(QPalette::Text, Qt::black);
    m_fileName->setPalette(namePalette);
    QFont nameFont = m_fileName->font();
    nameFont.setBold(true);
    m_fileName->setFont(nameFont);
    controls().get<QLabel>("Label1")->setBuddy(m_fileName);

    // Named as a list, not by the drive it shows ("/").
    m_driveList->setAccessibleName(tr("Drive"));
    m_folderList->setAccessibleName(tr("Folders"));
    m_fileList->setAccessibleName(tr("Files"));
    setButtons(m_actionButton);

    connect(m_folderList, &DirList::pathChanged, this, &FileBox::showFolderFiles);
    connect(m_fileList, &FileList::fileClicked, this, &FileBox::takeFileName);
    connect(m_fileList, &FileList::fileDoubleClicked, this, &FileBox::acceptName);
    connect(m_actionButton, &QPushButton::clicked, this, &FileBox::acceptName);
}

void FileBox::openStartFolder()
{
    // The lists start at the process's current folder, which browsing never
    // changes; every opening therefore starts at the same place.
    const QString start = QDir::currentPath();
    m_driveList->setDrives(listDrives());
    {
        const QSignalBlocker block(m_driveList);
        m_driveList->setDrive(driveOf(start));
    }
    if (!m_folderList->setPath(start) && !m_folderList->setPath(m_driveList->drive())) {
        const QSignalBlocker block(m_driveList);
        m_driveList->setDrive(fallbackDrive());
        m_folderList->setPath(fallbackDrive());
    }
    connect(m_driveList, &DriveList::driveChanged, this, &FileBox::showDrive);
}

bool FileBox::openFolder(const QString& folder)
{
    return m_folderList->setPath(folder);
}

void FileBox::showDrive()
{
    if (openFolder(m_driveList->drive()))
        return;
    showMessage(this, tr("Error On Drive!"), tr("Error"));
    // Fall back to the root drive. When that cannot be shown either, the
    // lists stay on the folder they showed and the drive list shows its drive.
    const QString fallback = fallbackDrive();
    const QSignalBlocker block(m_driveList);
    if (m_driveList->drive() != fallback && openFolder(fallback))
        m_driveList->setDrive(fallback);
    else
        m_driveList->setDrive(driveOf(m_folderList->path()));
}

void FileBox::showFolderFiles()
{
    m_fileList->setPath(m_folderList->path());
}

void FileBox::takeFileName()
{
    m_fileName->setText(m_fileList->fileName());
}

void FileBox::acceptName()
{
    const Result<QString> path = callvista::acceptName(
        m_folderList->path(), m_fileName->text(), m_options.extension,
        m_options.lowerCaseExtension ? AppendedExtension::LowerCase : AppendedExtension::AsGiven);
    if (!path.ok()) {
        showMessage(this, path.error(), tr("Error"));
        return;
    }
    if (documentExists(path.value()) && m_options.warnBeforeOverwrite) {
        const MessageAnswer answer =
            showMessage(this, tr("Are You Sure to OverWrite on '%1' ?").arg(path.value()),
                        tr("Warning"), MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }
    m_path = path.value();
    accept();
}

bool FileBox::previewKey(QObject* control, const QKeyEvent& key)
{
    if (control != m_fileName)
        return false;
    const QString text = key.text();
    return std::any_of(text.cbegin(), text.cend(), isDiscardedNameKey);
}

} // namespace callvista
