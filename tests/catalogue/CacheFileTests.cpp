#include "ThumbnailTestUtil.h"

#include "catalogue/CacheFileWriter.h"
#include "catalogue/SteppedPictureLoad.h"
#include "common/ImportPatch.h"
#include "foundation/TempMarker.h"
#include "catalogue/VyxFilexDraw.h"
#include "image/DibCore.h"
#include "image/codecs/JpegMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace thumbtest;

namespace {

const long long kTime = 1500000000;

std::string Bytes(const std::wstring& path)
{
    return ScratchFolder::ReadFile(path);
}

// The names in a folder, in order.
std::vector<std::wstring> NamesIn(const ScratchFolder& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
            names.push_back(data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

VyxCacheThumbs* NewRecord(const wchar_t* name, ULONGLONG size, long long time, const wchar_t* loader = L"a_image")
{
    VyxCacheThumbs* record = new VyxCacheThumbs;
    record->m_fileName = name;
    record->m_fileSize = size;
    record->m_fileTime = time;
    record->m_loaderName = loader;
    return record;
}

// A 24-bit picture of the test plug-in's colours.
HGLOBAL TestPicture(int width, int height)
{
    HGLOBAL dib = CreateDib(width, height, 24);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = DibBits(block) + (height - 1 - y) * DibRowSize(block) + x * 3;
            COLORREF c = TestColor(x % 10, y % 8);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    GlobalUnlock(dib);
    return dib;
}

std::string TestJpeg(int width, int height)
{
    HGLOBAL picture = TestPicture(width, height);
    BYTE* data = nullptr;
    SIZE_T size = 0;
    {
        DibLock lock(picture);
        EXPECT_EQ(0, JpegEncodeToMemory(lock.get(), JpegEncodeSettings(), &data, &size));
    }
    GlobalFree(picture);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    free(data);
    return bytes;
}

// An item of a picture file whose thumbnail the test sets.
struct StoredItem
{
    StoredItem(const ScratchFolder& folder, const std::wstring& name, WORD width = 40, WORD height = 30)
        : item(NewPictureItem(folder, name, width, height, kTime))
    {
        item->SetThumbnail(TestPicture(width / 2, height / 2));
    }
    std::unique_ptr<VyxFile> item;
};

} // namespace

TEST(CacheFile, WrittenBytesFollowTheFieldLayout)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    VyxCacheFolder cache(folder.Path().c_str(), L"");
    VyxCacheThumbs* first = NewRecord(L"写真.jpg", 0x123456789ull, 0x7FFFFFFF + 10ll, L"vyx_jpeg.spi");
    first->m_memberPath = L"sub\\写真.jpg";
    first->m_cellSize = SIZE{200, 300};
    first->m_boxSize = SIZE{180, 200};
    first->m_width = 640;
    first->m_height = 480;
    first->m_bitCount = 24;
    first->m_archiveFileName = L"a.zip";
    first->m_archiveLoaderName = L"arc";
    first->m_kind = 3;
    // Read-only facts are never written.
    first->m_frameShown = 1;
    first->m_margin = SIZE{4, 4};
    ASSERT_TRUE(first->SetImage(VyxCacheThumbs::ImageDib, reinterpret_cast<const BYTE*>("PIXELS!"), 7));
    cache.AddRecord(first);
    cache.AddRecord(NewRecord(L"b.gif", 5, -3));
    std::wstring path = folder / L"_THUMBS_.KWI";
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    EXPECT_FALSE(cache.IsModified());

    CacheBytes expected;
    expected.Head();
    expected.Pair(1006, 0x23456789, 1).Pair(1007, 0x80000009, 0);
    expected.Text(2001, L"写真.jpg").Text(2002, L"vyx_jpeg.spi").Text(2005, L"sub\\写真.jpg");
    expected.Pair(1012, 200, 300).Pair(1013, 180, 200).Int(1008, 640).Int(1009, 480).Int(1010, 24);
    expected.Text(2003, L"a.zip").Text(2004, L"arc").Int(1025, 3);
    expected.Field(1024, "PIXELS!").End();
    expected.Record(L"b.gif", L"a_image", 5, -3, L"", L"", L"", -1).End();
    EXPECT_EQ(expected.bytes, Bytes(path));
    // No half-written file is left beside it.
    EXPECT_FALSE(ScratchFolder::Exists(path + L".tmp"));

    VyxCacheFolder loaded;
    ASSERT_EQ(VyxCacheFolder::LoadDone, loaded.Load(path.c_str()));
    ASSERT_EQ(2, loaded.GetCount());
    const VyxCacheThumbs* back = loaded.GetAt(0);
    EXPECT_STREQ(L"写真.jpg", back->m_fileName);
    EXPECT_STREQ(L"sub\\写真.jpg", back->m_memberPath);
    EXPECT_EQ(0x123456789ull, back->m_fileSize);
    EXPECT_EQ(0x7FFFFFFF + 10ll, back->m_fileTime);
    EXPECT_EQ(300, back->m_cellSize.cy);
    EXPECT_EQ(180, back->m_boxSize.cx);
    EXPECT_EQ(3, back->m_kind);
    EXPECT_EQ(0, back->m_frameShown);
    // The image stays in the file (its bytes are checked above), read from there when asked for.
    EXPECT_FALSE(back->HasImageBytes());
    EXPECT_EQ(VyxCacheThumbs::ImageDib, back->m_imageKind);
    EXPECT_EQ(7u, back->m_imageLength);
    EXPECT_EQ(-3, loaded.GetAt(1)->m_fileTime);
    EXPECT_EQ(0u, loaded.GetAt(1)->m_imageLength);
    EXPECT_FALSE(loaded.IsModified());
}

TEST(CacheFile, ShortForeignAndMissingFilesLoadAsNoRecords)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    VyxCacheFolder cache;
    ASSERT_EQ(1, VyxCacheFolder::WriteRecords((folder / L"empty").c_str(), VyxCacheThumbsArray()));
    EXPECT_EQ("", Bytes(folder / L"empty"));
    std::string good = CacheBytes().Head().Record(L"a.jpg", L"x", 1, 2).End().bytes;
    std::string foreign = good;
    foreign[10] = 'y';
    struct Case
    {
        const wchar_t* name;
        std::string bytes;
        int result;
    } cases[] = {
        {L"empty", "", VyxCacheFolder::LoadTruncated},
        {L"short", good.substr(0, 25), VyxCacheFolder::LoadTruncated},
        {L"foreign", foreign, VyxCacheFolder::LoadBadMagic},
        {L"text", "[Note]\r\nNote=hello world, this is not a cache\r\n", VyxCacheFolder::LoadBadMagic},
    };
    for (const Case& c : cases) {
        PutFile(folder, c.name, c.bytes);
        cache.AddRecord(NewRecord(L"left.jpg", 1, 1));
        cache.SetModified(false);
        EXPECT_EQ(c.result, cache.Load((folder / c.name).c_str())) << c.name;
        EXPECT_EQ(0, cache.GetCount()) << c.name;
        EXPECT_TRUE(cache.IsModified()) << c.name;
    }
    EXPECT_EQ(VyxCacheFolder::LoadCannotOpen, cache.Load((folder / L"missing").c_str()));
    EXPECT_EQ(VyxCacheFolder::LoadCannotOpen, cache.Load(folder.Path().c_str()));
    PutFile(folder, L"good", good);
    EXPECT_EQ(VyxCacheFolder::LoadDone, cache.Load((folder / L"good").c_str()));
    EXPECT_EQ(1, cache.GetCount());
    EXPECT_FALSE(cache.IsModified());
}

