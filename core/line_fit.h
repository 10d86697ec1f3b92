#pragma once

#include <functional>

namespace callvista {

// The point sizes a font may take, largest first: `largest` itself, then
// each multiple of `step` below it down to `smallest`.
struct SizeRange {
    double largest;
    double smallest;
    double step;
};

// How the list shows its whole line: at this point size, with the list and
// the window wider by `widening` pixels.
struct LineFit {
    double pointSize = 0;
    int widening = 0;
};

// The largest size of the range at which the line, `widthAt(size)` pixels
// wide, fits in `room`, the list's text room beside its vertical scroll bar.
// Only when no size of the range fits there is the list widened by the
// scroll bar's width `bar`, at the largest size that fits then, or at the
// smallest of the range when none does even so.
[[nodiscard]] LineFit fitLine(const SizeRange& range, double room, int bar,
                              const std::function<double(double)>& widthAt);

} // namespace callvista
