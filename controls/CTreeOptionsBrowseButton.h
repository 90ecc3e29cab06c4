// The "..." button beside the option tree's edit box: it opens the file, folder or colour
// dialog the item's editor record names and puts the choice into the edit.
#pragma once

#include "framework/Framework.h"

class CTreeOptionsCtrl;
class CTreeOptionsEdit;

class CTreeOptionsBrowseButton : public CButton
{
    DECLARE_DYNCREATE(CTreeOptionsBrowseButton)
public:
    CTreeOptionsBrowseButton() = default;

    virtual DWORD GetWindowStyle();
    virtual int GetWidth();
    virtual CString GetCaption();

    void SetTreeBuddy(CTreeOptionsCtrl* pTree) { m_pTreeCtrl = pTree; }
    void SetEditBuddy(CTreeOptionsEdit* pEdit) { m_pEdit = pEdit; }

protected:
    afx_msg void OnClicked();
    afx_msg void OnKillFocus(CWnd* pNewWnd);

    CTreeOptionsCtrl* m_pTreeCtrl = nullptr;
    CTreeOptionsEdit* m_pEdit = nullptr;

    DECLARE_MESSAGE_MAP()
};
