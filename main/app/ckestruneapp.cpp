#include "main/app/ckestruneapp.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QOpenGLWidget>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include <vector>

#include "controls/cmessagebox.h"
#include "controls/csplashwnd.h"
#include "main/comparison/cdiffview.h"
#include "main/docs/cdocumentationview.h"
#include "main/docs/manualnames.h"
#include "main/files/cfileview.h"
#include "main/files/cguifindfiles.h"
#include "main/files/cworkingfolder.h"
#include "main/app/cconsolehistory.h"
#include "main/history/ccommandhistory.h"
#include "main/history/chistoryview.h"
#include "main/options/coptionsdialog.h"
#include "main/options/cupdatechecker.h"
#include "main/paths/coctavepackages.h"
#include "main/paths/coctavepaths.h"
#include "main/profiler/cprofileview.h"
#include "main/workspace/cvariableeditview.h"
#include "main/workspace/cvariableview.h"
#include "main/console/cconsolesink.h"
#include "main/console/ckestruneview.h"
#include "main/editorlink/ceditorcloser.h"
#include "main/editorlink/ceditorembedder.h"
#include "main/editorlink/ceditortextfilter.h"
#include "main/editorlink/cerrorlocation.h"
#include "main/editorlink/cfiledropfilter.h"
#include "platform/cprofile.h"
#include "platform/editorprotocol.h"
#include "main/editorlink/ceditortransport.h"
#include "main/frame/ccommandids.h"
#include "main/frame/cfocusededit.h"
#include "main/frame/cmainframe.h"
#include "main/frame/cstatusdisplay.h"
#include "main/session/cconnection.h"
#include "main/session/cconnectionprocesses.h"
#include "main/session/coctaveredirector.h"
#include "main/session/csessionevents.h"
#include "main/session/cstartupconfig.h"
#include "platform/appfolders.h"
#include "platform/cmessagechannel.h"
#include "platform/ckestrunesettings.h"
#include "platform/editorprotocol.h"

namespace {
const QString kProgram = QStringLiteral("Kestrune");
// How long closing waits for an embedded editor to end before asking.
constexpr int kEditorCloseWaitMs = 10000;
}  // namespace

CKestruneApp::CKestruneApp(QObject* parent) : QObject(parent) {}

CKestruneApp::~CKestruneApp()
{
    Shutdown();
    // The session lets go of the events (and through them the command
    // window) before the windows go.
    if (m_session)
        m_session->SetPanes(nullptr);
    m_editor.reset();
    if (m_frame) {
        disconnect(m_frame, nullptr, this, nullptr);
        delete m_frame;
    }
}

QString CKestruneApp::Version()
{
    const QString version = QApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("1.0.0") : version;
}

