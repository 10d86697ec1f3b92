#pragma once

#include "app/list_box_view.h"
#include "core/sorted_lines.h"

#include <QAbstractListModel>
#include <QListView>
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
    void removeLine(int row);
    void clearLines();
    [[nodiscard]] const QString& line(int row) const { return m_lines.at(row); }
    [[nodiscard]] QStringList lines() const { return m_lines.lines(); }

private:
    SortedLines m_lines;
};

// The entry list of the main window: a list that keeps itself sorted, with one
// selected entry at most. Positions and the count are 16-bit; the selection
// index is -1 when nothing is selected.
class AdrList : public ListBoxView<QListView>
{
    Q_OBJECT

public:
    explicit AdrList(QWidget* parent = nullptr);

    // Adds a line at its sorted place. Returns false, adding nothing, when
    // the list already holds MaxEntries lines.
    bool addItem(const QString& line);
    // Replaces the content by these lines (at most MaxEntries).
    void setItems(const QStringList& lines);
    // Removing the selected line leaves no line selected.
    void removeItem(int position);
    void clear();

    [[nodiscard]] qint16 listCount() const;
    [[nodiscard]] bool isFull() const;
    [[nodiscard]] QString itemText(int position) const;
    [[nodiscard]] QStringList items() const;
    [[nodiscard]] qint16 listIndex() const;
    // Selects the entry and scrolls it into view; -1 clears the selection.
    void setListIndex(int position);

signals:
    void gotFocus();
    // A double click on an entry; one on the empty area below the entries
    // raises nothing.
    void listDoubleClicked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    EntryModel m_model;
};

} // namespace callvista
