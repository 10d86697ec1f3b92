#pragma once

#include <QString>
#include <QStringView>

// What a person sees and hears of an entry line. The stored line stays as it
// is; these only shape how its fields are drawn and read aloud.
namespace callvista {

// The field as the list draws it: every control character and every line or
// paragraph separator becomes a visible mark of one character (a tab "␉",
// a line separator "␤"), so that nothing in a field jumps or breaks the line.
// A letter and the combining marks that follow it are composed where
// Unicode has one character for them (e + U+0301 is drawn as é); all other
// characters stay, direction marks and joiners included.
[[nodiscard]] QString visibleField(QStringView field);

// The entry as a screen reader reads it: the three fields cut by position,
// trimmed, control characters read as spaces, the empty ones left out, joined
// by ", " ("Baker, Tom, 12-345-67").
[[nodiscard]] QString spokenEntry(QStringView line);

} // namespace callvista
