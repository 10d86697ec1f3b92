#include "core/vcard_reader.h"

#include "core/entry_line.h"
#include "core/parallel.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace callvista {

namespace {

char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - ('a' - 'A')) : c;
}

// True when the bytes are the upper-case ASCII word, in any letter case.
bool isWord(QByteArrayView bytes, QByteArrayView upper)
{
    return bytes.size() == upper.size()
           && std::equal(bytes.begin(), bytes.end(), upper.begin(),
                         [](char a, char b) { return upperAscii(a) == b; });
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineBreakByte(char c)
{
    return c == '\r' || c == '\n';
}

QByteArrayView trimmedBlanks(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && isBlank(bytes.front()))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && isBlank(bytes.back()))
        bytes.chop(1);
    return bytes;
}

// Without its surrounding double quotes, when it has them.
QByteArrayView unquoted(QByteArrayView value)
{
    value = trimmedBlanks(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.sliced(1, value.size() - 2);
    return value;
}

qsizetype findByte(QByteArrayView bytes, char c, qsizetype from = 0)
{
    for (qsizetype i = from; i < bytes.size(); ++i)
        if (bytes.at(i) == c)
            return i;
    return -1;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = upperAscii(c);
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Finds line breaks from any position, looking ahead for CR and for LF once
// each and remembering where they are, so that a file whose lines end in
// only one of them is still read in one pass.
class LineBreaks
{
public:
    explicit LineBreaks(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    // The first CR or LF from `pos`, or the end of the bytes.
    qsizetype next(qsizetype pos)
    {
        if (m_cr < pos)
            m_cr = find(pos, '\r');
        if (m_lf < pos)
            m_lf = find(pos, '\n');
        return std::min(m_cr, m_lf);
    }

private:
    qsizetype find(qsizetype from, char c) const
    {
        const void* hit = std::memchr(m_bytes.data() + from, c, size_t(m_bytes.size() - from));
        return hit ? static_cast<const char*>(hit) - m_bytes.data() : m_bytes.size();
    }

    QByteArrayView m_bytes;
    qsizetype m_cr = -1;
    qsizetype m_lf = -1;
};

// The end of the name and parameters of a line: its first colon, from
// `from`, outside a quoted parameter value (4.0 quotes values that hold a
// colon); -1 when there is none yet. A quote that is never closed counts
// as a plain character.
qsizetype findColon(QByteArrayView line, qsizetype from)
{
    // Mostly there is no quote before the colon.
    const char* const begin = line.data();
    const auto* colon =
        static_cast<const char*>(std::memchr(begin + from, ':', size_t(line.size() - from)));
    const qsizetype before = colon ? colon - begin : line.size();
    if (!std::memchr(begin + from, '"', size_t(before - from)))
        return colon ? before : -1;
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line.at(i) == ':')
            return i;
        if (line.at(i) == '"') {
            const qsizetype close = findByte(line, '"', i + 1);
            if (close >= 0)
                i = close;
        }
    }
    return -1;
}

// The properties read; the rest are skipped.
enum class Name { NoColon, Begin, End, Version, N, FN, Org, Nickname, Tel, Agent, Other };

Name nameOf(QByteArrayView header)
{
    // A group prefix ("item1.") names the property's group only.
    qsizetype start = 0;
    qsizetype end = 0;
    for (; end < header.size() && header.at(end) != ';'; ++end)
        if (header.at(end) == '.')
            start = end + 1;
    const QByteArrayView name = trimmedBlanks(header.sliced(start, end - start));
    static constexpr std::pair<QByteArrayView, Name> Known[] = {{"BEGIN", Name::Begin},
                                                                {"END", Name::End},
                                                                {"VERSION", Name::Version},
                                                                {"N", Name::N},
                                                                {"FN", Name::FN},
                                                                {"ORG", Name::Org},
                                                                {"NICKNAME", Name::Nickname},
                                                                {"TEL", Name::Tel},
                                                                {"AGENT", Name::Agent}};
    for (const auto& [word, known] : Known)
        if (isWord(name, word))
            return known;
    return Name::Other;
}

enum class Charset { Unnamed, Utf8, Windows1252, Unknown };

Charset charsetOf(QByteArrayView name)
{
    if (name.isEmpty())
        return Charset::Unnamed;
    if (isWord(name, "UTF-8") || isWord(name, "UTF8"))
        return Charset::Utf8;
    // Browsers read the labels of ISO-8859-1 and US-ASCII as Windows-1252,
    // which is what such files hold where they hold more than ASCII.
    static constexpr QByteArrayView Western[] = {
        "WINDOWS-1252", "CP1252",      "X-CP1252", "ISO-8859-1", "ISO8859-1",     "ISO_8859-1",
        "LATIN1",       "ISO-LATIN-1", "US-ASCII", "ASCII",      "ANSI_X3.4-1968"};
    for (const QByteArrayView western : Western)
        if (isWord(name, western))
            return Charset::Windows1252;
    return Charset::Unknown;
}

constexpr int NotPreferred = INT_MAX - 1;
constexpr int NoPhone = INT_MAX;

struct Params {
    bool quotedPrintable = false;
    bool binary = false;
    bool uri = false;
    bool text = false;
    // 1 for TYPE=pref and a bare PREF; PREF=n gives n.
    int pref = NotPreferred;
    Charset charset = Charset::Unnamed;
};

void readParam(QByteArrayView param, Params& params)
{
    const qsizetype equals = findByte(param, '=');
    const QByteArrayView key = trimmedBlanks(equals < 0 ? param : param.first(equals));
    const QByteArrayView value = equals < 0 ? QByteArrayView() : unquoted(param.sliced(equals + 1));
    if (equals < 0) {
        // vCard 2.1 gives a type or an encoding by its value alone.
        if (isWord(key, "QUOTED-PRINTABLE"))
            params.quotedPrintable = true;
        else if (isWord(key, "BASE64"))
            params.binary = true;
        else if (isWord(key, "PREF"))
            params.pref = std::min(params.pref, 1);
    } else if (isWord(key, "ENCODING")) {
        params.quotedPrintable = isWord(value, "QUOTED-PRINTABLE");
        params.binary = isWord(value, "B") || isWord(value, "BASE64");
    } else if (isWord(key, "CHARSET")) {
        params.charset = charsetOf(value);
    } else if (isWord(key, "TYPE")) {
        for (qsizetype start = 0; start <= value.size();) {
            qsizetype end = findByte(value, ',', start);
            if (end < 0)
                end = value.size();
            if (isWord(unquoted(value.sliced(start, end - start)), "PREF"))
                params.pref = std::min(params.pref, 1);
            start = end + 1;
        }
    } else if (isWord(key, "PREF")) {
        bool ok = false;
        const int rank = value.toInt(&ok);
        if (ok && rank > 0)
            params.pref = std::min(params.pref, rank);
    } else if (isWord(key, "VALUE")) {
        params.uri = isWord(value, "URI");
        params.text = isWord(value, "TEXT");
    }
}

// The parameters that follow the name, each up to the next ";" outside
// quotes.
Params readParams(QByteArrayView header)
{
    Params params;
    qsizetype pos = findByte(header, ';');
    if (pos < 0)
        return params;
    ++pos;
    while (pos <= header.size()) {
        qsizetype end = pos;
        bool quoted = false;
        while (end < header.size() && (quoted || header.at(end) != ';')) {
            if (header.at(end) == '"')
                quoted = !quoted;
            ++end;
        }
        readParam(header.sliced(pos, end - pos), params);
        pos = end + 1;
    }
    return params;
}

// A value kept as its bytes, the first of its property in the card, until
// the card shows whether it is needed.
struct Deferred {
    bool present = false;
    QByteArray bytes;
    Params params;

    void keep(QByteArrayView value, const Params& valueParams)
    {
        if (present)
            return;
        present = true;
        bytes.resize(0);
        bytes.append(value.data(), value.size());
        params = valueParams;
    }
};

enum class Version { Unknown, V21, V30, V40 };

// A value's bytes as they are read into text: quoted-printable decoded, in
// UTF-8 or in Windows-1252. Escapes and separators are ASCII, which in both
// stand only for themselves, so a value is cut into pieces before any of
// its text is decoded.
struct ValueBytes {
    QByteArrayView bytes;
    bool utf8 = false;
};

void appendText(QString& out, QByteArrayView bytes, bool utf8)
{
    if (bytes.isEmpty())
        return;
    if (utf8)
        appendUtf8OrWindows1252(out, bytes);
    else
        appendWindows1252(out, bytes);
}

// How the text of a value is cut: not at all, into components at ";", or
// into components and their values at ",".
enum class Split { None, Components, Values };

class VCardReader
{
public:
    VCardReader(QByteArrayView bytes, bool fromUtf16)
        : m_bytes(bytes)
        , m_breaks(bytes)
        , m_fromUtf16(fromUtf16)
    {
    }

    // Reads every card; what they gave is in collected().
    void read()
    {
        while (nextLine())
            takeLine();
        // A file cut off inside its last card still gives what it holds.
        if (m_depth > 0)
            finishCard();
    }

    [[nodiscard]] ContactCollector& collected() { return m_out; }

private:
    bool nextLine();
    void takeLine();
    void takeProperty(const Params& params, QByteArrayView value);
    ValueBytes valueBytes(QByteArrayView value, const Params& params);
    char readPiece(const ValueBytes& value, qsizetype& pos, QString& out, Split split) const;
    void readComponent(const ValueBytes& value, qsizetype& pos, QString& out) const;
    void readPhone(const ValueBytes& value, const Params& params, QString& out) const;
    void startCard();
    void finishCard();

    QByteArrayView m_bytes;
    LineBreaks m_breaks;
    bool m_fromUtf16;
    qsizetype m_pos = 0;
    ContactCollector m_out;

    // The line read: all of it in m_line, from the input or, when it was
    // folded, from m_folded; of a line that is skipped only its start.
    QByteArrayView m_line;
    QByteArray m_folded;
    qsizetype m_colon = -1;
    Name m_name = Name::NoColon;
    Params m_params;
    // The last value was base64, and so are the lines after it up to a
    // blank line or one with a colon.
    bool m_inBinary = false;

    // Scratch space, kept from value to value.
    QByteArray m_decodedBytes;
    QString m_piece;

    // The card being read.
    int m_depth = 0;
    bool m_afterAgent = false;
    Version m_version = Version::Unknown;
    bool m_hasName = false;
    // FN and ORG are needed only for a card whose N names nobody.
    Deferred m_fullName;
    Deferred m_org;
    QString m_family;
    QString m_shortName;
    QString m_nickname;
    QString m_phone;
    int m_phoneRank = NoPhone;
};

bool VCardReader::nextLine()
{
    if (m_pos >= m_bytes.size())
        return false;
    m_line = {};
    m_colon = -1;
    m_name = Name::NoColon;
    m_params = {};
    bool first = true;
    bool folded = false;
    for (;;) {
        const qsizetype end = m_breaks.next(m_pos);
        const QByteArrayView segment = m_bytes.sliced(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_bytes.size())
            m_pos += m_bytes.at(m_pos) == '\r' && m_pos + 1 < m_bytes.size()
                             && m_bytes.at(m_pos + 1) == '\n'
                         ? 2
                         : 1;
        // A property that is not read is only scanned to its end.
        const bool skipped = m_name == Name::Other;
        if (first) {
            m_line = segment;
            first = false;
        } else if (!skipped) {
            if (!folded) {
                m_folded.resize(0);
                m_folded.append(m_line.data(), m_line.size());
                folded = true;
            }
            m_folded.append(segment.data(), segment.size());
            m_line = m_folded;
        }
        // Where the segment starts in the line; one that was skipped lies
        // after the colon.
        const qsizetype segmentStart = skipped ? m_colon + 1 : m_line.size() - segment.size();
        if (m_colon < 0 && !skipped) {
            m_colon = findColon(m_line, segmentStart);
            if (m_colon >= 0) {
                const QByteArrayView header = m_line.first(m_colon);
                m_params = readParams(header);
                m_name = nameOf(header);
            }
        }
        const bool atEnd = m_pos >= m_bytes.size();
        // Quoted-printable goes on after a line that ends in "=", a soft
        // line break, whether or not the next line is indented; the "="
        // is no part of the value.
        const bool softBreak = m_params.quotedPrintable && segment.endsWith('=')
                               && segmentStart + segment.size() - 1 > m_colon;
        if (softBreak && !skipped) {
            m_line.chop(1);
            if (folded)
                m_folded.chop(1);
        }
        if (atEnd)
            return true;
        const bool indented = isBlank(m_bytes.at(m_pos));
        if (indented)
            ++m_pos;
        else if (!softBreak)
            return true;
    }
}

void VCardReader::takeLine()
{
    const bool afterAgent = std::exchange(m_afterAgent, false);
    if (m_name == Name::NoColon) {
        // 2.1 lets base64 run on over lines that are not indented, up to a
        // blank line; base64 holds no colon.
        if (trimmedBlanks(m_line).isEmpty())
            m_inBinary = false;
        else if (!m_inBinary)
            m_out.addUnreadableLine();
        return;
    }
    m_inBinary = m_params.binary;
    const QByteArrayView value = m_line.sliced(m_colon + 1);
    const bool isCard =
        (m_name == Name::Begin || m_name == Name::End) && isWord(trimmedBlanks(value), "VCARD");
    if (m_name == Name::Begin && isCard) {
        // 2.1 writes the card of an agent inside the card, after an empty
        // AGENT; any other card that begins inside one means that the card
        // before it lacked its END, and it ends there.
        if (m_depth > 1 || (m_depth == 1 && afterAgent)) {
            ++m_depth;
            return;
        }
        if (m_depth == 1)
            finishCard();
        startCard();
        m_depth = 1;
        return;
    }
    if (m_name == Name::End && isCard) {
        if (m_depth == 0)
            m_out.addUnreadableLine();
        else if (--m_depth == 0)
            finishCard();
        return;
    }
    if (m_depth == 0) {
        m_out.addUnreadableLine();
        return;
    }
    if (m_name == Name::Agent) {
        m_afterAgent = m_depth == 1 && trimmedBlanks(value).isEmpty();
        return;
    }
    // The properties of a card inside a card are not this card's.
    if (m_depth > 1 || m_name == Name::Other || m_name == Name::Begin || m_name == Name::End)
        return;
    takeProperty(m_params, value);
}

void VCardReader::takeProperty(const Params& params, QByteArrayView value)
{
    if (params.binary)
        return;
    switch (m_name) {
    case Name::Version: {
        const QByteArrayView number = trimmedBlanks(value);
        m_version = isWord(number, "2.1")   ? Version::V21
                    : isWord(number, "3.0") ? Version::V30
                    : isWord(number, "4.0") ? Version::V40
                                            : Version::Unknown;
        break;
    }
    case Name::N:
        if (!m_hasName) {
            m_hasName = true;
            const ValueBytes bytes = valueBytes(value, params);
            qsizetype pos = 0;
            readComponent(bytes, pos, m_family);
            readComponent(bytes, pos, m_shortName);
        }
        break;
    case Name::FN:
        m_fullName.keep(value, params);
        break;
    case Name::Org:
        m_org.keep(value, params);
        break;
    case Name::Nickname:
        if (isBlankField(m_nickname)) {
            const ValueBytes bytes = valueBytes(value, params);
            qsizetype pos = 0;
            do {
                m_nickname.resize(0);
                readPiece(bytes, pos, m_nickname, Split::Values);
            } while (isBlankField(m_nickname) && pos < bytes.bytes.size());
        }
        break;
    case Name::Tel:
        // Only a number that would be taken is decoded.
        if (params.pref < m_phoneRank) {
            m_piece.resize(0);
            readPhone(valueBytes(value, params), params, m_piece);
            if (!isBlankField(m_piece)) {
                std::swap(m_phone, m_piece);
                m_phoneRank = params.pref;
            }
        }
        break;
    default:
        break;
    }
}

ValueBytes VCardReader::valueBytes(QByteArrayView value, const Params& params)
{
    if (params.quotedPrintable) {
        m_decodedBytes.resize(value.size());
        char* out = m_decodedBytes.data();
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value.at(i) == '=' && i + 2 < value.size()) {
                const int high = hexValue(value.at(i + 1));
                const int low = hexValue(value.at(i + 2));
                if (high >= 0 && low >= 0) {
                    *out++ = char(high * 16 + low);
                    i += 2;
                    continue;
                }
            }
            // An "=" that starts no escape stands for itself.
            *out++ = value.at(i);
        }
        m_decodedBytes.truncate(out - m_decodedBytes.constData());
        value = m_decodedBytes;
    } else if (m_fromUtf16) {
        // The bytes of a UTF-16 file are its text in UTF-8, whatever a
        // parameter says.
        return {value, true};
    }
    switch (params.charset) {
    case Charset::Unnamed:
        return {value, value.isValidUtf8()};
    case Charset::Utf8:
        if (value.isValidUtf8())
            return {value, true};
        m_out.addUnreadableLine();
        return {value, false};
    case Charset::Windows1252:
        return {value, false};
    case Charset::Unknown:
        m_out.addUnreadableLine();
        return {value, false};
    }
    return {value, false};
}

