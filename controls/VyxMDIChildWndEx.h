// The MDI child frame base: menu images in its owner-drawn menus.
#pragma once

#include "controls/CBmpMenuOwnerWnd.h"

class VyxMDIChildWndEx : public CBmpMenuOwnerWnd<CMDIChildWnd>
{
    DECLARE_DYNCREATE(VyxMDIChildWndEx)
public:
    VyxMDIChildWndEx() = default;

protected:
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

    DECLARE_MESSAGE_MAP()
};
