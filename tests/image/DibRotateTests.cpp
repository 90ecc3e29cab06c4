#include "DibTestUtil.h"

#include "image/DibRotate.h"
#include "image/RotateInfo.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dibtest;

namespace {

COLORREF Marker(LONG x, LONG y)
{
    return RGB(10 + x, 20 + y, 30 + x * 3 + y);
}

int IndexAt(HGLOBAL dib, LONG x, LONG y)
{
    void* block = GlobalLock(dib);
    int value = static_cast<int>(GetDibPixel(block, x, y));
    GlobalUnlock(dib);
    return value;
}

} // namespace

TEST(RotateInfo, AngleSetsCosineSineAndFlag)
{
    CRotateInfo none(0.5);
    EXPECT_FALSE(none.m_rotating);
    EXPECT_EQ(1024, none.m_cos1024);
    EXPECT_EQ(0, none.m_sin1024);

    CRotateInfo quarter(90);
    EXPECT_TRUE(quarter.m_rotating);
    EXPECT_EQ(0, quarter.m_cos1024);
    EXPECT_EQ(1024, quarter.m_sin1024);

    CRotateInfo diagonal(45);
    EXPECT_EQ(724, diagonal.m_cos1024);
    EXPECT_EQ(724, diagonal.m_sin1024);

    CRotateInfo notANumber(std::nan(""));
    EXPECT_FALSE(notANumber.m_rotating);
}

TEST(RotateInfo, BoundingRectTurnsTheFourCorners)
{
    CRotateInfo quarter(90);
    RECT r = quarter.GetBoundingRect(3, 2);
    EXPECT_EQ(-2, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(0, r.right);
    EXPECT_EQ(3, r.bottom);

    CRotateInfo diagonal(45);
    r = diagonal.GetBoundingRect(100, 100);
    EXPECT_EQ(-71, r.left); // (0 - 724 * 100) >> 10, an arithmetic shift
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(70, r.right);
    EXPECT_EQ(141, r.bottom);

    CRotateInfo none(0);
    r = none.GetBoundingRect(5, 7);
    EXPECT_EQ(5, r.right);
    EXPECT_EQ(7, r.bottom);
}

TEST(DibRotate, WholeTurnsReturnTheInputItself)
{
    Dib dib(Make24(3, 2, Marker));
    for (double angle : {0.0, 360.0, 720.0, -360.0})
        EXPECT_EQ(dib.handle, RotateDib(dib, angle)) << angle;
}

TEST(DibRotate, QuarterTurnClockwiseMovesBottomLeftToTopLeft)
{
    Dib dib(Make24(3, 2, Marker));
    Dib turned(RotateDib(dib, 90));
    ASSERT_TRUE(turned.handle);
    EXPECT_EQ(2, Header(turned).biWidth);
    EXPECT_EQ(3, Header(turned).biHeight);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 2; ++x)
            EXPECT_EQ(Marker(y, 1 - x), Pixel24(turned, x, y)) << x << "," << y;
}

TEST(DibRotate, HalfAndThreeQuarterTurns)
{
    Dib dib(Make24(3, 2, Marker));
    Dib half(RotateDib(dib, 180));
    Dib back(RotateDib(dib, 270));
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x)
            EXPECT_EQ(Marker(2 - x, 1 - y), Pixel24(half, x, y));
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 2; ++x)
            EXPECT_EQ(Marker(2 - y, x), Pixel24(back, x, y));
}

TEST(DibRotate, QuarterTestAcceptsOnlyRemaindersJustAboveAMultiple)
{
    Dib dib(Make24(3, 2, Marker));
    Dib above(RotateDib(dib, 90.00005));
    EXPECT_EQ(3, Header(above).biHeight); // the exact quarter turn
    Dib below(RotateDib(dib, 89.99995));
    EXPECT_EQ(2, Header(below).biHeight); // the general path with the integer turn
}

TEST(DibRotate, QuarterTurnsMoveSubBytePixels)
{
    for (WORD bits : {1, 4, 8}) {
        int colors = 1 << bits;
        std::vector<COLORREF> table(colors);
        auto index = [colors](LONG x, LONG y) { return (x * 3 + y * 5) % colors; };
        Dib dib(MakeIndexed(11, 5, bits, table, index));
        Dib turned(RotateDib(dib, 90));
        Dib back(RotateDib(dib, 270));
        ASSERT_TRUE(turned.handle && back.handle);
        for (LONG y = 0; y < 11; ++y)
            for (LONG x = 0; x < 5; ++x) {
                EXPECT_EQ(index(y, 4 - x), IndexAt(turned, x, y)) << bits;
                EXPECT_EQ(index(10 - y, x), IndexAt(back, x, y)) << bits;
            }
    }
}

