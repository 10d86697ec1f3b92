#include "widgets/entry_delegate.h"

#include "core/entry_line.h"
#include "core/shown_entry.h"
#include "widgets/installed_fonts.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QStyle>
#include <QTextLayout>

#include <array>
#include <cmath>

namespace callvista {

namespace {

// Letters whose ink reaches furthest up and down in the scripts names are
// written in, each as a name would hold it: accented and doubly accented
// capitals, descenders and marks below letters, pointed Hebrew, Arabic with
// a shadda and its vowel, Thai and Devanagari vowels above and below, CJK
// and emoji. Only their ink counts, not the line height of the fonts that
// draw them.
const QString& tallestInk()
{
    static const QString sample = QString::fromUtf8(
        "\u00c9\u00c5\u01fa\u1ec4\u1ea6\u0176\u0139gjpqy\u00e7\u0229\u0105\u1e01"
        "\u05db\u05bc\u05b8\u05dc\u05b4 \u0645\u0651\u064e\u0628\u0650\u062d\u062c"
        "\u5c71\u7530\u9f98\uac00 \u0e1b\u0e35\u0e49\u0e0d\u0e39 \u0915\u094d\u0937\u093f\u0941"
        "\U0001F600\U0001F468");
    return sample;
}

// One laid-out line of text, never wrapped.
void layOut(QTextLayout& layout, const QString& text, Qt::LayoutDirection direction, qreal width)
{
    layout.setText(text);
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(width);
        line.setPosition({0, 0});
    }
    layout.endLayout();
}

int textMargin(const QWidget* widget)
{
    // Qt's item views inset an item's text by the focus frame's margin and
    // one pixel more, at both ends.
    const QStyle* style = widget ? widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

struct Cell {
    Field field;
    int firstColumn;
    int columns;
};

std::array<Cell, 3> cells()
{
    return {Cell{Field::Family, 0, EntryWidths.family},
            Cell{Field::Short, EntryWidths.family + 1, EntryWidths.shortName},
            Cell{Field::Phone, EntryWidths.family + EntryWidths.shortName + 2, EntryWidths.phone}};
}

} // namespace

EntryDelegate::EntryDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

InkExtent EntryDelegate::inkExtent(const QFont& font)
{
    const QFontMetricsF metrics(font);
    qreal above = metrics.ascent();
    qreal below = metrics.descent();
    QTextLayout layout(QString(), font);
    layOut(layout, tallestInk(), Qt::LeftToRight, 1e6);
    const qreal baseline = layout.lineAt(0).ascent();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
            const QRectF ink = raw.boundingRect(glyphs.at(i)).translated(positions.at(i));
            if (ink.isEmpty())
                continue;
            above = std::max(above, baseline - ink.top());
            below = std::max(below, ink.bottom() - baseline);
        }
    }
    // Antialiasing can shade one pixel beyond the outline at either end.
    return {int(std::ceil(above)) + 1, int(std::ceil(below)) + 1};
}

InkExtent EntryDelegate::inkExtent(const QFont& font, const InkExtentCache& cache,
                                   const QByteArray& fontsDigest)
{
    const QString key = InkExtentCache::keyFor(font, tallestInk(), fontsDigest);
    if (const std::optional<InkExtent> kept = cache.find(key))
        return *kept;
    const InkExtent measured = inkExtent(font);
    cache.keep(key, measured);
    return measured;
}

InkExtent EntryDelegate::cachedExtent(const QFont& font) const
{
    // Every row asks for its size and every visible one is painted; the
    // extent is looked up once a font. An empty list asks for none, so a
    // program that shows no entries never measures.
    const QString key = font.key();
    if (key != m_extentFont) {
        m_extent = inkExtent(font, InkExtentCache(), installedFontsDigest());
        m_extentFont = key;
    }
    return m_extent;
}

QSize EntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The style sizes the item for a plain line of the line's length: what
    // the fields hold (a separator, wide characters) never changes the size.
    item.text = QString(EntryWidths.lineLength(), u'0');
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), widget);
    const InkExtent extent = cachedExtent(item.font);
    const int fontHeight = QFontMetrics(item.font).height();
    size.rheight() += std::max(0, extent.ascent + extent.descent - fontHeight);
    return size;
}

void EntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString line = item.text;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();

    // The style draws the row's background, selection and focus; the text
    // is drawn here, cell by cell.
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                                               : QPalette::Inactive;
    const QColor ink = option.palette.color(group, (option.state & QStyle::State_Selected)
                                                       ? QPalette::HighlightedText
                                                       : QPalette::Text);
    const QFontMetricsF metrics(item.font);
    const qreal column = metrics.horizontalAdvance(u'0');
    const int left = option.rect.left() + textMargin(widget);
    const InkExtent extent = cachedExtent(item.font);
    // One baseline for the whole row, the block of ink centred in it.
    const int baseline = option.rect.top()
                         + (option.rect.height() - extent.ascent - extent.descent) / 2
                         + extent.ascent;

    painter->save();
    painter->setPen(ink);
    painter->setFont(item.font);
    for (const int bar : {int(EntryWidths.family), EntryWidths.family + EntryWidths.shortName + 1})
        painter->drawText(QPointF(left + bar * column, baseline), QStringLiteral("|"));

    QTextLayout layout(QString(), item.font);
    for (const Cell& cell : cells()) {
        const QString text = visibleField(entryField(line, cell.field));
        if (text.isEmpty())
            continue;
        const QRectF box(left + cell.firstColumn * column, option.rect.top(), cell.columns * column,
                         option.rect.height());
        const Qt::LayoutDirection direction =
            text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        layOut(layout, text, direction, box.width());
        if (layout.lineAt(0).naturalTextWidth() > box.width())
            layOut(layout, metrics.elidedText(text, Qt::ElideRight, box.width()), direction,
                   box.width());
        painter->setClipRect(box);
        layout.draw(painter, QPointF(box.left(), baseline - layout.lineAt(0).ascent()));
    }
    painter->restore();
}

} // namespace callvista