TEST(CacheFile, ReaderKeepsCompleteRecordsOldTextsAndSkipsWhatItDoesNotKnow)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    LOGFONTW font = {};
    font.lfHeight = -17;
    lstrcpyW(font.lfFaceName, L"IPAGothic");
    std::string ansiName = "\x8E\xCA\x90\x5E.jpg"; // 写真.jpg in code page 932
    CacheBytes file;
    file.Head();
    file.Field(1001, ansiName + '\0').Field(1002, std::string("old.spi") + '\0').Field(1005, "in\\x.jpg");
    file.Field(1003, "arc.lzh\0junk").Field(1004, "");
    file.Field(1014, std::string(reinterpret_cast<const char*>(&font), sizeof(font)));
    file.Field(1015, "\x01").Field(1018, "\x01\x02").Field(1019, "").Int(1020, 5).Pair(1023, 3, 4);
    file.Field(1011, "ignored").Field(777, "unknown").Field(-2, "again").Int(1025, 2);
    file.Field(0, "");
    file.Record(L"second.jpg", L"x.spi", 9, 10).Field(1022, "JPEGBYTES").End();
    file.Record(L"cut.jpg", L"x.spi", 9, 10).Field(1022, "JPEG");
    PutFile(folder, L"old.kwt", file.bytes.substr(0, file.bytes.size() - 2));

    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load((folder / L"old.kwt").c_str()));
    ASSERT_EQ(2, cache.GetCount());
    const VyxCacheThumbs* old = cache.GetAt(0);
    EXPECT_STREQ(L"写真.jpg", old->m_fileName);
    EXPECT_STREQ(L"old.spi", old->m_loaderName);
    EXPECT_STREQ(L"in\\x.jpg", old->m_memberPath);
    EXPECT_STREQ(L"arc.lzh", old->m_archiveFileName);
    EXPECT_STREQ(L"", old->m_archiveLoaderName);
    EXPECT_EQ(-17, old->GetFont().lfHeight);
    EXPECT_EQ(1, old->m_frameShown);
    EXPECT_EQ(1, old->m_scaled);
    EXPECT_EQ(0, old->m_sharpened); // an empty field gives no byte
    EXPECT_EQ(5, old->m_frameEdge);
    EXPECT_EQ(2, old->m_nameFrameEdge);
    EXPECT_EQ(4, old->m_margin.cy);
    EXPECT_EQ(2, old->m_kind);
    EXPECT_FALSE(old->HasImageBytes());
    EXPECT_STREQ(L"second.jpg", cache.GetAt(1)->m_fileName);
    EXPECT_EQ(9u, cache.GetAt(1)->m_imageLength);
    EXPECT_EQ(VyxCacheThumbs::ImageJpeg, cache.GetAt(1)->m_imageKind);
    EXPECT_EQ(nullptr, cache.GetAt(2));
}

TEST(CacheFile, DamagedFieldsAreNeverReadPastTheirEnd)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    CacheBytes file;
    file.Head();
    // Narrower than their tags need: ignored.
    file.Field(1006, "1234567").Field(1008, "abc").Field(1014, std::string(91, 'f')).Field(1023, "1234");
    file.Field(2001, std::string("n\0a\0m\0e\0", 8)); // no terminator inside the field
    file.Field(2002, "x");                            // half a character
    file.End();
    // A text longer than a record holds makes the record unusable.
    file.Text(2001, std::wstring(260, L'z')).Field(1006, std::string(8, '\x01')).End();
    file.Text(2001, std::wstring(259, L'y')).End();
    // A length that runs past the end (and would wrap a 32-bit offset) ends the walk.
    file.Text(2001, L"lost.jpg").bytes += CacheBytes::Le(1010) + CacheBytes::Le(0xFFFFFFF8u) + "tail";
    PutFile(folder, L"damaged.kwt", file.bytes);

    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load((folder / L"damaged.kwt").c_str()));
    ASSERT_EQ(2, cache.GetCount());
    const VyxCacheThumbs* first = cache.GetAt(0);
    EXPECT_STREQ(L"name", first->m_fileName);
    EXPECT_STREQ(L"", first->m_loaderName);
    EXPECT_EQ(0u, first->m_fileSize);
    EXPECT_EQ(0, first->m_width);
    EXPECT_EQ(0, first->GetFont().lfHeight);
    EXPECT_EQ(0, first->m_margin.cx);
    EXPECT_EQ(259, cache.GetAt(1)->m_fileName.GetLength());
}

TEST(CacheFile, RecordsAreFoundByNameAndByMemberPathWhenTheyHaveOne)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    VyxCacheFolder cache;
    VyxCacheThumbs* plain = NewRecord(L"Pic.JPG", 1, 1);
    VyxCacheThumbs* inA = NewRecord(L"same.jpg", 1, 1);
    inA->m_memberPath = L"a\\same.jpg";
    VyxCacheThumbs* inB = NewRecord(L"same.jpg", 1, 1);
    inB->m_memberPath = L"b\\same.jpg";
    cache.AddRecord(plain);
    cache.AddRecord(inA);
    cache.AddRecord(inB);
    std::wstring path = PutFile(folder, L"pic.jpg", "x");
    VyxFile file(path.c_str());
    EXPECT_EQ(plain, cache.FindRecord(file));
    std::wstring archive = PutFile(folder, L"box.tarc", "TARC");
    SPIFileInfo recordB = MemberRecord("B", "SAME.jpg", 1, 1);
    std::unique_ptr<VyxFile> member(NewMemberItem(archive, recordB));
    ASSERT_TRUE(member);
    EXPECT_EQ(inB, cache.FindRecord(*member));
    cache.SetModified(false);
    cache.RemoveItem(*member);
    EXPECT_TRUE(cache.IsModified());
    EXPECT_EQ(2, cache.GetCount());
    EXPECT_EQ(nullptr, cache.FindRecord(*member));
    cache.RemoveAt(7);
    EXPECT_EQ(2, cache.GetCount());
}

TEST(CacheFile, TheNameIndexFollowsRemovalsAndAdditionsInListOrder)
{
    VyxCacheFolder cache;
    const int count = 2000;
    auto name = [](int i) {
        CString text;
        text.Format(L"p%05d.jpg", i);
        return text;
    };
    std::vector<std::unique_ptr<VyxFile>> items;
    for (int i = 0; i < count; ++i) {
        cache.AddRecord(NewRecord(name(i), 1, 1));
        items.emplace_back(new VyxFile(L"C:\\no such folder\\" + name(i)));
    }
    // A second record of one name, later in the list: the first one wins while it is there.
    VyxCacheThumbs* second = NewRecord(L"P00010.JPG", 1, 1);
    cache.AddRecord(second);
    ASSERT_EQ(cache.GetAt(10), cache.FindRecord(*items[10]));

    // Every even record goes, with lookups in between, as a large delete or a refresh does.
    for (int i = 0; i < count; i += 2) {
        cache.RemoveItem(*items[i]);
        ASSERT_NE(nullptr, cache.FindRecord(*items[i + 1])) << i + 1;
    }
    ASSERT_EQ(count / 2 + 1, cache.GetCount());
    EXPECT_EQ(second, cache.FindRecord(*items[10]));
    for (int i = 0; i < count; ++i) {
        VyxCacheThumbs* found = cache.FindRecord(*items[i]);
        if (i % 2 == 1) {
            EXPECT_EQ(name(i), found ? found->m_fileName : CString()) << i;
        } else if (i != 10) {
            EXPECT_EQ(nullptr, found) << i;
        }
    }
    // Removing by position and adding after a removal keep list order.
    cache.RemoveAt(0);
    EXPECT_EQ(nullptr, cache.FindRecord(*items[1]));
    VyxCacheThumbs* first3 = cache.FindRecord(*items[3]);
    cache.AddRecord(NewRecord(name(3), 1, 1));
    EXPECT_EQ(first3, cache.FindRecord(*items[3]));
    cache.RemoveItem(*items[3]);
    ASSERT_NE(nullptr, cache.FindRecord(*items[3]));
    EXPECT_NE(first3, cache.FindRecord(*items[3]));
}

TEST(CacheFile, StoredThumbnailsComeBackToTheItem)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    VyxCacheFolder cache(folder.Path().c_str(), L"");
    StoredItem stored(folder, L"p.tpic", 40, 30);
    VyxFile& item = *stored.item;
    ASSERT_EQ(HostPlugins::ImageId(L"a_image"), item.GetLoaderId());
    item.SetCellSize(SIZE{90, 120});
    item.SetWidth(40);
    item.SetHeight(30);

    cache.SetCacheImage(1);
    ASSERT_EQ(0, cache.StoreFromItem(item));
    const VyxCacheThumbs* record = cache.FindRecord(item);
    ASSERT_TRUE(record);
    EXPECT_EQ(VyxCacheThumbs::ImageDib, record->m_imageKind);
    EXPECT_EQ(GetDibTotalSize(item.GetThumbnail()), record->m_imageLength);
    EXPECT_STREQ(L"a_image", record->m_loaderName);

    VyxFile again(item.GetPath().GetString());
    ASSERT_EQ(0, cache.RestoreToItem(again));
    EXPECT_EQ(HostPlugins::ImageId(L"a_image"), again.GetLoaderId());
    EXPECT_EQ(40, again.GetWidth());
    EXPECT_EQ(120, again.GetCellSize().cy);
    ASSERT_TRUE(again.GetThumbnail());
    EXPECT_EQ(dibtest::Bytes(item.GetThumbnail()), dibtest::Bytes(again.GetThumbnail()));

    cache.SetCacheImage(0);
    cache.SetCacheQuality(95);
    ASSERT_EQ(0, cache.StoreFromItem(item));
    EXPECT_EQ(VyxCacheThumbs::ImageJpeg, record->m_imageKind);
    EXPECT_EQ(0, std::memcmp(record->m_image, "\xFF\xD8", 2));
    VyxFile fromJpeg(item.GetPath().GetString());
    ASSERT_EQ(0, cache.RestoreToItem(fromJpeg));
    EXPECT_EQ(20, GetDibWidth(fromJpeg.GetThumbnail()));
    EXPECT_EQ(15, GetDibHeight(fromJpeg.GetThumbnail()));

    cache.SetCacheImage(2);
    EXPECT_EQ(-1, cache.StoreFromItem(item));
    VyxFile none(item.GetPath().GetString());
    EXPECT_EQ(-1, cache.StoreFromItem(none));
}

