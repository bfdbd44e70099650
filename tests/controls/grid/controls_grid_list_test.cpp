// The grid control and the list with column profiles, driven with keys and
// the mouse on the offscreen platform.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QStandardItemModel>

#include <gtest/gtest.h>

#include "controls/cgridctrl.h"
#include "controls/clistctrlex.h"
#include "platform/cprofile.h"
#include "tests/main/console/kestrunetestsupport.h"

namespace {

QPoint CellCentre(CGridCtrl& grid, int row, int column)
{
    return grid.visualRect(grid.Model()->index(row, column)).center();
}

TEST(ControlsGrid, CopyCutPasteAndARefusedEdit)
{
    CGridCtrl grid;
    grid.resize(500, 300);
    grid.show();
    const QByteArray text = "a b c d e f";
    std::vector<CGridSpan> spans;
    for (quint32 i = 0; i < 6; ++i)
        spans.push_back({i * 2, 1});
    grid.Model()->SetContent(2, 3, text, spans);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(grid, 0, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(grid, 1, 1));
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "a\tb\nd\te\n");
    QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(grid.Model()->CellText(1, 1), "");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(grid, 1, 2));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    // Pasted from the focus cell on, cut at the grid's edge.
    EXPECT_EQ(grid.Model()->CellText(1, 2), "a");
    EXPECT_EQ(grid.Model()->CellText(0, 2), "c");

    int edits = 0;
    grid.Model()->SetEditHandler([&](int, int, const QString&) { return ++edits > 1; });
    QTest::keyClicks(&grid, "9");
    QLineEdit* editor = grid.findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return edits == 1; }, 2000));
    EXPECT_EQ(grid.Model()->CellText(1, 2), "a");
}

TEST(ControlsList, ColumnLayoutComesBackFromTheProfile)
{
    QSettings(QStringLiteral("Halvard"), QStringLiteral("ListTest")).clear();
    QStandardItemModel model(2, 3);
    model.setHorizontalHeaderLabels({"A", "B", "C"});
    {
        CListCtrlEx list;
        list.setModel(&model);
        list.SetColumnProfile(CProfile(QStringLiteral("ListTest")), QStringLiteral("TestList"));
        list.header()->resizeSection(1, 151);
        list.header()->moveSection(2, 0);
        list.header()->setSortIndicator(1, Qt::DescendingOrder);
    }
    CListCtrlEx list;
    list.setModel(&model);
    list.SetColumnProfile(CProfile(QStringLiteral("ListTest")), QStringLiteral("TestList"));
    EXPECT_EQ(list.header()->sectionSize(1), 151);
    EXPECT_EQ(list.header()->logicalIndex(0), 2);
    EXPECT_EQ(list.header()->sortIndicatorSection(), 1);
}

TEST(ControlsList, NumberColumnsCompareTheLeadingInteger)
{
    EXPECT_EQ(CListCtrlEx::LeadingInteger("  -12abc"), -12);
    EXPECT_EQ(CListCtrlEx::LeadingInteger("x9"), 0);
    EXPECT_EQ(CListCtrlEx::LeadingInteger("99999999999999999999999"), LLONG_MAX);
    EXPECT_FALSE(CListCtrlEx::Less(CListCtrlEx::SortNumber, "2.9", "2.5"));
    EXPECT_TRUE(CListCtrlEx::Less(CListCtrlEx::SortNumber, "16", "120"));
    EXPECT_TRUE(CListCtrlEx::Less(CListCtrlEx::SortText, "Z", "a"));
    EXPECT_TRUE(CListCtrlEx::Less(CListCtrlEx::SortText, "z", "\xC3\xA9"));  // bytes, not signed chars
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
