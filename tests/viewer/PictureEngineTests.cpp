#include "common/BrowserTestUtil.h"
#include "ViewerTestUtil.h"
#include "common/ImportPatch.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"
#include "image/codecs/SaveDib.h"

#include <gtest/gtest.h>

using namespace viewertest;

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kYellow = RGB(255, 255, 0);

// An engine set up as its owners set it up, on a scratch settings file.
struct Engine
{
    ScratchSettings settings;
    COnePicture picture;
    Engine() { picture.Init(); }
    ~Engine() { picture.Free(); }
    CString File(const wchar_t* name) const { return settings.Folder() / name; }
    // A one-frame GIF of that size and colour, loaded.
    void LoadSolid(int width, int height, COLORREF colour)
    {
        VyxFile item = ItemOfKind(WriteGif(File(L"solid.gif"), width, height, {colour}, {SolidFrame(width, height, 0)}),
                                  COnePicture::KindGif);
        picture.Show(nullptr, &item, TRUE);
    }
};

} // namespace

TEST(PictureEngine, DisplaySizesFollowTheFitModesAndTheirLimits)
{
    struct Case
    {
        int fit, enlarge, shrink;
        double zoom;
        int width, height;
        CSize size;
        double fitted; // the zoom afterwards
    } cases[] = {
        {0, 1, 1, 1.0, 10, 10, CSize(32, 32), 1.0},         {0, 1, 1, 2.5, 100, 40, CSize(250, 100), 2.5},
        {1, 1, 1, 1.0, 300, 200, CSize(300, 200), 1.0},     {2, 1, 1, 1.0, 400, 100, CSize(800, 600), 2.0},
        {2, 0, 0, 1.0, 1600, 300, CSize(800, 600), 0.5},    {3, 1, 1, 1.0, 400, 100, CSize(800, 200), 2.0},
        {3, 1, 1, 1.0, 1600, 1200, CSize(800, 600), 0.5},   {3, 0, 1, 1.0, 200, 100, CSize(200, 100), 4.0},
        {3, 1, 0, 1.0, 1600, 1200, CSize(1600, 1200), 0.5}, {5, 1, 1, 1.0, 400, 100, CSize(800, 200), 2.0},
        {6, 1, 1, 1.0, 400, 100, CSize(2400, 600), 6.0},    {3, 1, 1, 1.0, 0, 100, CSize(32, 32), 0.0},
        {5, 1, 1, 1.0, 0, 100, CSize(32, 32), 0.0},         {6, 1, 1, 1.0, 100, 0, CSize(32, 32), 0.0},
        {7, 1, 1, 1.5, 100, 40, CSize(150, 60), 1.5},
    };
    COnePicture engine;
    const CRect rect(0, 0, 800, 600);
    for (const Case& c : cases) {
        engine.SetFitMode(c.fit);
        engine.SetAllowEnlarge(c.enlarge);
        engine.SetAllowShrink(c.shrink);
        engine.SetZoom(c.zoom);
        EXPECT_EQ(c.size, engine.CalcDisplaySize(rect, c.width, c.height)) << c.fit << " " << c.width;
        EXPECT_DOUBLE_EQ(c.fitted, engine.GetZoom()) << c.fit << " " << c.width;
    }
    // A turned picture is fitted by the box around it.
    engine.SetFitMode(COnePicture::FitAspect);
    engine.SetAllowEnlarge(1);
    engine.SetAngle(90);
    EXPECT_EQ(CSize(800, 600), engine.CalcDisplaySize(rect, 600, 800));
}

TEST(PictureEngine, FitModeFourTurnsTallPicturesInWideRectanglesAndStaysSo)
{
    COnePicture engine;
    engine.SetFitMode(COnePicture::FitAspectTurn);
    const CRect wide(0, 0, 800, 600);
    EXPECT_EQ(CSize(800, 600), engine.CalcDisplaySize(wide, 600, 800));
    EXPECT_EQ(90, engine.GetAngle());
    // Deciding again from the picture, not from the box of the last turn.
    EXPECT_EQ(CSize(800, 600), engine.CalcDisplaySize(wide, 600, 800));
    EXPECT_EQ(90, engine.GetAngle());
    engine.SetTurnDirection(1);
    engine.CalcDisplaySize(wide, 600, 800);
    EXPECT_EQ(270, engine.GetAngle());
    // Square pictures and square rectangles never turn; nor does a picture that already fits
    // while enlarging is off.
    engine.CalcDisplaySize(wide, 500, 500);
    EXPECT_EQ(0, engine.GetAngle());
    engine.CalcDisplaySize(CRect(0, 0, 600, 600), 300, 600);
    EXPECT_EQ(0, engine.GetAngle());
    engine.SetAllowEnlarge(0);
    EXPECT_EQ(CSize(400, 500), engine.CalcDisplaySize(wide, 400, 500));
    EXPECT_EQ(0, engine.GetAngle());
    // A wide picture in a tall rectangle turns the other way round.
    engine.SetAllowEnlarge(1);
    engine.SetTurnDirection(0);
    engine.CalcDisplaySize(CRect(0, 0, 600, 800), 800, 600);
    EXPECT_EQ(90, engine.GetAngle());
}