TEST(CacheFile, StaleRecordsAreRefused)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    VyxCacheFolder cache(folder.Path().c_str(), L"");
    cache.SetCacheImage(1);
    StoredItem stored(folder, L"p.tpic");
    ASSERT_EQ(0, cache.StoreFromItem(*stored.item));
    VyxCacheThumbs* record = cache.FindRecord(*stored.item);
    ASSERT_TRUE(record);
    const VyxCacheThumbs fresh(*record);
    auto restores = [&](const std::function<void(VyxCacheThumbs&)>& change) {
        *record = fresh;
        change(*record);
        VyxFile item(stored.item->GetPath().GetString());
        return cache.RestoreToItem(item) == 0;
    };
    EXPECT_TRUE(restores([](VyxCacheThumbs&) {}));
    EXPECT_TRUE(restores([](VyxCacheThumbs& r) { r.m_fileTime = kTime + 1; }));
    EXPECT_TRUE(restores([](VyxCacheThumbs& r) { r.m_fileTime = kTime - 1; }));
    EXPECT_FALSE(restores([](VyxCacheThumbs& r) { r.m_fileTime = kTime + 2; }));
    EXPECT_FALSE(restores([](VyxCacheThumbs& r) { r.m_fileTime = kTime - 2; }));
    // Only the low 32 bits of the times take part.
    EXPECT_TRUE(restores([](VyxCacheThumbs& r) { r.m_fileTime = kTime + (1ll << 32); }));
    EXPECT_FALSE(restores([](VyxCacheThumbs& r) { r.m_fileSize += 1; }));
    EXPECT_FALSE(restores([](VyxCacheThumbs& r) { r.m_loaderName = L"gone.spi"; }));
    EXPECT_FALSE(restores([](VyxCacheThumbs& r) { r.m_loaderName = L""; }));
    EXPECT_FALSE(restores([](VyxCacheThumbs& r) { r.m_fileName = L"other.tpic"; }));

    // A disabled loader counts only when no archive plug-in is named.
    VyxSPI* loader = HostPlugins::Image(L"a_image");
    int flags = loader->GetFlags();
    loader->SetFlags(flags & ~VyxSPI::FlagEnabled);
    EXPECT_FALSE(restores([](VyxCacheThumbs&) {}));
    EXPECT_TRUE(restores([](VyxCacheThumbs& r) { r.m_archiveLoaderName = L"arc"; }));
    loader->SetFlags(flags);
}

TEST(CacheFile, RecordWithoutImageHandsOverItsFactsOnly)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    std::wstring path = PutFile(folder, L"box.tarc", "TARC-ish", kTime);
    VyxCacheFolder cache;
    VyxCacheThumbs* record = NewRecord(L"box.tarc", 8, kTime);
    record->m_width = 11;
    record->m_height = 12;
    record->m_kind = VyxFilexInfo::KindArchive;
    cache.AddRecord(record);
    VyxFile item(path.c_str());
    item.SetThumbnail(CreateDib(3, 3, 24));
    EXPECT_EQ(-1, cache.RestoreToItem(item));
    EXPECT_EQ(11, item.GetWidth());
    EXPECT_EQ(VyxFilexInfo::KindArchive, item.GetKind());
    EXPECT_EQ(HostPlugins::ImageId(L"a_image"), item.GetLoaderId());
    EXPECT_FALSE(item.HasThumbnail());
}

TEST(CacheFile, DibImagesFromAFilePassTheDibGate)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    std::wstring path = PutFile(folder, L"p.tpic", "xxxx", kTime);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = header.biHeight = 100000;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::string forged(reinterpret_cast<const char*>(&header), sizeof(header));
    forged += "few pixels";
    PutFile(folder, L"forged.kwt",
            CacheBytes().Head().Record(L"p.tpic", L"a_image", 4, kTime).Field(1024, forged).End().bytes);
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load((folder / L"forged.kwt").c_str()));
    VyxFile item(path.c_str());
    EXPECT_EQ(-1, cache.RestoreToItem(item));
    EXPECT_FALSE(item.HasThumbnail());
}

TEST(CacheFile, AFailedWriteLeavesTheOldFileWhole)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    std::wstring path = folder / L"_THUMBS_.KWI";
    std::string old = CacheBytes().Head().Record(L"old.jpg", L"x", 1, 2).End().bytes;
    PutFile(folder, L"_THUMBS_.KWI", old);
    // A user's file of the name the temporary file once had is never written over or taken.
    const std::string users = "somebody's own file";
    PutFile(folder, L"_THUMBS_.KWI.tmp", users);
    VyxCacheFolder cache;
    cache.AddRecord(NewRecord(L"new.jpg", 3, 4));
    // Given up (a close that is cancelled): the old file stays.
    VyxCacheFolder::WriteWatch watch;
    watch.stop = true;
    EXPECT_EQ(0, cache.SaveIfModified(path.c_str(), &watch));
    EXPECT_TRUE(cache.IsModified());
    EXPECT_EQ(old, Bytes(path));
    // The old file held by another program that does not let it be replaced.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, cache.SaveIfModified(path.c_str()));
    CloseHandle(held);
    EXPECT_TRUE(cache.IsModified());
    EXPECT_EQ(old, Bytes(path));
    EXPECT_EQ(users, Bytes(folder / L"_THUMBS_.KWI.tmp"));
    // Nothing half written is left beside them.
    EXPECT_EQ((std::vector<std::wstring>{L"_THUMBS_.KWI", L"_THUMBS_.KWI.tmp"}), NamesIn(folder));
    EXPECT_EQ(1, cache.SaveIfModified(path.c_str()));
    EXPECT_EQ(users, Bytes(folder / L"_THUMBS_.KWI.tmp"));
    EXPECT_EQ((std::vector<std::wstring>{L"_THUMBS_.KWI", L"_THUMBS_.KWI.tmp"}), NamesIn(folder));
    EXPECT_EQ(0, VyxCacheFolder::WriteRecords((folder / L"no\\such\\folder.kwt").c_str(), VyxCacheThumbsArray()));
}

TEST(CacheFile, ArchiveNameRewriteLeavesAFileThatDoesNotLoadAlone)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    std::wstring good = PutFile(folder, L"good.kwt",
                                CacheBytes().Head().Record(L"a.jpg", L"x", 1, 2, L"a.jpg", L"old.zip").End().bytes);
    std::string foreignBytes = "not a cache file at all, but somebody's data";
    std::wstring foreign = PutFile(folder, L"foreign.kwt", foreignBytes);
    VyxCacheFolder::RewriteArchiveName(good.c_str(), L"new.zip");
    VyxCacheFolder::RewriteArchiveName(foreign.c_str(), L"new.zip");
    EXPECT_EQ(foreignBytes, Bytes(foreign));
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(good.c_str()));
    EXPECT_STREQ(L"new.zip", cache.GetAt(0)->m_archiveFileName);
}

