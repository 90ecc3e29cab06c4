#include "DibTestUtil.h"

#include "../../bench/BenchJpeg.h"

#include "foundation/VyxGlobalErrorException.h"
#include "image/DibDepth.h"
#include "image/codecs/ImgFile.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/JpegMemory.h"
#include "image/codecs/JpegStart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace dibtest;

namespace {

COLORREF Smooth(LONG x, LONG y)
{
    return RGB((x * 3) & 255, (y * 5) & 255, 100);
}

std::vector<BYTE> JpegOf(HGLOBAL dib, int quality = 90)
{
    JpegFile codec;
    codec.m_dib = dib;
    codec.m_quality = quality;
    if (codec.SaveToMemory() != 0)
        return {};
    return std::vector<BYTE>(codec.m_buffer.GetData(), codec.m_buffer.GetData() + codec.m_buffer.GetCapacity());
}

int Distance(COLORREF a, COLORREF b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

void SetInput(ImageFileBase& codec, const std::vector<BYTE>& data)
{
    codec.m_data = data.data();
    codec.m_dataSize = static_cast<DWORD>(data.size());
}

// A codec that only records how it was called.
class RecordingCodec : public ImageFileBase
{
public:
    int Decode() override
    {
        ++calls;
        seen.assign(m_data, m_data + m_dataSize);
        return 42;
    }
    int calls = 0;
    std::vector<BYTE> seen;
};

// A CMYK JPEG, which this libjpeg cannot turn into RGB.
std::vector<BYTE> CmykJpeg()
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &data, &size);
    cinfo.image_width = 8;
    cinfo.image_height = 8;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<BYTE> row(32, 77);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<BYTE> out(data, data + size);
    std::free(data);
    return out;
}

} // namespace

TEST(JpegFile, DecodesAtEveryScaleWithPowerOfTwoReductions)
{
    Dib dib(Make24(320, 240, Smooth));
    std::vector<BYTE> jpeg = JpegOf(dib);
    ASSERT_FALSE(jpeg.empty());
    const struct
    {
        int scale;
        LONG width, height;
    } table[] = {{0, 320, 240}, {1, 320, 240}, {2, 160, 120}, {3, 160, 120}, {4, 80, 60},  {5, 80, 60},
                 {7, 80, 60},   {8, 40, 30},   {16, 40, 30},  {32, 40, 30},  {64, 40, 30}, {-5, 320, 240}};
    for (const auto& row : table) {
        JpegFile codec;
        SetInput(codec, jpeg);
        codec.m_scale = row.scale;
        ASSERT_EQ(0, codec.Decode()) << row.scale;
        Dib out(codec.m_dib);
        EXPECT_EQ(row.width, Header(out).biWidth) << row.scale;
        EXPECT_EQ(row.height, Header(out).biHeight) << row.scale;
        EXPECT_EQ(24, Header(out).biBitCount);
        EXPECT_EQ(row.width, codec.m_width);
    }
}

// libjpeg's own rows for the picture at the scale, top first, row by row.
std::vector<std::vector<BYTE>> LibraryRows(const std::vector<BYTE>& jpeg, int denominator)
{
    std::vector<std::vector<BYTE>> rows;
    std::vector<BYTE> row;
    DecodeScaledBare(jpeg, denominator, row, [&](const std::vector<BYTE>& line) { rows.push_back(line); });
    return rows;
}

TEST(JpegFile, EveryRowOfTheDibIsTheLibrarysRowWhateverTheSizesBefore)
{
    // Widths and heights that leave partial bands, wide after narrow and narrow after wide.
    const SIZE sizes[] = {{300, 37}, {17, 5}, {640, 16}, {33, 161}, {1, 1}, {300, 37}};
    for (const SIZE& size : sizes)
        for (int reduction : {1, 2}) {
            SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy << " / " << reduction);
            Dib source(Make24(size.cx, size.cy, [](LONG x, LONG y) { return RGB(x * 7, y * 13, (x ^ y) * 5); }));
            const std::vector<BYTE> jpeg = JpegOf(source);
            HGLOBAL decoded = nullptr;
            ASSERT_EQ(0, JpegDecodeDib(jpeg.data(), jpeg.size(), reduction, &decoded));
            Dib dib(decoded);
            const std::vector<std::vector<BYTE>> rows = LibraryRows(jpeg, reduction);
            const BYTE* block = static_cast<const BYTE*>(GlobalLock(dib));
            ASSERT_EQ(static_cast<LONG>(rows.size()), DibHeight(block));
            for (size_t y = 0; y < rows.size(); ++y) {
                const BYTE* stored = DibBits(block) + (rows.size() - 1 - y) * DibRowSize(block);
                EXPECT_EQ(rows[y], std::vector<BYTE>(stored, stored + rows[y].size())) << "row " << y;
            }
            GlobalUnlock(dib);
        }
}

