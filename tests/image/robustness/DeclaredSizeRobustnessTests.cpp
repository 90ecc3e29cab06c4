// Small files that declare pictures their bytes cannot fill: each is refused or clipped before
// memory is taken for the size it declares, through the codecs and through the program's own
// plug-ins. On the guard-page allocator the memory they take is measured.
#include "../ImageSamples.h"
#include "HostileInput.h"

#include "common/guard/GuardMeter.h"
#include "image/DibFile.h"
#include "image/codecs/GifFile.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/TiffFile.h"
#include "image/cximage/CxImage.h"
#include "image/plugins/SpiInterface.h"

#include <zlib.h>

#include <functional>

using samples::GifFrame;

namespace {

constexpr size_t kSmallBlocks = size_t(16) << 20;

// The most the program's blocks came to above what they held before while work ran, or the
// largest block it asked for when that was larger; 0 when the meter is off (the heap-checked
// share), where only the results are checked.
size_t TakenBy(const std::function<void()>& work)
{
    const size_t before = GuardMeterLive();
    GuardMeterRestart();
    work();
    return std::max(GuardMeterLargestRequest(), GuardMeterPeak() > before ? GuardMeterPeak() - before : 0);
}

std::vector<COLORREF> Table(int n)
{
    std::vector<COLORREF> table;
    for (int i = 0; i < n; ++i)
        table.push_back(RGB(i * 16, 255 - i * 16, i));
    return table;
}

int WINAPI GoOn(int, int, LONG_PTR)
{
    return 0;
}

// The picture one of the program's own plug-in DLLs makes of the bytes, as another host would
// ask it (with a progress callback or none); null when it refuses them.
HGLOBAL PictureFromPlugin(const wchar_t* name, const Input& data, SPIProgressProc progress = nullptr)
{
    wchar_t exe[MAX_PATH];
    std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    path = path.substr(0, path.find_last_of(L'\\')) + L"\\..\\bin\\" + name + L".spi";
    HMODULE module = LoadLibraryW(path.c_str());
    auto getPicture = reinterpret_cast<SPIGetPictureProc>(GetProcAddress(module, "GetPicture"));
    HGLOBAL picture = nullptr;
    HLOCAL info = nullptr, bits = nullptr;
    if (getPicture && getPicture(reinterpret_cast<const char*>(data.data()), static_cast<LONG_PTR>(data.size()),
                                 SPI_INPUT_MEMORY, &info, &bits, progress, 0) == SPI_OK) {
        picture = info;
        LocalFree(bits);
    } else if (info) {
        LocalFree(info);
    }
    FreeLibrary(module);
    return picture;
}

// The plug-in refuses the bytes without taking more than small blocks for them.
void ExpectPluginRefuses(const wchar_t* name, const Input& data)
{
    HGLOBAL fromPlugin = nullptr;
    EXPECT_LT(TakenBy([&] { fromPlugin = PictureFromPlugin(name, data); }), kSmallBlocks);
    EXPECT_EQ(nullptr, fromPlugin);
    if (fromPlugin)
        LocalFree(fromPlugin);
}

// A frame of 30288 x 33881 pixels on a 23 x 17 screen, its data 5 KB of literals.
Input GifFrameBeyondItsScreen()
{
    GifFrame frame;
    frame.width = 30288;
    frame.height = 33881;
    for (int i = 0; i < 8000; ++i)
        frame.indices.push_back((i * 7 + i / 23) % 16);
    return samples::MakeGif(23, 17, Table(16), {frame});
}

// A 29-pixel-wide run-length picture of some 5 KB whose height says 16,777,216 rows.
Input RunLengthBmpTallerThanItsData()
{
    Input rows;
    for (int y = 0; y < 1200; ++y) {
        Input row = {29, static_cast<BYTE>(y), 0, 0};
        rows.insert(rows.end(), row.begin(), row.end());
    }
    rows.push_back(0);
    rows.push_back(1);
    return MakeBmp(40, 29, 16777216, 8, BI_RLE8, GreyTable(256), rows);
}

// A small two-page TIFF whose first directory says 536,870,913 bits-per-sample values and as many
// compression values (libtiff reads both as arrays).
Input TiffWithHugeCounts()
{
    Input tiff = samples::MakeTiff({samples::Page(9, 7, 1, 1, PHOTOMETRIC_MINISWHITE, Input(14, 0x5A)),
                                    samples::Page(3, 2, 8, 1, PHOTOMETRIC_MINISBLACK, Input(6, 0x11))});
    DWORD directory = tiff[4] | tiff[5] << 8 | tiff[6] << 16 | tiff[7] << 24;
    int entries = tiff[directory] | tiff[directory + 1] << 8;
    for (int i = 0; i < entries; ++i) {
        const int tag = tiff[directory + 2 + i * 12] | tiff[directory + 3 + i * 12] << 8;
        if (tag == TIFFTAG_BITSPERSAMPLE || tag == TIFFTAG_COMPRESSION)
            tiff = Put32(tiff, directory + 2 + i * 12 + 4, 536870913u);
    }
    return tiff;
}

// A 258-byte JPEG 2000 file whose coding style asks for 25,601 quality layers, as the mutations
// of a 19 x 13 picture found it.
const BYTE kJpeg2000WithManyLayers[] = {
    0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A, 0x00, 0x00, 0x00, 0x14, 0x66, 0x74, 0x79,
    0x70, 0x6A, 0x70, 0x32, 0x20, 0x00, 0x00, 0x00, 0x00, 0x6A, 0x70, 0x32, 0x20, 0x00, 0x00, 0x00, 0x2D, 0x6A, 0x70,
    0x32, 0x68, 0x00, 0x00, 0x00, 0x16, 0x69, 0x68, 0x64, 0x72, 0x00, 0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x13, 0x00,
    0x03, 0x07, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0F, 0x63, 0x6F, 0x6C, 0x72, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x10, 0x00, 0x00, 0x00, 0xB5, 0x6A, 0x70, 0x32, 0x63, 0xFF, 0x4F, 0xFF, 0x51, 0x00, 0x2F, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x13, 0x00, 0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x13, 0x00,
    0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x07, 0x01, 0x01, 0x07, 0x01, 0x01,
    0x07, 0x01, 0x01, 0xFF, 0x52, 0x00, 0x0C, 0x00, 0x00, 0x64, 0x01, 0x01, 0x03, 0x04, 0x04, 0x00, 0x00, 0xFF, 0x5C,
    0x00, 0x17, 0x42, 0x67, 0x38, 0x67, 0x50, 0x67, 0x50, 0x67, 0x68, 0x50, 0x05, 0x50, 0x05, 0x50, 0x47, 0x57, 0xD3,
    0x57, 0xD3, 0x57, 0x62, 0xFF, 0x64, 0x00, 0x25, 0x00, 0x01, 0x43, 0x72, 0x65, 0x61, 0x74, 0x65, 0x64, 0x20, 0x62,
    0x79, 0x20, 0x4F, 0x70, 0x65, 0x6E, 0x4A, 0x50, 0x45, 0x47, 0x20, 0x76, 0x65, 0x72, 0x73, 0x69, 0x6F, 0x6E, 0x20,
    0x32, 0x2E, 0x35, 0x2E, 0x30, 0xFF, 0x90, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2A, 0x00, 0x01, 0xFF, 0x93,
    0xC7, 0x84, 0x06, 0x54, 0xD3, 0xE7, 0xC3, 0x83, 0x10, 0x54, 0xF8, 0xC7, 0xC6, 0x14, 0x11, 0x97, 0x23, 0xD8, 0x11,
    0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFF, 0xD9};

Input Encoded(int type)
{
    Dib picture(Make24(19, 13, [](LONG x, LONG y) { return RGB(x * 13, y * 19, (x ^ y) * 8); }));
    return Encode(picture, type);
}

// A JPEG of some 750 bytes whose frame header says 9000 x 9000 pixels.
Input JpegLargerThanItsData()
{
    Input jpeg = Encoded(CXIMAGE_FORMAT_JPG);
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            for (size_t field : {5u, 7u}) {
                jpeg[i + field] = 9000 >> 8;
                jpeg[i + field + 1] = 9000 & 0xFF;
            }
            break;
        }
    return jpeg;
}

