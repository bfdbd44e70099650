#include "main/files/cfilesexplorer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QSet>

CFilesExplorer::CFilesExplorer(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("FilesList"));
    setColumnCount(4);
    setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Date modified"),
                     QStringLiteral("Type")});
    const int widths[] = {100, 60, 120, 120};
    for (int column = 0; column < 4; ++column)
        setColumnWidth(column, widths[column]);
    headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
}

bool CFilesExplorer::IsParentRow(const QTreeWidgetItem* item)
{
    return item && item->text(0) == QStringLiteral("..") && item->text(1).isEmpty();
}

bool CFilesExplorer::Show(const std::vector<CFileEntry>& entries)
{
    if (entries == m_shown)
        return false;
    QSet<QString> selected;
    for (const Row& row : SelectedRows(true))
        selected.insert(row.name);
    const QString current = currentItem() ? currentItem()->text(0) : QString();
    setUpdatesEnabled(false);
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(int(entries.size()));
    for (const CFileEntry& entry : entries) {
        auto* item = new QTreeWidgetItem({entry.name, entry.sizeText, entry.dateText, entry.typeText});
        item->setIcon(0, CFileListing::Icon(entry));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    addTopLevelItems(items);
    for (QTreeWidgetItem* item : items) {
        if (selected.contains(item->text(0)))
            item->setSelected(true);
        if (item->text(0) == current)
            setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    }
    m_shown = entries;
    setUpdatesEnabled(true);
    return true;
}

std::vector<CFilesExplorer::Row> CFilesExplorer::SelectedRows(bool withParent) const
{
    std::vector<Row> rows;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = topLevelItem(i);
        if (!item->isSelected() || (!withParent && IsParentRow(item)))
            continue;
        rows.push_back({item->text(0), item->text(1).isEmpty()});
    }
    return rows;
}

QString CFilesExplorer::PathOf(const QString& name) const
{
    return m_folder.endsWith(QLatin1Char('/')) ? m_folder + name : m_folder + QLatin1Char('/') + name;
}

QList<QUrl> CFilesExplorer::SelectedUrls() const
{
    QList<QUrl> urls;
    for (const Row& row : SelectedRows())
        urls << QUrl::fromLocalFile(PathOf(row.name));
    return urls;
}

void CFilesExplorer::selectAll()
{
    clearSelection();
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (IsParentRow(item))
            continue;
        item->setSelected(true);
        if (!first)
            first = item;
    }
    if (first)
        setCurrentItem(first, 0, QItemSelectionModel::NoUpdate);
}

QStringList CFilesExplorer::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData* CFilesExplorer::mimeData(const QList<QTreeWidgetItem*>& items) const
{
    QList<QUrl> urls;
    for (const QTreeWidgetItem* item : items) {
        if (!IsParentRow(item))
            urls << QUrl::fromLocalFile(PathOf(item->text(0)));
    }
    if (urls.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions CFilesExplorer::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

void CFilesExplorer::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->source() != this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CFilesExplorer::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls() && event->source() != this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CFilesExplorer::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls() || event->source() == this) {
        event->ignore();
        return;
    }
    const bool move = event->dropAction() == Qt::MoveAction;
    event->acceptProposedAction();
    emit filesDropped(event->mimeData()->urls(), move);
}

void CFilesExplorer::keyPressEvent(QKeyEvent* event)
{
    // The list's keys work whenever the list has the focus, also where the
    // window system has not made its window the active one.
    const QKeySequence pressed(event->keyCombination());
    for (QAction* action : actions()) {
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            action->trigger();
            event->accept();
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}