// Reads one piece of a value from `pos`: up to an unescaped ";" or "," as
// `split` says, appending its text unescaped to `out` and moving `pos` past
// the separator, which it returns (0 at the end). 3.0 and 4.0 escape "\",
// ",", ";" and a line break ("\n" or "\N"); 2.1 only ";".
char VCardReader::readPiece(const ValueBytes& value, qsizetype& pos, QString& out,
                            Split split) const
{
    const QByteArrayView bytes = value.bytes;
    const bool escapes = m_version != Version::V21;
    // Plain text is decoded a run at a time.
    qsizetype run = pos;
    const auto endRun = [&] { appendText(out, bytes.sliced(run, pos - run), value.utf8); };
    while (pos < bytes.size()) {
        const char c = bytes.at(pos);
        if (c != ';' && c != ',' && c != '\\') {
            ++pos;
            continue;
        }
        endRun();
        ++pos;
        if ((c == ';' && split != Split::None) || (c == ',' && split == Split::Values))
            return c;
        const char next = c == '\\' && pos < bytes.size() ? bytes.at(pos) : 0;
        if (next == ';' || (escapes && (next == ',' || next == '\\'))) {
            out += QLatin1Char(next);
            ++pos;
        } else if (escapes && (next == 'n' || next == 'N')) {
            out += u'\n';
            ++pos;
        } else {
            out += QLatin1Char(c);
        }
        run = pos;
    }
    endRun();
    return 0;
}

