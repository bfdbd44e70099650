#include "editor/core/cgotodlg.h"
#include "editor/core/cinterpreterlink.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "platform/cprofile.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using B = QsciScintillaBase;

class FakeLink : public CInterpreterLink {
public:
    bool SendToMainProgram(const QByteArray& text, bool, bool, bool) override
    {
        sent << QString::fromUtf8(text);
        return true;
    }
    bool IsDebugMode() const override { return debug; }
    void RememberRequest(const QByteArray& name, const QString&, CMarlinoteView*) override
    {
        lastName = name;
    }
    void RememberTooltip(const QByteArray&, const QPoint&, bool) override {}
    bool IsDescribePending() const override { return false; }
    void HideValueTooltip() override {}

    QStringList sent;
    QByteArray lastName;
    bool debug = false;
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(600, 400);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        Editor()->setFocus();
    }

    CScintillaWnd* Editor() { return view.GetEditor(); }

    void SetText(const QByteArray& text)
    {
        Editor()->SetText(text);
        Editor()->GotoPosition(0);
    }

    void Type(const QString& text) { QTest::keyClicks(Editor(), text); }
    void Enter() { QTest::keyClick(Editor(), Qt::Key_Return); }

    int Indentation(long line) { return Editor()->GetLineIndentation(line); }

    CMarlinoteView view;
};

}  // namespace

TEST_F(ViewTest, SmartIndentationAfterOpeningAndClosingWords)
{
    Type("if x > 1");
    Enter();
    EXPECT_EQ(Indentation(1), 4);
    Type("y = 2;");
    Enter();
    EXPECT_EQ(Indentation(2), 4);
    Type("else");
    Enter();
    EXPECT_EQ(Indentation(2), 0);  // else moves out
    EXPECT_EQ(Indentation(3), 4);  // and the next line stays in
    Type("y = 3;");
    Enter();
    Type("end");
    Enter();
    EXPECT_EQ(Indentation(4), 0);
    EXPECT_EQ(Indentation(5), 0);
    EXPECT_EQ(Editor()->GetText(), QByteArray("if x > 1\n    y = 2;\nelse\n    y = 3;\nend\n"));

    // Off: new lines start at column 0.
    CEditorSettings s = view.GetSettings();
    s.smartIndent = false;
    view.ApplySettings(s);
    Type("for k = 1:3");
    Enter();
    EXPECT_EQ(Indentation(6), 0);
}

TEST_F(ViewTest, CommentAndUncommentWithEachPrefix)
{
    const char* prefixes[] = {"# ", "% ", "## ", "%% "};
    for (int setting = 0; setting < 4; ++setting) {
        CEditorSettings s = view.GetSettings();
        s.comment = setting;
        view.ApplySettings(s);
        SetText("a = 1;\n  b = 2;\nc = 3;\n");
        Editor()->SetSelection(2, Editor()->PositionFromLine(1) + 4);
        view.Comment();
        const QByteArray p = prefixes[setting];
        EXPECT_EQ(Editor()->GetText(), p + "a = 1;\n  " + p + "b = 2;\nc = 3;\n") << setting;
        EXPECT_EQ(Editor()->GetSelectedText(), p + "a = 1;\n  " + p + "b = 2;") << setting;
        view.Uncomment();
        EXPECT_EQ(Editor()->GetText(), QByteArray("a = 1;\n  b = 2;\nc = 3;\n")) << setting;
    }
    // A cell break loses its marks too; code lines are left alone.
    SetText("%% Setup\nx = 1; % keep\n%#mixed\n");
    view.SelectAll();
    view.Uncomment();
    EXPECT_EQ(Editor()->GetText(), QByteArray("Setup\nx = 1; % keep\n#mixed\n"));
}

TEST_F(ViewTest, IndentAndUnindentBlocks)
{
    SetText("a\n  b\nc\n");
    Editor()->SetSelection(0, Editor()->PositionFromLine(1) + 1);
    view.Indent();
    EXPECT_EQ(Editor()->GetText(), QByteArray("    a\n      b\nc\n"));
    view.Unindent();
    view.Unindent();
    EXPECT_EQ(Editor()->GetText(), QByteArray("a\nb\nc\n"));
}