TEST(PictureEngine, ZoomGrownWithoutBoundNeverOverflowsAndNoHugeCopyIsAllocated)
{
    Engine e;
    e.picture.SetDisplayRect(CRect(0, 0, 200, 100));
    e.LoadSolid(100, 80, kRed);
    ASSERT_TRUE(e.picture.GetDisplayPage());
    e.picture.SetFitMode(COnePicture::FitAsIs);
    for (double zoom : {1e12, 4e6, 360.0}) {
        GlobalBlockWatch allocations;
        e.picture.SetZoom(zoom);
        e.picture.FreeDisplayPages();
        e.picture.Show(nullptr, nullptr, FALSE);
        // No copy that large is made: the picture is shown whole in the rectangle instead, and
        // its zoom is the one it is shown at.
        EXPECT_EQ(CSize(125, 100), e.picture.GetDisplaySize()) << zoom;
        EXPECT_NE(nullptr, e.picture.GetDisplayPage()) << zoom;
        EXPECT_DOUBLE_EQ(1.25, e.picture.GetShownZoom()) << zoom;
        EXPECT_DOUBLE_EQ(zoom, e.picture.GetZoom()) << zoom;
        EXPECT_LT(allocations.Largest(), 1u << 20) << zoom;
        // The picture still places and scrolls without wrapping round.
        e.picture.Scroll(-2000000000, -2000000000);
        EXPECT_EQ(CPoint(0, 0), e.picture.GetOrigin());
        // Past the bound both ways the size it would have still reads as a size.
        e.picture.SetZoom(zoom);
        const CSize asked = e.picture.CalcDisplaySize(CRect(0, 0, 200, 100), 100, 80);
        EXPECT_GT(asked.cx, COnePicture::MaxDisplaySide) << zoom;
        EXPECT_GT(asked.cy, 0) << zoom;
    }
    EXPECT_TRUE(COnePicture::IsDisplaySizeAllowed(CSize(9000, 9000)));
    EXPECT_FALSE(COnePicture::IsDisplaySizeAllowed(CSize(10000, 10000)));
    EXPECT_FALSE(COnePicture::IsDisplaySizeAllowed(CSize(40000, 10)));
    EXPECT_FALSE(COnePicture::IsDisplaySizeAllowed(CSize(0, 10)));
    // Zooming back in range makes a copy again (and the allocations are seen).
    GlobalBlockWatch allocations;
    e.picture.SetZoom(2);
    e.picture.FreeDisplayPages();
    e.picture.Show(nullptr, nullptr, FALSE);
    EXPECT_EQ(CSize(200, 160), e.picture.GetDisplaySize());
    EXPECT_TRUE(e.picture.GetDisplayPage());
    EXPECT_DOUBLE_EQ(2.0, e.picture.GetShownZoom());
    EXPECT_GE(allocations.Largest(), COnePicture::Dib24Bytes(200, 160));
}

