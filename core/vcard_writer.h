#pragma once

#include "core/sorted_lines.h"

#include <QByteArray>

// Entry lines into a vCard file that Google Contacts, Outlook, Thunderbird,
// phones and this program's own reader take in.
namespace callvista {

// vCard 3.0 in UTF-8 without a byte-order mark, CR LF after every line,
// lines folded at 75 octets and never inside a character, "\", "," and ";"
// escaped. Each entry, in list order, is one card: BEGIN, VERSION:3.0,
// N:family;short;;; , FN: the short name and the family name with one space
// (the one present if only one is), TEL;TYPE=VOICE: the phone when there is
// one, END. An empty list is zero bytes.
[[nodiscard]] QByteArray encodeVCard(const SortedLines& lines);

} // namespace callvista
