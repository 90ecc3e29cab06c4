#include "controls/CTreeOptionsCombo.h"

#include "controls/CTreeOptionsCtrl.h"

IMPLEMENT_DYNCREATE(CTreeOptionsCombo, CComboBox)

BEGIN_MESSAGE_MAP(CTreeOptionsCombo, CComboBox)
ON_WM_KILLFOCUS()
ON_WM_CHAR()
ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

DWORD CTreeOptionsCombo::GetWindowStyle()
{
    return WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST;
}

int CTreeOptionsCombo::GetWidth()
{
    return m_nWidth;
}

int CTreeOptionsCombo::GetDropDownHeight()
{
    return m_nDropDownHeight;
}

void CTreeOptionsCombo::OnKillFocus(CWnd* pNewWnd)
{
    CComboBox::OnKillFocus(pNewWnd);
    HWND focus = pNewWnd->GetSafeHwnd();
    if (focus && ::IsChild(m_hWnd, focus))
        return;
    if (m_pTreeCtrl)
        m_pTreeCtrl->PostCloseItemEditors();
}

void CTreeOptionsCombo::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB) {
        if (m_pTreeCtrl)
            m_pTreeCtrl->SetFocus();
        return;
    }
    CComboBox::OnChar(nChar, nRepCnt, nFlags);
}

UINT CTreeOptionsCombo::OnGetDlgCode()
{
    return CComboBox::OnGetDlgCode() | DLGC_WANTTAB;
}
