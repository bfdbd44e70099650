// The dialogs against the real interpreter: every statement they send, and
// the lists they show after Refresh.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>

#include "main/paths/coctavepackages.h"
#include "main/paths/coctavepaths.h"
#include "main/paths/cpackagestatements.h"
#include "main/paths/cstoredpaths.h"
#include "platform/octavequote.h"
#include "tests/support/csessionharness.h"
#include "tests/main/console/kestrunetestsupport.h"

namespace {

void Click(QWidget& dialog, const char* button)
{
    QPushButton* b = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_TRUE(b && b->isEnabled()) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

// Selects the rows whose column 0 is one of names, by clicking them.
void Select(QTreeWidget* list, const QStringList& names)
{
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (!names.contains(row->text(0)))
            continue;
        list->scrollToItem(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(row).center());
    }
}

QStringList Column(QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

std::string Lines(const QStringList& texts)
{
    return texts.join('\n').toStdString();
}

class PathsOctave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(octave.Start());
    }

    QString Folder() const { return m_home.path(); }

    // Runs a statement silently and waits for what it printed.
    std::string Ask(const std::string& statement)
    {
        std::string answer;
        bool done = false;
        octave.RunCollected(statement, [&](bool, const std::string& text) {
            answer = text;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 60000))
            ADD_FAILURE() << "no answer to " << statement;
        return answer;
    }

    // Presses a button and waits until the statements it queued ran. Nothing
    // else may be queued meanwhile: after a silent stretch of a statement the
    // session sends the next one and takes the first one's end for its answer.
    void Press(QWidget& dialog, const char* button)
    {
        Click(dialog, button);
        EXPECT_TRUE(octave.WaitIdle(60000)) << button;
    }

    bool OnPath(const QString& folder)
    {
        return Ask("disp(any(strcmp(strsplit(path, pathsep), " + OctaveQuoted(folder.toStdString()) + ")))")
               == "1\n";
    }

    QTemporaryDir m_home;
    CSessionHarness octave;
};

TEST_F(PathsOctave, AddAddWithSubfoldersAndRemoveTwoInOneStatement)
{
    const QString odd = Folder() + "/with blanks, it's";
    const QString tree = Folder() + "/tree";
    for (const QString& f : {odd, tree + "/a", tree + "/b"})
        ASSERT_TRUE(QDir().mkpath(f));
    const QString stored = Folder() + "/userpaths.dat";
    COctavePaths dialog(octave, octave.Events(), {Folder(), stored});
    QString chosen;
    dialog.SetFolderBrowser([&](QWidget*, const QString&, const QString&) { return chosen; });
    dialog.show();

    chosen = odd;
    Press(dialog, "addFolder");
    EXPECT_TRUE(OnPath(odd));
    chosen = tree;
    Press(dialog, "addWithSubfolders");
    for (const QString& f : {tree, tree + "/a", tree + "/b"})
        EXPECT_TRUE(OnPath(f)) << f.toStdString();
    // The folder with "," works for this session but cannot be kept.
    EXPECT_EQ(CStoredPaths(stored.toStdString()).Load(),
              (std::vector<std::string>{tree.toStdString(), (tree + "/a").toStdString(), (tree + "/b").toStdString()}));

    Press(dialog, "refresh");
    const QStringList shown = Column(dialog.List(), 0);
    EXPECT_EQ(Lines(shown.mid(0, 3)), Lines({tree, tree + "/a", tree + "/b"}));
    EXPECT_TRUE(shown.contains(odd));

    Select(dialog.List(), {odd, tree + "/a"});
    Press(dialog, "remove");
    EXPECT_FALSE(OnPath(odd));
    EXPECT_FALSE(OnPath(tree + "/a"));
    EXPECT_TRUE(OnPath(tree + "/b"));
    EXPECT_EQ(CStoredPaths(stored.toStdString()).Load(),
              (std::vector<std::string>{tree.toStdString(), (tree + "/b").toStdString()}));
    Press(dialog, "refresh");
    EXPECT_FALSE(Column(dialog.List(), 0).contains(odd));
}

