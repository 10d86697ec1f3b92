#include "core/entry_order.h"

namespace callvista {

int EntryOrder::Key::compare(const Key& other) const
{
    if (m_collated && other.m_collated)
        return m_collated->compare(*other.m_collated);
    return m_folded.compare(other.m_folded);
}

EntryOrder::EntryOrder(const QLocale& locale)
    : m_collator(locale)
    , m_plain(locale.language() == QLocale::C)
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

EntryOrder::Key EntryOrder::key(const QString& line) const
{
    Key key;
    if (m_plain)
        key.m_folded = line.toCaseFolded();
    else
        key.m_collated = m_collator.sortKey(line);
    return key;
}

int EntryOrder::compare(const QString& a, const QString& b) const
{
    return key(a).compare(key(b));
}

} // namespace callvista
