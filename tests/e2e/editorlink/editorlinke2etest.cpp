// The editor's windows live in this process; the real kestrune with the real
// interpreter runs beside it. Both talk over the real message channel, and
// the user's steps are real clicks and keys on the editor's window.
#include "editor/app/cmainframe.h"
#include "editor/app/cmarlinoteapp.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "editor/link/cmainprogramlink.h"
#include "platform/cmessagechannel.h"
#include "platform/editorprotocol.h"
#include "tests/support/cprivatehome.h"

#include <Qsci/qsciscintillabase.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <signal.h>

namespace {

QString g_home;

using B = QsciScintillaBase;

class EditorLinkE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        work = g_home + QStringLiteral("/work");
        QDir().mkpath(work);
        QDir().mkpath(g_home + QStringLiteral("/config/Halvard"));
        WriteFile(g_home + QStringLiteral("/config/Halvard/Kestrune.conf"),
                  "[Octave]\nAutoStart=1\nConfirmExit=0\nUseSeparateEditor=1\nOpenEditorStart=0\nworkpath=" +
                      work.toUtf8() + "\n");
        WriteFile(g_home + QStringLiteral("/config/Halvard/Marlinote.conf"), "[%General]\nOpenOctaveStart=0\n");

        main.setProgram(QStringLiteral(KESTRUNE_BIN_DIR "/kestrune"));
        main.setProcessChannelMode(QProcess::ForwardedChannels);
        main.start();
        ASSERT_TRUE(main.waitForStarted());
        // The interpreter is ready once a statement sent to the main program
        // has had its effect.
        ASSERT_TRUE(QTest::qWaitFor([] { return MessageChannel::IsRunning(QStringLiteral("kestrune")); }, 20000));
        MessageChannel::Send(QStringLiteral("kestrune"),
                             EditorProtocol::EncodeStatement("fid = fopen('ready.txt','w'); fprintf(fid, 'ok'); fclose(fid);", false));
        ASSERT_TRUE(WaitForFile(QStringLiteral("ready.txt"), 30000)) << "the interpreter did not start";
    }

    void TearDown() override
    {
        // Destroyed without the close question about edited files.
        link.reset();
        app.reset();
        if (main.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(main.processId()), SIGKILL);
            main.waitForFinished(5000);
        }
    }

    static void WriteFile(const QString& path, const QByteArray& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    bool WaitForFile(const QString& name, int ms = 15000)
    {
        return QTest::qWaitFor([&] { return QFileInfo(work + QLatin1Char('/') + name).size() > 0; }, ms);
    }
    QByteArray ReadFile(const QString& name)
    {
        QFile file(work + QLatin1Char('/') + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The editor program as its main() makes it, with the file open.
    void StartEditor(const QString& file)
    {
        CMarlinoteApp::Options options;
        options.userFilesPath = g_home + QStringLiteral("/userfiles.dat");
        app = std::make_unique<CMarlinoteApp>(options);
        link = std::make_unique<CMainProgramLink>(*app);
        app->SetInterpreterLink(link.get());
        ASSERT_TRUE(app->InitInstance({file}));
        ASSERT_NE(View(), nullptr);
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        Editor()->setFocus();
    }

    // Writes the interpreter's answer to expression into a file and reads it.
    QByteArray Ask(const QString& expression)
    {
        static int asked = 0;
        const QString name = QStringLiteral("answer%1.txt").arg(++asked);
        const QString statement = QStringLiteral("fid = fopen('%1', 'w'); fprintf(fid, '%d ', %2); fclose(fid);")
                                      .arg(name, expression);
        link->SendToMainProgram(statement.toUtf8(), false, false, false);
        return WaitForFile(name) ? ReadFile(name) : QByteArray("(no answer)");
    }

    CMainFrame& Frame() { return *app->MainFrame(); }
    CMarlinoteView* View() { return Frame().ActiveView(); }
    CScintillaWnd* Editor() { return View()->GetEditor(); }
    // The 0-based line of the first marker of that kind; -1 for none.
    long MarkerLine(int marker) { return Editor()->MarkerNext(0, 1 << marker); }

    // The centre of a character of a 0-based line, in viewport coordinates.
    QPoint PointOf(int line, int column)
    {
        const long position = Editor()->PositionFromLine(line) + column;
        const int x = int(Editor()->SendScintilla(B::SCI_POINTXFROMPOSITION, 0UL, position));
        const int y = int(Editor()->SendScintilla(B::SCI_POINTYFROMPOSITION, 0UL, position));
        const int height = int(Editor()->SendScintilla(B::SCI_TEXTHEIGHT, 0UL));
        return QPoint(x + 2, y + height / 2);
    }

    // A key on the editor, as a user would press it after clicking into the
    // editor's window (a Run gives the focus to the main window).
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (!Frame().isActiveWindow()) {
            Frame().raise();
            Frame().activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
            Editor()->setFocus();
        }
        QTest::keyClick(Editor()->viewport(), Qt::Key(key), modifiers);
    }

    QString work;
    QProcess main;
    std::unique_ptr<CMarlinoteApp> app;
    std::unique_ptr<CMainProgramLink> link;
};

}  // namespace

