#include "controls/CTreeOptionsEdit.h"

#include "controls/CTreeOptionsBrowseButton.h"
#include "controls/CTreeOptionsColorDialog.h"
#include "controls/CTreeOptionsCtrl.h"
#include "controls/CTreeOptionsFileDialog.h"
#include "controls/CTreeOptionsMenuButton.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxSystem.h"

IMPLEMENT_DYNCREATE(CTreeOptionsEdit, CEdit)

BEGIN_MESSAGE_MAP(CTreeOptionsEdit, CEdit)
ON_WM_KILLFOCUS()
ON_WM_CHAR()
ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

DWORD CTreeOptionsEdit::GetWindowStyle()
{
    return WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
}

int CTreeOptionsEdit::GetWidth()
{
    return m_nWidth;
}

CString CTreeOptionsEdit::GetFolderCaption()
{
    return L"フォルダの選択 ";
}

CString CTreeOptionsEdit::GetFileCaption()
{
    return L"ファイルの選択 ";
}

CString CTreeOptionsEdit::GetFileFilter()
{
    return L"All Files (*.*)|*.*||";
}

void CTreeOptionsEdit::BrowseForFolder()
{
    CString initial, chosen;
    GetWindowText(initial);
    CString caption = GetFolderCaption();
    ::BrowseForFolder(chosen, m_pTreeCtrl->GetSafeHwnd(), caption, initial, BIF_RETURNONLYFSDIRS);
    if (!chosen.IsEmpty())
        SetWindowText(chosen);
}

void CTreeOptionsEdit::BrowseForFile()
{
    CString name;
    GetWindowText(name);
    CString filter = GetFileFilter();
    CString caption = GetFileCaption();
    CTreeOptionsFileDialog dialog(TRUE, nullptr, name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, m_pTreeCtrl);
    dialog.m_ofn.lpstrTitle = caption;
    if (dialog.DoModal() == IDOK)
        SetWindowText(dialog.GetPathName());
}

void CTreeOptionsEdit::BrowseForColor()
{
    CString text;
    GetWindowText(text);
    CTreeOptionsColorDialog dialog(static_cast<COLORREF>(HexTextToInt(text)), 0, m_pTreeCtrl);
    if (dialog.DoModal() == IDOK) {
        CString value;
        value.Format(L"%06X", dialog.GetColor());
        SetWindowText(value);
    }
}

void CTreeOptionsEdit::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    HWND focus = pNewWnd->GetSafeHwnd();
    if (m_bDoNotDestroyUponLoseFocus)
        return;
    if (focus && (focus == m_pButtonCtrl->GetSafeHwnd() || focus == m_pMenuButtonCtrl->GetSafeHwnd()))
        return;
    if (m_pTreeCtrl)
        m_pTreeCtrl->PostCloseItemEditors();
}

void CTreeOptionsEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB) {
        if (m_pButtonCtrl)
            m_pButtonCtrl->SetFocus();
        else if (m_pMenuButtonCtrl)
            m_pMenuButtonCtrl->SetFocus();
        else if (m_pTreeCtrl)
            m_pTreeCtrl->SetFocus();
        return;
    }
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

UINT CTreeOptionsEdit::OnGetDlgCode()
{
    return CEdit::OnGetDlgCode() | DLGC_WANTTAB;
}
