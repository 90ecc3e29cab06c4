#include "DibTestUtil.h"
#include "ImageSamples.h"

#include "image/codecs/TiffFile.h"
#include "image/cximage/CxImage.h"

#include <gtest/gtest.h>

using namespace dibtest;
using samples::IndexAt;
using samples::MakeTiff;
using samples::Page;
using samples::TiffPage;

namespace {

// The bytes as a file, open for reading while it lives.
struct OpenTiffFile
{
    explicit OpenTiffFile(const std::vector<BYTE>& data)
    {
        const std::wstring path = folder.File(L"open.tif");
        WriteWholeFile(path, data);
        file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    ~OpenTiffFile() { CloseHandle(file); }
    OpenTiffFile(const OpenTiffFile&) = delete;
    OpenTiffFile& operator=(const OpenTiffFile&) = delete;
    ScratchFolder folder;
    HANDLE file = INVALID_HANDLE_VALUE;
};

struct Decoded
{
    TiffFile tiff;
    int result;
    explicit Decoded(const std::vector<BYTE>& data, DWORD page = 0)
    {
        tiff.m_page = page;
        tiff.m_data = data.empty() ? nullptr : data.data();
        tiff.m_dataSize = static_cast<DWORD>(data.size());
        result = tiff.Decode();
    }
    ~Decoded()
    {
        if (tiff.m_dib)
            GlobalFree(tiff.m_dib);
    }
    HGLOBAL dib() const { return tiff.m_dib; }
};

COLORREF Entry(HGLOBAL dib, int i)
{
    COLORREF c = GetDibColorEntry(GlobalLock(dib), i);
    GlobalUnlock(dib);
    return c;
}

// Samples packed most significant bit first, rows padded to bytes.
std::vector<BYTE> Pack(const std::vector<int>& values, int width, int height, int bits)
{
    int rowBytes = (width * bits + 7) / 8;
    std::vector<BYTE> out(static_cast<size_t>(rowBytes) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int bit = x * bits;
            out[y * rowBytes + bit / 8] |= static_cast<BYTE>(values[y * width + x] << (8 - bits - bit % 8));
        }
    return out;
}

std::vector<int> Values(int count, int modulo)
{
    std::vector<int> v(count);
    for (int i = 0; i < count; ++i)
        v[i] = (i * 7 + i / 5) % modulo;
    return v;
}

} // namespace

TEST(TiffFile, GreyPagesDecodeToPaletteDibsWithTheirRamp)
{
    struct Case
    {
        uint16_t bits;
        uint16_t photometric;
        WORD dibBits;
    };
    for (Case c :
         {Case{1, PHOTOMETRIC_MINISWHITE, 1}, Case{1, PHOTOMETRIC_MINISBLACK, 1}, Case{2, PHOTOMETRIC_MINISBLACK, 4},
          Case{4, PHOTOMETRIC_MINISWHITE, 4}, Case{8, PHOTOMETRIC_MINISBLACK, 8}}) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, photometric " << c.photometric);
        const int w = 11, h = 6, levels = 1 << c.bits;
        std::vector<int> values = Values(w * h, levels);
        TiffPage page = Page(w, h, c.bits, 1, c.photometric, Pack(values, w, h, c.bits));
        page.rowsPerStrip = 4;
        Decoded d(MakeTiff({page}));
        ASSERT_EQ(0, d.result);
        ASSERT_EQ(c.dibBits, Header(d.dib()).biBitCount);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(values[y * w + x], IndexAt(d.dib(), x, y)) << x << "," << y;
        // The ramp spans the sample's levels; min-is-white starts at white.
        BYTE top = static_cast<BYTE>((levels - 1) * (255 / (levels - 1)));
        BYTE first = c.photometric == PHOTOMETRIC_MINISWHITE ? top : 0;
        EXPECT_EQ(RGB(first, first, first), Entry(d.dib(), 0));
        BYTE last = c.photometric == PHOTOMETRIC_MINISWHITE ? 0 : top;
        EXPECT_EQ(RGB(last, last, last), Entry(d.dib(), levels - 1));
    }
}

