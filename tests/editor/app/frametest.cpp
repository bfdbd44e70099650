#include "editor/app/ccelltoolbar.h"
#include "editor/app/cchildframe.h"
#include "editor/core/cinterpreterlink.h"
#include "editor/app/cmainframe.h"
#include "editor/app/cmarlinoteapp.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "tests/editor/app/editortesthelpers.h"
#include "platform/cprofile.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Records the statements the frame would send to the main program.
class RecordingLink : public CInterpreterLink {
public:
    bool SendToMainProgram(const QByteArray& text, bool, bool, bool) override
    {
        sent << QString::fromUtf8(text);
        return true;
    }
    bool IsDebugMode() const override { return false; }
    void RememberRequest(const QByteArray&, const QString&, CMarlinoteView*) override {}
    void RememberTooltip(const QByteArray&, const QPoint&, bool) override {}
    bool IsDescribePending() const override { return false; }
    void HideValueTooltip() override {}

    QStringList sent;
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearEditorSettings();
        ASSERT_TRUE(dir.isValid());
        fileA = WriteFile(dir, "alpha.m", "a = 1;\n%% First\nb = 2;\n");
        fileB = WriteFile(dir, "beta.m", "x = 3;\n");
        fileC = WriteFile(dir, "gamma.m", "y = 4;\n");
    }

    // An application with its frame, started as the editor starts.
    CMarlinoteApp& Start(const QStringList& files = {})
    {
        app.reset();
        CMarlinoteApp::Options options;
        options.singleInstance = false;
        options.showFrame = false;
        options.userFilesPath = dir.filePath("userfiles.dat");
        app = std::make_unique<CMarlinoteApp>(options);
        EXPECT_TRUE(app->InitInstance(files));
        Frame().SetErrorReporter([this](const QString& text) { errors.append(text); });
        Frame().SetSaveQuestion([this](CChildFrame* child) {
            asked.append(child->Document()->GetBaseTitle());
            return answer;
        });
        return *app;
    }

    CMainFrame& Frame() { return *app->MainFrame(); }

    QStringList Titles()
    {
        QStringList titles;
        for (CChildFrame* child : Frame().Children())
            titles.append(child->Document()->GetTitle());
        return titles;
    }

    QString ActiveTitle() { return Frame().ActiveChild()->Document()->GetTitle(); }

    void Modify(CChildFrame* child) { child->View()->GetEditor()->SetText("changed = 1;\n"); }

    QTemporaryDir dir;
    QString fileA, fileB, fileC;
    std::unique_ptr<CMarlinoteApp> app;
    QStringList errors;
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::No;
};

TEST_F(FrameTest, StartWithoutFilesShowsNoDocumentAndBuiltInKeywords)
{
    Start();
    EXPECT_EQ(Frame().TabCount(), 0);
    EXPECT_GT(app->KeyWords().size(), 1500);
    EXPECT_TRUE(app->KeyWords().contains(QStringLiteral("plot")));
    EXPECT_TRUE(app->KeyWords().contains(QStringLiteral("zscore")));
    // First start: tabs on top, cell tool bar shown.
    EXPECT_EQ(Frame().TabControl()->tabPosition(), QTabWidget::North);
    EXPECT_TRUE(Frame().IsCellMode());
    EXPECT_FALSE(Frame().Action(CMainFrame::ID_CLOSE_ALL)->isEnabled());
}

TEST_F(FrameTest, ClosingWritesUserFilesAndRestartReopensThem)
{
    Start({fileA});
    Frame().OpenDocumentFile(fileB);
    Frame().ActiveView()->GetEditor()->GotoPosition(4);
    Frame().OpenDocumentFile(fileA);  // already open: only activated
    EXPECT_EQ(Frame().TabCount(), 2);
    EXPECT_TRUE(Frame().close());

    CUserFiles stored(dir.filePath("userfiles.dat"));
    stored.Read();
    EXPECT_EQ(stored.openFiles, (QStringList{fileA, fileB}));
    EXPECT_EQ(stored.positions, (std::vector<long>{0, 4}));
    EXPECT_EQ(stored.fileVisible, fileA);
    EXPECT_GT(stored.keyWords.size(), 1500);

    // Restart with a third file: all open, the command-line file active,
    // the caret back where it was.
    Start({fileC});
    EXPECT_EQ(Titles(), (QStringList{"gamma.m", "alpha.m", "beta.m"}));
    EXPECT_EQ(ActiveTitle(), QStringLiteral("gamma.m"));
    EXPECT_EQ(Frame().FindDocument(fileB)->View()->GetCaretPosition(), 4);
    EXPECT_EQ(app->RecentFiles().Files().first(), fileB);

    // Reopening off: only the command-line file.
    Frame().close();
    app->Profile().WriteInt("General", "ReopenFiles", 0);
    Start({fileB});
    EXPECT_EQ(Titles(), QStringList{"beta.m"});
}

