// Hostile input for the GIF, TIFF, JPEG 2000 and AVI readers: truncations and mutations of valid
// seeds, huge dimensions, deferred clears, LZW codes past the table, palette indices out of range
// and TIFF strips shorter than promised. Run under Wine's heap checking.
#include "../ImageSamples.h"
#include "HostileInput.h"

#include "image/codecs/GifFile.h"
#include "image/codecs/TiffFile.h"
#include "image/codecs/VideoFile.h"
#include "image/cximage/CxImage.h"

using samples::GifFrame;
using samples::TiffPage;

namespace {

void FeedLibrary(const std::vector<BYTE>& data, DWORD type, long frame)
{
    CxImage image;
    image.SetFrame(frame);
    if (image.Decode(data.empty() ? nullptr : const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()), type)) {
        // The copy may fail for want of memory after a decode of a huge picture.
        if (HGLOBAL copy = image.CopyToHandle()) {
            Exercise(copy);
            GlobalFree(copy);
        }
    } else {
        EXPECT_FALSE(image.IsValid());
    }
}

// Heap checking makes every allocation costly: the library layer (the same reader) and the
// counters run on the seeds and the hand-made cases only.
void FeedGif(const std::vector<BYTE>& data, bool thorough = true)
{
    const BYTE* bytes = data.empty() ? nullptr : data.data();
    for (int frame = 0; frame < (thorough ? 3 : 2); ++frame) {
        GifFile gif;
        gif.m_frameIndex = frame;
        int result = gif.DecodeMemory(bytes, static_cast<DWORD>(data.size()));
        EXPECT_TRUE(result >= 0 && result <= 4) << result;
        EXPECT_EQ(result == 0, gif.m_dib != nullptr);
        if (gif.m_dib) {
            Exercise(gif.m_dib);
            GlobalFree(gif.m_dib);
        }
        if (gif.m_maskDib)
            Exercise(gif.m_maskDib);
    }
    GifFile info;
    info.m_data = bytes;
    info.m_dataSize = static_cast<DWORD>(data.size());
    int result = info.ReadInfo();
    EXPECT_TRUE(result == 0 || result == -6);
    if (thorough) {
        CountGifFrames(bytes, static_cast<DWORD>(data.size()));
        FeedLibrary(data, CXIMAGE_FORMAT_GIF, 1);
    }
}

void FeedTiff(const std::vector<BYTE>& data, bool thorough = true)
{
    const BYTE* bytes = data.empty() ? nullptr : data.data();
    for (DWORD page = 0; page < 2; ++page) {
        TiffFile tiff;
        tiff.m_page = page;
        tiff.m_data = bytes;
        tiff.m_dataSize = static_cast<DWORD>(data.size());
        int result = tiff.Decode();
        EXPECT_TRUE(result == 0 || result == 1);
        EXPECT_EQ(result == 0, tiff.m_dib != nullptr);
        if (tiff.m_dib) {
            Exercise(tiff.m_dib);
            GlobalFree(tiff.m_dib);
        }
    }
    if (!thorough)
        return;
    TiffFile info;
    info.m_data = bytes;
    info.m_dataSize = static_cast<DWORD>(data.size());
    info.ReadInfo();
    info.CountPages();
    FeedLibrary(data, 0, 0);
}

// The seed, then every stride-th truncation and mutation (heap checking is slow; secondary seeds
// take a sample).
template <typename F> void FeedAllWith(const std::vector<BYTE>& seed, unsigned salt, F feed, size_t stride = 1)
{
    feed(seed, true);
    std::vector<std::vector<BYTE>> cases = Truncations(seed);
    std::vector<std::vector<BYTE>> mutated = Mutations(seed, salt);
    cases.insert(cases.end(), mutated.begin(), mutated.end());
    for (size_t i = 0; i < cases.size(); i += stride)
        feed(cases[i], false);
}

std::vector<int> Indices(int count, int modulo)
{
    std::vector<int> v(count);
    for (int i = 0; i < count; ++i)
        v[i] = (i * 13 + i / 3) % modulo;
    return v;
}

std::vector<COLORREF> Table(int n)
{
    std::vector<COLORREF> t;
    for (int i = 0; i < n; ++i)
        t.push_back(RGB(i, 255 - i, i * 3));
    return t;
}

// A frame whose LZW data are the given codes at the given widths.
GifFrame CodedFrame(int width, int height, int codeSize, const std::vector<std::pair<int, int>>& codes)
{
    samples::GifCodeStream stream(codeSize);
    for (auto [code, bits] : codes)
        stream.Code(code, bits);
    GifFrame f;
    f.width = width;
    f.height = height;
    f.data.push_back(static_cast<BYTE>(codeSize));
    std::vector<BYTE> blocks = stream.Blocks();
    f.data.insert(f.data.end(), blocks.begin(), blocks.end());
    return f;
}

