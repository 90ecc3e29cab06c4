#include "controls/CTreeOptionsSpinCtrl.h"

#include "controls/CTreeOptionsCtrl.h"
#include "controls/CTreeOptionsEdit.h"

IMPLEMENT_DYNCREATE(CTreeOptionsSpinCtrl, CSpinButtonCtrl)

BEGIN_MESSAGE_MAP(CTreeOptionsSpinCtrl, CSpinButtonCtrl)
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

DWORD CTreeOptionsSpinCtrl::GetWindowStyle()
{
    return WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
}

int CTreeOptionsSpinCtrl::GetWidth()
{
    return 1; // the control sizes itself to its buddy
}

void CTreeOptionsSpinCtrl::GetRange(int& nLower, int& nUpper)
{
    nLower = 0;
    nUpper = 100;
}

void CTreeOptionsSpinCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CSpinButtonCtrl::OnKillFocus(pNewWnd);
    if (pNewWnd && pNewWnd->GetSafeHwnd() == m_pEdit->GetSafeHwnd())
        return;
    if (m_pTreeCtrl)
        m_pTreeCtrl->PostCloseItemEditors();
}
