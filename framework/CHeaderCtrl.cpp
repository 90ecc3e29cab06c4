#include "framework/CHeaderCtrl.h"
#include "framework/CImageList.h"

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
    return CWnd::Create(WC_HEADERW, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CHeaderCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessage(HDM_GETITEMCOUNT));
}

BOOL CHeaderCtrl::GetItem(int nPos, HDITEMW* pHeaderItem) const
{
    return static_cast<BOOL>(SendMessage(HDM_GETITEMW, nPos, reinterpret_cast<LPARAM>(pHeaderItem)));
}

BOOL CHeaderCtrl::SetItem(int nPos, HDITEMW* pHeaderItem)
{
    return static_cast<BOOL>(SendMessage(HDM_SETITEMW, nPos, reinterpret_cast<LPARAM>(pHeaderItem)));
}

int CHeaderCtrl::InsertItem(int nPos, HDITEMW* phdi)
{
    return static_cast<int>(SendMessage(HDM_INSERTITEMW, nPos, reinterpret_cast<LPARAM>(phdi)));
}

BOOL CHeaderCtrl::DeleteItem(int nPos)
{
    return static_cast<BOOL>(SendMessage(HDM_DELETEITEM, nPos));
}

BOOL CHeaderCtrl::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return static_cast<BOOL>(SendMessage(HDM_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CHeaderCtrl::Layout(HDLAYOUT* pHeaderLayout)
{
    return static_cast<BOOL>(SendMessage(HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(pHeaderLayout)));
}

int CHeaderCtrl::HitTest(LPHDHITTESTINFO pHeaderHitTestInfo)
{
    return static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(pHeaderHitTestInfo)));
}

int CHeaderCtrl::OrderToIndex(int nOrder) const
{
    return static_cast<int>(SendMessage(HDM_ORDERTOINDEX, nOrder));
}

BOOL CHeaderCtrl::GetOrderArray(LPINT piArray, int iCount)
{
    if (iCount < 0)
        iCount = GetItemCount();
    return static_cast<BOOL>(SendMessage(HDM_GETORDERARRAY, iCount, reinterpret_cast<LPARAM>(piArray)));
}

BOOL CHeaderCtrl::SetOrderArray(int iCount, LPINT piArray)
{
    return static_cast<BOOL>(SendMessage(HDM_SETORDERARRAY, iCount, reinterpret_cast<LPARAM>(piArray)));
}

CImageList* CHeaderCtrl::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST)));
}

CImageList* CHeaderCtrl::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList->GetSafeHandle()))));
}

CImageList* CHeaderCtrl::CreateDragImage(int nIndex)
{
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessage(HDM_CREATEDRAGIMAGE, nIndex));
    if (!list)
        return nullptr;
    // The caller owns the new list.
    auto* image = new CImageList;
    image->Attach(list);
    return image;
}

int CHeaderCtrl::SetHotDivider(CPoint pt)
{
    return static_cast<int>(SendMessage(HDM_SETHOTDIVIDER, TRUE, MAKELPARAM(pt.x, pt.y)));
}

int CHeaderCtrl::SetHotDivider(int nIndex)
{
    return static_cast<int>(SendMessage(HDM_SETHOTDIVIDER, FALSE, nIndex));
}

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}
