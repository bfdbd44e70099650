// Integration tests: the session against the real interpreter.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>

#include "main/session/cconnection.h"
#include "main/session/cconnectionhost.h"
#include "main/session/coutputformatter.h"
#include "main/session/cpromptcount.h"
#include "platform/octavequote.h"
#include "tests/main/session/recordingpanes.h"

namespace {

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class SessionOctave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        home = m_home.path().toStdString();
        // The interpreter must not read or write the user's files.
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* value = ::getenv(name);
            m_saved.emplace_back(name, value ? value : "");
        }
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        // A folder name that would break an unquoted statement.
        const std::string answers = home + "/answers it's; a dir";
        QDir().mkpath(QString::fromStdString(answers));
        CSessionOptions options;
        options.tempFolder = answers;
        options.editorCompletionDelayMs = 0;
        session.SetOptions(options);
        ASSERT_TRUE(session.Open("octave --interactive --no-history -W"));
        ASSERT_TRUE(Eventually([&] { return session.FirstPromptSeen(); }, 30000)) << panes.Console();
        session.ConnectedFlag().store(true);
        session.StartSender();
    }
    void TearDown() override
    {
        session.StopSender();
        session.EndChild(3000);
        session.Close();
        for (const auto& [name, value] : m_saved)
            ::setenv(name.c_str(), value.c_str(), 1);
    }

    static bool Eventually(const std::function<bool()>& condition, int ms = 20000)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Queues one request once the sender is free and waits until it has
    // finished it.
    void Do(const std::string& text, bool echo = true)
    {
        ASSERT_TRUE(Eventually([&] { return session.SenderIdle(); })) << "busy before " << text;
        const unsigned done = session.RequestsDone();
        session.QueueCommand(text, echo);
        ASSERT_TRUE(Eventually([&] { return session.RequestsDone() > done && session.AtPrompt(); }))
            << "no answer to " << text
                                                                                 << "\n" << panes.Console();
    }

    // Runs the workspace refresh (names, values) and waits for the refill.
    void Refresh()
    {
        const int refills = panes.Locked([&] { return panes.refills; });
        Do(session.NamesStatement(), false);
        ASSERT_TRUE(panes.WaitFor([&] { return panes.refills > refills; })) << panes.Console();
    }

    CInfoVariable Variable(const std::string& name)
    {
        return panes.Locked([&] {
            for (const CInfoVariable& v : panes.workspace)
                if (v.name == name)
                    return v;
            return CInfoVariable();
        });
    }

    QTemporaryDir m_home;
    std::vector<std::pair<std::string, std::string>> m_saved;
    std::string home;
    RecordingPanes panes;
    COctaveRedirector session{&panes};
};

}  // namespace

TEST_F(SessionOctave, RoundTripWithOutputAndPrompt)
{
    EXPECT_EQ(session.Dialect().Version(), 7300);
    EXPECT_NE(session.Banner().find("GNU Octave, version 7.3.0"), std::string::npos);
    Do("y = 1;", false);
    EXPECT_EQ(panes.Locked([&] { return panes.folderNotices; }), 0) << "a silent statement leaves the folder";
    Do("x = 21*2");
    EXPECT_EQ(panes.Locked([&] { return panes.folderNotices; }), 1);
    const std::string console = panes.Console();
    EXPECT_NE(console.find(">> x = 21*2\nx = 42\n"), std::string::npos) << console;
    EXPECT_TRUE(COutputFormatter::EndsWith(console, "\n>> ")) << console;
    EXPECT_EQ(panes.Locked([&] { return panes.history; }), (std::vector<std::string>{"x = 21*2"}));
    EXPECT_TRUE(session.refreshWorkspace.load());
    Do("getvalue:x", false);
    EXPECT_EQ(panes.Locked([&] { return panes.editor; }), (std::vector<std::string>{"varvalue:<b>x </b>= 42"}));
}

