// The program's application object: it prepares the process (locale, common controls, OLE, the
// settings file, the log, a single instance), registers the document template, opens the first
// location, shows the main frame, loads the plug-ins and the menu images, and drives the views'
// incremental work in idle time through the main frame.
#pragma once

#include "browser/PluginPreload.h"
#include "controls/VyxWinAppEx.h"

class CCommandLineInfoEx;

class CKWApp : public VyxWinAppEx
{
public:
    CKWApp();
    ~CKWApp() override;

    BOOL InitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    int ExitInstance() override;

    // ---- the steps of start-up, each on its own
    // 5.81 (0x50051) or later.
    static BOOL IsComCtlVersionSupported(DWORD dwPackedVersion);
    // The profile of the class library is the settings file beside the program.
    void RedirectProfile();
    // Creates the named mutex; FALSE when another instance holds it (the handle then closed).
    static BOOL ClaimSingleInstance(LPCWSTR lpszName, HANDLE* phMutex);
    // The command line's first path, else the last or the home folder by the settings; a stored
    // folder on a drive that is not there gives the empty path.
    static CString ChooseFirstLocation(LPCWSTR lpszCommandLine);
    // Another instance holds the name: its main window, waited for (it may not be made yet); null
    // once that instance has ended (a closing one has taken its mark off), the name then claimed
    // into *phMutex, or after the bound.
    static HWND AwaitRunningInstance(LPCWSTR lpszName, HANDLE* phMutex, BOOL* pbClaimed);
    // A second start whose command line names a location hands it to the running instance's main
    // window, which opens it; FALSE when none was named or it could not be handed over (a
    // location that is not there is told).
    static BOOL HandOverLocation(LPCWSTR lpszCommandLine, HWND hRunning);
    // "min" shows minimized, "max" maximized; otherwise the placement saved under "MainFrame".
    static void PlaceMainWindow(CWnd* pWnd, BOOL bMin, BOOL bMax);
    static void LoadPlugins();
    // The plug-in folder, "SPI"/"SPIDIR" (empty or "$(ExeDir)": the program's folder), and its
    // pattern.
    static CString GetPluginFolder();
    static CString GetPluginPattern();
    // The first folder's listing (plug-ins scanned, the folder tree gone to it) runs before the
    // window first shows, up to this many milliseconds; past them the window shows on its way.
    static constexpr DWORD kHiddenListingBound = 150;
    // The shell's icon lists, to the application and the cells, before the first folder is listed.
    void AttachShellImageLists();
    static void RegisterMenuImages(VyxWinAppEx* pApp);
    // The problem report: the versions of the program and of the system's libraries.
    static BOOL WriteProblemReport(LPCWSTR lpszPath);
    static CString GetHomePage();

    static const wchar_t kMutexName[];

    CImageList m_largeImageList;
    CImageList m_smallImageList;
    HANDLE m_hMutex = nullptr;

protected:
    // The command images of the menus, added when a menu first asks for them.
    void LoadMenuImages() override;

    afx_msg void OnAppAbout();
    afx_msg void OnHelpOnline();
    afx_msg void OnHelpReport();
    DECLARE_MESSAGE_MAP()

private:
    // The window's one show at start-up, with its placement.
    struct StartShow
    {
        CWnd* window = nullptr;
        BOOL minimized = FALSE;
        BOOL maximized = FALSE;
        DWORD since = 0;
        bool shown = false;
    };
    static StartShow s_startShow;
    static void ShowStartWindow();
    // The scans' pulse while the first folder is listed.
    static void ShowWhenListingRunsLong();

    int m_treeRoot = 29;
    PluginPreload m_pluginPreload;
};
