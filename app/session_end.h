#pragma once

#include <functional>
#include <memory>

namespace callvista {

// Calls `ending` on the main thread when the system ends the program: on
// SIGTERM, SIGHUP or SIGINT on POSIX (the handlers only note the signal; it
// is seen through the event loop), at the end of the user's session on
// Windows. Then the program ends as asked: on POSIX by that very signal, so
// that its status says which one ended it; on Windows at once, with status
// 0, as the system would end it anyway. Made once the application exists.
class SessionEndWatch
{
public:
    explicit SessionEndWatch(std::function<void()> ending);
    ~SessionEndWatch();
    SessionEndWatch(const SessionEndWatch&) = delete;
    SessionEndWatch& operator=(const SessionEndWatch&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};

} // namespace callvista
