#include "main/frame/cmainframe.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTextEdit>
#include <QToolBar>
#include <QWidgetAction>

#include "main/frame/ccommandids.h"
#include "main/frame/cstatuspane.h"
#include "main/frame/ctoolbarcustomizedialog.h"
#include "platform/cprofile.h"

namespace {
const char* const kProgram = "Kestrune";
// Where the window and its panes were when the program last closed.
const char* const kLayoutSection = "Layout";
const char* const kGeometryKey = "Geometry";
const char* const kPanesKey = "Panes";

QIcon StandardIcon(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}
}  // namespace

CMainFrame::CMainFrame(bool embeddedEditor, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(TitleText());
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks |
                   QMainWindow::AllowNestedDocks);
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreatePanes(embeddedEditor);
    const CProfile profile(QString::fromLatin1(kProgram));
    ApplyLook(profile.GetInt(QStringLiteral("General"), QStringLiteral("ApplicationLook"), 214), false);
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateCopyEnabled(); });
    resize(1100, 760);
}

CMainFrame::~CMainFrame()
{
    // Focus moves while the window is torn down; the actions are gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

QAction* CMainFrame::AddAction(int id, const QString& text, const QKeySequence& key, const QString& tip)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QStringLiteral("Command%1").arg(id));
    if (!key.isEmpty())
        action->setShortcut(key);
    if (!tip.isEmpty()) {
        action->setToolTip(tip);
        action->setStatusTip(tip);
    }
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateActions()
{
    using namespace CommandId;
    AddAction(Open, QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O),
              QStringLiteral("Load a data file into the workspace"))->setIcon(StandardIcon(QStyle::SP_DialogOpenButton));
    AddAction(SaveAs, QStringLiteral("Save &As..."));
    AddAction(SaveWorkspaceAs, QStringLiteral("Save &Workspace As…"), QKeySequence(Qt::CTRL | Qt::Key_S))
        ->setIcon(StandardIcon(QStyle::SP_DialogSaveButton));
    AddAction(SetPaths, QStringLiteral("Set &Paths..."));
    AddAction(Packages, QStringLiteral("Packages..."));
    AddAction(Options, QStringLiteral("Options..."));
    AddAction(Connect, QStringLiteral("&Connect"));
    AddAction(Abort, QStringLiteral("&Abort"));
    AddAction(Print, QStringLiteral("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P))
        ->setIcon(QIcon::fromTheme(QStringLiteral("document-print"), StandardIcon(QStyle::SP_FileIcon)));
    AddAction(PrintPreview, QStringLiteral("Print Pre&view"));
    AddAction(Exit, QStringLiteral("E&xit"));
    AddAction(Undo, QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddAction(Redo, QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    AddAction(Cut, QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X))
        ->setIcon(QIcon::fromTheme(QStringLiteral("edit-cut")));
    AddAction(Copy, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_Insert))
        ->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    AddAction(Paste, QStringLiteral("&Paste"), QKeySequence(Qt::SHIFT | Qt::Key_Insert))
        ->setIcon(QIcon::fromTheme(QStringLiteral("edit-paste")));
    AddAction(FindFiles, QStringLiteral("Find Files..."));
    AddAction(ClearCommandWindow, QStringLiteral("Clear Command Window"));
    AddAction(ClearCommandHistory, QStringLiteral("Clear Command History"));
    AddAction(ClearWorkspace, QStringLiteral("Clear Workspace"));
    AddAction(ZoomIn, QStringLiteral("Zoom In"), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)));
    AddAction(ZoomOut, QStringLiteral("Zoom Out"));
    AddAction(ZoomDefault, QStringLiteral("Restore Default Zoom"));
    AddAction(Customize, QStringLiteral("Customize..."));
    AddAction(OpenEditor, QStringLiteral("Open the editor window"), QKeySequence(),
              QStringLiteral("Open the editor window"))
        ->setIcon(StandardIcon(QStyle::SP_FileDialogDetailedView));
    AddAction(FindHelp, QStringLiteral("Find help for statement"), QKeySequence(),
              QStringLiteral("Find help for statement"))
        ->setIcon(StandardIcon(QStyle::SP_DialogHelpButton));
    AddAction(SetCurrentPath, QStringLiteral("Set current path"), QKeySequence(),
              QStringLiteral("Set current path"));
    AddAction(BrowseFolder, QStringLiteral("Browse for folder"), QKeySequence(),
              QStringLiteral("Browse for folder"))
        ->setIcon(StandardIcon(QStyle::SP_DirOpenIcon));
    AddAction(FolderUp, QStringLiteral("Go up one level"), QKeySequence(),
              QStringLiteral("Go up one level"))
        ->setIcon(StandardIcon(QStyle::SP_FileDialogToParent));
    AddAction(CheckForUpdates, QStringLiteral("Check for &Updates"), QKeySequence(),
              QStringLiteral("Start the updater to look for a newer Kestrune"));
    AddAction(About, QStringLiteral("&About Kestrune..."));

    struct WindowEntry { int id; const char* text; int key; };
    const WindowEntry windows[] = {
        {WindowCommand, "Commnand Window", Qt::Key_0},
        {WindowHistory, "Command History", Qt::Key_1},
        {WindowFiles, "Current Directory", Qt::Key_2},
        {WindowWorkspace, "Workspace", Qt::Key_3},
        {WindowDocumentation, "Documentation", Qt::Key_4},
        {WindowProfiler, "Profiler", Qt::Key_5},
        {WindowDiff, "Comparison Tool", Qt::Key_6},
        {WindowVariableEditor, "Variable Editor", Qt::Key_7},
        {WindowEditor, "Editor / Debuger", Qt::Key_8},
    };
    const QMap<int, int> paneOf{{WindowHistory, PaneId::History},
                                {WindowFiles, PaneId::Files},
                                {WindowWorkspace, PaneId::Workspace},
                                {WindowDocumentation, PaneId::Documentation},
                                {WindowProfiler, PaneId::Profiler},
                                {WindowDiff, PaneId::Diff},
                                {WindowVariableEditor, PaneId::VariableEditor},
                                {WindowEditor, PaneId::Editor}};
    for (const WindowEntry& entry : windows) {
        QAction* action = AddAction(entry.id, QString::fromLatin1(entry.text),
                                    QKeySequence(Qt::CTRL | entry.key));
        // The shortcuts work wherever the focus is, also in floating panes.
        action->setShortcutContext(Qt::ApplicationShortcut);
        if (entry.id == WindowCommand) {
            connect(action, &QAction::triggered, this, [this] {
                if (m_view) {
                    activateWindow();
                    m_view->setFocus(Qt::ShortcutFocusReason);
                }
            });
        } else {
            const int pane = paneOf.value(entry.id);
            connect(action, &QAction::triggered, this, [this, pane] { ShowPane(pane); });
        }
    }

    m_lookGroup = new QActionGroup(this);
    for (int id = LookFirst; id <= LookLast; ++id) {
        QAction* action = AddAction(id, LookName(id));
        action->setCheckable(true);
        m_lookGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { ApplyLook(id); });
    }
    connect(Action(Customize), &QAction::triggered, this, &CMainFrame::OpenCustomizeDialog);
    connect(Action(Exit), &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::CreateMenus()
{
    using namespace CommandId;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(Action(Open));
    file->addAction(Action(SaveAs));
    file->addAction(Action(SaveWorkspaceAs));
    file->addSeparator();
    file->addAction(Action(SetPaths));
    file->addAction(Action(Packages));
    file->addAction(Action(Options));
    file->addSeparator();
    file->addAction(Action(Connect));
    file->addAction(Action(Abort));
    file->addSeparator();
    file->addAction(Action(Print));
    file->addAction(Action(PrintPreview));
    file->addSeparator();
    file->addAction(Action(Exit));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(Action(Undo));
    edit->addAction(Action(Redo));
    edit->addSeparator();
    edit->addAction(Action(Cut));
    edit->addAction(Action(Copy));
    edit->addAction(Action(Paste));
    edit->addSeparator();
    edit->addAction(Action(FindFiles));
    edit->addSeparator();
    edit->addAction(Action(ClearCommandWindow));
    edit->addAction(Action(ClearCommandHistory));
    edit->addAction(Action(ClearWorkspace));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QMenu* bars = view->addMenu(QStringLiteral("&Toolbars and Docking Windows"));
    bars->addAction(Action(Customize));
    QAction* status = AddAction(StatusBar, QStringLiteral("&Status Bar"));
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    view->addAction(status);
    view->addSeparator();
    view->addAction(Action(ZoomIn));
    view->addAction(Action(ZoomOut));
    view->addAction(Action(ZoomDefault));
    view->addSeparator();
    QMenu* look = view->addMenu(QStringLiteral("&Application Look"));
    for (int id = LookFirst; id <= LookLast; ++id)
        look->addAction(Action(id));

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    const int windows[] = {WindowCommand, WindowHistory, WindowFiles, WindowWorkspace,
                           WindowDocumentation, WindowProfiler, WindowDiff,
                           WindowVariableEditor, WindowEditor};
    for (int id : windows)
        window->addAction(Action(id));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(Action(CheckForUpdates));
    help->addSeparator();
    help->addAction(Action(About));
}

QList<int> CMainFrame::DefaultToolBarLayout()
{
    using namespace CommandId;
    return {Open, SaveWorkspaceAs, 0, Cut, Copy, Paste, 0, Print, 0, OpenEditor, 0,
            HelpPlaceholder, FindHelp, 0, DirectoryPlaceholder, BrowseFolder, FolderUp};
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Standard"));
    m_toolBar->setObjectName(QStringLiteral("StandardToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    QAction* toggle = m_toolBar->toggleViewAction();
    toggle->setText(QStringLiteral("&Toolbar"));
    toggle->setData(CommandId::ToolBar);
    m_actions.insert(CommandId::ToolBar, toggle);
    const QList<QMenu*> menus = menuBar()->findChildren<QMenu*>();
    for (QMenu* menu : menus) {
        if (menu->title() == QStringLiteral("&Toolbars and Docking Windows"))
            menu->insertAction(Action(CommandId::Customize), toggle);
    }

    m_helpCombo = new QComboBox(this);
    m_helpCombo->setObjectName(QStringLiteral("HelpCombo"));
    m_helpCombo->setEditable(true);
    m_helpCombo->setMinimumWidth(140);
    m_helpCombo->setToolTip(QStringLiteral("Find help for statement"));
    m_helpCombo->setInsertPolicy(QComboBox::NoInsert);
    m_helpComboAction = new QWidgetAction(this);
    m_helpComboAction->setDefaultWidget(m_helpCombo);
    m_helpComboAction->setData(CommandId::FindHelp);
    m_helpComboAction->setText(QStringLiteral("Find help for statement"));

    m_directoryCombo = new QComboBox(this);
    m_directoryCombo->setObjectName(QStringLiteral("DirectoryCombo"));
    m_directoryCombo->setEditable(true);
    m_directoryCombo->setMinimumWidth(300);
    m_directoryCombo->setToolTip(QStringLiteral("Set current path"));
    m_directoryCombo->setInsertPolicy(QComboBox::NoInsert);
    m_directoryComboAction = new QWidgetAction(this);
    m_directoryComboAction->setDefaultWidget(m_directoryCombo);
    m_directoryComboAction->setData(CommandId::SetCurrentPath);
    m_directoryComboAction->setText(QStringLiteral("Set current path"));

    // Enter in the boxes runs their commands.
    connect(m_helpCombo->lineEdit(), &QLineEdit::returnPressed, Action(CommandId::FindHelp),
            &QAction::trigger);
    connect(m_directoryCombo->lineEdit(), &QLineEdit::returnPressed,
            Action(CommandId::SetCurrentPath), &QAction::trigger);
    connect(m_directoryCombo, &QComboBox::activated, Action(CommandId::SetCurrentPath),
            &QAction::trigger);
    ResetToolBar();
}

void CMainFrame::SetToolBarLayout(const QList<int>& layout)
{
    m_toolBar->clear();
    for (int id : layout) {
        if (id == 0)
            m_toolBar->addSeparator();
        else if (id == CommandId::HelpPlaceholder)
            m_toolBar->addAction(m_helpComboAction);
        else if (id == CommandId::DirectoryPlaceholder)
            m_toolBar->addAction(m_directoryComboAction);
        else if (QAction* action = Action(id))
            m_toolBar->addAction(action);
    }
    // A widget action taken off the toolbar hides its box; put back, the
    // box must be shown again.
    for (QWidgetAction* box : {m_helpComboAction, m_directoryComboAction}) {
        if (m_toolBar->actions().contains(box))
            box->defaultWidget()->setVisible(true);
    }
}

QList<int> CMainFrame::ToolBarLayout() const
{
    QList<int> layout;
    for (QAction* action : m_toolBar->actions()) {
        if (action->isSeparator())
            layout << 0;
        else if (action == m_helpComboAction)
            layout << CommandId::HelpPlaceholder;
        else if (action == m_directoryComboAction)
            layout << CommandId::DirectoryPlaceholder;
        else
            layout << action->data().toInt();
    }
    return layout;
}

void CMainFrame::ResetToolBar()
{
    SetToolBarLayout(DefaultToolBarLayout());
}

void CMainFrame::OpenCustomizeDialog()
{
    CToolbarCustomizeDialog dialog(this);
    dialog.exec();
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("StatusMessage"));
    bar->addWidget(m_message, 1);
    // The connection state and the profile time need a little more room
    // than their classic 90 and 120 pixels with the fonts of this platform:
    // the icon and its margins take 30 more.
    const auto fits = [this](int classic, const char* longest) {
        return qMax(classic, fontMetrics().horizontalAdvance(QString::fromLatin1(longest)) + 30);
    };
    const int widths[] = {fits(90, "Disconnected"), 100, fits(120, "Profile time: 00:00:00"), 30, 30, 30};
    for (int width : widths) {
        auto* pane = new CStatusPane(width, this);
        pane->setObjectName(QStringLiteral("StatusPane%1").arg(m_statusPanes.size() + 1));
        m_statusPanes << pane;
        bar->addPermanentWidget(pane);
    }
}

CStatusPane* CMainFrame::StatusPane(int index) const
{
    if (index < 1 || index > m_statusPanes.size())
        return nullptr;
    return m_statusPanes.at(index - 1);
}

void CMainFrame::SetStatusMessage(const QString& text)
{
    if (m_message->text() != text)
        m_message->setText(text);
}

QString CMainFrame::StatusMessage() const
{
    return m_message->text();
}

QDockWidget* CMainFrame::CreatePane(int id, const QString& caption, Qt::DockWidgetArea area)
{
    auto* pane = new QDockWidget(caption, this);
    pane->setObjectName(QStringLiteral("Pane%1").arg(id));
    pane->setAllowedAreas(Qt::AllDockWidgetAreas);
    pane->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                      QDockWidget::DockWidgetFloatable);
    auto* empty = new QWidget(pane);
    empty->setObjectName(QStringLiteral("EmptyPane"));
    pane->setWidget(empty);
    addDockWidget(area, pane);
    m_panes.insert(id, pane);
    return pane;
}

void CMainFrame::CreatePanes(bool embeddedEditor)
{
    QDockWidget* history = CreatePane(PaneId::History, QStringLiteral("Command History"), Qt::LeftDockWidgetArea);
    QDockWidget* files = CreatePane(PaneId::Files, QStringLiteral("Current Directory"), Qt::LeftDockWidgetArea);
    QDockWidget* workspace = CreatePane(PaneId::Workspace, QStringLiteral("Workspace"), Qt::LeftDockWidgetArea);
    QDockWidget* variables = CreatePane(PaneId::VariableEditor, QStringLiteral("Variable Editor"), Qt::BottomDockWidgetArea);
    QDockWidget* profiler = CreatePane(PaneId::Profiler, QStringLiteral("Profiler"), Qt::BottomDockWidgetArea);
    QDockWidget* documentation = CreatePane(PaneId::Documentation, QStringLiteral("Documentation"), Qt::BottomDockWidgetArea);
    QDockWidget* diff = CreatePane(PaneId::Diff, QStringLiteral("Comparison Tool"), Qt::BottomDockWidgetArea);
    QDockWidget* editor = nullptr;
    if (embeddedEditor)
        editor = CreatePane(PaneId::Editor, QStringLiteral("Editor / Debuger"), Qt::BottomDockWidgetArea);

    // Two tab groups: Current Directory with Workspace and Command History on
    // the left, Variable Editor with the others at the bottom.
    tabifyDockWidget(files, workspace);
    tabifyDockWidget(files, history);
    tabifyDockWidget(variables, documentation);
    tabifyDockWidget(variables, diff);
    tabifyDockWidget(variables, profiler);
    if (editor)
        tabifyDockWidget(variables, editor);
    files->raise();
    variables->raise();
}

void CMainFrame::ApplyLayout()
{
    const CProfile profile(QString::fromLatin1(kProgram));
    const QString section = QString::fromLatin1(kLayoutSection);
    const QByteArray geometry =
        QByteArray::fromBase64(profile.GetString(section, QString::fromLatin1(kGeometryKey)).toLatin1());
    const QByteArray panes =
        QByteArray::fromBase64(profile.GetString(section, QString::fromLatin1(kPanesKey)).toLatin1());
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    if (!panes.isEmpty() && restoreState(panes))
        return;
    // The command window keeps most of the room.
    resizeDocks({Pane(PaneId::Files)}, {qMax(220, width() / 4)}, Qt::Horizontal);
    resizeDocks({Pane(PaneId::VariableEditor)}, {qMax(120, height() / 4)}, Qt::Vertical);
}

void CMainFrame::SetPaneWidget(int paneId, QWidget* widget)
{
    if (QDockWidget* pane = Pane(paneId)) {
        QWidget* old = pane->widget();
        pane->setWidget(widget);
        if (old && old != widget)
            old->deleteLater();
    }
}

bool CMainFrame::ShowPane(int paneId, bool focus)
{
    QDockWidget* pane = Pane(paneId);
    if (!pane)
        return false;
    pane->show();
    pane->raise();
    if (focus && pane->widget())
        KeyTarget(pane->widget())->setFocus(Qt::OtherFocusReason);
    return true;
}

QWidget* CMainFrame::KeyTarget(QWidget* content)
{
    // A pane that names no control for its keys gives them to its first
    // control that takes them; its own widget would drop every key.
    if (content->focusProxy() || content->focusPolicy() != Qt::NoFocus)
        return content;
    for (QWidget* child : content->findChildren<QWidget*>()) {
        if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled() && child->isVisibleTo(content))
            return child;
    }
    return content;
}

