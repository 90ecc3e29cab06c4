// The program's own plug-ins, loaded from the program's output folder as the program finds them.
#include "ImageSamples.h"
#include "PluginTestUtil.h"

#include "image/DibDepth.h"
#include "image/DibFile.h"
#include "image/codecs/ImgFile.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/VideoFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using namespace plugintest;

namespace {

std::string Bytes(const VyxByteBuffer& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), buffer.GetCapacity());
}

HGLOBAL TestDib(LONG width = 7, LONG height = 5)
{
    return dibtest::Make24(width, height, [](LONG x, LONG y) { return TestColor(x, y); });
}

std::string JpegBytes(LONG width, LONG height)
{
    dibtest::Dib dib(TestDib(width, height));
    JpegFile codec;
    codec.m_dib = dib;
    codec.m_quality = 95;
    return codec.SaveToMemory() == 0 ? Bytes(codec.m_buffer) : std::string();
}

std::string PngBytes()
{
    dibtest::Dib dib(TestDib());
    ImgFile codec;
    codec.m_format = CXIMAGE_FORMAT_PNG;
    codec.m_dib = dib;
    return codec.SaveToMemory() == 0 ? Bytes(codec.m_buffer) : std::string();
}

std::string GifBytes()
{
    std::vector<COLORREF> table;
    samples::GifFrame frame;
    frame.width = 7;
    frame.height = 5;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            frame.indices.push_back(static_cast<int>(table.size()));
            table.push_back(TestColor(x, y));
        }
    std::vector<BYTE> gif = samples::MakeGif(7, 5, table, {frame}, "a comment");
    return std::string(gif.begin(), gif.end());
}

std::string TiffBytes()
{
    samples::TiffPage page;
    page.width = 7;
    page.height = 5;
    page.samplesPerPixel = 3;
    page.photometric = PHOTOMETRIC_RGB;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            COLORREF c = TestColor(x, y);
            page.data.insert(page.data.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    std::vector<BYTE> tiff = samples::MakeTiff({page});
    return std::string(tiff.begin(), tiff.end());
}

std::string BmpBytes()
{
    dibtest::Dib dib(TestDib());
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(dib));
    BITMAPFILEHEADER header = MakeBmpFileHeader(block);
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(block), DibTotalSize(block));
    GlobalUnlock(dib);
    return bytes;
}

// A marker segment put right after the start of image.
std::string WithSegment(const std::string& jpeg, BYTE marker, const std::string& payload)
{
    size_t length = payload.size() + 2;
    std::string segment = {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                           static_cast<char>(length & 0xFF)};
    return jpeg.substr(0, 2) + segment + payload + jpeg.substr(2);
}

bool Close(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 24 && std::abs(GetGValue(a) - GetGValue(b)) <= 24 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 24;
}

// The host over the program's own plug-ins.
struct OwnFixture
{
    ScratchSettings settings;
    SPImapIndex host;

    OwnFixture()
    {
        std::wstring pattern = OwnPluginFolder() + L"\\*.spi";
        host.ScanPlugins(pattern.c_str(), nullptr, nullptr);
    }
    int Id(const wchar_t* name)
    {
        VyxSPI* plugin = host.FindPluginByName(name, SPImapIndex::KindImage);
        return plugin ? plugin->GetId() : -1;
    }
    std::wstring Write(const wchar_t* name, const std::string& bytes)
    {
        std::wstring path = settings.Folder() / name;
        ScratchFolder::WriteFile(path, bytes);
        return path;
    }
    int Info(int id, const std::wstring& path, SPIPictureInfoEx* info)
    {
        SPIRequest request;
        request.id = id;
        request.source = path.c_str();
        return host.GetPictureInfo(&request, info);
    }
    // Decodes a file (memory = false) or its bytes; null on failure.
    HGLOBAL Picture(int id, const std::wstring& path, const std::string& bytes, bool memory, int reduction = 1,
                    int desiredWidth = 0, int desiredHeight = 0)
    {
        SPIRequest request = PictureRequest(id, path, bytes, memory);
        request.reduction = reduction;
        request.desiredWidth = desiredWidth;
        request.desiredHeight = desiredHeight;
        return host.GetPicture(&request) == SPI_OK ? request.output : nullptr;
    }
};

