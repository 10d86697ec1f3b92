#include "core/shares.h"

#include <QThreadPool>

#include <algorithm>
#include <latch>

namespace callvista {

int shareCount(qsizetype count, qsizetype minimum)
{
    const int threads = std::max(1, QThreadPool::globalInstance()->maxThreadCount());
    return int(std::clamp<qsizetype>(count / std::max<qsizetype>(minimum, 1), 1, threads));
}

void runShares(int shares, const std::function<void(int share)>& work)
{
    std::latch done(shares - 1);
    for (int share = 1; share < shares; ++share) {
        QThreadPool::globalInstance()->start([&work, &done, share] {
            work(share);
            done.count_down();
        });
    }
    work(0);
    done.wait();
}

} // namespace callvista
