#pragma once

#include "core/contact_entries.h"
#include "core/contact_text.h"
#include "core/result.h"
#include "core/sorted_lines.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Contacts from a vCard or CSV file into the list: which format a file is,
// which of its entries the list lacks, whether they fit, and what to tell
// the user afterwards. Nothing here touches the list or a file.
namespace callvista {

enum class ContactFormat { VCard, Csv };

// A vCard begins, after any byte-order mark and blank lines, with
// BEGIN:VCARD in any letter case; any other file is read as CSV.
[[nodiscard]] bool isVCard(const UnmarkedBytes& bytes);
[[nodiscard]] bool isVCard(const QByteArray& bytes);

struct ReadContacts {
    ContactFormat format = ContactFormat::VCard;
    ContactEntries entries;
};

// The entries of a contact file in the format its content shows. Refuses,
// with a reason, a file larger than maxContactFileBytes and one that is
// neither a vCard nor a CSV file the CSV reader understands.
Result<ReadContacts> readContacts(const QByteArray& bytes);

// The entries the list lacks, letter case aside, in the order of the file.
struct ImportPlan {
    QStringList lines;
    // Entries of the file that the list holds already.
    int alreadyInList = 0;
    // Values of the lines to add that were cut to their column.
    int shortenedValues = 0;
};
// Refused whole, saying how many entries it would need, when adding them
// would take the list past MaxEntries.
Result<ImportPlan> planImport(const SortedLines& list, const ContactEntries& read);

// What File, Import adds to the list and what it tells about it.
struct ContactImport {
    ContactFormat format = ContactFormat::VCard;
    // To be added each at its sorted place, in this order.
    QStringList lines;
    // Entries skipped as equal to one in the list or earlier in the file.
    int alreadyInList = 0;
    int withoutNameOrPhone = 0;
    int shortenedValues = 0;
    int unreadableLines = 0;
};
// readContacts, then planImport against the list's current lines.
Result<ContactImport> prepareImport(const QByteArray& bytes, const SortedLines& list);

// The message after the import: how many entries were added from the file
// (named as the user should read it), and each other count only when it
// is not zero.
[[nodiscard]] QString importMessage(const QString& fileName, const ContactImport& import);

} // namespace callvista
