#include "framework/CSplitterWnd.h"
#include "framework/AfxRes.h"
#include "framework/CCreateContext.h"
#include "framework/CDC.h"
#include "framework/CException.h"
#include "framework/CFrameWnd.h"
#include "framework/CPaintDC.h"
#include "framework/CStdControls.h"
#include "framework/CView.h"
#include "framework/ModuleState.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_SETCURSOR()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_CANCELMODE()
ON_WM_KEYDOWN()
ON_WM_CAPTURECHANGED()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

namespace {

const int kMaxPanes = 16;

void DeferClientPos(HDWP& hDWP, HWND hWnd, int x, int y, int cx, int cy)
{
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    RECT now;
    ::GetWindowRect(hWnd, &now);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&now), 2);
    RECT wanted = {x, y, x + cx, y + cy};
    if (::EqualRect(&now, &wanted))
        return;
    if (hDWP)
        hDWP = ::DeferWindowPos(hDWP, hWnd, nullptr, x, y, cx, cy, SWP_NOACTIVATE | SWP_NOZORDER);
    if (!hDWP)
        ::SetWindowPos(hWnd, nullptr, x, y, cx, cy, SWP_NOACTIVATE | SWP_NOZORDER);
}

} // namespace

CSplitterWnd::CSplitterWnd()
    : m_pDynamicViewClass(nullptr), m_nMaxRows(0), m_nMaxCols(0), m_cxSplitter(7), m_cySplitter(7), m_cxBorderShare(0),
      m_cyBorderShare(0), m_cxSplitterGap(7), m_cySplitterGap(7), m_cxBorder(2), m_cyBorder(2), m_nRows(0), m_nCols(0),
      m_bHasHScroll(FALSE), m_bHasVScroll(FALSE), m_pColInfo(nullptr), m_pRowInfo(nullptr), m_bTracking(FALSE),
      m_bTracking2(FALSE), m_htTrack(kNoHit)
{
}

CSplitterWnd::~CSplitterWnd()
{
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || nRows < 1 || nCols < 1 || nRows > kMaxPanes || nCols > kMaxPanes)
        AfxThrowInvalidArgException();
    m_nRows = m_nMaxRows = nRows;
    m_nCols = m_nMaxCols = nCols;
    if (!CreateCommon(pParentWnd, CSize(0, 0), dwStyle, nID))
        return FALSE;
    return TRUE;
}

BOOL CSplitterWnd::CreateCommon(CWnd* pParentWnd, SIZE, DWORD dwStyle, UINT nID)
{
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
    m_pRowInfo = new CRowColInfo[m_nMaxRows];
    m_pColInfo = new CRowColInfo[m_nMaxCols];
    for (int i = 0; i < m_nMaxRows; ++i)
        m_pRowInfo[i] = {0, 0, 0};
    for (int i = 0; i < m_nMaxCols; ++i)
        m_pColInfo[i] = {0, 0, 0};
    // Shared scroll bars are the splitter's own children, not window scroll bars.
    DWORD scrollStyle = dwStyle & (WS_HSCROLL | WS_VSCROLL);
    dwStyle &= ~(WS_HSCROLL | WS_VSCROLL | WS_BORDER);
    LPCWSTR className =
        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!CreateEx(0, className, nullptr, dwStyle | WS_CHILD | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParentWnd, nID,
                  nullptr))
        return FALSE;
    // The splitter draws the panes' borders itself: a frame's own sunken edge would double them.
    if (pParentWnd->IsFrameWnd())
        pParentWnd->ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_DRAWFRAME);
    SetScrollStyle(scrollStyle);
    return TRUE;
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || !pViewClass)
        AfxThrowInvalidArgException();
    if (GetDlgItem(IdFromRowCol(row, col)))
        return FALSE; // the cell has its pane already
    m_pRowInfo[row].nIdealSize = sizeInit.cy;
    m_pColInfo[col].nIdealSize = sizeInit.cx;
    CObject* object = pViewClass->CreateObject();
    CWnd* view = DYNAMIC_DOWNCAST(CWnd, object);
    if (!view) {
        delete object;
        return FALSE;
    }
    CRect rect(CPoint(0, 0), sizeInit);
    // The splitter draws the borders: the view comes without one. A view that fails deletes itself.
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (!view->Create(nullptr, nullptr, style, rect, this, static_cast<UINT>(IdFromRowCol(row, col)), pContext))
        return FALSE;
    if (::IsWindowVisible(m_hWnd))
        RecalcLayout();
    return TRUE;
}

