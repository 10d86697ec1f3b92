#include "widgets/dir_list.h"

#include "core/folder_listing.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace callvista {

namespace {

constexpr int PathRole = Qt::UserRole;

QString displayName(const QString& folder)
{
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(folder) : name;
}

} // namespace

DirList::DirList(QWidget* parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    // The hidden header is still read out by assistive technology; it names
    // the one column instead of numbering it "1".
    setHeaderLabel(tr("Folders"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIndentation(8);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openItem(item); });
}

bool DirList::setPath(const QString& folder)
{
    const QString absolute = QDir::cleanPath(QDir(folder).absolutePath());
    if (!canListFolder(absolute))
        return false;
    const bool changed = absolute != m_path;
    m_path = absolute;
    rebuild();
    if (changed)
        emit pathChanged(m_path);
    return true;
}

void DirList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter opens the highlighted folder here; it does not reach the
        // dialog's default button.
        openItem(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DirList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

void DirList::openItem(QTreeWidgetItem* item)
{
    if (item)
        setPath(item->data(0, PathRole).toString());
}

void DirList::rebuild()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& folder : folderChain(m_path)) {
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, displayName(folder));
        item->setIcon(0, open);
        item->setData(0, PathRole, folder);
        item->setExpanded(true);
        parentItem = item;
    }
    for (const QString& folder : subfolders(m_path)) {
        auto* item = new QTreeWidgetItem(parentItem);
        item->setText(0, displayName(folder));
        item->setIcon(0, closed);
        item->setData(0, PathRole, folder);
    }
    if (parentItem) {
        parentItem->setExpanded(true);
        setCurrentItem(parentItem);
        scrollToItem(parentItem);
    }
}

} // namespace callvista