TEST_F(ViewTest, CellListNamesAndCurrentCell)
{
    QSignalSpy spy(&view, &CMarlinoteView::cellListChanged);
    SetText("   %% Setup\nx = 1; %% note\n%% \ny = 2;\n\t%% \n%%% not a cell\n");
    EXPECT_EQ(view.GetCellNames(), (QStringList{"Setup", "cell 1", "cell 2"}));
    EXPECT_EQ(view.GetCellLines(), (std::vector<int>{1, 3, 5}));
    Editor()->GotoLine(3);
    EXPECT_EQ(view.GetCurrentCellIndex(), 1);
    view.GotoCell(0);
    EXPECT_EQ(Editor()->GetCurrentPosition(), 6);  // just after "%% "
    EXPECT_GE(spy.count(), 1);

    SetText("x = 1;\n%% A\n");
    EXPECT_EQ(view.GetCurrentCellIndex(), -1);  // above the first break

    // Typing a break: the list follows shortly after, without being asked.
    spy.clear();
    QSignalSpy edited(&view, &CMarlinoteView::textEdited);
    Editor()->SendScintilla(B::SCI_DOCUMENTEND);
    Type("%% B");
    EXPECT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.last().at(0).toStringList(), (QStringList{"A", "B"}));
    EXPECT_EQ(spy.last().at(1).toInt(), 1);
    EXPECT_EQ(edited.count(), 1);  // one notice for the whole burst
}

TEST_F(ViewTest, CellBreaksAndCellNavigation)
{
    SetText("  a = 1;\nb = 2;\n");
    view.InsertCellBreak();
    EXPECT_EQ(Editor()->GetText(), QByteArray("  a = 1;\n  %% \nb = 2;\n"));
    EXPECT_EQ(Editor()->GetCurrentPosition(), 14);

    SetText("a\nb\nc\n");
    Editor()->SetSelection(2, 3);  // "b"
    view.InsertCellBreaksAroundSelection();
    EXPECT_EQ(Editor()->GetText(), QByteArray("a\n%% \nb\n%% \nc\n"));
    EXPECT_EQ(Editor()->GetSelectedText(), QByteArray("b"));

    Editor()->GotoPosition(0);
    view.NextCell();
    EXPECT_EQ(Editor()->LineFromPosition(Editor()->GetCurrentPosition()), 1);
    view.NextCell();
    EXPECT_EQ(Editor()->LineFromPosition(Editor()->GetCurrentPosition()), 3);
    view.NextCell();  // none left: stays
    EXPECT_EQ(Editor()->LineFromPosition(Editor()->GetCurrentPosition()), 3);
    view.PreviousCell();
    EXPECT_EQ(Editor()->LineFromPosition(Editor()->GetCurrentPosition()), 1);
}

TEST_F(ViewTest, NumberNearTheCaret)
{
    SetText("x = 2.5;\n");
    Editor()->GotoPosition(5);
    view.IncrementValue(1.0);
    EXPECT_EQ(Editor()->GetText(), QByteArray("x = 3.5;\n"));

    SetText("x = 1.5;\n");
    Editor()->GotoPosition(5);
    view.IncrementValue(0.5);
    EXPECT_EQ(Editor()->GetText(), QByteArray("x = 2;\n"));

    SetText("x = 11;\n");
    Editor()->GotoPosition(5);
    view.DivideValue(0.0);  // a zero factor changes nothing
    EXPECT_EQ(Editor()->GetText(), QByteArray("x = 11;\n"));
    view.MultiplyValue(1.1);
    EXPECT_EQ(Editor()->GetText(), QByteArray("x = 12.1;\n"));
    view.DecrementValue(20);
    EXPECT_EQ(Editor()->GetText(), QByteArray("x = -7.9;\n"));

    SetText("x = y;\n");
    Editor()->GotoPosition(4);
    view.IncrementValue(1.0);  // not a number
    EXPECT_EQ(Editor()->GetText(), QByteArray("x = y;\n"));
}

