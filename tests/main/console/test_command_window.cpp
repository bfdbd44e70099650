// The command window driven by key presses against the real interpreter.
#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <csignal>

#include "main/history/ccommandhistory.h"
#include "main/console/ckestruneview.h"
#include "main/app/ckestruneapp.h"
#include "main/files/cfilesexplorer.h"
#include "main/files/cfileview.h"
#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"
#include "main/paths/coctavepaths.h"
#include "main/session/cconnection.h"
#include "main/session/coctaveredirector.h"
#include "common/cini.h"
#include "platform/appfolders.h"
#include "platform/cmessagechannel.h"
#include "platform/editorwindowfile.h"
#include "platform/editorprotocol.h"
#include "platform/cprofile.h"
#include "tests/main/console/kestrunetestsupport.h"

using kestrunetest::WaitFor;

namespace {

class CommandWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_work = QDir::tempPath() + QStringLiteral("/work");
        QDir(m_work).removeRecursively();
        QDir().mkpath(m_work);
        CProfile profile(QStringLiteral("Kestrune"));
        profile.WriteString(QStringLiteral("Octave"), QStringLiteral("workpath"), m_work);
        profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 1);
        profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("ConfirmExit"), 0);
        m_app = std::make_unique<CKestruneApp>();
        CKestruneApp::Options options;
        options.splash = false;
        options.listen = false;
        ASSERT_TRUE(m_app->Start(options));
        ASSERT_TRUE(WaitFor([this] { return m_app->IsConnected() && !View()->isReadOnly(); }, 30000))
            << View()->Text().toStdString();
        m_connected = std::chrono::steady_clock::now();
        ASSERT_TRUE(Settle());
    }

    void TearDown() override { m_app.reset(); }

    CKestruneView* View() const { return m_app->View(); }

    // The interpreter is at its prompt, nothing is pending and the window has
    // not changed for a while (late silent answers have arrived).
    bool Settle(int timeoutMs = 15000)
    {
        long long seen = -1;
        QElapsedTimer quiet;
        return WaitFor([&] {
            View()->FlushPending();
            const long long applied = View()->AppliedCount();
            if (applied != seen) {
                seen = applied;
                quiet.start();
                return false;
            }
            return quiet.elapsed() > 700 && View()->Text().endsWith(QStringLiteral(">> ")) &&
                   View()->CommandLine().isEmpty() && !m_app->Session().Busy() &&
                   !m_app->Session().refreshWorkspace.load();
        }, timeoutMs);
    }

    // Clicks the link that starts with text, the last one in the window.
    void ClickLink(const QString& text)
    {
        const int at = View()->Text().lastIndexOf(text);
        ASSERT_GE(at, 0) << View()->Text().toStdString();
        QTextCursor link(View()->document());
        link.setPosition(at + 2);
        ASSERT_TRUE(link.charFormat().isAnchor());
        EXPECT_TRUE(link.charFormat().anchorHref().startsWith(text));
        View()->resize(900, 500);
        View()->show();
        QTest::qWait(50);
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, View()->cursorRect(link).center());
    }

    void Type(const QString& text) { QTest::keyClicks(View(), text); }
    void Enter() { QTest::keyClick(View(), Qt::Key_Return); }

    // Types a statement, presses Enter and waits for the next prompt; returns
    // what the window gained.
    QString Run(const QString& statement)
    {
        const QString before = View()->Text();
        Type(statement);
        Enter();
        EXPECT_TRUE(WaitFor([this, statement] {
            View()->FlushPending();
            return View()->Text().contains(statement + QLatin1Char('\n'));
        })) << statement.toStdString();
        EXPECT_TRUE(Settle()) << statement.toStdString() << "\n" << View()->Text().toStdString();
        // What the window gained: everything after the last line it shared.
        const QString after = View()->Text();
        int common = 0;
        const int limit = static_cast<int>(qMin(before.size(), after.size()));
        while (common < limit && before.at(common) == after.at(common))
            ++common;
        return after.mid(qMax(0, common - 3));
    }

    std::unique_ptr<CKestruneApp> m_app;
    QString m_work;
    std::chrono::steady_clock::time_point m_connected;
};