TEST(CacheFile, CacheLoadFreeKeepsEveryImageWhenTheFolderIsWrittenAgain)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    std::wstring path = folder / L"_THUMBS_.KWI";
    StoredItem first(folder, L"first.tpic"), second(folder, L"second.tpic"), third(folder, L"third.tpic");
    {
        VyxCacheFolder cache;
        cache.SetCacheImage(1);
        ASSERT_EQ(0, cache.StoreFromItem(*first.item));
        ASSERT_EQ(0, cache.StoreFromItem(*second.item));
        ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    }
    VyxCacheFolder cache;
    cache.SetCacheImage(1);
    cache.SetCacheLoadFree(true);
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
    // Restored from an unchanged folder: the bytes go at once, the file still has them.
    VyxFile one(first.item->GetPath().GetString());
    ASSERT_EQ(0, cache.RestoreToItem(one));
    EXPECT_FALSE(cache.FindRecord(one)->HasImageBytes());
    // Restored while the folder has unwritten changes: the bytes stay until it is written.
    ASSERT_EQ(0, cache.StoreFromItem(*third.item));
    VyxFile two(second.item->GetPath().GetString());
    ASSERT_EQ(0, cache.RestoreToItem(two));
    EXPECT_FALSE(ImageOf(cache, cache.FindRecord(two)).empty());
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    EXPECT_FALSE(cache.FindRecord(two)->HasImageBytes());
    // Written once more: every record still carries its image.
    cache.SetModified(true);
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));

    VyxCacheFolder reread;
    ASSERT_EQ(VyxCacheFolder::LoadDone, reread.Load(path.c_str()));
    ASSERT_EQ(3, reread.GetCount());
    for (INT_PTR i = 0; i < 3; ++i)
        EXPECT_FALSE(ImageOf(reread, reread.GetAt(i)).empty()) << i;
    VyxFile check(first.item->GetPath().GetString());
    ASSERT_EQ(0, reread.RestoreToItem(check));
    EXPECT_EQ(dibtest::Bytes(first.item->GetThumbnail()), dibtest::Bytes(check.GetThumbnail()));
}

// The record's time against the item's calendar read as local standard time.
TEST(CacheFile, RestoreAlsoMatchesTheUtcCalendarReadAsLocalStandardTime)
{
    ASSERT_TRUE(InBerlinTime());
    // Berlin's standard time is an hour ahead of UTC: the calendar of t read as local standard
    // time is t - 1 h.
    EXPECT_TRUE(CacheTimeMatches(kTime, kTime - 3600));
    EXPECT_TRUE(CacheTimeMatches(kTime, kTime - 3600 + 1));
    EXPECT_FALSE(CacheTimeMatches(kTime, kTime - 3600 + 2));
    EXPECT_FALSE(CacheTimeMatches(0, -3600));
}

TEST(CacheFile, RecordsWhoseSizesAreNoSizesAreRefusedWhenRead)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    CacheBytes bytes;
    bytes.Head();
    bytes.Record(L"negative.jpg", L"x", 1, 2).Int(1008, -7).End();
    bytes.Record(L"depth.jpg", L"x", 1, 2).Int(1010, 4096).End();
    bytes.Record(L"box.jpg", L"x", 1, 2).Pair(1013, 70000, 10).End();
    bytes.Record(L"cell.jpg", L"x", 1, 2).Pair(1012, 200, 0xFFFFFFF0).End();
    bytes.Record(L"good.jpg", L"x", 1, 2).Pair(1012, 200, 300).Pair(1013, 180, 200).Int(1008, 30000).End();
    PutFile(folder, L"damaged.kwt", bytes.bytes);
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load((folder / L"damaged.kwt").c_str()));
    ASSERT_EQ(1, cache.GetCount());
    EXPECT_STREQ(L"good.jpg", cache.GetAt(0)->m_fileName);
    EXPECT_EQ(30000, cache.GetAt(0)->m_width);
}

TEST(CacheFile, AStoredPictureLargerThanItsBoxIsNoThumbnailAndIsNotDecoded)
{
    const std::string small = TestJpeg(40, 30), large = TestJpeg(400, 300);
    VyxCacheThumbs record;
    record.m_boxSize = SIZE{40, 30};
    auto decodes = [&](int kind, const std::string& bytes) {
        EXPECT_TRUE(
            record.SetImage(kind, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
        HGLOBAL dib = record.DecodeImage();
        if (dib)
            GlobalFree(dib);
        return dib != nullptr;
    };
    EXPECT_TRUE(decodes(VyxCacheThumbs::ImageJpeg, small));
    EXPECT_FALSE(decodes(VyxCacheThumbs::ImageJpeg, large));
    EXPECT_FALSE(decodes(VyxCacheThumbs::ImageJpeg, "\xFF\xD8 not a picture"));
    HGLOBAL picture = TestPicture(41, 30);
    std::string dib(static_cast<const char*>(GlobalLock(picture)), GetDibTotalSize(picture));
    GlobalUnlock(picture);
    GlobalFree(picture);
    EXPECT_FALSE(decodes(VyxCacheThumbs::ImageDib, dib));
    record.m_boxSize = SIZE{41, 30};
    EXPECT_TRUE(decodes(VyxCacheThumbs::ImageDib, dib));
    // A record of a file that kept no box holds any thumbnail a cell can show.
    record.m_boxSize = SIZE{0, 0};
    EXPECT_TRUE(decodes(VyxCacheThumbs::ImageJpeg, large));
}

// Records of one file (its name, and its member path) are all kept: the first is the one found,
// and the file is written back with every one of them.
TEST(CacheFile, RecordsOfOneFileAreAllKeptWhenReadTheFirstIsFoundAndEachIsWrittenBack)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    CacheBytes bytes;
    bytes.Head();
    bytes.Record(L"a.jpg", L"x", 1, 2).End();
    for (int i = 0; i < 200; ++i)
        bytes.Record(i % 2 ? L"a.jpg" : L"A.JPG", L"x", 100 + i, 2).End();
    bytes.Record(L"a.jpg", L"x", 3, 2, L"sub\\a.jpg").End();
    bytes.Record(L"b.jpg", L"x", 4, 2).End();
    bytes.Record(L"a.jpg", L"x", 5, 2, L"SUB\\A.JPG").End();
    const std::wstring path = PutFile(folder, L"dup.kwt", bytes.bytes);
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
    ASSERT_EQ(204, cache.GetCount());
    EXPECT_FALSE(cache.IsModified());
    for (INT_PTR i = 0; i < 201; ++i)
        EXPECT_EQ(i == 0 ? 1u : 99u + static_cast<ULONGLONG>(i), cache.GetAt(i)->m_fileSize) << i;
    EXPECT_EQ(5u, cache.GetAt(203)->m_fileSize);
    const std::wstring a = PutFile(folder, L"a.jpg", "x");
    VyxFile item(a.c_str());
    ASSERT_NE(nullptr, cache.FindRecord(item));
    EXPECT_EQ(1u, cache.FindRecord(item)->m_fileSize);

    // Written whole (a record removed), every other one goes back in its order.
    VyxFile b(PutFile(folder, L"b.jpg", "x").c_str());
    cache.RemoveItem(b);
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    VyxCacheFolder again;
    ASSERT_EQ(VyxCacheFolder::LoadDone, again.Load(path.c_str()));
    ASSERT_EQ(203, again.GetCount());
    EXPECT_FALSE(again.IsModified());
    for (INT_PTR i = 0; i < 203; ++i)
        EXPECT_EQ(cache.GetAt(i)->m_fileSize, again.GetAt(i)->m_fileSize) << i;
    EXPECT_EQ(1u, again.FindRecord(item)->m_fileSize);
}

// New images past the folder's budget are moved out of memory; nothing of what is written or
// restored may tell.
TEST(CacheFile, RecordsMovedOutPastTheBudgetComeBackWholeAndTheFileIsByteForByteTheSame)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    std::vector<std::unique_ptr<StoredItem>> items;
    for (int i = 0; i < 24; ++i)
        items.emplace_back(new StoredItem(folder, L"p" + std::to_wstring(i) + L".tpic", 20 + 2 * i, 16 + i));
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        VyxCacheFolder moved, held;
        moved.SetCacheImage(mode);
        held.SetCacheImage(mode);
        moved.SetImageBudget(1500);
        for (auto& stored : items) {
            ASSERT_EQ(0, moved.StoreFromItem(*stored->item));
            ASSERT_EQ(0, held.StoreFromItem(*stored->item));
        }
        // Stored twice: the second image is the one that counts, the first one's place is old.
        ASSERT_EQ(0, moved.StoreFromItem(*items[3]->item));
        ASSERT_EQ(0, held.StoreFromItem(*items[3]->item));
        int away = 0;
        for (INT_PTR i = 0; i < moved.GetCount(); ++i)
            away += moved.GetAt(i)->m_imageAway ? 1 : 0;
        EXPECT_GE(away, 20);
        for (int i : {0, 3, 23}) {
            VyxFile fromMoved(items[i]->item->GetPath().GetString()), fromHeld(items[i]->item->GetPath().GetString());
            ASSERT_EQ(0, moved.RestoreToItem(fromMoved)) << i;
            ASSERT_EQ(0, held.RestoreToItem(fromHeld)) << i;
            EXPECT_EQ(dibtest::Bytes(fromHeld.GetThumbnail()), dibtest::Bytes(fromMoved.GetThumbnail())) << i;
        }
        const std::wstring movedPath = folder / L"moved.kwt", heldPath = folder / L"held.kwt";
        ASSERT_EQ(1, moved.SaveIfModified(movedPath.c_str()));
        ASSERT_EQ(1, held.SaveIfModified(heldPath.c_str()));
        const std::string expected = Bytes(heldPath);
        EXPECT_EQ(expected, Bytes(movedPath));
        // Written again, every image read back from where it lies.
        moved.SetModified(true);
        ASSERT_EQ(1, moved.SaveIfModified(movedPath.c_str()));
        EXPECT_EQ(expected, Bytes(movedPath));
    }
}

