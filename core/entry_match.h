#pragma once

#include "core/entry_line.h"
#include "core/sorted_lines.h"

#include <QString>
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

// One search of the Find dialog: what it looks for and how.
struct Search {
    FindCriteria criteria;
    MatchOptions options;
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
    explicit EntryMatcher(const Search& search, const ColumnWidths& widths = EntryWidths);

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
// itself. Returns the position of the first match, or -1. The lines are read
// where the list keeps them.
[[nodiscard]] int findEntry(const SortedLines& entries, int start, const Search& search,
                            const ColumnWidths& widths = EntryWidths);

} // namespace callvista
