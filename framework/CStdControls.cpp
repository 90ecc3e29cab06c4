#include "framework/CStdControls.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

namespace {

template <class T> LPARAM AsLParam(T value)
{
    return reinterpret_cast<LPARAM>(value);
}

// Reads an item text of a list or combo box whose length message is lengthMsg.
void ReadItemText(const CWnd* wnd, UINT lengthMsg, UINT textMsg, int nIndex, CString& rString)
{
    LRESULT length = wnd->SendMessage(lengthMsg, static_cast<WPARAM>(nIndex));
    if (length < 0) {
        rString.Empty();
        return;
    }
    LPWSTR buffer = rString.GetBuffer(static_cast<int>(length) + 1);
    LRESULT copied = wnd->SendMessage(textMsg, static_cast<WPARAM>(nIndex), AsLParam(buffer));
    rString.ReleaseBuffer(copied < 0 ? 0 : static_cast<int>(copied));
}

// The owner-draw messages a parent reflects to an owner-drawn list or combo box, handed to its
// virtuals; false for any other message.
template <class T> bool DispatchOwnerDraw(T* control, UINT message, LPARAM lParam, LRESULT& result)
{
    result = TRUE;
    switch (message) {
    case WM_DRAWITEM:
        control->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return true;
    case WM_MEASUREITEM:
        control->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        return true;
    case WM_COMPAREITEM:
        result = control->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        return true;
    case WM_DELETEITEM:
        control->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        return true;
    default:
        return false;
    }
}

} // namespace

// ---------------------------------------------------------------- CStatic

BOOL CStatic::Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

HICON CStatic::SetIcon(HICON hIcon)
{
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
}

HICON CStatic::GetIcon() const
{
    return reinterpret_cast<HICON>(SendMessage(STM_GETICON));
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap)
{
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, AsLParam(hBitmap)));
}

HBITMAP CStatic::GetBitmap() const
{
    return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
}

HCURSOR CStatic::SetCursor(HCURSOR hCursor)
{
    return reinterpret_cast<HCURSOR>(SendMessage(STM_SETIMAGE, IMAGE_CURSOR, AsLParam(hCursor)));
}

HCURSOR CStatic::GetCursor()
{
    return reinterpret_cast<HCURSOR>(SendMessage(STM_GETIMAGE, IMAGE_CURSOR));
}

// ---------------------------------------------------------------- CButton

BOOL CButton::Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

UINT CButton::GetState() const
{
    return static_cast<UINT>(SendMessage(BM_GETSTATE));
}

void CButton::SetState(BOOL bHighlight)
{
    SendMessage(BM_SETSTATE, bHighlight);
}

int CButton::GetCheck() const
{
    return static_cast<int>(SendMessage(BM_GETCHECK));
}

void CButton::SetCheck(int nCheck)
{
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
}

UINT CButton::GetButtonStyle() const
{
    return GetStyle() & 0xFF;
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw)
{
    SendMessage(BM_SETSTYLE, nStyle, bRedraw);
}

HICON CButton::SetIcon(HICON hIcon)
{
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, AsLParam(hIcon)));
}

HICON CButton::GetIcon() const
{
    return reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON));
}

HBITMAP CButton::SetBitmap(HBITMAP hBitmap)
{
    return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, AsLParam(hBitmap)));
}

HBITMAP CButton::GetBitmap() const
{
    return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP));
}

HCURSOR CButton::SetCursor(HCURSOR hCursor)
{
    return reinterpret_cast<HCURSOR>(SendMessage(BM_SETIMAGE, IMAGE_CURSOR, AsLParam(hCursor)));
}

HCURSOR CButton::GetCursor()
{
    return reinterpret_cast<HCURSOR>(SendMessage(BM_GETIMAGE, IMAGE_CURSOR));
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

// ---------------------------------------------------------------- CEdit

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CEdit::CanUndo() const
{
    return static_cast<BOOL>(SendMessage(EM_CANUNDO));
}

int CEdit::GetLineCount() const
{
    return static_cast<int>(SendMessage(EM_GETLINECOUNT));
}

BOOL CEdit::GetModify() const
{
    return static_cast<BOOL>(SendMessage(EM_GETMODIFY));
}

void CEdit::SetModify(BOOL bModified)
{
    SendMessage(EM_SETMODIFY, bModified);
}

void CEdit::GetRect(LPRECT lpRect) const
{
    SendMessage(EM_GETRECT, 0, AsLParam(lpRect));
}

DWORD CEdit::GetSel() const
{
    return static_cast<DWORD>(SendMessage(EM_GETSEL));
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), AsLParam(&end));
    nStartChar = static_cast<int>(start);
    nEndChar = static_cast<int>(end);
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SetSel(static_cast<int>(static_cast<short>(LOWORD(dwSelection))),
           static_cast<int>(static_cast<short>(HIWORD(dwSelection))), bNoScroll);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
    if (!bNoScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo)
{
    SendMessage(EM_REPLACESEL, bCanUndo, AsLParam(lpszNewText));
}

