// The prompt for the destination folder of an archive's extraction: a folder from the copy and
// move history, typed or browsed for. The folder is taken as typed, not made a full path.
#pragma once

#include "framework/Framework.h"

class CGetFolderDlg : public CDialog
{
public:
    explicit CGetFolderDlg(CWnd* parent = nullptr);

    // In: the title ("フォルダ" when empty) and the prompt. Out: the folder.
    CString m_title;
    CString m_folder;
    CString m_prompt;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnBrowse();
    DECLARE_MESSAGE_MAP()

private:
    CComboBox m_folderCombo;
};
