#pragma once

#include "core/contact_entries.h"
#include "core/contact_text.h"
#include "core/result.h"

#include <QByteArray>
#include <QStringList>

// The rows of a CSV file into entries.
//
// Fields are quoted as RFC 4180 says: a quoted field may hold the
// delimiter, doubled quotes and line breaks; records end at CR LF, CR or
// LF. The delimiter is the one of comma, semicolon and tab that the first
// record holds most of. A byte-order mark (UTF-8, UTF-16 LE or BE) decides
// the encoding; else the text is UTF-8 where it is valid UTF-8 and
// Windows-1252, as Outlook writes on Windows, where it is not.
//
// The first row names the columns, matched without regard to case or to
// the spaces around them, and each row gives each field from the first of
// its columns that is not empty (csvColumns). A file whose first row names
// none of them is refused, unless it has exactly three columns: then every
// row, the first too, is family name, short name and phone. Empty rows are
// skipped; a row whose quote is never closed is cut off at the end of its
// line and counted among the lines that could not be read.
namespace callvista {

// The names of the columns each field is taken from, in the order they
// are tried: family name, short name, phone, and the whole name, which
// gives the family name when a row has neither of the other two names.
struct CsvColumns {
    QStringList family;
    QStringList shortName;
    QStringList phone;
    QStringList wholeName;
};
[[nodiscard]] const CsvColumns& csvColumns();

// The first refuses a file larger than maxContactFileBytes; both refuse a
// file with no row and one whose columns they cannot tell, saying which
// column names they look for.
Result<ContactEntries> readCsv(const QByteArray& bytes);
Result<ContactEntries> readCsv(const UnmarkedBytes& bytes);

} // namespace callvista
