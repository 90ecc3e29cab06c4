#include "fileops/VFileRnDlg.h"

#include "res/resource.h"

VFileRnDlg::VFileRnDlg(CWnd* parent) : VFolderNameDlg(IDD_FOLDER_RENAME, L"\"%s\"のフォルダを名前変更します", parent) {}

BOOL VFileRnDlg::OnInitDialog()
{
    m_name = m_folder;
    return VFolderNameDlg::OnInitDialog();
}