TEST(TiffFile, PaletteMapKeepsByteValuesAndScalesWideOnes)
{
    const int w = 5, h = 3;
    std::vector<int> values = Values(w * h, 4);
    // A 2-bit palette: four map entries for a 16-entry DIB table, the rest black.
    TiffPage narrow = Page(w, h, 2, 1, PHOTOMETRIC_PALETTE, Pack(values, w, h, 2));
    narrow.colorMap = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    TiffPage wide = Page(w, h, 4, 1, PHOTOMETRIC_PALETTE, Pack(values, w, h, 4));
    wide.colorMap.assign(48, 0);
    for (int i = 0; i < 16; ++i) {
        wide.colorMap[i] = static_cast<uint16_t>(i * 4096);
        wide.colorMap[16 + i] = 0xFFFF;
        wide.colorMap[32 + i] = 0x1234;
    }
    std::vector<BYTE> data = MakeTiff({narrow, wide});
    Decoded first(data, 0);
    ASSERT_EQ(0, first.result);
    EXPECT_EQ(RGB(10, 50, 90), Entry(first.dib(), 0));
    EXPECT_EQ(RGB(40, 80, 120), Entry(first.dib(), 3));
    EXPECT_EQ(RGB(0, 0, 0), Entry(first.dib(), 4));
    EXPECT_EQ(values[7], IndexAt(first.dib(), 2, 1));
    Decoded second(data, 1);
    ASSERT_EQ(0, second.result);
    EXPECT_EQ(RGB(0x30, 0xFF, 0x12), Entry(second.dib(), 3));
}

TEST(TiffFile, ColourPagesDecodeToBgrPixels)
{
    const int w = 7, h = 5;
    auto colour = [](int x, int y) { return RGB(x * 30, y * 40, 200 - x * y); };
    struct Case
    {
        const char* name;
        uint16_t bits, spp, planar, extra;
        bool tiled;
    };
    for (Case c :
         {Case{"rgb", 8, 3, PLANARCONFIG_CONTIG, 0, false}, Case{"rgba", 8, 4, PLANARCONFIG_CONTIG, 2, false},
          Case{"planes", 8, 3, PLANARCONFIG_SEPARATE, 0, false}, Case{"wide", 16, 3, PLANARCONFIG_CONTIG, 0, false},
          Case{"tiles", 8, 3, PLANARCONFIG_CONTIG, 0, true}}) {
        SCOPED_TRACE(c.name);
        std::vector<BYTE> data;
        int bytes = c.bits / 8;
        auto put = [&](int v) {
            if (bytes == 2)
                data.push_back(static_cast<BYTE>(v)); // little-endian file: low byte first
            data.push_back(static_cast<BYTE>(v));
        };
        if (c.planar == PLANARCONFIG_SEPARATE) {
            for (int s = 0; s < 3; ++s)
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        put(s == 0   ? GetRValue(colour(x, y))
                            : s == 1 ? GetGValue(colour(x, y))
                                     : GetBValue(colour(x, y)));
        } else {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    put(GetRValue(colour(x, y)));
                    put(GetGValue(colour(x, y)));
                    put(GetBValue(colour(x, y)));
                    if (c.spp == 4)
                        put(255);
                }
        }
        TiffPage page = Page(w, h, c.bits, c.spp, PHOTOMETRIC_RGB, data);
        page.planar = c.planar;
        page.extraSample = c.extra;
        page.tiled = c.tiled;
        Decoded d(MakeTiff({page}));
        ASSERT_EQ(0, d.result);
        ASSERT_EQ(24, Header(d.dib()).biBitCount);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(colour(x, y), Pixel24(d.dib(), x, y)) << x << "," << y;
    }
}

TEST(TiffFile, GreyWithAlphaReadsGreyWithoutOverrunningRows)
{
    const int w = 9, h = 4;
    std::vector<BYTE> data;
    for (int i = 0; i < w * h; ++i) {
        data.push_back(static_cast<BYTE>(i * 6));
        data.push_back(255);
    }
    TiffPage page = Page(w, h, 8, 2, PHOTOMETRIC_MINISBLACK, data);
    page.extraSample = EXTRASAMPLE_UNASSALPHA;
    Decoded d(MakeTiff({page}));
    ASSERT_EQ(0, d.result);
    ASSERT_EQ(8, Header(d.dib()).biBitCount);
    EXPECT_EQ(RGB(255, 255, 255), Entry(d.dib(), 255));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ((y * w + x) * 6, IndexAt(d.dib(), x, y));
}

