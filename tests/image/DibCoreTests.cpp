#include "DibTestUtil.h"

#include "image/DibCore.h"

#include <gtest/gtest.h>

using namespace dibtest;

namespace {

std::vector<BYTE> HeaderBytes(DWORD size, LONG width, LONG height, WORD bits, DWORD compression = BI_RGB,
                              DWORD imageSize = 0, DWORD colorsUsed = 0)
{
    std::vector<BYTE> h(size < 40 || size > 124 ? 40 : size, 0);
    std::memcpy(&h[0], &size, 4);
    std::memcpy(&h[4], &width, 4);
    std::memcpy(&h[8], &height, 4);
    WORD planes = 1;
    std::memcpy(&h[12], &planes, 2);
    std::memcpy(&h[14], &bits, 2);
    std::memcpy(&h[16], &compression, 4);
    std::memcpy(&h[20], &imageSize, 4);
    std::memcpy(&h[32], &colorsUsed, 4);
    return h;
}

} // namespace

TEST(DibCore, HeaderKindFollowsHeaderSize)
{
    const struct
    {
        DWORD size;
        int kind;
    } table[] = {{12, 2}, {40, 3}, {108, 4}, {124, 5}, {64, 0}, {3, 0}, {0, 0}, {0x7FFFFFFF, 0}};
    for (const auto& row : table) {
        auto h = HeaderBytes(row.size, 1, 1, 24);
        EXPECT_EQ(row.kind, GetDibHeaderKind(h.data())) << row.size;
    }
    EXPECT_EQ(0, GetDibHeaderKind(nullptr));
    EXPECT_EQ(0u, DibHeaderSize(nullptr));
}

TEST(DibCore, ColorTableAndImageSizesFollowTheHeader)
{
    const struct
    {
        DWORD headerSize;
        WORD bits;
        DWORD compression;
        DWORD colorsUsed;
        DWORD imageField;
        DWORD table;
        DWORD quads;
        DWORD image;
    } table[] = {
        {40, 1, BI_RGB, 0, 0, 8, 8, 4 * 3},
        {40, 4, BI_RGB, 0, 0, 64, 64, 4 * 3},
        {40, 8, BI_RGB, 16, 0, 64, 64, 8 * 3},
        {40, 24, BI_RGB, 0, 0, 0, 0, 16 * 3},
        {40, 16, BI_BITFIELDS, 0, 0, 12, 12, 12 * 3},
        {40, 8, BI_RLE8, 0, 77, 1024, 1024, 77},
        {40, 24, BI_RGB, 0, 999, 0, 0, 16 * 3},
        // A 64-byte header is unknown: like a core header it counts 3 bytes a colour and ignores
        // the RLE image-size field.
        {64, 8, BI_RLE8, 0, 77, 768, 1024, 8 * 3},
        {12, 8, BI_RGB, 0, 0, 768, 1024, 8 * 3},
    };
    for (const auto& row : table) {
        auto h = HeaderBytes(row.headerSize, 5, 3, row.bits, row.compression, row.imageField, row.colorsUsed);
        EXPECT_EQ(row.table, DibColorTableSize(h.data())) << row.bits << " " << row.headerSize;
        EXPECT_EQ(row.quads, DibQuadTableSize(h.data())) << row.bits << " " << row.headerSize;
        EXPECT_EQ(row.image, DibImageSize(h.data())) << row.bits << " " << row.headerSize;
        EXPECT_EQ(row.headerSize + row.table + row.image, DibTotalSize(h.data()));
    }
}

TEST(DibCore, HandleFormsReadTheHeaderAndCopiesTakeTheWholeBlock)
{
    Dib dib(CreateDib(7, 5, 8));
    EXPECT_EQ(7, GetDibWidth(dib));
    EXPECT_EQ(5, GetDibHeight(dib));
    EXPECT_EQ(8, GetDibBitCount(dib));
    EXPECT_EQ(8u * 5, GetDibImageSize(dib));
    EXPECT_EQ(40u + 1024 + 40, GetDibTotalSize(dib));
    EXPECT_EQ(0, GetDibWidth(nullptr));
    EXPECT_EQ(0u, GetDibTotalSize(nullptr));
    Dib copy(CopyGlobal(dib));
    ASSERT_TRUE(copy.handle);
    EXPECT_NE(dib.handle, copy.handle);
    EXPECT_EQ(Bytes(dib), Bytes(copy));
    EXPECT_EQ(nullptr, CopyGlobal(nullptr));
}

TEST(DibCore, CreateDibFromHeaderFillsGreyRamps)
{
    Dib one(CreateDib(1, 1, 1));
    BYTE* block = static_cast<BYTE*>(GlobalLock(one));
    EXPECT_EQ(0, block[40]);
    EXPECT_EQ(255, block[44]);
    EXPECT_EQ(255, block[46]);
    GlobalUnlock(one);

    Dib four(CreateDib(1, 1, 4));
    block = static_cast<BYTE*>(GlobalLock(four));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(i * 17, block[40 + i * 4 + 1]) << i;
    GlobalUnlock(four);

    Dib eight(CreateDib(1, 1, 8));
    block = static_cast<BYTE*>(GlobalLock(eight));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(i, block[40 + i * 4 + 2]) << i;
    GlobalUnlock(eight);

    // A one-entry table holds black instead of dividing by zero.
    auto h = HeaderBytes(40, 2, 2, 8, BI_RGB, 0, 1);
    Dib single(CreateDibFromHeader(h.data()));
    ASSERT_TRUE(single.handle);
    block = static_cast<BYTE*>(GlobalLock(single));
    EXPECT_EQ(0, block[40] | block[41] | block[42]);
    GlobalUnlock(single);
}

TEST(DibCore, CreateDibFromHeaderRefusesHeadersThatWouldOverrun)
{
    const std::vector<BYTE> refused[] = {
        HeaderBytes(40, 65500, 65500, 24),  // 12 GB
        HeaderBytes(40, 0x7FFFFFFF, 1, 32), // row size wraps in 32 bits
        HeaderBytes(40, 10, -10, 24),       // top-down is flipped by the validation point only
        HeaderBytes(40, 0, 10, 24),
        HeaderBytes(40, 10, 10, 7),
        HeaderBytes(40, 10, 10, 8, BI_RGB, 0, 0xFFFFFFFF), // colours used beyond the depth
        HeaderBytes(40, 10, 10, 24, BI_JPEG),
        HeaderBytes(108, 10, 10, 24), // only 40-byte headers are made
    };
    for (const auto& h : refused)
        EXPECT_EQ(nullptr, CreateDibFromHeader(h.data()));
}

TEST(DibCore, ColorEntriesReadAndWriteTheTable)
{
    Dib dib(CreateDib(2, 2, 4));
    void* block = GlobalLock(dib);
    SetDibColorEntry(RGB(1, 2, 3), block, 5);
    EXPECT_EQ(RGB(1, 2, 3), GetDibColorEntry(block, 5));
    EXPECT_EQ(RGB(17, 17, 17), GetDibColorEntry(block, 1));
    EXPECT_EQ(0u, GetDibColorEntry(block, 16)); // past the table
    GlobalUnlock(dib);
}
