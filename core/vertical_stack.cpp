#include "core/vertical_stack.h"

#include <algorithm>

namespace callvista {

QList<int> stackVertically(const QList<VerticalExtent>& extents, int top, int bottom)
{
    QList<int> tops;
    tops.reserve(extents.size());
    int free = top;
    for (const VerticalExtent& extent : extents) {
        tops.append(std::max(extent.top, free));
        free = tops.last() + extent.height;
    }
    // From the bottom up, so that an extent moved up takes the ones above with
    // it only as far as they must go.
    int limit = bottom;
    for (qsizetype i = extents.size() - 1; i >= 0; --i) {
        tops[i] = std::min(tops[i], limit - extents[i].height);
        limit = tops[i];
    }
    // Where the room is too small, the stack keeps its top and runs past the
    // bottom instead.
    free = top;
    for (qsizetype i = 0; i < extents.size(); ++i) {
        tops[i] = std::max(tops[i], free);
        free = tops[i] + extents[i].height;
    }
    return tops;
}

} // namespace callvista