TEST_F(CommandWindow, StatementAndOutputAfterThePrompt)
{
    const QString gained = Run(QStringLiteral("disp(6*7)"));
    EXPECT_TRUE(gained.contains(QStringLiteral(">> disp(6*7)\n42\n>> "))) << gained.toStdString();
    EXPECT_EQ(View()->InputStart(), View()->Text().size());
    EXPECT_EQ(m_app->History().Entries().last(), QStringLiteral("disp(6*7)"));

    // The prompt line is bold; output is not.
    QTextCursor cursor(View()->document());
    cursor.setPosition(View()->Text().lastIndexOf(QStringLiteral("42")) + 1);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);

    // Typing inside earlier output continues the command line at the end.
    QTextCursor inOutput = View()->textCursor();
    inOutput.setPosition(2);
    View()->setTextCursor(inOutput);
    Type(QStringLiteral("q"));
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("q"));
    // Backspace and Left at the start of the command line do nothing.
    QTest::keyClick(View(), Qt::Key_Backspace);
    QTest::keyClick(View(), Qt::Key_Backspace);
    QTest::keyClick(View(), Qt::Key_Left);
    EXPECT_TRUE(View()->Text().endsWith(QStringLiteral(">> ")));
    EXPECT_EQ(View()->textCursor().position(), View()->InputStart());
}

TEST_F(CommandWindow, UpAndDownRecallWithAndWithoutPrefix)
{
    Run(QStringLiteral("plot_a = 1"));
    Run(QStringLiteral("xval = 2"));
    Run(QStringLiteral("PLOT_b = 3"));

    // With a prefix: only entries that begin with it, in any letter case.
    Type(QStringLiteral("pl"));
    QTest::keyClick(View(), Qt::Key_Up);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("PLOT_b = 3"));
    EXPECT_EQ(View()->textCursor().position(), View()->InputStart() + 2) << "caret stays after the prefix";
    QTest::keyClick(View(), Qt::Key_Up);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("plot_a = 1"));
    QTest::keyClick(View(), Qt::Key_Down);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("PLOT_b = 3"));
    QTest::keyClick(View(), Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(View(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(View()->CommandLine(), QString());

    // Without a prefix: one entry at a time.
    Run(QStringLiteral("xval"));
    QTest::keyClick(View(), Qt::Key_Up);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("xval"));
    QTest::keyClick(View(), Qt::Key_Up);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("PLOT_b = 3"));
    QTest::keyClick(View(), Qt::Key_Up);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("xval = 2"));
    QTest::keyClick(View(), Qt::Key_Down);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("PLOT_b = 3"));
    QTest::keyClick(View(), Qt::Key_Down);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("xval"));
    QTest::keyClick(View(), Qt::Key_Down);
    EXPECT_EQ(View()->CommandLine(), QString()) << "past the newest the line empties";
    // The cursor now stands at 0: Up empties the line, the next Up starts
    // again at the newest entry.
    QTest::keyClick(View(), Qt::Key_Up);
    EXPECT_EQ(View()->CommandLine(), QString());
    QTest::keyClick(View(), Qt::Key_Up);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("xval"));
    QTest::keyClick(View(), Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(View(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(View(), Qt::Key_K, Qt::ControlModifier);
    Type(QStringLiteral("PLOT_b = 3"));

    // The recalled statement runs as typed.
    QTest::keyClick(View(), Qt::Key_E, Qt::ControlModifier);
    Enter();
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(View()->Text().contains(QStringLiteral("PLOT_b = 3\n")));
}

TEST_F(CommandWindow, ThreePastedLinesRunAtOneEnter)
{
    QApplication::clipboard()->setText(QStringLiteral("pa = 11\npb = 22\n\npc = pa + pb"));
    QTest::keyClick(View(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("pa = 11\npb = 22\n\npc = pa + pb"));
    Enter();
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text().contains(QStringLiteral("pc = 33")) && View()->Text().endsWith(QStringLiteral(">> "));
    }));
    const QString text = View()->Text();
    const int a = text.indexOf(QStringLiteral("pa = 11"));
    const int b = text.indexOf(QStringLiteral("pb = 22"));
    const int c = text.indexOf(QStringLiteral("pc = 33"));
    EXPECT_TRUE(a >= 0 && a < b && b < c) << text.toStdString();
    const QStringList history = m_app->History().Entries();
    ASSERT_GE(history.size(), 3);
    EXPECT_EQ(history.mid(history.size() - 3),
              (QStringList{QStringLiteral("pa = 11"), QStringLiteral("pb = 22"), QStringLiteral("pc = pa + pb")}));
}