bool CKestruneApp::Start(const Options& options)
{
    const CKestruneSettings startSettings = Settings();
    m_userPaths = CKestruneSettings::UserPathsFile(kProgram);
    m_frame = new CMainFrame(!startSettings.useSeparateEditor);
    if (options.splash) {
        auto* splash = new CSplashWnd(kProgram, QStringLiteral("Version ") + Version());
        splash->ShowFor(1500);
    }
    m_view = new CKestruneView(m_frame);
    m_frame->SetView(m_view);
    m_history = std::make_unique<CCommandHistory>(m_userPaths);
    m_consoleHistory = std::make_unique<CConsoleHistory>(*m_history);
    m_view->SetHistory(m_consoleHistory.get());
    m_view->SetHost(this);
    m_view->setReadOnly(true);

    m_session = std::make_unique<COctaveRedirector>();
    ApplySettings(startSettings);
    m_programFolder = options.programFolder.isEmpty() ? AppFolders::ProgramFolder() : options.programFolder;
    m_console = std::make_unique<CConsoleSink>(m_view);
    m_events = std::make_unique<CSessionEvents>(m_console.get());
    m_editor = std::make_unique<CEditorTransport>(m_programFolder);
    m_session->SetPanes(m_events.get());

    CConnection::Settings settings;
    settings.programName = kProgram;
    settings.programFolder = m_programFolder;
    settings.workFolderFallback = AppFolders::WorkFolder();
    settings.userPathsFile = m_userPaths;
    m_connection = std::make_unique<CConnection>(*m_session, *m_events, *this, settings);

    CStatusDisplay::Source source;
    source.connecting = [this] { return m_connection->IsConnecting(); };
    source.clearConnecting = [this] { m_connection->ClearConnecting(); };
    source.connected = [this] { return IsConnected(); };
    source.busy = [this] { return m_session->Busy(); };
    source.debug = [this] { return m_session->DebugMode(); };
    source.profilerRunning = [this] { return m_session->ProfilerRunning(); };
    source.profilerElapsed = [this] { return static_cast<qint64>(m_session->ProfilerElapsedSeconds()); };
    source.disconnectedCleanup = [this] { m_connection->ShutdownCleanup(); };
    m_status = std::make_unique<CStatusDisplay>(m_frame, m_view->viewport(), source);

    WireCommands();
    WireSessionEvents();
    InstallPanes();
    connect(m_frame, &CMainFrame::closeRequested, this, [this](bool* allow) {
        // A running comparison finishes first; the window closes after it.
        if (m_diff && m_diff->DeferClose([this] {
                if (m_frame)
                    m_frame->close();
            })) {
            *allow = false;
            return;
        }
        *allow = CanClose();
        if (*allow)
            Shutdown();
    });

    if (options.listen) {
        m_server = std::make_unique<CMessageServer>(QStringLiteral("kestrune"));
        connect(m_server.get(), &CMessageServer::textReceived, this, &CKestruneApp::OnEditorText);
        QString error;
        if (!m_server->Listen(&error))
            m_frame->SetStatusMessage(QStringLiteral("Texts from the editor cannot be received: ") + error);
    }

    m_session->StartSender();
    KeepWindowSurfaceForEmbedding();
    m_frame->show();
    WireEditorLink();
    QTimer::singleShot(0, m_frame, [this] { m_frame->ApplyLayout(); });

    // The first update of the command window.
    if (options.startEditor)
        StartEditorProgram(startSettings);
    m_folder->FillBox();
    m_frame->setWindowTitle(CMainFrame::TitleText());
    m_status->Start();
    auto* commandState = new QTimer(this);
    connect(commandState, &QTimer::timeout, this, &CKestruneApp::UpdateCommandState);
    commandState->start(200);
    UpdateCommandState();
    if (options.autoStartAllowed && startSettings.autoStart)
        OnConnect();
    CUpdateChecker::DailyCheck(kProgram, m_programFolder, Version());
    return true;
}