TEST(PictureEngine, APictureTooLargeForACopyAtItsZoomIsShownFittedAndReadNoLargerThanThat)
{
    Engine e;
    OwnPlugins plugins;
    // 121 megapixels: at 100 % its copy would pass the bound of the display copies.
    VyxFile item(WriteSolidJpeg(e.File(L"large.jpg"), 11000, 11000, RGB(40, 160, 220)).c_str());
    e.picture.SetFitMode(COnePicture::FitAsIs);
    e.picture.SetZoom(1.0);
    e.picture.SetDisplayRect(CRect(0, 0, 800, 550));
    e.picture.Show(nullptr, &item, TRUE);
    ASSERT_NE(nullptr, e.picture.GetDisplayPage());
    EXPECT_EQ(CSize(550, 550), e.picture.GetDisplaySize());
    EXPECT_DOUBLE_EQ(0.05, e.picture.GetShownZoom());
    EXPECT_DOUBLE_EQ(1.0, e.picture.GetZoom());
    const COLORREF centre = PixelOf(e.picture.GetDisplayPage(), 275, 275);
    EXPECT_NEAR(220, GetBValue(centre), 8);
    EXPECT_NEAR(40, GetRValue(centre), 8);
    // Its size known beforehand, it is read at a reduced scale.
    VyxFile known(*e.picture.GetItem());
    ASSERT_EQ(11000, known.GetWidth());
    {
        GlobalBlockWatch allocations;
        e.picture.Show(nullptr, &known, TRUE);
        EXPECT_LT(GetDibWidth(e.picture.GetSourcePage(0)), 11000 / 4);
        EXPECT_EQ(CSize(550, 550), e.picture.GetDisplaySize());
        EXPECT_LT(allocations.Largest(), 64u << 20);
    }
    // A picture that fits at its zoom is shown at that zoom.
    VyxFile small(WriteSolidJpeg(e.File(L"small.jpg"), 300, 200, RGB(40, 160, 220)).c_str());
    e.picture.Show(nullptr, &small, TRUE);
    EXPECT_EQ(CSize(300, 200), e.picture.GetDisplaySize());
    EXPECT_DOUBLE_EQ(1.0, e.picture.GetShownZoom());
}

TEST(PictureEngine, PicturesArePlacedByAlignmentAndScrollOnlyUntilTheirEdgeMeetsTheRectangle)
{
    Engine e;
    e.picture.SetFitMode(COnePicture::FitAsIs);
    e.picture.SetDisplayRect(CRect(10, 20, 110, 220));
    e.LoadSolid(50, 60, kRed);
    EXPECT_EQ(CPoint(35, 90), e.picture.GetOrigin());
    EXPECT_FALSE(e.picture.CanScrollX());
    EXPECT_FALSE(e.picture.CanScrollY());
    struct Case
    {
        int align;
        CPoint origin;
    } cases[] = {{1 | 4, CPoint(10, 20)}, {2 | 8, CPoint(60, 160)}, {3 | 12, CPoint(35, 90)}, {2 | 4, CPoint(60, 20)}};
    for (const Case& c : cases) {
        e.picture.SetAlign(c.align);
        e.picture.FreeDisplayPages();
        e.picture.Show(nullptr, nullptr, FALSE);
        EXPECT_EQ(c.origin, e.picture.GetOrigin()) << c.align;
    }
    // A larger picture starts at the corner and scrolls until its far edge meets the rectangle's.
    e.picture.SetAlign(15);
    e.LoadSolid(300, 400, kRed);
    EXPECT_EQ(CPoint(10, 20), e.picture.GetOrigin());
    EXPECT_TRUE(e.picture.CanScrollX());
    EXPECT_TRUE(e.picture.CanScrollY());
    e.picture.Scroll(-50, -1000);
    EXPECT_EQ(CPoint(-40, -180), e.picture.GetOrigin());
    e.picture.Scroll(500, 30);
    EXPECT_EQ(CPoint(10, -150), e.picture.GetOrigin());
    // A smaller rectangle keeps the origin inside the new limits.
    e.picture.SetDisplayRect(CRect(10, 20, 110, 120));
    EXPECT_EQ(CPoint(10, -150), e.picture.GetOrigin());
    e.picture.SetDisplayRect(CRect(10, 20, 410, 520));
    EXPECT_EQ(CPoint(10, 20), e.picture.GetOrigin());
    // Hits count the edges.
    EXPECT_TRUE(e.picture.HitTest(10, 20));
    EXPECT_TRUE(e.picture.HitTest(410, 520));
    EXPECT_FALSE(e.picture.HitTest(411, 300));
    EXPECT_FALSE(e.picture.HitTest(9, 300));
}