TEST_F(CommandWindow, ControlCInterruptsARunningStatement)
{
    // Interrupts are at least 3 s apart, counted from the connection.
    std::this_thread::sleep_until(m_connected + std::chrono::milliseconds(3300));
    Type(QStringLiteral("while true, end"));
    Enter();
    ASSERT_TRUE(WaitFor([this] { return m_app->Session().Busy(); }, 5000));
    QTest::qWait(300);
    const auto pressed = std::chrono::steady_clock::now();
    QTest::keyClick(View(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text().endsWith(QStringLiteral(">> ")) && !m_app->Session().Busy();
    }, 5000));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed);
    EXPECT_LT(took.count(), 1000);
    EXPECT_TRUE(m_app->IsConnected());
    const QString gained = Run(QStringLiteral("disp(99)"));
    EXPECT_TRUE(gained.contains(QStringLiteral("99\n>> "))) << gained.toStdString();
}

TEST_F(CommandWindow, EnterOnAnEmptyLineKeepsTheWindowUsable)
{
    const QString before = View()->Text();
    Enter();
    QTest::qWait(400);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(View()->Text(), before) << "the repeated prompt is not written again";
    const QString gained = Run(QStringLiteral("disp(5)"));
    EXPECT_TRUE(gained.contains(QStringLiteral(">> disp(5)\n5\n>> ")));
}

