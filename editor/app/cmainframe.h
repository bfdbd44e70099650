#pragma once

#include "editor/app/creplacedlg.h"
#include "editor/app/ctabmdiframewnd.h"

#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QToolBar;
class CCellToolBar;
class CChildFrame;
class CEditorSettings;
class CFileWatcher;
class CMarlinoteApp;
class CMarlinoteView;
class CReplaceDlg;

// The editor's main window: tabs, menus, the main and cell tool bars, the
// status bar, the commands that act on all documents, and the closing that
// remembers the open files.
class CMainFrame : public CTabMDIFrameWnd {
    Q_OBJECT
public:
    // Command identifiers of the menus and tool bars.
    enum Command {
        ID_FILE_NEW = 57600,
        ID_FILE_OPEN = 57601,
        ID_FILE_CLOSE = 57602,
        ID_FILE_SAVE = 57603,
        ID_FILE_SAVE_AS = 57604,
        ID_APP_ABOUT = 57664,
        ID_APP_EXIT = 57665,
        ID_EDIT_CLEAR = 57632,
        ID_EDIT_COPY = 57634,
        ID_EDIT_CUT = 57635,
        ID_EDIT_PASTE = 57637,
        ID_EDIT_SELECT_ALL = 57642,
        ID_EDIT_UNDO = 57643,
        ID_EDIT_REDO = 57644,
        ID_EDIT_REPLACE = 57641,
        ID_FIND_NEXT = 32843,
        ID_FIND_PREVIOUS = 32844,
        ID_NEW_FUNCTION = 32829,
        ID_NEW_BLANK = 32833,
        ID_CLOSE_ALL = 32826,
        ID_CLOSE_ALL_BUT_THIS = 32823,
        ID_SAVE_ALL = 32825,
        ID_TAB_TOP = 32835,
        ID_TAB_RIGHT = 32836,
        ID_TAB_LEFT = 32837,
        ID_TAB_BOTTOM = 32838,
        ID_CELL_MODE = 32879,
        ID_CLEAR_ALL_BREAKPOINTS = 32797,
        ID_LINE_NUMBERS = 32771,
        ID_STYLE_FORE = 32773,
        ID_STYLE_BACK = 32775,
        ID_STYLE_FONT = 32777,
        ID_SELECTION_MARGIN = 32779,
        ID_FOLDING_MARGIN = 32780,
        ID_BREAKPOINT = 32781,
        ID_GOTO_POSITION = 32785,
        ID_GOTO_LINE = 32786,
        ID_RUN = 32792,
        ID_COMMENT = 32798,
        ID_UNCOMMENT = 32799,
        ID_AUTOCOMPLETE = 32803,
        ID_SHOW_ALL_CHARACTERS = 32806,
        ID_DEBUG_STEP = 32815,
        ID_DEBUG_STEP_IN = 32816,
        ID_DEBUG_STEP_OUT = 32817,
        ID_DEBUG_STOP = 32819,
        ID_INDENT = 32855,
        ID_UNINDENT = 32856,
        ID_ZOOM_IN = 32857,
        ID_ZOOM_OUT = 32858,
        ID_EVALUATE_SELECTION = 32876,
        ID_EVALUATE_CELL = 32880,
        ID_EVALUATE_CELL_ADVANCE = 32881,
        ID_INSERT_CELL_BREAK = 32883,
        ID_INSERT_CELL_BREAKS_AROUND = 32884,
        ID_NEXT_CELL = 32885,
        ID_PREVIOUS_CELL = 32886,
        ID_INCREMENT = 32892,
        ID_DECREMENT = 32893,
        ID_DIVIDE = 32894,
        ID_MULTIPLY = 32895,
        ID_DESCRIBE = 32903,
        ID_DOCUMENTATION = 32906,
    };