// One component of N: its values, each trimmed, joined by a space.
void VCardReader::readComponent(const ValueBytes& value, qsizetype& pos, QString& out) const
{
    out.resize(0);
    const Split split = m_version == Version::V21 ? Split::Components : Split::Values;
    char separator = 0;
    do {
        const qsizetype before = out.size();
        if (before > 0)
            out += u' ';
        const qsizetype start = out.size();
        separator = readPiece(value, pos, out, split);
        const QStringView piece = trimSpacesView(QStringView(out).sliced(start));
        if (piece.isEmpty()) {
            out.truncate(before);
            continue;
        }
        const qsizetype leading = piece.data() - out.constData() - start;
        out.truncate(start + leading + piece.size());
        if (leading > 0)
            out.remove(start, leading);
    } while (separator == ',');
}

void VCardReader::readPhone(const ValueBytes& value, const Params& params, QString& out) const
{
    const QByteArrayView bytes = value.bytes;
    const bool uriValue = params.uri || (m_version == Version::V40 && !params.text);
    if (!uriValue || bytes.size() < 4 || !isWord(bytes.first(4), "TEL:")) {
        qsizetype pos = 0;
        readPiece(value, pos, out, Split::None);
        return;
    }
    // tel:+1-555-0100;ext=12;phone-context=... is "+1-555-0100 x12".
    const QByteArrayView uri = bytes.sliced(4);
    qsizetype end = findByte(uri, ';');
    if (end < 0)
        end = uri.size();
    appendText(out, uri.first(end), value.utf8);
    while (end < uri.size()) {
        const qsizetype start = end + 1;
        end = findByte(uri, ';', start);
        if (end < 0)
            end = uri.size();
        const QByteArrayView param = uri.sliced(start, end - start);
        if (param.size() > 4 && isWord(param.first(4), "EXT=")) {
            out += u" x";
            appendText(out, param.sliced(4), value.utf8);
        }
    }
}

