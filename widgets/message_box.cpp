#include "widgets/message_box.h"

#include "widgets/modal.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include <utility>

namespace callvista {

namespace {

MessageResponder& responder()
{
    static MessageResponder instance;
    return instance;
}

// QMessageBox takes No as the escape button of a Yes/No box; the program's
// Yes/No questions must be answered by a button, so Escape and the close box
// are refused there.
class AnswerOnlyBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override
    {
        if (event->spontaneous()) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

QMessageBox::StandardButton standardButton(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

} // namespace

std::unique_ptr<QMessageBox> buildMessageBox(QWidget* parent, const MessageRequest& request)
{
    std::unique_ptr<QMessageBox> box;
    if (request.buttons == MessageButtons::YesNo) {
        box = std::make_unique<AnswerOnlyBox>(parent);
        box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    } else {
        box = std::make_unique<QMessageBox>(parent);
        box->setWindowFlags(dialogWindowFlags());
    }
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(request.title);
    box->setText(request.text);
    box->setTextFormat(Qt::PlainText);
    switch (request.buttons) {
    case MessageButtons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    }
    if (request.buttons != MessageButtons::Ok)
        box->setDefaultButton(standardButton(request.defaultButton()));
    return box;
}

MessageAnswer showMessage(QWidget* parent, const QString& text, const QString& title,
                          MessageButtons buttons)
{
    return showMessage(parent, MessageRequest{text, title, buttons});
}

MessageAnswer showMessage(QWidget* parent, const MessageRequest& request)
{
    if (responder())
        return responder()(request);
    const auto box = buildMessageBox(parent, request);
    switch (box->exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return request.buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel
                                                              : MessageAnswer::Ok;
    }
}

MessageResponder setMessageResponder(MessageResponder newResponder)
{
    return std::exchange(responder(), std::move(newResponder));
}

} // namespace callvista
