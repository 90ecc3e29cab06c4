#include "DibTestUtil.h"

#include "image/DibDepth.h"

#include <gtest/gtest.h>

using namespace dibtest;

namespace {

// A packed DIB with a 40-byte header, the given table bytes and pixel bytes.
HGLOBAL MakeRaw(LONG width, LONG height, WORD bits, DWORD compression, const std::vector<BYTE>& table,
                const std::vector<BYTE>& pixels, DWORD colorsUsed = 0, DWORD imageSize = 0)
{
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    h.biClrUsed = colorsUsed;
    h.biSizeImage = imageSize ? imageSize : static_cast<DWORD>(pixels.size());
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40 + table.size() + pixels.size());
    BYTE* p = static_cast<BYTE*>(GlobalLock(dib));
    std::memcpy(p, &h, 40);
    if (!table.empty())
        std::memcpy(p + 40, table.data(), table.size());
    if (!pixels.empty())
        std::memcpy(p + 40 + table.size(), pixels.data(), pixels.size());
    GlobalUnlock(dib);
    return dib;
}

std::vector<BYTE> GreyTable(int entries)
{
    std::vector<BYTE> table(entries * 4, 0);
    for (int i = 0; i < entries; ++i)
        table[i * 4] = table[i * 4 + 1] = table[i * 4 + 2] = static_cast<BYTE>(i * 10);
    return table;
}

} // namespace

TEST(DibDepth, MakeDib24ReturnsTwentyFourBitInputItself)
{
    Dib dib(CreateDib(4, 4, 24));
    EXPECT_EQ(dib.handle, MakeDib24(dib));
    EXPECT_EQ(nullptr, MakeDib24(nullptr));
}

TEST(DibDepth, MakeDib24ExpandsRunLengthData)
{
    // 3x1: a run of three index-1 pixels, end of bitmap.
    Dib rle(MakeRaw(3, 1, 8, BI_RLE8, GreyTable(256), {3, 1, 0, 1}));
    Dib wide(MakeDib24(rle));
    ASSERT_TRUE(wide.handle);
    ASSERT_NE(rle.handle, wide.handle);
    EXPECT_EQ(24, Header(wide).biBitCount);
    for (LONG x = 0; x < 3; ++x)
        EXPECT_EQ(RGB(10, 10, 10), Pixel24(wide, x, 0));
}

TEST(DibDepth, SixteenBitWideningReplicatesBits)
{
    // BI_RGB 555: white, black, pure red, a mid grey (5-bit 16).
    const WORD pixels[4] = {0x7FFF, 0x0000, 0x7C00, static_cast<WORD>((16 << 10) | (16 << 5) | 16)};
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(pixels), reinterpret_cast<const BYTE*>(pixels) + 8);
    Dib dib(MakeRaw(4, 1, 16, BI_RGB, {}, bytes));
    Dib wide(MakeDib24(dib));
    ASSERT_TRUE(wide.handle);
    EXPECT_EQ(RGB(255, 255, 255), Pixel24(wide, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(wide, 1, 0));
    EXPECT_EQ(RGB(255, 0, 0), Pixel24(wide, 2, 0));
    EXPECT_EQ(RGB(132, 132, 132), Pixel24(wide, 3, 0));
}

TEST(DibDepth, BitfieldsWideningReadsMasksAndGivesZeroForEmptyMask)
{
    // 32-bit bitfields: red 0xFF0000, green 0x00FF00, blue mask empty.
    std::vector<BYTE> masks(12, 0);
    DWORD red = 0xFF0000, green = 0xFF00, blue = 0;
    std::memcpy(&masks[0], &red, 4);
    std::memcpy(&masks[4], &green, 4);
    std::memcpy(&masks[8], &blue, 4);
    DWORD pixel = 0x123456;
    std::vector<BYTE> bytes(reinterpret_cast<BYTE*>(&pixel), reinterpret_cast<BYTE*>(&pixel) + 4);
    Dib dib(MakeRaw(1, 1, 32, BI_BITFIELDS, masks, bytes));
    Dib wide(MakeDib24(dib));
    ASSERT_TRUE(wide.handle);
    EXPECT_EQ(RGB(0x12, 0x34, 0), Pixel24(wide, 0, 0));
}

