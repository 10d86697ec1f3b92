#include "core/entry_line.h"

#include "core/text_units.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace callvista {

QString trimSpaces(const QString& text)
{
    return trimSpacesView(text).toString();
}

static QStringView fitView(QStringView text, int width)
{
    if (text.size() <= width)
        return text;
    qsizetype cut = width;
    // Never leave half of a surrogate pair at the end of a column.
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut);
}

QString toFieldText(QStringView text, qsizetype* cursor)
{
    QString result;
    result.reserve(text.size());
    qsizetype moved = cursor ? *cursor : 0;
    const auto follow = [&](qsizetype from, qsizetype to) {
        if (cursor && *cursor == from)
            moved = to;
    };
    for (qsizetype i = 0; i < text.size();) {
        follow(i, result.size());
        qsizetype length = lineBreakLength(text, i);
        if (length > 0) {
            result += u' ';
        } else {
            length = characterLength(text, i);
            result.append(text.sliced(i, length));
        }
        // The cursor between the units of a CR LF or of a pair goes after them.
        if (length == 2)
            follow(i + 1, result.size());
        i += std::max<qsizetype>(length, 1);
    }
    if (cursor)
        *cursor = *cursor >= text.size() ? result.size() : moved;
    return result;
}

bool holdsLineBreak(QStringView text)
{
    return std::any_of(text.begin(), text.end(), isLineBreak);
}

// Writes the text into its column and pads the rest of the column with
// spaces; returns the start of the next column.
static QChar* putColumn(QChar* column, QStringView text, int width)
{
    // Only the texts from a box or a file that need mending are copied; the
    // scan is most of what the check costs.
    QString mended;
    if (needsFieldText(text)) {
        mended = toFieldText(text);
        text = mended;
    }
    const QStringView value = fitView(trimSpacesView(text), width);
    QChar* const end = column + width;
    std::fill(std::copy(value.begin(), value.end(), column), end, QChar(u' '));
    return end;
}

QString makeEntryLine(QStringView family, QStringView shortName, QStringView phone,
                      const ColumnWidths& widths)
{
    // Every unit of the line is written once: each column's text and its
    // padding, and the two bars.
    QString line(widths.lineLength(), Qt::Uninitialized);
    QChar* out = putColumn(line.data(), family, widths.family);
    *out++ = u'|';
    out = putColumn(out, shortName, widths.shortName);
    *out++ = u'|';
    putColumn(out, phone, widths.phone);
    return line;
}

QString entryField(QStringView line, Field field, const ColumnWidths& widths)
{
    return trimSpacesView(entryColumn(line, field, widths)).toString();
}

bool isCompleteEntry(QStringView family, QStringView shortName, QStringView phone)
{
    return !trimSpacesView(family).isEmpty() && !trimSpacesView(shortName).isEmpty()
           && !trimSpacesView(phone).isEmpty();
}

QStringView trimSpacesView(QStringView text)
{
    const char16_t* begin = text.utf16();
    const char16_t* end = begin + text.size();
    while (begin < end && *begin == u' ')
        ++begin;
    // The padding of a column is most of it: step back over it four spaces
    // at a time.
    constexpr quint64 FourSpaces = 0x0020'0020'0020'0020ULL;
    while (end - begin >= 4) {
        quint64 units;
        std::memcpy(&units, end - 4, sizeof units);
        if (units != FourSpaces)
            break;
        end -= 4;
    }
    while (end > begin && end[-1] == u' ')
        --end;
    return QStringView(begin, end);
}

QStringView entryColumn(QStringView line, Field field, const ColumnWidths& widths)
{
    qsizetype start = 0;
    qsizetype length = widths.family;
    switch (field) {
    case Field::Family:
        break;
    case Field::Short:
        start = widths.family + 1;
        length = widths.shortName;
        break;
    case Field::Phone:
        start = widths.family + widths.shortName + 2;
        length = widths.phone;
        break;
    }
    if (start >= line.size())
        return {};
    return line.sliced(start, qMin(length, line.size() - start));
}

QStringList columnCaptions()
{
    return {QCoreApplication::translate("EntryLine", "Family Name"),
            QCoreApplication::translate("EntryLine", "Short Name"),
            QCoreApplication::translate("EntryLine", "Phone No")};
}

QString headerLine()
{
    const QStringList captions = columnCaptions();
    return makeEntryLine(captions.at(0), captions.at(1), captions.at(2));
}

} // namespace callvista
