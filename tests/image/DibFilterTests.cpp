#include "DibTestUtil.h"
#include "ImageSamples.h"

#include "image/DibFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace dibtest;
using samples::IndexAt;

namespace {

int Formula(COLORREF c)
{
    return static_cast<int>(0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c));
}

HGLOBAL Make16(LONG width, LONG height, const std::vector<WORD>& pixels)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 16;
    HGLOBAL dib = CreateDibFromHeader(&header);
    BYTE* bits = Bits(dib);
    DWORD row = ((width * 16 + 31) / 32) * 4;
    for (LONG y = 0; y < height; ++y)
        std::memcpy(bits + (height - 1 - y) * row, &pixels[y * width], width * 2);
    Unlock(dib);
    return dib;
}

COLORREF Noise(LONG x, LONG y)
{
    return RGB((x * 37 + y * 11) % 256, (x * 5 + y * 71) % 256, (x * y * 13) % 256);
}

} // namespace

TEST(DibFilter, GreyConversionFollowsTheWeightedSum)
{
    struct Case
    {
        COLORREF colour;
        int grey;
    };
    const Case cases[] = {{RGB(255, 0, 0), 76}, {RGB(255, 255, 255), 255},
                          {RGB(0, 0, 0), 0},    {RGB(0, 255, 0), 149},
                          {RGB(0, 0, 255), 29}, {RGB(128, 128, 128), Formula(RGB(128, 128, 128))}};
    Dib dib(Make24(6, 1, [&](LONG x, LONG) { return cases[x].colour; }));
    Dib grey(ConvertDibToGray(dib));
    ASSERT_NE(dib.handle, grey.handle);
    BITMAPINFOHEADER h = Header(grey);
    EXPECT_EQ(8, h.biBitCount);
    EXPECT_EQ(CalcDibImageSize(6, 1, 8), h.biSizeImage);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(cases[x].grey, IndexAt(grey, x, 0)) << x;
    BYTE* block = static_cast<BYTE*>(GlobalLock(grey));
    EXPECT_EQ(RGB(77, 77, 77), GetDibColorEntry(block, 77));
    GlobalUnlock(grey);
}

TEST(DibFilter, GreyConversionReadsPalettesAndWidensOtherDepths)
{
    Dib twoColour(MakeIndexed(9, 2, 1, {RGB(0, 0, 0), RGB(255, 255, 255)}, [](LONG x, LONG) { return x & 1; }));
    Dib fromTwo(ConvertDibToGray(twoColour));
    EXPECT_EQ(0, IndexAt(fromTwo, 0, 0));
    EXPECT_EQ(0, IndexAt(fromTwo, 8, 1));
    EXPECT_EQ(255, IndexAt(fromTwo, 7, 1));

    // An index past the two stored colours reads black.
    Dib shortTable(
        MakeIndexed(3, 1, 8, {RGB(255, 0, 0), RGB(0, 0, 255)}, [](LONG x, LONG) { return x == 2 ? 250 : x; }));
    Dib fromShort(ConvertDibToGray(shortTable));
    EXPECT_EQ(76, IndexAt(fromShort, 0, 0));
    EXPECT_EQ(29, IndexAt(fromShort, 1, 0));
    EXPECT_EQ(0, IndexAt(fromShort, 2, 0));

    // 16 bits: 5-5-5 red and white, read as pixels, not as three-byte groups.
    Dib sixteen(Make16(3, 1, {0x7C00, 0x7FFF, 0x001F}));
    Dib fromSixteen(ConvertDibToGray(sixteen));
    ASSERT_NE(sixteen.handle, fromSixteen.handle);
    EXPECT_EQ(76, IndexAt(fromSixteen, 0, 0));
    EXPECT_EQ(255, IndexAt(fromSixteen, 1, 0));
    EXPECT_EQ(29, IndexAt(fromSixteen, 2, 0));
}

TEST(DibFilter, UnsharpMaskLeavesFlatAndZeroFactorPicturesUnchanged)
{
    Dib flat(Make24(5, 4, [](LONG, LONG) { return RGB(100, 150, 200); }));
    Dib sharpened(UnsharpMaskDib(flat, 3.0));
    EXPECT_EQ(Bytes(flat), Bytes(sharpened));
    Dib noisy(Make24(7, 5, Noise));
    Dib zero(UnsharpMaskDib(noisy, 0.0));
    ASSERT_NE(noisy.handle, zero.handle);
    EXPECT_EQ(Bytes(noisy), Bytes(zero));
}