// A PNG of some 150 bytes whose header says 9000 x 9000 pixels, its checksum made right again.
Input PngLargerThanItsData()
{
    Input png = PutBig32(PutBig32(Encoded(CXIMAGE_FORMAT_PNG), 16, 9000), 20, 9000);
    return PutBig32(png, 29, crc32(0, png.data() + 12, 17));
}

// An 81-byte PNG: a one-pixel header, then a chunk of the kind declaring 0x30000000 bytes and
// holding a few.
Input PngWithChunkLongerThanItsFile(const char* type)
{
    Input png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const Input header = PngChunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0, 0, 0});
    png.insert(png.end(), header.begin(), header.end());
    Input chunk = PngChunk(type, TextBytes(std::string("Comment") + std::string(33, '\0')));
    chunk = PutBig32(chunk, 0, 0x30000000);
    png.insert(png.end(), chunk.begin(), chunk.end() - 4);
    return png;
}

// A progressive grey JPEG of a flat 512 x 512 picture: six scans.
Input FlatProgressiveJpeg()
{
    Dib flat(Make24(512, 512, [](LONG, LONG) { return RGB(90, 90, 90); }));
    return Encode(flat, CXIMAGE_FORMAT_JPG, CxImage::kJpegProgressive | CxImage::kJpegGreyscale);
}

