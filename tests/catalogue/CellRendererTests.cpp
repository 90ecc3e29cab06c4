#include "../script/ScriptTestKit.h"
#include "ThumbnailTestUtil.h"

#include "catalogue/CellEdge.h"
#include "catalogue/VyxFilexDraw.h"
#include "foundation/VyxPath.h"
#include "image/cximage/CxImage.h"

#include <memory>
#include <vector>

using namespace thumbtest;
using scripttest::Canvas;

void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

const COLORREF kBack = RGB(0xD0, 0xD0, 0xD0);
const COLORREF kText = RGB(0, 0, 0);
const COLORREF kSelect = RGB(0x30, 0x60, 0xC0);
const COLORREF kCheck = RGB(0xFF, 0, 0x80);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGrey = RGB(0x80, 0x80, 0x80);
const COLORREF kLightGrey = RGB(0xC0, 0xC0, 0xC0);

LOGFONTW NameFont(int height = 12)
{
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyW(font.lfFaceName, L"IPAGothic");
    return font;
}

// The look a document gives its items, on an item of the test's choosing.
void Style(VyxFilexDraw& item)
{
    item.colBackGround = kBack;
    item.colText = kText;
    item.colSelectBackGround = kSelect;
    item.colSelectCheck = kCheck;
    item.colNormalDraw = kWhite;
    item.colFolderDraw = RGB(0xFF, 0xF0, 0xC0);
    item.SetFont(NameFont());
    item.SetNameFormat(L"$(FileName)");
    item.SetFrame(TRUE);
    item.SetFrameEdge(EDGE_SUNKEN);
    item.SetNameFrame(TRUE);
    item.SetNameFrameEdge(BDR_SUNKENOUTER);
    item.SetShadow(2);
    item.SetScaleMode(10);
    item.SetCacheLookup(FALSE);
}

struct Geometry
{
    SIZE margin;
    BOOL frame;
    SIZE padding;
    int nameMode;
    int name2Per;
    CRect picture;
    CRect name;
};

void SavePng(const Canvas& canvas, const wchar_t* name)
{
    HGLOBAL dib = canvas.ToDib();
    CxImage image;
    if (image.CreateFromHANDLE(dib)) {
        CString path;
        image.Save(MakeModulePath(path, name), CXIMAGE_FORMAT_PNG);
    }
    GlobalFree(dib);
}

} // namespace

TEST(CellRenderer, AreasFollowMarginFramePaddingAndNameMode)
{
    const Geometry cases[] = {
        {{5, 5}, FALSE, {0, 0}, 0, 90, {2, 2, 97, 97}, {0, 0, 0, 0}},
        {{4, 6}, TRUE, {2, 2}, 0, 90, {6, 7, 94, 93}, {0, 0, 0, 0}},
        // One 12-pixel line: max(10 % of 100, (12 + 1) x 1 + 5) = 18 pixels for the name.
        {{0, 0}, FALSE, {0, 0}, 1, 90, {0, 0, 100, 82}, {0, 83, 100, 100}},
        {{0, 0}, FALSE, {0, 0}, 1, 50, {0, 0, 100, 50}, {0, 51, 100, 100}},
        {{0, 0}, FALSE, {0, 0}, 2, 70, {0, 0, 64, 100}, {65, 0, 100, 100}},
    };
    for (const Geometry& g : cases) {
        VyxFile item;
        Style(item);
        item.SetMarginSize(g.margin);
        item.SetFrame(g.frame);
        item.SetPaddingSize(g.padding);
        item.SetNameMode(g.nameMode);
        item.SetName2Per(g.name2Per);
        EXPECT_EQ(-1, item.DrawCell(nullptr, 0, 0, 100, 100, 0));
        EXPECT_EQ(g.picture, item.GetCellRect()) << g.nameMode << " " << g.name2Per;
        EXPECT_EQ(g.name, item.GetNameRect()) << g.nameMode << " " << g.name2Per;
        EXPECT_EQ(100, item.GetCellSize().cx);
        EXPECT_EQ(VyxFilexDraw::DrawIdle, item.GetDrawState());
    }
    // Two template lines take two line heights.
    VyxFile item;
    Style(item);
    item.SetFrame(FALSE);
    item.SetPaddingSize(SIZE{0, 0});
    item.SetNameFormat(L"$(FileName)\\n$(Size)");
    item.DrawCell(nullptr, 0, 0, 100, 100, 0);
    EXPECT_EQ(100 - 31, item.GetCellRect().bottom);
    // Without a surface or a DC only the geometry is made: the whole padded rectangle.
    item.DrawCell(nullptr, 0, 0, 0, 0, 0);
    EXPECT_EQ(CRect(0, 0, 0, 0), item.GetCellRect());
    EXPECT_EQ(CRect(0, 70, 100, 100), item.GetNameRect());
}

