#include "core/sorted_lines.h"

#include "core/entry_line.h"

#include "core/shares.h"

#include <algorithm>
#include <optional>

namespace callvista {

namespace {

// A block is split when it grows past this size.
constexpr size_t MaxBlock = 512;

// Fewer lines than this to a thread cost more to hand over than to key.
constexpr int MinShare = 2048;

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
    const int count = int(std::min<qsizetype>(lines.size(), MaxEntries));
    std::vector<EntryOrder::Key> keys(static_cast<size_t>(count));
    // The keys are the costly part of a load. The lines are cut into one
    // share per thread that the global pool allows; each share is keyed and
    // sorted on a thread of its own with a collator of its own, and the sorted
    // shares are merged. Every sort and merge is stable and the shares keep
    // the order of the file, so lines that compare equal stay in file order,
    // exactly as inserting them one by one would leave them.
    const int shares = shareCount(count, MinShare);
    std::vector<std::vector<int>> sorted(static_cast<size_t>(shares));
    const auto byKey = [&keys](int a, int b) {
        return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
    };
    runShares(shares, [&](int share) {
        std::optional<EntryOrder> ownOrder;
        if (share != 0)
            ownOrder.emplace(m_order.locale());
        const EntryOrder& order = ownOrder ? *ownOrder : m_order;
        const int first = int(shareStart(count, shares, share));
        const int last = int(shareStart(count, shares, share + 1));
        std::vector<int>& rows = sorted[size_t(share)];
        rows.resize(size_t(last - first));
        for (int row = first; row < last; ++row) {
            keys[size_t(row)] = order.key(lines.at(row));
            rows[size_t(row - first)] = row;
        }
        std::stable_sort(rows.begin(), rows.end(), byKey);
    });

    std::vector<int> order = std::move(sorted[0]);
    for (size_t share = 1; share < sorted.size(); ++share) {
        std::vector<int> merged(order.size() + sorted[share].size());
        std::merge(order.begin(), order.end(), sorted[share].begin(), sorted[share].end(),
                   merged.begin(), byKey);
        order = std::move(merged);
    }

    // The lines are laid down afresh in their sorted order, so that a scan
    // down the list reads memory in the order it lies, each share of the
    // blocks on a thread of its own. A document saved by this program is in
    // that order already, and its lines are kept as they were read.
    const bool inOrder = std::is_sorted(order.begin(), order.end());
    constexpr size_t PerBlock = MaxBlock / 2;
    const size_t blocks = (order.size() + PerBlock - 1) / PerBlock;
    m_blocks.assign(blocks, Block());
    const int blockShares = shareCount(count, MinShare);
    runShares(blockShares, [&](int share) {
        const size_t firstBlock = size_t(shareStart(qsizetype(blocks), blockShares, share));
        const size_t lastBlock = size_t(shareStart(qsizetype(blocks), blockShares, share + 1));
        for (size_t b = firstBlock; b < lastBlock; ++b) {
            Block& block = m_blocks[b];
            const size_t last = std::min(order.size(), (b + 1) * PerBlock);
            block.reserve(last - b * PerBlock);
            for (size_t i = b * PerBlock; i < last; ++i) {
                const QString& line = lines.at(order[i]);
                block.push_back({inOrder ? line : QString(line.constData(), line.size()),
                                 std::move(keys[size_t(order[i])])});
            }
        }
    });
    m_size = count;
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
