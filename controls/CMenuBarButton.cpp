#include "controls/CMenuBarButton.h"
#include "controls/UxThemeBinder.h"
#include "controls/VyxWinAppEx.h"

#include <vssym32.h>

void CMenuBarButton::GetSlotRect(RECT* pRect, int nSlot, int nExtraLeft) const
{
    NONCLIENTMETRICSW ncm;
    VyxGetNonClientMetrics(ncm);
    const int w = ncm.iMenuWidth;
    const int h = ncm.iMenuHeight;
    const int left = m_rcArea.right - nSlot * w;
    const int areaHeight = m_rcArea.bottom - m_rcArea.top;
    if (m_hTheme) {
        const int top = m_rcArea.top + (areaHeight - h) / 2;
        ::SetRect(pRect, left, top, left + w, top + h);
        return;
    }
    const int top = m_rcArea.top + (areaHeight - (h - 4)) / 2;
    ::SetRect(pRect, left + 1 + nExtraLeft, top, left + w - 1, top + h - 4);
}

BOOL CMenuBarButton::ChildHasStyle(DWORD dwStyle) const
{
    return m_hWndMDIChild && (::GetWindowLongW(m_hWndMDIChild, GWL_STYLE) & dwStyle) == dwStyle;
}

BOOL CMenuBarButton::IsEnabled() const
{
    return !m_bHidden && m_hWndMDIChild && ::IsWindow(m_hWndMDIChild) && ChildHasStyle(WS_SYSMENU);
}

void CMenuBarButton::Draw(CDC* pDC, BOOL bFrameActive) const
{
    RECT rect;
    GetRect(&rect);
    const UINT command = GetCommand();
    const BOOL enabled = IsEnabled();
    if (m_hTheme) {
        int part = command == SC_CLOSE     ? WP_MDICLOSEBUTTON
                   : command == SC_RESTORE ? WP_MDIRESTOREBUTTON
                                           : WP_MDIMINBUTTON;
        int state = MINBS_NORMAL;
        if (!bFrameActive || !enabled)
            state = MINBS_DISABLED;
        else if (m_bPushed)
            state = MINBS_PUSHED;
        UxThemeBinder::DrawThemeBackground(m_hTheme, pDC->GetSafeHdc(), part, state, &rect, nullptr);
        return;
    }
    UINT kind = command == SC_CLOSE ? DFCS_CAPTIONCLOSE : command == SC_RESTORE ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
    if (m_bPushed)
        kind |= DFCS_PUSHED;
    if (!enabled)
        kind |= DFCS_INACTIVE;
    ::DrawFrameControl(pDC->GetSafeHdc(), &rect, DFC_CAPTION, kind);
}

void CMenuBarButtonMin::GetRect(RECT* pRect) const
{
    GetSlotRect(pRect, 3, 2);
}

UINT CMenuBarButtonMin::GetCommand() const
{
    return m_hWndMDIChild && ::IsIconic(m_hWndMDIChild) ? SC_RESTORE : SC_MINIMIZE;
}

BOOL CMenuBarButtonMin::IsVisible() const
{
    return ChildHasStyle(WS_MINIMIZEBOX);
}

BOOL CMenuBarButtonMin::IsEnabled() const
{
    return CMenuBarButton::IsEnabled() && (ChildHasStyle(WS_MINIMIZEBOX) || ChildHasStyle(WS_MAXIMIZEBOX));
}

void CMenuBarButtonMax::GetRect(RECT* pRect) const
{
    GetSlotRect(pRect, 2, 0);
}

UINT CMenuBarButtonMax::GetCommand() const
{
    return SC_RESTORE;
}

BOOL CMenuBarButtonMax::IsVisible() const
{
    return ChildHasStyle(WS_MAXIMIZEBOX);
}

BOOL CMenuBarButtonMax::IsEnabled() const
{
    return CMenuBarButton::IsEnabled() && (ChildHasStyle(WS_MINIMIZEBOX) || ChildHasStyle(WS_MAXIMIZEBOX));
}

void CMenuBarButtonClose::GetRect(RECT* pRect) const
{
    GetSlotRect(pRect, 1, 0);
}

UINT CMenuBarButtonClose::GetCommand() const
{
    return SC_CLOSE;
}
