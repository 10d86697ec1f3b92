#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>

namespace callvista {

// The order of the entry list: ascending by the whole entry line, letter case
// ignored, in the collation of the given locale so that accented names stand
// beside their base letters. The C and POSIX locales name no language; there
// the lines sort by the root collation of Unicode (which is what English
// uses), not by code points. The padding space sorts before letters and
// digits, so entries come by family name, then short name, then phone.
//
// There is one operation, the comparison, and loading, inserting and
// searching all use it. No sort keys: where the platform collates without
// ICU, keys and comparisons may disagree, and a list loaded by one and
// added to by the other would not be in one order.
class EntryOrder
{
public:
    explicit EntryOrder(const QLocale& locale = QLocale());

    // Negative, zero or positive as a sorts before, with or after b. Not
    // safe to call on one EntryOrder from two threads at once: give each
    // thread a copy made with the same locale.
    [[nodiscard]] int compare(const QString& a, const QString& b) const
    {
        return m_collator.compare(a, b);
    }
    [[nodiscard]] QLocale locale() const { return m_locale; }

private:
    QLocale m_locale;
    QCollator m_collator;
};

} // namespace callvista
