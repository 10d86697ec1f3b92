#include "widgets/form_table.h"

#include "widgets/command_button.h"
#include "widgets/dir_list.h"
#include "widgets/drive_list.h"
#include "widgets/entry_list.h"
#include "widgets/file_list.h"
#include "widgets/geometry.h"
#include "widgets/image_button.h"
#include "widgets/phone_edit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace callvista {

namespace {

QWidget* makeControl(const FormControl& row, QWidget* form)
{
    switch (row.kind) {
    case ControlKind::Label:
        return new QLabel(row.caption, form);
    case ControlKind::TextBox:
        return new QLineEdit(form);
    case ControlKind::PhoneBox:
        return new PhoneEdit(form);
    case ControlKind::Button:
        return new QPushButton(row.caption, form);
    case ControlKind::CheckBox:
        return new QCheckBox(row.caption, form);
    case ControlKind::Frame:
        return new QGroupBox(row.caption, form);
    case ControlKind::Command:
        return new CommandButton(row.caption, QLatin1String(row.picture), form);
    case ControlKind::Picture:
        return new ImageButton(QLatin1String(row.picture), form);
    case ControlKind::Entries:
        return new EntryList(form);
    case ControlKind::Drives:
        return new DriveList(form);
    case ControlKind::Folders:
        return new DirList(form);
    case ControlKind::Files:
        return new FileList(form);
    }
    Q_UNREACHABLE();
}

} // namespace

FormControls buildForm(QWidget& form, const FormTable& table)
{
    FormControls made;
    QList<std::pair<int, QWidget*>> tabbed;
    for (const FormControl& row : table.controls) {
        QWidget* control = makeControl(row, &form);
        control->setObjectName(QLatin1String(row.name));
        control->setGeometry(twipsRect(row.twips));
        made.m_byName.insert(control->objectName(), control);
        if (row.tab > 0)
            tabbed.append({row.tab, control});
    }
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [tab, control] : tabbed)
        made.m_tabOrder.append(control);
    chainTabOrder(made);
    return made;
}

void chainTabOrder(const FormControls& controls)
{
    const QList<QWidget*>& order = controls.tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace callvista
