// A report list whose header is the flat header, which sorts its rows by the text of a clicked
// column and keeps its column widths in the application's settings file between runs.
#pragma once

#include "controls/CCJFlatHeaderCtrl.h"

class CCJListCtrl : public CListCtrl
{
public:
    CCJListCtrl() = default;

    // The settings file's section and key of the widths ("Settings", "Control" by default).
    void SetWidthsKey(LPCWSTR lpszSection, LPCWSTR lpszKey);
    BOOL InsertColumns(int nCount, const UINT* pTitleIds, const int* pWidths);
    int GetStoredColumnWidth(int nColumn);
    void RestoreColumnWidths();
    void RestoreColumnWidth(int nColumn);
    void FitColumn(int nColumn);
    void SaveColumnWidths();
    // Quicksort of rows lo..hi (hi -1: the last) by one column's text; equal texts never swap.
    BOOL SortByText(int nColumn, BOOL bAscending, int nLow = 0, int nHigh = -1);
    void AddExtendedStyle(DWORD dwNewStyle);

    CCJFlatHeaderCtrl& GetFlatHeader() { return m_flatHeader; }
    int GetSortColumn() const { return m_nSortColumn; }
    BOOL IsSortAscending() const { return m_bAscending; }

    // The narrowest column a stored width restores; narrower ones are fitted.
    static constexpr int MinColumnWidth = 70;

protected:
    void PreSubclassWindow() override;
    BOOL AttachHeader();
    void SwapRows(int nRow1, int nRow2);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg BOOL OnHeaderClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    int m_nSortColumn = -1;
    BOOL m_bAscending = TRUE;
    BOOL m_bSaveColumnWidths = FALSE;
    CString m_strSection;
    CString m_strKey;
    CCJFlatHeaderCtrl m_flatHeader;
};
