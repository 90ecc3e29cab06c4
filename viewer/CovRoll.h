// The display-mode dialog's page of the rotation step in degrees.
#pragma once

#include "controls/CXPropertyPage.h"

struct OneViewSettings;

class CovRoll : public CXPropertyPage
{
public:
    explicit CovRoll(OneViewSettings* pSettings);

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnAngleKillFocus();
    DECLARE_MESSAGE_MAP()

private:
    OneViewSettings* m_pSettings;
};
