#include "core/entry_order.h"

#ifdef Q_OS_WIN
#include "core/windows_sort_key.h"
#endif

namespace callvista {

int EntryOrder::Key::compare(const Key& other) const
{
    const auto* bytes = std::get_if<QByteArray>(&m_value);
    const auto* otherBytes = std::get_if<QByteArray>(&other.m_value);
    if (bytes && otherBytes)
        return bytes->compare(*otherBytes);
    const auto* collated = std::get_if<QCollatorSortKey>(&m_value);
    const auto* otherCollated = std::get_if<QCollatorSortKey>(&other.m_value);
    if (collated && otherCollated)
        return collated->compare(*otherCollated);
    const auto* folded = std::get_if<QString>(&m_value);
    const auto* otherFolded = std::get_if<QString>(&other.m_value);
    return (folded ? *folded : QString()).compare(otherFolded ? *otherFolded : QString());
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
        key.m_value = line.toCaseFolded();
    else
#ifdef Q_OS_WIN
        key.m_value = windowsSortKey(m_collator.locale(), line);
#else
        key.m_value = m_collator.sortKey(line);
#endif
    return key;
}

int EntryOrder::compare(const QString& a, const QString& b) const
{
    return key(a).compare(key(b));
}

} // namespace callvista