TEST_F(FrameTest, AFileReachedByALinkOrAnotherSpellingIsTheOpenDocument)
{
    Start({fileA});
    const QString link = dir.filePath("link.m");
    ASSERT_TRUE(QFile::link(fileA, link));
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    EXPECT_EQ(Frame().OpenDocumentFile(link), Frame().FindDocument(fileA));
    EXPECT_EQ(Frame().OpenDocumentFile(dir.path() + "/sub/../alpha.m"), Frame().FindDocument(fileA));
    EXPECT_EQ(Frame().TabCount(), 1);
}

TEST_F(FrameTest, ClosingSaysWhichOpenFilesCannotBeRemembered)
{
    const QString odd = WriteFile(dir, "two\nlines.m", "a = 1;\n");
    Start({odd, fileA});
    EXPECT_TRUE(Frame().close());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(odd)) << errors[0].toStdString();
    CUserFiles stored(dir.filePath("userfiles.dat"));
    stored.Read();
    EXPECT_EQ(stored.openFiles, QStringList{fileA});
}

TEST_F(FrameTest, MissingFilesAreSkippedAndReported)
{
    CUserFiles stored(dir.filePath("userfiles.dat"));
    stored.openFiles = {dir.filePath("gone.m"), fileA};
    stored.positions = {0, 0};
    ASSERT_TRUE(stored.Write());
    Start();
    EXPECT_EQ(Titles(), QStringList{"alpha.m"});
    EXPECT_TRUE(errors.isEmpty());

    EXPECT_EQ(Frame().OpenDocumentFile(dir.filePath("nothere.m")), nullptr);
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(FrameTest, ClosingAsksToSaveChangedDocuments)
{
    Start({fileA});
    CChildFrame* child = Frame().ActiveChild();
    Modify(child);
    EXPECT_EQ(ActiveTitle(), QStringLiteral("alpha.m*"));

    answer = QMessageBox::Cancel;
    EXPECT_FALSE(Frame().close());
    EXPECT_EQ(asked, QStringList{"alpha.m"});
    EXPECT_EQ(Frame().TabCount(), 1);

    answer = QMessageBox::Yes;
    EXPECT_TRUE(Frame().close());
    QFile file(fileA);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("changed = 1;\n"));
}

TEST_F(FrameTest, TabOrientationIsStoredAndRestored)
{
    Start({fileA});
    Frame().Action(CMainFrame::ID_TAB_LEFT)->trigger();
    EXPECT_EQ(Frame().TabControl()->tabPosition(), QTabWidget::West);
    EXPECT_EQ(app->Profile().GetInt("TabDocs", "Orientation", 0), CMainFrame::ID_TAB_LEFT);
    EXPECT_TRUE(Frame().Action(CMainFrame::ID_TAB_LEFT)->isChecked());
    Frame().SetTabOrientation(CMainFrame::ID_TAB_BOTTOM);
    Frame().close();

    Start();
    EXPECT_EQ(Frame().TabOrientation(), CMainFrame::ID_TAB_BOTTOM);
    EXPECT_EQ(Frame().TabControl()->tabPosition(), QTabWidget::South);

    // An unknown stored value means top.
    Frame().close();
    app.reset();
    CProfile(QStringLiteral("Marlinote")).WriteInt("TabDocs", "Orientation", 12345);
    Start();
    EXPECT_EQ(Frame().TabControl()->tabPosition(), QTabWidget::North);
}

