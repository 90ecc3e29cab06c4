// CPoint, CSize and CRect operators and helpers.
#include "common/FrameworkTestUtil.h"

namespace {

bool Same(const RECT& r, int l, int t, int rt, int b)
{
    return r.left == l && r.top == t && r.right == rt && r.bottom == b;
}

TEST(Geometry, PointAndSizeArithmetic)
{
    CPoint p(10, 20);
    CSize s(3, 4);
    EXPECT_EQ(CPoint(13, 24), p + s);
    EXPECT_EQ(CPoint(7, 16), p - s);
    EXPECT_EQ(CSize(5, 10), p - CPoint(5, 10)); // point minus point is a size
    EXPECT_EQ(CPoint(-10, -20), -p);
    p += CPoint(1, 1);
    EXPECT_EQ(CPoint(11, 21), p);
    p.Offset(-1, -1);
    EXPECT_TRUE(p == CPoint(10, 20));
    // Packed coordinates are signed 16-bit halves.
    EXPECT_EQ(CPoint(-2, 3), CPoint(MAKELPARAM(-2, 3)));
    EXPECT_EQ(CSize(640, 480), CSize(MAKELONG(640, 480)));
    EXPECT_EQ(CPoint(0, 0), CPoint());
}

TEST(Geometry, RectangleMeasuresAndCorners)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(100, r.Width());
    EXPECT_EQ(50, r.Height());
    EXPECT_EQ(CSize(100, 50), r.Size());
    EXPECT_EQ(CPoint(60, 45), r.CenterPoint());
    r.TopLeft() = CPoint(0, 0); // the corners are references into the rectangle
    EXPECT_TRUE(Same(r, 0, 0, 110, 70));
    r.BottomRight().Offset(10, 10);
    EXPECT_TRUE(Same(r, 0, 0, 120, 80));
    EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
    EXPECT_FALSE(r.PtInRect(CPoint(120, 10))); // right and bottom edges are outside
    EXPECT_TRUE(CRect().IsRectNull());
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_FALSE(CRect(5, 5, 5, 9).IsRectNull());
}

TEST(Geometry, InflateDeflateOffsetAndNormalize)
{
    CRect r(10, 10, 20, 20);
    r.InflateRect(2, 3);
    EXPECT_TRUE(Same(r, 8, 7, 22, 23));
    r.DeflateRect(1, 2, 3, 4);
    EXPECT_TRUE(Same(r, 9, 9, 19, 19));
    r.OffsetRect(CSize(1, -1));
    EXPECT_TRUE(Same(r, 10, 8, 20, 18));
    r.MoveToXY(0, 0);
    EXPECT_TRUE(Same(r, 0, 0, 10, 10));
    CRect flipped(10, 10, 0, 0);
    flipped.NormalizeRect();
    EXPECT_TRUE(Same(flipped, 0, 0, 10, 10));
    EXPECT_TRUE(Same(CRect(0, 0, 4, 4) + CPoint(1, 2), 1, 2, 5, 6));
    EXPECT_TRUE(Same(CRect(0, 0, 4, 4) - CSize(1, 1), -1, -1, 3, 3));
    CRect margins(1, 1, 1, 1);
    EXPECT_TRUE(Same(CRect(0, 0, 4, 4) + &margins, -1, -1, 5, 5));
}

TEST(Geometry, IntersectionAndUnion)
{
    CRect a(0, 0, 10, 10), b(5, 5, 15, 15), distant(20, 20, 30, 30);
    EXPECT_TRUE(Same(a & b, 5, 5, 10, 10));
    EXPECT_TRUE(Same(a | b, 0, 0, 15, 15));
    CRect none;
    EXPECT_FALSE(none.IntersectRect(&a, &distant));
    EXPECT_TRUE(none.IsRectNull());
    CRect both;
    EXPECT_TRUE(both.UnionRect(&a, &distant));
    EXPECT_TRUE(Same(both, 0, 0, 30, 30));
    a &= b;
    EXPECT_TRUE(a == CRect(5, 5, 10, 10));
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(Same(CRect(0, 0, 10, 20).MulDiv(3, 2), 0, 0, 15, 30));
}

} // namespace
