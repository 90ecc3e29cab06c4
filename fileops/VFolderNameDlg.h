// The two prompts for a folder's name: VFileMdDlg for a new folder in a parent folder and
// VFileRnDlg for a folder's new name. OK takes only a non-empty name.
#pragma once

#include "framework/Framework.h"

class VFolderNameDlg : public CDialog
{
public:
    // In: the text the prompt names (the parent folder, or the folder's current name).
    CString m_folder;
    // In: the edit's first text; out: the name typed.
    CString m_name;

protected:
    VFolderNameDlg(UINT templateId, LPCWSTR promptFormat, CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CString m_promptFormat;
};

class VFileMdDlg : public VFolderNameDlg
{
public:
    explicit VFileMdDlg(CWnd* parent = nullptr);
};

class VFileRnDlg : public VFolderNameDlg
{
public:
    explicit VFileRnDlg(CWnd* parent = nullptr);

protected:
    // The edit starts with the folder's current name.
    BOOL OnInitDialog() override;
};
