#include "DibTestUtil.h"

#include "image/DibResample.h"
#include "image/RotateInfo.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dibtest;

namespace {

COLORREF Noise(LONG x, LONG y)
{
    unsigned v = static_cast<unsigned>(x * 7919 + y * 104729) * 2654435761u;
    return RGB(v >> 24, (v >> 16) & 255, (v >> 8) & 255);
}

// The box average computed per output pixel straight from its description (unturned).
COLORREF ReferenceAverage(HGLOBAL dib, LONG W, LONG H, LONG w, LONG h, LONG x, LONG y)
{
    double stepX = static_cast<double>(W) / w, stepY = static_cast<double>(H) / h;
    double dx = std::min(1.0, stepX / 3), dy = std::min(1.0, stepY / 3);
    double startX = 0 - stepX / 2 + x * stepX, startY = 0 - stepY / 2 + y * stepY;
    unsigned long long r = 0, g = 0, b = 0, n = 0;
    for (double sy = startY; sy < startY + stepY; sy += dy)
        for (double sx = startX; sx < startX + stepX; sx += dx) {
            LONG px = static_cast<LONG>(std::trunc(sx)), py = static_cast<LONG>(std::trunc(sy));
            if (px < 0 || py < 0 || px >= W || py >= H)
                continue;
            COLORREF c = Pixel24(dib, px, py);
            r += GetRValue(c);
            g += GetGValue(c);
            b += GetBValue(c);
            ++n;
        }
    if (!n)
        return 0;
    return RGB(r / n, g / n, b / n);
}

// Unturned bilinear per output pixel: rows from the bottom when enlarging, from the top
// otherwise; neighbours past the edge repeat it.
COLORREF ReferenceBilinear(HGLOBAL dib, LONG W, LONG H, LONG w, LONG h, LONG x, LONG y)
{
    double stepX = static_cast<double>(W) / w, stepY = static_cast<double>(H) / h;
    bool enlarging = stepX <= 1 && stepY <= 1;
    LONG yy = enlarging ? h - 1 - y : y; // output row in the counting of the branch
    double px = x * stepX, py = yy * stepY;
    LONG i = static_cast<LONG>(px), j = static_cast<LONG>(py);
    int fx = static_cast<int>((px - i) * 256), fy = static_cast<int>((py - j) * 256);
    auto at = [&](LONG xi, LONG yj) {
        xi = std::min(xi, W - 1);
        yj = std::min(yj, H - 1);
        return Pixel24(dib, xi, enlarging ? H - 1 - yj : yj);
    };
    COLORREF a = at(i, j), b = at(i + 1, j), c = at(i, j + 1), d = at(i + 1, j + 1);
    auto channel = [&](int shift) {
        int va = (a >> shift) & 255, vb = (b >> shift) & 255, vc = (c >> shift) & 255, vd = (d >> shift) & 255;
        int first = va + (((vb - va) * fx) >> 8), second = vc + (((vd - vc) * fx) >> 8);
        return std::min(255, std::max(0, first + (((second - first) * fy) >> 8)));
    };
    return RGB(channel(0), channel(8), channel(16));
}

} // namespace

TEST(DibResample, AverageMatchesThePerPixelArithmetic)
{
    const struct
    {
        LONG W, H, w, h;
    } sizes[] = {{6, 6, 2, 2}, {37, 23, 5, 4}, {100, 75, 33, 25}, {10, 7, 13, 9}, {301, 199, 160, 120}};
    for (const auto& s : sizes) {
        Dib dib(Make24(s.W, s.H, Noise));
        Dib out(ResampleDibAverage(dib, s.w, s.h, 0, 0, RGB(1, 2, 3)));
        ASSERT_TRUE(out.handle);
        ASSERT_NE(dib.handle, out.handle);
        for (LONG y = 0; y < s.h; ++y)
            for (LONG x = 0; x < s.w; ++x)
                ASSERT_EQ(ReferenceAverage(dib, s.W, s.H, s.w, s.h, x, y), Pixel24(out, x, y))
                    << s.W << "x" << s.H << "->" << s.w << "x" << s.h << " at " << x << "," << y;
    }
}

TEST(DibResample, BilinearMatchesThePerPixelArithmetic)
{
    const struct
    {
        LONG W, H, w, h;
    } sizes[] = {{2, 1, 4, 2}, {7, 5, 19, 11}, {40, 30, 31, 29}, {50, 20, 60, 10}, {250, 188, 160, 120}};
    for (const auto& s : sizes) {
        Dib dib(Make24(s.W, s.H, Noise));
        Dib out(ResampleDibBilinear(dib, s.w, s.h, 0, RGB(1, 2, 3)));
        ASSERT_TRUE(out.handle);
        for (LONG y = 0; y < s.h; ++y)
            for (LONG x = 0; x < s.w; ++x)
                ASSERT_EQ(ReferenceBilinear(dib, s.W, s.H, s.w, s.h, x, y), Pixel24(out, x, y))
                    << s.W << "x" << s.H << "->" << s.w << "x" << s.h << " at " << x << "," << y;
    }
}