// ---------------------------------------------------------------- rows, columns and panes

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    if (row < 0 || row >= m_nMaxRows)
        AfxThrowInvalidArgException();
    cyCur = m_pRowInfo[row].nCurSize;
    cyMin = m_pRowInfo[row].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= m_nMaxRows || cyIdeal < 0 || cyMin < 0)
        AfxThrowInvalidArgException();
    m_pRowInfo[row].nIdealSize = cyIdeal;
    m_pRowInfo[row].nMinSize = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    if (col < 0 || col >= m_nMaxCols)
        AfxThrowInvalidArgException();
    cxCur = m_pColInfo[col].nCurSize;
    cxMin = m_pColInfo[col].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= m_nMaxCols || cxIdeal < 0 || cxMin < 0)
        AfxThrowInvalidArgException();
    m_pColInfo[col].nIdealSize = cxIdeal;
    m_pColInfo[col].nMinSize = cxMin;
}

int CSplitterWnd::IdFromRowCol(int row, int col) const
{
    return AFX_IDW_PANE_FIRST + row * 16 + col;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        AfxThrowInvalidArgException();
    return GetDlgItem(IdFromRowCol(row, col));
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (!pWnd || !pWnd->m_hWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd)
        return FALSE;
    int id = pWnd->GetDlgCtrlID() - AFX_IDW_PANE_FIRST;
    int row = id / 16;
    int col = id % 16;
    if (id < 0 || row >= m_nRows || col >= m_nCols)
        return FALSE;
    if (pRow)
        *pRow = row;
    if (pCol)
        *pCol = col;
    return TRUE;
}

DWORD CSplitterWnd::GetScrollStyle() const
{
    DWORD style = 0;
    if (m_bHasHScroll)
        style |= WS_HSCROLL;
    if (m_bHasVScroll)
        style |= WS_VSCROLL;
    return style;
}

void CSplitterWnd::SetScrollStyle(DWORD dwStyle)
{
    m_bHasHScroll = (dwStyle & WS_HSCROLL) != 0;
    m_bHasVScroll = (dwStyle & WS_VSCROLL) != 0;
    if (!m_hWnd)
        return;
    // One bar per column below, one per row on the right, and a size box where they meet.
    for (int col = 0; col < m_nMaxCols; ++col) {
        HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_HSCROLL_FIRST + col);
        if (m_bHasHScroll && !bar)
            CreateScrollBarCtrl(SBS_HORZ, AFX_IDW_HSCROLL_FIRST + col);
        else if (!m_bHasHScroll && bar)
            ::DestroyWindow(bar);
    }
    for (int row = 0; row < m_nMaxRows; ++row) {
        HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_VSCROLL_FIRST + row);
        if (m_bHasVScroll && !bar)
            CreateScrollBarCtrl(SBS_VERT, AFX_IDW_VSCROLL_FIRST + row);
        else if (!m_bHasVScroll && bar)
            ::DestroyWindow(bar);
    }
    HWND box = ::GetDlgItem(m_hWnd, AFX_IDW_SIZE_BOX);
    if (m_bHasHScroll && m_bHasVScroll && !box)
        CreateScrollBarCtrl(SBS_SIZEBOX | WS_DISABLED, AFX_IDW_SIZE_BOX);
    else if (!(m_bHasHScroll && m_bHasVScroll) && box)
        ::DestroyWindow(box);
}

BOOL CSplitterWnd::CreateScrollBarCtrl(DWORD dwStyle, UINT nID)
{
    return ::CreateWindowExW(0, L"SCROLLBAR", nullptr, dwStyle | WS_VISIBLE | WS_CHILD, 0, 0, 1, 1, m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AfxGetInstanceHandle(),
                             nullptr) != nullptr;
}

CWnd* CSplitterWnd::GetSizingParent()
{
    for (CWnd* up = GetParent(); up; up = up->GetParent()) {
        if (up->IsFrameWnd())
            return (up->GetStyle() & WS_THICKFRAME) && !up->IsZoomed() ? up : nullptr;
    }
    return nullptr;
}

// ---------------------------------------------------------------- layout