TEST(PictureEngine, EachScaleModeResamplesWithItsOwnFilterAndNeverFreesTheSource)
{
    COnePicture engine;
    const COLORREF colours[2][4] = {{kRed, kGreen, kBlue, kWhite}, {kYellow, kBlue, kGreen, kRed}};
    OwnedDib source(MakeDib(4, 2, [&](LONG x, LONG y) { return colours[y][x]; }));

    // The device repeats each pixel (any unknown mode works as the device).
    for (int mode : {int(COnePicture::ScaleDevice), 7}) {
        engine.SetScaleMode(mode);
        OwnedDib copy(engine.Resample(source, 8, 4));
        ASSERT_TRUE(copy) << mode;
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 8; ++x)
                EXPECT_EQ(colours[y / 2][x / 2], PixelOf(copy, x, y)) << mode << " " << x << "," << y;
    }
    // The others are the library's filters, the automatic mode choosing by the zoom.
    OwnedDib big(MakeDib(16, 12, [](LONG x, LONG y) { return RGB(x * 15, y * 20, (x + y) * 5); }));
    enum { Nearest, Bilinear, Average };
    struct Case
    {
        int mode;
        double zoom;
        int filter;
    } cases[] = {{COnePicture::ScaleNearest, 1, Nearest},
                 {COnePicture::ScaleBilinear, 1, Bilinear},
                 {COnePicture::ScaleAverage, 1, Average},
                 {COnePicture::ScaleAuto, 0.5, Average},
                 {COnePicture::ScaleAuto, 0.6, Bilinear}};
    for (const Case& c : cases) {
        engine.SetScaleMode(c.mode);
        engine.SetZoom(c.zoom);
        OwnedDib copy(engine.Resample(big, 7, 5));
        OwnedDib expected(c.filter == Nearest   ? RotateResizeDib(big, 7, 5, 0)
                          : c.filter == Average ? ResampleDibAverage(big, 7, 5, 0, 0, 0)
                                                : ResampleDibBilinear(big, 7, 5, 0, 0));
        ASSERT_TRUE(copy) << c.mode;
        EXPECT_EQ(BlockBytes(expected), BlockBytes(copy)) << c.mode << " " << c.zoom;
    }
    // A turn goes with the resampling.
    engine.SetScaleMode(COnePicture::ScaleNearest);
    engine.SetAngle(90);
    OwnedDib turned(engine.Resample(source, 2, 4));
    OwnedDib reference(RotateDib(source, 90));
    EXPECT_EQ(BlockBytes(reference), BlockBytes(turned));
    // The source is untouched and still owned by the caller; an impossible size gives nothing.
    EXPECT_EQ(colours[1][3], PixelOf(source, 3, 1));
    EXPECT_EQ(nullptr, engine.Resample(source, 0, 4));
}

TEST(PictureEngine, PageCapacityIsClampedAndWrittenBack)
{
    for (auto row : {std::pair<int, int>{5, 16}, {1000, 512}, {64, 64}}) {
        ScratchSettings settings;
        WriteAppIniInt(L"COneView", L"MaxDibPageCount", row.first);
        COnePicture picture;
        picture.Init();
        EXPECT_EQ(row.second, picture.GetPageCapacity()) << row.first;
        picture.Free();
        EXPECT_EQ(row.second, GetAppIniInt(L"COneView", L"MaxDibPageCount", 0)) << row.first;
    }
}

TEST(PictureEngine, GifFramesBecomePagesOneAtATimeWithTheirDelays)
{
    Engine e;
    e.picture.SetDisplayRect(CRect(0, 0, 8, 6));
    VyxFile item = ItemOfKind(WriteGif(e.File(L"anim.gif"), 8, 6, {kRed, kGreen, kBlue},
                                       {SolidFrame(8, 6, 0, 0), SolidFrame(8, 6, 1, 300), SolidFrame(8, 6, 2, 5)}),
                              COnePicture::KindGif);
    e.picture.Show(nullptr, &item, TRUE);
    // The first page shows at once; the rest are read step by step.
    EXPECT_EQ(1, e.picture.GetPageCount());
    EXPECT_TRUE(e.picture.HoldsFileData());
    EXPECT_EQ(8, e.picture.GetItem()->GetWidth());
    EXPECT_EQ(1, e.picture.StepPage());
    EXPECT_EQ(1, e.picture.StepPage());
    EXPECT_EQ(0, e.picture.StepPage());
    EXPECT_TRUE(e.picture.IsLoadingFinished());
    EXPECT_FALSE(e.picture.HoldsFileData());
    ASSERT_EQ(3, e.picture.GetPageCount());
    const COLORREF expected[] = {kRed, kGreen, kBlue};
    const int delays[] = {0, 2000, 50};
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(expected[page], PixelOf(e.picture.GetSourcePage(page), 4, 3)) << page;
        EXPECT_TRUE(e.picture.GetDisplayPageAt(page)) << page;
        EXPECT_EQ(page, e.picture.GetCurrentPage());
        EXPECT_EQ(delays[page], e.picture.GetPageDelay()) << page;
        e.picture.NextPage();
    }
    EXPECT_EQ(0, e.picture.GetCurrentPage());
    EXPECT_EQ(2, e.picture.PrevPage());
}

