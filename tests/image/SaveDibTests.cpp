#include "DibTestUtil.h"

#include "common/AllocationLimit.h"
#include "common/FullDisk.h"

#include "image/DibDepth.h"
#include "image/codecs/ImgFile.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/SaveDib.h"
#include "image/cximage/CxImage.h"

#include <gtest/gtest.h>

#include <thread>

using namespace dibtest;

namespace {

COLORREF Pattern(LONG x, LONG y)
{
    return RGB(x * 16, y * 20, (x + y) * 8);
}

// The file's picture as a 24-bit DIB, with the format the library found.
HGLOBAL ReadBack(const std::wstring& path, DWORD* format = nullptr, WORD* bits = nullptr)
{
    std::vector<BYTE> data = ReadWholeFile(path);
    CxImage image;
    if (data.empty() || !image.Decode(data.data(), static_cast<DWORD>(data.size()), 0))
        return nullptr;
    if (format)
        *format = image.GetType();
    if (bits)
        *bits = image.GetBpp();
    HGLOBAL dib = image.CopyToHandle();
    HGLOBAL wide = MakeDib24(dib);
    if (wide != dib)
        GlobalFree(dib);
    return wide;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int MaxDifference(HGLOBAL a, HGLOBAL b, LONG w, LONG h)
{
    int worst = 0;
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            COLORREF p = Pixel24(a, x, y), q = Pixel24(b, x, y);
            worst = std::max({worst, std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                              std::abs(GetBValue(p) - GetBValue(q))});
        }
    return worst;
}

} // namespace

TEST(SaveDib, EveryFormatSavesAndReadsBack)
{
    ScratchFolder folder;
    const LONG w = 16, h = 12;
    Dib dib(Make24(w, h, Pattern));
    std::vector<BYTE> before = Bytes(dib);
    struct Case
    {
        const wchar_t* name;
        DWORD format;
        int tolerance; // largest channel difference read back
        std::function<int(const std::wstring&)> save;
    };
    const Case cases[] = {
        {L"a.bmp", CXIMAGE_FORMAT_BMP, 0, [&](const std::wstring& p) { return SaveDibAsBmp(p.c_str(), dib); }},
        {L"b.png", CXIMAGE_FORMAT_PNG, 0, [&](const std::wstring& p) { return SaveDibAsPng(p.c_str(), dib, 9); }},
        {L"c.tif", CXIMAGE_FORMAT_TIF, 0, [&](const std::wstring& p) { return SaveDibAsTiff(p.c_str(), dib, 5); }},
        {L"d.jpg", CXIMAGE_FORMAT_JPG, 40,
         [&](const std::wstring& p) { return SaveDibAsJpeg(p.c_str(), dib, 90, 1, 0); }},
        {L"e.jp2", CXIMAGE_FORMAT_JP2, 0,
         [&](const std::wstring& p) { return SaveDibAsJpeg2000(p.c_str(), dib, 100, 0, 0); }},
        {L"f.jp2", CXIMAGE_FORMAT_JP2, 90,
         [&](const std::wstring& p) { return SaveDibAsJpeg2000(p.c_str(), dib, 50, 0, 0); }},
        {L"g.gif", CXIMAGE_FORMAT_GIF, 0, [&](const std::wstring& p) { return SaveDibAsGif(p.c_str(), dib, 0); }},
        {L"h.tif", CXIMAGE_FORMAT_TIF, 0,
         [&](const std::wstring& p) { return SaveDibAs(p.c_str(), dib, CXIMAGE_FORMAT_TIF); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format);
        std::wstring path = folder.File(c.name);
        ASSERT_EQ(0, c.save(path));
        DWORD format = 0;
        Dib back(ReadBack(path, &format));
        ASSERT_TRUE(back);
        EXPECT_EQ(c.format, format);
        ASSERT_EQ(w, Header(back).biWidth);
        ASSERT_EQ(h, Header(back).biHeight);
        EXPECT_LE(MaxDifference(dib, back, w, h), c.tolerance);
    }
    EXPECT_EQ(before, Bytes(dib));
}

TEST(SaveDib, JpegProgressiveAndGreyFlagsReachTheFile)
{
    ScratchFolder folder;
    Dib dib(Make24(16, 8, Pattern));
    for (int progressive : {0, 1})
        for (int grey : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "progressive " << progressive << ", grey " << grey);
            std::wstring path = folder.File(L"flags.jpg");
            ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib, 80, progressive, grey));
            // The frame header: SOF0 baseline or SOF2 progressive, its component count.
            std::vector<BYTE> file = ReadWholeFile(path);
            int frame = 0, components = 0;
            for (size_t i = 2; i + 9 < file.size() && !frame; ++i)
                if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
                    frame = file[i + 1];
                    components = file[i + 9];
                }
            EXPECT_EQ(progressive ? 0xC2 : 0xC0, frame);
            EXPECT_EQ(grey ? 1 : 3, components);
        }
}