    explicit CMainFrame(CMarlinoteApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The action of a command, null for an unknown id.
    QAction* Action(int command) const { return m_actions.value(command); }

    // Opens path as a document, or activates it when it is already open.
    // Null (after telling the user) when it cannot be read.
    CChildFrame* OpenDocumentFile(const QString& path);
    // A new empty document titled "Untitled".
    CChildFrame* NewDocument();
    // Blank M-File: a new empty document titled "Untitled" + the next number.
    CChildFrame* OnNewBlankFile();
    void OnNewFunction();
    CChildFrame* FindDocument(const QString& path, Qt::CaseSensitivity cs = Qt::CaseSensitive) const;
    CMarlinoteView* ActiveView() const;

    // Closes one document; ask offers to save its changes first. False when
    // the user cancelled or the save failed (the document stays open).
    bool CloseDocument(CChildFrame* child, bool ask = true);
    // Close All and Close All But This; false when the user cancelled.
    bool OnCloseAll();
    bool OnCloseAllButThis();
    void OnSaveAll();
    // Saves a document, asking for a path when it has none.
    bool SaveDocument(CChildFrame* child);
    bool SaveDocumentAs(CChildFrame* child);

    void SetTabOrientation(int command);
    int TabOrientation() const { return m_orientation; }
    void SetCellMode(bool on);
    bool IsCellMode() const;
    void OnClearAllBreakpoints();
    // The interpreter entered or left the debugger: Run / Continue and the
    // debug commands follow.
    void OnDebugModeChanged() { UpdateCommandStates(); }

    // Find and replace.
    CReplaceDlg* OnFindReplace();
    CReplaceDlg* ReplaceDialog() const { return m_replaceDlg; }
    void OnFindNext();
    void OnFindPrevious();

    // Writes the user list file (open files, positions, focus, keywords).
    // Entries that cannot be stored are listed in *skipped.
    bool WriteUserFiles(QStringList* skipped = nullptr);
    // Path of the document whose view last had the focus.
    const QString& LastFocusedPath() const { return m_lastFocusPath; }

    // Comes to the front (a hand-over from another process).
    void BringToFront();
    void ApplySettingsToViews();
    void UpdateRecentFilesMenu();

    // Offers to reload documents changed by other programs.
    CFileWatcher& FileWatcher() const { return *m_fileWatcher; }
    CCellToolBar* CellToolBar() const { return m_cellBar; }
    QToolBar* MainToolBar() const { return m_mainBar; }
    QLabel* PositionPane() const { return m_positionPane; }
    QLabel* StylePane() const { return m_stylePane; }
    QLabel* FilePane() const { return m_filePane; }

    // Questions and errors go through these, so that they can be answered
    // without a person (tests, closing on a termination signal).
    using SaveQuestion = std::function<QMessageBox::StandardButton(CChildFrame*)>;
    void SetSaveQuestion(SaveQuestion question) { m_saveQuestion = std::move(question); }
    using ErrorReporter = std::function<void(const QString&)>;
    void SetErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }
    using SavePathQuestion = std::function<QString(CChildFrame*)>;
    void SetSavePathQuestion(SavePathQuestion question) { m_savePathQuestion = std::move(question); }

signals:
    // The frame closed for good (after its lists were written).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void OnTabContextMenu(int index, const QPoint& globalPos) override;
    void OnTabCloseRequested(int index) override;

private:
    QAction* AddCommand(int id, const QString& text, const QKeySequence& shortcut = QKeySequence(),
                        const QIcon& icon = QIcon());
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    CChildFrame* CreateChild();
    void AttachView(CChildFrame* child);
    void OnActiveChildChanged(CChildFrame* child);
    // Clears the breakpoints of a file that is being closed from the
    // interpreter, then destroys its window.
    void DestroyChildAndItsBreakpoints(CChildFrame* child);
    void UpdateStatus(CMarlinoteView* view);
    void UpdateCommandStates();
    void OnViewSettingsChanged(CMarlinoteView* source, const CEditorSettings& settings);
    // Asks to save every changed document; false when the user cancelled.
    bool SaveModifiedBeforeClosing(const QList<CChildFrame*>& children);
    void RunOnView(void (CMarlinoteView::*command)());
    QString SelectionForFind(CMarlinoteView* view) const;
    void ReportError(const QString& text);

    CMarlinoteApp& m_app;
    QHash<int, QAction*> m_actions;
    QActionGroup* m_orientationGroup = nullptr;
    QToolBar* m_mainBar = nullptr;
    CCellToolBar* m_cellBar = nullptr;
    QLabel* m_stylePane = nullptr;
    QLabel* m_positionPane = nullptr;
    QLabel* m_filePane = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_tabMenu = nullptr;
    QPointer<CChildFrame> m_rightClickedChild;
    QPointer<CReplaceDlg> m_replaceDlg;
    int m_orientation = ID_TAB_TOP;
    QString m_lastFocusPath;
    SaveQuestion m_saveQuestion;
    ErrorReporter m_reportError;
    SavePathQuestion m_savePathQuestion;
    CFileWatcher* m_fileWatcher = nullptr;
};