TEST(TiffFile, SixteenBitMinIsWhiteIsNotInvertedTwice)
{
    const int w = 4, h = 2;
    std::vector<BYTE> data;
    for (int i = 0; i < w * h; ++i) {
        data.push_back(0);
        data.push_back(static_cast<BYTE>(i * 30)); // high byte
    }
    Decoded d(MakeTiff({Page(w, h, 16, 1, PHOTOMETRIC_MINISWHITE, data)}));
    ASSERT_EQ(0, d.result);
    ASSERT_EQ(8, Header(d.dib()).biBitCount);
    // Sample 0 is white in a min-is-white page and must show white.
    BYTE white = GetRValue(Entry(d.dib(), IndexAt(d.dib(), 0, 0)));
    BYTE darker = GetRValue(Entry(d.dib(), IndexAt(d.dib(), 3, 1)));
    EXPECT_EQ(255, white);
    EXPECT_LT(darker, 60);
}

TEST(TiffFile, SixteenBitPaletteDecodesToColour)
{
    const int w = 3, h = 2;
    std::vector<BYTE> data;
    for (int i = 0; i < w * h; ++i) {
        data.push_back(static_cast<BYTE>(i));
        data.push_back(0);
    }
    TiffPage page = Page(w, h, 16, 1, PHOTOMETRIC_PALETTE, data);
    page.colorMap.assign(3 * 65536, 0);
    for (int i = 0; i < 6; ++i) {
        page.colorMap[i] = static_cast<uint16_t>(i * 10 << 8);
        page.colorMap[65536 + i] = 0x8000;
    }
    Decoded d(MakeTiff({page}));
    ASSERT_EQ(0, d.result);
    ASSERT_EQ(24, Header(d.dib()).biBitCount);
    EXPECT_EQ(RGB(50, 128, 0), Pixel24(d.dib(), 2, 1));
}

TEST(TiffFile, PagesCountAndAMissingPageGivesOne)
{
    std::vector<BYTE> data = MakeTiff({Page(2, 2, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(4, 1)),
                                       Page(3, 1, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(3, 2))});
    TiffFile tiff;
    tiff.m_data = data.data();
    tiff.m_dataSize = static_cast<DWORD>(data.size());
    EXPECT_EQ(2, tiff.CountPages());
    Decoded second(data, 1);
    ASSERT_EQ(0, second.result);
    EXPECT_EQ(3, Header(second.dib()).biWidth);
    EXPECT_EQ(1, Decoded(data, 2).result);
    EXPECT_EQ(nullptr, Decoded(data, 2).dib());

    CxImage image;
    image.SetFrame(1);
    ASSERT_TRUE(image.Decode(data.data(), static_cast<DWORD>(data.size()), 0));
    EXPECT_EQ(2, image.GetNumFrames());
    EXPECT_EQ(3u, image.GetWidth());
}

TEST(TiffFile, PagesAreCountedInAFileFromItsOffset)
{
    ScratchFolder folder;
    std::vector<BYTE> data = {'j', 'u', 'n', 'k', '!'};
    const std::vector<BYTE> tiff = MakeTiff({Page(2, 2, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(4, 1)),
                                             Page(3, 1, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(3, 2)),
                                             Page(1, 1, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(1, 3))});
    data.insert(data.end(), tiff.begin(), tiff.end());
    const std::wstring path = folder.File(L"pages.bin");
    WriteWholeFile(path, data);
    const BYTE held = 0;
    const struct
    {
        const wchar_t* file;
        DWORD offset;
        int pages;
    } cases[] = {{path.c_str(), 5, 3},
                 {path.c_str(), 0, 0},
                 {path.c_str(), static_cast<DWORD>(data.size()), 0},
                 {L"C:\\no\\such.tif", 0, 0},
                 {nullptr, 0, 0}};
    for (const auto& c : cases) {
        TiffFile file;
        file.m_fileName = c.file;
        file.m_offset = c.offset;
        file.m_data = &held;
        file.m_dataSize = 1;
        EXPECT_EQ(c.pages, file.CountPagesFile()) << c.offset;
        // The codec's own data are as they were.
        EXPECT_EQ(&held, file.m_data);
        EXPECT_EQ(1u, file.m_dataSize);
    }
}

