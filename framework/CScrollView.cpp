#include "framework/CScrollView.h"
#include "framework/CDC.h"
#include "framework/CFrameWnd.h"
#include "framework/CGdiObject.h"
#include "framework/CStdControls.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

namespace {

// Logical sizes in device units, through a screen DC in the mapping mode.
CSize ToDevice(int nMapMode, SIZE size)
{
    if (nMapMode == MM_TEXT || nMapMode == MM_SCALETOFIT)
        return CSize(std::abs(static_cast<int>(size.cx)), std::abs(static_cast<int>(size.cy)));
    HDC dc = ::GetDC(nullptr);
    ::SetMapMode(dc, nMapMode);
    POINT points[2] = {{0, 0}, {size.cx, size.cy}};
    ::LPtoDP(dc, points, 2);
    ::ReleaseDC(nullptr, dc);
    return CSize(std::abs(static_cast<int>(points[1].x - points[0].x)),
                 std::abs(static_cast<int>(points[1].y - points[0].y)));
}

} // namespace

CScrollView::CScrollView() : m_nMapMode(0), m_bCenter(FALSE), m_bInsideUpdate(FALSE) {}

CScrollView::~CScrollView() = default;

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    int oldMapMode = m_nMapMode;
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_totalDev = ToDevice(nMapMode, sizeTotal);
    m_pageDev = ToDevice(nMapMode, sizePage);
    m_lineDev = ToDevice(nMapMode, sizeLine);
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    if (m_hWnd) {
        UpdateBars();
        if (oldMapMode != m_nMapMode)
            Invalidate(TRUE);
    }
}