TEST(CellRenderer, ResultsTellWhatThePictureStepDrew)
{
    VyxFile item;
    Style(item);
    Canvas canvas(60, 80);
    EXPECT_EQ(-1, item.DrawCell(&canvas.dc, 0, 0, 60, 80, 0));
    EXPECT_EQ(1, item.DrawCell(&canvas.dc, 0, 0, 60, 80, VyxFilexDraw::PictureIcon));
    EXPECT_EQ(1, item.DrawCell(&canvas.dc, 0, 0, 60, 80, VyxFilexDraw::PictureHeld));
    SHFILEINFOW info = {};
    HIMAGELIST system = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L"x.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES));
    VyxFilexDraw::SetLargeImageList(system);
    EXPECT_EQ(0, item.DrawCell(&canvas.dc, 0, 0, 60, 80, VyxFilexDraw::PictureMade));
    EXPECT_EQ(0, item.DrawIcon(nullptr, 0, 0));
    VyxFilexDraw::SetLargeImageList(nullptr);
    EXPECT_EQ(1, item.DrawIcon(&canvas.dc, 0, 0));
}

TEST(CellRenderer, TheSmallIconFitIsCentredInTheRectangleAtItsOwnSize)
{
    VyxFile item(L"C:\\photos\\memo.txt");
    Canvas fitted(60, 70), placed(60, 70);
    const RECT box = {10, 20, 50, 60};
    EXPECT_EQ(1, item.DrawSmallIconFit(&fitted.dc, box));
    SHFILEINFOW info = {};
    HIMAGELIST system =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"x.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                                                    SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    ASSERT_TRUE(system);
    VyxFilexDraw::SetSmallImageList(system);
    const SIZE icon = VyxFilexDraw::GetSmallIconSize();
    ASSERT_LT(icon.cx, 40);
    EXPECT_EQ(0, item.DrawSmallIconFit(&fitted.dc, box));
    EXPECT_EQ(0, item.DrawSmallIcon(&placed.dc, 10 + (40 - icon.cx) / 2, 20 + (40 - icon.cy) / 2));
    EXPECT_EQ(0, item.DrawSmallIconFit(nullptr, box));
    VyxFilexDraw::SetSmallImageList(nullptr);
    bool drawn = false;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 60; ++x) {
            drawn = drawn || fitted.Pixel(x, y) != kWhite;
            ASSERT_EQ(placed.Pixel(x, y), fitted.Pixel(x, y)) << x << "," << y;
        }
    EXPECT_TRUE(drawn);
}

TEST(CellRenderer, CellPixelsShowFrameShadowNameAndCursor)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"cells");
    std::unique_ptr<VyxFile> item(NewPictureItem(folder, L"meadow.tpic", 40, 30));
    Style(*item);
    Canvas canvas(100, 120);
    canvas.Clear(RGB(0x11, 0x22, 0x33));
    ASSERT_EQ(0, item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade));
    EXPECT_TRUE(item->IsThumbnailNew());

    // Frame 2 pixels, padding 2: the picture area is (4, 4, 96, 98) above 18 pixels of name.
    EXPECT_EQ(CRect(4, 4, 96, 98), item->GetCellRect());
    EXPECT_EQ(CRect(4, 99, 96, 116), item->GetNameRect());
    EXPECT_NE(kBack, canvas.Pixel(0, 60));
    EXPECT_NE(kBack, canvas.Pixel(1, 60));
    EXPECT_EQ(kBack, canvas.Pixel(3, 60));
    // The 40 x 30 picture fills the 86 x 88 box (shadow room taken) as 86 x 65 at (6, 18).
    EXPECT_EQ(86, GetDibWidth(item->GetThumbnail()));
    EXPECT_EQ(65, GetDibHeight(item->GetThumbnail()));
    EXPECT_NE(kBack, canvas.Pixel(50, 50));
    EXPECT_EQ(kBack, canvas.Pixel(50, 12));
    // Two white rings, then the grey shadow below and to the right.
    EXPECT_EQ(kBack, canvas.Pixel(50, 15));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 16));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 17));
    EXPECT_NE(kWhite, canvas.Pixel(50, 18));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 83));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 84));
    EXPECT_EQ(kWhite, canvas.Pixel(4, 50));
    EXPECT_EQ(kWhite, canvas.Pixel(5, 50));
    EXPECT_EQ(kWhite, canvas.Pixel(93, 50));
    EXPECT_EQ(kGrey, canvas.Pixel(50, 85));
    EXPECT_EQ(kLightGrey, canvas.Pixel(50, 86));
    EXPECT_EQ(kGrey, canvas.Pixel(94, 50));
    EXPECT_EQ(kLightGrey, canvas.Pixel(95, 50));
    EXPECT_EQ(kBack, canvas.Pixel(50, 87));
    EXPECT_EQ(kBack, canvas.Pixel(96, 50));
    // The name: white box, black text from the left.
    CRect text = canvas.BoundsOf(kText);
    EXPECT_GE(text.left, 5);
    EXPECT_LE(text.left, 10);
    EXPECT_GE(text.top, 99);
    EXPECT_LE(text.bottom, 116);
    EXPECT_EQ(kWhite, canvas.Pixel(90, 104));

    item->DrawCursor(&canvas.dc, 0, 0);
    for (POINT corner : {POINT{4, 4}, POINT{95, 4}, POINT{95, 97}, POINT{4, 97}})
        EXPECT_EQ(kCheck, canvas.Pixel(corner.x, corner.y)) << corner.x << "," << corner.y;
    EXPECT_NE(kCheck, canvas.Pixel(96, 50));

    item->SetFlags(VyxFilexDraw::FlagSelected);
    item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade);
    EXPECT_EQ(kSelect, canvas.Pixel(50, 12));
    EXPECT_FALSE(item->IsThumbnailNew()); // the same box: kept
}

