#include "DibTestUtil.h"
#include "ImageSamples.h"

#include "image/codecs/GifFile.h"
#include "image/cximage/CxImage.h"

#include <gtest/gtest.h>

using namespace dibtest;
using samples::GifFrame;
using samples::IndexAt;
using samples::MakeGif;

namespace {

std::vector<int> Ramp(int count, int modulo)
{
    std::vector<int> v(count);
    for (int i = 0; i < count; ++i)
        v[i] = i % modulo;
    return v;
}

GifFrame Frame(int width, int height, std::vector<int> indices)
{
    GifFrame f;
    f.width = width;
    f.height = height;
    f.indices = std::move(indices);
    return f;
}

std::vector<COLORREF> Colours(int n)
{
    std::vector<COLORREF> table;
    for (int i = 0; i < n; ++i)
        table.push_back(RGB(i * 7 % 256, 255 - i, i * 3 % 256));
    return table;
}

struct Decoded
{
    GifFile gif;
    int result;
    explicit Decoded(const std::vector<BYTE>& data, int frame = 0)
    {
        gif.m_frameIndex = frame;
        result = gif.DecodeMemory(data.data(), static_cast<DWORD>(data.size()));
    }
    ~Decoded()
    {
        if (gif.m_dib)
            GlobalFree(gif.m_dib);
    }
};

} // namespace

TEST(GifFile, RefusesOtherSignaturesAndReportsTruncatedHeaders)
{
    std::vector<BYTE> gif = MakeGif(4, 4, Colours(4), {Frame(4, 4, Ramp(16, 4))});
    std::vector<BYTE> other = gif;
    other[4] = '8'; // "GIF88a"
    EXPECT_EQ(1, Decoded(other).result);
    EXPECT_EQ(1, Decoded(std::vector<BYTE>{'G', 'I', 'F'}).result);
    EXPECT_EQ(2, Decoded(std::vector<BYTE>(gif.begin(), gif.begin() + 10)).result);
    // Cut inside the global table, inside the image descriptor.
    EXPECT_EQ(2, Decoded(std::vector<BYTE>(gif.begin(), gif.begin() + 20)).result);
    EXPECT_EQ(2, Decoded(std::vector<BYTE>(gif.begin(), gif.begin() + 30)).result);
}

TEST(GifFile, DecodesEachTableSizeToItsDibDepthPixelExact)
{
    struct Case
    {
        int entries;
        WORD dibBits;
        DWORD colorBits;
    };
    for (Case c : {Case{2, 1, 1}, Case{4, 4, 2}, Case{16, 4, 4}, Case{32, 8, 5}, Case{256, 8, 8}}) {
        SCOPED_TRACE(c.entries);
        const int w = 13, h = 5;
        std::vector<int> indices(w * h);
        for (int i = 0; i < w * h; ++i)
            indices[i] = (i * 5 + i / w) % c.entries;
        std::vector<COLORREF> table = Colours(c.entries);
        Decoded d(MakeGif(w, h, table, {Frame(w, h, indices)}));
        ASSERT_EQ(0, d.result);
        EXPECT_EQ(w, d.gif.m_width);
        EXPECT_EQ(h, d.gif.m_height);
        EXPECT_EQ(c.colorBits, d.gif.m_bitCount);
        EXPECT_EQ(c.dibBits, Header(d.gif.m_dib).biBitCount);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(indices[y * w + x], IndexAt(d.gif.m_dib, x, y)) << x << "," << y;
        BYTE* block = static_cast<BYTE*>(GlobalLock(d.gif.m_dib));
        for (int i = 0; i < (1 << c.dibBits); ++i)
            EXPECT_EQ(i < c.entries ? table[i] : RGB(0, 0, 0), GetDibColorEntry(block, i)) << i;
        GlobalUnlock(d.gif.m_dib);
        EXPECT_EQ(nullptr, d.gif.m_maskDib);
    }
}

