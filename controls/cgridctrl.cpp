#include "controls/cgridctrl.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>

#include <climits>

CGridCtrl::CGridCtrl(QWidget* parent) : QTableView(parent), m_model(new CGridModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setDefaultSectionSize(70);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setMinimumWidth(30);
    // Fixed row heights keep scrolling through a million cells instant.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setWordWrap(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DropOnly);
}

bool CGridCtrl::SelectedRange(int& row1, int& column1, int& row2, int& column2)
{
    if (m_model->rowCount() == 0 || m_model->columnCount() == 0)
        return false;
    QItemSelectionModel* selection = selectionModel();
    // Ranges, not indexes: a whole selected 1000x1000 page is one range.
    QItemSelection ranges = selection->selection();
    if (ranges.isEmpty()) {
        const QModelIndex focus = currentIndex();
        if (!focus.isValid())
            return false;
        selection->select(focus, QItemSelectionModel::ClearAndSelect);
        ranges.select(focus, focus);
    }
    row1 = column1 = INT_MAX;
    row2 = column2 = -1;
    for (const QItemSelectionRange& range : ranges) {
        row1 = qMin(row1, range.top());
        row2 = qMax(row2, range.bottom());
        column1 = qMin(column1, range.left());
        column2 = qMax(column2, range.right());
    }
    return true;
}

void CGridCtrl::FocusCell(int row, int column)
{
    const QModelIndex cell = m_model->index(row, column);
    if (!cell.isValid())
        return;
    selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    scrollTo(cell);
}

void CGridCtrl::Copy()
{
    int r1, c1, r2, c2;
    if (!SelectedRange(r1, c1, r2, c2))
        return;
    QString text;
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            if (c > c1)
                text += QLatin1Char('\t');
            text += m_model->CellText(r, c);
        }
        text += QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(text);
}

void CGridCtrl::Cut()
{
    int r1, c1, r2, c2;
    if (!SelectedRange(r1, c1, r2, c2))
        return;
    Copy();
    // As if each cell had been emptied by hand: the owner hears of it.
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            m_model->setData(m_model->index(r, c), QString(), Qt::EditRole);
}

void CGridCtrl::Paste()
{
    int r1, c1, r2, c2;
    if (!SelectedRange(r1, c1, r2, c2))
        return;
    QString text = QApplication::clipboard()->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    // Each pasted cell is an edit of that cell, so the owner can take it.
    for (int i = 0; i < lines.size() && r1 + i < m_model->rowCount(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('\t'));
        for (int j = 0; j < cells.size() && c1 + j < m_model->columnCount(); ++j)
            m_model->setData(m_model->index(r1 + i, c1 + j), cells[j], Qt::EditRole);
    }
}

bool CGridCtrl::event(QEvent* event)
{
    // The clipboard keys act on the cells, also those (Ctrl+Insert,
    // Shift+Insert) a window's menu may have taken as its own shortcuts.
    if (event->type() == QEvent::ShortcutOverride && state() != QAbstractItemView::EditingState) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste)) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Copy)) {
            Copy();
            return;
        }
        if (event->matches(QKeySequence::Cut)) {
            Cut();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            Paste();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void CGridCtrl::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_dropHandler && event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CGridCtrl::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_dropHandler && event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CGridCtrl::dropEvent(QDropEvent* event)
{
    // Only a text that was taken is reported: a move drop would otherwise
    // make the source delete what it offered.
    if (m_dropHandler && event->mimeData()->hasText() && m_dropHandler(event->mimeData()->text())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}