// Its last scan following itself again and again: some 5,400 scans in 64 KB, each of which walks
// every block of the picture.
Input JpegOfThousandsOfScans()
{
    const Input jpeg = FlatProgressiveJpeg();
    return JpegWithRepeatedScan(jpeg, JpegScans(jpeg).size() - 1, 5900, hostile::kSmallInput - 1);
}

} // namespace

TEST(DeclaredSizeRobustness, APngChunkLongerThanItsFileIsRefusedBeforeMemoryIsTaken)
{
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "eXIf", "iCCP", "vyXx"}) {
        SCOPED_TRACE(type);
        const Input data = PngWithChunkLongerThanItsFile(type);
        ASSERT_EQ(81u, data.size());
        CxImage image;
        bool decoded = true;
        EXPECT_LT(TakenBy([&] { decoded = image.Decode(const_cast<BYTE*>(data.data()), 81, CXIMAGE_FORMAT_PNG); }),
                  kSmallBlocks);
        EXPECT_FALSE(decoded);
        ExpectPluginRefuses(L"vyx_png", data);
    }
}

TEST(DeclaredSizeRobustness, APngWithWholeTextProfileAndExifChunksShowsItsPicture)
{
    const Input plain = Encoded(CXIMAGE_FORMAT_PNG);
    CxImage expected;
    ASSERT_TRUE(expected.Decode(const_cast<BYTE*>(plain.data()), static_cast<DWORD>(plain.size()), CXIMAGE_FORMAT_PNG));
    Dib want(expected.CopyToHandle());
    for (const Input& chunk : PngBlockChunks())
        for (bool last : {false, true}) {
            const Input data = PngWithChunk(plain, chunk, last);
            SCOPED_TRACE(std::string(chunk.begin() + 4, chunk.begin() + 8) + (last ? " last" : " first"));
            CxImage image;
            ASSERT_TRUE(image.Decode(const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()), CXIMAGE_FORMAT_PNG));
            Dib got(image.CopyToHandle());
            EXPECT_EQ(Bytes(want), Bytes(got));
            HGLOBAL fromPlugin = PictureFromPlugin(L"vyx_png", data);
            EXPECT_NE(nullptr, fromPlugin);
            if (fromPlugin)
                LocalFree(fromPlugin);
        }
}