TEST(GifFile, InterlacedRowsFillInPassOrder)
{
    // Stream row k carries the value k, so each DIB row shows when it was filled.
    const int expected16[16] = {0, 8, 4, 9, 2, 10, 5, 11, 1, 12, 6, 13, 3, 14, 7, 15};
    for (int height : {16, 3, 1, 5}) {
        SCOPED_TRACE(height);
        const int w = 3;
        std::vector<int> indices;
        for (int k = 0; k < height; ++k)
            for (int x = 0; x < w; ++x)
                indices.push_back(k);
        GifFrame f = Frame(w, height, indices);
        f.interlaced = true;
        Decoded d(MakeGif(w, height, Colours(16), {f}));
        ASSERT_EQ(0, d.result);
        // Rows in the order the passes reach them.
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        std::vector<int> order;
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < height; y += step[pass])
                order.push_back(y);
        ASSERT_EQ(static_cast<size_t>(height), order.size());
        for (int k = 0; k < height; ++k)
            EXPECT_EQ(k, IndexAt(d.gif.m_dib, 1, order[k])) << "row " << order[k];
        if (height == 16) {
            for (int y = 0; y < 16; ++y)
                EXPECT_EQ(expected16[y], IndexAt(d.gif.m_dib, 0, y));
        }
    }
}

TEST(GifFile, LaterFrameDecodesWithItsOwnControlAndTable)
{
    std::vector<GifFrame> frames;
    for (int i = 0; i < 3; ++i) {
        GifFrame f = Frame(2 + i, 2, Ramp((2 + i) * 2, 2));
        f.left = i;
        f.top = 2 * i;
        f.control = true;
        f.delay = 10 * (i + 1);
        f.disposal = i;
        f.transparent = i == 2 ? 1 : -1;
        if (i == 2)
            f.localTable = {RGB(9, 8, 7), RGB(1, 2, 3), RGB(4, 5, 6), RGB(0, 0, 1)};
        frames.push_back(f);
    }
    std::vector<BYTE> data = MakeGif(10, 10, Colours(2), frames);
    EXPECT_EQ(3, CountGifFrames(data.data(), static_cast<DWORD>(data.size())));
    Decoded d(data, 2);
    ASSERT_EQ(0, d.result);
    EXPECT_EQ(4, d.gif.m_frameWidth);
    EXPECT_EQ(2, d.gif.m_frameLeft);
    EXPECT_EQ(4, d.gif.m_frameTop);
    EXPECT_EQ(30, d.gif.m_delay);
    EXPECT_EQ(2, d.gif.m_disposal);
    EXPECT_EQ(1, d.gif.m_transparent);
    EXPECT_EQ(RGB(1, 2, 3), d.gif.m_transparentColor);
    EXPECT_EQ(10, d.gif.m_screenWidth);
    EXPECT_EQ(2u, d.gif.m_bitCount);
    // A frame past the last meets the trailer.
    EXPECT_EQ(3, Decoded(data, 3).result);
}

TEST(GifFile, TransparentIndexGivesMaskWithOpaqueWhite)
{
    const int w = 10, h = 3;
    std::vector<int> indices = Ramp(w * h, 3);
    GifFrame f = Frame(w, h, indices);
    f.control = true;
    f.transparent = 2;
    Decoded d(MakeGif(w, h, Colours(4), {f}));
    ASSERT_EQ(0, d.result);
    ASSERT_NE(nullptr, d.gif.m_maskDib);
    BITMAPINFOHEADER mask = Header(d.gif.m_maskDib);
    EXPECT_EQ(1, mask.biBitCount);
    EXPECT_EQ(w, mask.biWidth);
    BYTE* block = static_cast<BYTE*>(GlobalLock(d.gif.m_maskDib));
    EXPECT_EQ(RGB(0, 0, 0), GetDibColorEntry(block, 0));
    EXPECT_EQ(RGB(255, 255, 255), GetDibColorEntry(block, 1));
    GlobalUnlock(d.gif.m_maskDib);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(indices[y * w + x] == 2 ? 0 : 1, IndexAt(d.gif.m_maskDib, x, y));
}

TEST(GifFile, TwoColourPictureWithTableKeepsItsTransparencyWithoutMask)
{
    GifFrame f = Frame(4, 4, Ramp(16, 2));
    f.control = true;
    f.transparent = 1;
    Decoded d(MakeGif(4, 4, {RGB(0, 0, 0), RGB(200, 100, 50)}, {f}));
    ASSERT_EQ(0, d.result);
    EXPECT_EQ(nullptr, d.gif.m_maskDib);
    EXPECT_EQ(RGB(200, 100, 50), d.gif.m_transparentColor);
}

