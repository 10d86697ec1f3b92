#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <utility>

// What the vCard and the CSV reader share below their formats: the limit on
// a file's size, its byte-order mark, and bytes into text where a file
// names no encoding, or Windows-1252, which Qt without ICU (on Windows)
// cannot convert.
namespace callvista {

// A contact file may be as large as a document (maxDocumentBytes); a larger
// one is refused, with a reason, before any of it is read.
[[nodiscard]] qint64 maxContactFileBytes();
Result<void> checkContactFileSize(qint64 size);

// The bytes of a contact file without their byte-order mark. UTF-16 (known
// by its mark) is turned into UTF-8 here, so that the readers only ever see
// encodings whose line ends and separators are single ASCII bytes.
class UnmarkedBytes
{
public:
    explicit UnmarkedBytes(const QByteArray& bytes);
    // bytes() may lie in the object itself.
    UnmarkedBytes(const UnmarkedBytes&) = delete;
    UnmarkedBytes& operator=(const UnmarkedBytes&) = delete;

    [[nodiscard]] QByteArrayView bytes() const { return m_bytes; }
    // True when the file was UTF-16 and bytes() is its text in UTF-8.
    [[nodiscard]] bool wasUtf16() const { return !m_converted.isNull(); }

private:
    QByteArray m_converted;
    QByteArrayView m_bytes;
};

// Hands the bytes of a contact file, without their mark, to `read`, once
// checkContactFileSize has passed them.
template <typename Read>
auto readContactFile(const QByteArray& bytes, const Read& read)
    -> decltype(read(std::declval<const UnmarkedBytes&>()))
{
    const Result<void> size = checkContactFileSize(bytes.size());
    if (!size.ok())
        return Failure{size.error()};
    return read(UnmarkedBytes(bytes));
}

// Appends the text of Windows-1252 bytes; the five bytes the code page
// leaves undefined become the C1 controls of the same number, as Windows
// itself reads them.
void appendWindows1252(QString& text, QByteArrayView bytes);

// Appends the text of UTF-8 bytes and returns true, or returns false and
// appends nothing when they are not valid UTF-8.
bool appendUtf8(QString& text, QByteArrayView bytes);

// UTF-8 where the bytes are valid UTF-8, else Windows-1252.
void appendUtf8OrWindows1252(QString& text, QByteArrayView bytes);

// The text of the bytes: all of it UTF-8 when it is valid UTF-8, else each
// line on its own, UTF-8 where it is valid and Windows-1252 where not. Line
// ends come through as they are.
[[nodiscard]] QString decodeUtf8OrWindows1252Lines(QByteArrayView bytes);

} // namespace callvista
