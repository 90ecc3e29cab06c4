// What the edit and the combo box with a choice button share: the button glued to the box's right
// edge, its menu of values and the handling of the menu's commands.
#pragma once

#include "controls/CMenuButton.h"

class ButtonBoxCore
{
public:
    // The control id of every box's button.
    static constexpr UINT ButtonId = 2258;

    BOOL CreateButton(CWnd* pBox);
    void ResetMenu(UINT nFirstId);
    UINT AddMenuItem(LPCWSTR lpszLabel, LPCWSTR lpszValue);
    void AppendSubMenu(CMenu* pSubMenu, LPCWSTR lpszLabel);
    void SetCaption(LPCWSTR lpszCaption);
    // Glues the button to the box's current right edge.
    void PlaceButton(CWnd* pBox);
    // A command of the menu: the value goes into the box (replacing its text, or at the caret),
    // an empty value sends the command on to the box's parent. FALSE for other commands.
    BOOL HandleCommand(CWnd* pBox, WPARAM wParam, LPARAM lParam, BOOL bReplaceText);

    BOOL m_bButtonCreated = FALSE;
    CRect m_rcBox;
    CMenuButton m_button;
    CRect m_rcButton;
    int m_nButtonWidth = 16;
    DWORD m_dwButtonStyle = BS_OWNERDRAW;
    CString m_strCaption;
    CStringArray m_values;
};
