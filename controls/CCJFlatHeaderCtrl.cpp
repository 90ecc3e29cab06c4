#include "controls/CCJFlatHeaderCtrl.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CCJFlatHeaderCtrl, CHeaderCtrl)
ON_WM_PAINT()
END_MESSAGE_MAP()

void CCJFlatHeaderCtrl::EnableFlat(BOOL bOwnFont)
{
    if (bOwnFont) {
        LOGFONTW logFont = {};
        logFont.lfHeight = -12;
        logFont.lfCharSet = DEFAULT_CHARSET;
        lstrcpyW(logFont.lfFaceName, L"ＭＳ Ｐゴシック");
        m_font.DeleteObject();
        m_font.CreateFontIndirect(&logFont);
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    }
    m_bOwnFont = bOwnFont;
    m_bFlat = TRUE;
}

int CCJFlatHeaderCtrl::SetSortMark(int nColumn, BOOL bAscending)
{
    int previous = m_nSortCol;
    m_nSortCol = nColumn;
    m_bSortAsc = bAscending;
    HDITEMW item = {};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    GetItem(nColumn, &item);
    if (item.hbm || (item.fmt & HDF_BITMAP))
        return previous;
    item.mask = HDI_FORMAT;
    item.fmt |= HDF_OWNERDRAW;
    SetItem(nColumn, &item);
    Invalidate();
    return previous;
}

void CCJFlatHeaderCtrl::OnPaint()
{
    Default();
    if (m_bFlat)
        PaintFlatFrame();
}

void CCJFlatHeaderCtrl::PaintFlatFrame()
{
    CWindowDC dc(this);
    CRect rect;
    GetWindowRect(&rect);
    ScreenToClient(&rect);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF hilite = ::GetSysColor(COLOR_BTNHILIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    dc.Draw3dRect(&rect, face, face);
    rect.DeflateRect(1, 1);
    dc.Draw3dRect(&rect, face, face);
    rect.InflateRect(1, 1);
    dc.Draw3dRect(&rect, hilite, shadow);

    CPen hilitePen(PS_SOLID, 1, hilite), shadowPen(PS_SOLID, 1, shadow), facePen(PS_SOLID, 1, face);
    CPen* old = dc.SelectObject(&facePen);
    auto line = [&](CPen* pen, int x) {
        dc.SelectObject(pen);
        dc.MoveTo(x, 2);
        dc.LineTo(x, rect.bottom - 2);
    };
    line(&facePen, rect.right - 1);
    int x = 0;
    for (int i = 0; i < GetItemCount(); ++i) {
        HDITEMW item = {};
        item.mask = HDI_WIDTH;
        GetItem(i, &item);
        x += item.cxy;
        line(&shadowPen, x);
        line(&hilitePen, x + 1);
        line(&facePen, x - 1);
        line(&facePen, x - 2);
    }
    dc.SelectObject(old);
}

void CCJFlatHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* dc = CDC::FromHandle(lpDIS->hDC);
    const CRect item = lpDIS->rcItem;
    int saved = dc->SaveDC();
    dc->IntersectClipRect(&item);
    dc->FillSolidRect(&item, ::GetSysColor(COLOR_BTNFACE));
    dc->SetBkMode(TRANSPARENT);
    const int o = 2 * dc->GetTextExtent(L" ", 1).cx;

    wchar_t text[260] = {};
    HDITEMW info = {};
    info.mask = HDI_TEXT | HDI_FORMAT;
    info.pszText = text;
    info.cchTextMax = 259;
    GetItem(static_cast<int>(lpDIS->itemID), &info);
    UINT flags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE | DT_VCENTER;
    if (info.fmt & HDF_CENTER)
        flags |= DT_CENTER;
    else if (info.fmt & HDF_RIGHT)
        flags |= DT_RIGHT;

    CRect textRect = item;
    if (lpDIS->itemState == ODS_SELECTED) {
        textRect.top += 2;
        textRect.left += 1;
        textRect.right += 1;
    }
    const bool sorted = static_cast<int>(lpDIS->itemID) == m_nSortCol;
    if (sorted)
        textRect.right -= 3 * o;
    textRect.left += o;
    textRect.right -= o;
    if (textRect.left < textRect.right) {
        CFont* oldFont = m_bOwnFont ? dc->SelectObject(&m_font) : nullptr;
        dc->DrawText(text, -1, &textRect, flags);
        if (oldFont)
            dc->SelectObject(oldFont);
    }

    if (sorted) {
        const int r = item.right, b = item.bottom;
        CPen hilite(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHILIGHT));
        CPen shadow(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        CPen* old = dc->SelectObject(&hilite);
        if (m_bSortAsc) {
            dc->MoveTo(r - 2 * o, o - 1);
            dc->LineTo(r - 3 * o / 2, b - o);
            dc->LineTo(r - 5 * o / 2 - 2, b - o);
            dc->MoveTo(r - 5 * o / 2 - 1, b - o - 1);
            dc->SelectObject(&shadow);
            dc->LineTo(r - 2 * o, o - 2);
        } else {
            dc->MoveTo(r - 3 * o / 2, o - 1);
            dc->LineTo(r - 2 * o - 1, b - o + 1);
            dc->MoveTo(r - 2 * o - 1, b - o);
            dc->SelectObject(&shadow);
            dc->LineTo(r - 5 * o / 2 - 1, o - 1);
            dc->LineTo(r - 3 * o / 2, o - 1);
        }
        dc->SelectObject(old);
    }
    dc->RestoreDC(saved);
}