TEST(GifFile, DataStoppingHalfwayLeaveTheLowerHalfAtIndexZero)
{
    const int w = 16, h = 16;
    std::vector<BYTE> data = MakeGif(w, h, Colours(16), {Frame(w, h, std::vector<int>(w * h, 5))});
    // Cut the code stream after about half the pixels, and leave no trailer.
    samples::GifCodeStream codes(4);
    codes.Literals(std::vector<int>(w * h / 2, 5), false);
    GifFrame f = Frame(w, h, {});
    f.data.push_back(4);
    std::vector<BYTE> blocks = codes.Blocks(false);
    f.data.insert(f.data.end(), blocks.begin(), blocks.end());
    std::vector<BYTE> cut = MakeGif(w, h, Colours(16), {f});
    cut.pop_back(); // the trailer
    Decoded d(cut);
    ASSERT_EQ(0, d.result);
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(y < h / 2 ? 5 : 0, IndexAt(d.gif.m_dib, 3, y)) << y;
}

TEST(GifFile, FullLzwTableKeepsDecodingUntilAClearCode)
{
    // Literal codes only, no clear code after the first: the table fills after 3838 codes and the
    // remaining pixels arrive as 12-bit codes with a full table (a deferred clear).
    const int w = 80, h = 60, clear = 256;
    std::vector<int> indices(w * h);
    for (int i = 0; i < w * h; ++i)
        indices[i] = (i * 31 + i / 7) & 255;
    samples::GifCodeStream codes(8);
    codes.Code(clear, 9);
    for (size_t j = 0; j < indices.size(); ++j) {
        // The width the reader uses for code j: its next free code before reading it.
        int nextFree = j == 0 ? clear + 2 : std::min(4096, clear + 2 + static_cast<int>(j) - 1);
        int width = 9;
        while (width < 12 && nextFree >= (1 << width))
            ++width;
        codes.Code(indices[j], width);
    }
    codes.Code(clear + 1, 12);
    GifFrame f = Frame(w, h, {});
    f.data.push_back(8);
    std::vector<BYTE> blocks = codes.Blocks();
    f.data.insert(f.data.end(), blocks.begin(), blocks.end());
    Decoded d(MakeGif(w, h, Colours(256), {f}));
    ASSERT_EQ(0, d.result);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(indices[y * w + x], IndexAt(d.gif.m_dib, x, y)) << x << "," << y;
}

TEST(GifFile, CodeSizeAboveElevenGivesOne)
{
    GifFrame f = Frame(2, 2, {});
    f.data = {12, 1, 0, 0};
    EXPECT_EQ(1, Decoded(MakeGif(2, 2, Colours(2), {f})).result);
}

TEST(GifFile, HugeTwoColourFrameIsRefusedWithoutThrowing)
{
    // A 1-bit picture of 65535 x 65535 fits the DIB bound, but its working buffer (a byte a
    // pixel) would take four gigabytes.
    GifFrame f = Frame(0xFFFF, 0xFFFF, {});
    f.data = {2, 2, 0x4C, 0x01, 0};
    int result = -1;
    EXPECT_NO_THROW(result = Decoded(MakeGif(0xFFFF, 0xFFFF, Colours(2), {f})).result);
    EXPECT_EQ(4, result);
}

TEST(GifFile, CodesPastTheTableAndIndicesPastThePaletteAreHarmless)
{
    // Code size 6 with a 4-entry table: literals above 3 have no colour; a code far past the
    // next free code repeats the previous string.
    samples::GifCodeStream codes(6);
    codes.Code(64, 7);
    codes.Code(40, 7);  // index 40 in a 4-bit DIB: shown as 0
    codes.Code(120, 7); // past the next free code (66)
    codes.Code(3, 7);
    codes.Code(65, 7);
    GifFrame f = Frame(4, 1, {});
    f.data.push_back(6);
    std::vector<BYTE> blocks = codes.Blocks();
    f.data.insert(f.data.end(), blocks.begin(), blocks.end());
    Decoded d(MakeGif(4, 1, Colours(4), {f}));
    ASSERT_EQ(0, d.result);
    EXPECT_EQ(0, IndexAt(d.gif.m_dib, 0, 0));
    EXPECT_EQ(0, IndexAt(d.gif.m_dib, 1, 0));
    EXPECT_EQ(0, IndexAt(d.gif.m_dib, 2, 0));
    EXPECT_EQ(3, IndexAt(d.gif.m_dib, 3, 0));
}