void VCardReader::startCard()
{
    m_version = Version::Unknown;
    m_hasName = false;
    m_fullName.present = m_org.present = false;
    for (QString* text : {&m_family, &m_shortName, &m_nickname, &m_phone})
        text->resize(0);
    m_phoneRank = NoPhone;
}

void VCardReader::finishCard()
{
    QStringView family = m_family;
    QStringView shortName = m_shortName;
    if (isBlankField(family) && isBlankField(shortName)) {
        // m_piece is free once the card is read.
        m_piece.resize(0);
        qsizetype pos = 0;
        if (m_fullName.present)
            readPiece(valueBytes(m_fullName.bytes, m_fullName.params), pos, m_piece, Split::None);
        pos = 0;
        if (isBlankField(m_piece) && m_org.present) {
            m_piece.resize(0);
            readPiece(valueBytes(m_org.bytes, m_org.params), pos, m_piece, Split::Components);
        }
        family = m_piece;
    }
    if (isBlankField(shortName))
        shortName = m_nickname;
    m_out.add(family, shortName, m_phone);
    m_depth = 0;
}

qsizetype breakLength(QByteArrayView bytes, qsizetype pos)
{
    if (pos >= bytes.size())
        return 0;
    return bytes.at(pos) == '\r' && pos + 1 < bytes.size() && bytes.at(pos + 1) == '\n' ? 2 : 1;
}

