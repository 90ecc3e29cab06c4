#include "DibTestUtil.h"

#include "image/DibDepth.h"
#include "image/DibFile.h"

#include "framework/Framework.h"

#include <gtest/gtest.h>

using namespace dibtest;

namespace {

std::vector<BYTE> FileBytes(HGLOBAL dib)
{
    ScratchFolder folder;
    std::wstring path = folder.File(L"x.bmp");
    if (!WriteBmpFile(path.c_str(), dib))
        return {};
    return ReadWholeFile(path);
}

HGLOBAL ReadFromBytes(std::vector<BYTE> data)
{
    CMemFile file(data.data(), static_cast<UINT>(data.size()));
    return ReadBmp(&file);
}

void Put32(std::vector<BYTE>& data, size_t at, DWORD value)
{
    std::memcpy(&data[at], &value, 4);
}

} // namespace

TEST(DibFile, WriteBmpOfOnePixelWritesFiftyEightBytes)
{
    Dib dib(Make24(1, 1, [](LONG, LONG) { return RGB(10, 20, 30); }));
    std::vector<BYTE> bytes = FileBytes(dib);
    ASSERT_EQ(58u, bytes.size());
    EXPECT_EQ('B', bytes[0]);
    EXPECT_EQ('M', bytes[1]);
    EXPECT_EQ(58u, bytes[2] | bytes[3] << 8);
    EXPECT_EQ(0, bytes[6] | bytes[7] | bytes[8] | bytes[9]);
    EXPECT_EQ(54, bytes[10]);
    EXPECT_EQ(40, bytes[14]);
    EXPECT_EQ(30, bytes[54]); // blue, green, red
    EXPECT_EQ(10, bytes[56]);
}

TEST(DibFile, ReadBmpFileRoundTripsEveryDepth)
{
    ScratchFolder folder;
    std::vector<HGLOBAL> pictures = {
        Make24(7, 5, [](LONG x, LONG y) { return RGB(x * 30, y * 40, 9); }),
        MakeIndexed(7, 5, 8, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, [](LONG x, LONG y) { return (x + y) % 3; }),
        MakeIndexed(7, 5, 4, {RGB(255, 0, 0), RGB(0, 0, 255)}, [](LONG x, LONG) { return x & 1; }),
        MakeIndexed(13, 3, 1, {RGB(0, 0, 0), RGB(255, 255, 255)}, [](LONG x, LONG y) { return (x ^ y) & 1; }),
    };
    for (HGLOBAL picture : pictures) {
        Dib dib(picture);
        std::wstring path = folder.File(L"round.bmp");
        ASSERT_TRUE(WriteBmpFile(path.c_str(), dib));
        Dib back(ReadBmpFile(path.c_str()));
        ASSERT_TRUE(back.handle);
        std::vector<BYTE> in = Bytes(dib), out = Bytes(back);
        ASSERT_EQ(in.size(), out.size());
        EXPECT_TRUE(std::equal(in.begin() + 40, in.end(), out.begin() + 40));
    }
    EXPECT_EQ(nullptr, ReadBmpFile(folder.File(L"missing.bmp").c_str()));
}

TEST(DibFile, RefusesHeaderSizesThatWouldOverrunTheHeader)
{
    Dib dib(Make24(2, 2, [](LONG, LONG) { return RGB(1, 1, 1); }));
    std::vector<BYTE> good = FileBytes(dib);
    Dib control(ReadFromBytes(good));
    ASSERT_TRUE(control.handle);
    for (DWORD size : {0u, 3u, 4u, 39u, 64u, 125u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<BYTE> bad = good;
        Put32(bad, 14, size);
        EXPECT_EQ(nullptr, ReadFromBytes(bad)) << size;
    }
    std::vector<BYTE> huge = good;
    Put32(huge, 18, 0x7FFFFFFF);
    EXPECT_EQ(nullptr, ReadFromBytes(huge));
    std::vector<BYTE> foreign = good;
    foreign[0] = 'X';
    EXPECT_EQ(nullptr, ReadFromBytes(foreign));
    EXPECT_EQ(nullptr, ReadFromBytes(std::vector<BYTE>(good.begin(), good.begin() + 20)));
}

TEST(DibFile, ReadBmpReadsWhatTheHeaderPromisesAndNoMore)
{
    Dib dib(Make24(5, 3, [](LONG x, LONG y) { return RGB(x * 40, y * 80, 7); }));
    ScratchFolder folder;
    std::wstring path = folder.File(L"five.bmp");
    ASSERT_TRUE(WriteBmpFile(path.c_str(), dib));
    std::vector<BYTE> bmp = ReadWholeFile(path);
    const size_t promised = bmp.size(); // 14 + 40 + 3 rows of 16 bytes
    // A megabyte of something else after the picture is not read.
    std::vector<BYTE> data = bmp;
    data.resize(promised + (1 << 20), 0x77);
    CMemFile file(data.data(), static_cast<UINT>(data.size()));
    Dib back(ReadBmp(&file));
    ASSERT_TRUE(back);
    EXPECT_EQ(promised, file.GetPosition());
    EXPECT_EQ(RGB(160, 160, 7), Pixel24(back, 4, 2));
}

TEST(DibFile, ShortFileLeavesTheMissingRowsZero)
{
    Dib dib(Make24(4, 4, [](LONG, LONG) { return RGB(200, 200, 200); }));
    std::vector<BYTE> bytes = FileBytes(dib);
    bytes.resize(54 + 16 * 2); // the two bottom rows only
    Dib back(ReadFromBytes(bytes));
    ASSERT_TRUE(back.handle);
    EXPECT_EQ(RGB(200, 200, 200), Pixel24(back, 0, 3));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(back, 0, 0));
}

