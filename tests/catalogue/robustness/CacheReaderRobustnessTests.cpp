// Hostile thumbnail cache files, cache indexes and note files: truncations and mutations of files
// the program writes, lengths that run off the end or wrap, and every tag at every short width.
// Every refusal must be clean, and reading a file must never change it.
#include "../../image/DibTestUtil.h"
#include "../ThumbnailTestUtil.h"
#include "common/HostileInputs.h"

#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxFilexDraw.h"
#include "catalogue/VyxNoteStore.h"
#include "image/codecs/JpegMemory.h"

#include <memory>

using namespace thumbtest;

namespace {

const long long kTime = 1500000000;

std::string AsString(const std::vector<BYTE>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::vector<BYTE> AsBytes(const std::string& text)
{
    return std::vector<BYTE>(text.begin(), text.end());
}

// Loads the file, walks what came of it and restores an item from it; the file stays as it was.
void FeedCacheFile(const ScratchFolder& folder, const std::string& bytes, VyxFile& item)
{
    std::wstring path = PutFile(folder, L"hostile.kwt", bytes);
    VyxCacheFolder cache;
    int result = cache.Load(path.c_str());
    ASSERT_TRUE(result >= 0 && result <= 3) << result;
    if (result != 0) {
        ASSERT_EQ(0, cache.GetCount());
    }
    for (INT_PTR i = 0; i < cache.GetCount(); ++i) {
        const VyxCacheThumbs* record = cache.GetAt(i);
        ASSERT_LE(record->m_fileName.GetLength(), VyxCacheThumbs::MaxText);
        ASSERT_LE(record->m_memberPath.GetLength(), VyxCacheThumbs::MaxText);
        ASSERT_TRUE(record->m_ownsImage || !record->m_image);
        if (record->HasImageBytes()) {
            ASSERT_LT(record->m_imageLength, bytes.size());
        }
    }
    item.DropThumbnail();
    if (cache.RestoreToItem(item) == 0) {
        // A restored thumbnail is a sound DIB that fits its block.
        HGLOBAL thumbnail = item.GetThumbnail();
        BITMAPINFOHEADER header = dibtest::Header(thumbnail);
        ASSERT_EQ(40u, header.biSize);
        ASSERT_GT(header.biWidth, 0);
        ASSERT_GT(header.biHeight, 0);
        ASSERT_GE(GlobalSize(thumbnail), GetDibTotalSize(thumbnail));
    }
    ASSERT_EQ(bytes, ScratchFolder::ReadFile(path));
}

std::string Seed(VyxFile& jpegItem, VyxFile& dibItem)
{
    VyxCacheFolder cache;
    cache.SetCacheImage(0);
    EXPECT_EQ(0, cache.StoreFromItem(jpegItem));
    cache.SetCacheImage(1);
    EXPECT_EQ(0, cache.StoreFromItem(dibItem));
    cache.AddRecord(new VyxCacheThumbs);
    ScratchFolder folder(L"seed");
    std::wstring path = folder / L"seed.kwt";
    EXPECT_EQ(1, cache.SaveIfModified(path.c_str()));
    return ScratchFolder::ReadFile(path);
}

struct PictureItems
{
    ScratchFolder folder{L"robust"};
    std::unique_ptr<VyxFile> jpeg{NewPictureItem(folder, L"j.tpic", 16, 12, kTime)};
    std::unique_ptr<VyxFile> dib{NewPictureItem(folder, L"d.tpic", 16, 12, kTime)};

    PictureItems()
    {
        for (VyxFile* item : {jpeg.get(), dib.get()})
            item->SetThumbnail(dibtest::Make24(8, 6, [](LONG x, LONG y) { return RGB(x * 30, y * 40, 99); }));
    }
};

} // namespace

TEST(CacheReaderRobustness, TruncatedAndMutatedCacheFiles)
{
    StandardPlugins plugins;
    CacheScope scope;
    PictureItems items;
    std::string seed = Seed(*items.jpeg, *items.dib);
    ASSERT_GT(seed.size(), 200u);
    ScratchFolder folder(L"hostile");
    int fed = hostile::FeedHostile({AsBytes(seed)}, 7919u, hostile::InputsPerReader(),
                                   [&](const hostile::Input& data, int index) {
                                       FeedCacheFile(folder, AsString(data), index % 2 ? *items.jpeg : *items.dib);
                                   });
    hostile::Report("thumbnail cache file", fed);
}

TEST(CacheReaderRobustness, LengthsThatRunOffTheEndOrWrap)
{
    CacheScope scope;
    ScratchFolder folder(L"hostile");
    VyxFile item;
    const DWORD lengths[] = {0xFFFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFF0u, 0x80000000u, 0x7FFFFFFFu, 1000, 27};
    for (int tag : {0, 1006, 1014, 1022, 1024, 2001, 9999}) {
        for (DWORD length : lengths) {
            std::string bytes = CacheBytes().Head().Record(L"x.jpg", L"a_image", 1, kTime).bytes;
            bytes += CacheBytes::Le(static_cast<DWORD>(tag)) + CacheBytes::Le(length) + "short";
            bytes += CacheBytes().End().bytes;
            FeedCacheFile(folder, bytes, item);
        }
    }
}

TEST(CacheReaderRobustness, EveryTagAtEveryShortWidth)
{
    CacheScope scope;
    ScratchFolder folder(L"hostile");
    VyxFile item;
    std::vector<int> tags = {-2, -1, 0, 1011, 1014, 1022, 1023, 1024, 1025};
    for (int tag = 1001; tag <= 1021; ++tag)
        tags.push_back(tag);
    for (int tag = 2001; tag <= 2005; ++tag)
        tags.push_back(tag);
    for (int tag : tags) {
        for (size_t width : {0, 1, 2, 3, 4, 5, 7, 8, 9, 91, 92, 93}) {
            std::string value(width, '\xEE');
            std::string bytes = CacheBytes().Head().Field(tag, value).End().Field(tag, value).bytes;
            FeedCacheFile(folder, bytes, item);
        }
    }
}

TEST(CacheReaderRobustness, AStoredThumbnailOfThousandsOfScansIsNoPicture)
{
    // A progressive thumbnail of one colour whose last scan follows itself to fill 64 KB.
    HGLOBAL picture = dibtest::Make24(160, 120, [](LONG, LONG) { return RGB(40, 90, 160); });
    ASSERT_NE(nullptr, picture);
    JpegEncodeSettings settings;
    settings.progressive = true;
    BYTE* data = nullptr;
    SIZE_T size = 0;
    const int encoded = JpegEncodeToMemory(GlobalLock(picture), settings, &data, &size);
    GlobalUnlock(picture);
    GlobalFree(picture);
    ASSERT_EQ(0, encoded);
    const hostile::Input jpeg(data, data + size);
    free(data);
    const hostile::Input many =
        hostile::JpegWithRepeatedScan(jpeg, hostile::JpegScans(jpeg).size() - 1, 6000, hostile::kSmallInput - 1);
    ASSERT_GT(hostile::JpegScans(many).size(), 1000u);

    VyxCacheThumbs record;
    record.m_boxSize = SIZE{160, 120};
    for (const hostile::Input* bytes : {&jpeg, &many}) {
        ASSERT_TRUE(record.SetImage(VyxCacheThumbs::ImageJpeg, bytes->data(), static_cast<DWORD>(bytes->size())));
        hostile::Bounded("cached thumbnail", bytes == &jpeg ? 0 : 1, bytes->data(), bytes->size(), [&] {
            HGLOBAL dib = record.DecodeImage();
            EXPECT_EQ(bytes == &jpeg, dib != nullptr);
            if (dib)
                GlobalFree(dib);
        });
    }
}

TEST(CacheReaderRobustness, HostileIndexesAndNoteFilesAreReadWithoutHarm)
{
    CacheScope scope;
    ScratchFolder root(L"root"), pictures(L"pics");
    std::wstring base = pictures.Path();
    {
        VyxNoteStore writer(root.Path().c_str());
        writer.SetLocation(base.c_str(), L"");
        writer.WriteNote((base + L"\\a[1].jpg").c_str(), L"first\r\nnote");
        writer.SetLocation(base.c_str(), L"box.zip");
        writer.WriteNote(L"sub\\b.jpg", L"second");
        writer.GetThumbsFileName((base + L"\\x=y").c_str(), L"c.zip");
    }
    std::string index = ScratchFolder::ReadFile(root / L"_cache_.lst");
    std::string notes = ScratchFolder::ReadFile(root / L"00000000.kwn");
    ASSERT_FALSE(index.empty());
    ASSERT_FALSE(notes.empty());
    std::vector<std::string> hostile = {"", std::string(5000, '='), std::string("[Note]\r\n\0\0=\0", 12),
                                        "[Thumbsnail]\r\nCacheSeqNo=-5\r\n=\r\n==\r\n:\r\n"};
    // Every profile call reads the whole file again: fewer inputs than the binary reader gets.
    hostile::FeedHostile({AsBytes(index), AsBytes(notes)}, 104729u, hostile::Inputs(2000, 20),
                         [&](const hostile::Input& data, int) { hostile.push_back(AsString(data)); });
    VyxNoteStore store(root.Path().c_str());
    store.BuildDriveKeys();
    for (const std::string& bytes : hostile) {
        PutFile(root, L"_cache_.lst", bytes);
        PutFile(root, L"00000000.kwn", bytes);
        store.SetLocation(base.c_str(), L"");
        store.ReadNote((base + L"\\a[1].jpg").c_str());
        store.SetLocation(base.c_str(), L"box.zip");
        store.ReadNote(L"sub\\b.jpg");
        CString found, archive;
        store.FindThumbsFile(found, (base + L"\\x=y").c_str(), L"c.zip");
        store.HasConfigFile(base.c_str(), L"");
        std::vector<wchar_t> section(bytes.size() + 64);
        for (int kind = 0; kind < VyxCacheIndex::KindCount; ++kind) {
            GetPrivateProfileSectionW(VyxCacheIndex::GetSectionName(kind), section.data(),
                                      static_cast<DWORD>(section.size()), (root / L"_cache_.lst").c_str());
            for (const wchar_t* entry = section.data(); *entry; entry += wcslen(entry) + 1)
                store.ParseKey(CString(entry).SpanExcluding(L"="), archive);
        }
        ASSERT_EQ(bytes, ScratchFolder::ReadFile(root / L"_cache_.lst"));
        ASSERT_EQ(bytes, ScratchFolder::ReadFile(root / L"00000000.kwn"));
    }
    hostile::Report("cache index and note file", static_cast<int>(hostile.size()));
}
