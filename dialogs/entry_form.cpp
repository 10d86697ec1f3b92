#include "dialogs/entry_form.h"

#include "widgets/phone_edit.h"
#include "widgets/picture.h"

#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace callvista {

struct EntryForm::Purpose {
    const char* name;
    const char* title;
    const char* icon;
    // The button that takes the entry, and the one that closes the dialog.
    const char* take;
    const char* takeCaption;
    const char* leave;
    const char* leaveCaption;
};

const EntryForm::Purpose EntryForm::AddPurpose{
    .name = "AddForm",
    .title = QT_TR_NOOP("Add New Entry"),
    .icon = ":/icons/add.png",
    .take = "AddCmd",
    .takeCaption = QT_TR_NOOP("Add/Next"),
    .leave = "DoneCmd",
    .leaveCaption = QT_TR_NOOP("Done"),
};

const EntryForm::Purpose EntryForm::EditPurpose{
    .name = "EditForm",
    .title = QT_TR_NOOP("Edit Item"),
    .icon = ":/icons/edit.png",
    .take = "EditCmd",
    .takeCaption = QT_TR_NOOP("Edit"),
    .leave = "CancelCmd",
    .leaveCaption = QT_TR_NOOP("Cancel"),
};

FormTable EntryForm::tableFor(const Purpose& purpose)
{
    using enum ControlKind;
    // The object names are the design's (AddCmd, DoneCmd): the tests and the
    // end-to-end scenarios find the controls by them.
    QList<FormControl> controls = EntryFields::controls();
    controls.append({purpose.take, Button, {1200, 1560, 1092, 372}, 4, tr(purpose.takeCaption)});
    controls.append({purpose.leave, Button, {3120, 1560, 1092, 372}, 5, tr(purpose.leaveCaption)});
    return {purpose.name, {5004, 2184}, controls};
}

FormTable EntryForm::addTable()
{
    return tableFor(AddPurpose);
}

FormTable EntryForm::editTable()
{
    return tableFor(EditPurpose);
}

EntryForm::EntryForm(const Purpose& purpose, QWidget* parent)
    : FormDialog(tableFor(purpose), FormFont::Design, parent)
    , m_fields(controls())
{
    setWindowTitle(tr(purpose.title));
    setWindowIcon(pictureIcon(QLatin1String(purpose.icon)));
    auto* take = controls().get<QPushButton>(purpose.take);
    setButtons(take, controls().get<QPushButton>(purpose.leave));
    connect(take, &QPushButton::clicked, this, &EntryForm::takeEntry);
}

EntryForm::EntryForm(AddEntries add, QWidget* parent)
    : EntryForm(AddPurpose, parent)
{
    m_insert = std::move(add.insert);
}

EntryForm::EntryForm(const EditEntry& edit, QWidget* parent)
    : EntryForm(EditPurpose, parent)
{
    m_fields.setLine(edit.line);
}

void EntryForm::takeEntry()
{
    if (!m_fields.confirmComplete(this))
        return;
    if (!m_insert) {
        m_edited = m_fields.line();
        accept();
        return;
    }
    if (!m_insert(m_fields.line())) {
        warnListFull(this);
        return;
    }
    m_addedAny = true;
    m_fields.clear();
    m_fields.family()->setFocus();
}

} // namespace callvista
