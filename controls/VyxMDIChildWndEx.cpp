#include "controls/VyxMDIChildWndEx.h"
#include "controls/VyxWinAppEx.h"

IMPLEMENT_DYNCREATE(VyxMDIChildWndEx, CMDIChildWnd)

BEGIN_MESSAGE_MAP(VyxMDIChildWndEx, CBmpMenuOwnerWnd<CMDIChildWnd>)
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

void VyxMDIChildWndEx::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CMDIChildWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (VyxWinAppEx* app = VyxGetAppEx())
        app->PrepareMenuImages(pPopupMenu, FALSE);
}
