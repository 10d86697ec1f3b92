#include "app/session_end.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace callvista {

namespace {

// What logging out, shutting down, closing the terminal and Ctrl+C send.
constexpr int EndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The handler's end of the pipe and the event loop's: a signal handler may
// do no more than write a byte.
int signalPipe[2] = {-1, -1};

extern "C" void noteSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = saved;
}

void handle(int signal, void (*handler)(int))
{
    struct sigaction action {
    };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

// Ends the program as the signal would have, had it not been caught.
[[noreturn]] void endBy(int signal)
{
    handle(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

} // namespace

struct SessionEndWatch::Watch {
    std::function<void()> ending;
    std::unique_ptr<QSocketNotifier> notifier;
    // Each signal caught, with what it did before, which it does again
    // once the watch ends.
    std::vector<std::pair<int, struct sigaction>> caught;
};

SessionEndWatch::SessionEndWatch(std::function<void()> ending)
    : m_watch(std::make_unique<Watch>())
{
    m_watch->ending = std::move(ending);
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("The signals that end the program cannot be watched: %s", std::strerror(errno));
        return;
    }
    m_watch->notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(m_watch->notifier.get(), &QSocketNotifier::activated, [watch = m_watch.get()] {
        unsigned char number = 0;
        if (::read(signalPipe[0], &number, 1) != 1)
            return;
        watch->ending();
        endBy(number);
    });
    for (const int signal : EndingSignals) {
        struct sigaction old {
        };
        // One ignored from the start stays ignored, as nohup asks of SIGHUP.
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        handle(signal, noteSignal);
        m_watch->caught.emplace_back(signal, old);
    }
}

SessionEndWatch::~SessionEndWatch()
{
    for (const auto& [signal, before] : m_watch->caught)
        sigaction(signal, &before, nullptr);
    m_watch->notifier.reset();
    for (int& end : signalPipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

} // namespace callvista
