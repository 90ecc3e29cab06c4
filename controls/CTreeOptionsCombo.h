// The option tree's in-place combo box; derived classes fill its list for their option.
#pragma once

#include "framework/Framework.h"

class CTreeOptionsCtrl;

class CTreeOptionsCombo : public CComboBox
{
    DECLARE_DYNCREATE(CTreeOptionsCombo)
public:
    CTreeOptionsCombo() = default;

    virtual DWORD GetWindowStyle();
    virtual int GetWidth();
    virtual int GetDropDownHeight();

    void SetTreeBuddy(CTreeOptionsCtrl* pTree) { m_pTreeCtrl = pTree; }

protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();

    int m_nWidth = 200;
    int m_nDropDownHeight = 100;
    CTreeOptionsCtrl* m_pTreeCtrl = nullptr;

    DECLARE_MESSAGE_MAP()
};