TEST_F(ViewTest, GotoLineAndPosition)
{
    SetText("one\ntwo\nthree\nfour\n");
    view.GotoLineNumber(3);
    EXPECT_EQ(Editor()->GetCurrentPosition(), 8);
    view.GotoLineNumber(99);
    EXPECT_EQ(Editor()->LineFromPosition(Editor()->GetCurrentPosition()), 4);
    view.GotoCharacterPosition(5);
    EXPECT_EQ(Editor()->GetCurrentPosition(), 5);

    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<CGotoDlg*>(w)) {
                dialog->SetValue(2);
                dialog->accept();
            }
        }
    });
    view.GotoLineDialog();
    EXPECT_EQ(Editor()->GetCurrentPosition(), 4);
}

TEST_F(ViewTest, CompletionFromTheKeywordList)
{
    view.SetKeywords({"disp", "display", "dot", "zeros"});
    Type("di");
    EXPECT_NE(Editor()->SendScintilla(B::SCI_AUTOCACTIVE), 0);
    Editor()->SendScintilla(B::SCI_AUTOCCANCEL);
    Type(" q");
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_AUTOCACTIVE), 0);

    view.ToggleAutoCompletion();
    Type(" d");
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_AUTOCACTIVE), 0);
    CProfile profile(QStringLiteral("Marlinote"));
    EXPECT_EQ(profile.GetInt(QStringLiteral("General"), QStringLiteral("AutoCompleteEnabled"), 1), 0);
    view.ToggleAutoCompletion();

    // Enter with the list open ends the line as typed; it takes a name only
    // when one was picked with the arrow keys.
    SetText("");
    Type("d");
    Enter();
    Type("zer");
    Enter();
    Type("di");
    QTest::keyClick(Editor(), Qt::Key_Down);
    Enter();
    EXPECT_EQ(Editor()->GetText(), QByteArray("d\nzer\ndisplay"));
}

TEST_F(ViewTest, ZoomAndMarginsAndAllCharacters)
{
    QSignalSpy spy(&view, &CMarlinoteView::settingsChanged);
    view.ZoomIn();
    CProfile profile(QStringLiteral("Marlinote"));
    EXPECT_EQ(profile.GetInt(QStringLiteral("General"), QStringLiteral("ZoomLevel"), 0), 1);
    EXPECT_EQ(view.GetSettings().zoomLevel, 1);
    view.ZoomOut();
    EXPECT_EQ(profile.GetInt(QStringLiteral("General"), QStringLiteral("ZoomLevel"), 9), 0);
    EXPECT_EQ(spy.count(), 2);

    view.ToggleShowAllCharacters();
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_GETVIEWEOL), 1);
    view.ToggleShowAllCharacters();
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_GETVIEWEOL), 0);

    view.ToggleLineNumbers();
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_GETMARGINWIDTHN, 0UL), 0);
    view.ToggleFoldingMargin();
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_GETMARGINWIDTHN, 2UL), 0);
    view.ToggleSelectionMargin();
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_GETMARGINWIDTHN, 1UL), 0);
}

TEST_F(ViewTest, StatusSignalsAndCaretRestore)
{
    QSignalSpy caret(&view, &CMarlinoteView::caretPositionChanged);
    QSignalSpy style(&view, &CMarlinoteView::styleNameChanged);
    SetText("% c\nab = 1;\n");
    Editor()->SendScintilla(B::SCI_COLOURISE, 0UL, -1L);
    view.RestoreCaret(6);
    QApplication::processEvents();
    ASSERT_GE(caret.count(), 1);
    const QList<QVariant> last = caret.takeLast();
    EXPECT_EQ(last.at(0).toInt(), 2);
    EXPECT_EQ(last.at(1).toInt(), 3);
    EXPECT_EQ(last.at(2).toInt(), 0);
    EXPECT_EQ(view.GetCaretPosition(), 6);
    view.RestoreCaret(10000);
    EXPECT_EQ(view.GetCaretPosition(), Editor()->GetLength());
    EXPECT_EQ(CMarlinoteView::StyleName(8), QStringLiteral("Double quote string"));
}

