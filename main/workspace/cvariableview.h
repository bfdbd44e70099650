#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "main/session/cinfovariable.h"

class CListCtrlEx;
class CProfile;
class CSessionEvents;
class CVariablesModel;
class ISessionCommands;
class IWorkspaceDialogs;
class QAction;
class QMenu;
class QToolBar;

// The "Workspace" pane: a toolbar over the list of the interpreter's
// variables. Every user action becomes statements queued on the session;
// the list is refilled from the session's workspace answers and is enabled
// only while the interpreter is connected. The column layout is kept in the
// profile under "VariablesList".
class CVariableView : public QWidget {
    Q_OBJECT
public:
    enum Command { Load, View, SaveAs, Delete, Duplicate, Rename, SelectAll, Refresh, PlotFirst = 100 };

    CVariableView(ISessionCommands& commands, CSessionEvents& events, const CProfile& profile,
                  QWidget* parent = nullptr);
    ~CVariableView() override;

    // Replaces the desktop dialogs (tests answer them); null restores them.
    void SetDialogs(IWorkspaceDialogs* dialogs);

    CListCtrlEx* List() const { return m_list; }
    CVariablesModel* Model() const { return m_model; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QAction* CommandAction(Command command) const;

    // Names of the selected rows, top to bottom.
    std::vector<std::string> SelectedNames() const;
    std::vector<CInfoVariable> SelectedVariables() const;
    // The list's row of that name; null when there is none.
    const CInfoVariable* Find(const std::string& name) const;

    // The context menu for the current selection; the caller runs the chosen
    // action with RunMenuAction after the menu closed.
    QMenu* CreateContextMenu(QWidget* parent);
    void RunMenuAction(QAction* chosen);

public slots:
    void LoadFile();
    void ViewVariable();
    void SaveVariablesAs();
    // Selects every row, gives the list the focus and saves them.
    void SaveWorkspaceAs();
    void DeleteVariables();
    void DuplicateVariables();
    void RenameVariable();
    void SelectAllVariables();
    void RefreshList();
    void PlotVariables(const QString& function);

signals:
    // View of a numeric matrix: open it in the variable editor and show it.
    void viewInEditorRequested(const QString& name);
    // "load ..." was typed: the frame shows this pane.
    void showRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void CreateToolBar();
    void Refill(const std::vector<CInfoVariable>& variables);
    void UpdateCommands();
    void SelectCurrentRow();
    void ShowContextMenu(const QPoint& at);
    void RunCommand(int command);
    void Queue(const std::string& statement, bool echo = false);
    void Tell(const std::string& message);
    // Asks before statements overwrite variables the list shows; true when
    // none is taken or the user agrees.
    bool MayReplace(const std::vector<std::string>& targets);

    ISessionCommands& m_commands;
    std::unique_ptr<IWorkspaceDialogs> m_ownDialogs;
    IWorkspaceDialogs* m_dialogs;
    QToolBar* m_toolBar;
    CListCtrlEx* m_list;
    CVariablesModel* m_model;
    std::vector<QAction*> m_actions;
};
