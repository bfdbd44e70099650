#pragma once

#include <QObject>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "main/session/coctaveredirector.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"

// A real interpreter ("octave --interactive --no-history") behind the
// session, for tests of panes: it owns the CSessionEvents the panes connect
// to and is the ISessionCommands they are given. Use it on the GUI thread of
// a Q(Core)Application; answers and signals arrive through the event loop,
// so wait with WaitIdle (or any loop that processes events).
//
// A typed "cd DIR" is carried out as the program does it (quoted, silent);
// for a folder that does not exist the interpreter answers with its error.
class CSessionHarness : public QObject, public ISessionCommands {
    Q_OBJECT
public:
    // console: where the command window's output goes (may be null).
    explicit CSessionHarness(ISessionConsole* console = nullptr, QObject* parent = nullptr);
    ~CSessionHarness() override;

    // Starts the interpreter and waits for its first prompt; false when it
    // did not come within timeoutMs.
    bool Start(int timeoutMs = 30000);
    // Ends the interpreter (also done by the destructor).
    void Stop();

    // Spins the event loop until no request waits, the interpreter is back
    // at its prompt and what it printed has been handed on; false on timeout.
    bool WaitIdle(int ms = 20000);

    CSessionEvents& Events() { return m_events; }
    COctaveRedirector& Session() { return m_session; }

    // ISessionCommands
    bool QueueCommand(const std::string& text, bool echo) override;
    bool RunCollected(const std::string& statement, CollectedAnswer done) override;
    bool IsConnected() const override;
    bool IsDebugMode() const override;
    void RequestWorkspaceRefresh() override;
    std::string AnswerFolder() const override;

private:
    void ChangeDirectory(const QString& folder);

    QTemporaryDir m_answers;
    // Receives the posted answers; gone with the harness, so an answer that
    // arrives late is dropped rather than delivered to a dead test. Declared
    // before the session, which may still tell of lost answers as it ends.
    std::unique_ptr<QObject> m_answerContext;
    CSessionEvents m_events;
    COctaveRedirector m_session;
    bool m_started = false;
};
