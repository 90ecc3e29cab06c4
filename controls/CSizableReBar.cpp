#include "controls/CSizableReBar.h"
#include "controls/CMenuBar.h"
#include "controls/CToolBarEx.h"
#include "controls/VyxWinAppEx.h"
#include "foundation/VyxSystem.h"

#include <algorithm>
#include <cwchar>
#include <vector>

IMPLEMENT_DYNAMIC(CSizableReBar, CControlBar)

BEGIN_MESSAGE_MAP(CSizableReBar, CControlBar)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_NCCALCSIZE()
ON_WM_NCHITTEST()
ON_WM_NCPAINT()
ON_WM_NCLBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_CONTEXTMENU()
ON_MESSAGE(WM_RECALCPARENT, OnRecalcParent)
ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
END_MESSAGE_MAP()

namespace {

const UINT kReBarCtrlId = 1;
const DWORD kReBarCtrlStyle = 0x56808648; // child, visible, clipping, border, double-click toggle, band
                                          // borders, variable height, no divider, no parent alignment
const UINT kLockTextId = 61990;

using BandInfo = VyxBandInfo;

// "wID=%04X,cx=%d,fStyle=%08X"
bool ParseBandItem(const CString& item, UINT& id, int& cx, DWORD& style)
{
    const wchar_t* p = item.GetString();
    auto field = [&p](const wchar_t* name, int base, long long& value) {
        size_t n = std::wcslen(name);
        if (std::wcsncmp(p, name, n) != 0)
            return false;
        p += n;
        wchar_t* end = nullptr;
        value = std::wcstoll(p, &end, base);
        if (end == p)
            return false;
        p = end;
        return true;
    };
    long long vId = 0, vCx = 0, vStyle = 0;
    if (!field(L"wID=", 16, vId) || *p++ != L',' || !field(L"cx=", 10, vCx) || *p++ != L',' ||
        !field(L"fStyle=", 16, vStyle) || *p != 0)
        return false;
    if (vId < 0 || vId > 0xFFFF || vCx < -32768 || vCx > 32767 || vStyle < 0 || vStyle > 0xFFFFFFFFLL)
        return false;
    id = static_cast<UINT>(vId);
    cx = static_cast<int>(vCx);
    style = static_cast<DWORD>(vStyle);
    return true;
}

bool IsToolBarWindow(HWND hWnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(hWnd, name, 32);
    return std::wcscmp(name, TOOLBARCLASSNAMEW) == 0;
}

} // namespace

CSizableReBar::CSizableReBar()
    : m_cbBandInfo(GetBandInfoSize()), m_nHitCode(0), m_cxStart(0), m_cyStart(0), m_xLast(0), m_yLast(0),
      m_bSizing(FALSE), m_cxEdge(3), m_cyEdge(3), m_hbmBack(nullptr), m_bShowBandList(TRUE), m_bAskBar(TRUE),
      m_bLocked(FALSE)
{
}

CSizableReBar::~CSizableReBar() = default;

// The XP layout, or that with the chevron fields (80 or 100 bytes in 32-bit code).
constexpr UINT kBandInfoXP = sizeof(REBARBANDINFOW);
constexpr UINT kBandInfoChevron = sizeof(REBARBANDINFOW) + sizeof(RECT) + sizeof(UINT);
static_assert(sizeof(void*) != 4 || (kBandInfoXP == 80 && kBandInfoChevron == 100), "the band layouts' sizes");

UINT PASCAL CSizableReBar::GetBandInfoSize()
{
    return GetComCtl32Version() < 0x60001 ? kBandInfoXP : kBandInfoChevron;
}

VyxBandInfo PASCAL CSizableReBar::MakeBandInfo(UINT cbSize, UINT fMask)
{
    VyxBandInfo info = {};
    info.cbSize = cbSize;
    info.fMask = fMask;
    return info;
}

