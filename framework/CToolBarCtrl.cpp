#include "framework/CToolBarCtrl.h"
#include "framework/CGdiObject.h"
#include "framework/CImageList.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::Create(TOOLBARCLASSNAMEW, nullptr, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBarCtrl::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, const RECT& rect, UINT nID)
{
    if (!Create(dwStyle, rect, pParentWnd, nID))
        return FALSE;
    if (dwCtrlStyle)
        SetExtendedStyle(dwCtrlStyle);
    return TRUE;
}

int CToolBarCtrl::AddBitmap(int nNumButtons, UINT nBitmapID)
{
    TBADDBITMAP bitmap = {AfxFindResourceHandle(MAKEINTRESOURCEW(nBitmapID), RT_BITMAP), nBitmapID};
    return static_cast<int>(Send(TB_ADDBITMAP, nNumButtons, reinterpret_cast<LPARAM>(&bitmap)));
}

int CToolBarCtrl::AddBitmap(int nNumButtons, CBitmap* pBitmap)
{
    TBADDBITMAP bitmap = {nullptr, reinterpret_cast<UINT_PTR>(pBitmap->GetSafeHandle())};
    return static_cast<int>(Send(TB_ADDBITMAP, nNumButtons, reinterpret_cast<LPARAM>(&bitmap)));
}

int CToolBarCtrl::AddString(UINT nStringID)
{
    // A resource string (lParam its id, wParam the module).
    return static_cast<int>(
        Send(TB_ADDSTRINGW, reinterpret_cast<WPARAM>(AfxGetResourceHandle()), static_cast<LPARAM>(nStringID)));
}

CImageList* CToolBarCtrl::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CImageList* CToolBarCtrl::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Send(TB_GETIMAGELIST)));
}

CImageList* CToolBarCtrl::SetHotImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        Send(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CImageList* CToolBarCtrl::GetHotImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Send(TB_GETHOTIMAGELIST)));
}

CImageList* CToolBarCtrl::SetDisabledImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        Send(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
}

CImageList* CToolBarCtrl::GetDisabledImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Send(TB_GETDISABLEDIMAGELIST)));
}

int CToolBarCtrl::GetButtonText(int nID, CString& text) const
{
    int length = static_cast<int>(Send(TB_GETBUTTONTEXTW, nID));
    if (length <= 0) {
        text.Empty();
        return length;
    }
    int n = static_cast<int>(Send(TB_GETBUTTONTEXTW, nID, reinterpret_cast<LPARAM>(text.GetBuffer(length + 1))));
    text.ReleaseBuffer(n > 0 ? n : 0);
    return n;
}
