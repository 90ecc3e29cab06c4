#include "controls/ButtonBoxCore.h"

BOOL ButtonBoxCore::CreateButton(CWnd* pBox)
{
    CWnd* parent = pBox->GetParent();
    pBox->GetWindowRect(&m_rcBox);
    m_rcButton.SetRect(m_rcBox.right - m_nButtonWidth, m_rcBox.top, m_rcBox.right, m_rcBox.bottom);
    if (parent)
        parent->ScreenToClient(&m_rcButton);
    if (!m_button.Create(m_strCaption, m_dwButtonStyle, m_rcButton, parent, ButtonId))
        return FALSE;
    m_button.ModifyStyleEx(0, WS_EX_STATICEDGE, SWP_FRAMECHANGED);
    m_button.SetCommandTarget(pBox);
    m_button.SendMessage(WM_SETFONT, pBox->SendMessage(WM_GETFONT), TRUE);
    m_button.EnableWindow(TRUE);
    m_button.ShowWindow(SW_SHOW);
    pBox->SetWindowPos(nullptr, 0, 0, m_rcBox.Width() - m_nButtonWidth, m_rcBox.Height(), SWP_NOMOVE | SWP_NOZORDER);
    m_bButtonCreated = TRUE;
    return TRUE;
}

void ButtonBoxCore::ResetMenu(UINT nFirstId)
{
    m_values.RemoveAll();
    m_button.ResetMenu(nFirstId);
}

UINT ButtonBoxCore::AddMenuItem(LPCWSTR lpszLabel, LPCWSTR lpszValue)
{
    if (!lpszLabel)
        return m_button.AddMenuItem(nullptr);
    m_values.Add(lpszValue ? lpszValue : L"");
    return m_button.AddMenuItem(lpszLabel);
}

void ButtonBoxCore::AppendSubMenu(CMenu* pSubMenu, LPCWSTR lpszLabel)
{
    m_button.AppendSubMenu(pSubMenu, lpszLabel);
}

void ButtonBoxCore::SetCaption(LPCWSTR lpszCaption)
{
    m_strCaption = lpszCaption;
    if (m_button.GetSafeHwnd())
        m_button.SetWindowText(m_strCaption);
}

void ButtonBoxCore::PlaceButton(CWnd* pBox)
{
    CRect box;
    pBox->GetWindowRect(&box);
    m_rcButton.SetRect(box.right, box.top, box.right + m_nButtonWidth, box.bottom);
    if (CWnd* parent = pBox->GetParent())
        parent->ScreenToClient(&m_rcButton);
    if (m_button.GetSafeHwnd())
        m_button.MoveWindow(&m_rcButton, TRUE);
}

BOOL ButtonBoxCore::HandleCommand(CWnd* pBox, WPARAM wParam, LPARAM lParam, BOOL bReplaceText)
{
    UINT id = LOWORD(wParam);
    if (id < m_button.GetFirstId() || id > m_button.GetLastId())
        return FALSE;
    INT_PTR index = static_cast<INT_PTR>(id - m_button.GetFirstId());
    CString value = index < m_values.GetSize() ? m_values[index] : CString();
    if (value.IsEmpty()) {
        if (CWnd* parent = pBox->GetParent())
            parent->SendMessage(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    if (bReplaceText)
        pBox->SetWindowText(value);
    else
        pBox->SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(value)));
    pBox->SetFocus();
    return TRUE;
}
