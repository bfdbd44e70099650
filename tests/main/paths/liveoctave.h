#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>

#include "main/session/coctaveredirector.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"
#include "platform/octavequote.h"

// A real interpreter session for the dialogs: the session core with the
// session events as its panes, behind the commands interface the dialogs
// use. A collected answer is had through a file the interpreter writes.
class LiveOctave : public ISessionCommands {
public:
    LiveOctave() : m_session(&m_events)
    {
        CSessionOptions options;
        options.tempFolder = m_answers.path().toStdString();
        m_session.SetOptions(options);
        if (m_session.Open("octave --interactive --no-history -W")
            && QTest::qWaitFor([&] { return m_session.FirstPromptSeen(); }, 30000)) {
            m_session.ConnectedFlag().store(true);
            m_session.StartSender();
        }
    }
    ~LiveOctave() override
    {
        m_session.StopSender();
        m_session.EndChild(3000);
        m_session.Close();
    }

    CSessionEvents& Events() { return m_events; }
    QString Folder() const { return m_answers.path(); }

    // Runs a statement silently and waits for what it printed.
    std::string Ask(const std::string& statement)
    {
        std::string answer;
        bool done = false;
        RunCollected(statement, [&](bool, const std::string& text) {
            answer = text;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 60000))
            return "(no answer to " + statement + ")";
        return answer;
    }

    bool QueueCommand(const std::string& text, bool echo) override { return m_session.QueueCommand(text, echo); }
    bool RunCollected(const std::string& statement, CollectedAnswer done) override
    {
        const QString file = m_answers.path() + QStringLiteral("/answer%1.txt").arg(++m_answerCount);
        const std::string part = OctaveQuoted((file + ".part").toStdString());
        if (!m_session.QueueCommand("kp_f = fopen(" + part + ", 'w'); fputs(kp_f, evalc(" + OctaveQuoted(statement)
                                        + ")); fclose(kp_f); clear kp_f; rename(" + part + ", "
                                        + OctaveQuoted(file.toStdString()) + ");",
                                    false))
            return false;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [poll, file, done] {
            QFile answer(file);
            if (!answer.exists() || !answer.open(QIODevice::ReadOnly))
                return;
            poll->deleteLater();
            done(true, answer.readAll().toStdString());
        });
        poll->start(20);
        return true;
    }
    bool IsConnected() const override { return m_session.ConnectedFlag().load(); }
    bool IsDebugMode() const override { return false; }
    void RequestWorkspaceRefresh() override {}
    std::string AnswerFolder() const override { return m_answers.path().toStdString(); }

private:
    QTemporaryDir m_answers;
    CSessionEvents m_events;
    mutable COctaveRedirector m_session;
    int m_answerCount = 0;
};