TEST_F(CommandWindow, ClcEmptiesTheWindow)
{
    Run(QStringLiteral("disp(1)"));
    Type(QStringLiteral("clc"));
    Enter();
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text() == QStringLiteral(">> ");
    })) << View()->Text().toStdString();
    // Ctrl+L does the same without the interpreter.
    Run(QStringLiteral("disp(2)"));
    QTest::keyClick(View(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(View()->Text(), QStringLiteral(">> "));
}

TEST_F(CommandWindow, ErrorIsRedAndItsLocationOpensTheFileAtTheLine)
{
    QFile file(m_work + QStringLiteral("/kgfun.m"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("function kgfun()\n  x = undefined_thing + 1;\nend\n");
    file.close();
    // The editor program's end of the channel, played by the test.
    CMessageServer editor(QStringLiteral("marlinote"));
    ASSERT_TRUE(editor.Listen());
    QStringList received;
    QObject::connect(&editor, &CMessageServer::textReceived,
                     [&received](const QByteArray& text) { received << QString::fromUtf8(text); });

    const QString gained = Run(QStringLiteral("kgfun"));
    ASSERT_TRUE(gained.contains(QStringLiteral("undefined"))) << gained.toStdString();
    QTextDocument* document = View()->document();
    // The whole message is red and not bold, however the interpreter cut it
    // into pieces; only the prompt line after it is bold.
    const QString text = View()->Text();
    const int message = text.lastIndexOf(QStringLiteral("error: 'undefined_thing' undefined"));
    ASSERT_GE(message, 0) << text.toStdString();
    const int calledFrom = text.indexOf(QStringLiteral("error: called from"), message);
    ASSERT_GT(calledFrom, message) << text.toStdString();
    for (int at = message; at < calledFrom + 18; ++at) {
        if (text.at(at) == QLatin1Char('\n'))
            continue;
        QTextCursor red(document);
        red.setPosition(at + 1);  // the format of the character before the position
        EXPECT_EQ(red.charFormat().foreground().color(), QColor(Qt::red)) << "at " << at - message;
        EXPECT_NE(red.charFormat().fontWeight(), QFont::Bold) << "at " << at - message;
    }
    QTextCursor prompt(document);
    prompt.setPosition(text.size());
    EXPECT_EQ(prompt.charFormat().fontWeight(), QFont::Bold);
    EXPECT_NE(prompt.charFormat().foreground().color(), QColor(Qt::red));

    // error() itself writes its message in three pieces.
    const QString thrown = Run(QStringLiteral("error('kg boom')"));
    const int boom = View()->Text().lastIndexOf(QStringLiteral("error: kg boom"));
    ASSERT_GE(boom, 0) << thrown.toStdString();
    for (int at = boom; at < boom + 14; ++at) {
        QTextCursor red(document);
        red.setPosition(at + 1);
        EXPECT_EQ(red.charFormat().foreground().color(), QColor(Qt::red)) << "at " << at - boom;
        EXPECT_NE(red.charFormat().fontWeight(), QFont::Bold) << "at " << at - boom;
    }

    ClickLink(QStringLiteral("kgfun at line 2"));
    ASSERT_TRUE(WaitFor([&received] { return !received.isEmpty(); }, 10000));
    const EditorProtocol::Message location = EditorProtocol::Decode(received.first().toUtf8());
    EXPECT_EQ(location.kind, EditorProtocol::Kind::ErrorLocation);
    EXPECT_EQ(QString::fromUtf8(location.path), m_work + QStringLiteral("/kgfun.m"));
    EXPECT_EQ(location.line, 2);
    EXPECT_EQ(location.column, 5);
}

// With no editor running, a click on an error's location starts the real
// editor program, which opens the file with the caret at the line and column.
TEST_F(CommandWindow, ErrorLinkStartsTheEditorAtTheLine)
{
    QFile file(m_work + QStringLiteral("/kgfun2.m"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("function kgfun2()\n  x = undefined_thing + 1;\nend\n");
    file.close();
    // The editor does not offer to start a main program here.
    CProfile(QStringLiteral("Marlinote")).WriteInt(QStringLiteral("General"), QStringLiteral("OpenOctaveStart"), 0);
    ASSERT_FALSE(MessageChannel::IsRunning(QStringLiteral("marlinote")));
    Run(QStringLiteral("kgfun2"));
    ClickLink(QStringLiteral("kgfun2 at line 2"));

    // The editor's announcement names its process; ended by SIGTERM it
    // stores its open files with their caret positions.
    EditorWindowFile::Info announced;
    ASSERT_TRUE(WaitFor([&] { return EditorWindowFile::ReadLive(&announced) && announced.pid > 0; }, 20000));
    const qint64 editor = announced.pid;
    QTest::qWait(1500);
    ::kill(pid_t(editor), SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return !EditorWindowFile::ProcessAlive(editor); }, 10000));
    CIni stored(QFile::encodeName(AppFolders::AppDataFolder(QStringLiteral("Marlinote")) +
                                  QStringLiteral("/userfiles.dat")).constData());
    EXPECT_EQ(stored.GetString("User", "OpenFiles", ""), file.fileName().toStdString());
    // Line 2, column 5: after "function kgfun2()\n" (18 bytes) and 4 more.
    EXPECT_EQ(stored.GetString("User", "FilesPositions", ""), "22");
}

// A cd typed in the command window leaves the keyboard there: what is typed
// next is the next statement, not a folder name in the directory box.
TEST_F(CommandWindow, TypedCdKeepsTheFocusInTheCommandWindow)
{
    QDir().mkpath(m_work + QStringLiteral("/kgsub"));
    m_app->Frame()->show();
    m_app->Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_app->Frame()));
    View()->setFocus();
    Type(QStringLiteral("cd kgsub"));
    Enter();
    ASSERT_TRUE(WaitFor([this] {
        return CProfile(QStringLiteral("Kestrune")).GetString(QStringLiteral("Octave"), QStringLiteral("workpath")) ==
               m_work + QStringLiteral("/kgsub");
    }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(QApplication::focusWidget(), View());
}

TEST_F(CommandWindow, QuickStatementsWithWorkspaceRefreshesShowOnePromptEach)
{
    // Statements entered faster than the interpreter answers them, each
    // followed by a workspace refresh: one prompt per statement, each answer
    // right after its own statement.
    const QString before = View()->Text();
    QString expected;
    for (int i = 1; i <= 8; ++i) {
        const std::string statement = "kq" + std::to_string(i) + " = " + std::to_string(i * 7);
        m_app->QueueCommand(statement, true);
        m_app->Session().QueueCommand(m_app->Session().NamesStatement(), false);
        expected += QString::fromStdString(statement + "\nkq" + std::to_string(i) + " = " + std::to_string(i * 7) +
                                           "\n>> ");
    }
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text().contains(QStringLiteral("kq8 = 56\n>> "));
    }, 20000)) << View()->Text().toStdString();
    ASSERT_TRUE(Settle()) << View()->Text().toStdString();
    EXPECT_EQ(View()->Text(), before + expected);
}

