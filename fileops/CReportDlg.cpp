#include "fileops/CReportDlg.h"

#include "res/resource.h"

CReportDlg::CReportDlg(CWnd* parent) : CResizableDialog(IDD, parent) {}

void CReportDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REPORT_LIST, m_list);
}

BOOL CReportDlg::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    int widest = 0;
    CClientDC dc(&m_list);
    CFont* old = dc.SelectObject(m_list.GetFont());
    for (INT_PTR i = 0; m_lines && i < m_lines->GetSize(); ++i) {
        m_list.AddString(m_lines->GetAt(i));
        widest = std::max(widest, static_cast<int>(dc.GetTextExtent(m_lines->GetAt(i)).cx));
    }
    dc.SelectObject(old);
    // Long lines can be scrolled to.
    m_list.SetHorizontalExtent(widest + 8);
    AddAnchor(IDC_REPORT_LIST, TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(IDOK, TOP_RIGHT);
    AddAnchor(IDCANCEL, TOP_RIGHT);
    return TRUE;
}
