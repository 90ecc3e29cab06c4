#include "controls/CFlatSplitterWnd.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CFlatSplitterWnd, CSplitterWnd)

namespace {

// Moves a window only when its rectangle changes.
void PlaceWindow(HDWP& hDWP, HWND hWnd, const CRect& rect, UINT extraFlags = 0)
{
    CRect now;
    ::GetWindowRect(hWnd, &now);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&now), 2);
    if (now == rect && !extraFlags)
        return;
    const UINT flags = SWP_NOACTIVATE | SWP_NOZORDER | extraFlags;
    if (hDWP)
        hDWP = ::DeferWindowPos(hDWP, hWnd, nullptr, rect.left, rect.top, std::max(0, rect.Width()),
                                std::max(0, rect.Height()), flags);
    if (!hDWP)
        ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()),
                       flags);
}

// A scroll bar too thin to use is hidden rather than squeezed.
void PlaceScrollBar(HDWP& hDWP, HWND hWnd, const CRect& rect, bool horizontal)
{
    const bool usable = (horizontal ? rect.Width() : rect.Height()) >= 2;
    const bool visible = (::GetWindowLongW(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
    UINT show = 0;
    if (usable != visible)
        show = usable ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    PlaceWindow(hDWP, hWnd, rect, show);
}

} // namespace

CFlatSplitterWnd::CFlatSplitterWnd()
{
    m_cxSplitter = m_cySplitter = 5;
    m_cxBorderShare = m_cyBorderShare = 0;
    m_cxSplitterGap = m_cySplitterGap = 5;
    m_cxBorder = m_cyBorder = 1;
}

void CFlatSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (pDC && nType == splitBorder) {
        pDC->Draw3dRect(rect, ::GetSysColor(COLOR_3DSHADOW), ::GetSysColor(COLOR_3DHIGHLIGHT));
        return;
    }
    CSplitterWnd::OnDrawSplitter(pDC, nType, rect);
}

void PASCAL CFlatSplitterWnd::LayoutRowCol(CRowColInfo* pInfo, int nCount, int nSize, int nGap)
{
    int remaining = std::max(nSize, 0);
    bool gapTaken = false;
    for (int i = 0; i < nCount; ++i) {
        CRowColInfo& info = pInfo[i];
        if (i > 0 && remaining < info.nMinSize) {
            // No room for this one: it and those after it get nothing, the one before the rest
            // (and part of the bar no longer needed, when one was taken for it).
            pInfo[i - 1].nCurSize += remaining + (gapTaken ? 2 : 0);
            for (int j = i; j < nCount; ++j)
                pInfo[j].nCurSize = 0;
            return;
        }
        const bool last = i == nCount - 1;
        const int wanted = last ? remaining : (info.nIdealSize < info.nMinSize ? 0 : info.nIdealSize);
        info.nCurSize = std::min(wanted, remaining);
        remaining -= info.nCurSize;
        if (last)
            break;
        gapTaken = remaining >= nGap;
        if (gapTaken) {
            remaining -= nGap;
        } else {
            // Less than a bar is left: it goes to this one.
            info.nCurSize += remaining;
            remaining = 0;
        }
    }
}

void CFlatSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || !m_pRowInfo || !m_pColInfo)
        return;
    CRect client;
    GetClientRect(&client);
    CRect inside = client;
    inside.DeflateRect(m_cxBorder, m_cyBorder);
    const int cxScroll = ::GetSystemMetrics(SM_CXVSCROLL);
    const int cyScroll = ::GetSystemMetrics(SM_CYHSCROLL);
    if (m_bHasVScroll)
        inside.right -= cxScroll;
    if (m_bHasHScroll)
        inside.bottom -= cyScroll;
    LayoutRowCol(m_pColInfo, m_nCols, inside.Width(), m_cxSplitterGap);
    LayoutRowCol(m_pRowInfo, m_nRows, inside.Height(), m_cySplitterGap);

    HDWP hDWP = ::BeginDeferWindowPos((m_nCols + 1) * (m_nRows + 1) + 1);
    if (HWND box = ::GetDlgItem(m_hWnd, AFX_IDW_SIZE_BOX)) {
        if (m_bHasHScroll && m_bHasVScroll) {
            ::EnableWindow(box, GetSizingParent() != nullptr);
            PlaceWindow(hDWP, box,
                        CRect(inside.right, inside.bottom, inside.right + cxScroll, inside.bottom + cyScroll));
        }
    }
    int x = inside.left;
    for (int col = 0; col < m_nCols; ++col) {
        const int cx = m_pColInfo[col].nCurSize;
        if (HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_HSCROLL_FIRST + col))
            PlaceScrollBar(hDWP, bar, CRect(x, inside.bottom, x + cx, inside.bottom + cyScroll), true);
        int y = inside.top;
        for (int row = 0; row < m_nRows; ++row) {
            const int cy = m_pRowInfo[row].nCurSize;
            if (col == 0) {
                if (HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_VSCROLL_FIRST + row))
                    PlaceScrollBar(hDWP, bar, CRect(inside.right, y, inside.right + cxScroll, y + cy), false);
            }
            if (HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col))) {
                CRect rect(x, y, x + cx, y + cy);
                // A sunken pane, or a nested splitter, reaches under the bar by a pixel each side.
                CWnd* wnd = CWnd::FromHandlePermanent(pane);
                if ((::GetWindowLongW(pane, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ||
                    (wnd && wnd->IsKindOf(RUNTIME_CLASS(CSplitterWnd))))
                    rect.InflateRect(1, 1);
                PlaceWindow(hDWP, pane, rect);
            }
            y += cy + m_cySplitterGap;
        }
        x += cx + m_cxSplitterGap;
    }
    if (hDWP)
        ::EndDeferWindowPos(hDWP);
    // The borders drawn around the panes move with them, and a moved splitter keeps the lines it
    // showed where its panes were: all it draws itself is drawn anew (its panes are not).
    Invalidate(FALSE);
}
