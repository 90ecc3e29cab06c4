// The report template's combo box: a menu choice is inserted where the caret was (replacing the
// selection) instead of replacing the whole text, so the edit selection is remembered whenever the
// text changes and whenever the box loses the focus.
#pragma once

#include "controls/CComboBoxButtonCtrl.h"

class xCComboBoxButtonCtrl : public CComboBoxButtonCtrl
{
public:
    xCComboBoxButtonCtrl() = default;

    int GetRememberedStart() const { return m_start; }
    int GetRememberedEnd() const { return m_end; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg BOOL OnEditChange();
    afx_msg BOOL OnBoxKillFocus();
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

    void RememberSelection(bool onlyNonZero);

    int m_start = 0;
    int m_end = 0;
};
