#include "main/session/cconnection.h"

#include <QDir>

#include "main/session/cconnectionhost.h"
#include "main/session/cconnectionprocesses.h"
#include "main/session/coctaveredirector.h"
#include "main/session/cstartupconfig.h"
#include "main/session/cstartupversion.h"
#include "platform/ckestrunesettings.h"
#include "platform/editorprotocol.h"

namespace {
constexpr auto kLoopWait = std::chrono::milliseconds(50);
}  // namespace

CConnection::CConnection(COctaveRedirector& session, ISessionPanes& panes, IConnectionHost& host,
                         Settings settings)
    : m_session(session), m_panes(panes), m_host(host), m_settings(std::move(settings))
{
    m_lastInterruptRequest.store(NowMs());
}

CConnection::~CConnection()
{
    Stop();
}

std::int64_t CConnection::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool CConnection::IsConnected() const
{
    return m_session.ConnectedFlag().load();
}

void CConnection::Connect()
{
    Stop();
    m_connecting.store(true);
    m_interpreterKnown.store(false);
    m_session.ResetProtocolState();
    m_session.Close();

    const QString folder =
        CStartupConfig::OctaveFolder(CKestruneSettings::fromSettings(m_settings.programName).octavePath);
    std::vector<std::string> arguments{CStartupConfig::OctaveProgram(folder).toStdString()};
    for (const QString& argument : CStartupConfig::OctaveArguments(folder))
        arguments.push_back(argument.toStdString());
    // A failure is written into the command window by the session; the
    // thread notices it.
    m_session.Open(arguments);

    std::lock_guard<std::mutex> lock(m_threadLock);
    m_running.store(true);
    m_thread = std::thread(&CConnection::ThreadProc, this);
}

void CConnection::Stop()
{
    std::lock_guard<std::mutex> lock(m_threadLock);
    m_running.store(false);
    m_session.IncomingQueue().WakeConsumers();
    if (m_thread.joinable()) {
        if (m_thread.get_id() == std::this_thread::get_id())
            m_thread.detach();
        else
            m_thread.join();
    }
}

void CConnection::RequestInterrupt(int minIntervalMs)
{
    const std::int64_t now = NowMs();
    if (now - m_lastInterruptRequest.load() > minIntervalMs) {
        m_lastInterruptRequest.store(now);
        m_interruptRequested.store(true);
        m_session.IncomingQueue().WakeConsumers();
    }
}

void CConnection::Interrupt()
{
    m_interruptRequested.store(false);
    m_lastInterrupt.store(NowMs());
    m_session.DiscardQueuedRequests();
    m_session.Interrupt();
    // At an idle prompt the interpreter throws the next line away; this line
    // end is that line.
    m_session.SendText("\n");
}

void CConnection::EndCompanionProcesses()
{
    for (const char* name : {"octave", "gnuplot", "gnuplot_x11", "XWin"})
        CConnectionProcesses::TerminateAllByName(name);
}

void CConnection::ShutdownCleanup()
{
    m_session.DiscardQueuedRequests();
    if (!m_running.load())
        CConnectionProcesses::TerminateAllByName("octave");
}

bool CConnection::FirstPrompt()
{
    m_session.DiscardQueuedRequests();
    const std::string banner = m_session.Banner();
    if (!CStartupVersion::IsAccepted(banner)) {
        m_host.ConnectionVersionRefused();
        return false;
    }
    m_interpreterKnown.store(true);
    const int major = CStartupVersion::Major(banner);

    const std::string editor = CStartupConfig::EditorStatement(m_settings.programFolder, major);
    if (!editor.empty())
        m_session.QueueCommand(editor, false);
    m_session.QueueCommand(CStartupConfig::ProfileStatusStatement(), false);

    bool replaced = false;
    const QString work = CStartupConfig::WorkingFolder(m_settings.programName, m_settings.workFolderFallback, &replaced);
    const std::string cd = CStartupConfig::ChangeFolderStatement(work);
    if (!cd.empty())
        m_session.QueueCommand(cd, false);

    const QStringList paths = CStartupConfig::LoadSearchPaths(m_settings.userPathsFile);
    if (!paths.isEmpty()) {
        m_session.QueueCommand(CStartupConfig::AddPathStatement(paths), false);
        m_session.pathsChanged.store(true);
    }

    m_session.refreshWorkspace.store(true);
    m_session.ConnectedFlag().store(true);
    m_panes.ConsoleSetReadOnly(false);
    m_host.ConnectionReady(work, replaced);
    m_session.QueueCommand(CStartupConfig::GraphicsStatement(major), false);
    return true;
}

