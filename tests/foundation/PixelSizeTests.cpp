#include "foundation/PixelSize.h"

#include <gtest/gtest.h>

#include <climits>

TEST(PixelSize, RowsArePaddedToFourBytesAtEveryDepth)
{
    struct Row
    {
        LONGLONG width;
        unsigned bits;
        ULONGLONG bytes;
    } rows[] = {
        {1, 1, 4},   {32, 1, 4}, {33, 1, 8},  {7, 4, 4},  {9, 4, 8},          {3, 8, 4},
        {5, 8, 8},   {1, 16, 4}, {3, 16, 8},  {1, 24, 4}, {5, 24, 16},        {4, 24, 12},
        {3, 32, 12}, {0, 24, 0}, {-7, 24, 0}, {10, 0, 0}, {LLONG_MIN, 32, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.bytes, PixelRowBytes(row.width, row.bits)) << row.width << " x " << row.bits;
}

TEST(PixelSize, LargeImagesAreCountedInSixtyFourBitsAndSaturateInsteadOfWrapping)
{
    // 65536 x 65536 at 24 bits is 12 GB: 0 in 32 bits, the size that divided by zero.
    EXPECT_EQ(12884901888ull, PixelImageBytes(65536, 65536, 24));
    EXPECT_EQ(0x7FFFFFFFull * 4 * 0x7FFFFFFF, PixelImageBytes(0x7FFFFFFF, 0x7FFFFFFF, 32));
    EXPECT_EQ(~0ull, PixelImageBytes(LLONG_MAX, 2, 32));
    EXPECT_EQ(~0ull, PixelImageBytes(1ll << 40, 1ll << 40, 32));
    EXPECT_EQ(0u, PixelImageBytes(100, 0, 24));
    EXPECT_EQ(0u, PixelImageBytes(100, -5, 24));
    EXPECT_EQ(~0ull, SaturatedSum(~0ull - 1, 2));
    EXPECT_EQ(~0ull, SaturatedProduct(1ull << 33, 1ull << 31));
    EXPECT_EQ(6u, SaturatedProduct(2, 3));
}
