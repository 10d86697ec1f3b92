#include "core/document_format.h"

#include "core/shares.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace callvista {

namespace {

constexpr auto Stateless = QStringConverter::Flag::Stateless;
constexpr int LineEndBytes = 2;
constexpr int MaxBytesPerUnit = 4;

// Stateless converters report a sequence cut off at the end of their input
// as an error instead of keeping it for input that never comes.
QStringEncoder makeEncoder(const TextEncoding& encoding)
{
    if (encoding.name.isEmpty())
        return QStringEncoder(QStringConverter::System, Stateless);
    return QStringEncoder(encoding.name.constData(), Stateless);
}

QStringDecoder makeDecoder(const TextEncoding& encoding,
                           QStringConverter::Flags flags = Stateless)
{
    if (encoding.name.isEmpty())
        return QStringDecoder(QStringConverter::System, flags);
    return QStringDecoder(encoding.name.constData(), flags);
}

QString encodingTitle(const TextEncoding& encoding)
{
    if (encoding.name.isEmpty())
        return QStringLiteral("the system's encoding");
    return QStringLiteral("the encoding %1").arg(QString::fromLatin1(encoding.name));
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

// True when the encoding stores the text and gives it back unchanged. Some
// platform converters replace what they cannot store without saying so, so
// the bytes are read back as well, keeping a leading U+FEFF that stands
// inside the document rather than at its start.
bool reportsEveryFailure(const QStringEncoder& encoder)
{
    return isUtf8Converter(encoder.name());
}

bool encodes(const QString& text, const TextEncoding& encoding, QByteArray* bytes)
{
    QStringEncoder encoder = makeEncoder(encoding);
    QStringDecoder decoder =
        makeDecoder(encoding, Stateless | QStringConverter::Flag::ConvertInitialBom);
    if (!encoder.isValid() || !decoder.isValid())
        return false;
    QByteArray encoded = encoder.encode(text);
    if (encoder.hasError())
        return false;
    // Qt's own UTF-8 converter reports everything it cannot store (an
    // unpaired surrogate); other converters may substitute silently, so
    // their bytes are read back and compared.
    if (reportsEveryFailure(encoder)) {
        if (bytes)
            *bytes = std::move(encoded);
        return true;
    }
    const QString decoded = decoder.decode(encoded);
    if (decoder.hasError() || decoded != text)
        return false;
    if (bytes)
        *bytes = std::move(encoded);
    return true;
}

// The first character of the text that the encoding cannot store, as a code
// point (an unpaired surrogate stands for itself).
char32_t firstUnencodable(const QString& text, const TextEncoding& encoding)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            length = 2;
        if (!encodes(text.mid(i, length), encoding, nullptr))
            return length == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                               : char32_t(text.at(i).unicode());
        i += length - 1;
    }
    return 0;
}

QString unencodableReason(qsizetype index, const QString& line, const QString& text,
                          const ColumnWidths& widths, const TextEncoding& encoding)
{
    const char32_t code = firstUnencodable(text, encoding);
    const QString codeText =
        QStringLiteral("U+%1").arg(QString::number(quint32(code), 16).toUpper(), 4, QLatin1Char('0'));
    const bool printable = code != 0 && (code < 0xD800 || code > 0xDFFF);
    const QString character = printable
        ? QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&code, 1), codeText)
        : codeText;
    return QStringLiteral("Entry %1 (\"%2\") holds the character %3, which cannot be written in %4.")
        .arg(index + 1)
        .arg(entryField(line, Field::Family, widths), character, encodingTitle(encoding));
}

// The value as the entry line builder is to see it; a value wider than its
// column is counted, and the builder cuts it.
QStringView columnValue(QStringView value, int width, int& shortened)
{
    const QStringView trimmed = trimSpacesView(value);
    if (trimmed.size() > width)
        ++shortened;
    return trimmed;
}

// The three lines of one entry in the file, its fields cut by position and
// each followed by CR LF, written at `out`, which has room for the widths of
// the three columns and three line ends. Returns the end of what it wrote,
// or nullptr when a field holds a line break, which would end its line early
// and shift every later field of the file.
QChar* writeEntryText(QChar* out, QStringView line, const ColumnWidths& widths)
{
    for (const Field field : {Field::Family, Field::Short, Field::Phone}) {
        const QStringView value = trimSpacesView(entryColumn(line, field, widths));
        if (holdsLineBreak(value))
            return nullptr;
        out = std::copy(value.begin(), value.end(), out);
        *out++ = u'\r';
        *out++ = u'\n';
    }
    return out;
}

