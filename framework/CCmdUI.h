// The user-interface item (menu item, tool-bar button, control) an ON_UPDATE_COMMAND_UI handler
// enables, checks or renames.
#pragma once

#include "framework/CCmdTarget.h"

class CMenu;
class CWnd;

class CCmdUI
{
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1); // 0 unchecked, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCWSTR lpszText);
    // Lets the next command target update the item as well.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Routes the update to pTarget; with bDisableIfNoHndler, an item nobody updates is enabled
    // only when some target handles its command. TRUE when a handler updated the item.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    UINT m_nIndexMax = 0;
    CMenu* m_pMenu = nullptr;       // the menu holding the item, or null
    CMenu* m_pSubMenu = nullptr;    // the popup the item opens, when it is one
    CMenu* m_pParentMenu = nullptr; // the menu holding m_pMenu, for popups of a menu bar
    CWnd* m_pOther = nullptr;       // the window (control, bar) holding the item otherwise
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
};

// Records what an update handler would do, changing nothing: used to ask whether a command is
// enabled before it runs.
class CTestCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn = TRUE) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL = TRUE) override {}
    void SetText(LPCWSTR) override {}

    BOOL m_bEnabled = TRUE;
};

// Updates each item of a popup menu about to open through pTarget's update handlers. With
// bAutoMenuEnable, items no handler updates are enabled only when their command has a handler
// (system commands, 0xF000 and up, excepted). Popup entries are updated through their first item.
void AFXAPI AfxUpdateMenuCmdUI(CCmdTarget* pTarget, CMenu* pPopupMenu, BOOL bAutoMenuEnable);
