#include "fileops/VCOJpg.h"

#include "res/resource.h"

#include <commctrl.h>

VCOJpg::VCOJpg() : CXPropertyPage(IDD_CONTACT_JPEG) {}

BOOL VCOJpg::OnInitDialog()
{
    CXPropertyPage::OnInitDialog();
    SendDlgItemMessage(IDC_CONTACT_JPEG_QUALITY_SPIN, UDM_SETRANGE32, 0, 100);
    SetDlgItemInt(IDC_CONTACT_JPEG_QUALITY, m_quality);
    return TRUE;
}

void VCOJpg::OnOK()
{
    CString text;
    GetDlgItemText(IDC_CONTACT_JPEG_QUALITY, text);
    m_quality = _wtoi(text);
}
