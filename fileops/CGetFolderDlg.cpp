#include "fileops/CGetFolderDlg.h"

#include "catalogue/FolderList.h"
#include "fileops/VFileCopyDlg.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CGetFolderDlg, CDialog)
ON_BN_CLICKED(IDC_GETFOLDER_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CGetFolderDlg::CGetFolderDlg(CWnd* parent) : CDialog(IDD_GET_FOLDER, parent) {}

void CGetFolderDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GETFOLDER_FOLDER, m_folderCombo);
}

BOOL CGetFolderDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_title.IsEmpty())
        SetWindowText(m_title);
    SetDlgItemText(IDC_GETFOLDER_PROMPT, m_prompt);
    FolderList history(FolderListFilerFolder);
    history.Load();
    history.FillComboBox(m_folderCombo);
    m_folderCombo.SetCurSel(0);
    return TRUE;
}

void CGetFolderDlg::OnBrowse()
{
    CString text, start, chosen;
    m_folderCombo.GetWindowText(text);
    GetFullPath(start, text);
    BrowseForFolder(chosen, m_hWnd, L"フォルダの選択", start);
    if (!chosen.IsEmpty())
        VFileCopyDlg::SelectOrSetText(m_folderCombo, chosen);
}

void CGetFolderDlg::OnOK()
{
    m_folderCombo.GetWindowText(m_folder);
    VFileCopyDlg::PutFirst(m_folderCombo, m_folder);
    VFileCopyDlg::SaveHistory(m_folderCombo, FolderListFilerFolder);
    CDialog::OnOK();
}