void CSplitterWnd::LayoutRowCol(CRowColInfo* pInfo, int nMax, int nSize, int nSizeSplitter)
{
    int remaining = std::max(nSize, 0);
    for (int i = 0; i < nMax; ++i) {
        CRowColInfo& info = pInfo[i];
        bool last = i == nMax - 1;
        if (remaining == 0) {
            info.nCurSize = 0;
            continue;
        }
        int wanted = last ? remaining : (info.nIdealSize < info.nMinSize ? 0 : info.nIdealSize);
        if (i > 0 && remaining < info.nMinSize) {
            // Too small to show: the space goes to the pane before, with the bar that would
            // have separated them.
            pInfo[i - 1].nCurSize += remaining + nSizeSplitter;
            info.nCurSize = 0;
            remaining = 0;
            continue;
        }
        info.nCurSize = std::min(wanted, remaining);
        remaining -= info.nCurSize;
        if (!last) {
            if (remaining > nSizeSplitter) {
                remaining -= nSizeSplitter;
            } else {
                info.nCurSize += remaining; // no room for another pane
                remaining = 0;
            }
        }
    }
}

void CSplitterWnd::GetInsideRect(CRect& rect) const
{
    GetClientRect(&rect);
    // The shared scroll bars take their strips.
    if (m_bHasVScroll)
        rect.right -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (m_bHasHScroll)
        rect.bottom -= ::GetSystemMetrics(SM_CYHSCROLL);
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || !m_pRowInfo)
        return;
    CRect client;
    GetClientRect(&client);
    CRect inside;
    GetInsideRect(inside);
    // Sizes of the panes: the inside less the outer borders.
    LayoutRowCol(m_pColInfo, m_nCols, inside.Width() - 2 * m_cxBorder, m_cxSplitterGap);
    LayoutRowCol(m_pRowInfo, m_nRows, inside.Height() - 2 * m_cyBorder, m_cySplitterGap);

    HDWP hDWP = ::BeginDeferWindowPos((m_nCols + 1) * (m_nRows + 1) + 1);
    const int cxScroll = ::GetSystemMetrics(SM_CXVSCROLL);
    const int cyScroll = ::GetSystemMetrics(SM_CYHSCROLL);
    if (HWND box = ::GetDlgItem(m_hWnd, AFX_IDW_SIZE_BOX))
        DeferClientPos(hDWP, box, inside.right, inside.bottom, cxScroll, cyScroll);
    int x = client.left + m_cxBorder;
    for (int col = 0; col < m_nCols; ++col) {
        int cx = m_pColInfo[col].nCurSize;
        if (HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_HSCROLL_FIRST + col))
            DeferClientPos(hDWP, bar, x, inside.bottom, cx, cyScroll);
        int y = client.top + m_cyBorder;
        for (int row = 0; row < m_nRows; ++row) {
            int cy = m_pRowInfo[row].nCurSize;
            if (col == 0) {
                if (HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_VSCROLL_FIRST + row))
                    DeferClientPos(hDWP, bar, inside.right, y, cxScroll, cy);
            }
            if (HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col)))
                DeferClientPos(hDWP, pane, x, y, cx, cy);
            y += cy + m_cySplitterGap;
        }
        x += cx + m_cxSplitterGap;
    }
    if (hDWP)
        ::EndDeferWindowPos(hDWP);
    DrawAllSplitBars(nullptr, inside.right, inside.bottom);
}

