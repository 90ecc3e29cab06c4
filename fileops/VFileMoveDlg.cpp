#include "fileops/VFileMoveDlg.h"

#include "res/resource.h"

VFileMoveDlg::VFileMoveDlg(CWnd* parent) : VFileCopyDlg(IDD_FILE_MOVE, L"移動先の選択", L"FileMove", parent) {}
