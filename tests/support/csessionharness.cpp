#include "tests/support/csessionharness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include "platform/octavequote.h"

CSessionHarness::CSessionHarness(ISessionConsole* console, QObject* parent)
    : QObject(parent), m_answerContext(std::make_unique<QObject>()), m_events(console), m_session(&m_events)
{
    QFile::setPermissions(m_answers.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    CSessionOptions options;
    options.tempFolder = m_answers.path().toStdString();
    options.editorCompletionDelayMs = 0;
    m_session.SetOptions(options);
    connect(&m_events, &CSessionEvents::directoryChangeRequested, this, &CSessionHarness::ChangeDirectory);
}

CSessionHarness::~CSessionHarness()
{
    Stop();
}

bool CSessionHarness::Start(int timeoutMs)
{
    if (m_started)
        return true;
    if (!m_session.Open("octave --interactive --no-history"))
        return false;
    m_started = true;
    QDeadlineTimer deadline(timeoutMs);
    while (!m_session.FirstPromptSeen()) {
        if (deadline.hasExpired() || !m_session.IsReading())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    m_session.ConnectedFlag().store(true);
    m_events.ConsoleSetReadOnly(false);
    m_session.StartSender();
    return true;
}

void CSessionHarness::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    m_session.StopSender();
    m_session.DiscardQueuedRequests();
    m_session.EndChild(3000);
    m_session.Close();
    m_session.ConnectedFlag().store(false);
}

bool CSessionHarness::WaitIdle(int ms)
{
    QDeadlineTimer deadline(ms);
    // Idle must hold over a short quiet spell: an answer's last signals and
    // the workspace's own statement may follow the prompt.
    int quietRounds = 0;
    while (quietRounds < 5) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        quietRounds = m_session.SenderIdle() ? quietRounds + 1 : 0;
        QThread::msleep(10);
    }
    QCoreApplication::processEvents();
    return true;
}

bool CSessionHarness::QueueCommand(const std::string& text, bool echo)
{
    return IsConnected() && m_session.QueueCommand(text, echo);
}

bool CSessionHarness::RunCollected(const std::string& statement, CollectedAnswer done)
{
    if (!IsConnected() || !done)
        return false;
    QObject* context = m_answerContext.get();
    return m_session.QueueCollected(statement, [context, done](bool ok, std::string answer) {
        QMetaObject::invokeMethod(
            context, [done, ok, answer = std::move(answer)] { done(ok, answer); }, Qt::QueuedConnection);
    });
}

bool CSessionHarness::IsConnected() const
{
    return m_started && m_session.IsReading();
}

bool CSessionHarness::IsDebugMode() const
{
    return m_session.DebugMode();
}

void CSessionHarness::RequestWorkspaceRefresh()
{
    QueueCommand(m_session.NamesStatement(), false);
}

std::string CSessionHarness::AnswerFolder() const
{
    return m_answers.path().toStdString();
}

void CSessionHarness::ChangeDirectory(const QString& folder)
{
    std::string literal;
    if (folder.isEmpty() || !OctaveQuote(folder.toStdString(), literal)) {
        m_session.WritePrompt();
        return;
    }
    // Octave resolves a relative folder against its own; one that does not
    // exist answers with an error and a prompt.
    QueueCommand("cd " + literal + ";###", false);
}
