// The MDI client of the MDI frame base: it hands the frame menu to the menu bar instead of the
// frame, gives the Window menu's child entries their icons and keeps the window-list entry last.
#pragma once

#include "framework/Framework.h"

// The window-list command of the Window menu.
#define ID_WINDOW_LIST 57854

class VyxMDIClientWndEx : public CWnd
{
    DECLARE_DYNAMIC(VyxMDIClientWndEx)
public:
    VyxMDIClientWndEx() = default;

    HMENU m_hWindowMenu = nullptr;

protected:
    afx_msg LRESULT OnMDISetMenu(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMDIRefreshMenu(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