// Released bytes are taken from where the record lay only when that record is still there; a file
// another program wrote meanwhile, or a record changed since, gets no image rather than another's.
TEST(CacheFile, ReleasedImagesAreNeverTakenFromAnotherRecordOrAReplacedFile)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    const std::wstring path = folder / L"_THUMBS_.KWI";
    StoredItem a(folder, L"a.tpic", 40, 30), b(folder, L"b.tpic", 36, 28), c(folder, L"c.tpic", 44, 32);
    {
        VyxCacheFolder first;
        for (StoredItem* stored : {&a, &b, &c})
            ASSERT_EQ(0, first.StoreFromItem(*stored->item));
        ASSERT_EQ(1, first.SaveIfModified(path.c_str()));
    }
    VyxCacheFolder reference;
    ASSERT_EQ(VyxCacheFolder::LoadDone, reference.Load(path.c_str()));
    // Taken now: the file is replaced below.
    const std::string imageA = ImageOf(reference, reference.FindRecord(*a.item));
    const std::string imageB = ImageOf(reference, reference.FindRecord(*b.item));
    ASSERT_FALSE(imageA.empty());
    ASSERT_FALSE(imageB.empty());

    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
    for (INT_PTR i = 0; i < cache.GetCount(); ++i)
        cache.GetAt(i)->ReleaseImage();
    // Another program puts a record of another picture, its image as long as a's, where a lay.
    {
        VyxCacheFolder other;
        ASSERT_EQ(VyxCacheFolder::LoadDone, other.Load(path.c_str()));
        VyxCacheThumbs* record = other.FindRecord(*a.item);
        std::string bytes = ImageOf(other, record);
        bytes[bytes.size() - 3] ^= 0x55;
        record->m_fileName = L"z.tpic";
        record->SetImage(record->m_imageKind, reinterpret_cast<const BYTE*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
        other.SetModified(true);
        ASSERT_EQ(1, other.SaveIfModified(path.c_str()));
    }
    // c's picture changed since: its released image belongs to the old one.
    VyxCacheThumbs* changed = cache.FindRecord(*c.item);
    changed->m_fileSize += 1;
    cache.SetModified(true);
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    EXPECT_EQ(0u, cache.FindRecord(*a.item)->m_imageLength);
    VyxCacheFolder reread;
    ASSERT_EQ(VyxCacheFolder::LoadDone, reread.Load(path.c_str()));
    ASSERT_EQ(3, reread.GetCount());
    EXPECT_EQ("", ImageOf(reread, reread.FindRecord(*a.item)));
    EXPECT_EQ(imageB, ImageOf(reread, reread.FindRecord(*b.item)));
    EXPECT_EQ("", ImageOf(reread, reread.FindRecord(*c.item)));

    // The cache file deleted meanwhile: images moved out to the folder's own spill file are still
    // written; one only released had its bytes in the file and is written without.
    VyxCacheFolder spilled;
    spilled.SetImageBudget(0);
    ASSERT_EQ(VyxCacheFolder::LoadDone, spilled.Load(path.c_str()));
    spilled.FindRecord(*b.item)->ReleaseImage();
    ASSERT_EQ(0, spilled.StoreFromItem(*a.item));
    ASSERT_TRUE(spilled.FindRecord(*a.item)->m_imageAway);
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    ASSERT_EQ(1, spilled.SaveIfModified(path.c_str()));
    VyxCacheFolder last;
    ASSERT_EQ(VyxCacheFolder::LoadDone, last.Load(path.c_str()));
    EXPECT_EQ(imageA, ImageOf(last, last.FindRecord(*a.item)));
    EXPECT_EQ("", ImageOf(last, last.FindRecord(*b.item)));
}

// Records of older writers (texts in the ANSI code page, the image before the facts, fields this
// reader does not know) keep their images through a write with their bytes released; a record torn
// at the end of the file is the only one lost.
TEST(CacheFile, OlderRecordsKeepTheirReleasedImagesAndOnlyATornLastRecordIsLost)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    const std::string first = TestJpeg(30, 20), second = TestJpeg(24, 18), third = TestJpeg(20, 16);
    CacheBytes file;
    file.Head();
    file.Field(1022, first).Field(1001, std::string("\x8E\xCA\x90\x5E.jpg") + '\0').Field(777, "unknown");
    file.Field(1002, std::string("old.spi") + '\0').Pair(1006, 7, 0).Pair(1007, 8, 0).Field(0, "");
    file.Record(L"second.jpg", L"x.spi", 9, 10).Field(1022, second).End();
    file.Record(L"third.jpg", L"x.spi", 11, 12).Field(1022, third).End();
    const std::wstring path = PutFile(folder, L"old.kwt", file.bytes.substr(0, file.bytes.size() - 30));

    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
    ASSERT_EQ(2, cache.GetCount());
    cache.GetAt(0)->ReleaseImage();
    cache.GetAt(1)->ReleaseImage();
    cache.SetModified(true);
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    VyxCacheFolder reread;
    ASSERT_EQ(VyxCacheFolder::LoadDone, reread.Load(path.c_str()));
    ASSERT_EQ(2, reread.GetCount());
    EXPECT_STREQ(L"写真.jpg", reread.GetAt(0)->m_fileName);
    EXPECT_EQ(first, ImageOf(reread, reread.GetAt(0)));
    EXPECT_EQ(second, ImageOf(reread, reread.GetAt(1)));
}

// A cache file is read in a few kilobytes whatever its size: its records keep only where their
// images lie, and each thumbnail is read from there when asked for. A file larger than the
// process's address space (its gaps sparse, so it costs no disk) loads as any other.
TEST(CacheFile, ImagesStayInTheFileAndAFileLargerThanTheAddressSpaceLoads)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    std::vector<std::unique_ptr<StoredItem>> items;
    VyxCacheFolder held;
    for (int i = 0; i < 6; ++i) {
        items.emplace_back(new StoredItem(folder, L"p" + std::to_wstring(i) + L".tpic", 20 + 4 * i, 18 + 2 * i));
        ASSERT_EQ(0, held.StoreFromItem(*items.back()->item));
    }
    const std::wstring path = folder / L"_THUMBS_.KWI";
    ASSERT_EQ(1, held.SaveIfModified(path.c_str()));
    VyxCacheFolder loaded;
    ASSERT_EQ(VyxCacheFolder::LoadDone, loaded.Load(path.c_str()));
    ASSERT_EQ(6, loaded.GetCount());
    for (auto& stored : items) {
        EXPECT_FALSE(loaded.FindRecord(*stored->item)->HasImageBytes());
        VyxFile fromHeld(stored->item->GetPath().GetString()), fromFile(stored->item->GetPath().GetString());
        ASSERT_EQ(0, held.RestoreToItem(fromHeld));
        ASSERT_EQ(0, loaded.RestoreToItem(fromFile));
        EXPECT_EQ(dibtest::Bytes(fromHeld.GetThumbnail()), dibtest::Bytes(fromFile.GetThumbnail()));
    }

    // Two records with two others between them whose images take more than 4 GB.
    const std::string jpeg = TestJpeg(10, 9);
    const std::wstring large = folder / L"large.kwt";
    HANDLE file = CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    auto put = [&](ULONGLONG at, const std::string& bytes) {
        LARGE_INTEGER where;
        where.QuadPart = static_cast<LONGLONG>(at);
        DWORD written = 0;
        return SetFilePointerEx(file, where, nullptr, FILE_BEGIN) &&
               WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    };
    const ULONGLONG size = items[0]->item->GetFileSize();
    std::string first = CacheBytes().Head().Record(L"p0.tpic", L"a_image", size, kTime).Field(1022, jpeg).End().bytes;
    const DWORD gap = 0x90000000u;
    ULONGLONG at = 0;
    bool written = put(at, first);
    at += first.size();
    for (int i = 0; i < 2 && written; ++i) {
        const std::string head =
            CacheBytes().Record(L"big" + std::to_wstring(i) + L".tpic", L"a_image", 1, kTime).bytes +
            CacheBytes::Le(1022) + CacheBytes::Le(gap);
        written = put(at, head);
        at += head.size() + gap;
        written = written && put(at, CacheBytes().End().bytes);
        at += 12;
    }
    const ULONGLONG secondSize = items[1]->item->GetFileSize();
    written = written &&
              put(at, CacheBytes().Record(L"p1.tpic", L"a_image", secondSize, kTime).Field(1022, jpeg).End().bytes);
    CloseHandle(file);
    ASSERT_TRUE(written);
    VyxCacheFolder huge;
    ASSERT_EQ(VyxCacheFolder::LoadDone, huge.Load(large.c_str()));
    ASSERT_EQ(4, huge.GetCount());
    EXPECT_EQ(gap, huge.GetAt(2)->m_imageLength);
    for (int i : {0, 1}) {
        VyxFile item(items[i]->item->GetPath().GetString());
        ASSERT_EQ(0, huge.RestoreToItem(item)) << i;
        EXPECT_EQ(10, GetDibWidth(item.GetThumbnail())) << i;
    }
    EXPECT_EQ(jpeg, ImageOf(huge, huge.GetAt(3)));
}

