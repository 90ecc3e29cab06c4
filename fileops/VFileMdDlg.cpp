#include "fileops/VFileMdDlg.h"

#include "res/resource.h"

VFileMdDlg::VFileMdDlg(CWnd* parent) : VFolderNameDlg(IDD_FOLDER_CREATE, L"\"%s\"にフォルダを新規作成します", parent) {}
