#include "DibTestUtil.h"

#include "image/DibDepth.h"
#include "image/DibValidate.h"

#include "foundation/TestSettings.h"

#include <gtest/gtest.h>

using namespace dibtest;

namespace {

// A packed DIB as bytes: header of the given size (fields at the 40-byte positions), then extra.
std::vector<BYTE> Packed(DWORD headerSize, LONG width, LONG height, WORD bits, DWORD compression,
                         const std::vector<BYTE>& rest, DWORD colorsUsed = 0, DWORD imageSize = 0)
{
    std::vector<BYTE> out(headerSize, 0);
    std::memcpy(&out[0], &headerSize, 4);
    std::memcpy(&out[4], &width, 4);
    std::memcpy(&out[8], &height, 4);
    WORD planes = 1;
    std::memcpy(&out[12], &planes, 2);
    std::memcpy(&out[14], &bits, 2);
    std::memcpy(&out[16], &compression, 4);
    std::memcpy(&out[20], &imageSize, 4);
    std::memcpy(&out[32], &colorsUsed, 4);
    if (!rest.empty())
        out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

} // namespace

TEST(DibValidate, TopDownRowsAreFlippedToBottomUp)
{
    // Two rows of one 24-bit pixel each: top red, bottom blue (rows padded to 4 bytes).
    auto data = Packed(40, 1, -2, 24, BI_RGB, {0, 0, 255, 0, 255, 0, 0, 0});
    Dib dib(NormalizeDib(data.data(), data.size()));
    ASSERT_TRUE(dib.handle);
    EXPECT_EQ(2, Header(dib).biHeight);
    EXPECT_EQ(RGB(255, 0, 0), Pixel24(dib, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), Pixel24(dib, 0, 1));
}

TEST(DibValidate, CoreHeaderBecomesInfoHeaderWithQuadTable)
{
    std::vector<BYTE> core = {12, 0, 0, 0, 9, 0, 1, 0, 1, 0, 1, 0};
    // RGBTRIPLE table: black, then (blue 10, green 20, red 30); one row of 9 pixels, bit 0 set.
    std::vector<BYTE> rest = {0, 0, 0, 10, 20, 30, 0x80, 0x80, 0, 0};
    core.insert(core.end(), rest.begin(), rest.end());
    Dib dib(NormalizeDib(core.data(), core.size()));
    ASSERT_TRUE(dib.handle);
    BITMAPINFOHEADER h = Header(dib);
    EXPECT_EQ(40u, h.biSize);
    EXPECT_EQ(9, h.biWidth);
    Dib wide(MakeDib24(dib));
    EXPECT_EQ(RGB(30, 20, 10), Pixel24(wide, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(wide, 1, 0));
    EXPECT_EQ(RGB(30, 20, 10), Pixel24(wide, 8, 0));
}

TEST(DibValidate, VersionFiveBitfieldsKeepTheirMasks)
{
    // 16-bit 565 with the masks inside a 124-byte header; one pixel of pure green.
    auto data = Packed(124, 1, 1, 16, BI_BITFIELDS, {0xE0, 0x07, 0, 0});
    DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(&data[40], masks, sizeof(masks));
    Dib dib(NormalizeDib(data.data(), data.size()));
    ASSERT_TRUE(dib.handle);
    EXPECT_EQ(40u, Header(dib).biSize);
    Dib wide(MakeDib24(dib));
    EXPECT_EQ(RGB(0, 255, 0), Pixel24(wide, 0, 0));
}

TEST(DibValidate, RefusesHeadersThatWouldOverrunOrUnderflow)
{
    const std::vector<BYTE> pixels(64, 0);
    std::vector<std::vector<BYTE>> refused = {
        Packed(40, 65500, 65500, 24, BI_RGB, pixels),
        Packed(40, 0x7FFFFFFF, 1, 32, BI_RGB, pixels),
        Packed(40, -4, 4, 24, BI_RGB, pixels),
        Packed(40, 4, 0, 24, BI_RGB, pixels),
        Packed(40, 4, static_cast<LONG>(0x80000000), 24, BI_RGB, pixels),
        Packed(40, 4, 4, 0, BI_RGB, pixels),
        Packed(40, 4, 4, 8, BI_RGB, pixels, 0xFFFFFFFF),
        Packed(40, 4, 4, 24, BI_RGB, pixels, 257),
        Packed(40, 4, -4, 8, BI_RLE8, pixels, 0, 10),
        Packed(40, 4, 4, 24, BI_RLE8, pixels),
        Packed(40, 4, 4, 24, BI_PNG, pixels),
        Packed(40, 300, 300, 8, BI_RGB, {}), // the colour table is missing altogether
    };
    for (DWORD size : {3u, 4u, 16u, 64u, 100u}) {
        std::vector<BYTE> odd(size < 40 ? 40 : size, 0);
        std::memcpy(&odd[0], &size, 4);
        refused.push_back(odd);
    }
    std::vector<BYTE> huge(40, 0);
    DWORD hugeSize = 0x7FFFFFFF;
    std::memcpy(&huge[0], &hugeSize, 4);
    refused.push_back(huge);
    for (size_t i = 0; i < refused.size(); ++i)
        EXPECT_EQ(nullptr, NormalizeDib(refused[i].data(), refused[i].size())) << i;
    EXPECT_EQ(nullptr, NormalizeDib(nullptr, 100));
}

// One picture may take a quarter of a gigabyte: the 32-bit process keeps its caches, a second
// picture and the copies a picture passes through beside it. A 61-megapixel photo fits.
TEST(DibValidate, OnePictureTakesAQuarterOfAGigabyteAtMost)
{
    static const struct
    {
        long long width, height;
        WORD bits;
        bool allowed;
    } cases[] = {
        {9504, 6336, 24, true},   // 61 megapixels, 181 MB
        {10000, 8900, 24, true},  // 267,000,000 bytes of rows
        {12000, 8000, 24, false}, // 288,000,000
        {8192, 8191, 32, true},   // 268,402,688
        {8192, 8192, 32, false},  // 2^28, with the header past the cap
        {16384, 16383, 8, true},  // 268,419,072 and the table
        {16384, 16384, 8, false}, // 2^28 and the table
        {20000, 20000, 1, true},  // 50,000,000
        {30288, 33881, 8, false}, // 1,026,187,236
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.allowed, IsDibSizeAllowed(c.width, c.height, c.bits))
            << c.width << "x" << c.height << "x" << c.bits;
    // A stored picture just past the cap is refused from its header, before its rows are looked at.
    // The log names what was refused.
    auto tooLarge = Packed(40, 12000, 8000, 24, BI_RGB, std::vector<BYTE>(64, 0));
    CapturedLog log;
    EXPECT_EQ(nullptr, NormalizeDib(tooLarge.data(), tooLarge.size()));
    ASSERT_EQ(1u, log.records.size());
    EXPECT_NE(-1, log.records[0].message.Find(L"picture refused: 12000 x 8000 pixels at 24 bits"))
        << static_cast<const wchar_t*>(log.records[0].message);
}

TEST(DibValidate, MissingRowsStayZero)
{
    auto data = Packed(40, 1, 3, 24, BI_RGB, {1, 2, 3, 0});
    Dib dib(NormalizeDib(data.data(), data.size()));
    ASSERT_TRUE(dib.handle);
    EXPECT_EQ(RGB(3, 2, 1), Pixel24(dib, 0, 2));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(dib, 0, 0));
}

TEST(DibValidate, RunLengthDataIsExpanded)
{
    // 4x2 RLE8: a run of four 1s, end of line, three literals 2 3 2 (padded), end of bitmap.
    std::vector<BYTE> table(8, 0);
    table[4] = 0xFF;
    std::vector<BYTE> rle = {4, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 1};
    table.insert(table.end(), rle.begin(), rle.end());
    auto data = Packed(40, 4, 2, 8, BI_RLE8, table, 2, static_cast<DWORD>(rle.size()));
    Dib dib(NormalizeDib(data.data(), data.size()));
    ASSERT_TRUE(dib.handle);
    BITMAPINFOHEADER h = Header(dib);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), h.biCompression);
    BYTE* bits = Bits(dib);
    EXPECT_EQ(1, bits[0]);
    EXPECT_EQ(1, bits[3]);
    EXPECT_EQ(2, bits[4]);
    EXPECT_EQ(3, bits[5]);
    EXPECT_EQ(2, bits[6]);
    EXPECT_EQ(0, bits[7]);
    Unlock(dib);
}

