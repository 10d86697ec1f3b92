#pragma once

#include "core/sorted_lines.h"

#include <QAbstractListModel>
#include <QStringList>

namespace callvista {

// The entry lines in their sorted order, as the list view shows them.
class EntryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit EntryModel(QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

    // Inserts at the sorted place, after any equal lines; -1 when full.
    int insertLine(const QString& line);
    // Replaces the whole content by the given lines, sorted once.
    void resetLines(const QStringList& lines);
    // Replaces the whole content by lines already in order.
    void adoptLines(SortedLines&& lines);
    void removeLine(int row);
    void clearLines();
    [[nodiscard]] const SortedLines& lines() const { return m_lines; }

private:
    SortedLines m_lines;
};

} // namespace callvista
