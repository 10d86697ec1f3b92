#include "core/contact_text.h"

#include "core/document_reader.h"

#include <QChar>
#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace callvista {

namespace {

struct Import {
    Q_DECLARE_TR_FUNCTIONS(Import)
};

// The characters of the bytes 0x80 to 0x9F; the rest of Windows-1252 is
// ISO-8859-1, whose bytes are their own code points.
constexpr std::array<char16_t, 32> Windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isLineEndByte(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

qint64 maxContactFileBytes()
{
    return maxDocumentBytes();
}

Result<void> checkContactFileSize(qint64 size)
{
    const qint64 limit = maxContactFileBytes();
    if (size <= limit)
        return {};
    return Failure{Import::tr("The file is %1 bytes long, more than a file of contacts may be "
                              "(%2 bytes, as a document of %3 entries).")
                       .arg(size)
                       .arg(limit)
                       .arg(MaxEntries)};
}

UnmarkedBytes::UnmarkedBytes(const QByteArray& bytes)
    : m_bytes(bytes)
{
    const auto startsWith = [&](const char* mark) { return m_bytes.startsWith(mark); };
    if (startsWith("\xEF\xBB\xBF")) {
        m_bytes = m_bytes.sliced(3);
    } else if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        // Qt's UTF-16 decoders are built in, also where Qt has no ICU; what
        // is not UTF-16 becomes U+FFFD and half of a pair is dropped later,
        // by the line builder.
        QStringDecoder utf16(startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                    : QStringConverter::Utf16BE,
                             QStringConverter::Flag::Stateless);
        m_converted = QString(utf16.decode(m_bytes.sliced(2))).toUtf8();
        // An empty text still counts as converted.
        if (m_converted.isNull())
            m_converted = QByteArray("");
        m_bytes = m_converted;
    }
}

void appendWindows1252(QString& text, QByteArrayView bytes)
{
    const qsizetype start = text.size();
    text.resize(start + bytes.size());
    char16_t* out = reinterpret_cast<char16_t*>(text.data()) + start;
    for (const char c : bytes) {
        const uchar byte = uchar(c);
        *out++ = byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char16_t(byte);
    }
}

bool appendUtf8(QString& text, QByteArrayView bytes)
{
    // A decoder of its own: Qt's costs more to set up than a name takes to
    // decode. It refuses what Qt's refuses: overlong forms, surrogates and
    // code points past U+10FFFF. A mark at the start is a character here.
    const qsizetype start = text.size();
    // UTF-8 takes at least as many bytes as UTF-16 takes units.
    text.resize(start + bytes.size());
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = begin + start;
    const auto* in = reinterpret_cast<const uchar*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in < end) {
        const uchar lead = *in;
        if (lead < 0x80) {
            *out++ = lead;
            ++in;
            continue;
        }
        const int more = lead >= 0xC2 && lead <= 0xDF   ? 1
                         : lead >= 0xE0 && lead <= 0xEF ? 2
                         : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                        : 0;
        char32_t code = lead & (0x3F >> more);
        bool valid = more > 0 && end - in > more;
        for (int i = 1; valid && i <= more; ++i) {
            valid = (in[i] & 0xC0) == 0x80;
            code = (code << 6) | (in[i] & 0x3F);
        }
        valid = valid && !(more == 2 && code < 0x800) && !(more == 3 && code < 0x10000)
                && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (!valid) {
            text.truncate(start);
            return false;
        }
        in += more + 1;
        if (code >= 0x10000) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
        } else {
            *out++ = char16_t(code);
        }
    }
    text.truncate(out - begin);
    return true;
}

void appendUtf8OrWindows1252(QString& text, QByteArrayView bytes)
{
    if (!appendUtf8(text, bytes))
        appendWindows1252(text, bytes);
}

QString decodeUtf8OrWindows1252Lines(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    if (appendUtf8(text, bytes))
        return text;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype end =
            std::find_if(bytes.begin() + pos, bytes.end(), isLineEndByte) - bytes.begin();
        appendUtf8OrWindows1252(text, bytes.sliced(pos, end - pos));
        for (pos = end; pos < bytes.size() && isLineEndByte(bytes.at(pos)); ++pos)
            text += QLatin1Char(bytes.at(pos));
    }
    return text;
}

} // namespace callvista
