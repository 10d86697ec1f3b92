#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace callvista {

// The system's own sort key of the text in the locale, letter case ignored,
// as Windows's list boxes sort: comparing two keys byte by byte gives what
// CompareStringEx gives for the texts. (Qt 6.4's QCollatorSortKey on
// Windows keeps these bytes in UTF-16 units, which compare in another
// order, so that a list sorted by keys and one sorted by comparisons
// disagree.) Windows only.
[[nodiscard]] QByteArray windowsSortKey(const QLocale& locale, const QString& text);

} // namespace callvista
