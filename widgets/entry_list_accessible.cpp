#include "widgets/entry_list_accessible.h"

#include "core/entry_line.h"
#include "core/shown_entry.h"
#include "widgets/entry_list.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace callvista {

namespace {

constexpr int ColumnCount = 3;

QAccessibleInterface* listInterface(EntryList* list)
{
    return list ? QAccessible::queryAccessibleInterface(list) : nullptr;
}

QWindow* windowOf(const EntryList* list)
{
    return list && list->window() ? list->window()->windowHandle() : nullptr;
}

// A part of the list that has no children and no widget of its own: a
// column's caption or one line.
class ListPart : public QAccessibleInterface
{
public:
    explicit ListPart(EntryList* list)
        : m_list(list)
    {
    }

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return windowOf(m_list); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return listInterface(m_list); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    QPointer<EntryList> m_list;
};

// The caption of one column, as the header shows it.
class ColumnHeader : public ListPart
{
public:
    ColumnHeader(EntryList* list, int column)
        : ListPart(list)
        , m_column(column)
    {
    }

    bool isValid() const override { return !m_list.isNull(); }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? columnCaptions().value(m_column) : QString();
    }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override { return {}; }

private:
    int m_column;
};

class EntryListAccessible;

// One entry line: an item of the list that spans all three columns.
class EntryLineAccessible : public ListPart, public QAccessibleTableCellInterface
{
public:
    EntryLineAccessible(EntryList* list, int row)
        : ListPart(list)
        , m_row(row)
    {
    }

    bool isValid() const override { return m_list && m_row < m_list->count(); }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return {};
        return spokenEntry(m_list->itemText(m_row));
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect inView = m_list->visualRect(m_list->model()->index(m_row, 0));
        const QPoint origin = m_list->viewport()->mapToGlobal(QPoint(0, 0));
        return inView.translated(origin);
    }

    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.selectable = true;
        state.focusable = true;
        state.selected = m_list->currentRow() == m_row;
        state.focused =
            state.selected && m_list->hasFocus() && m_list->currentIndex().row() == m_row;
        const QRect inView = m_list->visualRect(m_list->model()->index(m_row, 0));
        if (!m_list->viewport()->rect().intersects(inView)) {
            state.invisible = true;
            state.offscreen = true;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override { return isValid() && m_list->currentRow() == m_row; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return ColumnCount; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return listInterface(m_list); }

    [[nodiscard]] int row() const { return m_row; }
    [[nodiscard]] const EntryList* list() const { return m_list; }

private:
    int m_row;
};

// The list: its name is the widget's accessible name ("Entries"); its items
// are the lines, child i being line i, as the view's own focus and
// selection events count them.
class EntryListAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit EntryListAccessible(EntryList* list)
        : QAccessibleWidget(list, QAccessible::List)
    {
    }

    ~EntryListAccessible() override
    {
        forgetLines();
        for (const QAccessible::Id id : std::as_const(m_headers))
            QAccessible::deleteAccessibleInterface(id);
    }

    [[nodiscard]] EntryList* list() const { return static_cast<EntryList*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return list()->count(); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        const auto known = m_lines.constFind(index);
        if (known != m_lines.constEnd())
            return QAccessible::accessibleInterface(*known);
        auto* line = new EntryLineAccessible(list(), index);
        m_lines.insert(index, QAccessible::registerAccessibleInterface(line));
        return line;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* line = dynamic_cast<const EntryLineAccessible*>(child);
        return line && line->list() == list() ? line->row() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint inView = list()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = list()->indexAt(inView);
        return index.isValid() ? child(index.row()) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        const int row = list()->currentRow();
        return list()->hasFocus() && row >= 0 ? child(row) : nullptr;
    }

    QAccessibleInterface* header(int column) const
    {
        if (column < 0 || column >= ColumnCount)
            return nullptr;
        const auto known = m_headers.constFind(column);
        if (known != m_headers.constEnd())
            return QAccessible::accessibleInterface(*known);
        auto* header = new ColumnHeader(list(), column);
        m_headers.insert(column, QAccessible::registerAccessibleInterface(header));
        return header;
    }

    // QAccessibleTableInterface: as many rows as lines, three columns, each
    // line one cell across them.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        return column >= 0 && column < ColumnCount ? child(row) : nullptr;
    }
    int selectedCellCount() const override { return list()->currentRow() >= 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        const int row = list()->currentRow();
        if (row < 0)
            return {};
        return {child(row)};
    }
    QString columnDescription(int column) const override { return columnCaptions().value(column); }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return selectedCellCount(); }
    int columnCount() const override { return ColumnCount; }
    int rowCount() const override { return list()->count(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override
    {
        const int row = list()->currentRow();
        if (row < 0)
            return {};
        return {row};
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return list()->currentRow() == row; }
    bool selectRow(int row) override
    {
        if (row < 0 || row >= rowCount())
            return false;
        list()->setCurrentRow(row);
        return true;
    }
    bool selectColumn(int) override { return false; }
    // A list box gives up its selection only to another line.
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    void modelChange(QAccessibleTableModelChangeEvent*) override
    {
        // Lines move with every insertion and removal; items are made
        // afresh for the lines as they now stand.
        forgetLines();
    }

private:
    void forgetLines()
    {
        for (const QAccessible::Id id : std::as_const(m_lines))
            QAccessible::deleteAccessibleInterface(id);
        m_lines.clear();
    }

    mutable QHash<int, QAccessible::Id> m_lines;
    mutable QHash<int, QAccessible::Id> m_headers;
};

QList<QAccessibleInterface*> EntryLineAccessible::columnHeaderCells() const
{
    QList<QAccessibleInterface*> headers;
    const auto* table = dynamic_cast<EntryListAccessible*>(listInterface(m_list));
    if (!table)
        return headers;
    for (int column = 0; column < ColumnCount; ++column)
        headers.append(table->header(column));
    return headers;
}

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(EntryList::staticMetaObject.className())
        && object->isWidgetType())
        return new EntryListAccessible(static_cast<EntryList*>(object));
    return nullptr;
}

} // namespace

void installEntryListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace callvista