std::vector<BYTE> TiffWithTag(std::vector<BYTE> tiff, WORD tag, DWORD value)
{
    DWORD directory = tiff[4] | tiff[5] << 8 | tiff[6] << 16 | tiff[7] << 24;
    int entries = tiff[directory] | tiff[directory + 1] << 8;
    for (int i = 0; i < entries; ++i) {
        BYTE* entry = &tiff[directory + 2 + i * 12];
        if ((entry[0] | entry[1] << 8) != tag)
            continue;
        WORD type = static_cast<WORD>(entry[2] | entry[3] << 8);
        if (type == 3) { // SHORT
            entry[8] = static_cast<BYTE>(value);
            entry[9] = static_cast<BYTE>(value >> 8);
        } else {
            std::memcpy(entry + 8, &value, 4);
        }
    }
    return tiff;
}

} // namespace

TEST(CodecRobustness, GifStreamsWithHostileHeadersAndCodes)
{
    const int w = 23, h = 11;
    GifFrame plain;
    plain.width = w;
    plain.height = h;
    plain.indices = Indices(w * h, 16);
    GifFrame interlaced = plain;
    interlaced.interlaced = true;
    interlaced.control = true;
    interlaced.transparent = 3;
    interlaced.localTable = Table(4);
    interlaced.indices = Indices(w * h, 4);
    std::vector<BYTE> animated = samples::MakeGif(30, 20, Table(16), {plain, interlaced, plain}, "comment");
    // A seed with real LZW strings, from the encoder.
    Dib picture(
        MakeIndexed(40, 30, 8, Table(256), [](LONG x, LONG y) { return static_cast<int>((x / 3 + y / 2) % 200); }));
    CxImage writer;
    writer.CreateFromHANDLE(picture);
    BYTE* encoded = nullptr;
    long size = 0;
    ASSERT_TRUE(writer.Encode(encoded, size, CXIMAGE_FORMAT_GIF));
    std::vector<BYTE> lzw(encoded, encoded + size);
    writer.FreeMemory(encoded);

    // Huge and empty frames, in the descriptor and the screen.
    for (int size16 : {0, 1, 0xFFFF, 0x8000}) {
        GifFrame f = plain;
        f.width = size16;
        FeedGif(samples::MakeGif(size16, 0xFFFF, Table(16), {f}));
        f.width = w;
        f.height = size16;
        FeedGif(samples::MakeGif(w, h, Table(16), {f}));
    }
    // Code sizes out of range; codes past the table (right after a clear, and later); indices past
    // the palette; a table that fills and keeps going without a clear.
    for (int codeSize : {0, 1, 11, 12, 255})
        FeedGif(samples::MakeGif(4, 4, Table(2), {CodedFrame(4, 4, codeSize, {{1 << std::min(codeSize, 11), 12}})}));
    FeedGif(samples::MakeGif(4, 4, Table(4), {CodedFrame(4, 4, 2, {{4, 3}, {7, 3}, {6, 3}, {3, 3}, {7, 4}})}));
    FeedGif(samples::MakeGif(8, 8, Table(2), {CodedFrame(8, 8, 8, {{256, 9}, {200, 9}, {511, 9}, {255, 9}})}));
    std::vector<std::pair<int, int>> deferred = {{256, 9}};
    for (int j = 0; j < 5000; ++j)
        deferred.push_back({(j * 37) % 256, j < 254 ? 9 : j < 766 ? 10 : j < 1790 ? 11 : 12});
    FeedGif(samples::MakeGif(70, 70, Table(256), {CodedFrame(70, 70, 8, deferred)}));
    // Long self-referencing strings: every code the previous one plus a character.
    std::vector<std::pair<int, int>> chain = {{16, 5}, {1, 5}};
    for (int code = 18, width = 5; code < 4095; ++code) {
        chain.push_back({code, width});
        if (code + 1 >= (1 << width) && width < 12)
            ++width;
    }
    FeedGif(samples::MakeGif(200, 200, Table(16), {CodedFrame(200, 200, 4, chain)}));

    FeedAllWith(animated, 11, [](const std::vector<BYTE>& d, bool t) { FeedGif(d, t); });
    FeedAllWith(
        lzw, 12, [](const std::vector<BYTE>& d, bool t) { FeedGif(d, t); }, 2);
}

