// Hostile input for the GIF, TIFF, JPEG 2000 and AVI readers: huge dimensions, deferred clears,
// LZW codes past the table, palette indices out of range, TIFF tags and strips that do not match
// the data, then thousands of prefixes and mutations of valid seeds. On the guard-page allocator
// any overrun faults at once.
#include "../ImageSamples.h"
#include "HostileInput.h"

#include "image/codecs/GifFile.h"
#include "image/codecs/TiffFile.h"
#include "image/codecs/VideoFile.h"
#include "image/cximage/CxImage.h"

using samples::GifFrame;
using samples::TiffPage;

namespace {

void FeedLibrary(const Input& data, DWORD type, long frame)
{
    CxImage image;
    image.SetFrame(frame);
    if (image.Decode(data.empty() ? nullptr : const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()), type))
        ExerciseAndFree(image.CopyToHandle());
    else
        EXPECT_FALSE(image.IsValid());
}

void FeedGif(const Input& data, int index)
{
    const BYTE* bytes = data.empty() ? nullptr : data.data();
    for (int frame = 0; frame < 2; ++frame) {
        GifFile gif;
        gif.m_frameIndex = (index + frame) % 3;
        int result = gif.DecodeMemory(bytes, static_cast<DWORD>(data.size()));
        EXPECT_TRUE(result >= 0 && result <= 4) << result;
        EXPECT_EQ(result == 0, gif.m_dib != nullptr);
        ExerciseAndFree(gif.m_dib);
        if (gif.m_maskDib)
            Exercise(gif.m_maskDib);
    }
    GifFile info;
    info.m_data = bytes;
    info.m_dataSize = static_cast<DWORD>(data.size());
    int result = info.ReadInfo();
    EXPECT_TRUE(result == 0 || result == -6);
    if (index % 8 == 0) {
        CountGifFrames(bytes, static_cast<DWORD>(data.size()));
        FeedLibrary(data, CXIMAGE_FORMAT_GIF, 1);
    }
}

void FeedTiff(const Input& data, int index)
{
    const BYTE* bytes = data.empty() ? nullptr : data.data();
    TiffFile tiff;
    tiff.m_page = index % 2;
    tiff.m_data = bytes;
    tiff.m_dataSize = static_cast<DWORD>(data.size());
    int result = tiff.Decode();
    EXPECT_TRUE(result == 0 || result == 1);
    EXPECT_EQ(result == 0, tiff.m_dib != nullptr);
    ExerciseAndFree(tiff.m_dib);
    if (index % 8 == 0) {
        TiffFile info;
        info.m_data = bytes;
        info.m_dataSize = static_cast<DWORD>(data.size());
        info.ReadInfo();
        info.CountPages();
        FeedLibrary(data, 0, 0);
    }
    // The same bytes read through an open file, as the picture window reads a TIFF on disk.
    if (index % 16 == 4) {
        // One file for every input, removed with its folder when the program ends.
        static const ScratchFolder folder;
        const std::wstring path = folder.File(L"fed.tif");
        WriteWholeFile(path, data);
        TiffFile fromFile;
        fromFile.m_page = index % 2;
        fromFile.m_file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        const int read = fromFile.Decode();
        EXPECT_TRUE(read == 0 || read == 1);
        EXPECT_EQ(read == 0, fromFile.m_dib != nullptr);
        ExerciseAndFree(fromFile.m_dib);
        fromFile.CountPages();
        CloseHandle(fromFile.m_file);
    }
}

void FeedJpeg2000(const Input& data, int index)
{
    FeedLibrary(data, index % 8 == 0 ? 0u : static_cast<DWORD>(CXIMAGE_FORMAT_JP2), 0);
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
    Input blocks = stream.Blocks();
    f.data.insert(f.data.end(), blocks.begin(), blocks.end());
    return f;
}

Input TiffWithTag(Input tiff, WORD tag, DWORD value)
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

