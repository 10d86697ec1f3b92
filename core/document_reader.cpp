#include "core/document_reader.h"

#include "core/text_units.h"

#include <QCoreApplication>
#include <QStringView>

#include <array>

namespace callvista {

namespace {

struct Document {
    Q_DECLARE_TR_FUNCTIONS(Document)
};

constexpr int LineEndBytes = 2;
constexpr int MaxBytesPerUnit = 4;

// The value as the entry line builder is to see it; a value wider than its
// column is counted, and the builder cuts it.
QStringView columnValue(QStringView value, int width, int& shortened)
{
    const QStringView trimmed = trimSpacesView(value);
    if (trimmed.size() > width)
        ++shortened;
    return trimmed;
}

// The number of lines from `pos` to the end of the text.
qsizetype countLines(QStringView text, qsizetype pos)
{
    qsizetype lines = 0;
    while (pos < text.size()) {
        takeLine(text, pos);
        ++lines;
    }
    return lines;
}

bool isBlank(QChar c)
{
    return c == u' ' || isLineBreak(c);
}

Failure tooManyEntries()
{
    return {Document::tr("The file holds more than %1 entries, the most a document can hold.")
                .arg(MaxEntries)};
}

} // namespace

qint64 maxDocumentBytes(const ColumnWidths& widths)
{
    const qint64 units = qint64(widths.family) + widths.shortName + widths.phone;
    return (units * MaxBytesPerUnit + 3 * LineEndBytes) * MaxEntries;
}

Result<DocumentEntries> decodeDocument(const QByteArray& bytes, const ColumnWidths& widths,
                                       const TextEncoding& encoding)
{
    const qint64 limit = maxDocumentBytes(widths);
    if (bytes.size() > limit)
        return Failure{Document::tr("The file is %1 bytes long, more than a document of at most "
                                    "%2 entries can be (%3 bytes).")
                           .arg(bytes.size())
                           .arg(MaxEntries)
                           .arg(limit)};

    DocumentEntries result;
    DecodedText decoded = decodeText(bytes, encoding);
    result.report.windows1252Lines = decoded.windows1252Lines;
    const QString text = std::move(decoded.text);

    qsizetype textEnd = text.size();
    while (textEnd > 0 && isBlank(text.at(textEnd - 1)))
        --textEnd;

    const QStringView all(text);
    std::array<QStringView, 3> fields;
    int filled = 0;
    const auto addEntry = [&] {
        int& shortened = result.report.shortenedValues;
        result.lines.append(makeEntryLine(columnValue(fields[0], widths.family, shortened),
                                          columnValue(fields[1], widths.shortName, shortened),
                                          columnValue(fields[2], widths.phone, shortened), widths));
        fields = {};
        filled = 0;
    };

    qsizetype pos = 0;
    while (pos < all.size()) {
        // After the last text, every three blank lines are a blank entry,
        // which the writer writes too; the one or two left over are what
        // an editor leaves, and belong to no entry.
        if (pos >= textEnd && filled == 0) {
            const qsizetype blankEntries = countLines(all, pos) / 3;
            if (result.lines.size() + blankEntries > MaxEntries)
                return tooManyEntries();
            for (qsizetype i = 0; i < blankEntries; ++i)
                result.lines.append(makeEntryLine(QString(), QString(), QString(), widths));
            break;
        }
        if (filled == 0 && result.lines.size() == MaxEntries)
            return tooManyEntries();
        fields[size_t(filled++)] = takeLine(all, pos);
        if (filled == 3)
            addEntry();
    }
    if (filled > 0) {
        result.report.completedLastEntry = true;
        addEntry();
    }
    return result;
}

} // namespace callvista