void CMainFrame::SetView(QWidget* view)
{
    m_view = view;
    setCentralWidget(view);
    if (auto* text = qobject_cast<QPlainTextEdit*>(view))
        connect(text, &QPlainTextEdit::copyAvailable, this, [this] { UpdateCopyEnabled(); });
}

QString CMainFrame::LookName(int lookId)
{
    switch (lookId) {
    case 210: return QStringLiteral("Windows &2000");
    case 211: return QStringLiteral("Office &XP");
    case 212: return QStringLiteral("&Windows XP");
    case 213: return QStringLiteral("Office 200&3");
    case 214: return QStringLiteral("Visual Studio 200&5");
    case 215: return QStringLiteral("Office 2007 (&Blue Style)");
    case 216: return QStringLiteral("Office 2007 (B&lack Style)");
    case 217: return QStringLiteral("Office 2007 (&Silver Style)");
    case 218: return QStringLiteral("Office 2007 (&Aqua Style)");
    default: return QString();
    }
}

void CMainFrame::ApplyLook(int lookId, bool store)
{
    if (lookId < CommandId::LookFirst || lookId > CommandId::LookLast)
        lookId = 214;
    m_look = lookId;
    // The Qt styles stand in for the visual styles; the Office 2007 looks
    // differ by their tint.
    const QString styleName = (lookId == 210 || lookId == 212) ? QStringLiteral("Windows")
                                                                : QStringLiteral("Fusion");
    if (QStyle* style = QStyleFactory::create(styleName))
        QApplication::setStyle(style);
    QPalette palette = QApplication::style()->standardPalette();
    QColor tint;
    switch (lookId) {
    case 215: tint = QColor(191, 219, 255); break;
    case 216: tint = QColor(83, 83, 83); break;
    case 217: tint = QColor(208, 212, 221); break;
    case 218: tint = QColor(196, 221, 228); break;
    default: break;
    }
    if (tint.isValid()) {
        palette.setColor(QPalette::Window, tint);
        palette.setColor(QPalette::Button, tint.lighter(108));
        if (tint.lightness() < 128) {
            palette.setColor(QPalette::WindowText, Qt::white);
            palette.setColor(QPalette::ButtonText, Qt::white);
        }
    }
    QApplication::setPalette(palette);
    if (QAction* action = Action(lookId))
        action->setChecked(true);
    if (store) {
        CProfile profile(QString::fromLatin1(kProgram));
        profile.WriteInt(QStringLiteral("General"), QStringLiteral("ApplicationLook"), lookId);
    }
    update();
}

void CMainFrame::UpdateCopyEnabled()
{
    QWidget* focus = QApplication::focusWidget();
    bool enabled = true;
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        enabled = plain->textCursor().hasSelection();
    else if (auto* rich = qobject_cast<QTextEdit*>(focus))
        enabled = rich->textCursor().hasSelection();
    else if (auto* line = qobject_cast<QLineEdit*>(focus))
        enabled = line->hasSelectedText();
    Action(CommandId::Copy)->setEnabled(enabled);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    bool allow = true;
    emit closeRequested(&allow);
    if (allow) {
        SaveLayout();
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::SaveLayout()
{
    CProfile profile(QString::fromLatin1(kProgram));
    const QString section = QString::fromLatin1(kLayoutSection);
    profile.WriteString(section, QString::fromLatin1(kGeometryKey), QString::fromLatin1(saveGeometry().toBase64()));
    profile.WriteString(section, QString::fromLatin1(kPanesKey), QString::fromLatin1(saveState().toBase64()));
}
