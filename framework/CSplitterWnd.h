// A static splitter: a grid of panes (views, or further splitters) separated by bars the user
// drags to resize rows and columns. Each pane has the child id IdFromRowCol(row, col); rows and
// columns keep an ideal, a minimum and a current size. Shared scroll bars per row and column when
// created with WS_HSCROLL / WS_VSCROLL, with a size box where they meet.
#pragma once

#include "framework/CWnd.h"

struct CCreateContext;
class CScrollBar;

// Splitter styles
#define SPLS_DYNAMIC_SPLIT 0x0001

class CSplitterWnd : public CWnd
{
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();
    ~CSplitterWnd() override;

    // A grid of nRows x nCols (each 1..16) as child nID of pParentWnd; panes come from CreateView.
    virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                              UINT nID = 0xE900 /* AFX_IDW_PANE_FIRST */);
    // A view of pViewClass in the cell, sizeInit its ideal size (the last row and column take the
    // rest). FALSE when the view cannot be made.
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetMaxRowCount() const { return m_nMaxRows; }
    int GetMaxColumnCount() const { return m_nMaxCols; }
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    DWORD GetScrollStyle() const;
    void SetScrollStyle(DWORD dwStyle);
    CWnd* GetPane(int row, int col) const;
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    int IdFromRowCol(int row, int col) const;
    // The frame that a size box would resize (a sizable frame that is not maximised), or null.
    CWnd* GetSizingParent();

    // Places panes, bars and scroll bars from the row and column sizes.
    virtual void RecalcLayout();
    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
    // Draws one part; with a null pDC the part is only invalidated.
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);
    // The drag tracker, drawn and removed by inversion.
    virtual void OnInvertTracker(const CRect& rect);
    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);
    virtual BOOL CanActivateNext(BOOL bPrev = FALSE);
    virtual void ActivateNext(BOOL bPrev = FALSE);
    virtual void DeleteView(int row, int col);
    virtual BOOL CreateScrollBarCtrl(DWORD dwStyle, UINT nID);

    struct CRowColInfo
    {
        int nMinSize;   // below it the pane is hidden
        int nIdealSize; // what the user or the program asked for
        int nCurSize;   // what it has now
    };

protected:
    // Hit-test codes of the bars: rows from kRowBar, columns from kColumnBar, crossings from
    // kCrossing (plus the index of the bar).
    enum { kNoHit = 0, kRowBar = 101, kColumnBar = 201, kCrossing = 301 };

    BOOL CreateCommon(CWnd* pParentWnd, SIZE sizeMin, DWORD dwStyle, UINT nID);
    virtual int HitTest(CPoint pt) const;
    virtual void GetInsideRect(CRect& rect) const;
    virtual void GetHitRect(int ht, CRect& rect);
    virtual void TrackRowSize(int y, int row);
    virtual void TrackColumnSize(int x, int col);
    virtual void StartTracking(int ht);
    virtual void StopTracking(BOOL bAccept);
    void DrawAllSplitBars(CDC* pDC, int cxInside, int cyInside);
    // Sizes along one axis: ideal sizes first, the last takes the rest, panes below their
    // minimum are hidden.
    static void LayoutRowCol(CRowColInfo* pInfo, int nMax, int nSize, int nSizeSplitter);

    // What the splitter does not handle goes on to its frame.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCancelMode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

    CRuntimeClass* m_pDynamicViewClass;
    int m_nMaxRows;
    int m_nMaxCols;
    // Metrics, in pixels: the bar, the space each bar shares with the panes' borders, the space
    // between two panes, and the border around the panes.
    int m_cxSplitter;
    int m_cySplitter;
    int m_cxBorderShare;
    int m_cyBorderShare;
    int m_cxSplitterGap;
    int m_cySplitterGap;
    int m_cxBorder;
    int m_cyBorder;
    int m_nRows;
    int m_nCols;
    BOOL m_bHasHScroll;
    BOOL m_bHasVScroll;
    CRowColInfo* m_pColInfo;
    CRowColInfo* m_pRowInfo;
    // Tracking a bar with the mouse.
    BOOL m_bTracking;
    BOOL m_bTracking2;
    CPoint m_ptTrackOffset;
    CRect m_rectLimit;
    CRect m_rectTracker;
    CRect m_rectTracker2;
    int m_htTrack;

    DECLARE_MESSAGE_MAP()
};
