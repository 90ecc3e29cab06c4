// The single-document frame base of the main frame and the picture window.
#pragma once

#include "controls/VyxFrameWndBase.h"

class VyxFrameWndEx : public VyxFrameWndBase<CFrameWnd>
{
    DECLARE_DYNCREATE(VyxFrameWndEx)
public:
    VyxFrameWndEx() = default;

    // The document's menu, else the frame's: in the menu bar, or as the window menu in print preview.
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
};