void CConnection::QueueEditorStatement(const std::string& message)
{
    EditorProtocol::Statement statement;
    if (EditorProtocol::DecodeStatement(QByteArray::fromStdString(message), statement))
        m_session.QueueEditorCommand(statement.text.toStdString(), statement.echo);
}

void CConnection::ThreadProc()
{
    m_session.ConnectedFlag().store(false);
    m_session.pathsChanged.store(false);
    m_session.packagesChanged.store(false);
    m_session.refreshWorkspace.store(false);
    m_panes.ConsoleSetReadOnly(true);
    const std::int64_t start = NowMs();
    if (m_lastInterrupt.load() < start)
        m_lastInterrupt.store(start);
    std::int64_t lastRefresh = 0;
    bool firstDone = false;
    bool startFailed = false;

    while (m_running.load()) {
        const std::int64_t now = NowMs();
        if (m_interruptRequested.load() && m_interpreterKnown.load() &&
            now - m_lastInterrupt.load() > kInterruptPauseMs) {
            Interrupt();
            continue;
        }
        if (m_session.StartFailed()) {
            startFailed = true;
            m_panes.ConsoleReset(std::string());
            CKestruneSettings::StoreStartFailed(m_settings.programName);
            break;
        }
        if (!firstDone && m_session.FirstPromptSeen()) {
            firstDone = true;
            if (!FirstPrompt())
                break;
            continue;
        }
        const bool connected = m_session.ConnectedFlag().load();
        // Gone: after the first prompt the reader cleared connected; before
        // it, the reader ended without ever seeing a prompt.
        if ((firstDone && !connected) || (!firstDone && !m_session.IsReading() && !m_session.ChildRunning()))
            break;
        if (m_session.pathsChanged.load()) {
            if (m_session.QueueCommand("path;###", false))
                m_session.pathsChanged.store(false);
            continue;
        }
        if (m_session.packagesChanged.load()) {
            if (m_session.QueueCommand("pkg describe all;###", false))
                m_session.packagesChanged.store(false);
            continue;
        }
        // Texts from the editor program go first: a pending refresh waits for
        // the prompt, which a long run may not give for a long time.
        std::string text;
        if (connected && m_session.IncomingQueue().Dequeue(text)) {
            QueueEditorStatement(text);
            continue;
        }
        if (connected && m_session.refreshWorkspace.load() && now - lastRefresh > kRefreshPauseMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (m_session.ConsoleEndsWithPrompt()) {
                m_session.QueueCommand(m_session.NamesStatement(), false);
                lastRefresh = NowMs();
                m_session.refreshWorkspace.store(false);
            }
            continue;
        }
        // Waits for a text from the editor program, or the loop's pause.
        if (connected && m_session.IncomingQueue().DequeueWait(text, kLoopWait)) {
            QueueEditorStatement(text);
            continue;
        }
        if (!connected)
            std::this_thread::sleep_for(kLoopWait / 5);
    }

    m_session.Close();
    m_session.ConnectedFlag().store(false);
    m_interpreterKnown.store(false);
    m_session.EndChild(200);
    CConnectionProcesses::TerminateAllByName("octave");
    m_panes.ConsoleSetReadOnly(true);
    m_running.store(false);
    m_connecting.store(false);
    if (startFailed)
        m_host.ConnectionStartFailed();
    m_host.ConnectionEnded();
}