// A breakpoint set by a click in the margin stops Run at its line; Debug Step
// moves the marker; the value of a variable shows under the mouse; Continue
// runs to the end, leaves debug mode and clears the markers.
TEST_F(EditorLinkE2E, BreakpointStepValueAndContinue)
{
    const QString file = work + QStringLiteral("/stopper.m");
    WriteFile(file, "function stopper()\n  a = 41;\n  b = a + 1;\n  fid = fopen('done.txt', 'w'); "
                    "fprintf(fid, '%d', b); fclose(fid);\nend\n");
    StartEditor(file);

    // A click in the selection margin beside line 3.
    const int marginX = int(Editor()->SendScintilla(B::SCI_GETMARGINWIDTHN, CScintillaWnd::LineNumberMargin)) +
                        int(Editor()->SendScintilla(B::SCI_GETMARGINWIDTHN, CScintillaWnd::SelectionMargin)) / 2;
    QTest::mouseClick(Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(marginX, PointOf(2, 0).y()));
    ASSERT_EQ(View()->GetBreakpoints(), (std::vector<int>{3}));
    // The interpreter has it too.
    EXPECT_EQ(Ask(QStringLiteral("dbstatus('stopper').line")), "3 ");

    Key(Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return MarkerLine(CScintillaWnd::DebugMarker) == 2; }, 15000))
        << "no debug marker at the breakpoint's line";
    // Run gives the focus to the main window ("Change focus ... on run").
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Frame().isActiveWindow(); }, 5000));
    EXPECT_TRUE(link->IsDebugMode());
    EXPECT_EQ(Frame().Action(CMainFrame::ID_RUN)->text(), QStringLiteral("Continue"));
    EXPECT_FALSE(QFileInfo::exists(work + QStringLiteral("/done.txt")));

    Key(Qt::Key_F10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return MarkerLine(CScintillaWnd::DebugMarker) == 3; }, 10000))
        << "Debug Step did not move the marker";

    // The mouse rests on "b" (line 3, column 2): its value, 42, shows.
    const QPoint over = PointOf(2, 2);
    QTest::mouseMove(Editor()->viewport(), over - QPoint(8, 0));
    QTest::mouseMove(Editor()->viewport(), over);
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible() && QToolTip::text().contains(QStringLiteral("42")); },
                                10000))
        << "tooltip: " << QToolTip::text().toStdString();
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("b"))) << QToolTip::text().toStdString();

    Key(Qt::Key_F5);
    ASSERT_TRUE(WaitForFile(QStringLiteral("done.txt")));
    EXPECT_EQ(ReadFile(QStringLiteral("done.txt")), "42");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link->IsDebugMode(); }, 10000));
    EXPECT_EQ(MarkerLine(CScintillaWnd::DebugMarker), -1);
    EXPECT_EQ(MarkerLine(CScintillaWnd::BreakpointMarker), -1);
    EXPECT_EQ(Frame().Action(CMainFrame::ID_RUN)->text(), QStringLiteral("Run / Debug"));
}

// "(" typed after a function name shows its call tip; Evaluate Current Cell
// and Advance (Ctrl+Shift+Return) runs the cell and moves to the next one.
TEST_F(EditorLinkE2E, CallTipAndCellAdvance)
{
    const QString file = work + QStringLiteral("/cells.m");
    WriteFile(file, "%% first\nkc1 = 5;\n%% second\nkc2 = 6;\n");
    StartEditor(file);

    View()->GotoLineNumber(2);
    Key(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Ask(QStringLiteral("exist('kc1', 'var') * kc1 + exist('kc2', 'var')")), "5 ");
    EXPECT_EQ(View()->GetCurrentCellIndex(), 1);

    Editor()->SendScintilla(B::SCI_DOCUMENTEND);
    QTest::keyClicks(Editor()->viewport(), QStringLiteral("numel("));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Editor()->SendScintilla(B::SCI_CALLTIPACTIVE) != 0; }, 10000))
        << "no call tip after \"numel(\"";
}

// A script named like a command the main program carries out itself runs;
// nothing closes, and the main window takes the focus.
TEST_F(EditorLinkE2E, AScriptNamedExitRunsAndClosesNothing)
{
    const QString file = work + QStringLiteral("/exit.m");
    WriteFile(file, "fclose(fopen('ran.txt', 'w'));\nfid = fopen('ran.txt', 'w'); fprintf(fid, 'ran'); fclose(fid);\n");
    StartEditor(file);
    Key(Qt::Key_F5);
    ASSERT_TRUE(WaitForFile(QStringLiteral("ran.txt")));
    EXPECT_EQ(ReadFile(QStringLiteral("ran.txt")), "ran");
    // "Change focus to the command window on run" is on: the main window
    // took the focus.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Frame().isActiveWindow(); }, 5000));
    // Both programs and the interpreter are still there.
    QTest::qWait(1000);
    EXPECT_EQ(main.state(), QProcess::Running);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Ask(QStringLiteral("7 * 6")), "42 ");
}

int main(int argc, char** argv)
{
    g_home = CPrivateHome::Use(QStringLiteral("editorlink-e2e"));
    // Listing the tests needs no display.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvard"));
    QApplication::setApplicationName(QStringLiteral("Marlinote"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