TEST_F(ViewTest, BreakpointsRunAndEvaluateThroughTheLink)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.m");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x = 1;\n\n\n% comment\ny = 2;\n");
    }
    ASSERT_TRUE(view.GetDocument()->LoadFromFile(path));

    // Without a link markers still toggle, nothing is sent.
    view.ToggleBreakpointAtLine(3);
    EXPECT_EQ(view.GetBreakpoints(), (std::vector<int>{5}));
    view.ToggleBreakpointAtLine(5);
    EXPECT_TRUE(view.GetBreakpoints().empty());

    FakeLink link;
    view.SetInterpreterLink(&link);
    view.ToggleBreakpointAtLine(3);
    view.ToggleBreakpointAtLine(5);
    link.debug = true;
    view.ToggleBreakpointAtLine(5);
    link.debug = false;
    // The function is named and lines go as text, at a debug prompt too.
    EXPECT_EQ(link.sent, (QStringList{"dbstop('f','5')", "dbclear('f','5')", "dbstop('f','5')"}));
    EXPECT_EQ(link.lastName, QByteArray("f"));

    link.sent.clear();
    Editor()->GotoPosition(0);
    Type("z = 0;");
    view.RunOrContinue();  // saves first
    EXPECT_FALSE(view.GetDocument()->IsModified());
    ASSERT_EQ(link.sent.size(), 2);
    EXPECT_EQ(link.sent[0], "cd '" + dir.path() + "'");
    EXPECT_EQ(link.sent[1], "f");

    link.sent.clear();
    Editor()->SetSelection(0, Editor()->PositionFromLine(2));
    view.EvaluateSelection();
    EXPECT_EQ(link.sent, (QStringList{"z = 0;x = 1;"}));

    // A file name that is no valid name is run by its quoted path, never as code.
    const QString odd = dir.filePath("a;disp(1)'.m");
    ASSERT_TRUE(view.GetDocument()->SaveAs(odd));
    link.sent.clear();
    CEditorSettings s = view.GetSettings();
    s.changeDirOnRun = false;
    view.ApplySettings(s);
    view.RunOrContinue();
    EXPECT_EQ(link.sent, (QStringList{"source('" + dir.path() + "/a;disp(1)''.m')"}));

    // Nor can the interpreter stop in it: no marker, nothing sent, and the user is told why.
    view.ClearBreakpointsAndDebugLine();
    link.sent.clear();
    QSignalSpy errors(&view, &CMarlinoteView::errorOccurred);
    view.ToggleBreakpointAtLine(5);
    EXPECT_TRUE(view.GetBreakpoints().empty());
    EXPECT_TRUE(link.sent.isEmpty());
    EXPECT_EQ(errors.count(), 1);
    view.SetInterpreterLink(nullptr);
}

