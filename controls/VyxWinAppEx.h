// The application base of the program: it classifies the Windows version once, caches the
// non-client metrics and the menu effect settings the bars consult, and keeps one image list of
// 16 x 16 menu images mapped by command id, drawn by the frame bases in owner-drawn menus.
#pragma once

#include "framework/Framework.h"

class VyxWinAppEx : public CWinApp
{
    DECLARE_DYNAMIC(VyxWinAppEx)
public:
    explicit VyxWinAppEx(LPCWSTR lpszAppName = nullptr);
    ~VyxWinAppEx() override;

    // 0 and 1 Windows 9x (95, later), 2 NT 3/4, 3 Windows 2000, 4 XP and every later NT, 5 other.
    static int PASCAL ClassifyWindowsVersion(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor);
    int GetWindowsVersionClass() const { return m_nWinVerClass; }
    const NONCLIENTMETRICSW& GetNonClientMetrics() const { return m_ncm.metrics; }
    // Reads the metrics and effect settings again, as far as the version class allows.
    void UpdateSystemSettings();

    BOOL IsMenuImagesEnabled() const { return m_bMenuImages; }
    void EnableMenuImages(BOOL bEnable) { m_bMenuImages = bEnable; }
    BOOL IsFlatMenu() const { return m_bUIEffects && m_bFlatMenu; }
    BOOL IsMenuAnimation() const;
    BOOL IsMenuFade() const { return m_bUIEffects && m_bMenuFade; }
    BOOL IsKeyboardCues() const { return m_bUIEffects && m_bKeyboardCues; }

    CImageList* GetMenuImageList();
    // The image index of a command, -1 when it has none.
    int GetMenuImage(UINT nID) const;
    // Adds a bitmap's images and maps each (command id, index within the bitmap) pair.
    void AddMenuImages(const CMap<UINT, UINT, int, int>& idToIndex, UINT nBitmapID, COLORREF crMask);
    void AddMenuIcon(UINT nID, HICON hIcon);
    void SetMenuIcon(UINT nID, HICON hIcon);
    // The shell's small icon of the file's type; one image per type.
    void AddMenuFileIcon(UINT nID, LPCWSTR lpszPath);
    void RemoveMenuImage(UINT nID);

    // Commands with an image are drawn by the frame (HBMMENU_CALLBACK).
    void PrepareMenuImages(CMenu* pMenu, BOOL bRecurse);
    // TrackPopupMenuEx with the owner as the thread's tracking window meanwhile.
    BOOL TrackMenu(HMENU hMenu, UINT nFlags, int x, int y, CWnd* pOwner, LPTPMPARAMS lpParams);

    // Puts a CRecentFileListEx in place of the framework's list.
    void LoadStdProfileSettings(UINT nMaxMRU = 4) override;
    // The class library's own boxes (a reported exception, a data-exchange prompt) fitted to the
    // work area as the program's are.
    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;

protected:
    void ReadSystemSettings();
    // Adds the images the program keeps for its commands (AddMenuImages): called once, when menu
    // images are first asked for, not at start-up, since no menu shows on the first screen.
    virtual void LoadMenuImages() {}

    int m_nWinVerClass = 0;
    // The record of the versions that know the padded border (504 bytes); the headers of this
    // build end before that field.
    struct NonClientMetrics
    {
        NONCLIENTMETRICSW metrics;
        int iPaddedBorderWidth;
    } m_ncm = {};
    BOOL m_bMenuAnimation = FALSE;
    BOOL m_bKeyboardCues = FALSE;
    BOOL m_bMenuFade = FALSE;
    BOOL m_bUIEffects = FALSE;
    BOOL m_bFlatMenu = FALSE;
    BOOL m_bMenuImages = FALSE;
    CImageList m_imlMenu;
    CMap<UINT, UINT, int, int> m_mapMenuImages;
    CMap<int, int, int, int> m_mapShellIcons;

private:
    void EnsureMenuImages() const;
    mutable bool m_bMenuImagesLoaded = false;
};

// The application as the kit's base, or null when the program's application is a plain CWinApp.
VyxWinAppEx* VyxGetAppEx();
// The non-client metrics: the application's cache, or read now when there is no such application.
void VyxGetNonClientMetrics(NONCLIENTMETRICSW& ncm);
// The Windows version class: the application's, or classified now.
int VyxGetWindowsVersionClass();