TEST(SaveDib, AJpegWhoseEncodingFailsOverAnExistingPictureLeavesThatPicture)
{
    ScratchFolder folder;
    const std::wstring path = folder.File(L"photo.jpg");
    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), Dib(Make24(16, 8, Pattern)), 90, 0, 0));
    const std::vector<BYTE> before = ReadWholeFile(path);
    ASSERT_FALSE(before.empty());
    // Rows this wide need more working memory than the limit lets the encoder have.
    Dib wide(Make24(4000, 16, Pattern));
    const std::wstring fresh = folder.File(L"fresh.jpg");
    {
        AllocationLimit limit(32 * 1024);
        ASSERT_TRUE(limit);
        EXPECT_EQ(3, SaveDibAsJpeg(path.c_str(), wide, 90, 0, 0));
        EXPECT_EQ(3, SaveDibAsJpeg(fresh.c_str(), wide, 90, 1, 0));
    }
    EXPECT_EQ(before, ReadWholeFile(path));
    // A file the failed save made is not left behind either.
    EXPECT_FALSE(FileExists(fresh));
    // With the memory back the same save writes over it.
    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), wide, 90, 0, 0));
    EXPECT_NE(before, ReadWholeFile(path));
}

TEST(SaveDib, ASaveThatCannotWriteOverAPictureLeavesThatPictureAndNothingBesideIt)
{
    ScratchFolder folder;
    Dib old(Make24(16, 8, Pattern));
    Dib fresh(Make24(16, 8, [](LONG x, LONG y) { return RGB(255 - x * 16, y * 30, 7); }));
    Dib indexed(MakeIndexed(9, 5, 8, {RGB(10, 200, 30), RGB(250, 4, 90)}, [](LONG x, LONG y) { return (x + y) & 1; }));
    const struct
    {
        const wchar_t* name;
        std::function<int(const wchar_t*, HGLOBAL)> save;
    } cases[] = {
        {L"a.bmp", [](const wchar_t* p, HGLOBAL d) { return SaveDibAsBmp(p, d); }},
        {L"b.png", [](const wchar_t* p, HGLOBAL d) { return SaveDibAsPng(p, d, 9); }},
        {L"c.tif", [](const wchar_t* p, HGLOBAL d) { return SaveDibAsTiff(p, d, 5); }},
        {L"d.gif", [](const wchar_t* p, HGLOBAL d) { return SaveDibAsGif(p, d, 0); }},
        {L"e.jp2", [](const wchar_t* p, HGLOBAL d) { return SaveDibAsJpeg2000(p, d, 100, 0, 0); }},
        {L"f.jpg", [](const wchar_t* p, HGLOBAL d) { return SaveDibAsJpeg(p, d, 90, 0, 0); }},
        // An indexed picture takes the image layer's way to JPEG.
        {L"g.jpg",
         [&](const wchar_t* p, HGLOBAL d) {
             return SaveDibAsJpeg(p, d == static_cast<HGLOBAL>(fresh) ? static_cast<HGLOBAL>(indexed) : d, 90, 0, 0);
         }},
        {L"h.jpg",
         [](const wchar_t* p, HGLOBAL d) {
             JpegFile codec;
             codec.m_dib = d;
             codec.m_fileName = p;
             return codec.SaveToFile() == 0 ? 0 : 3;
         }},
    };
    std::set<std::wstring> names;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = folder.File(c.name);
        ASSERT_EQ(0, c.save(path.c_str(), old));
        names.insert(c.name);
        const std::vector<BYTE> before = ReadWholeFile(path);
        {
            FullDisk disk;
            ASSERT_TRUE(disk);
            EXPECT_EQ(3, c.save(path.c_str(), fresh));
        }
        EXPECT_EQ(before, ReadWholeFile(path));
        EXPECT_EQ(names, folder.Names());
        // With room on the disk the same save replaces it.
        ASSERT_EQ(0, c.save(path.c_str(), fresh));
        EXPECT_NE(before, ReadWholeFile(path));
    }
}

