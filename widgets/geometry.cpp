#include "widgets/geometry.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

#include <algorithm>

namespace callvista {

static int toPixels(int twips)
{
    return (twips + 7) / 15;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

QRect twipsRect(const QRect& twips)
{
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

QSize twipsSize(const QSize& twips)
{
    return {toPixels(twips.width()), toPixels(twips.height())};
}

int checkBoxHeight(const QCheckBox& box)
{
    QStyleOptionButton option;
    option.initFrom(&box);
    option.text = box.text();
    option.icon = box.icon();
    option.iconSize = box.iconSize();
    // The style clips the focus frame to the control; measured in a control
    // taller than anything it holds, nothing is clipped.
    option.rect.setHeight(std::max(box.height(), 4 * box.fontMetrics().height()));
    const QStyle* style = box.style();
    const QRect indicator = style->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    const QRect focus = style->subElementRect(QStyle::SE_CheckBoxFocusRect, &option, &box);
    return std::max(indicator.height(), focus.height());
}

QRect groupBoxContentsRect(const QGroupBox& frame)
{
    QStyleOptionGroupBox option;
    option.initFrom(&frame);
    option.text = frame.title();
    option.textAlignment = frame.alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect caption = frame.style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                        QStyle::SC_GroupBoxLabel, &frame);
    QRect area = frame.contentsRect();
    area.setTop(std::max(area.top(), caption.bottom() + 1));
    return area.translated(frame.pos());
}

} // namespace callvista