TEST_F(FrameTest, CellModeIsStored)
{
    Start({fileA});
    Frame().Action(CMainFrame::ID_CELL_MODE)->trigger();
    EXPECT_FALSE(Frame().IsCellMode());
    EXPECT_EQ(app->Profile().GetInt("General", "CellMode", -1), 0);
    EXPECT_EQ(Frame().Action(CMainFrame::ID_CELL_MODE)->text(), QStringLiteral("Enable Cell Mode"));
    Frame().close();
    Start({fileA});
    EXPECT_FALSE(Frame().IsCellMode());
}

TEST_F(FrameTest, CloseAllButThisKeepsDocumentsWithTheActiveLabel)
{
    QTemporaryDir other;
    const QString twin = WriteFile(other, "beta.m", "twin = 1;\n");
    Start({fileA});
    Frame().OpenDocumentFile(fileB);
    Frame().OpenDocumentFile(fileC);
    Frame().OpenDocumentFile(twin);
    Frame().ActivateChild(Frame().FindDocument(fileB));
    Modify(Frame().FindDocument(fileC));

    // A changed document among them: cancelling closes nothing.
    answer = QMessageBox::Cancel;
    EXPECT_FALSE(Frame().OnCloseAllButThis());
    EXPECT_EQ(Frame().TabCount(), 4);

    answer = QMessageBox::No;
    Frame().ActivateChild(Frame().FindDocument(fileB));
    Frame().Action(CMainFrame::ID_CLOSE_ALL_BUT_THIS)->trigger();
    EXPECT_EQ(Titles(), (QStringList{"beta.m", "beta.m"}));
    EXPECT_EQ(asked, (QStringList{"gamma.m", "gamma.m"}));

    Frame().Action(CMainFrame::ID_CLOSE_ALL)->trigger();
    EXPECT_EQ(Frame().TabCount(), 0);
    EXPECT_EQ(Frame().FilePane()->text(), QString());
}

TEST_F(FrameTest, BlankFilesAreNumbered)
{
    Start();
    Frame().Action(CMainFrame::ID_NEW_BLANK)->trigger();
    Frame().Action(CMainFrame::ID_NEW_BLANK)->trigger();
    EXPECT_EQ(Titles(), (QStringList{"Untitled1", "Untitled2"}));
    Frame().CloseDocument(Frame().ChildAt(0));
    Frame().OnNewBlankFile();
    EXPECT_EQ(Titles(), (QStringList{"Untitled2", "Untitled3"}));
    EXPECT_EQ(ActiveTitle(), QStringLiteral("Untitled3"));

    // A saved file called Untitled.m keeps its name.
    const QString saved = WriteFile(dir, "Untitled.m", "u = 1;\n");
    Frame().OpenDocumentFile(saved);
    Frame().OnNewBlankFile();
    EXPECT_EQ(Titles(), (QStringList{"Untitled2", "Untitled3", "Untitled.m", "Untitled4"}));
}

TEST_F(FrameTest, SaveAllSavesChangedDocumentsWithAPath)
{
    Start({fileA});
    Frame().OpenDocumentFile(fileB);
    CChildFrame* blank = Frame().OnNewBlankFile();
    Modify(Frame().FindDocument(fileA));
    Modify(blank);
    Frame().ActivateChild(Frame().FindDocument(fileB));
    EXPECT_TRUE(Frame().Action(CMainFrame::ID_SAVE_ALL)->isEnabled());
    Frame().OnSaveAll();
    EXPECT_FALSE(Frame().FindDocument(fileA)->Document()->IsModified());
    EXPECT_TRUE(blank->Document()->IsModified());
    EXPECT_EQ(ActiveTitle(), QStringLiteral("beta.m"));
    QFile file(fileA);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("changed = 1;\n"));
}

