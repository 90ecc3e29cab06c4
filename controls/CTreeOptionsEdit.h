// The option tree's in-place edit box, and the base of the editors derived for particular
// options (style, width, what the browse buttons open).
#pragma once

#include "framework/Framework.h"

class CTreeOptionsCtrl;
class CTreeOptionsBrowseButton;
class CTreeOptionsMenuButton;

class CTreeOptionsEdit : public CEdit
{
    DECLARE_DYNCREATE(CTreeOptionsEdit)
public:
    CTreeOptionsEdit() = default;

    virtual DWORD GetWindowStyle();
    virtual int GetWidth();
    virtual void BrowseForFolder();
    virtual void BrowseForFile();
    virtual void BrowseForColor();
    virtual CString GetFolderCaption();
    virtual CString GetFileCaption();
    virtual CString GetFileFilter();

    void SetTreeBuddy(CTreeOptionsCtrl* pTree) { m_pTreeCtrl = pTree; }
    void SetButtonBuddy(CTreeOptionsBrowseButton* pButton) { m_pButtonCtrl = pButton; }
    void SetMenuButtonBuddy(CTreeOptionsMenuButton* pButton) { m_pMenuButtonCtrl = pButton; }
    CTreeOptionsBrowseButton* GetButtonBuddy() const { return m_pButtonCtrl; }
    CTreeOptionsMenuButton* GetMenuButtonBuddy() const { return m_pMenuButtonCtrl; }

    // Set while a browse dialog or the menu is open: losing the focus to it closes nothing.
    BOOL m_bDoNotDestroyUponLoseFocus = FALSE;

protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();

    int m_nWidth = 200;
    CTreeOptionsCtrl* m_pTreeCtrl = nullptr;
    CTreeOptionsBrowseButton* m_pButtonCtrl = nullptr;
    CTreeOptionsMenuButton* m_pMenuButtonCtrl = nullptr;

    DECLARE_MESSAGE_MAP()
};
