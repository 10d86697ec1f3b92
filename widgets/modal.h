#pragma once

#include <qnamespace.h>

#include <functional>

class QDialog;

namespace callvista {

// Every dialog of the program is shown through runModal, which returns when
// the dialog has closed, true when it was accepted. Tests install a driver
// instead: runModal then shows the dialog without a nested event loop, hands
// it to the driver, which types and clicks into it, and rejects it afterwards
// if the driver left it open.
bool runModal(QDialog& dialog);

// The frame of every dialog and message box: a title and a close box, no
// minimize and no maximize box.
[[nodiscard]] Qt::WindowFlags dialogWindowFlags();

// Returns the driver that was set before, so that it can be put back.
using ModalDriver = std::function<void(QDialog&)>;
ModalDriver setModalDriver(ModalDriver driver);

} // namespace callvista
