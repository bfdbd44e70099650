// The options dialog as the user drives it (tree, boxes, OK) and what it
// leaves in both programs' profiles; the updater's daily start.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "controls/cfontpreview.h"
#include "main/options/coptionsdialog.h"
#include "main/options/coptionsnumber.h"
#include "main/options/cupdatechecker.h"
#include "platform/cprofile.h"
#include "tests/support/cfakeupdater.h"
#include "tests/support/cmodalanswerer.h"
#include "tests/support/widgettestmain.h"

namespace {

const QString kProgram = QStringLiteral("Kestrune");
const QString kEditor = QStringLiteral("Marlinote");

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_octave.isValid());
        // A folder that holds an interpreter, so the "Octave" page applies.
        QFile octave(m_octave.filePath(QStringLiteral("octave")));
        ASSERT_TRUE(octave.open(QIODevice::WriteOnly));
        octave.write("#!/bin/sh\n");
        octave.close();
        octave.setPermissions(octave.permissions() | QFileDevice::ExeOwner);
        CProfile(kProgram).WriteString(QStringLiteral("Octave"), QStringLiteral("path"), m_octave.path());
    }

    // Clicks the tree node of a page, as the user picks it.
    static void Pick(COptionsDialog& dialog, const QString& text)
    {
        auto* tree = dialog.findChild<QTreeWidget*>();
        const QList<QTreeWidgetItem*> items = tree->findItems(text, Qt::MatchRecursive | Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        tree->scrollToItem(items[0]);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(items[0]).center());
    }

    static void Press(COptionsDialog& dialog, QDialogButtonBox::StandardButton which)
    {
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
    }

    // A check box takes clicks on its box and label only.
    static void Tick(QAbstractButton* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    template <typename T>
    static T* Child(COptionsDialog& dialog, const char* name)
    {
        T* child = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    QTemporaryDir m_octave;
};

TEST_F(OptionsDialog, ReopensOnTheLastPageShownAndOnTheFirstForAStoredIndexOutOfRange)
{
    {
        COptionsDialog dialog(kProgram, kEditor);
        dialog.show();
        Pick(dialog, QStringLiteral("Fonts & Colors"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    }
    COptionsDialog again(kProgram, kEditor);
    EXPECT_EQ(again.ActiveIndex(), 4);

    CProfile(kProgram).WriteInt(QStringLiteral("General"), QStringLiteral("LastActiveIndex"), 99);
    COptionsDialog outOfRange(kProgram, kEditor);
    EXPECT_EQ(outOfRange.ActiveIndex(), 0);
}

TEST_F(OptionsDialog, UntickingSeparateWindowGreysItsTwoBoxes)
{
    COptionsDialog dialog(kProgram, kEditor);
    dialog.show();
    Pick(dialog, QStringLiteral("Editor"));
    auto* separate = Child<QCheckBox>(dialog, "separateWindow");
    if (!separate->isChecked())
        Tick(separate);
    EXPECT_TRUE(Child<QCheckBox>(dialog, "openAtStart")->isEnabled());
    Tick(separate);
    EXPECT_FALSE(Child<QCheckBox>(dialog, "openAtStart")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "closeAtExit")->isEnabled());
}

TEST_F(OptionsDialog, KeywordItalicIsWrittenForTheEditorAndAnnounced)
{
    COptionsDialog dialog(kProgram, kEditor);
    QSignalSpy announced(&dialog, &COptionsDialog::editorPreferencesChanged);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Pick(dialog, QStringLiteral("Fonts & Colors"));
    // Tab goes from the tree into the page, not to the buttons.
    auto* styles = Child<QListWidget>(dialog, "styles");
    auto* tree = dialog.findChild<QTreeWidget*>();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), styles);
    QTest::mouseClick(styles->viewport(), Qt::LeftButton, {}, styles->visualItemRect(styles->item(4)).center());
    ASSERT_EQ(styles->currentItem()->text(), QStringLiteral("Keyword"));
    Tick(Child<QCheckBox>(dialog, "italic"));
    // The sample shows the keyword, and only the keyword, slanted.
    const QTextDocument* sample = Child<CFontPreview>(dialog, "sample")->document();
    EXPECT_TRUE(sample->find(QStringLiteral("fopen")).charFormat().fontItalic());
    EXPECT_FALSE(sample->find(QStringLiteral("fid")).charFormat().fontItalic());
    // Moving away and back keeps the change in memory.
    QTest::mouseClick(styles->viewport(), Qt::LeftButton, {}, styles->visualItemRect(styles->item(0)).center());
    QTest::mouseClick(styles->viewport(), Qt::LeftButton, {}, styles->visualItemRect(styles->item(4)).center());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "italic")->isChecked());
    Press(dialog, QDialogButtonBox::Ok);

    EXPECT_FALSE(dialog.isVisible());
    CProfile editor(kEditor);
    EXPECT_EQ(editor.GetInt(QStringLiteral("FontItalic"), QStringLiteral("KEYWORD"), -1), 1);
    EXPECT_EQ(editor.GetInt(QStringLiteral("FontItalic"), QStringLiteral("COMMENT"), -1), 0);
    EXPECT_EQ(editor.GetInt(QStringLiteral("FontBold"), QStringLiteral("KEYWORD"), -1), 1);
    EXPECT_EQ(announced.count(), 1);
}