// The start of the first line from `from` on that is BEGIN:VCARD after a
// line END:VCARD (blank lines between them aside); the end of the bytes
// when there is none. Such a line is no continuation of the one before,
// and nothing of the cards before it reaches past it (short of a card in a
// card in a card), so that the bytes read in two parts there give the same
// cards as read in one.
qsizetype nextCardStart(QByteArrayView bytes, qsizetype from)
{
    LineBreaks breaks(bytes);
    qsizetype start = from;
    // From the next whole line.
    if (start > 0 && !isLineBreakByte(bytes.at(start - 1))) {
        start = breaks.next(start);
        start += breakLength(bytes, start);
    } else if (start > 0 && bytes.at(start - 1) == '\r' && start < bytes.size()
               && bytes.at(start) == '\n') {
        ++start;
    }
    bool afterEnd = false;
    while (start < bytes.size()) {
        const qsizetype end = breaks.next(start);
        const QByteArrayView line = trimmedBlanks(bytes.sliced(start, end - start));
        if (afterEnd && isWord(line, "BEGIN:VCARD"))
            return start;
        if (!line.isEmpty())
            afterEnd = isWord(line, "END:VCARD");
        start = end + breakLength(bytes, end);
    }
    return bytes.size();
}

// Fewer bytes than this to a thread cost more to hand over than to read.
constexpr qsizetype MinPartBytes = 256 * 1024;