TEST(DibFilter, UnsharpMaskPushesAwayFromTheNeighbourMean)
{
    // A single bright pixel in the middle of grey: mean of four neighbours 50, 150 + 100 * 0.5.
    Dib dib(Make24(3, 3, [](LONG x, LONG y) { return x == 1 && y == 1 ? RGB(150, 150, 150) : RGB(50, 50, 50); }));
    Dib out(UnsharpMaskDib(dib, 0.5));
    EXPECT_EQ(RGB(200, 200, 200), Pixel24(out, 1, 1));
    // Corner: neighbours (50, 50) -> mean 50, unchanged; edge middle (0, 1): neighbours 50, 150, 50.
    EXPECT_EQ(RGB(50, 50, 50), Pixel24(out, 0, 0));
    EXPECT_EQ(RGB(34, 34, 34), Pixel24(out, 0, 1)); // 50 + trunc((50 - 83) * 0.5)
    Dib strong(UnsharpMaskDib(dib, 10));
    EXPECT_EQ(RGB(255, 255, 255), Pixel24(strong, 1, 1));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(strong, 0, 1));
}

TEST(DibFilter, KernelSharpeningWithoutTableEqualsUnsharpMask)
{
    Dib noisy(Make24(9, 6, Noise));
    for (double factor : {0.3, 1.0, 2.5}) {
        Dib a(UnsharpMaskDib(noisy, factor));
        Dib b(SharpenDibKernel(noisy, factor, 0, nullptr));
        EXPECT_EQ(Bytes(a), Bytes(b)) << factor;
    }
    // The four-neighbour kernel given as a table is the same filter.
    const int cross[9] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    Dib c(SharpenDibKernel(noisy, 1.0, 3, cross));
    Dib d(UnsharpMaskDib(noisy, 1.0));
    EXPECT_EQ(Bytes(c), Bytes(d));
    // A 5 x 5 box differs but keeps a flat picture flat.
    std::vector<int> box(25, 1);
    Dib flat(Make24(6, 6, [](LONG, LONG) { return RGB(9, 99, 199); }));
    Dib e(SharpenDibKernel(flat, 2.0, 5, box.data()));
    EXPECT_EQ(Bytes(flat), Bytes(e));
}

// The sharpening rule pixel by pixel on the bytes as stored (rows bottom-up): the weighted mean of
// the neighbourhood's taps inside the picture, the difference scaled and truncated, clamped.
std::vector<BYTE> SharpenedByTheRule(HGLOBAL dib, double factor, int size, const int* weights)
{
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(dib));
    const BYTE* bits = DibBits(block);
    const LONG width = DibWidth(block), height = DibHeight(block);
    const LONG row = static_cast<LONG>(DibRowSize(block));
    std::vector<BYTE> out(bits, bits + row * height);
    const int radius = (size - 1) / 2;
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                long long sum = 0, weightSum = 0;
                for (int ky = 0; ky < size; ++ky)
                    for (int kx = 0; kx < size; ++kx) {
                        const LONG sx = x + kx - radius, sy = y + ky - radius;
                        const int weight = weights[ky * size + kx];
                        if (weight != 0 && sx >= 0 && sx < width && sy >= 0 && sy < height) {
                            sum += static_cast<long long>(weight) * bits[sy * row + sx * 3 + c];
                            weightSum += weight;
                        }
                    }
                const int p = bits[y * row + x * 3 + c];
                const long long mean = sum / (weightSum == 0 ? 1 : weightSum);
                const long long v = p + static_cast<long long>(std::trunc((p - mean) * factor));
                out[y * row + x * 3 + c] = static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
    GlobalUnlock(dib);
    return out;
}

