#include "fileops/xCComboBoxButtonCtrl.h"

BEGIN_MESSAGE_MAP(xCComboBoxButtonCtrl, CComboBoxButtonCtrl)
ON_CONTROL_REFLECT_EX(CBN_EDITCHANGE, OnEditChange)
ON_CONTROL_REFLECT_EX(CBN_KILLFOCUS, OnBoxKillFocus)
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void xCComboBoxButtonCtrl::RememberSelection(bool onlyNonZero)
{
    DWORD selection = GetEditSel();
    if (onlyNonZero && selection == 0)
        return;
    m_start = LOWORD(selection);
    m_end = HIWORD(selection);
}

BOOL xCComboBoxButtonCtrl::OnEditChange()
{
    RememberSelection(false);
    return FALSE;
}

BOOL xCComboBoxButtonCtrl::OnBoxKillFocus()
{
    RememberSelection(true);
    return FALSE;
}

void xCComboBoxButtonCtrl::OnKillFocus(CWnd* pNewWnd)
{
    RememberSelection(true);
    CComboBoxButtonCtrl::OnKillFocus(pNewWnd);
}

BOOL xCComboBoxButtonCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    CMenuButton& button = m_core.m_button;
    if (id < button.GetFirstId() || id > button.GetLastId())
        return CComboBoxButtonCtrl::OnCommand(wParam, lParam);
    INT_PTR index = static_cast<INT_PTR>(id - button.GetFirstId());
    CString value = index < m_core.m_values.GetSize() ? m_core.m_values[index] : CString();
    if (value.IsEmpty())
        return CComboBoxButtonCtrl::OnCommand(wParam, lParam);
    SetFocus();
    SetEditSel(m_start, m_end);
    CString text;
    GetWindowText(text);
    int start = std::min(m_start, text.GetLength());
    int end = std::max(start, std::min(m_end, text.GetLength()));
    m_start = m_end = 0;
    SetWindowText(text.Left(start) + value + text.Mid(end));
    int caret = start + value.GetLength();
    SetEditSel(caret, caret);
    return TRUE;
}