TEST_F(SessionOctave, ErrorColouredAndLocationMarked)
{
    WriteFile(home + "/g.m", "function y = g(x)\n  y = x;\n  y = q + 1;\nend\n");
    WriteFile(home + "/f.m", "function y = f(x)\n  y = x + 1;\n  y = g(y);\nend\n");
    Do("cd " + OctaveQuoted(home) + ";###", false);
    Do("f(1)");
    ASSERT_TRUE(panes.WaitFor([&] { return panes.console.find("f at line 3") != std::string::npos; }));
    panes.Locked([&] {
        std::string red, links;
        for (const auto& w : panes.writes)
            for (const auto& sp : w.spans) {
                if (sp.kind == CTextSpan::Error)
                    red += w.text.substr(sp.start, sp.length) + "|";
                if (sp.kind == CTextSpan::Link)
                    links += w.text.substr(sp.start, sp.length) + "|";
            }
        EXPECT_NE(red.find("error: 'q' undefined"), std::string::npos) << red;
        EXPECT_NE(links.find("g at line 3 column 5|"), std::string::npos) << links;
        EXPECT_NE(links.find("f at line 3 column 5|"), std::string::npos) << links;
        return 0;
    });
}

TEST_F(SessionOctave, ParseErrorCaretStaysUnderTheFaultyCharacter)
{
    // Leading blanks make the folded prompt shorter by more than one column.
    for (const std::string statement : {"r = x +* 2;", "   r = x +* 2;"}) {
        const std::size_t start = panes.Console().size();
        Do(statement);
        ASSERT_TRUE(panes.WaitFor([&] { return panes.console.find('^', start) != std::string::npos; }))
            << panes.Console();
        const std::string text = panes.Console().substr(start);
        const std::size_t caret = text.find('^');
        const std::size_t caretLine = text.rfind('\n', caret) + 1;
        const std::size_t echoEnd = caretLine - 1;
        const std::size_t echo = text.rfind('\n', echoEnd - 1) + 1;
        const std::size_t column = caret - caretLine;
        ASSERT_LT(echo + column, echoEnd) << text;
        EXPECT_EQ(text[echo + column], '*') << text;
    }
}

TEST_F(SessionOctave, DebugStopReportedToTheEditorAndEnded)
{
    const std::string dir = home + "/dir with 'quote";
    QDir().mkpath(QString::fromStdString(dir));
    WriteFile(dir + "/f.m", "function y = f(x)\n  y = x + 1;\n  y = y * 2;\nend\n");
    Do("cd " + OctaveQuoted(dir) + ";###", false);
    Do("dbstop('f','2');", false);
    Do("f(1)");
    EXPECT_TRUE(session.DebugMode());
    EXPECT_EQ(panes.Locked([&] { return panes.editor; }),
              (std::vector<std::string>{"!debug\nLine=2\nPath=" + dir + "/f.m"}));
    EXPECT_TRUE(COutputFormatter::EndsWith(panes.Console(), "debug> "));
    // A value under the mouse: a variable answers, the stopped function's
    // name is not run (no nested stop).
    Do("getvalue:x", false);
    EXPECT_EQ(panes.Locked([&] { return panes.editor.back(); }), "varvalue:<b>x </b>= 1");
    Do("getvalue:f", false);
    EXPECT_EQ(panes.Locked([&] { return panes.editor.back(); }), "varvalue:");
    EXPECT_EQ(panes.Console().find("[1]debug>"), std::string::npos);
    Do("dbcont");
    EXPECT_FALSE(session.DebugMode());
    EXPECT_EQ(panes.Locked([&] { return panes.editor.back(); }), "dbended\nPath=" + dir + "/f.m");
    EXPECT_NE(panes.Console().find("ans = 4"), std::string::npos);
}

