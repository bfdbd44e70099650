// The pane's statements against the real interpreter, on names with quotes
// and blanks; Find Files through its dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include "main/files/cfilesexplorer.h"
#include "main/files/cfileview.h"
#include "main/files/cfilessettings.h"
#include "main/files/cguifindfiles.h"
#include "main/files/cworkingfolder.h"
#include "platform/octavequote.h"
#include "tests/main/files/filestestsupport.h"
#include "tests/support/csessionharness.h"

using namespace filestest;

namespace {

std::string Collect(CSessionHarness& session, const std::string& statement)
{
    bool done = false;
    std::string answer;
    session.RunCollected(statement, [&](bool, const std::string& text) {
        answer = text;
        done = true;
    });
    WaitFor([&] { return done; }, 20000);
    return QString::fromStdString(answer).trimmed().toStdString();
}

void Select(CFileView& view, const QString& name)
{
    view.List()->clearSelection();
    view.List()->findItems(name, Qt::MatchExactly, 0).value(0)->setSelected(true);
}

}  // namespace

TEST(FilesInterpreter, QuotedNamesOpenLoadRunAndChangeFolder)
{
    QTemporaryDir root;
    const QString folder = QDir(root.path()).filePath(QStringLiteral("it's a dir"));
    QDir().mkpath(folder);
    const QString recorder = QDir(root.path()).filePath(QStringLiteral("editor.sh"));
    const QString log = QDir(root.path()).filePath(QStringLiteral("edited.txt"));
    WriteFile(recorder, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.toUtf8() + "'\n");
    QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    WriteFile(QDir(folder).filePath(QStringLiteral("my script.m")),
              "fid = fopen('ran.txt', 'w'); fprintf(fid, 'ran'); fclose(fid);\n");
    WriteFile(QDir(folder).filePath(QStringLiteral("don't é.m")),
              "fid = fopen('quoted.txt', 'w'); fprintf(fid, 'ran'); fclose(fid);\n");
    ResetSettings(root.path());

    CSessionHarness session;
    ASSERT_TRUE(session.Start());
    session.QueueCommand("x = 42; save('-mat', " + OctaveQuoted((folder + "/my data.mat").toStdString()) +
                             ", 'x'); clear x; EDITOR(" + OctaveQuoted(recorder.toStdString() + " %s") +
                             "); edit mode async;",
                         false);
    ASSERT_TRUE(session.WaitIdle());
    CWorkingFolder working(session, session.Events(), nullptr, CKestruneSettings::DefaultProgram());
    CFileView view(session, session.Events(), working, CKestruneSettings::DefaultProgram());
    view.FilterBox()->setCurrentIndex(2);
    ASSERT_TRUE(working.ChangeDirectory(folder));
    ASSERT_TRUE(session.WaitIdle());
    EXPECT_EQ(Collect(session, "disp(pwd)"), folder.toStdString());

    Select(view, QStringLiteral("my data.mat"));
    view.Action(CFileView::Open)->trigger();
    ASSERT_TRUE(session.WaitIdle());
    EXPECT_EQ(Collect(session, "disp(x)"), "42");

    Select(view, QStringLiteral("my script.m"));
    view.Action(CFileView::RunFile)->trigger();
    ASSERT_TRUE(session.WaitIdle());
    EXPECT_EQ(ReadFile(QDir(folder).filePath(QStringLiteral("ran.txt"))), "ran");
    Select(view, QStringLiteral("don't é.m"));
    view.Action(CFileView::RunFile)->trigger();
    ASSERT_TRUE(session.WaitIdle());
    EXPECT_EQ(ReadFile(QDir(folder).filePath(QStringLiteral("quoted.txt"))), "ran");
    Select(view, QStringLiteral("my script.m"));

    view.Action(CFileView::OpenAsText)->trigger();
    ASSERT_TRUE(session.WaitIdle());
    EXPECT_TRUE(WaitFor([&] { return ReadFile(log).contains("my script.m"); }, 5000));
    EXPECT_EQ(ReadFile(log).trimmed(), QDir(folder).filePath(QStringLiteral("my script.m")).toUtf8());

    // A folder change the program did not make is followed when announced.
    session.QueueCommand("cd(" + OctaveQuoted(root.path().toStdString()) + ")", false);
    ASSERT_TRUE(session.WaitIdle());
    emit session.Events().currentDirectoryChanged();
    EXPECT_TRUE(WaitFor([&] { return working.Folder() == root.path(); }));
    EXPECT_TRUE(view.List()->findItems(QStringLiteral("editor.sh"), Qt::MatchExactly, 0).size() == 1);
}

