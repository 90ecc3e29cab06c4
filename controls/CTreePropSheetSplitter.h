// A splitter that lays out existing sibling windows (panes) side by side or stacked, separated
// by bars the user drags. It moves windows of its parent but owns none. Sizes are kept as
// shares of the length left after the bars (units of 1/32768), so a change of the splitter's
// size is spread over the panes; frozen panes keep their pixels, and every pane has a minimum.
#pragma once

#include "framework/Framework.h"

#include <vector>

namespace TreePropSheet {

class CTreePropSheetSplitter : public CWnd
{
    DECLARE_DYNAMIC(CTreePropSheetSplitter)
public:
    // Orientation 1: panes side by side (vertical bars); any other value: stacked.
    CTreePropSheetSplitter(int nPanes, UINT nOrientation, int nMinSize, int nBarWidth);
    CTreePropSheetSplitter(int nPanes, UINT nOrientation, const int* pMinSizes, int nBarWidth);

    BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);
    // Over the parent's whole client area.
    BOOL Create(CWnd* pParent, UINT nID);

    void SetPane(int nIndex, CWnd* pPaneWnd);
    // A new child of the splitter's parent at the pane's place, id 0xE900 + index.
    BOOL CreatePane(int nIndex, CWnd* pPaneWnd, DWORD dwStyle, DWORD dwExStyle, LPCWSTR lpszClassName);
    CWnd* GetPane(int nIndex) const;
    CRect GetPaneRect(int nIndex) const;
    // The pane that holds the focus, or -1.
    int GetActivePane() const;

    // Shares in proportion to these pixel sizes; an all-zero set is ignored.
    void SetPaneSizes(const int* pPaneSizes);
    void SetFrozenPanes(const BOOL* pFrozenPanes);
    void SetUnfreezeAll();
    // Live: the panes follow the mouse while a bar is dragged; otherwise they move on release.
    void SetLiveDrag(BOOL bLive) { m_bLiveDrag = bLive; }
    BOOL IsLiveDrag() const { return m_bLiveDrag; }
    void SetResizable(BOOL bResizable);
    BOOL IsResizable() const { return m_bResizable; }

    int GetPaneCount() const { return m_nPanes; }
    int GetRelativeSize(int nIndex) const { return m_relSizes[nIndex]; }
    int GetPosition(int nIndex) const { return m_positions[nIndex]; }
    BOOL IsPaneFrozen(int nIndex) const { return m_frozen[nIndex]; }
    int GetBarWidth() const { return m_nBarWidth; }

    virtual void ActivatePane(int nIndex);
    virtual void RedrawParentRect(const CRect& rect);

protected:
    void Recalculate();
    void Apply();
    // Length of the splitter along its panes, and its rectangle in the parent's client coordinates.
    CRect RectInParent() const;
    int Length(const CRect& rect) const { return m_nOrientation == 1 ? rect.Width() : rect.Height(); }
    int PixelSize(int nIndex, int nFree) const
    {
        return static_cast<int>((static_cast<long long>(m_relSizes[nIndex]) * nFree + 16384) / 32768);
    }
    void MinimumLoop(int nFree);
    void DrawTracker();
    HCURSOR SplitterCursor() const;

    afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);

    int m_nPanes;
    UINT m_nOrientation;
    int m_nBarWidth;
    int m_nDragBar = 0;
    int m_nDragPos = 0;
    int m_nDragExtent = 0;
    int m_nGrabOffset = 0;
    std::vector<CWnd*> m_panes;
    std::vector<int> m_relSizes;
    std::vector<int> m_positions;
    std::vector<int> m_minSizes;
    std::vector<BOOL> m_frozen;
    int m_nFrozenCount = 0;
    BOOL m_bLiveDrag = FALSE;
    BOOL m_bResizable = TRUE;
    BOOL m_bDragging = FALSE;

    DECLARE_MESSAGE_MAP()

private:
    void CommonConstruct(const int* pMinSizes, int nMinSize);
};

} // namespace TreePropSheet