TEST(CellRenderer, ShadowStylesAndFolderNames)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"cells");
    std::unique_ptr<VyxFile> item(NewPictureItem(folder, L"meadow.tpic", 40, 30));
    Style(*item);
    item->SetShadow(0);
    Canvas canvas(100, 120);
    item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade);
    EXPECT_EQ(0, canvas.Count(kGrey));
    EXPECT_EQ(0, canvas.Count(kLightGrey));
    // Without shadow room the picture takes the whole area: 92 x 69.
    EXPECT_EQ(92, GetDibWidth(item->GetThumbnail()));

    item->SetShadow(1);
    item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade);
    EXPECT_GT(canvas.Count(kGrey), 100);

    PutFolder(folder, L"サブフォルダ");
    VyxFile sub((folder / L"サブフォルダ").c_str());
    Style(sub);
    sub.SetNameFormat(L"$(FileName) $(Size) xxxxxxxxxxxxxxxxxxxx");
    ChangeItemSettings([&](ItemSettings& s) { s.coverKinds = 0; });
    canvas.Clear(kBack);
    sub.DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureHeld);
    ChangeItemSettings([&](ItemSettings& s) { s.coverKinds = 1; });
    CRect text = canvas.BoundsOf(kText);
    ASSERT_FALSE(text.IsRectEmpty());
    EXPECT_LE(std::abs((text.left + text.right) / 2 - 50), 2);
    EXPECT_LT(text.Width(), 80);
    EXPECT_EQ(RGB(0xFF, 0xF0, 0xC0), canvas.Pixel(90, 112));
}

TEST(CellRenderer, DrawShowsTheKeptCellUntilItIsDrawnAgain)
{
    VyxFile item;
    Style(item);
    Canvas canvas(50, 50);
    item.DrawCell(nullptr, 0, 0, 40, 40, 0);
    ASSERT_TRUE(item.HasKeptCell());
    item.colBackGround = RGB(1, 2, 3);
    canvas.Clear(kWhite);
    EXPECT_EQ(0, item.Draw(&canvas.dc, 5, 5, 40, 40, 0));
    EXPECT_EQ(kBack, canvas.Pixel(7, 7));
    EXPECT_EQ(kWhite, canvas.Pixel(2, 2));
    item.DrawCell(&canvas.dc, 5, 5, 40, 40, 0);
    EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(7, 7));
    // A copy keeps no surface: it would show another item's cell.
    VyxFile copy(item);
    EXPECT_FALSE(copy.HasKeptCell());
}

TEST(CellRenderer, KeptCellSurfacesStayBoundedWhileThousandsAreDrawn)
{
    const size_t limit = CellSurfaceHolder::GetLimit();
    ASSERT_GE(limit, 16u);
    ASSERT_LE(limit, 512u);
    const size_t before = CellSurfaceHolder::GetKeptCount();
    std::vector<std::unique_ptr<VyxFile>> items;
    Canvas canvas(200, 300);
    for (int i = 0; i < 3000; ++i) {
        items.push_back(std::make_unique<VyxFile>());
        Style(*items.back());
        items.back()->SetNameMode(0);
        items.back()->Draw(&canvas.dc, 0, 0, 200, 300, 0);
    }
    EXPECT_EQ(limit, CellSurfaceHolder::GetKeptCount());
    EXPECT_FALSE(items.front()->HasKeptCell());
    EXPECT_TRUE(items.back()->HasKeptCell());
    // The oldest one draws again and keeps a surface; the least recently used one gives way.
    VyxFile* oldestKept = items[items.size() - limit].get();
    ASSERT_TRUE(oldestKept->HasKeptCell());
    items.front()->Draw(&canvas.dc, 0, 0, 200, 300, 0);
    EXPECT_TRUE(items.front()->HasKeptCell());
    EXPECT_FALSE(oldestKept->HasKeptCell());
    items.clear();
    EXPECT_EQ(before, CellSurfaceHolder::GetKeptCount());
}