void CSplitterWnd::OnSize(UINT nType, int, int)
{
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

// ---------------------------------------------------------------- drawing

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rectArg)
{
    if (!pDC) {
        RedrawWindow(&rectArg, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    CRect rect = rectArg;
    switch (nType) {
    case splitBorder:
        pDC->Draw3dRect(rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        rect.InflateRect(-1, -1);
        pDC->Draw3dRect(rect, ::GetSysColor(COLOR_WINDOWFRAME), ::GetSysColor(COLOR_BTNFACE));
        return;
    case splitIntersection:
    case splitBox:
    case splitBar:
        pDC->FillSolidRect(rect, ::GetSysColor(COLOR_BTNFACE));
        return;
    }
}

void CSplitterWnd::DrawAllSplitBars(CDC* pDC, int cxInside, int cyInside)
{
    // Bars between columns, then between rows; each pane's border around it.
    CRect client;
    GetClientRect(&client);
    int x = client.left + m_cxBorder;
    for (int col = 0; col < m_nCols - 1; ++col) {
        x += m_pColInfo[col].nCurSize;
        CRect bar(x + m_cxBorder, client.top, x + m_cxSplitterGap - m_cxBorder, cyInside);
        OnDrawSplitter(pDC, splitBar, bar);
        x += m_cxSplitterGap;
    }
    int y = client.top + m_cyBorder;
    for (int row = 0; row < m_nRows - 1; ++row) {
        y += m_pRowInfo[row].nCurSize;
        CRect bar(client.left, y + m_cyBorder, cxInside, y + m_cySplitterGap - m_cyBorder);
        OnDrawSplitter(pDC, splitBar, bar);
        y += m_cySplitterGap;
    }
    if (!pDC)
        return;
    x = client.left;
    for (int col = 0; col < m_nCols; ++col) {
        int cx = m_pColInfo[col].nCurSize;
        y = client.top;
        for (int row = 0; row < m_nRows; ++row) {
            int cy = m_pRowInfo[row].nCurSize;
            if (cx > 0 && cy > 0)
                OnDrawSplitter(pDC, splitBorder, CRect(x, y, x + cx + 2 * m_cxBorder, y + cy + 2 * m_cyBorder));
            y += cy + m_cySplitterGap;
        }
        x += cx + m_cxSplitterGap;
    }
}

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect inside;
    GetInsideRect(inside);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, ::GetSysColor(COLOR_BTNFACE));
    DrawAllSplitBars(&dc, inside.right, inside.bottom);
}

// ---------------------------------------------------------------- hit testing and tracking

int CSplitterWnd::HitTest(CPoint pt) const
{
    CRect client;
    GetClientRect(&client);
    int row = -1;
    int col = -1;
    int x = client.left + m_cxBorder;
    for (int i = 0; i < m_nCols - 1; ++i) {
        x += m_pColInfo[i].nCurSize;
        if (pt.x >= x && pt.x < x + m_cxSplitterGap) {
            col = i;
            break;
        }
        x += m_cxSplitterGap;
    }
    int y = client.top + m_cyBorder;
    for (int i = 0; i < m_nRows - 1; ++i) {
        y += m_pRowInfo[i].nCurSize;
        if (pt.y >= y && pt.y < y + m_cySplitterGap) {
            row = i;
            break;
        }
        y += m_cySplitterGap;
    }
    if (row >= 0 && col >= 0)
        return kCrossing + row * 16 + col;
    if (row >= 0)
        return kRowBar + row;
    if (col >= 0)
        return kColumnBar + col;
    return kNoHit;
}

void CSplitterWnd::GetHitRect(int ht, CRect& rect)
{
    // The bar's area, and the limits its tracker may move within.
    CRect inside;
    GetInsideRect(inside);
    rect = inside;
    if (ht >= kColumnBar && ht < kColumnBar + kMaxPanes) {
        int col = ht - kColumnBar;
        int x = inside.left + m_cxBorder;
        for (int i = 0; i < col; ++i)
            x += m_pColInfo[i].nCurSize + m_cxSplitterGap;
        x += m_pColInfo[col].nCurSize;
        rect.left = x;
        rect.right = x + m_cxSplitterGap;
        m_rectLimit = inside;
        m_rectLimit.left = x - m_pColInfo[col].nCurSize;
        m_rectLimit.right = x + m_cxSplitterGap + m_pColInfo[col + 1].nCurSize - m_cxSplitterGap;
    } else if (ht >= kRowBar && ht < kRowBar + kMaxPanes) {
        int row = ht - kRowBar;
        int y = inside.top + m_cyBorder;
        for (int i = 0; i < row; ++i)
            y += m_pRowInfo[i].nCurSize + m_cySplitterGap;
        y += m_pRowInfo[row].nCurSize;
        rect.top = y;
        rect.bottom = y + m_cySplitterGap;
        m_rectLimit = inside;
        m_rectLimit.top = y - m_pRowInfo[row].nCurSize;
        m_rectLimit.bottom = y + m_cySplitterGap + m_pRowInfo[row + 1].nCurSize - m_cySplitterGap;
    }
}

void CSplitterWnd::StartTracking(int ht)
{
    if (ht == kNoHit)
        return;
    m_htTrack = ht;
    if (ht >= kCrossing) {
        // Both bars move together.
        int row = (ht - kCrossing) / 16;
        int col = (ht - kCrossing) % 16;
        GetHitRect(kColumnBar + col, m_rectTracker2);
        CRect columnLimit = m_rectLimit;
        GetHitRect(kRowBar + row, m_rectTracker);
        m_rectLimit.left = columnLimit.left;
        m_rectLimit.right = columnLimit.right;
        m_bTracking2 = TRUE;
    } else {
        GetHitRect(ht, m_rectTracker);
        m_bTracking2 = FALSE;
    }
    SetCapture();
    SetFocus();
    RedrawWindow(nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
    m_bTracking = TRUE;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
}

void CSplitterWnd::StopTracking(BOOL bAccept)
{
    if (!m_bTracking)
        return;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
    m_bTracking = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (!bAccept)
        return;
    int ht = m_htTrack;
    if (ht >= kCrossing) {
        TrackRowSize(m_rectTracker.top, (ht - kCrossing) / 16);
        TrackColumnSize(m_rectTracker2.left, (ht - kCrossing) % 16);
    } else if (ht >= kColumnBar) {
        TrackColumnSize(m_rectTracker.left, ht - kColumnBar);
    } else if (ht >= kRowBar) {
        TrackRowSize(m_rectTracker.top, ht - kRowBar);
    }
    RecalcLayout();
}

void CSplitterWnd::TrackColumnSize(int x, int col)
{
    // The new width runs from the pane's left edge to the bar; too small hides the pane.
    CRect pane(m_cxBorder, 0, 0, 0);
    if (CWnd* wnd = GetPane(0, col)) {
        wnd->GetWindowRect(&pane);
        ScreenToClient(&pane);
    }
    int width = std::max(x - static_cast<int>(pane.left), 0);
    m_pColInfo[col].nIdealSize = width < m_pColInfo[col].nMinSize ? 0 : width;
}

void CSplitterWnd::TrackRowSize(int y, int row)
{
    CRect pane(0, m_cyBorder, 0, 0);
    if (CWnd* wnd = GetPane(row, 0)) {
        wnd->GetWindowRect(&pane);
        ScreenToClient(&pane);
    }
    int height = std::max(y - static_cast<int>(pane.top), 0);
    m_pRowInfo[row].nIdealSize = height < m_pRowInfo[row].nMinSize ? 0 : height;
}

void CSplitterWnd::OnInvertTracker(const CRect& rect)
{
    CDC* dc = GetDC();
    if (!dc)
        return;
    // A half-tone bar, drawn twice to remove it.
    WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH brush = ::CreatePatternBrush(bitmap);
    HGDIOBJ old = ::SelectObject(dc->m_hDC, brush);
    ::PatBlt(dc->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
    ::SelectObject(dc->m_hDC, old);
    ::DeleteObject(brush);
    ::DeleteObject(bitmap);
    ReleaseDC(dc);
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && pWnd == this && !m_bTracking) {
        POINT pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        int ht = HitTest(pt);
        if (ht != kNoHit) {
            LPCWSTR shape = ht >= kCrossing ? IDC_SIZEALL : ht >= kColumnBar ? IDC_SIZEWE : IDC_SIZENS;
            ::SetCursor(::LoadCursorW(nullptr, shape));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint point)
{
    if (m_bTracking)
        return;
    StartTracking(HitTest(point));
}

void CSplitterWnd::OnMouseMove(UINT, CPoint point)
{
    if (!m_bTracking)
        return;
    // The tracker follows the mouse within its limits.
    if (m_htTrack >= kCrossing || m_htTrack >= kColumnBar) {
        CRect& columnTracker = m_htTrack >= kCrossing ? m_rectTracker2 : m_rectTracker;
        int width = columnTracker.Width();
        int left = std::min(std::max(static_cast<int>(point.x) - width / 2, static_cast<int>(m_rectLimit.left)),
                            static_cast<int>(m_rectLimit.right) - width);
        if (left != columnTracker.left) {
            OnInvertTracker(columnTracker);
            columnTracker.OffsetRect(left - columnTracker.left, 0);
            OnInvertTracker(columnTracker);
        }
    }
    if (m_htTrack >= kCrossing || (m_htTrack >= kRowBar && m_htTrack < kColumnBar)) {
        int height = m_rectTracker.Height();
        int top = std::min(std::max(static_cast<int>(point.y) - height / 2, static_cast<int>(m_rectLimit.top)),
                           static_cast<int>(m_rectLimit.bottom) - height);
        if (top != m_rectTracker.top) {
            OnInvertTracker(m_rectTracker);
            m_rectTracker.OffsetRect(0, top - m_rectTracker.top);
            OnInvertTracker(m_rectTracker);
        }
    }
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    StopTracking(TRUE);
}

void CSplitterWnd::OnCancelMode()
{
    StopTracking(FALSE);
    Default();
}

void CSplitterWnd::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bTracking && pWnd != this)
        StopTracking(FALSE);
    Default();
}

void CSplitterWnd::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!m_bTracking) {
        Default();
        return;
    }
    if (nChar == VK_ESCAPE)
        StopTracking(FALSE);
    else if (nChar == VK_RETURN)
        StopTracking(TRUE);
}

