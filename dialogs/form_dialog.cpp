#include "dialogs/form_dialog.h"

#include "widgets/geometry.h"
#include "widgets/modal.h"

#include <QKeyEvent>
#include <QPushButton>

namespace callvista {

namespace {

// The forms were laid out for an 8-point sans serif; where none of these
// families exists the system's sans serif stands in.
QFont designFont(const QFont& base)
{
    QFont font = base;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    return font;
}

} // namespace

// The font is set before the controls are made, which measure their
// captions in it.
FormDialog::FormDialog(const FormTable& table, FormFont font, QWidget* parent)
    : QDialog(parent, dialogWindowFlags())
{
    setObjectName(QLatin1String(table.name));
    setFixedSize(twipsSize(table.twips));
    if (font == FormFont::Design)
        setFont(designFont(this->font()));
    m_controls = buildForm(*this, table);
    for (QWidget* control : m_controls.tabOrder())
        control->installEventFilter(this);
}

void FormDialog::setButtons(QPushButton* defaultButton, QPushButton* cancelButton)
{
    defaultButton->setDefault(true);
    if (cancelButton)
        connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool FormDialog::previewKey(QObject*, const QKeyEvent&)
{
    return false;
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (previewKey(watched, key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace callvista
