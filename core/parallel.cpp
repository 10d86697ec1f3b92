#include "core/parallel.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>

namespace callvista {

int parallelParts(qsizetype count, qsizetype minimum)
{
    const int threads = std::max(1, QThreadPool::globalInstance()->maxThreadCount());
    return int(std::clamp<qsizetype>(count / std::max<qsizetype>(minimum, 1), 1, threads));
}

void runInParallel(int parts, const std::function<void(int part)>& work)
{
    // A QSemaphore, not std::latch: mingw's libstdc++ waits on an atomic
    // without a futex and can miss the last wake-up, which hung loading on
    // Windows now and then.
    QSemaphore done;
    for (int part = 1; part < parts; ++part) {
        QThreadPool::globalInstance()->start([&work, &done, part] {
            work(part);
            done.release();
        });
    }
    work(0);
    done.acquire(parts - 1);
}

} // namespace callvista
