#include "controls/CXPropertySheet.h"

IMPLEMENT_DYNAMIC(CXPropertySheet, CXTabCtrl)

BEGIN_MESSAGE_MAP(CXPropertySheet, CXTabCtrl)
ON_WM_SIZE()
END_MESSAGE_MAP()

CXTabCtrl::CTabItem* CXPropertySheet::AddPage(CXPropertyPage* pPage, HICON hIcon, DWORD dwItemData)
{
    int index = CXTabCtrl::InsertItem(pPage->m_strCaption, dwItemData, hIcon);
    if (index < 0)
        return nullptr;
    if (!pPage->Create(this)) {
        // No window, so the page would never delete itself.
        CXTabCtrl::DeleteItem(index);
        delete pPage;
        return nullptr;
    }
    m_pages.Add(pPage);
    SetCurSel(index);
    SendMessage(WM_SIZE, 0, 0);
    return GetItem(index);
}

int CXPropertySheet::InsertItem(LPCWSTR /*lpszCaption*/, DWORD /*dwItemData*/, HICON /*hIcon*/)
{
    return -1;
}

void CXPropertySheet::OnSelChange(int nOldIndex, int nNewIndex)
{
    if (CXPropertyPage* old = GetPage(nOldIndex))
        old->ShowWindow(SW_HIDE);
    if (CXPropertyPage* page = GetPage(nNewIndex))
        page->ShowWindow(SW_SHOW);
}

CXPropertyPage* CXPropertySheet::GetPage(int nIndex)
{
    return nIndex >= 0 && nIndex < m_pages.GetSize() ? m_pages[nIndex] : nullptr;
}

void CXPropertySheet::OnSize(UINT nType, int cx, int cy)
{
    CXTabCtrl::OnSize(nType, cx, cy);
    CRect display = GetDisplayRect();
    for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) {
        if (::IsWindow(m_pages[i]->GetSafeHwnd()))
            m_pages[i]->SendMessage(WM_SIZE, 0, MAKELPARAM(display.Width(), display.Height()));
    }
}