void CKestruneApp::WireCommands()
{
    using namespace CommandId;
    auto on = [this](int id, auto handler) {
        if (QAction* action = m_frame->Action(id))
            connect(action, &QAction::triggered, this, handler);
    };
    on(Open, [this] { m_view->OpenDataFile(); });
    on(CommandId::Options, [this] {
        const QString octaveBefore = Settings().octavePath;
        COptionsDialog dialog(kProgram, QStringLiteral("Marlinote"), m_frame);
        connect(&dialog, &COptionsDialog::settingsApplied, this, &CKestruneApp::ApplySettings);
        connect(&dialog, &COptionsDialog::editorPreferencesChanged, this,
                [this] { SendToEditor(EditorProtocol::EncodeUpdatePreferences(), false); });
        connect(&dialog, &COptionsDialog::workingPathsCleared, m_folder, &CWorkingFolder::FillBox);
        if (dialog.Run() && Settings().octavePath != octaveBefore && !IsConnected())
            OnConnect();
    });
    on(Connect, [this] { OnConnect(); });
    on(Abort, [this] { OnAbort(); });
    on(Print, [this] { m_view->PrintWithDialog(); });
    on(PrintPreview, [this] { m_view->PrintPreview(); });
    on(Undo, [this] { m_view->undo(); });
    on(Redo, [this] { m_view->redo(); });
    // Cut, Copy and Paste act on the control with the keys when it can,
    // on the command window otherwise.
    auto focused = [this](CFocusedEdit::Command command) {
        return CFocusedEdit::Run(command, QApplication::focusWidget(), m_view);
    };
    on(Cut, [this, focused] {
        if (!focused(CFocusedEdit::Command::Cut))
            m_view->Cut();
    });
    on(Copy, [this, focused] {
        if (!focused(CFocusedEdit::Command::Copy))
            m_view->copy();
    });
    on(Paste, [this, focused] {
        if (!focused(CFocusedEdit::Command::Paste))
            m_view->Paste();
    });
    on(ClearCommandWindow, [this] { m_view->ClearWindow(true); });
    on(ClearCommandHistory, [this] { m_view->ClearHistory(); });
    on(ClearWorkspace, [this] { m_view->ClearWorkspace(); });
    on(ZoomIn, [this] { m_view->ZoomIn(); });
    on(ZoomOut, [this] { m_view->ZoomOut(); });
    on(ZoomDefault, [this] { m_view->ZoomDefault(); });
    on(OpenEditor, [this] { QueueCommand("edit", false); });
    on(CommandId::FindHelp, [this] { FindHelp(sender() == m_frame->Action(CommandId::FindHelp)); });
    on(SetCurrentPath, [this] { ChangeDirectory(m_frame->DirectoryCombo()->currentText()); });
    on(BrowseFolder, [this] {
        const QString folder =
            QFileDialog::getExistingDirectory(m_frame, QStringLiteral("Browse for folder"), Settings().workPath);
        if (!folder.isEmpty())
            ChangeDirectory(folder);
    });
    on(FolderUp, [this] { ChangeDirectory(QStringLiteral("..")); });
    // A missing updater is not reported: the updater speaks for itself.
    on(CheckForUpdates, [this] { CUpdateChecker::CheckForUpdates(m_programFolder, Version(), false); });
    on(About, [this] {
        QMessageBox::about(m_frame, QStringLiteral("About Kestrune"),
                           QStringLiteral("Kestrune\nVersion ") + Version() +
                               QStringLiteral("\nA front end for GNU Octave."));
    });
    on(SaveAs, [this] {
        if (m_workspace)
            m_workspace->SaveVariablesAs();
    });
    on(SaveWorkspaceAs, [this] {
        if (m_workspace)
            m_workspace->SaveWorkspaceAs();
    });
    on(SetPaths, [this] {
        if (m_paths)
            m_paths->Open();
    });
    on(Packages, [this] {
        if (m_packages)
            m_packages->Open();
    });
    on(FindFiles, [this] {
        if (m_findFiles) {
            m_findFiles->show();
            m_findFiles->raise();
        }
    });
    connect(m_view, &CKestruneView::statusMessage, m_frame, &CMainFrame::SetStatusMessage);
}

void CKestruneApp::WireSessionEvents()
{
    CSessionEvents* events = m_events.get();
    connect(events, &CSessionEvents::completionReady, this, [this](const QStringList& matches) {
        m_view->FlushPending();
        m_view->ShowCompletions(matches);
    });
    connect(events, &CSessionEvents::workspaceShowRequested, this,
            [this] { m_frame->ShowPane(PaneId::Workspace); });
    connect(events, &CSessionEvents::directoryChangeRequested, this,
            [this](const QString& folder) {
                if (!m_folder || !m_folder->ChangeDirectory(folder))
                    m_session->WritePrompt();
            });
    connect(events, &CSessionEvents::documentationRequested, this, [this](const QString& topic) {
        if (CDocumentationView* docs = Documentation())
            docs->ShowDocumentation(topic);
    });
    connect(events, &CSessionEvents::editorTextReady, this, &CKestruneApp::SendToEditor);
    connect(events, &CSessionEvents::connectionChanged, this, [this](bool connected) {
        if (connected)
            m_editor->Send(EditorProtocol::EncodeInterpreterStarted(), false);
    });
    connect(events, &CSessionEvents::closeRequested, this, [this] {
        if (m_frame)
            m_frame->close();
    });
}

