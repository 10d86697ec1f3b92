#pragma once

#include <QtGlobal>

#include <functional>

// Work cut into parts that run side by side: one part to each thread that
// the global thread pool allows, the first one on the calling thread.
namespace callvista {

// How many parts `count` items make when no part has fewer than `minimum`
// and there is one part to each thread the global pool allows; at least one.
[[nodiscard]] int parallelParts(qsizetype count, qsizetype minimum);

// Runs work(part) for every part from 0 to parts - 1 and returns when all
// of them have run; part 0 runs on the calling thread.
void runInParallel(int parts, const std::function<void(int part)>& work);

// The first item of the part when `count` items are cut into `parts`.
[[nodiscard]] inline qsizetype partStart(qsizetype count, int parts, int part)
{
    return count * part / parts;
}

} // namespace callvista
