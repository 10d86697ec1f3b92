#pragma once

#include <QList>

namespace callvista {

// A control's extent down a form: the top its design gives it, and the
// height it needs.
struct Band {
    int top;
    int height;
};

// The tops of the bands stacked in their order within [top, bottom): each
// as near its design top as the band above it allows, and the stack moved
// up where it would run past the bottom, though never above the top. Bands
// taller together than the room start at the top and run past the bottom.
[[nodiscard]] QList<int> stackBands(const QList<Band>& bands, int top, int bottom);

} // namespace callvista
