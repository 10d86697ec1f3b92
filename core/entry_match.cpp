#include "core/entry_match.h"

#include <algorithm>

namespace callvista {

namespace {

QString prepared(const QString& criterion, bool matchCase)
{
    const QString trimmed = trimSpaces(criterion);
    return matchCase ? trimmed : trimmed.toUpper();
}

// The scan compares most fields without building their upper-case copy:
// where the full upper case of a character is one UTF-16 unit, it is the
// character's simple mapping and can be compared unit by unit. A field with
// any other character (a surrogate, or one such as "ß" whose upper case is
// longer) is upper-cased as a whole instead.
enum class Outcome { No, Yes, Complex };

constexpr char16_t NoSimpleUpper = 0;

char16_t simpleUpper(char16_t c)
{
    if (c < 0x80)
        return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
    // Below U+1E96 only these have an upper case longer than one unit.
    if (QChar::isSurrogate(c) || c >= 0x1E96 || c == 0xDF || c == 0x149 || c == 0x1F0 || c == 0x390
        || c == 0x3B0 || c == 0x587)
        return NoSimpleUpper;
    return QChar::toUpper(c);
}

bool allSimple(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return simpleUpper(c.unicode()) != NoSimpleUpper; });
}

Outcome simpleEquals(QStringView field, QStringView upper)
{
    if (!allSimple(field))
        return Outcome::Complex;
    if (field.size() != upper.size())
        return Outcome::No;
    for (qsizetype i = 0; i < field.size(); ++i)
        if (simpleUpper(field.at(i).unicode()) != upper.at(i).unicode())
            return Outcome::No;
    return Outcome::Yes;
}

Outcome simpleContains(QStringView field, QStringView upper)
{
    if (!allSimple(field))
        return Outcome::Complex;
    const qsizetype last = field.size() - upper.size();
    for (qsizetype start = 0; start <= last; ++start) {
        qsizetype i = 0;
        while (i < upper.size()
               && simpleUpper(field.at(start + i).unicode()) == upper.at(i).unicode())
            ++i;
        if (i == upper.size())
            return Outcome::Yes;
    }
    return Outcome::No;
}

} // namespace

EntryMatcher::EntryMatcher(const Search& search, const ColumnWidths& widths)
    : m_family(prepared(search.criteria.family, search.options.matchCase))
    , m_short(prepared(search.criteria.shortName, search.options.matchCase))
    , m_phone(prepared(search.criteria.phone, search.options.matchCase))
    , m_options(search.options)
    , m_widths(widths)
{
}

bool EntryMatcher::matches(QStringView line) const
{
    return fieldMatches(entryColumn(line, Field::Family, m_widths), m_family)
           && fieldMatches(entryColumn(line, Field::Short, m_widths), m_short)
           && fieldMatches(entryColumn(line, Field::Phone, m_widths), m_phone);
}

bool EntryMatcher::fieldMatches(QStringView column, const QString& criterion) const
{
    const QStringView field = trimSpacesView(column);
    Outcome outcome = Outcome::Complex;
    if (m_options.wholeWord) {
        if (criterion.isEmpty())
            return true;
        if (m_options.matchCase)
            return field == criterion;
        outcome = simpleEquals(field, criterion);
        if (outcome == Outcome::Complex)
            return field.toString().toUpper() == criterion;
    } else {
        if (field.isEmpty())
            return false;
        if (criterion.isEmpty())
            return true;
        if (m_options.matchCase)
            return field.contains(criterion);
        outcome = simpleContains(field, criterion);
        if (outcome == Outcome::Complex)
            return field.toString().toUpper().contains(criterion);
    }
    return outcome == Outcome::Yes;
}

int findEntry(const SortedLines& entries, int start, const Search& search,
              const ColumnWidths& widths)
{
    const int count = entries.size();
    const int from = std::clamp(start, -1, count - 1);
    const EntryMatcher matcher(search, widths);
    const auto matches = [&](const QString& line) { return matcher.matches(line); };
    int found = entries.findIn(from + 1, count, matches);
    if (found < 0)
        found = entries.findIn(0, from + 1, matches);
    return found;
}

} // namespace callvista