TEST(JpegFile, ReducedSizeComesFromTheLibraryRoundingUp)
{
    Dib dib(Make24(1601, 1201, Smooth));
    std::vector<BYTE> jpeg = JpegOf(dib);
    JpegFile codec;
    SetInput(codec, jpeg);
    codec.m_scale = 8;
    ASSERT_EQ(0, codec.Decode());
    Dib out(codec.m_dib);
    EXPECT_EQ(201, Header(out).biWidth);
    EXPECT_EQ(151, Header(out).biHeight);

    Dib big(Make24(1600, 1200, Smooth));
    std::vector<BYTE> bigJpeg = JpegOf(big);
    JpegFile quarter;
    SetInput(quarter, bigJpeg);
    quarter.m_scale = 4;
    ASSERT_EQ(0, quarter.Decode());
    Dib small(quarter.m_dib);
    EXPECT_EQ(400, Header(small).biWidth);
    EXPECT_EQ(300, Header(small).biHeight);
}

TEST(JpegFile, RoundTripKeepsTheRowOrderAndColours)
{
    Dib dib(Make24(48, 32, [](LONG x, LONG y) { return y < 16 ? RGB(200, 30, 30) : RGB(30, 30, 200 - x); }));
    std::vector<BYTE> jpeg = JpegOf(dib, 95);
    JpegFile codec;
    SetInput(codec, jpeg);
    ASSERT_EQ(0, codec.Decode());
    Dib out(codec.m_dib);
    EXPECT_LE(Distance(RGB(200, 30, 30), Pixel24(out, 4, 4)), 8);
    EXPECT_LE(Distance(RGB(30, 30, 190), Pixel24(out, 10, 28)), 8);
}

TEST(JpegFile, EncodesPicturesWhoseJpegIsLargerThanTheirPixels)
{
    for (LONG size : {1, 2, 5, 8}) {
        Dib dib(Make24(size, size, Smooth));
        std::vector<BYTE> jpeg = JpegOf(dib, 100);
        ASSERT_FALSE(jpeg.empty()) << size;
        EXPECT_GT(jpeg.size(), static_cast<size_t>(size * size * 3));
        JpegFile codec;
        SetInput(codec, jpeg);
        ASSERT_EQ(0, codec.Decode());
        GlobalFree(codec.m_dib);
    }
    // Noise at the highest quality is larger than the raw picture too.
    Dib noise(Make24(64, 64, [](LONG x, LONG y) {
        unsigned v = static_cast<unsigned>(x * 7919 + y * 104729) * 2654435761u;
        return RGB(v >> 24, v >> 16, v >> 8);
    }));
    EXPECT_FALSE(JpegOf(noise, 100).empty());
}

TEST(JpegFile, ReusedBufferHoldsExactlyTheNewEncoding)
{
    Dib large(Make24(200, 200, Smooth));
    Dib tiny(Make24(4, 4, Smooth));
    JpegFile codec;
    codec.m_dib = large;
    ASSERT_EQ(0, codec.SaveToMemory());
    int first = codec.m_buffer.GetCapacity();
    codec.m_dib = tiny;
    ASSERT_EQ(0, codec.SaveToMemory());
    int second = codec.m_buffer.GetCapacity();
    EXPECT_LT(second, first);
    std::vector<BYTE> alone = JpegOf(tiny);
    ASSERT_EQ(alone.size(), static_cast<size_t>(second));
    EXPECT_EQ(0, std::memcmp(alone.data(), codec.m_buffer.GetData(), alone.size()));
    EXPECT_EQ(0xD9, codec.m_buffer.GetData()[second - 1]);
}

