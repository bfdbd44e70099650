// The command window on the session alone (no main window): the real view,
// the real interpreter, real keys.
#include <QClipboard>
#include <QDir>
#include <QSignalSpy>

#include "main/console/cconsolesink.h"
#include "main/console/ckestruneview.h"
#include "main/console/iconsolehistory.h"
#include "main/console/iconsolehost.h"
#include "platform/octavequote.h"
#include "tests/main/console/kestrunetestsupport.h"
#include "tests/support/csessionharness.h"

using kestrunetest::WaitFor;

namespace {

// The window's host: everything goes to the harness's session.
class HarnessHost : public IConsoleHost {
public:
    explicit HarnessHost(CSessionHarness& harness) : m_harness(harness) {}
    bool QueueCommand(const std::string& text, bool echo) override
    {
        queued.push_back(text);
        return m_harness.QueueCommand(text, echo);
    }
    bool SendRaw(const std::string& text) override { return m_harness.Session().SendText(text); }
    bool IsConnected() const override { return m_harness.IsConnected(); }
    bool InterpreterKnown() const override { return true; }
    bool IsStarting() const override { return starting; }
    bool WaitsForInput() const override { return m_harness.Session().WaitsForInput(); }
    bool IsDebugMode() const override { return m_harness.IsDebugMode(); }
    void RequestWorkspaceRefresh() override {}
    void RequestInterrupt() override { m_harness.Session().Interrupt(); }
    void OpenInEditor(const std::string&) override {}

    std::vector<std::string> queued;
    bool starting = false;

private:
    CSessionHarness& m_harness;
};

// The lines the window adds to the history.
class RecordingHistory : public IConsoleHistory {
public:
    bool AddFromWindow(const QString& line) override
    {
        m_entries << line;
        return true;
    }
    const QStringList& Entries() const override { return m_entries; }
    int& Cursor() override { return m_cursor; }
    void Clear() override { m_entries.clear(); }

private:
    QStringList m_entries;
    int m_cursor = 0;
};

class CommandWindowSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.SetHost(&host);
        view.resize(700, 400);
        view.show();
        ASSERT_TRUE(harness.Start());
        ASSERT_TRUE(Idle());
        ASSERT_TRUE(view.Text().endsWith(QStringLiteral(">> "))) << Text();
    }

    bool Idle()
    {
        const bool idle = harness.WaitIdle();
        view.FlushPending();
        return idle;
    }
    std::string Text() const { return view.Text().toStdString(); }

    // The interpreter's answer to a statement, run aside from the window.
    std::string Ask(const std::string& statement)
    {
        std::string answer = "(no answer)";
        bool done = false;
        harness.RunCollected(statement, [&](bool ok, const std::string& text) {
            answer = ok ? text : "(lost)";
            done = true;
        });
        EXPECT_TRUE(WaitFor([&] { return done; }, 20000)) << statement;
        return answer;
    }

    void Type(const QString& text) { QTest::keyClicks(&view, text); }
    void Enter() { QTest::keyClick(&view, Qt::Key_Return); }

    CKestruneView view;
    CConsoleSink sink{&view};
    CSessionHarness harness{&sink};
    HarnessHost host{harness};
};

TEST_F(CommandWindowSession, PastedLinesEndingWithALineBreakRunOnEnter)
{
    QApplication::clipboard()->setText(QStringLiteral("pa = 11\npb = 22\n"));
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    Enter();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Ask("disp(pa + pb)"), "33\n");
    EXPECT_TRUE(view.Text().endsWith(QStringLiteral("pb = 22\n>> "))) << Text();
}

TEST_F(CommandWindowSession, EnterOnAnEmptyLineSendsOneLineEnd)
{
    // The session ends every statement with a line end; a second one would
    // give a second prompt, which could end the next answer before it began.
    Enter();
    ASSERT_FALSE(host.queued.empty());
    EXPECT_EQ(host.queued.back(), "");
    EXPECT_EQ(Ask("disp(7)"), "7\n");
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(view.Text().endsWith(QStringLiteral("\n>> ")) || view.Text() == QStringLiteral(">> ")) << Text();
}

