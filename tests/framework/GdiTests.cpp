// GDI objects, device contexts with split handles, image lists and menus, on memory DCs.
#include "common/WindowTestUtil.h"

namespace {

// A memory DC with a 32x32 24-bit bitmap selected, cleared to white.
class MemoryCanvas
{
public:
    MemoryCanvas()
    {
        dc.CreateCompatibleDC(nullptr);
        CDC screen;
        screen.Attach(::GetDC(nullptr));
        bitmap.CreateCompatibleBitmap(&screen, 32, 32);
        ::ReleaseDC(nullptr, screen.Detach());
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 32, 32, RGB(255, 255, 255));
    }
    ~MemoryCanvas() { dc.SelectObject(old); }
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

TEST(CGdiObject, ObjectsOwnTheirHandlesAndDetachReleasesOwnership)
{
    HGDIOBJ handle = nullptr;
    {
        CPen pen(PS_SOLID, 2, RGB(1, 2, 3));
        handle = pen.GetSafeHandle();
        ASSERT_NE(nullptr, handle);
        LOGPEN logPen;
        ASSERT_TRUE(pen.GetLogPen(&logPen));
        EXPECT_EQ(2, logPen.lopnWidth.x);
        EXPECT_EQ(RGB(1, 2, 3), logPen.lopnColor);
        EXPECT_EQ(&pen, CGdiObject::FromHandle(handle)); // permanent while attached
    }
    EXPECT_EQ(0u, GetObjectType(handle)); // deleted with its object

    CBrush brush(RGB(9, 9, 9));
    HGDIOBJ kept = brush.Detach();
    EXPECT_EQ(nullptr, brush.GetSafeHandle());
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(kept));
    DeleteObject(kept);

    CBrush* none = nullptr;
    EXPECT_EQ(nullptr, none->GetSafeHandle()); // callable through a null pointer, as documented
}

TEST(CGdiObject, FromHandleWrapsForeignHandlesTemporarily)
{
    HGDIOBJ stock = GetStockObject(BLACK_PEN);
    CGdiObject* wrapper = CGdiObject::FromHandle(stock);
    ASSERT_NE(nullptr, wrapper);
    EXPECT_EQ(wrapper, CGdiObject::FromHandle(stock)); // one wrapper per handle until idle time
    CGdiObject::DeleteTempMap();
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(stock)); // the handle itself stays
    EXPECT_EQ(nullptr, CGdiObject::FromHandle(nullptr));
}

TEST(CGdiObject, BitmapsFontsPalettesAndRegions)
{
    MemoryCanvas canvas;
    BITMAP info;
    ASSERT_TRUE(canvas.bitmap.GetBitmap(&info));
    EXPECT_EQ(32, info.bmWidth);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"ＭＳ ゴシック", &canvas.dc));
    LOGFONTW logFont;
    ASSERT_TRUE(font.GetLogFont(&logFont));
    // 12 points at the screen's resolution, as a character height (negative).
    EXPECT_EQ(-MulDiv(canvas.dc.GetDeviceCaps(LOGPIXELSY), 120, 720), logFont.lfHeight);

    struct
    {
        LOGPALETTE header;
        PALETTEENTRY more[1];
    } palette = {{0x300, 2, {{255, 0, 0, 0}}}, {{0, 0, 255, 0}}};
    CPalette pal;
    ASSERT_TRUE(pal.CreatePalette(&palette.header));
    EXPECT_EQ(2, pal.GetEntryCount());
    EXPECT_EQ(1u, pal.GetNearestPaletteIndex(RGB(0, 0, 250)));

    CRgn a, b, both;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 20, 20);
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, both.CombineRgn(&a, &b, RGN_OR));
    CRect box;
    both.GetRgnBox(&box);
    EXPECT_EQ(CRect(0, 0, 20, 20), box);
    EXPECT_TRUE(both.PtInRegion(15, 15));
    EXPECT_FALSE(both.PtInRegion(15, 2));
    CRgn copy;
    copy.CreateRectRgn(0, 0, 0, 0);
    copy.CopyRgn(&both);
    copy.OffsetRgn(100, 0);
    EXPECT_FALSE(copy.EqualRgn(&both));
}