TEST(FindFiles, FindsTextStopsAndOpensTheHit)
{
    QTemporaryDir root;
    const QDir d(root.path());
    d.mkpath(QStringLiteral("deep"));
    WriteFile(d.filePath(QStringLiteral("draw.m")), "x = 1:3;\nplot(x);\n");
    WriteFile(d.filePath(QStringLiteral("deep/more.m")), "% plot again\n");
    ResetSettings(root.path());
    RecordingCommands commands;
    CSessionEvents events;
    CWorkingFolder working(commands, events, nullptr, CKestruneSettings::DefaultProgram());
    auto dialog = std::make_unique<CGUIFindFiles>(working, CKestruneSettings::DefaultProgram());
    dialog->show();
    QSignalSpy finished(dialog.get(), &CGUIFindFiles::searchFinished);
    QSignalSpy opened(dialog.get(), &CGUIFindFiles::openInEditorRequested);

    dialog->TextBox()->setEditText(QStringLiteral("Plot"));
    QTest::mouseClick(dialog->FindButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return finished.size() == 1; }));
    QTreeWidget* results = dialog->Results();
    ASSERT_EQ(results->topLevelItemCount(), 1);
    EXPECT_EQ(results->topLevelItem(0)->text(1), QStringLiteral("2"));
    EXPECT_EQ(dialog->Status()->text(), QStringLiteral("1 items found"));
    const QRect rect = results->visualItemRect(results->topLevelItem(0));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(results->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].toString(), QStringLiteral("line 2 of file ") + d.filePath(QStringLiteral("draw.m")));

    dialog->SubFoldersBox()->setChecked(true);
    QTest::mouseClick(dialog->FindButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return finished.size() == 2; }));
    EXPECT_EQ(results->topLevelItemCount(), 2);
    EXPECT_EQ(CFilesSettings::fromSettings(CKestruneSettings::DefaultProgram()).findTextInFiles,
              QStringList({QStringLiteral("Plot")}));

    // Brackets in a name are no character class; a search without hits ends
    // on the plain count.
    WriteFile(d.filePath(QStringLiteral("data[1].m")), "x = 1;\n");
    WriteFile(d.filePath(QStringLiteral("data1.m")), "x = 1;\n");
    dialog->TextBox()->setEditText(QString());
    dialog->NamedBox()->setEditText(QStringLiteral("data[1]"));
    dialog->SubFoldersBox()->setChecked(false);
    QTest::mouseClick(dialog->FindButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return finished.size() == 3; }));
    ASSERT_EQ(results->topLevelItemCount(), 1);
    EXPECT_EQ(results->topLevelItem(0)->text(0), QStringLiteral("data[1].m"));
    dialog->NamedBox()->setEditText(QStringLiteral("nothing"));
    QTest::mouseClick(dialog->FindButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return finished.size() == 4; }));
    QTest::qWait(50);
    EXPECT_EQ(dialog->Status()->text(), QStringLiteral("0 items found"));
    dialog->NamedBox()->setEditText(QString());
    dialog->SubFoldersBox()->setChecked(true);

    // Closing during a search stops it before the dialog goes.
    for (int i = 0; i < 400; ++i)
        WriteFile(d.filePath(QStringLiteral("deep/f%1.m").arg(i)), QByteArray(20000, 'p') + "\nplot\n");
    QTest::mouseClick(dialog->FindButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->IsSearching());
    dialog->close();
    EXPECT_FALSE(dialog->IsSearching());
    dialog.reset();
    QTest::qWait(50);
}
