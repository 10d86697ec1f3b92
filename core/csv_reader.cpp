#include "core/csv_reader.h"

#include "core/text_units.h"

#include <QCoreApplication>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <climits>
#include <utility>
#include <vector>

namespace callvista {

namespace {

struct Import {
    Q_DECLARE_TR_FUNCTIONS(Import)
};

// Google Contacts lists the numbers of one field joined by this.
constexpr QStringView GoogleSeparator = u" ::: ";
constexpr QStringView GooglePhoneColumn = u"Phone 1 - Value";

// The RFC 4180 records of a text, one at a time; the fields of a record
// stay valid until the next one is read.
class CsvRecords
{
public:
    CsvRecords(QStringView text, QChar delimiter)
        : m_text(text)
        , m_delimiter(delimiter)
        , m_lastQuote(text.lastIndexOf(u'"'))
    {
    }

    // Reads the next record; false at the end of the text.
    bool next();

    [[nodiscard]] qsizetype size() const { return qsizetype(m_fields.size()); }
    // The field's text, quotes taken off; empty for a field the record lacks.
    [[nodiscard]] QStringView field(qsizetype index) const
    {
        if (index < 0 || index >= size())
            return {};
        const auto [start, length] = m_fields[size_t(index)];
        return QStringView(m_values).sliced(start, length);
    }
    // True when a quote of the record was never closed: the record ends at
    // the end of the line where that quote stands, which its field holds
    // as it is.
    [[nodiscard]] bool isBroken() const { return m_broken; }
    [[nodiscard]] bool isEmpty() const
    {
        for (qsizetype i = 0; i < size(); ++i)
            if (!isBlankField(field(i)))
                return false;
        return true;
    }

private:
    bool isFieldEnd(qsizetype pos) const
    {
        return m_text.at(pos) == m_delimiter || isLineBreak(m_text.at(pos));
    }
    void readQuoted();
    void endBroken(qsizetype quote);

    QStringView m_text;
    QChar m_delimiter;
    qsizetype m_lastQuote;
    qsizetype m_pos = 0;
    // The fields' text one after another, and where each lies in it.
    QString m_values;
    std::vector<std::pair<qsizetype, qsizetype>> m_fields;
    bool m_broken = false;
};

bool CsvRecords::next()
{
    if (m_pos >= m_text.size())
        return false;
    m_values.resize(0);
    m_fields.clear();
    m_broken = false;
    for (;;) {
        const qsizetype start = m_values.size();
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'"')
            readQuoted();
        if (m_broken) {
            m_fields.emplace_back(start, m_values.size() - start);
            return true;
        }
        // Unquoted text, or what follows a closing quote, up to the field's
        // end as it stands.
        const qsizetype from = m_pos;
        while (m_pos < m_text.size() && !isFieldEnd(m_pos))
            ++m_pos;
        m_values += m_text.sliced(from, m_pos - from);
        m_fields.emplace_back(start, m_values.size() - start);
        if (m_pos >= m_text.size())
            return true;
        if (m_text.at(m_pos) == m_delimiter) {
            ++m_pos;
            continue;
        }
        m_pos += lineBreakLength(m_text, m_pos);
        return true;
    }
}

// A quoted field from its opening quote at m_pos: "" is a quote, and the
// delimiter and line breaks are text.
void CsvRecords::readQuoted()
{
    const qsizetype opening = m_pos;
    // Beyond the last quote of the text, none can close this one.
    if (opening >= m_lastQuote) {
        endBroken(opening);
        return;
    }
    ++m_pos;
    for (;;) {
        const qsizetype quote = m_text.indexOf(u'"', m_pos);
        if (quote < 0) {
            endBroken(opening);
            return;
        }
        m_values += m_text.sliced(m_pos, quote - m_pos);
        m_pos = quote + 1;
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'"') {
            m_values += u'"';
            ++m_pos;
            continue;
        }
        return;
    }
}

void CsvRecords::endBroken(qsizetype quote)
{
    m_broken = true;
    m_pos = quote;
    const QStringView line = takeLine(m_text, m_pos);
    m_values += line;
}

// The one of comma, semicolon and tab that the first record holds most of,
// outside quotes; a comma on a tie and when it holds none. Blank lines
// before it are no record.
QChar delimiterOf(QStringView text)
{
    std::array<std::pair<QChar, int>, 3> counts{{{u',', 0}, {u';', 0}, {u'\t', 0}}};
    qsizetype start = 0;
    while (start < text.size() && (text.at(start) == u' ' || isLineBreak(text.at(start))))
        ++start;
    bool quoted = false;
    for (const QChar c : text.sliced(start)) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && isLineBreak(c))
            break;
        for (auto& [delimiter, count] : counts)
            count += !quoted && c == delimiter ? 1 : 0;
    }
    auto most = counts.begin();
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (it->second > most->second)
            most = it;
    return most->first;
}

QStringList quotedNames(const CsvColumns& columns)
{
    QStringList names;
    for (const QStringList* list :
         {&columns.family, &columns.shortName, &columns.phone, &columns.wholeName})
        for (const QString& name : *list)
            names.append(u'"' + name + u'"');
    return names;
}

// The fields a row gives, in the order of CsvColumns.
enum { FamilyField, ShortField, PhoneField, WholeNameField, FieldCount };

