#include "dialogs/add_form.h"

#include "app/modal.h"
#include "app/adr_list.h"
#include "app/geometry.h"
#include "app/main_window.h"
#include "dialogs/phone_edit.h"

#include <QIcon>
#include <QLineEdit>
#include <QPushButton>

namespace callvista {

AddForm::AddForm(Main& main)
    : QDialog(&main, dialogWindowFlags())
    , m_main(main)
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

    connect(m_addCmd, &QPushButton::clicked, this, &AddForm::addCmdClick);
    connect(m_doneCmd, &QPushButton::clicked, this, &AddForm::doneCmdClick);
}

void AddForm::addCmdClick()
{
    if (!m_fields.confirmComplete(this))
        return;
    const QString line = m_main.MakeNewItem(m_fields.family()->text(), m_fields.shortName()->text(),
                                            m_fields.phone()->text());
    if (!m_main.adrList()->addItem(line)) {
        warnListFull(this);
        return;
    }
    m_main.ChangeFlag = true;
    m_fields.family()->clear();
    m_fields.shortName()->clear();
    m_fields.phone()->clear();
    m_fields.family()->setFocus();
}

void AddForm::doneCmdClick()
{
    reject();
}

} // namespace callvista
