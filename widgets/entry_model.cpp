#include "widgets/entry_model.h"

#include "core/entry_line.h"

namespace callvista {

EntryModel::EntryModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int EntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_lines.size();
}

QVariant EntryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_lines.at(index.row());
    return {};
}

int EntryModel::insertLine(const QString& line)
{
    if (m_lines.size() >= MaxEntries)
        return -1;
    SortedLines::Place place = m_lines.place(line);
    const int row = place.row;
    beginInsertRows({}, row, row);
    m_lines.insert(std::move(place));
    endInsertRows();
    return row;
}

void EntryModel::resetLines(const QStringList& lines)
{
    beginResetModel();
    m_lines.reset(lines);
    endResetModel();
}

void EntryModel::adoptLines(SortedLines&& lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void EntryModel::removeLine(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_lines.remove(row);
    endRemoveRows();
}

void EntryModel::clearLines()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

} // namespace callvista
