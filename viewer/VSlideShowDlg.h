// The full-screen slideshow. Only what the main frame and the picture windows call stands here
// yet; no slideshow is ever opened until the slideshow is built.
#pragma once

#include "framework/Framework.h"

class VSlideShowDlg : public CDialog
{
public:
    void SetIndex(int nIndex);
    // The view index of the file in the first cell; -1 while none is shown.
    int GetIndex() const;
    void SetLocked(BOOL bLocked);
    void Reload();
    void UpdatePositionBar();
};
