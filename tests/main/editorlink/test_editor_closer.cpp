// Closing the editor program with the main program, against a stand-in
// editor: a channel receiver in this process and a child process whose end
// stands for the editor's end.
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include "main/editorlink/ceditorcloser.h"
#include "main/editorlink/ceditorembedder.h"
#include "main/editorlink/ceditortextfilter.h"
#include "main/editorlink/ceditortransport.h"
#include "main/editorlink/cerrorlocation.h"
#include "main/editorlink/cfiledropfilter.h"
#include "platform/cmessagechannel.h"
#include "platform/editorprotocol.h"
#include "platform/editorwindowfile.h"
#include "tests/main/console/kestrunetestsupport.h"

namespace {

class FakeEditor {
public:
    enum class Reaction { Close, Refuse, Ignore };

    explicit FakeEditor(Reaction reaction) : m_server(QStringLiteral("marlinote"))
    {
        m_process.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        m_process.waitForStarted();
        m_info.windowId = 1234;
        m_info.pid = m_process.processId();
        EditorWindowFile::Write(m_info);
        QObject::connect(&m_server, &CMessageServer::textReceived, [this, reaction](const QByteArray& text) {
            requests.append(text);
            // The user takes a moment to answer the save question.
            QTimer::singleShot(300, [this, reaction] {
                if (reaction == Reaction::Close) {
                    m_process.kill();
                    m_process.waitForFinished();
                } else if (reaction == Reaction::Refuse) {
                    ++m_info.closeRefused;
                    EditorWindowFile::Write(m_info);
                }
            });
        });
        m_server.Listen();
    }

    ~FakeEditor()
    {
        m_process.kill();
        m_process.waitForFinished();
        QFile::remove(EditorWindowFile::Path());
    }

    bool Running() { return m_process.state() != QProcess::NotRunning; }

    QList<QByteArray> requests;

private:
    CMessageServer m_server;
    QProcess m_process;
    EditorWindowFile::Info m_info;
};

TEST(EditorCloser, WaitsUntilTheEditorHasEnded)
{
    FakeEditor editor(FakeEditor::Reaction::Close);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(CEditorCloser::Close(true), CEditorCloser::Outcome::Closed);
    EXPECT_FALSE(editor.Running());
    EXPECT_EQ(editor.requests, QList<QByteArray>{"close"});
    EXPECT_LT(elapsed.elapsed(), 4000);
}

TEST(EditorCloser, RefusalOfTheEditorsUserIsReported)
{
    FakeEditor editor(FakeEditor::Reaction::Refuse);
    EXPECT_EQ(CEditorCloser::Close(true), CEditorCloser::Outcome::Refused);
    EXPECT_TRUE(editor.Running());
    // Asked again, a second refusal is told from the first one.
    EXPECT_EQ(CEditorCloser::Close(true), CEditorCloser::Outcome::Refused);
}

TEST(EditorCloser, EditorThatStaysIsLeftRunningAfterABoundedWait)
{
    FakeEditor editor(FakeEditor::Reaction::Ignore);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(CEditorCloser::Close(true, 1000, 800), CEditorCloser::Outcome::StillRunning);
    EXPECT_LT(elapsed.elapsed(), 3000);
    // A second close ends the wait at once.
    std::atomic<bool> again{true};
    EXPECT_EQ(CEditorCloser::Close(true, 1000, 60000, &again), CEditorCloser::Outcome::StillRunning);
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_TRUE(editor.Running());
}

TEST(EditorCloser, SeparateEditorIsAskedWithoutWaiting)
{
    FakeEditor editor(FakeEditor::Reaction::Ignore);
    EXPECT_EQ(CEditorCloser::Close(false), CEditorCloser::Outcome::Asked);
    EXPECT_EQ(editor.requests, QList<QByteArray>{"close"});
    EXPECT_TRUE(editor.Running());
}

TEST(EditorCloser, NoEditorIsNoObstacle)
{
    QFile::remove(EditorWindowFile::Path());
    EXPECT_EQ(CEditorCloser::Close(true, 1000), CEditorCloser::Outcome::NoEditor);
}

TEST(EditorWindowFile, AnnouncementOfAnEndedEditorIsNotLive)
{
    QProcess process;
    process.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(process.waitForStarted());
    EditorWindowFile::Info info;
    info.windowId = 7;
    info.pid = process.processId();
    process.kill();
    ASSERT_TRUE(process.waitForFinished());
    ASSERT_TRUE(EditorWindowFile::Write(info));
    EditorWindowFile::Info read;
    EXPECT_TRUE(EditorWindowFile::Read(&read));
    EXPECT_FALSE(EditorWindowFile::ReadLive(&read));
    // Only the announcing process takes its file away.
    EditorWindowFile::Remove(info.pid + 1);
    EXPECT_TRUE(QFile::exists(EditorWindowFile::Path()));
    EditorWindowFile::Remove(info.pid);
    EXPECT_FALSE(QFile::exists(EditorWindowFile::Path()));
    EXPECT_FALSE(CEditorEmbedder::Possible());  // offscreen: the editor stays separate
}

TEST(EditorTexts, StatementsCleanedAndCdToTheWorkingFolderDropped)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/sub");
    std::string statement;
    EXPECT_TRUE(CEditorTextFilter::Filter("run('a.m')\r\n", dir.path(), statement));
    EXPECT_EQ(statement, "run('a.m')\n");
    EXPECT_FALSE(CEditorTextFilter::Filter(("cd '" + dir.path() + "/sub/..'").toUtf8(), dir.path(), statement));
    EXPECT_FALSE(CEditorTextFilter::Filter(("cd " + dir.path() + "/").toUtf8(), dir.path(), statement));
    EXPECT_TRUE(CEditorTextFilter::Filter(("cd '" + dir.path() + "/sub'").toUtf8(), dir.path(), statement));
    EXPECT_EQ(statement, ("cd '" + dir.path() + "/sub'\n").toStdString());
    EXPECT_TRUE(CEditorTextFilter::Filter(QByteArray("x = 1;\n####\0junk", 16), dir.path(), statement));
    EXPECT_EQ(statement, "x = 1;\n####");
    EXPECT_FALSE(CEditorTextFilter::Filter("\n####", dir.path(), statement));
}