TEST(CodecRobustness, TiffPagesWithHostileTagsAndStrips)
{
    auto page = [](uint32_t w, uint32_t h, uint16_t bits, uint16_t spp, uint16_t photometric) {
        return samples::Page(w, h, bits, spp, photometric, std::vector<BYTE>((w * bits * spp + 7) / 8 * h, 0x5A));
    };
    TiffPage palette = page(9, 7, 4, 1, PHOTOMETRIC_PALETTE);
    palette.colorMap.assign(48, 0x1234);
    palette.rowsPerStrip = 2;
    TiffPage rgb = page(9, 7, 8, 3, PHOTOMETRIC_RGB);
    rgb.rowsPerStrip = 3;
    TiffPage planes = rgb;
    planes.planar = PLANARCONFIG_SEPARATE;
    TiffPage tiled = page(20, 18, 8, 1, PHOTOMETRIC_MINISBLACK);
    tiled.tiled = true;
    TiffPage alpha = page(9, 7, 8, 2, PHOTOMETRIC_MINISBLACK);
    alpha.extraSample = EXTRASAMPLE_UNASSALPHA;
    std::vector<BYTE> multi = samples::MakeTiff({page(9, 7, 1, 1, PHOTOMETRIC_MINISWHITE), palette});
    std::vector<BYTE> colour = samples::MakeTiff({rgb, planes});
    std::vector<BYTE> tiles = samples::MakeTiff({tiled, alpha});
    std::vector<BYTE> grey16 = samples::MakeTiff({page(5, 4, 16, 1, PHOTOMETRIC_MINISWHITE), page(5, 4, 2, 1, 1)});
    ASSERT_FALSE(multi.empty());

    // Dimensions, depths, samples and strip layout that do not match the data.
    for (DWORD value : {0u, 1u, 0xFFFFu, 0x10000u, 46341u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        FeedTiff(TiffWithTag(multi, 256, value));
        FeedTiff(TiffWithTag(colour, 257, value));
        FeedTiff(TiffWithTag(colour, 278, value)); // rows per strip
        FeedTiff(TiffWithTag(multi, 279, value));  // strip byte count
        FeedTiff(TiffWithTag(multi, 273, value));  // strip offset
    }
    for (DWORD value : {0u, 2u, 3u, 5u, 7u, 12u, 16u, 32u, 64u, 0xFFFFu}) {
        FeedTiff(TiffWithTag(multi, 258, value));
        FeedTiff(TiffWithTag(colour, 258, value));
        FeedTiff(TiffWithTag(colour, 277, value));
        FeedTiff(TiffWithTag(multi, 262, value));  // photometric
        FeedTiff(TiffWithTag(colour, 284, value)); // planar configuration
    }
    auto feed = [](const std::vector<BYTE>& d, bool t) { FeedTiff(d, t); };
    FeedAllWith(multi, 21, feed);
    FeedAllWith(colour, 22, feed, 3);
    FeedAllWith(tiles, 23, feed, 4);
    FeedAllWith(grey16, 24, feed, 4);
}

TEST(CodecRobustness, Jpeg2000StreamsWithHostileHeadersAndData)
{
    Dib picture(Make24(19, 13, [](LONG x, LONG y) { return RGB(x * 13, y * 19, (x ^ y) * 8); }));
    std::vector<std::vector<BYTE>> seeds;
    for (BYTE quality : {100, 40}) {
        CxImage writer;
        writer.CreateFromHANDLE(picture);
        writer.SetJpegQuality(quality);
        BYTE* data = nullptr;
        long size = 0;
        ASSERT_TRUE(writer.Encode(data, size, CXIMAGE_FORMAT_JP2));
        seeds.emplace_back(data, data + size);
        writer.FreeMemory(data);
    }
    auto feed = [](const std::vector<BYTE>& data, bool thorough) {
        FeedLibrary(data, CXIMAGE_FORMAT_JP2, 0);
        if (thorough)
            FeedLibrary(data, 0, 0);
    };
    FeedAllWith(seeds[0], 31, feed, 2);
    FeedAllWith(seeds[1], 32, feed, 3);
}

TEST(CodecRobustness, AviFilesWithHostileChunks)
{
    AVIFileInit();
    ScratchFolder folder;
    std::wstring seedPath = folder.File(L"seed.avi");
    ASSERT_TRUE(samples::MakeAvi(seedPath, 6, 4, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, 1, 1));
    std::vector<BYTE> seed = ReadWholeFile(seedPath);
    std::wstring path = folder.File(L"hostile.avi");
    // The RIFF parser lives in the platform: fewer rounds than for our own readers.
    auto feed = [&](const std::vector<BYTE>& data) {
        WriteWholeFile(path, data);
        for (int position : {0, -50, 1}) {
            HGLOBAL frame = GetAviFrame(path.c_str(), position);
            if (frame) {
                Exercise(frame);
                GlobalFree(frame);
            }
        }
        AviFile info;
        info.m_fileName = path.c_str();
        info.ReadInfoFile();
    };
    FeedAllWith(
        seed, 41, [&](const std::vector<BYTE>& data, bool) { feed(data); }, 3);
    AVIFileExit();
}
