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

AdrList::AdrList(QWidget* parent)
    : ListBoxView<QListView>(parent)
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
    return m_model.lines();
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
    ListBoxView<QListView>::focusInEvent(event);
    emit gotFocus();
}

void AdrList::mouseDoubleClickEvent(QMouseEvent* event)
{
    ListBoxView<QListView>::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit listDoubleClicked();
}

} // namespace callvista
