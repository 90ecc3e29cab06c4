#include "../image/DibTestUtil.h"
#include "ThumbnailTestUtil.h"

#include "catalogue/CalcFitRect.h"
#include "catalogue/VyxFilexDraw.h"
#include "image/DibFilter.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"

#include <memory>

using namespace thumbtest;

namespace {

// A picture with detail for the resamplers and sharpeners to work on.
HGLOBAL Detailed(int width, int height)
{
    return dibtest::Make24(width, height, [](LONG x, LONG y) {
        return RGB((x * 37 + y * 11) & 0xFF, (x * x + y * 3) & 0xFF, ((x ^ y) * 13) & 0xFF);
    });
}

// The item's thumbnail maker on a source, the result kept apart from the source.
std::vector<BYTE> Made(VyxFilexDraw& item, int width, int height, HGLOBAL source)
{
    HGLOBAL made = item.MakeThumbnail(width, height, source);
    std::vector<BYTE> bytes = made ? dibtest::Bytes(made) : std::vector<BYTE>();
    if (made && made != source)
        GlobalFree(made);
    return bytes;
}

std::vector<BYTE> BytesOf(HGLOBAL made, HGLOBAL source)
{
    std::vector<BYTE> bytes = dibtest::Bytes(made);
    if (made != source)
        GlobalFree(made);
    return bytes;
}

struct Settings
{
    ~Settings() { VyxFilexImage::SetItemSettings(ItemSettings{}); }
};

} // namespace

TEST(ThumbnailMaking, FitRectangles)
{
    struct Case
    {
        RECT box;
        int width, height;
        bool noEnlarge, keepAspect;
        int angle;
        RECT fit;
    } cases[] = {
        {{0, 0, 100, 100}, 200, 100, false, true, 0, {0, 25, 100, 75}},
        {{0, 0, 100, 100}, 50, 50, true, true, 0, {25, 25, 75, 75}},
        {{0, 0, 100, 100}, 50, 50, false, true, 0, {0, 0, 100, 100}},
        {{0, 0, 100, 100}, 200, 100, false, false, 0, {0, 0, 100, 100}},
        {{10, 20, 110, 120}, 200, 100, false, true, 90, {35, 20, 85, 120}},
        {{0, 0, 100, 100}, 200, 100, false, true, -270, {25, 0, 75, 100}},
        {{0, 0, 100, 100}, 200, 100, false, true, 360, {0, 25, 100, 75}},
        // Nothing to fit still takes one pixel; a size of 0 scales by 1.
        {{0, 0, 100, 100}, 10000, 1, false, true, 0, {0, 50, 100, 51}},
        {{0, 0, 0, 0}, 30, 20, false, true, 0, {0, 0, 1, 1}},
        {{0, 0, 100, 100}, 0, 0, false, true, 0, {50, 50, 51, 51}},
    };
    for (const Case& c : cases) {
        RECT fit;
        CalcFitRect(fit, c.box.left, c.box.top, c.box.right, c.box.bottom, c.width, c.height, c.noEnlarge, c.keepAspect,
                    c.angle);
        EXPECT_EQ(c.fit.left, fit.left) << c.width << "x" << c.height << " " << c.angle;
        EXPECT_EQ(c.fit.top, fit.top) << c.width << "x" << c.height << " " << c.angle;
        EXPECT_EQ(c.fit.right, fit.right) << c.width << "x" << c.height << " " << c.angle;
        EXPECT_EQ(c.fit.bottom, fit.bottom) << c.width << "x" << c.height << " " << c.angle;
    }
}

