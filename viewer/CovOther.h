// The display-mode dialog's page of the SPACE key's command.
#pragma once

#include "controls/CXPropertyPage.h"

struct OneViewSettings;

class CovOther : public CXPropertyPage
{
public:
    explicit CovOther(OneViewSettings* pSettings);

    // The command of each item of the SPACE key's lists (the slideshow options offer the first two).
    static const int SpaceCommands[3];

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnSpaceKillFocus();
    DECLARE_MESSAGE_MAP()

private:
    OneViewSettings* m_pSettings;
};