TEST(TiffFile, ReadInfoGivesSizeAndBitsTimesSamples)
{
    std::vector<BYTE> data = MakeTiff({Page(6, 2, 8, 3, PHOTOMETRIC_RGB, std::vector<BYTE>(36, 9))});
    TiffFile tiff;
    tiff.m_data = data.data();
    tiff.m_dataSize = static_cast<DWORD>(data.size());
    ASSERT_EQ(0, tiff.ReadInfo());
    EXPECT_EQ(6, tiff.m_width);
    EXPECT_EQ(2, tiff.m_height);
    EXPECT_EQ(24u, tiff.m_bitCount);
}

TEST(TiffFile, BytesThatAreNotATiffGiveOne)
{
    std::vector<BYTE> junk(100, 'x');
    EXPECT_EQ(1, Decoded(junk).result);
    EXPECT_EQ(1, Decoded({}).result);
    TiffFile tiff;
    tiff.m_data = junk.data();
    tiff.m_dataSize = 100;
    EXPECT_EQ(1, tiff.ReadInfo());
    EXPECT_EQ(0, tiff.CountPages());
    EXPECT_EQ(-1, tiff.SaveToFile());
}

TEST(TiffFile, StripShorterThanPromisedIsReadNoFurtherThanTheData)
{
    const int w = 8, h = 8;
    std::vector<BYTE> data = MakeTiff({Page(w, h, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(w * h, 200))});
    // Move the directory (all values inline: one strip) before the pixels, then cut the pixels
    // in half, so that the strip promises more bytes than the data hold.
    ASSERT_EQ('I', data[0]);
    DWORD directory = data[4] | data[5] << 8 | data[6] << 16 | data[7] << 24;
    int entries = data[directory] | data[directory + 1] << 8;
    size_t ifdBytes = 2 + entries * 12 + 4;
    std::vector<BYTE> moved(8 + ifdBytes + w * h / 2);
    std::memcpy(moved.data(), data.data(), 4);
    moved[4] = 8;
    std::memcpy(moved.data() + 8, data.data() + directory, ifdBytes);
    DWORD pixels = static_cast<DWORD>(8 + ifdBytes);
    for (int i = 0; i < entries; ++i) {
        BYTE* entry = &moved[8 + 2 + i * 12];
        if ((entry[0] | entry[1] << 8) == 273)
            std::memcpy(entry + 8, &pixels, 4);
    }
    std::memcpy(moved.data() + pixels, data.data() + 8, w * h / 2);
    Decoded d(moved);
    if (d.result == 0) {
        EXPECT_EQ(200, IndexAt(d.dib(), 7, 0));
    } else {
        EXPECT_EQ(1, d.result);
        EXPECT_EQ(nullptr, d.dib());
    }
    Decoded whole(data);
    EXPECT_EQ(0, whole.result);
}

TEST(TiffFile, DibForDepthTable)
{
    struct Case
    {
        int depth;
        WORD bits;
    };
    for (Case c : {Case{1, 1}, Case{2, 4}, Case{4, 4}, Case{5, 8}, Case{8, 8}, Case{9, 24}, Case{48, 24}}) {
        Dib dib(CreateDibForDepth(5, 3, c.depth));
        BITMAPINFOHEADER h = Header(dib);
        EXPECT_EQ(c.bits, h.biBitCount) << c.depth;
        EXPECT_EQ(2834, h.biXPelsPerMeter);
        EXPECT_EQ(CalcDibImageSize(5, 3, c.bits), h.biSizeImage);
    }
}

TEST(TiffFile, TiledPaletteDecodesThroughTheColourReader)
{
    const int w = 20, h = 18;
    std::vector<BYTE> data(w * h);
    for (int i = 0; i < w * h; ++i)
        data[i] = static_cast<BYTE>(i % 3);
    TiffPage page = Page(w, h, 8, 1, PHOTOMETRIC_PALETTE, data);
    page.tiled = true;
    page.colorMap.assign(3 * 256, 0);
    page.colorMap[1] = 0xFF00;       // red of entry 1
    page.colorMap[512 + 2] = 0x8000; // blue of entry 2
    Decoded d(MakeTiff({page}));
    ASSERT_EQ(0, d.result);
    ASSERT_EQ(24, Header(d.dib()).biBitCount);
    EXPECT_EQ(RGB(255, 0, 0), Pixel24(d.dib(), 1, 0));
    EXPECT_EQ(RGB(0, 0, 128), Pixel24(d.dib(), 2, 0));
    EXPECT_EQ(RGB(0, 0, 0), Pixel24(d.dib(), 17, 17)); // the last tile, past the first tile column
    EXPECT_EQ(RGB(0, 0, 128), Pixel24(d.dib(), 19, 17));
}

