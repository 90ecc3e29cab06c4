#include "framework/CMenu.h"
#include "framework/CHandleMap.h"
#include "framework/CWnd.h"
#include "framework/ModuleState.h"
#include "framework/ThreadState.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {

CHandleMap<CMenu, HMENU>* MenuMap()
{
    return AfxHandleMap<CMenu, HMENU>(
        afxMenuMap,
        [](HMENU handle) {
            auto* menu = new CMenu;
            menu->m_hMenu = handle;
            return menu;
        },
        [](CMenu* menu) { menu->m_hMenu = nullptr; });
}

} // namespace

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu)
{
    return MenuMap()->FromHandle(hMenu);
}

CMenu* PASCAL CMenu::FromHandlePermanent(HMENU hMenu)
{
    return MenuMap()->LookupPermanent(hMenu);
}

void PASCAL CMenu::DeleteTempMap()
{
    MenuMap()->DeleteTemp();
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu && m_hMenu && m_hMenu != hMenu)
        DestroyMenu();
    return MenuMap()->Attach(this, m_hMenu, hMenu);
}

HMENU CMenu::Detach()
{
    return MenuMap()->Detach(m_hMenu);
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(LPCWSTR lpszResourceName)
{
    HINSTANCE instance = AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEW(4));
    return Attach(::LoadMenuW(instance, lpszResourceName));
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int length = ::GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (length <= 0) {
        rString.Empty();
        return 0;
    }
    int n = ::GetMenuStringW(m_hMenu, nIDItem, rString.GetBuffer(length + 1), length + 1, nFlags);
    rString.ReleaseBuffer(n > 0 ? n : 0);
    return n;
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    (void)lpDrawItemStruct;
}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    (void)lpMeasureItemStruct;
}

namespace {

// Records the menu being tracked for the owner's WM_MEASUREITEM, for the duration of the call.
class CTrackingRecord
{
public:
    CTrackingRecord(HWND hWnd, HMENU hMenu) : m_state(AfxGetThreadState())
    {
        m_oldWindow = m_state->m_hTrackingWindow;
        m_oldMenu = m_state->m_hTrackingMenu;
        m_state->m_hTrackingWindow = hWnd;
        m_state->m_hTrackingMenu = hMenu;
    }
    ~CTrackingRecord()
    {
        m_state->m_hTrackingWindow = m_oldWindow;
        m_state->m_hTrackingMenu = m_oldMenu;
    }
    CTrackingRecord(const CTrackingRecord&) = delete;
    CTrackingRecord& operator=(const CTrackingRecord&) = delete;

private:
    AFX_THREAD_STATE* m_state;
    HWND m_oldWindow;
    HMENU m_oldMenu;
};

} // namespace

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    CTrackingRecord record(pWnd->GetSafeHwnd(), m_hMenu);
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm)
{
    CTrackingRecord record(pWnd->GetSafeHwnd(), m_hMenu);
    return ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, pWnd->GetSafeHwnd(), lptpm);
}