QString entryText(QStringView line, const ColumnWidths& widths)
{
    QString text(widths.lineLength() + 4, Qt::Uninitialized);
    text.truncate(writeEntryText(text.data(), line, widths) - text.constData());
    return text;
}

QString lineBreakReason(qsizetype index, const QString& line, const ColumnWidths& widths)
{
    return QStringLiteral("Entry %1 (\"%2\") holds a line break, which a document cannot store.")
        .arg(index + 1)
        .arg(toFieldText(entryField(line, Field::Family, widths)));
}

// The text of the bytes. A byte-order mark of UTF-16 or UTF-32 decides for
// the whole file when the file reads cleanly in that encoding. Otherwise the whole file is read in the first encoding
// when it is valid there, and else line by line, each line that is not
// valid there read as Windows-1252: one name saved by an older program
// must not turn every other name of the file into mojibake.
struct DecodedText {
    QString text;
    int windows1252Lines = 0;
};

QString withoutHalfPairs(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
        } else if (!c.isSurrogate()) {
            result += c;
        }
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

DecodedText decodeText(const QByteArray& bytes, const TextEncoding& encoding)
{
    DecodedText result;
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8) {
        std::optional<QString> text = decodeMarked(bytes, *marked);
        // FF FE 00 00 is also the mark of UTF-16 text whose first character
        // is U+0000.
        if (!text && *marked == QStringConverter::Utf32LE)
            text = decodeMarked(bytes, QStringConverter::Utf16LE);
        if (text) {
            result.text = std::move(*text);
            return result;
        }
    }

    // UTF-8 first, in whichever encoding the system writes: a document in
    // UTF-8 is read alike everywhere, and the bytes of a code page's
    // letters are hardly ever valid UTF-8.
    QStringDecoder utf8(QStringConverter::Utf8, Stateless);
    result.text = utf8.decode(bytes);
    if (!utf8.hasError())
        return result;

    // Line by line, each line that is not UTF-8 read in the system's code
    // page, which is the document's own encoding where the system is not
    // UTF-8; where it is, such a line comes from another system and is read
    // as Windows-1252 (and counted), so that one name saved by an older
    // program does not turn every other name of the file into mojibake.
    QStringDecoder codePage = makeDecoder(encoding);
    const bool systemIsUtf8 = !codePage.isValid() || isUtf8Converter(codePage.name());
    QStringDecoder fallback(FallbackEncodingName, Stateless);
    const auto readOtherwise = [&](QByteArrayView line) {
        if (!systemIsUtf8) {
            // Windows's converter drops a NUL byte, which is an ordinary
            // character of a value here: the pieces between NULs are
            // converted one by one.
            QString text;
            bool clean = true;
            const char* piece = line.data();
            const char* const end = line.data() + line.size();
            for (;;) {
                const char* const nul = std::find(piece, end, '\0');
                codePage.resetState();
                text += codePage.decode(QByteArrayView(piece, nul - piece));
                clean = clean && !codePage.hasError();
                if (nul == end)
                    break;
                text += QChar(0);
                piece = nul + 1;
            }
            if (clean)
                return text;
        }
        ++result.windows1252Lines;
        if (!fallback.isValid())
            return QString::fromLatin1(line);
        fallback.resetState();
        return QString(fallback.decode(line));
    };
    result.text.clear();
    result.text.reserve(bytes.size());
    qsizetype pos = 0;
    if (marked == QStringConverter::Utf8)
        pos = 3;
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

// The number of lines from `pos` to the end of the text.
qsizetype countLines(QStringView text, qsizetype pos)
{
    qsizetype lines = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text.at(pos) != u'\r' && text.at(pos) != u'\n')
            ++pos;
        ++lines;
        if (pos < text.size()) {
            const bool crLf =
                text.at(pos) == u'\r' && pos + 1 < text.size() && text.at(pos + 1) == u'\n';
            pos += crLf ? 2 : 1;
        }
    }
    return lines;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\r' || c == u'\n';
}

} // namespace

qint64 maxDocumentBytes(const ColumnWidths& widths)
{
    const qint64 units = qint64(widths.family) + widths.shortName + widths.phone;
    return (units * MaxBytesPerUnit + 3 * LineEndBytes) * MaxEntries;
}

