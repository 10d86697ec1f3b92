#pragma once

#include "core/entry_line.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

// What every fuzz target asks of the entry lines a reader hands back.
namespace callvista::fuzzing {

inline void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

inline bool holdsHalfAPair(const QString& line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate())
            ++i;
        else if (line.at(i).isSurrogate())
            return true;
    }
    return false;
}

// Well-formed entry lines, as the line builder makes them: the widths, the
// bars in their places, no line break and no half of a surrogate pair.
inline void checkEntryLines(const QStringList& lines, const ColumnWidths& widths = EntryWidths)
{
    check(lines.size() <= MaxEntries, "more entries than a list holds");
    for (const QString& line : lines) {
        check(line.size() == widths.lineLength(), "an entry line of the wrong length");
        check(line.at(widths.family) == u'|', "first separator out of place");
        check(line.at(widths.family + widths.shortName + 1) == u'|',
              "second separator out of place");
        check(!line.contains(u'\r') && !line.contains(u'\n'), "an entry line holds a line break");
        check(!holdsHalfAPair(line), "an entry line holds half of a surrogate pair");
    }
}

} // namespace callvista::fuzzing
