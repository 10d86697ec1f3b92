#pragma once

#include "core/contact_entries.h"
#include "core/contact_text.h"
#include "core/result.h"

#include <QByteArray>

// The cards of a vCard file (versions 2.1, 3.0 and 4.0) into entries.
//
// Lines end at CR LF, CR or LF; a line break followed by a space or a tab
// continues the line, and so does one after a quoted-printable value's
// closing "=", indented or not. Names of cards and properties are read in
// any letter case, a group prefix ("item1.TEL") counts as the property, and
// nothing but N, FN, ORG, NICKNAME and TEL is decoded: a photo costs no more
// than the scan over its bytes.
//
// A card gives the family name from N's first component and the short name
// from its second (each component's values joined by a space); with both
// empty the whole FN, then ORG's first component, is the family name; with
// the short name still empty the first NICKNAME is. The phone is that of
// the most preferred TEL (the lowest PREF=, or TYPE=pref, or 2.1's bare
// PREF, which rank first), else of the first; a tel: URI loses "tel:", its
// ";ext=" becomes " x" and its other parameters are dropped.
namespace callvista {

// Values are decoded in their CHARSET: UTF-8, Windows-1252, and ISO-8859-1
// and US-ASCII, which are read as Windows-1252 as browsers read them; any
// other, and UTF-8 that is not valid, is read as Windows-1252 and its line
// counted among those that could not be read. Without a CHARSET a value is
// UTF-8, or Windows-1252 where it is not valid UTF-8 (unless the file was
// UTF-16). Refused only when the file is larger than maxContactFileBytes.
Result<ContactEntries> readVCard(const QByteArray& bytes);
Result<ContactEntries> readVCard(const UnmarkedBytes& bytes);

} // namespace callvista