TEST(CellRenderer, ASurfaceLeftByASelectedCellShowsTheNextCellInItsOwnColours)
{
    const size_t limit = CellSurfaceHolder::GetLimit();
    CellSurfaceHolder::SetLimit(1);
    VyxFile selected, plain, again;
    for (VyxFile* item : {&selected, &plain, &again}) {
        Style(*item);
        item->SetMarginSize(SIZE{6, 6});
        item->SetNameMode(0);
    }
    selected.SetFlags(VyxFilexDraw::FlagSelected);
    again.colBackGround = RGB(9, 80, 9);
    Canvas canvas(60, 60);
    // One surface passes from cell to cell: selected, then plain, then plain in another colour,
    // then selected again over a plain one.
    selected.DrawCell(&canvas.dc, 0, 0, 60, 60, 0);
    EXPECT_EQ(kSelect, canvas.Pixel(30, 30));
    EXPECT_EQ(kBack, canvas.Pixel(1, 1));
    plain.DrawCell(&canvas.dc, 0, 0, 60, 60, 0);
    EXPECT_FALSE(selected.HasKeptCell());
    for (const CPoint& at : {CPoint(30, 30), CPoint(1, 1), CPoint(58, 58), CPoint(8, 30)})
        EXPECT_EQ(kBack, canvas.Pixel(at.x, at.y)) << at.x << "," << at.y;
    again.DrawCell(&canvas.dc, 0, 0, 60, 60, 0);
    EXPECT_EQ(RGB(9, 80, 9), canvas.Pixel(30, 30));
    EXPECT_EQ(RGB(9, 80, 9), canvas.Pixel(1, 1));
    selected.DrawCell(&canvas.dc, 0, 0, 60, 60, 0);
    EXPECT_EQ(kSelect, canvas.Pixel(30, 30));
    EXPECT_EQ(kBack, canvas.Pixel(1, 1));
    CellSurfaceHolder::SetLimit(limit);
}

// Cells drawn one after another, their name boxes differing in fill, frame or size, each show
// their own box pixel for pixel as its fill and frame calls draw it.
TEST(CellRenderer, EachCellShowsItsOwnNameBoxWhateverTheCellBeforeIt)
{
    struct Case
    {
        COLORREF fill;
        BOOL frame;
        int edge;
        int width;
    };
    const Case cases[] = {
        {kWhite, TRUE, BDR_SUNKENOUTER, 100},
        {RGB(0xFF, 0xF0, 0xC0), TRUE, BDR_SUNKENOUTER, 100},
        {RGB(0xFF, 0xF0, 0xC0), TRUE, EDGE_RAISED, 100},
        {RGB(0xFF, 0xF0, 0xC0), FALSE, EDGE_RAISED, 100},
        {kWhite, TRUE, EDGE_BUMP, 100},
        {kWhite, TRUE, EDGE_BUMP, 130},
        {kWhite, TRUE, BDR_SUNKENOUTER, 100},
    };
    for (const Case& c : cases) {
        VyxFile item;
        Style(item);
        item.SetNameFormat(L"");
        item.colNormalDraw = c.fill;
        item.SetNameFrame(c.frame);
        item.SetNameFrameEdge(c.edge);
        Canvas cell(c.width, 120), expected(c.width, 120);
        item.DrawCell(&cell.dc, 0, 0, c.width, 120, 0);
        const CRect name = item.GetNameRect();
        ASSERT_FALSE(name.IsRectEmpty());
        expected.dc.FillSolidRect(&name, c.fill);
        if (c.frame)
            DrawCellEdge(&expected.dc, name, c.edge);
        int differing = 0;
        for (int y = name.top; y < name.bottom; ++y)
            for (int x = name.left; x < name.right; ++x)
                differing += cell.Pixel(x, y) != expected.Pixel(x, y);
        EXPECT_EQ(0, differing) << std::hex << c.fill << std::dec << " frame " << c.frame << " edge " << c.edge
                                << " width " << c.width;
    }
}

