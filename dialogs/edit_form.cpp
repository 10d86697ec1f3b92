#include "dialogs/edit_form.h"

#include "core/entry_line.h"
#include "widgets/geometry.h"
#include "widgets/modal.h"
#include "widgets/phone_edit.h"

#include <QIcon>
#include <QLineEdit>
#include <QPushButton>

namespace callvista {

EditForm::EditForm(const QString& line, QWidget* parent)
    : QDialog(parent, dialogWindowFlags())
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

    connect(m_editCmd, &QPushButton::clicked, this, &EditForm::editEntry);
    connect(m_cancelCmd, &QPushButton::clicked, this, &QDialog::reject);

    m_fields.family()->setText(entryField(line, Field::Family));
    m_fields.shortName()->setText(entryField(line, Field::Short));
    m_fields.phone()->setText(entryField(line, Field::Phone));
}

void EditForm::editEntry()
{
    if (!m_fields.confirmComplete(this))
        return;
    m_edited = makeEntryLine(m_fields.family()->text(), m_fields.shortName()->text(),
                             m_fields.phone()->text());
    accept();
}

} // namespace callvista
