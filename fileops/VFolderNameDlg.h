// The two prompts for a folder's name: VFileMdDlg for a new folder in a parent folder and
// VFileRnDlg for a folder's new name. Only their fields stand here yet: they answer IDCANCEL
// until the prompts are built.
#pragma once

#include "framework/Framework.h"

class VFolderNameDlg
{
public:
    virtual ~VFolderNameDlg() = default;
    virtual INT_PTR DoModal() { return IDCANCEL; }

    // In: the text the prompt names (the parent folder, or the folder's current name).
    CString m_folder;
    // In: the edit's first text; out: the name typed.
    CString m_name;
};

class VFileMdDlg : public VFolderNameDlg
{
public:
    explicit VFileMdDlg(CWnd* = nullptr) {}
};

class VFileRnDlg : public VFolderNameDlg
{
public:
    explicit VFileRnDlg(CWnd* = nullptr) {}
};
