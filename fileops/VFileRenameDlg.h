// The single rename: the new name of one file, asked with its picture or icon, name, date and
// size. When more files follow, "中止" ends the walk and the cancel button reads "スキップ".
#pragma once

#include "fileops/CEditExtName.h"

#include <memory>

class VyxFile;

class VFileRenameDlg : public CDialog
{
public:
    enum { IDD = 173 };

    explicit VFileRenameDlg(CWnd* parent = nullptr);
    ~VFileRenameDlg() override;

    // Filled by the caller before the dialog runs; m_name holds the new name after OK.
    CString m_path;
    CString m_name;
    int m_moreFiles = 0;
    VyxFile* m_item = nullptr;
    // Set by "中止".
    int m_abort = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnAbort();
    afx_msg void OnNameChange();
    afx_msg void OnPreviewClicked();
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    CEditExtName m_edit;
    // Made from the path the first time it is painted, and again when the path changes.
    std::unique_ptr<VyxFile> m_previewItem;
    CString m_previewPath;
};