TEST(DibDepth, PaletteWideningReadsPixelsRightAfterTheUsedColors)
{
    // 16 colours used: pixels start after 64 table bytes; index 200 lies past the table and
    // reads as black instead of reading past the block.
    Dib dib(MakeRaw(3, 1, 8, BI_RGB, GreyTable(16), {2, 15, 200, 0}, 16));
    Dib wide(MakeDib24(dib));
    ASSERT_TRUE(wide.handle);
    EXPECT_EQ(RGB(20, 20, 20), Pixel24(wide, 0, 0));
    EXPECT_EQ(RGB(150, 150, 150), Pixel24(wide, 1, 0));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(wide, 2, 0));
}

TEST(DibDepth, OneAndFourBitPixelsWidenMostSignificantFirst)
{
    Dib one(MakeIndexed(10, 1, 1, {RGB(0, 0, 0), RGB(200, 100, 50)}, [](LONG x, LONG) { return x % 3 == 0; }));
    Dib wide(MakeDib24(one));
    for (LONG x = 0; x < 10; ++x)
        EXPECT_EQ(x % 3 == 0 ? RGB(200, 100, 50) : RGB(0, 0, 0), Pixel24(wide, x, 0)) << x;

    std::vector<COLORREF> table;
    for (int i = 0; i < 16; ++i)
        table.push_back(RGB(i, i * 2, i * 3));
    Dib four(MakeIndexed(5, 2, 4, table, [](LONG x, LONG y) { return x + y * 5; }));
    Dib wide4(MakeDib24(four));
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 5; ++x) {
            int i = x + y * 5;
            EXPECT_EQ(RGB(i, i * 2, i * 3), Pixel24(wide4, x, y));
        }
}

TEST(DibDepth, WidenDibTo8UnpacksOneAndFourBitPixels)
{
    Dib four(MakeIndexed(3, 1, 4, {RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)}, [](LONG x, LONG) { return 2 - x; }));
    Dib eight(ConvertDibDepth(four, 8));
    ASSERT_TRUE(eight.handle);
    ASSERT_NE(four.handle, eight.handle);
    EXPECT_EQ(8, Header(eight).biBitCount);
    BYTE* block = static_cast<BYTE*>(GlobalLock(eight));
    EXPECT_EQ(3, block[40 + 2 * 4]); // table entry 2 kept
    BYTE* bits = DibBits(block);
    EXPECT_EQ(2, bits[0]);
    EXPECT_EQ(1, bits[1]);
    EXPECT_EQ(0, bits[2]);
    GlobalUnlock(eight);

    Dib alreadyEight(CreateDib(2, 2, 8));
    EXPECT_EQ(alreadyEight.handle, ConvertDibDepth(alreadyEight, 8));
}

TEST(DibDepth, RleDecodingFollowsEscapesAndRefusesWritesOutsideThePicture)
{
    const struct
    {
        const char* name;
        std::vector<BYTE> stream;
        bool ok;
    } cases[] = {
        {"end of line after the last row then end of bitmap", {2, 7, 0, 0, 2, 7, 0, 0, 0, 1}, true},
        {"delta below the last row", {0, 2, 0, 2, 1, 5}, false},
        {"run past the row end is cut there", {3, 7}, true},
        {"literal past the row end is cut there", {0, 3, 1, 2, 3, 0}, true},
        {"delta past the row end", {0, 2, 3, 0}, false},
        {"write below the last row", {0, 0, 0, 0, 2, 7}, false},
        {"missing end of bitmap means done", {2, 7}, true},
        {"an odd trailing byte is ignored", {1, 7, 0}, true},
    };
    for (const auto& c : cases) {
        Dib rle(MakeRaw(2, 2, 8, BI_RLE8, GreyTable(256), c.stream));
        Dib out(DecodeRleDibHandle(rle));
        EXPECT_EQ(c.ok, out.handle != nullptr) << c.name;
    }
}

