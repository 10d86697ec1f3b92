#pragma once

#include <QString>
#include <QTreeWidget>

class QKeyEvent;

namespace callvista {

// The folder list: the opened folder under its parent folders from the root
// down, and its subfolders below it. A double click or Enter opens the
// highlighted folder; a single click only highlights it, and the opened folder
// stays what path() returns until another one is opened.
class DirList : public QTreeWidget
{
    Q_OBJECT

public:
    explicit DirList(QWidget* parent = nullptr);

    // The opened folder, absolute, with "/" separators.
    [[nodiscard]] QString path() const { return m_path; }
    // Opens the folder and raises pathChanged when it differs from the one
    // open before. A folder that cannot be listed is not opened: the list
    // keeps what it showed and false is returned.
    bool setPath(const QString& folder);

signals:
    void pathChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The lines only show the path; there is nothing to fold, so no branch
    // marks are drawn.
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

private:
    void openItem(QTreeWidgetItem* item);
    void rebuild();

    QString m_path;
};

} // namespace callvista
