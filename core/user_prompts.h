#pragma once

#include <QString>

#include <optional>

// What the document asks and tells the user, said without a window: the
// main window answers through its message boxes and its file chooser, a
// test through a script of answers.
namespace callvista {

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// A question or a message: its text, its title, its buttons and the one
// that Enter presses.
struct MessageRequest {
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
    // Yes for a question, OK for a message.
    std::optional<MessageAnswer> defaultAnswer = std::nullopt;

    [[nodiscard]] MessageAnswer defaultButton() const
    {
        return defaultAnswer.value_or(buttons == MessageButtons::Ok ? MessageAnswer::Ok
                                                                    : MessageAnswer::Yes);
    }
};

// How a command wants its file chosen.
struct ChooserOptions {
    QString caption;
    QString actionCaption;
    // Ask before accepting the name of a file that already exists.
    bool warnBeforeOverwrite = false;
    // The required extension, without the dot; the file list shows the
    // files that have it.
    QString extension;
    // A locked name box takes its name from the file list only.
    bool nameLocked = false;
    // A typed name without the extension gets it in lower case (".vcf"), as
    // other programs name their files, rather than as given (".CVA").
    bool lowerCaseExtension = false;
};

class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    // Asks and waits for the answer.
    virtual MessageAnswer ask(const MessageRequest& question) = 0;
    // The full path the user chose, in the platform's form, or nothing when
    // the chooser was left without one.
    virtual std::optional<QString> choosePath(const ChooserOptions& options) = 0;
    // Tells something and waits until it has been read.
    virtual void tell(const QString& title, const QString& text) = 0;
};

} // namespace callvista
