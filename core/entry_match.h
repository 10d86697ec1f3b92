#pragma once

#include "core/entry_line.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace callvista {

// The three criteria of a search, as typed: trimmed by the search itself.
struct FindCriteria {
    QString family;
    QString shortName;
    QString phone;
};

struct MatchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// Tests entry lines against one set of criteria. The criteria are trimmed
// and, without Match Case, upper-cased once; each line is cut into its fields
// by position, and each field is trimmed and, without Match Case, upper-cased
// before it is compared with its own criterion:
// - without Whole Word, the criterion must occur in the field, and an empty
//   field contains nothing, not even an empty criterion;
// - with Whole Word, the field must equal the criterion, or the criterion is
//   empty.
// Comparisons are ordinal; a blank is the space character only.
class EntryMatcher
{
public:
    EntryMatcher(const FindCriteria& criteria, MatchOptions options, const ColumnWidths& widths);

    [[nodiscard]] bool matches(QStringView line) const;

private:
    [[nodiscard]] bool fieldMatches(QStringView column, const QString& criterion) const;

    QString m_family;
    QString m_short;
    QString m_phone;
    MatchOptions m_options;
    ColumnWidths m_widths;
};

// Searches the entries for the criteria, starting after position `start` (-1
// when nothing is selected) up to the end, then from the top up to `start`
// itself. Returns the position of the first match, or -1.
[[nodiscard]] qint16 findEntry(const QStringList& entries, qint16 start,
                               const FindCriteria& criteria, MatchOptions options,
                               const ColumnWidths& widths);

} // namespace callvista
