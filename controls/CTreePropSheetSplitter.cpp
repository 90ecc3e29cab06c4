#include "controls/CTreePropSheetSplitter.h"

namespace TreePropSheet {

IMPLEMENT_DYNAMIC(CTreePropSheetSplitter, CWnd)

BEGIN_MESSAGE_MAP(CTreePropSheetSplitter, CWnd)
ON_WM_NCCREATE()
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_WINDOWPOSCHANGING()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

namespace {

const int kWhole = 32768;

// pixels of a free length as a share of kWhole, rounded.
int Share(long long pixels, long long free)
{
    return static_cast<int>((pixels * kWhole + free / 2) / free);
}

} // namespace

CTreePropSheetSplitter::CTreePropSheetSplitter(int nPanes, UINT nOrientation, int nMinSize, int nBarWidth)
    : m_nPanes(nPanes > 0 ? nPanes : 1), m_nOrientation(nOrientation), m_nBarWidth(nBarWidth)
{
    CommonConstruct(nullptr, nMinSize);
}

CTreePropSheetSplitter::CTreePropSheetSplitter(int nPanes, UINT nOrientation, const int* pMinSizes, int nBarWidth)
    : m_nPanes(nPanes > 0 ? nPanes : 1), m_nOrientation(nOrientation), m_nBarWidth(nBarWidth)
{
    CommonConstruct(pMinSizes, 0);
}

void CTreePropSheetSplitter::CommonConstruct(const int* pMinSizes, int nMinSize)
{
    m_panes.assign(m_nPanes, nullptr);
    m_relSizes.assign(m_nPanes, (m_nPanes / 2 + kWhole) / m_nPanes);
    m_relSizes[m_nPanes - 1] = kWhole - (m_nPanes - 1) * m_relSizes[0];
    m_positions.assign(m_nPanes + 1, 0);
    m_minSizes.assign(m_nPanes, nMinSize);
    if (pMinSizes)
        m_minSizes.assign(pMinSizes, pMinSizes + m_nPanes);
    m_frozen.assign(m_nPanes, FALSE);
}

HCURSOR CTreePropSheetSplitter::SplitterCursor() const
{
    LPCWSTR id = !m_bResizable ? IDC_ARROW : (m_nOrientation == 1 ? IDC_SIZEWE : IDC_SIZENS);
    return static_cast<HCURSOR>(::LoadImageW(nullptr, id, IMAGE_CURSOR, 64, 64, LR_SHARED));
}

BOOL CTreePropSheetSplitter::Create(CWnd* pParent, const RECT& rect, UINT nID)
{
    LPCWSTR cls = AfxRegisterWndClass(CS_DBLCLKS, SplitterCursor(), nullptr, nullptr);
    return CWnd::Create(cls, nullptr, WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

BOOL CTreePropSheetSplitter::Create(CWnd* pParent, UINT nID)
{
    CRect rect;
    pParent->GetClientRect(&rect);
    return Create(pParent, rect, nID);
}

CRect CTreePropSheetSplitter::RectInParent() const
{
    CRect rect;
    if (!::IsWindow(m_hWnd))
        return rect;
    GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rect), 2);
    return rect;
}

CRect CTreePropSheetSplitter::GetPaneRect(int nIndex) const
{
    CRect whole = RectInParent();
    if (nIndex < 0 || nIndex >= m_nPanes)
        return CRect();
    int start = m_positions[nIndex], end = m_positions[nIndex + 1] - m_nBarWidth;
    if (end < start)
        end = start;
    if (m_nOrientation == 1)
        return CRect(start, whole.top, end, whole.bottom);
    return CRect(whole.left, start, whole.right, end);
}

void CTreePropSheetSplitter::SetPane(int nIndex, CWnd* pPaneWnd)
{
    if (nIndex < 0 || nIndex >= m_nPanes)
        return;
    m_panes[nIndex] = pPaneWnd;
    if (pPaneWnd && ::IsWindow(pPaneWnd->GetSafeHwnd()))
        pPaneWnd->MoveWindow(GetPaneRect(nIndex), FALSE);
}

BOOL CTreePropSheetSplitter::CreatePane(int nIndex, CWnd* pPaneWnd, DWORD dwStyle, DWORD dwExStyle,
                                        LPCWSTR lpszClassName)
{
    if (nIndex < 0 || nIndex >= m_nPanes || !pPaneWnd)
        return FALSE;
    if (!pPaneWnd->CreateEx(dwExStyle, lpszClassName, nullptr, dwStyle | WS_CHILD | WS_VISIBLE, GetPaneRect(nIndex),
                            GetParent(), 0xE900 + nIndex))
        return FALSE;
    m_panes[nIndex] = pPaneWnd;
    return TRUE;
}

CWnd* CTreePropSheetSplitter::GetPane(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nPanes ? m_panes[nIndex] : nullptr;
}

int CTreePropSheetSplitter::GetActivePane() const
{
    HWND focus = ::GetFocus();
    for (int i = 0; i < m_nPanes; ++i) {
        HWND pane = m_panes[i]->GetSafeHwnd();
        if (pane && (focus == pane || ::IsChild(pane, focus)))
            return i;
    }
    return -1;
}

void CTreePropSheetSplitter::SetPaneSizes(const int* pPaneSizes)
{
    long long total = 0;
    for (int i = 0; i < m_nPanes; ++i)
        total += pPaneSizes[i];
    if (total <= 0)
        return; // no proportions to take
    int rest = kWhole;
    for (int i = 0; i < m_nPanes - 1; ++i) {
        m_relSizes[i] = Share(pPaneSizes[i], total);
        rest -= m_relSizes[i];
    }
    m_relSizes[m_nPanes - 1] = rest;
    Recalculate();
    Apply();
}

void CTreePropSheetSplitter::SetFrozenPanes(const BOOL* pFrozenPanes)
{
    m_nFrozenCount = 0;
    for (int i = 0; i < m_nPanes; ++i) {
        m_frozen[i] = pFrozenPanes[i];
        m_nFrozenCount += m_frozen[i] ? 1 : 0;
    }
}

void CTreePropSheetSplitter::SetUnfreezeAll()
{
    m_frozen.assign(m_nPanes, FALSE);
    m_nFrozenCount = 0;
}

void CTreePropSheetSplitter::SetResizable(BOOL bResizable)
{
    m_bResizable = bResizable;
    if (::IsWindow(m_hWnd))
        ::SetClassLongPtrW(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(SplitterCursor()));
}

void CTreePropSheetSplitter::ActivatePane(int nIndex)
{
    if (CWnd* pane = GetPane(nIndex))
        pane->SetFocus();
}

void CTreePropSheetSplitter::RedrawParentRect(const CRect& rect)
{
    // Erased too: the resizable sheet lays what sits over a pane (its current page) out again as
    // it erases, so the page follows a dragged bar.
    if (CWnd* parent = GetParent())
        parent->RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CTreePropSheetSplitter::MinimumLoop(int nFree)
{
    BOOL changed;
    do {
        int rest = kWhole, free = kWhole;
        changed = FALSE;
        std::vector<bool> pinned(m_nPanes, false);
        for (int i = 0; i < m_nPanes; ++i) {
            int pixels = PixelSize(i, nFree);
            if (pixels > m_minSizes[i])
                continue;
            pinned[i] = true;
            free -= m_relSizes[i];
            if (pixels < m_minSizes[i]) {
                m_relSizes[i] = m_minSizes[i] > nFree ? kWhole : Share(m_minSizes[i], nFree);
                changed = TRUE;
            }
            rest -= m_relSizes[i];
        }
        if (rest < 1) {
            // The minimums cannot all be met: they are given in order while space lasts.
            int remaining = kWhole;
            for (int i = 0; i < m_nPanes; ++i) {
                int share = nFree > 0 ? Share(m_minSizes[i], nFree) : 0;
                m_relSizes[i] = share < remaining ? share : remaining;
                remaining -= m_relSizes[i];
            }
            return;
        }
        // The panes above their minimums share what the others left.
        if (rest != kWhole && free > 0) {
            for (int i = 0; i < m_nPanes; ++i) {
                if (!pinned[i])
                    m_relSizes[i] = static_cast<int>((static_cast<long long>(m_relSizes[i]) * rest + free / 2) / free);
            }
        }
    } while (changed);
}

void CTreePropSheetSplitter::Recalculate()
{
    CRect rect = RectInParent();
    int free = Length(rect) - (m_nPanes - 1) * m_nBarWidth;
    // A collapsed splitter keeps its shares; the panes are laid out at zero size until it grows.
    if (free > 0) {
        int oldFree = m_positions[m_nPanes] - m_nPanes * m_nBarWidth - m_positions[0];
        bool skipMinimums = false;
        if (m_nFrozenCount > 0 && m_nFrozenCount < m_nPanes && oldFree > 0) {
            int unfrozen = m_nPanes - m_nFrozenCount;
            int rest = kWhole;
            for (int i = 0; i < m_nPanes - 1; ++i) {
                int kept = static_cast<int>((static_cast<long long>(m_relSizes[i]) * oldFree + free / 2) / free);
                if (m_frozen[i])
                    m_relSizes[i] = kept;
                else
                    m_relSizes[i] = Share(free - oldFree, static_cast<long long>(unfrozen) * free) + kept;
                rest -= m_relSizes[i];
            }
            m_relSizes[m_nPanes - 1] = rest;
            skipMinimums = true;
            for (int i = 0; i < m_nPanes; ++i)
                skipMinimums = skipMinimums && PixelSize(i, free) >= m_minSizes[i];
        }
        if (!skipMinimums)
            MinimumLoop(free);
    }
    int laidOut = free > 0 ? free : 0;
    m_positions[0] = m_nOrientation == 1 ? rect.left : rect.top;
    for (int i = 0; i < m_nPanes - 1; ++i)
        m_positions[i + 1] = m_positions[i] + PixelSize(i, laidOut) + m_nBarWidth;
    m_positions[m_nPanes] = m_positions[0] + laidOut + m_nPanes * m_nBarWidth;
}

void CTreePropSheetSplitter::Apply()
{
    for (int i = 0; i < m_nPanes; ++i) {
        if (m_panes[i] && ::IsWindow(m_panes[i]->m_hWnd))
            m_panes[i]->MoveWindow(GetPaneRect(i), FALSE);
    }
    RedrawParentRect(RectInParent());
}

void CTreePropSheetSplitter::DrawTracker()
{
    CRect whole = RectInParent();
    CRect band;
    if (m_nOrientation == 1)
        band.SetRect(m_nDragPos - m_nBarWidth - whole.left, 0, m_nDragPos - whole.left, m_nDragExtent);
    else
        band.SetRect(0, m_nDragPos - m_nBarWidth - whole.top, m_nDragExtent, m_nDragPos - whole.top);
    // Drawn twice, the halftone band is gone again.
    static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH brush = ::CreatePatternBrush(bitmap);
    CClientDC dc(this);
    HGDIOBJ old = ::SelectObject(dc.m_hDC, brush);
    dc.PatBlt(band.left, band.top, band.Width(), band.Height(), PATINVERT);
    ::SelectObject(dc.m_hDC, old);
    ::DeleteObject(brush);
    ::DeleteObject(bitmap);
}

BOOL CTreePropSheetSplitter::OnNcCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (HWND parent = lpCreateStruct->hwndParent)
        CWnd::ModifyStyleEx(parent, WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    return CWnd::OnNcCreate(lpCreateStruct);
}

void CTreePropSheetSplitter::OnPaint()
{
    CPaintDC dc(this);
    CRect clip;
    dc.GetClipBox(&clip);
    HBRUSH brush = nullptr;
    if (CWnd* parent = GetParent())
        brush = reinterpret_cast<HBRUSH>(parent->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                                             reinterpret_cast<LPARAM>(m_hWnd)));
    if (!brush)
        brush = ::GetSysColorBrush(COLOR_3DFACE);
    CRect whole = RectInParent();
    for (int k = 1; k < m_nPanes; ++k) {
        CRect bar;
        if (m_nOrientation == 1)
            bar.SetRect(m_positions[k] - m_nBarWidth - whole.left, clip.top, m_positions[k] - whole.left, clip.bottom);
        else
            bar.SetRect(clip.left, m_positions[k] - m_nBarWidth - whole.top, clip.right, m_positions[k] - whole.top);
        ::FillRect(dc.m_hDC, &bar, brush);
    }
}

void CTreePropSheetSplitter::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    Recalculate();
    Apply();
}

