#include "core/text_decoding.h"

#include "core/text_units.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>

namespace callvista {

namespace {

constexpr auto Stateless = QStringConverter::Flag::Stateless;

QString withoutHalfPairs(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = characterLength(text, i);
        result.append(text.sliced(i, length));
        i += std::max<qsizetype>(length, 1);
    }
    return result;
}

bool isLineEndByte(char c)
{
    return c == '\r' || c == '\n';
}

bool isUtf16(QStringConverter::Encoding encoding)
{
    return encoding == QStringConverter::Utf16LE || encoding == QStringConverter::Utf16BE;
}

// The text of the bytes in the encoding their byte-order mark names, when
// the whole file reads cleanly in it: a whole number of units, no invalid
// one, and, where the bytes hold line ends at all, lines. A Windows-1252
// file that happens to start with the bytes of a mark ("ÿþ") fails this
// and is read as any other file.
std::optional<QString> decodeMarked(const QByteArray& bytes, QStringConverter::Encoding encoding)
{
    // Qt's decoders read a unit cut off at the end as U+FFFD without
    // reporting it, so the length is checked here.
    if (bytes.size() % (isUtf16(encoding) ? 2 : 4) != 0)
        return std::nullopt;
    QStringDecoder decoder(encoding, Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    const bool lineBytes = bytes.contains('\r') || bytes.contains('\n');
    if (lineBytes && !text.contains(u'\r') && !text.contains(u'\n'))
        return std::nullopt;
    // Qt's UTF-16 and UTF-32 decoders pass half of a surrogate pair
    // through. It is no character and is dropped here, before the lines
    // are found, so that it cannot make a blank line count as text.
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); }))
        text = withoutHalfPairs(text);
    return text;
}

// A line that is not UTF-8, in the system's code page where that is the
// document's own encoding. Windows's converter drops a NUL byte, which is an
// ordinary character of a value here: the pieces between NULs are
// converted one by one. Nothing when the code page cannot read it either.
std::optional<QString> decodeInCodePage(QStringDecoder& codePage, QByteArrayView line)
{
    QString text;
    const char* piece = line.data();
    const char* const end = line.data() + line.size();
    for (;;) {
        const char* const nul = std::find(piece, end, '\0');
        codePage.resetState();
        text += codePage.decode(QByteArrayView(piece, nul - piece));
        if (codePage.hasError())
            return std::nullopt;
        if (nul == end)
            return text;
        text += QChar(0);
        piece = nul + 1;
    }
}

// Line by line, each line that is not UTF-8 read in the system's code page
// or as Windows-1252.
DecodedText decodeLines(const QByteArray& bytes, const TextEncoding& encoding, bool utf8Mark)
{
    DecodedText result;
    QStringDecoder codePage = makeDecoder(encoding);
    const bool systemIsUtf8 = !codePage.isValid() || isUtf8Converter(codePage.name());
    QStringDecoder fallback(FallbackEncodingName, Stateless);
    const auto readOtherwise = [&](QByteArrayView line) {
        if (!systemIsUtf8) {
            if (std::optional<QString> text = decodeInCodePage(codePage, line))
                return std::move(*text);
        }
        ++result.windows1252Lines;
        if (!fallback.isValid())
            return QString::fromLatin1(line);
        fallback.resetState();
        return QString(fallback.decode(line));
    };
    result.text.reserve(bytes.size());
    qsizetype pos = utf8Mark ? 3 : 0;
    // Only a mark at the very start of the file is a byte-order mark; one at
    // the start of a later line is a character of its value.
    QStringDecoder utf8Lines(QStringConverter::Utf8,
                             Stateless | QStringConverter::Flag::ConvertInitialBom);
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && !isLineEndByte(bytes.at(end)))
            ++end;
        const QByteArrayView line(bytes.constData() + pos, end - pos);
        utf8Lines.resetState();
        const QString text = utf8Lines.decode(line);
        result.text += utf8Lines.hasError() ? readOtherwise(line) : text;
        // The line ends are the same bytes in every encoding read here.
        for (pos = end; pos < bytes.size() && isLineEndByte(bytes.at(pos)); ++pos)
            result.text += QLatin1Char(bytes.at(pos));
    }
    return result;
}

} // namespace

QStringEncoder makeEncoder(const TextEncoding& encoding)
{
    if (encoding.name.isEmpty())
        return QStringEncoder(QStringConverter::System, Stateless);
    return QStringEncoder(encoding.name.constData(), Stateless);
}

QStringDecoder makeDecoder(const TextEncoding& encoding, QStringConverter::Flags flags)
{
    if (encoding.name.isEmpty())
        return QStringDecoder(QStringConverter::System, flags);
    return QStringDecoder(encoding.name.constData(), flags);
}

bool isUtf8Converter(const char* name)
{
#ifndef Q_OS_WIN
    // Everywhere but on Windows, Qt's system converter is its UTF-8 one.
    if (qstrcmp(name, "Locale") == 0)
        return true;
#endif
    return qstrcmp(name, "UTF-8") == 0;
}

QString encodingTitle(const TextEncoding& encoding)
{
    if (encoding.name.isEmpty())
        return QCoreApplication::translate("Document", "the system's encoding");
    return QCoreApplication::translate("Document", "the encoding %1")
        .arg(QString::fromLatin1(encoding.name));
}

DecodedText decodeText(const QByteArray& bytes, const TextEncoding& encoding)
{
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8) {
        std::optional<QString> text = decodeMarked(bytes, *marked);
        // FF FE 00 00 is also the mark of UTF-16 text whose first character
        // is U+0000.
        if (!text && *marked == QStringConverter::Utf32LE)
            text = decodeMarked(bytes, QStringConverter::Utf16LE);
        if (text)
            return {std::move(*text)};
    }

    // UTF-8 first, in whichever encoding the system writes: a document in
    // UTF-8 is read alike everywhere, and the bytes of a code page's
    // letters are hardly ever valid UTF-8.
    QStringDecoder utf8(QStringConverter::Utf8, Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return {std::move(text)};
    return decodeLines(bytes, encoding, marked == QStringConverter::Utf8);
}

} // namespace callvista
