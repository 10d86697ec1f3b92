#include "dialogs/file_box.h"

#include "core/file_name.h"
#include "core/folder_listing.h"
#include "widgets/dir_list.h"
#include "widgets/drive_list.h"
#include "widgets/file_list.h"
#include "widgets/geometry.h"
#include "widgets/message_box.h"
#include "widgets/modal.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace callvista {

FileBox::FileBox(const FileBoxOptions& options, QWidget* parent)
    : QDialog(parent, dialogWindowFlags())
    , m_options(options)
{
    setObjectName(QStringLiteral("FileBox"));
    setWindowTitle(options.caption);
    setFixedSize(twipsRect(0, 0, 4620, 3960).size());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(palette);
    setAutoFillBackground(true);
    buildControls();
    m_action->setText(options.actionCaption);
    m_fileName->setReadOnly(options.nameLocked);
    m_file->setPattern(QStringLiteral("*.") + options.extension);
    openStartFolder();
    m_fileName->setFocus();
}

void FileBox::buildControls()
{
    m_label = new QLabel(tr("&FileName:"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    // Up to the name box: the design's 912 twips ran 12 into it, a whole
    // pixel once rounded.
    placeInTwips(m_label, 60, 36, 900, 288);

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
    m_label->setBuddy(m_fileName);

    m_drive = new DriveList(this);
    m_drive->setObjectName(QStringLiteral("boxDrive"));
    // Named as a list, not by the drive it shows ("/").
    m_drive->setAccessibleName(tr("Drive"));
    placeInTwips(m_drive, 45, 360, 2376, 288);

    m_dir = new DirList(this);
    m_dir->setObjectName(QStringLiteral("boxDir"));
    m_dir->setAccessibleName(tr("Folders"));
    placeInTwips(m_dir, 45, 720, 2415, 3180);

    m_file = new FileList(this);
    m_file->setObjectName(QStringLiteral("boxFile"));
    m_file->setAccessibleName(tr("Files"));
    placeInTwips(m_file, 2490, 384, 2100, 3528);

    m_action = new QPushButton(this);
    m_action->setObjectName(QStringLiteral("btnAction"));
    m_action->setDefault(true);
    placeInTwips(m_action, 3870, 48, 735, 315);

    setTabOrder(m_fileName, m_drive);
    setTabOrder(m_drive, m_dir);
    setTabOrder(m_dir, m_file);
    setTabOrder(m_file, m_action);

    // The form sees every key first, as its controls get them.
    for (QWidget* control : {static_cast<QWidget*>(m_fileName), static_cast<QWidget*>(m_drive),
                             static_cast<QWidget*>(m_dir), static_cast<QWidget*>(m_file),
                             static_cast<QWidget*>(m_action)})
        control->installEventFilter(this);

    connect(m_dir, &DirList::pathChanged, this, &FileBox::showFolderFiles);
    connect(m_file, &FileList::fileClicked, this, &FileBox::takeFileName);
    connect(m_file, &FileList::fileDoubleClicked, this, &FileBox::acceptName);
    connect(m_action, &QPushButton::clicked, this, &FileBox::acceptName);
}

void FileBox::openStartFolder()
{
    // The lists start at the process's current folder, which browsing never
    // changes; every opening therefore starts at the same place.
    const QString start = QDir::currentPath();
    m_drive->setDrives(listDrives());
    {
        const QSignalBlocker block(m_drive);
        m_drive->setDrive(driveOf(start));
    }
    if (!m_dir->setPath(start) && !m_dir->setPath(m_drive->drive())) {
        const QSignalBlocker block(m_drive);
        m_drive->setDrive(fallbackDrive());
        m_dir->setPath(fallbackDrive());
    }
    connect(m_drive, &DriveList::driveChanged, this, &FileBox::showDrive);
}

void FileBox::showDrive()
{
    if (m_dir->setPath(m_drive->drive()))
        return;
    showMessage(this, QStringLiteral("Error On Drive!"), QStringLiteral("Error"));
    // Fall back to the root drive. When that cannot be shown either, the
    // lists stay on the folder they showed and the drive list shows its drive.
    const QString fallback = fallbackDrive();
    const QSignalBlocker block(m_drive);
    if (m_drive->drive() != fallback && m_dir->setPath(fallback))
        m_drive->setDrive(fallback);
    else
        m_drive->setDrive(driveOf(m_dir->path()));
}

void FileBox::showFolderFiles()
{
    m_file->setPath(m_dir->path());
}

void FileBox::takeFileName()
{
    m_fileName->setText(m_file->fileName());
}

void FileBox::acceptName()
{
    const Result<QString> path =
        callvista::acceptName(m_dir->path(), m_fileName->text(), m_options.extension);
    if (!path.ok()) {
        showMessage(this, path.error(), QStringLiteral("Error"));
        return;
    }
    if (documentExists(path.value()) && m_options.warnBeforeOverwrite) {
        const MessageAnswer answer = showMessage(
            this, QStringLiteral("Are You Sure to OverWrite on '") + path.value() + QStringLiteral("' ?"),
            QStringLiteral("Warning"), MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }
    m_path = path.value();
    accept();
}

bool FileBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (watched == m_fileName) {
            const QString text = key->text();
            if (std::any_of(text.cbegin(), text.cend(), isDiscardedNameKey))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace callvista
