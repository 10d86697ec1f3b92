#pragma once

#include <QStringView>

// The two rules every reader and writer of text here shares: where a
// character ends (a surrogate pair is one, half of one is none) and where a
// line ends (CR LF, a lone CR, a lone LF).
namespace callvista {

// The units at `pos` that make one character: 2 for a surrogate pair, 0 for
// half of one, which is no character, 1 for any other unit.
[[nodiscard]] inline qsizetype characterLength(QStringView text, qsizetype pos)
{
    const QChar c = text.at(pos);
    if (!c.isSurrogate())
        return 1;
    return c.isHighSurrogate() && pos + 1 < text.size() && text.at(pos + 1).isLowSurrogate() ? 2
                                                                                             : 0;
}

[[nodiscard]] inline bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// The units of the line break at `pos`: 2 for CR LF, 1 for a lone CR or LF,
// 0 where no line ends.
[[nodiscard]] inline qsizetype lineBreakLength(QStringView text, qsizetype pos)
{
    if (!isLineBreak(text.at(pos)))
        return 0;
    return text.at(pos) == u'\r' && pos + 1 < text.size() && text.at(pos + 1) == u'\n' ? 2 : 1;
}

// The line that starts at `pos`, without its break; `pos` moves past the
// break, to the start of the next line or the end of the text.
inline QStringView takeLine(QStringView text, qsizetype& pos)
{
    const qsizetype start = pos;
    while (pos < text.size() && !isLineBreak(text.at(pos)))
        ++pos;
    const QStringView line = text.sliced(start, pos - start);
    if (pos < text.size())
        pos += lineBreakLength(text, pos);
    return line;
}

} // namespace callvista
