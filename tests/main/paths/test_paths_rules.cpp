// The dialogs' rules on a recording session: which buttons a selection
// enables, the placeholder rows, and the stored list of added folders.
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "main/paths/coctavepackages.h"
#include "main/paths/coctavepaths.h"
#include "main/paths/cpathstatements.h"
#include "main/paths/cstoredpaths.h"
#include "main/session/csessionevents.h"
#include "platform/ckestrunesettings.h"
#include "tests/main/paths/recordingcommands.h"
#include "tests/main/console/kestrunetestsupport.h"

namespace {

using Strings = std::vector<std::string>;

QPushButton* Button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

void ClickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QRect r = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, r.center());
}

TEST(PathsRules, RemoveFollowsSelectionNeverThePlaceholderNorADisconnectedSession)
{
    RecordingCommands commands;
    CSessionEvents events;
    QTemporaryDir home;
    COctavePaths dialog(commands, events, {home.path(), home.path() + "/userpaths.dat"});
    dialog.show();
    ASSERT_EQ(commands.queued, (std::vector<std::pair<std::string, bool>>{{"path;###", false}}));

    events.PathListPopulating();
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return dialog.List()->topLevelItemCount() == 1; }));
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(0), CListDialog::PopulatingText());
    ClickRow(dialog.List(), 0);
    EXPECT_FALSE(Button(dialog, "remove")->isEnabled());

    events.PathListFill({"/a", "/b", "/c"});
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return dialog.List()->topLevelItemCount() == 3; }));
    EXPECT_FALSE(Button(dialog, "remove")->isEnabled()) << "a refill clears the selection";
    ClickRow(dialog.List(), 2);
    ClickRow(dialog.List(), 0, Qt::ControlModifier);
    EXPECT_TRUE(Button(dialog, "remove")->isEnabled());
    QTest::mouseClick(Button(dialog, "remove"), Qt::LeftButton);
    EXPECT_EQ(commands.queued.back(), (std::pair<std::string, bool>{"rmpath('/a','/c');###", false}));

    emit events.connectionChanged(false);
    for (const char* name : {"addFolder", "addWithSubfolders", "remove", "refresh"})
        EXPECT_FALSE(Button(dialog, name)->isEnabled()) << name;
    EXPECT_TRUE(Button(dialog, "close")->isEnabled());
    QTest::mouseClick(Button(dialog, "close"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(PathsRules, StoredListKeepsEachFolderOnceAndRefusesTheSeparator)
{
    QTemporaryDir home;
    const CStoredPaths stored((home.path() + "/userpaths.dat").toStdString());
    Strings notKept;
    ASSERT_TRUE(stored.Append({"/a", "/b", "/a", "/x,y"}, &notKept));
    ASSERT_TRUE(stored.Append({"/b", "/c"}));
    EXPECT_EQ(stored.Load(), (Strings{"/a", "/b", "/c"}));
    EXPECT_EQ(notKept, Strings{"/x,y"});
    // Removing must not leave a copy behind that the next start adds again.
    ASSERT_TRUE(stored.Remove({"/a", "/never-added"}));
    EXPECT_EQ(stored.Load(), (Strings{"/b", "/c"}));
}

TEST(PathsRules, FolderTreeEndsAtALinkLoopAndSkipsHiddenFoldersAndUnusableNames)
{
    QTemporaryDir home;
    const QString root = home.path() + "/t";
    QDir().mkpath(root + "/b/c");
    QDir().mkpath(root + "/.git/objects");
    QDir().mkpath(root + "/a");
    ASSERT_TRUE(QFile::link(root, root + "/b/loop"));
    const std::string r = root.toStdString();
    EXPECT_EQ(CPathStatements::FolderTree(root), (Strings{r, r + "/a", r + "/b", r + "/b/c", r + "/b/loop"}));
    EXPECT_EQ(CPathStatements::Usable({r, "/x:y", "/a\nb"}), Strings{r});
}

TEST(PackagesRules, NamelessRowsDisableThePackageButtonsAndEachSelectedPackageGetsItsStatement)
{
    RecordingCommands commands;
    CSessionEvents events;
    COctavePackages dialog(commands, events);
    dialog.show();
    EXPECT_EQ(dialog.List()->header()->sectionSize(1), 60);
    const std::vector<CPackageRow> none{{"", "", "No packages installed.", ""}};
    events.PackageListFill(none);
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return dialog.List()->topLevelItemCount() == 1; }));
    ClickRow(dialog.List(), 0);
    for (const char* name : {"load", "unload", "uninstall"})
        EXPECT_FALSE(Button(dialog, name)->isEnabled()) << name;

    events.PackageListFill({{"p1", "1.0", "one", "Loaded"}, {"p2", "2.0", "two", "Not loaded"}, {"p 3", "3", "", ""}});
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return dialog.List()->topLevelItemCount() == 3; }));
    dialog.List()->setFocus();
    ClickRow(dialog.List(), 0);
    QTest::keyClick(dialog.List(), Qt::Key_A, Qt::ControlModifier);
    commands.queued.clear();
    QTest::mouseClick(Button(dialog, "unload"), Qt::LeftButton);
    EXPECT_EQ(commands.queued, (std::vector<std::pair<std::string, bool>>{
                                   {"pkg unload p1", true}, {"pkg unload p2", true}, {"pkg('unload', 'p 3');", true}}));

    // The package file is looked for in the working folder first.
    CKestruneSettings settings = CKestruneSettings::fromSettings();
    settings.workPath = QDir::tempPath();
    settings.toSettings();
    {
        CModalAnswerer cancel;
        QTest::mouseClick(Button(dialog, "install"), Qt::LeftButton);
        EXPECT_EQ(cancel.folders, QStringList{QDir::tempPath()});
    }

    // Without write access to the system folders the install is local, and the dialog says so.
    dialog.SetFileBrowser([](QWidget*) { return QStringLiteral("/x/it's.tar.gz"); });
    QTest::mouseClick(Button(dialog, "install"), Qt::LeftButton);
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return commands.queued.size() == 4; }));
    EXPECT_EQ(commands.queued.back().first, "pkg install '/x/it''s.tar.gz' -local -verbose;");
    EXPECT_EQ(dialog.findChild<QLabel*>("note")->text(), COctavePackages::NoWriteAccessNote());
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
