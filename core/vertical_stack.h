#pragma once

#include <QList>

namespace callvista {

// A control's extent down a form: the top its design gives it, and the
// height it needs.
struct VerticalExtent {
    int top;
    int height;
};

// The tops of the extents stacked in their order within [top, bottom): each
// as near its design top as the extent above it allows, and the stack moved
// up where it would run past the bottom, though never above the top. Extents
// taller together than the room start at the top and run past the bottom.
[[nodiscard]] QList<int> stackVertically(const QList<VerticalExtent>& extents, int top, int bottom);

} // namespace callvista
