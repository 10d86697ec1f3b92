#pragma once

#include "widgets/ink_extent_cache.h"

#include <QFont>
#include <QStyledItemDelegate>

namespace callvista {

// Draws an entry line as its three fields, each in a cell of its own at the
// fixed place of its column under the header: a column is one character of
// the list's fixed-pitch font wide, whatever the characters of a field are.
// A field is drawn in its own direction, clipped to its cell and elided at
// the cell's end, with controls shown as marks; the bars stand at their
// columns. Every row is as tall as the tallest accents and lowest marks of
// the font and its fallback fonts need, so that all rows keep one height
// and nothing is cut; that measure is kept in the user's cache, since taking
// it loads a font for nearly every script.
class EntryDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit EntryDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const override;

    // How far ink reaches above and below the baseline in this font, for
    // the scripts a name is written in, fallback fonts included; at least
    // the font's own ascent and descent. Measured every time.
    [[nodiscard]] static InkExtent inkExtent(const QFont& font);
    // The same, taken from the cache when the installed fonts have not
    // changed since it was measured, and kept there when measured.
    [[nodiscard]] static InkExtent inkExtent(const QFont& font, const InkExtentCache& cache,
                                             const QByteArray& fontsDigest);

private:
    [[nodiscard]] InkExtent cachedExtent(const QFont& font) const;

    mutable QString m_extentFont;
    mutable InkExtent m_extent;
};

} // namespace callvista
