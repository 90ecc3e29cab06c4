// A screen's thumbnails read from the cache file in one pass, in the file's order, before its
// cells ask for them one by one; what is held of them, and for how long.
#include "ThumbnailTestUtil.h"

#include "../image/DibTestUtil.h"
#include "catalogue/VyxFilexDraw.h"
#include "image/DibCore.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace thumbtest;

namespace {

// A 24-bit picture whose pixels differ with the seed.
HGLOBAL SeededPicture(int width, int height, int seed)
{
    HGLOBAL dib = CreateDib(width, height, 24);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = DibBits(block) + y * DibRowSize(block) + x * 3;
            p[0] = static_cast<BYTE>(x * 7 + seed * 31);
            p[1] = static_cast<BYTE>(y * 5 + seed * 17);
            p[2] = static_cast<BYTE>((x ^ y) + seed);
        }
    GlobalUnlock(dib);
    return dib;
}

// Pictures with a thumbnail each, stored in the folder's cache file in their order.
struct CachedFolder
{
    CachedFolder(int count, int cacheImage) : folder(L"ahead"), path(folder / L"_THUMBS_.KWI")
    {
        VyxCacheFolder cache;
        cache.SetCacheImage(cacheImage);
        for (int i = 0; i < count; ++i) {
            items.emplace_back(NewPictureItem(folder, L"写真_" + std::to_wstring(i) + L".tpic", 40, 30));
            items.back()->SetThumbnail(SeededPicture(20, 15, i));
            EXPECT_EQ(0, cache.StoreFromItem(*items.back()));
        }
        EXPECT_EQ(1, cache.SaveIfModified(path.c_str()));
    }
    VyxCacheFolder::Key Key(int i) const { return {items[i]->GetFileName(), items[i]->GetPath()}; }
    std::vector<VyxCacheFolder::Key> Keys(int from, int to) const
    {
        std::vector<VyxCacheFolder::Key> keys;
        for (int i = from; i < to; ++i)
            keys.push_back(Key(i));
        return keys;
    }
    // A new item of the picture, as a new listing makes it.
    std::unique_ptr<VyxFile> Listed(int i) const { return std::make_unique<VyxFile>(items[i]->GetPath().GetString()); }

    ScratchFolder folder;
    std::wstring path;
    std::vector<std::unique_ptr<VyxFile>> items;
};

} // namespace

TEST(CacheReadAhead, AScreensImagesAreReadInOnePassAndServeItsCellsWhenTheFileIsGoneMeanwhile)
{
    CacheScope scope;
    StandardPlugins plugins;
    CachedFolder made(30, 0);
    VyxCacheFolder reference, cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, reference.Load(made.path.c_str()));
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(made.path.c_str()));
    std::vector<std::vector<BYTE>> expected;
    for (int i = 0; i < 30; ++i) {
        HGLOBAL thumbnail = reference.DecodeImage(*reference.FindRecord(*made.items[i]));
        ASSERT_TRUE(thumbnail) << i;
        expected.push_back(dibtest::Bytes(thumbnail));
        GlobalFree(thumbnail);
    }

    // A screen asked in another order than the file's, a name the file does not hold among them.
    std::vector<VyxCacheFolder::Key> screen = made.Keys(10, 25);
    std::reverse(screen.begin(), screen.end());
    screen.push_back({L"ない.tpic", L""});
    cache.ReadAhead(screen);
    EXPECT_EQ(15u, cache.GetReadAheadCount());

    // Read whole already: the file going takes nothing from the screen.
    ASSERT_TRUE(DeleteFileW(made.path.c_str()));
    for (int i = 10; i < 25; ++i) {
        std::unique_ptr<VyxFile> item = made.Listed(i);
        ASSERT_EQ(0, cache.RestoreToItem(*item)) << i;
        EXPECT_EQ(expected[i], dibtest::Bytes(item->GetThumbnail())) << i;
    }
    // Each image is held until its cell has it, no longer.
    EXPECT_EQ(0u, cache.GetReadAheadCount());
    std::unique_ptr<VyxFile> notOnTheScreen = made.Listed(0);
    EXPECT_EQ(-1, cache.RestoreToItem(*notOnTheScreen));
    EXPECT_FALSE(notOnTheScreen->HasThumbnail());
}

TEST(CacheReadAhead, ImagesHeldAheadFollowTheScreenAndTheirRecords)
{
    CacheScope scope;
    StandardPlugins plugins;
    // DIB images: a new picture of the same size has an image of the same length.
    CachedFolder made(30, 1);
    VyxCacheFolder cache;
    cache.SetCacheImage(1);
    cache.SetImageBudget(0);
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(made.path.c_str()));

    cache.ReadAhead(made.Keys(0, 15));
    EXPECT_EQ(15u, cache.GetReadAheadCount());
    // The next screen: what the last one held and this one does not show goes.
    cache.ReadAhead(made.Keys(10, 25));
    EXPECT_EQ(15u, cache.GetReadAheadCount());

    // A picture made anew: its record's new image (moved out to the spill file at once) is the
    // one restored, never the one read ahead of the old.
    made.items[12]->SetThumbnail(SeededPicture(20, 15, 99));
    const std::vector<BYTE> newPicture = dibtest::Bytes(made.items[12]->GetThumbnail());
    ASSERT_EQ(0, cache.StoreFromItem(*made.items[12]));
    ASSERT_TRUE(cache.FindRecord(*made.items[12])->m_imageAway);
    EXPECT_EQ(14u, cache.GetReadAheadCount());
    std::unique_ptr<VyxFile> remade = made.Listed(12);
    ASSERT_EQ(0, cache.RestoreToItem(*remade));
    EXPECT_EQ(newPicture, dibtest::Bytes(remade->GetThumbnail()));

    // A record removed takes its image along; a screen with nothing to read holds nothing.
    cache.RemoveItem(*made.items[13]);
    EXPECT_EQ(13u, cache.GetReadAheadCount());
    cache.ReadAhead({});
    EXPECT_EQ(0u, cache.GetReadAheadCount());
}