void PASCAL CSizableReBar::SetBandSizes(HWND hWndReBar, UINT cbSize, UINT nBandID, UINT cxMinChild, UINT cyMinChild,
                                        UINT cxIdeal, BOOL bSizeNew)
{
    const int band = static_cast<int>(::SendMessageW(hWndReBar, RB_IDTOINDEX, nBandID, 0));
    if (band < 0)
        return;
    BandInfo info = MakeBandInfo(cbSize, RBBIM_SIZE);
    ::SendMessageW(hWndReBar, RB_GETBANDINFOW, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&info));
    const bool unsized = bSizeNew && info.cx == 0;
    info.fMask = RBBIM_CHILDSIZE | RBBIM_IDEALSIZE;
    info.cxMinChild = cxMinChild;
    info.cyMinChild = cyMinChild;
    info.cxIdeal = cxIdeal;
    if (unsized) {
        // Until the user or the saved state sizes it, the band shows its whole bar.
        RECT borders = {};
        ::SendMessageW(hWndReBar, RB_GETBANDBORDERS, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&borders));
        info.fMask |= RBBIM_SIZE;
        info.cx = cxIdeal + static_cast<UINT>(borders.left + borders.right);
    }
    ::SendMessageW(hWndReBar, RB_SETBANDINFOW, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&info));
}

void CSizableReBar::GiveBandARow(CWnd* pBar)
{
    const int band = pBar ? m_wndReBar.IDToIndex(static_cast<UINT>(pBar->GetDlgCtrlID())) : -1;
    if (band < 0)
        return;
    const int count = static_cast<int>(m_wndReBar.GetBandCount());
    for (int i : {band, band + 1}) {
        if (i < 1 || i >= count)
            continue; // the first band starts the first row anyway
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE);
        m_wndReBar.GetBandInfo(static_cast<UINT>(i), &info);
        if (info.fStyle & RBBS_BREAK)
            continue;
        info.fStyle |= RBBS_BREAK;
        m_wndReBar.SetBandInfo(static_cast<UINT>(i), &info);
    }
}

int CSizableReBar::GetFullBandWidth(CWnd* pBar)
{
    const int band = pBar ? m_wndReBar.IDToIndex(static_cast<UINT>(pBar->GetDlgCtrlID())) : -1;
    if (band < 0)
        return 0;
    BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_IDEALSIZE);
    m_wndReBar.GetBandInfo(static_cast<UINT>(band), &info);
    // Besides the bar the band holds its borders, gripper and, while it is short, the chevron.
    CRect whole, child;
    m_wndReBar.SendMessage(RB_GETRECT, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&whole));
    pBar->GetWindowRect(&child);
    return static_cast<int>(info.cxIdeal) + std::max(0, whole.Width() - child.Width());
}

BOOL CSizableReBar::Create(CWnd* pParentWnd, UINT nID, DWORD dwStyle)
{
    m_dwStyle = (dwStyle & 0x40FFF7) | CBRS_HIDE_INPLACE;
    LPCWSTR className = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    DWORD style = (dwStyle & ~0x40FFFFUL) | WS_CLIPCHILDREN;
    return CWnd::Create(className, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID);
}

int CSizableReBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CControlBar::OnCreate(lpcs) == -1)
        return -1;
    DWORD side = CCS_TOP;
    if (m_dwStyle & CBRS_ALIGN_BOTTOM)
        side = CCS_BOTTOM;
    else if (m_dwStyle & CBRS_ALIGN_LEFT)
        side = CCS_VERT | CCS_TOP;
    else if (m_dwStyle & CBRS_ALIGN_RIGHT)
        side = CCS_VERT | CCS_BOTTOM;
    if (!m_wndReBar.CreateEx(WS_EX_TOOLWINDOW, kReBarCtrlStyle | side, CRect(0, 0, 0, 0), this, kReBarCtrlId))
        return -1;
    return 0;
}

void CSizableReBar::OnSize(UINT, int cx, int cy)
{
    if (m_wndReBar.m_hWnd)
        m_wndReBar.MoveWindow(0, 0, cx, cy);
}

const BARINFO& CSizableReBar::GetBarInfo(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetBarCount())
        AfxThrowInvalidArgException();
    return m_aBars[nIndex];
}

// ---------------------------------------------------------------- bands

DWORD CSizableReBar::GripperStyle(DWORD dwStyle, BOOL bGripper) const
{
    if (m_bLocked || !bGripper)
        return (dwStyle | RBBS_NOGRIPPER) & ~RBBS_GRIPPERALWAYS;
    return (dwStyle & ~RBBS_NOGRIPPER) | RBBS_GRIPPERALWAYS;
}