TEST_F(SessionOctave, EditorStatementsReportErrorsAndMovedBreakpoints)
{
    WriteFile(home + "/g.m", "function g()\n\n  x = 1;\nend\n");
    Do("cd " + OctaveQuoted(home) + ";###", false);
    auto editorDo = [&](const std::string& text) {
        const unsigned done = session.RequestsDone();
        session.QueueEditorCommand(text, true);
        ASSERT_TRUE(Eventually([&] { return session.RequestsDone() > done && session.AtPrompt(); })) << text;
    };
    const auto sent = [&] { return panes.Locked([&] { return panes.editor; }).size(); };
    // Asked for the empty line 2, set at line 3: the editor is told.
    editorDo("dbstop('g','2')");
    EXPECT_EQ(panes.Locked([&] { return panes.editor.back(); }), "breakpoint\nFunction=g\nRequested=2\nLine=3");
    // Set where asked: nothing to tell.
    const std::size_t before = sent();
    editorDo("dbstop('g','3')");
    EXPECT_EQ(sent(), before);
    editorDo("no_such_thing_here");
    EXPECT_EQ(panes.Locked([&] { return panes.editor.back(); }).rfind("error: 'no_such_thing_here' undefined", 0), 0u)
        << panes.Locked([&] { return panes.editor.back(); });
}

TEST_F(SessionOctave, WorkspaceAnswersForEveryKindAndAnEmptyWorkspace)
{
    Refresh();
    EXPECT_TRUE(panes.Locked([&] { return panes.workspace.empty(); }));
    EXPECT_EQ(panes.Locked([&] { return panes.refills; }), 1);

    Do("s = struct('a', 1, 'b', 'text'); c = {1, 'two'}; u = uint8(reshape(1:24, 2, 3, 4)); z = [];", false);
    // Names the helper uses must not clash with the user's.
    Do("fid = [1 2 3]; ans = 7; x = [10 20]; kv_fid = 5; kv_v = [2 4]; kv_k = 9; kv_names = -1; i = 3;", false);
    Refresh();
    const CInfoVariable s = Variable("s"), c = Variable("c"), u = Variable("u");
    EXPECT_EQ(s.kind, CInfoVariable::Structure);
    EXPECT_EQ(s.className, "struct");
    EXPECT_EQ(c.kind, CInfoVariable::Other);
    EXPECT_EQ(c.size, "1x2");
    EXPECT_TRUE(c.min.empty());
    EXPECT_EQ(u.kind, CInfoVariable::NumericArray);
    EXPECT_EQ(u.size, "2x3x4");
    EXPECT_EQ(u.className, "uint8");
    EXPECT_EQ(u.min, "1");
    EXPECT_EQ(u.max, "24");
    EXPECT_EQ(u.bytes, "24");
    EXPECT_EQ(Variable("z").size, "0x0");
    const CInfoVariable fid = Variable("fid");
    EXPECT_EQ(fid.min, "1");
    EXPECT_EQ(fid.max, "3");
    EXPECT_EQ(fid.mean, "2");
    EXPECT_EQ(Variable("ans").max, "7");
    EXPECT_EQ(Variable("x").mean, "15");
    EXPECT_EQ(Variable("kv_fid").min, "5");
    EXPECT_EQ(Variable("kv_v").max, "4");
    EXPECT_EQ(Variable("kv_k").min, "9");
    EXPECT_EQ(Variable("kv_names").min, "-1");
    EXPECT_EQ(Variable("i").min, "3");

    // Statistics read as num2str prints them, on both paths of the helper.
    Do("r = [1 2 2 3.14159265 -7]; w = [1 NaN 3]; q = [1+2i 3]; sp = sparse([1 0 2]); e = zeros(0, 3);", false);
    Refresh();
    const CInfoVariable r = Variable("r");
    EXPECT_EQ((std::vector<std::string>{r.min, r.max, r.mean, r.median, r.mode, r.var, r.std}),
              (std::vector<std::string>{"-7", "3.1416", "0.22832", "2", "2", "16.9022", "4.1112"}));
    EXPECT_EQ(Variable("w").min, "1");
    EXPECT_EQ(Variable("w").max, "3");
    EXPECT_EQ(Variable("w").mean, "NaN");
    EXPECT_EQ(Variable("q").min, "1+2i");
    EXPECT_EQ(Variable("sp").max, "2");
    EXPECT_EQ(Variable("e").size, "0x3");
    EXPECT_EQ(Variable("e").min, "");
    // The helper left nothing behind in the user's workspace.
    Do("disp(fid), disp(ans)", true);
    EXPECT_NE(panes.Console().find("   1   2   3\n7\n"), std::string::npos) << panes.Console();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(session.NamesFile())));
    // Nothing of the refresh was shown.
    EXPECT_EQ(panes.Console().find("__vars"), std::string::npos);
    EXPECT_EQ(panes.Console().find("error"), std::string::npos) << panes.Console();
}

