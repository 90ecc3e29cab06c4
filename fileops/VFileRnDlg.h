// The prompt for a folder's new name; m_folder is its current name, which the edit starts with.
#pragma once

#include "fileops/VFolderNameDlg.h"

class VFileRnDlg : public VFolderNameDlg
{
public:
    explicit VFileRnDlg(CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
};
