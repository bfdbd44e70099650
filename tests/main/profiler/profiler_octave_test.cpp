// The profiler pane against the real interpreter: whole capture cycles,
// drilling down, sorting and the toolbar's history.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWebEnginePage>

#include <algorithm>
#include <memory>

#include "controls/cwebview.h"
#include "main/profiler/cprofileloader.h"
#include "main/profiler/cprofilereport.h"
#include "main/profiler/cprofilestatements.h"
#include "main/profiler/cprofileview.h"
#include "tests/main/profiler/profilerpage.h"
#include "main/session/cstartupconfig.h"
#include "tests/support/csessionharness.h"

namespace {

class ProfilerOctave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Start());
        // What the start-up defines for the profiler.
        session.QueueCommand(CStartupConfig::ProfileStatusStatement(), false);
        emit session.Events().connectionChanged(true);
        view = std::make_unique<CProfileView>(session, session.Events());
        view->resize(900, 600);
        view->show();
    }

    // With KESTRUNE_PROFILER_HOLD_MS set (a run on a real display), the
    // window stays as it is for that long: time for a screenshot.
    static void HoldForScreenshot()
    {
        if (const int holdMs = qEnvironmentVariableIntValue("KESTRUNE_PROFILER_HOLD_MS"))
            QTest::qWait(holdMs);
    }
    // The printed answer of a statement.
    std::string Ask(const std::string& statement)
    {
        auto answer = std::make_shared<std::pair<bool, std::string>>(false, std::string());
        session.RunCollected(statement, [answer](bool, const std::string& text) { *answer = {true, text}; });
        return QTest::qWaitFor([&] { return answer->first; }, 20000) ? answer->second : "(no answer)";
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const CProfileNode& row : view->Rows())
            names.push_back(row.functionName);
        return names;
    }
    bool Shows(const char* name) const
    {
        const std::vector<std::string> names = Names();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    QAction* Action(const char* text) const
    {
        for (QAction* action : view->ToolBar()->actions())
            if (action->text() == QLatin1String(text))
                return action;
        return nullptr;
    }
    // Runs action and waits for the loaded profile: rows, the browser on them.
    void WaitForReport(const std::function<void()>& action)
    {
        profilertest::WaitForNextPage(
            *view, action, [&] { return !view->ProfilerOn() && !view->Rows().empty(); }, 60000);
    }
    void Click(const QString& selector) { profilertest::Click(*view, selector); }
    // The pane's own marker lines never reach the command window.
    bool ConsoleShowsMarker()
    {
        session.WaitIdle();
        const std::string tail = session.Session().ConsoleTail();
        return tail.find("__FunctioProfilingEnd__") != std::string::npos
               || tail.find("__ProfilingFileReady__") != std::string::npos;
    }
    template <typename Key>
    bool SortedBy(Key key) const
    {
        const CProfileNodes& rows = view->Rows();
        return std::is_sorted(rows.begin(), rows.end(),
                              [&](const CProfileNode& a, const CProfileNode& b) { return key(a) < key(b); });
    }

    CSessionHarness session;
    std::unique_ptr<CProfileView> view;
};

}  // namespace

TEST_F(ProfilerOctave, CodeRunEndsByItselfAndShowsTheSummary)
{
    QLineEdit* edit = view->CodeBox()->lineEdit();
    QTest::keyClicks(edit, QStringLiteral("for i=1:3, z=svd(rand(50)); end"));
    WaitForReport([&] { QTest::keyClick(edit, Qt::Key_Return); });
    EXPECT_FALSE(ConsoleShowsMarker()) << session.Session().ConsoleTail();
    EXPECT_TRUE(Shows("svd") && Shows("rand")) << ::testing::PrintToString(Names());
    EXPECT_FALSE(Shows("GetProfStatus") || Shows("profile"));
    for (const CProfileNode& row : view->Rows()) {
        if (row.functionName == "svd") {
            EXPECT_EQ(row.numCalls, "3");
        }
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(view->DataPath())));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(view->CleanPath())));
    EXPECT_TRUE(Action("Start")->isEnabled() && Action("Resume")->isEnabled() && Action("Clear")->isEnabled());
    EXPECT_FALSE(Action("Stop")->isEnabled());

    HoldForScreenshot();

    // The dump script writes into a folder whose name would break an
    // unquoted statement.
    QTemporaryDir odd(QDir::tempPath() + QStringLiteral("/prof it's; %dir-XXXXXX"));
    const std::string data = odd.filePath(QStringLiteral("prof_Hierarchical.txt")).toStdString();
    Ask(CProfileStatements::DumpScript(data));
    CProfileNodes table;
    std::string clean;
    ASSERT_TRUE(CProfileLoader::Load(data, odd.filePath(QStringLiteral("c.txt")).toStdString(), table, clean));
    EXPECT_NE(clean.find("<|>svd<|>"), std::string::npos);

    // Clear empties the interpreter's data; Resume switches it on again.
    view->OnProfileClear();
    EXPECT_EQ(Ask("disp(numel(profile('info').FunctionTable))"), "0\n");
    view->OnProfileResume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->ProfilerOn(); }, 20000));
    EXPECT_TRUE(Action("Stop")->isEnabled());
    EXPECT_FALSE(Action("Resume")->isEnabled() || Action("Start")->isEnabled());
}