// ---------------------------------------------------------------- routing

BOOL CSplitterWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    CFrameWnd* frame = GetParentFrame();
    return frame ? static_cast<BOOL>(frame->SendMessage(WM_COMMAND, wParam, lParam)) : FALSE;
}

BOOL CSplitterWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CWnd::OnNotify(wParam, lParam, pResult))
        return TRUE;
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        return FALSE;
    *pResult = frame->SendMessage(WM_NOTIFY, wParam, lParam);
    return TRUE;
}

// ---------------------------------------------------------------- panes and scroll bars

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    CWnd* view = nullptr;
    if (CFrameWnd* frame = GetParentFrame())
        view = static_cast<CWnd*>(frame->GetActiveView());
    if (!view)
        view = CWnd::GetFocus();
    if (view && !IsChildPane(view, pRow, pCol))
        view = nullptr;
    return view;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pane = pWnd ? pWnd : GetPane(row, col);
    if (CView* view = DYNAMIC_DOWNCAST(CView, pane)) {
        if (CFrameWnd* frame = GetParentFrame()) {
            frame->SetActiveView(view);
            return;
        }
    }
    if (pane)
        pane->SetFocus();
}

BOOL CSplitterWnd::CanActivateNext(BOOL)
{
    return m_nRows * m_nCols > 1;
}

