#include "core/csv_writer.h"

#include "core/entry_line.h"

#include <QStringEncoder>
#include <QStringView>

#include <algorithm>

namespace callvista {

namespace {

bool needsQuotes(QStringView field)
{
    return std::any_of(field.begin(), field.end(),
                       [](QChar c) { return c == u',' || c == u'"' || c == u'\r' || c == u'\n'; });
}

void appendField(QString& text, QStringView field)
{
    if (!needsQuotes(field)) {
        text += field;
        return;
    }
    text += u'"';
    for (const QChar c : field) {
        if (c == u'"')
            text += u'"';
        text += c;
    }
    text += u'"';
}

} // namespace

const QStringList& csvExportColumns()
{
    static const QStringList columns{QStringLiteral("Last Name"), QStringLiteral("First Name"),
                                     QStringLiteral("Mobile Phone")};
    return columns;
}

QByteArray encodeCsv(const SortedLines& lines)
{
    QString text;
    text.reserve((qsizetype(lines.size()) + 1) * 48);
    const QStringList& columns = csvExportColumns();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i > 0)
            text += u',';
        appendField(text, columns.at(i));
    }
    text += u"\r\n";
    lines.forEachLine(0, lines.size(), [&](const QString& line) {
        appendField(text, trimSpacesView(entryColumn(line, Field::Family)));
        text += u',';
        appendField(text, trimSpacesView(entryColumn(line, Field::Short)));
        text += u',';
        appendField(text, trimSpacesView(entryColumn(line, Field::Phone)));
        text += u"\r\n";
        return true;
    });

    // UTF-8 takes at most 3 bytes a unit; half of a pair, which no entry
    // holds, would become a replacement character.
    constexpr char Mark[] = "\xEF\xBB\xBF";
    QByteArray bytes(3 + text.size() * 3, Qt::Uninitialized);
    std::copy(Mark, Mark + 3, bytes.data());
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const char* end = utf8.appendToBuffer(bytes.data() + 3, text);
    bytes.truncate(end - bytes.constData());
    return bytes;
}

} // namespace callvista