void CScrollView::SetScaleToFitSize(SIZE sizeTotal)
{
    m_nMapMode = MM_SCALETOFIT;
    m_totalLog = sizeTotal;
    m_totalDev = ToDevice(MM_TEXT, sizeTotal);
    // Everything fits: no scroll bars.
    if (m_hWnd) {
        ShowScrollBar(SB_BOTH, FALSE);
        Invalidate(TRUE);
    }
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    return CPoint(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const
{
    CPoint pt = GetDeviceScrollPosition();
    if (m_nMapMode != MM_TEXT && m_nMapMode != MM_SCALETOFIT && m_nMapMode != 0) {
        HDC dc = ::GetDC(nullptr);
        ::SetMapMode(dc, m_nMapMode);
        ::DPtoLP(dc, &pt, 1);
        ::ReleaseDC(nullptr, dc);
    }
    return pt;
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

void CScrollView::ScrollToPosition(POINT pt)
{
    if (m_nMapMode != MM_TEXT && m_nMapMode != MM_SCALETOFIT) {
        HDC dc = ::GetDC(nullptr);
        ::SetMapMode(dc, m_nMapMode);
        ::LPtoDP(dc, &pt, 1);
        ::ReleaseDC(nullptr, dc);
    }
    // Not past the ends.
    int xMax = GetScrollLimit(SB_HORZ);
    int yMax = GetScrollLimit(SB_VERT);
    pt.x = std::max(0, std::min(static_cast<int>(pt.x), xMax));
    pt.y = std::max(0, std::min(static_cast<int>(pt.y), yMax));
    ScrollToDevicePosition(pt);
}

void CScrollView::ScrollToDevicePosition(POINT ptDev)
{
    int xOld = GetScrollPos(SB_HORZ);
    SetScrollPos(SB_HORZ, ptDev.x);
    int yOld = GetScrollPos(SB_VERT);
    SetScrollPos(SB_VERT, ptDev.y);
    ScrollWindow(xOld - GetScrollPos(SB_HORZ), yOld - GetScrollPos(SB_VERT));
}

void CScrollView::CenterOnPoint(CPoint ptCenter)
{
    CRect client;
    GetClientRect(&client);
    CPoint pos = GetDeviceScrollPosition();
    int xMax = GetScrollLimit(SB_HORZ);
    int yMax = GetScrollLimit(SB_VERT);
    int x = std::max(0, std::min(static_cast<int>(pos.x + ptCenter.x - client.Width() / 2), xMax));
    int y = std::max(0, std::min(static_cast<int>(pos.y + ptCenter.y - client.Height() / 2), yMax));
    ScrollToDevicePosition(CPoint(x, y));
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_nMapMode == MM_SCALETOFIT) {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(m_totalLog);
        CRect client;
        GetClientRect(&client);
        pDC->SetViewportExt(client.Size());
    } else if (m_nMapMode != 0) {
        pDC->SetMapMode(m_nMapMode);
    }
    CPoint origin(0, 0);
    if (!pDC->IsPrinting() && m_nMapMode != MM_SCALETOFIT) {
        // Drawing in document coordinates: the origin moves back by the scroll position.
        origin = -GetDeviceScrollPosition();
        if (m_bCenter) {
            CRect client;
            GetClientRect(&client);
            if (m_totalDev.cx < client.Width())
                origin.x = (client.Width() - m_totalDev.cx) / 2;
            if (m_totalDev.cy < client.Height())
                origin.y = (client.Height() - m_totalDev.cy) / 2;
        }
    }
    pDC->SetViewportOrg(origin);
    CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    // Room for the scroll bars the total size will need.
    if (nAdjustType == adjustOutside && m_nMapMode != MM_SCALETOFIT) {
        CSize sizeClient(lpClientRect->right - lpClientRect->left, lpClientRect->bottom - lpClientRect->top);
        if (sizeClient.cx < m_totalDev.cx && !GetScrollBarCtrl(SB_HORZ))
            lpClientRect->bottom += ::GetSystemMetrics(SM_CYHSCROLL);
        if (sizeClient.cy < m_totalDev.cy && !GetScrollBarCtrl(SB_VERT))
            lpClientRect->right += ::GetSystemMetrics(SM_CXVSCROLL);
    }
    CView::CalcWindowRect(lpClientRect, nAdjustType);
}

// ---------------------------------------------------------------- scroll bars

void CScrollView::GetScrollBarSizes(CSize& sizeSb)
{
    sizeSb = CSize(0, 0);
    // Shared bars (a splitter's) take no room from the window.
    if (!GetScrollBarCtrl(SB_VERT))
        sizeSb.cx = ::GetSystemMetrics(SM_CXVSCROLL);
    if (!GetScrollBarCtrl(SB_HORZ))
        sizeSb.cy = ::GetSystemMetrics(SM_CYHSCROLL);
}

BOOL CScrollView::GetTrueClientSize(CSize& size, CSize& sizeSb)
{
    CRect client;
    GetClientRect(&client);
    size = CSize(client.right, client.bottom);
    GetScrollBarSizes(sizeSb);
    DWORD style = GetStyle();
    if (sizeSb.cx != 0 && (style & WS_VSCROLL))
        size.cx += sizeSb.cx;
    if (sizeSb.cy != 0 && (style & WS_HSCROLL))
        size.cy += sizeSb.cy;
    return size.cx > sizeSb.cx && size.cy > sizeSb.cy;
}

void CScrollView::GetScrollBarState(CSize sizeClient, CSize& needSb, CSize& sizeRange, CPoint& ptMove,
                                    BOOL bInsideClient)
{
    CSize sizeSb;
    GetScrollBarSizes(sizeSb);
    sizeRange = m_totalDev - sizeClient;
    ptMove = GetDeviceScrollPosition();
    // A bar in one direction takes room that the other direction may then need.
    BOOL needH = sizeRange.cx > 0;
    if (!needH)
        ptMove.x = 0;
    else if (bInsideClient)
        sizeRange.cy += sizeSb.cy;
    BOOL needV = sizeRange.cy > 0;
    if (!needV)
        ptMove.y = 0;
    else if (bInsideClient)
        sizeRange.cx += sizeSb.cx;
    if (needV && !needH && sizeRange.cx > 0) {
        needH = TRUE;
        sizeRange.cy += sizeSb.cy;
    }
    if (sizeRange.cx > 0 && ptMove.x >= sizeRange.cx)
        ptMove.x = sizeRange.cx;
    if (sizeRange.cy > 0 && ptMove.y >= sizeRange.cy)
        ptMove.y = sizeRange.cy;
    needSb.cx = needH;
    needSb.cy = needV;
}

void CScrollView::EnableScrollBarCtrl(int nBar, BOOL bEnable)
{
    if (nBar == SB_BOTH) {
        EnableScrollBarCtrl(SB_HORZ, bEnable);
        EnableScrollBarCtrl(SB_VERT, bEnable);
        return;
    }
    if (CScrollBar* bar = GetScrollBarCtrl(nBar)) {
        bar->EnableWindow(bEnable);
        return;
    }
    ShowScrollBar(static_cast<UINT>(nBar), bEnable);
}

void CScrollView::UpdateBars()
{
    // Showing or hiding a bar resizes the window, which comes back here.
    if (m_bInsideUpdate || m_nMapMode == MM_SCALETOFIT || m_nMapMode == 0)
        return;
    m_bInsideUpdate = TRUE;
    CSize sizeClient;
    CSize sizeSb;
    if (!GetTrueClientSize(sizeClient, sizeSb)) {
        // No room even for the bars (a pane shrunk to nothing).
        CRect client;
        GetClientRect(&client);
        if (client.right > 0 && client.bottom > 0)
            EnableScrollBarCtrl(SB_BOTH, FALSE);
        m_bInsideUpdate = FALSE;
        return;
    }
    CSize needSb;
    CSize sizeRange;
    CPoint ptMove;
    GetScrollBarState(sizeClient, needSb, sizeRange, ptMove, TRUE);
    if (needSb.cx)
        sizeClient.cy -= sizeSb.cy;
    if (needSb.cy)
        sizeClient.cx -= sizeSb.cx;
    ScrollToDevicePosition(ptMove);

    SCROLLINFO info = {};
    info.fMask = SIF_PAGE | SIF_RANGE;
    EnableScrollBarCtrl(SB_HORZ, needSb.cx);
    if (needSb.cx) {
        info.nPage = static_cast<UINT>(sizeClient.cx);
        info.nMax = m_totalDev.cx - 1;
        SetScrollInfo(SB_HORZ, &info, TRUE);
    }
    EnableScrollBarCtrl(SB_VERT, needSb.cy);
    if (needSb.cy) {
        info.nPage = static_cast<UINT>(sizeClient.cy);
        info.nMax = m_totalDev.cy - 1;
        SetScrollInfo(SB_VERT, &info, TRUE);
    }
    m_bInsideUpdate = FALSE;
}

void CScrollView::CheckScrollBars(BOOL& bHasHorzBar, BOOL& bHasVertBar) const
{
    DWORD style = GetStyle();
    CScrollBar* bar = GetScrollBarCtrl(SB_VERT);
    bHasVertBar = (bar && bar->IsWindowEnabled()) || (style & WS_VSCROLL);
    bar = GetScrollBarCtrl(SB_HORZ);
    bHasHorzBar = (bar && bar->IsWindowEnabled()) || (style & WS_HSCROLL);
}

// ---------------------------------------------------------------- scrolling

void CScrollView::OnSize(UINT nType, int, int)
{
    Default();
    if (nType == SIZE_MINIMIZED)
        return;
    if (m_nMapMode == MM_SCALETOFIT)
        Invalidate(TRUE);
    else
        UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar && pScrollBar->SendChildNotifyLastMsg())
        return; // the control handled it
    if (pScrollBar != GetScrollBarCtrl(SB_HORZ))
        return; // another control's bar
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar && pScrollBar->SendChildNotifyLastMsg())
        return;
    if (pScrollBar != GetScrollBarCtrl(SB_VERT))
        return;
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT, BOOL bDoScroll)
{
    auto step = [this](UINT code, int bar, int line, int page) -> int {
        int pos = GetScrollPos(bar);
        switch (code) {
        case SB_TOP:
            return -pos;
        case SB_BOTTOM:
            return INT_MAX / 2;
        case SB_LINEUP:
            return -line;
        case SB_LINEDOWN:
            return line;
        case SB_PAGEUP:
            return -page;
        case SB_PAGEDOWN:
            return page;
        case SB_THUMBTRACK: {
            // The 32-bit track position, not the 16-bit one of the message.
            SCROLLINFO info = {};
            GetScrollInfo(bar, &info, SIF_TRACKPOS);
            return info.nTrackPos - pos;
        }
        default:
            return 0;
        }
    };
    int dx = step(LOBYTE(nScrollCode), SB_HORZ, m_lineDev.cx, m_pageDev.cx);
    int dy = step(HIBYTE(nScrollCode), SB_VERT, m_lineDev.cy, m_pageDev.cy);
    BOOL moved = OnScrollBy(CSize(dx, dy), bDoScroll);
    if (moved && bDoScroll)
        UpdateWindow();
    return moved;
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    BOOL hasH = FALSE;
    BOOL hasV = FALSE;
    CheckScrollBars(hasH, hasV);
    if (!hasV)
        sizeScroll.cy = 0;
    if (!hasH)
        sizeScroll.cx = 0;
    int xOld = GetScrollPos(SB_HORZ);
    int yOld = GetScrollPos(SB_VERT);
    long long x = static_cast<long long>(xOld) + sizeScroll.cx;
    long long y = static_cast<long long>(yOld) + sizeScroll.cy;
    x = std::max(0LL, std::min(x, static_cast<long long>(GetScrollLimit(SB_HORZ))));
    y = std::max(0LL, std::min(y, static_cast<long long>(GetScrollLimit(SB_VERT))));
    if (x == xOld && y == yOld)
        return FALSE;
    if (bDoScroll) {
        ScrollWindow(xOld - static_cast<int>(x), yOld - static_cast<int>(y));
        if (x != xOld)
            SetScrollPos(SB_HORZ, static_cast<int>(x));
        if (y != yOld)
            SetScrollPos(SB_VERT, static_cast<int>(y));
    }
    return TRUE;
}

