// The main program's "close" request on the editor's channel, and the window
// announcement the main program embeds and watches.
#include "editor/cchildframe.h"
#include "editor/cmainframe.h"
#include "editor/cmarlinoteapp.h"
#include "editor/cmarlinotedoc.h"
#include "editor/cmarlinoteview.h"
#include "editor/cscintillawnd.h"
#include "tests/editor/app/editortesthelpers.h"
#include "platform/cmessagechannel.h"
#include "platform/editorwindowfile.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

class CloseRequestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearEditorSettings();
        QFile::remove(EditorWindowFile::Path());
        file = WriteFile(dir, "first.m", "a = 1;\n");
        CMarlinoteApp::Options options;
        options.showFrame = false;
        options.userFilesPath = dir.filePath("userfiles.dat");
        app = std::make_unique<CMarlinoteApp>(options);
        ASSERT_TRUE(app->InitInstance({file}));
        ASSERT_TRUE(app->IsListening());
        app->MainFrame()->SetSaveQuestion([this](CChildFrame*) {
            ++asked;
            return answer;
        });
    }

    // Sends like the main program does (from another thread) while this
    // thread serves the channel, then lets the queued close run.
    MessageChannel::SendResult SendClose(const QByteArray& text = CMarlinoteApp::CloseRequestText())
    {
        std::atomic<int> result{-1};
        std::thread sender([&] { result = int(MessageChannel::Send(QStringLiteral("marlinote"), text, 5000)); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.load() >= 0; }, 10000));
        sender.join();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        return MessageChannel::SendResult(result.load());
    }

    QTemporaryDir dir;
    QString file;
    std::unique_ptr<CMarlinoteApp> app;
    int asked = 0;
    QMessageBox::StandardButton answer = QMessageBox::No;
};

TEST_F(CloseRequestTest, RunningEditorAnnouncesItselfAndCloseRequestClosesTheFrame)
{
    EditorWindowFile::Info info;
    ASSERT_TRUE(EditorWindowFile::ReadLive(&info));
    EXPECT_EQ(info.pid, QCoreApplication::applicationPid());
    EXPECT_EQ(info.windowId, quint64(app->MainFrame()->winId()));
    EXPECT_EQ(info.closeRefused, 0);

    QSignalSpy closed(app->MainFrame(), &CMainFrame::closed);
    EXPECT_EQ(SendClose(), MessageChannel::SendResult::Delivered);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(asked, 0);
    // Gone with the frame: nobody waits for or embeds a closed editor.
    EXPECT_FALSE(QFile::exists(EditorWindowFile::Path()));
    // A repeated request does not close twice.
    EXPECT_TRUE(app->OnCloseRequest());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(CloseRequestTest, CancelledSaveQuestionKeepsTheFrameAndIsCounted)
{
    app->MainFrame()->ActiveChild()->View()->GetEditor()->SetText("changed = 1;\n");
    QSignalSpy closed(app->MainFrame(), &CMainFrame::closed);

    answer = QMessageBox::Cancel;
    EXPECT_EQ(SendClose(), MessageChannel::SendResult::Delivered);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(app->MainFrame()->TabCount(), 1);
    EditorWindowFile::Info info;
    ASSERT_TRUE(EditorWindowFile::ReadLive(&info));
    EXPECT_EQ(info.closeRefused, 1);

    // Declining to save closes; the changed text is not written.
    answer = QMessageBox::No;
    SendClose();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(closed.count(), 1);
    QFile original(file);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), QByteArray("a = 1;\n"));
}

TEST_F(CloseRequestTest, OtherTextsDoNotClose)
{
    QSignalSpy closed(app->MainFrame(), &CMainFrame::closed);
    EXPECT_EQ(SendClose("closed"), MessageChannel::SendResult::Delivered);
    EXPECT_EQ(closed.count(), 0);
}

}  // namespace
