#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace callvista {

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
};

// Every message of the program comes from here: a box without an icon, with
// the given text, title and buttons, and Yes (or OK) as the default button.
// A Yes/No box has no cancel: neither Escape nor its close box answers it.
[[nodiscard]] std::unique_ptr<QMessageBox> buildMessageBox(QWidget* parent,
                                                           const MessageRequest& request);

MessageAnswer showMessage(QWidget* parent, const QString& text, const QString& title,
                          MessageButtons buttons = MessageButtons::Ok);

// Test seam: while a responder is set, showMessage asks it instead of showing
// a box. Pass an empty function to go back to real boxes. Returns the
// responder that was set before, so that it can be put back.
using MessageResponder = std::function<MessageAnswer(const MessageRequest&)>;
MessageResponder setMessageResponder(MessageResponder responder);

} // namespace callvista
