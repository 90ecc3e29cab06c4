#include "controls/CEditButtonCtrl.h"

BEGIN_MESSAGE_MAP(CEditButtonCtrl, CEdit)
ON_WM_MOVE()
ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CEditButtonCtrl::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                             CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CEditButtonCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_core.HandleCommand(this, wParam, lParam, FALSE))
        return TRUE;
    return CEdit::OnCommand(wParam, lParam);
}

void CEditButtonCtrl::OnMove(int x, int y)
{
    CEdit::OnMove(x, y);
    m_core.PlaceButton(this);
}

void CEditButtonCtrl::OnSize(UINT nType, int cx, int cy)
{
    CEdit::OnSize(nType, cx, cy);
    m_core.PlaceButton(this);
}