// While a pass may give way, a large cache file is read on a thread of its own: the item's first
// look-up answers at once without making anything, and once the file is read it is restored.
// Outside a pass the look-up waits for the file as always.
TEST(CacheList, ALargeCacheFileIsReadInTheBackgroundWhileAPassGivesWay)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    StoredItem last(folder, L"last.tpic", 40, 30);
    const std::string jpeg = TestJpeg(20, 15);
    CacheBytes bytes;
    bytes.Head();
    // Enough records before the item's own that reading them takes a while.
    for (int i = 0; i < 60000; ++i)
        bytes.Record(L"f" + std::to_wstring(i) + L".tpic", L"a_image", 1, kTime).End();
    bytes.Record(L"last.tpic", L"a_image", last.item->GetFileSize(), kTime).Field(1022, jpeg).End();
    PutFile(folder, L"_THUMBS_.KWI", bytes.bytes);

    VyxFile item(last.item->GetPath().GetString());
    item.SetCacheLookup(TRUE);
    {
        SteppedPictureLoad::Allowance allowance(100);
        EXPECT_EQ(nullptr, item.GetThumbnailFor(0, 0, 40, 30, true));
        EXPECT_TRUE(item.IsWaitingForCache());
        EXPECT_FALSE(item.HasThumbnail());
        EXPECT_TRUE(item.GetCacheLookup());
        bool read = false;
        for (int i = 0; i < 600 && !read; ++i)
            read = theCacheList.WaitForReading(50);
        ASSERT_TRUE(read);
        // Waiting until asked again, so that the pass comes back to the item once the file is read.
        EXPECT_TRUE(item.IsWaitingForCache());
        HGLOBAL thumbnail = item.GetThumbnailFor(0, 0, 40, 30, true);
        ASSERT_TRUE(thumbnail);
        EXPECT_FALSE(item.IsWaitingForCache());
        EXPECT_EQ(20, GetDibWidth(thumbnail));
        EXPECT_TRUE(item.IsCached());
    }
    // Another location read anew, without a pass: restored at the first look-up.
    theCacheList.RemoveAllFolders();
    VyxFile again(last.item->GetPath().GetString());
    again.SetCacheLookup(TRUE);
    ASSERT_TRUE(again.GetThumbnailFor(0, 0, 40, 30, true));
    EXPECT_TRUE(again.IsCached());
    EXPECT_FALSE(theCacheList.IsReading());
    // Left while still being read: nothing of it stays.
    {
        theCacheList.RemoveAllFolders();
        SteppedPictureLoad::Allowance allowance(100);
        VyxFile left(last.item->GetPath().GetString());
        left.SetCacheLookup(TRUE);
        EXPECT_EQ(nullptr, left.GetThumbnailFor(0, 0, 40, 30, true));
        theCacheList.RemoveAllFolders();
        EXPECT_FALSE(theCacheList.IsReading());
        EXPECT_EQ(nullptr, theCacheList.FindFolder(folder.Path().c_str(), L""));
    }
}

namespace {

// The file's identity: a file written anew and put in place is another file.
ULONGLONG FileIdentity(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool read = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return read ? static_cast<ULONGLONG>(info.nFileIndexHigh) << 32 | info.nFileIndexLow : 0;
}

} // namespace

// A folder whose only changes are new records adds them at the end of the file it read, which is
// not written again; a record torn there by a crash during an earlier addition goes first. A
// record changed or removed, or a file another writer replaced, has the whole file written.
TEST(CacheFile, NewRecordsAreAddedToTheFileReadAndATornEndGoesFirst)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    const std::wstring path = folder / L"_THUMBS_.KWI";
    std::vector<std::unique_ptr<StoredItem>> items;
    for (int i = 0; i < 5; ++i)
        items.emplace_back(new StoredItem(folder, L"p" + std::to_wstring(i) + L".tpic", 24 + 2 * i, 20 + i));
    {
        VyxCacheFolder first;
        ASSERT_EQ(0, first.StoreFromItem(*items[0]->item));
        ASSERT_EQ(0, first.StoreFromItem(*items[1]->item));
        ASSERT_EQ(1, first.SaveIfModified(path.c_str()));
    }
    const std::string before = Bytes(path);
    const ULONGLONG identity = FileIdentity(path);
    ASSERT_NE(0u, identity);
    {
        VyxCacheFolder cache;
        ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
        ASSERT_EQ(0, cache.StoreFromItem(*items[2]->item));
        ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
        EXPECT_EQ(identity, FileIdentity(path));
        EXPECT_EQ(before, Bytes(path).substr(0, before.size()));
        // Written once more with a further record: the places of the one added are right.
        ASSERT_EQ(0, cache.StoreFromItem(*items[3]->item));
        ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
        EXPECT_EQ(identity, FileIdentity(path));
    }
    // A crash in the middle of an addition: half a record at the end.
    const std::string whole = Bytes(path);
    const std::string torn = CacheBytes().Record(L"torn.tpic", L"a_image", 1, kTime).bytes;
    PutFile(folder, L"_THUMBS_.KWI", whole + torn.substr(0, torn.size() / 2));
    {
        VyxCacheFolder cache;
        ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
        ASSERT_EQ(4, cache.GetCount());
        const ULONGLONG rewritten = FileIdentity(path);
        ASSERT_EQ(0, cache.StoreFromItem(*items[4]->item));
        ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
        EXPECT_EQ(rewritten, FileIdentity(path));
        EXPECT_EQ(whole, Bytes(path).substr(0, whole.size()));
    }
    VyxCacheFolder reread;
    ASSERT_EQ(VyxCacheFolder::LoadDone, reread.Load(path.c_str()));
    ASSERT_EQ(5, reread.GetCount());
    EXPECT_EQ(nullptr, reread.FindRecord(VyxFile((folder / L"torn.tpic").c_str())));
    for (auto& stored : items) {
        VyxFile fromFile(stored->item->GetPath().GetString());
        ASSERT_EQ(0, reread.RestoreToItem(fromFile));
        EXPECT_EQ(GetDibWidth(stored->item->GetThumbnail()), GetDibWidth(fromFile.GetThumbnail()));
        EXPECT_EQ(GetDibHeight(stored->item->GetThumbnail()), GetDibHeight(fromFile.GetThumbnail()));
    }

    // A record removed: the whole file is written, without it.
    const ULONGLONG appended = FileIdentity(path);
    reread.RemoveItem(*items[0]->item);
    ASSERT_EQ(1, reread.SaveIfModified(path.c_str()));
    EXPECT_NE(appended, FileIdentity(path));
    // Another writer's file since: the new record goes after what that file holds, whose own
    // change (a record removed) stands.
    VyxCacheFolder stale;
    ASSERT_EQ(VyxCacheFolder::LoadDone, stale.Load(path.c_str()));
    {
        VyxCacheFolder other;
        ASSERT_EQ(VyxCacheFolder::LoadDone, other.Load(path.c_str()));
        other.RemoveItem(*items[1]->item);
        ASSERT_EQ(1, other.SaveIfModified(path.c_str()));
    }
    const ULONGLONG others = FileIdentity(path);
    const std::string othersBytes = Bytes(path);
    ASSERT_EQ(0, stale.StoreFromItem(*items[0]->item));
    ASSERT_EQ(1, stale.SaveIfModified(path.c_str()));
    EXPECT_EQ(others, FileIdentity(path));
    EXPECT_EQ(othersBytes, Bytes(path).substr(0, othersBytes.size()));
    VyxCacheFolder last;
    ASSERT_EQ(VyxCacheFolder::LoadDone, last.Load(path.c_str()));
    EXPECT_EQ(4, last.GetCount());
    EXPECT_EQ(nullptr, last.FindRecord(*items[1]->item));
    VyxFile added(items[0]->item->GetPath().GetString());
    EXPECT_EQ(0, last.RestoreToItem(added));

    // A file of its header alone keeps it: the first record follows the magic field.
    PutFile(folder, L"_THUMBS_.KWI", CacheBytes().Head().bytes);
    VyxCacheFolder headed;
    ASSERT_EQ(VyxCacheFolder::LoadDone, headed.Load(path.c_str()));
    ASSERT_EQ(0, headed.StoreFromItem(*items[2]->item));
    ASSERT_EQ(1, headed.SaveIfModified(path.c_str()));
    VyxCacheFolder one;
    ASSERT_EQ(VyxCacheFolder::LoadDone, one.Load(path.c_str()));
    ASSERT_EQ(1, one.GetCount());
    VyxFile restored(items[2]->item->GetPath().GetString());
    EXPECT_EQ(0, one.RestoreToItem(restored));
}

