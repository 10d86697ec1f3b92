#include "core/sorted_lines.h"

#include "core/entry_line.h"

#include <algorithm>

namespace callvista {

namespace {

// A block is split when it grows past this size.
constexpr size_t MaxBlock = 512;

} // namespace

SortedLines::SortedLines(const QLocale& locale)
    : m_order(locale)
{
}

SortedLines::Place SortedLines::place(const QString& line) const
{
    Place result{line, m_order.key(line)};
    const auto after = [](const EntryOrder::Key& key, const Entry& entry) {
        return key.compare(entry.key) < 0;
    };
    if (m_blocks.empty())
        return result;
    // The first block whose last line sorts after the new one takes it; a
    // line that sorts after every block goes to the end of the last one.
    const auto last = m_blocks.end() - 1;
    const auto found = std::partition_point(m_blocks.begin(), last, [&](const Block& block) {
        return !after(result.key, block.back());
    });
    result.block = size_t(found - m_blocks.begin());
    for (auto block = m_blocks.begin(); block != found; ++block)
        result.row += int(block->size());
    const Block& target = m_blocks[result.block];
    result.offset = size_t(std::upper_bound(target.begin(), target.end(), result.key, after)
                           - target.begin());
    result.row += int(result.offset);
    return result;
}

bool SortedLines::insert(Place place)
{
    if (m_size >= MaxEntries)
        return false;
    if (m_blocks.empty())
        m_blocks.emplace_back();
    Block& target = m_blocks[place.block];
    target.insert(target.begin() + qsizetype(place.offset),
                  Entry{std::move(place.line), std::move(place.key)});
    if (target.size() > MaxBlock) {
        Block tail(std::make_move_iterator(target.begin() + MaxBlock / 2),
                   std::make_move_iterator(target.end()));
        target.erase(target.begin() + MaxBlock / 2, target.end());
        m_blocks.insert(m_blocks.begin() + qsizetype(place.block) + 1, std::move(tail));
    }
    ++m_size;
    return true;
}

void SortedLines::reset(const QStringList& lines)
{
    const qsizetype count = std::min<qsizetype>(lines.size(), MaxEntries);
    std::vector<Entry> entries;
    entries.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i)
        entries.push_back({lines.at(i), m_order.key(lines.at(i))});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.key.compare(b.key) < 0; });
    m_blocks.clear();
    for (size_t first = 0; first < entries.size(); first += MaxBlock / 2) {
        const size_t last = std::min(entries.size(), first + MaxBlock / 2);
        m_blocks.emplace_back(std::make_move_iterator(entries.begin() + first),
                              std::make_move_iterator(entries.begin() + last));
    }
    m_size = int(count);
}

std::pair<size_t, size_t> SortedLines::locate(int row) const
{
    size_t block = 0;
    size_t offset = size_t(row);
    while (offset >= m_blocks[block].size()) {
        offset -= m_blocks[block].size();
        ++block;
    }
    return {block, offset};
}

void SortedLines::remove(int row)
{
    if (row < 0 || row >= m_size)
        return;
    const auto [block, offset] = locate(row);
    m_blocks[block].erase(m_blocks[block].begin() + offset);
    if (m_blocks[block].empty())
        m_blocks.erase(m_blocks.begin() + block);
    --m_size;
}

void SortedLines::clear()
{
    m_blocks.clear();
    m_size = 0;
}

const QString& SortedLines::at(int row) const
{
    const auto [block, offset] = locate(row);
    return m_blocks[block][offset].line;
}

QStringList SortedLines::lines() const
{
    QStringList result;
    result.reserve(m_size);
    for (const Block& block : m_blocks)
        for (const Entry& entry : block)
            result.append(entry.line);
    return result;
}

} // namespace callvista
