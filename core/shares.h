#pragma once

#include <QtGlobal>

#include <functional>

// Work cut into shares that run side by side: one share to each thread that
// the global thread pool allows, the first one on the calling thread.
namespace callvista {

// How many shares `count` items make when no share has fewer than `minimum`
// and there is one share to each thread the global pool allows; at least one.
[[nodiscard]] int shareCount(qsizetype count, qsizetype minimum);

// Runs work(share) for every share from 0 to shares - 1 and returns when all
// of them have run. Share 0 runs on the calling thread.
void runShares(int shares, const std::function<void(int share)>& work);

// The first item of the share when `count` items are cut into `shares`.
[[nodiscard]] inline qsizetype shareStart(qsizetype count, int shares, int share)
{
    return count * share / shares;
}

} // namespace callvista