TEST(CellRenderer, NewThumbnailsGoToTheCacheOnlyWithASizeLimitSet)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"cells");
    Canvas canvas(100, 120);
    std::unique_ptr<VyxFile> item(NewPictureItem(folder, L"a.tpic", 40, 30));
    Style(*item);
    item->SetAutoCache(TRUE);
    item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade);
    EXPECT_FALSE(item->IsCached());
    EXPECT_EQ(nullptr, theCacheList.FindFolder(folder.Path().c_str(), L""));

    ChangeItemSettings([&](ItemSettings& s) { s.notCreateThumbsSize = 100000; });
    item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade);
    EXPECT_TRUE(item->IsCached());
    ASSERT_TRUE(theCacheList.FindFolder(folder.Path().c_str(), L""));
    // A picture area above the limit: the thumbnail is let go once drawn.
    ChangeItemSettings([&](ItemSettings& s) { s.notCreateThumbsSize = 100; });
    item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade);
    EXPECT_FALSE(item->HasThumbnail());
    ChangeItemSettings([&](ItemSettings& s) { s.notCreateThumbsSize = 0; });
}

TEST(CellRenderer, DesignScriptsDrawThePictureAreaAndTheCursor)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"cells");
    std::unique_ptr<VyxFile> item(NewPictureItem(folder, L"a.tpic", 40, 30));
    Style(*item);
    CString cellScript, cursorScript;
    MakeModulePath(cellScript, L"vyx_test_cell.dps");
    MakeModulePath(cursorScript, L"vyx_test_cursor.dps");
    ScratchFolder::WriteFile(cellScript.GetString(),
                             "BOX ($_LEFT,$_TOP)-($_RIGHT,$_BOTTOM), #00FF00, 1, PS_SOLID, #00FF00\n"
                             "DRAWIMAGE ($_LEFT + 10,$_TOP + 10)-($_RIGHT - 10,$_BOTTOM - 10), DT_CENTER\n"
                             "IF $KINDS == \"file\"\n"
                             " BOX ($_LEFT,$_TOP)-($_LEFT + 4,$_TOP + 4), #0000FF, 1, PS_SOLID, #0000FF\n"
                             "ENDIF\n");
    ScratchFolder::WriteFile(cursorScript.GetString(), "BOX ($_LEFT,$_TOP)-($_RIGHT,$_BOTTOM), #FF0000, 1, PS_SOLID\n");
    ASSERT_TRUE(VyxFilexDraw::LoadDesignThumbs(L"vyx_test_cell.dps"));
    ASSERT_TRUE(VyxFilexDraw::LoadDesignCursor(L"vyx_test_cursor.dps"));
    Canvas canvas(100, 120);
    EXPECT_EQ(0, item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade));
    item->DrawCursor(&canvas.dc, 0, 0);
    EXPECT_FALSE(VyxFilexDraw::LoadDesignThumbs(L""));
    EXPECT_FALSE(VyxFilexDraw::LoadDesignCursor(nullptr));
    DeleteFileW(cellScript);
    DeleteFileW(cursorScript);
    SavePng(canvas, L"catalogue_cell_design.png");

    EXPECT_EQ(RGB(0, 0xFF, 0), canvas.Pixel(50, 8));
    EXPECT_EQ(RGB(0, 0, 0xFF), canvas.Pixel(6, 6));
    EXPECT_EQ(RGB(0xFF, 0, 0), canvas.Pixel(4, 50));
    ASSERT_TRUE(item->HasThumbnail());
    // The script's image area (14, 14)-(86, 88) got the thumbnail made for it.
    EXPECT_EQ(72, GetDibWidth(item->GetThumbnail()));
    EXPECT_EQ(54, GetDibHeight(item->GetThumbnail()));
    EXPECT_NE(RGB(0, 0xFF, 0), canvas.Pixel(50, 50));
    // Unloaded: the default look again.
    canvas.Clear(kWhite);
    item->DrawCell(&canvas.dc, 0, 0, 100, 120, VyxFilexDraw::PictureMade);
    EXPECT_EQ(0, canvas.Count(RGB(0, 0xFF, 0)));
}

TEST(CellRenderer, HitTestsThePointAgainstTheNameAreaAtTheCellsPosition)
{
    VyxFile item;
    Style(item);
    item.SetFrame(FALSE);
    item.SetPaddingSize(SIZE{0, 0});
    item.DrawCell(nullptr, 0, 0, 100, 100, 0);
    POINT old = item.SetPosition(POINT{200, 300});
    EXPECT_EQ(32767, old.x);
    EXPECT_EQ(0, item.HitTest(250, 390));
    EXPECT_EQ(8, item.HitTest(250, 350));
    EXPECT_EQ(1 | 8, item.HitTest(150, 350));
    EXPECT_EQ(2, item.HitTest(301, 390));
}