TEST(DibRotate, QuarterTurnOfSixteenBitDibIsZeroFilled)
{
    HGLOBAL raw = CreateDib(3, 2, 16);
    BYTE* bits = Bits(raw);
    std::memset(bits, 0x5A, 8 * 2);
    Unlock(raw);
    Dib dib(raw);
    Dib turned(RotateDib(dib, 90));
    ASSERT_TRUE(turned.handle);
    BYTE* out = Bits(turned);
    for (DWORD i = 0; i < GetDibImageSize(turned); ++i)
        EXPECT_EQ(0, out[i]);
    Unlock(turned);
}

TEST(DibRotate, DiagonalTurnLeavesBlackOrIndexZeroCorners)
{
    Dib dib(Make24(20, 20, [](LONG, LONG) { return RGB(200, 200, 200); }));
    Dib turned(RotateDib(dib, 45));
    ASSERT_TRUE(turned.handle);
    LONG w = Header(turned).biWidth, h = Header(turned).biHeight;
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(turned, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(turned, w - 1, h - 1));
    EXPECT_EQ(RGB(200, 200, 200), Pixel24(turned, w / 2, h / 2));

    Dib indexed(
        MakeIndexed(20, 20, 8, {RGB(0, 0, 0), RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)}, [](LONG, LONG) { return 3; }));
    Dib turned8(RotateDib(indexed, 45));
    EXPECT_EQ(8, Header(turned8).biBitCount);
    EXPECT_EQ(0, IndexAt(turned8, 0, 0));
    EXPECT_EQ(3, IndexAt(turned8, Header(turned8).biWidth / 2, Header(turned8).biHeight / 2));
}

TEST(DibRotate, RotateResizeNearestPixel)
{
    Dib dib(Make24(3, 2, Marker));
    EXPECT_EQ(dib.handle, RotateResizeDib(dib, 3, 2, 0));
    Dib doubled(RotateResizeDib(dib, 6, 4, 0));
    ASSERT_TRUE(doubled.handle);
    // Source = trunc(x * 0.5 + 0.5): columns 0, 1, 1, 2, 2, 3 (outside, black).
    EXPECT_EQ(Marker(0, 0), Pixel24(doubled, 0, 0));
    EXPECT_EQ(Marker(1, 0), Pixel24(doubled, 1, 0));
    EXPECT_EQ(Marker(2, 1), Pixel24(doubled, 4, 2));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(doubled, 5, 0));
    Dib quarter(RotateResizeDib(dib, 2, 3, 90));
    EXPECT_EQ(Marker(0, 1), Pixel24(quarter, 0, 0));
}

TEST(DibRotate, APixelSetIsThePixelReadAndNothingOutsideThePictureIsWritten)
{
    const struct
    {
        WORD bits;
        DWORD value;
    } cases[] = {{1, 1}, {4, 0xB}, {8, 0xC7}, {24, 0x123456}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        Dib dib(CreateDib(5, 3, c.bits));
        const std::vector<BYTE> empty = Bytes(dib);
        void* block = GlobalLock(dib);
        for (POINT outside : {POINT{-1, 0}, POINT{5, 0}, POINT{0, -1}, POINT{0, 3}})
            SetDibPixel(block, outside.x, outside.y, c.value);
        GlobalUnlock(dib);
        EXPECT_EQ(empty, Bytes(dib));
        block = GlobalLock(dib);
        SetDibPixel(block, 3, 1, c.value);
        EXPECT_EQ(c.value, GetDibPixel(block, 3, 1));
        EXPECT_EQ(0u, GetDibPixel(block, 2, 1));
        EXPECT_EQ(0u, GetDibPixel(block, 4, 1));
        EXPECT_EQ(0u, GetDibPixel(block, 3, 0));
        GlobalUnlock(dib);
    }
    // A depth the accessors do not know is left alone.
    Dib sixteen(CreateDib(2, 2, 16));
    const std::vector<BYTE> before = Bytes(sixteen);
    SetDibPixel(GlobalLock(sixteen), 1, 1, 0xFFFF);
    GlobalUnlock(sixteen);
    EXPECT_EQ(before, Bytes(sixteen));
    SetDibPixel(nullptr, 0, 0, 1);
}