TEST(CDC, SelectObjectReturnsThePreviousObjectAndDrawingLands)
{
    MemoryCanvas canvas;
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* previous = canvas.dc.SelectObject(&red);
    ASSERT_NE(nullptr, previous);
    EXPECT_EQ(&red, canvas.dc.GetCurrentPen());
    canvas.dc.MoveTo(0, 5);
    canvas.dc.LineTo(10, 5);
    EXPECT_EQ(CPoint(10, 5), canvas.dc.GetCurrentPosition());
    EXPECT_EQ(RGB(255, 0, 0), canvas.dc.GetPixel(3, 5));
    EXPECT_EQ(&red, canvas.dc.SelectObject(previous));

    canvas.dc.FillSolidRect(CRect(20, 20, 30, 30), RGB(0, 128, 0));
    EXPECT_EQ(RGB(0, 128, 0), canvas.dc.GetPixel(25, 25));
    EXPECT_EQ(RGB(255, 255, 255), canvas.dc.GetPixel(19, 25));
    canvas.dc.Draw3dRect(0, 20, 10, 10, RGB(0, 0, 255), RGB(255, 255, 0));
    EXPECT_EQ(RGB(0, 0, 255), canvas.dc.GetPixel(0, 25));
    EXPECT_EQ(RGB(255, 255, 0), canvas.dc.GetPixel(9, 25));

    // BitBlt from another memory DC.
    MemoryCanvas source;
    source.dc.FillSolidRect(0, 0, 4, 4, RGB(10, 20, 30));
    ASSERT_TRUE(canvas.dc.BitBlt(12, 0, 4, 4, &source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(RGB(10, 20, 30), canvas.dc.GetPixel(13, 1));
}

TEST(CDC, MappingModeAndConversions)
{
    MemoryCanvas canvas;
    canvas.dc.SetMapMode(MM_ANISOTROPIC);
    canvas.dc.SetWindowExt(100, 100);
    canvas.dc.SetViewportExt(50, 25);
    canvas.dc.SetViewportOrg(10, 0);
    EXPECT_EQ(MM_ANISOTROPIC, canvas.dc.GetMapMode());
    CPoint point(20, 40);
    canvas.dc.LPtoDP(&point);
    EXPECT_EQ(CPoint(20, 10), point);
    CSize size(10, 10);
    canvas.dc.DPtoLP(&size);
    EXPECT_EQ(CSize(20, 40), size); // a size ignores the origin
    int saved = canvas.dc.SaveDC();
    canvas.dc.SetMapMode(MM_TEXT);
    ASSERT_TRUE(canvas.dc.RestoreDC(saved));
    EXPECT_EQ(MM_ANISOTROPIC, canvas.dc.GetMapMode());
}

// A DC whose attribute handle differs from its output handle, as print preview uses one.
TEST(CDC, SplitHandlesQueryTheAttributeAndSetBoth)
{
    MemoryCanvas output, attributes;
    CDC split;
    split.m_hDC = output.dc.m_hDC;
    split.SetAttribDC(attributes.dc.m_hDC);
    split.SetMapMode(MM_LOMETRIC);
    EXPECT_EQ(MM_LOMETRIC, ::GetMapMode(output.dc.m_hDC));
    EXPECT_EQ(MM_LOMETRIC, ::GetMapMode(attributes.dc.m_hDC));
    split.SetTextColor(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(output.dc.m_hDC));
    ::SetBkColor(attributes.dc.m_hDC, RGB(7, 7, 7));
    EXPECT_EQ(RGB(7, 7, 7), split.GetBkColor()); // queries read the attribute handle
    split.MoveTo(3, 4);
    split.LineTo(5, 6);
    EXPECT_EQ(CPoint(5, 6), split.GetCurrentPosition());
    split.ReleaseAttribDC();
    split.ReleaseOutputDC();
    EXPECT_EQ(nullptr, split.GetSafeHdc());
}

TEST(CDC, FromHandleAndTextMeasures)
{
    MemoryCanvas canvas;
    CDC* temp = CDC::FromHandle(canvas.dc.m_hDC);
    EXPECT_EQ(&canvas.dc, temp); // an attached DC is its own wrapper
    HDC foreign = ::CreateCompatibleDC(nullptr);
    CDC* wrapper = CDC::FromHandle(foreign);
    ASSERT_NE(nullptr, wrapper);
    EXPECT_EQ(foreign, wrapper->m_hAttribDC);
    CDC::DeleteTempMap();
    EXPECT_TRUE(::DeleteDC(foreign)); // the temporary wrapper left the handle alone

    CSize one = canvas.dc.GetTextExtent(L"W", 1);
    CSize three = canvas.dc.GetTextExtent(CString(L"WWW"));
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(3 * one.cx, three.cx);
    CRect rect(0, 0, 1000, 0);
    int height = canvas.dc.DrawText(L"行1\n行2", -1, &rect, DT_CALCRECT);
    EXPECT_GT(height, one.cy);
}

TEST(CImageList, AddsMaskedBitmapsAndDrawsThem)
{
    CImageList images;
    ASSERT_TRUE(images.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 2));
    MemoryCanvas art;
    art.dc.FillSolidRect(0, 0, 16, 8, RGB(255, 0, 255)); // magenta: the mask colour
    art.dc.FillSolidRect(2, 2, 4, 4, RGB(0, 0, 200));
    art.dc.FillSolidRect(8, 0, 8, 8, RGB(200, 0, 0));
    CBitmap strip;
    strip.CreateCompatibleBitmap(&art.dc, 16, 8);
    {
        CDC copier;
        copier.CreateCompatibleDC(&art.dc);
        CBitmap* old = copier.SelectObject(&strip);
        copier.BitBlt(0, 0, 16, 8, &art.dc, 0, 0, SRCCOPY);
        copier.SelectObject(old);
    }
    EXPECT_EQ(0, images.Add(&strip, RGB(255, 0, 255)));
    EXPECT_EQ(2, images.GetImageCount());
    int cx = 0, cy = 0;
    images.GetIconSize(&cx, &cy);
    EXPECT_EQ(8, cx);

    MemoryCanvas target;
    ASSERT_TRUE(images.Draw(&target.dc, 0, CPoint(0, 0), ILD_TRANSPARENT));
    EXPECT_EQ(RGB(0, 0, 200), target.dc.GetPixel(3, 3));
    EXPECT_EQ(RGB(255, 255, 255), target.dc.GetPixel(0, 0)); // masked out
    EXPECT_TRUE(images.Remove(1));
    EXPECT_EQ(1, images.GetImageCount());

    HIMAGELIST handle = images.Detach();
    EXPECT_EQ(nullptr, CImageList::FromHandlePermanent(handle));
    CImageList* wrapper = CImageList::FromHandle(handle);
    EXPECT_EQ(1, wrapper->GetImageCount());
    CImageList::DeleteTempMap();
    EXPECT_TRUE(ImageList_Destroy(handle));
}

TEST(CImageList, DragImageLocksTheWindowItIsGiven)
{
    CTestHostWnd host;
    CImageList images;
    ASSERT_TRUE(images.Create(8, 8, ILC_COLOR24, 1, 1));
    MemoryCanvas art;
    CBitmap picture;
    picture.CreateCompatibleBitmap(&art.dc, 8, 8);
    ASSERT_EQ(0, images.Add(&picture, static_cast<CBitmap*>(nullptr)));
    ASSERT_TRUE(images.BeginDrag(0, CPoint(0, 0)));
    EXPECT_TRUE(CImageList::DragEnter(&host, CPoint(5, 5)));
    EXPECT_TRUE(CImageList::DragMove(CPoint(9, 9)));
    EXPECT_TRUE(CImageList::DragLeave(&host));
    CImageList::EndDrag();
}

TEST(CMenu, BuildsQueriesAndWrapsSubMenus)
{
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 101, L"開く(&O)...");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING, 102, L"閉じる");
    HMENU popupHandle = popup.Detach(); // the bar owns it from here
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popupHandle), L"ファイル(&F)");
    EXPECT_EQ(1u, bar.GetMenuItemCount());
    CMenu* sub = bar.GetSubMenu(0);
    ASSERT_NE(nullptr, sub);
    EXPECT_EQ(popupHandle, sub->GetSafeHmenu());
    EXPECT_EQ(3u, sub->GetMenuItemCount());
    EXPECT_EQ(102u, sub->GetMenuItemID(2));
    CString text;
    EXPECT_EQ(9, sub->GetMenuString(101, text, MF_BYCOMMAND));
    EXPECT_EQ(L"開く(&O)...", text);
    sub->CheckMenuItem(102, MF_BYCOMMAND | MF_CHECKED);
    sub->EnableMenuItem(101, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(sub->GetMenuState(102, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(sub->GetMenuState(101, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(sub->DeleteMenu(1, MF_BYPOSITION));
    EXPECT_EQ(2u, sub->GetMenuItemCount());
    CMenu::DeleteTempMap();
    EXPECT_TRUE(::IsMenu(popupHandle)); // the wrapper did not destroy it
    EXPECT_EQ(&bar, CMenu::FromHandlePermanent(bar.m_hMenu));
    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(64998));
    CMenu* null = nullptr;
    EXPECT_EQ(nullptr, null->GetSafeHmenu());
}

} // namespace