TEST_F(OptionsDialog, AutosaveStoresAtLeastOneMinuteAndRefusesNamesOfTheSourceItself)
{
    CModalAnswerer answerer;
    COptionsDialog dialog(kProgram, kEditor);
    dialog.show();
    Pick(dialog, QStringLiteral("Autosave"));
    auto* extension = Child<QLineEdit>(dialog, "extension");
    Type(extension, QStringLiteral(".M"));
    auto* minutes = Child<QLineEdit>(dialog, "saveTime");
    Type(minutes, QStringLiteral("0"));
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(answerer.texts.size(), 1);
    // Nothing appended would name the source itself.
    Tick(Child<QRadioButton>(dialog, "append"));
    Type(Child<QLineEdit>(dialog, "appendText"), QString());
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(answerer.texts.size(), 2);

    Tick(Child<QRadioButton>(dialog, "replace"));
    Type(extension, QStringLiteral("asv"));
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(CProfile(kEditor).GetInt(QStringLiteral("General"), QStringLiteral("SaveTime"), -1), 1);
}

TEST_F(OptionsDialog, AFolderWithoutTheInterpreterBlocksOkAndWritesNothing)
{
    CModalAnswerer answerer;
    COptionsDialog dialog(kProgram, kEditor);
    dialog.show();
    Pick(dialog, QStringLiteral("General"));
    auto* maxLines = Child<QLineEdit>(dialog, "maxLines");
    Type(maxLines, QStringLiteral("0"));
    Pick(dialog, QStringLiteral("Octave"));
    auto* folder = Child<QLineEdit>(dialog, "octaveFolder");
    Type(folder, QStringLiteral("/nowhere"));
    Press(dialog, QDialogButtonBox::Ok);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(answerer.texts, QStringList{QStringLiteral("octave does not exist in path\n/nowhere")});
    EXPECT_EQ(CProfile(kProgram).GetInt(QStringLiteral("General"), QStringLiteral("MaxLines"), 2000), 2000);

    Type(folder, m_octave.path());
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(CProfile(kProgram).GetInt(QStringLiteral("General"), QStringLiteral("MaxLines"), -1), 1);
}

TEST_F(OptionsDialog, ClearAllKeepsOnlyTheCurrentFolderThroughOk)
{
    CKestruneSettings settings = CKestruneSettings::fromSettings(kProgram);
    settings.workPath = m_octave.path();
    settings.workingPaths = QStringList{QStringLiteral("/tmp"), m_octave.path(), QStringLiteral("/usr")};
    settings.toSettings(kProgram);

    COptionsDialog dialog(kProgram, kEditor);
    QSignalSpy cleared(&dialog, &COptionsDialog::workingPathsCleared);
    dialog.show();
    Pick(dialog, QStringLiteral("General"));
    QPushButton* clearAll = nullptr;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        clearAll = button->text() == QStringLiteral("Clear All") ? button : clearAll;
    ASSERT_NE(clearAll, nullptr);
    QTest::mouseClick(clearAll, Qt::LeftButton);
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_EQ(CKestruneSettings::fromSettings(kProgram).workingPaths, QStringList{m_octave.path()});
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(CKestruneSettings::fromSettings(kProgram).workingPaths, QStringList{m_octave.path()});
}

TEST(OptionsNumber, KeepsTheLeadingIntegerWithinItsRange)
{
    EXPECT_EQ(COptionsNumber::Parse(QStringLiteral("250 lines"), 1, 1000), 250);
    EXPECT_EQ(COptionsNumber::Parse(QStringLiteral("abc"), 1, 1000), 1);
    EXPECT_EQ(COptionsNumber::Parse(QStringLiteral("99999999999999999999"), 1, 1000), 1000);
}

TEST(UpdateCheck, TwoStartsOnOneDayRunTheUpdaterOnce)
{
    CFakeUpdater updater;
    ASSERT_TRUE(updater.IsValid());
    const QString program = QStringLiteral("KestruneUpdateTest");
    const QString bin = updater.ProgramFolder();
    const QDate today(2026, 12, 8);
    EXPECT_TRUE(CUpdateChecker::DailyCheck(program, bin, QStringLiteral("2.3.4.0"), today));
    EXPECT_FALSE(CUpdateChecker::DailyCheck(program, bin, QStringLiteral("2.3.4.0"), today));
    EXPECT_EQ(updater.WaitForCalls(1), QStringList{updater.UpdaterFolder() + QStringLiteral(" 2.34")});

    // Switched off, a due check leaves the stored date alone.
    CProfile profile(program);
    profile.WriteInt(QStringLiteral("General"), QStringLiteral("AutoUpdate"), 0);
    EXPECT_FALSE(CUpdateChecker::DailyCheck(program, bin, QStringLiteral("2.3.4.0"), today.addDays(1)));
    EXPECT_EQ(profile.GetInt(QStringLiteral("General"), QStringLiteral("LastUpdateDay"), 0), 8);

    // A date that is no calendar date means the check is due.
    EXPECT_TRUE(CUpdateChecker::IsDue(2026, 13, 1, today));
    EXPECT_FALSE(CUpdateChecker::CheckForUpdates(updater.ProgramFolder() + QStringLiteral("/nowhere"), "1.0.0", false));
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
