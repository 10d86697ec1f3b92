#include "core/contact_entries.h"

#include "core/entry_line.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <utility>

namespace callvista {

namespace {

// The code point at `pos`, moving `pos` past it; half of a pair stands for
// itself.
char32_t takeCodePoint(QStringView text, qsizetype& pos)
{
    const char16_t unit = text.at(pos++).unicode();
    if (QChar::isHighSurrogate(unit) && pos < text.size() && text.at(pos).isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text.at(pos++).unicode());
    return unit;
}

char32_t folded(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

// The length of the field that the line builder makes of the value, before
// it cuts it to its column.
qsizetype fieldLength(QStringView value)
{
    if (!needsFieldText(value))
        return trimSpacesView(value).size();
    return trimSpacesView(toFieldText(value)).size();
}

} // namespace

bool isBlankField(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c == u' ' || c == u'\r' || c == u'\n'; });
}

bool equalFolded(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (folded(takeCodePoint(a, i)) != folded(takeCodePoint(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

quint64 foldedKey(QStringView line)
{
    // FNV-1a over the folded code points of the fields, ASCII folded in
    // place; the padding, the same in equal lines, is left out.
    quint64 hash = 0xcbf29ce484222325ULL;
    for (const Field field : {Field::Family, Field::Short, Field::Phone}) {
        const QStringView text = trimSpacesView(entryColumn(line, field));
        for (qsizetype i = 0; i < text.size();) {
            const char16_t unit = text.at(i).unicode();
            if (unit < 0x80) {
                hash ^= unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit;
                ++i;
            } else {
                hash ^= folded(takeCodePoint(text, i));
            }
            hash *= 0x100000001b3ULL;
        }
        hash = (hash ^ u'|') * 0x100000001b3ULL;
    }
    return hash;
}

void FoldedLineSet::reserve(qsizetype count)
{
    // At most half full, and a power of two so that a key's bits pick the
    // slot.
    size_t wanted = 16;
    while (wanted < size_t(count) * 2)
        wanted *= 2;
    if (wanted <= m_slots.size())
        return;
    std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(wanted));
    for (const Slot& slot : old)
        if (slot.used)
            m_slots[find(slot.line, slot.key)] = slot;
}

// The slot of an equal line, or the empty one where the line would go.
size_t FoldedLineSet::find(QStringView line, quint64 key) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = size_t(key ^ (key >> 32)) & mask;; slot = (slot + 1) & mask) {
        const Slot& at = m_slots[slot];
        if (!at.used || (at.key == key && equalFolded(at.line, line)))
            return slot;
    }
}

bool FoldedLineSet::insert(QStringView line, quint64 key)
{
    reserve(m_size + 1);
    Slot& slot = m_slots[find(line, key)];
    if (slot.used)
        return false;
    slot = {key, line, true};
    ++m_size;
    return true;
}

bool FoldedLineSet::contains(QStringView line, quint64 key) const
{
    return !m_slots.empty() && m_slots[find(line, key)].used;
}

bool FoldedLineSet::containsKey(quint64 key) const
{
    if (m_slots.empty())
        return false;
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = size_t(key ^ (key >> 32)) & mask; m_slots[slot].used;
         slot = (slot + 1) & mask)
        if (m_slots[slot].key == key)
            return true;
    return false;
}

ContactCollector::ContactCollector()
{
    m_seen.reserve(1024);
}

void ContactCollector::add(QStringView family, QStringView shortName, QStringView phone)
{
    if (isBlankField(family) && isBlankField(shortName) && isBlankField(phone)) {
        ++m_entries.withoutNameOrPhone;
        return;
    }
    const std::array<std::pair<QStringView, int>, 3> values{{{family, EntryWidths.family},
                                                             {shortName, EntryWidths.shortName},
                                                             {phone, EntryWidths.phone}}};
    quint8 shortened = 0;
    for (const auto& [value, width] : values)
        shortened += fieldLength(value) > width ? 1 : 0;
    QString line = makeEntryLine(family, shortName, phone);
    const quint64 key = foldedKey(line);
    keep(std::move(line), key, shortened);
}

void ContactCollector::keep(QString&& line, quint64 key, quint8 shortened)
{
    if (m_seen.contains(line, key)) {
        ++m_entries.repeated;
        return;
    }
    if (m_entries.lines.size() >= MaxEntries) {
        keepKey(key);
        return;
    }
    m_entries.lines.append(std::move(line));
    m_entries.shortened.push_back(shortened);
    m_keys.push_back(key);
    // The characters of a QString stay where they are when the list moves
    // the QString itself, so the view stays valid.
    m_seen.insert(m_entries.lines.constLast(), key);
}

// No list takes more than MaxEntries entries; of those past them only the
// number of different ones counts.
void ContactCollector::keepKey(quint64 key)
{
    if (m_moreSeen.insert(key).second)
        m_entries.moreKeys.push_back(key);
    else
        ++m_entries.repeated;
}

void ContactCollector::append(ContactCollector&& next)
{
    ContactEntries& later = next.m_entries;
    m_entries.repeated += later.repeated;
    m_entries.withoutNameOrPhone += later.withoutNameOrPhone;
    m_entries.unreadableLines += later.unreadableLines;
    for (qsizetype i = 0; i < later.lines.size(); ++i)
        keep(std::move(later.lines[i]), next.m_keys[size_t(i)], later.shortened[size_t(i)]);
    // A part keeps lines for its first MaxEntries different entries only,
    // so what it knows by the key alone lies past them here too.
    for (const quint64 key : later.moreKeys) {
        if (m_seen.containsKey(key))
            ++m_entries.repeated;
        else
            keepKey(key);
    }
    next.m_seen = {};
}

ContactEntries ContactCollector::take()
{
    m_seen = {};
    m_moreSeen.clear();
    m_keys.clear();
    return std::move(m_entries);
}

} // namespace callvista
