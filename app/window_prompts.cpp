#include "app/window_prompts.h"

#include "dialogs/file_box.h"
#include "widgets/message_box.h"
#include "widgets/modal.h"

namespace callvista {

WindowPrompts::WindowPrompts(QWidget& window)
    : m_window(window)
{
}

MessageAnswer WindowPrompts::ask(const MessageRequest& question)
{
    return showMessage(&m_window, question);
}

std::optional<QString> WindowPrompts::choosePath(const ChooserOptions& options)
{
    FileBox box(options, &m_window);
    if (!runModal(box) || box.path().isEmpty())
        return std::nullopt;
    return box.path();
}

void WindowPrompts::tell(const QString& title, const QString& text)
{
    showMessage(&m_window, text, title);
}

} // namespace callvista