TEST(PictureEngine, GifFrameRestoringThePreviousCanvasAddsAPageAndLosesNoFrame)
{
    Engine e;
    samples::GifFrame patch = SolidFrame(2, 2, 1, 10, 3);
    patch.left = 1;
    patch.top = 1;
    VyxFile item = ItemOfKind(WriteGif(e.File(L"restore.gif"), 4, 4, {kRed, kGreen, kBlue},
                                       {SolidFrame(4, 4, 0, 20), patch, SolidFrame(4, 4, 2)}),
                              COnePicture::KindGif);
    e.picture.Show(nullptr, &item, TRUE);
    while (e.picture.StepPage()) {
    }
    ASSERT_EQ(4, e.picture.GetPageCount());
    EXPECT_EQ(kGreen, PixelOf(e.picture.GetSourcePage(1), 1, 1));
    EXPECT_EQ(kRed, PixelOf(e.picture.GetSourcePage(1), 0, 0));
    // The restored canvas, shown as long as the page before the frame.
    EXPECT_EQ(kRed, PixelOf(e.picture.GetSourcePage(2), 1, 1));
    e.picture.NextPage();
    e.picture.NextPage();
    EXPECT_EQ(200, e.picture.GetPageDelay());
    // The frame after it is read, not skipped.
    EXPECT_EQ(kBlue, PixelOf(e.picture.GetSourcePage(3), 0, 0));
}

TEST(PictureEngine, TransparentGifPixelsLeaveTheCanvasBehindThem)
{
    Engine e;
    // A mask from the decoder (a four-colour table) and a colour key (a two-colour local table).
    samples::GifFrame masked;
    masked.left = 1;
    masked.top = 1;
    masked.width = 3;
    masked.height = 1;
    masked.control = true;
    masked.transparent = 3;
    masked.indices = {1, 3, 2};
    samples::GifFrame keyed = masked;
    keyed.top = 2;
    keyed.transparent = 1;
    keyed.indices = {0, 1, 0};
    keyed.localTable = {kYellow, kWhite};
    VyxFile item = ItemOfKind(
        WriteGif(e.File(L"holes.gif"), 5, 4, {kRed, kGreen, kBlue, kWhite}, {SolidFrame(5, 4, 0), masked, keyed}),
        COnePicture::KindGif);
    e.picture.Show(nullptr, &item, TRUE);
    while (e.picture.StepPage()) {
    }
    ASSERT_EQ(3, e.picture.GetPageCount());
    HGLOBAL second = e.picture.GetSourcePage(1);
    EXPECT_EQ(kGreen, PixelOf(second, 1, 1));
    EXPECT_EQ(kRed, PixelOf(second, 2, 1));
    EXPECT_EQ(kBlue, PixelOf(second, 3, 1));
    HGLOBAL third = e.picture.GetSourcePage(2);
    EXPECT_EQ(kYellow, PixelOf(third, 1, 2));
    EXPECT_EQ(kRed, PixelOf(third, 2, 2));
    EXPECT_EQ(kGreen, PixelOf(third, 1, 1)); // the frame before stays
}

TEST(PictureEngine, TiffPagesAreReadAsTheyAreAskedFor)
{
    Engine e;
    VyxFile item = ItemOfKind(WriteGreyTiff(e.File(L"pages.tif"), 6, 4, 3), COnePicture::KindTiff);
    e.picture.Show(nullptr, &item, TRUE);
    EXPECT_EQ(1, e.picture.GetPageCount());
    EXPECT_EQ(RGB(20, 20, 20), PixelOf(e.picture.GetSourcePage(0), 0, 0));
    e.picture.StepPage();
    e.picture.StepPage();
    EXPECT_EQ(0, e.picture.StepPage());
    ASSERT_EQ(3, e.picture.GetPageCount());
    EXPECT_EQ(RGB(100, 100, 100), PixelOf(e.picture.GetSourcePage(2), 5, 3));
}