TEST_F(ProfilerOctave, CommandWindowRunDrillsDownSortsAndGoesBack)
{
    session.QueueCommand("function r = kprof_outer(n), r = svd(rand(n)) + kprof_inner(n); end", false);
    session.QueueCommand("function r = kprof_inner(n), r = sum(ones(n, 1)); end", false);
    view->OnProfileStart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->ProfilerOn(); }, 20000));
    session.QueueCommand("for k=1:4, z = kprof_outer(40); end", true);
    // Every page the pane writes, as written.
    QStringList pages;
    QObject::connect(view.get(), &CProfileView::pageShown, view.get(), [&] {
        QFile file(CWebView::PrivatePageUrl(QStringLiteral("Kestrune_Prof.html")).toLocalFile());
        pages << (file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString());
    });
    WaitForReport([&] { Action("Stop")->trigger(); });
    EXPECT_FALSE(ConsoleShowsMarker()) << session.Session().ConsoleTail();
    ASSERT_TRUE(Shows("kprof_outer")) << ::testing::PrintToString(Names());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("<p>Loading... Please wait</p>")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("<h4>Profile Summary</h4>")));

    Click(QStringLiteral("a[href^=\"function_\"][href*=\"kprof_outer\"]"));
    EXPECT_TRUE(Shows("svd") && Shows("rand") && Shows("kprof_inner")) << ::testing::PrintToString(Names());
    ASSERT_EQ(view->Navigation().Trail().size(), 1u);
    HoldForScreenshot();
    EXPECT_EQ(view->Navigation().Trail()[0].rfind("kprof_outer: 4 calls, ", 0), 0u);
    Click(QStringLiteral("a[href^=\"function_\"][href*=\"kprof_inner\"]"));
    EXPECT_TRUE(Shows("ones") && Shows("sum")) << ::testing::PrintToString(Names());
    EXPECT_EQ(view->Navigation().Trail().size(), 2u);

    // The browser stayed on the report: its own navigation was cancelled.
    EXPECT_TRUE(view->Browser()->url().path().endsWith(QStringLiteral("/Kestrune_Prof.html")));
    // The heading's link to the parent level goes back one level.
    Click(QStringLiteral("a[href=backfunction_1]"));
    EXPECT_TRUE(Shows("kprof_inner"));
    profilertest::WaitForNextPage(*view, [&] { Action("Forward")->trigger(); });
    profilertest::WaitForNextPage(*view, [&] { Action("Back")->trigger(); });
    EXPECT_TRUE(Shows("kprof_inner"));
    profilertest::WaitForNextPage(*view, [&] { Action("Forward")->trigger(); });
    EXPECT_TRUE(Shows("ones"));
    Click(QStringLiteral("a[href=sortby_calls]"));
    profilertest::WaitForNextPage(*view, [&] { Action("Home")->trigger(); });
    EXPECT_TRUE(Shows("kprof_outer"));
    EXPECT_TRUE(view->Navigation().CurrentKey().empty());

    Click(QStringLiteral("a[href=sortby_function]"));
    EXPECT_TRUE(SortedBy([](const CProfileNode& r) { return r.functionName; }));
    Click(QStringLiteral("a[href=sortby_calls]"));
    EXPECT_TRUE(SortedBy([](const CProfileNode& r) { return -std::stol(r.numCalls); }));
    Click(QStringLiteral("a[href=sortby_selftime]"));
    EXPECT_TRUE(SortedBy([](const CProfileNode& r) { return -CProfileReport::TimeValue(r.selfTime); }));
    Click(QStringLiteral("a[href=sortby_totaltime]"));
    EXPECT_TRUE(SortedBy([](const CProfileNode& r) { return -CProfileReport::TimeValue(r.totalTime); }));
}
