#include "editor/app/cmainframe.h"

#include "editor/app/cbackupworker.h"
#include "editor/app/cfilewatcher.h"

#include "editor/app/ccelltoolbar.h"
#include "editor/app/cchildframe.h"
#include "editor/core/cinterpreterlink.h"
#include "editor/app/cmarlinoteapp.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/app/cnewoctavefile.h"
#include "editor/app/creplacedlg.h"
#include "editor/core/cscintillawnd.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace {

const char* const kStylePaneSample = "Style: Double quote string";
const char* const kPositionPaneSample = "Line: 0000    Col: 0000    Sel: 00000";

int TextWidth(const QWidget* widget, const char* sample)
{
    return widget->fontMetrics().horizontalAdvance(QString::fromLatin1(sample)) + 12;
}

QTabWidget::TabPosition SideOf(int command)
{
    switch (command) {
    case CMainFrame::ID_TAB_RIGHT:
        return QTabWidget::East;
    case CMainFrame::ID_TAB_LEFT:
        return QTabWidget::West;
    case CMainFrame::ID_TAB_BOTTOM:
        return QTabWidget::South;
    default:
        return QTabWidget::North;
    }
}

// The number after "Untitled" in a title, or -1 when the title is not
// "Untitled" followed by digits only (a saved "Untitled.m" is no new file).
int UntitledNumber(const QString& title)
{
    static const QRegularExpression pattern(QStringLiteral("^Untitled(\\d*)$"));
    const QRegularExpressionMatch match = pattern.match(title);
    if (!match.hasMatch())
        return -1;
    return match.captured(1).isEmpty() ? 0 : match.captured(1).toInt();
}

// The path that names a file whatever way it was reached: links resolved
// where the file exists, otherwise the cleaned absolute path.
QString SameFileKey(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

}  // namespace

CMainFrame::CMainFrame(CMarlinoteApp& app, QWidget* parent) : CTabMDIFrameWnd(parent), m_app(app)
{
    setObjectName("mainFrame");
    setWindowTitle(QString::fromLatin1(CMarlinoteApp::kAppTitle));
    setAcceptDrops(true);
    resize(900, 650);
    m_fileWatcher = new CFileWatcher(this);
    m_fileWatcher->SetEnabled(m_app.Settings().externModified);

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();

    const QString barState = m_app.Profile().GetString("BarState", "State");
    if (!barState.isEmpty())
        restoreState(QByteArray::fromBase64(barState.toLatin1()));

    SetTabOrientation(m_app.Profile().GetInt("TabDocs", "Orientation", ID_TAB_TOP));
    m_cellBar->setVisible(m_app.Profile().GetInt("General", "CellMode", 1) != 0);
    Action(ID_CELL_MODE)->setText(IsCellMode() ? tr("Disable Cell Mode") : tr("Enable Cell Mode"));

    connect(this, &CTabMDIFrameWnd::activeChildChanged, this, &CMainFrame::OnActiveChildChanged);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* w = now; w; w = w->parentWidget()) {
            if (auto* child = qobject_cast<CChildFrame*>(w)) {
                m_lastFocusPath = child->Document()->GetPath();
                break;
            }
        }
    });
    UpdateRecentFilesMenu();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    m_app.Profile().WriteInt("TabDocs", "Orientation", m_orientation);
}

