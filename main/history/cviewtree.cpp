#include "main/history/cviewtree.h"

#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

CViewTree::CViewTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void CViewTree::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit evaluateKey();
        break;
    case Qt::Key_Delete:
        emit deleteKey();
        break;
    case Qt::Key_C:
        if (control) {
            // The view's own copy would put only the current item there.
            emit copyKey();
            return;
        }
        break;
    default:
        // Typing jumps to a matching item; it starts a fresh selection.
        if (!control && !event->text().isEmpty() && event->text().at(0).unicode() > 31)
            clearSelection();
        break;
    }
    QTreeWidget::keyPressEvent(event);
}

void CViewTree::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions);
    const QList<QTreeWidgetItem*> items = selectedItems();
    if (items.isEmpty())
        return;
    // The image shows the first selected line; nothing is carried: letting
    // go anywhere copies the selection to the clipboard.
    const QString label = items.first()->text(0) + (items.size() > 1 ? QStringLiteral(" ...") : QString());
    const QFontMetrics metrics(font());
    QPixmap image(qMin(metrics.horizontalAdvance(label) + 8, 400), metrics.height() + 4);
    image.fill(palette().color(QPalette::Highlight));
    QPainter painter(&image);
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.drawText(image.rect().adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, label);
    painter.end();
    auto* drag = new QDrag(this);
    drag->setMimeData(new QMimeData);
    drag->setPixmap(image);
    drag->exec(Qt::CopyAction);
    emit dragReleased();
}
