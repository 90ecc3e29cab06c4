// The report file dialog: the file name (typed or browsed) and the line template of the report,
// with a history of templates and a menu of the item macros that inserts at the caret.
#pragma once

#include "controls/CResizableDialog.h"
#include "fileops/xCComboBoxButtonCtrl.h"

class CReportFileDlg : public CResizableDialog
{
public:
    enum { IDD = 219, MenuFirst = 1024 };

    explicit CReportFileDlg(CWnd* parent = nullptr);

    // After OK: the template with its escapes turned into characters, and the file name as typed.
    CString m_lineTemplate;
    CString m_fileName;

    // Eight tab-separated fields: name, size, date and time, dimensions and depth, information, note.
    static CString DefaultTemplate();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnBrowse();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    xCComboBoxButtonCtrl m_template;
};
