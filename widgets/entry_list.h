#pragma once

#include "widgets/entry_model.h"
#include "widgets/list_box_view.h"

#include <QListView>
#include <QStringList>

namespace callvista {

// The entry list of the main window: a list that keeps itself sorted, with one
// selected entry at most, never more than MaxEntries. The current row is the
// selected one, -1 when nothing is selected.
class EntryList : public ListBoxView<QListView>
{
    Q_OBJECT

public:
    explicit EntryList(QWidget* parent = nullptr);

    // Adds a line at its sorted place. Returns false, adding nothing, when
    // the list already holds MaxEntries lines.
    bool addItem(const QString& line);
    // Replaces the content by these lines (at most MaxEntries).
    void setItems(const QStringList& lines);
    // Replaces the content by lines put in order beforehand.
    void setItems(SortedLines&& lines);
    // Removing the selected line leaves no line selected.
    void removeItem(int position);
    void clear();

    [[nodiscard]] int count() const;
    [[nodiscard]] QString itemText(int position) const;
    [[nodiscard]] QStringList items() const;
    // The lines where the list keeps them, for scans that copy nothing.
    [[nodiscard]] const SortedLines& lines() const { return m_model.lines(); }
    [[nodiscard]] int currentRow() const;
    // Selects the entry and scrolls it into view; -1 clears the selection.
    void setCurrentRow(int row);

    // From the list's left edge to where the text of its lines starts.
    [[nodiscard]] int textInset() const;
    // The width a line's text has in the viewport beside the vertical scroll
    // bar, whether or not the bar shows now.
    [[nodiscard]] int textRoomBesideScrollBar() const;

signals:
    void gotFocus();
    // A double click on an entry; one on the empty area below the entries
    // raises nothing.
    void entryDoubleClicked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The style's gap at either end of an item's text.
    [[nodiscard]] int textMargin() const;

    EntryModel m_model;
};

} // namespace callvista