BOOL CSizableReBar::AddBar(CWnd* pBar, LPCWSTR pszText, CBitmap*, DWORD dwStyle, LPCWSTR lpszName, BOOL bFixed,
                           BOOL bGripper)
{
    // The band's background is always the rebar's common bitmap.
    BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE | (pszText ? RBBIM_TEXT : 0));
    info.fStyle = dwStyle;
    info.lpText = const_cast<LPWSTR>(pszText);
    return InsertBand(pBar, info, lpszName, bFixed, bGripper);
}

BOOL CSizableReBar::AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCWSTR pszText, DWORD dwStyle,
                           LPCWSTR lpszName, BOOL bFixed, BOOL bGripper)
{
    BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE | RBBIM_COLORS | (pszText ? RBBIM_TEXT : 0));
    info.fStyle = dwStyle;
    info.clrFore = clrFore;
    info.clrBack = clrBack;
    info.lpText = const_cast<LPWSTR>(pszText);
    return InsertBand(pBar, info, lpszName, bFixed, bGripper);
}

BOOL CSizableReBar::InsertBand(CWnd* pBar, REBARBANDINFOW& info, LPCWSTR lpszName, BOOL bFixed, BOOL bGripper)
{
    BARINFO record = {};
    record.nID = static_cast<UINT>(pBar->GetDlgCtrlID());
    if (lpszName)
        lstrcpynW(record.szName, lpszName, 260); // cut to 259 and the terminator
    record.bFixed = bFixed;
    record.bGripper = bGripper;
    m_aBars.Add(record);

    info.cbSize = m_cbBandInfo;
    info.fMask |= RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_BACKGROUND | RBBIM_ID;
    info.hbmBack = m_hbmBack;
    info.wID = record.nID;
    info.hwndChild = pBar->m_hWnd;
    const BOOL horizontal = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CSize size;
    if (auto* bar = DYNAMIC_DOWNCAST(CControlBar, pBar)) {
        // The band draws the bar's edges: border lines of its own would take its buttons' room.
        if (bar->GetBarStyle() & (CBRS_BORDER_ANY | CBRS_BORDER_3D)) {
            bar->SetBarStyle(bar->GetBarStyle() & ~(CBRS_BORDER_ANY | CBRS_BORDER_3D));
            bar->SetWindowPos(nullptr, 0, 0, 0, 0,
                              SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        size = bar->CalcFixedLayout(FALSE, horizontal);
        if (!horizontal)
            size = CSize(size.cy, size.cx);
    } else {
        CRect rect;
        pBar->GetWindowRect(&rect);
        size = rect.Size();
    }
    info.cxMinChild = static_cast<UINT>(std::max(0L, size.cx));
    info.cyMinChild = static_cast<UINT>(std::max(0L, size.cy));
    info.fStyle = GripperStyle(info.fStyle, bGripper);
    if (pBar->IsKindOf(RUNTIME_CLASS(CMenuBar)) || pBar->IsKindOf(RUNTIME_CLASS(CToolBarEx)))
        info.fStyle |= RBBS_USECHEVRON;
    if (!m_wndReBar.InsertBand(static_cast<UINT>(-1), &info))
        return FALSE;
    // The bar's notifications, commands and status texts come to the rebar from now on; a tool
    // bar control keeps its own notify window, so it is told too.
    pBar->SetOwner(this);
    if (IsToolBarWindow(pBar->m_hWnd))
        pBar->SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd));
    if (CFrameWnd* frame = GetParentFrame())
        frame->RecalcLayout(TRUE);
    return TRUE;
}

BOOL CSizableReBar::SetBackground(CBitmap* pBitmap)
{
    m_hbmBack = pBitmap ? static_cast<HBITMAP>(pBitmap->GetSafeHandle()) : nullptr;
    const UINT count = m_wndReBar.GetBandCount();
    for (UINT i = 0; i < count; ++i) {
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_BACKGROUND);
        info.hbmBack = m_hbmBack;
        m_wndReBar.SetBandInfo(i, &info);
    }
    return TRUE;
}

void CSizableReBar::SetMenuOptions(BOOL bShowBandList, BOOL bAskBar)
{
    m_bShowBandList = bShowBandList;
    m_bAskBar = bAskBar;
}

BOOL CSizableReBar::SetLocked(BOOL bLocked)
{
    BOOL old = m_bLocked;
    if ((old != FALSE) != (bLocked != FALSE))
        ApplyLock(bLocked);
    return old;
}

