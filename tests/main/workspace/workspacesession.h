#pragma once

// The real interpreter session of CSessionHarness for the workspace tests and
// benchmark, with what the connection thread adds in the program: the names
// statement whenever the refresh flag is up at a prompt. It remembers what
// the panes sent and reads values back through collected answers.

#include <QTest>
#include <QTimer>

#include <mutex>

#include "main/session/coctaveredirector.h"
#include "tests/support/csessionharness.h"

namespace workspacetest {

class CConsoleSink : public ISessionConsole {
public:
    void ConsoleWrite(const std::string& text, const std::vector<CTextSpan>&, int) override { Add(text); }
    void ConsoleEcho(const std::string& text) override { Add(text); }
    void ConsoleReset(const std::string& text) override { Add(text); }
    void ConsoleReplace(const std::string&, const std::string&) override {}
    void ConsoleCaretToEnd() override {}
    void ConsoleSetReadOnly(bool) override {}
    void ConsoleSetBusy(bool) override {}
    void Beep() override {}
    std::string Text() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_text;
    }

private:
    void Add(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_text += text;
    }
    mutable std::mutex m_lock;
    std::string m_text;
};

class CWorkspaceSession : public ISessionCommands {
public:
    struct Sent {
        std::string text;
        bool echo;
    };

    CWorkspaceSession() : m_harness(&m_console), events(m_harness.Events())
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            // As the connection thread does: refresh at a prompt when asked.
            COctaveRedirector& session = m_harness.Session();
            if (session.refreshWorkspace.load() && session.SenderIdle()) {
                session.refreshWorkspace.store(false);
                m_harness.RequestWorkspaceRefresh();
            }
        });
    }

    bool Start()
    {
        if (!m_harness.Start())
            return false;
        m_poll.start(5);
        return true;
    }

    // ISessionCommands: what the panes send is remembered.
    bool QueueCommand(const std::string& text, bool echo) override
    {
        sent.push_back({text, echo});
        return m_harness.QueueCommand(text, echo);
    }
    bool RunCollected(const std::string& statement, CollectedAnswer done) override
    {
        sent.push_back({statement, false});
        return m_harness.RunCollected(statement, std::move(done));
    }
    bool IsConnected() const override { return !offline && m_harness.IsConnected(); }
    bool IsDebugMode() const override { return m_harness.IsDebugMode(); }
    void RequestWorkspaceRefresh() override { m_harness.Session().refreshWorkspace.store(true); }
    std::string AnswerFolder() const override { return m_harness.AnswerFolder(); }

    // Runs a statement silently, then waits until it and the refresh that
    // follows it are done.
    bool Run(const std::string& statement) { return m_harness.QueueCommand(statement, false) && Settle(); }
    bool Settle()
    {
        for (int round = 0; round < 3; ++round) {
            if (!m_harness.WaitIdle(30000))
                return false;
            if (!m_harness.Session().refreshWorkspace.load())
                return true;
        }
        return false;
    }
    // What disp(expression) prints, without blanks around it.
    std::string Value(const std::string& expression)
    {
        std::string value = "<no answer>";
        bool answered = false;
        m_harness.RunCollected("disp(" + expression + ")", [&](bool ok, const std::string& answer) {
            if (ok)
                value = answer;
            answered = true;
        });
        if (!QTest::qWaitFor([&] { return answered; }, 30000))
            return "<no answer>";
        const std::size_t first = value.find_first_not_of(" \n");
        const std::size_t last = value.find_last_not_of(" \n");
        return first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
    }

    std::string Console() const { return m_console.Text(); }

private:
    CConsoleSink m_console;
    CSessionHarness m_harness;
    QTimer m_poll;

public:
    CSessionEvents& events;
    std::vector<Sent> sent;
    // Tells the panes the interpreter is gone.
    bool offline = false;
};

}  // namespace workspacetest