TEST(DibDepth, RleRunsPaddedPastTheRowEndAreCut)
{
    // As an image editor writes a 63x2 picture: 64-pixel runs, end of line after each row.
    Dib rle8(MakeRaw(63, 2, 8, BI_RLE8, GreyTable(256), {64, 5, 0, 0, 64, 9, 0, 0, 0, 1}));
    Dib out8(DecodeRleDibHandle(rle8));
    ASSERT_TRUE(out8.handle);
    BYTE* bits = Bits(out8);
    DWORD row = 64; // 63 bytes and one of padding
    EXPECT_EQ(5, bits[0]);
    EXPECT_EQ(5, bits[62]);
    EXPECT_EQ(0, bits[63]); // the row's padding stays untouched
    EXPECT_EQ(9, bits[row]);
    EXPECT_EQ(9, bits[row + 62]);
    Unlock(out8);
    // 4 bits: a 4-pixel literal into a 3-pixel row, then the next row.
    Dib rle4(MakeRaw(3, 2, 4, BI_RLE4, GreyTable(16), {0, 4, 0x12, 0x34, 0, 0, 4, 0x56, 0, 1}));
    Dib out4(DecodeRleDibHandle(rle4));
    ASSERT_TRUE(out4.handle);
    bits = Bits(out4);
    EXPECT_EQ(0x12, bits[0]);
    EXPECT_EQ(0x30, bits[1]);
    EXPECT_EQ(0x56, bits[4]);
    EXPECT_EQ(0x50, bits[5]);
    Unlock(out4);
}

TEST(DibDepth, Rle4RunsAlternateNibbles)
{
    // 5x1: a run of 5 pixels with value 0x12, end of bitmap.
    Dib rle(MakeRaw(5, 1, 4, BI_RLE4, GreyTable(16), {5, 0x12, 0, 1}));
    Dib out(DecodeRleDibHandle(rle));
    ASSERT_TRUE(out.handle);
    BYTE* bits = Bits(out);
    EXPECT_EQ(0x12, bits[0]);
    EXPECT_EQ(0x12, bits[1]);
    EXPECT_EQ(0x10, bits[2]);
    Unlock(out);
}

TEST(DibDepth, RleReadsStopAtTheEndOfTheBlock)
{
    // The header claims far more compressed data than the block holds.
    Dib rle(MakeRaw(4, 4, 8, BI_RLE8, GreyTable(256), {2, 9}, 0, 100000));
    Dib out(DecodeRleDibHandle(rle));
    ASSERT_TRUE(out.handle);
    BYTE* bits = Bits(out);
    EXPECT_EQ(9, bits[1]);
    EXPECT_EQ(0, bits[2]);
    Unlock(out);
}

TEST(DibDepth, AdjustDibColorCountsOnlyWholeFactors)
{
    Dib dib(Make24(1, 1, [](LONG, LONG) { return RGB(100, 100, 100); }));
    EXPECT_EQ(dib.handle, AdjustDibColor(dib, 0, 0, 0, 0.5));
    EXPECT_EQ(RGB(100, 100, 100), Pixel24(dib, 0, 0));
    AdjustDibColor(dib, 0, 0, 0, 1.0);
    EXPECT_EQ(RGB(190, 190, 190), Pixel24(dib, 0, 0));
    AdjustDibColor(dib, 100, -200, 5, 0);
    EXPECT_EQ(RGB(255, 0, 195), Pixel24(dib, 0, 0));
}