TEST(DibFilter, KernelSharpeningFollowsTheRuleAtEveryPixelForEveryKernel)
{
    struct Kernel
    {
        int size;
        std::vector<int> weights;
    };
    const Kernel kernels[] = {
        {3, {1, 1, 1, 1, 0, 1, 1, 1, 1}},     // the default ring
        {3, {0, 1, 0, 1, 0, 1, 0, 1, 0}},     // four neighbours
        {3, {-1, 2, -1, 2, 5, 2, -1, 2, -1}}, // negative taps
        {3, {1, -1, 0, 0, 0, 0, 0, -1, 1}},   // weights that cancel out
        {2, {1, 2, 3, 4}},                    // an even size reaches further right and down
        {4, std::vector<int>(16, 1)},
        {5, std::vector<int>(25, 3)},
        {1, {7}},
        {3, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {3, {100000, 1, 1, 1, 0, 1, 1, 1, -99999}}, // sums too wide for the quick path
    };
    for (const auto& size : {std::pair<LONG, LONG>{1, 1}, {2, 3}, {5, 4}, {23, 17}}) {
        Dib picture(Make24(size.first, size.second, [](LONG x, LONG y) {
            return RGB((x * 97 + y * 31) % 256, (x * y * 7 + 3) % 256, (x ^ y) * 9 % 256);
        }));
        for (const Kernel& kernel : kernels)
            for (double factor : {0.3, 0.38, 1.0, 10.0, -0.5}) {
                Dib sharpened(SharpenDibKernel(picture, factor, kernel.size, kernel.weights.data()));
                const BYTE* block = static_cast<const BYTE*>(GlobalLock(sharpened));
                std::vector<BYTE> pixels(DibBits(block), DibBits(block) + DibRowSize(block) * size.second);
                GlobalUnlock(sharpened);
                EXPECT_EQ(SharpenedByTheRule(picture, factor, kernel.size, kernel.weights.data()), pixels)
                    << size.first << "x" << size.second << " kernel " << kernel.size << " factor " << factor;
            }
    }
}

TEST(DibFilter, SharpeningLeavesOtherDepthsAsAnUnchangedCopy)
{
    Dib palette(MakeIndexed(4, 4, 8, {RGB(1, 2, 3), RGB(4, 5, 6)}, [](LONG x, LONG) { return x & 1; }));
    Dib out(UnsharpMaskDib(palette, 2.0));
    ASSERT_NE(palette.handle, out.handle);
    EXPECT_EQ(Bytes(palette), Bytes(out));
}

TEST(DibFilter, FlipMirrorsRowsOrPixelsInPlace)
{
    Dib row(Make24(3, 2, [](LONG x, LONG y) { return RGB(x * 10, y, 5); }));
    EXPECT_EQ(row.handle, FlipDib(row, 1));
    EXPECT_EQ(RGB(20, 0, 5), Pixel24(row, 0, 0));
    EXPECT_EQ(RGB(10, 0, 5), Pixel24(row, 1, 0));
    EXPECT_EQ(RGB(0, 1, 5), Pixel24(row, 2, 1));
    EXPECT_EQ(row.handle, FlipDib(row, 0));
    EXPECT_EQ(RGB(20, 1, 5), Pixel24(row, 0, 0));

    // Palette depths: widths that are not a multiple of the pixels a byte holds.
    for (WORD bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const LONG w = 11;
        auto index = [&](LONG x, LONG y) { return static_cast<int>((x * 3 + y) % (bits == 1 ? 2 : 7)); };
        Dib dib(MakeIndexed(w, 2, bits, std::vector<COLORREF>(bits == 1 ? 2 : 16, 0), index));
        Dib expected(MakeIndexed(w, 2, bits, std::vector<COLORREF>(bits == 1 ? 2 : 16, 0),
                                 [&](LONG x, LONG y) { return index(w - 1 - x, y); }));
        FlipDib(dib, 1);
        EXPECT_EQ(Bytes(expected), Bytes(dib));
    }
}

TEST(DibFilter, EdgeFilterKeepsTheLastColumnAndRow)
{
    Dib dib(Make24(3, 3, [](LONG x, LONG) { return x == 2 ? RGB(200, 200, 200) : RGB(100, 100, 100); }));
    Dib out(EdgeDib(dib));
    // Stored row 0 is the bottom row: its next stored row is the one above.
    EXPECT_EQ(RGB(100, 100, 100), Pixel24(out, 0, 2));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(out, 1, 2)); // 100 - |200 - 100|
    EXPECT_EQ(RGB(200, 200, 200), Pixel24(out, 2, 2));
    EXPECT_EQ(Pixel24(dib, 1, 0), Pixel24(out, 1, 0)); // the last stored row is the top one
}

TEST(DibFilter, InvertTouchesOnlyTheStoredTableOfPalettePictures)
{
    Dib palette(MakeIndexed(4, 1, 8, {RGB(0, 10, 255), RGB(1, 2, 3)}, [](LONG x, LONG) { return x & 1; }));
    Dib inverted(InvertDib(palette));
    BYTE* block = static_cast<BYTE*>(GlobalLock(inverted));
    EXPECT_EQ(RGB(255, 245, 0), GetDibColorEntry(block, 0));
    EXPECT_EQ(RGB(254, 253, 252), GetDibColorEntry(block, 1));
    GlobalUnlock(inverted);
    std::vector<BYTE> before = Bytes(palette), after = Bytes(inverted);
    EXPECT_TRUE(std::equal(before.begin() + 48, before.end(), after.begin() + 48));

    Dib rgb(Make24(4, 1, [](LONG, LONG) { return RGB(10, 20, 30); }));
    Dib out(InvertDib(rgb));
    EXPECT_EQ(RGB(245, 235, 225), Pixel24(out, 3, 0));
}
