#pragma once

// A real interpreter session for the workspace tests and benchmark: the
// session's own redirector and dispatcher, with the refresh the connection
// thread makes (names statement whenever the refresh flag is up at a prompt)
// and the collected run the panes use.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>

#include "main/session/coctaveredirector.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"

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

    CWorkspaceSession() : events(&console), m_session(&events)
    {
        m_answers = m_dir.path().toStdString() + "/answers it's \"here\"";
        QDir().mkpath(QString::fromStdString(m_answers));
        CSessionOptions options;
        options.tempFolder = m_answers;
        m_session.SetOptions(options);
        QObject::connect(&events, &CSessionEvents::variablesRefilled, [this] { ++m_refills; });
    }
    ~CWorkspaceSession() override
    {
        m_poll.stop();
        m_session.StopSender();
        m_session.EndChild(3000);
        m_session.Close();
    }

    bool Start()
    {
        if (!m_session.Open("octave --interactive --no-history -W"))
            return false;
        if (!QTest::qWaitFor([this] { return m_session.FirstPromptSeen(); }, 30000))
            return false;
        m_session.ConnectedFlag().store(true);
        m_session.StartSender();
        m_base = m_session.RequestsDone();
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
        m_poll.start(5);
        return true;
    }

    // ISessionCommands
    bool QueueCommand(const std::string& text, bool echo) override
    {
        sent.push_back({text, echo});
        Queue(text, echo);
        return true;
    }
    bool RunCollected(const std::string& statement, CollectedAnswer done) override
    {
        sent.push_back({statement, false});
        m_waiting.push_back({Queue(statement, false), std::move(done)});
        return true;
    }
    bool IsConnected() const override { return true; }
    bool IsDebugMode() const override { return false; }
    void RequestWorkspaceRefresh() override { m_session.refreshWorkspace.store(true); }
    std::string AnswerFolder() const override { return m_answers; }

    // Runs a statement silently and waits for its prompt and the refresh
    // that follows it.
    bool Run(const std::string& statement)
    {
        const unsigned index = Queue(statement, false);
        return QTest::qWaitFor([&] { return Done(index); }, 30000) && Settle();
    }
    // Waits until every request is answered and no refresh is pending.
    bool Settle()
    {
        return QTest::qWaitFor(
            [&] {
                return Done(m_queued) && !m_session.refreshWorkspace.load() && m_waiting.empty()
                       && m_refills == m_refillsAsked;
            },
            30000);
    }
    // What disp(expression) prints, without its line end.
    std::string Value(const std::string& expression)
    {
        const std::string file = m_dir.path().toStdString() + "/value.txt";
        QFile::remove(QString::fromStdString(file));
        // The helper is defined with each use: "clear all" removes it.
        if (!Run("function kws_put(f, t), fid = fopen(f, 'w'); fputs(fid, t); fclose(fid); end, kws_put('" + file
                 + "', disp(" + expression + "))"))
            return "<no answer>";
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        std::string value = text.str();
        while (!value.empty() && (value.back() == '\n' || value.back() == ' '))
            value.pop_back();
        while (!value.empty() && value.front() == ' ')
            value.erase(0, 1);
        return value;
    }

    std::string Console() const { return console.Text(); }
    COctaveRedirector& Session() { return m_session; }

    CConsoleSink console;
    CSessionEvents events;
    std::vector<Sent> sent;

private:
    bool Done(unsigned index) const { return m_session.RequestsDone() - m_base >= index && m_session.AtPrompt(); }

    unsigned Queue(const std::string& text, bool echo)
    {
        m_session.QueueCommand(text, echo);
        return ++m_queued;
    }

    void Poll()
    {
        while (!m_waiting.empty() && Done(m_waiting.front().first)) {
            CollectedAnswer done = std::move(m_waiting.front().second);
            m_waiting.pop_front();
            done(true, std::string());
        }
        // As the connection thread does: refresh at a prompt when asked.
        if (m_session.refreshWorkspace.load() && Done(m_queued)) {
            m_session.refreshWorkspace.store(false);
            ++m_refillsAsked;
            Queue(m_session.NamesStatement(), false);
        }
    }

    QTemporaryDir m_dir;
    std::string m_answers;
    COctaveRedirector m_session;
    QTimer m_poll;
    unsigned m_base = 0;
    unsigned m_queued = 0;
    std::deque<std::pair<unsigned, CollectedAnswer>> m_waiting;
    int m_refills = 0;
    int m_refillsAsked = 0;
};

}  // namespace workspacetest