TEST(EditorTexts, ErrorLinksNameAnExistingFile)
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/my line f.m";
    QFile(file).open(QIODevice::WriteOnly);
    const QByteArray expected = EditorProtocol::EncodeErrorLocation(file.toUtf8(), 3, 5);
    EXPECT_EQ(CErrorLocation::Message(file + " at line 3 column 5"), expected);
    EXPECT_EQ(CErrorLocation::Message("near line 3, column 5 of file " + file), expected);
    EXPECT_EQ(CErrorLocation::Message(file + " at line 7"), EditorProtocol::EncodeErrorLocation(file.toUtf8(), 7, 0));
    EXPECT_TRUE(CErrorLocation::Message(dir.path() + "/gone.m at line 3").isEmpty());
    EXPECT_TRUE(CErrorLocation::Message("f at line 3 column 5").isEmpty());
}

TEST(EditorTransport, OnlyTextsANewEditorCanUseStartIt)
{
    // A stand-in editor program that only notes that it was started.
    QTemporaryDir folder;
    const QString started = folder.filePath("started");
    QFile program(folder.filePath("marlinote"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write(("#!/bin/sh\ntouch '" + started + "'\n").toUtf8());
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    const std::atomic<bool> dontWait{true};
    const auto startedWithin = [&started](int ms) {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(started) && timer.elapsed() < ms)
            QThread::msleep(50);
        return QFile::exists(started);
    };

    // The user closed the editor while the debugger stood in a file.
    EXPECT_FALSE(CEditorTransport::SendNow(folder.path(), EditorProtocol::EncodeDebugEnded("/w/f.m"), true,
                                           &dontWait));
    EXPECT_FALSE(startedWithin(1000));
    // A new stop is shown in a new editor.
    EXPECT_FALSE(CEditorTransport::SendNow(folder.path(), EditorProtocol::EncodeDebug("/w/f.m", 3), true,
                                           &dontWait));
    EXPECT_TRUE(startedWithin(5000));
}

TEST(EditorTransport, FilesDroppedOnTheEditorOpenInIt)
{
    // A stand-in editor program that writes down the files it was given.
    QTemporaryDir folder;
    const QString given = folder.filePath("given");
    QFile program(folder.filePath("marlinote"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write(("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + given + ".part'; mv '" + given + ".part' '" + given +
                   "'\n").toUtf8());
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);

    QWidget pane;
    pane.resize(200, 100);
    QObject::connect(new CFileDropFilter(&pane), &CFileDropFilter::filesDropped, &pane,
            [&folder](const QStringList& files) { CEditorTransport::StartEditor(folder.path(), files); });
    const auto drop = [&pane](const QMimeData& data) {
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &enter);
        QDropEvent dropped(QPointF(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &dropped);
        return enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    };

    QMimeData text;
    text.setText("x = 1");
    EXPECT_FALSE(drop(text));
    QMimeData files;
    const QString script = folder.filePath("a b.m");
    ASSERT_TRUE(QFile(script).open(QIODevice::WriteOnly));
    files.setUrls({QUrl::fromLocalFile(script), QUrl("https://example.org/c.m"), QUrl::fromLocalFile(folder.path())});
    EXPECT_TRUE(drop(files));
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return QFile::exists(given); }, 5000));
    QFile list(given);
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(list.readAll()), script + "\n");
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
