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

    BOOL CreateDriveButtons();
    // Presses the drive's button and releases the others, without telling the parent.
    void SetCurrentDrive(int nDriveIndex);
    CString GetDisplayName(LPCWSTR lpszRootPath) const;
    HICON GetDriveIcon(LPCWSTR lpszRootPath) const;
    const CString& GetRightClickedCaption() const { return m_strRightClicked; }

    LRESULT OnButtonCommand(UINT nID) override;

protected:
    afx_msg void OnDriveCommand(UINT nID);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void PressOnly(UINT nID);

    CThemeHelperST* m_pTheme = nullptr;
    CFont* m_pFont = nullptr;
    CImageList* m_pImageList = nullptr;
    CString m_strRightClicked;
};