TEST(DibFile, TopDownCoreAndRunLengthFilesAreNormalised)
{
    // Top-down 24-bit 1x2: the first stored row is the top.
    std::vector<BYTE> topDown = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    std::vector<BYTE> info(40, 0);
    Put32(info, 0, 40);
    Put32(info, 4, 1);
    Put32(info, 8, static_cast<DWORD>(-2));
    info[12] = 1;
    info[14] = 24;
    topDown.insert(topDown.end(), info.begin(), info.end());
    for (BYTE b : {0, 0, 255, 0, 255, 0, 0, 0})
        topDown.push_back(b);
    Dib flipped(ReadFromBytes(topDown));
    ASSERT_TRUE(flipped.handle);
    EXPECT_EQ(RGB(255, 0, 0), Pixel24(flipped, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), Pixel24(flipped, 0, 1));

    // RLE8 4x1 with a two-entry table, pixels after a gap that the pixel offset skips.
    std::vector<BYTE> rle = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 70, 0, 0, 0};
    std::vector<BYTE> rleInfo(40, 0);
    Put32(rleInfo, 0, 40);
    Put32(rleInfo, 4, 4);
    Put32(rleInfo, 8, 1);
    rleInfo[12] = 1;
    rleInfo[14] = 8;
    Put32(rleInfo, 16, BI_RLE8);
    Put32(rleInfo, 20, 4);
    Put32(rleInfo, 32, 2);
    rle.insert(rle.end(), rleInfo.begin(), rleInfo.end());
    for (BYTE b : {0, 0, 0, 0, 0, 0, 255, 0, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 4, 1, 0, 1})
        rle.push_back(b);
    Dib expanded(ReadFromBytes(rle));
    ASSERT_TRUE(expanded.handle);
    Dib wide(MakeDib24(expanded));
    for (LONG x = 0; x < 4; ++x)
        EXPECT_EQ(RGB(255, 0, 0), Pixel24(wide, x, 0));

    // An OS/2 core header with a three-byte table.
    std::vector<BYTE> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0};
    for (BYTE b : {0, 0, 0, 0, 255, 0, 0x40, 0, 0, 0})
        core.push_back(b);
    Dib fromCore(ReadFromBytes(core));
    ASSERT_TRUE(fromCore.handle);
    Dib coreWide(MakeDib24(fromCore));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(coreWide, 0, 0));
    EXPECT_EQ(RGB(0, 255, 0), Pixel24(coreWide, 1, 0));
}

TEST(DibFile, WriteBmpFileFailsCleanly)
{
    ScratchFolder folder;
    std::wstring path = folder.File(L"keep.bmp");
    WriteWholeFile(path, {1, 2, 3});
    EXPECT_FALSE(WriteBmpFile(path.c_str(), nullptr));
    EXPECT_EQ(3u, ReadWholeFile(path).size()); // a null DIB leaves the file alone
    Dib dib(Make24(2, 2, [](LONG, LONG) { return RGB(1, 1, 1); }));
    EXPECT_FALSE(WriteBmpFile(folder.File(L"no\\such\\x.bmp").c_str(), dib));
    EXPECT_FALSE(WriteBmp(nullptr, dib));
}
