#include "widgets/command_button.h"

#include "widgets/picture.h"

#include <QKeyEvent>

namespace callvista {

CommandButton::CommandButton(const QString& caption, const QString& picture, QWidget* parent)
    : QToolButton(parent)
{
    setText(caption);
    setIcon(pictureIcon(picture));
    setIconSize(QSize(22, 22));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFocusPolicy(Qt::StrongFocus);
    QPalette face = palette();
    face.setColor(QPalette::Button, QColor(255, 224, 192));
    setPalette(face);
    setAutoFillBackground(true);
}

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A held key presses the button once, as a held Space does.
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QToolButton::keyPressEvent(event);
}

} // namespace callvista
