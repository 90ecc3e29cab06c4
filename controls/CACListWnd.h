// The drop-down list of an auto-complete edit: a border window on the desktop that shows the
// words matching the typed text, is navigated by keys from the edit, follows the mouse and can be
// resized by its bottom-right corner (the size is kept for the later lists).
#pragma once

#include "framework/Framework.h"

class CACEdit;

// From the list to its edit and from the edit to its parent: wParam 0x100 the text was replaced
// from the list, 0x400 the text was edited and the list refiltered; lParam the control id.
#define WMU_AUTOCOMPLETE (WM_USER + 1200)

class CACListWnd : public CWnd
{
public:
    CACListWnd();

    void Init(CACEdit* pOwner);
    // Shows the words after nStartIndex that start with (or, with flag 0x20, contain) lpszText,
    // hiding the list when none does; -1 when there is nothing to look for, else 1.
    int FilterAndShow(int nStartIndex, LPCWSTR lpszText, BOOL bShowAll = FALSE);
    void ShowAll();
    // The selection moved by a navigation key; the selected row's text.
    CString MoveByKey(UINT nKey);
    CString GetSelectedText() const;
    // -1 only scrolls the selection into view again.
    void SelectRow(int nRow);
    int FindExact(int nStartAfter, LPCWSTR lpszText) const;
    BOOL GetWord(int nIndex, CString& rWord) const;
    int FindAndSelect(LPCWSTR lpszText);
    void Hide();

    CStringArray m_SearchList;
    CStringArray m_DisplayList;
    DWORD m_dwFlags = 0;

    int GetShownCount() const { return static_cast<int>(m_DisplayList.GetSize()); }
    int GetSelection() const { return m_lSelItem; }
    int GetTopIndex() const { return m_lTopIndex; }
    int GetRowHeight() const { return m_ItemHeight; }
    CString GetShown(int nRow) const;

protected:
    BOOL EnsureVisible(int nRow, BOOL bAnimate);
    void UpdateScroll();
    void PlaceScrollBar();
    void PaintRow(CDC* pDC, int nRow, int nWidth);
    void PaintGrip(CDC* pDC, const CRect& client);
    int HitRow(CPoint point) const;
    BOOL InCorner(CPoint screenPoint) const;

    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnNcPaint();
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    DECLARE_MESSAGE_MAP()

    CScrollBar m_VertBar;
    CRect m_LastSize;
    CRect m_ParentRect;
    CACEdit* m_pEditParent = nullptr;
    UINT_PTR m_lTimer = 0;
    int m_lTopIndex = 0;
    int m_lCount = 0;
    int m_ItemHeight = 16;
    int m_VisibleItems = 0;
    int m_lSelItem = -1;
};
