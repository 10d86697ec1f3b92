#include "dialogs/edit_form.h"

#include "widgets/phone_edit.h"
#include "widgets/picture.h"

#include <QLineEdit>
#include <QPushButton>

namespace callvista {

EditForm::EditForm(QWidget* parent)
    : FormDialog(QStringLiteral("EditForm"), 5004, 2184, FormFont::Design, parent)
    , m_fields(this)
{
    setWindowTitle(tr("Edit Item"));
    setWindowIcon(pictureIcon(QStringLiteral(":/icons/edit.png")));

    m_editButton =
        makeFormButton(this, QStringLiteral("EditCmd"), tr("Edit"), 1200, 1560, 1092, 372);
    m_cancelButton =
        makeFormButton(this, QStringLiteral("CancelCmd"), tr("Cancel"), 3120, 1560, 1092, 372);
    setButtons(m_editButton, m_cancelButton);
    m_fields.chainTabOrder({m_editButton, m_cancelButton});
    previewKeys(
        {m_fields.family(), m_fields.shortName(), m_fields.phone(), m_editButton, m_cancelButton});

    connect(m_editButton, &QPushButton::clicked, this, &EditForm::editEntry);
}

void EditForm::setEntry(const QString& line)
{
    m_edited.reset();
    m_fields.setLine(line);
}

void EditForm::editEntry()
{
    if (!m_fields.confirmComplete(this))
        return;
    m_edited = m_fields.line();
    accept();
}

} // namespace callvista
