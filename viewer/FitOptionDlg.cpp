#include "viewer/FitOptionDlg.h"

#include "res/resource.h"
#include "viewer/CovOther.h"
#include "viewer/CovRoll.h"
#include "viewer/CovScale.h"
#include "viewer/CovSlideShow.h"
#include "viewer/CovWindow.h"

namespace {

HICON PageIcon(UINT id)
{
    return static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_SHARED));
}

} // namespace

FitOptionDlg::FitOptionDlg(CWnd* pParent) : CDialog(IDD_FITOPTION, pParent) {}

FitOptionDlg::~FitOptionDlg() = default;

BOOL FitOptionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ModifyStyle(0, WS_CLIPCHILDREN);
    CRect area;
    if (CWnd* placeholder = GetDlgItem(IDC_FITOPTION_SHEET)) {
        placeholder->GetWindowRect(&area);
        ScreenToClient(&area);
    }
    if (!m_pSettings || !m_sheet.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, area, this, 0))
        return TRUE;
    // The sheet deletes its pages with their windows.
    m_sheet.AddPage(new CovWindow(m_pSettings), PageIcon(IDI_COV_WINDOW));
    m_sheet.AddPage(new CovScale(m_pSettings), PageIcon(IDI_COV_SCALE));
    m_sheet.AddPage(new CovRoll(m_pSettings), PageIcon(IDI_COV_ROLL));
    m_sheet.AddPage(new CovSlideShow(m_pSettings), PageIcon(IDI_COV_SLIDESHOW));
    m_sheet.AddPage(new CovOther(m_pSettings));
    m_sheet.SetCurSel(0);
    return TRUE;
}