TEST_F(CommandWindowSession, TypedCdReachesAQuotedFolderAndLeavesAPrompt)
{
    QTemporaryDir parent;
    const QString folder = parent.path() + QStringLiteral("/it's a dir");
    ASSERT_TRUE(QDir().mkpath(folder));
    harness.QueueCommand("cd " + OctaveQuoted(parent.path().toStdString()) + ";###", false);
    ASSERT_TRUE(Idle());

    QSignalSpy notices(&harness.Events(), &CSessionEvents::currentDirectoryChanged);
    Type(QStringLiteral("cd it's a dir"));
    Enter();
    ASSERT_TRUE(Idle());
    EXPECT_GE(notices.count(), 1);
    EXPECT_EQ(Ask("disp(pwd)"), QDir(folder).canonicalPath().toStdString() + "\n");
    EXPECT_TRUE(view.Text().endsWith(QStringLiteral(">> cd it's a dir\n>> "))) << Text();

    // The next statement's echo leaves the cd line alone.
    Type(QStringLiteral("x = 1"));
    Enter();
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(view.Text().endsWith(QStringLiteral(">> cd it's a dir\n>> x = 1\nx = 1\n>> "))) << Text();
}

TEST_F(CommandWindowSession, PromptAfterDocAndAFailedCdGoesBehindTheTypedText)
{
    Type(QStringLiteral("doc plot"));
    Enter();
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(view.Text().endsWith(QStringLiteral(">> doc plot\n>> "))) << Text();
    Type(QStringLiteral("cd /no/such/folder"));
    Enter();
    ASSERT_TRUE(Idle());
    const QString text = view.Text();
    EXPECT_TRUE(text.contains(QStringLiteral(">> doc plot\n>> cd /no/such/folder\n"))) << Text();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n>> "))) << Text();
    EXPECT_EQ(view.CommandLine(), QString());
}

TEST_F(CommandWindowSession, StatementFromElsewhereKeepsWhatTheUserIsTyping)
{
    Type(QStringLiteral("half typed"));
    harness.QueueCommand("disp(5)", true);
    view.ActivateLink(QStringLiteral("sin"));
    ASSERT_TRUE(Idle());
    const QString text = view.Text();
    EXPECT_TRUE(text.contains(QStringLiteral(">> disp(5)\n5\n>> help sin\n"))) << Text();
    EXPECT_TRUE(text.endsWith(QStringLiteral(">> half typed"))) << Text();
    EXPECT_EQ(view.CommandLine(), QStringLiteral("half typed"));
}

TEST_F(CommandWindowSession, RepliesToInputStayOutOfTheHistoryBlockLinesDoNot)
{
    RecordingHistory history;
    view.SetHistory(&history);
    QSignalSpy echoed(&harness.Events(), &CSessionEvents::historyAdded);
    Type(QStringLiteral("x = input('value? ')"));
    Enter();
    ASSERT_TRUE(WaitFor([&] { return host.WaitsForInput(); }, 20000)) << Text();
    Type(QStringLiteral("5"));
    Enter();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Ask("disp(x)"), "5\n");
    // A block typed line by line waits for input too, but its lines are statements.
    for (const char* line : {"for k = 1:2", "y = k;", "end"}) {
        Type(QString::fromLatin1(line));
        Enter();
    }
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Ask("disp(y)"), "2\n");

    const QStringList statements{"x = input('value? ')", "for k = 1:2", "y = k;", "end"};
    EXPECT_EQ(history.Entries(), statements);
    QStringList sessionAdds;
    for (const QList<QVariant>& call : echoed)
        sessionAdds << call.at(0).toString();
    EXPECT_EQ(sessionAdds, statements);
}

// Keys typed while the interpreter starts are not lost: the lines ended with
// Return run after its first prompt, the rest stays the command line.
TEST(CommandWindowStart, KeysTypedWhileTheInterpreterStartsWaitForItsPrompt)
{
    CKestruneView view;
    CConsoleSink sink{&view};
    CSessionHarness harness{&sink};
    HarnessHost host{harness};
    view.SetHost(&host);
    view.show();
    view.setReadOnly(true);
    host.starting = true;
    QTest::keyClicks(&view, QStringLiteral("early = 7;x"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClicks(&view, QStringLiteral("later"));
    EXPECT_TRUE(host.queued.empty());

    ASSERT_TRUE(harness.Start());
    ASSERT_TRUE(harness.WaitIdle());
    host.starting = false;
    view.setReadOnly(false);
    view.ReleaseTypeAhead();
    ASSERT_TRUE(harness.WaitIdle());
    view.FlushPending();
    bool done = false;
    std::string answer;
    harness.RunCollected("disp(early)", [&](bool, const std::string& text) {
        answer = text;
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done; }, 20000));
    EXPECT_EQ(answer, "7\n");
    EXPECT_EQ(view.CommandLine(), QStringLiteral("later"));
    EXPECT_TRUE(view.Text().contains(QStringLiteral(">> early = 7;\n"))) << view.Text().toStdString();
}

}  // namespace
