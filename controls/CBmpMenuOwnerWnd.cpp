#include "controls/CBmpMenuOwnerWnd.h"
#include "controls/VyxWinAppEx.h"

namespace {

VyxWinAppEx* ImagesApp()
{
    VyxWinAppEx* app = VyxGetAppEx();
    return app && app->IsMenuImagesEnabled() ? app : nullptr;
}

// The image as one colour: drawn on the highlight colour, turned into a mask (highlight set,
// image clear) and copied, so the image takes the DC's text colour and the rest its background.
void DrawSilhouette(HDC hdc, HIMAGELIST list, int image, int x, int y, int cx, int cy)
{
    HDC screen = ::GetDC(nullptr);
    HDC colour = ::CreateCompatibleDC(screen);
    HBITMAP colourBitmap = ::CreateCompatibleBitmap(screen, cx, cy);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldColour = ::SelectObject(colour, colourBitmap);
    const COLORREF highlight = ::GetSysColor(COLOR_3DHILIGHT);
    RECT all = {0, 0, cx, cy};
    ::SetBkColor(colour, highlight);
    ::ExtTextOutW(colour, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    ImageList_Draw(list, image, colour, 0, 0, ILD_TRANSPARENT);

    HDC mono = ::CreateCompatibleDC(nullptr);
    HBITMAP monoBitmap = ::CreateBitmap(cx, cy, 1, 1, nullptr);
    HGDIOBJ oldMono = ::SelectObject(mono, monoBitmap);
    ::SetBkColor(colour, highlight); // pixels of this colour become set bits
    ::BitBlt(mono, 0, 0, cx, cy, colour, 0, 0, SRCCOPY);
    ::BitBlt(hdc, x, y, cx, cy, mono, 0, 0, SRCCOPY);

    ::SelectObject(mono, oldMono);
    ::DeleteObject(monoBitmap);
    ::DeleteDC(mono);
    ::SelectObject(colour, oldColour);
    ::DeleteObject(colourBitmap);
    ::DeleteDC(colour);
}

} // namespace

BOOL BmpMenuMeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    VyxWinAppEx* app = ImagesApp();
    if (!app || lpMeasureItemStruct->CtlType != ODT_MENU)
        return FALSE;
    int cx = 16, cy = 16;
    ImageList_GetIconSize(app->GetMenuImageList()->GetSafeHandle(), &cx, &cy);
    lpMeasureItemStruct->itemWidth = static_cast<UINT>(cx + 4);
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(cy);
    return TRUE;
}

BOOL BmpMenuDrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    VyxWinAppEx* app = ImagesApp();
    if (!app || lpDrawItemStruct->CtlType != ODT_MENU)
        return FALSE;
    const int image = app->GetMenuImage(lpDrawItemStruct->itemID);
    if (image < 0)
        return TRUE; // nothing to draw
    HIMAGELIST list = app->GetMenuImageList()->GetSafeHandle();
    int cx = 16, cy = 16;
    ImageList_GetIconSize(list, &cx, &cy);
    const RECT& rect = lpDrawItemStruct->rcItem;
    const int x = rect.left;
    const int y = rect.top + (rect.bottom - rect.top - cy) / 2;
    if (lpDrawItemStruct->itemState & ODS_GRAYED)
        DrawSilhouette(lpDrawItemStruct->hDC, list, image, x, y, cx, cy);
    else
        ImageList_Draw(list, image, lpDrawItemStruct->hDC, x, y, ILD_NORMAL);
    return TRUE;
}