TEST(TiffFile, OrientationTurnsThePictureTheSameWayOnEveryPath)
{
    // A 3x2 picture of six grey levels, stored at 8 and 16 bits, grey and RGB: the strips are
    // copied at 8 bits and read through libtiff's RGBA reader at 16.
    const int w = 3, h = 2;
    auto stored = [](int x, int y) { return 40 * (y * 3 + x) + 20; };
    for (uint16_t bits : {8, 16})
        for (uint16_t spp : {1, 3})
            for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
                SCOPED_TRACE(testing::Message() << bits << " bits, " << spp << " samples, orientation " << orientation);
                std::vector<BYTE> data;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        for (int sample = 0; sample < spp; ++sample) {
                            if (bits == 16)
                                data.push_back(static_cast<BYTE>(stored(x, y))); // little-endian, the high byte counts
                            data.push_back(static_cast<BYTE>(stored(x, y)));
                        }
                TiffPage page = Page(w, h, bits, spp, spp == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB, data);
                page.orientation = orientation;
                Decoded decoded(MakeTiff({page}));
                ASSERT_EQ(0, decoded.result);
                // Mirrored for the right-hand origins, upside down for the bottom ones; the
                // transposed orientations (5 to 8) as their row-major counterparts.
                int rowMajor = (orientation - 1) % 4 + 1;
                bool mirrored = rowMajor == 2 || rowMajor == 3, flipped = rowMajor == 3 || rowMajor == 4;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        int expected = stored(mirrored ? w - 1 - x : x, flipped ? h - 1 - y : y);
                        COLORREF shown = spp == 1 ? Entry(decoded.dib(), IndexAt(decoded.dib(), x, y))
                                                  : Pixel24(decoded.dib(), x, y);
                        EXPECT_EQ(expected, GetRValue(shown)) << x << "," << y;
                    }
            }
}

// A page the colour reader takes in several parts (a 16-bit grey page of 65,520 x 300 pixels,
// one strip or strips of 50 rows, right way up or upside down): every row lands in its place.
TEST(TiffFile, ALargePageReadInPartsKeepsEveryRowInItsPlace)
{
    const uint32_t w = 65520, h = 300;
    auto level = [](uint32_t y) { return static_cast<BYTE>(y * 7 % 251); };
    std::vector<BYTE> data(static_cast<size_t>(w) * h * 2);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; x += 65519)
            data[(static_cast<size_t>(y) * w + x) * 2 + 1] = level(y);
    for (uint32_t rowsPerStrip : {0u, 50u})
        for (uint16_t orientation : {ORIENTATION_TOPLEFT, ORIENTATION_BOTLEFT}) {
            SCOPED_TRACE(testing::Message() << rowsPerStrip << " rows a strip, orientation " << orientation);
            TiffPage page = Page(w, h, 16, 1, PHOTOMETRIC_MINISBLACK, data);
            page.rowsPerStrip = rowsPerStrip;
            page.orientation = orientation;
            page.compression = COMPRESSION_ADOBE_DEFLATE;
            Decoded decoded(MakeTiff({page}));
            ASSERT_EQ(0, decoded.result);
            for (uint32_t y = 0; y < h; ++y) {
                const uint32_t stored = orientation == ORIENTATION_BOTLEFT ? h - 1 - y : y;
                ASSERT_EQ(level(stored), GetRValue(Entry(decoded.dib(), IndexAt(decoded.dib(), w - 1, y)))) << y;
                ASSERT_EQ(0, GetRValue(Entry(decoded.dib(), IndexAt(decoded.dib(), w / 2, y)))) << y;
            }
        }
}

