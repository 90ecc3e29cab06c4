// A plain child window holding a row (or, when it is not wider than high, a column) of themed push
// buttons; every command it receives goes to OnButtonCommand.
#pragma once

#include "controls/CXPStyleButtonST.h"

class CXToolBar : public CWnd
{
public:
    CXToolBar();
    ~CXToolBar() override;

    // A visible themed button drawn as a tool-bar button, placed after the others.
    CXPStyleButtonST* AddButton(UINT nID, LPCWSTR lpszText);
    // Empty for an index outside the list.
    CString GetButtonText(int nIndex) const;
    void RemoveAllButtons();

    int GetButtonCount() const { return m_nCount; }
    CXPStyleButtonST* GetButton(int nIndex) const;
    BOOL IsVertical() const { return m_bVertical; }

    // Called for every command the bar receives.
    virtual LRESULT OnButtonCommand(UINT nID);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnCommandRange(UINT nID);
    DECLARE_MESSAGE_MAP()

    int m_nCount = 0;
    CObArray m_Buttons;
    CDWordArray m_Ids;
    BOOL m_bVertical = FALSE;
    CRect m_rcArea;
    int m_nButtonWidth = 40;
    int m_nButtonHeight = 30;
};
