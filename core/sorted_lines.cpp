#include "core/sorted_lines.h"

#include "core/entry_line.h"
#include "core/parallel.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace callvista {

namespace {

// A block is split when it grows past this size.
constexpr size_t MaxBlock = 512;

// Fewer lines than this to a thread cost more to hand over than to compare.
constexpr int MinPart = 2048;

} // namespace

SortedLines::SortedLines(const QLocale& locale)
    : m_order(locale)
{
}

SortedLines::Place SortedLines::place(const QString& line) const
{
    Place result{line};
    const auto after = [this](const QString& added, const QString& kept) {
        return m_order.compare(added, kept) < 0;
    };
    if (m_blocks.empty())
        return result;
    // The first block whose last line sorts after the new one takes it; a
    // line that sorts after every block goes to the end of the last one.
    const auto last = m_blocks.end() - 1;
    const auto found = std::partition_point(m_blocks.begin(), last, [&](const Block& block) {
        return !after(result.line, block.back());
    });
    result.block = size_t(found - m_blocks.begin());
    for (auto block = m_blocks.begin(); block != found; ++block)
        result.row += int(block->size());
    const Block& target = m_blocks[result.block];
    result.offset =
        size_t(std::upper_bound(target.begin(), target.end(), result.line, after) - target.begin());
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
    target.insert(target.begin() + qsizetype(place.offset), std::move(place.line));
    if (target.size() > MaxBlock) {
        Block tail(std::make_move_iterator(target.begin() + MaxBlock / 2),
                   std::make_move_iterator(target.end()));
        target.erase(target.begin() + MaxBlock / 2, target.end());
        m_blocks.insert(m_blocks.begin() + qsizetype(place.block) + 1, std::move(tail));
    }
    ++m_size;
    return true;
}

namespace {

// Runs work(part, order) on every part, each thread with an order of its
// own (a collator is not to be shared between threads); part 0 takes the
// caller's.
void runOrderedParts(int parts, const EntryOrder& order,
                     const std::function<void(int, const EntryOrder&)>& work)
{
    runInParallel(parts, [&](int part) {
        if (part == 0) {
            work(part, order);
            return;
        }
        const EntryOrder own(order.locale());
        work(part, own);
    });
}

} // namespace

void SortedLines::reset(const QStringList& lines)
{
    const int count = int(std::min<qsizetype>(lines.size(), MaxEntries));
    const int parts = parallelParts(count, MinPart);

    // A document this program saved is in order already: one comparison of
    // each line with the next, each part of them on a thread of its own,
    // tells so, and then nothing is sorted. Equal neighbours are in order:
    // inserting one by one puts a line after the lines equal to it.
    std::vector<char> partInOrder(static_cast<size_t>(parts), 0);
    runOrderedParts(parts, m_order, [&](int part, const EntryOrder& order) {
        const int first = int(partStart(count, parts, part));
        const int last = std::min(count - 1, int(partStart(count, parts, part + 1)));
        for (int row = first; row < last; ++row)
            if (order.compare(lines.at(row), lines.at(row + 1)) > 0)
                return;
        partInOrder[size_t(part)] = 1;
    });
    const bool inOrder =
        std::all_of(partInOrder.begin(), partInOrder.end(), [](char ok) { return ok != 0; });

    // Otherwise each part is sorted on its own thread and the sorted parts
    // are merged. Every sort and merge is stable and the parts keep the
    // order of the file, so lines that compare equal stay in file order,
    // exactly as inserting them one by one would leave them.
    std::vector<int> order;
    if (!inOrder) {
        std::vector<std::vector<int>> sorted(static_cast<size_t>(parts));
        runOrderedParts(parts, m_order, [&](int part, const EntryOrder& own) {
            const int first = int(partStart(count, parts, part));
            const int last = int(partStart(count, parts, part + 1));
            std::vector<int>& rows = sorted[size_t(part)];
            rows.resize(size_t(last - first));
            std::iota(rows.begin(), rows.end(), first);
            std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
                return own.compare(lines.at(a), lines.at(b)) < 0;
            });
        });
        const auto byLine = [&](int a, int b) {
            return m_order.compare(lines.at(a), lines.at(b)) < 0;
        };
        order = std::move(sorted[0]);
        for (size_t part = 1; part < sorted.size(); ++part) {
            std::vector<int> merged(order.size() + sorted[part].size());
            std::merge(order.begin(), order.end(), sorted[part].begin(), sorted[part].end(),
                       merged.begin(), byLine);
            order = std::move(merged);
        }
    }

    // Lines in order are kept as they were read, shared with the caller's
    // list. Sorted ones are copied afresh in their new order, each part of
    // the blocks on a thread of its own, so that a scan down the list reads
    // memory in the order it lies.
    const size_t total = size_t(count);
    constexpr size_t PerBlock = MaxBlock / 2;
    const size_t blocks = (total + PerBlock - 1) / PerBlock;
    m_blocks.assign(blocks, Block());
    const int blockParts = inOrder ? 1 : parts;
    runInParallel(blockParts, [&](int part) {
        const size_t firstBlock = size_t(partStart(qsizetype(blocks), blockParts, part));
        const size_t lastBlock = size_t(partStart(qsizetype(blocks), blockParts, part + 1));
        for (size_t b = firstBlock; b < lastBlock; ++b) {
            Block& block = m_blocks[b];
            const size_t last = std::min(total, (b + 1) * PerBlock);
            block.reserve(last - b * PerBlock);
            for (size_t i = b * PerBlock; i < last; ++i) {
                if (inOrder) {
                    block.push_back(lines.at(qsizetype(i)));
                } else {
                    const QString& line = lines.at(order[i]);
                    block.emplace_back(line.constData(), line.size());
                }
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
    return m_blocks[block][offset];
}

QStringList SortedLines::lines() const
{
    QStringList result;
    result.reserve(m_size);
    for (const Block& block : m_blocks)
        for (const QString& line : block)
            result.append(line);
    return result;
}

} // namespace callvista
