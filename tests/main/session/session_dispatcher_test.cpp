#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <future>
#include <thread>

#include "main/session/coutputformatter.h"
#include "tests/main/session/recordingpanes.h"

namespace {

// Runs one request on a helper thread (the sender waits for the answer) while
// the test feeds the interpreter's chunks.
void RunRequest(OfflineSession& session, const std::string& text, bool echo, const std::vector<std::string>& chunks)
{
    session.running.store(true);
    const std::size_t sent = session.Sent().size();
    auto sender = std::async(std::launch::async, [&] { return session.ProcessRequest({text, echo}); });
    // The answer comes after the statement was written, as with a real child.
    while (session.Sent().size() == sent && sender.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
    }
    for (const std::string& c : chunks)
        session.Dispatch(c);
    ASSERT_EQ(sender.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "sender still waiting";
    sender.get();
}

struct Outcome {
    std::string console;
    std::vector<std::string> calls;
    std::vector<std::string> editor;
    std::vector<std::string> paths;
    std::vector<std::vector<std::string>> completions;
    std::vector<CPackageRow> packages;
    bool operator==(const Outcome& o) const
    {
        return console == o.console && calls == o.calls && editor == o.editor && paths == o.paths
               && completions == o.completions && packages == o.packages;
    }
};

Outcome Play(const std::string& request, const std::vector<std::string>& chunks, const std::string& before = ">> ")
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch(before);  // the window shows a prompt
    RunRequest(session, request, false, chunks);
    return panes.Locked([&] {
        return Outcome{panes.console, panes.calls, panes.editor, panes.paths, panes.completions, panes.packages};
    });
}

// The same answer cut into two chunks at every position gives what the
// undivided answer gives.
void ExpectSplitInvariant(const std::string& request, const std::string& answer)
{
    const Outcome whole = Play(request, {answer});
    for (std::size_t cut = 1; cut < answer.size(); ++cut) {
        const Outcome split = Play(request, {answer.substr(0, cut), answer.substr(cut)});
        EXPECT_EQ(split.console, whole.console) << "cut at " << cut;
        EXPECT_EQ(split.editor, whole.editor) << "cut at " << cut;
        EXPECT_EQ(split.paths, whole.paths) << "cut at " << cut;
        EXPECT_EQ(split.completions, whole.completions) << "cut at " << cut;
        EXPECT_EQ(split.packages, whole.packages) << "cut at " << cut;
    }
}

std::string Red(const RecordingPanes& panes, std::size_t write)
{
    const auto& w = panes.writes.at(write);
    for (const auto& sp : w.spans)
        if (sp.kind == CTextSpan::Error)
            return w.text.substr(sp.start, sp.length);
    return std::string();
}

}  // namespace

TEST(SessionDispatcher, EchoedStatementRoundTrip)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("GNU Octave, version 7.3.0\noctave:1> ");
    EXPECT_TRUE(session.FirstPromptSeen());
    EXPECT_EQ(session.Dialect().Version(), 7300);
    RunRequest(session, "x = 1", true, {"x = 1\noctave:2> "});
    EXPECT_EQ(session.Sent(), (std::vector<std::string>{"x = 1\n"}));
    EXPECT_EQ(panes.console, "GNU Octave, version 7.3.0\n>> x = 1\nx = 1\n>> ");
    EXPECT_EQ(panes.history, (std::vector<std::string>{"x = 1"}));
    EXPECT_EQ(panes.writes.back().spans.back(), (CTextSpan{6, 3, CTextSpan::Bold}));
    EXPECT_TRUE(session.refreshWorkspace.load());
    EXPECT_FALSE(session.Busy());
    EXPECT_TRUE(session.ConsoleEndsWithPrompt());
}

TEST(SessionDispatcher, RepeatedBarePromptWritesNothingButReleasesTheSender)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    const std::size_t writes = panes.writes.size();
    RunRequest(session, "a = 1;", false, {"octave:2> "});
    EXPECT_EQ(panes.writes.size(), writes);
    // Output of a silent statement is shown, with its prompt.
    RunRequest(session, "warning('w')", false, {"warning: w\noctave:3> "});
    EXPECT_EQ(panes.console, ">> warning: w\n>> ");
}

