#pragma once

#include <QLabel>

class QMouseEvent;

namespace callvista {

// A picture stretched to its control that raises clicked for a click as a
// button takes it: the left button pressed on the picture and released over
// it. Other buttons, and a press that ends elsewhere, do nothing.
class ImageButton : public QLabel
{
    Q_OBJECT

public:
    explicit ImageButton(const QString& picture, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace callvista