// The bytes cut into parts that can be read each on its own.
std::vector<QByteArrayView> cardParts(QByteArrayView bytes)
{
    const int parts = parallelParts(bytes.size(), MinPartBytes);
    std::vector<QByteArrayView> result;
    qsizetype start = 0;
    for (int part = 1; part < parts; ++part) {
        const qsizetype end =
            nextCardStart(bytes, std::max(start, partStart(bytes.size(), parts, part)));
        if (end >= bytes.size())
            break;
        result.push_back(bytes.sliced(start, end - start));
        start = end;
    }
    result.push_back(bytes.sliced(start));
    return result;
}

} // namespace

Result<ContactEntries> readVCard(const QByteArray& bytes)
{
    return readContactFile(bytes,
                           [](const UnmarkedBytes& unmarked) { return readVCard(unmarked); });
}

Result<ContactEntries> readVCard(const UnmarkedBytes& bytes)
{
    // The parts are read side by side and joined in their order.
    const std::vector<QByteArrayView> parts = cardParts(bytes.bytes());
    std::vector<std::unique_ptr<VCardReader>> readers(parts.size());
    runInParallel(int(parts.size()), [&](int part) {
        readers[size_t(part)] =
            std::make_unique<VCardReader>(parts[size_t(part)], bytes.wasUtf16());
        readers[size_t(part)]->read();
    });
    ContactCollector& all = readers.front()->collected();
    for (size_t part = 1; part < readers.size(); ++part)
        all.append(std::move(readers[part]->collected()));
    return all.take();
}

} // namespace callvista
