// A folder's new thumbnail records reach its cache file while they are made: the first file is made
// (its header alone) on a thread of its own at the first record, and the records are added to it
// each time the images held in memory pass their budget, so that the folder's write adds only the
// last few. The file reads back whole at every moment, a torn addition included, and another
// writer's change is never lost.
#include "ThumbnailTestUtil.h"

#include "catalogue/VyxFilexDraw.h"
#include "image/DibCore.h"

#include <memory>
#include <string>
#include <vector>

using namespace thumbtest;

namespace {

// Items of the test plug-in's pictures in the folder, each holding a thumbnail made for a box of
// 20 x 20 (a JPEG of some 700 bytes).
std::vector<std::unique_ptr<VyxFile>> MadeItems(const ScratchFolder& folder, const wchar_t* prefix, int count)
{
    std::vector<std::unique_ptr<VyxFile>> items;
    for (int i = 0; i < count; ++i) {
        items.emplace_back(NewPictureItem(folder, prefix + std::to_wstring(i) + L".tpic", 40 + i, 30));
        items.back()->SetCacheLookup(FALSE);
        EXPECT_TRUE(items.back()->GetThumbnailFor(0, 0, 20, 20, true)) << i;
    }
    return items;
}

// A folder that adds its records to its file as they are made, with room for a few images.
std::unique_ptr<VyxCacheFolder> AheadFolder(const ScratchFolder& folder)
{
    std::unique_ptr<VyxCacheFolder> cache(new VyxCacheFolder(folder.Path().c_str(), L""));
    cache->SetWriteAhead(true, L"");
    cache->SetImageBudget(2000);
    return cache;
}

// The first record stored, and its file made.
bool StoreFirst(VyxCacheFolder& cache, VyxFile& item, const std::wstring& path)
{
    if (cache.StoreFromItem(item) != 0)
        return false;
    for (int i = 0; i < 3000 && cache.IsStartingFile(); ++i)
        Sleep(10);
    return !cache.IsStartingFile() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

INT_PTR RecordsIn(const std::wstring& path)
{
    VyxCacheFolder read;
    read.KeepSettings();
    return read.Load(path.c_str()) == VyxCacheFolder::LoadDone ? read.GetCount() : -1;
}

// Every item comes back from the file with a thumbnail of its own size.
void ExpectEveryItemFrom(const std::wstring& path, const std::vector<std::unique_ptr<VyxFile>>& items)
{
    VyxCacheFolder read;
    read.KeepSettings();
    ASSERT_EQ(VyxCacheFolder::LoadDone, read.Load(path.c_str()));
    for (const auto& item : items) {
        VyxFile fromFile(item->GetPath().GetString());
        ASSERT_EQ(0, read.RestoreToItem(fromFile)) << item->GetFileName().GetString();
        EXPECT_EQ(GetDibWidth(item->GetThumbnail()), GetDibWidth(fromFile.GetThumbnail()));
        EXPECT_EQ(GetDibHeight(item->GetThumbnail()), GetDibHeight(fromFile.GetThumbnail()));
    }
}

class CacheWriteAhead : public ::testing::Test
{
protected:
    // Another program's writer stores the item in the folder's file (added to it when it reads,
    // else written whole).
    void AnotherWriterStores(VyxFile& item)
    {
        VyxCacheFolder other;
        other.KeepSettings();
        other.Load(path.c_str());
        ASSERT_EQ(0, other.StoreFromItem(item));
        ASSERT_EQ(1, other.SaveIfModified(path.c_str()));
    }

    CacheScope scope;
    StandardPlugins plugins;
    ScratchFolder folder{L"ahead"};
    const std::wstring path = folder / L"_THUMBS_.KWI";
    std::unique_ptr<VyxCacheFolder> cache = AheadFolder(folder);
};

} // namespace

TEST_F(CacheWriteAhead, RecordsReachTheFileAsTheyAreMadeAndTheWriteAddsOnlyTheLastFew)
{
    const auto items = MadeItems(folder, L"p", 40);
    ASSERT_TRUE(StoreFirst(*cache, *items[0], path));
    // A file of its header alone until records are added: it reads as a cache of none.
    EXPECT_EQ(0, RecordsIn(path));
    for (size_t i = 1; i < items.size(); ++i)
        ASSERT_EQ(0, cache->StoreFromItem(*items[i])) << i;

    // Before the folder is written, most records are in the file, and memory holds few images.
    const INT_PTR ahead = RecordsIn(path);
    EXPECT_GE(ahead, 30);
    int held = 0;
    for (INT_PTR i = 0; i < cache->GetCount(); ++i)
        held += cache->GetAt(i)->HasImageBytes() ? 1 : 0;
    EXPECT_LE(held, 4);
    const std::string before = ScratchFolder::ReadFile(path);
    ASSERT_EQ(1, cache->SaveIfModified(path.c_str()));
    EXPECT_EQ(before, ScratchFolder::ReadFile(path).substr(0, before.size()));
    EXPECT_EQ(40, RecordsIn(path));
    ExpectEveryItemFrom(path, items);
    // Restored while the folder is open, from where each image lies now.
    VyxFile again(items[5]->GetPath().GetString());
    EXPECT_EQ(0, cache->RestoreToItem(again));

    // An addition torn by the program's end leaves the records before it, each whole.
    const std::string last = before.substr(0, before.size() - 200);
    PutFile(folder, L"_THUMBS_.KWI", last);
    const INT_PTR kept = RecordsIn(path);
    EXPECT_GE(kept, ahead - 1);
    EXPECT_LT(kept, ahead);
    std::vector<std::unique_ptr<VyxFile>> first;
    for (INT_PTR i = 0; i < kept; ++i)
        first.emplace_back(new VyxFile(items[static_cast<size_t>(i)]->GetPath().GetString()));
    for (size_t i = 0; i < first.size(); ++i)
        first[i]->SetThumbnail(CopyGlobal(items[i]->GetThumbnail()));
    ExpectEveryItemFrom(path, first);
}

TEST_F(CacheWriteAhead, AnotherWritersRecordsStayAndNoneOfTheFoldersIsLost)
{
    const auto items = MadeItems(folder, L"p", 30);
    const auto others = MadeItems(folder, L"o", 1);
    ASSERT_TRUE(StoreFirst(*cache, *items[0], path));
    for (size_t i = 1; i < 15; ++i)
        ASSERT_EQ(0, cache->StoreFromItem(*items[i]));
    // Another program adds its record meanwhile.
    ASSERT_NO_FATAL_FAILURE(AnotherWriterStores(*others[0]));
    const std::string theirs = ScratchFolder::ReadFile(path);
    for (size_t i = 15; i < items.size(); ++i)
        ASSERT_EQ(0, cache->StoreFromItem(*items[i]));
    // Nothing was added over the other's file while the folder was open.
    EXPECT_EQ(theirs, ScratchFolder::ReadFile(path));
    ASSERT_EQ(1, cache->SaveIfModified(path.c_str()));
    EXPECT_EQ(theirs, ScratchFolder::ReadFile(path).substr(0, theirs.size()));
    VyxCacheFolder read;
    read.KeepSettings();
    ASSERT_EQ(VyxCacheFolder::LoadDone, read.Load(path.c_str()));
    EXPECT_EQ(31, read.GetCount());
    ExpectEveryItemFrom(path, items);
    ExpectEveryItemFrom(path, others);
}

TEST_F(CacheWriteAhead, AFileAnotherWriterMadeFirstIsTakenInNotReplaced)
{
    const auto items = MadeItems(folder, L"p", 12);
    const auto others = MadeItems(folder, L"o", 1);
    // Made for a location that had no file a moment ago; another writer makes one now.
    ASSERT_NO_FATAL_FAILURE(AnotherWriterStores(*others[0]));
    const std::string theirs = ScratchFolder::ReadFile(path);
    ASSERT_EQ(0, cache->StoreFromItem(*items[0]));
    for (int i = 0; i < 3000 && cache->IsStartingFile(); ++i)
        Sleep(10);
    for (size_t i = 1; i < items.size(); ++i)
        ASSERT_EQ(0, cache->StoreFromItem(*items[i]));
    EXPECT_EQ(theirs, ScratchFolder::ReadFile(path));
    ASSERT_EQ(1, cache->SaveIfModified(path.c_str()));
    EXPECT_EQ(13, RecordsIn(path));
    ExpectEveryItemFrom(path, items);
    ExpectEveryItemFrom(path, others);
}
