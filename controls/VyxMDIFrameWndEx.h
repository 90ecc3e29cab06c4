// The MDI frame base: the frame furniture, an MDI client that keeps the menu bar and the Window
// menu in step, and the window-list dialog.
#pragma once

#include "controls/VyxFrameWndBase.h"
#include "controls/VyxMDIClientWndEx.h"

class VyxMDIFrameWndEx : public VyxFrameWndBase<CMDIFrameWnd>
{
    DECLARE_DYNCREATE(VyxMDIFrameWndEx)
public:
    VyxMDIFrameWndEx() = default;

    // A maximised child's system menu and caption entries leave the menu with it.
    void DelayUpdateFrameMenu(HMENU hMenuAlt) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    VyxMDIClientWndEx m_wndMDIClient;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnWindowList();

    DECLARE_MESSAGE_MAP()
};