TEST(DibResample, AverageBoxStartsHalfAStepBeforeItsCell)
{
    // 6 -> 2: cell 0 samples -1.5, -0.5, 0.5, of which -0.5 and 0.5 both truncate to column 0.
    Dib dib(Make24(6, 6, [](LONG x, LONG y) { return RGB(x * 10, y * 10, 0); }));
    Dib out(ResampleDibAverage(dib, 2, 2, 0, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(out, 0, 0));
    EXPECT_EQ(RGB(20, 20, 0), Pixel24(out, 1, 1)); // columns and rows 1, 2, 3
}

TEST(DibResample, BilinearEnlargingRepeatsTheEdgeInsteadOfBlendingWithBlack)
{
    Dib dib(Make24(2, 1, [](LONG x, LONG) { return RGB(x ? 200 : 100, 0, 0); }));
    Dib out(ResampleDibBilinear(dib, 4, 2, 0, 0));
    ASSERT_TRUE(out.handle);
    const int expected[4] = {100, 150, 200, 200};
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 4; ++x)
            EXPECT_EQ(expected[x], GetRValue(Pixel24(out, x, y))) << x << "," << y;
}

TEST(DibResample, ResizeChoosesTheResamplerByScale)
{
    Dib dib(Make24(9, 9, Noise));
    Dib third(ResizeDib(dib, 3, 3, 0, 0));
    Dib average(ResampleDibAverage(dib, 3, 3, 0, 0, 0));
    EXPECT_EQ(Bytes(average), Bytes(third));
    Dib twice(ResizeDib(dib, 18, 18, 0, 0));
    Dib bilinear(ResampleDibBilinear(dib, 18, 18, 0, 0));
    EXPECT_EQ(Bytes(bilinear), Bytes(twice));
}

TEST(DibResample, ResultsAreTwentyFourBitWithoutColorTable)
{
    Dib dib(MakeIndexed(8, 8, 8, {RGB(0, 0, 0), RGB(255, 128, 0)}, [](LONG x, LONG) { return x & 1; }));
    for (HGLOBAL out : {ResampleDibAverage(dib, 4, 4, 0, 0, 0), ResampleDibBilinear(dib, 16, 16, 0, 0)}) {
        Dib owned(out);
        BITMAPINFOHEADER h = Header(owned);
        EXPECT_EQ(24, h.biBitCount);
        EXPECT_EQ(0u, h.biClrUsed);
        EXPECT_EQ(40u + DibRowSize(&h) * h.biHeight, GlobalSize(owned));
    }
    Dib average(ResampleDibAverage(dib, 2, 2, 0, 0, 0));
    // Cell 1 takes columns 2 to 5: two black and two orange samples.
    EXPECT_EQ(RGB(127, 64, 0), Pixel24(average, 1, 0));
}

TEST(DibResample, TurnedResamplingFillsOutsideWithTheBackground)
{
    Dib dib(Make24(20, 20, [](LONG, LONG) { return RGB(50, 60, 70); }));
    const COLORREF background = RGB(1, 2, 3);
    CRotateInfo info(30);
    RECT r = info.GetBoundingRect(20, 20);
    LONG w = r.right - r.left, h = r.bottom - r.top;
    for (HGLOBAL out :
         {ResampleDibAverage(dib, w, h, 30, 0, background), ResampleDibBilinear(dib, w, h, 30, background)}) {
        Dib owned(out);
        EXPECT_EQ(background, Pixel24(owned, 0, 0));
        EXPECT_EQ(background, Pixel24(owned, w - 1, h - 1));
        EXPECT_EQ(RGB(50, 60, 70), Pixel24(owned, w / 2, h / 2));
    }
}

TEST(DibResample, QuarterTurnShortcutsAndBadSizesGiveTheInputOrATurn)
{
    Dib dib(Make24(3, 2, Noise));
    EXPECT_EQ(dib.handle, ResizeDib(dib, 3, 2, 0, 0));
    EXPECT_EQ(dib.handle, ResizeDib(dib, 0, 5, 0, 0));
    EXPECT_EQ(dib.handle, ResampleDibBilinear(dib, 4, -1, 0, 0));
    Dib turned(ResampleDibAverage(dib, 2, 3, 90, 0, 0));
    EXPECT_EQ(Noise(0, 1), Pixel24(turned, 0, 0));
}