TEST(ThumbnailMaking, ScaleModesChooseTheirResampler)
{
    dibtest::Dib source(Detailed(200, 100));
    VyxFile item;
    item.colBackGround = RGB(9, 8, 7);
    struct Case
    {
        int mode;
        int width, height;
        std::function<HGLOBAL()> direct;
    } cases[] = {
        {1, 80, 40, [&] { return RotateResizeDib(source.handle, 80, 40, 0); }},
        {2, 80, 40, [&] { return ResampleDibBilinear(source.handle, 80, 40, 0, RGB(9, 8, 7)); }},
        {3, 80, 40, [&] { return ResampleDibAverage(source.handle, 80, 40, 0, 0, RGB(9, 8, 7)); }},
        // Automatic: half the size and below averages, finer sampling past a quarter.
        {10, 100, 50, [&] { return ResampleDibAverage(source.handle, 100, 50, 0, 0, RGB(9, 8, 7)); }},
        {10, 40, 20, [&] { return ResampleDibAverage(source.handle, 40, 20, 0, 1, RGB(9, 8, 7)); }},
        {10, 160, 80, [&] { return ResampleDibBilinear(source.handle, 160, 80, 0, RGB(9, 8, 7)); }},
    };
    for (const Case& c : cases) {
        item.SetScaleMode(c.mode);
        EXPECT_EQ(BytesOf(c.direct(), source.handle), Made(item, c.width, c.height, source.handle))
            << c.mode << " " << c.width;
    }
    // Any other mode paints the picture stretched.
    item.SetScaleMode(0);
    HGLOBAL stretched = item.MakeThumbnail(50, 25, source.handle);
    ASSERT_TRUE(stretched);
    EXPECT_EQ(50, GetDibWidth(stretched));
    EXPECT_EQ(25, GetDibHeight(stretched));
    GlobalFree(stretched);
    // Already of that size: the source itself.
    EXPECT_EQ(source.handle, item.MakeThumbnail(200, 100, source.handle));
    EXPECT_EQ(nullptr, item.MakeThumbnail(20, 10, nullptr));
}

TEST(ThumbnailMaking, ThumbnailsAreMadeWithAndWithoutSharpening)
{
    Settings restore;
    VyxFile item;
    item.SetScaleMode(10);
    // A tenth of the full picture, the source being the full picture: f = s = 0.1, the first
    // correction table gives 0.3, and 0.3 is the four-neighbour mask's band.
    dibtest::Dib full(Detailed(300, 200));
    item.SetWidth(300);
    item.SetHeight(200);
    dibtest::Dib plain(ResampleDibAverage(full.handle, 30, 20, 0, 1, 0));
    dibtest::Dib masked(UnsharpMaskDib(plain.handle, 0.3));
    EXPECT_EQ(dibtest::Bytes(plain.handle), Made(item, 30, 20, full.handle));
    item.SetUnsharp(TRUE);
    EXPECT_EQ(dibtest::Bytes(masked.handle), Made(item, 30, 20, full.handle));
    EXPECT_NE(dibtest::Bytes(plain.handle), dibtest::Bytes(masked.handle));

    // A source decoded at a quarter of the full picture: s = 0.4, f = 0.1, the second table's
    // 0.1, so the kernel sharpens with the configured weights.
    item.SetWidth(1000);
    item.SetHeight(1000);
    dibtest::Dib reduced(Detailed(250, 250));
    dibtest::Dib averaged(ResampleDibAverage(reduced.handle, 100, 100, 0, 0, 0));
    const int weights[25] = {0, 1, 0, 1, 2, 1, 0, 1, 0};
    ChangeItemSettings([&](ItemSettings& s) { s.SetSharpening(3, L"0,1,0,1,2,1,0,1,0", 0.5); });
    dibtest::Dib kernel(SharpenDibKernel(averaged.handle, 0.1, 3, weights));
    EXPECT_EQ(dibtest::Bytes(kernel.handle), Made(item, 100, 100, reduced.handle));
    // A level that leaves nothing to add: no sharpening.
    ChangeItemSettings([&](ItemSettings& s) { s.SetSharpening(3, L"0,1,0,1,2,1,0,1,0", 0.2); });
    EXPECT_EQ(dibtest::Bytes(averaged.handle), Made(item, 100, 100, reduced.handle));
    // Scale mode 1 never sharpens.
    item.SetScaleMode(1);
    dibtest::Dib nearest(RotateResizeDib(reduced.handle, 100, 100, 0));
    EXPECT_EQ(dibtest::Bytes(nearest.handle), Made(item, 100, 100, reduced.handle));
}

TEST(ThumbnailMaking, SharpenSettingsApplyOnlyAsAWhole)
{
    Settings restore;
    ItemSettings settings;
    settings.SetSharpening(5, L"1,2,3", 1.5);
    EXPECT_EQ(5, settings.sharpenSize);
    EXPECT_DOUBLE_EQ(0.0, settings.sharpenLevel);
    EXPECT_EQ(3, settings.sharpenWeights[2]);
    EXPECT_EQ(0, settings.sharpenWeights[3]);
    settings.SetSharpening(6, L"1,1", 0.7);
    settings.SetSharpening(3, L"", 0.7);
    EXPECT_EQ(5, settings.sharpenSize);
    EXPECT_DOUBLE_EQ(0.0, settings.sharpenLevel);
}