void CTreePropSheetSplitter::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    CWnd::OnWindowPosChanging(lpwndpos);
    lpwndpos->flags |= SWP_NOCOPYBITS;
}

void CTreePropSheetSplitter::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonDown(nFlags, point);
    if (!m_bResizable)
        return;
    CRect whole = RectInParent();
    int p = m_nOrientation == 1 ? point.x + whole.left : point.y + whole.top;
    int bar = 0;
    for (int k = 1; k < m_nPanes && !bar; ++k) {
        if (m_positions[k] >= p)
            bar = k;
    }
    if (!bar)
        return; // beyond the last bar
    m_nDragBar = bar;
    SetCapture();
    m_bDragging = TRUE;
    m_nDragPos = m_positions[bar];
    m_nGrabOffset = p - m_positions[bar];
    CRect client;
    GetClientRect(&client);
    m_nDragExtent = m_nOrientation == 1 ? client.Height() : client.Width();
    DrawTracker();
}

void CTreePropSheetSplitter::OnMouseMove(UINT nFlags, CPoint point)
{
    CWnd::OnMouseMove(nFlags, point);
    if (!m_bDragging || CWnd::GetCapture() != this)
        return;
    CRect whole = RectInParent();
    int p = m_nOrientation == 1 ? point.x + whole.left : point.y + whole.top;
    int k = m_nDragBar;
    DrawTracker();
    int q = p - m_nGrabOffset;
    if (q <= m_positions[k + 1] - m_minSizes[k] - m_nBarWidth) {
        int lowest = m_positions[k - 1] + m_minSizes[k - 1] + m_nBarWidth;
        if (q < lowest)
            q = lowest;
    } else {
        q = m_positions[k + 1] - m_nBarWidth - m_minSizes[k];
    }
    m_nDragPos = q;
    DrawTracker();
    if (m_bLiveDrag) {
        m_positions[k] = q;
        Apply();
    }
}

void CTreePropSheetSplitter::OnLButtonUp(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonUp(nFlags, point);
    if (!m_bDragging || CWnd::GetCapture() != this)
        return;
    int k = m_nDragBar;
    int length = Length(RectInParent()) - (m_nPanes - 1) * m_nBarWidth;
    DrawTracker();
    m_bDragging = FALSE;
    ::ReleaseCapture();
    m_positions[k] = m_nDragPos;
    // A collapsed splitter has no length to take shares of.
    if (length > 0) {
        m_relSizes[k - 1] = Share(m_positions[k] - m_positions[k - 1] - m_nBarWidth, length);
        m_relSizes[k] = Share(m_positions[k + 1] - m_positions[k] - m_nBarWidth, length);
    }
    Apply();
}

void CTreePropSheetSplitter::OnCaptureChanged(CWnd* pWnd)
{
    // Capture taken away mid-drag: the band goes and nothing moves.
    if (m_bDragging && pWnd != this) {
        m_bDragging = FALSE;
        DrawTracker();
    }
    CWnd::OnCaptureChanged(pWnd);
}

} // namespace TreePropSheet