TEST(JpegFile, EncodingAnEightBitDibWidensACopy)
{
    Dib dib(MakeIndexed(16, 16, 8, {RGB(0, 0, 0), RGB(250, 250, 250)}, [](LONG x, LONG) { return x < 8; }));
    auto before = Bytes(dib);
    std::vector<BYTE> jpeg = JpegOf(dib);
    ASSERT_FALSE(jpeg.empty());
    EXPECT_EQ(before, Bytes(dib));
    JpegFile codec;
    SetInput(codec, jpeg);
    ASSERT_EQ(0, codec.Decode());
    Dib out(codec.m_dib);
    EXPECT_LE(Distance(RGB(250, 250, 250), Pixel24(out, 2, 8)), 6);
}

TEST(JpegFile, GreyJpegDecodesToEqualChannels)
{
    Dib dib(Make24(16, 16, Smooth));
    JpegFile encoder;
    encoder.m_dib = dib;
    encoder.m_grey = 1;
    ASSERT_EQ(0, encoder.SaveToMemory());
    JpegFile codec;
    codec.m_data = encoder.m_buffer.GetData();
    codec.m_dataSize = static_cast<DWORD>(encoder.m_buffer.GetCapacity());
    ASSERT_EQ(0, codec.ReadInfo());
    EXPECT_EQ(8u, codec.m_bitCount);
    ASSERT_EQ(0, codec.Decode());
    Dib out(codec.m_dib);
    EXPECT_EQ(24, Header(out).biBitCount);
    COLORREF c = Pixel24(out, 9, 3);
    EXPECT_EQ(GetRValue(c), GetGValue(c));
    EXPECT_EQ(GetGValue(c), GetBValue(c));
}

TEST(JpegFile, FindStartSkipsLeadingBytesOnlyWhenAsked)
{
    Dib dib(Make24(16, 8, Smooth));
    std::vector<BYTE> jpeg = JpegOf(dib);
    std::vector<BYTE> wrapped(100, 0x42);
    wrapped.insert(wrapped.end(), jpeg.begin(), jpeg.end());
    JpegFile plain;
    SetInput(plain, wrapped);
    EXPECT_EQ(1, plain.Decode());
    EXPECT_EQ(nullptr, plain.m_dib);
    JpegFile searching;
    searching.m_findStart = TRUE;
    SetInput(searching, wrapped);
    ASSERT_EQ(0, searching.Decode());
    GlobalFree(searching.m_dib);
    EXPECT_EQ(wrapped.data() + 100, FindJpegStart(wrapped.data(), wrapped.size(), TRUE));
    EXPECT_EQ(wrapped.data(), FindJpegStart(wrapped.data(), wrapped.size(), FALSE));
}

TEST(JpegFile, FindStartWalksSegmentsWithinTheData)
{
    const struct
    {
        std::vector<BYTE> data;
        ptrdiff_t start;
    } table[] = {
        {{1, 2, 0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, 2},                      // start of scan at once
        {{1, 2, 0xFF, 0xD8, 0x00, 0xDA, 0, 2}, 0},                      // no marker after the start of image
        {{1, 0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF}, 0},                   // one segment running past the end
        {{1, 0xFF, 0xD8, 0xFF, 0xE0, 0, 2, 0xFF, 0xE1, 0, 9}, 1},       // two segments, then the end
        {{1, 0xFF, 0xD8, 0xFF, 0xFF, 0xE1, 0, 2, 0xFF, 0xDA, 0, 2}, 1}, // fill bytes before a marker
        {{1, 0xFF, 0xD8, 0xFF}, 0},                                     // a marker cut off
        {{0xFF, 0xD8}, 0},
        {{0x12, 0x34, 0x56}, 0},
    };
    for (const auto& row : table) {
        // Each case sits at the very end of its own block.
        std::vector<BYTE> data = row.data;
        EXPECT_EQ(data.data() + row.start, FindJpegStart(data.data(), data.size(), TRUE));
    }
    EXPECT_FALSE(SetJpegStartSearch(TRUE));
    std::vector<BYTE> data = table[0].data;
    EXPECT_EQ(data.data() + 2, FindJpegStart(data.data(), data.size(), FALSE));
    EXPECT_TRUE(SetJpegStartSearch(FALSE));
}

TEST(JpegFile, TheHintTableKeepsAtMostFourHundredValuesAndGivesBackWhatItKeeps)
{
    std::vector<int> values(450);
    for (int i = 0; i < 450; ++i)
        values[i] = i * 3 - 7;
    EXPECT_EQ(400, SetJpegHintTable(values.data(), 450));
    std::vector<int> out(450, -1);
    EXPECT_EQ(400, GetJpegHintTable(out.data(), 450));
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 400), std::vector<int>(out.begin(), out.begin() + 400));
    EXPECT_EQ(-1, out[400]);
    EXPECT_EQ(3, SetJpegHintTable(values.data() + 10, 3));
    std::fill(out.begin(), out.end(), -1);
    EXPECT_EQ(2, GetJpegHintTable(out.data(), 2));
    EXPECT_EQ((std::vector<int>{23, 26, -1}), std::vector<int>(out.begin(), out.begin() + 3));
    EXPECT_EQ(3, GetJpegHintTable(out.data(), 10));
    EXPECT_EQ(29, out[2]);
    EXPECT_EQ(-1, out[3]);
    // Nothing to copy from or into.
    EXPECT_EQ(0, SetJpegHintTable(nullptr, 5));
    EXPECT_EQ(0, GetJpegHintTable(nullptr, 5));
    EXPECT_EQ(0, GetJpegHintTable(out.data(), -1));
    EXPECT_EQ(3, GetJpegHintTable(out.data(), 3));
    EXPECT_EQ(0, SetJpegHintTable(values.data(), 0));
}