// ---------------------------------------------------------------- other writers and the user's files

namespace {

// Waits until a write now would give a file another write time than the file has: the file
// system's clock moves on in ticks.
bool ClockHasMovedPast(const ScratchFolder& folder, const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA file = {}, probe = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file))
        return false;
    const std::wstring probePath = folder / L"clock.probe";
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        ScratchFolder::WriteFile(probePath, "tick");
        if (GetFileAttributesExW(probePath.c_str(), GetFileExInfoStandard, &probe) &&
            CompareFileTime(&probe.ftLastWriteTime, &file.ftLastWriteTime) != 0) {
            DeleteFileW(probePath.c_str());
            return true;
        }
    }
    return false;
}

VyxCacheFolder::WriteWatch* s_givenUp = nullptr;
decltype(&WriteFile) s_writeFile = nullptr;

// The first whole chunk written gives the write up, as a close that is cancelled then does.
BOOL WINAPI GivingUpWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    const BOOL done = s_writeFile(file, data, size, written, overlapped);
    if (s_givenUp && size >= 256 * 1024)
        s_givenUp->stop = true;
    return done;
}

} // namespace

// The records another writer added since this folder read the file stay when this one adds its
// own after them, also when the file came out as long as it was (the other writer cut a torn end
// and added as many bytes).
TEST(CacheFile, RecordsAnotherWriterAddedSinceTheFileWasReadStay)
{
    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder(L"cache");
    const std::wstring path = folder / L"_THUMBS_.KWI", copy = folder / L"copy.kwt";
    std::vector<std::unique_ptr<StoredItem>> items;
    for (int i = 0; i < 3; ++i)
        items.emplace_back(new StoredItem(folder, L"p" + std::to_wstring(i) + L".tpic", 24 + 2 * i, 20 + i));
    {
        VyxCacheFolder first;
        ASSERT_EQ(0, first.StoreFromItem(*items[0]->item));
        ASSERT_EQ(1, first.SaveIfModified(path.c_str()));
    }
    const std::string whole = Bytes(path);
    // The bytes the other writer's record takes, measured on a copy.
    std::string added;
    {
        PutFile(folder, L"copy.kwt", whole);
        VyxCacheFolder probe;
        ASSERT_EQ(VyxCacheFolder::LoadDone, probe.Load(copy.c_str()));
        ASSERT_EQ(0, probe.StoreFromItem(*items[1]->item));
        ASSERT_EQ(1, probe.SaveIfModified(copy.c_str()));
        added = Bytes(copy).substr(whole.size());
        ASSERT_FALSE(added.empty());
    }
    // A crash during an earlier addition left a torn record of just that length.
    const std::string torn =
        (CacheBytes().Record(L"torn.tpic", L"a_image", 1, kTime).bytes + std::string(added.size(), 'z'))
            .substr(0, added.size());
    PutFile(folder, L"_THUMBS_.KWI", whole + torn);
    VyxCacheFolder mine;
    ASSERT_EQ(VyxCacheFolder::LoadDone, mine.Load(path.c_str()));
    ASSERT_EQ(1, mine.GetCount());
    ASSERT_TRUE(ClockHasMovedPast(folder, path));
    {
        VyxCacheFolder other;
        ASSERT_EQ(VyxCacheFolder::LoadDone, other.Load(path.c_str()));
        ASSERT_EQ(0, other.StoreFromItem(*items[1]->item));
        ASSERT_EQ(1, other.SaveIfModified(path.c_str()));
    }
    ASSERT_EQ(whole + added, Bytes(path));
    ASSERT_EQ(0, mine.StoreFromItem(*items[2]->item));
    ASSERT_EQ(1, mine.SaveIfModified(path.c_str()));
    EXPECT_EQ(whole + added, Bytes(path).substr(0, whole.size() + added.size()));
    VyxCacheFolder last;
    ASSERT_EQ(VyxCacheFolder::LoadDone, last.Load(path.c_str()));
    ASSERT_EQ(3, last.GetCount());
    for (auto& stored : items) {
        VyxFile fromFile(stored->item->GetPath().GetString());
        EXPECT_EQ(0, last.RestoreToItem(fromFile)) << fromFile.GetFileName().GetString();
    }
}

TEST(CacheFile, AnAdditionGivenUpHalfWayLeavesTheFileByteForByteAsItWas)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    const std::wstring path =
        PutFile(folder, L"_THUMBS_.KWI", CacheBytes().Head().Record(L"old.jpg", L"x", 1, 2).End().bytes);
    const std::string before = Bytes(path);
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
    // More new records than one chunk of writing holds.
    for (int i = 0; i < 3000; ++i)
        cache.AddRecord(NewRecord((L"new" + std::to_wstring(i) + L".jpg").c_str(), 3, 4));
    VyxCacheFolder::WriteWatch watch;
    {
        ImportPatch patch("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&GivingUpWrite));
        ASSERT_TRUE(patch);
        s_writeFile = reinterpret_cast<decltype(&WriteFile)>(patch.Original());
        s_givenUp = &watch;
        EXPECT_EQ(0, cache.SaveIfModified(path.c_str(), &watch));
        s_givenUp = nullptr;
    }
    ASSERT_TRUE(watch.stop);
    EXPECT_TRUE(cache.IsModified());
    EXPECT_EQ(before, Bytes(path));
    // The next write adds them all.
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    VyxCacheFolder again;
    ASSERT_EQ(VyxCacheFolder::LoadDone, again.Load(path.c_str()));
    EXPECT_EQ(3001, again.GetCount());
}

// A record the reader refused (a damaged one) is not carried on in the file by an addition: the
// file is written whole, without it.
TEST(CacheFile, ADamagedRecordDoesNotStayInTheFileWhenRecordsAreAdded)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    CacheBytes bytes;
    bytes.Head();
    bytes.Record(L"good.jpg", L"x", 1, 2).End();
    bytes.Record(L"damaged-record.jpg", L"x", 1, 2).Int(1008, -7).End();
    const std::wstring path = PutFile(folder, L"_THUMBS_.KWI", bytes.bytes);
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
    ASSERT_EQ(1, cache.GetCount());
    cache.AddRecord(NewRecord(L"new.jpg", 3, 4));
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    const std::string written = Bytes(path);
    EXPECT_EQ(std::string::npos, written.find(CacheBytes().Text(2001, L"damaged-record.jpg").bytes.substr(8)));
    VyxCacheThumbsArray expected;
    VyxCacheThumbs* good = NewRecord(L"good.jpg", 1, 2, L"x");
    good->m_kind = 0;
    expected.Add(good);
    expected.Add(NewRecord(L"new.jpg", 3, 4));
    const std::wstring alone = folder / L"expected.kwt";
    ASSERT_EQ(1, VyxCacheFolder::WriteRecords(alone.c_str(), expected));
    expected.DeleteAll();
    EXPECT_EQ(Bytes(alone), written);
}

