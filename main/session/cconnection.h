#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

class COctaveRedirector;
class IConnectionHost;
class ISessionPanes;

// The life of one interpreter session: Connect starts the interpreter and the
// connection thread, which waits for the first prompt, checks the version,
// sends the set-up statements and then forwards texts from the editor
// program, schedules workspace refreshes and performs interrupts until the
// interpreter ends or Stop is called.
class CConnection {
public:
    struct Settings {
        QString programName = QStringLiteral("Kestrune");
        QString programFolder;       // where marlinote lives
        QString workFolderFallback;  // used when "workpath" does not exist
        QString userPathsFile;       // "userpaths.dat"
    };

    CConnection(COctaveRedirector& session, ISessionPanes& panes, IConnectionHost& host,
                Settings settings);
    ~CConnection();
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    // GUI thread: starts the interpreter named by "Octave/path" and the
    // connection thread. The caller empties the command window first.
    void Connect();
    // Ends the connection thread (never waits for the GUI); the interpreter
    // is ended by the thread on its way out.
    void Stop();

    // Ctrl+C / "&Abort": asks for an interrupt unless one was asked for in
    // the last minIntervalMs (the thread performs it, at most every 3000 ms).
    void RequestInterrupt(int minIntervalMs = 2000);
    bool InterruptPending() const { return m_interruptRequested.load(); }

    bool IsConnected() const;
    bool IsConnecting() const { return m_connecting.load(); }
    void ClearConnecting() { m_connecting.store(false); }
    bool IsRunning() const { return m_running.load(); }
    // The interpreter process is known (set at the first prompt).
    bool InterpreterKnown() const { return m_interpreterKnown.load(); }

    // Ends companion processes started below this program: the interpreter,
    // gnuplot and the X server of a Cygwin interpreter.
    static void EndCompanionProcesses();
    // Drops what is still queued and ends leftover interpreters.
    void ShutdownCleanup();

    static constexpr int kInterruptPauseMs = 3000;
    static constexpr int kRefreshPauseMs = 2000;

private:
    void ThreadProc();
    bool FirstPrompt();
    void Interrupt();
    // A statement message from the editor program, run with or without echo.
    void QueueEditorStatement(const std::string& message);
    static std::int64_t NowMs();

    COctaveRedirector& m_session;
    ISessionPanes& m_panes;
    IConnectionHost& m_host;
    Settings m_settings;

    std::thread m_thread;
    std::mutex m_threadLock;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_connecting{false};
    std::atomic<bool> m_interpreterKnown{false};
    std::atomic<bool> m_interruptRequested{false};
    std::atomic<std::int64_t> m_lastInterruptRequest{0};
    std::atomic<std::int64_t> m_lastInterrupt{0};
};
