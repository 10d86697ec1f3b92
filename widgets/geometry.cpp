#include "widgets/geometry.h"

#include <QWidget>

namespace callvista {

static int toPixels(int twips)
{
    return (twips + 7) / 15;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

void placeInTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

} // namespace callvista