int CEdit::GetLine(int nIndex, LPWSTR lpszBuffer, int nMaxLength) const
{
    // EM_GETLINE reads the buffer size from the buffer's first word.
    if (nMaxLength <= 0)
        return 0;
    *reinterpret_cast<WORD*>(lpszBuffer) = static_cast<WORD>(std::min(nMaxLength, 0xFFFF));
    return static_cast<int>(SendMessage(EM_GETLINE, static_cast<WPARAM>(nIndex), AsLParam(lpszBuffer)));
}

int CEdit::LineIndex(int nLine) const
{
    return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(nLine)));
}

int CEdit::LineLength(int nLine) const
{
    return static_cast<int>(SendMessage(EM_LINELENGTH, static_cast<WPARAM>(nLine)));
}

int CEdit::LineFromChar(int nIndex) const
{
    return static_cast<int>(SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(nIndex)));
}

void CEdit::LineScroll(int nLines, int nChars)
{
    SendMessage(EM_LINESCROLL, static_cast<WPARAM>(nChars), nLines);
}

int CEdit::GetFirstVisibleLine() const
{
    return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE));
}

void CEdit::LimitText(int nChars)
{
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars));
}

void CEdit::SetLimitText(UINT nMax)
{
    SendMessage(EM_SETLIMITTEXT, nMax);
}

UINT CEdit::GetLimitText() const
{
    return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT));
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly)
{
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly));
}

void CEdit::SetPasswordChar(wchar_t ch)
{
    SendMessage(EM_SETPASSWORDCHAR, ch);
}

void CEdit::SetMargins(UINT nLeft, UINT nRight)
{
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
}

DWORD CEdit::GetMargins() const
{
    return static_cast<DWORD>(SendMessage(EM_GETMARGINS));
}

BOOL CEdit::SetTabStops(int nTabStops, LPINT rgTabStops)
{
    return static_cast<BOOL>(SendMessage(EM_SETTABSTOPS, static_cast<WPARAM>(nTabStops), AsLParam(rgTabStops)));
}

int CEdit::CharFromPos(CPoint pt) const
{
    return static_cast<int>(SendMessage(EM_CHARFROMPOS, 0, MAKELPARAM(pt.x, pt.y)));
}

CPoint CEdit::PosFromChar(UINT nChar) const
{
    LRESULT pos = SendMessage(EM_POSFROMCHAR, nChar);
    return CPoint(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
}

void CEdit::EmptyUndoBuffer()
{
    SendMessage(EM_EMPTYUNDOBUFFER);
}

BOOL CEdit::Undo()
{
    return static_cast<BOOL>(SendMessage(EM_UNDO));
}

void CEdit::Clear()
{
    SendMessage(WM_CLEAR);
}

void CEdit::Copy()
{
    SendMessage(WM_COPY);
}

void CEdit::Cut()
{
    SendMessage(WM_CUT);
}

void CEdit::Paste()
{
    SendMessage(WM_PASTE);
}

// ---------------------------------------------------------------- CListBox

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListBox::GetCount() const
{
    return static_cast<int>(SendMessage(LB_GETCOUNT));
}

int CListBox::GetCurSel() const
{
    return static_cast<int>(SendMessage(LB_GETCURSEL));
}

int CListBox::SetCurSel(int nSelect)
{
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}

int CListBox::GetSel(int nIndex) const
{
    return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(nIndex)));
}

int CListBox::SetSel(int nIndex, BOOL bSelect)
{
    return static_cast<int>(SendMessage(LB_SETSEL, bSelect, nIndex));
}

int CListBox::GetSelCount() const
{
    return static_cast<int>(SendMessage(LB_GETSELCOUNT));
}

int CListBox::GetSelItems(int nMaxItems, LPINT rgIndex) const
{
    return static_cast<int>(SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(nMaxItems), AsLParam(rgIndex)));
}

