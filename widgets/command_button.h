#pragma once

#include <QToolButton>

class QKeyEvent;

namespace callvista {

// A graphical command button of the main window: a picture over its
// caption on a coloured face. Enter and Return press it while it has the
// focus, exactly as Space and a click do.
class CommandButton : public QToolButton
{
    Q_OBJECT

public:
    explicit CommandButton(const QString& caption, const QString& picture,
                           QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace callvista
