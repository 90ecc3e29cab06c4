// The menu button beside the option tree's edit box; the commands of its menu reach the edit.
#pragma once

#include "controls/CMenuButtonCtrl.h"

class CTreeOptionsCtrl;
class CTreeOptionsEdit;

class CTreeOptionsMenuButton : public CMenuButtonCtrl
{
    DECLARE_DYNCREATE(CTreeOptionsMenuButton)
public:
    CTreeOptionsMenuButton() = default;

    virtual DWORD GetWindowStyle();
    virtual int GetWidth();

    void SetTreeBuddy(CTreeOptionsCtrl* pTree) { m_pTreeCtrl = pTree; }
    void SetEditBuddy(CTreeOptionsEdit* pEdit) { m_pEdit = pEdit; }
    // The menu opens with the edit marked busy, so the focus it takes closes nothing.
    void DropMenu() override;

protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);

    CTreeOptionsCtrl* m_pTreeCtrl = nullptr;
    CTreeOptionsEdit* m_pEdit = nullptr;

    DECLARE_MESSAGE_MAP()
};
