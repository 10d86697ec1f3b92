#include "dialogs/add_form.h"

#include "core/entry_line.h"
#include "widgets/entry_list.h"
#include "widgets/geometry.h"
#include "widgets/modal.h"
#include "widgets/phone_edit.h"

#include <QIcon>
#include <QLineEdit>
#include <QPushButton>

namespace callvista {

AddForm::AddForm(EntryList& list, QWidget* parent)
    : QDialog(parent, dialogWindowFlags())
    , m_list(list)
    , m_fields(this)
{
    setObjectName(QStringLiteral("AddForm"));
    setWindowTitle(tr("Add New Entry"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/add.png")));
    setFixedSize(twipsRect(0, 0, 5004, 2184).size());

    m_addCmd =
        makeFormButton(this, QStringLiteral("AddCmd"), tr("Add/Next"), 1200, 1560, 1092, 372);
    m_doneCmd = makeFormButton(this, QStringLiteral("DoneCmd"), tr("Done"), 3120, 1560, 1092, 372);
    m_addCmd->setDefault(true);
    m_fields.chainTabOrder({m_addCmd, m_doneCmd});

    connect(m_addCmd, &QPushButton::clicked, this, &AddForm::addEntry);
    connect(m_doneCmd, &QPushButton::clicked, this, &QDialog::reject);
}

void AddForm::addEntry()
{
    if (!m_fields.confirmComplete(this))
        return;
    const QString line = makeEntryLine(m_fields.family()->text(), m_fields.shortName()->text(),
                                       m_fields.phone()->text());
    if (!m_list.addItem(line)) {
        warnListFull(this);
        return;
    }
    m_addedAny = true;
    m_fields.family()->clear();
    m_fields.shortName()->clear();
    m_fields.phone()->clear();
    m_fields.family()->setFocus();
}

} // namespace callvista
