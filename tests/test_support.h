#pragma once

#include "app/message_box.h"
#include "app/modal.h"

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QTest>
#include <QWidget>

#include <deque>
#include <functional>

namespace callvista::testing {

// Answers the program's message boxes in order and keeps what was asked.
class MessageScript
{
public:
    MessageScript()
    {
        setMessageResponder([this](const MessageRequest& request) {
            asked.append(request);
            if (answers.empty()) {
                ++unanswered;
                return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok
                                                             : MessageAnswer::No;
            }
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageScript() { setMessageResponder({}); }
    MessageScript(const MessageScript&) = delete;
    MessageScript& operator=(const MessageScript&) = delete;

    void answer(MessageAnswer next) { answers.push_back(next); }

    QList<MessageRequest> asked;
    std::deque<MessageAnswer> answers;
    int unanswered = 0;
};

// Drives the program's modal dialogs in order: each step gets the real
// dialog, shown, and may type and click into it.
class ModalScript
{
public:
    using Step = std::function<void(QDialog&)>;

    ModalScript()
    {
        setModalDriver([this](QDialog& dialog) {
            shown.append(dialog.objectName());
            if (steps.empty()) {
                ++unexpected;
                return;
            }
            Step step = std::move(steps.front());
            steps.pop_front();
            step(dialog);
        });
    }
    ~ModalScript() { setModalDriver({}); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    void then(Step step) { steps.push_back(std::move(step)); }

    QStringList shown;
    std::deque<Step> steps;
    int unexpected = 0;
};

template <typename T = QWidget>
T* child(const QWidget& parent, const char* name)
{
    return parent.findChild<T*>(QLatin1String(name));
}

// The window system reports a window active before the application hands
// it the keyboard focus; wait for both.
inline bool activated(QWidget& window)
{
    return QTest::qWaitForWindowActive(&window)
           && QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; });
}

// Typing and pressing keys go where the keyboard focus is, as a person's do.
inline QWidget* focused()
{
    return QApplication::focusWidget();
}

inline void type(const QString& text)
{
    QTest::keyClicks(focused(), text);
}

inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, modifiers);
}

inline void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

} // namespace callvista::testing