void CSizableReBar::ApplyLock(BOOL bLocked)
{
    m_bLocked = bLocked ? TRUE : FALSE;
    const UINT count = m_wndReBar.GetBandCount();
    for (UINT i = 0; i < count; ++i) {
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE | RBBIM_ID);
        if (!m_wndReBar.GetBandInfo(i, &info))
            continue;
        BOOL gripper = TRUE;
        for (INT_PTR j = 0; j < m_aBars.GetSize(); ++j) {
            if (m_aBars[j].nID == info.wID)
                gripper = m_aBars[j].bGripper;
        }
        info.fMask = RBBIM_STYLE;
        info.fStyle = GripperStyle(info.fStyle, gripper);
        m_wndReBar.SetBandInfo(i, &info);
    }
    // The sizing edge comes or goes with the lock.
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (CFrameWnd* frame = GetParentFrame())
        frame->DelayRecalcLayout(TRUE);
}

void CSizableReBar::ShowBarWindow(HWND hWndBar, BOOL bShow)
{
    CWnd* bar = CWnd::FromHandlePermanent(hWndBar);
    if (!bar || ((bar->GetStyle() & WS_VISIBLE) != 0) == (bShow != FALSE))
        return;
    bar->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    if (auto* controlBar = DYNAMIC_DOWNCAST(CControlBar, bar))
        controlBar->DelayShow(bShow); // nothing left pending
}

// ---------------------------------------------------------------- layout and the sizing edge

CSize CSizableReBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

CSize CSizableReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    const UINT count = m_wndReBar.m_hWnd ? m_wndReBar.GetBandCount() : 0;
    for (UINT i = 0; i < count; ++i) {
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE | RBBIM_CHILD);
        if (!m_wndReBar.GetBandInfo(i, &info) || !info.hwndChild)
            continue;
        CWnd* child = CWnd::FromHandlePermanent(info.hwndChild);
        auto* bar = DYNAMIC_DOWNCAST(CControlBar, child);
        BOOL visible = bar ? bar->IsVisible() : (::GetWindowLongW(info.hwndChild, GWL_STYLE) & WS_VISIBLE) != 0;
        if (visible == ((info.fStyle & RBBS_HIDDEN) != 0))
            m_wndReBar.ShowBand(i, visible);
    }
    CSize size(0, 0);
    if (m_wndReBar.m_hWnd) {
        CRect rect;
        m_wndReBar.GetWindowRect(&rect);
        size = rect.Size();
    }
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    if (!m_bLocked) {
        if ((m_dwStyle & CBRS_ORIENT_VERT) && size.cx != 0)
            size.cx += m_cxEdge;
        if ((m_dwStyle & CBRS_ORIENT_HORZ) && size.cy != 0)
            size.cy += m_cyEdge;
    }
    return size;
}

void CSizableReBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    // The bars of the bands update themselves: they are the frame's descendants.
}

int CSizableReBar::EdgeHitCode() const
{
    if (m_dwStyle & CBRS_ALIGN_BOTTOM)
        return HTTOP;
    if (m_dwStyle & CBRS_ALIGN_LEFT)
        return HTRIGHT;
    if (m_dwStyle & CBRS_ALIGN_RIGHT)
        return HTLEFT;
    return HTBOTTOM;
}

CRect CSizableReBar::EdgeRect(const CRect& window) const
{
    CRect edge = window;
    switch (EdgeHitCode()) {
    case HTTOP:
        edge.bottom = edge.top + m_cyEdge;
        break;
    case HTRIGHT:
        edge.left = edge.right - m_cxEdge;
        break;
    case HTLEFT:
        edge.right = edge.left + m_cxEdge;
        break;
    default:
        edge.top = edge.bottom - m_cyEdge;
        break;
    }
    return edge;
}

void CSizableReBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    Default();
    if (m_bLocked)
        return;
    RECT& client = lpncsp->rgrc[0];
    switch (EdgeHitCode()) {
    case HTTOP:
        client.top += m_cyEdge;
        break;
    case HTRIGHT:
        client.right -= m_cxEdge;
        break;
    case HTLEFT:
        client.left += m_cxEdge;
        break;
    default:
        client.bottom -= m_cyEdge;
        break;
    }
    if (client.bottom < client.top)
        client.bottom = client.top;
    if (client.right < client.left)
        client.right = client.left;
}

