#pragma once

#include <QRect>
#include <QSize>

class QCheckBox;
class QGroupBox;

namespace callvista {

// The windows are laid out in twips, 15 to a pixel at the design resolution;
// Qt's high-DPI scaling takes care of other screens.
[[nodiscard]] QRect twipsRect(int left, int top, int width, int height);
[[nodiscard]] QRect twipsRect(const QRect& twips);
[[nodiscard]] QSize twipsSize(const QSize& twips);

// The height at which the style draws the check box whole: its box and the
// focus frame around its caption.
[[nodiscard]] int checkBoxHeight(const QCheckBox& box);

// Where controls drawn on the frame may lie, in its parent's coordinates:
// inside its contents and below the title it draws in its top line.
[[nodiscard]] QRect groupBoxContentsRect(const QGroupBox& frame);

} // namespace callvista
