// The display-mode dialog's page of window and picture size: the fit mode, and whether fitting
// may enlarge or shrink.
#pragma once

#include "controls/CXPropertyPage.h"

struct OneViewSettings;

class CovWindow : public CXPropertyPage
{
public:
    explicit CovWindow(OneViewSettings* pSettings);

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnFitClicked(UINT nID);
    afx_msg void OnZoomClicked(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    OneViewSettings* m_pSettings;
};
