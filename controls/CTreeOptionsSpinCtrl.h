// The up-down control beside the option tree's edit box; derived classes set its range.
#pragma once

#include "framework/Framework.h"

class CTreeOptionsCtrl;
class CTreeOptionsEdit;

class CTreeOptionsSpinCtrl : public CSpinButtonCtrl
{
    DECLARE_DYNCREATE(CTreeOptionsSpinCtrl)
public:
    CTreeOptionsSpinCtrl() = default;

    virtual DWORD GetWindowStyle();
    virtual int GetWidth();
    virtual void GetRange(int& nLower, int& nUpper);

    void SetTreeBuddy(CTreeOptionsCtrl* pTree) { m_pTreeCtrl = pTree; }
    void SetEditBuddy(CTreeOptionsEdit* pEdit) { m_pEdit = pEdit; }

protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);

    CTreeOptionsCtrl* m_pTreeCtrl = nullptr;
    CTreeOptionsEdit* m_pEdit = nullptr;

    DECLARE_MESSAGE_MAP()
};