TEST(PictureEngine, PageBudgetEndsLoadingButTheFirstPageAlwaysShows)
{
    Engine e;
    e.picture.SetDisplayRect(CRect(0, 0, 32, 32));
    std::vector<samples::GifFrame> frames;
    for (int i = 0; i < 20; ++i)
        frames.push_back(SolidFrame(64, 64, i % 2));
    VyxFile item = ItemOfKind(WriteGif(e.File(L"many.gif"), 64, 64, {kRed, kGreen}, frames), COnePicture::KindGif);
    // A page and its half-size display copy.
    const ULONGLONG page = COnePicture::Dib24Bytes(64, 64) + COnePicture::Dib24Bytes(32, 32);
    e.picture.SetPageBudget(page * 5 + page / 2);
    e.picture.Show(nullptr, &item, TRUE);
    EXPECT_EQ(1, e.picture.GetPageCount());
    while (e.picture.StepPage()) {
    }
    EXPECT_EQ(5, e.picture.GetPageCount());
    EXPECT_TRUE(e.picture.IsLoadingFinished());
    EXPECT_FALSE(e.picture.HoldsFileData());
    EXPECT_LE(e.picture.GetHeldBytes(), page * 5 + page / 2);
    // The page capacity ends loading the same way.
    e.picture.Free();
    WriteAppIniInt(L"COneView", L"MaxDibPageCount", 5);
    e.picture.Init();
    e.picture.SetPageBudget(COnePicture::DefaultPageBudget);
    e.picture.Show(nullptr, &item, TRUE);
    while (e.picture.StepPage()) {
    }
    EXPECT_EQ(16, e.picture.GetPageCount());
    EXPECT_TRUE(e.picture.IsLoadingFinished());
    EXPECT_FALSE(e.picture.HoldsFileData());
    // Even a budget below one page shows the first page.
    e.picture.SetPageBudget(1);
    e.picture.Show(nullptr, &item, TRUE);
    EXPECT_EQ(1, e.picture.GetPageCount());
    EXPECT_EQ(0, e.picture.StepPage());

    // Engines of one group (a slideshow's grid) share the budget: what one holds, the next lacks.
    COnePicture grid[3];
    for (COnePicture& engine : grid) {
        engine.InitLike(e.picture);
        engine.SetDisplayRect(CRect(0, 0, 32, 32));
        engine.SetPageBudget(page * 5 + page / 2);
        engine.SetBudgetGroup(grid, 3);
    }
    grid[0].Show(nullptr, &item, TRUE);
    while (grid[0].StepPage()) {
    }
    grid[1].Show(nullptr, &item, TRUE);
    while (grid[1].StepPage()) {
    }
    EXPECT_EQ(16, grid[0].GetPageCapacity());
    EXPECT_EQ(5, grid[0].GetPageCount());
    EXPECT_EQ(1, grid[1].GetPageCount());
    grid[0].FreePages();
    grid[2].Show(nullptr, &item, TRUE);
    while (grid[2].StepPage()) {
    }
    EXPECT_EQ(4, grid[2].GetPageCount());
}

TEST(PictureEngine, DrawPaintsBackgroundPictureAndInformation)
{
    Engine e;
    e.picture.SetFitMode(COnePicture::FitAsIs);
    e.picture.SetZoom(2);
    e.picture.SetBackColor(kBlue);
    e.picture.SetDisplayRect(CRect(0, 0, 60, 40));
    e.picture.SetInfo(1);
    e.picture.SetTextColor(kWhite);
    e.picture.SetInfoPosition(-1, -1);
    e.picture.SetInfoTemplate(L"$(FileName)");
    e.LoadSolid(20, 10, kRed);
    EXPECT_EQ(CString(L"solid.gif"), e.picture.GetInfoText());
    ASSERT_EQ(CSize(40, 32), e.picture.GetDisplaySize());

    CDibSection target;
    ASSERT_TRUE(target.Create24(nullptr, 60, 40, 0));
    EXPECT_EQ(1, e.picture.Draw(target.GetMemDC()));
    OwnedDib shot(target.ToPackedDib());
    EXPECT_EQ(kBlue, PixelOf(shot, 2, 2));
    EXPECT_EQ(kRed, PixelOf(shot, 30, 20));
    int white = 0;
    for (LONG y = 20; y < 40; ++y)
        for (LONG x = 20; x < 60; ++x)
            white += PixelOf(shot, x, y) == kWhite;
    EXPECT_GT(white, 0);
}

