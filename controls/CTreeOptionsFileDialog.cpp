#include "controls/CTreeOptionsFileDialog.h"

IMPLEMENT_DYNAMIC(CTreeOptionsFileDialog, CFileDialog)

CTreeOptionsFileDialog::CTreeOptionsFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName,
                                               DWORD dwFlags, LPCWSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd)
{
}

void CTreeOptionsFileDialog::OnInitDone()
{
    CFileDialog::OnInitDone();
    SetControlText(IDOK, L"OK");
}