void CKestruneApp::InstallPanes()
{
    // Each capability's pane is made here, given Events() and Commands(),
    // and put into its pane with m_frame->SetPaneWidget(PaneId::..., widget).
    auto* history = new CHistoryView(*m_history, Commands(), Events());
    connect(history, &CHistoryView::clearRequested, m_view, &CKestruneView::ClearHistory);
    m_frame->SetPaneWidget(PaneId::History, history);

    m_folder = new CWorkingFolder(Commands(), Events(), m_frame->DirectoryCombo(), kProgram, this);
    connect(m_folder, &CWorkingFolder::editorTextRequested, this,
            [this](const QByteArray& text) { m_editor->Send(text, false); });
    auto* files = new CFileView(Commands(), Events(), *m_folder, kProgram);
    connect(files, &CFileView::workspacePaneRequested, this, [this] { m_frame->ShowPane(PaneId::Workspace); });
    connect(files, &CFileView::editorPaneRequested, this, [this] { m_frame->ShowPane(PaneId::Editor); });
    connect(files, &CFileView::statusMessage, m_frame, &CMainFrame::SetStatusMessage);
    connect(files, &CFileView::compareRequested, this, [this](const QString& first, const QString& second) {
        if (CDiffView* diff = Comparison()) {
            m_frame->ShowPane(PaneId::Diff);
            diff->CompareAndShow(first, second);
        }
    });
    m_frame->SetPaneWidget(PaneId::Files, files);
    m_findFiles = new CGUIFindFiles(*m_folder, kProgram, m_frame);
    connect(m_findFiles, &CGUIFindFiles::openInEditorRequested, this,
            [this](const QString& location) { OpenInEditor(location.toStdString()); });

    m_workspace = new CVariableView(Commands(), Events(), CProfile(kProgram));
    auto* variableEditor = new CVariableEditView(Commands(), Events(), *m_workspace);
    m_frame->SetPaneWidget(PaneId::Workspace, m_workspace);
    m_frame->SetPaneWidget(PaneId::VariableEditor, variableEditor);

    CSearchPathSettings pathSettings;
    pathSettings.browseFolder = Settings().octavePath.isEmpty() ? Settings().workPath : Settings().octavePath;
    pathSettings.userPathsFile = m_userPaths;
    m_paths = new COctavePaths(Commands(), Events(), pathSettings, m_frame);
    m_packages = new COctavePackages(Commands(), Events(), m_frame);

    MakeWhenShown(PaneId::Documentation, [this] { Documentation(); });
    MakeWhenShown(PaneId::Diff, [this] { Comparison(); });
    MakeWhenShown(PaneId::Profiler, [this] { Profiler(); });
}

void CKestruneApp::MakeWhenShown(int paneId, std::function<void()> make)
{
    QDockWidget* pane = m_frame->Pane(paneId);
    if (!pane)
        return;
    connect(pane, &QDockWidget::visibilityChanged, this, [make](bool visible) {
        if (visible)
            make();
    });
}

CDocumentationView* CKestruneApp::Documentation()
{
    if (!m_docs && m_frame) {
        const QString octave = Settings().octavePath.isEmpty() ? CStartupConfig::DefaultOctaveFolder()
                                                               : Settings().octavePath;
        m_docs = new CDocumentationView(Events(), ManualNames::FindManualFolder(octave));
        // Shown, but the keys stay where the user types ("doc plot" in the
        // command window is usually followed by more statements).
        connect(m_docs, &CDocumentationView::showPaneRequested, this,
                [this] { m_frame->ShowPane(PaneId::Documentation, false); });
        m_frame->SetPaneWidget(PaneId::Documentation, m_docs);
    }
    return m_docs;
}

CDiffView* CKestruneApp::Comparison()
{
    if (!m_diff && m_frame) {
        m_diff = new CDiffView(m_programFolder);
        // A line link names its file as an error link does; the editor takes
        // it as an error location.
        connect(m_diff, &CDiffView::editorTextRequested, this,
                [this](const QString& text, bool) { OpenInEditor(text.toStdString()); });
        connect(m_diff, &CDiffView::editorPaneRequested, this, [this] { m_frame->ShowPane(PaneId::Editor); });
        m_frame->SetPaneWidget(PaneId::Diff, m_diff);
    }
    return m_diff;
}