TEST(DibValidate, AdoptKeepsNormalDibsAndReplacesOthers)
{
    HGLOBAL normal = CreateDib(3, 3, 24);
    EXPECT_EQ(normal, AdoptDib(normal));
    GlobalFree(normal);

    auto data = Packed(40, 1, -1, 24, BI_RGB, {9, 8, 7, 0});
    HGLOBAL topDown = GlobalAlloc(GMEM_MOVEABLE, data.size());
    std::memcpy(GlobalLock(topDown), data.data(), data.size());
    GlobalUnlock(topDown);
    Dib adopted(AdoptDib(topDown));
    ASSERT_TRUE(adopted.handle);
    EXPECT_EQ(1, Header(adopted).biHeight);
    EXPECT_EQ(RGB(7, 8, 9), Pixel24(adopted, 0, 0));

    // A block shorter than its header promises is copied into a full block with zero rows.
    auto shortData = Packed(40, 2, 2, 24, BI_RGB, {});
    HGLOBAL shortBlock = GlobalAlloc(GMEM_MOVEABLE, shortData.size());
    std::memcpy(GlobalLock(shortBlock), shortData.data(), shortData.size());
    GlobalUnlock(shortBlock);
    Dib grown(AdoptDib(shortBlock));
    ASSERT_TRUE(grown.handle);
    EXPECT_GE(GlobalSize(grown), 40u + 16u);

    auto bad = Packed(40, 2, 2, 13, BI_RGB, {});
    HGLOBAL badBlock = GlobalAlloc(GMEM_MOVEABLE, bad.size());
    std::memcpy(GlobalLock(badBlock), bad.data(), bad.size());
    GlobalUnlock(badBlock);
    EXPECT_EQ(nullptr, AdoptDib(badBlock));
}
