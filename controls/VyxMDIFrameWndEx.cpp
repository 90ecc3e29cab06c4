#include "controls/VyxMDIFrameWndEx.h"
#include "controls/CWindowListDialog.h"

IMPLEMENT_DYNCREATE(VyxMDIFrameWndEx, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(VyxMDIFrameWndEx, VyxFrameWndBase<CMDIFrameWnd>)
ON_WM_CREATE()
ON_COMMAND(ID_WINDOW_LIST, OnWindowList)
END_MESSAGE_MAP()

int VyxMDIFrameWndEx::OnCreate(LPCREATESTRUCT lpcs)
{
    if (VyxFrameWndBase<CMDIFrameWnd>::OnCreate(lpcs) == -1)
        return -1;
    if (!m_hWndMDIClient || !m_wndMDIClient.SubclassWindow(m_hWndMDIClient))
        return -1;
    return 0;
}

void VyxMDIFrameWndEx::DelayUpdateFrameMenu(HMENU hMenuAlt)
{
    HMENU menu = ::GetMenu(m_hWnd);
    BOOL maximized = FALSE;
    CMDIChildWnd* active = MDIGetActive(&maximized);
    if (m_bPrintPreview && menu && active && maximized) {
        if (::GetSubMenu(menu, 0) == ::GetSystemMenu(active->m_hWnd, FALSE))
            ::RemoveMenu(menu, 0, MF_BYPOSITION);
        for (UINT command : {SC_MINIMIZE, SC_RESTORE, SC_CLOSE})
            ::RemoveMenu(menu, command, MF_BYCOMMAND);
        active->ModifyStyle(0, WS_SYSMENU);
    }
    VyxFrameWndBase<CMDIFrameWnd>::DelayUpdateFrameMenu(hMenuAlt);
}

void VyxMDIFrameWndEx::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    VyxFrameWndBase<CMDIFrameWnd>::OnUpdateFrameTitle(bAddToTitle);
    if (m_hWndMDIClient)
        ::PostMessageW(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

void VyxMDIFrameWndEx::OnWindowList()
{
    CWindowListDialog dialog(&m_wndMDIClient, this);
    dialog.DoModal();
}