LRESULT CSizableReBar::OnNcHitTest(CPoint point)
{
    if (m_bLocked)
        return HTCLIENT;
    CRect window;
    GetWindowRect(&window);
    return EdgeRect(window).PtInRect(point) ? EdgeHitCode() : HTCLIENT;
}

void CSizableReBar::OnNcPaint()
{
    Default();
    if (m_bLocked)
        return;
    CWindowDC dc(this);
    CRect window;
    GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    CRect edge = EdgeRect(window);
    dc.FillSolidRect(edge, ::GetSysColor(COLOR_BTNFACE));
    // An etched line along the strip shows where to grab it.
    const bool across = EdgeHitCode() == HTTOP || EdgeHitCode() == HTBOTTOM;
    CRect line = edge;
    if (across) {
        line.top += (edge.Height() - 2) / 2;
        line.bottom = line.top + 2;
    } else {
        line.left += (edge.Width() - 2) / 2;
        line.right = line.left + 2;
    }
    dc.Draw3dRect(line, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

void CSizableReBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    if (nHitTest < HTLEFT || nHitTest > HTBOTTOMRIGHT || m_bSizing) {
        Default();
        return;
    }
    SetCapture();
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    CRect client;
    GetClientRect(&client);
    m_cxStart = client.Width();
    m_cyStart = client.Height();
    m_nHitCode = static_cast<int>(nHitTest);
    m_xLast = point.x;
    m_yLast = point.y;
    m_bSizing = TRUE;
}

void CSizableReBar::OnMouseMove(UINT, CPoint point)
{
    if (!m_bSizing) {
        Default();
        return;
    }
    ClientToScreen(&point);
    const int dx = point.x - m_xLast;
    const int dy = point.y - m_yLast;
    int cx = m_cxStart;
    int cy = m_cyStart;
    switch (m_nHitCode) {
    case HTLEFT:
        cx -= dx;
        break;
    case HTRIGHT:
        cx += dx;
        break;
    case HTTOP:
        cy -= dy;
        break;
    case HTBOTTOM:
        cy += dy;
        break;
    default:
        return;
    }
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    if (cx == m_cxStart && cy == m_cyStart)
        return;
    m_xLast = point.x;
    m_yLast = point.y;
    m_cxStart = cx;
    m_cyStart = cy;
    CRect rect(0, 0, cx, cy);
    m_wndReBar.SizeToRect(rect);
}

void CSizableReBar::OnLButtonUp(UINT, CPoint)
{
    if (!m_bSizing) {
        Default();
        return;
    }
    m_bSizing = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CSizableReBar::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bSizing && pWnd != this)
        m_bSizing = FALSE;
    Default();
}

// ---------------------------------------------------------------- context menu

