#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>


#include "main/session/canswerparser.h"
#include "main/session/coctavedialect.h"
#include "main/session/coctaveredirector.h"
#include "main/session/coutputformatter.h"
#include "main/session/cpromptcount.h"
#include "main/session/crequestclassifier.h"
#include "platform/editorprotocol.h"

namespace {
const COctaveDialect kModern(7300);
const COctaveDialect kOld(3601);

std::string Rewritten(std::string s)
{
    COutputFormatter::RewritePrompts(s);
    return s;
}
std::string Cleaned(std::string s)
{
    COutputFormatter::CleanUp(s);
    return s;
}
}  // namespace

TEST(SessionDialect, VersionFromBanner)
{
    EXPECT_EQ(COctaveDialect::ParseVersion("octave: disabling GUI features\nGNU Octave, version 7.3.0\nCopyright"), 7300);
    EXPECT_EQ(COctaveDialect::ParseVersion("GNU Octave, version 3.6.1\r\n"), 3601);
    EXPECT_EQ(COctaveDialect::ParseVersion("GNU Octave, version 4.0.0-rc1\n"), 4000);
    EXPECT_EQ(COctaveDialect::ParseVersion("GNU Octave, version 7.3\n"), 0);
    EXPECT_EQ(COctaveDialect::ParseVersion("no banner"), 0);
    // The version the start-up accepted is the one whose statements are sent.
    EXPECT_EQ(COctaveDialect::ParseVersion("GNU Octave, version 4.x.0\n"), 4000);
    EXPECT_EQ(kModern.PackageDescribeStatement(), "pkg describe;###");
    EXPECT_EQ(kOld.PackageDescribeStatement(), "pkg describe all;###");
}

TEST(SessionFormatter, InterpreterPromptsBecomeGuiPromptsAndNothingIsDropped)
{
    EXPECT_EQ(Rewritten("ans = 1\noctave:2> "), "ans = 1\n>> ");
    EXPECT_EQ(Rewritten("octave.exe:12> "), ">> ");
    // Output after a prompt in the same chunk is the next statement's.
    EXPECT_EQ(Rewritten("a\noctave:2> b\noctave:3> "), "a\n>> b\n>> ");
    // The word octave alone is text.
    EXPECT_EQ(Rewritten("octave: X11 DISPLAY\noctave rocks\noctave:1> "), "octave: X11 DISPLAY\noctave rocks\n>> ");
    EXPECT_EQ(Rewritten("octave:x> "), "octave:x> ");
}

TEST(SessionFormatter, IncompleteTailKeepsCutPromptsAndMarkersOnly)
{
    EXPECT_EQ(COutputFormatter::IncompleteTail("ans = 1\noct"), 3u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("ans = 1\noctave:12"), 9u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("ans = 1\noctave:12>"), 10u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("ans = 1\noctave:12> "), 0u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("__varsna"), 8u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("x\n__varsnameready__"), 17u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("ans = 1\n"), 0u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("Enter a value: "), 0u);
    EXPECT_EQ(COutputFormatter::IncompleteTail("debug> "), 0u);
}

TEST(SessionFormatter, CleanUpFoldsDoubledPrompts)
{
    EXPECT_EQ(Cleaned("a\r\n>>> "), "a\n>> ");
    EXPECT_EQ(Cleaned(">> >> >> "), ">> ");
    EXPECT_EQ(Cleaned(">>   x"), ">> x");
    EXPECT_EQ(Cleaned("\ndebug> \ndebug> "), "debug> ");
    EXPECT_EQ(Cleaned("debug> debug> debug> "), "debug> ");
    EXPECT_EQ(Cleaned("debug> >> "), "debug> \n>> ");
    EXPECT_EQ(Cleaned("debug>> "), "debug> ");
    // The caret under a folded line keeps its character; other lines keep their blanks.
    EXPECT_EQ(Cleaned(">>>   a +* 2\n         ^\n   ^"), ">> a +* 2\n      ^\n   ^");
}

TEST(SessionFormatter, PromptStartsALine)
{
    std::string s = "abc>> ";
    COutputFormatter::PromptsToLineStart(s, true);
    EXPECT_EQ(s, "abc\n>> ");
    s = ">> ";
    COutputFormatter::PromptsToLineStart(s, true);
    EXPECT_EQ(s, ">> ");
    s = ">> ";
    COutputFormatter::PromptsToLineStart(s, false);
    EXPECT_EQ(s, "\n>> ");
    s = "x\n>> ";
    COutputFormatter::PromptsToLineStart(s, false);
    EXPECT_EQ(s, "x\n>> ");
}