TEST_F(ViewTest, DebugCommandsCellsAndCallTipsThroughTheLink)
{
    FakeLink link;
    view.SetInterpreterLink(&link);

    // Never saved: Run does nothing; in debug mode it continues.
    SetText("a = 1;\n%% B\nb = 2;\nc = 3;\n%% C\nd = 4;\n");
    view.RunOrContinue();
    EXPECT_TRUE(link.sent.isEmpty());
    view.DebugStep();  // only in debug mode
    EXPECT_TRUE(link.sent.isEmpty());
    link.debug = true;
    view.RunOrContinue();
    view.DebugStep();
    view.DebugStepIn();
    view.DebugStepOut();
    view.DebugStop();
    EXPECT_EQ(link.sent, (QStringList{"dbcont", "dbstep", "dbstep in", "dbstep out", "dbquit"}));
    link.debug = false;

    // The cell under the caret, without its break lines.
    link.sent.clear();
    view.GotoLineNumber(3);
    view.EvaluateCurrentCellAndAdvance();
    EXPECT_EQ(link.sent, (QStringList{"b = 2;", "c = 3;"}));
    EXPECT_EQ(Editor()->LineFromPosition(Editor()->GetCurrentPosition()), 4);
    // Advancing again runs the very next cell, not the one after it.
    Editor()->GotoPosition(0);
    link.sent.clear();
    for (int i = 0; i < 3; ++i)
        view.EvaluateCurrentCellAndAdvance();
    EXPECT_EQ(link.sent, (QStringList{"a = 1;", "b = 2;", "c = 3;", "d = 4;"}));

    // Changing a number evaluates its cell and keeps the caret in the number.
    link.sent.clear();
    Editor()->GotoPosition(Editor()->PositionFromLine(5) + 5);
    view.MultiplyValue(2);
    EXPECT_EQ(link.sent, (QStringList{"d = 8;"}));
    EXPECT_EQ(Editor()->GetCurrentPosition(), Editor()->PositionFromLine(5) + 5);

    // Debug position: the marker goes to the next code line.
    view.SetDebugLine(2);
    EXPECT_EQ(view.GetDebugLine(), 2);
    EXPECT_EQ(Editor()->MarkerNext(0, 1 << CScintillaWnd::DebugMarker), 2);
    view.ToggleBreakpointAtLine(1);
    view.ClearBreakpointsAndDebugLine();
    EXPECT_EQ(view.GetDebugLine(), 0);
    EXPECT_TRUE(view.GetBreakpoints().empty());
    EXPECT_EQ(Editor()->MarkerNext(0, 1 << CScintillaWnd::DebugMarker), -1);

    // "(" asks for the call tip of the name before it; the tip cycles.
    link.sent.clear();
    SetText("");
    Type("plot (");
    EXPECT_EQ(link.sent, (QStringList{"help plot;###"}));
    view.ShowCallTip({"plot (x, y)", "plot (y)"});
    EXPECT_NE(Editor()->SendScintilla(B::SCI_CALLTIPACTIVE), 0);
    Type(")");
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_CALLTIPACTIVE), 0);
    // An answer that comes after the call was closed shows nothing.
    Type("; plot (1)");
    view.ShowCallTip({"plot (x, y)", "plot (y)"});
    EXPECT_EQ(Editor()->SendScintilla(B::SCI_CALLTIPACTIVE), 0);

    link.sent.clear();
    SetText("zeros");
    view.DescribeCommand();
    view.DocumentationOfWord();
    EXPECT_EQ(link.sent, (QStringList{"help zeros;###", "doc zeros;###"}));
    view.SetInterpreterLink(nullptr);
}

TEST_F(ViewTest, DoubleClickSelectsADottedName)
{
    SetText("x = s.field + 1;\n");
    QApplication::processEvents();
    const long pos = 7;
    const int x = static_cast<int>(Editor()->SendScintilla(B::SCI_POINTXFROMPOSITION, 0UL, pos));
    const int y = static_cast<int>(Editor()->SendScintilla(B::SCI_POINTYFROMPOSITION, 0UL, pos));
    // The component counts clicks itself: the first click of the pair first.
    QTest::mouseClick(Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x + 2, y + 5));
    QTest::mouseDClick(Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x + 2, y + 5));
    EXPECT_EQ(Editor()->GetSelectedText(), QByteArray("s.field"));
}

TEST_F(ViewTest, NewKeywordsRestyleTheText)
{
    SetText("foo = bar (1);\n");
    QApplication::processEvents();
    Editor()->SendScintilla(B::SCI_COLOURISE, 0UL, -1L);
    EXPECT_EQ(Editor()->GetStyleAt(6), 7);  // identifier
    view.SetKeywords({"bar"});
    Editor()->repaint();
    QApplication::processEvents();
    EXPECT_EQ(Editor()->GetStyleAt(6), 4);  // keyword
}

TEST_F(ViewTest, HoverAsksForValuesOnlyInDebugMode)
{
    FakeLink link;
    view.SetInterpreterLink(&link);
    SetText("y = s.field + 1;\n");
    QApplication::processEvents();
    const int x = static_cast<int>(Editor()->SendScintilla(B::SCI_POINTXFROMPOSITION, 0UL, 6L));
    const int y = static_cast<int>(Editor()->SendScintilla(B::SCI_POINTYFROMPOSITION, 0UL, 6L));
    emit Editor()->SCN_DWELLSTART(6, x + 2, y + 5);
    EXPECT_TRUE(link.sent.isEmpty());
    link.debug = true;
    emit Editor()->SCN_DWELLSTART(6, x + 3, y + 5);
    EXPECT_EQ(link.sent, (QStringList{"getvalue:s.field"}));
    emit Editor()->SCN_DWELLSTART(6, x + 3, y + 5);  // the same point asks once
    EXPECT_EQ(link.sent.size(), 1);
    view.SetInterpreterLink(nullptr);
}
