#include "core/contact_import.h"

#include "core/csv_reader.h"
#include "core/entry_line.h"
#include "core/vcard_reader.h"

#include <QCoreApplication>

#include <unordered_set>

namespace callvista {

namespace {

struct Import {
    Q_DECLARE_TR_FUNCTIONS(Import)
};

bool isSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One source text for one and one for more, so that the English reads
// right without a translation; a translator gives every form of both.
void noteCount(QStringList& notes, int count, const char* one, const char* more)
{
    if (count > 0)
        notes.append(Import::tr(count == 1 ? one : more, nullptr, count));
}

} // namespace

bool isVCard(const UnmarkedBytes& bytes)
{
    QByteArrayView text = bytes.bytes();
    while (!text.isEmpty() && isSpaceByte(text.front()))
        text = text.sliced(1);
    constexpr QByteArrayView Begin = "BEGIN:VCARD";
    return text.size() >= Begin.size()
           && text.first(Begin.size()).compare(Begin, Qt::CaseInsensitive) == 0;
}

bool isVCard(const QByteArray& bytes)
{
    return isVCard(UnmarkedBytes(bytes));
}

Result<ReadContacts> readContacts(const QByteArray& bytes)
{
    return readContactFile(bytes, [](const UnmarkedBytes& unmarked) -> Result<ReadContacts> {
        const ContactFormat format = isVCard(unmarked) ? ContactFormat::VCard : ContactFormat::Csv;
        Result<ContactEntries> entries =
            format == ContactFormat::VCard ? readVCard(unmarked) : readCsv(unmarked);
        if (!entries.ok())
            return Failure{entries.error()};
        return ReadContacts{format, std::move(entries).value()};
    });
}

Result<ImportPlan> planImport(const SortedLines& list, const ContactEntries& read)
{
    // Views of the list's own lines, which nothing changes meanwhile.
    FoldedLineSet inList;
    inList.reserve(list.size());
    list.forEachLine(0, list.size(), [&](const QString& line) {
        inList.insert(line);
        return true;
    });

    ImportPlan plan;
    plan.lines.reserve(read.lines.size());
    for (qsizetype i = 0; i < read.lines.size(); ++i) {
        const QString& line = read.lines.at(i);
        if (list.size() > 0 && inList.contains(line)) {
            ++plan.alreadyInList;
            continue;
        }
        plan.lines.append(line);
        plan.shortenedValues +=
            i < qsizetype(read.shortened.size()) ? read.shortened[size_t(i)] : 0;
    }

    // The entries past the first MaxEntries of the file are known by their
    // keys alone; those the list lacks count towards what is needed.
    qsizetype more = 0;
    if (!read.moreKeys.empty()) {
        std::unordered_set<quint64> listKeys;
        listKeys.reserve(size_t(inList.size()));
        inList.forEachKey([&](quint64 key) { listKeys.insert(key); });
        for (const quint64 key : read.moreKeys)
            more += listKeys.contains(key) ? 0 : 1;
    }
    const qsizetype needed = list.size() + plan.lines.size() + more;
    if (needed > MaxEntries)
        return Failure{Import::tr("The import would take the list to %1 entries, more than the %2 "
                                  "it can hold; nothing was added.")
                           .arg(needed)
                           .arg(MaxEntries)};
    return plan;
}

Result<ContactImport> prepareImport(const QByteArray& bytes, const SortedLines& list)
{
    Result<ReadContacts> read = readContacts(bytes);
    if (!read.ok())
        return Failure{read.error()};
    Result<ImportPlan> plan = planImport(list, read->entries);
    if (!plan.ok())
        return Failure{plan.error()};
    const ContactEntries& entries = read->entries;
    return ContactImport{read->format,
                         std::move(plan->lines),
                         entries.repeated + plan->alreadyInList,
                         entries.withoutNameOrPhone,
                         plan->shortenedValues,
                         entries.unreadableLines};
}

QString importMessage(const QString& fileName, const ContactImport& import)
{
    const int added = int(import.lines.size());
    QString text = added == 0   ? Import::tr("No entry was added from \"%1\".")
                   : added == 1 ? Import::tr("%n entry was added from \"%1\".", nullptr, added)
                                : Import::tr("%n entries were added from \"%1\".", nullptr, added);
    text = text.arg(fileName);
    QStringList notes;
    noteCount(notes, import.alreadyInList,
              QT_TRANSLATE_NOOP("Import", "%n entry was already in the list and was skipped."),
              QT_TRANSLATE_NOOP("Import", "%n entries were already in the list and were skipped."));
    if (import.format == ContactFormat::VCard)
        noteCount(
            notes, import.withoutNameOrPhone,
            QT_TRANSLATE_NOOP("Import", "%n card held no name and no phone and was skipped."),
            QT_TRANSLATE_NOOP("Import", "%n cards held no name and no phone and were skipped."));
    else
        noteCount(
            notes, import.withoutNameOrPhone,
            QT_TRANSLATE_NOOP("Import", "%n row held no name and no phone and was skipped."),
            QT_TRANSLATE_NOOP("Import", "%n rows held no name and no phone and were skipped."));
    noteCount(
        notes, import.shortenedValues,
        QT_TRANSLATE_NOOP("Import", "%n value was longer than its column and was shortened."),
        QT_TRANSLATE_NOOP("Import", "%n values were longer than their column and were shortened."));
    noteCount(notes, import.unreadableLines,
              QT_TRANSLATE_NOOP("Import", "%n line could not be read."),
              QT_TRANSLATE_NOOP("Import", "%n lines could not be read."));
    if (notes.isEmpty())
        return text;
    return text + u'\n' + notes.join(u'\n');
}

} // namespace callvista
