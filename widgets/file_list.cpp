#include "widgets/file_list.h"

#include "core/folder_listing.h"

namespace callvista {

FileList::FileList(QWidget* parent)
    : ListBoxView<QListWidget>(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!fileName().isEmpty())
            emit fileClicked(fileName());
    });
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit fileClicked(item->text()); });
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit fileDoubleClicked(item->text()); });
}

void FileList::setPath(const QString& folder)
{
    m_path = folder;
    refresh();
}

void FileList::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    refresh();
}

QString FileList::fileName() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void FileList::refresh()
{
    clear();
    if (!m_path.isEmpty())
        addItems(matchingFiles(m_path, m_pattern));
}

} // namespace callvista