TEST(DeclaredSizeRobustness, AProgressiveJpegOfThousandsOfScansIsRefusedLikeABrokenFile)
{
    const Input data = JpegOfThousandsOfScans();
    ASSERT_GT(JpegScans(data).size(), 5000u);
    ASSERT_LT(data.size(), hostile::kSmallInput);
    hostile::Bounded("many scans", 0, data.data(), data.size(), [&] {
        JpegFile codec;
        codec.m_data = data.data();
        codec.m_dataSize = static_cast<DWORD>(data.size());
        EXPECT_EQ(0, codec.ReadInfo());
        EXPECT_EQ(1, codec.Decode());
        EXPECT_EQ(nullptr, codec.m_dib);
    });
    hostile::Bounded("many scans", 1, data.data(), data.size(), [&] {
        CxImage image;
        image.SetJpegScale(8);
        EXPECT_FALSE(image.Decode(const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()), CXIMAGE_FORMAT_JPG));
    });
    for (SPIProgressProc progress : {static_cast<SPIProgressProc>(nullptr), GoOn})
        hostile::Bounded("many scans", progress ? 3 : 2, data.data(), data.size(),
                         [&] { EXPECT_EQ(nullptr, PictureFromPlugin(L"vyx_jpeg", data, progress)); });

    // Ninety scans, far more than a progressive picture has, still show the picture.
    const Input six = FlatProgressiveJpeg();
    const Input ninety = JpegWithRepeatedScan(six, JpegScans(six).size() - 1, 84, hostile::kSmallInput);
    ASSERT_EQ(90u, JpegScans(ninety).size());
    JpegFile codec;
    codec.m_data = ninety.data();
    codec.m_dataSize = static_cast<DWORD>(ninety.size());
    ASSERT_EQ(0, codec.Decode());
    Dib picture(codec.m_dib);
    EXPECT_EQ(512, Header(picture).biWidth);
    HGLOBAL fromPlugin = PictureFromPlugin(L"vyx_jpeg", ninety, GoOn);
    EXPECT_NE(nullptr, fromPlugin);
    if (fromPlugin)
        LocalFree(fromPlugin);
}

TEST(DeclaredSizeRobustness, AGifFrameLargerThanItsScreenIsClippedToTheScreenBeforeMemoryIsTaken)
{
    const Input data = GifFrameBeyondItsScreen();
    ASSERT_LT(data.size(), 8000u);
    GifFile gif;
    const size_t taken = TakenBy([&] { ASSERT_EQ(0, gif.DecodeMemory(data.data(), static_cast<DWORD>(data.size()))); });
    EXPECT_LT(taken, kSmallBlocks);
    ASSERT_NE(nullptr, gif.m_dib);
    Dib picture(gif.m_dib);
    EXPECT_EQ(23, Header(picture).biWidth);
    EXPECT_EQ(17, Header(picture).biHeight);
    EXPECT_EQ(23, gif.m_frameWidth);
    EXPECT_EQ(17, gif.m_frameHeight);
    // The first row holds the frame's first pixels.
    for (int x = 0; x < 23; ++x)
        EXPECT_EQ((x * 7) % 16, samples::IndexAt(picture, x, 0)) << x;

    HGLOBAL fromPlugin = nullptr;
    EXPECT_LT(TakenBy([&] { fromPlugin = PictureFromPlugin(L"vyx_gif", data); }), kSmallBlocks);
    ASSERT_NE(nullptr, fromPlugin);
    EXPECT_EQ(23, static_cast<const BITMAPINFOHEADER*>(LocalLock(fromPlugin))->biWidth);
    LocalUnlock(fromPlugin);
    LocalFree(fromPlugin);
}

TEST(DeclaredSizeRobustness, AGifOfFiftyBytesDeclaringSixteenThousandPixelsASideIsRefusedBeforeMemoryIsTaken)
{
    // Its 4-bit picture would take 128 MB, within what one picture may take; its data reach a
    // few rows.
    GifFrame frame;
    frame.width = frame.height = 16000;
    frame.data = {2, 3, 0x84, 0x8F, 0x01, 0};
    const Input data = samples::MakeGif(16000, 16000, Table(4), {frame});
    ASSERT_LE(data.size(), 50u);
    GifFile gif;
    int result = 0;
    EXPECT_LT(TakenBy([&] { result = gif.DecodeMemory(data.data(), static_cast<DWORD>(data.size())); }), kSmallBlocks);
    EXPECT_EQ(4, result);
    EXPECT_EQ(nullptr, gif.m_dib);
    if (gif.m_dib)
        GlobalFree(gif.m_dib);
    ExpectPluginRefuses(L"vyx_gif", data);
}

TEST(DeclaredSizeRobustness, ARunLengthBmpTallerThanItsDataCanReachIsRefusedBeforeMemoryIsTaken)
{
    const Input data = RunLengthBmpTallerThanItsData();
    ASSERT_LT(data.size(), 6000u);
    HGLOBAL picture = nullptr;
    EXPECT_LT(TakenBy([&] { picture = ReadBmpMemory(data.data(), data.size()); }), kSmallBlocks);
    EXPECT_EQ(nullptr, picture);
    HGLOBAL fromPlugin = nullptr;
    EXPECT_LT(TakenBy([&] { fromPlugin = PictureFromPlugin(L"vyx_bmp", data); }), kSmallBlocks);
    EXPECT_EQ(nullptr, fromPlugin);

    // The same rows with the height they fill read as they are.
    Input filled = Put32(data, 22, 1200);
    Dib whole(ReadBmpMemory(filled.data(), filled.size()));
    ASSERT_NE(nullptr, static_cast<HGLOBAL>(whole));
    EXPECT_EQ(1200, Header(whole).biHeight);
    EXPECT_EQ(7, samples::IndexAt(whole, 28, 1200 - 1 - 7));
}

