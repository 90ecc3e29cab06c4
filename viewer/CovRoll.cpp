#include "viewer/CovRoll.h"

#include "res/resource.h"
#include "catalogue/OneViewSettings.h"

#include <cstdlib>

BEGIN_MESSAGE_MAP(CovRoll, CXPropertyPage)
ON_EN_KILLFOCUS(IDC_COV_ANGLEUNIT, OnAngleKillFocus)
END_MESSAGE_MAP()

CovRoll::CovRoll(OneViewSettings* pSettings) : CXPropertyPage(IDD_COV_ROLL), m_pSettings(pSettings) {}

BOOL CovRoll::OnInitDialog()
{
    CXPropertyPage::OnInitDialog();
    CString text;
    text.Format(L"%d", m_pSettings->AngleUnit);
    SetDlgItemText(IDC_COV_ANGLEUNIT, text);
    return TRUE;
}

void CovRoll::OnAngleKillFocus()
{
    CString text;
    GetDlgItemText(IDC_COV_ANGLEUNIT, text);
    m_pSettings->AngleUnit = _wtoi(text);
}
