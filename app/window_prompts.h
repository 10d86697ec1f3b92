#pragma once

#include "core/user_prompts.h"

class QWidget;

namespace callvista {

// The document's questions and messages as the program's message boxes,
// and its paths through the program's own file chooser, each over the
// window that asks.
class WindowPrompts : public UserPrompts
{
public:
    explicit WindowPrompts(QWidget& window);

    MessageAnswer ask(const MessageRequest& question) override;
    std::optional<QString> choosePath(const ChooserOptions& options) override;
    void tell(const QString& title, const QString& text) override;

private:
    QWidget& m_window;
};

} // namespace callvista