QAction* CMainFrame::AddCommand(int id, const QString& text, const QKeySequence& shortcut, const QIcon& icon)
{
    auto* action = new QAction(icon, text, this);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    action->setData(id);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::RunOnView(void (CMarlinoteView::*command)())
{
    if (CMarlinoteView* view = ActiveView())
        (view->*command)();
}

void CMainFrame::CreateActions()
{
    QStyle* s = style();
    auto onView = [this](int id, const QString& text, void (CMarlinoteView::*command)(),
                         const QKeySequence& key = QKeySequence(), const QIcon& icon = QIcon()) {
        QAction* action = AddCommand(id, text, key, icon);
        connect(action, &QAction::triggered, this, [this, command] { RunOnView(command); });
        return action;
    };

    connect(AddCommand(ID_NEW_BLANK, tr("Blank M-File"), QKeySequence::New, s->standardIcon(QStyle::SP_FileIcon)),
            &QAction::triggered, this, [this] { OnNewBlankFile(); });
    connect(AddCommand(ID_NEW_FUNCTION, tr("&Function M-File")), &QAction::triggered, this,
            &CMainFrame::OnNewFunction);
    connect(AddCommand(ID_FILE_OPEN, tr("&Open..."), QKeySequence::Open,
                       s->standardIcon(QStyle::SP_DialogOpenButton)),
            &QAction::triggered, &m_app, &CMarlinoteApp::OnFileOpen);
    connect(AddCommand(ID_FILE_CLOSE, tr("&Close"), QKeySequence::Close), &QAction::triggered, this,
            [this] { CloseDocument(m_rightClickedChild ? m_rightClickedChild.data() : ActiveChild()); m_rightClickedChild = nullptr; });
    connect(AddCommand(ID_FILE_SAVE, tr("&Save"), QKeySequence::Save, s->standardIcon(QStyle::SP_DialogSaveButton)),
            &QAction::triggered, this, [this] { SaveDocument(ActiveChild()); });
    connect(AddCommand(ID_FILE_SAVE_AS, tr("Save &As..."), QKeySequence::SaveAs), &QAction::triggered, this,
            [this] { SaveDocumentAs(ActiveChild()); });
    connect(AddCommand(ID_SAVE_ALL, tr("Save All"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                       s->standardIcon(QStyle::SP_DriveFDIcon)),
            &QAction::triggered, this, &CMainFrame::OnSaveAll);
    connect(AddCommand(ID_CLOSE_ALL, tr("Close All")), &QAction::triggered, this, &CMainFrame::OnCloseAll);
    connect(AddCommand(ID_CLOSE_ALL_BUT_THIS, tr("Close All But This")), &QAction::triggered, this,
            &CMainFrame::OnCloseAllButThis);
    connect(AddCommand(ID_APP_EXIT, tr("E&xit"), QKeySequence::Quit), &QAction::triggered, this, &QWidget::close);
    connect(AddCommand(ID_APP_ABOUT, tr("&About Marlinote...")), &QAction::triggered, this, [this] {
        QMessageBox::about(this, tr("About Marlinote"),
                           tr("Marlinote\nAn editor for Octave script and function files."));
    });

    onView(ID_EDIT_UNDO, tr("&Undo"), &CMarlinoteView::Undo, QKeySequence::Undo, s->standardIcon(QStyle::SP_ArrowBack));
    onView(ID_EDIT_REDO, tr("&Redo"), &CMarlinoteView::Redo, QKeySequence::Redo, s->standardIcon(QStyle::SP_ArrowForward));
    onView(ID_EDIT_CUT, tr("Cu&t"), &CMarlinoteView::Cut, QKeySequence::Cut);
    onView(ID_EDIT_COPY, tr("&Copy"), &CMarlinoteView::Copy, QKeySequence::Copy);
    onView(ID_EDIT_PASTE, tr("&Paste"), &CMarlinoteView::Paste, QKeySequence::Paste);
    onView(ID_EDIT_CLEAR, tr("&Erase"), &CMarlinoteView::Erase);
    onView(ID_EDIT_SELECT_ALL, tr("Select &All"), &CMarlinoteView::SelectAll, QKeySequence::SelectAll);
    connect(AddCommand(ID_EDIT_REPLACE, tr("Find and Replace..."), QKeySequence::Find,
                       s->standardIcon(QStyle::SP_FileDialogContentsView)),
            &QAction::triggered, this, [this] { OnFindReplace(); });
    Action(ID_EDIT_REPLACE)->setShortcuts({QKeySequence::Find, QKeySequence::Replace});
    connect(AddCommand(ID_FIND_NEXT, tr("Find Next"), QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            &CMainFrame::OnFindNext);
    connect(AddCommand(ID_FIND_PREVIOUS, tr("Find Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3)),
            &QAction::triggered, this, &CMainFrame::OnFindPrevious);
    onView(ID_GOTO_LINE, tr("Goto Line..."), &CMarlinoteView::GotoLineDialog, QKeySequence(Qt::CTRL | Qt::Key_G));
    onView(ID_GOTO_POSITION, tr("Goto Character Position..."), &CMarlinoteView::GotoCharacterPositionDialog);
    onView(ID_COMMENT, tr("Comment"), &CMarlinoteView::Comment, QKeySequence(Qt::CTRL | Qt::Key_R));
    onView(ID_UNCOMMENT, tr("Uncomment"), &CMarlinoteView::Uncomment, QKeySequence(Qt::CTRL | Qt::Key_T));
    onView(ID_INDENT, tr("Indent"), &CMarlinoteView::Indent, QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
    onView(ID_UNINDENT, tr("Unindent"), &CMarlinoteView::Unindent, QKeySequence(Qt::CTRL | Qt::Key_BracketLeft));

    onView(ID_LINE_NUMBERS, tr("Line Numbers"), &CMarlinoteView::ToggleLineNumbers);
    onView(ID_SELECTION_MARGIN, tr("Selection Margin"), &CMarlinoteView::ToggleSelectionMargin);
    onView(ID_FOLDING_MARGIN, tr("Folding Margin"), &CMarlinoteView::ToggleFoldingMargin);
    onView(ID_SHOW_ALL_CHARACTERS, tr("Show All Characters"), &CMarlinoteView::ToggleShowAllCharacters);
    onView(ID_AUTOCOMPLETE, tr("Autocompletion"), &CMarlinoteView::ToggleAutoCompletion);
    onView(ID_ZOOM_IN, tr("Zoom In"), &CMarlinoteView::ZoomIn, QKeySequence::ZoomIn);
    onView(ID_ZOOM_OUT, tr("Zoom Out"), &CMarlinoteView::ZoomOut, QKeySequence::ZoomOut);
    onView(ID_STYLE_FORE, tr("Style Text Colour..."), &CMarlinoteView::ChooseStyleForeColor);
    onView(ID_STYLE_BACK, tr("Style Background Colour..."), &CMarlinoteView::ChooseStyleBackColor);
    onView(ID_STYLE_FONT, tr("Style Font..."), &CMarlinoteView::ChooseStyleFont);

    onView(ID_RUN, tr("Run / Debug"), &CMarlinoteView::RunOrContinue, QKeySequence(Qt::Key_F5),
           s->standardIcon(QStyle::SP_MediaPlay));
    onView(ID_BREAKPOINT, tr("Set / Clear breakpoint"), &CMarlinoteView::ToggleBreakpoint,
           QKeySequence(Qt::Key_F9), s->standardIcon(QStyle::SP_DialogNoButton));
    onView(ID_DEBUG_STEP, tr("Debug Step"), &CMarlinoteView::DebugStep, QKeySequence(Qt::Key_F10),
           s->standardIcon(QStyle::SP_MediaSkipForward));
    onView(ID_DEBUG_STEP_IN, tr("Debug Step In"), &CMarlinoteView::DebugStepIn, QKeySequence(Qt::Key_F11),
           s->standardIcon(QStyle::SP_ArrowDown));
    onView(ID_DEBUG_STEP_OUT, tr("Debug Step Out"), &CMarlinoteView::DebugStepOut,
           QKeySequence(Qt::SHIFT | Qt::Key_F11), s->standardIcon(QStyle::SP_ArrowUp));
    onView(ID_DEBUG_STOP, tr("Debug Stop"), &CMarlinoteView::DebugStop, QKeySequence(Qt::SHIFT | Qt::Key_F5),
           s->standardIcon(QStyle::SP_MediaStop));
    connect(AddCommand(ID_CLEAR_ALL_BREAKPOINTS, tr("Clear breakpoints in All Files")), &QAction::triggered,
            this, &CMainFrame::OnClearAllBreakpoints);
    onView(ID_EVALUATE_SELECTION, tr("Evaluate the selection"), &CMarlinoteView::EvaluateSelection,
           QKeySequence(Qt::Key_F8));
    onView(ID_DESCRIBE, tr("Describe command"), &CMarlinoteView::DescribeCommand, QKeySequence(Qt::Key_F1));
    onView(ID_DOCUMENTATION, tr("Documentation"), &CMarlinoteView::DocumentationOfWord,
           QKeySequence(Qt::SHIFT | Qt::Key_F1));

    onView(ID_EVALUATE_CELL, tr("Evaluate Current Cell"), &CMarlinoteView::EvaluateCurrentCell,
           QKeySequence(Qt::CTRL | Qt::Key_Return));
    onView(ID_EVALUATE_CELL_ADVANCE, tr("Evaluate Current Cell and Advance"),
           &CMarlinoteView::EvaluateCurrentCellAndAdvance, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return));
    onView(ID_INSERT_CELL_BREAK, tr("Insert Cell Break"), &CMarlinoteView::InsertCellBreak);
    onView(ID_INSERT_CELL_BREAKS_AROUND, tr("Insert Cell Breaks Around Selection"),
           &CMarlinoteView::InsertCellBreaksAroundSelection);
    onView(ID_NEXT_CELL, tr("Next Cell"), &CMarlinoteView::NextCell, QKeySequence(Qt::CTRL | Qt::Key_Down));
    onView(ID_PREVIOUS_CELL, tr("Previous Cell"), &CMarlinoteView::PreviousCell, QKeySequence(Qt::CTRL | Qt::Key_Up));
    connect(AddCommand(ID_INCREMENT, tr("Increment value near cursor and evaluate cell")), &QAction::triggered,
            this, [this] { if (auto* v = ActiveView()) v->IncrementValue(m_cellBar->Step()); });
    connect(AddCommand(ID_DECREMENT, tr("Decrement value near cursor and evaluate cell")), &QAction::triggered,
            this, [this] { if (auto* v = ActiveView()) v->DecrementValue(m_cellBar->Step()); });
    connect(AddCommand(ID_DIVIDE, tr("Divide value near cursor and evaluate cell")), &QAction::triggered, this,
            [this] { if (auto* v = ActiveView()) v->DivideValue(m_cellBar->Factor()); });
    connect(AddCommand(ID_MULTIPLY, tr("Multiply value near cursor and evaluate cell")), &QAction::triggered,
            this, [this] { if (auto* v = ActiveView()) v->MultiplyValue(m_cellBar->Factor()); });
    connect(AddCommand(ID_CELL_MODE, tr("Disable Cell Mode")), &QAction::triggered, this,
            [this] { SetCellMode(!IsCellMode()); });

    m_orientationGroup = new QActionGroup(this);
    const std::pair<int, QString> sides[] = {
        {ID_TAB_TOP, tr("&Top")}, {ID_TAB_RIGHT, tr("&Right")}, {ID_TAB_LEFT, tr("&Left")}, {ID_TAB_BOTTOM, tr("&Bottom")}};
    for (const auto& side : sides) {
        QAction* action = AddCommand(side.first, side.second);
        action->setCheckable(true);
        m_orientationGroup->addAction(action);
        const int id = side.first;
        connect(action, &QAction::triggered, this, [this, id] { SetTabOrientation(id); });
    }
}

void CMainFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QMenu* newMenu = file->addMenu(tr("&New"));
    newMenu->addAction(Action(ID_NEW_BLANK));
    newMenu->addAction(Action(ID_NEW_FUNCTION));
    file->addAction(Action(ID_FILE_OPEN));
    file->addAction(Action(ID_FILE_CLOSE));
    file->addAction(Action(ID_CLOSE_ALL));
    file->addSeparator();
    file->addAction(Action(ID_FILE_SAVE));
    file->addAction(Action(ID_FILE_SAVE_AS));
    file->addAction(Action(ID_SAVE_ALL));
    file->addSeparator();
    m_recentMenu = file->addMenu(tr("Recent &Files"));
    file->addSeparator();
    file->addAction(Action(ID_APP_EXIT));

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    for (int id : std::initializer_list<int>{ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR,
                   ID_EDIT_SELECT_ALL, 0, ID_EDIT_REPLACE, ID_FIND_NEXT, ID_FIND_PREVIOUS, 0, ID_GOTO_LINE,
                   ID_GOTO_POSITION, 0, ID_COMMENT, ID_UNCOMMENT, ID_INDENT, ID_UNINDENT}) {
        if (id == 0)
            edit->addSeparator();
        else
            edit->addAction(Action(id));
    }

    QMenu* view = menuBar()->addMenu(tr("&View"));
    for (int id : std::initializer_list<int>{ID_LINE_NUMBERS, ID_SELECTION_MARGIN, ID_FOLDING_MARGIN, ID_SHOW_ALL_CHARACTERS,
                   ID_AUTOCOMPLETE, 0, ID_ZOOM_IN, ID_ZOOM_OUT, 0, ID_STYLE_FORE, ID_STYLE_BACK, ID_STYLE_FONT}) {
        if (id == 0)
            view->addSeparator();
        else
            view->addAction(Action(id));
    }

    QMenu* cells = menuBar()->addMenu(tr("&Cells"));
    for (int id : std::initializer_list<int>{ID_EVALUATE_CELL, ID_EVALUATE_CELL_ADVANCE, 0, ID_INSERT_CELL_BREAK,
                   ID_INSERT_CELL_BREAKS_AROUND, ID_NEXT_CELL, ID_PREVIOUS_CELL, 0, ID_INCREMENT, ID_DECREMENT,
                   ID_DIVIDE, ID_MULTIPLY, 0, ID_CELL_MODE}) {
        if (id == 0)
            cells->addSeparator();
        else
            cells->addAction(Action(id));
    }

    QMenu* debug = menuBar()->addMenu(tr("&Debug"));
    for (int id : std::initializer_list<int>{ID_RUN, ID_EVALUATE_SELECTION, 0, ID_BREAKPOINT, ID_CLEAR_ALL_BREAKPOINTS, 0, ID_DEBUG_STEP,
                   ID_DEBUG_STEP_IN, ID_DEBUG_STEP_OUT, ID_DEBUG_STOP, 0, ID_DESCRIBE, ID_DOCUMENTATION}) {
        if (id == 0)
            debug->addSeparator();
        else
            debug->addAction(Action(id));
    }

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    QMenu* orientation = window->addMenu(tr("&Tab Orientation"));
    orientation->addActions(m_orientationGroup->actions());

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(Action(ID_APP_ABOUT));

    m_tabMenu = new QMenu(this);
    m_tabMenu->setObjectName("tabMenu");
    m_tabMenu->addAction(Action(ID_FILE_CLOSE));
    m_tabMenu->addAction(Action(ID_CLOSE_ALL_BUT_THIS));
    m_tabMenu->addAction(Action(ID_CLOSE_ALL));
    m_tabMenu->addAction(Action(ID_FILE_SAVE));
    m_tabMenu->addSeparator();
    QMenu* tabOrientation = m_tabMenu->addMenu(tr("&Tab Orientation"));
    tabOrientation->addActions(m_orientationGroup->actions());
}

void CMainFrame::CreateToolBars()
{
    m_mainBar = addToolBar(tr("Standard"));
    m_mainBar->setObjectName("mainToolBar");
    m_mainBar->setIconSize(QSize(16, 16));
    for (int id : std::initializer_list<int>{ID_NEW_BLANK, ID_FILE_OPEN, ID_FILE_SAVE, ID_SAVE_ALL, 0, ID_EDIT_UNDO, ID_EDIT_REDO, 0,
                   ID_EDIT_REPLACE, 0, ID_RUN, ID_BREAKPOINT, ID_DEBUG_STEP, ID_DEBUG_STEP_IN, ID_DEBUG_STEP_OUT,
                   ID_DEBUG_STOP}) {
        if (id == 0)
            m_mainBar->addSeparator();
        else
            m_mainBar->addAction(Action(id));
    }

    m_cellBar = new CCellToolBar(this);
    m_cellBar->setIconSize(QSize(16, 16));
    m_cellBar->addAction(Action(ID_EVALUATE_CELL));
    m_cellBar->addAction(Action(ID_EVALUATE_CELL_ADVANCE));
    m_cellBar->addSeparator();
    m_cellBar->addAction(Action(ID_DECREMENT));
    m_cellBar->addWidget(m_cellBar->StepBox());
    m_cellBar->addAction(Action(ID_INCREMENT));
    m_cellBar->addSeparator();
    m_cellBar->addAction(Action(ID_DIVIDE));
    m_cellBar->addWidget(m_cellBar->FactorBox());
    m_cellBar->addAction(Action(ID_MULTIPLY));
    m_cellBar->addSeparator();
    m_cellBar->addAction(Action(ID_INSERT_CELL_BREAK));
    m_cellBar->addAction(Action(ID_PREVIOUS_CELL));
    m_cellBar->addAction(Action(ID_NEXT_CELL));
    m_cellBar->addWidget(m_cellBar->CellList());
    addToolBarBreak();
    addToolBar(m_cellBar);
    // Short labels for the tool bar; the menus keep the long texts.
    const std::pair<int, const char*> shortTexts[] = {
        {ID_EVALUATE_CELL, "Eval"}, {ID_EVALUATE_CELL_ADVANCE, "Eval+Adv"}, {ID_DECREMENT, "-"},
        {ID_INCREMENT, "+"}, {ID_DIVIDE, "/"}, {ID_MULTIPLY, "*"}, {ID_INSERT_CELL_BREAK, "%%"},
        {ID_PREVIOUS_CELL, "Prev"}, {ID_NEXT_CELL, "Next"}};
    for (const auto& entry : shortTexts)
        Action(entry.first)->setIconText(QString::fromLatin1(entry.second));
    connect(m_cellBar, &CCellToolBar::cellChosen, this, [this](int index) {
        if (CMarlinoteView* view = ActiveView()) {
            view->GotoCell(index);
            view->setFocus();
        }
    });
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    m_stylePane = new QLabel(this);
    m_stylePane->setObjectName("stylePane");
    m_stylePane->setMinimumWidth(TextWidth(m_stylePane, kStylePaneSample));
    m_positionPane = new QLabel(this);
    m_positionPane->setObjectName("positionPane");
    m_positionPane->setMinimumWidth(TextWidth(m_positionPane, kPositionPaneSample));
    m_filePane = new QLabel(this);
    m_filePane->setObjectName("filePane");
    m_filePane->setMinimumWidth(120);
    bar->addPermanentWidget(m_stylePane);
    bar->addPermanentWidget(m_positionPane);
    bar->addPermanentWidget(m_filePane);
    bar->showMessage(tr("Ready"));
}

// --- documents -------------------------------------------------------------

CMarlinoteView* CMainFrame::ActiveView() const
{
    CChildFrame* child = ActiveChild();
    return child ? child->View() : nullptr;
}

CChildFrame* CMainFrame::CreateChild()
{
    auto* child = new CChildFrame;
    AttachView(child);
    return child;
}

void CMainFrame::AttachView(CChildFrame* child)
{
    CMarlinoteView* view = child->View();
    // The component keeps its own keys for the plain editing operations, so
    // they work even where this window is not the active one (embedded in
    // the main program); every other command's key is taken from it.
    static const QList<int> componentOwn = {ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CUT,
                                            ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_SELECT_ALL};
    QList<QKeySequence> shortcuts;
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        if (!componentOwn.contains(it.key()))
            shortcuts += it.value()->shortcuts();
    }
    view->GetEditor()->ReleaseKeys(shortcuts);
    view->SetKeywords(m_app.KeyWords());
    view->ApplySettings(m_app.Settings());
    view->SetInterpreterLink(m_app.InterpreterLink());

    connect(view, &CMarlinoteView::caretPositionChanged, this, [this, view](int line, int column, int selection) {
        if (view == ActiveView())
            m_positionPane->setText(QString::asprintf("Line: %ld    Col: %ld    Sel: %ld", long(line), long(column),
                                                      long(selection)));
    });
    connect(view, &CMarlinoteView::styleNameChanged, this, [this, view](const QString& name) {
        if (view == ActiveView())
            m_stylePane->setText(QStringLiteral("Style: %1").arg(name));
    });
    connect(view, &CMarlinoteView::cellListChanged, this, [this, view](const QStringList& names, int index) {
        if (view == ActiveView())
            m_cellBar->SetCells(names, index);
    });
    connect(view, &CMarlinoteView::currentCellChanged, this, [this, view](int index) {
        if (view == ActiveView())
            m_cellBar->SelectCell(index);
    });
    connect(view, &CMarlinoteView::settingsChanged, this,
            [this, view](const CEditorSettings& settings) { OnViewSettingsChanged(view, settings); });
    connect(view, &CMarlinoteView::errorOccurred, this, &CMainFrame::ReportError);
    connect(view, &CMarlinoteView::focusReceived, this,
            [this, view] { m_lastFocusPath = view->GetDocument()->GetPath(); });
    CMarlinoteDoc* doc = child->Document();
    connect(doc, &CMarlinoteDoc::titleChanged, this, [this, child](const QString& title) {
        if (child == ActiveChild())
            m_filePane->setText(title);
        UpdateCommandStates();
    });
    connect(doc, &CMarlinoteDoc::modifiedChanged, this, [this] { UpdateCommandStates(); });
    m_fileWatcher->Follow(doc);
    new CBackupWorker(doc, m_app.Settings());
}

CChildFrame* CMainFrame::FindDocument(const QString& path, Qt::CaseSensitivity cs) const
{
    if (path.isEmpty())
        return nullptr;
    // A file reached through a link or another spelling of its path is the
    // same document: two tabs on one file would overwrite each other.
    const QString wanted = SameFileKey(path);
    for (CChildFrame* child : Children()) {
        const QString open = child->Document()->GetPath();
        if (!open.isEmpty() && SameFileKey(open).compare(wanted, cs) == 0)
            return child;
    }
    return nullptr;
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (CChildFrame* open = FindDocument(absolute)) {
        ActivateChild(open);
        return open;
    }
    CChildFrame* child = CreateChild();
    QString error;
    if (!child->Document()->LoadFromFile(absolute, &error)) {
        delete child;
        ReportError(error.isEmpty() ? tr("Cannot open %1.").arg(absolute) : error);
        return nullptr;
    }
    const long position = m_app.UserFiles().PositionOf(absolute);
    if (position >= 0)
        child->View()->RestoreCaret(position);
    AddChild(child);
    m_app.RecentFiles().Add(absolute);
    UpdateRecentFilesMenu();
    UpdateCommandStates();
    return child;
}

CChildFrame* CMainFrame::NewDocument()
{
    CChildFrame* child = CreateChild();
    child->Document()->SetTitle(QStringLiteral("Untitled"));
    AddChild(child);
    UpdateCommandStates();
    return child;
}

CChildFrame* CMainFrame::OnNewBlankFile()
{
    int highest = 0;
    for (CChildFrame* child : Children())
        highest = qMax(highest, UntitledNumber(child->Document()->GetBaseTitle()));
    CChildFrame* child = CreateChild();
    child->Document()->SetTitle(QStringLiteral("Untitled%1").arg(highest + 1));
    AddChild(child);
    UpdateCommandStates();
    return child;
}

void CMainFrame::OnNewFunction()
{
    QPointer<CChildFrame> child = OnNewBlankFile();
    CNewOctaveFile dialog(this);
    if (dialog.exec() != QDialog::Accepted || !child)
        return;
    CScintillaWnd* editor = child->View()->GetEditor();
    editor->SetText(dialog.GetGeneratedText().toUtf8());
    editor->GotoPosition(0);
    editor->setFocus();
    const QString function = dialog.GetFunction();
    if (!function.isEmpty()) {
        // A changed document without a path: saving asks for one.
        child->Document()->SetTitle(function + QStringLiteral(".m"));
        child->Document()->SetModified(true);
    }
}

bool CMainFrame::SaveDocument(CChildFrame* child)
{
    if (!child)
        return false;
    CMarlinoteDoc* doc = child->Document();
    if (doc->GetPath().isEmpty())
        return SaveDocumentAs(child);
    QString error;
    if (!doc->Save(&error)) {
        ReportError(error.isEmpty() ? tr("Cannot save %1.").arg(doc->GetPath()) : error);
        return false;
    }
    return true;
}

bool CMainFrame::SaveDocumentAs(CChildFrame* child)
{
    if (!child)
        return false;
    CMarlinoteDoc* doc = child->Document();
    QString path;
    if (m_savePathQuestion) {
        path = m_savePathQuestion(child);
    } else {
        QString start = doc->GetPath();
        if (start.isEmpty())
            start = QDir(m_app.CurrentPath()).filePath(doc->GetBaseTitle().contains('.')
                                                           ? doc->GetBaseTitle()
                                                           : doc->GetBaseTitle() + QStringLiteral(".m"));
        // A name typed without an extension becomes an Octave file.
        QFileDialog dialog(this, tr("Save As"), start, QString::fromLatin1(CMarlinoteApp::kOpenFilter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("m"));
        if (dialog.exec() == QDialog::Accepted)
            path = dialog.selectedFiles().value(0);
    }
    if (path.isEmpty())
        return false;
    QString error;
    if (!doc->SaveAs(path, &error)) {
        ReportError(error.isEmpty() ? tr("Cannot save %1.").arg(path) : error);
        return false;
    }
    m_app.RecentFiles().Add(doc->GetPath());
    UpdateRecentFilesMenu();
    return true;
}

bool CMainFrame::SaveModifiedBeforeClosing(const QList<CChildFrame*>& children)
{
    for (CChildFrame* child : children) {
        if (!child->Document()->IsModified())
            continue;
        ActivateChild(child);
        QMessageBox::StandardButton answer;
        if (m_saveQuestion) {
            answer = m_saveQuestion(child);
        } else {
            answer = QMessageBox::question(this, QString::fromLatin1(CMarlinoteApp::kAppTitle),
                                           tr("Save changes to %1?").arg(child->Document()->GetBaseTitle()),
                                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                           QMessageBox::Yes);
        }
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes && !SaveDocument(child))
            return false;
    }
    return true;
}

bool CMainFrame::CloseDocument(CChildFrame* child, bool ask)
{
    if (!child)
        return false;
    if (ask && !SaveModifiedBeforeClosing({child}))
        return false;
    DestroyChildAndItsBreakpoints(child);
    UpdateCommandStates();
    if (!ActiveChild())
        OnActiveChildChanged(nullptr);
    return true;
}

void CMainFrame::DestroyChildAndItsBreakpoints(CChildFrame* child)
{
    // A breakpoint outlives its file's window in the interpreter; unmarked,
    // it would stop a later run where the editor shows none.
    CMarlinoteView* view = child->View();
    const QByteArray statement = view->ClearAllBreakpointsStatement();
    if (CInterpreterLink* link = view->GetInterpreterLink(); link && !statement.isEmpty())
        link->SendToMainProgram(statement, false, false, true);
    DestroyChild(child);
}

bool CMainFrame::OnCloseAll()
{
    const QList<CChildFrame*> children = Children();
    if (!SaveModifiedBeforeClosing(children))
        return false;
    for (CChildFrame* child : children)
        CloseDocument(child, false);
    return true;
}

bool CMainFrame::OnCloseAllButThis()
{
    const int active = ActiveTabIndex();
    if (active < 0)
        return true;
    const QString label = TabLabel(active);
    QList<CChildFrame*> others;
    for (CChildFrame* child : Children()) {
        if (child->Document()->GetTitle() != label)
            others.append(child);
    }
    if (!SaveModifiedBeforeClosing(others))
        return false;
    for (CChildFrame* child : others)
        CloseDocument(child, false);
    return true;
}

void CMainFrame::OnSaveAll()
{
    CChildFrame* active = ActiveChild();
    for (CChildFrame* child : Children()) {
        CMarlinoteDoc* doc = child->Document();
        if (doc->GetPath().isEmpty() || !doc->IsModified())
            continue;
        ActivateChild(child);
        SaveDocument(child);
    }
    ActivateChild(active);
    UpdateCommandStates();
}

// --- tabs, cells, breakpoints ----------------------------------------------

void CMainFrame::SetTabOrientation(int command)
{
    if (command != ID_TAB_RIGHT && command != ID_TAB_LEFT && command != ID_TAB_BOTTOM)
        command = ID_TAB_TOP;
    m_orientation = command;
    SetTabSide(SideOf(command));
    Action(command)->setChecked(true);
    m_app.Profile().WriteInt("TabDocs", "Orientation", m_orientation);
}

void CMainFrame::SetCellMode(bool on)
{
    m_cellBar->setVisible(on);
    m_app.Profile().WriteInt("General", "CellMode", on ? 1 : 0);
    Action(ID_CELL_MODE)->setText(on ? tr("Disable Cell Mode") : tr("Enable Cell Mode"));
}

bool CMainFrame::IsCellMode() const
{
    return !m_cellBar->isHidden();
}

void CMainFrame::OnClearAllBreakpoints()
{
    CInterpreterLink* link = m_app.InterpreterLink();
    for (CChildFrame* child : Children()) {
        CMarlinoteView* view = child->View();
        if (view->GetBreakpoints().empty())
            continue;
        const QByteArray statement = view->ClearAllBreakpointsStatement();
        if (link && !statement.isEmpty())
            link->SendToMainProgram(statement, false, false, true);
        view->ClearBreakpointsAndDebugLine();
    }
}

void CMainFrame::OnTabContextMenu(int index, const QPoint& globalPos)
{
    CTabMDIFrameWnd::OnTabContextMenu(index, globalPos);
    m_rightClickedChild = ChildAt(index);
    m_tabMenu->exec(globalPos);
    m_rightClickedChild = nullptr;
}

void CMainFrame::OnTabCloseRequested(int index)
{
    CloseDocument(ChildAt(index));
}

// --- find and replace ------------------------------------------------------

QString CMainFrame::SelectionForFind(CMarlinoteView* view) const
{
    CScintillaWnd* editor = view->GetEditor();
    QString text = QString::fromUtf8(editor->GetSelectedText());
    if (text.isEmpty()) {
        const QByteArray line = editor->GetLine(editor->LineFromPosition(editor->GetCurrentPosition()));
        const long column = editor->GetCurrentPosition()
                            - editor->PositionFromLine(editor->LineFromPosition(editor->GetCurrentPosition()));
        static const QByteArray stops("([{)]} <>=+-*/\\&|;,.:@\"'\t\r\n");
        long start = column;
        while (start > 0 && !stops.contains(line.at(int(start - 1))))
            --start;
        long end = column;
        while (end < line.size() && !stops.contains(line.at(int(end))))
            ++end;
        if (end > start) {
            const long lineStart = editor->GetCurrentPosition() - column;
            editor->SetSelection(lineStart + start, lineStart + end);
            text = QString::fromUtf8(line.mid(int(start), int(end - start)));
        }
    }
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\t'));
    return text;
}

CReplaceDlg* CMainFrame::OnFindReplace()
{
    CMarlinoteView* view = ActiveView();
    if (!view)
        return nullptr;
    const QString text = SelectionForFind(view);
    if (!m_replaceDlg) {
        m_replaceDlg = new CReplaceDlg(view->GetEditor(), m_app.FindHistory(), m_app.ReplaceHistory(), this);
        m_replaceDlg->setObjectName("replaceDialog");
    }
    m_replaceDlg->SetEditor(view->GetEditor());
    m_replaceDlg->show();
    m_replaceDlg->raise();
    // An open dialog behind the frame must take the keys, or the next typed
    // letters would overwrite the word just selected in the editor.
    m_replaceDlg->activateWindow();
    m_replaceDlg->Fill(text);
    return m_replaceDlg;
}

void CMainFrame::OnFindNext()
{
    if (m_replaceDlg)
        m_replaceDlg->FindNext();
    else
        OnFindReplace();
}

void CMainFrame::OnFindPrevious()
{
    if (m_replaceDlg)
        m_replaceDlg->FindPrevious();
    else
        OnFindReplace();
}

// --- state of the frame ----------------------------------------------------

void CMainFrame::OnActiveChildChanged(CChildFrame* child)
{
    CMarlinoteView* view = child ? child->View() : nullptr;
    if (m_replaceDlg && view)
        m_replaceDlg->SetEditor(view->GetEditor());
    if (view)
        m_lastFocusPath = child->Document()->GetPath();
    UpdateStatus(view);
    UpdateCommandStates();
}

void CMainFrame::UpdateStatus(CMarlinoteView* view)
{
    if (!view) {
        m_positionPane->clear();
        m_stylePane->clear();
        m_filePane->clear();
        m_cellBar->SetCells({}, -1);
        return;
    }
    CScintillaWnd* editor = view->GetEditor();
    const long position = editor->GetCurrentPosition();
    const long line = editor->LineFromPosition(position);
    const long column = editor->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, position);
    const long selection = qAbs(position - editor->GetAnchor());
    m_positionPane->setText(QString::asprintf("Line: %ld    Col: %ld    Sel: %ld", line + 1, column + 1, selection));
    m_stylePane->setText(QStringLiteral("Style: %1").arg(CMarlinoteView::StyleName(editor->GetStyleAt(position))));
    m_filePane->setText(view->GetDocument()->GetTitle());
    m_cellBar->SetCells(view->GetCellNames(), view->GetCurrentCellIndex());
}

void CMainFrame::UpdateCommandStates()
{
    const bool hasDocument = ActiveChild() != nullptr;
    bool anyChanged = false;
    for (CChildFrame* child : Children())
        anyChanged = anyChanged || child->Document()->IsModified();
    CInterpreterLink* link = m_app.InterpreterLink();
    const bool debugging = link && link->IsDebugMode();

    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it) {
        switch (it.key()) {
        case ID_NEW_BLANK: case ID_NEW_FUNCTION: case ID_FILE_OPEN: case ID_APP_EXIT: case ID_APP_ABOUT:
        case ID_TAB_TOP: case ID_TAB_RIGHT: case ID_TAB_LEFT: case ID_TAB_BOTTOM: case ID_CELL_MODE:
        case ID_CLEAR_ALL_BREAKPOINTS:
            break;
        case ID_SAVE_ALL:
            it.value()->setEnabled(anyChanged);
            break;
        case ID_RUN: case ID_EVALUATE_SELECTION: case ID_EVALUATE_CELL: case ID_EVALUATE_CELL_ADVANCE:
        case ID_DESCRIBE: case ID_DOCUMENTATION:
            it.value()->setEnabled(hasDocument && link);
            break;
        case ID_DEBUG_STEP: case ID_DEBUG_STEP_IN: case ID_DEBUG_STEP_OUT: case ID_DEBUG_STOP:
            it.value()->setEnabled(hasDocument && debugging);
            break;
        default:
            it.value()->setEnabled(hasDocument);
            break;
        }
    }
    Action(ID_RUN)->setText(debugging ? tr("Continue") : tr("Run / Debug"));
}

void CMainFrame::OnViewSettingsChanged(CMarlinoteView* source, const CEditorSettings& settings)
{
    m_app.SetSettings(settings);
    for (CChildFrame* child : Children()) {
        if (child->View() != source)
            child->View()->ApplySettings(settings);
    }
}

void CMainFrame::ApplySettingsToViews()
{
    m_fileWatcher->SetEnabled(m_app.Settings().externModified);
    for (CChildFrame* child : Children()) {
        child->View()->SetKeywords(m_app.KeyWords());
        child->View()->ApplySettings(m_app.Settings());
    }
}

void CMainFrame::UpdateRecentFilesMenu()
{
    m_recentMenu->clear();
    const QStringList files = m_app.RecentFiles().Files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files.at(i);
        QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(action, &QAction::triggered, this, [this, path] {
            if (!OpenDocumentFile(path)) {
                m_app.RecentFiles().Remove(path);
                UpdateRecentFilesMenu();
            }
        });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

void CMainFrame::BringToFront()
{
    if (isHidden())
        show();
    else if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void CMainFrame::ReportError(const QString& text)
{
    if (m_reportError)
        m_reportError(text);
    else
        QMessageBox::warning(this, QString::fromLatin1(CMarlinoteApp::kAppTitle), text);
}

// --- closing ---------------------------------------------------------------

bool CMainFrame::WriteUserFiles(QStringList* skipped)
{
    CUserFiles files(m_app.UserFilesPath());
    for (CChildFrame* child : Children()) {
        const QString path = child->Document()->GetPath();
        if (path.isEmpty())
            continue;
        files.openFiles.append(path);
        files.positions.push_back(child->View()->GetCaretPosition());
    }
    files.fileVisible = m_lastFocusPath;
    files.keyWords = m_app.KeyWords();
    return files.Write(skipped);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!SaveModifiedBeforeClosing(Children())) {
        event->ignore();
        return;
    }
    // Said in a message: the status bar of a closing window is never read.
    QStringList skipped;
    if (!WriteUserFiles(&skipped))
        ReportError(tr("Cannot write the list of open files to %1.").arg(m_app.UserFilesPath()));
    else if (!skipped.isEmpty())
        ReportError(tr("These files will not be reopened next time, because their names hold a line "
                       "break:\n%1").arg(skipped.join(QLatin1Char('\n'))));
    m_app.Profile().WriteString("BarState", "State", QString::fromLatin1(saveState().toBase64()));
    m_app.Profile().WriteInt("TabDocs", "Orientation", m_orientation);
    if (m_replaceDlg)
        m_replaceDlg->close();
    // Leaving the debugger keeps the interpreter from waiting on files that
    // are no longer shown.
    if (CInterpreterLink* link = m_app.InterpreterLink(); link && link->IsDebugMode())
        link->SendToMainProgram("dbquit", false, false, true);
    for (CChildFrame* child : Children())
        DestroyChildAndItsBreakpoints(child);
    event->accept();
    emit closed();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            OpenDocumentFile(url.toLocalFile());
    }
    event->acceptProposedAction();
}
