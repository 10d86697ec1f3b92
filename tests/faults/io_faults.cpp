// Loaded with LD_PRELOAD into a test program, this library stands between
// the program and the C library's I/O calls: while it is armed, it counts
// the calls that the arming thread makes and fails one of them, chosen by
// its number, with a chosen error, or makes a write short or interrupted.
// Every other call goes through to the C library unchanged.
#include "io_faults.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstddef>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::atomic<bool> armed{false};
pthread_t armingThread;
int failAt = 0;
int failWith = 0;
CallvistaFault faultKind = CallvistaFault::Error;
int counted = 0;
const char* failedCall = nullptr;

template <typename F>
F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

enum class Call { Other, Write };

// Counts the call and says whether this is the one to fail.
bool strikes(const char* name, Call call)
{
    if (!armed.load(std::memory_order_acquire) || !pthread_equal(pthread_self(), armingThread))
        return false;
    // A short or interrupted write is a fault of writes only.
    const bool anyCall = faultKind == CallvistaFault::Error || faultKind == CallvistaFault::Kill;
    if (!anyCall && call != Call::Write)
        return false;
    if (++counted != failAt)
        return false;
    failedCall = name;
    if (faultKind == CallvistaFault::Kill)
        std::raise(SIGKILL);
    return true;
}

template <typename Open>
int openWith(const char* name, Open open, const char* path, int flags, mode_t mode)
{
    if (strikes(name, Call::Other)) {
        errno = failWith;
        return -1;
    }
    return open(path, flags, mode);
}

mode_t modeOf(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

void callvista_faults_arm(int callNumber, int error, CallvistaFault kind)
{
    failAt = callNumber;
    failWith = error;
    faultKind = kind;
    counted = 0;
    failedCall = nullptr;
    armingThread = pthread_self();
    armed.store(true, std::memory_order_release);
}

int callvista_faults_disarm(const char** failed)
{
    armed.store(false, std::memory_order_release);
    if (failed)
        *failed = failedCall;
    return counted;
}

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    using Fn = int (*)(const char*, int, ...);
    static const Fn next = real<Fn>("open");
    return openWith(
        "open", [](const char* p, int f, mode_t m) { return next(p, f, m); }, path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    using Fn = int (*)(const char*, int, ...);
    static const Fn next = real<Fn>("open64");
    return openWith(
        "open", [](const char* p, int f, mode_t m) { return next(p, f, m); }, path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    using Fn = int (*)(int, const char*, int, ...);
    static const Fn next = real<Fn>("openat");
    if (strikes("openat", Call::Other)) {
        errno = failWith;
        return -1;
    }
    return next(folder, path, flags, mode);
}

int __open_2(const char* path, int flags)
{
    using Fn = int (*)(const char*, int);
    static const Fn next = real<Fn>("__open_2");
    if (strikes("open", Call::Other)) {
        errno = failWith;
        return -1;
    }
    return next(path, flags);
}

ssize_t write(int fd, const void* data, size_t size)
{
    using Fn = ssize_t (*)(int, const void*, size_t);
    static const Fn next = real<Fn>("write");
    if (strikes("write", Call::Write)) {
        switch (faultKind) {
        case CallvistaFault::Error:
        case CallvistaFault::Kill:
            errno = failWith;
            return -1;
        case CallvistaFault::Interrupted:
            errno = EINTR;
            return -1;
        case CallvistaFault::ShortWrite:
            return next(fd, data, size > 1 ? size / 2 : size);
        }
    }
    return next(fd, data, size);
}

#define CALLVISTA_FAIL_OR_PASS(name, type, params, args)                                           \
    type name params                                                                               \
    {                                                                                              \
        using Fn = type(*) params;                                                                 \
        static const Fn next = real<Fn>(#name);                                                    \
        if (strikes(#name, Call::Other)) {                                                         \
            errno = failWith;                                                                      \
            return -1;                                                                             \
        }                                                                                          \
        return next args;                                                                          \
    }

CALLVISTA_FAIL_OR_PASS(fsync, int, (int fd), (fd))
CALLVISTA_FAIL_OR_PASS(fdatasync, int, (int fd), (fd))
CALLVISTA_FAIL_OR_PASS(fchmod, int, (int fd, mode_t mode), (fd, mode))
CALLVISTA_FAIL_OR_PASS(fstat, int, (int fd, struct stat* status), (fd, status))
CALLVISTA_FAIL_OR_PASS(fstat64, int, (int fd, struct stat64* status), (fd, status))
CALLVISTA_FAIL_OR_PASS(link, int, (const char* from, const char* to), (from, to))
CALLVISTA_FAIL_OR_PASS(linkat, int, (int a, const char* from, int b, const char* to, int flags),
                       (a, from, b, to, flags))
CALLVISTA_FAIL_OR_PASS(rename, int, (const char* from, const char* to), (from, to))
CALLVISTA_FAIL_OR_PASS(renameat, int, (int a, const char* from, int b, const char* to),
                       (a, from, b, to))

// A failed close still closes: on Linux the descriptor is gone either way,
// and the program must not close it again.
int close(int fd)
{
    using Fn = int (*)(int);
    static const Fn next = real<Fn>("close");
    if (strikes("close", Call::Other)) {
        next(fd);
        errno = failWith;
        return -1;
    }
    return next(fd);
}

} // extern "C"
