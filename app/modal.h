#pragma once

#include <qnamespace.h>

#include <functional>

class QDialog;

namespace callvista {

// Every dialog of the program is shown through runModal, which returns when
// the dialog has closed. Tests install a driver instead: runModal then shows
// the dialog without a nested event loop, hands it to the driver, which types
// and clicks into it, and closes it afterwards if the driver left it open.
void runModal(QDialog& dialog);

// The frame of every dialog and message box: a title and a close box, no
// minimize and no maximize box.
[[nodiscard]] Qt::WindowFlags dialogWindowFlags();

using ModalDriver = std::function<void(QDialog&)>;
void setModalDriver(ModalDriver driver);

} // namespace callvista
