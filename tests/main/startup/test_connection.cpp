// Connecting, refusing old interpreters, losing the interpreter, texts from
// the editor program and closing.
#include <QAction>
#include <QFile>

#include "main/history/ccommandhistory.h"
#include "main/console/ckestruneview.h"
#include "main/frame/ccommandids.h"
#include "main/app/ckestruneapp.h"
#include "main/frame/cstatuspane.h"
#include "main/session/cconnection.h"
#include "main/session/coctaveredirector.h"
#include "platform/cmessagechannel.h"
#include "platform/cprofile.h"
#include "tests/main/console/kestrunetestsupport.h"

#include <atomic>
#include <csignal>
#include <thread>

using kestrunetest::ModalAnswerer;
using kestrunetest::WaitFor;

namespace {

QString Setting(const QString& section, const QString& key)
{
    return CProfile(QStringLiteral("Kestrune")).GetString(section, key);
}

class Connection : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 1);
        m_profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("ConfirmExit"), 0);
        m_profile.WriteString(QStringLiteral("Octave"), QStringLiteral("path"), QString());
        m_work = QDir::tempPath() + QStringLiteral("/work");
        QDir().mkpath(m_work);
        m_profile.WriteString(QStringLiteral("Octave"), QStringLiteral("workpath"), m_work);
    }

    // A stand-in interpreter that names the given version and answers every
    // line with a prompt.
    QString FakeInterpreter(const QString& version)
    {
        const QString folder = QDir::tempPath() + QStringLiteral("/fake-") + version;
        QDir().mkpath(folder);
        QFile script(folder + QStringLiteral("/octave"));
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho 'GNU Octave, version %1'\necho 'Copyright'\n"
                                    "printf 'octave:1> '\nn=1\nwhile IFS= read -r line; do n=$((n+1)); "
                                    "printf 'octave:%d> ' $n; done\n").arg(version).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return folder;
    }

    void Start(bool listen = false)
    {
        m_app = std::make_unique<CKestruneApp>();
        CKestruneApp::Options options;
        options.splash = false;
        options.listen = listen;
        ASSERT_TRUE(m_app->Start(options));
    }

    bool WaitReady(int timeoutMs = 30000)
    {
        return WaitFor([this] {
            m_app->View()->FlushPending();
            return m_app->IsConnected() && !m_app->View()->isReadOnly() &&
                   m_app->View()->Text().endsWith(QStringLiteral(">> ")) && !m_app->Session().Busy();
        }, timeoutMs);
    }

    // The receiver runs on this (the GUI) thread, and the sender waits until
    // it has handled the text: send from another thread.
    static MessageChannel::SendResult SendToMain(const QByteArray& text)
    {
        std::atomic<bool> done{false};
        MessageChannel::SendResult result = MessageChannel::SendResult::Failed;
        std::thread sender([&] {
            result = MessageChannel::Send(QStringLiteral("kestrune"), text);
            done.store(true);
        });
        WaitFor([&] { return done.load(); }, 10000);
        sender.join();
        return result;
    }

    QString StatusText() const { return m_app->Frame()->StatusPane(1)->Text(); }

    void TearDown() override { m_app.reset(); }

    CProfile m_profile{QStringLiteral("Kestrune")};
    QString m_work;
    std::unique_ptr<CKestruneApp> m_app;
};

TEST_F(Connection, RefusesVersion360)
{
    m_profile.WriteString(QStringLiteral("Octave"), QStringLiteral("path"), FakeInterpreter(QStringLiteral("3.6.0")));
    ModalAnswerer answer;
    Start();
    ASSERT_TRUE(WaitFor([&] { return !answer.texts.isEmpty(); }));
    EXPECT_EQ(answer.texts.first(),
              QStringLiteral("Kestrune requires Octave version 3.6.1 or higher.\nYou can select your Octave "
                             "executable in\nFile -> Options -> GNU Octave Path"));
    ASSERT_TRUE(WaitFor([&] { return !m_app->Connection().IsRunning(); }));
    EXPECT_FALSE(m_app->IsConnected());
    EXPECT_TRUE(m_app->View()->isReadOnly());
    EXPECT_TRUE(WaitFor([&] { return m_app->Frame()->Action(CommandId::Connect)->isEnabled(); }));
    EXPECT_TRUE(WaitFor([&] { return StatusText() == QStringLiteral("Disconnected"); }));
}

TEST_F(Connection, Accepts361And400)
{
    for (const QString& version : QStringList{QStringLiteral("3.6.1"), QStringLiteral("4.0.0")}) {
        m_profile.WriteString(QStringLiteral("Octave"), QStringLiteral("path"), FakeInterpreter(version));
        ModalAnswerer answer;
        Start();
        EXPECT_TRUE(WaitFor([&] { return m_app->IsConnected(); })) << version.toStdString();
        EXPECT_TRUE(WaitFor([&] { return StatusText() == QStringLiteral("Ready"); })) << version.toStdString();
        EXPECT_TRUE(answer.texts.isEmpty());
        EXPECT_FALSE(m_app->Frame()->Action(CommandId::Connect)->isEnabled());
        EXPECT_TRUE(m_app->Frame()->Action(CommandId::Abort)->isEnabled());
        m_app.reset();
    }
}