TEST(SessionFormatter, OnlyABarePromptRepeats)
{
    EXPECT_TRUE(COutputFormatter::IsRepeatedPrompt("x\n>> ", ">> "));
    EXPECT_TRUE(COutputFormatter::IsRepeatedPrompt("x\n>> ", "\n>> "));
    EXPECT_TRUE(COutputFormatter::IsRepeatedPrompt("2:  y\ndebug> ", "debug> "));
    EXPECT_TRUE(COutputFormatter::IsRepeatedPrompt("x = [1\n> ", "> "));
    EXPECT_FALSE(COutputFormatter::IsRepeatedPrompt("x\n>> ", "warning: w\n>> "));
    EXPECT_FALSE(COutputFormatter::IsRepeatedPrompt("x\n", ">> "));
    EXPECT_FALSE(COutputFormatter::IsRepeatedPrompt(">> ", "debug> "));
}

TEST(SessionFormatter, ErrorColourAndModernLocationLinks)
{
    const std::string s = "error: boom\nerror: called from\n    g at line 3 column 3\n    f at line 2 column 1\n>> ";
    const auto spans = COutputFormatter::Spans(s, true, kModern);
    ASSERT_GE(spans.size(), 4u);
    EXPECT_EQ(spans[0], (CTextSpan{0, s.rfind('\n'), CTextSpan::Error}));
    std::vector<std::string> links;
    for (const auto& sp : spans)
        if (sp.kind == CTextSpan::Link)
            links.push_back(s.substr(sp.start, sp.length));
    EXPECT_EQ(links, (std::vector<std::string>{"g at line 3 column 3", "f at line 2 column 1"}));
    EXPECT_EQ(spans.back(), (CTextSpan{s.size() - 3, 3, CTextSpan::Bold}));
}

TEST(SessionFormatter, OldDialectLocationsAndFileLinks)
{
    const std::string s = "parse error near line 3 of file /a/f.m\nerror: called from:\nerror:   /a/g.m at line 4, column 2\n>> ";
    std::vector<std::string> links;
    for (const auto& sp : COutputFormatter::Spans(s, true, kOld))
        if (sp.kind == CTextSpan::Link)
            links.push_back(s.substr(sp.start, sp.length));
    EXPECT_EQ(links, (std::vector<std::string>{"line 3 of file /a/f.m", "/a/g.m at line 4, column 2"}));
}

TEST(SessionFormatter, NoColourForPanicsOrWithoutErrorOrWithoutLineFeed)
{
    EXPECT_EQ(COutputFormatter::Spans("panic: x\n>> ", true, kModern).size(), 1u);
    EXPECT_EQ(COutputFormatter::Spans("error: x\n>> ", false, kModern).size(), 1u);
    // Without a prompt the whole piece is message: red, nothing bold.
    const auto piece = COutputFormatter::Spans("error: x", true, kModern);
    ASSERT_EQ(piece.size(), 1u);
    EXPECT_EQ(piece[0], (CTextSpan{0, 8, CTextSpan::Error}));
    EXPECT_TRUE(COutputFormatter::Spans("some output", false, kModern).empty());
}

TEST(SessionFormatter, SeeAlsoNamesAreLinkedInTheirList)
{
    const std::string s = "plot3 draws. See also: plot3,\n          semilogx.\n\nAdditional help for built-in functions\n>> ";
    std::vector<std::string> links;
    std::vector<std::size_t> where;
    for (const auto& sp : COutputFormatter::Spans(s, false, kModern))
        if (sp.kind == CTextSpan::Link) {
            links.push_back(s.substr(sp.start, sp.length));
            where.push_back(sp.start);
        }
    EXPECT_EQ(links, (std::vector<std::string>{"plot3", "semilogx"}));
    EXPECT_GT(where[0], s.find("See also"));
}

TEST(SessionAnswers, PathListSkipsHeadingPromptAndDot)
{
    const std::string a = "\nOctave's search path contains the following directories:\n\n.\n/usr/a\n/usr/b c\n\n>> ";
    EXPECT_EQ(CAnswerParser::PathList(a), (std::vector<std::string>{"/usr/a", "/usr/b c"}));
    EXPECT_TRUE(CAnswerParser::PathList(">> ").empty());
}

