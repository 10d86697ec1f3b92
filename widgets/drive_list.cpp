#include "widgets/drive_list.h"

#include <QDir>
#include <QSignalBlocker>

namespace callvista {

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            emit driveChanged(drive());
    });
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::setDrive(const QString& drive)
{
    int index = findData(drive);
    if (index < 0) {
        addDrive(drive);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void DriveList::setDrives(const QStringList& drives)
{
    const QSignalBlocker block(this);
    clear();
    for (const QString& drive : drives)
        addDrive(drive);
}

void DriveList::addDrive(const QString& drive)
{
    addItem(QDir::toNativeSeparators(drive), drive);
}

} // namespace callvista