int CListBox::SelItemRange(BOOL bSelect, int nFirstItem, int nLastItem)
{
    return static_cast<int>(SendMessage(LB_SELITEMRANGE, bSelect, MAKELONG(nFirstItem, nLastItem)));
}

int CListBox::GetText(int nIndex, LPWSTR lpszBuffer) const
{
    return static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), AsLParam(lpszBuffer)));
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    ReadItemText(this, LB_GETTEXTLEN, LB_GETTEXT, nIndex, rString);
}

int CListBox::GetTextLen(int nIndex) const
{
    return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
}

DWORD_PTR CListBox::GetItemData(int nIndex) const
{
    return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
}

int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}

void* CListBox::GetItemDataPtr(int nIndex) const
{
    return reinterpret_cast<void*>(GetItemData(nIndex));
}

int CListBox::SetItemDataPtr(int nIndex, void* pData)
{
    return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData));
}

int CListBox::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return static_cast<int>(SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(nIndex), AsLParam(lpRect)));
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const
{
    DWORD result = static_cast<DWORD>(SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y)));
    bOutside = HIWORD(result) != 0;
    return LOWORD(result);
}

int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight)
{
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), MAKELONG(cyItemHeight, 0)));
}

int CListBox::GetItemHeight(int nIndex) const
{
    return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
}

int CListBox::GetTopIndex() const
{
    return static_cast<int>(SendMessage(LB_GETTOPINDEX));
}

int CListBox::SetTopIndex(int nIndex)
{
    return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(nIndex)));
}

int CListBox::GetCaretIndex() const
{
    return static_cast<int>(SendMessage(LB_GETCARETINDEX));
}

int CListBox::SetCaretIndex(int nIndex, BOOL bScroll)
{
    return static_cast<int>(SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(nIndex), MAKELONG(bScroll, 0)));
}

int CListBox::GetAnchorIndex() const
{
    return static_cast<int>(SendMessage(LB_GETANCHORINDEX));
}

void CListBox::SetHorizontalExtent(int cxExtent)
{
    SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(cxExtent));
}

void CListBox::SetColumnWidth(int cxWidth)
{
    SendMessage(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(cxWidth));
}

BOOL CListBox::SetTabStops(int nTabStops, LPINT rgTabStops)
{
    return static_cast<BOOL>(SendMessage(LB_SETTABSTOPS, static_cast<WPARAM>(nTabStops), AsLParam(rgTabStops)));
}

int CListBox::AddString(LPCWSTR lpszItem)
{
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, AsLParam(lpszItem)));
}

int CListBox::InsertString(int nIndex, LPCWSTR lpszItem)
{
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), AsLParam(lpszItem)));
}

int CListBox::DeleteString(UINT nIndex)
{
    return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex));
}

void CListBox::ResetContent()
{
    SendMessage(LB_RESETCONTENT);
}

int CListBox::FindString(int nStartAfter, LPCWSTR lpszItem) const
{
    return static_cast<int>(SendMessage(LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), AsLParam(lpszItem)));
}

int CListBox::FindStringExact(int nIndexStart, LPCWSTR lpszFind) const
{
    return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), AsLParam(lpszFind)));
}

int CListBox::SelectString(int nStartAfter, LPCWSTR lpszItem)
{
    return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), AsLParam(lpszItem)));
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

int CListBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

int CListBox::VKeyToItem(UINT, UINT)
{
    return -1;
}

int CListBox::CharToItem(UINT, UINT)
{
    return -1;
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = TRUE;
    if (message == WM_VKEYTOITEM)
        result = VKeyToItem(LOWORD(wParam), HIWORD(wParam));
    else if (message == WM_CHARTOITEM)
        result = CharToItem(LOWORD(wParam), HIWORD(wParam));
    else if (!DispatchOwnerDraw(this, message, lParam, result))
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    if (pResult)
        *pResult = result;
    return TRUE;
}

// ---------------------------------------------------------------- CComboBox

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::GetCount() const
{
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}

int CComboBox::GetCurSel() const
{
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

int CComboBox::SetCurSel(int nSelect)
{
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}

DWORD CComboBox::GetEditSel() const
{
    return static_cast<DWORD>(SendMessage(CB_GETEDITSEL));
}

BOOL CComboBox::SetEditSel(int nStartChar, int nEndChar)
{
    return static_cast<BOOL>(SendMessage(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar)));
}

BOOL CComboBox::LimitText(int nMaxChars)
{
    return static_cast<BOOL>(SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(nMaxChars)));
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const
{
    return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
}

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}

