#include "app/adr_list.h"

#include "core/entry_line.h"

#include <QFocusEvent>
#include <QMouseEvent>

#include <algorithm>

namespace callvista {

EntryModel::EntryModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int EntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant EntryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_entries[size_t(index.row())].line;
    return {};
}

int EntryModel::insertLine(const QString& line)
{
    if (m_entries.size() >= size_t(MaxEntries))
        return -1;
    Entry entry{line, m_order.key(line)};
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), entry,
                                     [](const Entry& a, const Entry& b) {
                                         return a.key.compare(b.key) < 0;
                                     });
    const int row = int(at - m_entries.begin());
    beginInsertRows({}, row, row);
    m_entries.insert(at, std::move(entry));
    endInsertRows();
    return row;
}

void EntryModel::resetLines(const QStringList& lines)
{
    std::vector<Entry> entries;
    const qsizetype count = std::min<qsizetype>(lines.size(), MaxEntries);
    entries.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i)
        entries.push_back({lines.at(i), m_order.key(lines.at(i))});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.key.compare(b.key) < 0;
    });
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void EntryModel::removeLine(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
}

void EntryModel::clearLines()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

AdrList::AdrList(QWidget* parent)
    : QListView(parent)
{
    setModel(&m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row has the same height: the view then lays out 32767 rows
    // without measuring each one.
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

bool AdrList::addItem(const QString& line)
{
    return m_model.insertLine(line) >= 0;
}

void AdrList::setItems(const QStringList& lines)
{
    m_model.resetLines(lines);
}

void AdrList::removeItem(int position)
{
    const bool wasSelected = position == listIndex();
    m_model.removeLine(position);
    // The view would move the selection to a neighbour of the removed line;
    // a list box leaves nothing selected when its selected line goes.
    if (wasSelected)
        setListIndex(-1);
}

void AdrList::clear()
{
    m_model.clearLines();
}

qint16 AdrList::listCount() const
{
    return qint16(m_model.rowCount());
}

bool AdrList::isFull() const
{
    return m_model.rowCount() >= MaxEntries;
}

QString AdrList::itemText(int position) const
{
    if (position < 0 || position >= m_model.rowCount())
        return {};
    return m_model.line(position);
}

QStringList AdrList::items() const
{
    QStringList lines;
    lines.reserve(m_model.rowCount());
    for (int row = 0; row < m_model.rowCount(); ++row)
        lines.append(m_model.line(row));
    return lines;
}

qint16 AdrList::listIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? qint16(-1) : qint16(selected.first().row());
}

void AdrList::setListIndex(int position)
{
    if (position < 0 || position >= m_model.rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model.index(position);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void AdrList::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    emit gotFocus();
}

void AdrList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit listDoubleClicked();
}

} // namespace callvista
