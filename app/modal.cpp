#include "app/modal.h"

#include <QDialog>

namespace callvista {

namespace {

ModalDriver& driver()
{
    static ModalDriver instance;
    return instance;
}

} // namespace

void runModal(QDialog& dialog)
{
    if (!driver()) {
        dialog.exec();
        return;
    }
    dialog.setModal(true);
    dialog.show();
    dialog.activateWindow();
    driver()(dialog);
    if (dialog.isVisible())
        dialog.reject();
    // The platform hands activation back to the owner when a modal dialog
    // closes; do the same so that focus changes in the owner take effect.
    if (QWidget* owner = dialog.parentWidget())
        owner->window()->activateWindow();
}

Qt::WindowFlags dialogWindowFlags()
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
           | Qt::WindowCloseButtonHint;
}

void setModalDriver(ModalDriver newDriver)
{
    driver() = std::move(newDriver);
}

} // namespace callvista
