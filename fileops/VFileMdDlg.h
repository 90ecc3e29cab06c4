// The prompt for the name of a new folder in a parent folder (m_folder).
#pragma once

#include "fileops/VFolderNameDlg.h"

class VFileMdDlg : public VFolderNameDlg
{
public:
    explicit VFileMdDlg(CWnd* parent = nullptr);
};
