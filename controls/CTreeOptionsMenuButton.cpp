#include "controls/CTreeOptionsMenuButton.h"

#include "controls/CTreeOptionsCtrl.h"
#include "controls/CTreeOptionsEdit.h"

IMPLEMENT_DYNCREATE(CTreeOptionsMenuButton, CMenuButtonCtrl)

BEGIN_MESSAGE_MAP(CTreeOptionsMenuButton, CMenuButtonCtrl)
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

DWORD CTreeOptionsMenuButton::GetWindowStyle()
{
    return WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
}

int CTreeOptionsMenuButton::GetWidth()
{
    if (!m_pTreeCtrl || !::IsWindow(m_pTreeCtrl->GetSafeHwnd()))
        return 20;
    CClientDC dc(m_pTreeCtrl);
    if (!dc.GetSafeHdc())
        return 20;
    CSize size(dc.GetTextExtent(CString(L"MM")).cx, 0);
    dc.LPtoDP(&size);
    return size.cx;
}

void CTreeOptionsMenuButton::DropMenu()
{
    if (m_pEdit)
        m_pEdit->m_bDoNotDestroyUponLoseFocus = TRUE;
    CMenuButtonCtrl::DropMenu();
    if (m_pEdit)
        m_pEdit->m_bDoNotDestroyUponLoseFocus = FALSE;
}

void CTreeOptionsMenuButton::OnKillFocus(CWnd* pNewWnd)
{
    CMenuButtonCtrl::OnKillFocus(pNewWnd);
    if (m_pEdit && (m_pEdit->m_bDoNotDestroyUponLoseFocus || pNewWnd->GetSafeHwnd() == m_pEdit->GetSafeHwnd()))
        return;
    if (m_pTreeCtrl)
        m_pTreeCtrl->PostCloseItemEditors();
}