TEST_F(FrameTest, StatusBarAndCellListFollowTheActiveDocument)
{
    Start({fileA});
    Frame().show();
    CMarlinoteView* view = Frame().ActiveView();
    view->GetEditor()->GotoPosition(7);  // line 2, "%% First"
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Frame().PositionPane()->text() == QStringLiteral("Line: 2    Col: 1    Sel: 0"); }, 2000));
    EXPECT_EQ(Frame().StylePane()->text(), QStringLiteral("Style: Comment"));
    EXPECT_EQ(Frame().FilePane()->text(), QStringLiteral("alpha.m"));
    QComboBox* cells = Frame().CellToolBar()->CellList();
    EXPECT_TRUE(QTest::qWaitFor([&] { return cells->count() == 1; }, 2000));
    EXPECT_EQ(cells->itemText(0), QStringLiteral("First"));

    Frame().OpenDocumentFile(fileB);
    EXPECT_EQ(Frame().FilePane()->text(), QStringLiteral("beta.m"));
    EXPECT_EQ(Frame().PositionPane()->text(), QStringLiteral("Line: 1    Col: 1    Sel: 0"));
    EXPECT_FALSE(cells->isEnabled());
}

TEST_F(FrameTest, FindHistoryOfTheRunIsWrittenAtExit)
{
    CProfile profile(QStringLiteral("Marlinote"));
    profile.WriteInt("EDIT", "FINDSTRINGCOUNT", 100);
    for (int i = 0; i < 100; ++i)
        profile.WriteString("EDIT", QStringLiteral("FINDSTRING%1").arg(i), QStringLiteral("old%1").arg(i));
    Start({fileA});
    CReplaceDlg* dialog = Frame().OnFindReplace();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->FindBox()->count(), 100);
    dialog->FindBox()->setEditText(QStringLiteral("b = 2"));
    EXPECT_TRUE(dialog->FindNext());
    Frame().close();
    app->ExitInstance();

    Start();
    EXPECT_EQ(app->FindHistory().Entries().size(), 100);
    EXPECT_EQ(app->FindHistory().Entries().last(), QStringLiteral("b = 2"));
}

TEST_F(FrameTest, FindReplaceTakesTheWordAtTheCaret)
{
    Start({fileA});
    CScintillaWnd* editor = Frame().ActiveView()->GetEditor();
    editor->GotoPosition(16);  // before "b" of "b = 2;"
    CReplaceDlg* dialog = Frame().OnFindReplace();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->FindBox()->currentText(), QStringLiteral("b"));
    EXPECT_EQ(QString::fromUtf8(editor->GetSelectedText()), QStringLiteral("b"));

    // F3 runs the dialog's Find Next.
    editor->GotoPosition(0);
    dialog->FindBox()->setEditText(QStringLiteral("= "));
    Frame().Action(CMainFrame::ID_FIND_NEXT)->trigger();
    EXPECT_EQ(editor->GetCurrentPosition(), 4);
    Frame().Action(CMainFrame::ID_FIND_NEXT)->trigger();
    EXPECT_EQ(editor->GetCurrentPosition(), 20);
    Frame().Action(CMainFrame::ID_FIND_PREVIOUS)->trigger();
    EXPECT_EQ(editor->GetCurrentPosition(), 4);
}

TEST_F(FrameTest, MenuShortcutsWinOverTheEditorsOwnKeys)
{
    Start({fileA});
    Frame().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    CScintillaWnd* editor = Frame().ActiveView()->GetEditor();
    editor->setFocus();
    const QByteArray text = editor->GetText();
    QTest::keyClick(editor, Qt::Key_R, Qt::ControlModifier);  // Comment
    EXPECT_EQ(editor->GetText(), "# " + text);
    QTest::keyClick(editor, Qt::Key_T, Qt::ControlModifier);  // Uncomment
    EXPECT_EQ(editor->GetText(), text);
    QTest::keyClick(editor, Qt::Key_BracketRight, Qt::ControlModifier);  // Indent
    EXPECT_EQ(editor->GetLineIndentation(0), 4);
    QTest::keyClick(editor, Qt::Key_Down, Qt::ControlModifier);  // Next Cell
    EXPECT_EQ(editor->LineFromPosition(editor->GetCurrentPosition()), 1);
}