TEST_F(SessionOctave, WorkspaceInTheDebuggerIsTheStoppedFunctions)
{
    WriteFile(home + "/h.m", "function h()\n  fid = 42;\n  local = 1;\nend\n");
    Do("cd " + OctaveQuoted(home) + ";###", false);
    Do("outer = 1;", false);
    Do("dbstop('h','3');", false);
    Do("h()");
    ASSERT_TRUE(session.DebugMode());
    Refresh();
    EXPECT_EQ(Variable("fid").min, "42");
    EXPECT_TRUE(Variable("outer").name.empty());
    Do("dbquit");
}

TEST_F(SessionOctave, CompletionWithOneAndWithSeveralMatches)
{
    Do("completion_matches('plot3')###", false);
    Do("completion_matches('isfi')###", false);
    const auto lists = panes.Locked([&] { return panes.completions; });
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0], (std::vector<std::string>{"plot3"}));
    EXPECT_GE(lists[1].size(), 3u);
    for (const std::string& m : lists[1])
        EXPECT_EQ(m.rfind("isfi", 0), 0u) << m;
    // The editor's request asks for every name and gets them all.
    Do("completion_matches_editor", false);
    const std::string forEditor = panes.Locked([&] { return panes.editor.back(); });
    EXPECT_EQ(forEditor.rfind("completion:\n", 0), 0u);
    EXPECT_NE(forEditor.find("\nplot3\n"), std::string::npos);
    EXPECT_GT(std::count(forEditor.begin(), forEditor.end(), '\n'), 1000);
    Do("completion_matches('zzzqqq')###", false);
    EXPECT_EQ(panes.Locked([&] { return panes.calls.back(); }), "caret");
    EXPECT_EQ(panes.Console().find("plot3"), std::string::npos);
}

TEST_F(SessionOctave, PathList)
{
    Do("path;###", false);
    const auto paths = panes.Locked([&] { return panes.paths; });
    EXPECT_NE(std::find(paths.begin(), paths.end(), "/usr/share/octave/7.3.0/m"), paths.end());
    for (const std::string& p : paths)
        EXPECT_EQ(p[0], '/') << p;
    Do("addpath(" + OctaveQuoted(home) + ");###", false);
    EXPECT_TRUE(session.pathsChanged.load());
    Do("path;###", false);
    const auto after = panes.Locked([&] { return panes.paths; });
    EXPECT_EQ(after.front(), home);
}

