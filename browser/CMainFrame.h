// The program's main frame: the rebar with the menu bar, tool bar, drive bar and jump bar, the
// status bar, and a client area of two nested splitters holding the folder tree, the file list
// and the thumbnail grid. It owns the folder watchers, the open picture windows' list with the
// shared block through which picture windows find it, and the registered applications; views,
// bars, threads and picture windows talk to it through private messages.
#pragma once

#include "browser/CJumpDialogBar.h"
#include "browser/CMainToolBar.h"
#include "browser/CMyStatusBar.h"
#include "browser/CacheWriteOnClose.h"
#include "browser/FolderWatchThread.h"
#include "catalogue/DocumentHost.h"
#include "catalogue/FrameMessages.h"
#include "browser/VAppCall.h"
#include "browser/VyxDriveBar.h"
#include "controls/CFlatSplitterWnd.h"
#include "controls/VyxFrameWndEx.h"
#include "foundation/VyxSharedMemory.h"
#include "viewer/COneWndList.h"

#include <deque>
#include <vector>

class CFolderView;
class CKWDoc;
class CLstView;
class COneWnd;
struct THUMBSDATA;
class VyxFileTransfer;

class CMainFrame : public VyxFrameWndEx, public DocumentHost
{
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    HACCEL GetDefaultAccelerator() override;

    CKWDoc* GetKWDoc();
    CFolderView* GetFolderPane() const { return m_pFolderView; }
    CView* GetThumbPane() const { return m_pThumbView; }
    CView* GetListPane() const { return m_pListView; }
    int GetFrameSplit() const { return m_nFrameSplit; }
    CMyStatusBar& GetStatusBar() { return m_wndStatusBar; }
    CMainToolBar& GetToolBar() { return m_wndToolBar; }
    VyxDriveBar& GetDriveBar() { return m_wndDriveBar; }
    CJumpDialogBar& GetJumpBar() { return m_wndJumpBar; }
    COneWndList& GetPictureWindows() { return m_wndList; }
    VyxSharedMemory& GetPictureWindowBlock() { return m_pictureBlock; }

    // ---- idle work: bits 1 and 2 the thumbnail view's, 4 the folder pane's
    void SetWorkFlag(DWORD dwMask, BOOL bOn);
    DWORD GetWorkFlags() const { return m_dwWorkFlags; }

    // ---- folder watchers
    void StartFolderWatcher(LPCWSTR lpszPath, int nWatcher, BOOL bWatchSubtree);
    void StopFolderWatcher(int nWatcher);
    void RestartWatchers(BOOL bForced);
    WatchMode SetWatchMode(WatchMode mode) override;
    WatchMode GetWatchMode() const { return m_watchMode; }
    const FolderWatchSlot& GetWatcher(FolderChangeSource source) const
    {
        return source == FolderChangeOnDrive ? m_watcher1 : m_watcher2;
    }
    const CString& GetChangedFolder() const { return m_strChangedFolder; }
    void OnNewFolder();
    void ScheduleStatusUpdate() override;
    int m_nFolderChangeDelay = 5000;
    int m_nStatusDelay = 300;

    // ---- status panes
    void UpdateCountPane() override;
    void UpdateFreeSpacePane();

    // ---- registered applications (commands 20000 to 20019)
    void OnAppCommand(UINT nID);

    // ---- bars
    void ToggleBar(CControlBar* pBar);
    // The system menu's group toggle of tool bar, drive bar and jump bar.
    void ToggleRebarBars();

    // Tiles count windows over width x height: rows of the square root, columns to hold them.
    static void CalcTileLayout(int nCount, int nWidth, int nHeight, CRect* pRects);
    // The three fields of a "%d,%d,%d,%d" window value, each missing or bad one from the default.
    static CRect ReadWindowValue(LPCWSTR lpszSection, LPCWSTR lpszDefault);

    // ---- picture windows
    int OpenPictureWindow(int nViewIndex, int nMode) override;
    // The full-screen slideshow from that view index: the open one follows, else a new one opens.
    void StartSlideshow(int nViewIndex);
    // Update hint 1: picture windows look their files up again ("Stay") or close.
    void OnListRebuilding();
    // Update hint 15: windows after the index step back and those on it show its new file
    // ("Stay"), or those on it close.
    void OnItemRemoved(int nViewIndex);
    // Update hint 11: the last picture window (or the first) shows the index ("Synchronous").
    void SyncPictureWindow(int nViewIndex);

    // ---- the list's sort, the thumbnail layout presets and the visited folders
    CLstView* GetListView() const;
    // The menu of a tool-bar button's drop-down (10124 earlier folders, 10125 later ones, 32772
    // columns and presets) into an empty pop-up; FALSE for any other button.
    BOOL BuildDropDownMenu(UINT nButton, CMenu& popup);
    // The document's layout saved in the layout file under a section named by the local time;
    // the section's name.
    CString StorePreset();
    // The record of the nth section of the layout file that loads as a layout; FALSE when none.
    static BOOL LoadPreset(int nIndex, THUMBSDATA& record);
    // The location under a new name in the same folder: hint 21 and 10 (go there) on success,
    // message 0x40000006 on failure; FALSE when nothing was renamed.
    BOOL RenameCurrentFolder(LPCWSTR lpszNewName);

