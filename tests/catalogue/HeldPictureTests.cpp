// The bounds on what drawn items keep: their thumbnails and pictures in bytes, and the kept
// cells as many as a view shows.
#include "../script/ScriptTestKit.h"
#include "ThumbnailTestUtil.h"

#include "catalogue/VyxFilexDraw.h"

#include <memory>
#include <vector>

using namespace thumbtest;
using scripttest::Canvas;

namespace {

// The bound of the test, the program's again afterwards.
class BudgetScope
{
public:
    explicit BudgetScope(size_t bytes) : m_previous(HeldPictureBudget::GetLimit())
    {
        HeldPictureBudget::SetLimit(bytes);
    }
    ~BudgetScope() { HeldPictureBudget::SetLimit(m_previous); }

private:
    size_t m_previous;
};

void Style(VyxFilexDraw& item)
{
    item.SetNameMode(0);
    item.SetFrame(FALSE);
    item.SetShadow(0);
    item.SetScaleMode(1);
    item.SetLimitCheck(TRUE);
}

} // namespace

TEST(HeldPictures, DrawnItemsHoldNoMoreThanTheBoundAndGetTheirThumbnailsBackFromTheCache)
{
    StandardPlugins plugins;
    CacheScope cache;
    ScratchFolder folder(L"held");
    Canvas canvas(100, 100);
    std::vector<std::unique_ptr<VyxFile>> items;
    for (int i = 0; i < 40; ++i) {
        items.emplace_back(NewPictureItem(folder, L"p" + std::to_wstring(i) + L".tpic", 60, 40));
        Style(*items.back());
        items.back()->SetAutoCache(TRUE);
    }
    // Room for a handful of 60 x 40 thumbnails (7,240 bytes each with their headers).
    BudgetScope budget(5 * 7300);
    const size_t before = HeldPictureBudget::GetHeldBytes();
    for (auto& item : items) {
        ASSERT_EQ(0, item->DrawCell(&canvas.dc, 0, 0, 100, 100, VyxFilexDraw::PictureMade));
        EXPECT_LE(HeldPictureBudget::GetHeldBytes() - before, 5u * 7300);
    }
    EXPECT_TRUE(items.back()->HasThumbnail());
    // The first thumbnails went to the cache as they were let go, and come back from it.
    VyxFile& first = *items.front();
    EXPECT_FALSE(first.HasThumbnail());
    TestPluginCalls* calls = Calls(HostPlugins::Image(L"a_image"));
    ASSERT_NE(nullptr, calls);
    const int decodes = calls->getPicture;
    canvas.Clear(RGB(255, 255, 255));
    EXPECT_EQ(0, first.DrawCell(&canvas.dc, 0, 0, 100, 100, VyxFilexDraw::PictureHeld));
    EXPECT_TRUE(first.HasThumbnail());
    EXPECT_TRUE(first.IsCached());
    EXPECT_EQ(decodes, calls->getPicture);
    EXPECT_LE(HeldPictureBudget::GetHeldBytes() - before, 5u * 7300);
    items.clear();
    EXPECT_EQ(before, HeldPictureBudget::GetHeldBytes());
}

TEST(HeldPictures, AThumbnailLetGoWithoutACacheIsMadeAgainWhenItsCellShowsAgain)
{
    StandardPlugins plugins;
    CacheScope cache;
    ScratchFolder folder(L"held");
    Canvas canvas(100, 100);
    std::unique_ptr<VyxFile> a(NewPictureItem(folder, L"a.tpic", 60, 40));
    std::unique_ptr<VyxFile> b(NewPictureItem(folder, L"b.tpic", 60, 40));
    Style(*a);
    Style(*b);
    BudgetScope budget(HeldPictureBudget::GetHeldBytes() + 8000);
    a->DrawCell(&canvas.dc, 0, 0, 100, 100, VyxFilexDraw::PictureMade);
    b->DrawCell(&canvas.dc, 0, 0, 100, 100, VyxFilexDraw::PictureMade);
    EXPECT_FALSE(a->HasThumbnail());
    EXPECT_FALSE(a->IsCached());
    EXPECT_TRUE(b->HasThumbnail());
    // Shown without making, it is an icon; the pass that makes thumbnails brings it back.
    a->DrawCell(&canvas.dc, 0, 0, 100, 100, VyxFilexDraw::PictureHeld);
    EXPECT_FALSE(a->HasThumbnail());
    a->DrawCell(&canvas.dc, 0, 0, 100, 100, VyxFilexDraw::PictureMade);
    EXPECT_TRUE(a->HasThumbnail());
    EXPECT_FALSE(b->HasThumbnail());
}

