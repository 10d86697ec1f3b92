#include "core/entry_order.h"

namespace callvista {

namespace {

QLocale collationLocale(const QLocale& locale)
{
    // English has no tailoring of its own: its collation is the root one.
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

} // namespace

EntryOrder::EntryOrder(const QLocale& locale)
    : m_locale(locale)
    , m_collator(collationLocale(locale))
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

} // namespace callvista
