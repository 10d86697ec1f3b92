#include "core/band_stack.h"

#include <algorithm>

namespace callvista {

QList<int> stackBands(const QList<Band>& bands, int top, int bottom)
{
    QList<int> tops;
    tops.reserve(bands.size());
    int free = top;
    for (const Band& band : bands) {
        tops.append(std::max(band.top, free));
        free = tops.last() + band.height;
    }
    // From the bottom up, so that a band moved up takes the ones above with
    // it only as far as they must go.
    int limit = bottom;
    for (qsizetype i = bands.size() - 1; i >= 0; --i) {
        tops[i] = std::min(tops[i], limit - bands[i].height);
        limit = tops[i];
    }
    // Where the room is too small, the stack keeps its top and runs past the
    // bottom instead.
    free = top;
    for (qsizetype i = 0; i < bands.size(); ++i) {
        tops[i] = std::max(tops[i], free);
        free = tops[i] + bands[i].height;
    }
    return tops;
}

} // namespace callvista
