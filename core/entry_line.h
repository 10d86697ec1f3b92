#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>

// An entry is one fixed-width line of three columns: family name, "|", short
// name, "|", phone number, each left-aligned and padded with spaces. The line
// is at once what the list shows, what it sorts by and the only store of the
// entry, so every reader cuts it by position and never looks for the "|".
namespace callvista {

struct ColumnWidths {
    int family;
    int shortName;
    int phone;

    [[nodiscard]] constexpr int lineLength() const { return family + shortName + phone + 2; }
};

// The widths of the three columns, and so the most characters each box of
// the entry dialogs takes. The line builder, every reader of a line, the
// document file and the boxes take them from here.
inline constexpr ColumnWidths EntryWidths{30, 20, 20};

// The most entries a document and the list hold: the largest 16-bit signed
// number, which the older program's documents keep to.
inline constexpr int MaxEntries = 32767;

enum class Field { Family = 1, Short = 2, Phone = 3 };

// Removes the space character (and only it) from both ends.
[[nodiscard]] QString trimSpaces(const QString& text);

// A field is one line of text that a document can store: each CR LF, lone
// CR and lone LF becomes one space, and half of a surrogate pair, which no
// encoding stores, is dropped. When `cursor` is given, the position in the
// text is moved to the same place in the result.
[[nodiscard]] QString toFieldText(QStringView text, qsizetype* cursor = nullptr);

// True when toFieldText may have to mend the text: it holds a CR, a LF or a
// surrogate. Only such texts are copied.
[[nodiscard]] inline bool needsFieldText(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c == u'\r' || c == u'\n' || c.isSurrogate(); });
}

// True when the text holds a CR or a LF.
[[nodiscard]] bool holdsLineBreak(QStringView text);

// Builds the line from the three texts as typed or read: each is made a
// field text, trimmed of spaces and cut to its column without splitting a
// surrogate pair, then padded with spaces.
[[nodiscard]] QString makeEntryLine(QStringView family, QStringView shortName, QStringView phone,
                                    const ColumnWidths& widths = EntryWidths);
[[nodiscard]] inline QString makeEntryLine(const QString& family, const QString& shortName,
                                           const QString& phone,
                                           const ColumnWidths& widths = EntryWidths)
{
    return makeEntryLine(QStringView(family), QStringView(shortName), QStringView(phone), widths);
}

// The field of the line, cut by position and trimmed of spaces.
[[nodiscard]] QString entryField(QStringView line, Field field,
                                 const ColumnWidths& widths = EntryWidths);

// True when each of the three texts holds more than spaces: an entry needs
// all three.
[[nodiscard]] bool isCompleteEntry(QStringView family, QStringView shortName, QStringView phone);

// Views into the given text, for scans over many lines that should copy
// nothing: trimSpaces without the copy, and the column of a field as the
// line holds it, padding included (entryField is that column trimmed).
[[nodiscard]] QStringView trimSpacesView(QStringView text);
[[nodiscard]] QStringView entryColumn(QStringView line, Field field,
                                      const ColumnWidths& widths = EntryWidths);

// The captions of the three columns, in their order.
[[nodiscard]] QStringList columnCaptions();

// The header over the list: the entry line of the three column captions.
[[nodiscard]] QString headerLine();

} // namespace callvista