TEST_F(FrameTest, CellToolBarDrivesTheActiveView)
{
    const QString numbers = WriteFile(dir, "numbers.m", "x = 2.5;\n%% Second\ny = 1;\n");
    Start({numbers});
    CScintillaWnd* editor = Frame().ActiveView()->GetEditor();
    editor->GotoPosition(5);  // inside 2.5
    Frame().CellToolBar()->StepBox()->setEditText(QStringLiteral("1"));
    Frame().Action(CMainFrame::ID_INCREMENT)->trigger();
    EXPECT_TRUE(editor->GetText().startsWith("x = 3.5;"));
    Frame().CellToolBar()->FactorBox()->setEditText(QStringLiteral("0"));
    Frame().Action(CMainFrame::ID_DIVIDE)->trigger();  // by zero: unchanged
    EXPECT_TRUE(editor->GetText().startsWith("x = 3.5;"));

    // Choosing a cell moves the caret behind its "%% ".
    Frame().CellToolBar()->SetCells(Frame().ActiveView()->GetCellNames(), -1);
    ASSERT_EQ(Frame().CellToolBar()->CellList()->count(), 1);
    emit Frame().CellToolBar()->cellChosen(0);
    EXPECT_EQ(editor->LineFromPosition(editor->GetCurrentPosition()), 1);
}

}  // namespace

TEST_F(FrameTest, SaveAsAddsTheOctaveExtensionToANameWithout)
{
    Start();
    Frame().NewDocument();
    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(dir.filePath("foo"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ASSERT_TRUE(Frame().SaveDocumentAs(Frame().ActiveChild()));
    EXPECT_EQ(Frame().ActiveChild()->Document()->GetPath(), dir.filePath("foo.m"));
    EXPECT_TRUE(QFile::exists(dir.filePath("foo.m")));
}

TEST_F(FrameTest, RunSaysWhyItDidNotRunWhenTheSaveFails)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("gone"));
    const QString file = WriteFile(dir, "gone/s.m", "s = 1;\n");
    Start({file});
    RecordingLink link;
    app->SetInterpreterLink(&link);
    Frame().ActiveView()->SetInterpreterLink(&link);
    ASSERT_TRUE(QDir(dir.filePath("gone")).removeRecursively());
    Modify(Frame().ActiveChild());

    Frame().Action(CMainFrame::ID_RUN)->trigger();
    EXPECT_TRUE(link.sent.isEmpty());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("s.m")) << errors[0].toStdString();
    Frame().ActiveView()->SetInterpreterLink(nullptr);
    app->SetInterpreterLink(nullptr);
}

TEST_F(FrameTest, ClosingAFileClearsItsBreakpointsInTheInterpreter)
{
    Start({fileA, fileB});
    RecordingLink link;
    for (CChildFrame* child : Frame().Children())
        child->View()->SetInterpreterLink(&link);
    Frame().FindDocument(fileA)->View()->ToggleBreakpointAtLine(3);
    link.sent.clear();
    EXPECT_TRUE(Frame().CloseDocument(Frame().FindDocument(fileA)));
    Frame().CloseDocument(Frame().FindDocument(fileB));
    EXPECT_EQ(link.sent, QStringList{"dbclear('alpha','3')"});
}

TEST_F(FrameTest, ClearAllBreakpointsSendsOneQuotedStatementPerFunction)
{
    const QString quoted = WriteFile(dir, "it's.m", "a = 1;\nb = 2;\n");
    Start({quoted, fileB});
    // Marked while no main program was linked: with one, the name is refused.
    Frame().FindDocument(quoted)->View()->ToggleBreakpointAtLine(2);
    RecordingLink link;
    app->SetInterpreterLink(&link);
    for (CChildFrame* child : Frame().Children())
        child->View()->SetInterpreterLink(&link);

    Frame().Action(CMainFrame::ID_CLEAR_ALL_BREAKPOINTS)->trigger();
    // A quote in the name is doubled, never closes the literal; the file
    // without breakpoints sends nothing.
    EXPECT_EQ(link.sent, (QStringList{"dbclear('it''s','2')"}));
    EXPECT_TRUE(Frame().FindDocument(quoted)->View()->GetBreakpoints().empty());
    for (CChildFrame* child : Frame().Children())
        child->View()->SetInterpreterLink(nullptr);
    app->SetInterpreterLink(nullptr);
}
