#include "widgets/drive_list.h"

#include <QAccessibleWidget>
#include <QDir>
#include <QSignalBlocker>

namespace callvista {

namespace {

// Qt names a combo box on Linux by the text it shows, so the drive list
// would be read as "/". Here the name is the list's accessible name and the
// drive shown is its value; the popup stays reachable as a child and by the
// action that opens it.
class DriveListAccessible : public QAccessibleWidget
{
public:
    explicit DriveListAccessible(DriveList* list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        if (name == showMenuAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    [[nodiscard]] DriveList* list() const { return static_cast<DriveList*>(widget()); }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(DriveList::staticMetaObject.className())
        && object->isWidgetType())
        return new DriveListAccessible(static_cast<DriveList*>(object));
    return nullptr;
}

} // namespace

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(accessible);
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