BOOL CScrollView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    return DoMouseWheel(nFlags, zDelta, pt);
}

BOOL CScrollView::DoMouseWheel(UINT fFlags, short zDelta, CPoint)
{
    if (fFlags & (MK_SHIFT | MK_CONTROL))
        return FALSE; // zooming and the like are not scrolling
    BOOL hasH = FALSE;
    BOOL hasV = FALSE;
    CheckScrollBars(hasH, hasV);
    if (!hasH && !hasV)
        return FALSE;
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int line = hasV ? m_lineDev.cy : m_lineDev.cx;
    const int page = hasV ? m_pageDev.cy : m_pageDev.cx;
    int displacement;
    if (lines == WHEEL_PAGESCROLL) {
        // Page-at-a-time scrolling: a page per notch, in the wheel's direction.
        displacement = zDelta > 0 ? -page : page;
    } else {
        displacement = ::MulDiv(-zDelta, static_cast<int>(lines), WHEEL_DELTA) * line;
        displacement = std::max(-page, std::min(displacement, page));
    }
    BOOL moved = OnScrollBy(hasV ? CSize(0, displacement) : CSize(displacement, 0), TRUE);
    if (moved)
        UpdateWindow();
    return moved;
}

void CScrollView::OnKeyDown(UINT nChar, UINT, UINT)
{
    switch (nChar) {
    case VK_UP:
        OnScroll(MAKEWORD(0xFF, SB_LINEUP), 0);
        break;
    case VK_DOWN:
        OnScroll(MAKEWORD(0xFF, SB_LINEDOWN), 0);
        break;
    case VK_PRIOR:
        OnScroll(MAKEWORD(0xFF, SB_PAGEUP), 0);
        break;
    case VK_NEXT:
        OnScroll(MAKEWORD(0xFF, SB_PAGEDOWN), 0);
        break;
    case VK_HOME:
        OnScroll(MAKEWORD(SB_TOP, SB_TOP), 0);
        break;
    case VK_END:
        OnScroll(MAKEWORD(0xFF, SB_BOTTOM), 0);
        break;
    case VK_LEFT:
        OnScroll(MAKEWORD(SB_LINEUP, 0xFF), 0);
        break;
    case VK_RIGHT:
        OnScroll(MAKEWORD(SB_LINEDOWN, 0xFF), 0);
        break;
    default:
        Default();
    }
}

