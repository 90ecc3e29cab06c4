#include "controls/CTreeOptionsBrowseButton.h"

#include "controls/CTreeOptionsCtrl.h"
#include "controls/CTreeOptionsEdit.h"

IMPLEMENT_DYNCREATE(CTreeOptionsBrowseButton, CButton)

BEGIN_MESSAGE_MAP(CTreeOptionsBrowseButton, CButton)
ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

DWORD CTreeOptionsBrowseButton::GetWindowStyle()
{
    return WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
}

CString CTreeOptionsBrowseButton::GetCaption()
{
    return L"...";
}

int CTreeOptionsBrowseButton::GetWidth()
{
    if (!m_pTreeCtrl || !::IsWindow(m_pTreeCtrl->GetSafeHwnd()))
        return 20;
    CClientDC dc(m_pTreeCtrl);
    if (!dc.GetSafeHdc())
        return 20;
    CSize size(dc.GetTextExtent(CString(L"  ")).cx + dc.GetTextExtent(GetCaption()).cx, 0);
    dc.LPtoDP(&size);
    return size.cx;
}

void CTreeOptionsBrowseButton::OnClicked()
{
    if (!m_pTreeCtrl || !m_pEdit)
        return;
    CTreeOptionsItemData* record = m_pTreeCtrl->GetItemRecord(m_pTreeCtrl->GetSelectedItem());
    if (!record)
        return;
    m_pEdit->m_bDoNotDestroyUponLoseFocus = TRUE;
    switch (record->m_Type) {
    case CTreeOptionsItemData::FileBrowser:
        m_pEdit->BrowseForFile();
        break;
    case CTreeOptionsItemData::FolderBrowser:
        m_pEdit->BrowseForFolder();
        break;
    case CTreeOptionsItemData::ColorBrowser:
        m_pEdit->BrowseForColor();
        break;
    default:
        break;
    }
    m_pEdit->m_bDoNotDestroyUponLoseFocus = FALSE;
}

void CTreeOptionsBrowseButton::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    if (m_pEdit && (m_pEdit->m_bDoNotDestroyUponLoseFocus || pNewWnd->GetSafeHwnd() == m_pEdit->GetSafeHwnd()))
        return;
    if (m_pTreeCtrl)
        m_pTreeCtrl->PostCloseItemEditors();
}