TEST_F(Connection, KilledInterpreterLeavesTheWindowDisconnectedThenConnectWorks)
{
    Start();
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(Setting(QStringLiteral("Octave"), QStringLiteral("workpath")), m_work);
    const pid_t pid = m_app->Session().ChildPid();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGKILL);
    ASSERT_TRUE(WaitFor([&] { return StatusText() == QStringLiteral("Disconnected"); }));
    EXPECT_TRUE(WaitFor([&] { return m_app->View()->isReadOnly(); }));
    QAction* connect = m_app->Frame()->Action(CommandId::Connect);
    ASSERT_TRUE(WaitFor([&] { return connect->isEnabled(); }));
    EXPECT_FALSE(m_app->Frame()->Action(CommandId::Abort)->isEnabled());
    // Typing into the read-only window changes nothing.
    const QString before = m_app->View()->Text();
    QTest::keyClicks(m_app->View(), QStringLiteral("abc"));
    EXPECT_EQ(m_app->View()->Text(), before);

    connect->trigger();
    ASSERT_TRUE(WaitReady());
    QTest::keyClicks(m_app->View(), QStringLiteral("disp(40+2)"));
    QTest::keyClick(m_app->View(), Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] {
        m_app->View()->FlushPending();
        return m_app->View()->Text().contains(QStringLiteral("\n42\n>> "));
    }));
}

TEST_F(Connection, MissingInterpreterAsksForItsFolder)
{
    const QString empty = QDir::tempPath() + QStringLiteral("/no-octave-here");
    QDir().mkpath(empty);
    m_profile.WriteString(QStringLiteral("Octave"), QStringLiteral("path"), empty);
    ModalAnswerer answer;
    Start();
    ASSERT_TRUE(WaitFor([&] { return !answer.texts.isEmpty() && answer.dialogs > 0; }));
    EXPECT_TRUE(answer.texts.first().startsWith(QStringLiteral("Please define the octave installation directory.")));
    EXPECT_EQ(m_profile.GetInt(QStringLiteral("Octave"), QStringLiteral("FirstRun"), 0), 1);
    EXPECT_EQ(m_profile.GetInt(QStringLiteral("General"), QStringLiteral("LastActiveIndex"), 9), 0);
    EXPECT_FALSE(m_app->IsConnected());
    EXPECT_EQ(m_profile.GetString(QStringLiteral("Octave"), QStringLiteral("path")), empty)
        << "a refused folder chooser keeps the setting";
}

TEST_F(Connection, TextsFromTheEditorProgramRun)
{
    Start(true);
    ASSERT_TRUE(WaitReady());
    // Line ends are removed; "####" runs silently.
    EXPECT_EQ(SendToMain("fromeditor = 7;####\r\n"),
              MessageChannel::SendResult::Delivered);
    EXPECT_EQ(SendToMain("disp(fromeditor * 6)\n"),
              MessageChannel::SendResult::Delivered);
    ASSERT_TRUE(WaitFor([&] {
        m_app->View()->FlushPending();
        return m_app->View()->Text().contains(QStringLiteral("disp(fromeditor * 6)\n42\n>> "));
    })) << m_app->View()->Text().toStdString();
    EXPECT_FALSE(m_app->View()->Text().contains(QStringLiteral("fromeditor = 7")));
    // "cd" to the folder the interpreter is in is dropped; another is run.
    const QString other = QDir::tempPath() + QStringLiteral("/other");
    QDir().mkpath(other);
    SendToMain(QStringLiteral("cd '%1/'").arg(m_work).toUtf8());
    SendToMain(QStringLiteral("cd '%1'").arg(other).toUtf8());
    // The typed form of cd moves the working folder (and the directory box).
    ASSERT_TRUE(WaitFor([&] { return Setting(QStringLiteral("Octave"), QStringLiteral("workpath")) == other; }));
    EXPECT_FALSE(m_app->View()->Text().contains(QStringLiteral("cd '%1/'").arg(m_work)));
}

TEST_F(Connection, CloseAsksAndRemembersDontTellAgain)
{
    m_profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("ConfirmExit"), 1);
    Start();
    ASSERT_TRUE(WaitReady());
    {
        ModalAnswerer answer(QMessageBox::Cancel, false);
        EXPECT_FALSE(m_app->Frame()->close()) << "Cancel keeps the program open";
        EXPECT_EQ(answer.texts, QStringList{QStringLiteral("Do you want to disconnect from Octave?")});
        EXPECT_TRUE(m_app->IsConnected());
    }
    ModalAnswerer answer(QMessageBox::Ok, true);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(m_app->Frame()->close());
    EXPECT_LT(clock.elapsed(), 3000) << "closing never waits long";
    EXPECT_EQ(m_profile.GetInt(QStringLiteral("Octave"), QStringLiteral("ConfirmExit"), 1), 0);
    EXPECT_FALSE(m_app->IsConnected());
}

TEST_F(Connection, AbortInterruptsAndRequestsAreSpacedBy3000Ms)
{
    Start();
    ASSERT_TRUE(WaitReady());
    QTest::qWait(3200);
    QTest::keyClicks(m_app->View(), QStringLiteral("while true, end"));
    QTest::keyClick(m_app->View(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return m_app->Session().Busy(); }));
    m_app->Frame()->Action(CommandId::Abort)->trigger();
    ASSERT_TRUE(WaitFor([&] { return !m_app->Session().Busy(); }, 2000));
    // A second request within 3000 ms waits for the pause.
    QTest::keyClicks(m_app->View(), QStringLiteral("while true, end"));
    QTest::keyClick(m_app->View(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return m_app->Session().Busy(); }));
    QElapsedTimer clock;
    clock.start();
    m_app->OnAbort();
    ASSERT_TRUE(WaitFor([&] { return !m_app->Session().Busy(); }, 6000));
    EXPECT_GT(clock.elapsed(), 1500);
    EXPECT_TRUE(m_app->IsConnected());
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
