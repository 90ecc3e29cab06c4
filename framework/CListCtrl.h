// The list-view common control: items with sub-items in columns, image lists, states, sorting
// and hit testing, as thin wrappers of its LVM_ messages.
#pragma once

#include "framework/CWnd.h"

class CImageList;
class CEdit;
class CHeaderCtrl;

class CListCtrl : public CWnd
{
    DECLARE_DYNAMIC(CListCtrl)
public:
    CListCtrl() = default;
    ~CListCtrl() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // ---- looks
    COLORREF GetBkColor() const { return static_cast<COLORREF>(Send(LVM_GETBKCOLOR)); }
    BOOL SetBkColor(COLORREF cr) { return Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(cr)) != 0; }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(Send(LVM_GETTEXTCOLOR)); }
    BOOL SetTextColor(COLORREF cr) { return Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(cr)) != 0; }
    COLORREF GetTextBkColor() const { return static_cast<COLORREF>(Send(LVM_GETTEXTBKCOLOR)); }
    BOOL SetTextBkColor(COLORREF cr) { return Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(cr)) != 0; }
    CImageList* GetImageList(int nImageList) const;
    CImageList* SetImageList(CImageList* pImageList, int nImageListType);
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    DWORD SetExtendedStyle(DWORD dwNewStyle)
    {
        return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwNewStyle)));
    }
    DWORD GetView() const;
    int SetView(int iView);
    CSize SetIconSpacing(int cx, int cy);
    BOOL SetBkImage(LVBKIMAGEW* plvbkImage)
    {
        return Send(LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(plvbkImage)) != 0;
    }
    HCURSOR GetHotCursor() const { return reinterpret_cast<HCURSOR>(Send(LVM_GETHOTCURSOR)); }
    HCURSOR SetHotCursor(HCURSOR hc)
    {
        return reinterpret_cast<HCURSOR>(Send(LVM_SETHOTCURSOR, 0, reinterpret_cast<LPARAM>(hc)));
    }
    DWORD GetHoverTime() const { return static_cast<DWORD>(Send(LVM_GETHOVERTIME)); }
    DWORD SetHoverTime(DWORD dwHoverTime = static_cast<DWORD>(-1))
    {
        return static_cast<DWORD>(Send(LVM_SETHOVERTIME, 0, static_cast<LPARAM>(dwHoverTime)));
    }
    HWND GetToolTips() const { return reinterpret_cast<HWND>(Send(LVM_GETTOOLTIPS)); }
    HWND SetToolTips(HWND hWndTip)
    {
        return reinterpret_cast<HWND>(Send(LVM_SETTOOLTIPS, reinterpret_cast<WPARAM>(hWndTip)));
    }

    // ---- items
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    BOOL SetItemCount(int nItems) { return Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(nItems)) != 0; }
    BOOL SetItemCountEx(int iCount, DWORD dwFlags = LVSICF_NOINVALIDATEALL)
    {
        return Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(iCount), static_cast<LPARAM>(dwFlags)) != 0;
    }
    BOOL GetItem(LVITEMW* pItem) const { return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(pItem)) != 0; }
    BOOL SetItem(const LVITEMW* pItem) { return Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(pItem)) != 0; }
    BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCWSTR lpszItem, int nImage, UINT nState, UINT nStateMask,
                 LPARAM lParam);
    BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCWSTR lpszItem, int nImage, UINT nState, UINT nStateMask,
                 LPARAM lParam, int nIndent);
    // LPSTR_TEXTCALLBACK as the text makes the control ask its parent (LVN_GETDISPINFO).
    int InsertItem(const LVITEMW* pItem);
    int InsertItem(int nItem, LPCWSTR lpszItem);
    int InsertItem(int nItem, LPCWSTR lpszItem, int nImage);
    int InsertItem(UINT nMask, int nItem, LPCWSTR lpszItem, UINT nState, UINT nStateMask, int nImage, LPARAM lParam);
    BOOL DeleteItem(int nItem) { return Send(LVM_DELETEITEM, static_cast<WPARAM>(nItem)) != 0; }
    BOOL DeleteAllItems() { return Send(LVM_DELETEALLITEMS) != 0; }
    CString GetItemText(int nItem, int nSubItem) const;
    int GetItemText(int nItem, int nSubItem, LPWSTR lpszText, int nLen) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCWSTR lpszText);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    UINT GetItemState(int nItem, UINT nMask) const
    {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), static_cast<LPARAM>(nMask)));
    }
    BOOL SetItemState(int nItem, LVITEMW* pItem)
    {
        return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pItem)) != 0;
    }
    // nItem -1: every item.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetCallbackMask() const { return static_cast<UINT>(Send(LVM_GETCALLBACKMASK)); }
    BOOL SetCallbackMask(UINT nMask) { return Send(LVM_SETCALLBACKMASK, nMask) != 0; }
    BOOL GetCheck(int nItem) const;
    BOOL SetCheck(int nItem, BOOL fCheck = TRUE);
    UINT GetSelectedCount() const { return static_cast<UINT>(Send(LVM_GETSELECTEDCOUNT)); }
    int GetSelectionMark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
    int SetSelectionMark(int iIndex)
    {
        return static_cast<int>(Send(LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(iIndex)));
    }
    int GetNextItem(int nItem, int nFlags) const
    {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
    }
    // The selected items in order: a POSITION is the index plus one.
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    int GetHotItem() const { return static_cast<int>(Send(LVM_GETHOTITEM)); }
    int SetHotItem(int iIndex) { return static_cast<int>(Send(LVM_SETHOTITEM, static_cast<WPARAM>(iIndex))); }
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
    BOOL GetItemPosition(int nItem, LPPOINT lpPoint) const
    {
        return Send(LVM_GETITEMPOSITION, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpPoint)) != 0;
    }
    BOOL SetItemPosition(int nItem, POINT pt);
    int GetStringWidth(LPCWSTR lpsz) const
    {
        return static_cast<int>(Send(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(lpsz)));
    }
    int FindItem(LVFINDINFOW* pFindInfo, int nStart = -1) const
    {
        return static_cast<int>(Send(LVM_FINDITEMW, static_cast<WPARAM>(nStart), reinterpret_cast<LPARAM>(pFindInfo)));
    }
    int HitTest(LVHITTESTINFO* pHitTestInfo) const
    {
        return static_cast<int>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }
    int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    // The item and column under pInfo->pt.
    int SubItemHitTest(LPLVHITTESTINFO pInfo)
    {
        return static_cast<int>(Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(pInfo)));
    }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK)
    {
        return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), MAKELPARAM(bPartialOK, 0)) != 0;
    }
    BOOL Scroll(CSize size)
    {
        return Send(LVM_SCROLL, static_cast<WPARAM>(size.cx), static_cast<LPARAM>(size.cy)) != 0;
    }
    BOOL RedrawItems(int nFirst, int nLast)
    {
        return Send(LVM_REDRAWITEMS, static_cast<WPARAM>(nFirst), static_cast<LPARAM>(nLast)) != 0;
    }
    BOOL Update(int nItem) { return Send(LVM_UPDATE, static_cast<WPARAM>(nItem)) != 0; }
    BOOL Arrange(UINT nCode) { return Send(LVM_ARRANGE, nCode) != 0; }
    CEdit* EditLabel(int nItem);
    CEdit* GetEditControl() const;
    int GetTopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(Send(LVM_GETCOUNTPERPAGE)); }
    BOOL GetOrigin(LPPOINT lpPoint) const { return Send(LVM_GETORIGIN, 0, reinterpret_cast<LPARAM>(lpPoint)) != 0; }
    BOOL GetViewRect(LPRECT lpRect) const { return Send(LVM_GETVIEWRECT, 0, reinterpret_cast<LPARAM>(lpRect)) != 0; }
    CSize ApproximateViewRect(CSize sz = CSize(-1, -1), int iCount = -1) const;
    // The comparison gets the two items' data and dwData; negative, zero or positive.
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData);
    // The same with item indexes instead of data.
    BOOL SortItemsEx(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData);
    // A drag image of the item (the caller deletes it); null when the control makes none.
    virtual CImageList* CreateDragImage(int nItem, LPPOINT lpPoint);

    // ---- columns
    int InsertColumn(int nCol, const LVCOLUMNW* pColumn)
    {
        return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
    }
    int InsertColumn(int nCol, LPCWSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol) { return Send(LVM_DELETECOLUMN, static_cast<WPARAM>(nCol)) != 0; }
    BOOL GetColumn(int nCol, LVCOLUMNW* pColumn) const
    {
        return Send(LVM_GETCOLUMNW, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)) != 0;
    }
    BOOL SetColumn(int nCol, const LVCOLUMNW* pColumn)
    {
        return Send(LVM_SETCOLUMNW, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)) != 0;
    }
    int GetColumnWidth(int nCol) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nCol))); }
    BOOL SetColumnWidth(int nCol, int cx)
    {
        return Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nCol), MAKELPARAM(cx, 0)) != 0;
    }
    BOOL GetColumnOrderArray(LPINT piArray, int iCount = -1) const;
    BOOL SetColumnOrderArray(int iCount, LPINT piArray)
    {
        return Send(LVM_SETCOLUMNORDERARRAY, static_cast<WPARAM>(iCount), reinterpret_cast<LPARAM>(piArray)) != 0;
    }
    int GetSelectedColumn() const { return static_cast<int>(Send(LVM_GETSELECTEDCOLUMN)); }
    void SetSelectedColumn(int iCol) { Send(LVM_SETSELECTEDCOLUMN, static_cast<WPARAM>(iCol)); }
    // The header of a report view (a temporary wrapper).
    CHeaderCtrl* GetHeaderCtrl() const;

    // Owner-drawn report items (LVS_OWNERDRAWFIXED).
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};
