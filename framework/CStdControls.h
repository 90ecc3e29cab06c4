// Wrappers of the standard USER controls: static text, buttons, edits, list boxes, combo boxes and
// scroll bars. Owner-drawn buttons, list boxes and combo boxes draw through the virtual DrawItem
// (and MeasureItem, CompareItem, DeleteItem) the parent reflects to them.
#pragma once

#include "framework/CWnd.h"

class CStatic : public CWnd
{
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() = default;
    BOOL Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);

    HICON SetIcon(HICON hIcon);
    HICON GetIcon() const;
    HBITMAP SetBitmap(HBITMAP hBitmap);
    HBITMAP GetBitmap() const;
    HCURSOR SetCursor(HCURSOR hCursor);
    HCURSOR GetCursor();
};

class CButton : public CWnd
{
    DECLARE_DYNAMIC(CButton)
public:
    CButton() = default;
    BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    UINT GetState() const;
    void SetState(BOOL bHighlight);
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
    HICON SetIcon(HICON hIcon);
    HICON GetIcon() const;
    HBITMAP SetBitmap(HBITMAP hBitmap);
    HBITMAP GetBitmap() const;
    HCURSOR SetCursor(HCURSOR hCursor);
    HCURSOR GetCursor();

    // Draws a BS_OWNERDRAW button.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd
{
    DECLARE_DYNAMIC(CEdit)
public:
    CEdit() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL CanUndo() const;
    int GetLineCount() const;
    BOOL GetModify() const;
    void SetModify(BOOL bModified = TRUE);
    void GetRect(LPRECT lpRect) const;
    DWORD GetSel() const;
    void GetSel(int& nStartChar, int& nEndChar) const;
    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo = FALSE);
    int GetLine(int nIndex, LPWSTR lpszBuffer, int nMaxLength) const;
    int LineIndex(int nLine = -1) const;
    int LineLength(int nLine = -1) const;
    int LineFromChar(int nIndex = -1) const;
    void LineScroll(int nLines, int nChars = 0);
    int GetFirstVisibleLine() const;
    void LimitText(int nChars = 0);
    void SetLimitText(UINT nMax);
    UINT GetLimitText() const;
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    void SetPasswordChar(wchar_t ch);
    void SetMargins(UINT nLeft, UINT nRight);
    DWORD GetMargins() const;
    BOOL SetTabStops(int nTabStops, LPINT rgTabStops);
    // The character nearest a point of the client area (low word) and its line (high word).
    int CharFromPos(CPoint pt) const;
    CPoint PosFromChar(UINT nChar) const;
    void EmptyUndoBuffer();
    BOOL Undo();
    void Clear();
    void Copy();
    void Cut();
    void Paste();
};

class CListBox : public CWnd
{
    DECLARE_DYNAMIC(CListBox)
public:
    CListBox() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetSel(int nIndex) const;
    int SetSel(int nIndex, BOOL bSelect = TRUE);
    int GetSelCount() const;
    int GetSelItems(int nMaxItems, LPINT rgIndex) const;
    int SelItemRange(BOOL bSelect, int nFirstItem, int nLastItem);
    int GetText(int nIndex, LPWSTR lpszBuffer) const;
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const;
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    void* GetItemDataPtr(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData);
    int GetItemRect(int nIndex, LPRECT lpRect) const;
    // Index of the item nearest pt (low word); bOutside is TRUE when pt lies outside every item.
    UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const;
    int SetItemHeight(int nIndex, UINT cyItemHeight);
    int GetItemHeight(int nIndex) const;
    int GetTopIndex() const;
    int SetTopIndex(int nIndex);
    int GetCaretIndex() const;
    int SetCaretIndex(int nIndex, BOOL bScroll = TRUE);
    int GetAnchorIndex() const;
    void SetHorizontalExtent(int cxExtent);
    void SetColumnWidth(int cxWidth);
    BOOL SetTabStops(int nTabStops, LPINT rgTabStops);
    int AddString(LPCWSTR lpszItem);
    int InsertString(int nIndex, LPCWSTR lpszItem);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int FindString(int nStartAfter, LPCWSTR lpszItem) const;
    int FindStringExact(int nIndexStart, LPCWSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCWSTR lpszItem);

    // Owner-drawn list boxes.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
    // LBS_WANTKEYBOARDINPUT: -1 lets the list box act on the key itself.
    virtual int VKeyToItem(UINT nKey, UINT nIndex);
    virtual int CharToItem(UINT nKey, UINT nIndex);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CComboBox : public CWnd
{
    DECLARE_DYNAMIC(CComboBox)
public:
    CComboBox() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    DWORD GetEditSel() const;
    BOOL SetEditSel(int nStartChar, int nEndChar);
    BOOL LimitText(int nMaxChars);
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    void* GetItemDataPtr(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData);
    int GetLBText(int nIndex, LPWSTR lpszText) const;
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const;
    int SetItemHeight(int nIndex, UINT cyItemHeight);
    int GetItemHeight(int nIndex) const;
    int SetExtendedUI(BOOL bExtended = TRUE);
    BOOL GetExtendedUI() const;
    void GetDroppedControlRect(LPRECT lprect) const;
    BOOL GetDroppedState() const;
    int GetDroppedWidth() const;
    int SetDroppedWidth(UINT nWidth);
    int GetTopIndex() const;
    int SetTopIndex(int nIndex);
    void SetHorizontalExtent(UINT nExtent);
    void ShowDropDown(BOOL bShowIt = TRUE);
    int AddString(LPCWSTR lpszString);
    int InsertString(int nIndex, LPCWSTR lpszString);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int FindString(int nStartAfter, LPCWSTR lpszString) const;
    int FindStringExact(int nIndexStart, LPCWSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCWSTR lpszString);
    void Clear();
    void Copy();
    void Cut();
    void Paste();

    // Owner-drawn combo boxes.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CScrollBar : public CWnd
{
    DECLARE_DYNAMIC(CScrollBar)
public:
    CScrollBar() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetScrollPos() const;
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE);
    void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const;
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void ShowScrollBar(BOOL bShow = TRUE);
    BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH);
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    int GetScrollLimit();
};
