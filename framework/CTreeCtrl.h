// The tree-view common control: items under parents, expansion, selection, hit testing, sorting
// and item data, as thin wrappers of its TVM_ messages.
#pragma once

#include "framework/CWnd.h"

class CImageList;
class CEdit;

class CTreeCtrl : public CWnd
{
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    CTreeCtrl() = default;
    ~CTreeCtrl() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // ---- looks
    UINT GetCount() const { return static_cast<UINT>(Send(TVM_GETCOUNT)); }
    UINT GetIndent() const { return static_cast<UINT>(Send(TVM_GETINDENT)); }
    void SetIndent(UINT nIndent) { Send(TVM_SETINDENT, nIndent); }
    CImageList* GetImageList(int nImageList) const;
    CImageList* SetImageList(CImageList* pImageList, int nImageListType);
    COLORREF GetBkColor() const { return static_cast<COLORREF>(Send(TVM_GETBKCOLOR)); }
    COLORREF SetBkColor(COLORREF clr)
    {
        return static_cast<COLORREF>(Send(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(clr)));
    }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(Send(TVM_GETTEXTCOLOR)); }
    COLORREF SetTextColor(COLORREF clr)
    {
        return static_cast<COLORREF>(Send(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(clr)));
    }
    COLORREF GetInsertMarkColor() const { return static_cast<COLORREF>(Send(TVM_GETINSERTMARKCOLOR)); }
    COLORREF SetInsertMarkColor(COLORREF clr)
    {
        return static_cast<COLORREF>(Send(TVM_SETINSERTMARKCOLOR, 0, static_cast<LPARAM>(clr)));
    }
    BOOL SetInsertMark(HTREEITEM hItem, BOOL fAfter = TRUE)
    {
        return Send(TVM_SETINSERTMARK, fAfter, reinterpret_cast<LPARAM>(hItem)) != 0;
    }
    SHORT GetItemHeight() const { return static_cast<SHORT>(Send(TVM_GETITEMHEIGHT)); }
    SHORT SetItemHeight(SHORT cyHeight)
    {
        return static_cast<SHORT>(Send(TVM_SETITEMHEIGHT, static_cast<WPARAM>(cyHeight)));
    }
    UINT GetScrollTime() const { return static_cast<UINT>(Send(TVM_GETSCROLLTIME)); }
    UINT SetScrollTime(UINT uScrollTime) { return static_cast<UINT>(Send(TVM_SETSCROLLTIME, uScrollTime)); }
    HWND GetToolTips() const { return reinterpret_cast<HWND>(Send(TVM_GETTOOLTIPS)); }
    HWND SetToolTips(HWND hWndTip)
    {
        return reinterpret_cast<HWND>(Send(TVM_SETTOOLTIPS, reinterpret_cast<WPARAM>(hWndTip)));
    }
    UINT GetVisibleCount() const { return static_cast<UINT>(Send(TVM_GETVISIBLECOUNT)); }

    // ---- navigation
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
    HTREEITEM GetLastVisibleItem() const { return GetNextItem(nullptr, TVGN_LASTVISIBLE); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    BOOL ItemHasChildren(HTREEITEM hItem) const;

    // ---- items
    BOOL GetItem(TVITEMW* pItem) const { return Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(pItem)) != 0; }
    BOOL SetItem(TVITEMW* pItem) { return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(pItem)) != 0; }
    BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCWSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                 UINT nStateMask, LPARAM lParam);
    CString GetItemText(HTREEITEM hItem) const;
    BOOL SetItemText(HTREEITEM hItem, LPCWSTR lpszItem);
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const
    {
        return static_cast<UINT>(
            Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(hItem), static_cast<LPARAM>(nStateMask)));
    }
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
    BOOL GetCheck(HTREEITEM hItem) const;
    BOOL SetCheck(HTREEITEM hItem, BOOL fCheck = TRUE);
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
    HTREEITEM InsertItem(LPTVINSERTSTRUCTW lpInsertStruct);
    HTREEITEM InsertItem(UINT nMask, LPCWSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask,
                         LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPCWSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(LPCWSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST);
    BOOL DeleteItem(HTREEITEM hItem) { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem)) != 0; }
    BOOL DeleteAllItems() { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)) != 0; }

    // ---- expansion, selection and editing
    BOOL Expand(HTREEITEM hItem, UINT nCode) { return Send(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)) != 0; }
    BOOL Select(HTREEITEM hItem, UINT nCode)
    {
        return Send(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(hItem)) != 0;
    }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
    BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
    BOOL EnsureVisible(HTREEITEM hItem) { return Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem)) != 0; }
    CEdit* EditLabel(HTREEITEM hItem);
    CEdit* GetEditControl() const;
    BOOL EndEditLabelNow(BOOL fCancelWithoutSave) { return Send(TVM_ENDEDITLABELNOW, fCancelWithoutSave) != 0; }

    // ---- hit testing, sorting and dragging
    HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const
    {
        return reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }
    BOOL SortChildren(HTREEITEM hItem) { return Send(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(hItem)) != 0; }
    // The children of pSort->hParent ordered by pSort->lpfnCompare over their item data.
    BOOL SortChildrenCB(LPTVSORTCB pSort) { return Send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(pSort)) != 0; }
    // A drag image of the item (the caller deletes it); null when the control makes none.
    CImageList* CreateDragImage(HTREEITEM hItem);

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};
