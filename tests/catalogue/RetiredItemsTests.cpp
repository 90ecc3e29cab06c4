// Items a listing let go, and its folders' thumbnail caches: deleted a slice at a time in the idle
// time, except items that hold pictures, which go at once.
#include "../script/ScriptTestKit.h"
#include "ThumbnailTestUtil.h"

#include "catalogue/RetiredItems.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheThumbs.h"

#include <vector>

using namespace thumbtest;
using scripttest::Canvas;

namespace {

// An item that says when it is deleted.
class WatchedItem : public VyxFile
{
public:
    explicit WatchedItem(int* deleted) : m_deleted(deleted) {}
    ~WatchedItem() override { ++*m_deleted; }

private:
    int* m_deleted;
};

// A cache record that says when it is deleted.
class WatchedRecord : public VyxCacheThumbs
{
public:
    explicit WatchedRecord(int* deleted) : m_deleted(deleted) {}
    ~WatchedRecord() override { ++*m_deleted; }

private:
    int* m_deleted;
};

} // namespace

TEST(RetiredItems, ItemsLetGoAreDeletedASliceAtATimeAndThoseWithPicturesAtOnce)
{
    RetiredItems::DeleteAll();
    StandardPlugins plugins;
    ScratchFolder folder(L"retired");
    Canvas canvas(100, 100);
    int deleted = 0;
    std::vector<VyxFile*> items;
    for (int i = 0; i < RetiredItems::Slice + 5; ++i)
        items.push_back(new WatchedItem(&deleted));
    items.push_back(nullptr);
    // One that holds its thumbnail: the picture budget may not keep an item nobody lists.
    VyxFile* drawn = NewPictureItem(folder, L"drawn.tpic", 60, 40);
    ASSERT_EQ(0, drawn->DrawCell(&canvas.dc, 0, 0, 100, 100, VyxFilexDraw::PictureMade));
    ASSERT_TRUE(drawn->HasThumbnail());
    const size_t held = HeldPictureBudget::GetHeldBytes();
    items.push_back(drawn);

    RetiredItems::Take(items);
    EXPECT_EQ(0, deleted);
    EXPECT_LT(HeldPictureBudget::GetHeldBytes(), held);
    EXPECT_EQ(static_cast<size_t>(RetiredItems::Slice + 5), RetiredItems::GetCount());
    EXPECT_TRUE(RetiredItems::DeleteSome());
    EXPECT_EQ(RetiredItems::Slice, deleted);
    EXPECT_FALSE(RetiredItems::DeleteSome());
    EXPECT_EQ(RetiredItems::Slice + 5, deleted);
    EXPECT_EQ(0u, RetiredItems::GetCount());
}

TEST(RetiredItems, ACacheLetGoIsDeletedASliceOfRecordsAtATime)
{
    RetiredItems::DeleteAll();
    int records = 0, items = 0;
    auto* cache = new VyxCacheFolder(L"C:\\pics", L"");
    for (int i = 0; i < RetiredItems::Slice + 5; ++i)
        cache->AddRecord(new WatchedRecord(&records));
    RetiredItems::TakeCacheFolder(cache);
    RetiredItems::Take({new WatchedItem(&items)});
    EXPECT_EQ(1u, RetiredItems::GetCacheFolderCount());
    EXPECT_EQ(0, records);
    EXPECT_TRUE(RetiredItems::DeleteSome());
    EXPECT_EQ(RetiredItems::Slice, records);
    EXPECT_EQ(0, items);
    EXPECT_FALSE(RetiredItems::DeleteSome());
    EXPECT_EQ(RetiredItems::Slice + 5, records);
    EXPECT_EQ(0u, RetiredItems::GetCacheFolderCount());
    EXPECT_EQ(1, items);
}