TEST(DibDepth, ResizeDibCanvasKeepsTheBottomLeftCorner)
{
    Dib dib(Make24(3, 3, [](LONG x, LONG y) { return RGB(x, y, 9); }));
    Dib bigger(ResizeDibCanvas(dib, 4, 2));
    ASSERT_TRUE(bigger.handle);
    EXPECT_EQ(4, Header(bigger).biWidth);
    // Rows are copied bottom first: the old bottom row stays the bottom row.
    EXPECT_EQ(RGB(2, 2, 9), Pixel24(bigger, 2, 1));
    EXPECT_EQ(RGB(0, 1, 9), Pixel24(bigger, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(bigger, 3, 0));
}

TEST(DibDepth, TheLockedRleDecoderReadsNoFurtherThanTheHeadersImageSize)
{
    // 4x1: two runs of two pixels.
    Dib rle8(MakeRaw(4, 1, 8, BI_RLE8, GreyTable(256), {2, 7, 2, 9, 0, 1}));
    Dib rle4(MakeRaw(4, 1, 4, BI_RLE4, GreyTable(16), {4, 0x12, 0, 1}));
    for (HGLOBAL dib : {static_cast<HGLOBAL>(rle8), static_cast<HGLOBAL>(rle4)}) {
        Dib handleForm(DecodeRleDibHandle(dib));
        Dib lockedForm(DecodeRleDib(GlobalLock(dib)));
        GlobalUnlock(dib);
        ASSERT_TRUE(lockedForm.handle);
        EXPECT_EQ(Bytes(handleForm), Bytes(lockedForm));
    }
    // The header tells only the first run: the second is never read.
    Dib cut(MakeRaw(4, 1, 8, BI_RLE8, GreyTable(256), {2, 7, 2, 9, 0, 1}, 0, 2));
    Dib first(DecodeRleDib(GlobalLock(cut)));
    GlobalUnlock(cut);
    ASSERT_TRUE(first.handle);
    BYTE* bits = Bits(first);
    EXPECT_EQ((std::vector<BYTE>{7, 7, 0, 0}), std::vector<BYTE>(bits, bits + 4));
    Unlock(first);
    // Only run-length data decode; the handle form gives back anything else as it is.
    Dib plain(MakeRaw(4, 1, 8, BI_RGB, GreyTable(256), {1, 2, 3, 4}));
    EXPECT_EQ(nullptr, DecodeRleDib(GlobalLock(plain)));
    GlobalUnlock(plain);
    EXPECT_EQ(nullptr, DecodeRleDib(nullptr));
}

TEST(DibDepth, TheHandleFormWidensSixteenAndThirtyTwoBitsOnly)
{
    const WORD pixels16[2] = {0x7C00, 0x001F};
    const DWORD pixels32[2] = {0x00FF00, 0x123456};
    Dib sixteen(MakeRaw(2, 1, 16, BI_RGB, {},
                        {reinterpret_cast<const BYTE*>(pixels16), reinterpret_cast<const BYTE*>(pixels16) + 4}));
    Dib thirtyTwo(MakeRaw(2, 1, 32, BI_RGB, {},
                          {reinterpret_cast<const BYTE*>(pixels32), reinterpret_cast<const BYTE*>(pixels32) + 8}));
    Dib red16(WidenDibHandle16or32To24(sixteen));
    Dib green32(WidenDibHandle16or32To24(thirtyTwo));
    ASSERT_TRUE(red16.handle);
    ASSERT_TRUE(green32.handle);
    EXPECT_EQ(24, Header(red16).biBitCount);
    EXPECT_EQ(RGB(255, 0, 0), Pixel24(red16, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), Pixel24(red16, 1, 0));
    EXPECT_EQ(RGB(0, 255, 0), Pixel24(green32, 0, 0));
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), Pixel24(green32, 1, 0));
    Dib wide(Make24(2, 1, [](LONG, LONG) { return RGB(1, 2, 3); }));
    EXPECT_EQ(nullptr, WidenDibHandle16or32To24(wide));
    EXPECT_EQ(nullptr, WidenDibHandle16or32To24(nullptr));
}
