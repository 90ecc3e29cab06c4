// The rebar's drive bar: a dialog bar holding one button per logical drive, rebuilt when drives
// come and go; choosing a drive makes the views go there (hint 20 through the frame). The buttons
// show their letters at once; the drives' display names and icons are looked up on a thread of
// their own and shown when they come, so the look-ups never hold the window's first paint.
#pragma once

#include "controls/CThemeHelperST.h"
#include "controls/CXDriveBar.h"

#include <mutex>
#include <thread>
#include <vector>

class VyxDriveBar : public CDialogBar
{
public:
    VyxDriveBar();
    ~VyxDriveBar() override;

    // Set before the bar is made to draw the icons from this list; without one the shell's
    // small system image list serves.
    void SetImageList(CImageList* pImageList) { m_pImageList = pImageList; }
    CXDriveBar* GetDriveButtons() const { return m_pDriveButtons; }
    // Replaces the drive buttons control, over the rectangle.
    BOOL BuildDriveButtons(const CRect& rect);
    int GetBuildCount() const { return m_nBuildCount; }
    // The latest buttons carry their drives' names and icons.
    BOOL HasDriveDetails() const { return m_nBuildCount > 0 && m_nDetailedBuild == m_nBuildCount; }

    enum { RebuildTimer = 7 };
    // How long after a device change the buttons are rebuilt.
    static UINT s_rebuildDelay;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnDeviceChange(UINT nEventType, DWORD_PTR dwData);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnDriveSelected(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnDriveDetails(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    struct DriveDetails
    {
        int drive;
        CString name;
        HICON icon;
    };
    void StartDetails(DWORD drives);
    void EndDetails();
    static void LookUpDetails(HWND bar, int build, DWORD drives, HIMAGELIST list, std::vector<DriveDetails>* out,
                              std::mutex* lock);

    CFont m_font;
    CThemeHelperST m_theme;
    CXDriveBar* m_pDriveButtons = nullptr;
    CImageList* m_pImageList = nullptr;
    int m_nBuildCount = 0;
    int m_nDetailedBuild = 0;
    std::thread m_detailsThread;
    std::mutex m_detailsLock;
    std::vector<DriveDetails> m_details; // handed over by the thread, under the lock
};
