#pragma once

#include "core/user_prompts.h"

#include <QString>

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace callvista {

// Every message of the program comes from here: a box without an icon, with
// the given text, title, buttons and default button. A Yes/No box has no
// cancel: neither Escape nor its close box answers it.
[[nodiscard]] std::unique_ptr<QMessageBox> buildMessageBox(QWidget* parent,
                                                           const MessageRequest& request);

MessageAnswer showMessage(QWidget* parent, const QString& text, const QString& title,
                          MessageButtons buttons = MessageButtons::Ok);
MessageAnswer showMessage(QWidget* parent, const MessageRequest& request);

// Test seam: while a responder is set, showMessage asks it instead of showing
// a box. Pass an empty function to go back to real boxes. Returns the
// responder that was set before, so that it can be put back.
using MessageResponder = std::function<MessageAnswer(const MessageRequest&)>;
MessageResponder setMessageResponder(MessageResponder responder);

} // namespace callvista
