#include "fileops/VFolderNameDlg.h"

#include "res/resource.h"

VFolderNameDlg::VFolderNameDlg(UINT templateId, LPCWSTR promptFormat, CWnd* parent)
    : CDialog(templateId, parent), m_promptFormat(promptFormat)
{
}

BOOL VFolderNameDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString prompt;
    prompt.Format(m_promptFormat, m_folder.GetString());
    SetDlgItemText(IDC_FOLDER_PROMPT, prompt);
    SetDlgItemText(IDC_FOLDER_NAME, m_name);
    return TRUE;
}

void VFolderNameDlg::OnOK()
{
    CString name;
    GetDlgItemText(IDC_FOLDER_NAME, name);
    if (name.IsEmpty())
        return;
    m_name = name;
    CDialog::OnOK();
}
