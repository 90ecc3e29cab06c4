#include "viewer/CovWindow.h"

#include "res/resource.h"
#include "catalogue/COnePicture.h"
#include "catalogue/OneViewSettings.h"

namespace {

const struct
{
    UINT id;
    int mode;
} kRadios[] = {{IDC_COV_FIT_ASIS, COnePicture::FitAsIs},       {IDC_COV_FIT_FOLLOW, COnePicture::FitWindowFollows},
               {IDC_COV_FIT_STRETCH, COnePicture::FitStretch}, {IDC_COV_FIT_ASPECT, COnePicture::FitAspect},
               {IDC_COV_FIT_WIDTH, COnePicture::FitWidth},     {IDC_COV_FIT_HEIGHT, COnePicture::FitHeight}};

} // namespace

BEGIN_MESSAGE_MAP(CovWindow, CXPropertyPage)
ON_CONTROL_RANGE(BN_CLICKED, IDC_COV_FIT_ASIS, IDC_COV_FIT_HEIGHT, OnFitClicked)
ON_CONTROL_RANGE(BN_CLICKED, IDC_VIEW_ZOOMUP, IDC_VIEW_ZOOMDW, OnZoomClicked)
END_MESSAGE_MAP()

CovWindow::CovWindow(OneViewSettings* pSettings) : CXPropertyPage(IDD_COV_WINDOW), m_pSettings(pSettings) {}

BOOL CovWindow::OnInitDialog()
{
    CXPropertyPage::OnInitDialog();
    UINT checked = 0;
    for (const auto& radio : kRadios)
        if (radio.mode == m_pSettings->FitSize)
            checked = radio.id;
    // A mode the page does not offer (4 among them) becomes "as is".
    if (!checked) {
        m_pSettings->FitSize = COnePicture::FitAsIs;
        checked = IDC_COV_FIT_ASIS;
    }
    CheckDlgButton(checked, BST_CHECKED);
    CheckDlgButton(IDC_VIEW_ZOOMDW, m_pSettings->ZoomDw ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_VIEW_ZOOMUP, m_pSettings->ZoomUp ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CovWindow::OnFitClicked(UINT nID)
{
    for (const auto& radio : kRadios)
        if (radio.id == nID)
            m_pSettings->FitSize = radio.mode;
}

void CovWindow::OnZoomClicked(UINT nID)
{
    const int checked = IsDlgButtonChecked(nID) == BST_CHECKED ? 1 : 0;
    if (nID == IDC_VIEW_ZOOMUP)
        m_pSettings->ZoomUp = checked;
    else
        m_pSettings->ZoomDw = checked;
}