TEST(SessionDispatcher, ErrorIsColouredAndItsLocationsLinked)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    RunRequest(session, "f(1)", true,
        {"error: 'q' undefined\nerror: called from\n    g at line 3 column 3\n    f at line 2 column 1\noctave:2> "});
    EXPECT_EQ(Red(panes, panes.writes.size() - 1),
              "error: 'q' undefined\nerror: called from\n    g at line 3 column 3\n    f at line 2 column 1");
    int links = 0;
    for (const auto& sp : panes.writes.back().spans)
        links += sp.kind == CTextSpan::Link;
    EXPECT_EQ(links, 2);
    // The next output is not red any more.
    RunRequest(session, "1", true, {"ans = 1\noctave:3> "});
    EXPECT_EQ(Red(panes, panes.writes.size() - 1), "");
}

TEST(SessionDispatcher, AnswersSurviveAChunkBoundaryAnywhere)
{
    ExpectSplitInvariant("x", "x = 1\noctave:12> ");
    ExpectSplitInvariant("f", "error: boom\nerror: called from\n    f at line 2 column 1\noctave:3> ");
    ExpectSplitInvariant("path;###",
                         "\nOctave's search path contains the following directories:\n\n.\n/usr/a\n\noctave:4> ");
    ExpectSplitInvariant("completion_matches('pl')###", "plot\nplot3\noctave:5> ");
    ExpectSplitInvariant("pkg describe all;###",
                         "---\nPackage name:\n\tk\nVersion:\n\t1.0\nShort description:\n\td\nStatus:\n\tLoaded\noctave:6> ");
    ExpectSplitInvariant("help plot", "'plot' is a function\n\nSee also: plot3.\n\nAdditional help\noctave:7> ");
    ExpectSplitInvariant("f", "stopped in f at line 2 [/tmp/f.m]\n2:   y = x + 1;\ndebug> ");
}

TEST(SessionDispatcher, CollectedAnswersGoToTheirPanes)
{
    const Outcome path = Play("path;###", {"\nOctave's search path contains the following directories:\n\n.\n/usr/a\n/b c\n\noctave:4> "});
    EXPECT_EQ(path.paths, (std::vector<std::string>{"/usr/a", "/b c"}));
    EXPECT_EQ(path.calls.at(1), "path-populating");
    EXPECT_EQ(path.console, ">> ");  // nothing shown

    const Outcome one = Play("completion_matches('plot3')###", {"plot3\noctave:5> "});
    EXPECT_EQ(one.completions, (std::vector<std::vector<std::string>>{{"plot3"}}));
    const Outcome none = Play("completion_matches('zzz')###", {"octave:5> "});
    EXPECT_TRUE(none.completions.empty());
    EXPECT_EQ(none.calls.back(), "caret");

    const Outcome noPackages = Play("pkg describe all;###", {"octave:6> "});
    ASSERT_EQ(noPackages.packages.size(), 1u);
    EXPECT_EQ(noPackages.packages[0][2], "No packages installed.");

    const Outcome broken = Play("pkg describe all;###", {"error: pkg: broken\noctave:6> "});
    // The silent request's message starts a line rather than follow the prompt.
    EXPECT_NE(broken.console.find(">> \nerror: pkg: broken\n"), std::string::npos) << broken.console;

    const Outcome tip = Play("help sin;###", {"'sin' is a built-in function\n -- sin (X)\noctave:7> "});
    EXPECT_EQ(tip.editor, (std::vector<std::string>{"parameters:'sin' is a built-in function\n -- sin (X)\n>> "}));
    EXPECT_EQ(tip.console, ">> ");

    const Outcome value = Play("getvalue:x", {"x = 3\noctave:8> "});
    EXPECT_EQ(value.editor, (std::vector<std::string>{"varvalue:<b>x </b>= 3"}));

    const Outcome help = Play("help plot", {"'plot' is a function\nSee also: plot3.\n", "octave:9> "});
    EXPECT_EQ(help.console, ">> 'plot' is a function\nSee also: plot3.\n>> ");
}

