// The thumbnail grid's geometry: columns and rows, pages, and the scroll units of tall grids.
#include <gtest/gtest.h>

#include "browser/ThumbGridLayout.h"

TEST(ThumbGridLayout, TenItemsOnThreeAndAHalfCellsMakeThreeColumnsOfFourRows)
{
    ThumbGridLayout layout;
    const int mask = layout.Update(CSize(350, 250), CSize(100, 100), 10);
    EXPECT_EQ(ThumbGridLayout::ChangedClient | ThumbGridLayout::ChangedTotal | ThumbGridLayout::ChangedPage, mask);
    EXPECT_EQ(3, layout.GetColumns());
    EXPECT_EQ(4, layout.GetRows());
    EXPECT_EQ(CSize(300, 400), layout.GetTotal());
    EXPECT_EQ(CSize(300, 200), layout.GetPage());
    EXPECT_EQ(ThumbGridLayout::NeedVertical, layout.GetScrollNeeds());
    // The last row holds one cell: index 9 starts it, and nothing is right of it.
    EXPECT_EQ(CPoint(0, 300), layout.GetCellOrigin(9));
    EXPECT_EQ(9, layout.IndexAt(CPoint(50, 350), 10));
    EXPECT_EQ(-1, layout.IndexAt(CPoint(150, 350), 10));
    EXPECT_EQ(-1, layout.IndexAt(CPoint(320, 50), 10));
    EXPECT_EQ(150, layout.GetMaxPosition());
    EXPECT_EQ(6, layout.GetFirstIndexAt(250));
    // The same layout again changes nothing.
    EXPECT_EQ(0, layout.Update(CSize(350, 250), CSize(100, 100), 10));
}

TEST(ThumbGridLayout, ATallGridCountsScrollUnitsOfSeveralPixelsAndStillReachesItsLastRow)
{
    ThumbGridLayout layout;
    layout.Update(CSize(250, 600), CSize(200, 200), 2000);
    ASSERT_EQ(1, layout.GetColumns());
    EXPECT_EQ(400000, layout.GetTotal().cy);
    EXPECT_NEAR(13.3333, layout.GetScale(), 0.0001);
    // Tracking the thumb to its end: the units of the last position bring back the last row.
    const int lastUnits = layout.ToUnits(layout.GetMaxPosition());
    const int position = layout.ClampPosition(layout.ToPixels(lastUnits + 1));
    EXPECT_EQ(layout.GetMaxPosition(), position);
    EXPECT_EQ(1999, layout.GetFirstIndexAt(position + 599));
    EXPECT_LE(layout.ToUnits(layout.GetTotal().cy), 30000);
}

TEST(ThumbGridLayout, AnEmptyClientOrCellLaysOutNothing)
{
    ThumbGridLayout layout;
    EXPECT_EQ(0, layout.Update(CSize(0, 300), CSize(100, 100), 10));
    EXPECT_EQ(0, layout.Update(CSize(300, 0), CSize(100, 100), 10));
    EXPECT_EQ(CSize(640, 400), layout.GetTotal());
    EXPECT_EQ(ThumbGridLayout::ChangedClient, layout.Update(CSize(300, 300), CSize(0, 100), 10));
    EXPECT_FALSE(layout.HasCells());
    EXPECT_EQ(-1, layout.IndexAt(CPoint(10, 10), 10));
    EXPECT_EQ(0, layout.GetFirstIndexAt(500));
    // A narrow client still has one column; no items still make one row.
    layout.Update(CSize(50, 300), CSize(100, 100), 0);
    EXPECT_EQ(1, layout.GetColumns());
    EXPECT_EQ(1, layout.GetRows());
    EXPECT_EQ(0, layout.GetScrollNeeds());
}
