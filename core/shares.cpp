#include "core/shares.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>

namespace callvista {

int shareCount(qsizetype count, qsizetype minimum)
{
    const int threads = std::max(1, QThreadPool::globalInstance()->maxThreadCount());
    return int(std::clamp<qsizetype>(count / std::max<qsizetype>(minimum, 1), 1, threads));
}

void runShares(int shares, const std::function<void(int share)>& work)
{
    // A QSemaphore, not std::latch: mingw's libstdc++ waits on an atomic
    // without a futex and can miss the last wake-up, which hung loading on
    // Windows now and then.
    QSemaphore done;
    for (int share = 1; share < shares; ++share) {
        QThreadPool::globalInstance()->start([&work, &done, share] {
            work(share);
            done.release();
        });
    }
    work(0);
    done.acquire(shares - 1);
}

} // namespace callvista