TEST(DeclaredSizeRobustness, AStoredBmpFarLargerThanItsBytesIsRefusedButACutFileShowsItsRows)
{
    Input rows(4 * 100, 0x40);
    const Input huge = MakeBmp(40, 8000, 8000, 24, BI_RGB, {}, rows);
    HGLOBAL picture = nullptr;
    EXPECT_LT(TakenBy([&] { picture = ReadBmpMemory(huge.data(), huge.size()); }), kSmallBlocks);
    EXPECT_EQ(nullptr, picture);
    // Half of a picture's rows: the other half stays black.
    const Input half = MakeBmp(40, 100, 100, 24, BI_RGB, {}, Input(300 * 50, 0x40));
    Dib shown(ReadBmpMemory(half.data(), half.size()));
    ASSERT_NE(nullptr, static_cast<HGLOBAL>(shown));
    EXPECT_EQ(100, Header(shown).biHeight);
}

TEST(DeclaredSizeRobustness, ATiffWhoseCountsPassItsFileIsReadWithoutTakingWhatTheySay)
{
    const Input data = TiffWithHugeCounts();
    ASSERT_LT(data.size(), 400u);
    const ScratchFolder folder;
    const std::wstring path = folder.File(L"counts.tif");
    WriteWholeFile(path, data);
    for (int page : {0, 1}) {
        TiffFile fromFile;
        fromFile.m_page = page;
        fromFile.m_file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, fromFile.m_file);
        EXPECT_LT(TakenBy([&] { fromFile.Decode(); }), kSmallBlocks) << page;
        ExerciseAndFree(fromFile.m_dib);
        EXPECT_LT(TakenBy([&] { fromFile.CountPages(); }), kSmallBlocks);
        CloseHandle(fromFile.m_file);

        TiffFile fromMemory;
        fromMemory.m_page = page;
        fromMemory.m_data = data.data();
        fromMemory.m_dataSize = static_cast<DWORD>(data.size());
        EXPECT_LT(TakenBy([&] { fromMemory.Decode(); }), kSmallBlocks) << page;
        ExerciseAndFree(fromMemory.m_dib);
    }
}

TEST(DeclaredSizeRobustness, AJpeg2000StreamDeclaringMorePacketsThanItHasBytesIsRefusedAtOnce)
{
    CxImage image;
    bool decoded = true;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    decoded =
        image.Decode(const_cast<BYTE*>(kJpeg2000WithManyLayers), sizeof kJpeg2000WithManyLayers, CXIMAGE_FORMAT_JP2);
    QueryPerformanceCounter(&end);
    EXPECT_FALSE(decoded);
    // A walk over every packet takes seconds on a loaded machine; the refusal no time at all,
    // except under the heap checker's tracing of every block.
    if (!hostile::HeapCheckedShare()) {
        EXPECT_LT(static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart, 0.5);
    }
}

TEST(DeclaredSizeRobustness, AJpegOrPngDeclaringMorePixelsThanItsBytesCanFillIsRefusedBeforeMemoryIsTaken)
{
    const struct
    {
        Input data;
        int type;
        const wchar_t* plugin;
    } cases[] = {{JpegLargerThanItsData(), CXIMAGE_FORMAT_JPG, L"vyx_jpeg"},
                 {PngLargerThanItsData(), CXIMAGE_FORMAT_PNG, L"vyx_png"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_GT(c.data.size(), 100u);
        ASSERT_LT(c.data.size(), 1000u);
        CxImage image;
        bool decoded = true;
        EXPECT_LT(TakenBy([&] {
                      decoded =
                          image.Decode(const_cast<BYTE*>(c.data.data()), static_cast<DWORD>(c.data.size()), c.type);
                  }),
                  kSmallBlocks);
        EXPECT_FALSE(decoded);
        ExpectPluginRefuses(c.plugin, c.data);
    }
}
