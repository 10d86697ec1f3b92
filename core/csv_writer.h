#pragma once

#include "core/sorted_lines.h"

#include <QByteArray>
#include <QStringList>

// Entry lines into a CSV file for spreadsheets and other address books.
namespace callvista {

// The header row's names, in the list's column order: Outlook's "Last
// Name", "First Name" and "Mobile Phone", which Outlook's importer and
// Google Contacts' (which takes Outlook's files too) map without help, and
// which this program's CSV reader reads back.
[[nodiscard]] const QStringList& csvExportColumns();

// UTF-8 with a byte-order mark, so that Excel shows accents; CR LF after
// every row; RFC 4180 quoting (a field holding a comma, a quote or a line
// break is quoted and its quotes doubled). The header row, then one row per
// entry in list order.
[[nodiscard]] QByteArray encodeCsv(const SortedLines& lines);

} // namespace callvista