CProfileView* CKestruneApp::Profiler()
{
    if (!m_profiler && m_frame) {
        m_profiler = new CProfileView(Commands(), Events());
        m_frame->SetPaneWidget(PaneId::Profiler, m_profiler);
    }
    return m_profiler;
}

void CKestruneApp::KeepWindowSurfaceForEmbedding()
{
    // The first web view shown in a window makes Qt recreate the window's
    // native surface for OpenGL, and the editor's foreign window inside the
    // editor pane does not survive that: the program crashed when the
    // Profiler or Documentation tab was first opened. A (never shown) OpenGL
    // widget present before the first show gives the window that surface
    // from the start, so nothing is recreated later.
    if (!m_frame->HasEditorPane() || !CEditorEmbedder::Possible())
        return;
    auto* surface = new QOpenGLWidget(m_frame);
    surface->setObjectName(QStringLiteral("SurfaceKeeper"));
    surface->hide();
}

void CKestruneApp::WireEditorLink()
{
    if (!m_frame->HasEditorPane() || !CEditorEmbedder::Possible())
        return;
    m_embedder = std::make_unique<CEditorEmbedder>();
    connect(m_embedder.get(), &CEditorEmbedder::windowReady, this, [this](QWidget* container) {
        m_frame->SetPaneWidget(PaneId::Editor, container);
        // Files dragged onto the editor open in it.
        connect(new CFileDropFilter(container), &CFileDropFilter::filesDropped, this,
                [this](const QStringList& files) { CEditorTransport::StartEditor(m_programFolder, files); });
        // Shown, but the keyboard stays where it is (the editor usually
        // comes up with the program, while the user types commands).
        QDockWidget* pane = m_frame->Pane(PaneId::Editor);
        if (!pane)
            return;
        pane->show();
        pane->raise();
        // An editor needs room: give its pane half the window's height.
        if (!pane->isFloating())
            m_frame->resizeDocks({pane}, {m_frame->height() / 2}, Qt::Vertical);
    });
    connect(m_embedder.get(), &CEditorEmbedder::windowGone, this, [this] {
        auto* empty = new QWidget;
        empty->setObjectName(QStringLiteral("EmptyPane"));
        m_frame->SetPaneWidget(PaneId::Editor, empty);
    });
    m_embedder->Start();
}

CKestruneSettings CKestruneApp::Settings()
{
    return CKestruneSettings::fromSettings(kProgram);
}

void CKestruneApp::ApplySettings(const CKestruneSettings& settings)
{
    // The rest takes effect where it is used: the interpreter's folder and
    // the working folder at the next connection, MaxHist when the history
    // is loaded, the editor's settings at the next start.
    CSessionOptions sessionOptions;
    sessionOptions.beepOnErrors = settings.beepOnErrors;
    sessionOptions.maxLines = settings.maxLines;
    sessionOptions.tempFolder = AppFolders::PrivateTempFolder().toStdString();
    m_session->SetOptions(sessionOptions);
}

void CKestruneApp::StartEditorProgram(const CKestruneSettings& settings)
{
    // The editor comes up with the program: taken into the editor pane when
    // there is one, otherwise as a window of its own when asked for.
    if (settings.useSeparateEditor && !settings.openEditorStart)
        return;
    CEditorTransport::StartEditor(m_programFolder);
}

void CKestruneApp::SendToEditor(const QByteArray& text, bool activate)
{
    if (activate) {
        if (!m_frame->ShowPane(PaneId::Editor))
            CEditorEmbedder::BringForward();
    }
    m_editor->Send(text);
}

void CKestruneApp::UpdateCommandState()
{
    if (!m_frame)
        return;
    const bool connected = IsConnected();
    using namespace CommandId;
    m_frame->Action(Connect)->setEnabled(!connected && !m_connection->IsConnecting() && !m_connection->IsRunning());
    for (int id : {Abort, Open, OpenEditor})
        m_frame->Action(id)->setEnabled(connected);
    m_frame->DirectoryCombo()->setEnabled(connected);
    m_frame->Action(SetCurrentPath)->setEnabled(connected);
    m_frame->Action(BrowseFolder)->setEnabled(connected);
    m_frame->Action(FolderUp)->setEnabled(connected);
}

