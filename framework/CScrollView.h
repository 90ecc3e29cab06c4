// A view larger than its window: SetScrollSizes gives the total size (and the page and line
// steps); the bars, keys and wheel scroll it, and OnPrepareDC shifts the viewport origin by the
// scroll position, so OnDraw draws in document coordinates.
#pragma once

#include "framework/CView.h"

class CBrush;

// A mapping mode of its own: the whole total size scaled into the window.
#define MM_SCALETOFIT (-1)

class CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)
protected:
    CScrollView();

public:
    ~CScrollView() override;

    static const SIZE sizeDefault; // 0,0: a tenth of the total (page) and of the page (line)

    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    void SetScaleToFitSize(SIZE sizeTotal);
    // The scroll position in logical units.
    CPoint GetScrollPosition() const;
    CPoint GetDeviceScrollPosition() const;
    CSize GetTotalSize() const { return m_totalLog; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    void ScrollToPosition(POINT pt);
    void ScrollToDevicePosition(POINT ptDev);
    void CenterOnPoint(CPoint ptCenter);
    // Fills the part of the window beyond the total size.
    void FillOutsideRect(CDC* pDC, CBrush* pBrush);
    // Resizes the frame so the view shows the total size (only smaller when bShrinkOnly).
    void ResizeParentToFit(BOOL bShrinkOnly = TRUE);
    // Shows or hides the scroll bars as the total size and the window need.
    void UpdateBars();
    BOOL DoMouseWheel(UINT fFlags, short zDelta, CPoint point);

    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder) override;
    // nScrollCode: low byte the horizontal code, high byte the vertical one (0xFF: none).
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    // Clamped to the scroll range; FALSE when nothing moved.
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

protected:
    // The client size with any scroll bars of the window itself taken away; FALSE when too small
    // for them.
    BOOL GetTrueClientSize(CSize& size, CSize& sizeSb);
    void GetScrollBarSizes(CSize& sizeSb);
    void GetScrollBarState(CSize sizeClient, CSize& needSb, CSize& sizeRange, CPoint& ptMove, BOOL bInsideClient);
    void CheckScrollBars(BOOL& bHasHorzBar, BOOL& bHasVertBar) const;
    void EnableScrollBarCtrl(int nBar, BOOL bEnable);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    int m_nMapMode;
    CSize m_totalLog; // in logical units
    CSize m_totalDev; // in device units
    CSize m_pageDev;
    CSize m_lineDev;
    BOOL m_bCenter; // the total size is centred when the window is larger
    BOOL m_bInsideUpdate;

    DECLARE_MESSAGE_MAP()
};
