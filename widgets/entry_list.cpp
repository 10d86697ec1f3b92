#include "widgets/entry_list.h"

#include "widgets/entry_delegate.h"
#include "widgets/entry_list_accessible.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

namespace callvista {

EntryList::EntryList(QWidget* parent)
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
    setItemDelegate(new EntryDelegate(this));
    installEntryListAccessibility();
}

bool EntryList::addItem(const QString& line)
{
    return m_model.insertLine(line) >= 0;
}

void EntryList::setItems(const QStringList& lines)
{
    m_model.resetLines(lines);
}

void EntryList::setItems(SortedLines&& lines)
{
    m_model.adoptLines(std::move(lines));
}

void EntryList::removeItem(int position)
{
    const bool wasSelected = position == currentRow();
    m_model.removeLine(position);
    // The view would move the selection to a neighbour of the removed line;
    // a list box leaves nothing selected when its selected line goes.
    if (wasSelected)
        setCurrentRow(-1);
}

void EntryList::clear()
{
    m_model.clearLines();
}

int EntryList::count() const
{
    return m_model.rowCount();
}

QString EntryList::itemText(int position) const
{
    if (position < 0 || position >= m_model.rowCount())
        return {};
    return m_model.lines().at(position);
}

QStringList EntryList::items() const
{
    return m_model.lines().lines();
}

int EntryList::currentRow() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void EntryList::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model.rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model.index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

int EntryList::textMargin() const
{
    // Qt's item views inset an item's text by the focus frame's margin and
    // one pixel more, at both ends.
    return style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
}

int EntryList::textInset() const
{
    return frameWidth() + textMargin();
}

int EntryList::textRoomBesideScrollBar() const
{
    // The scroll area gives its bar the bar's size hint; some styles draw
    // the frame around the viewport alone and leave a gap before the bar.
    int viewport = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
    if (style()->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents, nullptr, this))
        viewport -= style()->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, this);
    return viewport - 2 * textMargin();
}

void EntryList::focusInEvent(QFocusEvent* event)
{
    ListBoxView<QListView>::focusInEvent(event);
    emit gotFocus();
}

void EntryList::mouseDoubleClickEvent(QMouseEvent* event)
{
    ListBoxView<QListView>::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit entryDoubleClicked();
}

} // namespace callvista
