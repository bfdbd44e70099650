// The working folder and the current-directory pane on real folders, driven
// through the real widgets with keys and mouse.
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>

#include "main/files/cfilesexplorer.h"
#include "main/files/cfileview.h"
#include "main/files/cworkingfolder.h"
#include "main/session/csessionevents.h"
#include "tests/main/files/filestestsupport.h"

using namespace filestest;

namespace {

struct Pane {
    explicit Pane(const QString& folder)
    {
        ResetSettings(folder);
        working = std::make_unique<CWorkingFolder>(commands, events, &box, CKestruneSettings::DefaultProgram());
        view = std::make_unique<CFileView>(commands, events, *working, CKestruneSettings::DefaultProgram());
        view->FilterBox()->setCurrentIndex(2);
        view->RefreshFileList(true);
        view->resize(400, 600);
        view->show();
        working->ChangeDirectory(folder);
        commands.queued.clear();
    }
    QTreeWidgetItem* Row(const QString& name) const
    {
        const auto found = view->List()->findItems(name, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    void Select(const QStringList& names)
    {
        view->List()->clearSelection();
        for (const QString& name : names)
            Row(name)->setSelected(true);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        view->List()->setFocus();
        QTest::keyClick(view->List(), Qt::Key(key), modifiers);
    }

    RecordingCommands commands;
    CSessionEvents events;
    QComboBox box;
    std::unique_ptr<CWorkingFolder> working;
    std::unique_ptr<CFileView> view;
};

}  // namespace

TEST(WorkingFolder, ChangesKeepRecentFoldersAndRefuseNonFolders)
{
    QTemporaryDir root;
    const QDir d(root.path());
    for (const char* sub : {"a", "b", "c"})
        d.mkdir(QString::fromLatin1(sub));
    ResetSettings(root.path(), 2);
    RecordingCommands commands;
    CSessionEvents events;
    QComboBox box;
    box.setEditable(true);
    CWorkingFolder folder(commands, events, &box, CKestruneSettings::DefaultProgram());
    QSignalSpy editor(&folder, &CWorkingFolder::editorTextRequested);

    EXPECT_TRUE(folder.ChangeDirectory(QStringLiteral("a")));
    EXPECT_EQ(folder.Folder(), d.filePath(QStringLiteral("a")));
    EXPECT_EQ(editor.last().at(0).toByteArray(), "setcurrentpath=" + d.filePath(QStringLiteral("a")).toUtf8() + "/");
    EXPECT_TRUE(folder.ChangeDirectory(QStringLiteral("..")));
    EXPECT_TRUE(folder.ChangeDirectory(QStringLiteral("./a/")));
    EXPECT_TRUE(folder.ChangeDirectory(QStringLiteral(".")));
    EXPECT_TRUE(folder.ChangeDirectory(d.filePath(QStringLiteral("b"))));
    EXPECT_TRUE(folder.ChangeDirectory(d.filePath(QStringLiteral("c"))));
    // "a" was dropped as the oldest; the one kept "a/" was not added twice.
    EXPECT_EQ(CKestruneSettings::fromSettings().workingPaths,
              QStringList({d.filePath(QStringLiteral("b")), d.filePath(QStringLiteral("c"))}));
    EXPECT_EQ(box.currentText(), d.filePath(QStringLiteral("c")));

    CModalAnswerer answer;
    EXPECT_FALSE(folder.ChangeDirectory(QStringLiteral("missing")));
    ASSERT_EQ(answer.texts.size(), 1);
    EXPECT_TRUE(answer.texts[0].startsWith(QStringLiteral("Cannot CD to \n")));
    EXPECT_EQ(folder.Folder(), d.filePath(QStringLiteral("c")));
    EXPECT_EQ(box.currentText(), d.filePath(QStringLiteral("c")));

    folder.ChangeDirectory(QStringLiteral("/"));
    EXPECT_TRUE(folder.ChangeDirectory(QStringLiteral("..")));
    EXPECT_EQ(folder.Folder(), QStringLiteral("/"));
}

TEST(FileView, OpenSendsOneRequestAndFolderRowsChangeDirectory)
{
    QTemporaryDir root;
    const QDir d(root.path());
    d.mkdir(QStringLiteral("sub"));
    for (const char* name : {"a.m", "b.m", "c.mat"})
        WriteFile(d.filePath(QString::fromLatin1(name)), "x");
    Pane pane(root.path());
    QSignalSpy editor(pane.view.get(), &CFileView::editorPaneRequested);
    QSignalSpy workspace(pane.view.get(), &CFileView::workspacePaneRequested);
    pane.Select({QStringLiteral("a.m"), QStringLiteral("b.m"), QStringLiteral("c.mat")});
    pane.Key(Qt::Key_Return);
    ASSERT_EQ(pane.commands.queued.size(), 1u);
    EXPECT_FALSE(pane.commands.queued[0].second);
    EXPECT_EQ(editor.size(), 1);
    EXPECT_EQ(workspace.size(), 1);

    QTreeWidgetItem* sub = pane.Row(QStringLiteral("sub"));
    const QRect rect = pane.view->List()->visualItemRect(sub);
    QTest::mouseClick(pane.view->List()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(pane.view->List()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    EXPECT_EQ(pane.working->Folder(), d.filePath(QStringLiteral("sub")));
    EXPECT_EQ(pane.view->List()->topLevelItemCount(), 1);
}

TEST(FileView, ColumnWidthsComeBackWithTheNextPane)
{
    QTemporaryDir root;
    QList<int> widths;
    {
        Pane pane(root.path());
        QHeaderView* header = pane.view->List()->header();
        header->resizeSection(0, 231);
        header->resizeSection(2, 87);
        for (int column = 0; column < header->count(); ++column)
            widths << header->sectionSize(column);
    }
    Pane again(root.path());
    QList<int> restored;
    for (int column = 0; column < again.view->List()->header()->count(); ++column)
        restored << again.view->List()->header()->sectionSize(column);
    EXPECT_EQ(restored, widths);
    EXPECT_EQ(restored.value(0), 231);
}

TEST(FileView, SelectAllAndDeleteNeverTouchTheParent)
{
    QTemporaryDir root;
    const QDir d(root.path());
    d.mkpath(QStringLiteral("work/inner"));
    WriteFile(d.filePath(QStringLiteral("beside.txt")), "keep");
    WriteFile(d.filePath(QStringLiteral("work/a.m")), "a");
    Pane pane(d.filePath(QStringLiteral("work")));
    pane.Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(pane.Row(QStringLiteral(".."))->isSelected());
    CModalAnswerer answer(QMessageBox::Yes);
    pane.Key(Qt::Key_Delete);
    ASSERT_EQ(answer.texts.size(), 1);
    EXPECT_EQ(answer.texts[0], QStringLiteral("Are you sure you want delete these 2 items?"));
    EXPECT_TRUE(QFileInfo::exists(d.filePath(QStringLiteral("beside.txt"))));
    EXPECT_TRUE(QDir(d.filePath(QStringLiteral("work"))).isEmpty());
    EXPECT_EQ(pane.view->List()->topLevelItemCount(), 1);
    // ".." alone offers nothing but Open.
    pane.Select({QStringLiteral("..")});
    pane.view->UpdateActions();
    EXPECT_TRUE(pane.view->Action(CFileView::Open)->isEnabled());
    EXPECT_FALSE(pane.view->Action(CFileView::Delete)->isEnabled());
}

TEST(FileView, ZipExtractCutPasteAndRefusedReplace)
{
    QTemporaryDir root;
    QTemporaryDir other;
    const QDir d(root.path());
    WriteFile(d.filePath(QStringLiteral("one.m")), "first");
    WriteFile(d.filePath(QStringLiteral("two.txt")), "second");
    Pane pane(root.path());

    pane.Select({QStringLiteral("one.m"), QStringLiteral("two.txt")});
    {
        InputAnswerer name(QStringLiteral("pack"));
        pane.view->Action(CFileView::CreateZip)->trigger();
    }
    ASSERT_TRUE(pane.Row(QStringLiteral("pack.zip")));
    pane.Select({QStringLiteral("pack.zip")});
    pane.view->UpdateActions();
    EXPECT_FALSE(pane.view->Action(CFileView::CreateZip)->isEnabled());
    pane.view->Action(CFileView::Extract)->trigger();
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("pack/one.m"))), "first");
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("pack/two.txt"))), "second");
    // Extracting again over an edited file asks first; No keeps the edit.
    WriteFile(d.filePath(QStringLiteral("pack/one.m")), "edited");
    {
        CModalAnswerer keep(QMessageBox::No);
        pane.view->Action(CFileView::Extract)->trigger();
        ASSERT_EQ(keep.texts.size(), 1);
        EXPECT_TRUE(keep.texts[0].contains(QStringLiteral("one.m")));
    }
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("pack/one.m"))), "edited");

    // Cut here, paste in the other folder: moved.
    pane.Select({QStringLiteral("one.m")});
    pane.Key(Qt::Key_X, Qt::ControlModifier);
    pane.working->ChangeDirectory(other.path());
    pane.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(QDir(other.path()).filePath(QStringLiteral("one.m"))), "first");
    EXPECT_FALSE(QFileInfo::exists(d.filePath(QStringLiteral("one.m"))));
    ASSERT_TRUE(pane.Row(QStringLiteral("one.m")));

    // Copy a file of the same name back and refuse the replace: both stay.
    WriteFile(d.filePath(QStringLiteral("one.m")), "other");
    pane.working->ChangeDirectory(root.path());
    pane.Select({QStringLiteral("one.m")});
    pane.Key(Qt::Key_C, Qt::ControlModifier);
    pane.working->ChangeDirectory(other.path());
    CModalAnswerer refuse(QMessageBox::No);
    pane.Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(refuse.texts.size(), 1);
    EXPECT_TRUE(refuse.texts[0].startsWith(QStringLiteral("This folder already contains a file named 'one.m'")));
    EXPECT_EQ(ReadFile(QDir(other.path()).filePath(QStringLiteral("one.m"))), "first");
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("one.m"))), "other");

    // Files dropped from elsewhere are copied in.
    WriteFile(d.filePath(QStringLiteral("dropped.m")), "d");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(d.filePath(QStringLiteral("dropped.m")))});
    QWidget* target = pane.view->List()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(ReadFile(QDir(other.path()).filePath(QStringLiteral("dropped.m"))), "d");
    EXPECT_TRUE(QFileInfo::exists(d.filePath(QStringLiteral("dropped.m"))));
}

TEST(FileView, FollowsOtherProcessesAndKeepsAnUnchangedList)
{
    QTemporaryDir root;
    WriteFile(QDir(root.path()).filePath(QStringLiteral("a.m")), "a");
    Pane pane(root.path());
    pane.Select({QStringLiteral("a.m")});
    QTreeWidgetItem* before = pane.Row(QStringLiteral("a.m"));
    pane.Key(Qt::Key_F5);
    EXPECT_EQ(pane.Row(QStringLiteral("a.m")), before);
    EXPECT_TRUE(before->isSelected());

    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(QProcess::execute(QStringLiteral("touch"), {QDir(root.path()).filePath(QStringLiteral("new file.m"))}), 0);
    EXPECT_TRUE(WaitFor([&] { return pane.Row(QStringLiteral("new file.m")) != nullptr; }, 1000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(pane.Row(QStringLiteral("a.m"))->isSelected());
}

KESTRUNE_WIDGET_TEST_MAIN()
