// The common controls' tab control (also the row of tabs of a property sheet).
#pragma once

#include "framework/CWnd.h"

class CImageList;
class CToolTipCtrl;

class CTabCtrl : public CWnd
{
    DECLARE_DYNAMIC(CTabCtrl)
public:
    CTabCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    CImageList* GetImageList() const;
    CImageList* SetImageList(CImageList* pImageList); // the previous list
    int GetItemCount() const;
    BOOL GetItem(int nItem, TCITEMW* pTabCtrlItem) const;
    BOOL SetItem(int nItem, TCITEMW* pTabCtrlItem);
    BOOL SetItemExtra(int nBytes);
    BOOL GetItemRect(int nItem, LPRECT lpRect) const;
    int GetCurSel() const;
    int SetCurSel(int nItem); // the previous selection, -1 on failure
    int GetCurFocus() const;
    void SetCurFocus(int nItem);
    CSize SetItemSize(CSize size); // the previous size
    void SetPadding(CSize size);
    int GetRowCount() const;
    CToolTipCtrl* GetToolTips() const;
    int SetMinTabWidth(int cx);
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD dwNewStyle, DWORD dwExMask = 0);

    // Each InsertItem returns the new tab's index, -1 on failure.
    LONG InsertItem(int nItem, TCITEMW* pTabCtrlItem);
    LONG InsertItem(int nItem, LPCWSTR lpszItem);
    LONG InsertItem(int nItem, LPCWSTR lpszItem, int nImage);
    LONG InsertItem(UINT nMask, int nItem, LPCWSTR lpszItem, int nImage, LPARAM lParam);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    // Display area from window rectangle (bLarger FALSE) or the reverse.
    void AdjustRect(BOOL bLarger, LPRECT lpRect);
    void RemoveImage(int nImage);
    int HitTest(TCHITTESTINFO* pHitTestInfo) const;
    void DeselectAll(BOOL fExcludeFocus);
    BOOL HighlightItem(int idItem, BOOL fHighlight = TRUE);

    // Draws a TCS_OWNERDRAWFIXED tab.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
