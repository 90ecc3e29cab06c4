#include "framework/CControlBar.h"
#include "framework/AfxRes.h"
#include "framework/CDC.h"
#include "framework/CFrameWnd.h"
#include "framework/CPaintDC.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_TIMER()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {

const UINT_PTR kFlyByTimer = 0xE000;

} // namespace

CControlBar::CControlBar()
    : m_bAutoDelete(FALSE), m_cxLeftBorder(6), m_cxRightBorder(6), m_cyTopBorder(2), m_cyBottomBorder(2),
      m_cxDefaultGap(2), m_nMRUWidth(32767), m_nCount(0), m_pData(nullptr), m_nStateFlags(0), m_dwStyle(0),
      m_dwDockStyle(0), m_pDockSite(nullptr), m_nIDFlyBy(0)
{
}

CControlBar::~CControlBar()
{
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    std::free(m_pData);
    m_pData = nullptr;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    DWORD old = m_dwStyle;
    m_dwStyle = dwStyle & CBRS_ALL;
    // The borders are drawn from the style: a change repaints them.
    if (m_hWnd && ((old ^ m_dwStyle) & (CBRS_BORDER_ANY | CBRS_BORDER_3D)))
        Invalidate();
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    const BOOL visible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !visible)
        m_nStateFlags |= delayShow;
    else if (!bShow && visible)
        m_nStateFlags |= delayHide;
}

// ---------------------------------------------------------------- layout

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CSize(bStretch && bHorz ? 32767 : 0, bStretch && !bHorz ? 32767 : 0);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL) const
{
    // The drawn borders first, then the spacing.
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += 1;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += 1;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= 1;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= 1;
    rect.left += m_cxLeftBorder;
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD style = GetStyle();
    if (!(m_nStateFlags & (delayHide | delayShow)))
        return style;
    const DWORD willBe = (m_nStateFlags & delayShow) ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE);
    if (lpLayout->hDWP) {
        // A real layout: the pending show or hide happens now, with the moves.
        UINT flags = (m_nStateFlags & delayShow) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0,
                                          flags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_nStateFlags &= ~(delayHide | delayShow);
    }
    return willBe;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    DWORD style = RecalcDelayShow(layout);
    if (!(style & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY))
        return 0;
    CRect rect(layout->rect);
    CSize available = rect.Size();
    DWORD mode = layout->bStretch ? LM_STRETCH : 0;
    mode |= (m_dwStyle & CBRS_ORIENT_HORZ) ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, mode);
    size.cx = std::min(size.cx, available.cx);
    size.cy = std::min(size.cy, available.cy);
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        layout->sizeTotal.cy += size.cy;
        layout->sizeTotal.cx = std::max(layout->sizeTotal.cx, size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            layout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            layout->rect.bottom -= size.cy;
        }
    } else {
        layout->sizeTotal.cx += size.cx;
        layout->sizeTotal.cy = std::max(layout->sizeTotal.cy, size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            layout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            layout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    if (layout->hDWP)
        AfxRepositionWindow(layout, m_hWnd, &rect);
    return 0;
}

// ---------------------------------------------------------------- idle updates and forwarding

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // Pending shows and hides happen at idle time at the latest.
    const BOOL visible = (GetStyle() & WS_VISIBLE) != 0;
    UINT flags = 0;
    if ((m_nStateFlags & delayHide) && visible)
        flags = SWP_HIDEWINDOW;
    else if ((m_nStateFlags & delayShow) && !visible)
        flags = SWP_SHOWWINDOW;
    m_nStateFlags &= ~(delayHide | delayShow);
    if (flags)
        SetWindowPos(nullptr, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetStyle() & WS_VISIBLE) {
        // The owner routes the updates when it is a frame, else the frame the bar lives in.
        CWnd* owner = GetOwner();
        CFrameWnd* target = owner && owner->IsFrameWnd() ? static_cast<CFrameWnd*>(owner) : GetParentFrame();
        if (target)
            OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
    }
    return 0;
}

LRESULT CControlBar::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
        // What the bar does not handle itself belongs to its owner (the frame).
        LRESULT result = 0;
        if (OnWndMsg(nMsg, wParam, lParam, &result))
            return result;
        CWnd* owner = GetOwner();
        return owner && owner->m_hWnd ? owner->SendMessage(nMsg, wParam, lParam) : DefWindowProc(nMsg, wParam, lParam);
    }
    default:
        return CWnd::WindowProc(nMsg, wParam, lParam);
    }
}

// ---------------------------------------------------------------- fly-by prompts

BOOL CControlBar::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // With CBRS_FLYBY the status bar shows the prompt of the item under the mouse.
    if ((m_dwStyle & CBRS_FLYBY) && pMsg->message == WM_MOUSEMOVE && pMsg->hwnd == m_hWnd) {
        POINT point = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
        INT_PTR hit = OnToolHitTest(point, nullptr);
        UINT id = hit > 0 ? static_cast<UINT>(hit) : 0;
        if (id != m_nIDFlyBy) {
            CWnd* owner = GetOwner();
            if (owner && owner->m_hWnd) {
                if (id != 0)
                    owner->SendMessage(WM_SETMESSAGESTRING, id);
                else
                    owner->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
            }
            m_nIDFlyBy = id;
            if (id != 0)
                SetTimer(kFlyByTimer, 200, nullptr);
        }
    }
    return FALSE;
}

void CControlBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kFlyByTimer) {
        Default();
        return;
    }
    // The mouse left the bar: the prompt goes.
    POINT point;
    ::GetCursorPos(&point);
    if (::WindowFromPoint(point) != m_hWnd)
        EndFlyBy();
}

void CControlBar::EndFlyBy()
{
    KillTimer(kFlyByTimer);
    if (m_nIDFlyBy == 0)
        return;
    m_nIDFlyBy = 0;
    CWnd* owner = GetOwner();
    if (owner && owner->m_hWnd)
        owner->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
}

// ---------------------------------------------------------------- life and painting

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // The frame above keeps the bar in its list (ShowControlBar, OnBarCheck, print preview).
    m_pDockSite = GetParentFrame();
    if (m_pDockSite)
        m_pDockSite->AddControlBar(this);
    return 0;
}

void CControlBar::OnDestroy()
{
    KillTimer(kFlyByTimer);
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    Default();
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    // Bars of the class library's own window class are button-face coloured.
    if (m_pfnSuper)
        return CWnd::OnEraseBkgnd(pDC);
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(client, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void CControlBar::OnPaint()
{
    // Common controls paint themselves.
    if (m_pfnSuper) {
        Default();
        return;
    }
    CPaintDC dc(this);
    DoPaint(&dc);
}

void CControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(pDC, rect);
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    // One-pixel etched lines on the sides the style names.
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (m_dwStyle & CBRS_BORDER_TOP)
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, shadow);
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, light);
    if (m_dwStyle & CBRS_BORDER_LEFT)
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), shadow);
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), light);
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += 1;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += 1;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= 1;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= 1;
}
