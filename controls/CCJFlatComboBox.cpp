#include "controls/CCJFlatComboBox.h"

namespace {

const UINT_PTR kHoverTimer = 1;

COLORREF Sys(int index)
{
    return ::GetSysColor(index);
}

} // namespace

BEGIN_MESSAGE_MAP(CCJFlatComboBox, CComboBox)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
ON_WM_PAINT()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BOOL CCJFlatComboBox::PreTranslateMessage(MSG* pMsg)
{
    // Enter, Escape and Tab go to the box itself, not to the dialog around it.
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP) {
        if (m_bDialogKeys && (pMsg->wParam == VK_TAB || (pMsg->wParam == VK_ESCAPE && !GetDroppedState())))
            return CComboBox::PreTranslateMessage(pMsg);
        ::TranslateMessage(pMsg);
        ::DispatchMessageW(pMsg);
        return TRUE;
    }
    if (pMsg->message == WM_SYSCHAR)
        return TRUE;
    return CComboBox::PreTranslateMessage(pMsg);
}

void CCJFlatComboBox::PaintFrame(int nState, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    CWindowDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    dc.Draw3dRect(&rect, clrTopLeft, clrBottomRight);
    rect.DeflateRect(1, 1);
    const BOOL enabled = IsWindowEnabled();
    COLORREF inner = enabled ? Sys(COLOR_BTNFACE) : Sys(COLOR_BTNHILIGHT);
    dc.Draw3dRect(&rect, inner, inner);
    rect.DeflateRect(1, 1);
    rect.left = rect.right - ::GetSystemMetrics(SM_CXHTHUMB);
    dc.Draw3dRect(&rect, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
    rect.DeflateRect(1, 1);
    dc.Draw3dRect(&rect, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
    if (!enabled)
        return;
    rect.top -= 1;
    rect.bottom += 1;
    switch (nState) {
    case 0:
        dc.Draw3dRect(&rect, Sys(COLOR_BTNHILIGHT), Sys(COLOR_BTNHILIGHT));
        rect.left -= 1;
        dc.Draw3dRect(&rect, Sys(COLOR_BTNHILIGHT), Sys(COLOR_BTNHILIGHT));
        break;
    case 1:
        dc.Draw3dRect(&rect, Sys(COLOR_BTNHILIGHT), Sys(COLOR_BTNSHADOW));
        break;
    case 2:
        rect.OffsetRect(1, 1);
        dc.Draw3dRect(&rect, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHILIGHT));
        break;
    default:
        break;
    }
}

void CCJFlatComboBox::OnPaint()
{
    ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    Default();
    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect window;
    GetWindowRect(&window);
    if (!window.PtInRect(cursor) && ::GetFocus() != m_hWnd)
        PaintFrame(0, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
    else
        PaintFrame(1, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHILIGHT));
}

void CCJFlatComboBox::OnMouseMove(UINT nFlags, CPoint point)
{
    SetTimer(kHoverTimer, 10, nullptr);
    CComboBox::OnMouseMove(nFlags, point);
}

void CCJFlatComboBox::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bLBtnDown = TRUE;
    CComboBox::OnLButtonDown(nFlags, point);
}

void CCJFlatComboBox::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bLBtnDown = FALSE;
    Invalidate();
    CComboBox::OnLButtonUp(nFlags, point);
}

void CCJFlatComboBox::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer) {
        CComboBox::OnTimer(nIDEvent);
        return;
    }
    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect window;
    GetWindowRect(&window);
    if (m_bLBtnDown) {
        KillTimer(kHoverTimer);
        if (m_bHot) {
            PaintFrame(2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHILIGHT));
            m_bHot = FALSE;
        }
    } else if (window.PtInRect(cursor)) {
        if (!m_bHot) {
            m_bHot = TRUE;
            PaintFrame(1, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHILIGHT));
            CComboBox::OnTimer(nIDEvent);
        }
    } else {
        KillTimer(kHoverTimer);
        if (m_bHot) {
            PaintFrame(0, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
            m_bHot = FALSE;
        }
    }
}

void CCJFlatComboBox::OnSetFocus(CWnd* pOldWnd)
{
    CComboBox::OnSetFocus(pOldWnd);
    PaintFrame(1, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHILIGHT));
}

void CCJFlatComboBox::OnKillFocus(CWnd* pNewWnd)
{
    CComboBox::OnKillFocus(pNewWnd);
    PaintFrame(0, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
}