// A plug-in DLL loaded on its own, as another host would.
struct ForeignHost
{
    explicit ForeignHost(const wchar_t* name)
    {
        module = LoadLibraryW((OwnPluginFolder() + L"\\" + name + L".spi").c_str());
        getPicture = reinterpret_cast<SPIGetPictureProc>(GetProcAddress(module, "GetPicture"));
        getPictureInfo = reinterpret_cast<SPIGetPictureInfoProc>(GetProcAddress(module, "GetPictureInfo"));
        isSupported = reinterpret_cast<SPIIsSupportedProc>(GetProcAddress(module, "IsSupported"));
    }
    ~ForeignHost() { FreeLibrary(module); }
    HMODULE module;
    SPIGetPictureProc getPicture;
    SPIGetPictureInfoProc getPictureInfo;
    SPIIsSupportedProc isSupported;
};

} // namespace

TEST(OwnPlugins, AreFoundBesideTheProgramWithTheirGroupInTheirIds)
{
    const std::map<std::wstring, int> groups = {{L"vyx_jpeg", 0x101}, {L"vyx_gif", 0x102}, {L"vyx_tiff", 0x103},
                                                {L"vyx_bmp", 0x100},  {L"vyx_png", 0x104}, {L"vyx_avi", 0x300},
                                                {L"vyx_dshow", 0x301}};
    OwnFixture f;
    EXPECT_EQ(0, f.host.GetPluginCount(SPImapIndex::KindArchive));
    int count = f.host.GetPluginCount(SPImapIndex::KindImage);
    ASSERT_EQ(7, count);
    for (int i = 0; i < count; ++i) {
        VyxSPI* plugin = f.host.GetPluginAt(i, SPImapIndex::KindImage);
        std::wstring name = plugin->GetFileName().GetString();
        SCOPED_TRACE(name);
        ASSERT_EQ(1u, groups.count(name));
        EXPECT_TRUE(plugin->IsEnabled());
        EXPECT_GE(plugin->GetInfoString(1).Find(L"VYX.KR."), 0);
        EXPECT_EQ(groups.at(name), f.host.GetGroupCode(plugin->GetInfoString(3)));
        EXPECT_EQ(groups.at(name), plugin->GetGroup());
        EXPECT_EQ(i + (groups.at(name) << 16), plugin->GetId()); // index in name order
        EXPECT_FALSE(plugin->GetFilePatterns().IsEmpty());
    }
    EXPECT_TRUE(f.host.IsSupportedName(L"photo.JPG", SPImapIndex::KindImage));
    EXPECT_TRUE(f.host.IsSupportedName(L"photo.png", SPImapIndex::KindImage));
    EXPECT_TRUE(f.host.IsSupportedName(L"photo.bmp", SPImapIndex::KindImage));
}

TEST(OwnPlugins, JpegDecodesAtTheRequestedReductionAsLibjpegScales)
{
    struct Case
    {
        int reduction;
        int scale;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 2}, {4, 4}, {7, 4}, {8, 8}, {20, 8}};
    OwnFixture f;
    std::string jpeg = JpegBytes(100, 75);
    std::wstring path = f.Write(L"p.jpg", jpeg);
    int id = f.Id(L"vyx_jpeg");
    ASSERT_GE(id, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reduction);
        dibtest::Dib picture(f.Picture(id, path, jpeg, false, c.reduction));
        ASSERT_NE(nullptr, picture.handle);
        EXPECT_EQ((100 + c.scale - 1) / c.scale, GetDibWidth(picture));
        EXPECT_EQ((75 + c.scale - 1) / c.scale, GetDibHeight(picture));
    }
    // A reduction of 4 gives libjpeg's quarter size: 25 x 19.
    dibtest::Dib quarter(f.Picture(id, path, jpeg, true, 4));
    EXPECT_EQ(25, GetDibWidth(quarter));
    EXPECT_EQ(19, GetDibHeight(quarter));
}

