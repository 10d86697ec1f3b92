#include "core/document_writer.h"

#include "core/parallel.h"
#include "core/text_units.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

// The fast way is UTF-8 straight from the lines into the bytes, on a thread
// per part of the entries. Other encodings build the text first and read
// the bytes back; only when something cannot be written is each entry
// looked at on its own, to name the first that cannot.
namespace callvista {

namespace {

struct Document {
    Q_DECLARE_TR_FUNCTIONS(Document)
};

constexpr auto Stateless = QStringConverter::Flag::Stateless;

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
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = std::max<qsizetype>(characterLength(text, i), 1);
        if (!encodes(text.mid(i, length), encoding, nullptr))
            return length == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                               : char32_t(text.at(i).unicode());
        i += length;
    }
    return 0;
}

QString unencodableReason(qsizetype index, const QString& line, const QString& text,
                          const ColumnWidths& widths, const TextEncoding& encoding)
{
    const char32_t code = firstUnencodable(text, encoding);
    const QString codeText = QStringLiteral("U+%1").arg(
        QString::number(quint32(code), 16).toUpper(), 4, QLatin1Char('0'));
    const bool printable = code != 0 && (code < 0xD800 || code > 0xDFFF);
    const QString character =
        printable ? QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&code, 1), codeText)
                  : codeText;
    return Document::tr("Entry %1 (\"%2\") holds the character %3, which cannot be written in %4.")
        .arg(index + 1)
        .arg(entryField(line, Field::Family, widths), character, encodingTitle(encoding));
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
    return Document::tr("Entry %1 (\"%2\") holds a line break, which a document cannot store.")
        .arg(index + 1)
        .arg(toFieldText(entryField(line, Field::Family, widths)));
}

// The entries converted to UTF-8 at a time.
constexpr qsizetype ChunkEntries = 64;
constexpr int MaxUtf8PerUnit = 3;
// Fewer entries than this to a thread cost more to hand over than to write.
constexpr qsizetype MinEncodePart = 4096;

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
    std::array<QChar, ChunkEntries*(EntryWidths.lineLength() + 4)> chunk;
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

// UTF-8 goes straight from the lines into the document's bytes, with room
// for three bytes to a unit (a pair of units takes four), on one thread per
// part of the entries; each part then moves up behind the one before it.
// Nothing when an entry cannot be written this way.
template <typename Lines>
std::optional<QByteArray> encodeUtf8(const Lines& lines, qsizetype count,
                                     const ColumnWidths& widths)
{
    // Every entry takes at most its three columns and three line ends.
    const qsizetype room = (widths.lineLength() + 4) * MaxUtf8PerUnit;
    QByteArray result(count * room, Qt::Uninitialized);
    char* const bytes = result.data();
    const int parts = parallelParts(count, MinEncodePart);
    std::vector<qsizetype> ends(static_cast<size_t>(parts), -1);
    runInParallel(parts, [&](int part) {
        const qsizetype first = partStart(count, parts, part);
        const qsizetype last = partStart(count, parts, part + 1);
        char* const begin = bytes + first * room;
        char* const end = writeUtf8(lines, int(first), int(last), widths, begin);
        if (end)
            ends[size_t(part)] = end - begin;
    });
    if (!std::all_of(ends.begin(), ends.end(), [](qsizetype end) { return end >= 0; }))
        return std::nullopt;
    qsizetype size = 0;
    for (int part = 0; part < parts; ++part) {
        const qsizetype from = partStart(count, parts, part) * room;
        std::memmove(bytes + size, bytes + from, size_t(ends[size_t(part)]));
        size += ends[size_t(part)];
    }
    result.resize(size);
    return result;
}

// The reason the entries cannot be written in UTF-8: the first entry with a
// character UTF-8 cannot store.
template <typename Lines>
QString unencodableEntry(const Lines& lines, qsizetype count, const ColumnWidths& widths,
                         const TextEncoding& utf8)
{
    QString error;
    qsizetype index = 0;
    lines.forEachLine(0, int(count), [&](const QString& line) {
        const QString oneEntry = entryText(line, widths);
        if (!encodes(oneEntry, utf8, nullptr))
            error = unencodableReason(index, line, oneEntry, widths, utf8);
        ++index;
        return error.isEmpty();
    });
    if (error.isEmpty())
        error = Document::tr("The document cannot be written in %1.").arg(encodingTitle(utf8));
    return error;
}

template <typename Lines>
Result<QByteArray> encodeLines(const Lines& lines, qsizetype count, const ColumnWidths& widths,
                               const TextEncoding& encoding)
{
    if (count > MaxEntries)
        return Failure{Document::tr("A document holds at most %1 entries; this one has %2.")
                           .arg(MaxEntries)
                           .arg(count)};
    const QStringEncoder encoder = makeEncoder(encoding);
    if (!encoder.isValid())
        return Failure{
            Document::tr("Documents cannot be written in %1 here.").arg(encodingTitle(encoding))};

    if (reportsEveryFailure(encoder) && widths.lineLength() <= EntryWidths.lineLength()) {
        if (std::optional<QByteArray> bytes = encodeUtf8(lines, count, widths))
            return std::move(*bytes);
    }

    // The text of the whole document first, then one conversion, checked by
    // reading it back where the converter may substitute without a word.
    QString text((widths.lineLength() + 4) * count, Qt::Uninitialized);
    QChar* out = text.data();
    QString error;
    qsizetype index = 0;
    lines.forEachLine(0, int(count), [&](const QString& line) {
        out = writeEntryText(out, line, widths);
        if (!out)
            error = lineBreakReason(index, line, widths);
        ++index;
        return out != nullptr;
    });
    if (!error.isEmpty())
        return Failure{error};
    text.truncate(out - text.constData());
    QByteArray bytes;
    if (encodes(text, encoding, &bytes))
        return bytes;
    // A character that the code page lacks must not stop the save: the
    // whole document then goes in UTF-8, which the reader tries first. Only
    // what UTF-8 cannot store either (half of a surrogate pair) is refused.
    const TextEncoding utf8{QByteArrayLiteral("UTF-8")};
    if (encodes(text, utf8, &bytes))
        return bytes;
    return Failure{unencodableEntry(lines, count, widths, utf8)};
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

Result<QByteArray> encodeDocument(const QStringList& lines, const ColumnWidths& widths,
                                  const TextEncoding& encoding)
{
    return encodeLines(ListLines{lines}, lines.size(), widths, encoding);
}

Result<QByteArray> encodeDocument(const SortedLines& lines, const ColumnWidths& widths,
                                  const TextEncoding& encoding)
{
    return encodeLines(lines, lines.size(), widths, encoding);
}

Result<void> writeBytes(QIODevice& device, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = device.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            QString reason = device.errorString();
            if (written == 0 || reason.isEmpty())
                reason = Document::tr("Nothing more could be written.");
            return Failure{reason};
        }
        done += written;
    }
    return {};
}

} // namespace callvista
