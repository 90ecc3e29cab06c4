#include "DibTestUtil.h"

#include "image/DibColor.h"

#include <gtest/gtest.h>

using namespace dibtest;

TEST(DibColor, BrightnessFollowsThePercentages)
{
    Dib dib(Make24(2, 1, [](LONG x, LONG) { return x ? RGB(200, 100, 0) : RGB(0, 50, 255); }));
    auto before = Bytes(dib);
    AdjustDibRgb(dib, 0, 0, 0);
    EXPECT_EQ(before, Bytes(dib));
    AdjustDibRgb(dib, 100, -50, 10);
    // v >= 0: c + (255 - c) * v / 100; v < 0: c * (v + 100) / 100.
    EXPECT_EQ(RGB(255, 50, 25), Pixel24(dib, 1, 0));
    EXPECT_EQ(RGB(255, 25, 255), Pixel24(dib, 0, 0));
}

TEST(DibColor, BrightnessOfPaletteDibsChangesTheTable)
{
    Dib dib(MakeIndexed(2, 2, 8, {RGB(10, 20, 30), RGB(200, 200, 200)}, [](LONG x, LONG) { return x; }));
    AdjustDibRgb(dib, -100, 0, 50);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(block + 40);
    EXPECT_EQ(0, table[0].rgbRed);
    EXPECT_EQ(20, table[0].rgbGreen);
    EXPECT_EQ(30 + 225 / 2, table[0].rgbBlue);
    GlobalUnlock(dib);
}

TEST(DibColor, ContrastStretchIsIdentityOnFullRange)
{
    Dib dib(Make24(256, 1, [](LONG x, LONG) { return RGB(x, 255 - x, x / 2 * 2); }));
    auto before = Bytes(dib);
    AdjustDibContrast(dib, 256);
    EXPECT_EQ(before, Bytes(dib));
}

TEST(DibColor, ContrastStretchMapsTheChannelRange)
{
    Dib dib(Make24(3, 1, [](LONG x, LONG) { return RGB(100 + x * 25, 0, 0); }));
    AdjustDibContrast(dib, 256);
    EXPECT_EQ(0, GetRValue(Pixel24(dib, 0, 0)));
    EXPECT_EQ(128, GetRValue(Pixel24(dib, 1, 0)));
    EXPECT_EQ(255, GetRValue(Pixel24(dib, 2, 0)));
}

TEST(DibColor, ContrastLeavesFlatChannelsUnchangedInsteadOfDividingByZero)
{
    Dib dib(Make24(4, 4, [](LONG, LONG) { return RGB(77, 77, 77); }));
    auto before = Bytes(dib);
    AdjustDibContrast(dib, 128);
    EXPECT_EQ(before, Bytes(dib));

    Dib palette(MakeIndexed(2, 2, 1, {RGB(5, 5, 5)}, [](LONG, LONG) { return 0; }));
    auto paletteBefore = Bytes(palette);
    AdjustDibContrast(palette, 200);
    EXPECT_EQ(paletteBefore, Bytes(palette));
}

TEST(DibColor, ChannelRangeAndHistogram)
{
    Dib dib(Make24(2, 2, [](LONG x, LONG y) { return RGB(10 + x, 20 + y, 30 + x + y); }));
    DibChannelStats stats = {};
    GetDibChannelRange(dib, &stats);
    EXPECT_EQ(10, stats.redLow);
    EXPECT_EQ(11, stats.redHigh);
    EXPECT_EQ(20, stats.greenLow);
    EXPECT_EQ(21, stats.greenHigh);
    EXPECT_EQ(30, stats.blueLow);
    EXPECT_EQ(32, stats.blueHigh);
    GetDibHistogram(dib, &stats);
    EXPECT_EQ(2u, stats.blue[31]);
    EXPECT_EQ(2u, stats.red[10]);
}
