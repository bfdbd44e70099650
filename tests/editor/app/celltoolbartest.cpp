#include "editor/app/ccelltoolbar.h"

#include <QComboBox>

#include <gtest/gtest.h>

namespace {

TEST(CellToolBarTest, NumberBoxesStartWithStepAndFactor)
{
    CCellToolBar bar;
    EXPECT_DOUBLE_EQ(bar.Step(), 1.0);
    EXPECT_DOUBLE_EQ(bar.Factor(), 1.1);
    EXPECT_EQ(bar.CellList()->currentText(), QStringLiteral("Cell 1"));
    EXPECT_FALSE(bar.CellList()->isEnabled());
    bar.StepBox()->setEditText(QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(bar.Step(), 0.0);
}

TEST(CellToolBarTest, TypedNumbersAreRememberedOnceAndSorted)
{
    CCellToolBar bar;
    QComboBox* box = bar.StepBox();
    box->setEditText(QStringLiteral("0.5"));
    CCellToolBar::RememberText(box);
    CCellToolBar::RememberText(box);
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0), QStringLiteral("0.5"));
    EXPECT_EQ(box->itemText(1), QStringLiteral("1.0"));
    EXPECT_EQ(box->currentText(), QStringLiteral("0.5"));

    // The comparison ignores case, as the list's exact-string search does.
    box->setEditText(QStringLiteral("1e3"));
    CCellToolBar::RememberText(box);
    box->setEditText(QStringLiteral("1E3"));
    CCellToolBar::RememberText(box);
    EXPECT_EQ(box->count(), 3);
}

TEST(CellToolBarTest, CellListIsEnabledOnlyWithEntries)
{
    CCellToolBar bar;
    bar.SetCells({QStringLiteral("Setup"), QStringLiteral("cell 2")}, 1);
    EXPECT_TRUE(bar.CellList()->isEnabled());
    EXPECT_EQ(bar.CellList()->currentText(), QStringLiteral("cell 2"));
    bar.SelectCell(-1);
    EXPECT_EQ(bar.CellList()->currentIndex(), -1);
    bar.SetCells({}, -1);
    EXPECT_FALSE(bar.CellList()->isEnabled());
}

}  // namespace