TEST_F(SessionOctave, PackageListWithoutAndWithAPackage)
{
    // Packages go to a prefix of the test's own.
    const std::string prefix = home + "/pkgs";
    Do("pkg prefix " + OctaveQuoted(prefix) + " " + OctaveQuoted(prefix) + "; pkg local_list "
           + OctaveQuoted(home + "/octave_packages") + "; pkg global_list " + OctaveQuoted(home + "/global_packages")
           + ";",
       false);
    Do("pkg describe all;###", false);
    auto rows = panes.Locked([&] { return panes.packages; });
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2], "No packages installed.");

    const std::string src = home + "/kpkg";
    QDir().mkpath(QString::fromStdString(src + "/inst"));
    WriteFile(src + "/DESCRIPTION",
              "Name: kpkg\nVersion: 1.2.3\nDate: 2024-01-01\nAuthor: Test\nMaintainer: Test\n"
              "Title: Test package\nDescription: A package for the session tests.\n"
              "Depends: octave (>= 4.0.0)\nCategories: Testing\nLicense: GPLv3+\n");
    WriteFile(src + "/COPYING", "GPLv3+\n");
    WriteFile(src + "/inst/kpkgfun.m", "## -*- texinfo -*-\n## @deftypefn {} {} kpkgfun (@var{x})\n## Twice x.\n## @end deftypefn\nfunction y = kpkgfun(x)\n  y = 2 * x;\nend\n");
    // Our own spawner, not QProcess: a fork in a threaded test program is
    // what ThreadSanitizer refuses.
    CRedirector tar;
    tar.SetWorkingDirectory(home);
    ASSERT_TRUE(tar.Open(std::vector<std::string>{"tar", "czf", "kpkg-1.2.3.tar.gz", "kpkg"}));
    const int status = tar.EndChild(20000);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    Do("pkg install " + OctaveQuoted(home + "/kpkg-1.2.3.tar.gz") + ";###", false);
    EXPECT_TRUE(session.packagesChanged.load());
    Do("pkg describe all;###", false);
    rows = panes.Locked([&] { return panes.packages; });
    ASSERT_EQ(rows.size(), 1u) << panes.Console();
    EXPECT_EQ(rows[0], (CPackageRow{"kpkg", "1.2.3", "A package for the session tests.", "Not loaded"}));
    Do("pkg load kpkg");
    Do("pkg describe all;###", false);
    EXPECT_EQ(panes.Locked([&] { return panes.packages[0][3]; }), "Loaded");
    EXPECT_TRUE(QDir(QString::fromStdString(prefix + "/kpkg-1.2.3")).exists());
}

TEST_F(SessionOctave, ProfilerStatusAndMarkers)
{
    Do("function GetProfStatus(), disp(profile ('status')); end;", false);
    Do("profile on;###", false);
    Do("GetProfStatus();", false);
    EXPECT_TRUE(session.ProfilerRunning());
    Do("profile off;###", false);
    Do("GetProfStatus();", false);
    EXPECT_FALSE(session.ProfilerRunning());
    // "exit" in the profiler's explorer leaves the explorer, not us.
    Do("x = sum(1:10);", false);
    const int notices = panes.Locked([&] { return panes.folderNotices; });
    Do("profexplore", true);
    EXPECT_TRUE(session.ProfilerExplorePrompt());
    // Nobody may ask the explorer for the folder: it takes no statements.
    EXPECT_EQ(panes.Locked([&] { return panes.folderNotices; }), notices);
    Do("exit", true);
    EXPECT_FALSE(session.ProfilerExplorePrompt());
    EXPECT_TRUE(session.running.load());
    EXPECT_TRUE(COutputFormatter::EndsWith(panes.Console(), "\n>> ")) << panes.Console();
    Do("disp('__ProfilingFileReady__')", false);
    Do("disp('__FunctioProfilingEnd__')", false);
    const auto calls = panes.Locked([&] { return panes.calls; });
    EXPECT_NE(std::find(calls.begin(), calls.end(), "profile-file"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "profiling-ended"), calls.end());
}

TEST_F(SessionOctave, HelpWithSeeAlsoLinksAndCallTips)
{
    Do("help plot3");
    panes.Locked([&] {
        const auto& w = panes.writes.back();
        std::vector<std::string> links;
        for (const auto& sp : w.spans)
            if (sp.kind == CTextSpan::Link)
                links.push_back(w.text.substr(sp.start, sp.length));
        EXPECT_EQ(links, (std::vector<std::string>{"ezplot3", "plot"})) << w.text;
        EXPECT_NE(w.text.find(" -- plot3 (X, Y, Z)"), std::string::npos);
        return 0;
    });
    Do("help sin;###", false);
    const std::string tip = panes.Locked([&] { return panes.editor.back(); });
    EXPECT_EQ(tip.rfind("parameters:'sin' is a built-in function", 0), 0u) << tip;
}

