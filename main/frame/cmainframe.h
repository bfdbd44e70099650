#pragma once

#include <QMainWindow>
#include <QMap>

class QAction;
class QActionGroup;
class QComboBox;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;
class QWidgetAction;
class CStatusPane;

// The main window: menu bar, the "Standard" toolbar with its two combo boxes,
// the status bar and the eight docking panes around the command window.
// Commands are actions addressed by their command identifier; whoever handles
// a command connects to Action(id).
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(bool embeddedEditor, QWidget* parent = nullptr);
    ~CMainFrame() override;

    static QString TitleText() { return QStringLiteral(" - Kestrune"); }

    // The command window (the frame's single view).
    void SetView(QWidget* view);
    QWidget* View() const { return m_view; }

    QAction* Action(int commandId) const { return m_actions.value(commandId); }
    QDockWidget* Pane(int paneId) const { return m_panes.value(paneId); }
    QList<QDockWidget*> Panes() const { return m_panes.values(); }
    bool HasEditorPane() const { return m_panes.contains(354); }
    // Puts a pane's real content in place of the empty one.
    void SetPaneWidget(int paneId, QWidget* widget);
    // Shows a pane at once and, with focus, gives it the keyboard; false when
    // there is no such pane.
    bool ShowPane(int paneId, bool focus = true);

    QToolBar* StandardToolBar() const { return m_toolBar; }
    QComboBox* HelpCombo() const { return m_helpCombo; }
    QComboBox* DirectoryCombo() const { return m_directoryCombo; }
    // Rebuilds the toolbar from its default layout; the two combo boxes (the
    // same objects, with their lists) go back in place of their placeholders.
    void ResetToolBar();
    // The identifiers shown on the toolbar, in order (0 for a separator).
    QList<int> ToolBarLayout() const;
    void SetToolBarLayout(const QList<int>& layout);
    static QList<int> DefaultToolBarLayout();

    // Status bar: pane 0 is the message, 1 connection, 2 mode, 3 profile time,
    // 4 to 6 indicators.
    CStatusPane* StatusPane(int index) const;
    void SetStatusMessage(const QString& text);
    QString StatusMessage() const;

    // Application looks 210 to 218 stand for the visual styles.
    void ApplyLook(int lookId, bool store = true);
    int CurrentLook() const { return m_look; }
    static QString LookName(int lookId);

    void OpenCustomizeDialog();
    // Puts the window and its panes where the last session left them, or,
    // the first time, gives the panes their first sizes; call once the
    // window is shown.
    void ApplyLayout();

protected:
    void closeEvent(QCloseEvent* event) override;

signals:
    // The close check: handlers set *allow to false to keep the window open.
    void closeRequested(bool* allow);

private:
    QAction* AddAction(int id, const QString& text, const QKeySequence& key = QKeySequence(),
                       const QString& tip = QString());
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreatePanes(bool embeddedEditor);
    QDockWidget* CreatePane(int id, const QString& caption, Qt::DockWidgetArea area);
    void UpdateCopyEnabled();
    void SaveLayout();
    // The control of a pane's content that takes its keys.
    static QWidget* KeyTarget(QWidget* content);

    QWidget* m_view = nullptr;
    QMap<int, QAction*> m_actions;
    QMap<int, QDockWidget*> m_panes;
    QToolBar* m_toolBar = nullptr;
    QComboBox* m_helpCombo = nullptr;
    QComboBox* m_directoryCombo = nullptr;
    QWidgetAction* m_helpComboAction = nullptr;
    QWidgetAction* m_directoryComboAction = nullptr;
    QActionGroup* m_lookGroup = nullptr;
    QLabel* m_message = nullptr;
    QList<CStatusPane*> m_statusPanes;
    int m_look = 214;
};