TEST(GifFile, ReadInfoGivesSizeDepthAndComment)
{
    GifFrame f = Frame(7, 3, Ramp(21, 4));
    f.localTable = Colours(8);
    std::string comment(3000, 'c');
    comment[0] = 'A';
    std::vector<BYTE> data = MakeGif(20, 10, Colours(4), {f}, comment);
    GifFile gif;
    gif.m_data = data.data();
    gif.m_dataSize = static_cast<DWORD>(data.size());
    ASSERT_EQ(0, gif.ReadInfo());
    EXPECT_EQ(7, gif.m_width);
    EXPECT_EQ(3, gif.m_height);
    EXPECT_EQ(3u, gif.m_bitCount);
    ASSERT_NE(nullptr, gif.m_held.m_handle);
    EXPECT_EQ(2048u, GlobalSize(gif.m_held.m_handle));
    EXPECT_EQ('A', *static_cast<char*>(GlobalLock(gif.m_held.m_handle)));
    GlobalUnlock(gif.m_held.m_handle);

    // Nothing after the header and the table.
    std::vector<BYTE> bare(data.begin(), data.begin() + 13 + 12);
    gif.m_data = bare.data();
    gif.m_dataSize = static_cast<DWORD>(bare.size());
    EXPECT_EQ(-6, gif.ReadInfo());
}

TEST(GifFile, EncodedPicturesReadBackThroughTheLibraryLayer)
{
    struct Case
    {
        WORD bits;
        LONG width, height;
    };
    for (Case c : {Case{1, 9, 4}, Case{4, 33, 17}, Case{8, 300, 200}}) {
        SCOPED_TRACE(c.bits);
        int colours = 1 << c.bits;
        std::vector<COLORREF> table = Colours(colours);
        // Noise-like indices keep the code table growing through every width.
        Dib dib(MakeIndexed(c.width, c.height, c.bits, table,
                            [&](LONG x, LONG y) { return static_cast<int>((x * 7919u + y * 104729u) % colours); }));
        CxImage writer;
        ASSERT_TRUE(writer.CreateFromHANDLE(dib));
        BYTE* data = nullptr;
        long size = 0;
        ASSERT_TRUE(writer.Encode(data, size, CXIMAGE_FORMAT_GIF));
        CxImage reader;
        ASSERT_TRUE(reader.Decode(data, static_cast<DWORD>(size), 0));
        writer.FreeMemory(data);
        EXPECT_EQ(CXIMAGE_FORMAT_GIF, reader.GetType());
        EXPECT_EQ(1, reader.GetNumFrames());
        Dib back(reader.CopyToHandle());
        ASSERT_EQ(c.bits == 1 ? 1 : c.bits, Header(back).biBitCount);
        for (LONG y = 0; y < c.height; ++y)
            for (LONG x = 0; x < c.width; ++x)
                ASSERT_EQ(IndexAt(dib, x, y), IndexAt(back, x, y)) << x << "," << y;
    }
}

TEST(GifFile, LibraryLayerDecodesTheChosenFrame)
{
    std::vector<BYTE> data =
        MakeGif(3, 1, Colours(4), {Frame(3, 1, {1, 1, 1}), Frame(3, 1, {2, 2, 2}), Frame(3, 1, {3, 3, 3})});
    CxImage image;
    image.SetFrame(1);
    ASSERT_TRUE(image.Decode(data.data(), static_cast<DWORD>(data.size()), CXIMAGE_FORMAT_GIF));
    EXPECT_EQ(3, image.GetNumFrames());
    Dib dib(image.CopyToHandle());
    EXPECT_EQ(2, IndexAt(dib, 0, 0));
}
