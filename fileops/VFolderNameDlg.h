// The base of the two prompts for a folder's name (VFileMdDlg, a new folder in a parent folder;
// VFileRnDlg, a folder's new name): a line naming the folder and an edit. OK takes only a
// non-empty name.
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