TEST(JpegFile, TruncatedDataDecodesWithTheMissingRowsFilled)
{
    Dib dib(Make24(64, 64, Smooth));
    std::vector<BYTE> jpeg = JpegOf(dib);
    JpegFile codec;
    codec.m_data = jpeg.data();
    codec.m_dataSize = static_cast<DWORD>(jpeg.size() * 2 / 3);
    ASSERT_EQ(0, codec.Decode());
    Dib out(codec.m_dib);
    EXPECT_EQ(64, Header(out).biHeight);
    EXPECT_LE(Distance(Smooth(5, 5), Pixel24(out, 5, 5)), 8);
}

TEST(JpegFile, LibraryErrorsBecomeResultCodes)
{
    JpegFile empty;
    EXPECT_EQ(1, empty.Decode());
    EXPECT_EQ(1, empty.ReadInfo());
    std::vector<BYTE> cmyk = CmykJpeg();
    JpegFile codec;
    SetInput(codec, cmyk);
    EXPECT_EQ(1, codec.Decode());
    EXPECT_EQ(nullptr, codec.m_dib);
    EXPECT_EQ(0, codec.ReadInfo());
    EXPECT_EQ(32u, codec.m_bitCount);
    EXPECT_EQ(1, JpegFile().SaveToMemory()); // nothing to encode
}

TEST(JpegFile, RefusesPicturesTooLargeForADib)
{
    Dib dib(Make24(16, 16, Smooth));
    std::vector<BYTE> jpeg = JpegOf(dib);
    // Claim 65500 x 65500 in the frame header: 12 GB of pixels.
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = jpeg[i + 7] = 0xFF;
            jpeg[i + 6] = jpeg[i + 8] = 0xDC;
            break;
        }
    JpegFile codec;
    SetInput(codec, jpeg);
    EXPECT_EQ(2, codec.Decode());
    EXPECT_EQ(nullptr, codec.m_dib);
    ASSERT_EQ(0, codec.ReadInfo());
    EXPECT_EQ(65500, codec.m_width);
}

TEST(JpegFile, ReadInfoKeepsTheCommentAndApplicationMarkers)
{
    Dib dib(Make24(20, 10, Smooth));
    std::vector<BYTE> jpeg = JpegOf(dib);
    // Splice APP1 "Exif..." and a comment in after the start-of-image marker.
    const std::vector<BYTE> app1 = {0xFF, 0xE1, 0, 8, 'E', 'x', 'i', 'f', 0, 0};
    const std::vector<BYTE> comment = {0xFF, 0xFE, 0, 5, 'a', 'b', 'c'};
    std::vector<BYTE> marked(jpeg.begin(), jpeg.begin() + 2);
    marked.insert(marked.end(), app1.begin(), app1.end());
    marked.insert(marked.end(), comment.begin(), comment.end());
    marked.insert(marked.end(), jpeg.begin() + 2, jpeg.end());
    JpegFile codec;
    SetInput(codec, marked);
    ASSERT_EQ(0, codec.ReadInfo());
    EXPECT_EQ(20, codec.m_width);
    EXPECT_EQ(10, codec.m_height);
    EXPECT_EQ(24u, codec.m_bitCount);
    ASSERT_TRUE(codec.m_markers[1].m_handle);
    EXPECT_EQ(6u, GlobalSize(codec.m_markers[1].m_handle));
    EXPECT_EQ(0, std::memcmp(GlobalLock(codec.m_markers[1].m_handle), "Exif\0\0", 6));
    GlobalUnlock(codec.m_markers[1].m_handle);
    ASSERT_TRUE(codec.m_held.m_handle);
    EXPECT_EQ(0, std::memcmp(GlobalLock(codec.m_held.m_handle), "abc", 3));
    GlobalUnlock(codec.m_held.m_handle);
    EXPECT_TRUE(codec.m_markers[0].m_handle); // the encoder's JFIF marker
}

