#include "app/session_end.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace callvista {

namespace {

// Windows asks every top-level window whether the session may end
// (WM_QUERYENDSESSION), then tells it that it ends (WM_ENDSESSION). Qt's
// own handling quits the event loops, which would hand an open question
// an answer nobody gave; the program ends here instead, once the copy is
// written.
class EndOfSession final : public QAbstractNativeEventFilter
{
public:
    explicit EndOfSession(std::function<void()> ending)
        : m_ending(std::move(ending))
    {
    }

    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const MSG& msg = *static_cast<const MSG*>(message);
        if (msg.message == WM_QUERYENDSESSION) {
            m_ending();
        } else if (msg.message == WM_ENDSESSION && msg.wParam) {
            m_ending();
            TerminateProcess(GetCurrentProcess(), 0);
        }
        return false;
    }

private:
    std::function<void()> m_ending;
};

} // namespace

struct SessionEndWatch::Watch {
    explicit Watch(std::function<void()> ending)
        : filter(std::move(ending))
    {
    }
    EndOfSession filter;
};

SessionEndWatch::SessionEndWatch(std::function<void()> ending)
    : m_watch(std::make_unique<Watch>(std::move(ending)))
{
    QCoreApplication::instance()->installNativeEventFilter(&m_watch->filter);
}

SessionEndWatch::~SessionEndWatch()
{
    QCoreApplication::instance()->removeNativeEventFilter(&m_watch->filter);
}

} // namespace callvista