// The JPEG save encodes a plain 24-bit picture where it lies; every other goes through the image
// layer. Both must give the layer's bytes, for every option and any quality number.
TEST(SaveDib, JpegBytesAreTheImageLayersWhateverThePictureAndOptions)
{
    ScratchFolder folder;
    auto layer = [&](HGLOBAL dib, int quality, int progressive, int grey) {
        const std::wstring path = folder.File(L"layer.jpg");
        ImgFile file;
        file.m_fileName = path.c_str();
        file.m_dib = dib;
        file.m_format = CXIMAGE_FORMAT_JPG;
        file.m_quality = static_cast<DWORD>(quality);
        file.m_flag1 = grey != 0;
        file.m_flag2 = progressive != 0;
        const int result = file.SaveToFile();
        file.m_dib = nullptr;
        return result == 0 ? ReadWholeFile(path) : std::vector<BYTE>();
    };
    Dib wide(Make24(37, 23, Pattern));
    Dib indexed(MakeIndexed(9, 5, 8, {RGB(10, 200, 30), RGB(250, 4, 90)}, [](LONG x, LONG y) { return (x + y) & 1; }));
    for (HGLOBAL dib : {static_cast<HGLOBAL>(wide), static_cast<HGLOBAL>(indexed)})
        for (int quality : {90, 30, 300, -5})
            for (int progressive : {0, 1})
                for (int grey : {0, 1}) {
                    SCOPED_TRACE(testing::Message() << GetDibBitCount(dib) << " bits, quality " << quality
                                                    << ", progressive " << progressive << ", grey " << grey);
                    const std::vector<BYTE> before = Bytes(dib), expected = layer(dib, quality, progressive, grey);
                    ASSERT_FALSE(expected.empty());
                    // A new file and one written over: the same bytes either way.
                    const std::wstring path = folder.File(L"saved.jpg");
                    DeleteFileW(path.c_str());
                    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib, quality, progressive, grey));
                    EXPECT_EQ(expected, ReadWholeFile(path));
                    ASSERT_EQ(0, SaveDibAsJpeg(path.c_str(), dib, quality, progressive, grey));
                    EXPECT_EQ(expected, ReadWholeFile(path));
                    EXPECT_EQ(before, Bytes(dib));
                }
    // A folder that is not there: nothing written, failure told.
    EXPECT_EQ(3, SaveDibAsJpeg(folder.File(L"missing\\x.jpg").c_str(), wide, 90, 0, 0));
    EXPECT_FALSE(FileExists(folder.File(L"missing\\x.jpg")));
}

TEST(SaveDib, LossyJpeg2000IsSmallerThanLossless)
{
    ScratchFolder folder;
    Dib dib(Make24(64, 64, [](LONG x, LONG y) { return RGB((x * y) % 256, (x * 7) % 256, (y * 5) % 256); }));
    ASSERT_EQ(0, SaveDibAsJpeg2000(folder.File(L"a.jp2").c_str(), dib, 100, 0, 0));
    ASSERT_EQ(0, SaveDibAsJpeg2000(folder.File(L"b.jp2").c_str(), dib, 10, 0, 0));
    EXPECT_LT(ReadWholeFile(folder.File(L"b.jp2")).size(), ReadWholeFile(folder.File(L"a.jp2")).size());
}

TEST(SaveDib, SmallPaletteGifIsWrittenWithEightBitsAndTheCallersDibStays)
{
    ScratchFolder folder;
    Dib dib(MakeIndexed(7, 5, 4, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                        [](LONG x, LONG y) { return (x + y) % 3; }));
    std::vector<BYTE> before = Bytes(dib);
    std::wstring path = folder.File(L"four.gif");
    ASSERT_EQ(0, SaveDibAsGif(path.c_str(), dib, 0));
    EXPECT_EQ(before, Bytes(dib));
    std::vector<BYTE> file = ReadWholeFile(path);
    ASSERT_GT(file.size(), 13u);
    EXPECT_EQ(7, file[10] & 7); // a 256-entry global table
    WORD bits = 0;
    Dib back(ReadBack(path, nullptr, &bits));
    EXPECT_EQ(8, bits);
    EXPECT_EQ(RGB(0, 255, 0), Pixel24(back, 1, 0));
}