namespace {

// The entries converted to UTF-8 at a time.
constexpr qsizetype ChunkEntries = 64;
constexpr int MaxUtf8PerUnit = 3;
// Fewer entries than this to a thread cost more to hand over than to write.
constexpr qsizetype MinEncodeShare = 4096;

// The entries from row `first` up to `last` as UTF-8 at `out`. They are
// gathered as text in a small buffer that stays in the cache, and Qt's own
// UTF-8 converter, which takes runs of ASCII many characters at a time,
// converts a chunk of them at once into the bytes (the system's converter,
// even where it is UTF-8, would make a byte array at every call). Returns
// the end of what it wrote, or nullptr when an entry holds a line break or
// half of a surrogate pair.
template <typename Lines>
char* writeUtf8(const Lines& lines, int first, int last, const ColumnWidths& widths, char* out)
{
    QStringEncoder utf8(QStringConverter::Utf8, Stateless);
    std::array<QChar, ChunkEntries * (EntryWidths.lineLength() + 4)> chunk;
    QChar* text = chunk.data();
    qsizetype inChunk = 0;
    const auto convert = [&] {
        out = utf8.appendToBuffer(out, QStringView(chunk.data(), text));
        text = chunk.data();
        inChunk = 0;
        return !utf8.hasError();
    };
    bool written = true;
    lines.forEachLine(first, last, [&](const QString& line) {
        text = writeEntryText(text, line, widths);
        written = text && (++inChunk < ChunkEntries || convert());
        return written;
    });
    return written && (inChunk == 0 || convert()) ? out : nullptr;
}

template <typename Lines>
EncodedDocument encodeLines(const Lines& lines, qsizetype count, const ColumnWidths& widths,
                            const TextEncoding& encoding)
{
    EncodedDocument result;
    if (count > MaxEntries) {
        result.error = QStringLiteral("A document holds at most %1 entries; this one has %2.")
                           .arg(MaxEntries)
                           .arg(count);
        return result;
    }
    const QStringEncoder encoder = makeEncoder(encoding);
    if (!encoder.isValid()) {
        result.error = QStringLiteral("Documents cannot be written in %1 here.")
                           .arg(encodingTitle(encoding));
        return result;
    }
    // Every entry takes at most its three columns and three line ends.
    const qsizetype units = widths.lineLength() + 4;

    if (reportsEveryFailure(encoder) && widths.lineLength() <= EntryWidths.lineLength()) {
        // UTF-8 goes straight from the lines into the document's bytes, with
        // room for three bytes to a unit (a pair of units takes four), on one
        // thread per share of the entries; each share then moves up behind
        // the one before it.
        result.bytes.resize(count * units * MaxUtf8PerUnit);
        char* const bytes = result.bytes.data();
        const int shares = shareCount(count, MinEncodeShare);
        std::vector<qsizetype> ends(static_cast<size_t>(shares), -1);
        runShares(shares, [&](int share) {
            const qsizetype first = shareStart(count, shares, share);
            const qsizetype last = shareStart(count, shares, share + 1);
            char* const begin = bytes + first * units * MaxUtf8PerUnit;
            char* const end = writeUtf8(lines, int(first), int(last), widths, begin);
            if (end)
                ends[size_t(share)] = end - begin;
        });
        if (std::all_of(ends.begin(), ends.end(), [](qsizetype end) { return end >= 0; })) {
            qsizetype size = 0;
            for (int share = 0; share < shares; ++share) {
                const qsizetype from = shareStart(count, shares, share) * units * MaxUtf8PerUnit;
                std::memmove(bytes + size, bytes + from, size_t(ends[size_t(share)]));
                size += ends[size_t(share)];
            }
            result.bytes.resize(size);
            return result;
        }
        // Only now is each entry looked at on its own, below, to name the
        // first one that cannot be written.
        result.bytes.clear();
    }

    // Other encodings: the text of the whole document first, then one
    // conversion, checked by reading it back where the converter may
    // substitute without a word.
    QString text(count * units, Qt::Uninitialized);
    QChar* out = text.data();
    qsizetype index = 0;
    lines.forEachLine(0, int(count), [&](const QString& line) {
        out = writeEntryText(out, line, widths);
        if (!out)
            result.error = lineBreakReason(index, line, widths);
        ++index;
        return out != nullptr;
    });
    if (!result.error.isEmpty())
        return result;
    text.truncate(out - text.constData());
    if (encodes(text, encoding, &result.bytes))
        return result;
    // A character that the code page lacks must not stop the save: the
    // whole document then goes in UTF-8, which the reader tries first. Only
    // what UTF-8 cannot store either (half of a surrogate pair) is refused.
    const TextEncoding utf8{QByteArrayLiteral("UTF-8")};
    if (encodes(text, utf8, &result.bytes))
        return result;
    result.bytes.clear();
    // Only when the whole fails is each entry converted on its own, to name
    // the one that cannot be stored.
    index = 0;
    lines.forEachLine(0, int(count), [&](const QString& line) {
        const QString oneEntry = entryText(line, widths);
        if (!encodes(oneEntry, utf8, nullptr))
            result.error = unencodableReason(index, line, oneEntry, widths, utf8);
        ++index;
        return result.error.isEmpty();
    });
    if (result.error.isEmpty())
        result.error = QStringLiteral("The document cannot be written in %1.")
                           .arg(encodingTitle(utf8));
    return result;
}

// A plain list of lines, visited as the entry list visits its own.
struct ListLines {
    const QStringList& lines;