TEST(JpegFile, SaveToFileWritesOrReportsTheFailure)
{
    ScratchFolder folder;
    Dib dib(Make24(10, 10, Smooth));
    std::wstring path = folder.File(L"out.jpg");
    JpegFile codec;
    codec.m_dib = dib;
    codec.m_fileName = path.c_str();
    ASSERT_EQ(0, codec.SaveToFile());
    std::vector<BYTE> written = ReadWholeFile(path);
    JpegFile reader;
    SetInput(reader, written);
    ASSERT_EQ(0, reader.ReadInfo());
    EXPECT_EQ(10, reader.m_width);

    std::wstring missing = folder.File(L"no\\such\\out.jpg");
    codec.m_fileName = missing.c_str();
    EXPECT_EQ(-1, codec.SaveToFile());
}

TEST(ImageFileBase, LoadFileGivesSixWithoutDecodingWhenThereIsNoData)
{
    ScratchFolder folder;
    std::wstring empty = folder.File(L"empty.bin"), four = folder.File(L"four.bin");
    WriteWholeFile(empty, {});
    WriteWholeFile(four, {1, 2, 3, 4});
    std::wstring missing = folder.File(L"missing.bin");
    const struct
    {
        const std::wstring* path;
        DWORD offset;
    } cases[] = {{&missing, 0}, {&empty, 0}, {&four, 4}, {&four, 9}};
    for (const auto& c : cases) {
        RecordingCodec codec;
        codec.m_fileName = c.path->c_str();
        codec.m_offset = c.offset;
        EXPECT_EQ(6, codec.LoadFile());
        EXPECT_EQ(6, codec.ReadInfoFile());
        EXPECT_EQ(0, codec.calls);
    }
    RecordingCodec codec;
    codec.m_fileName = four.c_str();
    codec.m_offset = 1;
    EXPECT_EQ(42, codec.LoadFile());
    EXPECT_EQ((std::vector<BYTE>{2, 3, 4}), codec.seen);
    EXPECT_EQ(nullptr, codec.m_data);    // no pointer into the closed view
    EXPECT_EQ(-1, codec.ReadInfoFile()); // the base reads nothing itself
    EXPECT_EQ(-1, codec.SaveToFile());
    EXPECT_EQ(-1, codec.SaveToMemory());
}

TEST(ImageFileBase, MappedFileModesAndSizeLimit)
{
    ScratchFolder folder;
    std::wstring path = folder.File(L"data.bin");
    WriteWholeFile(path, std::vector<BYTE>(10000, 7));
    MappedFile file;
    const BYTE* view = file.Open(path.c_str(), 0, 0);
    ASSERT_TRUE(view);
    EXPECT_EQ(10000u, file.GetSize());
    EXPECT_EQ(7, view[9999]);
    view = file.Open(path.c_str(), 4096, 0);
    ASSERT_TRUE(view);
    EXPECT_EQ(4096u, file.GetSize());
    file.Close();
    EXPECT_EQ(nullptr, file.m_data);
    EXPECT_EQ(0u, file.GetSize());
    EXPECT_EQ(nullptr, file.Open(folder.File(L"none.bin").c_str(), 0, 0));
    view = file.Open(path.c_str(), 0, 1);
    ASSERT_TRUE(view);
    file.Close();
}