TEST(CacheReadAhead, TheCacheListReadsAScreenAheadOnceItsLocationsFileHasBeenRead)
{
    CacheScope scope;
    StandardPlugins plugins;
    CachedFolder made(20, 0);
    std::vector<std::unique_ptr<VyxFile>> listed;
    for (int i = 0; i < 20; ++i)
        listed.push_back(made.Listed(i));
    std::vector<VyxFilexDraw*> screen;
    for (int i = 5; i < 15; ++i)
        screen.push_back(listed[i].get());

    // Asked before the location's file is in memory: read with it, at the first look-up.
    theCacheList.ReadAhead(screen);
    EXPECT_EQ(nullptr, theCacheList.FindFolder(made.folder.Path().c_str(), L""));
    ASSERT_EQ(0, theCacheList.LoadFromCache(listed[5].get()));
    const VyxCacheFolder* cache = theCacheList.FindFolder(made.folder.Path().c_str(), L"");
    ASSERT_NE(nullptr, cache);
    EXPECT_EQ(9u, cache->GetReadAheadCount());

    ASSERT_TRUE(DeleteFileW(made.path.c_str()));
    for (int i = 6; i < 15; ++i) {
        EXPECT_EQ(0, theCacheList.LoadFromCache(listed[i].get())) << i;
        EXPECT_TRUE(listed[i]->HasThumbnail()) << i;
    }
    EXPECT_NE(0, theCacheList.LoadFromCache(listed[0].get()));
    EXPECT_FALSE(listed[0]->HasThumbnail());
}

// What one screen read on past itself serves the next only while the file is the one it was read
// from: a file put in its place since (records at the same places, other pictures) gives its own
// pictures, and a file deleted since gives none.
TEST(CacheReadAhead, TheNextScreenIsReadFromTheCacheFileAsItIsNowWhenItWasReplacedOrDeleted)
{
    CacheScope scope;
    StandardPlugins plugins;
    // DIB images: new pictures of the same size leave every record at its place.
    CachedFolder made(30, 1);
    VyxCacheFolder cache;
    cache.SetCacheImage(1);
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(made.path.c_str()));
    cache.ReadAhead(made.Keys(0, 15));
    ASSERT_EQ(15u, cache.GetReadAheadCount());

    // The same records with new pictures, written beside and moved over the file, a minute later.
    const std::wstring beside = made.folder / L"new.kwi";
    std::vector<std::vector<BYTE>> newPictures;
    {
        VyxCacheFolder writer;
        writer.SetCacheImage(1);
        for (int i = 0; i < 30; ++i) {
            made.items[i]->SetThumbnail(SeededPicture(20, 15, i + 100));
            newPictures.push_back(dibtest::Bytes(made.items[i]->GetThumbnail()));
            ASSERT_EQ(0, writer.StoreFromItem(*made.items[i]));
        }
        ASSERT_EQ(1, writer.SaveIfModified(beside.c_str()));
    }
    WIN32_FILE_ATTRIBUTE_DATA old = {};
    ASSERT_TRUE(GetFileAttributesExW(made.path.c_str(), GetFileExInfoStandard, &old));
    ASSERT_TRUE(MoveFileExW(beside.c_str(), made.path.c_str(), MOVEFILE_REPLACE_EXISTING));
    HANDLE file = CreateFileW(made.path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ULARGE_INTEGER later = {{old.ftLastWriteTime.dwLowDateTime, old.ftLastWriteTime.dwHighDateTime}};
    later.QuadPart += 600000000ull;
    const FILETIME written = {later.LowPart, later.HighPart};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);

    cache.ReadAhead(made.Keys(15, 25));
    ASSERT_EQ(10u, cache.GetReadAheadCount());
    for (int i = 15; i < 25; ++i) {
        std::unique_ptr<VyxFile> item = made.Listed(i);
        ASSERT_EQ(0, cache.RestoreToItem(*item)) << i;
        EXPECT_EQ(newPictures[i], dibtest::Bytes(item->GetThumbnail())) << i;
    }

    ASSERT_TRUE(DeleteFileW(made.path.c_str()));
    cache.ReadAhead(made.Keys(25, 30));
    EXPECT_EQ(0u, cache.GetReadAheadCount());
    std::unique_ptr<VyxFile> gone = made.Listed(27);
    EXPECT_EQ(-1, cache.RestoreToItem(*gone));
}
