#pragma once

#include "core/entry_order.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace callvista {

// The entry lines in their sorted order, held in blocks of a few hundred:
// inserting into a full list moves one block's worth of lines, not the whole
// list, and finding a row steps over blocks. Nothing but the lines is kept:
// a place is found by binary search with EntryOrder's comparison, about 15
// comparisons in a full list.
class SortedLines
{
public:
    explicit SortedLines(const QLocale& locale = QLocale());

    // Where a line goes: after any equal lines. Finding the place and
    // inserting are two steps, so that a model can announce the row between.
    struct Place {
        QString line;
        size_t block = 0;
        size_t offset = 0;
        int row = 0;
    };
    [[nodiscard]] Place place(const QString& line) const;
    // Inserts at the place found for it, with nothing changed in between.
    // Refuses, returning false, when the list holds MaxEntries lines.
    bool insert(Place place);
    // Replaces the content by these lines (the first MaxEntries), in the
    // order that inserting them one by one would give. Lines already in
    // order, as this program saves them, are checked with one comparison
    // each and kept as they are; others are sorted.
    void reset(const QStringList& lines);
    void remove(int row);
    void clear();

    [[nodiscard]] int size() const { return m_size; }
    [[nodiscard]] const QString& at(int row) const;
    [[nodiscard]] QStringList lines() const;

    // Hands each line from row `first` up to, not including, `last` to the
    // visitor, top to bottom, while it returns true.
    template <typename Visit>
    void forEachLine(int first, int last, const Visit& visit) const
    {
        if (first >= last)
            return;
        auto [block, offset] = locate(first);
        for (int row = first; row < last; ++row) {
            if (!visit(m_blocks[block][offset]))
                return;
            if (++offset == m_blocks[block].size()) {
                ++block;
                offset = 0;
            }
        }
    }

    // The first row from `first` up to, not including, `last` whose line the
    // test accepts, or -1. The lines are read where they are kept, block by
    // block, without copying any.
    template <typename Test>
    [[nodiscard]] int findIn(int first, int last, const Test& accepts) const
    {
        int found = -1;
        int row = first;
        forEachLine(first, last, [&](const QString& line) {
            if (accepts(line))
                found = row;
            ++row;
            return found < 0;
        });
        return found;
    }

private:
    using Block = std::vector<QString>;

    // The block that holds the row, and the row's place in it.
    [[nodiscard]] std::pair<size_t, size_t> locate(int row) const;

    EntryOrder m_order;
    std::vector<Block> m_blocks;
    int m_size = 0;
};

} // namespace callvista