TEST(CodecRobustness, GifStreams)
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
    // An animation of made-up frames, and a picture with real LZW strings from the encoder.
    Dib picture(
        MakeIndexed(40, 30, 8, Table(256), [](LONG x, LONG y) { return static_cast<int>((x / 3 + y / 2) % 200); }));
    std::vector<Input> seeds = {samples::MakeGif(30, 20, Table(16), {plain, interlaced, plain}, "comment"),
                                Encode(picture, CXIMAGE_FORMAT_GIF)};
    ASSERT_FALSE(seeds[1].empty());
    int fed = 0;
    // Huge and empty frames, in the descriptor and the screen.
    for (int size16 : {0, 1, 0xFFFF, 0x8000}) {
        GifFrame f = plain;
        f.width = size16;
        FeedGif(samples::MakeGif(size16, 0xFFFF, Table(16), {f}), fed++);
        f.width = w;
        f.height = size16;
        FeedGif(samples::MakeGif(w, h, Table(16), {f}), fed++);
    }
    // Code sizes out of range; codes past the table (right after a clear, and later); indices past
    // the palette; a table that fills and keeps going without a clear.
    for (int codeSize : {0, 1, 11, 12, 255})
        FeedGif(samples::MakeGif(4, 4, Table(2), {CodedFrame(4, 4, codeSize, {{1 << std::min(codeSize, 11), 12}})}),
                fed++);
    FeedGif(samples::MakeGif(4, 4, Table(4), {CodedFrame(4, 4, 2, {{4, 3}, {7, 3}, {6, 3}, {3, 3}, {7, 4}})}), fed++);
    FeedGif(samples::MakeGif(8, 8, Table(2), {CodedFrame(8, 8, 8, {{256, 9}, {200, 9}, {511, 9}, {255, 9}})}), fed++);
    std::vector<std::pair<int, int>> deferred = {{256, 9}};
    for (int j = 0; j < 5000; ++j)
        deferred.push_back({(j * 37) % 256, j < 254 ? 9 : j < 766 ? 10 : j < 1790 ? 11 : 12});
    FeedGif(samples::MakeGif(70, 70, Table(256), {CodedFrame(70, 70, 8, deferred)}), fed++);
    // Long self-referencing strings: every code the previous one plus a character.
    std::vector<std::pair<int, int>> chain = {{16, 5}, {1, 5}};
    for (int code = 18, width = 5; code < 4095; ++code) {
        chain.push_back({code, width});
        if (code + 1 >= (1 << width) && width < 12)
            ++width;
    }
    FeedGif(samples::MakeGif(200, 200, Table(16), {CodedFrame(200, 200, 4, chain)}), fed++);
    fed += hostile::FeedHostileFields(seeds, 11, hostile::InputsPerReader() - fed, FeedGif, GifFields);
    hostile::Report("GIF", fed);
}

