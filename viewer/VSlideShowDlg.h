// The full-screen slideshow. Only what the main frame calls stands here yet; no slideshow is ever
// opened until the viewer is built.
#pragma once

#include "framework/Framework.h"

class VSlideShowDlg : public CDialog
{
public:
    void ShowFrom(int nIndex);
    void SetLocked(BOOL bLocked);
    void Reload();
    void RecalcPositionBar();
};