// What each column of the header gives: the field it is read into, if any,
// and its place among that field's names, the first name first; and
// whether it is Google's column of numbers joined by " ::: ".
struct HeaderColumn {
    int field = -1;
    int rank = 0;
    bool google = false;
};

// The place of the name in the list, letter case aside; -1 when it is not
// there.
int rankIn(const QStringList& names, QStringView name)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (name.compare(names.at(i), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

std::vector<HeaderColumn> headerColumns(const CsvRecords& header)
{
    const CsvColumns& names = csvColumns();
    const std::array<const QStringList*, FieldCount> lists{&names.family, &names.shortName,
                                                           &names.phone, &names.wholeName};
    std::vector<HeaderColumn> columns(size_t(header.size()));
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QStringView name = header.field(i).trimmed();
        for (int field = 0; field < FieldCount && columns[size_t(i)].field < 0; ++field) {
            const int rank = rankIn(*lists[size_t(field)], name);
            if (rank >= 0)
                columns[size_t(i)] = {field, rank,
                                      name.compare(GooglePhoneColumn, Qt::CaseInsensitive) == 0};
        }
    }
    return columns;
}

class CsvReader
{
public:
    explicit CsvReader(QStringView text)
        : m_records(text, delimiterOf(text))
    {
    }

    Result<ContactEntries> read();

private:
    void takeRow(const std::vector<HeaderColumn>& columns);

    CsvRecords m_records;
    ContactCollector m_out;
};

Result<ContactEntries> CsvReader::read()
{
    // Blank lines before the first row are no header.
    bool found = false;
    while (!found && m_records.next())
        found = !m_records.isEmpty();
    if (!found)
        return Failure{Import::tr("The file holds no contacts: it is empty.")};

    std::vector<HeaderColumn> columns = headerColumns(m_records);
    if (std::all_of(columns.begin(), columns.end(),
                    [](const HeaderColumn& column) { return column.field < 0; })) {
        if (columns.size() != 3)
            return Failure{Import::tr("The file is not a vCard, and as a CSV file its first row "
                                      "names none of the columns this program reads: %1; nor "
                                      "has it three columns, read as family name, short name "
                                      "and phone.")
                               .arg(quotedNames(csvColumns()).join(QStringLiteral(", ")))};
        // Three columns of names unknown: family name, short name, phone,
        // and the first row is an entry too.
        columns = {{FamilyField}, {ShortField}, {PhoneField}};
        takeRow(columns);
    }
    while (m_records.next())
        takeRow(columns);
    return m_out.take();
}

void CsvReader::takeRow(const std::vector<HeaderColumn>& columns)
{
    if (m_records.isBroken()) {
        m_out.addUnreadableLine();
        return;
    }
    if (m_records.isEmpty())
        return;
    // One pass over the row's fields, whatever the number of columns that
    // give a field: each field from its best-ranked column that is not
    // empty.
    std::array<QStringView, FieldCount> values;
    std::array<int, FieldCount> ranks;
    ranks.fill(INT_MAX);
    bool google = false;
    const qsizetype count = std::min(m_records.size(), qsizetype(columns.size()));
    for (qsizetype i = 0; i < count; ++i) {
        const HeaderColumn& column = columns[size_t(i)];
        if (column.field < 0 || column.rank >= ranks[size_t(column.field)])
            continue;
        const QStringView value = m_records.field(i);
        if (isBlankField(value))
            continue;
        values[size_t(column.field)] = value;
        ranks[size_t(column.field)] = column.rank;
        if (column.field == PhoneField)
            google = column.google;
    }
    QStringView family = values[FamilyField];
    if (family.isEmpty() && values[ShortField].isEmpty())
        family = values[WholeNameField];
    QStringView phone = values[PhoneField];
    if (google) {
        const qsizetype separator = phone.indexOf(GoogleSeparator);
        if (separator >= 0)
            phone = phone.first(separator);
    }
    m_out.add(family, values[ShortField], phone);
}

} // namespace

const CsvColumns& csvColumns()
{
    // Google Contacts (its older columns and those of 2023), Outlook,
    // Thunderbird and this program's own export.
    static const CsvColumns columns{
        {QStringLiteral("Family Name"), QStringLiteral("Last Name"), QStringLiteral("Surname")},
        {QStringLiteral("Short Name"), QStringLiteral("Given Name"), QStringLiteral("First Name"),
         QStringLiteral("Nickname")},
        {QStringLiteral("Phone No"), GooglePhoneColumn.toString(), QStringLiteral("Primary Phone"),
         QStringLiteral("Mobile Phone"), QStringLiteral("Mobile Number"),
         QStringLiteral("Home Phone"), QStringLiteral("Business Phone"),
         QStringLiteral("Work Phone"), QStringLiteral("Phone"), QStringLiteral("Telephone")},
        {QStringLiteral("Name"), QStringLiteral("Display Name"), QStringLiteral("Full Name")}};
    return columns;
}

Result<ContactEntries> readCsv(const QByteArray& bytes)
{
    return readContactFile(bytes, [](const UnmarkedBytes& unmarked) { return readCsv(unmarked); });
}

Result<ContactEntries> readCsv(const UnmarkedBytes& bytes)
{
    const QString text = decodeUtf8OrWindows1252Lines(bytes.bytes());
    return CsvReader(text).read();
}

} // namespace callvista
