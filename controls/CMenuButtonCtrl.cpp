#include "controls/CMenuButtonCtrl.h"

#include "controls/ControlDrawing.h"

IMPLEMENT_DYNCREATE(CMenuButtonCtrl, CButton)

BEGIN_MESSAGE_MAP(CMenuButtonCtrl, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

BOOL CMenuButtonCtrl::OnClicked()
{
    if (!m_bDropOnPress)
        DropMenu();
    return FALSE;
}

void CMenuButtonCtrl::DropMenu()
{
    if (!m_pMenu || !m_pMenu->GetSafeHmenu())
        return;
    CRect window;
    GetWindowRect(&window);
    m_bShowing = TRUE;
    m_pMenu->TrackPopupMenu(0, window.right, window.top, GetParent());
    m_bShowing = FALSE;
    // The button was pressed when the menu took the mouse: draw it released.
    SendMessage(WM_LBUTTONUP, 0, 0x10001);
    if (m_bDropOnPress)
        Invalidate();
}

void CMenuButtonCtrl::DrawArrow(CDC* pDC, int x, int y, int nSize)
{
    POINT points[3] = {{x + nSize / 4, y}, {x + nSize / 4 + nSize / 2, y + nSize / 2}, {x + nSize / 4, y + nSize - 1}};
    FillSolidPolygon(pDC, points, 3, ::GetSysColor(COLOR_BTNTEXT));
}

void CMenuButtonCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    // While its menu is up, a drop-on-press button leaves its face alone.
    if (m_bDropOnPress && m_bShowing)
        return;
    CDC* dc = CDC::FromHandle(lpDIS->hDC);
    CRect rect = lpDIS->rcItem;
    const BOOL focused = (lpDIS->itemState & ODS_FOCUS) != 0;
    const BOOL pressed = (lpDIS->itemState & ODS_SELECTED) != 0;

    dc->FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
    if (focused) {
        CBrush frame(::GetSysColor(COLOR_WINDOWFRAME));
        dc->FrameRect(&rect, &frame);
        rect.DeflateRect(1, 1);
    }
    if (pressed) {
        CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
        dc->FrameRect(&rect, &shadow);
    } else {
        dc->DrawEdge(&rect, EDGE_RAISED, BF_RECT | BF_SOFT);
    }

    CString caption;
    GetWindowText(caption);
    CSize m = dc->GetTextExtent(L"M", 1);
    CSize text = caption.IsEmpty() ? CSize(0, 0) : dc->GetTextExtent(caption);
    int left = rect.left + (rect.Width() - (text.cx + m.cx)) / 2;
    int top = rect.top + (rect.Height() - text.cy) / 2;
    if (pressed) {
        ++left;
        ++top;
    }
    CRect captionRect(left, top, left + text.cx, top + text.cy);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(::GetSysColor(IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    if (!caption.IsEmpty())
        dc->DrawText(caption, &captionRect, DT_SINGLELINE | DT_NOCLIP);

    int x = captionRect.right;
    int y = captionRect.top;
    if (caption.IsEmpty())
        y -= m.cy / 3;
    POINT points[3] = {{x + 2, y}, {x + 7, y + 5}, {x + 2, y + 10}};
    FillSolidPolygon(dc, points, 3, ::GetSysColor(COLOR_BTNTEXT));

    if (focused) {
        CRect focus = lpDIS->rcItem;
        focus.DeflateRect(4, 4);
        dc->DrawFocusRect(&focus);
    }
    if (m_bDropOnPress && (lpDIS->itemAction & ODA_SELECT) && pressed && focused)
        DropMenu();
}