TEST(ThumbnailMaking, HeldThumbnailsAreReusedUntilTheBoxOrTheQualityChanges)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"thumbs");
    std::unique_ptr<VyxFile> item(NewPictureItem(folder, L"a.tpic", 40, 30));
    item->SetCacheLookup(FALSE);
    item->SetScaleMode(2);
    ASSERT_TRUE(item->GetThumbnailFor(0, 0, 20, 20, true));
    EXPECT_TRUE(item->IsThumbnailNew());
    EXPECT_EQ(20, GetDibWidth(item->GetThumbnail()));
    EXPECT_EQ(15, GetDibHeight(item->GetThumbnail()));
    EXPECT_EQ(40, item->GetWidth());
    ASSERT_TRUE(item->GetThumbnailFor(0, 0, 20, 20, true));
    EXPECT_FALSE(item->IsThumbnailNew());
    item->SetScaleMode(1);
    item->GetThumbnailFor(0, 0, 20, 20, true);
    EXPECT_FALSE(item->IsThumbnailNew());
    item->SetScaleMode(3);
    item->GetThumbnailFor(0, 0, 20, 20, true);
    EXPECT_TRUE(item->IsThumbnailNew());
    item->SetUnsharp(TRUE);
    item->GetThumbnailFor(0, 0, 20, 20, true);
    EXPECT_TRUE(item->IsThumbnailNew());
    item->GetThumbnailFor(10, 10, 30, 22, true);
    EXPECT_TRUE(item->IsThumbnailNew());
    EXPECT_EQ(16, GetDibWidth(item->GetThumbnail()));
    // Without making: nothing new, nothing marked.
    item->GetThumbnailFor(0, 0, 50, 50, false);
    EXPECT_FALSE(item->HasThumbnail());
    EXPECT_FALSE(item->IsCannotDraw());
    // A fixed thumbnail stays whatever the box.
    item->GetThumbnailFor(0, 0, 20, 20, true);
    item->SetThumbFixed(TRUE);
    HGLOBAL fixed = item->GetThumbnailFor(0, 0, 80, 80, true);
    EXPECT_EQ(20, GetDibWidth(fixed));
    // The held picture goes once the thumbnail is made, when so set.
    EXPECT_TRUE(item->GetPicture());
    ChangeItemSettings([&](ItemSettings& s) { s.freePictureAfterMaking = true; });
    item->SetThumbFixed(FALSE);
    item->GetThumbnailFor(0, 0, 30, 30, true);
    ChangeItemSettings([&](ItemSettings& s) { s.freePictureAfterMaking = false; });
    EXPECT_FALSE(item->GetPicture());
    EXPECT_TRUE(item->HasThumbnail());
}

TEST(ThumbnailMaking, SizeLimitsAreComparedInSixtyFourBits)
{
    Settings restore;
    struct Case
    {
        int limit;
        ULONGLONG size;
        bool member;
        bool refused;
    } cases[] = {
        {2048, 1, false, false},           {2048, (1ull << 31) - 1, false, false},
        {2048, 1ull << 31, false, true},   {0, 1ull << 40, false, false},
        {4096, 1ull << 32, false, true},   {20, 20 * 1048576ull - 1, true, false},
        {20, 20 * 1048576ull, true, true},
    };
    ScratchFolder folder(L"thumbs");
    std::wstring archive = PutFile(folder, L"box.tarc", "TARC");
    for (const Case& c : cases) {
        std::unique_ptr<VyxFile> item;
        if (c.member) {
            item.reset(NewMemberItem(archive, MemberRecord("", "m.tpic", 1, 1)));
            ChangeItemSettings([&](ItemSettings& s) { s.archiveMemberLimit = c.limit; });
            ChangeItemSettings([&](ItemSettings& s) { s.pluginDisplayLimit = 1; });
        } else {
            item = std::make_unique<VyxFile>();
            ChangeItemSettings([&](ItemSettings& s) { s.pluginDisplayLimit = c.limit; });
        }
        item->SetFileSize(static_cast<DWORD>(c.size), static_cast<DWORD>(c.size >> 32));
        item->SetCacheLookup(FALSE);
        EXPECT_EQ(nullptr, item->GetThumbnailFor(0, 0, 10, 10, false));
        EXPECT_EQ(c.refused, item->IsCannotDraw()) << c.limit << " " << c.size;
        item->ResetCantDraw();
    }
}