// ---------------------------------------------------------------- fitting

void CScrollView::FillOutsideRect(CDC* pDC, CBrush* pBrush)
{
    CRect client;
    GetClientRect(&client);
    CPoint origin = -GetDeviceScrollPosition();
    // Right of and below the document, in device units.
    CRect right(origin.x + m_totalDev.cx, 0, client.right, client.bottom);
    CRect below(0, origin.y + m_totalDev.cy, client.right, client.bottom);
    int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    if (!right.IsRectEmpty())
        pDC->FillRect(right, pBrush);
    if (!below.IsRectEmpty())
        pDC->FillRect(below, pBrush);
    pDC->RestoreDC(saved);
}

void CScrollView::ResizeParentToFit(BOOL bShrinkOnly)
{
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        return;
    // The view's wanted size in frame coordinates, with the frame's bars kept.
    CRect wanted(0, 0, m_totalDev.cx, m_totalDev.cy);
    CalcWindowRect(&wanted, adjustOutside);
    CRect view;
    GetWindowRect(&view);
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    int dx = wanted.Width() - view.Width();
    int dy = wanted.Height() - view.Height();
    if (bShrinkOnly) {
        dx = std::min(dx, 0);
        dy = std::min(dy, 0);
    }
    frame->SetWindowPos(nullptr, 0, 0, frameRect.Width() + dx, frameRect.Height() + dy,
                        SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOZORDER);
}
