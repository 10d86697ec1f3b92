#include "core/entry_line.h"

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

QString fitToWidth(const QString& text, int width)
{
    return text.size() <= width ? text : fitView(text, width).toString();
}

bool exceedsWidth(const QString& text, int width)
{
    return trimSpaces(text).size() > width;
}

static void appendColumn(QString& line, QStringView text, int width)
{
    const QStringView value = fitView(trimSpacesView(text), width);
    line += value;
    line.resize(line.size() + width - value.size(), u' ');
}

QString makeEntryLine(QStringView family, QStringView shortName, QStringView phone,
                      const ColumnWidths& widths)
{
    QString line;
    line.reserve(widths.lineLength());
    appendColumn(line, family, widths.family);
    line += u'|';
    appendColumn(line, shortName, widths.shortName);
    line += u'|';
    appendColumn(line, phone, widths.phone);
    return line;
}

QString entryField(const QString& line, Field field, const ColumnWidths& widths)
{
    return trimSpacesView(entryColumn(line, field, widths)).toString();
}

QStringView trimSpacesView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.sliced(begin, end - begin);
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

QString headerLine(const ColumnWidths& widths)
{
    return makeEntryLine(QStringLiteral("Family Name"), QStringLiteral("Short Name"),
                         QStringLiteral("Phone No"), widths);
}

} // namespace callvista