TEST(CodecRobustness, TiffPages)
{
    auto page = [](uint32_t w, uint32_t h, uint16_t bits, uint16_t spp, uint16_t photometric) {
        return samples::Page(w, h, bits, spp, photometric, Input((w * bits * spp + 7) / 8 * h, 0x5A));
    };
    TiffPage palette = page(9, 7, 4, 1, PHOTOMETRIC_PALETTE);
    palette.colorMap.assign(48, 0x1234);
    palette.rowsPerStrip = 2;
    palette.orientation = ORIENTATION_BOTRIGHT;
    TiffPage rgb = page(9, 7, 8, 3, PHOTOMETRIC_RGB);
    rgb.rowsPerStrip = 3;
    TiffPage planes = rgb;
    planes.planar = PLANARCONFIG_SEPARATE;
    TiffPage tiled = page(20, 18, 8, 1, PHOTOMETRIC_MINISBLACK);
    tiled.tiled = true;
    TiffPage alpha = page(9, 7, 8, 2, PHOTOMETRIC_MINISBLACK);
    alpha.extraSample = EXTRASAMPLE_UNASSALPHA;
    TiffPage rgba = page(6, 5, 16, 4, PHOTOMETRIC_RGB);
    rgba.extraSample = EXTRASAMPLE_ASSOCALPHA;
    rgba.orientation = ORIENTATION_LEFTBOT;
    std::vector<Input> seeds = {samples::MakeTiff({page(9, 7, 1, 1, PHOTOMETRIC_MINISWHITE), palette}),
                                samples::MakeTiff({rgb, planes}), samples::MakeTiff({tiled, alpha}),
                                samples::MakeTiff({page(5, 4, 16, 1, PHOTOMETRIC_MINISWHITE), rgba})};
    ASSERT_FALSE(seeds[0].empty());
    const Input& multi = seeds[0];
    const Input& colour = seeds[1];
    int fed = 0;
    // Dimensions, depths, samples, orientation and strip layout that do not match the data.
    for (DWORD value : {0u, 1u, 0xFFFFu, 0x10000u, 46341u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        FeedTiff(TiffWithTag(multi, 256, value), fed++);
        FeedTiff(TiffWithTag(colour, 257, value), fed++);
        FeedTiff(TiffWithTag(colour, 278, value), fed++); // rows per strip
        FeedTiff(TiffWithTag(multi, 279, value), fed++);  // strip byte count
        FeedTiff(TiffWithTag(multi, 273, value), fed++);  // strip offset
    }
    for (DWORD value : {0u, 2u, 3u, 5u, 7u, 9u, 12u, 16u, 32u, 64u, 0xFFFFu}) {
        FeedTiff(TiffWithTag(multi, 258, value), fed++);
        FeedTiff(TiffWithTag(colour, 258, value), fed++);
        FeedTiff(TiffWithTag(colour, 277, value), fed++);
        FeedTiff(TiffWithTag(multi, 262, value), fed++);  // photometric
        FeedTiff(TiffWithTag(colour, 284, value), fed++); // planar configuration
        FeedTiff(TiffWithTag(multi, 274, value), fed++);  // orientation
    }
    fed += hostile::FeedHostileFields(seeds, 21, hostile::InputsPerReader() - fed, FeedTiff, TiffFields);
    hostile::Report("TIFF", fed);
}

TEST(CodecRobustness, Jpeg2000Streams)
{
    Dib picture(Make24(19, 13, [](LONG x, LONG y) { return RGB(x * 13, y * 19, (x ^ y) * 8); }));
    std::vector<Input> seeds = {Encode(picture, CXIMAGE_FORMAT_JP2, 0, 100), Encode(picture, CXIMAGE_FORMAT_JP2, 0, 40)};
    ASSERT_FALSE(seeds[0].empty());
    int fed = hostile::FeedHostile(seeds, 31, hostile::InputsPerReader(), FeedJpeg2000);
    hostile::Report("JPEG 2000", fed);
}

TEST(CodecRobustness, AviFiles)
{
    AVIFileInit();
    ScratchFolder folder;
    std::wstring seedPath = folder.File(L"seed.avi");
    ASSERT_TRUE(samples::MakeAvi(seedPath, 6, 4, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, 1, 1));
    std::vector<Input> seeds = {ReadWholeFile(seedPath)};
    std::wstring path = folder.File(L"hostile.avi");
    auto feed = [&](const Input& data, int index) {
        WriteWholeFile(path, data);
        ExerciseAndFree(GetAviFrame(path.c_str(), index % 3 == 0 ? 0 : index % 3 == 1 ? -50 : 1));
        if (index % 4 == 0) {
            AviFile info;
            info.m_fileName = path.c_str();
            info.ReadInfoFile();
        }
    };
    int fed = hostile::FeedHostile(seeds, 41, hostile::InputsPerReader(), feed);
    AVIFileExit();
    hostile::Report("AVI", fed);
}