// Writes catalogue_cells.png beside the test program: a few cells as the grid shows them.
TEST(CellRenderer, CellsAsAPicture)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder folder(L"cells");
    std::unique_ptr<VyxFile> wide(NewPictureItem(folder, L"横長の写真.tpic", 120, 60));
    std::unique_ptr<VyxFile> tall(NewPictureItem(folder, L"tall.tpic", 30, 90));
    PutFolder(folder, L"フォルダ");
    VyxFile sub((folder / L"フォルダ").c_str());
    Canvas canvas(4 * 130 + 10, 180);
    canvas.Clear(kBack);
    VyxFile* items[] = {wide.get(), tall.get(), &sub, wide.get()};
    for (int i = 0; i < 4; ++i) {
        VyxFile* item = items[i];
        Style(*item);
        item->SetNameFormat(i == 3 ? L"$(FileName)\\n$(Width) x $(Height)" : L"$(FileName)");
        item->SetMarginSize(SIZE{6, 6});
        if (i == 1)
            item->SetFlags(VyxFilexDraw::FlagSelected);
        item->DrawCell(&canvas.dc, 5 + i * 130, 5, 130, 170, VyxFilexDraw::PictureMade);
        if (i == 1)
            item->DrawCursor(&canvas.dc, 5 + i * 130, 5);
    }
    SavePng(canvas, L"catalogue_cells.png");
    EXPECT_GT(canvas.Count(kText), 50);
}

TEST(CellRenderer, AQuoteInANameKeepsEveryLineOfAMultiLineFormat)
{
    ScratchFolder folder(L"cells");
    PutFile(folder, L"Tom's photo.jpg", std::string(1234, 'x'));
    VyxFile item((folder / L"Tom's photo.jpg").c_str());
    Style(item);
    item.SetNameFormat(L"$(FileName)\\n$(Size)");
    Canvas canvas(140, 160);
    item.DrawCell(&canvas.dc, 0, 0, 140, 160, 0);
    const CRect name = item.GetNameRect();
    ASSERT_GT(name.Height(), 24);
    // Both lines are written: the text reaches from the first line into the second.
    CRect text(name.right, name.bottom, name.left, name.top);
    for (int y = name.top; y < name.bottom; ++y)
        for (int x = name.left; x < name.right; ++x)
            if (canvas.Pixel(x, y) == kText) {
                text.left = std::min(text.left, static_cast<LONG>(x));
                text.right = std::max(text.right, static_cast<LONG>(x + 1));
                text.top = std::min(text.top, static_cast<LONG>(y));
                text.bottom = std::max(text.bottom, static_cast<LONG>(y + 1));
            }
    ASSERT_LT(text.top, text.bottom) << "no name drawn";
    EXPECT_LT(text.top, name.top + 8);
    EXPECT_GT(text.bottom, name.top + 18);
}

namespace {

// A name's cell, drawn with the font and the item's look, and its name area.
struct Caption
{
    Caption(const ScratchFolder& folder, const CString& name, const LOGFONTW& font, bool folderItem = false,
            const wchar_t* format = L"$(FileName)", int width = 240, bool wordBreak = false, int name2Per = 100,
            int nameMode = 1)
        : canvas(width, 140)
    {
        const std::wstring path = folder / std::wstring(name.GetString());
        if (folderItem)
            PutFolder(folder, name.GetString());
        VyxFile item(path.c_str());
        Style(item);
        item.SetFont(font);
        item.SetName2Per(name2Per);
        item.SetNameFormat(format);
        item.SetWordBreak(wordBreak);
        item.SetNameMode(nameMode);
        canvas.Clear(kBack);
        item.DrawCell(&canvas.dc, 0, 0, width, 140, 0);
        nameArea = item.GetNameRect();
        if (folderItem)
            RemoveDirectoryW(path.c_str());
    }
    Canvas canvas;
    CRect nameArea;
};

// Pixels the first caption adds to the second; -1 when it takes any away (leaves the name area's
// fill where the second has ink) or changes any outside the name area. A smoothed face inks in
// greys.
int AddedInk(const Caption& with, const Caption& without)
{
    int added = 0;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < with.canvas.Width(); ++x) {
            const COLORREF a = with.canvas.Pixel(x, y), b = without.canvas.Pixel(x, y);
            if (a == b)
                continue;
            if (a == kWhite || !with.nameArea.PtInRect(CPoint(x, y)))
                return -1;
            ++added;
        }
    return added;
}

// The smallest rectangle holding the caption's text: what differs from the name area's fill
// inside its frame.
CRect TextBounds(const Caption& caption)
{
    CRect inside = caption.nameArea;
    inside.DeflateRect(2, 2);
    CRect bounds(inside.right, inside.bottom, inside.left, inside.top);
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x)
            if (caption.canvas.Pixel(x, y) != kWhite)
                bounds.SetRect(std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                               std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1));
    return bounds;
}

