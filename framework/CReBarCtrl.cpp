#include "framework/CReBarCtrl.h"
#include "framework/CImageList.h"

IMPLEMENT_DYNAMIC(CReBarCtrl, CWnd)

BOOL CReBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(REBARCLASSNAMEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CReBarCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(dwExStyle, REBARCLASSNAMEW, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CReBarCtrl::SetImageList(CImageList* pImageList)
{
    REBARINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBIM_IMAGELIST;
    info.himl = pImageList ? pImageList->m_hImageList : nullptr;
    return SetBarInfo(&info);
}

CImageList* CReBarCtrl::GetImageList() const
{
    REBARINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBIM_IMAGELIST;
    return GetBarInfo(&info) ? CImageList::FromHandle(info.himl) : nullptr;
}
