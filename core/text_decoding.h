#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

// The encodings of a document's text: which one a document is written in,
// and how the bytes of a file become text, whatever system wrote them.
namespace callvista {

// The encoding that a document is written in when it can store every
// character (else the document is written in UTF-8), and that a line which
// is not UTF-8 is read in. An empty name means the system's encoding: UTF-8
// on Linux, the ANSI code page on Windows; any other name is one that
// QStringEncoder and QStringDecoder know.
struct TextEncoding {
    QByteArray name;
};

// Where the system's encoding is UTF-8, the encoding of a line that is not
// valid UTF-8: the code page of documents written on Western Windows.
inline constexpr char FallbackEncodingName[] = "windows-1252";

// Stateless converters report a sequence cut off at the end of their input
// as an error instead of keeping it for input that never comes.
[[nodiscard]] QStringEncoder makeEncoder(const TextEncoding& encoding);
[[nodiscard]] QStringDecoder makeDecoder(
    const TextEncoding& encoding,
    QStringConverter::Flags flags = QStringConverter::Flag::Stateless);

// True for Qt's own UTF-8 converter, under either of its names.
[[nodiscard]] bool isUtf8Converter(const char* name);

// The encoding as a message names it: "the system's encoding", "the encoding
// UTF-8".
[[nodiscard]] QString encodingTitle(const TextEncoding& encoding);

// The text of a file and how many of its lines were read as Windows-1252.
struct DecodedText {
    QString text;
    int windows1252Lines = 0;
};

// A byte-order mark of UTF-16 or UTF-32 decides for the whole file when the
// rest reads cleanly in that encoding. Otherwise a file that is valid UTF-8
// is read as UTF-8, a leading UTF-8 mark dropped; else each line on its own:
// valid UTF-8 as UTF-8, any other line in the encoding where that is not
// UTF-8, and as Windows-1252 (counted) where it is, so that one name saved
// by an older program does not turn every other name into mojibake. Half of
// a surrogate pair, which Qt's UTF-16 and UTF-32 decoders pass through, is
// dropped. Line ends come through as they are.
[[nodiscard]] DecodedText decodeText(const QByteArray& bytes, const TextEncoding& encoding = {});

} // namespace callvista