TEST(ThumbnailMaking, APictureThatDoesNotLoadIsNotTriedAgain)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"thumbs");
    std::wstring path = PutFile(folder, L"broken.tpic", "TPIC");
    VyxFile item(path.c_str());
    item.SetCacheLookup(FALSE);
    EXPECT_EQ(nullptr, item.GetThumbnailFor(0, 0, 10, 10, true));
    EXPECT_TRUE(item.IsCannotDraw());
    ScratchFolder::WriteFile(path, plugintest::MakeTestPicture(0, 8, 8));
    EXPECT_EQ(nullptr, item.GetThumbnailFor(0, 0, 10, 10, true));
    item.ResetCantDraw();
    EXPECT_TRUE(item.GetThumbnailFor(0, 0, 10, 10, true));
}

TEST(ThumbnailMaking, CoverThumbnailsAreDarkenedAndShownOnlyWithCoversOn)
{
    Settings restore;
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"thumbs");
    std::wstring sub = PutFolder(folder, L"sub");
    PutFile(folder, L"sub\\p.tpic", plugintest::MakeTestPicture(0, 8, 8));
    VyxFile plain((sub + L"\\p.tpic").c_str());
    plain.SetCacheLookup(FALSE);
    HGLOBAL direct = plain.GetThumbnailFor(0, 0, 8, 8, true);
    ASSERT_TRUE(direct);

    VyxFile cover(sub.c_str());
    cover.SetCacheLookup(FALSE);
    ChangeItemSettings([&](ItemSettings& s) { s.coverKinds = 2; });
    HGLOBAL darker = cover.GetThumbnailFor(0, 0, 8, 8, true);
    ASSERT_TRUE(darker);
    COLORREF before = dibtest::Pixel24(direct, 5, 5), after = dibtest::Pixel24(darker, 5, 5);
    EXPECT_LT(GetRValue(after), GetRValue(before));
    EXPECT_EQ(GetRValue(before) * 80 / 100, GetRValue(after));
    // The held picture is not darkened with it.
    EXPECT_NE(cover.GetPicture(), cover.GetThumbnail());
    ChangeItemSettings([&](ItemSettings& s) { s.coverKinds = 1; });
    EXPECT_EQ(nullptr, cover.GetThumbnailFor(0, 0, 8, 8, true));
    EXPECT_FALSE(cover.HasThumbnail());
}

TEST(ThumbnailMaking, TheCacheIsAskedOnceAndItsThumbnailIsKept)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"thumbs");
    std::unique_ptr<VyxFile> first(NewPictureItem(folder, L"a.tpic", 40, 30));
    first->SetCacheLookup(FALSE);
    ASSERT_TRUE(first->GetThumbnailFor(0, 0, 20, 20, true));
    ASSERT_EQ(0, first->StoreCache());
    ASSERT_EQ(1, theCacheList.Flush());
    theCacheList.RemoveAllFolders();

    VyxFile again(first->GetPath().GetString());
    again.SetScaleMode(2);
    HGLOBAL restored = again.GetThumbnailFor(0, 0, 60, 60, true);
    ASSERT_TRUE(restored);
    EXPECT_TRUE(again.IsCached());
    EXPECT_TRUE(again.IsThumbnailNew());
    EXPECT_TRUE(again.GetThumbFixed());
    EXPECT_EQ(2, again.GetThumbScaleMode());
    EXPECT_FALSE(again.GetCacheLookup());
    EXPECT_EQ(20, GetDibWidth(restored)); // fixed: the cached size whatever the box
    again.GetThumbnailFor(0, 0, 60, 60, true);
    EXPECT_FALSE(again.IsThumbnailNew());
    // A better scale mode than the cached one: made again from the picture.
    again.SetScaleMode(3);
    EXPECT_EQ(60, GetDibWidth(again.GetThumbnailFor(0, 0, 60, 60, true)));
    EXPECT_FALSE(again.IsCached());
}
