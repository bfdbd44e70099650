// The profiler pane on the offscreen platform with a recording session:
// the statements it sends, the toolbar rules and the code box.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>


#include "controls/cwebview.h"
#include "main/profiler/cprofileview.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"

namespace {

// Records what the pane sends; status requests are answered like the
// interpreter would, from the statements seen so far.
class RecordingCommands : public ISessionCommands {
public:
    std::vector<std::string> sent;  // "+" echoed, "-" silent, "c" collected
    bool on = false;
    QTemporaryDir folder;

    bool QueueCommand(const std::string& text, bool echo) override
    {
        sent.push_back((echo ? "+" : "-") + text);
        if (text == "profile on;###" || text == "profile resume;###")
            on = true;
        if (text == "profile off;###")
            on = false;
        return true;
    }
    bool RunCollected(const std::string& statement, CollectedAnswer done) override
    {
        sent.push_back("c" + statement.substr(0, 40));
        const std::string answer = on ? "    ProfilerStatus = on\n" : "    ProfilerStatus = off\n";
        QMetaObject::invokeMethod(qApp, [done, answer] { done(true, answer); }, Qt::QueuedConnection);
        return true;
    }
    bool IsConnected() const override { return true; }
    bool IsDebugMode() const override { return false; }
    void RequestWorkspaceRefresh() override {}
    std::string AnswerFolder() const override { return folder.path().toStdString(); }
};

class ProfilerView : public ::testing::Test {
protected:
    QAction* Action(const char* text) const
    {
        for (QAction* action : view.ToolBar()->actions())
            if (action->text() == QLatin1String(text))
                return action;
        return nullptr;
    }
    std::vector<bool> Enabled() const
    {
        std::vector<bool> states;
        for (const char* name : {"Start", "Stop", "Resume", "Clear", "Back", "Forward", "Home"})
            states.push_back(Action(name)->isEnabled());
        return states;
    }
    RecordingCommands commands;
    CSessionEvents events;
    CProfileView view{commands, events};
};

}  // namespace

TEST_F(ProfilerView, StartStopAndTheToolbarRules)
{
    // Nothing loaded: only Start (and the code box).
    EXPECT_EQ(Enabled(), (std::vector<bool>{true, false, false, false, false, false, false}));
    view.OnProfileStart();
    EXPECT_EQ(commands.sent, (std::vector<std::string>{"-profile on;###", "cGetProfStatus();"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.ProfilerOn(); }, 2000));
    EXPECT_EQ(Enabled(), (std::vector<bool>{false, true, false, false, false, false, false}));
    EXPECT_TRUE(view.CodeBox()->isEnabled());

    commands.sent.clear();
    view.OnProfileStop();
    ASSERT_EQ(commands.sent.size(), 4u);
    EXPECT_EQ(commands.sent[0], "-profile off;###");
    EXPECT_EQ(commands.sent[2].substr(0, 24), "cfunction fn_structdisp(");
    EXPECT_EQ(commands.sent[3].rfind("cfunction DispProfilingFileReady()", 0), 0u);
    QFile page(CWebView::PrivatePageUrl(QStringLiteral("Kestrune_Prof.html")).toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("Loading... Please wait"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.ProfilerOn(); }, 2000));
    EXPECT_EQ(Enabled(), (std::vector<bool>{true, false, true, true, false, false, false}));

    view.OnProfileClear();
    view.OnProfileResume();
    EXPECT_EQ(commands.sent.back(), "cGetProfStatus();");
    EXPECT_EQ(commands.sent[commands.sent.size() - 3], "-profile clear;###");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.ProfilerOn(); }, 2000));
    EXPECT_EQ(Enabled(), (std::vector<bool>{false, true, false, false, false, false, false}));
}

TEST_F(ProfilerView, CodeBoxRunsItsCodeAndRemembersItOnce)
{
    QLineEdit* edit = view.CodeBox()->lineEdit();
    QTest::keyClicks(edit, QStringLiteral("x=svd(1)"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(commands.sent.size(), 4u) << ::testing::PrintToString(commands.sent);
    EXPECT_EQ(commands.sent[2], "+x=svd(1)");
    EXPECT_EQ(commands.sent[3].rfind("cfunction DispFunctionProfilingEnd()", 0), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.ProfilerOn(); }, 2000));
    // The run stops itself: no Stop button meanwhile.
    EXPECT_FALSE(Action("Stop")->isEnabled());
    events.ProfilerFunctionProfilingEnded();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.ProfilerOn(); }, 2000));

    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("X=SVD(1)"));
    QTest::keyClick(edit, Qt::Key_Return);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("a=1"));
    view.OnProfileStart();
    ASSERT_EQ(view.CodeBox()->count(), 2);
    EXPECT_EQ(view.CodeBox()->itemText(0), QStringLiteral("a=1"));
    EXPECT_EQ(view.CodeBox()->itemText(1), QStringLiteral("x=svd(1)"));
}
