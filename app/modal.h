#pragma once

#include <functional>

class QDialog;

namespace callvista {

// Every dialog of the program is shown through runModal, which returns when
// the dialog has closed. Tests install a driver instead: runModal then shows
// the dialog without a nested event loop, hands it to the driver, which types
// and clicks into it, and closes it afterwards if the driver left it open.
void runModal(QDialog& dialog);

using ModalDriver = std::function<void(QDialog&)>;
void setModalDriver(ModalDriver driver);

} // namespace callvista