TEST(SessionDispatcher, EditorCompletionGoesToTheEditor)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    RunRequest(session, "completion_matches_editor", false, {"abs\nacos\noctave:2> "});
    EXPECT_EQ(session.Sent(), (std::vector<std::string>{"completion_matches('')\n"}));
    EXPECT_EQ(panes.editor, (std::vector<std::string>{"completion:\nabs\nacos\n>> "}));
}

TEST(SessionDispatcher, DebugStopAndItsEndReachTheEditor)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    RunRequest(session, "f(1)", true, {"stopped in f at line 2 [/tmp/w/f.m]\n", "2:   y = x + 1;\ndebug> "});
    EXPECT_TRUE(session.DebugMode());
    EXPECT_EQ(panes.editor, (std::vector<std::string>{"!debug\nLine=2\nPath=/tmp/w/f.m"}));
    EXPECT_NE(panes.console.find("stopped in f at line 2"), std::string::npos);
    EXPECT_TRUE(COutputFormatter::EndsWith(panes.console, "debug> "));
    // clc in debug mode keeps the debug prompt.
    RunRequest(session, "clc", true, {});
    EXPECT_EQ(panes.console, "debug> ");
    RunRequest(session, "dbcont", true, {"y = 2\noctave:2> "});
    EXPECT_FALSE(session.DebugMode());
    EXPECT_EQ(panes.editor.back(), "dbended\nPath=/tmp/w/f.m");
}

TEST(SessionDispatcher, LocalRequestsNeverReachTheInterpreter)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    RunRequest(session, "doc plot", true, {});
    RunRequest(session, "cd '/tmp/x y'", true, {});
    RunRequest(session, "clc", true, {});
    EXPECT_TRUE(session.Sent().empty());
    // A typed statement that is handled here is echoed like one sent, so
    // the prompt written afterwards lands behind it.
    EXPECT_EQ(panes.calls, (std::vector<std::string>{"write:>> ", "echo:doc plot\n", "doc:plot", "write:>> ",
                                                      "echo:cd '/tmp/x y'\n", "cd:/tmp/x y", "reset:>> "}));
    // The user may still cancel the close: the sender goes on, and a
    // prompt waits for the next statement.
    session.running.store(true);
    EXPECT_TRUE(session.ProcessRequest({"exit", true}));
    EXPECT_TRUE(session.running.load());
    EXPECT_EQ(panes.calls.back(), "write:>> ");
    EXPECT_EQ(panes.calls.at(panes.calls.size() - 2), "close");
}

TEST(SessionDispatcher, ProfilerStateAndMarkers)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    RunRequest(session, "GetProfStatus();", false, {"    ProfilerStatus = on\noctave:2> "});
    EXPECT_TRUE(session.ProfilerRunning());
    RunRequest(session, "GetProfStatus();", false, {"    ProfilerStatus = off\noctave:3> "});
    EXPECT_FALSE(session.ProfilerRunning());
    RunRequest(session, "profile explore", false, {"profexplore> "});
    EXPECT_TRUE(session.ProfilerExplorePrompt());
    RunRequest(session, "exit", false, {"octave:4> "});
    EXPECT_EQ(session.Sent().back(), "exit\n");
    EXPECT_FALSE(session.ProfilerExplorePrompt());
    RunRequest(session, "p", false, {"__ProfilingFileReady__\noctave:5> "});
    RunRequest(session, "p", false, {"__FunctioProfilingEnd__\noctave:6> "});
    EXPECT_EQ(std::count(panes.calls.begin(), panes.calls.end(), "profile-file"), 1);
    EXPECT_EQ(std::count(panes.calls.begin(), panes.calls.end(), "profiling-ended"), 1);
}