TEST(HeldPictures, KeptCellsFollowTheCellsAViewShowsWithinTheirBound)
{
    const size_t previous = CellSurfaceHolder::GetLimit();
    // Small cells on a large screen: more cells than the old fixed count of 128, all kept.
    CellSurfaceHolder::SetLimitForCells(600, SIZE{30, 30});
    EXPECT_EQ(600u, CellSurfaceHolder::GetLimit());
    std::vector<std::unique_ptr<VyxFile>> items;
    Canvas canvas(30, 30);
    for (int i = 0; i < 600; ++i) {
        items.push_back(std::make_unique<VyxFile>());
        Style(*items.back());
        items.back()->Draw(&canvas.dc, 0, 0, 30, 30, 0);
    }
    for (auto& item : items)
        EXPECT_TRUE(item->HasKeptCell());
    // Large cells: the bytes bound the count.
    CellSurfaceHolder::SetLimitForCells(5000, SIZE{640, 480});
    EXPECT_EQ(CellSurfaceHolder::MaxBytes / (640 * 3 * 480), CellSurfaceHolder::GetLimit());
    EXPECT_LE(CellSurfaceHolder::GetKeptCount(), CellSurfaceHolder::GetLimit());
    CellSurfaceHolder::SetLimitForCells(100000, SIZE{1, 1});
    EXPECT_EQ(CellSurfaceHolder::MaxCount, CellSurfaceHolder::GetLimit());
    CellSurfaceHolder::SetLimit(previous);
}

TEST(HeldPictures, AKeptCellOfAnotherSizeOrSelectionIsDrawnAgain)
{
    VyxFile item;
    Style(item);
    item.colBackGround = RGB(0xD0, 0xD0, 0xD0);
    item.colSelectBackGround = RGB(0x30, 0x60, 0xC0);
    Canvas canvas(60, 60);
    item.DrawCell(nullptr, 0, 0, 40, 40, 0);
    ASSERT_TRUE(item.HasKeptCell());
    item.SetFlags(VyxFilexDraw::FlagSelected);
    canvas.Clear(RGB(255, 255, 255));
    item.Draw(&canvas.dc, 0, 0, 40, 40, 0);
    EXPECT_EQ(RGB(0x30, 0x60, 0xC0), canvas.Pixel(20, 20));
    canvas.Clear(RGB(255, 255, 255));
    item.Draw(&canvas.dc, 0, 0, 50, 50, 0);
    EXPECT_EQ(RGB(0x30, 0x60, 0xC0), canvas.Pixel(45, 45));
    // Reused at the same size, the margins take the background again.
    item.SetMarginSize(SIZE{10, 10});
    item.DrawCell(&canvas.dc, 0, 0, 50, 50, 0);
    EXPECT_EQ(RGB(0xD0, 0xD0, 0xD0), canvas.Pixel(2, 2));
    EXPECT_EQ(RGB(0x30, 0x60, 0xC0), canvas.Pixel(25, 25));
}

TEST(HeldPictures, HugeCellsOfADamagedLayoutKeepOneSurfaceInsteadOfDividingByZero)
{
    const size_t previous = CellSurfaceHolder::GetLimit();
    // 65536 x 65536 x 3 is 0 in 32 bits.
    CellSurfaceHolder::SetLimitForCells(100, SIZE{65536, 65536});
    EXPECT_EQ(1u, CellSurfaceHolder::GetLimit());
    CellSurfaceHolder::SetLimitForCells(100, SIZE{15000, 15000});
    EXPECT_EQ(1u, CellSurfaceHolder::GetLimit());
    CellSurfaceHolder::SetLimitForCells(100, SIZE{0x7FFFFFFF, 0x7FFFFFFF});
    EXPECT_EQ(1u, CellSurfaceHolder::GetLimit());
    CellSurfaceHolder::SetLimitForCells(100, SIZE{-5, 0});
    EXPECT_EQ(100u, CellSurfaceHolder::GetLimit());
    CellSurfaceHolder::SetLimit(previous);
}