TEST_F(CommandWindow, StatementsTypedAheadRunOnceAndStayBehindThePrompt)
{
    Run(QStringLiteral("kn = 0;"));
    // Two statements entered before the first answer is drawn: each runs once.
    Type(QStringLiteral("kn = kn + 1;"));
    Enter();
    Type(QStringLiteral("disp(kn*10)"));
    Enter();
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text().contains(QStringLiteral("\n10\n>> "));
    })) << View()->Text().toStdString();
    ASSERT_TRUE(Settle()) << View()->Text().toStdString();
    EXPECT_TRUE(View()->Text().endsWith(QStringLiteral(">> kn = kn + 1;\n>> disp(kn*10)\n10\n>> ")))
        << View()->Text().toStdString();

    // Text typed while a statement runs stays the command line after its output.
    Type(QStringLiteral("pause(0.3); kn = kn + 1;"));
    Enter();
    Type(QStringLiteral("disp(kn)"));
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text().endsWith(QStringLiteral("kn = kn + 1;\n>> disp(kn)")) && !m_app->Session().Busy();
    })) << View()->Text().toStdString();
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("disp(kn)"));
    Enter();
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text().endsWith(QStringLiteral(">> disp(kn)\n2\n>> "));
    })) << View()->Text().toStdString();
}

TEST_F(CommandWindow, TwoDroppedFilesGiveOneRunRequest)
{
    for (const char* name : {"dropa", "dropb"}) {
        QFile file(m_work + QStringLiteral("/%1.m").arg(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("disp('ran ") + name + "')\n");
    }
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(m_work + QStringLiteral("/dropa.m")),
                   QUrl::fromLocalFile(m_work + QStringLiteral("/dropb.m"))});
    const int historyBefore = m_app->History().Size();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View()->viewport(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View()->viewport(), &drop);
    ASSERT_TRUE(WaitFor([this] {
        View()->FlushPending();
        return View()->Text().contains(QStringLiteral("ran dropb")) && View()->Text().endsWith(QStringLiteral(">> "));
    })) << View()->Text().toStdString();
    EXPECT_LT(View()->Text().indexOf(QStringLiteral("ran dropa")), View()->Text().indexOf(QStringLiteral("ran dropb")));
    ASSERT_TRUE(WaitFor([&] { return m_app->History().Size() == historyBefore + 1; }));
    EXPECT_TRUE(m_app->History().Entries().last().startsWith(QStringLiteral("run('") + m_work + QStringLiteral("/dropa.m')")));
    delete data;
}

TEST_F(CommandWindow, TypedAndScriptedCdRefreshTheCurrentDirectoryPane)
{
    const auto* files = qobject_cast<CFileView*>(m_app->Frame()->Pane(PaneId::Files)->widget());
    ASSERT_NE(files, nullptr);
    const auto lists = [files](const QString& name) {
        return !files->List()->findItems(name, Qt::MatchExactly, 0).isEmpty();
    };
    QTemporaryDir root;
    const QString typed = root.path() + QStringLiteral("/typed");
    const QString scripted = root.path() + QStringLiteral("/it's scripted");
    for (const QString& folder : {typed, scripted}) {
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/in ") + QFileInfo(folder).fileName() + QStringLiteral(".txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Run(QStringLiteral("cd ") + typed);
    ASSERT_TRUE(WaitFor([&] { return lists(QStringLiteral("in typed.txt")); })) << View()->Text().toStdString();
    // What is typed next still goes to the command window.
    EXPECT_EQ(QApplication::focusWidget(), View());

    // A cd inside a script, run with another statement on its line.
    QFile script(typed + QStringLiteral("/goscripted.m"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("cd('" + QString(scripted).replace(QStringLiteral("'"), QStringLiteral("''")).toUtf8() + "')\n");
    script.close();
    Run(QStringLiteral("gs_before = 1; goscripted"));
    ASSERT_TRUE(WaitFor([&] { return lists(QStringLiteral("in it's scripted.txt")); }))
        << View()->Text().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), View());
    EXPECT_EQ(m_app->Frame()->DirectoryCombo()->currentText(), scripted);
}

TEST_F(CommandWindow, OpenLoadsADataFileOnlyWithAnExtension)
{
    Run(QStringLiteral("saved_value = 314; save('-mat', 'data.mat', 'saved_value'); clear saved_value"));
    // The dialog opens in the working folder, not where the last one was.
    {
        CModalAnswerer cancel;
        View()->OpenDataFile();
        EXPECT_EQ(cancel.folders, QStringList{m_work});
        // So does the folder browser of Set Paths.
        auto* paths = m_app->Frame()->findChild<COctavePaths*>();
        ASSERT_TRUE(paths);
        QTest::mouseClick(paths->findChild<QPushButton*>(QStringLiteral("addFolder")), Qt::LeftButton);
        EXPECT_EQ(cancel.folders, (QStringList{m_work, m_work}));
    }
    View()->OpenDataFile(m_work + QStringLiteral("/data"));
    View()->OpenDataFile(m_work + QStringLiteral("/data.mat"));
    QTest::qWait(300);
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Run(QStringLiteral("disp(saved_value)")).contains(QStringLiteral("314\n>> ")));
    EXPECT_FALSE(View()->Text().contains(QStringLiteral("load("))) << "the load runs silently";
}