TEST(SessionDispatcher, WorkspaceAnswerFilesReadThenRemoved)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    RecordingPanes panes;
    OfflineSession session(&panes, folder);
    session.Dispatch("octave:1> ");
    {
        std::ofstream names(session.NamesFile());
        names << "s<|>struct<|>1  1<|>8<#>a<|>uint8<|>2  3  4<|>24<#>c<|>cell<|>1  2<|>0<#>\n"
                 "m<|>double<|>2  2<|>32<#>broken<|>double<#>";
    }
    RunRequest(session, session.NamesStatement(), false, {"__varsnameready__\noctave:2> "});
    const std::vector<std::string> sent = session.Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_NE(sent[1].find("GetVariablesValues("), std::string::npos);
    EXPECT_NE(sent[1].find("{'a','m'}"), std::string::npos) << sent[1];
    EXPECT_FALSE(session.refreshWorkspace.load());  // the names statement itself
    EXPECT_FALSE(QFile::exists(QString::fromStdString(session.NamesFile())));
    {
        std::ofstream values(session.ValuesFile());
        values << "a<|>1<|>24<|>12.5<|>12.5<|>1<|>50<|>7.07<#>m<|>0<|>1<#>";
    }
    session.Dispatch("__varsvaluesready__\noctave:3> ");
    ASSERT_EQ(panes.refills, 1);
    ASSERT_EQ(panes.workspace.size(), 4u);
    EXPECT_EQ(panes.workspace[0].kind, CInfoVariable::Structure);
    EXPECT_EQ(panes.workspace[1].kind, CInfoVariable::NumericArray);
    EXPECT_EQ(panes.workspace[1].size, "2x3x4");
    EXPECT_EQ(panes.workspace[1].std, "7.07");
    EXPECT_EQ(panes.workspace[2].kind, CInfoVariable::Other);
    EXPECT_EQ(panes.workspace[3].max, "1");
    EXPECT_EQ(panes.workspace[3].mean, "");
    EXPECT_EQ(panes.console, ">> ");  // markers and their prompts are not shown
    EXPECT_FALSE(QFile::exists(QString::fromStdString(session.ValuesFile())));

    // Missing files: an empty workspace, nothing hangs.
    RunRequest(session, session.NamesStatement(), false, {"__varsnameready__\noctave:4> "});
    EXPECT_NE(session.Sent().back().find(", {});"), std::string::npos);
    session.Dispatch("__varsvaluesready__\noctave:5> ");
    EXPECT_EQ(panes.refills, 2);
    EXPECT_TRUE(panes.workspace.empty());
}

TEST(SessionDispatcher, MarkerSharingAChunkWithOtherOutputKeepsThatOutput)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    session.Dispatch("__varsvaluesready__\noctave:2> ans = 5\noctave:3> ");
    EXPECT_EQ(panes.console, ">> ans = 5\n>> ");
}

TEST(SessionDispatcher, NulBytesAndHugeOutputAreShownWhole)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    session.Dispatch(std::string("a\0b\n", 4));
    EXPECT_NE(panes.console.find("a\xE2\x90\x80" "b\n"), std::string::npos);

    std::string line(99, 'x');
    line += '\n';
    std::size_t total = 0;
    for (int i = 0; i < 20 * 1024 * 1024 / 5119; ++i) {
        std::string chunk;
        while (chunk.size() < 5119)
            chunk += line;
        chunk.resize(5119);
        total += chunk.size();
        session.Dispatch(chunk);
    }
    session.Dispatch("octave:2> ");
    const std::string& c = panes.console;
    EXPECT_EQ(c.size(), std::string(">> a\xE2\x90\x80" "b\n").size() + total + 4);  // "\n>> " at the end
}

TEST(SessionDispatcher, LettersCutByTheReadReachTheWindowWhole)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    for (const char* chunk : {"h\xC3", "\xA9llo \xE4", "\xB8", "\xAD\xF0\x9F\x99", "\x82\n", "octave:2> "})
        session.Dispatch(chunk);
    EXPECT_NE(panes.console.find("h\xC3\xA9llo \xE4\xB8\xAD\xF0\x9F\x99\x82\n"), std::string::npos);
    // The window turns each write into text on its own.
    for (const auto& w : panes.writes)
        EXPECT_EQ(QString::fromStdString(w.text).toStdString(), w.text);
}

