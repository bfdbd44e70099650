#include "editor/cchildframe.h"
#include "editor/cmainframe.h"
#include "editor/cmarlinoteapp.h"
#include "editor/cmarlinotedoc.h"
#include "tests/editor/app/editortesthelpers.h"
#include "platform/cmessagechannel.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// A second editor process, reduced to its single-instance start-up.
class SecondInstance : public CWinAppEx {
public:
    bool OnAnotherInstanceMessage(const QStringList&) override { return true; }
};

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearEditorSettings();
        fileA = WriteFile(dir, "first.m", "a = 1;\n");
        fileB = WriteFile(dir, "second.m", "b = 2;\n");
        CMarlinoteApp::Options options;
        options.showFrame = false;
        options.userFilesPath = dir.filePath("userfiles.dat");
        app = std::make_unique<CMarlinoteApp>(options);
        ASSERT_TRUE(app->InitInstance({fileA}));
        ASSERT_TRUE(app->IsListening());
    }

    // Runs a second instance's start-up on a thread (it blocks until the
    // first one has handled the hand-over) while this thread serves it.
    bool StartSecond(const QStringList& files)
    {
        std::atomic<int> result{-1};
        std::thread second([&] {
            SecondInstance instance;
            result = instance.InitInstance(QString::fromLatin1(CMarlinoteApp::kInstanceName), files) ? 1 : 0;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.load() >= 0; }, 10000));
        second.join();
        // The running editor opens handed-over files right after it
        // answered.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        return result.load() == 1;
    }

    QTemporaryDir dir;
    QString fileA, fileB;
    std::unique_ptr<CMarlinoteApp> app;
};

TEST_F(InstanceTest, SecondInstanceHandsItsFileOverAndEnds)
{
    EXPECT_FALSE(StartSecond({fileB}));
    CMainFrame* frame = app->MainFrame();
    ASSERT_EQ(frame->TabCount(), 2);
    EXPECT_EQ(frame->ActiveChild()->Document()->GetPath(), fileB);

    // Handing over an open file only activates it.
    EXPECT_FALSE(StartSecond({fileA}));
    EXPECT_EQ(frame->TabCount(), 2);
    EXPECT_EQ(frame->ActiveChild()->Document()->GetPath(), fileA);
}

TEST_F(InstanceTest, SecondInstanceWithoutFileOpensNothing)
{
    EXPECT_FALSE(StartSecond({}));
    EXPECT_EQ(app->MainFrame()->TabCount(), 1);
    EXPECT_TRUE(app->MainFrame()->isVisible());  // brought forward
}

TEST_F(InstanceTest, OtherTextsAreNotTakenForHandOvers)
{
    std::atomic<int> done{0};
    std::thread sender([&] {
        MessageChannel::Send(QStringLiteral("marlinote"), QByteArray("dbended\nPath=") + fileB.toUtf8());
        done = 1;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load() == 1; }, 10000));
    sender.join();
    EXPECT_EQ(app->MainFrame()->TabCount(), 1);
}

TEST_F(InstanceTest, AfterTheFrameClosedANewStartRunsOnItsOwn)
{
    EXPECT_TRUE(app->MainFrame()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(app->IsListening());
    EXPECT_TRUE(StartSecond({fileB}));
}

TEST(HandOverTextTest, NamesTheInstanceAndEveryFile)
{
    EXPECT_EQ(CWinAppEx::HandOverText(QStringLiteral("{X}"), {}), QByteArray("{X}"));
    EXPECT_EQ(CWinAppEx::HandOverText(QStringLiteral("{X}"), {QStringLiteral("/a b.m"), QStringLiteral("/c.m")}),
              QByteArray("{X}\n/a b.m\n/c.m"));
}

}  // namespace