TEST(OwnPlugins, JpegTakesItsReductionFromTheDesiredSizeWhenTheCallerHasNone)
{
    OwnFixture f;
    std::string jpeg = JpegBytes(100, 75);
    std::wstring path = f.Write(L"p.jpg", jpeg);
    dibtest::Dib picture(f.Picture(f.Id(L"vyx_jpeg"), path, jpeg, false, 0, 20, 15));
    EXPECT_EQ(25, GetDibWidth(picture)); // 100 / 20 = 5, so a scale of 1/4
    EXPECT_EQ(19, GetDibHeight(picture));
}

TEST(OwnPlugins, DecodeFilesAndMemoryAndTellThePicturesFacts)
{
    struct Case
    {
        const wchar_t* plugin;
        const wchar_t* file;
        std::string bytes;
        bool exact;
    };
    const Case cases[] = {
        {L"vyx_jpeg", L"p.jpg", JpegBytes(7, 5), false}, {L"vyx_bmp", L"p.bmp", BmpBytes(), true},
        {L"vyx_png", L"p.png", PngBytes(), true},        {L"vyx_gif", L"p.gif", GifBytes(), true},
        {L"vyx_tiff", L"p.tif", TiffBytes(), true},
    };
    OwnFixture f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plugin);
        ASSERT_FALSE(c.bytes.empty());
        std::wstring path = f.Write(c.file, c.bytes);
        int id = f.Id(c.plugin);
        ASSERT_GE(id, 0);
        EXPECT_EQ(id, f.host.IsSupported(FileQuery(path)));

        SPIPictureInfoEx info;
        ASSERT_EQ(SPI_OK, f.Info(id, path, &info));
        EXPECT_EQ(7, info.info.width);
        EXPECT_EQ(5, info.info.height);
        EXPECT_EQ(c.plugin == std::wstring(L"vyx_gif") ? 6 : 24, info.info.colorDepth); // a 64-entry table
        if (info.info.hInfo)
            GlobalFree(info.info.hInfo);

        for (bool memory : {false, true}) {
            dibtest::Dib decoded(f.Picture(id, path, c.bytes, memory));
            ASSERT_NE(nullptr, decoded.handle);
            HGLOBAL wide = MakeDib24(decoded);
            dibtest::Dib picture(wide == decoded.handle ? decoded.release() : wide);
            ASSERT_EQ(7, GetDibWidth(picture));
            ASSERT_EQ(5, GetDibHeight(picture));
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    if (c.exact)
                        EXPECT_EQ(TestColor(x, y), DibPixel(picture, x, y));
                    else
                        EXPECT_TRUE(Close(TestColor(x, y), DibPixel(picture, x, y)));
                }
        }
    }
}

TEST(OwnPlugins, JpegInformationHandsOverItsExifBlockAndComment)
{
    OwnFixture f;
    std::string exif("Exif\0\0II*\0\x08\0\0\0\0\0", 16);
    std::string jpeg = WithSegment(WithSegment(JpegBytes(12, 8), 0xFE, "a comment"), 0xE1, exif);
    std::wstring path = f.Write(L"p.jpg", jpeg);
    SPIPictureInfoEx info;
    ASSERT_EQ(SPI_OK, f.Info(f.Id(L"vyx_jpeg"), path, &info));
    EXPECT_EQ(12, info.info.width);
    ASSERT_NE(nullptr, info.exif[0]);
    EXPECT_EQ(exif.size(), GlobalSize(info.exif[0]));
    EXPECT_EQ(0, std::memcmp(GlobalLock(info.exif[0]), exif.data(), exif.size()));
    GlobalUnlock(info.exif[0]);
    GlobalFree(info.exif[0]);
    ASSERT_NE(nullptr, info.info.hInfo);
    EXPECT_STREQ("a comment", static_cast<const char*>(GlobalLock(info.info.hInfo)));
    GlobalUnlock(info.info.hInfo);
    GlobalFree(info.info.hInfo);

    // Another host's record is the convention's 26 bytes: nothing after them is touched.
    ForeignHost other(L"vyx_jpeg");
    BYTE record[sizeof(SPIPictureInfoEx)];
    std::memset(record, 0xCC, sizeof(record));
    ASSERT_EQ(SPI_OK, other.getPictureInfo(jpeg.data(), static_cast<LONG_PTR>(jpeg.size()), SPI_INPUT_MEMORY,
                                           reinterpret_cast<SPIPictureInfo*>(record)));
    for (size_t i = sizeof(SPIPictureInfo); i < sizeof(record); ++i)
        ASSERT_EQ(0xCC, record[i]) << i;
    GlobalFree(reinterpret_cast<SPIPictureInfo*>(record)->hInfo);
}