TEST(SessionDispatcher, AnswerWithoutPromptStaysOpenUntilTheInterpreterDies)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    session.running.store(true);
    auto sender = std::async(std::launch::async, [&] { return session.ProcessRequest({"path;###", false}); });
    while (session.Sent().empty())
        std::this_thread::yield();
    session.Dispatch("\nOctave's search path contains the following directories:\n\n/usr/a\n");
    EXPECT_EQ(sender.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(panes.Console(), ">> ");
    // The reader ends: what was collected is shown and the sender moves on.
    session.FinishReading();
    ASSERT_EQ(sender.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_NE(panes.Console().find("/usr/a"), std::string::npos);
    EXPECT_FALSE(session.Busy());
}

TEST(SessionDispatcher, WriteFailureDoesNotLeaveTheAnswerOpen)
{
    RecordingPanes panes;
    COctaveRedirector session(&panes);  // never opened: every write fails
    session.running.store(true);
    session.QueueCommand("path;###", false);
    session.StartSender();
    session.QueueCommand("x", false);
    EXPECT_TRUE(panes.WaitFor([&] { return panes.calls.size() >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(session.Busy());
    session.StopSender();
}

TEST(SessionDispatcher, TextKeptBackForAPossiblePromptIsShownAfterSilence)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch("octave:1> ");
    session.Dispatch("answer\noct");  // could be the start of "octave:2> "
    EXPECT_EQ(panes.console, ">> answer\n");
    session.Idle();
    EXPECT_EQ(panes.console, ">> answer\noct");
}

TEST(SessionDispatcher, WorkspaceMarkersSurviveAChunkBoundaryAnywhere)
{
    const std::string answer = "__varsnameready__\noctave:2> ";
    for (std::size_t cut = 1; cut < answer.size(); ++cut) {
        RecordingPanes panes;
        OfflineSession session(&panes);
        session.Dispatch("octave:1> ");
        RunRequest(session, session.NamesStatement(), false, {answer.substr(0, cut), answer.substr(cut)});
        const std::vector<std::string> sent = session.Sent();
        ASSERT_EQ(sent.size(), 2u) << "cut at " << cut;
        EXPECT_NE(sent[1].find("GetVariablesValues("), std::string::npos);
        const std::string values = "__varsvaluesready__\noctave:3> ";
        const std::size_t second = cut % values.size() ? cut % values.size() : 1;
        session.Dispatch(values.substr(0, second));
        session.Dispatch(values.substr(second));
        EXPECT_EQ(panes.refills, 1) << "cut at " << cut;
        EXPECT_EQ(panes.console, ">> ") << "cut at " << cut;
        EXPECT_TRUE(session.AtPrompt());
    }
}

namespace {

// Per character of the window's text: 'r' red, 'b' bold, '.' plain (red and
// bold together read 'x').
std::string Marks(const RecordingPanes& panes)
{
    std::string marks;
    for (const auto& w : panes.writes) {
        std::string m(w.text.size(), '.');
        for (const auto& sp : w.spans)
            for (std::size_t i = sp.start; i < sp.start + sp.length && i < m.size(); ++i) {
                if (sp.kind == CTextSpan::Error)
                    m[i] = m[i] == 'b' ? 'x' : 'r';
                else if (sp.kind == CTextSpan::Bold)
                    m[i] = m[i] == 'r' ? 'x' : 'b';
            }
        marks += m;
    }
    return marks;
}

// Plays the answer cut into three chunks at every pair of positions, with a
// quiet poll of the reader between the chunks, and checks that the window
// shows the same text with the error message red and never bold, the output
// in front of it plain and the prompt line bold.
void ExpectErrorRedWhereverCut(const std::string& answer, const std::string& shown, std::size_t messageStart)
{
    for (std::size_t i = 1; i < answer.size(); ++i)
        for (std::size_t j = i; j < answer.size(); ++j) {
            RecordingPanes panes;
            OfflineSession session(&panes);
            session.Dispatch(">> ");
            session.running.store(true);
            auto sender = std::async(std::launch::async, [&] { return session.ProcessRequest({"f", false}); });
            while (session.Sent().empty()) {
            }
            // The interpreter writes its prompt in one piece: no quiet poll
            // falls inside it.
            const std::size_t prompt = answer.rfind("octave:");
            session.Dispatch(answer.substr(0, i));
            if (i <= prompt)
                session.Idle();
            session.Dispatch(answer.substr(i, j - i));
            if (j <= prompt)
                session.Idle();
            session.Dispatch(answer.substr(j));
            ASSERT_EQ(sender.wait_for(std::chrono::seconds(5)), std::future_status::ready) << i << "," << j;
            const std::string marks = panes.Locked([&] { return Marks(panes); });
            const std::string console = panes.Console();
            ASSERT_EQ(console, ">> " + shown) << "cut at " << i << "," << j;
            std::string expected = "bbb" + std::string(messageStart, '.');
            for (std::size_t k = messageStart; k + 3 < shown.size(); ++k)
                expected += shown[k] == '\n' ? marks[3 + k] : 'r';
            expected += "bbb";
            EXPECT_EQ(marks, expected) << "cut at " << i << "," << j << "\n" << console;
        }
}

}  // namespace

TEST(SessionDispatcher, ErrorMessageRedAndPromptLineBoldWhereverTheChunksEnd)
{
    // As Octave 7 writes error('boo'): "error", ": ", "boo", "\n", prompt.
    ExpectErrorRedWhereverCut("error: boo\noctave:3> ", "error: boo\n>> ", 0);
    ExpectErrorRedWhereverCut("1\nerror: 'nope' undefined\nerror: called from\n    kgf at line 1 column 19\noctave:6> ",
                              "1\nerror: 'nope' undefined\nerror: called from\n    kgf at line 1 column 19\n>> ", 2);
}

namespace {

bool Eventually(const std::function<bool()>& condition, int ms = 5000)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

TEST(SessionDispatcher, WorkspaceRefreshPromptsNeverShowNorReleaseTheNextRequestEarly)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch(">> ");
    session.running.store(true);
    auto names = std::async(std::launch::async, [&] { return session.ProcessRequest({session.NamesStatement(), false}); });
    ASSERT_TRUE(Eventually([&] { return session.Sent().size() == 1; }));
    // The marker alone: the values statement goes out, the sender keeps waiting
    // for the names statement's own prompt.
    session.Dispatch("__varsnameready__\n");
    ASSERT_EQ(session.Sent().size(), 2u);
    EXPECT_NE(session.Sent().back().find("GetVariablesValues"), std::string::npos);
    EXPECT_EQ(names.wait_for(std::chrono::milliseconds(150)), std::future_status::timeout);
    session.Dispatch("octave:5> ");
    ASSERT_EQ(names.wait_for(std::chrono::seconds(5)), std::future_status::ready);

    // The next statement waits until the values statement has given its
    // prompt back, however long that takes.
    auto next = std::async(std::launch::async, [&] { return session.ProcessRequest({"x = 1", true}); });
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(session.Sent().size(), 2u);
    session.Dispatch("__varsvaluesready__\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(session.Sent().size(), 2u);
    session.Dispatch("octave:6> ");
    ASSERT_TRUE(Eventually([&] { return session.Sent().size() == 3; }));
    session.Dispatch("x = 1\n");
    session.Dispatch("octave:7> ");
    ASSERT_EQ(next.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(panes.Console(), ">> x = 1\nx = 1\n>> ");
}

TEST(SessionDispatcher, InterruptedValuesStatementDoesNotHoldBackTheNextRequest)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    session.Dispatch(">> ");
    session.running.store(true);
    auto names = std::async(std::launch::async, [&] { return session.ProcessRequest({session.NamesStatement(), false}); });
    ASSERT_TRUE(Eventually([&] { return session.Sent().size() == 1; }));
    session.Dispatch("__varsnameready__\noctave:5> ");
    ASSERT_EQ(names.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    ASSERT_EQ(session.Sent().size(), 2u);
    // Ctrl+C while the values statement runs: it ends without its marker.
    session.Interrupt();
    session.Dispatch("\noctave:6> ");
    auto next = std::async(std::launch::async, [&] { return session.ProcessRequest({"y = 2", true}); });
    EXPECT_TRUE(Eventually([&] { return session.Sent().size() == 3; }, 1000));
    session.Dispatch("y = 2\noctave:7> ");
    ASSERT_EQ(next.wait_for(std::chrono::seconds(20)), std::future_status::ready);
}
