#include "widgets/modal.h"

#include <QDialog>

#include <utility>

namespace callvista {

namespace {

ModalDriver& driver()
{
    static ModalDriver instance;
    return instance;
}

} // namespace

bool runModal(QDialog& dialog)
{
    if (!driver())
        return dialog.exec() == QDialog::Accepted;
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
    return dialog.result() == QDialog::Accepted;
}

Qt::WindowFlags dialogWindowFlags()
{
    // The fixed-size hint gives a window that cannot be resized the thin
    // border of one on Windows, without resizing edges; other systems ignore it.
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

ModalDriver setModalDriver(ModalDriver newDriver)
{
    return std::exchange(driver(), std::move(newDriver));
}

} // namespace callvista
