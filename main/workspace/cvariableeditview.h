#pragma once

#include <QWidget>

#include <string>
#include <vector>

class CGridCtrl;
class CSessionEvents;
class CVariableView;
class ISessionCommands;
class QAction;
class QComboBox;
class QToolBar;

// The "Variable Editor" pane: one page of a numeric variable of at most
// three dimensions as a grid. The interpreter writes the page into a file in
// the session's answer folder with csvwrite; the grid is filled from that
// file when the statement's answer is complete. Cell edits and the row and
// column commands are sent as assignments; the next workspace refresh
// reloads the page. Names are looked up in the workspace pane's list.
class CVariableEditView : public QWidget {
    Q_OBJECT
public:
    enum Command { Copy, Cut, Paste, AddLeft, AddRight, DeleteColumn, AddAbove, AddBelow, DeleteRow };

    CVariableEditView(ISessionCommands& commands, CSessionEvents& events, CVariableView& workspace,
                      QWidget* parent = nullptr);

    CGridCtrl* Grid() const { return m_grid; }
    QComboBox* PageSelector() const { return m_pages; }
    QAction* CommandAction(Command command) const { return m_actions[std::size_t(command)]; }
    const std::string& VariableName() const { return m_name; }
    // Zero-based.
    int Page() const { return m_page; }
    // Completed page loads, for callers that wait for one.
    int LoadCount() const { return m_loads; }

    // Shows the variable from page 1 when the list knows it as a numeric
    // variable of at most three dimensions; false otherwise. show: also show
    // the pane once it is loaded.
    bool Open(const std::string& name, bool show = true);
    // Asks for the page the selector names again (nothing when no variable
    // is shown).
    void Reload();
    void RunCommand(Command command);

signals:
    void titleChanged(const QString& title);
    // The pane wants to be shown (true) or hidden (false).
    void visibilityRequested(bool visible);

protected:
    bool event(QEvent* event) override;

private:
    bool IsSeen() const;
    void PaneVisibilityChanged(bool visible);
    void CreateToolBar();
    void RequestPage();
    void LoadPage(int generation);
    void ShowNothing();
    void SetTitle(const QString& title);
    void SetPaneVisible(bool visible);
    void UpdateCommands();
    bool EditCell(int row, int column, const QString& text);
    bool DropText(const QString& text);
    void ShapeCommand(Command command);

    ISessionCommands& m_commands;
    CVariableView& m_workspace;
    QToolBar* m_toolBar;
    QComboBox* m_pages;
    CGridCtrl* m_grid;
    std::vector<QAction*> m_actions;

    std::string m_name;
    int m_page = 0;
    int m_rows = 0;
    int m_columns = 0;
    int m_generation = 0;
    int m_loads = 0;
    bool m_showOnLoad = false;
    bool m_focusOnLoad = false;
    // A reload was asked for while the pane could not be seen.
    bool m_reloadMissed = false;
};