// The user's choice of a read-only cache file stands: no write replaces it or adds to it.
TEST(CacheFile, AReadOnlyCacheFileIsLeftAsItIs)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    const std::wstring path =
        PutFile(folder, L"_THUMBS_.KWI", CacheBytes().Head().Record(L"old.jpg", L"x", 1, 2).End().bytes);
    const std::string before = Bytes(path);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(path.c_str()));
    // A record added, which would go at the end of the file.
    cache.AddRecord(NewRecord(L"new.jpg", 3, 4));
    EXPECT_EQ(0, cache.SaveIfModified(path.c_str()));
    // A record removed, which would have the file written whole.
    cache.RemoveAt(0);
    EXPECT_EQ(0, cache.SaveIfModified(path.c_str()));
    EXPECT_TRUE(cache.IsModified());
    VyxCacheThumbsArray records;
    records.Add(NewRecord(L"other.jpg", 5, 6));
    EXPECT_EQ(0, VyxCacheFolder::WriteRecords(path.c_str(), records));
    records.DeleteAll();
    EXPECT_EQ(before, Bytes(path));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ((std::vector<std::wstring>{L"_THUMBS_.KWI"}), NamesIn(folder));
    // Made writable again by the user, it is written, and stays hidden.
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(1, cache.SaveIfModified(path.c_str()));
    EXPECT_NE(before, Bytes(path));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN), GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// A crash while the cache file was written left its temporary beside it: the next write of the
// file removes it by the program's mark inside, and never a file of the user's of such a name.
TEST(CacheFile, ATemporaryACrashLeftBesideTheCacheFileGoesAtItsNextWrite)
{
    CacheScope scope;
    ScratchFolder folder(L"cache");
    const std::wstring path = folder / L"_THUMBS_.KWI";
    const FILETIME longAgo = {1, 1};
    const std::string left = TempMarker::MakeFor(0x0FFFFFF0, longAgo) + std::string(100000, 'c');
    PutFile(folder, L"_THUMBS_.KWI.0000ABCD.tmp", left);
    PutFile(folder, L"_THUMBS_.KWI.0000ABCE.tmp", "the user's own file");
    VyxCacheFolder cache;
    cache.AddRecord(NewRecord(L"new.jpg", 3, 4));
    ASSERT_EQ(1, cache.SaveIfModified(path.c_str()));
    EXPECT_EQ((std::vector<std::wstring>{L"_THUMBS_.KWI", L"_THUMBS_.KWI.0000ABCE.tmp"}), NamesIn(folder));
    EXPECT_EQ("the user's own file", Bytes(folder / L"_THUMBS_.KWI.0000ABCE.tmp"));
}

// A folder made without its file read (the location had none a moment before) keeps what another
// writer put there meanwhile: its records, images and all, stand beside the new ones.
TEST(CacheFolder, AFolderMadeWithoutItsFileKeepsTheRecordsAnotherWriterPutThereSince)
{
    ScratchFolder folder(L"cache");
    const std::wstring path = folder.Path() + L"\\_THUMBS_.KWI";
    const std::string own = TestJpeg(8, 6), others = TestJpeg(10, 4);
    VyxCacheFolder mine(folder.Path().c_str(), L"");
    mine.SetFileUnread(true);
    VyxCacheThumbs* added = NewRecord(L"MINE.JPG", 10, 1500000000);
    ASSERT_TRUE(added->SetImage(VyxCacheThumbs::ImageJpeg, reinterpret_cast<const BYTE*>(own.data()),
                                static_cast<DWORD>(own.size())));
    mine.AddRecord(added);
    {
        VyxCacheFolder other(folder.Path().c_str(), L"");
        for (const wchar_t* name : {L"A.JPG", L"MINE.JPG", L"B.JPG"}) {
            VyxCacheThumbs* record = NewRecord(name, 20, 1500000000);
            ASSERT_TRUE(record->SetImage(VyxCacheThumbs::ImageJpeg, reinterpret_cast<const BYTE*>(others.data()),
                                             static_cast<DWORD>(others.size())));
            other.AddRecord(record);
        }
        ASSERT_EQ(1, other.SaveIfModified(path.c_str()));
    }
    ASSERT_EQ(1, mine.SaveIfModified(path.c_str()));
    VyxCacheFolder read;
    ASSERT_EQ(VyxCacheFolder::LoadDone, read.Load(path.c_str()));
    ASSERT_EQ(3, read.GetCount());
    std::vector<std::wstring> names;
    for (INT_PTR i = 0; i < read.GetCount(); ++i) {
        const VyxCacheThumbs& record = *read.GetAt(i);
        names.push_back(record.m_fileName.GetString());
        std::vector<BYTE> image;
        ASSERT_TRUE(read.ReadImage(record, image));
        // The record stored here wins over the other writer's of the same name.
        EXPECT_EQ(record.m_fileName == L"MINE.JPG" ? own : others, std::string(image.begin(), image.end()));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"A.JPG", L"B.JPG", L"MINE.JPG"}), names);
}

// A location left with no record of its own, whose file was not read because it had none a moment
// before, leaves the file another instance wrote there since.
TEST(CacheFolder, AnEmptyFolderMadeWithoutItsFileLeavesTheFileAnotherWriterPutThere)
{
    ScratchFolder folder(L"cache");
    const std::wstring path = folder.Path() + L"\\_THUMBS_.KWI";
    {
        VyxCacheFolder other(folder.Path().c_str(), L"");
        other.AddRecord(NewRecord(L"A.JPG", 20, 1500000000));
        ASSERT_EQ(1, other.SaveIfModified(path.c_str()));
    }
    auto* mine = new VyxCacheFolder(folder.Path().c_str(), L"");
    mine->SetFileUnread(true);
    CacheFileWriter writer;
    writer.AddFindingFile(mine, L"");
    writer.Start();
    ASSERT_TRUE(writer.Wait(INFINITE));
    EXPECT_EQ(0, writer.GetFailures());
    for (VyxCacheFolder* written : writer.TakeFolders()) {
        written->KeepSettings();
        delete written;
    }
    VyxCacheFolder read;
    read.KeepSettings();
    ASSERT_EQ(VyxCacheFolder::LoadDone, read.Load(path.c_str()));
    EXPECT_EQ(1, read.GetCount());
}

// A location left, entered and left again waits behind another location's file: it counts as
// written only once its newest file is, not once the first one it was left with is.
TEST(CacheFileWriter, ALocationLeftTwiceCountsAsWrittenOnlyOnceItsNewestFileIs)
{
    ScratchFolder x(L"x"), y(L"y");
    auto cacheOf = [](const ScratchFolder& folder, const wchar_t* prefix, int count) {
        auto* cache = new VyxCacheFolder(folder.Path().c_str(), L"");
        for (int i = 0; i < count; ++i)
            cache->AddRecord(NewRecord((CString(prefix) + wchar_t(L'a' + i) + L".jpg").GetString(), 10, 1500000000));
        return cache;
    };
    auto first = std::make_unique<CacheFileWriter>();
    first->Add(cacheOf(x, L"old", 3), (x.Path() + L"\\_THUMBS_.KWI").c_str());
    auto second = std::make_unique<CacheFileWriter>();
    second->Add(cacheOf(y, L"y", 3), (y.Path() + L"\\_THUMBS_.KWI").c_str());
    second->After(std::move(first));
    second->Start();
    // Only the newest writer holds between its records.
    std::atomic<bool> released{false};
    CacheFileWriter::SetBetweenRecordsForTests([&](const VyxCacheFolder::WriteWatch& watch) {
        while (!released.load() && !watch.stop.load())
            Sleep(1);
    });
    CacheFileWriter newest;
    CacheFileWriter::SetBetweenRecordsForTests(nullptr);
    newest.Add(cacheOf(x, L"new", 5), (x.Path() + L"\\_THUMBS_.KWI").c_str());
    newest.After(std::move(second));
    newest.Start();
    for (int i = 0; i < 6000 && newest.GetWritten() < 7; ++i)
        Sleep(10);
    ASSERT_GE(newest.GetWritten(), 7);

    EXPECT_FALSE(newest.WaitFor(x.Path().c_str(), L"", 0));
    EXPECT_TRUE(newest.WaitFor(y.Path().c_str(), L"", 0));
    released = true;
    EXPECT_TRUE(newest.WaitFor(x.Path().c_str(), L"", INFINITE));
    ASSERT_TRUE(newest.Wait(INFINITE));
    for (VyxCacheFolder* written : newest.TakeFolders()) {
        written->KeepSettings();
        delete written;
    }
    VyxCacheFolder read;
    read.KeepSettings();
    ASSERT_EQ(VyxCacheFolder::LoadDone, read.Load((x.Path() + L"\\_THUMBS_.KWI").c_str()));
    EXPECT_EQ(5, read.GetCount());
}