TEST(SessionAnswers, ModernPackagesReadByLabel)
{
    const std::string a =
        "---\nPackage name:\n\tkpkg\nVersion:\n\t1.0.0\nShort description:\n\tA test\n\tpackage.\nDepends on:\n"
        "\toctave >= 4.0.0\nDepended on by:\n\nStatus:\n\tNot loaded\n---\nPackage name:\n\tother\nStatus:\n\tLoaded\n>> ";
    const auto rows = CAnswerParser::PackageList(a, kModern);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (CPackageRow{"kpkg", "1.0.0", "A test package.", "Not loaded"}));
    EXPECT_EQ(rows[1], (CPackageRow{"other", "", "", "Loaded"}));
    const auto none = CAnswerParser::PackageList(">> ", kModern);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0], (CPackageRow{"", "", "No packages installed.", ""}));
}

TEST(SessionAnswers, OldPackagesByPosition)
{
    const std::string a = "\n---\nx\ny\nname\nz\n1.0\nz\ndesc\nz\nLoaded\n---\nx\ny\nshort\n>> ";
    const auto rows = CAnswerParser::PackageList(a, kOld);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (CPackageRow{"name", "1.0", "desc", "Loaded"}));
    EXPECT_EQ(rows[1], (CPackageRow{"short", "", "", ""}));
}

TEST(SessionAnswers, DebugStopInBothDialects)
{
    std::string file, line;
    ASSERT_TRUE(CAnswerParser::DebugStop("stopped in f at line 2 [/tmp/w x/f.m]\n2:   y = x + 1;\ndebug> ", kModern,
                                         file, line));
    EXPECT_EQ(file, "/tmp/w x/f.m");
    EXPECT_EQ(line, "2");
    EXPECT_FALSE(CAnswerParser::DebugStop("stopped in:\n\n  --> g at line 3 [/tmp/g.m]\ndebug> ", kModern, file, line));
    ASSERT_TRUE(CAnswerParser::DebugStop("stopped in /cygdrive/c/w/f.m at line 12\ndebug> ", kOld, file, line));
    EXPECT_EQ(file, "c:/w/f.m");
    EXPECT_EQ(line, "12");
}

TEST(SessionAnswers, ValueTextBoldsTheName)
{
    EXPECT_EQ(CAnswerParser::ValueText("x = 3\n>> "), "<b>x </b>= 3");
    EXPECT_EQ(CAnswerParser::ValueText("error: 'q' undefined\n>> "), "error: 'q' undefined");
    // Only the name is bold; the value's own text is escaped.
    EXPECT_EQ(CAnswerParser::ValueText("ans = <a> ans & b\n[1]debug> "), "<b>ans </b>= &lt;a&gt; ans &amp; b");
}

TEST(SessionAnswers, DebugMarkerKeptWithinTheFile)
{
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/s.m";
    QFile out(QString::fromStdString(file));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("a = 1;\nb = 2;\nc = 3");
    out.close();
    EXPECT_EQ(COctaveRedirector::MarkerLine(file, 2), 2);
    EXPECT_EQ(COctaveRedirector::MarkerLine(file, 4), 3);
}

TEST(SessionPromptCount, RequestsLeftOpenAreNotFinished)
{
    // The counts themselves are checked against the interpreter
    // (SessionOctave.PromptCountAgreesWithTheInterpreter).
    for (const char* open : {"if true", "x = [1 2", "y = 1 + ...", "%{", "f = @(x) ...", "a = 1;\nfor i = 1:3"})
        EXPECT_FALSE(CPromptCount::Of(open).finished) << open;
    EXPECT_EQ(CPromptCount::Of("a = 1;\nfor i = 1:3").prompts, 1);
    // An unterminated string is refused at once: nothing stays open.
    EXPECT_TRUE(CPromptCount::Of("if true\ns = 'abc").finished);
}

