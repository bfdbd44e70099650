#include "main/history/chistoryview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "controls/cmessagebox.h"
#include "main/history/ccommandhistory.h"
#include "main/history/cviewtree.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"

namespace {
const int kIndexRole = Qt::UserRole;
}  // namespace

CHistoryView::CHistoryView(CCommandHistory& history, ISessionCommands& commands, CSessionEvents& events,
                           QWidget* parent)
    : QWidget(parent), m_history(history), m_commands(commands), m_connected(commands.IsConnected())
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    m_tree = new CViewTree(this);
    // A one-pixel line in the button-shadow colour frames the tree.
    m_tree->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_tree->setLineWidth(1);
    QPalette framed = m_tree->palette();
    framed.setColor(QPalette::WindowText, framed.color(QPalette::Dark));
    m_tree->setPalette(framed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_tree, 1);
    setFocusProxy(m_tree);

    auto action = [this](QStyle::StandardPixmap icon, const QString& menuText, const QString& tip) {
        QAction* made = m_toolBar->addAction(style()->standardIcon(icon), menuText);
        made->setToolTip(tip);
        made->setStatusTip(tip);
        return made;
    };
    m_evaluate = action(QStyle::SP_MediaPlay, QStringLiteral("Evaluate"), QStringLiteral("Evaluate the statement"));
    m_copy = action(QStyle::SP_FileDialogContentsView, QStringLiteral("Copy"), QStringLiteral("Copy the statement"));
    m_delete = action(QStyle::SP_DialogDiscardButton, QStringLiteral("Delete"), QStringLiteral("Delete the statement"));
    m_clear = action(QStyle::SP_TrashIcon, QStringLiteral("Clear Command History"),
                     QStringLiteral("Clear Command Hystory"));
    connect(m_evaluate, &QAction::triggered, this, &CHistoryView::Evaluate);
    connect(m_copy, &QAction::triggered, this, &CHistoryView::Copy);
    connect(m_delete, &QAction::triggered, this, &CHistoryView::Delete);
    connect(m_clear, &QAction::triggered, this, &CHistoryView::clearRequested);

    connect(m_tree, &CViewTree::evaluateKey, this, &CHistoryView::Evaluate);
    connect(m_tree, &CViewTree::copyKey, this, &CHistoryView::Copy);
    connect(m_tree, &CViewTree::deleteKey, this, &CHistoryView::Delete);
    connect(m_tree, &CViewTree::dragReleased, this, &CHistoryView::CopyByDrag);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        m_tree->setCurrentItem(item);
        Evaluate();
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CHistoryView::UpdateCommands);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &CHistoryView::ShowContextMenu);

    connect(&history, &CCommandHistory::added, this, &CHistoryView::Append);
    connect(&history, &CCommandHistory::reset, this, &CHistoryView::Rebuild);
    // The session echoes every statement it runs visibly; the history keeps
    // it unless the command window has just added it.
    connect(&events, &CSessionEvents::historyAdded, &history, [&history](const QString& line) {
        if (!line.contains(QStringLiteral("%-- ")))
            history.AddEchoed(line);
    });
    connect(&events, &CSessionEvents::connectionChanged, this, [this](bool connected) {
        m_connected = connected;
        UpdateCommands();
    });
    Rebuild();
}

void CHistoryView::Append(int index)
{
    const QString entry = m_history.Entries().at(index);
    auto* item = new QTreeWidgetItem(QStringList(entry));
    item->setData(0, kIndexRole, index);
    if (CCommandHistory::IsHeader(entry)) {
        item->setIcon(0, style()->standardIcon(QStyle::SP_FileDialogInfoView));
        m_tree->addTopLevelItem(item);
        item->setExpanded(true);
        m_session = item;
    } else {
        item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
        if (m_session)
            m_session->addChild(item);
        else
            m_tree->addTopLevelItem(item);
    }
    m_tree->scrollToItem(item);
}

void CHistoryView::Rebuild()
{
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    m_session = nullptr;
    for (int i = 0; i < m_history.Size(); ++i)
        Append(i);
    if (m_session)
        m_tree->expandAll();
    m_tree->setUpdatesEnabled(true);
    UpdateCommands();
}

void CHistoryView::UpdateCommands()
{
    const QTreeWidgetItem* current = m_tree->currentItem();
    m_evaluate->setEnabled(m_connected && current && !CCommandHistory::IsHeader(current->text(0)));
}

QList<QTreeWidgetItem*> CHistoryView::SelectedInOrder() const
{
    QList<QTreeWidgetItem*> items;
    for (int r = 0; r < m_tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem* root = m_tree->topLevelItem(r);
        if (root->isSelected())
            items << root;
        for (int c = 0; c < root->childCount(); ++c)
            if (root->child(c)->isSelected())
                items << root->child(c);
    }
    return items;
}

QString CHistoryView::SelectedText() const
{
    QStringList texts;
    for (const QTreeWidgetItem* item : SelectedInOrder())
        texts << item->text(0);
    return texts.join(QStringLiteral("\r\n"));
}

void CHistoryView::Evaluate()
{
    const QList<QTreeWidgetItem*> items = SelectedInOrder();
    for (const QTreeWidgetItem* item : items)
        if (CCommandHistory::IsHeader(item->text(0)))
            return;
    // One echoed request per statement, in order: each is shown and run as
    // if typed, and the history gains each one (not one line of all).
    for (const QTreeWidgetItem* item : items)
        m_commands.QueueCommand(item->text(0).toStdString(), true);
}

void CHistoryView::Copy()
{
    const QString text = SelectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void CHistoryView::Delete()
{
    QList<int> indices;
    for (const QTreeWidgetItem* item : SelectedInOrder())
        indices << item->data(0, kIndexRole).toInt();
    m_history.Remove(indices);
}

void CHistoryView::CopyByDrag()
{
    if (SelectedText().isEmpty())
        return;
    Copy();
    CMessageBox::Show(this, QStringLiteral("The text has been copied to clipboard.\nUse Ctrl+V to paste the text."),
                      QStringLiteral("Kestrune"), QMessageBox::Ok, QMessageBox::Information);
}

void CHistoryView::ShowContextMenu(const QPoint& at)
{
    // A right click on an item makes it the focused one first.
    if (QTreeWidgetItem* item = m_tree->itemAt(at))
        m_tree->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    UpdateCommands();
    QMenu menu(this);
    menu.addAction(m_evaluate);
    menu.addAction(m_copy);
    menu.addAction(m_delete);
    menu.addAction(m_clear);
    menu.exec(m_tree->viewport()->mapToGlobal(at));
}