// The name with a blank of no line break (so that DrawText cuts it alike) for every low line.
CString Spaced(const CString& name)
{
    CString spaced = name;
    spaced.Replace(L'_', L'\u00A0');
    return spaced;
}

} // namespace

TEST(CellRenderer, CaptionsShowEveryCharacterOfTheirNames)
{
    ScratchFolder folder(L"captions");
    struct Font
    {
        LPCWSTR face;
        int height;
    };
    // The program's default cell font, a positive (cell) height, a larger size and a serif face
    // that drops its low lines: fixed pitch, so that a blank takes the place of a low line exactly.
    for (const Font& f :
         {Font{L"ＭＳ ゴシック", -12}, Font{L"IPAGothic", 12}, Font{L"ＭＳ ゴシック", -16}, Font{L"IPAMincho", -12}}) {
        LOGFONTW font = NameFont(f.height);
        lstrcpyW(font.lfFaceName, f.face);
        for (LPCWSTR name : {L"nightshot_iso_100.bmp", L"gggyyy_jpg.jpg", L"日本語の写真_g.jpg", L"___.jpg"}) {
            const Caption with(folder, name, font), without(folder, Spaced(name), font);
            // Every low line adds a bar of ink; nothing else changes.
            int lowLines = 0;
            for (const wchar_t* c = name; *c; ++c)
                lowLines += *c == L'_';
            EXPECT_GE(AddedInk(with, without), lowLines * 3) << name << " " << f.height;

            // The letters keep their lowest rows ("g", "y") and their whole width.
            Canvas free(400, 100);
            CFont made;
            made.CreateFontIndirect(&font);
            CFont* old = free.dc.SelectObject(&made);
            free.dc.SetBkMode(TRANSPARENT);
            free.dc.SetTextColor(kText);
            free.dc.TextOut(10, 10, Spaced(name));
            free.dc.SelectObject(old);
            const CRect whole = free.BoundsOf(kText);
            const CRect drawn = without.canvas.BoundsOf(kText);
            EXPECT_EQ(whole.Height(), drawn.Height()) << name << " " << f.height;
            EXPECT_EQ(whole.Width(), drawn.Width()) << name << " " << f.height;
        }
    }
}

// A name on screen is the name on disk: its "&" is drawn as itself, never taken for a mnemonic
// mark that vanishes and underlines the next letter.
TEST(CellRenderer, ACaptionShowsTheAmpersandOfItsNameAsItself)
{
    ScratchFolder folder(L"captions");
    LOGFONTW font = NameFont(-12);
    lstrcpyW(font.lfFaceName, L"ＭＳ ゴシック");
    Canvas measure(10, 10);
    CFont made;
    made.CreateFontIndirect(&font);
    CFont* old = measure.dc.SelectObject(&made);
    const int ampersand = measure.dc.GetTextExtent(L"&").cx;
    measure.dc.SelectObject(old);
    struct Case
    {
        bool folderItem;
        const wchar_t* format;
        bool wordBreak;
        int nameMode;
        const wchar_t* name = L"amp&and.jpg";
        int width = 240;
        int name2Per = 100; // below the picture: what is left of the height; beside it: of the width
    };
    // A file's name on one line, word-broken, on two lines of a format, as a whole line of text,
    // word-broken onto two lines in a narrow cell (its longer line holding an "&"), and a folder's
    // name.
    // The text's extent: what differs from the name area's own fill (a folder's is coloured).
    auto textWidth = [](const Caption& caption) {
        CRect inside = caption.nameArea;
        inside.DeflateRect(2, 2);
        const COLORREF fill = caption.canvas.Pixel(inside.left, inside.top);
        int left = inside.right, right = inside.left;
        for (int y = inside.top; y < inside.bottom; ++y)
            for (int x = inside.left; x < inside.right; ++x)
                if (caption.canvas.Pixel(x, y) != fill) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                }
        return std::max(right - left, 0);
    };
    for (const Case& c : {Case{false, L"$(FileName)", false, 1}, Case{false, L"$(FileName)", true, 1},
                          Case{false, L"$(FileName)\\n$(FileName)", false, 1},
                          Case{false, L"$(FileName)", false, 2, L"amp&and.jpg", 240, 40},
                          Case{false, L"$(FileName)", true, 1, L"amp&and amp&and.jpg", 100, 50},
                          Case{true, L"$(FileName)", false, 1, L"amp&and"}}) {
        const CString name = c.name;
        CString bare = name;
        bare.Remove(L'&');
        const int with = textWidth(
            Caption(folder, name, font, c.folderItem, c.format, c.width, c.wordBreak, c.name2Per, c.nameMode));
        const int without = textWidth(
            Caption(folder, bare, font, c.folderItem, c.format, c.width, c.wordBreak, c.name2Per, c.nameMode));
        EXPECT_GT(without, 0);
        EXPECT_GE(with, without + ampersand - 1)
            << "format " << CStringA(c.format).GetString() << ", mode " << c.nameMode << ", folder " << c.folderItem
            << ", name " << CStringA(name).GetString();
    }
}

