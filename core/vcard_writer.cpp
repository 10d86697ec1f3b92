#include "core/vcard_writer.h"

#include "core/entry_line.h"
#include "core/parallel.h"

#include <QChar>
#include <QStringView>

#include <array>
#include <cstring>
#include <vector>

namespace callvista {

namespace {

// The longest line before its CR LF; a longer one goes on in the next line
// after a space.
constexpr int MaxLineOctets = 75;

// The octets of one card, which are fewer than 500: its three fields hold
// at most 70 units, none more than 3 octets (a pair of units takes 4), the
// names twice, and a fold every 70 octets or more.
constexpr size_t MaxCardOctets = 1024;

// Writes one card into a buffer that has room for it.
class CardWriter
{
public:
    explicit CardWriter(char* out)
        : m_begin(out)
        , m_out(out)
    {
    }

    [[nodiscard]] size_t size() const { return size_t(m_out - m_begin); }

    // Plain ASCII that needs no escape, as the start of a line.
    void words(const char* text)
    {
        for (; *text; ++text)
            put(text, 1);
    }

    // A field's text, escaped, in UTF-8.
    void text(QStringView value)
    {
        for (qsizetype i = 0; i < value.size(); ++i) {
            const char16_t c = value.at(i).unicode();
            if (c >= 0x20 && c < 0x80 && c != u'\\' && c != u',' && c != u';'
                && m_octets < MaxLineOctets) {
                *m_out++ = char(c);
                ++m_octets;
            } else if (c < 0x80) {
                const char escaped[2] = {'\\', char(c)};
                if (c == u'\\' || c == u',' || c == u';') {
                    put(escaped, 2);
                } else if (c == u'\r' || c == u'\n') {
                    // CR LF, a lone CR and a lone LF are one line break.
                    if (c == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
                        ++i;
                    put("\\n", 2);
                } else {
                    const char plain = char(c);
                    put(&plain, 1);
                }
            } else if (c < 0x800) {
                const char bytes[2] = {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
                put(bytes, 2);
            } else if (!QChar::isSurrogate(c)) {
                const char bytes[3] = {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                                       char(0x80 | (c & 0x3F))};
                put(bytes, 3);
            } else if (QChar::isHighSurrogate(c) && i + 1 < value.size()
                       && value.at(i + 1).isLowSurrogate()) {
                const char32_t code = QChar::surrogateToUcs4(c, value.at(++i).unicode());
                const char bytes[4] = {
                    char(0xF0 | (code >> 18)), char(0x80 | ((code >> 12) & 0x3F)),
                    char(0x80 | ((code >> 6) & 0x3F)), char(0x80 | (code & 0x3F))};
                put(bytes, 4);
            }
            // Half of a pair is no character and is left out.
        }
    }

    void endLine()
    {
        *m_out++ = '\r';
        *m_out++ = '\n';
        m_octets = 0;
    }

private:
    // A character's octets, or an escape's, stay together on one line.
    void put(const char* bytes, int count)
    {
        if (m_octets + count > MaxLineOctets) {
            std::memcpy(m_out, "\r\n ", 3);
            m_out += 3;
            m_octets = 1;
        }
        std::memcpy(m_out, bytes, size_t(count));
        m_out += count;
        m_octets += count;
    }

    char* m_begin;
    char* m_out;
    int m_octets = 0;
};

// Fewer entries than this to a thread cost more to hand over than to write.
constexpr qsizetype MinEncodePart = 4096;

// The cards of the entries from row `first` up to `last`.
QByteArray encodeCards(const SortedLines& lines, int first, int last)
{
    QByteArray result;
    // About 170 octets a card of a usual entry.
    result.reserve(qsizetype(last - first) * 176);
    std::array<char, MaxCardOctets> card;
    lines.forEachLine(first, last, [&](const QString& line) {
        const QStringView family = trimSpacesView(entryColumn(line, Field::Family));
        const QStringView shortName = trimSpacesView(entryColumn(line, Field::Short));
        const QStringView phone = trimSpacesView(entryColumn(line, Field::Phone));
        CardWriter out(card.data());
        out.words("BEGIN:VCARD");
        out.endLine();
        out.words("VERSION:3.0");
        out.endLine();
        out.words("N:");
        out.text(family);
        out.words(";");
        out.text(shortName);
        out.words(";;;");
        out.endLine();
        out.words("FN:");
        out.text(shortName);
        if (!shortName.isEmpty() && !family.isEmpty())
            out.words(" ");
        out.text(family);
        out.endLine();
        if (!phone.isEmpty()) {
            out.words("TEL;TYPE=VOICE:");
            out.text(phone);
            out.endLine();
        }
        out.words("END:VCARD");
        out.endLine();
        result.append(card.data(), qsizetype(out.size()));
        return true;
    });
    return result;
}

} // namespace

QByteArray encodeVCard(const SortedLines& lines)
{
    // One part of the entries to each thread, then the parts one after
    // another.
    const int parts = parallelParts(lines.size(), MinEncodePart);
    std::vector<QByteArray> written(static_cast<size_t>(parts));
    runInParallel(parts, [&](int part) {
        const int first = int(partStart(lines.size(), parts, part));
        const int last = int(partStart(lines.size(), parts, part + 1));
        written[size_t(part)] = encodeCards(lines, first, last);
    });
    if (parts == 1)
        return std::move(written.front());
    QByteArray result;
    qsizetype size = 0;
    for (const QByteArray& bytes : written)
        size += bytes.size();
    result.reserve(size);
    for (const QByteArray& bytes : written)
        result += bytes;
    return result;
}

} // namespace callvista
