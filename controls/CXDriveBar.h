// A bar of one button per logical drive, captioned with the drive letter, showing the drive's
// small shell icon and its display name as tooltip. A click presses that button alone and tells
// the parent window through WM_DRIVE_SELECTED (wParam the drive index, 0 for A).
#pragma once

#include "controls/CXToolBar.h"

// The registered message "WM_DRIVE_SELECTED".
extern const UINT WM_DRIVE_SELECTED;

class CXDriveBar : public CXToolBar
{
public:
    CXDriveBar();

    // Set by the owner before CreateDriveButtons; not owned.
    void SetThemeHelper(CThemeHelperST* pTheme) { m_pTheme = pTheme; }
    void SetButtonFont(CFont* pFont) { m_pFont = pFont; }
    void SetImageList(CImageList* pImageList) { m_pImageList = pImageList; }

    // With bWithDetails FALSE the buttons carry their letters alone; the owner hands each drive's
    // display name and icon later through SetDriveDetails (they cost a look at every drive).
    BOOL CreateDriveButtons(BOOL bWithDetails = TRUE);
    // Takes the icon (null for none); false when no button stands for the drive.
    BOOL SetDriveDetails(int nDriveIndex, LPCWSTR lpszDisplayName, HICON hIcon);
    static CString GetRootPath(int nDriveIndex);
    // Presses the drive's button and releases the others, without telling the parent.
    void SetCurrentDrive(int nDriveIndex);
    static CString GetDisplayName(LPCWSTR lpszRootPath);
    HICON GetDriveIcon(LPCWSTR lpszRootPath) const;
    const CString& GetRightClickedCaption() const { return m_strRightClicked; }

    LRESULT OnButtonCommand(UINT nID) override;

protected:
    afx_msg void OnDriveCommand(UINT nID);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void PressOnly(UINT nID);
    CXPStyleButtonST* FindButton(UINT nID) const;

    CThemeHelperST* m_pTheme = nullptr;
    CFont* m_pFont = nullptr;
    CImageList* m_pImageList = nullptr;
    CString m_strRightClicked;
};
