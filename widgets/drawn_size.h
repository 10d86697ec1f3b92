#pragma once

#include <QRect>

class QCheckBox;
class QGroupBox;

namespace callvista {

// The height at which the style draws the check box whole: its box and the
// focus frame around its caption.
[[nodiscard]] int wholeHeight(const QCheckBox& box);

// Where controls drawn on the frame may lie, in its parent's coordinates:
// inside its contents and below the caption it draws in its top line.
[[nodiscard]] QRect areaBelowCaption(const QGroupBox& frame);

} // namespace callvista
