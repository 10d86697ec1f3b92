#include "widgets/image_button.h"

#include "widgets/picture.h"

#include <QMouseEvent>

namespace callvista {

ImageButton::ImageButton(const QString& picture, QWidget* parent)
    : QLabel(parent)
{
    setPixmap(callvista::picture(picture));
    setScaledContents(true);
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

} // namespace callvista