TEST(PictureEngine, ReplacedPagesAndFreedPagesLeaveTheSourceToItsOwner)
{
    Engine e;
    e.picture.SetFitMode(COnePicture::FitAsIs);
    e.picture.SetScaleMode(COnePicture::ScaleBilinear);
    e.picture.SetDisplayRect(CRect(0, 0, 100, 100));
    e.LoadSolid(40, 40, kGreen);
    // At its own size the display copy is the source itself.
    HGLOBAL source = e.picture.GetSourcePage(0);
    EXPECT_EQ(source, e.picture.GetDisplayPage());
    e.picture.FreeDisplayPages();
    EXPECT_EQ(kGreen, PixelOf(source, 1, 1));

    e.picture.Show(nullptr, nullptr, FALSE);
    HGLOBAL edited = MakeDib(50, 30, [](LONG, LONG) { return kYellow; });
    e.picture.ReplaceDisplayPage(edited);
    EXPECT_EQ(edited, e.picture.GetDisplayPage());
    EXPECT_EQ(CSize(50, 30), e.picture.GetDisplaySize());
    EXPECT_EQ(kGreen, PixelOf(source, 1, 1));
    e.picture.ReplaceDisplayPage(edited); // the same block again is kept
    EXPECT_EQ(kYellow, PixelOf(edited, 1, 1));

    // Freed pages keep their count; the next show with the item reloads.
    e.picture.FreePages();
    EXPECT_EQ(1, e.picture.GetPageCount());
    EXPECT_EQ(nullptr, e.picture.GetSourcePage(0));
    VyxFile item = *e.picture.GetItem();
    e.picture.Show(nullptr, &item, FALSE);
    EXPECT_TRUE(e.picture.GetSourcePage(0));
}

TEST(PictureEngine, AFittedPictureIsReadAtAReducedScaleAndReadAgainWholeToBeShownLarger)
{
    Engine e;
    OwnPlugins plugins;
    OwnedDib photo(MakeDib(800, 600, [](LONG x, LONG y) { return RGB(x % 256, y % 256, 90); }));
    ASSERT_EQ(0, SaveDibAsJpeg(e.File(L"photo.jpg"), photo, 90, 0, 0));
    VyxFile item(e.File(L"photo.jpg"));
    e.picture.SetFitMode(COnePicture::FitAspect);
    e.picture.SetDisplayRect(CRect(0, 0, 200, 160));
    e.picture.Show(nullptr, &item, TRUE);
    // A quarter of the picture covers the rectangle; sizes and zoom still speak of the picture.
    EXPECT_EQ(200, GetDibWidth(e.picture.GetSourcePage(0)));
    EXPECT_EQ(CSize(200, 150), e.picture.GetDisplaySize());
    EXPECT_DOUBLE_EQ(0.25, e.picture.GetZoom());
    EXPECT_EQ(800, e.picture.GetItem()->GetWidth());
    // Shown at full size, it is read whole again.
    e.picture.SetFitMode(COnePicture::FitAsIs);
    e.picture.SetZoom(1.0);
    e.picture.FreeDisplayPages();
    e.picture.Show(nullptr, nullptr, FALSE);
    EXPECT_EQ(800, GetDibWidth(e.picture.GetSourcePage(0)));
    EXPECT_EQ(CSize(800, 600), e.picture.GetDisplaySize());
    // Turned, or allowed no shrinking, it is read whole from the start.
    e.picture.SetFitMode(COnePicture::FitAspect);
    e.picture.SetAngle(90);
    e.picture.Show(nullptr, &item, TRUE);
    EXPECT_EQ(800, GetDibWidth(e.picture.GetSourcePage(0)));
}

