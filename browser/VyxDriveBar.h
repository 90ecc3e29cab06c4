// The rebar's drive bar: a dialog bar holding one button per logical drive, rebuilt when drives
// come and go; choosing a drive makes the views go there (hint 20 through the frame).
#pragma once

#include "controls/CThemeHelperST.h"
#include "controls/CXDriveBar.h"

class VyxDriveBar : public CDialogBar
{
public:
    VyxDriveBar();
    ~VyxDriveBar() override;

    // Set by the frame before the bar is made; handed to each new drive buttons control.
    void SetImageList(CImageList* pImageList) { m_pImageList = pImageList; }
    CXDriveBar* GetDriveButtons() const { return m_pDriveButtons; }
    // Replaces the drive buttons control, over the rectangle.
    BOOL BuildDriveButtons(const CRect& rect);
    int GetBuildCount() const { return m_nBuildCount; }

    enum { RebuildTimer = 7 };
    // How long after a device change the buttons are rebuilt.
    static UINT s_rebuildDelay;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnDeviceChange(UINT nEventType, DWORD_PTR dwData);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnDriveSelected(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CFont m_font;
    CThemeHelperST m_theme;
    CXDriveBar* m_pDriveButtons = nullptr;
    CImageList* m_pImageList = nullptr;
    int m_nBuildCount = 0;
};
