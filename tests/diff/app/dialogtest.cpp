#include "diff/app/cdiffdlg.h"
#include "../difftesthelpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using difftest::ReadFile;
using difftest::TempDir;
using difftest::WriteFile;

TEST(DiffDialog, StartsWithFirstPathAndHiddenOptions)
{
    CDiffDlg dialog(QStringLiteral("/x/first.m"), QStringLiteral("/x/out.html"));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Files or Folders for Comparison"));
    EXPECT_EQ(dialog.FirstEdit()->text(), QStringLiteral("/x/first.m"));
    EXPECT_TRUE(dialog.SecondEdit()->text().isEmpty());
    EXPECT_FALSE(dialog.OptionsGroup()->isVisible());
    EXPECT_FALSE(dialog.CaseBox()->isVisible());
    EXPECT_TRUE(dialog.CaseBox()->isChecked());
    EXPECT_TRUE(dialog.IndentBox()->isChecked());
    EXPECT_TRUE(dialog.CompareButton()->isDefault());
    EXPECT_EQ(dialog.CancelButton()->text(), QStringLiteral("Cancel"));
    // Controls lie inside the dialog and do not overlap the buttons.
    EXPECT_TRUE(dialog.rect().contains(dialog.SecondBrowse()->geometry()));
    EXPECT_FALSE(dialog.SecondEdit()->geometry().intersects(dialog.CompareButton()->geometry()));
}

TEST(DiffDialog, BrowseFillsOneOrBothPaths)
{
    CDiffDlg dialog{QString(), QString()};
    QStringList picked;
    dialog.SetChooser([&picked](QWidget*) { return picked; });

    picked = {QStringLiteral("/d/one.m")};
    QTest::mouseClick(dialog.SecondBrowse(), Qt::LeftButton);
    EXPECT_TRUE(dialog.FirstEdit()->text().isEmpty());
    EXPECT_EQ(dialog.SecondEdit()->text(), QStringLiteral("/d/one.m"));

    // Two files from either button become the pair; further ones are ignored.
    picked = {QStringLiteral("/d/a.m"), QStringLiteral("/d/b.m"), QStringLiteral("/d/c.m")};
    QTest::mouseClick(dialog.SecondBrowse(), Qt::LeftButton);
    EXPECT_EQ(dialog.FirstEdit()->text(), QStringLiteral("/d/a.m"));
    EXPECT_EQ(dialog.SecondEdit()->text(), QStringLiteral("/d/b.m"));

    picked.clear(); // cancelled: nothing changes
    QTest::mouseClick(dialog.FirstBrowse(), Qt::LeftButton);
    EXPECT_EQ(dialog.FirstEdit()->text(), QStringLiteral("/d/a.m"));
}

TEST(DiffDialog, CompareWritesReportAndCloses)
{
    TempDir dir;
    WriteFile(dir / "a.txt", "1\n2\n");
    WriteFile(dir / "b.txt", "1\n3\n");
    CDiffDlg dialog(QString::fromStdString(dir / "a.txt"), QString::fromStdString(dir / "r.html"));
    std::vector<std::string> messages;
    dialog.SetNotify([&messages](const std::string& m) { messages.push_back(m); });
    dialog.show();
    dialog.SecondEdit()->setText(QString::fromStdString(dir / "b.txt"));
    QTest::mouseClick(dialog.CompareButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_TRUE(dialog.Outcome().has_value());
    EXPECT_EQ(*dialog.Outcome(), CComparisonRun::Written);
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(ReadFile(dir / "r.html").find(">1 differences found."), std::string::npos);
}

TEST(DiffDialog, FailedCompareTellsAndStillCloses)
{
    TempDir dir;
    CDiffDlg dialog(QString::fromStdString(dir / "gone.txt"), QString::fromStdString(dir / "r.html"));
    std::vector<std::string> messages;
    dialog.SetNotify([&messages](const std::string& m) { messages.push_back(m); });
    dialog.show();
    dialog.SecondEdit()->setText(QStringLiteral("whatever"));
    QTest::mouseClick(dialog.CompareButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(*dialog.Outcome(), CComparisonRun::Missing);
    EXPECT_EQ(messages, std::vector<std::string>{dir / "gone.txt" + " does not exist."});

    CDiffDlg cancelled{QString(), QString()};
    cancelled.show();
    QTest::mouseClick(cancelled.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(cancelled.Outcome().has_value());
}

int main(int argc, char** argv)
{
    // Test discovery runs this without the test environment as well.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
