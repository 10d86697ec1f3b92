#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace callvista {

// The drives to choose from: on Windows the drive letters, elsewhere the root
// folder and the mounted file systems that hold user data. A new choice, by
// the user or by setDrive, raises driveChanged.
class DriveList : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    // The root folder of the chosen drive, with "/" separators.
    [[nodiscard]] QString drive() const;
    // Chooses the drive, adding it to the list when it is not there yet.
    void setDrive(const QString& drive);
    // Replaces the listed drives without raising driveChanged.
    void setDrives(const QStringList& drives);

signals:
    void driveChanged(const QString& drive);

private:
    void addDrive(const QString& drive);
};

} // namespace callvista
