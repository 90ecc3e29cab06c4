// The display-mode dialog's page of the picture window's own automatic play: repeat and the wait
// between files.
#pragma once

#include "controls/CXPropertyPage.h"

struct OneViewSettings;

class CovSlideShow : public CXPropertyPage
{
public:
    explicit CovSlideShow(OneViewSettings* pSettings);

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnRepeatClicked();
    afx_msg void OnWaitKillFocus();
    DECLARE_MESSAGE_MAP()

private:
    OneViewSettings* m_pSettings;
};
