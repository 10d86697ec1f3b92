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

// The font is set here, before a derived dialog makes its controls, which
// measure their captions in it.
FormDialog::FormDialog(const QString& name, int widthTwips, int heightTwips, FormFont font,
                       QWidget* parent)
    : QDialog(parent, dialogWindowFlags())
{
    setObjectName(name);
    setFixedSize(twipsRect(0, 0, widthTwips, heightTwips).size());
    if (font == FormFont::Design)
        setFont(designFont(this->font()));
}

void FormDialog::setButtons(QPushButton* defaultButton, QPushButton* cancelButton)
{
    defaultButton->setDefault(true);
    if (cancelButton)
        connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void FormDialog::previewKeys(const QList<QWidget*>& controls)
{
    for (QWidget* control : controls)
        control->installEventFilter(this);
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
