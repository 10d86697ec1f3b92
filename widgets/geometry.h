#pragma once

#include <QRect>

class QWidget;

namespace callvista {

// The windows are laid out in twips, 15 to a pixel at the design resolution;
// Qt's high-DPI scaling takes care of other screens.
[[nodiscard]] QRect twipsRect(int left, int top, int width, int height);

void placeInTwips(QWidget* widget, int left, int top, int width, int height);

} // namespace callvista