TEST(CellRenderer, CaptionsCutShortFolderNamesAndLinesOfAFormatKeepTheirLowLines)
{
    ScratchFolder folder(L"captions");
    LOGFONTW font = NameFont(-12);
    lstrcpyW(font.lfFaceName, L"ＭＳ ゴシック");
    const CString tail(L'x', 60);
    // A name cut short keeps the low lines of what shows, and shows none in the part it cuts.
    const CString cut = L"a_" + tail + L"_b.jpg";
    EXPECT_GE(AddedInk(Caption(folder, cut, font), Caption(folder, L"a\u00A0" + tail + L"_b.jpg", font)), 3);
    EXPECT_EQ(0, AddedInk(Caption(folder, cut, font), Caption(folder, L"a_" + tail + L"\u00A0b.jpg", font)));
    // Folder names, centred both ways, and each line of a format of two lines.
    EXPECT_GE(AddedInk(Caption(folder, L"sub_folder", font, true), Caption(folder, Spaced(L"sub_folder"), font, true)),
              3);
    EXPECT_GE(AddedInk(Caption(folder, L"two_lines.jpg", font, false, L"$(FileName)\\n$(FileName)"),
                       Caption(folder, Spaced(L"two_lines.jpg"), font, false, L"$(FileName)\\n$(FileName)")),
              6);
}

TEST(CellRenderer, AWordBrokenNameIsWrappedOnlyWhenEveryLineShowsElseCutOnOneLineWithItsLowLines)
{
    ScratchFolder folder(L"captions");
    const CString name = L"奈良_東大寺_大仏殿_2024_0412.JPG";
    // The program's default face, and one whose low lines the painter draws.
    for (const wchar_t* face : {L"ＭＳ ゴシック", L"IPAGothic"}) {
        LOGFONTW font = NameFont(-12);
        lstrcpyW(font.lfFaceName, face);
        const bool painted = std::wstring(face) == L"IPAGothic";
        // Room for one line: the name runs from the left edge to an ellipsis at the right.
        const Caption cut(folder, name, font, false, L"$(FileName)", 150, true);
        const CRect text = TextBounds(cut);
        EXPECT_LE(text.left - cut.nameArea.left, 3) << face;
        EXPECT_LE(cut.nameArea.right - text.right, 10) << face;
        EXPECT_LE(text.Height(), 16) << face;
        if (painted) {
            EXPECT_GE(AddedInk(cut, Caption(folder, Spaced(name), font, false, L"$(FileName)", 150, true)), 3 * 3);
        }
        // Room for two lines: wrapped and centred, unless a low line would be lost.
        const Caption two(folder, name, font, false, L"$(FileName)", 150, true, 40);
        const CRect wrapped = TextBounds(two);
        if (painted) {
            EXPECT_LE(wrapped.Height(), 16);
            EXPECT_EQ(text.Width(), wrapped.Width());
        } else {
            EXPECT_GT(wrapped.Height(), 20);
            EXPECT_GT(wrapped.left - two.nameArea.left, 6);
        }
    }
}

TEST(CellRenderer, ANameHoldingAMacroWordIsDrawnAsItStands)
{
    // "$(Ext)x.jpg" must not be drawn as the name "jpgx.jpg" it would expand to, on one line or two.
    ScratchFolder folder(L"cells");
    PutFile(folder, L"$(Ext)x.jpg", std::string(1234, 'x'));
    PutFile(folder, L"jpgx.jpg", std::string(1234, 'x'));
    for (const wchar_t* format : {L"$(FileName)", L"$(FileName)\\n$(Size)"}) {
        std::vector<COLORREF> drawn[2];
        int index = 0;
        for (const wchar_t* name : {L"$(Ext)x.jpg", L"jpgx.jpg"}) {
            VyxFile item((folder / name).c_str());
            Style(item);
            item.SetNameFormat(format);
            Canvas canvas(140, 160);
            item.DrawCell(&canvas.dc, 0, 0, 140, 160, 0);
            const CRect area = item.GetNameRect();
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    drawn[index].push_back(canvas.Pixel(x, y));
            ++index;
        }
        ASSERT_FALSE(drawn[0].empty());
        EXPECT_NE(drawn[0], drawn[1]) << std::wstring(format);
    }
}
