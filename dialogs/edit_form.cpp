#include "dialogs/edit_form.h"

#include "app/modal.h"
#include "app/adr_list.h"
#include "app/geometry.h"
#include "app/main_window.h"
#include "dialogs/phone_edit.h"

#include <QIcon>
#include <QLineEdit>
#include <QPushButton>

namespace callvista {

EditForm::EditForm(Main& main)
    : QDialog(&main, dialogWindowFlags())
    , m_main(main)
    , m_fields(this)
{
    setObjectName(QStringLiteral("EditForm"));
    setWindowTitle(tr("Edit Item"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/edit.png")));
    setFixedSize(twipsRect(0, 0, 5004, 2184).size());

    m_editCmd = makeFormButton(this, QStringLiteral("EditCmd"), tr("Edit"), 1200, 1560, 1092, 372);
    m_cancelCmd =
        makeFormButton(this, QStringLiteral("CancelCmd"), tr("Cancel"), 3120, 1560, 1092, 372);
    m_editCmd->setDefault(true);
    m_fields.chainTabOrder({m_editCmd, m_cancelCmd});

    connect(m_editCmd, &QPushButton::clicked, this, &EditForm::editCmdClick);
    connect(m_cancelCmd, &QPushButton::clicked, this, &EditForm::cancelCmdClick);
    load();
}

void EditForm::load()
{
    const AdrList* list = m_main.adrList();
    const QString line = list->itemText(list->listIndex());
    // Cut with the limits of this dialog's own boxes, which are the columns.
    const ColumnWidths widths = m_fields.widths();
    m_fields.family()->setText(entryField(line, Field::Family, widths));
    m_fields.shortName()->setText(entryField(line, Field::Short, widths));
    m_fields.phone()->setText(entryField(line, Field::Phone, widths));
}

void EditForm::editCmdClick()
{
    if (!m_fields.confirmComplete(this))
        return;
    AdrList* list = m_main.adrList();
    list->removeItem(list->listIndex());
    const QString line = m_main.MakeNewItem(m_fields.family()->text(), m_fields.shortName()->text(),
                                            m_fields.phone()->text());
    // With the edited line removed there is always room; only a full list
    // without a selection, where nothing was removed, can refuse the line.
    if (!list->addItem(line)) {
        warnListFull(this);
        return;
    }
    m_main.ChangeFlag = true;
    accept();
}

void EditForm::cancelCmdClick()
{
    reject();
}

} // namespace callvista