void CKestruneApp::ChangeDirectory(const QString& target)
{
    if (!m_folder || !m_folder->ChangeDirectory(target))
        m_session->WritePrompt();
}

void CKestruneApp::FindHelp(bool fromButton)
{
    QComboBox* box = m_frame->HelpCombo();
    const QString topic = box->currentText().trimmed();
    if (topic.isEmpty())
        return;
    const int existing = box->findText(topic);
    if (existing >= 0)
        box->removeItem(existing);
    box->insertItem(0, topic);
    box->setCurrentIndex(0);
    if (!fromButton)
        box->setEditText(topic);
    if (!CKestruneView::IsHelpTopic(topic))
        return;
    if (CDocumentationView* docs = Documentation())
        docs->ShowDocumentation(topic);
}

bool CKestruneApp::ChooseOctaveFolder()
{
    CKestruneSettings settings = Settings();
    const QString current = settings.octavePath.isEmpty() ? CStartupConfig::DefaultOctaveFolder() : settings.octavePath;
    const QString folder = QFileDialog::getExistingDirectory(
        m_frame, QStringLiteral("GNU Octave Path: the folder that holds octave"), current);
    if (folder.isEmpty())
        return false;
    settings.octavePath = QDir::cleanPath(folder);
    settings.toSettings(kProgram);
    return true;
}

void CKestruneApp::OnConnect()
{
    if (m_shutDown)
        return;
    m_view->FlushPending();
    m_view->clear();
    m_view->setReadOnly(true);
    m_connection->Connect();
    m_status->Update();
}

void CKestruneApp::OnAbort()
{
    m_connection->RequestInterrupt(0);
}

bool CKestruneApp::CanClose()
{
    CKestruneSettings settings = Settings();
    if (IsConnected() && settings.confirmExit) {
        if (m_frame->isMinimized())
            m_frame->showNormal();
        m_frame->raise();
        m_frame->activateWindow();
        const CMessageBox::Result answer =
            CMessageBox::Show(m_frame, QStringLiteral("Do you want to disconnect from Octave?"), kProgram,
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Question,
                              QStringLiteral("Don't tell me again"));
        if (answer.checked) {
            settings.confirmExit = false;
            settings.toSettings(kProgram);
        }
        if (answer.button != QMessageBox::Ok)
            return false;
    }
    // A second close while the editor is still deciding ends that wait; the
    // first close then asks whether to close anyway.
    if (m_closingEditor) {
        m_closeAgain.store(true);
        return false;
    }
    if (m_embedder) {
        m_closingEditor = true;
        m_closeAgain.store(false);
        const CEditorCloser::Outcome outcome = CEditorCloser::Close(true, 5000, kEditorCloseWaitMs, &m_closeAgain);
        m_closingEditor = false;
        if (outcome == CEditorCloser::Outcome::Refused)
            return false;
        if (outcome == CEditorCloser::Outcome::StillRunning &&
            CMessageBox::Show(m_frame, QStringLiteral("The editor has not closed yet.\nClose Kestrune anyway? "
                                                      "The editor stays open."),
                              kProgram, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question)
                    .button != QMessageBox::Yes)
            return false;
        if (m_embedder)
            m_embedder->Poll();
    } else if (settings.closeEditorExit) {
        m_closingEditor = true;
        CEditorCloser::Close(false);
        m_closingEditor = false;
    }
    return true;
}

void CKestruneApp::Shutdown()
{
    if (m_shutDown || !m_session)
        return;
    m_shutDown = true;
    if (m_embedder)
        m_embedder->Stop();
    if (m_status)
        m_status->Stop();
    // The connection thread ends the interpreter on its way out; neither it
    // nor the sender ever waits for this thread, so the joins are short.
    m_connection->Stop();
    m_session->StopSender();
    CConnection::EndCompanionProcesses();
    for (int i = 0; i < 20 && IsConnected(); ++i)
        QThread::msleep(100);
    m_session->Close();
}

// ---------------------------------------------------------------- IConsoleHost

bool CKestruneApp::QueueCommand(const std::string& text, bool echo)
{
    return m_session->QueueCommand(text, echo);
}

