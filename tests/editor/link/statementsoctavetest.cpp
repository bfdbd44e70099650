// Every statement the editor builds, run by the real interpreter: the test
// looks at what it did (breakpoints held, where execution stops, values,
// files written), not at the statement's text.
#include "octavelink.h"

#include "editor/core/breakpointstatements.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "platform/editorprotocol.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// Line numbers matter: the tests name them.
const char* const kFunctionFile =
    "function y = f()\n"      // 1
    "  a = 1;\n"              // 2
    "\n"                      // 3
    "  b = 2;\n"              // 4
    "  y = g(a) + b;\n"       // 5
    "  c = [1, ...\n"         // 6
    "       2];\n"            // 7
    "end\n"                   // 8
    "\n"                      // 9
    "function z = g(x)\n"     // 10
    "  z = x * 2;\n"          // 11
    "end\n";                  // 12

class StatementsOctaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!link.Started())
            GTEST_SKIP() << "octave did not start";
        Write("f.m", kFunctionFile);
        view.SetInterpreterLink(&link);
        ASSERT_TRUE(view.GetDocument()->LoadFromFile(dir.filePath("f.m")));
        link.Run("cd " + Quoted(dir.path()));
    }

    void TearDown() override { view.SetInterpreterLink(nullptr); }

    void Write(const QString& name, const QByteArray& text)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    static QByteArray Quoted(const QString& text)
    {
        return "'" + text.toUtf8().replace("'", "''") + "'";
    }

    CScintillaWnd* Editor() { return view.GetEditor(); }

    QTemporaryDir dir;
    OctaveLink link;
    CMarlinoteView view;
};

}  // namespace

TEST_F(StatementsOctaveTest, BreakpointsSetAndClearedAlsoBesideASubfunctionBreakpoint)
{
    view.ToggleBreakpointAtLine(3);  // blank: the marker goes to line 4
    view.ToggleBreakpointAtLine(11);
    view.ToggleBreakpointAtLine(2);
    EXPECT_EQ(link.Breakpoints(), "f:2 f:4 f>g:11");

    // One line off: the others stay, in the subfunction too.
    view.ToggleBreakpointAtLine(4);
    EXPECT_EQ(link.Breakpoints(), "f:2 f>g:11");
    view.ToggleBreakpointAtLine(11);
    EXPECT_EQ(link.Breakpoints(), "f:2");

    // Clear all, then a new breakpoint must not wake the cleared ones.
    view.ToggleBreakpointAtLine(11);
    link.Run(view.ClearAllBreakpointsStatement());
    view.ClearBreakpointsAndDebugLine();
    EXPECT_EQ(link.Breakpoints(), "");
    view.ToggleBreakpointAtLine(5);
    EXPECT_EQ(link.Breakpoints(), "f:5");

    // The interpreter moves a breakpoint off a continuation line; its answer
    // names the line it used, and the marker follows.
    view.ToggleBreakpointAtLine(7);
    const EditorProtocol::Message moved = EditorProtocol::Decode(
        EditorProtocol::EncodeBreakpointAnswer(link.sent.last(), link.answers.last()));
    ASSERT_EQ(moved.kind, EditorProtocol::Kind::Breakpoint);
    EXPECT_EQ(moved.function, "f");
    EXPECT_EQ(moved.line, 8);
    view.SetBreakpointUsed(moved.requested, moved.line);
    EXPECT_EQ(view.GetBreakpoints(), (std::vector<int>{5, 8}));
    // Past the end nothing is set, and the answer says so.
    const QByteArray pastEnd = BreakpointStatements::Set("f", 40);
    EXPECT_EQ(EditorProtocol::Decode(EditorProtocol::EncodeBreakpointAnswer(pastEnd, link.Run(pastEnd))).line, 0);
    EXPECT_EQ(link.Breakpoints(), "f:5 f:8");

    // A new interpreter has none; the marked ones are set again.
    link.Run("dbclear all");
    link.Run(view.SetAllBreakpointsStatement());
    EXPECT_EQ(link.Breakpoints(), "f:5 f:8");
}

TEST_F(StatementsOctaveTest, RunStopsAtTheBreakpointAndTheDebugStepsMove)
{
    view.ToggleBreakpointAtLine(4);
    view.RunOrContinue();
    ASSERT_TRUE(link.IsDebugMode());
    EXPECT_TRUE(link.answers.last().contains("stopped in f at line 4")) << link.answers.last().constData();

    view.DebugStep();
    EXPECT_TRUE(link.answers.last().contains("5:")) << link.answers.last().constData();
    view.DebugStepIn();
    EXPECT_TRUE(link.answers.last().contains("11:")) << link.answers.last().constData();
    view.DebugStepOut();
    EXPECT_TRUE(link.IsDebugMode());

    // At the debug prompt a breakpoint still goes to the clicked file.
    view.ToggleBreakpointAtLine(11);
    view.RunOrContinue();  // continues to the end
    EXPECT_FALSE(link.IsDebugMode());
    EXPECT_TRUE(link.answers.last().contains("ans = 4")) << link.answers.last().constData();

    view.RunOrContinue();
    EXPECT_TRUE(link.answers.last().contains("stopped in f at line 4")) << link.answers.last().constData();
    view.RunOrContinue();
    EXPECT_TRUE(link.answers.last().contains("stopped in f>g at line 11")) << link.answers.last().constData();
    view.DebugStop();
    EXPECT_FALSE(link.IsDebugMode());
}

TEST_F(StatementsOctaveTest, RunAScriptWhoseNameIsNoIdentifierAndEvaluateSelectionAndCells)
{
    Write("my-script.m", "fid = fopen('written.txt', 'w'); fprintf(fid, 'ok'); fclose(fid);\n");
    ASSERT_TRUE(view.GetDocument()->LoadFromFile(dir.filePath("my-script.m")));
    view.RunOrContinue();
    EXPECT_TRUE(QFile::exists(dir.filePath("written.txt")));
    // A quote in the name, which the interpreter's run() cannot take.
    Write("it's.m", "fid = fopen('quoted.txt', 'w'); fprintf(fid, 'ok'); fclose(fid);\n");
    ASSERT_TRUE(view.GetDocument()->LoadFromFile(dir.filePath("it's.m")));
    view.RunOrContinue();
    EXPECT_TRUE(QFile::exists(dir.filePath("quoted.txt")));

    Editor()->SetText("%% one\nc1 = 1;\n%% two\nc2 = 2;\nq = 6 * ...\n 7;\n%% three\nc3 = 3;\n");
    Editor()->GotoPosition(0);
    for (int i = 0; i < 3; ++i)
        view.EvaluateCurrentCellAndAdvance();
    EXPECT_TRUE(link.Run("disp([c1 c2 c3])").contains("1   2   3"));

    Editor()->SetSelection(Editor()->PositionFromLine(3), Editor()->PositionFromLine(6));
    link.Run("clear q");
    view.EvaluateSelection();
    EXPECT_TRUE(link.Run("disp(q)").contains("42"));

    Editor()->SetText("zeros");
    view.DescribeCommand();
    EXPECT_TRUE(link.answers.last().contains("VAL = zeros (N)")) << link.answers.last().constData();
}
