// The about box: the program's and the system's versions, the memory figures (followed while the
// box is open) and the product's web address.
#pragma once

#include "controls/CCJHyperLink.h"

class CAboutDlg : public CDialog
{
public:
    enum { IDD = 100 };

    CAboutDlg();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void UpdateMemoryFigures();

protected:
    BOOL OnInitDialog() override;

private:
    CCJHyperLink m_link;
};