TEST(TiffFile, AlphaIsLaidOverWhiteOnEveryPath)
{
    // Opaque red, transparent red, half-covering black.
    struct Pixel
    {
        BYTE value[3];
        BYTE alpha;
        COLORREF shown;
    } const pixels[] = {
        {{255, 0, 0}, 255, RGB(255, 0, 0)}, {{255, 0, 0}, 0, RGB(255, 255, 255)}, {{0, 0, 0}, 128, RGB(127, 127, 127)}};
    for (uint16_t bits : {8, 16})
        for (uint16_t extra : {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, extra sample " << extra);
            std::vector<BYTE> data;
            auto put = [&](BYTE v) {
                if (bits == 16)
                    data.push_back(v);
                data.push_back(v);
            };
            for (const Pixel& p : pixels) {
                for (BYTE channel : p.value) // associated alpha stores the colour premultiplied
                    put(extra == EXTRASAMPLE_ASSOCALPHA ? static_cast<BYTE>(channel * p.alpha / 255) : channel);
                put(p.alpha);
            }
            TiffPage page = Page(3, 1, bits, 4, PHOTOMETRIC_RGB, data);
            page.extraSample = extra;
            Decoded decoded(MakeTiff({page}));
            ASSERT_EQ(0, decoded.result);
            for (int x = 0; x < 3; ++x) {
                COLORREF c = Pixel24(decoded.dib(), x, 0);
                EXPECT_NEAR(GetRValue(pixels[x].shown), GetRValue(c), 1) << x;
                EXPECT_NEAR(GetGValue(pixels[x].shown), GetGValue(c), 1) << x;
                EXPECT_NEAR(GetBValue(pixels[x].shown), GetBValue(c), 1) << x;
            }
        }
    // Grey with alpha: transparent black shows white.
    TiffPage grey = Page(2, 1, 8, 2, PHOTOMETRIC_MINISBLACK, {0, 255, 0, 0});
    grey.extraSample = EXTRASAMPLE_UNASSALPHA;
    Decoded decoded(MakeTiff({grey}));
    ASSERT_EQ(0, decoded.result);
    EXPECT_EQ(0, GetRValue(Entry(decoded.dib(), IndexAt(decoded.dib(), 0, 0))));
    EXPECT_EQ(255, GetRValue(Entry(decoded.dib(), IndexAt(decoded.dib(), 1, 0))));
}

// A file of any size is read through an open file without holding it: its stripped pages come out
// as they do from memory. (Tiles whose stored byte counts are padded are read from memory only;
// the reader then says so by failing, and the caller reads the file into memory.)
TEST(TiffFile, StrippedPagesReadThroughAnOpenFileComeOutAsFromMemory)
{
    const int w = 7, h = 5;
    std::vector<BYTE> grey(w * h), rgb, wide;
    for (int i = 0; i < w * h; ++i) {
        grey[i] = static_cast<BYTE>(i * 7);
        for (int s = 0; s < 3; ++s) {
            rgb.push_back(static_cast<BYTE>(i * 5 + s * 60));
            wide.push_back(static_cast<BYTE>(i));
            wide.push_back(static_cast<BYTE>(i * 5 + s * 60));
        }
    }
    TiffPage planes = Page(w, h, 8, 3, PHOTOMETRIC_RGB, rgb);
    planes.planar = PLANARCONFIG_SEPARATE;
    TiffPage strips = Page(w, h, 8, 1, PHOTOMETRIC_MINISWHITE, grey);
    strips.rowsPerStrip = 2;
    const std::vector<BYTE> data =
        MakeTiff({Page(w, h, 8, 1, PHOTOMETRIC_MINISBLACK, grey), Page(w, h, 8, 3, PHOTOMETRIC_RGB, rgb), planes,
                  strips, Page(w, h, 16, 3, PHOTOMETRIC_RGB, wide)});
    OpenTiffFile opened(data);
    ASSERT_NE(INVALID_HANDLE_VALUE, opened.file);
    TiffFile counted;
    counted.m_file = opened.file;
    EXPECT_EQ(5, counted.CountPages());
    for (DWORD page = 0; page < 6; ++page) {
        SCOPED_TRACE(page);
        Decoded fromMemory(data, page);
        TiffFile fromFile;
        fromFile.m_page = page;
        fromFile.m_file = opened.file;
        ASSERT_EQ(fromMemory.result, fromFile.Decode());
        if (fromMemory.result != 0)
            continue;
        EXPECT_EQ(Bytes(fromMemory.dib()), Bytes(fromFile.m_dib));
        GlobalFree(fromFile.m_dib);
    }
}