TEST(ImageFileBase, MemoryHandleHoldsACopyAndReleases)
{
    VyxMemoryHandle held;
    const char text[] = "marker";
    held.Alloc(text, sizeof(text));
    ASSERT_TRUE(held.m_handle);
    EXPECT_TRUE(held.m_owned);
    EXPECT_EQ(sizeof(text), GlobalSize(held.m_handle));
    EXPECT_STREQ(text, static_cast<const char*>(GlobalLock(held.m_handle)));
    GlobalUnlock(held.m_handle);
    held.Alloc(nullptr, 5);
    EXPECT_EQ(nullptr, held.m_handle);
    EXPECT_FALSE(held.m_owned);
}

TEST(ImgFile, DecodesWithScaleAndKeepsTheDibAfterDestruction)
{
    Dib dib(Make24(256, 128, Smooth));
    std::vector<BYTE> jpeg = JpegOf(dib);
    HGLOBAL kept = nullptr;
    {
        ImgFile codec;
        SetInput(codec, jpeg);
        codec.m_jpegScale = 1;
        ASSERT_EQ(0, codec.Decode());
        EXPECT_EQ(256, codec.m_width);
        EXPECT_EQ(static_cast<DWORD>(CXIMAGE_FORMAT_JPG), codec.m_format);
        EXPECT_EQ(1, codec.m_frameCount);
        GlobalFree(codec.m_dib);
        codec.m_jpegScale = 64; // used as 32, which libjpeg takes as 1/8
        ASSERT_EQ(0, codec.Decode());
        EXPECT_EQ(32, codec.m_width);
        kept = codec.m_dib;
    }
    Dib out(kept);
    EXPECT_EQ(32, Header(out).biWidth);
    EXPECT_EQ(16, Header(out).biHeight);
}

TEST(ImgFile, ReadInfoFailsWithTwoOrThreeByFormatCode)
{
    BYTE garbage[32] = {1, 2, 3, 4};
    ImgFile codec;
    codec.m_data = garbage;
    codec.m_dataSize = sizeof(garbage);
    EXPECT_EQ(2, codec.ReadInfo());
    codec.m_format = CXIMAGE_FORMAT_PNG;
    EXPECT_EQ(3, codec.ReadInfo());
    EXPECT_EQ(2, codec.Decode());
    EXPECT_EQ(nullptr, codec.m_dib);
}

TEST(ImgFile, SavesByFormatCodeAndReusesTheBufferExactly)
{
    ScratchFolder folder;
    Dib big(Make24(120, 90, Smooth));
    Dib small(Make24(3, 3, Smooth));
    ImgFile codec;
    codec.m_format = CXIMAGE_FORMAT_PNG;
    codec.m_codecOption = 9;
    codec.m_dib = big;
    ASSERT_EQ(0, codec.SaveToMemory());
    int first = codec.m_buffer.GetCapacity();
    codec.m_dib = small;
    ASSERT_EQ(0, codec.SaveToMemory());
    int second = codec.m_buffer.GetCapacity();
    EXPECT_LT(second, first);
    ImgFile reader;
    reader.m_data = codec.m_buffer.GetData();
    reader.m_dataSize = static_cast<DWORD>(second);
    ASSERT_EQ(0, reader.ReadInfo());
    EXPECT_EQ(3, reader.m_width);
    EXPECT_EQ(static_cast<DWORD>(CXIMAGE_FORMAT_PNG), reader.m_format);
    EXPECT_EQ(nullptr, reader.m_dib);

    std::wstring path = folder.File(L"out.jpg");
    ImgFile jpeg;
    jpeg.m_format = CXIMAGE_FORMAT_JPG;
    jpeg.m_codecOption = 12345; // cleared for JPEG
    jpeg.m_quality = 40;
    jpeg.m_dib = big;
    jpeg.m_fileName = path.c_str();
    ASSERT_EQ(0, jpeg.SaveToFile());
    EXPECT_EQ(0u, jpeg.m_codecOption);
    ImgFile loaded;
    loaded.m_fileName = path.c_str();
    ASSERT_EQ(0, loaded.LoadFile());
    Dib out(loaded.m_dib);
    EXPECT_EQ(120, Header(out).biWidth);

    ImgFile nothing;
    nothing.m_format = CXIMAGE_FORMAT_BMP;
    nothing.m_fileName = path.c_str();
    EXPECT_EQ(3, nothing.SaveToFile());
    EXPECT_EQ(3, nothing.SaveToMemory());
}
