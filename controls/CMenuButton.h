// The small button glued to the right edge of an edit or combo box: it drops a menu of prepared
// values whose commands go to its command target (the box), or, in browse mode (BS_ICON), opens
// the folder browser and puts the chosen folder into the target.
#pragma once

#include "framework/Framework.h"

class CMenuButton : public CButton
{
    DECLARE_DYNCREATE(CMenuButton)
public:
    CMenuButton();
    ~CMenuButton() override;

    void ResetMenu(UINT nFirstId);
    // A null label appends a separator and returns 0; otherwise the new item's id.
    UINT AddMenuItem(LPCWSTR lpszLabel);
    void AppendSubMenu(CMenu* pSubMenu, LPCWSTR lpszLabel);
    void DropMenu();

    // Null: the first ancestor that is not a child window.
    void SetCommandTarget(CWnd* pTarget) { m_pCommandTarget = pTarget; }
    CWnd* GetCommandTarget() const { return m_pCommandTarget; }
    UINT GetFirstId() const { return m_nFirstId; }
    UINT GetLastId() const { return m_nLastId; }
    CMenu& GetMenu() { return m_menu; }
    BOOL IsMenuShowing() const { return m_bShowing; }
    BOOL IsBrowseMode() const;
    // The shell's small system image list (never owned) and the Windows folder's icon in it.
    HIMAGELIST GetSystemImageList() const { return m_hSystemImages; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
    afx_msg BOOL OnClicked();
    DECLARE_MESSAGE_MAP()

private:
    CWnd* MenuOwner() const;

    CFont m_font;
    BOOL m_bShowing = FALSE;
    // The system list is shared by the whole process: the button only borrows its handle.
    HIMAGELIST m_hSystemImages = nullptr;
    int m_nFolderIcon = 0;
    CMenu m_menu;
    UINT m_nFirstId = 1024;
    UINT m_nLastId = 1023;
    CWnd* m_pCommandTarget = nullptr;
};