TEST_F(CommandWindow, PrintsToAPdfFile)
{
    Run(QStringLiteral("disp('printed line')"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QDir::tempPath() + QStringLiteral("/console.pdf");
    printer.setOutputFileName(pdf);
    View()->PrintTo(&printer);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));
    EXPECT_GT(file.size(), 500);
}

TEST_F(CommandWindow, LongOutputIsCutToMaxLines)
{
    const QString gained = Run(QStringLiteral("disp((1:5000)')"));
    EXPECT_LE(View()->document()->blockCount(), 2001);
    EXPECT_TRUE(View()->Text().contains(QStringLiteral("5000\n>> ")));
    EXPECT_FALSE(View()->Text().contains(QStringLiteral("\n   2\n")));
    // The command line still works after the cut.
    EXPECT_TRUE(Run(QStringLiteral("disp(3)")).contains(QStringLiteral("3\n>> ")));
}

// Zoom needs no interpreter: it is a setting of the window.
TEST(CommandWindowZoom, LevelSurvivesARestartAndStaysInRange)
{
    CProfile profile(QStringLiteral("Kestrune"));
    profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 0);
    profile.WriteInt(QStringLiteral("Command"), QStringLiteral("FontZoomLevel"), 100);
    CKestruneApp::Options options;
    options.splash = false;
    options.listen = false;
    {
        CKestruneApp app;
        app.Start(options);
        app.View()->setReadOnly(false);
        // The menu's Ctrl+Num+ and the window's Ctrl+Shift+Num+ both zoom, even
        // with the caret up in the output, and type nothing there.
        const QString before = app.View()->Text();
        app.View()->moveCursor(QTextCursor::Start);
        QTest::keyClick(app.View(), Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QTest::keyClick(app.View(), Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier);
        EXPECT_EQ(app.View()->ZoomLevel(), 120);
        EXPECT_EQ(app.View()->Text(), before);
        for (int i = 0; i < 30; ++i)
            app.View()->ZoomIn();
        EXPECT_EQ(app.View()->ZoomLevel(), 310);
        for (int i = 0; i < 40; ++i)
            app.View()->ZoomOut();
        EXPECT_EQ(app.View()->ZoomLevel(), 10);
        app.View()->ZoomIn();
        app.View()->ZoomIn();
        EXPECT_EQ(app.View()->ZoomLevel(), 30);
        EXPECT_DOUBLE_EQ(app.View()->font().pointSizeF(), 3.0);
    }
    CKestruneApp again;
    again.Start(options);
    EXPECT_EQ(again.View()->ZoomLevel(), 30);
    again.View()->ZoomDefault();
    EXPECT_EQ(profile.GetInt(QStringLiteral("Command"), QStringLiteral("FontZoomLevel"), 0), 100);
}

TEST(CommandWindowConfirm, ClearWindowAsksAndDontTellAgainStoresZero)
{
    CProfile profile(QStringLiteral("Kestrune"));
    profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 0);
    profile.WriteInt(QStringLiteral("General"), QStringLiteral("ConfirmClearWindow"), 1);
    CKestruneApp app;
    CKestruneApp::Options options;
    options.splash = false;
    options.listen = false;
    app.Start(options);
    app.View()->setReadOnly(false);
    app.View()->setPlainText(QStringLiteral("old output\n>> "));
    kestrunetest::ModalAnswerer answer(QMessageBox::Cancel, true);
    QTest::keyClick(app.View(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(answer.texts, QStringList{QStringLiteral("All text will be cleared from the command window.")});
    EXPECT_EQ(app.View()->Text(), QStringLiteral("old output\n>> ")) << "Cancel keeps the text";
    EXPECT_EQ(profile.GetInt(QStringLiteral("General"), QStringLiteral("ConfirmClearWindow"), 1), 0);
    QTest::keyClick(app.View(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(answer.texts.size(), 1) << "not asked again";
    EXPECT_EQ(app.View()->Text(), QStringLiteral(">> "));
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
