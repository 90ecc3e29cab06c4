#include "viewer/CovScale.h"

#include "res/resource.h"
#include "catalogue/COnePicture.h"
#include "catalogue/OneViewSettings.h"

namespace {

const struct
{
    UINT id;
    int mode;
} kRadios[] = {{IDC_COV_SCALE_DEVICE, COnePicture::ScaleDevice},
               {IDC_COV_SCALE_NEAREST, COnePicture::ScaleNearest},
               {IDC_COV_SCALE_BILINEAR, COnePicture::ScaleBilinear},
               {IDC_COV_SCALE_AVERAGE, COnePicture::ScaleAverage},
               {IDC_COV_SCALE_AUTO, COnePicture::ScaleAuto}};

} // namespace

BEGIN_MESSAGE_MAP(CovScale, CXPropertyPage)
ON_CONTROL_RANGE(BN_CLICKED, IDC_COV_SCALE_DEVICE, IDC_COV_SCALE_AUTO, OnScaleClicked)
END_MESSAGE_MAP()

CovScale::CovScale(OneViewSettings* pSettings) : CXPropertyPage(IDD_COV_SCALE), m_pSettings(pSettings) {}

BOOL CovScale::OnInitDialog()
{
    CXPropertyPage::OnInitDialog();
    UINT checked = 0;
    for (const auto& radio : kRadios)
        if (radio.mode == m_pSettings->ScaleMode)
            checked = radio.id;
    if (!checked) {
        m_pSettings->ScaleMode = COnePicture::ScaleDevice;
        checked = IDC_COV_SCALE_DEVICE;
    }
    CheckDlgButton(checked, BST_CHECKED);
    return TRUE;
}

void CovScale::OnScaleClicked(UINT nID)
{
    for (const auto& radio : kRadios)
        if (radio.id == nID)
            m_pSettings->ScaleMode = radio.mode;
}
