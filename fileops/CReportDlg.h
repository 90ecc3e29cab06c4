// A resizable dialog that lists lines of text, such as the renames that failed.
#pragma once

#include "controls/CResizableDialog.h"

class CReportDlg : public CResizableDialog
{
public:
    enum { IDD = 213 };

    explicit CReportDlg(CWnd* parent = nullptr);

    // The caller's lines, shown when the dialog opens; not owned.
    void SetLines(const CStringArray* lines) { m_lines = lines; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    CListBox m_list;
    const CStringArray* m_lines = nullptr;
};
