#include "viewer/CovSlideShow.h"

#include "res/resource.h"
#include "catalogue/OneViewSettings.h"

#include <cstdlib>

BEGIN_MESSAGE_MAP(CovSlideShow, CXPropertyPage)
ON_BN_CLICKED(IDC_VIEW_REPEAT, OnRepeatClicked)
ON_EN_KILLFOCUS(IDC_VIEW_SLEEPTIME, OnWaitKillFocus)
END_MESSAGE_MAP()

CovSlideShow::CovSlideShow(OneViewSettings* pSettings) : CXPropertyPage(IDD_COV_SLIDESHOW), m_pSettings(pSettings) {}

BOOL CovSlideShow::OnInitDialog()
{
    CXPropertyPage::OnInitDialog();
    CString text;
    text.Format(L"%d", m_pSettings->SleepTime);
    SetDlgItemText(IDC_VIEW_SLEEPTIME, text);
    CheckDlgButton(IDC_VIEW_REPEAT, m_pSettings->Repeat ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CovSlideShow::OnRepeatClicked()
{
    m_pSettings->Repeat = IsDlgButtonChecked(IDC_VIEW_REPEAT) == BST_CHECKED ? 1 : 0;
}

void CovSlideShow::OnWaitKillFocus()
{
    CString text;
    GetDlgItemText(IDC_VIEW_SLEEPTIME, text);
    m_pSettings->SleepTime = _wtoi(text);
}
