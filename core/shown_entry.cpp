#include "core/shown_entry.h"

#include "core/entry_line.h"

#include <QStringList>

namespace callvista {

namespace {

// Characters that a text layout would act on instead of drawing: C0 and C1
// controls, DEL, and the line and paragraph separators.
bool actsInsteadOfShowing(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029;
}

char16_t markFor(char16_t c)
{
    if (c < 0x20)
        return char16_t(0x2400 + c); // the Control Pictures: ␀ to ␟
    switch (c) {
    case 0x7f:
        return 0x2421; // ␡
    case 0x85:
    case 0x2028:
        return 0x2424; // ␤, a new line
    case 0x2029:
        return 0x00b6; // ¶
    default:
        return 0xfffd;
    }
}

} // namespace

QString visibleField(QStringView field)
{
    QString shown = field.toString();
    for (QChar& c : shown)
        if (actsInsteadOfShowing(c.unicode()))
            c = QChar(markFor(c.unicode()));
    // Fixed-pitch fonts seldom place a combining mark over the letter before
    // it; composed, a letter and its accent are one glyph of the font.
    return shown.normalized(QString::NormalizationForm_C);
}

QString spokenEntry(QStringView line)
{
    QStringList fields;
    for (const Field field : {Field::Family, Field::Short, Field::Phone}) {
        QString text = entryField(line, field);
        for (QChar& c : text)
            if (actsInsteadOfShowing(c.unicode()))
                c = u' ';
        text = text.simplified();
        if (!text.isEmpty())
            fields.append(text);
    }
    return fields.join(QStringLiteral(", "));
}

} // namespace callvista