// A TIFF's pages past the budget let go of those shown longest ago, which are read again when
// shown: every page of a long file can be paged to, forwards and back, in the memory of a few.
TEST(PictureEngine, TiffPagesPastTheBudgetAreLetGoAndReadAgainWhenShown)
{
    Engine e;
    e.picture.SetDisplayRect(CRect(0, 0, 32, 32));
    const int pages = 12;
    VyxFile item = ItemOfKind(WriteGreyTiff(e.File(L"long.tif"), 64, 64, pages), COnePicture::KindTiff);
    auto grey = [](int page) {
        const BYTE value = static_cast<BYTE>(40 * page + 20);
        return RGB(value, value, value);
    };
    GlobalBlockWatch blocks;
    e.picture.Show(nullptr, &item, TRUE);
    const ULONGLONG one = e.picture.GetHeldBytes();
    ASSERT_GT(one, 0u);
    const ULONGLONG budget = one * 3 + one / 2;
    e.picture.SetPageBudget(budget);
    // As the picture window pages: one more page read, the next one shown.
    auto next = [&] {
        e.picture.StepPage();
        e.picture.NextPage();
        e.picture.Show(nullptr, nullptr, FALSE);
    };
    auto previous = [&] {
        e.picture.PrevPage();
        e.picture.Show(nullptr, nullptr, FALSE);
    };
    for (int i = 1; i < pages; ++i) {
        next();
        ASSERT_EQ(i, e.picture.GetCurrentPage());
        EXPECT_EQ(grey(i), PixelOf(e.picture.GetSourcePage(i), 0, 0)) << i;
        EXPECT_TRUE(e.picture.GetDisplayPage()) << i;
        EXPECT_LE(e.picture.GetHeldBytes(), budget) << i;
    }
    EXPECT_EQ(pages, e.picture.GetPageCount());
    EXPECT_EQ(nullptr, e.picture.GetSourcePage(0));
    // Round to the first page, which is read again, and back again to one let go meanwhile.
    next();
    ASSERT_EQ(0, e.picture.GetCurrentPage());
    EXPECT_TRUE(e.picture.IsLoadingFinished());
    EXPECT_TRUE(e.picture.HoldsFileData());
    EXPECT_EQ(grey(0), PixelOf(e.picture.GetSourcePage(0), 0, 0));
    for (int i = pages - 1; i >= 5; --i) {
        previous();
        ASSERT_EQ(i, e.picture.GetCurrentPage());
        EXPECT_EQ(grey(i), PixelOf(e.picture.GetSourcePage(i), 0, 0)) << i;
        EXPECT_TRUE(e.picture.GetDisplayPage()) << i;
        EXPECT_LE(e.picture.GetHeldBytes(), budget) << i;
    }
    e.picture.FreePages();
    EXPECT_FALSE(e.picture.HoldsFileData());
    EXPECT_EQ(0u, e.picture.GetHeldBytes());
    // Every page let go was freed, and the file was read where it lies, never held whole.
    EXPECT_EQ(0, GlobalBlockWatch::Live());
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    ASSERT_TRUE(GetFileAttributesExW(e.File(L"long.tif"), GetFileExInfoStandard, &file));
    EXPECT_LT(GlobalBlockWatch::Largest(), file.nFileSizeLow);
}

// Pages read ahead while the first is shown make room under the budget by letting go of older
// pages, never of the one on screen, however long ago it was shown.
TEST(PictureEngine, TheShownTiffPageIsNeverLetGoToMakeRoomForPagesReadAhead)
{
    Engine e;
    e.picture.SetDisplayRect(CRect(0, 0, 32, 32));
    const int pages = 8;
    VyxFile item = ItemOfKind(WriteGreyTiff(e.File(L"ahead.tif"), 64, 64, pages), COnePicture::KindTiff);
    e.picture.Show(nullptr, &item, TRUE);
    const ULONGLONG one = e.picture.GetHeldBytes();
    ASSERT_GT(one, 0u);
    e.picture.SetPageBudget(one * 2 + one / 2);
    int read = 1;
    while (e.picture.StepPage())
        ++read;
    ASSERT_EQ(pages, read);
    ASSERT_EQ(0, e.picture.GetCurrentPage());
    ASSERT_TRUE(e.picture.GetSourcePage(0));
    EXPECT_EQ(RGB(20, 20, 20), PixelOf(e.picture.GetSourcePage(0), 0, 0));
    EXPECT_TRUE(e.picture.GetDisplayPage());
    // Older pages read ahead went instead.
    EXPECT_EQ(nullptr, e.picture.GetSourcePage(1));
    EXPECT_TRUE(e.picture.GetSourcePage(pages - 1));
}

// Tiles whose stored sizes are padded are not given by the open file: such a TIFF is read from
// its bytes in memory instead, and pages as any other.
TEST(PictureEngine, ATiffTheOpenFileDoesNotGiveIsReadFromMemory)
{
    Engine e;
    std::vector<samples::TiffPage> pages;
    for (BYTE grey : {30, 90}) {
        samples::TiffPage page = samples::Page(20, 18, 8, 1, PHOTOMETRIC_MINISBLACK, std::vector<BYTE>(20 * 18, grey));
        page.tiled = true;
        pages.push_back(page);
    }
    VyxFile item = ItemOfKind(WriteBytes(e.File(L"tiles.tif"), samples::MakeTiff(pages)), COnePicture::KindTiff);
    e.picture.Show(nullptr, &item, TRUE);
    ASSERT_TRUE(e.picture.GetSourcePage(0));
    EXPECT_EQ(RGB(30, 30, 30), PixelOf(e.picture.GetSourcePage(0), 5, 5));
    EXPECT_EQ(2, e.picture.GetKnownPageCount());
    e.picture.StepPage();
    ASSERT_EQ(2, e.picture.GetPageCount());
    EXPECT_EQ(RGB(90, 90, 90), PixelOf(e.picture.GetSourcePage(1), 19, 17));
}
