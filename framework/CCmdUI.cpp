#include "framework/CCmdUI.h"
#include "framework/CMenu.h"
#include "framework/CWnd.h"

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return; // a popup entry is not changed on behalf of its first item
        ::EnableMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther) {
        // Disabling the focused control would strand the focus.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            CWnd* parent = m_pOther->GetParent();
            CWnd* next = parent ? parent->GetNextDlgTabItem(m_pOther) : nullptr;
            if (next && next != m_pOther)
                next->SetFocus();
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        ::CheckMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        if (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON)
            m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
    if (m_pMenu && !m_pSubMenu) {
        // The check of a radio item is drawn as a bullet.
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        if (::GetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &info)) {
            info.fType |= MFT_RADIOCHECK;
            ::SetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &info);
        }
    }
}

void CCmdUI::SetText(LPCWSTR lpszText)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<LPWSTR>(lpszText ? lpszText : L"");
        ::SetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &info);
    } else if (m_pOther) {
        CString current;
        m_pOther->GetWindowText(current);
        if (current != (lpszText ? lpszText : L"")) // unchanged text is not set again (no flicker)
            m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE; // separators and popups without a first command
    m_bEnableChanged = FALSE;
    BOOL handled = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}

void AFXAPI AfxUpdateMenuCmdUI(CCmdTarget* pTarget, CMenu* pPopupMenu, BOOL bAutoMenuEnable)
{
    HMENU menu = pPopupMenu->m_hMenu;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(menu));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = ::GetMenuItemID(menu, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue; // separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            HMENU sub = ::GetSubMenu(menu, static_cast<int>(state.m_nIndex));
            state.m_pSubMenu = CMenu::FromHandle(sub);
            if (!sub || (state.m_nID = ::GetMenuItemID(sub, 0)) == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.DoUpdate(pTarget, FALSE); // popups are never disabled automatically
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(pTarget, bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // A handler may have removed items: carry on after the item just updated.
        UINT count = static_cast<UINT>(::GetMenuItemCount(menu));
        if (count < state.m_nIndexMax) {
            UINT removed = state.m_nIndexMax - count;
            state.m_nIndex = state.m_nIndex >= removed ? state.m_nIndex - removed : 0;
            while (state.m_nIndex < count && ::GetMenuItemID(menu, static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}
