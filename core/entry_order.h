#pragma once

#include <QByteArray>
#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include <variant>

namespace callvista {

// The order of the entry list: ascending by the whole entry line, letter case
// ignored, in the collation of the given locale so that accented names stand
// beside their base letters. In the C locale the lines are compared by their
// case-folded UTF-16 units. In both, the padding space sorts before letters
// and digits, so entries come by family name, then short name, then phone.
class EntryOrder
{
public:
    // A precomputed comparison key of one line: sorting by keys is much
    // cheaper than collating the strings again at every comparison.
    class Key
    {
    public:
        [[nodiscard]] int compare(const Key& other) const;

    private:
        friend class EntryOrder;
        // The collation key (on Windows the system's, as bytes), or in the C
        // locale the case-folded line; empty only for a key not yet made.
        std::variant<std::monostate, QCollatorSortKey, QString, QByteArray> m_value;
    };

    explicit EntryOrder(const QLocale& locale = QLocale());

    [[nodiscard]] Key key(const QString& line) const;
    [[nodiscard]] int compare(const QString& a, const QString& b) const;
    [[nodiscard]] QLocale locale() const { return m_collator.locale(); }

private:
    QCollator m_collator;
    bool m_plain = false;
};

} // namespace callvista