void CSplitterWnd::ActivateNext(BOOL bPrev)
{
    int row = 0;
    int col = 0;
    if (!GetActivePane(&row, &col))
        return;
    // The next visible pane in reading order (or the previous one), wrapping around.
    for (int n = 0; n < m_nRows * m_nCols; ++n) {
        int index = row * m_nCols + col + (bPrev ? -1 : 1);
        index = (index + m_nRows * m_nCols) % (m_nRows * m_nCols);
        row = index / m_nCols;
        col = index % m_nCols;
        if (m_pRowInfo[row].nCurSize > 0 && m_pColInfo[col].nCurSize > 0) {
            SetActivePane(row, col);
            return;
        }
    }
}

void CSplitterWnd::DeleteView(int row, int col)
{
    CWnd* pane = GetPane(row, col);
    if (!pane)
        return;
    CFrameWnd* frame = GetParentFrame();
    if (frame && static_cast<CWnd*>(frame->GetActiveView()) == pane)
        frame->SetActiveView(nullptr);
    pane->DestroyWindow();
}

void CSplitterWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    // A shared bar scrolls every pane of its column.
    int col = pScrollBar ? pScrollBar->GetDlgCtrlID() - AFX_IDW_HSCROLL_FIRST : -1;
    if (col < 0 || col >= m_nCols) {
        CWnd::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    for (int row = 0; row < m_nRows; ++row) {
        if (CWnd* pane = GetPane(row, col))
            pane->SendMessage(WM_HSCROLL, MAKEWPARAM(nSBCode, nPos), reinterpret_cast<LPARAM>(pScrollBar->m_hWnd));
    }
}

void CSplitterWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    int row = pScrollBar ? pScrollBar->GetDlgCtrlID() - AFX_IDW_VSCROLL_FIRST : -1;
    if (row < 0 || row >= m_nRows) {
        CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    for (int col = 0; col < m_nCols; ++col) {
        if (CWnd* pane = GetPane(row, col))
            pane->SendMessage(WM_VSCROLL, MAKEWPARAM(nSBCode, nPos), reinterpret_cast<LPARAM>(pScrollBar->m_hWnd));
    }
}

BOOL CSplitterWnd::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    // The wheel goes to the active pane.
    if (CWnd* pane = GetActivePane())
        return static_cast<BOOL>(pane->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(nFlags, zDelta), MAKELPARAM(pt.x, pt.y)));
    return FALSE;
}