bool CKestruneApp::SendRaw(const std::string& text)
{
    return m_session->SendText(text);
}

bool CKestruneApp::IsConnected() const
{
    return m_session && m_session->ConnectedFlag().load();
}

bool CKestruneApp::InterpreterKnown() const
{
    return m_connection && m_connection->InterpreterKnown();
}

bool CKestruneApp::IsStarting() const
{
    return m_connection && m_connection->IsRunning() && !m_connection->IsConnected();
}

bool CKestruneApp::WaitsForInput() const
{
    return m_session && m_session->WaitsForInput();
}

bool CKestruneApp::IsDebugMode() const
{
    return m_session && m_session->DebugMode();
}

void CKestruneApp::RequestWorkspaceRefresh()
{
    m_session->refreshWorkspace.store(true);
}

bool CKestruneApp::RunCollected(const std::string& statement, CollectedAnswer done)
{
    if (!IsConnected() || !done)
        return false;
    // The answer arrives on a session thread; it is handed on here, on the
    // GUI thread (dropped should this object be gone by then).
    return m_session->QueueCollected(statement, [this, done](bool ok, std::string answer) {
        QMetaObject::invokeMethod(this, [done, ok, answer = std::move(answer)] { done(ok, answer); },
                                  Qt::QueuedConnection);
    });
}

std::string CKestruneApp::AnswerFolder() const
{
    return AppFolders::PrivateTempFolder().toStdString();
}

void CKestruneApp::RequestInterrupt()
{
    m_connection->RequestInterrupt(2000);
}

void CKestruneApp::OpenInEditor(const std::string& location)
{
    // A link that names no existing file is ignored.
    const QByteArray message = CErrorLocation::Message(QString::fromStdString(location));
    if (!message.isEmpty())
        SendToEditor(message, true);
}

// ---------------------------------------------------------------- IConnectionHost

void CKestruneApp::ConnectionStartFailed()
{
    QMetaObject::invokeMethod(this, [this] {
        if (m_shutDown)
            return;
        CMessageBox::Show(m_frame,
                          QStringLiteral("Please define the octave installation directory.\ni.e. ") +
                              CStartupConfig::DefaultOctaveFolder(),
                          kProgram, QMessageBox::Ok, QMessageBox::Warning);
        if (ChooseOctaveFolder())
            OnConnect();
    }, Qt::QueuedConnection);
}

void CKestruneApp::ConnectionVersionRefused()
{
    QMetaObject::invokeMethod(this, [this] {
        if (m_shutDown)
            return;
        CMessageBox::Show(m_frame, QString::fromLatin1(
                              "Kestrune requires Octave version 3.6.1 or higher.\nYou can select your "
                              "Octave executable in\nFile -> Options -> GNU Octave Path"),
                          kProgram, QMessageBox::Ok, QMessageBox::Warning);
    }, Qt::QueuedConnection);
}

void CKestruneApp::ConnectionReady(const QString& workFolder, bool workFolderReplaced)
{
    QMetaObject::invokeMethod(this, [this, workFolder, workFolderReplaced] {
        if (m_shutDown)
            return;
        Q_UNUSED(workFolderReplaced);
        if (m_folder)
            m_folder->Follow(workFolder);
        m_history->Load(Settings().maxHist);
        UpdateCommandState();
        m_view->setFocus(Qt::OtherFocusReason);
        emit ready();
    }, Qt::QueuedConnection);
}

void CKestruneApp::ConnectionEnded()
{
    QMetaObject::invokeMethod(this, [this] {
        UpdateCommandState();
        emit ended();
    }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- editor texts

void CKestruneApp::OnEditorText(const QByteArray& text)
{
    EditorProtocol::Statement request;
    if (EditorProtocol::DecodeStatement(text, request) && EditorProtocol::IsActivate(request)) {
        // The editor ran something: the command window is where it shows.
        m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
        m_frame->raise();
        m_frame->activateWindow();
        View()->setFocus();
        return;
    }
    std::string statement;
    if (CEditorTextFilter::Filter(text, Settings().workPath, statement))
        m_session->IncomingQueue().Enqueue(statement);
}