    // ---- called by the document
    // The thumbnail view's background takes the document's cell background.
    void SetThumbViewBackColor(COLORREF colour) override;
    void FillPluginSetCombo() override;
    LRESULT OnFileOperation(WPARAM wParam, LPARAM lParam);
    // The folders that drags of archive members wrote them into; removed at the next drag and
    // at exit, when no drop target can still be reading them.
    void RemoveDragTempFolders();
    // While a job runs, jobs posted meanwhile wait here for their turn.
    bool IsFileOperationRunning() const { return m_bFileOperation; }
    size_t GetQueuedFileOperations() const { return m_queuedJobs.size(); }

    void RecalcLayout(BOOL bNotify = TRUE) override;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    int CreateFrameParts(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg void OnDestroy();
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnDeviceChange(UINT nEventType, DWORD_PTR dwData);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnViewMenuBar();
    afx_msg void OnViewDriveBar();
    afx_msg void OnViewJumpBar();
    afx_msg void OnUpdateViewDriveBar(CCmdUI* pCmdUI);
    afx_msg void OnUpdateViewJumpBar(CCmdUI* pCmdUI);
    afx_msg void OnAppCommandRange(UINT nID);
    afx_msg void OnUpdateAppCommand(CCmdUI* pCmdUI);
    afx_msg LRESULT OnIdleStep(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWorkFlags(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStatusText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUpdateAllViews(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRenderData(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLastPictureWnd(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFocusPictureWnd(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTilePictureWnd(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnClosePictureWnd(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFolderChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPictureWndBroadcast(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSlideshowEnded(WPARAM wParam, LPARAM lParam);
    afx_msg void OnViewPluginSetBar();
    afx_msg void OnUpdateViewPluginSetBar(CCmdUI* pCmdUI);
    afx_msg void OnCustomizeToolBar();
    afx_msg void OnJumpBarFocus();
    afx_msg void OnThumbStep(UINT nID);
    afx_msg void OnSort(UINT nID);
    afx_msg void OnUpdateSort(CCmdUI* pCmdUI);
    afx_msg void OnSortNameNumbers();
    afx_msg void OnUpdateSortNameNumbers(CCmdUI* pCmdUI);
    afx_msg void OnFolderSort(UINT nID);
    afx_msg void OnUpdateFolderSort(CCmdUI* pCmdUI);
    afx_msg void OnDeleteFolder();
    afx_msg void OnUpdateDeleteFolder(CCmdUI* pCmdUI);
    afx_msg void OnCreateFolder();
    afx_msg void OnUpdateCreateFolder(CCmdUI* pCmdUI);
    afx_msg void OnRenameFolder();
    afx_msg void OnUpdateRenameFolder(CCmdUI* pCmdUI);
    afx_msg void OnFolderBack();
    afx_msg void OnFolderForward();
    afx_msg void OnUpdateFolderBack(CCmdUI* pCmdUI);
    afx_msg void OnUpdateFolderForward(CCmdUI* pCmdUI);
    afx_msg void OnHistory(UINT nID);
    afx_msg void OnRefreshFolder();
    afx_msg void OnStorePreset();
    afx_msg void OnThumbColumns(UINT nID);
    afx_msg void OnApplyPreset(UINT nID);
    afx_msg void OnPluginSetChange();
    afx_msg void OnToolBarDropDown(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct);
    afx_msg LRESULT OnOpenHandedLocation(WPARAM wParam, LPARAM lParam);
    afx_msg void OnEnable(BOOL bEnable);
    DECLARE_MESSAGE_MAP()

private:
    void Announce(LPARAM lHint, CObject* pHint);
    int RunFileOperation(VyxFileTransfer* job);
    // Applies the window's saved frame placement when it has one on the desktop; the show state.
    int RestorePicturePlacement(COneWnd* pWindow);
    BOOL CreateBars();
    BOOL CreatePanes(CCreateContext* pContext);
    // The location a second start of the program handed over, when nothing holds it back.
    void OpenHandedLocation();
    // The thumbnail cache's files that closing writes are left to a thread of their own; true
    // while they are written (the close goes on when they are).
    bool WriteCacheBeforeClosing();

    CFlatSplitterWnd m_wndOuterSplitter;
    CFlatSplitterWnd m_wndInnerSplitter;
    CFolderView* m_pFolderView = nullptr;
    CView* m_pThumbView = nullptr;
    CView* m_pListView = nullptr;
    VyxSharedMemory m_pictureBlock;
    CWnd* m_pLastPictureWnd = nullptr;
    COneWndList m_wndList;
    int m_nFrameSplit = 0;
    VAppCall m_appCall;
    DWORD m_dwWorkFlags = 7;
    CString m_strPluginSet;
    CMyStatusBar m_wndStatusBar;
    CDialogBar m_wndPluginSetBar;
    CMainToolBar m_wndToolBar;
    VyxDriveBar m_wndDriveBar;
    CJumpDialogBar m_wndJumpBar;
    BOOL m_bToolBarShown = TRUE;
    BOOL m_bDriveBarShown = TRUE;
    BOOL m_bJumpBarShown = FALSE;
    FolderWatchSlot m_watcher1{FolderChangeOnDrive};
    FolderWatchSlot m_watcher2{FolderChangeInFolder};
    CString m_strChangedFolder;
    WatchMode m_watchMode = WatchMode::Watching;
    bool m_bFileOperation = false;
    bool m_bHoldLayout = false; // while the frame makes its panes and bars
    std::deque<VyxFileTransfer*> m_queuedJobs;
    std::vector<CString> m_dragTempFolders;
    CString m_strHandedLocation;
    CacheWriteOnClose m_cacheWrite;
};
