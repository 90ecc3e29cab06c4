// A combo box with a small button at its right edge that drops a menu of values (a choice
// replaces the text) or browses for a folder.
#pragma once

#include "controls/ButtonBoxCore.h"

class CComboBoxButtonCtrl : public CComboBox
{
public:
    CComboBoxButtonCtrl() = default;
    using CComboBox::Create;

    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, CCreateContext* pContext = nullptr) override;
    // Once the box exists (typically in the dialog's OnInitDialog).
    BOOL CreateButton() { return m_core.CreateButton(this); }
    void ResetMenu(UINT nFirstId) { m_core.ResetMenu(nFirstId); }
    // A null label appends a separator and returns 0; an empty value sends the item's command on
    // to the parent instead of changing the box.
    UINT AddMenuItem(LPCWSTR lpszLabel, LPCWSTR lpszValue) { return m_core.AddMenuItem(lpszLabel, lpszValue); }
    void AppendSubMenu(CMenu* pSubMenu, LPCWSTR lpszLabel) { m_core.AppendSubMenu(pSubMenu, lpszLabel); }
    void SetCaption(LPCWSTR lpszCaption) { m_core.SetCaption(lpszCaption); }
    // Before CreateButton: the width, and BS_ICON added to the style for a folder-browse button.
    void SetButtonWidth(int nWidth) { m_core.m_nButtonWidth = nWidth; }
    void SetButtonStyle(DWORD dwStyle) { m_core.m_dwButtonStyle = dwStyle; }
    CMenuButton& GetButton() { return m_core.m_button; }
    BOOL IsButtonCreated() const { return m_core.m_bButtonCreated; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnMove(int x, int y);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    ButtonBoxCore m_core;
};