    template <typename Visit>
    void forEachLine(int first, int last, const Visit& visit) const
    {
        for (int row = first; row < last; ++row)
            if (!visit(lines.at(row)))
                return;
    }
};

} // namespace

EncodedDocument encodeDocument(const QStringList& lines, const ColumnWidths& widths,
                               const TextEncoding& encoding)
{
    return encodeLines(ListLines{lines}, lines.size(), widths, encoding);
}

EncodedDocument encodeDocument(const SortedLines& lines, const ColumnWidths& widths,
                               const TextEncoding& encoding)
{
    return encodeLines(lines, lines.size(), widths, encoding);
}

DecodedDocument decodeDocument(const QByteArray& bytes, const ColumnWidths& widths,
                               const TextEncoding& encoding)
{
    DecodedDocument result;
    const qint64 limit = maxDocumentBytes(widths);
    if (bytes.size() > limit) {
        result.refusal =
            QStringLiteral("The file is %1 bytes long, more than a document of at most %2 entries "
                           "can be (%3 bytes).")
                .arg(bytes.size())
                .arg(MaxEntries)
                .arg(limit);
        return result;
    }

    DecodedText decoded = decodeText(bytes, encoding);
    result.report.windows1252Lines = decoded.windows1252Lines;
    const QString text = std::move(decoded.text);

    qsizetype textEnd = text.size();
    while (textEnd > 0 && isBlank(text.at(textEnd - 1)))
        --textEnd;

    const QStringView all(text);
    std::array<QStringView, 3> fields;
    int filled = 0;
    const auto addEntry = [&] {
        int& shortened = result.report.shortenedValues;
        result.lines.append(makeEntryLine(columnValue(fields[0], widths.family, shortened),
                                          columnValue(fields[1], widths.shortName, shortened),
                                          columnValue(fields[2], widths.phone, shortened), widths));
        fields = {};
        filled = 0;
    };

    const auto tooManyEntries = [] {
        DecodedDocument refused;
        refused.refusal = QStringLiteral("The file holds more than %1 entries, the most a "
                                         "document can hold.")
                              .arg(MaxEntries);
        return refused;
    };

    qsizetype pos = 0;
    while (pos < all.size()) {
        // After the last text, every three blank lines are a blank entry,
        // which the writer writes too; the one or two left over are what
        // an editor leaves, and belong to no entry.
        if (pos >= textEnd && filled == 0) {
            const qsizetype blankEntries = countLines(all, pos) / 3;
            if (result.lines.size() + blankEntries > MaxEntries)
                return tooManyEntries();
            for (qsizetype i = 0; i < blankEntries; ++i)
                result.lines.append(makeEntryLine(QString(), QString(), QString(), widths));
            break;
        }
        if (filled == 0 && result.lines.size() == MaxEntries)
            return tooManyEntries();
        qsizetype end = pos;
        while (end < all.size() && all.at(end) != u'\r' && all.at(end) != u'\n')
            ++end;
        fields[size_t(filled++)] = all.mid(pos, end - pos);
        if (filled == 3)
            addEntry();
        pos = end;
        if (pos < all.size()) {
            const bool crLf = all.at(pos) == u'\r' && pos + 1 < all.size() && all.at(pos + 1) == u'\n';
            pos += crLf ? 2 : 1;
        }
    }
    if (filled > 0) {
        result.report.completedLastEntry = true;
        addEntry();
    }
    return result;
}

} // namespace callvista
