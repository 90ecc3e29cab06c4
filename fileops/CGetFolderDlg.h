// The prompt for the destination folder of an archive's extraction. Only its fields stand here
// yet: it answers IDCANCEL until the prompt is built.
#pragma once

#include "framework/Framework.h"

class CGetFolderDlg
{
public:
    explicit CGetFolderDlg(CWnd* = nullptr) {}
    virtual ~CGetFolderDlg() = default;
    virtual INT_PTR DoModal() { return IDCANCEL; }

    // In: the title ("フォルダ" when empty) and the prompt. Out: the folder.
    CString m_title;
    CString m_folder;
    CString m_prompt;
};
