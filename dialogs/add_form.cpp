#include "dialogs/add_form.h"

#include "widgets/phone_edit.h"
#include "widgets/picture.h"

#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace callvista {

AddForm::AddForm(InsertEntry insert, QWidget* parent)
    : FormDialog(QStringLiteral("AddForm"), 5004, 2184, FormFont::Design, parent)
    , m_insert(std::move(insert))
    , m_fields(this)
{
    setWindowTitle(tr("Add New Entry"));
    setWindowIcon(pictureIcon(QStringLiteral(":/icons/add.png")));

    m_addButton =
        makeFormButton(this, QStringLiteral("AddCmd"), tr("Add/Next"), 1200, 1560, 1092, 372);
    m_doneButton =
        makeFormButton(this, QStringLiteral("DoneCmd"), tr("Done"), 3120, 1560, 1092, 372);
    setButtons(m_addButton, m_doneButton);
    m_fields.chainTabOrder({m_addButton, m_doneButton});
    previewKeys(
        {m_fields.family(), m_fields.shortName(), m_fields.phone(), m_addButton, m_doneButton});

    connect(m_addButton, &QPushButton::clicked, this, &AddForm::addEntry);
}

void AddForm::addEntry()
{
    if (!m_fields.confirmComplete(this))
        return;
    if (!m_insert(m_fields.line())) {
        warnListFull(this);
        return;
    }
    m_addedAny = true;
    m_fields.clear();
    m_fields.family()->setFocus();
}

} // namespace callvista
