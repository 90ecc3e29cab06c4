#include "framework/CTabCtrl.h"
#include "framework/CImageList.h"
#include "framework/CToolTipCtrl.h"

IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&init);
    return CWnd::Create(WC_TABCONTROLW, nullptr, dwStyle, rect, pParentWnd, nID);
}

CImageList* CTabCtrl::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST)));
}

CImageList* CTabCtrl::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList->GetSafeHandle()))));
}

int CTabCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessage(TCM_GETITEMCOUNT));
}

BOOL CTabCtrl::GetItem(int nItem, TCITEMW* pTabCtrlItem) const
{
    return static_cast<BOOL>(SendMessage(TCM_GETITEMW, nItem, reinterpret_cast<LPARAM>(pTabCtrlItem)));
}

BOOL CTabCtrl::SetItem(int nItem, TCITEMW* pTabCtrlItem)
{
    return static_cast<BOOL>(SendMessage(TCM_SETITEMW, nItem, reinterpret_cast<LPARAM>(pTabCtrlItem)));
}

BOOL CTabCtrl::SetItemExtra(int nBytes)
{
    return static_cast<BOOL>(SendMessage(TCM_SETITEMEXTRA, nBytes));
}

BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const
{
    return static_cast<BOOL>(SendMessage(TCM_GETITEMRECT, nItem, reinterpret_cast<LPARAM>(lpRect)));
}

int CTabCtrl::GetCurSel() const
{
    return static_cast<int>(SendMessage(TCM_GETCURSEL));
}

int CTabCtrl::SetCurSel(int nItem)
{
    return static_cast<int>(SendMessage(TCM_SETCURSEL, nItem));
}

int CTabCtrl::GetCurFocus() const
{
    return static_cast<int>(SendMessage(TCM_GETCURFOCUS));
}

void CTabCtrl::SetCurFocus(int nItem)
{
    SendMessage(TCM_SETCURFOCUS, nItem);
}

CSize CTabCtrl::SetItemSize(CSize size)
{
    DWORD previous = static_cast<DWORD>(SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy)));
    return CSize(LOWORD(previous), HIWORD(previous));
}

void CTabCtrl::SetPadding(CSize size)
{
    SendMessage(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy));
}

int CTabCtrl::GetRowCount() const
{
    return static_cast<int>(SendMessage(TCM_GETROWCOUNT));
}

CToolTipCtrl* CTabCtrl::GetToolTips() const
{
    return static_cast<CToolTipCtrl*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(TCM_GETTOOLTIPS))));
}

int CTabCtrl::SetMinTabWidth(int cx)
{
    return static_cast<int>(SendMessage(TCM_SETMINTABWIDTH, 0, cx));
}

DWORD CTabCtrl::GetExtendedStyle() const
{
    return static_cast<DWORD>(SendMessage(TCM_GETEXTENDEDSTYLE));
}

DWORD CTabCtrl::SetExtendedStyle(DWORD dwNewStyle, DWORD dwExMask)
{
    return static_cast<DWORD>(SendMessage(TCM_SETEXTENDEDSTYLE, dwExMask, dwNewStyle));
}

LONG CTabCtrl::InsertItem(int nItem, TCITEMW* pTabCtrlItem)
{
    return static_cast<LONG>(SendMessage(TCM_INSERTITEMW, nItem, reinterpret_cast<LPARAM>(pTabCtrlItem)));
}

LONG CTabCtrl::InsertItem(int nItem, LPCWSTR lpszItem)
{
    return InsertItem(TCIF_TEXT, nItem, lpszItem, 0, 0);
}

LONG CTabCtrl::InsertItem(int nItem, LPCWSTR lpszItem, int nImage)
{
    return InsertItem(TCIF_TEXT | TCIF_IMAGE, nItem, lpszItem, nImage, 0);
}

LONG CTabCtrl::InsertItem(UINT nMask, int nItem, LPCWSTR lpszItem, int nImage, LPARAM lParam)
{
    TCITEMW item = {};
    item.mask = nMask;
    item.pszText = const_cast<LPWSTR>(lpszItem);
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(nItem, &item);
}

BOOL CTabCtrl::DeleteItem(int nItem)
{
    return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, nItem));
}

BOOL CTabCtrl::DeleteAllItems()
{
    return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS));
}

void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect)
{
    SendMessage(TCM_ADJUSTRECT, bLarger, reinterpret_cast<LPARAM>(lpRect));
}

void CTabCtrl::RemoveImage(int nImage)
{
    SendMessage(TCM_REMOVEIMAGE, nImage);
}

int CTabCtrl::HitTest(TCHITTESTINFO* pHitTestInfo) const
{
    return static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
}

void CTabCtrl::DeselectAll(BOOL fExcludeFocus)
{
    SendMessage(TCM_DESELECTALL, fExcludeFocus);
}

BOOL CTabCtrl::HighlightItem(int idItem, BOOL fHighlight)
{
    return static_cast<BOOL>(SendMessage(TCM_HIGHLIGHTITEM, idItem, MAKELPARAM(fHighlight, 0)));
}

void CTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}
