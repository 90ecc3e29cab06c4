#include "controls/CToolTipDialog.h"

IMPLEMENT_DYNAMIC(CToolTipDialog, CDialog)

BEGIN_MESSAGE_MAP(CToolTipDialog, CDialog)
ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CToolTipDialog::s_bShowToolTips = TRUE;

CToolTipDialog::CToolTipDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

BOOL CToolTipDialog::OnInitDialog()
{
    BOOL result = CDialog::OnInitDialog();
    m_toolTip.Create(this);
    m_toolTip.Activate(s_bShowToolTips);
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetNextWindow(GW_HWNDNEXT)) {
        CString text;
        UINT id = static_cast<UINT>(child->GetDlgCtrlID()) & 0xFFFF;
        if (text.LoadString(id) && !text.IsEmpty())
            m_toolTip.AddTool(child, text, nullptr, 0);
    }
    return result;
}

BOOL CToolTipDialog::PreTranslateMessage(MSG* pMsg)
{
    m_toolTip.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void CToolTipDialog::OnDestroy()
{
    m_toolTip.DestroyWindow();
    CDialog::OnDestroy();
}
