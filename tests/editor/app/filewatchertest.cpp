#include "editor/app/cbackupworker.h"
#include "editor/app/cchildframe.h"
#include "editor/app/cfilewatcher.h"
#include "editor/app/cmainframe.h"
#include "editor/app/cmarlinoteapp.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "platform/ceditorsettings.h"
#include "tests/editor/app/editortesthelpers.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileWatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearEditorSettings();
        ASSERT_TRUE(dir.isValid());
        fileA = WriteFile(dir, "alpha.m", "a = 1;\nb = 2;\n");
        fileB = WriteFile(dir, "beta.m", "x = 3;\n");
    }

    CMainFrame& Start(const CEditorSettings& settings = CEditorSettings())
    {
        CMarlinoteApp::Options options;
        options.singleInstance = false;
        options.showFrame = false;
        options.userFilesPath = dir.filePath("userfiles.dat");
        app = std::make_unique<CMarlinoteApp>(options);
        EXPECT_TRUE(app->InitInstance({}));
        app->SetSettings(settings);
        CMainFrame& frame = *app->MainFrame();
        frame.ApplySettingsToViews();
        frame.FileWatcher().SetReloadQuestion([this](const QString& path) {
            asked.append(path);
            return true;
        });
        return frame;
    }

    // Another program rewrites the file.
    static void Rewrite(const QString& path, const QString& text)
    {
        QTest::qWait(20);  // a last-write time of its own
        QProcess::execute("/bin/sh", {"-c", "printf '%s' \"$1\" > \"$2\"", "sh", text, path});
    }

    QTemporaryDir dir;
    QString fileA, fileB;
    std::unique_ptr<CMarlinoteApp> app;
    QStringList asked;
};

TEST_F(FileWatcherTest, ChangeByAnotherProgramAsksOnceAndReloadsKeepingTheCaret)
{
    CMainFrame& frame = Start();
    CChildFrame* child = frame.OpenDocumentFile(fileA);
    ASSERT_TRUE(child);
    CScintillaWnd* editor = child->View()->GetEditor();
    editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 5);

    Rewrite(fileA, "a = 10;\nb = 20;\n");
    QTRY_COMPARE_WITH_TIMEOUT(editor->GetText(), QByteArray("a = 10;\nb = 20;\n"), 3000);
    QTest::qWait(300);
    EXPECT_EQ(asked, QStringList{child->Document()->GetPath()});
    EXPECT_EQ(editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 5);
    EXPECT_FALSE(child->Document()->IsModified());
}

TEST_F(FileWatcherTest, SameTimeOtherFileAndOwnSaveAskNothing)
{
    CMainFrame& frame = Start();
    CChildFrame* child = frame.OpenDocumentFile(fileA);
    ASSERT_TRUE(child);

    // Touched with its own last-write time.
    ASSERT_EQ(QProcess::execute("touch", {"-r", fileA, fileA}), 0);
    Rewrite(fileB, "x = 30;\n");
    child->View()->GetEditor()->SetText("a = 2;\n");
    ASSERT_TRUE(frame.SaveDocument(child));
    QTest::qWait(500);
    EXPECT_TRUE(asked.isEmpty());

    // The watch follows the editor's own write: later changes still report.
    Rewrite(fileA, "a = 3;\n");
    QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 1, 3000);
}

TEST_F(FileWatcherTest, DocumentsOfOneFolderShareOneWatchUntilTheLastCloses)
{
    CMainFrame& frame = Start();
    CChildFrame* a = frame.OpenDocumentFile(fileA);
    CChildFrame* b = frame.OpenDocumentFile(fileB);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(frame.FileWatcher().DirectoryCount(), 1);

    frame.CloseDocument(a, false);
    EXPECT_TRUE(frame.FileWatcher().IsRunning());
    Rewrite(fileB, "x = 4;\n");
    QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 1, 3000);

    frame.CloseDocument(b, false);
    EXPECT_FALSE(frame.FileWatcher().IsRunning());
}

TEST(BackupPathTest, NamesFollowTheSettingsAndNeverTheSourceItself)
{
    CEditorSettings s;
    EXPECT_EQ(CBackupWorker::BackupPath("/w/foo.m", s), "/w/foo.asv");
    EXPECT_EQ(CBackupWorker::BackupPath("/w.d/foo", s), "/w.d/foo.asv");
    EXPECT_EQ(CBackupWorker::BackupPath("", s), "");
    s.defaultFolder = true;  // without a folder: beside the file, not in "/"
    EXPECT_EQ(CBackupWorker::BackupPath("/w/foo.m", s), "/w/foo.asv");
    s.savePath = "/bak";
    EXPECT_EQ(CBackupWorker::BackupPath("/w/foo.m", s), "/bak/foo.asv");
    s.replaceOrAppend = true;
    EXPECT_EQ(CBackupWorker::BackupPath("/w/foo.m", s), "/bak/foo.m~");
    s.defaultFolder = false;
    s.append.clear();
    EXPECT_EQ(CBackupWorker::BackupPath("/w/foo.m", s), "");
    s.replaceOrAppend = false;
    s.extension = "m";
    EXPECT_EQ(CBackupWorker::BackupPath("/w/foo.m", s), "");
}

TEST_F(FileWatcherTest, BackupAppearsAfterTheIntervalKeepsTheQuestionAndGoesOnClose)
{
    CEditorSettings settings;
    settings.saveTime = 1;
    settings.deleteOnExit = true;
    CMainFrame& frame = Start(settings);
    CChildFrame* child = frame.OpenDocumentFile(fileA);
    ASSERT_TRUE(child);
    child->View()->GetEditor()->SetText("edited = 1;\n");
    const QString backup = dir.filePath("alpha.asv");

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(backup), 9000);
    QTRY_COMPARE_WITH_TIMEOUT(ReadFile(backup), QByteArray("edited = 1;\n"), 2000);
    EXPECT_TRUE(child->Document()->IsModified());
    EXPECT_EQ(ReadFile(fileA), QByteArray("a = 1;\nb = 2;\n"));
    EXPECT_TRUE(asked.isEmpty());

    frame.CloseDocument(child, false);
    EXPECT_FALSE(QFileInfo::exists(backup));
}

}  // namespace