void* CComboBox::GetItemDataPtr(int nIndex) const
{
    return reinterpret_cast<void*>(GetItemData(nIndex));
}

int CComboBox::SetItemDataPtr(int nIndex, void* pData)
{
    return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData));
}

int CComboBox::GetLBText(int nIndex, LPWSTR lpszText) const
{
    return static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), AsLParam(lpszText)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    ReadItemText(this, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, rString);
}

int CComboBox::GetLBTextLen(int nIndex) const
{
    return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
}

int CComboBox::SetItemHeight(int nIndex, UINT cyItemHeight)
{
    return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), MAKELONG(cyItemHeight, 0)));
}

int CComboBox::GetItemHeight(int nIndex) const
{
    return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
}

int CComboBox::SetExtendedUI(BOOL bExtended)
{
    return static_cast<int>(SendMessage(CB_SETEXTENDEDUI, bExtended));
}

BOOL CComboBox::GetExtendedUI() const
{
    return static_cast<BOOL>(SendMessage(CB_GETEXTENDEDUI));
}

void CComboBox::GetDroppedControlRect(LPRECT lprect) const
{
    SendMessage(CB_GETDROPPEDCONTROLRECT, 0, AsLParam(lprect));
}

BOOL CComboBox::GetDroppedState() const
{
    return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE));
}

int CComboBox::GetDroppedWidth() const
{
    return static_cast<int>(SendMessage(CB_GETDROPPEDWIDTH));
}

int CComboBox::SetDroppedWidth(UINT nWidth)
{
    return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, nWidth));
}

int CComboBox::GetTopIndex() const
{
    return static_cast<int>(SendMessage(CB_GETTOPINDEX));
}

int CComboBox::SetTopIndex(int nIndex)
{
    return static_cast<int>(SendMessage(CB_SETTOPINDEX, static_cast<WPARAM>(nIndex)));
}

void CComboBox::SetHorizontalExtent(UINT nExtent)
{
    SendMessage(CB_SETHORIZONTALEXTENT, nExtent);
}

void CComboBox::ShowDropDown(BOOL bShowIt)
{
    SendMessage(CB_SHOWDROPDOWN, bShowIt);
}

int CComboBox::AddString(LPCWSTR lpszString)
{
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, AsLParam(lpszString)));
}

int CComboBox::InsertString(int nIndex, LPCWSTR lpszString)
{
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), AsLParam(lpszString)));
}

int CComboBox::DeleteString(UINT nIndex)
{
    return static_cast<int>(SendMessage(CB_DELETESTRING, nIndex));
}

void CComboBox::ResetContent()
{
    SendMessage(CB_RESETCONTENT);
}

int CComboBox::FindString(int nStartAfter, LPCWSTR lpszString) const
{
    return static_cast<int>(SendMessage(CB_FINDSTRING, static_cast<WPARAM>(nStartAfter), AsLParam(lpszString)));
}

int CComboBox::FindStringExact(int nIndexStart, LPCWSTR lpszFind) const
{
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), AsLParam(lpszFind)));
}

int CComboBox::SelectString(int nStartAfter, LPCWSTR lpszString)
{
    return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), AsLParam(lpszString)));
}

void CComboBox::Clear()
{
    SendMessage(WM_CLEAR);
}

void CComboBox::Copy()
{
    SendMessage(WM_COPY);
}

void CComboBox::Cut()
{
    SendMessage(WM_CUT);
}

void CComboBox::Paste()
{
    SendMessage(WM_PASTE);
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = TRUE;
    if (!DispatchOwnerDraw(this, message, lParam, result))
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    if (pResult)
        *pResult = result;
    return TRUE;
}

// ---------------------------------------------------------------- CScrollBar

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CScrollBar::GetScrollPos() const
{
    return ::GetScrollPos(m_hWnd, SB_CTL);
}

int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw)
{
    return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw);
}

void CScrollBar::GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const
{
    ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
}

void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw)
{
    ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
}

void CScrollBar::ShowScrollBar(BOOL bShow)
{
    ::ShowScrollBar(m_hWnd, SB_CTL, bShow);
}

BOOL CScrollBar::EnableScrollBar(UINT nArrowFlags)
{
    return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags);
}

BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    return CWnd::SetScrollInfo(SB_CTL, lpScrollInfo, bRedraw);
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    return CWnd::GetScrollInfo(SB_CTL, lpScrollInfo, nMask);
}

int CScrollBar::GetScrollLimit()
{
    return CWnd::GetScrollLimit(SB_CTL);
}