TEST(SaveDib, TrueColourGifIsReducedToItsPalette)
{
    ScratchFolder folder;
    const LONG w = 40, h = 30;
    Dib dib(Make24(w, h, [](LONG x, LONG y) { return RGB(x * 6, y * 8, 100); }));
    std::wstring path = folder.File(L"true.gif");
    ASSERT_EQ(0, SaveDibAsGif(path.c_str(), dib, 0));
    Dib back(ReadBack(path));
    ASSERT_TRUE(back);
    EXPECT_LE(MaxDifference(dib, back, w, h), 40);
}

TEST(SaveDib, SaveAsBmpFormatEqualsSaveDibAsBmp)
{
    ScratchFolder folder;
    Dib dib(Make24(5, 3, Pattern));
    ASSERT_EQ(0, SaveDibAs(folder.File(L"a.bmp").c_str(), dib, CXIMAGE_FORMAT_BMP));
    ASSERT_EQ(0, SaveDibAsBmp(folder.File(L"b.bmp").c_str(), dib));
    EXPECT_EQ(ReadWholeFile(folder.File(L"a.bmp")), ReadWholeFile(folder.File(L"b.bmp")));
}

TEST(SaveDib, UnwritablePathGivesThreeAndNoFile)
{
    ScratchFolder folder;
    Dib dib(Make24(5, 3, Pattern));
    std::wstring path = folder.File(L"missing\\x.png");
    EXPECT_EQ(3, SaveDibAsPng(path.c_str(), dib, 0));
    EXPECT_EQ(3, SaveDibAsBmp(nullptr, dib));
    EXPECT_EQ(3, SaveDibAsJpeg(folder.File(L"none.jpg").c_str(), nullptr, 90, 0, 0));
    EXPECT_FALSE(FileExists(folder.File(L"none.jpg")));
}

TEST(Clipboard, CopyPutsTheWholeDibOnTheClipboard)
{
    Dib dib(MakeIndexed(6, 4, 8, {RGB(1, 2, 3), RGB(4, 5, 6)}, [](LONG x, LONG) { return x & 1; }));
    ASSERT_TRUE(CopyDibToClipboard(dib));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_DIB);
    ASSERT_NE(nullptr, data);
    std::vector<BYTE> expected = Bytes(dib);
    ASSERT_GE(GlobalSize(data), expected.size());
    EXPECT_EQ(0, std::memcmp(GlobalLock(data), expected.data(), expected.size()));
    GlobalUnlock(data);
    CloseClipboard();
}

TEST(Clipboard, TextGoesOnTheClipboardAsUnicode)
{
    ASSERT_TRUE(CopyTextToClipboard(L"写真 1"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(nullptr, data);
    EXPECT_STREQ(L"写真 1", static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_FALSE(CopyTextToClipboard(nullptr));
}

TEST(Clipboard, NullDibLeavesTheClipboardAlone)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4 * sizeof(wchar_t));
    std::memcpy(GlobalLock(text), L"abc", 4 * sizeof(wchar_t));
    GlobalUnlock(text);
    SetClipboardData(CF_UNICODETEXT, text);
    CloseClipboard();
    DWORD sequence = GetClipboardSequenceNumber();
    EXPECT_FALSE(CopyDibToClipboard(nullptr));
    EXPECT_EQ(sequence, GetClipboardSequenceNumber());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    CloseClipboard();
}

TEST(Clipboard, ClipboardHeldElsewhereReportsFailure)
{
    Dib dib(Make24(2, 2, Pattern));
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    EXPECT_FALSE(CopyDibToClipboard(dib));
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_TRUE(CopyDibToClipboard(dib));
}

TEST(ReduceProgress, WithoutDialogNeverCancels)
{
    RegisterReduceProgressDialog(nullptr);
    EXPECT_EQ(0, ReportReduceProgress(0));
    EXPECT_EQ(0, ReportReduceProgress(500));
}