TEST(SessionClassifier, RulesInOrder)
{
    using A = CRequestAction;
    auto c = [](const std::string& t, bool echo = true, bool explore = false) {
        return CRequestClassifier::Classify(t, echo, explore, kModern);
    };
    EXPECT_EQ(c("exit").kind, A::Exit);
    EXPECT_EQ(c("quit").kind, A::Exit);
    EXPECT_EQ(c("exit", true, true).kind, A::Send);  // leaves the profiler's explorer
    EXPECT_TRUE(c("clear all").refreshNow);
    EXPECT_EQ(c("clc").kind, A::ClearScreen);
    EXPECT_EQ(c("home").kind, A::ClearScreen);
    EXPECT_EQ(c("clc;").kind, A::Send);
    auto doc = c("doc plot");
    EXPECT_EQ(doc.kind, A::Documentation);
    EXPECT_EQ(doc.argument, "plot");
    EXPECT_TRUE(doc.freshPrompt);
    doc = c("doc plot;###");
    EXPECT_EQ(doc.argument, "plot");
    EXPECT_FALSE(doc.freshPrompt);
    EXPECT_EQ(c("doc").kind, A::Documentation);
    EXPECT_EQ(c("docstring").kind, A::Send);
    // The editor runs a script by its path when its bare name would be one of
    // these: its list must match what is intercepted here.
    for (const char* name : {"exit", "quit", "clc", "home", "doc", "completion_matches_editor"}) {
        EXPECT_TRUE(EditorProtocol::IsMainProgramCommand(name)) << name;
        EXPECT_TRUE(c(name).kind != A::Send || c(name).answer != A::NoAnswer) << name;
    }
    EXPECT_FALSE(EditorProtocol::IsMainProgramCommand("docstring"));
    auto path = c("path;###", false);
    EXPECT_EQ(path.answer, A::PathAnswer);
    EXPECT_FALSE(path.refreshAfter);
    auto pkg = c("pkg describe all;###", false);
    EXPECT_EQ(pkg.answer, A::PackageAnswer);
    EXPECT_EQ(pkg.toSend, "pkg describe;###");
    EXPECT_EQ(CRequestClassifier::Classify("pkg describe all;###", false, false, kOld).toSend, "pkg describe all;###");
    auto tip = c("help plot;###");
    EXPECT_EQ(tip.answer, A::CallTipAnswer);
    EXPECT_FALSE(tip.echo);
    EXPECT_EQ(c("help plot").answer, A::HelpAnswer);
    auto cd = c("cd '/tmp/a \"b\"'");
    EXPECT_EQ(cd.kind, A::ChangeDirectory);
    // The folder's own quotes and blanks stay: only the quoting is undone.
    EXPECT_EQ(cd.argument, "/tmp/a \"b\"");
    EXPECT_EQ(c("cd it's").argument, "it's");
    EXPECT_EQ(c("cd 'it''s here' ").argument, "it's here");
    EXPECT_EQ(c("cd \"my dir\"").argument, "my dir");
    EXPECT_EQ(c("chdir /x").kind, A::ChangeDirectory);
    EXPECT_EQ(c("cd /x\ny = 1").kind, A::Send);
    EXPECT_EQ(c("doc plot\ny = 1").kind, A::Send);
    EXPECT_EQ(c("cd '/x';###").kind, A::Send);
    EXPECT_TRUE(c("pkg install '/a b/k.tar.gz';###").packagesChanged);
    EXPECT_TRUE(c("pkg unload x;###").packagesChanged);
    EXPECT_FALSE(c("pkg load x").packagesChanged);
    EXPECT_TRUE(c("addpath('/a');###").pathsChanged);
    EXPECT_TRUE(c("rmpath('/a');###").pathsChanged);
    auto value = c("getvalue:x", false);
    EXPECT_EQ(value.toSend, "if exist('x','var'), x, end");
    EXPECT_EQ(c("getvalue:s.a", false).toSend, "if exist('s','var'), s.a, end");
    for (const char* word : {"getvalue:x(1)", "getvalue:s.", "getvalue:", "getvalue:1x"})
        EXPECT_EQ(c(word, false).toSend, "if false, end") << word;
    EXPECT_EQ(value.answer, A::ValueAnswer);
    auto ed = c("completion_matches_editor('pl')", true);
    EXPECT_EQ(ed.toSend, "completion_matches('')");
    EXPECT_EQ(ed.answer, A::EditorCompletionAnswer);
    EXPECT_FALSE(ed.echo);
    EXPECT_TRUE(ed.waitBeforeSend);
    EXPECT_EQ(c("completion_matches('pl')###", false).answer, A::CompletionAnswer);
    EXPECT_EQ(c("completion_matches('pl')", false).answer, A::NoAnswer);
    EXPECT_TRUE(c("load data.mat").showWorkspace);
    EXPECT_TRUE(c("x = 1").refreshAfter);
}

TEST(SessionClassifier, RefreshSuppressedForDebuggerAndVariableEditorStatements)
{
    EXPECT_TRUE(CRequestClassifier::SuppressesRefresh("NAMES", "NAMES"));
    EXPECT_TRUE(CRequestClassifier::SuppressesRefresh("dbstop('f','5')", "NAMES"));
    EXPECT_TRUE(CRequestClassifier::SuppressesRefresh("csvwrite('/t/matrix_temp.csv', x)", "NAMES"));
    EXPECT_FALSE(CRequestClassifier::SuppressesRefresh("x = 2", "NAMES"));
}
