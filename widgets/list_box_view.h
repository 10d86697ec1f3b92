#pragma once

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace callvista {

// A list view that keeps the keyboard the way a list box does: the caret and
// the selection are one. Every key that moves lands on a row and selects it;
// with nothing selected, Down, Home and Page Down select the first row and
// Up, End and Page Up the last. A row that is not selected is never drawn as
// the current one. Ctrl never takes the selection away: the row shown as
// selected is always the one the commands act on.
template <typename View>
class ListBoxView : public View
{
public:
    using View::View;

protected:
    using CursorAction = QAbstractItemView::CursorAction;

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        if (hasSelectedCurrent())
            return View::moveCursor(action, modifiers);
        const int rows = this->model() ? this->model()->rowCount(this->rootIndex()) : 0;
        if (rows == 0)
            return {};
        const bool toLast = action == QAbstractItemView::MoveUp
                            || action == QAbstractItemView::MoveEnd
                            || action == QAbstractItemView::MovePageUp;
        return this->model()->index(toLast ? rows - 1 : 0, this->modelColumn(), this->rootIndex());
    }

    // A Ctrl+click or Ctrl+Space on the selected row would deselect it,
    // while the caret stays there; a list box keeps its one selection.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override
    {
        const QItemSelectionModel::SelectionFlags command = View::selectionCommand(index, event);
        if (command & QItemSelectionModel::Deselect)
            return QItemSelectionModel::NoUpdate;
        return command;
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        View::keyPressEvent(event);
        // A move that stays where the caret stood (Down on the last row)
        // still selects that row.
        const QModelIndex current = this->currentIndex();
        if (isMove(event->key()) && current.isValid() && !hasSelectedCurrent())
            this->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    }

    void focusInEvent(QFocusEvent* event) override
    {
        View::focusInEvent(event);
        // The view makes the first row current when it gets the focus; a
        // list box only shows its caret on the selected row.
        if (!hasSelectedCurrent() && this->selectionModel())
            this->selectionModel()->clearCurrentIndex();
    }

private:
    [[nodiscard]] static bool isMove(int key)
    {
        switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
        }
    }

    [[nodiscard]] bool hasSelectedCurrent() const
    {
        const QModelIndex current = this->currentIndex();
        return current.isValid() && this->selectionModel()
               && this->selectionModel()->isSelected(current);
    }
};

} // namespace callvista
