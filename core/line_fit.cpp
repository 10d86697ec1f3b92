#include "core/line_fit.h"

#include <cmath>
#include <optional>

namespace callvista {

namespace {

// Every size is measured until one fits: hinting rounds each size its own
// way, so a smaller size is not always the narrower one.
std::optional<double> largestFitting(const SizeRange& range, double room,
                                     const std::function<double(double)>& widthAt)
{
    if (range.largest >= range.smallest && widthAt(range.largest) <= room)
        return range.largest;
    if (range.step <= 0)
        return std::nullopt;
    // Counted in whole steps, so that the sizes do not drift off the grid;
    // the slack keeps a size that lies on it from being tried twice.
    constexpr double slack = 1e-9;
    const long first = long(std::ceil(range.largest / range.step - slack)) - 1;
    const long last = long(std::ceil(range.smallest / range.step - slack));
    for (long steps = first; steps >= last; --steps) {
        const double size = double(steps) * range.step;
        if (widthAt(size) <= room)
            return size;
    }
    return std::nullopt;
}

} // namespace

LineFit fitLine(const SizeRange& range, double room, int bar,
                const std::function<double(double)>& widthAt)
{
    if (const std::optional<double> size = largestFitting(range, room, widthAt))
        return {*size, 0};
    return {largestFitting(range, room + bar, widthAt).value_or(range.smallest), bar};
}

} // namespace callvista
