#include "controls/CComboBoxButtonCtrl.h"

BEGIN_MESSAGE_MAP(CComboBoxButtonCtrl, CComboBox)
ON_WM_MOVE()
ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CComboBoxButtonCtrl::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                                 CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    // The list of a simple combo box would hide under the button.
    if ((dwStyle & 0x3) == CBS_SIMPLE)
        dwStyle = (dwStyle & ~0x3u) | CBS_DROPDOWN;
    return CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CComboBoxButtonCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_core.HandleCommand(this, wParam, lParam, TRUE))
        return TRUE;
    return CComboBox::OnCommand(wParam, lParam);
}

void CComboBoxButtonCtrl::OnMove(int x, int y)
{
    CComboBox::OnMove(x, y);
    m_core.PlaceButton(this);
}

void CComboBoxButtonCtrl::OnSize(UINT nType, int cx, int cy)
{
    CComboBox::OnSize(nType, cx, cy);
    m_core.PlaceButton(this);
}