void CSizableReBar::OnContextMenu(CWnd*, CPoint point)
{
    if (!m_bShowBandList && !m_bAskBar)
        return;
    if (point.x == -1 && point.y == -1) // from the keyboard
        ::GetCursorPos(&point);
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    if (m_bShowBandList) {
        for (INT_PTR i = 0; i < m_aBars.GetSize(); ++i) {
            const BARINFO& record = m_aBars[i];
            int band = m_wndReBar.IDToIndex(record.nID);
            if (!record.szName[0] || band < 0)
                continue;
            BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE);
            m_wndReBar.GetBandInfo(static_cast<UINT>(band), &info);
            UINT flags = MF_STRING | ((info.fStyle & RBBS_HIDDEN) ? 0 : MF_CHECKED) | (record.bFixed ? MF_GRAYED : 0);
            menu.AppendMenu(flags, record.nID, record.szName);
        }
        menu.AppendMenu(MF_SEPARATOR);
        CString lock;
        lock.LoadString(kLockTextId);
        menu.AppendMenu(MF_STRING | (m_bLocked ? MF_CHECKED : 0), ID_REBAR_LOCK, lock);
    }
    HWND hWndAsked = nullptr;
    if (m_bAskBar) {
        RBHITTESTINFO hit = {};
        hit.pt = point;
        m_wndReBar.ScreenToClient(&hit.pt);
        int band = m_wndReBar.HitTest(&hit);
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_CHILD);
        if (band >= 0 && m_wndReBar.GetBandInfo(static_cast<UINT>(band), &info) && info.hwndChild) {
            hWndAsked = info.hwndChild;
            ::SendMessageW(hWndAsked, WM_REBAR_CONTEXTMENU, reinterpret_cast<WPARAM>(&menu), 0);
        }
    }
    if (menu.GetMenuItemCount() == 0)
        return;
    if (VyxWinAppEx* app = VyxGetAppEx())
        app->PrepareMenuImages(&menu, TRUE);
    CWnd* owner = GetParentFrame();
    UINT command = static_cast<UINT>(
        menu.TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, owner ? owner : this));
    if (command == 0 || !m_hWnd)
        return;
    for (INT_PTR i = 0; i < m_aBars.GetSize(); ++i) {
        if (m_aBars[i].nID != command)
            continue;
        int band = m_wndReBar.IDToIndex(command);
        if (band < 0)
            return;
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE | RBBIM_CHILD);
        m_wndReBar.GetBandInfo(static_cast<UINT>(band), &info);
        const BOOL show = (info.fStyle & RBBS_HIDDEN) != 0;
        m_wndReBar.ShowBand(static_cast<UINT>(band), show);
        ShowBarWindow(info.hwndChild, show);
        RecalcParentLayout();
        return;
    }
    if (command == ID_REBAR_LOCK) {
        ApplyLock(!m_bLocked);
        return;
    }
    if (hWndAsked && ::IsWindow(hWndAsked))
        ::SendMessageW(hWndAsked, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// ---------------------------------------------------------------- notifications

void CSizableReBar::RecalcParentLayout()
{
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        return;
    if (frame->m_bInRecalcLayout)
        PostMessage(WM_RECALCPARENT);
    else
        frame->RecalcLayout();
}

LRESULT CSizableReBar::OnRecalcParent(WPARAM, LPARAM)
{
    if (CFrameWnd* frame = GetParentFrame())
        frame->RecalcLayout();
    return 0;
}

BOOL CSizableReBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom != m_wndReBar.m_hWnd || header->idFrom != kReBarCtrlId)
        return CControlBar::OnNotify(wParam, lParam, pResult); // a bar's own: reflected, else its owner
    *pResult = 0;
    switch (header->code) {
    case RBN_CHEVRONPUSHED: {
        auto* chevron = reinterpret_cast<NMREBARCHEVRON*>(lParam);
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_CHILD);
        if (m_wndReBar.GetBandInfo(chevron->uBand, &info) && info.hwndChild) {
            CRect rect = chevron->rc;
            m_wndReBar.ClientToScreen(&rect);
            ::SendMessageW(info.hwndChild, WM_REBAR_CHEVRONPUSHED, reinterpret_cast<WPARAM>(&rect), chevron->lParamNM);
        }
        return TRUE;
    }
    case RBN_CHILDSIZE: {
        auto* child = reinterpret_cast<NMREBARCHILDSIZE*>(lParam);
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_CHILD);
        if (m_wndReBar.GetBandInfo(child->uBand, &info) && info.hwndChild) {
            CRect band = child->rcBand;
            CRect rect = child->rcChild;
            ::SendMessageW(info.hwndChild, WM_REBAR_CHILDSIZE, reinterpret_cast<WPARAM>(&band),
                           reinterpret_cast<LPARAM>(&rect));
        }
        return TRUE;
    }
    case RBN_ENDDRAG:
    case RBN_HEIGHTCHANGE:
        RecalcParentLayout();
        return TRUE;
    default:
        if (CWnd* parent = GetParent())
            *pResult = parent->SendMessage(WM_NOTIFY, kReBarCtrlId, lParam);
        return TRUE;
    }
}

LRESULT CSizableReBar::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    CWnd* owner = GetOwner();
    return owner && owner->m_hWnd ? owner->SendMessage(WM_SETMESSAGESTRING, wParam, lParam) : 0;
}

LRESULT CSizableReBar::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    CWnd* owner = GetOwner();
    return owner && owner->m_hWnd ? owner->SendMessage(WM_POPMESSAGESTRING, wParam, lParam) : 0;
}

// ---------------------------------------------------------------- band state in the profile