TEST(OwnPlugins, AnotherHostGetsTheConventionsTwoHandlesAtFullSize)
{
    ForeignHost other(L"vyx_jpeg");
    ASSERT_NE(nullptr, other.getPicture);
    std::string jpeg = JpegBytes(100, 75);
    HLOCAL info = nullptr, bits = nullptr;
    ASSERT_EQ(SPI_OK, other.getPicture(jpeg.data(), static_cast<LONG_PTR>(jpeg.size()), SPI_INPUT_MEMORY, &info, &bits,
                                       nullptr, 0));
    ASSERT_NE(nullptr, info);
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(sizeof(BITMAPINFOHEADER), LocalSize(info));
    const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(LocalLock(info));
    EXPECT_EQ(100, header->biWidth);
    EXPECT_EQ(75, header->biHeight);
    EXPECT_EQ(CalcDibImageSize(100, 75, 24), LocalSize(bits));
    LocalUnlock(info);
    LocalFree(info);
    LocalFree(bits);
}

namespace {

struct ProgressLog
{
    int calls = 0;
    int stopAt = 0; // 0: never
    double last = -1;
    bool backwards = false;
};
ProgressLog s_progress;

int WINAPI LogProgress(int done, int total, LONG_PTR)
{
    ++s_progress.calls;
    const double part = total > 0 ? static_cast<double>(done) / total : 0;
    s_progress.backwards |= part < s_progress.last;
    s_progress.last = part;
    return s_progress.stopAt != 0 && s_progress.calls >= s_progress.stopAt ? 1 : 0;
}

} // namespace

TEST(OwnPlugins, JpegReportsAsItDecodesAndStopsWhenTheCallbackAsks)
{
    OwnFixture f;
    std::string jpeg = JpegBytes(400, 640);
    std::wstring path = f.Write(L"tall.jpg", jpeg);
    const int id = f.Id(L"vyx_jpeg");
    for (bool memory : {false, true}) {
        SCOPED_TRACE(memory);
        s_progress = ProgressLog();
        SPIRequest request = PictureRequest(id, path, jpeg, memory);
        request.progress = LogProgress;
        ASSERT_EQ(SPI_OK, f.host.GetPicture(&request));
        dibtest::Dib picture(request.output);
        // Beyond the start and the end, the decode reports band by band, never going back.
        EXPECT_GT(s_progress.calls, 10);
        EXPECT_FALSE(s_progress.backwards);
        EXPECT_EQ(1.0, s_progress.last);

        // Asked to stop halfway, it gives nothing and says so.
        s_progress = ProgressLog();
        s_progress.stopAt = 6;
        SPIRequest stopped = PictureRequest(id, path, jpeg, memory);
        stopped.progress = LogProgress;
        EXPECT_EQ(SPI_ABORTED, f.host.GetPicture(&stopped));
        EXPECT_EQ(nullptr, stopped.output);
        EXPECT_EQ(6, s_progress.calls);
    }
}

