#include "viewer/CovOther.h"

#include "res/resource.h"
#include "catalogue/OneViewSettings.h"

const int CovOther::SpaceCommands[3] = {ID_PICTURE_NEXT, ID_PICTURE_AUTOPLAY, ID_PICTURE_SELECT};

BEGIN_MESSAGE_MAP(CovOther, CXPropertyPage)
ON_CBN_KILLFOCUS(IDC_VIEW_SPACE_COMMAND, OnSpaceKillFocus)
END_MESSAGE_MAP()

CovOther::CovOther(OneViewSettings* pSettings) : CXPropertyPage(IDD_COV_OTHER), m_pSettings(pSettings) {}

BOOL CovOther::OnInitDialog()
{
    CXPropertyPage::OnInitDialog();
    // Any other command shows as the last item.
    int item = 2;
    for (int i = 0; i < 2; ++i)
        if (m_pSettings->SpaceCommandID == SpaceCommands[i])
            item = i;
    SendDlgItemMessage(IDC_VIEW_SPACE_COMMAND, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    return TRUE;
}

void CovOther::OnSpaceKillFocus()
{
    const auto item = static_cast<int>(SendDlgItemMessage(IDC_VIEW_SPACE_COMMAND, CB_GETCURSEL, 0, 0));
    m_pSettings->SpaceCommandID = SpaceCommands[item == 0 || item == 1 ? item : 2];
}