TEST_F(SessionOctave, LargeOutputArrivesWhole)
{
    Do("disp((1:30000)')", true);
    const std::string console = panes.Console();
    EXPECT_NE(console.find(" 29999\n   30000\n>> "), std::string::npos);
    EXPECT_NE(console.find("\n       1\n       2\n"), std::string::npos);
    std::size_t lines = std::count(console.begin(), console.end(), '\n');
    EXPECT_GE(lines, 30000u);
}

TEST_F(SessionOctave, InterruptEndsARunningStatement)
{
    session.QueueCommand("pause(30)", true);
    ASSERT_TRUE(Eventually([&] { return session.Busy(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(session.Interrupt());
    ASSERT_TRUE(Eventually([&] { return !session.Busy(); }, 5000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    Do("y = 5");
    EXPECT_NE(panes.Console().find("y = 5\n"), std::string::npos);
}

TEST_F(SessionOctave, CollectedAnswersComeWholeAndNeverShow)
{
    struct Answer {
        bool called = false, ok = false;
        std::string text;
    };
    auto collect = [&](const std::string& statement) {
        auto answer = std::make_shared<Answer>();
        auto lock = std::make_shared<std::mutex>();
        session.QueueCollected(statement, [answer, lock](bool ok, std::string text) {
            std::lock_guard<std::mutex> guard(*lock);
            *answer = Answer{true, ok, std::move(text)};
        });
        EXPECT_TRUE(Eventually([&] {
            std::lock_guard<std::mutex> guard(*lock);
            return answer->called;
        })) << statement;
        std::lock_guard<std::mutex> guard(*lock);
        return *answer;
    };
    Do("cd " + OctaveQuoted(home) + ";###", false);
    const std::string console = panes.Console();
    const Answer folder = collect("disp(pwd)");
    EXPECT_TRUE(folder.ok);
    EXPECT_EQ(folder.text, QDir(QString::fromStdString(home)).canonicalPath().toStdString() + "\n");
    EXPECT_EQ(collect("disp(1); disp('two words'); x = 3").text, "1\ntwo words\nx = 3\n");
    const Answer error = collect("error('bad %d', 4)");
    EXPECT_TRUE(error.ok);
    EXPECT_NE(error.text.find("error: bad 4"), std::string::npos) << error.text;
    EXPECT_EQ(panes.Console(), console);

    // An interrupt loses the answer of the running statement and of those
    // waiting: a silent statement holds the sender until its prompt.
    session.QueueCommand("pause(30)", false);
    ASSERT_TRUE(Eventually([&] { return session.Busy(); }));
    session.QueueCommand("held_back = 1", false);
    std::atomic<int> lost{0};
    session.QueueCollected("disp(2)", [&](bool ok, std::string) { lost += ok ? 0 : 1; });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    session.DiscardQueuedRequests();
    ASSERT_TRUE(session.Interrupt());
    EXPECT_TRUE(Eventually([&] { return lost.load() == 1 && session.AtPrompt(); }, 5000));
    EXPECT_EQ(collect("disp(exist('held_back'))").text, "0\n");
    // Only the fresh prompt after the interrupt may show.
    const std::string after = panes.Console().substr(console.size());
    EXPECT_EQ(after.find_first_not_of(">\n "), std::string::npos) << after;
}

TEST_F(SessionOctave, EditorTextsOvertakeAPendingRefreshDuringALongRun)
{
    struct Host : IConnectionHost {
        void ConnectionStartFailed() override {}
        void ConnectionVersionRefused() override {}
        void ConnectionReady(const QString&, bool) override {}
        void ConnectionEnded() override {}
    } host;
    CConnection::Settings settings;
    settings.workFolderFallback = QString::fromStdString(home);
    settings.userPathsFile = QString::fromStdString(home + "/userpaths.dat");
    CConnection connection(session, panes, host, settings);
    connection.Connect();
    ASSERT_TRUE(Eventually([&] { return connection.IsConnected() && session.AtPrompt() && !session.Busy(); }, 30000));
    session.QueueCommand("t0 = tic; while toc(t0) < 8, end", true);
    ASSERT_TRUE(Eventually([&] { return session.Busy(); }));
    // Past the pause between two refreshes, so one is due and waits for the
    // prompt.
    std::this_thread::sleep_for(std::chrono::milliseconds(CConnection::kRefreshPauseMs + 300));
    session.refreshWorkspace.store(true);
    session.IncomingQueue().Enqueue("from_editor = 5####");
    EXPECT_TRUE(Eventually([&] { return session.IncomingQueue().IsEmpty(); }, 1500)) << "[" << session.ConsoleTail() << "] busy " << session.Busy() << " refresh " << session.refreshWorkspace.load();
    connection.RequestInterrupt(0);
}

TEST_F(SessionOctave, InterpreterDyingMidAnswerLosesNothing)
{
    Do("completion_matches('x'); printf('partial answer'); exit(3)###", false);
    ASSERT_TRUE(Eventually([&] { return !session.IsReading(); }));
    EXPECT_NE(panes.Console().find("partial answer"), std::string::npos) << panes.Console();
    EXPECT_FALSE(session.ConnectedFlag().load());
    EXPECT_FALSE(session.Busy());
    // The sender still runs and does not hang on a dead child.
    Do("x = 1");
}

TEST_F(SessionOctave, ClcAndDocStayHere)
{
    Do("x = 1");
    Do("clc");
    EXPECT_EQ(panes.Console(), ">> ");
    Do("doc plot");
    EXPECT_EQ(panes.Locked([&] { return panes.calls; }).back(), "write:>> ");
    Do("1+1");
    EXPECT_EQ(panes.Console(), ">> doc plot\n>> 1+1\nans = 2\n>> ");
}

TEST_F(SessionOctave, WorkspaceRefreshesBetweenQuickStatementsShowNoStrayPrompt)
{
    // Statements typed faster than the interpreter answers, with a workspace
    // refresh after each: the refresh's own prompts must never show, nor let
    // the next statement's echo overtake the previous answer.
    const int count = 12;
    const unsigned done = session.RequestsDone();
    std::string expected = panes.Console();
    for (int i = 1; i <= count; ++i) {
        const std::string statement = "v" + std::to_string(i) + " = " + std::to_string(i * 3);
        session.QueueCommand(statement, true);
        session.QueueCommand(session.NamesStatement(), false);
        expected += statement + "\nv" + std::to_string(i) + " = " + std::to_string(i * 3) + "\n>> ";
    }
    ASSERT_TRUE(Eventually([&] { return session.RequestsDone() >= done + 2 * count && session.AtPrompt(); }))
        << panes.Console();
    // The last values statement's answer arrives after its request is done.
    ASSERT_TRUE(Eventually([&] { return Variable("v12").mean == "36"; })) << panes.Console();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(panes.Console(), expected);
}

namespace {

// The interpreter without the session: everything it writes, as written.
struct RawInterpreter : CRedirector {
    ~RawInterpreter() override { Close(); }
    void OnChildOutput(const char* text, std::size_t length) override
    {
        std::lock_guard<std::mutex> guard(lock);
        output.append(text, length);
    }
    std::string Output()
    {
        std::lock_guard<std::mutex> guard(lock);
        return output;
    }
    std::mutex lock;
    std::string output;
};

}  // namespace

TEST_F(SessionOctave, PromptCountAgreesWithTheInterpreter)
{
    RawInterpreter octave;
    ASSERT_TRUE(octave.Open("octave --interactive --no-history -W"));
    ASSERT_TRUE(Eventually([&] { return COutputFormatter::EndsWith(octave.Output(), "octave:1> "); }, 30000));
    const std::regex prompt("octave:[0-9]+> ");
    const char* const texts[] = {
        "a=1\nb=2\nc=3",
        "if true\n x=1;\nend",
        "for i=1:2 disp(i); end\ns = 'it''s % not; end' % if\nt = [1 2 ...\n 3]'",
        "%{\nif\n%}\nz = {1,\n2}",
        "function r = kf(x)\n if x, r = 1; else r = 2; end\nend\nkf(0)",
        "do\n k = 1;\nuntil true\nswitch 'a'\n case 'a'\n  q = 1;\nend",
        "v = [1 2]';\nw = v(end)\n\n",
        "x = \"a\\\"b % c\"; y = x'",
        "try\n error('e')\ncatch err\n m = err.message;\nend_try_catch",
        "if false\nelse if true\n e = 1;\nend\nend",
        "unwind_protect\n u = 1;\nunwind_protect_cleanup\n u = 2;\nend_unwind_protect",
        "c = {'if', 'end'}; d = c{end}\nwhile false\nendwhile",
    };
    for (const char* text : texts) {
        const std::size_t from = octave.Output().size();
        ASSERT_TRUE(octave.SendText(std::string(text) + "\ndisp('kestrune-end')\n"));
        std::size_t end = std::string::npos;
        ASSERT_TRUE(Eventually([&] {
            const std::string out = octave.Output();
            end = out.find("kestrune-end\noctave:", from);
            return end != std::string::npos && COutputFormatter::EndsWith(out, "> ");
        })) << text << "\n" << octave.Output().substr(from);
        const std::string answer = octave.Output().substr(from, end - from);
        const auto prompts = std::distance(std::sregex_iterator(answer.begin(), answer.end(), prompt), {});
        const CPromptCount count = CPromptCount::Of(text);
        EXPECT_TRUE(count.finished) << text;
        EXPECT_EQ(count.prompts, prompts) << text << "\n" << answer;
    }
    octave.EndChild(3000);
}

TEST_F(SessionOctave, SilentRequestWaitsForTheLastPromptOfAMultiLineRequest)
{
    const std::string canonical = QDir(QString::fromStdString(home)).canonicalPath().toStdString();
    auto collect = [&](const std::string& statement) {
        auto answer = std::make_shared<std::pair<std::mutex, std::string>>();
        auto called = std::make_shared<std::atomic<bool>>(false);
        session.QueueCollected(statement, [answer, called](bool, std::string text) {
            std::lock_guard<std::mutex> lock(answer->first);
            answer->second = std::move(text);
            called->store(true);
        });
        return [answer, called, statement] {
            EXPECT_TRUE(Eventually([&] { return called->load(); })) << statement;
            std::lock_guard<std::mutex> lock(answer->first);
            return answer->second;
        };
    };
    const std::string console = panes.Console();
    // Queued together: the collected statement goes out after the third
    // line's prompt, so it sees the folder the second line changed to.
    session.QueueCommand("m1 = 1\ncd(" + OctaveQuoted(home) + ")\nm3 = 3", true);
    auto folder = collect("disp(pwd)");
    EXPECT_EQ(folder(), canonical + "\n");
    ASSERT_TRUE(Eventually([&] { return session.AtPrompt(); }));
    const std::string gained = panes.Console().substr(console.size());
    EXPECT_EQ(gained, "m1 = 1\ncd(" + OctaveQuoted(home) + ")\nm3 = 3\nm1 = 1\n>> m3 = 3\n>> ") << gained;
    EXPECT_EQ(panes.Locked([&] { return panes.folderNotices; }), 1);

    // A silent line, and a statement that waits for a line of input: the
    // first holds the next request until its prompt, the second lets the
    // line it waits for go out.
    const auto start = std::chrono::steady_clock::now();
    session.QueueCommand("pause(0.5)", false);
    auto seven = collect("disp(7)");
    EXPECT_EQ(seven(), "7\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    session.QueueCommand("typed = input('');", false);
    session.QueueCommand("42", false);
    auto typed = collect("disp(typed)");
    EXPECT_EQ(typed(), "42\n");
}
