#pragma once

#include <QWidget>

class CCommandHistory;
class CSessionEvents;
class CViewTree;
class ISessionCommands;
class QAction;
class QToolBar;
class QTreeWidgetItem;

// The "Command History" pane: the history as a tree (one root per session
// header, its statements below), with Evaluate, Copy, Delete and Clear
// Command History on the toolbar, the context menu and the tree's keys.
// Statements the session echoes are added to the history here.
class CHistoryView : public QWidget {
    Q_OBJECT
public:
    CHistoryView(CCommandHistory& history, ISessionCommands& commands, CSessionEvents& events,
                 QWidget* parent = nullptr);

    CViewTree* Tree() const { return m_tree; }
    QToolBar* ToolBar() const { return m_toolBar; }

    // The selected items' texts in tree order, joined by CR LF.
    QString SelectedText() const;

    void Evaluate();
    void Copy();
    void Delete();

signals:
    // "Clear Command History": the owner asks for confirmation and clears.
    void clearRequested();

private:
    void Rebuild();
    void Append(int index);
    void UpdateCommands();
    void ShowContextMenu(const QPoint& at);
    void CopyByDrag();
    QList<QTreeWidgetItem*> SelectedInOrder() const;

    CCommandHistory& m_history;
    ISessionCommands& m_commands;
    CViewTree* m_tree = nullptr;
    QToolBar* m_toolBar = nullptr;
    QAction* m_evaluate = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_clear = nullptr;
    QTreeWidgetItem* m_session = nullptr;  // the newest header
    bool m_connected = false;
};