TEST_F(PathsOctave, CurrentFolderRefusedByOctaveStaysInTheStoredList)
{
    const QString other = Folder() + "/other";
    ASSERT_TRUE(QDir().mkpath(other));
    const std::string stored = (Folder() + "/userpaths.dat").toStdString();
    ASSERT_TRUE(CStoredPaths(stored).Append({Folder().toStdString(), other.toStdString()}));
    ASSERT_TRUE(octave.QueueCommand("cd " + OctaveQuoted(Folder().toStdString()), false));
    ASSERT_TRUE(octave.QueueCommand(
        "addpath(" + OctaveQuoted(Folder().toStdString()) + ", " + OctaveQuoted(other.toStdString()) + ");", false));
    COctavePaths dialog(octave, octave.Events(), {Folder(), QString::fromStdString(stored)});
    dialog.show();
    ASSERT_TRUE(octave.WaitIdle(60000));

    Select(dialog.List(), {Folder(), other});
    Press(dialog, "remove");
    EXPECT_TRUE(OnPath(Folder()));
    EXPECT_FALSE(OnPath(other));
    EXPECT_EQ(CStoredPaths(stored).Load(), std::vector<std::string>{Folder().toStdString()});
    const QString note = dialog.findChild<QLabel*>()->text();
    EXPECT_TRUE(note.contains(Folder()) && !note.contains(other)) << note.toStdString();
}

TEST_F(PathsOctave, PackageInstalledListedLoadedUnloadedAndUninstalled)
{
    const QString home = Folder();
    const std::string prefix = (home + "/pkgs").toStdString();
    // Packages go to a prefix of the test's own, never the system's.
    ASSERT_TRUE(octave.QueueCommand("pkg prefix " + OctaveQuoted(prefix) + " " + OctaveQuoted(prefix)
                                        + "; pkg local_list " + OctaveQuoted((home + "/local_list").toStdString())
                                        + "; pkg global_list " + OctaveQuoted((home + "/global_list").toStdString())
                                        + ";",
                                    false));
    COctavePackages dialog(octave, octave.Events());
    dialog.show();
    ASSERT_TRUE(octave.WaitIdle(60000));
    EXPECT_EQ(Lines(Column(dialog.List(), 2)), "No packages installed.");

    const QString src = home + "/src it's/kpkg";
    ASSERT_TRUE(QDir().mkpath(src + "/inst"));
    const auto write = [](const QString& path, const char* text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write(src + "/DESCRIPTION", "Name: kpkg\nVersion: 1.2.3\nDate: 2024-01-01\nAuthor: Test\nMaintainer: Test\n"
                                "Title: Test package\nDescription: A package for the dialog tests.\n"
                                "Depends: octave (>= 4.0.0)\nCategories: Testing\nLicense: GPLv3+\n");
    write(src + "/COPYING", "GPLv3+\n");
    write(src + "/inst/kpkgfun.m", "## y = kpkgfun (x): twice x.\nfunction y = kpkgfun(x)\n  y = 2 * x;\nend\n");
    const QString tarball = home + "/src it's/kpkg-1.2.3.tar.gz";
    ASSERT_EQ(QProcess::execute("tar", {"czf", tarball, "-C", home + "/src it's", "kpkg"}), 0);

    dialog.SetFileBrowser([&](QWidget*) { return tarball; });
    Press(dialog, "install");
    Press(dialog, "refresh");
    const QStringList row{"kpkg", "1.2.3", "A package for the dialog tests.", "Not loaded"};
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 1);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(dialog.List()->topLevelItem(0)->text(c).toStdString(), row[c].toStdString());

    const auto statusAfter = [&](const char* button) {
        Select(dialog.List(), {"kpkg"});
        Press(dialog, button);
        Press(dialog, "refresh");
        return dialog.List()->topLevelItem(0)->text(3).toStdString();
    };
    EXPECT_EQ(statusAfter("load"), "Loaded");
    EXPECT_EQ(Ask("disp(kpkgfun(4))"), "8\n");
    EXPECT_EQ(statusAfter("unload"), "Not loaded");
    EXPECT_EQ(statusAfter("loadAll"), "Loaded");

    kestrunetest::ModalAnswerer answerer(QMessageBox::Yes);
    Press(dialog, "refresh");
    Select(dialog.List(), {"kpkg"});
    Press(dialog, "uninstall");
    EXPECT_EQ(answerer.texts, QStringList{"Do you want to uninstall 'kpkg' package?"});
    Press(dialog, "refresh");
    EXPECT_EQ(Lines(Column(dialog.List(), 2)), "No packages installed.");
    EXPECT_FALSE(QDir(QString::fromStdString(prefix + "/kpkg-1.2.3")).exists());

    // The local form, used when the interpreter may not write the system folders.
    ASSERT_TRUE(octave.QueueCommand(CPackageStatements::Install(tarball.toStdString(), false), true));
    ASSERT_TRUE(octave.WaitIdle(60000));
    EXPECT_EQ(Ask("disp(pkg('list'){1}.version)"), "1.2.3\n");
}

}  // namespace