TEST(OwnPlugins, RefuseForeignAndBrokenDataWithACode)
{
    OwnFixture f;
    std::string garbage("\xFF\xD8\xFF\xE0\x00\x10JFIF garbage follows", 24);
    std::string png = PngBytes();
    BYTE head[SPI_HEAD_BYTES] = {};
    std::memcpy(head, png.data(), png.size() < sizeof(head) ? png.size() : sizeof(head));
    ForeignHost jpeg(L"vyx_jpeg");
    EXPECT_EQ(0, jpeg.isSupported("p.png", head));
    BYTE jpegHead[SPI_HEAD_BYTES] = {};
    std::memcpy(jpegHead, garbage.data(), garbage.size());
    EXPECT_EQ(1, jpeg.isSupported("p.png", jpegHead)); // the bytes decide, not the name

    std::wstring path = f.Write(L"bad.jpg", garbage);
    EXPECT_EQ(nullptr, f.Picture(f.Id(L"vyx_jpeg"), path, garbage, false));
    EXPECT_EQ(nullptr, f.Picture(f.Id(L"vyx_png"), path, garbage, true));
    EXPECT_EQ(nullptr, f.Picture(f.Id(L"vyx_bmp"), path, garbage, true));
    SPIPictureInfoEx info;
    EXPECT_NE(SPI_OK, f.Info(f.Id(L"vyx_bmp"), path, &info));

    // A header announcing 60000 x 60000 pixels is refused, not allocated.
    std::string huge = JpegBytes(16, 16);
    size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(std::string::npos, sof);
    huge[sof + 5] = huge[sof + 7] = static_cast<char>(0xEA);
    huge[sof + 6] = huge[sof + 8] = static_cast<char>(0x60);
    SPIRequest big;
    big.id = f.Id(L"vyx_jpeg");
    big.source = huge.data();
    big.length = static_cast<LONG_PTR>(huge.size());
    big.flags = SPI_INPUT_MEMORY;
    EXPECT_EQ(SPI_NO_MEMORY, f.host.GetPicture(&big));
    EXPECT_EQ(nullptr, big.output);
}

TEST(OwnPlugins, AviPluginGivesTheFrameAtTheMoviePositionFromFileAndMemory)
{
    struct AviLibrary
    {
        AviLibrary() { AVIFileInit(); }
        ~AviLibrary() { AVIFileExit(); }
    } library;
    OwnFixture f;
    std::vector<COLORREF> colours;
    for (int i = 0; i < 10; ++i)
        colours.push_back(RGB(i * 25, 255 - i * 20, 40));
    std::wstring path = f.settings.Folder() / L"ten.avi";
    ASSERT_TRUE(samples::MakeAvi(path, 8, 6, colours, 2, 1)); // 10 frames, 5 seconds
    std::string bytes = ScratchFolder::ReadFile(path);
    int id = f.Id(L"vyx_avi");
    ASSERT_GE(id, 0);
    EXPECT_EQ(id, f.host.IsSupported(FileQuery(path)));

    for (int position : {-50, 2}) {
        SCOPED_TRACE(position);
        f.host.SetMoviePreviewPosition(position);
        dibtest::Dib expected(GetAviFrame(path.c_str(), position));
        ASSERT_NE(nullptr, expected.handle);
        for (bool memory : {false, true}) {
            dibtest::Dib frame(f.Picture(id, path, bytes, memory));
            ASSERT_NE(nullptr, frame.handle);
            EXPECT_EQ(8, GetDibWidth(frame));
            EXPECT_EQ(DibPixel(expected, 3, 3), DibPixel(frame, 3, 3));
        }
    }

    SPIPictureInfoEx info;
    ASSERT_EQ(SPI_OK, f.Info(id, path, &info));
    EXPECT_EQ(8, info.info.width);
    EXPECT_EQ(6, info.info.height);
    EXPECT_DOUBLE_EQ(5.0, info.length);
    EXPECT_EQ(mmioFOURCC('D', 'I', 'B', ' '), info.fourcc);
}

TEST(OwnPlugins, VideoPluginAcceptsVideoContainersAndRefusesWhatItCannotRead)
{
    OwnFixture f;
    int id = f.Id(L"vyx_dshow");
    ASSERT_GE(id, 0);
    const char stream[] = "\x00\x00\x01\xBA not really a stream";
    std::string mpeg(stream, sizeof(stream) - 1);
    std::wstring path = f.Write(L"v.mpg", mpeg);
    EXPECT_EQ(id, f.host.IsSupported(FileQuery(path)));
    EXPECT_EQ(nullptr, f.Picture(id, path, mpeg, false));
    EXPECT_EQ(nullptr, f.Picture(id, path, mpeg, true));
    SPIPictureInfoEx info;
    EXPECT_NE(SPI_OK, f.Info(id, path, &info));
    std::wstring text = f.Write(L"v.txt", "plain text, no video");
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(text)));
}