void CSizableReBar::SaveState(LPCWSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    // A shown band is saved as it lies: a row break where it starts a row, and its width on
    // screen unless it ends its row (the last band of a row takes what the row leaves, so its own
    // width stays the one asked for). The rebar breaks a row that is too full without marking the
    // band, and a band never sized keeps the width 0 in its record (under Wine whatever it shows).
    const bool vertical = (m_wndReBar.GetStyle() & CCS_VERT) != 0;
    const UINT count = m_wndReBar.GetBandCount();
    std::vector<BandInfo> bands;
    std::vector<CRect> rects;
    std::vector<bool> shown;
    for (UINT i = 0; i < count; ++i) {
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE);
        m_wndReBar.GetBandInfo(i, &info);
        CRect rect;
        shown.push_back(!(info.fStyle & RBBS_HIDDEN) && m_wndReBar.GetRect(i, &rect));
        bands.push_back(info);
        rects.push_back(rect);
    }
    auto rowOf = [&](const CRect& rect) { return vertical ? rect.left : rect.top; };
    CString state;
    int previous = -1; // the last shown band before this one
    for (UINT i = 0; i < count; ++i) {
        BandInfo& info = bands[i];
        if (shown[i]) {
            if (previous >= 0 && rowOf(rects[i]) != rowOf(rects[previous]))
                info.fStyle |= RBBS_BREAK;
            UINT next = i + 1;
            while (next < count && !shown[next])
                ++next;
            if (next < count && rowOf(rects[next]) == rowOf(rects[i]))
                info.cx = static_cast<UINT>(vertical ? rects[i].Height() : rects[i].Width());
            previous = static_cast<int>(i);
        }
        CString item;
        item.Format(L"wID=%04X,cx=%d,fStyle=%08X", info.wID, static_cast<int>(info.cx), info.fStyle);
        if (!state.IsEmpty())
            state += L"&";
        state += item;
    }
    app->WriteProfileInt(lpszProfileName, L"Version", 1);
    app->WriteProfileInt(lpszProfileName, L"Locked", m_bLocked ? 1 : 0);
    app->WriteProfileString(lpszProfileName, L"BandStateInfo", state);
}

void CSizableReBar::LoadState(LPCWSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app || static_cast<int>(app->GetProfileInt(lpszProfileName, L"Version", -1)) != 1)
        return;
    m_bLocked = app->GetProfileInt(lpszProfileName, L"Locked", 0) != 0;
    CString state = app->GetProfileString(lpszProfileName, L"BandStateInfo", L"");
    const UINT count = m_wndReBar.GetBandCount();
    UINT position = 0;
    CString item;
    for (int n = 0; position < count && AfxExtractSubString(item, state, n, L'&'); ++n) {
        UINT id = 0;
        int cx = 0;
        DWORD style = 0;
        // A malformed item, or one whose band is gone, is passed over: it must not size another band.
        if (!ParseBandItem(item, id, cx, style))
            continue;
        int band = m_wndReBar.IDToIndex(id);
        if (band < 0)
            continue;
        // Each change lays the bands out again: a band already in its place is not moved, and
        // one the style just set shows is not shown again.
        if (static_cast<UINT>(band) != position)
            m_wndReBar.MoveBand(static_cast<UINT>(band), position);
        BandInfo info = MakeBandInfo(m_cbBandInfo, RBBIM_STYLE | RBBIM_CHILD);
        m_wndReBar.GetBandInfo(position, &info);
        const BOOL hidden = (style & RBBS_HIDDEN) != 0;
        // A band saved without a width of its own (never sized, the last of its row) keeps the
        // width it has: a width of 0 set on it would leave it no room under Wine.
        info.fMask = cx > 0 ? RBBIM_STYLE | RBBIM_SIZE : RBBIM_STYLE;
        info.fStyle = (info.fStyle & ~(RBBS_BREAK | RBBS_HIDDEN)) | (style & ~RBBS_HIDDEN);
        info.cx = static_cast<UINT>(std::max(cx, 0));
        m_wndReBar.SetBandInfo(position, &info);
        // A band saved hidden stays hidden, with its bar, through the next layout.
        if (hidden)
            m_wndReBar.ShowBand(position, FALSE);
        ShowBarWindow(info.hwndChild, !hidden);
        ++position;
    }
    ApplyLock(m_bLocked);
}
