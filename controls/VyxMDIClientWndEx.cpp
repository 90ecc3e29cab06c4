#include "controls/VyxMDIClientWndEx.h"
#include "controls/VyxMDIFrameWndEx.h"
#include "controls/VyxWinAppEx.h"

IMPLEMENT_DYNAMIC(VyxMDIClientWndEx, CWnd)

BEGIN_MESSAGE_MAP(VyxMDIClientWndEx, CWnd)
ON_MESSAGE(WM_MDISETMENU, OnMDISetMenu)
ON_MESSAGE(WM_MDIREFRESHMENU, OnMDIRefreshMenu)
END_MESSAGE_MAP()

namespace {

const UINT kWindowListTextId = 61968;
const UINT kMoreWindowsId = 65289; // the entry the system adds for further windows

} // namespace

LRESULT VyxMDIClientWndEx::OnMDISetMenu(WPARAM wParam, LPARAM lParam)
{
    m_hWindowMenu = reinterpret_cast<HMENU>(lParam);
    auto* frame = DYNAMIC_DOWNCAST(VyxMDIFrameWndEx, GetParent());
    if (!frame || frame->m_bPrintPreview)
        return Default();
    // The frame menu goes to the menu bar; the frame itself keeps none.
    if (wParam)
        frame->m_wndMenuBar.SetMenu(reinterpret_cast<HMENU>(wParam));
    return DefWindowProc(WM_MDISETMENU, 0, lParam);
}

LRESULT VyxMDIClientWndEx::OnMDIRefreshMenu(WPARAM, LPARAM)
{
    LRESULT result = Default();
    HMENU menu = m_hWindowMenu;
    if (!menu || !::IsMenu(menu))
        return result;
    VyxWinAppEx* app = VyxGetAppEx();
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count && app; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == static_cast<UINT>(-1) || id < AFX_IDM_FIRST_MDICHILD)
            continue;
        HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(id));
        auto icon = child ? reinterpret_cast<HICON>(::GetClassLongPtrW(child, GCLP_HICONSM)) : nullptr;
        if (icon)
            app->SetMenuIcon(id, icon);
        else
            app->RemoveMenuImage(id);
    }
    // The window-list entry is always the last one.
    ::DeleteMenu(menu, ID_WINDOW_LIST, MF_BYCOMMAND);
    ::DeleteMenu(menu, kMoreWindowsId, MF_BYCOMMAND);
    CString text;
    text.LoadString(kWindowListTextId);
    ::AppendMenuW(menu, MF_STRING, ID_WINDOW_LIST, text);
    return result;
}
