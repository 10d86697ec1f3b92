#pragma once

#include "core/contact_entries.h"
#include "core/result.h"
#include "core/sorted_lines.h"
#include "fuzz_checks.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <unordered_set>

// The fuzz targets of the two contact readers share their checks: whatever
// a reader makes of any bytes must be well-formed entry lines, each once
// letter case aside, with counts that add up, and the writer of the same
// format must write them so that the reader gives them back unchanged with
// nothing to report.
namespace callvista::fuzzing {

template <typename Read, typename Write>
int fuzzContactReader(const std::uint8_t* data, std::size_t size, const Read& read,
                      const Write& write)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<ContactEntries> entries = read(bytes);
    if (!entries.ok()) {
        check(!entries.error().isEmpty(), "a file is refused without a reason");
        return 0;
    }
    checkEntryLines(entries->lines);
    check(entries->shortened.size() == size_t(entries->lines.size()),
          "a count of shortened values for each line");
    check(entries->repeated >= 0 && entries->withoutNameOrPhone >= 0
              && entries->unreadableLines >= 0,
          "a negative count");
    std::unordered_set<quint64> keys;
    for (const QString& line : entries->lines)
        check(keys.insert(foldedKey(line)).second, "an entry repeated, letter case aside");

    SortedLines list;
    list.reset(entries->lines);
    const Result<ContactEntries> again = read(write(list));
    check(again.ok(), "what was written is refused");
    check(again->lines == list.lines(), "what was written reads back differently");
    check(again->repeated == 0 && again->withoutNameOrPhone == 0 && again->unreadableLines == 0,
          "what was written reads back with a count");
    for (const quint8 shortened : again->shortened)
        check(shortened == 0, "what was written reads back shortened");
    return 0;
}

} // namespace callvista::fuzzing
