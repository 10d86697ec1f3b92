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
// the upper case of an ASCII character is its ASCII upper case, and the full
// mapping leaves a run of ASCII characters as it is, so a comparison that
// meets only ASCII characters is decided. A field with other characters,
// whose upper case may differ in length ("ß" becomes "SS") or fall into ASCII
// ("ı" becomes "I"), is upper-cased as a whole instead.
enum class Outcome { No, Yes, NotAscii };

char16_t asciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

Outcome asciiEquals(QStringView field, QStringView upper)
{
    const qsizetype common = std::min(field.size(), upper.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t c = field.at(i).unicode();
        if (c >= 0x80)
            return Outcome::NotAscii;
        if (asciiUpper(c) != upper.at(i).unicode())
            return Outcome::No;
    }
    // A shorter field was ASCII throughout; a longer one only grows when
    // upper-cased.
    return field.size() == upper.size() ? Outcome::Yes : Outcome::No;
}

Outcome asciiContains(QStringView field, QStringView upper)
{
    const qsizetype last = field.size() - upper.size();
    for (qsizetype start = 0; start <= last; ++start) {
        qsizetype i = 0;
        for (; i < upper.size(); ++i) {
            const char16_t c = field.at(start + i).unicode();
            if (c >= 0x80)
                return Outcome::NotAscii;
            if (asciiUpper(c) != upper.at(i).unicode())
                break;
        }
        if (i == upper.size())
            return Outcome::Yes;
    }
    // Every start position was looked at; the characters after the last one
    // may not have been.
    for (qsizetype i = std::max<qsizetype>(last + 1, 0); i < field.size(); ++i)
        if (field.at(i).unicode() >= 0x80)
            return Outcome::NotAscii;
    return Outcome::No;
}

} // namespace

EntryMatcher::EntryMatcher(const FindCriteria& criteria, MatchOptions options,
                           const ColumnWidths& widths)
    : m_family(prepared(criteria.family, options.matchCase))
    , m_short(prepared(criteria.shortName, options.matchCase))
    , m_phone(prepared(criteria.phone, options.matchCase))
    , m_options(options)
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
    Outcome outcome = Outcome::NotAscii;
    if (m_options.wholeWord) {
        if (criterion.isEmpty())
            return true;
        if (m_options.matchCase)
            return field == criterion;
        outcome = asciiEquals(field, criterion);
        if (outcome == Outcome::NotAscii)
            return field.toString().toUpper() == criterion;
    } else {
        if (field.isEmpty())
            return false;
        if (criterion.isEmpty())
            return true;
        if (m_options.matchCase)
            return field.contains(criterion);
        outcome = asciiContains(field, criterion);
        if (outcome == Outcome::NotAscii)
            return field.toString().toUpper().contains(criterion);
    }
    return outcome == Outcome::Yes;
}

qint16 findEntry(const QStringList& entries, qint16 start, const FindCriteria& criteria,
                 MatchOptions options, const ColumnWidths& widths)
{
    const int count = int(std::min<qsizetype>(entries.size(), MaxEntries));
    const int from = std::clamp(int(start), -1, count - 1);
    const EntryMatcher matcher(criteria, options, widths);
    for (int position = from + 1; position < count; ++position)
        if (matcher.matches(entries.at(position)))
            return qint16(position);
    for (int position = 0; position <= from; ++position)
        if (matcher.matches(entries.at(position)))
            return qint16(position);
    return -1;
}

} // namespace callvista
