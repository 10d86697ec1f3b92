#include "dialogs/file_box.h"

#include "core/file_name.h"
#include "core/folder_listing.h"
#include "widgets/dir_list.h"
#include "widgets/drive_list.h"
#include "widgets/file_list.h"
#include "widgets/geometry.h"
#include "widgets/message_box.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace callvista {

FileBox::FileBox(const ChooserOptions& options, QWidget* parent)
    : FormDialog(QStringLiteral("FileBox"), 4620, 3960, FormFont::System, parent)
    , m_options(options)
{
    setWindowTitle(options.caption);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(palette);
    setAutoFillBackground(true);
    buildControls();
    m_actionButton->setText(options.actionCaption);
    m_fileName->setReadOnly(options.nameLocked);
    m_fileList->setPattern(QStringLiteral("*.") + options.extension);
    openStartFolder();
    m_fileName->setFocus();
}

void FileBox::buildControls()
{
    // The object names are the design's (Label1, boxFileName, btnAction):
    // the tests and the end-to-end scenarios find the controls by them.
    m_nameLabel = new QLabel(tr("&FileName:"), this);
    m_nameLabel->setObjectName(QStringLiteral("Label1"));
    // Up to the name box: the design's 912 twips ran 12 into it, a whole
    // pixel once rounded.
    placeInTwips(m_nameLabel, 60, 36, 900, 288);

    m_fileName = new QLineEdit(this);
    m_fileName->setObjectName(QStringLiteral("boxFileName"));
    QPalette namePalette = m_fileName->palette();
    namePalette.setColor(QPalette::Base, Qt::white);
    namePalette.setColor(QPalette::Text, Qt::black);
    m_fileName->setPalette(namePalette);
    QFont nameFont = m_fileName->font();
    nameFont.setBold(true);
    m_fileName->setFont(nameFont);
    placeInTwips(m_fileName, 960, 30, 2856, 285);
    m_nameLabel->setBuddy(m_fileName);

    m_driveList = new DriveList(this);
    m_driveList->setObjectName(QStringLiteral("boxDrive"));
    // Named as a list, not by the drive it shows ("/").
    m_driveList->setAccessibleName(tr("Drive"));
    placeInTwips(m_driveList, 45, 360, 2376, 288);

    m_folderList = new DirList(this);
    m_folderList->setObjectName(QStringLiteral("boxDir"));
    m_folderList->setAccessibleName(tr("Folders"));
    placeInTwips(m_folderList, 45, 720, 2415, 3180);

    m_fileList = new FileList(this);
    m_fileList->setObjectName(QStringLiteral("boxFile"));
    m_fileList->setAccessibleName(tr("Files"));
    placeInTwips(m_fileList, 2490, 384, 2100, 3528);

    m_actionButton = new QPushButton(this);
    m_actionButton->setObjectName(QStringLiteral("btnAction"));
    setButtons(m_actionButton);
    placeInTwips(m_actionButton, 3870, 48, 735, 315);

    setTabOrder(m_fileName, m_driveList);
    setTabOrder(m_driveList, m_folderList);
    setTabOrder(m_folderList, m_fileList);
    setTabOrder(m_fileList, m_actionButton);

    previewKeys({m_fileName, m_driveList, m_folderList, m_fileList, m_actionButton});

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

void FileBox::showDrive()
{
    if (m_folderList->setPath(m_driveList->drive()))
        return;
    showMessage(this, tr("Error On Drive!"), tr("Error"));
    // Fall back to the root drive. When that cannot be shown either, the
    // lists stay on the folder they showed and the drive list shows its drive.
    const QString fallback = fallbackDrive();
    const QSignalBlocker block(m_driveList);
    if (m_driveList->drive() != fallback && m_folderList->setPath(fallback))
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
    const Result<QString> path =
        callvista::acceptName(m_folderList->path(), m_fileName->text(), m_options.extension);
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
