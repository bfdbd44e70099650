// The link's side of each message, on a real frame: what the user sees and
// what goes back to the main program.
#include "editor/core/breakpointstatements.h"
#include "editor/app/cchildframe.h"
#include "editor/app/cmainframe.h"
#include "editor/link/cmainprogramlink.h"
#include "editor/app/cmarlinoteapp.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "platform/editorprotocol.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <memory>

namespace {

using EditorProtocol::Statement;

class MainProgramLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings("Halvard", "Marlinote").clear();
        path = dir.filePath("f.m");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("function f\n  a = 1;\n\n  b = 2;\nend\n");
        file.close();

        CMarlinoteApp::Options options;
        options.singleInstance = false;
        options.showFrame = false;
        options.userFilesPath = dir.filePath("userfiles.dat");
        app = std::make_unique<CMarlinoteApp>(options);
        link = std::make_unique<CMainProgramLink>(*app);
        link->SetSender([this](const QByteArray& message) {
            Statement s;
            EditorProtocol::DecodeStatement(message, s);
            sent << QString::fromUtf8(s.text) + (s.echo ? "" : " [silent]");
            return true;
        });
        app->SetInterpreterLink(link.get());
        ASSERT_TRUE(app->InitInstance({}));
        sent.clear();
    }

    // As the message arrives from the main program.
    void Receive(const QByteArray& text) { emit app->mainProgramMessage(text); }

    CMainFrame& Frame() { return *app->MainFrame(); }
    CMarlinoteView* View() { return Frame().ActiveView(); }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<CMarlinoteApp> app;
    std::unique_ptr<CMainProgramLink> link;
    QStringList sent;
};

}  // namespace

TEST_F(MainProgramLinkTest, DebugPositionBreakpointsAndTheirEnd)
{
    Receive(EditorProtocol::EncodeDebug(path.toUtf8(), 3));  // blank: marker on 4
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(View()->GetDocument()->GetPath(), path);
    EXPECT_TRUE(link->IsDebugMode());
    EXPECT_EQ(View()->GetEditor()->MarkerNext(0, 1 << CScintillaWnd::DebugMarker), 3);
    EXPECT_EQ(Frame().Action(CMainFrame::ID_RUN)->text(), QStringLiteral("Continue"));

    // The interpreter used another line than the one clicked.
    View()->ToggleBreakpointAtLine(2);
    Receive(EditorProtocol::EncodeBreakpointAnswer(BreakpointStatements::Set("f", 2), "ans = 4\n"));
    EXPECT_EQ(View()->GetBreakpoints(), (std::vector<int>{4}));

    sent.clear();
    Receive(EditorProtocol::EncodeDebugEnded(path.toUtf8()));
    EXPECT_FALSE(link->IsDebugMode());
    EXPECT_EQ(sent, QStringList{"dbclear('f','4')"});
    EXPECT_TRUE(View()->GetBreakpoints().empty());
    EXPECT_EQ(View()->GetDebugLine(), 0);
    EXPECT_EQ(Frame().Action(CMainFrame::ID_RUN)->text(), QStringLiteral("Run / Debug"));
}

TEST_F(MainProgramLinkTest, ANewInterpreterIsGivenTheMarkedBreakpointsAndIsNotStopped)
{
    Receive(EditorProtocol::EncodeDebug(path.toUtf8(), 2));
    View()->ToggleBreakpointAtLine(2);
    View()->ToggleBreakpointAtLine(4);
    sent.clear();
    Receive(EditorProtocol::EncodeInterpreterStarted());
    EXPECT_EQ(sent, QStringList{"dbstop('f','2','4')"});
    EXPECT_EQ(View()->GetBreakpoints(), (std::vector<int>{2, 4}));
    EXPECT_FALSE(link->IsDebugMode());
    EXPECT_EQ(View()->GetDebugLine(), 0);
}

TEST_F(MainProgramLinkTest, SettingsPathsNamesAndErrorLocations)
{
    Receive(EditorProtocol::EncodeCurrentPath("/w/error: line 3/"));
    EXPECT_EQ(app->CurrentPath(), QStringLiteral("/w/error: line 3/"));

    Receive(EditorProtocol::EncodeCompletion("alpha\nbeta\n>> "));
    EXPECT_EQ(app->KeyWords(), (QStringList{"alpha", "beta"}));

    QSettings("Halvard", "Marlinote").setValue("General/TabSize", 7);
    Receive(EditorProtocol::EncodeUpdatePreferences());
    EXPECT_EQ(app->Settings().tabSize, 7);

    Receive(EditorProtocol::EncodeErrorLocation(path.toUtf8(), 4, 3));
    ASSERT_NE(View(), nullptr);
    CScintillaWnd* editor = View()->GetEditor();
    EXPECT_EQ(editor->LineFromPosition(editor->GetCurrentPosition()), 3);
    EXPECT_EQ(editor->GetCurrentPosition() - editor->PositionFromLine(3), 2);
}

TEST_F(MainProgramLinkTest, AFunctionTheInterpreterCannotFindOffersItsFolder)
{
    Frame().OpenDocumentFile(path);
    link->SetFolderQuestion([] { return CMainProgramLink::FolderChoice::ChangeDirectory; });
    View()->ToggleBreakpointAtLine(2);
    sent.clear();
    Receive(EditorProtocol::EncodeError("error: add_breakpoints_in_function: unable to find function f"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sent.isEmpty(); }, 2000));
    EXPECT_EQ(sent, QStringList{"cd '" + dir.path() + "'"});
    EXPECT_TRUE(View()->GetBreakpoints().empty());

    // Other errors ask nothing.
    sent.clear();
    Receive(EditorProtocol::EncodeError("error: 'x' undefined"));
    QTest::qWait(50);
    EXPECT_TRUE(sent.isEmpty());
}

TEST_F(MainProgramLinkTest, SilentStatementsAndCallTipSignatures)
{
    link->SendToMainProgram("getvalue:x", false, false, false);
    EXPECT_EQ(sent, QStringList{"getvalue:x [silent]"});
    EXPECT_EQ(CMainProgramLink::Signatures("'plot' is a function\n\n -- plot (Y)\n -- H = plot (...)\n text"),
              (QStringList{"plot (Y)", "H = plot (...)"}));
}

TEST_F(MainProgramLinkTest, AValueTipNamesTheWordOnlyInItsBoldName)
{
    link->RememberTooltip("w", QPoint(10, 10), false);
    Receive(EditorProtocol::EncodeValue("<b>ans </b>= transpose answer"));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("<pre><b>w </b>= transpose answer</pre>"));
    // A matrix keeps its rows and columns.
    Receive(EditorProtocol::EncodeValue("<b>m </b>=\n\n   16    2\n    5   11\n\n"));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("<pre><b>m </b>=\n\n   16    2\n    5   11</pre>"));
}
