// The display-mode dialog's page of the resampling method.
#pragma once

#include "controls/CXPropertyPage.h"

struct OneViewSettings;

class CovScale : public CXPropertyPage
{
public:
    explicit CovScale(OneViewSettings* pSettings);

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnScaleClicked(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    OneViewSettings* m_pSettings;
};
