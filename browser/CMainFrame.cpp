#include "browser/CMainFrame.h"

#include "browser/CFolderView.h"
#include "browser/CKWDocCommands.h"
#include "browser/CKWView.h"
#include "browser/CLstView.h"
#include "browser/FolderCommands.h"
#include "browser/InstanceHandOver.h"
#include "browser/MainFrameSettings.h"
#include "catalogue/VyxDropFormats.h"
#include "browser/VyxOleDataSource.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CacheFileWriter.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/RetiredItems.h"
#include "catalogue/VyxConfig.h"
#include "catalogue/VyxFile.h"
#include "catalogue/WatchModeScope.h"
#include "controls/VyxWinAppEx.h"
#include "fileops/VFileMdDlg.h"
#include "fileops/VFileRnDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/NumberFormat.h"
#include "foundation/SettingsTable.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "foundation/WindowPlacement.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"
#include "viewer/COneWnd.h"
#include "viewer/VSlideShowDlg.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

const wchar_t kSection[] = L"MainFrame";
const UINT kDriveBarId = 0xE810;
const UINT kJumpBarId = 0xE811;
const UINT kPluginSetBarId = 0xE812;
const UINT kStatusTimer = 110;
const UINT kDocumentRefreshTimer = FolderChangeByDocument;
const UINT kCacheWriteTimer = 112;
const UINT kCacheWritePoll = 100;
// A short write is done by then: the window goes with hardly a pause.
const UINT kCacheWriteFirstPoll = 15;

const UINT kIndicators[] = {59148, 59143, 59149, 59146};

// A bar that is shown, or about to be.
BOOL IsBarShown(CControlBar& bar)
{
    return bar.GetSafeHwnd() && (bar.GetStyle() & WS_VISIBLE);
}

CString FormatSize(ULONGLONG value)
{
    CString text;
    FormatNumberEx(text, value, 1, 2, 0, 4);
    return text;
}

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, VyxFrameWndEx)

BEGIN_MESSAGE_MAP(CMainFrame, VyxFrameWndEx)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_ENDSESSION()
ON_WM_DESTROY()
ON_WM_SYSCOLORCHANGE()
ON_WM_DEVICECHANGE()
ON_WM_TIMER()
ON_WM_SYSCOMMAND()
ON_COMMAND(ID_VIEW_MENUBAR, OnViewMenuBar)
ON_COMMAND(ID_VIEW_DRIVEBAR, OnViewDriveBar)
ON_COMMAND(ID_VIEW_JUMPBAR, OnViewJumpBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_DRIVEBAR, OnUpdateViewDriveBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_JUMPBAR, OnUpdateViewJumpBar)
ON_COMMAND_RANGE(VAppCall::FirstCommand, VAppCall::FirstCommand + VAppCall::MaxEntries - 1, OnAppCommandRange)
ON_UPDATE_COMMAND_UI_RANGE(VAppCall::FirstCommand, VAppCall::FirstCommand + VAppCall::MaxEntries - 1,
                           OnUpdateAppCommand)
ON_MESSAGE(WMU_IDLESTEP, OnIdleStep)
ON_MESSAGE(WMU_WORKFLAGS, OnWorkFlags)
ON_MESSAGE(WMU_STATUSTEXT, OnStatusText)
ON_MESSAGE(WMU_PROGRESS, OnProgress)
ON_MESSAGE(WMU_UPDATEALLVIEWS, OnUpdateAllViews)
ON_MESSAGE(WMU_RENDERDATA, OnRenderData)
ON_MESSAGE(WMU_LASTPICTUREWND, OnLastPictureWnd)
ON_MESSAGE(WMU_FOCUSPICTUREWND, OnFocusPictureWnd)
ON_MESSAGE(WMU_TILEPICTUREWND, OnTilePictureWnd)
ON_MESSAGE(WMU_CLOSEPICTUREWND, OnClosePictureWnd)
ON_MESSAGE(WMU_FOLDERCHANGED, OnFolderChanged)
ON_MESSAGE(WMU_PICTUREWNDBROADCAST, OnPictureWndBroadcast)
ON_MESSAGE(WMU_SLIDESHOWENDED, OnSlideshowEnded)
ON_MESSAGE(WMU_FILEOPERATION, OnFileOperation)
ON_WM_COPYDATA()
ON_MESSAGE(WMU_OPENHANDEDLOCATION, OnOpenHandedLocation)
ON_WM_ENABLE()
ON_COMMAND(ID_VIEW_PLUGINSETBAR, OnViewPluginSetBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_PLUGINSETBAR, OnUpdateViewPluginSetBar)
ON_COMMAND(ID_VIEW_CUSTOMIZE_TOOLBAR, OnCustomizeToolBar)
ON_COMMAND(ID_JUMPBAR_FOCUS, OnJumpBarFocus)
ON_COMMAND_RANGE(ID_THUMBS_LARGER, ID_THUMBS_PREVPAGE, OnThumbStep)
ON_COMMAND_RANGE(ID_SORT_NONE, ID_SORT_DESCENDING, OnSort)
// ID_SORT_AGAIN: the list view, when active, sorts again first.
ON_COMMAND_RANGE(ID_SORT_AREA, ID_SORT_AGAIN, OnSort)
ON_UPDATE_COMMAND_UI_RANGE(ID_SORT_NONE, ID_SORT_DESCENDING, OnUpdateSort)
ON_UPDATE_COMMAND_UI(ID_SORT_AREA, OnUpdateSort)
ON_COMMAND(ID_SORT_NAME_NUMBERS, OnSortNameNumbers)
ON_UPDATE_COMMAND_UI(ID_SORT_NAME_NUMBERS, OnUpdateSortNameNumbers)
ON_COMMAND_RANGE(ID_FOLDER_SORT_NAME, ID_FOLDER_SORT_DESCENDING, OnFolderSort)
ON_COMMAND_RANGE(ID_FOLDER_SORT_NEWEST, ID_FOLDER_SORT_DICTIONARY, OnFolderSort)
ON_UPDATE_COMMAND_UI_RANGE(ID_FOLDER_SORT_NAME, ID_FOLDER_SORT_DESCENDING, OnUpdateFolderSort)
ON_UPDATE_COMMAND_UI_RANGE(ID_FOLDER_SORT_NEWEST, ID_FOLDER_SORT_DICTIONARY, OnUpdateFolderSort)
ON_COMMAND(ID_CURRENT_FOLDER_DELETE, OnDeleteFolder)
ON_UPDATE_COMMAND_UI(ID_CURRENT_FOLDER_DELETE, OnUpdateDeleteFolder)
ON_COMMAND(ID_CURRENT_FOLDER_NEW, OnCreateFolder)
ON_UPDATE_COMMAND_UI(ID_CURRENT_FOLDER_NEW, OnUpdateCreateFolder)
ON_COMMAND(ID_CURRENT_FOLDER_RENAME, OnRenameFolder)
ON_UPDATE_COMMAND_UI(ID_CURRENT_FOLDER_RENAME, OnUpdateRenameFolder)
ON_COMMAND(ID_FOLDER_BACK, OnFolderBack)
ON_COMMAND(ID_FOLDER_FORWARD, OnFolderForward)
ON_UPDATE_COMMAND_UI(ID_FOLDER_BACK, OnUpdateFolderBack)
ON_UPDATE_COMMAND_UI(ID_FOLDER_FORWARD, OnUpdateFolderForward)
ON_COMMAND_RANGE(ID_HISTORY_FIRST, ID_HISTORY_LAST, OnHistory)
// The active view (thumbnails, list or folder tree) refreshes first; the frame only without one.
ON_COMMAND(ID_REFRESH_FOLDER, OnRefreshFolder)
ON_COMMAND(ID_THUMB_PRESET_SAVE, OnStorePreset)
ON_COMMAND(ID_THUMB_PRESET_STORE, OnStorePreset)
ON_COMMAND_RANGE(ID_THUMB_COLUMNS_FIRST, ID_THUMB_COLUMNS_LAST, OnThumbColumns)
ON_COMMAND_RANGE(ID_THUMB_PRESET_FIRST, ID_THUMB_PRESET_LAST, OnApplyPreset)
ON_CBN_SELCHANGE(IDC_PLUGINSET_COMBO, OnPluginSetChange)
ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnToolBarDropDown)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
{
    // Picture windows find the list through this block; its mutex is the list's lock.
    if (m_pictureBlock.Create(L"COneWndList", kOneWndListBlockSize) && m_pictureBlock.Lock()) {
        COneWndList* list = &m_wndList;
        memcpy(m_pictureBlock.GetView(), &list, sizeof(list));
        m_pictureBlock.Unlock();
    }
}

CMainFrame::~CMainFrame()
{
    // A picture window still holding the block must never reach a list that is gone.
    if (m_pictureBlock.Lock()) {
        memset(m_pictureBlock.GetView(), 0, kOneWndListBlockSize);
        m_pictureBlock.Unlock();
    }
    for (VyxFileTransfer* job : m_queuedJobs)
        delete job;
    RemoveDragTempFolders();
}

void CMainFrame::RemoveDragTempFolders()
{
    for (const CString& folder : m_dragTempFolders)
        DeleteFolderTree(folder);
    m_dragTempFolders.clear();
}

CKWDoc* CMainFrame::GetKWDoc()
{
    CKWDoc* doc = DYNAMIC_DOWNCAST(CKWDoc, GetActiveDocument());
    if (!doc && m_pFolderView)
        doc = m_pFolderView->GetDocument();
    return doc;
}

void CMainFrame::Announce(LPARAM lHint, CObject* pHint)
{
    if (CKWDoc* doc = GetKWDoc())
        doc->UpdateAllViews(nullptr, lHint, pHint);
}

// ---------------------------------------------------------------- creation

namespace {

// A missing or damaged field, or a width or height that could not show a window, takes the
// default's: one bad value never stops the start.
CRect ParseWindowValue(const CString& value, LPCWSTR lpszDefault)
{
    int fields[4] = {};
    for (int i = 0; i < 4; ++i) {
        CString text;
        GetFieldString(&text, value, i, L',');
        text.Trim();
        wchar_t* end = nullptr;
        long number = text.IsEmpty() ? 0 : wcstol(text, &end, 10);
        if (!text.IsEmpty() && end && *end == 0 && (i < 2 || number > 0))
            fields[i] = static_cast<int>(number);
        else
            GetFieldInt(&fields[i], lpszDefault, i, L',');
    }
    return CRect(fields[0], fields[1], fields[0] + fields[2], fields[1] + fields[3]);
}

} // namespace

CRect CMainFrame::ReadWindowValue(LPCWSTR lpszSection, LPCWSTR lpszDefault)
{
    CString value;
    GetAppIniString(value, lpszSection, L"Window", lpszDefault);
    return ParseWindowValue(value, lpszDefault);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= 0x14000;
    const wchar_t* defaultWindow = MainFrameSettings::kDefaultWindow;
    CRect window = ParseWindowValue(SettingsTable::ReadOne(&MainFrameSettings::Window), defaultWindow);
    // Left where no screen shows its caption (closed while minimised, a monitor since removed):
    // opened there it would be saved there again at every close.
    if (!IsCaptionWithinReach(window))
        window = ParseWindowValue(defaultWindow, defaultWindow);
    cs.x = window.left;
    cs.y = window.top;
    cs.cx = window.Width();
    cs.cy = window.Height();
    return VyxFrameWndEx::PreCreateWindow(cs);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    // The class library offers this frame the keys of windows outside it (meant for modeless
    // dialogs); a picture window is a frame with keys of its own, and the main keys would act on
    // the main window's selection and folder from there.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        CWnd* top = CWnd::FromHandlePermanent(::GetAncestor(pMsg->hwnd, GA_ROOT));
        if (top && top != this && top->IsFrameWnd())
            return FALSE;
    }
    return VyxFrameWndEx::PreTranslateMessage(pMsg);
}

HACCEL CMainFrame::GetDefaultAccelerator()
{
    // Typed keys belong to the jump bar's entry while it has the focus.
    if (m_wndJumpBar.GetSafeHwnd() && m_wndJumpBar.IsEntryFocused())
        return nullptr;
    return VyxFrameWndEx::GetDefaultAccelerator();
}

BOOL CMainFrame::CreateBars()
{
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY, AFX_IDW_TOOLBAR))
        return FALSE;
    m_wndToolBar.ModifyStyle(0, CCS_ADJUSTABLE);
    if (!m_wndDriveBar.Create(this, IDD_DRIVEBAR, CBRS_TOP | WS_VISIBLE, kDriveBarId))
        return FALSE;
    if (!m_wndJumpBar.Create(this, IDD_JUMPBAR, CBRS_TOP | WS_VISIBLE, kJumpBarId))
        return FALSE;
    // Until a saved band state says otherwise, the tool bar and the drive bar each start a row
    // (menu; tool bar; drive and jump bar): the rebar would otherwise fill the first row with
    // every band that has no minimum width (Wine's does) and squeeze the tool bar.
    if (!m_wndReBar.AddBar(&m_wndToolBar, L"ツールバー", nullptr, RBBS_CHILDEDGE | RBBS_BREAK, L"ツールバー", FALSE,
                           TRUE) ||
        !m_wndReBar.AddBar(&m_wndDriveBar, L"ドライブバー", nullptr, RBBS_CHILDEDGE | RBBS_BREAK, L"ドライブバー",
                           FALSE, TRUE) ||
        !m_wndReBar.AddBar(&m_wndJumpBar, L"ジャンプバー", nullptr, RBBS_CHILDEDGE, L"ジャンプバー", FALSE, TRUE))
        return FALSE;
    // Inside its band the tool bar sizes the band itself: no minimum width and its buttons as the
    // ideal one, so that a band too narrow shows the chevron instead of running off the window.
    m_wndToolBar.UpdateBand();
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 4))
        return FALSE;
    return TRUE;
}

void CMainFrame::RecalcLayout(BOOL bNotify)
{
    // The frame is hidden while it makes its panes and bars, and each bar added would lay the
    // whole window out again: it is laid out once, when they are all made.
    if (m_bHoldLayout)
        return;
    VyxFrameWndEx::RecalcLayout(bNotify);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    m_bHoldLayout = true;
    const int created = CreateFrameParts(lpCreateStruct);
    m_bHoldLayout = false;
    if (created != -1) {
        InstanceHandOver::MarkWindow(m_hWnd);
        RecalcLayout();
        // Layouts asked for later while the parts were made are done now.
        m_nIdleFlags &= ~(idleLayout | idleNotify);
    }
    return created;
}

int CMainFrame::CreateFrameParts(LPCREATESTRUCT lpCreateStruct)
{
    if (VyxFrameWndEx::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!CreateBars())
        return -1;
    if (m_wndPluginSetBar.GetSafeHwnd())
        FillPluginSetCombo();
    m_wndToolBar.LoadState(L"ToolbarState");
    m_wndReBar.LoadState(L"RebarState");

    MainFrameSettings settings;
    settings.Load();
    m_bToolBarShown = settings.ToolBar != 0;
    m_bDriveBarShown = settings.DriveBar != 0;
    m_bJumpBarShown = settings.JumpBar != 0;
    if (!settings.StatusBar)
        ShowControlBar(&m_wndStatusBar, FALSE, FALSE);
    if (!m_bDriveBarShown)
        ShowControlBar(&m_wndDriveBar, FALSE, FALSE);
    if (!m_bJumpBarShown)
        ShowControlBar(&m_wndJumpBar, FALSE, FALSE);

    UINT id = 0, style = 0;
    int width = 0;
    m_wndStatusBar.GetPaneInfo(0, id, style, width);
    m_wndStatusBar.SetPaneInfo(0, id, style, 200);
    m_wndStatusBar.GetPaneInfo(1, id, style, width);
    m_wndStatusBar.SetPaneInfo(1, id, style, 200);
    m_wndStatusBar.GetPaneInfo(2, id, style, width);
    m_wndStatusBar.SetPaneInfo(2, id, SBPS_STRETCH, 0);
    m_wndStatusBar.GetPaneInfo(3, id, style, width);
    m_wndStatusBar.SetPaneInfo(3, id, style | SBPS_OWNERDRAW, 160);

    if (CMenu* system = GetSystemMenu(FALSE)) {
        system->InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR);
        system->InsertMenu(0, MF_BYPOSITION | MF_STRING, 0x30, L"ステータスバーのOn/Off");
        system->InsertMenu(0, MF_BYPOSITION | MF_STRING, 0x20, L"ツールバーのOn/Off");
        system->InsertMenu(0, MF_BYPOSITION | MF_STRING, 0x10, L"メニューバーのOn/Off");
    }
    m_nFolderChangeDelay = settings.FolderChangeCheckTimes;
    m_nStatusDelay = settings.UpdateStatusTimes;
    return 0;
}

BOOL CMainFrame::CreatePanes(CCreateContext* pContext)
{
    CRect folderSize = ReadWindowValue(L"FolderView", L"0,0,320,768");
    CRect listSize = ReadWindowValue(L"LstView", L"0,0,1024,320");
    CRect thumbSize = ReadWindowValue(L"KWView", L"0,0,1024,448");
    m_nFrameSplit = SettingsTable::ReadOne(&MainFrameSettings::FrameSplit);
    CRuntimeClass* tree = RUNTIME_CLASS(CFolderView);
    CRuntimeClass* list = RUNTIME_CLASS(CLstView);
    CRuntimeClass* thumbs = RUNTIME_CLASS(CKWView);
    CFlatSplitterWnd& outer = m_wndOuterSplitter;
    CFlatSplitterWnd& inner = m_wndInnerSplitter;
    if (!outer.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST))
        return FALSE;
    if (m_nFrameSplit == 2) {
        if (!inner.CreateStatic(&outer, 2, 1, WS_CHILD | WS_VISIBLE, outer.IdFromRowCol(0, 0)) ||
            !outer.CreateView(0, 1, thumbs, CSize(0, 0), pContext) ||
            !inner.CreateView(0, 0, tree, folderSize.Size(), pContext) ||
            !inner.CreateView(1, 0, list, listSize.Size(), pContext))
            return FALSE;
        outer.SetColumnInfo(0, folderSize.Width(), 0);
        m_pFolderView = DYNAMIC_DOWNCAST(CFolderView, inner.GetPane(0, 0));
        m_pListView = DYNAMIC_DOWNCAST(CView, inner.GetPane(1, 0));
        m_pThumbView = DYNAMIC_DOWNCAST(CView, outer.GetPane(0, 1));
        return TRUE;
    }
    if (!outer.CreateView(0, 0, tree, folderSize.Size(), pContext) ||
        !inner.CreateStatic(&outer, 2, 1, WS_CHILD | WS_VISIBLE, outer.IdFromRowCol(0, 1)))
        return FALSE;
    if (m_nFrameSplit == 1) {
        if (!inner.CreateView(0, 0, thumbs, thumbSize.Size(), pContext) ||
            !inner.CreateView(1, 0, list, CSize(0, 0), pContext))
            return FALSE;
        m_pThumbView = DYNAMIC_DOWNCAST(CView, inner.GetPane(0, 0));
        m_pListView = DYNAMIC_DOWNCAST(CView, inner.GetPane(1, 0));
    } else {
        if (!inner.CreateView(0, 0, list, listSize.Size(), pContext) ||
            !inner.CreateView(1, 0, thumbs, CSize(0, 0), pContext))
            return FALSE;
        m_pListView = DYNAMIC_DOWNCAST(CView, inner.GetPane(0, 0));
        m_pThumbView = DYNAMIC_DOWNCAST(CView, inner.GetPane(1, 0));
    }
    m_pFolderView = DYNAMIC_DOWNCAST(CFolderView, outer.GetPane(0, 0));
    return TRUE;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    // The document's menu, key and tool-bar commands are handled in this layer, which has their
    // dialogs; the document offers them each command it is routed, and calls on this frame as its
    // host.
    if (CKWDoc* document = pContext ? DYNAMIC_DOWNCAST(CKWDoc, pContext->m_pCurrentDoc) : nullptr) {
        CKWDocCommands::AttachTo(*document);
        document->SetHost(this);
    }
    return CreatePanes(pContext);
}

// ---------------------------------------------------------------- closing

void CMainFrame::OnClose()
{
    // The thumbnail cache is still being written: the window closes once it is.
    if (m_cacheWrite.IsActive())
        return;
    if (m_wndToolBar.GetSafeHwnd())
        m_wndToolBar.SaveState(L"ToolbarState");
    if (m_wndReBar.GetSafeHwnd())
        m_wndReBar.SaveState(L"RebarState");
    Announce(HintFrameClosing, nullptr);
    if (WriteCacheBeforeClosing())
        return;
    VyxFrameWndEx::OnClose();
}

void CMainFrame::OnEndSession(BOOL bEnding)
{
    // The process ends once this returns: the cache files a close begun before is writing, and
    // those of the locations the documents' closing leaves, are written first. The closing
    // destroys this window: nothing of it is touched after.
    if (bEnding)
        m_cacheWrite.Finish();
    VyxFrameWndEx::OnEndSession(bEnding);
    if (bEnding)
        theCacheList.FinishWriting();
}

bool CMainFrame::WriteCacheBeforeClosing()
{
    CKWDoc* doc = GetKWDoc();
    // In print preview the close only ends the preview.
    if (!doc || m_lpfnCloseProc)
        return false;
    // The cache's files are written beside the folders the watchers look at.
    StopFolderWatcher(1);
    StopFolderWatcher(2);
    if (!m_cacheWrite.Begin(doc->TakeCacheForClosing(), this))
        return false;
    // Closing now: a second start waits for this instance to end instead of handing it a location.
    InstanceHandOver::UnmarkWindow(m_hWnd);
    SetTimer(kCacheWriteTimer, kCacheWriteFirstPoll, nullptr);
    return true;
}

void CMainFrame::OnDestroy()
{
    InstanceHandOver::UnmarkWindow(m_hWnd);
    m_wndList.CloseAll();
    {
        COneWndListLock lock(m_pictureBlock);
        m_wndList.CloseSlideshowOf(this);
    }
    SaveWindowPlacement(m_hWnd, kSection);
    // A bar without a window keeps the value it was read with.
    MainFrameSettings settings;
    settings.Load();
    CRect window;
    GetWindowRect(&window);
    settings.Window.Format(L"%d,%d,%d,%d", window.left, window.top, window.Width(), window.Height());
    settings.MenuBar = IsBarShown(m_wndMenuBar);
    const std::pair<int MainFrameSettings::*, CControlBar*> bars[] = {{&MainFrameSettings::ToolBar, &m_wndToolBar},
                                                                      {&MainFrameSettings::DriveBar, &m_wndDriveBar},
                                                                      {&MainFrameSettings::JumpBar, &m_wndJumpBar},
                                                                      {&MainFrameSettings::StatusBar, &m_wndStatusBar}};
    for (const auto& [field, bar] : bars)
        if (bar->GetSafeHwnd())
            settings.*field = IsBarShown(*bar);
    settings.UpdateStatusTimes = m_nStatusDelay;
    settings.FolderChangeCheckTimes = m_nFolderChangeDelay;
    settings.FrameSplit = m_nFrameSplit;
    settings.Save();
    StopFolderWatcher(1);
    StopFolderWatcher(2);
    KillTimer(kStatusTimer);
    // The document may outlive this window.
    if (CKWDoc* doc = GetKWDoc(); doc && doc->GetHost() == this)
        doc->SetHost(nullptr);
    VyxFrameWndEx::OnDestroy();
}

// ---------------------------------------------------------------- system colours, devices, bars

void CMainFrame::OnSysColorChange()
{
    CKWDoc* doc = GetKWDoc();
    if (doc && doc->colViewBackground == doc->colViewText) {
        doc->ApplyViewColours();
        Announce(HintColoursChanged, nullptr);
    }
    VyxFrameWndEx::OnSysColorChange();
}

BOOL CMainFrame::OnDeviceChange(UINT nEventType, DWORD_PTR dwData)
{
    if (m_wndDriveBar.GetSafeHwnd())
        m_wndDriveBar.SendMessage(WM_DEVICECHANGE, nEventType, static_cast<LPARAM>(dwData));
    return static_cast<BOOL>(Default());
}

void CMainFrame::ToggleBar(CControlBar* pBar)
{
    if (!pBar || !pBar->GetSafeHwnd())
        return;
    ShowControlBar(pBar, !IsBarShown(*pBar), FALSE);
    RecalcLayout();
}

void CMainFrame::ToggleRebarBars()
{
    BOOL tool = IsBarShown(m_wndToolBar);
    BOOL drive = IsBarShown(m_wndDriveBar);
    BOOL jump = IsBarShown(m_wndJumpBar);
    if (tool || drive || jump) {
        m_bToolBarShown = tool;
        m_bDriveBarShown = drive;
        m_bJumpBarShown = jump;
        tool = drive = jump = FALSE;
    } else if (!m_bToolBarShown && !m_bDriveBarShown && !m_bJumpBarShown) {
        tool = drive = jump = TRUE;
    } else {
        tool = m_bToolBarShown;
        drive = m_bDriveBarShown;
        jump = m_bJumpBarShown;
    }
    ShowControlBar(&m_wndToolBar, tool, FALSE);
    ShowControlBar(&m_wndDriveBar, drive, FALSE);
    ShowControlBar(&m_wndJumpBar, jump, FALSE);
    RecalcLayout();
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    switch (nID & 0xFFF0) {
    case 0x10:
        ToggleBar(&m_wndMenuBar);
        break;
    case 0x20:
        ToggleRebarBars();
        break;
    case 0x30:
        SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
        return;
    default:
        break;
    }
    VyxFrameWndEx::OnSysCommand(nID, lParam);
}

void CMainFrame::OnViewMenuBar()
{
    ToggleBar(&m_wndMenuBar);
}

void CMainFrame::OnViewDriveBar()
{
    ToggleBar(&m_wndDriveBar);
}

void CMainFrame::OnViewJumpBar()
{
    ToggleBar(&m_wndJumpBar);
}

void CMainFrame::OnUpdateViewDriveBar(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(IsBarShown(m_wndDriveBar));
}

void CMainFrame::OnUpdateViewJumpBar(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(IsBarShown(m_wndJumpBar));
}

// ---------------------------------------------------------------- work flags and messages

void CMainFrame::SetWorkFlag(DWORD dwMask, BOOL bOn)
{
    if (bOn)
        m_dwWorkFlags |= dwMask;
    else
        m_dwWorkFlags &= ~dwMask;
}

LRESULT CMainFrame::OnIdleStep(WPARAM, LPARAM)
{
    OpenHandedLocation();
    Announce(HintIdleStep, nullptr);
    SetWorkFlag(WorkRetiredItems, RetiredItems::DeleteSome());
    // The word itself (non-zero while any work is left) tells a caller which work remains.
    return m_dwWorkFlags;
}

LRESULT CMainFrame::OnWorkFlags(WPARAM, LPARAM)
{
    return m_dwWorkFlags;
}

LRESULT CMainFrame::OnStatusText(WPARAM wParam, LPARAM lParam)
{
    int pane = static_cast<int>(wParam);
    if (m_wndStatusBar.GetSafeHwnd() && pane >= 0 && pane < m_wndStatusBar.GetCount()) {
        // The bar is drawn at once, since long work may hold the message loop; a text it already
        // shows is not drawn again (the views clear the progress pane at every new listing).
        const LPCWSTR text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        if (m_wndStatusBar.GetPaneText(pane) == text)
            return 0;
        m_wndStatusBar.SetPaneText(pane, text);
        m_wndStatusBar.UpdateWindow();
    }
    return 0;
}

LRESULT CMainFrame::OnProgress(WPARAM wParam, LPARAM lParam)
{
    if (m_wndStatusBar.GetSafeHwnd())
        m_wndStatusBar.SetProgress(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}

LRESULT CMainFrame::OnUpdateAllViews(WPARAM wParam, LPARAM lParam)
{
    Announce(static_cast<LPARAM>(wParam), reinterpret_cast<CObject*>(lParam));
    return 0;
}

LRESULT CMainFrame::OnRenderData(WPARAM wParam, LPARAM)
{
    auto* source = reinterpret_cast<VyxOleDataSource*>(wParam);
    CKWDoc* doc = GetKWDoc();
    if (!source || !source->m_lpFormatEtc || !source->m_lpStgMedium || !doc)
        return 0;
    CLIPFORMAT format = source->m_lpFormatEtc->cfFormat;
    bool files = format == CF_HDROP;
    if (!files && format != VyxDropFormats::NoteFormat())
        return 0;
    std::vector<CString> texts;
    for (VyxFile* item : doc->SelectedItems(SelectedFilter::Any)) {
        if (!files) {
            texts.push_back(item->GetNote());
            continue;
        }
        if (!item->IsArchiveMember()) {
            texts.push_back(item->GetPath());
            continue;
        }
        // Members are written out once per drag, into a folder of the drag's own that goes at
        // the next drag or at exit, when no target can still be reading it.
        CWaitCursor wait;
        if (source->m_strTempFolder.IsEmpty()) {
            MakeUniqueTempName(source->m_strTempFolder);
            if (source->m_strTempFolder.IsEmpty())
                return 0;
            m_dragTempFolders.push_back(source->m_strTempFolder);
        }
        CString path;
        MakePath(path, nullptr, source->m_strTempFolder, item->GetFileName(), nullptr);
        // One member that cannot be written out fails the whole list.
        if (!PathExists(path, kFileNotFolder) && item->ExtractTo(source->m_strTempFolder) != 0)
            return 0;
        texts.push_back(path);
    }
    HGLOBAL block = files ? VyxDropFormats::MakeFileList(texts, source->m_ptDrag) : VyxDropFormats::MakeNoteList(texts);
    if (!block)
        return 0;
    source->m_lpStgMedium->tymed = TYMED_HGLOBAL;
    source->m_lpStgMedium->hGlobal = block;
    source->m_lpStgMedium->pUnkForRelease = nullptr;
    return 1;
}

LRESULT CMainFrame::OnLastPictureWnd(WPARAM wParam, LPARAM)
{
    m_pLastPictureWnd = reinterpret_cast<CWnd*>(wParam);
    return 0;
}

LRESULT CMainFrame::OnFocusPictureWnd(WPARAM wParam, LPARAM lParam)
{
    COneWndListLock lock(m_pictureBlock);
    int index = m_wndList.IndexOf(reinterpret_cast<CWnd*>(wParam));
    int count = static_cast<int>(m_wndList.GetCount());
    if (index < 0 || count <= 0)
        return 0;
    index = lParam == 1 ? (index + count - 1) % count : (index + 1) % count;
    if (CWnd* window = m_wndList.GetWindow(index))
        window->SetFocus();
    return 0;
}

void CMainFrame::CalcTileLayout(int nCount, int nWidth, int nHeight, CRect* pRects)
{
    if (nCount <= 0)
        return;
    int rows = static_cast<int>(std::sqrt(static_cast<double>(nCount)));
    rows = std::max(rows, 1);
    int columns = (nCount - 1 + rows) / rows;
    int cellWidth = nWidth / columns;
    int cellHeight = nHeight / rows;
    int index = 0;
    for (int row = 0; row < rows && index < nCount; ++row)
        for (int column = 0; column < columns && index < nCount; ++column, ++index)
            pRects[index] =
                CRect(column * cellWidth, row * cellHeight, (column + 1) * cellWidth, (row + 1) * cellHeight);
}

LRESULT CMainFrame::OnTilePictureWnd(WPARAM, LPARAM)
{
    COneWndListLock lock(m_pictureBlock);
    int count = static_cast<int>(m_wndList.GetCount());
    if (count <= 0)
        return 0;
    int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN) - 2 * ::GetSystemMetrics(SM_CXSIZEFRAME) +
                ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN) - 2 * ::GetSystemMetrics(SM_CYSIZEFRAME) +
                 ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    std::vector<CRect> rects(count);
    CalcTileLayout(count, width, height, rects.data());
    for (int i = 0; i < count; ++i)
        if (CWnd* window = m_wndList.GetWindow(i))
            window->SetWindowPos(nullptr, rects[i].left, rects[i].top, rects[i].Width(), rects[i].Height(),
                                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT CMainFrame::OnClosePictureWnd(WPARAM wParam, LPARAM)
{
    if (wParam)
        m_wndList.CloseWindow(reinterpret_cast<CWnd*>(wParam));
    else
        m_wndList.CloseAll();
    return 0;
}

LRESULT CMainFrame::OnPictureWndBroadcast(WPARAM wParam, LPARAM lParam)
{
    COneWndListLock lock(m_pictureBlock);
    for (int i = 0; i < m_wndList.GetCount(); ++i)
        if (CWnd* window = m_wndList.GetWindow(i))
            window->PostMessage(WMU_PICTUREWNDBROADCAST, wParam, lParam);
    return 0;
}

LRESULT CMainFrame::OnSlideshowEnded(WPARAM wParam, LPARAM)
{
    if (wParam != 0)
        return 0;
    COneWndListLock lock(m_pictureBlock);
    m_wndList.DeleteEndedSlideshow();
    return 0;
}

LRESULT CMainFrame::OnFileOperation(WPARAM wParam, LPARAM)
{
    auto* job = reinterpret_cast<VyxFileTransfer*>(wParam);
    if (!job)
        return 0;
    if (m_bFileOperation) {
        // A job's message boxes and progress window let other messages through. A posted job
        // waits for its turn; a sent one cannot, since its sender wants the result now.
        if (job->IsPosted()) {
            m_queuedJobs.push_back(job);
        } else {
            delete job;
            ShowMessageBox(IDS_FILE_OPERATION_BUSY, MB_OK | MB_ICONINFORMATION);
        }
        return 0;
    }
    int result = RunFileOperation(job);
    while (!m_queuedJobs.empty() && GetSafeHwnd()) {
        VyxFileTransfer* next = m_queuedJobs.front();
        m_queuedJobs.pop_front();
        RunFileOperation(next);
    }
    return result;
}

int CMainFrame::RunFileOperation(VyxFileTransfer* job)
{
    std::unique_ptr<VyxFileTransfer> owned(job);
    struct Running
    {
        CMainFrame* frame;
        explicit Running(CMainFrame* f) : frame(f) { frame->m_bFileOperation = true; }
        ~Running() { frame->m_bFileOperation = false; }
    } running(this);
    WatchModeScope watch(this);
    CKWDoc* doc = GetKWDoc();
    job->CreateProgress(this);
    job->SetCopyBufferSize(static_cast<DWORD>(doc ? doc->FileAccessBufferSize
                                                  : SettingsTable::ReadOne(&CKWDocSettings::FileAccessBufferSize)));
    job->SetUniqueNameFormat(doc ? doc->AutoFileFormat : SettingsTable::ReadOne(&CKWDocSettings::AutoFileFormat));
    job->SetCacheRoot(doc ? static_cast<LPCWSTR>(doc->CacheDataFolder) : L"");
    int result = job->Run();
    if (result > 0 || job->HasChangedFiles()) {
        CString destination = job->GetDestination();
        Announce(HintFolderChanged, reinterpret_cast<CObject*>(destination.GetBuffer()));
        destination.ReleaseBuffer();
    }
    return result;
}

// ---------------------------------------------------------------- folder watchers

void CMainFrame::StartFolderWatcher(LPCWSTR lpszPath, int nWatcher, BOOL bWatchSubtree)
{
    FolderWatchSlot& slot = nWatcher == 1 ? m_watcher1 : m_watcher2;
    slot.Start(m_hWnd, lpszPath, bWatchSubtree);
}

void CMainFrame::StopFolderWatcher(int nWatcher)
{
    FolderWatchSlot& slot = nWatcher == 1 ? m_watcher1 : m_watcher2;
    if (!slot.IsStarted())
        return;
    slot.Stop();
    if (m_hWnd)
        KillTimer(nWatcher);
}

void CMainFrame::RestartWatchers(BOOL bForced)
{
    CKWDoc* doc = GetKWDoc();
    if (!doc || doc->IsArchiveLocation())
        return;
    CString folder = doc->GetFolderPath();
    CString root = PathRoot(folder);
    UINT type = root.IsEmpty() ? DRIVE_NO_ROOT_DIR : ::GetDriveTypeW(root);
    if (type != DRIVE_REMOVABLE && type != DRIVE_FIXED && type != DRIVE_REMOTE && type != DRIVE_RAMDISK) {
        StopFolderWatcher(1);
        StopFolderWatcher(2);
        return;
    }
    if (m_watcher1.IsRunning()) {
        if (m_watcher1.GetPath().CompareNoCase(root) != 0 && !m_watcher1.Retarget(root))
            KillTimer(FolderChangeOnDrive);
    } else {
        StartFolderWatcher(root, 1, TRUE);
    }
    if (!bForced && !doc->FolderMonitor) {
        StopFolderWatcher(2);
        return;
    }
    CString bareFolder, bareRoot;
    RemovePathSeparator(bareFolder, folder);
    RemovePathSeparator(bareRoot, root);
    if (bareFolder.CompareNoCase(bareRoot) == 0)
        return;
    if (m_watcher2.IsRunning()) {
        if (m_watcher2.GetPath().CompareNoCase(folder) != 0 && !m_watcher2.Retarget(folder))
            KillTimer(FolderChangeInFolder);
    } else {
        StartFolderWatcher(folder, 2, doc->DownScan);
    }
}

WatchMode CMainFrame::SetWatchMode(WatchMode mode)
{
    WatchMode previous = m_watchMode;
    m_watchMode = mode;
    if (mode == WatchMode::Watching)
        RestartWatchers(FALSE);
    else if (mode == WatchMode::RootOnly)
        StopFolderWatcher(2);
    else if (mode == WatchMode::ForcedPaused)
        RestartWatchers(TRUE);
    return previous;
}

void CMainFrame::OnNewFolder()
{
    {
        COneWndListLock lock(m_pictureBlock);
        if (VSlideShowDlg* show = m_wndList.m_pSlideShow) {
            show->UpdatePositionBar();
            show->SetIndex(0);
            show->SetLocked(FALSE);
            show->Reload();
        }
    }
    m_watchMode = WatchMode::Watching;
    RestartWatchers(FALSE);
    UpdateCountPane();
    UpdateFreeSpacePane();
    CKWDoc* doc = GetKWDoc();
    int drive = doc ? GetDriveIndex(doc->GetFolderPath()) : -1;
    if (drive >= 0 && m_wndDriveBar.GetSafeHwnd() && m_wndDriveBar.GetDriveButtons())
        m_wndDriveBar.GetDriveButtons()->SetCurrentDrive(drive);
}

void CMainFrame::ScheduleStatusUpdate()
{
    if (m_hWnd)
        SetTimer(kStatusTimer, m_nStatusDelay, nullptr);
}

LRESULT CMainFrame::OnFolderChanged(WPARAM wParam, LPARAM lParam)
{
    // A watcher's post is taken only from the watcher now running, and its path from the
    // frame's own copy: a post still queued from a stopped watcher names a block that is gone.
    if (wParam == FolderChangeOnDrive) {
        if (m_watcher1.IsBlock(lParam))
            SetTimer(FolderChangeOnDrive, m_nStatusDelay, nullptr);
        return 0;
    }
    if (wParam == FolderChangeInFolder) {
        if (!m_watcher2.IsBlock(lParam))
            return 0;
        m_strChangedFolder = m_watcher2.GetPath();
    } else {
        m_strChangedFolder = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
    }
    SetTimer(wParam, m_nFolderChangeDelay, nullptr);
    return 0;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    KillTimer(nIDEvent);
    switch (nIDEvent) {
    case FolderChangeOnDrive:
        UpdateFreeSpacePane();
        break;
    case FolderChangeInFolder:
    case kDocumentRefreshTimer:
        if (m_watchMode == WatchMode::Watching) {
            CString folder = m_strChangedFolder;
            Announce(HintFolderChanged, reinterpret_cast<CObject*>(folder.GetBuffer()));
            folder.ReleaseBuffer();
        }
        break;
    case kStatusTimer:
        UpdateCountPane();
        break;
    case kCacheWriteTimer:
        if (m_cacheWrite.Poll())
            PostMessage(WM_CLOSE);
        else
            SetTimer(kCacheWriteTimer, kCacheWritePoll, nullptr);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- status panes

void CMainFrame::UpdateCountPane()
{
    CKWDoc* doc = GetKWDoc();
    if (!m_wndStatusBar.GetSafeHwnd() || !doc)
        return;
    ULONGLONG total = 0, selectedTotal = 0;
    int selected = 0;
    for (int i = 0; i < doc->GetItemCount(); ++i) {
        VyxFile* item = doc->GetItem(i);
        if (!item)
            continue;
        total += item->GetFileSize();
        if (item->TestFlags(VyxFilexDraw::FlagSelected)) {
            ++selected;
            selectedTotal += item->GetFileSize();
        }
    }
    CString text;
    text.Format(L"選択 %d ﾌｧｲﾙ(%s)", selected, static_cast<LPCWSTR>(FormatSize(selectedTotal)));
    m_wndStatusBar.SetPaneText(CMyStatusBar::PaneSelection, text);
    text.Format(L"全 %d ﾌｧｲﾙ(%s)", doc->GetItemCount(), static_cast<LPCWSTR>(FormatSize(total)));
    m_wndStatusBar.SetPaneText(CMyStatusBar::PaneAllItems, text);
}

void CMainFrame::UpdateFreeSpacePane()
{
    CKWDoc* doc = GetKWDoc();
    if (!m_wndStatusBar.GetSafeHwnd() || !doc)
        return;
    CString root = PathRoot(doc->GetFolderPath());
    ULONGLONG freeToCaller = 0, total = 0, totalFree = 0;
    if (root.IsEmpty() || !GetDiskFreeSpace64(root, &freeToCaller, &total, &totalFree)) {
        // Nothing to show rather than figures the system never gave.
        m_wndStatusBar.SetPaneText(CMyStatusBar::PaneDrive, L"");
        return;
    }
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(root, 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    CString serial;
    serial.Format(L"[%08X]", static_cast<unsigned>(GetVolumeSerialNumber(root)));
    CString text;
    text.Format(L"%s %s 空 %s / 全 %s", info.szDisplayName, static_cast<LPCWSTR>(serial),
                static_cast<LPCWSTR>(FormatSize(totalFree)), static_cast<LPCWSTR>(FormatSize(total)));
    m_wndStatusBar.SetPaneText(CMyStatusBar::PaneDrive, text);
}

// ---------------------------------------------------------------- registered applications

void CMainFrame::OnAppCommandRange(UINT nID)
{
    OnAppCommand(nID);
}

void CMainFrame::OnUpdateAppCommand(CCmdUI* pCmdUI)
{
    // A menu updates its entries in order: the list is read once, with the first.
    if (pCmdUI->m_nID == VAppCall::FirstCommand)
        m_appCall.Load();
    CKWDoc* doc = GetKWDoc();
    m_appCall.UpdateCommandUI(pCmdUI, doc ? doc->GetSelectedCount(false) : 0);
}

void CMainFrame::OnAppCommand(UINT nID)
{
    m_appCall.Load();
    int index = static_cast<int>(nID) - VAppCall::FirstCommand;
    if (index < 0 || index >= m_appCall.GetCount())
        return;
    CKWDoc* doc = GetKWDoc();
    if (!doc)
        return;
    std::vector<const VyxFile*> items;
    for (const VyxFile* item : doc->SelectedItems(SelectedFilter::Any))
        items.push_back(item);
    m_appCall.Launch(index, doc->GetFolderPath(), items.data(), static_cast<int>(items.size()), this);
}

// ---------------------------------------------------------------- plug-in sets

void CMainFrame::FillPluginSetCombo()
{
    CComboBox* combo = m_wndPluginSetBar.GetSafeHwnd()
                           ? static_cast<CComboBox*>(m_wndPluginSetBar.GetDlgItem(IDC_PLUGINSET_COMBO))
                           : nullptr;
    if (!combo)
        return;
    combo->ResetContent();
    CString list;
    GetAppIniString(list, L"SPI", L"SPISetList", L"");
    for (int i = 0;; ++i) {
        CString name;
        if (!GetFieldString(&name, list, i, L','))
            break;
        combo->AddString(name);
    }
    m_strPluginSet = SettingsTable::ReadOne(&CKWDocSettings::SPISet);
    combo->SetCurSel(combo->FindStringExact(-1, m_strPluginSet));
}

void CMainFrame::OnPluginSetChange()
{
    CComboBox* combo = m_wndPluginSetBar.GetSafeHwnd()
                           ? static_cast<CComboBox*>(m_wndPluginSetBar.GetDlgItem(IDC_PLUGINSET_COMBO))
                           : nullptr;
    CKWDoc* doc = GetKWDoc();
    int selected = combo ? combo->GetCurSel() : CB_ERR;
    if (!doc || selected == CB_ERR)
        return;
    CString name;
    combo->GetLBText(selected, name);
    doc->SPISet = name;
    if (name == m_strPluginSet)
        return;
    theSPImapIndex.LoadPluginSet(name);
    theSPImapIndex.LoadEnabledPlugins();
    Announce(HintRedraw, nullptr);
    m_strPluginSet = name;
}

void CMainFrame::OnViewPluginSetBar()
{
    ToggleBar(&m_wndPluginSetBar);
}

void CMainFrame::OnUpdateViewPluginSetBar(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(IsBarShown(m_wndPluginSetBar));
}

// ---------------------------------------------------------------- bars and the thumbnail view

void CMainFrame::OnCustomizeToolBar()
{
    if (m_wndToolBar.GetSafeHwnd())
        m_wndToolBar.SendMessage(WM_COMMAND, ID_CUSTOMIZE_TOOLBAR);
}

void CMainFrame::OnJumpBarFocus()
{
    if (IsBarShown(m_wndJumpBar))
        m_wndJumpBar.GetPathEdit().SetFocus();
}

void CMainFrame::OnThumbStep(UINT nID)
{
    static const UINT messages[] = {WMU_THUMBS_LARGER, WMU_THUMBS_SMALLER, WMU_THUMBS_NEXTPAGE, WMU_THUMBS_PREVPAGE};
    if (m_pThumbView && m_pThumbView->GetSafeHwnd())
        m_pThumbView->SendMessage(messages[nID - ID_THUMBS_LARGER]);
}

void CMainFrame::OnThumbColumns(UINT nID)
{
    if (m_pThumbView && m_pThumbView->GetSafeHwnd())
        m_pThumbView->SendMessage(WMU_THUMBS_COLUMNS, nID - ID_THUMB_COLUMNS_FIRST);
}

// ---------------------------------------------------------------- the current folder

void CMainFrame::OnDeleteFolder()
{
    if (m_pFolderView && m_pFolderView->GetSafeHwnd())
        m_pFolderView->SendMessage(WM_COMMAND, ID_FOLDER_DELETE);
}

void CMainFrame::OnUpdateDeleteFolder(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pFolderView && m_pFolderView->GetSafeHwnd() && m_pFolderView->IsNotArchiveMember(nullptr));
}

void CMainFrame::OnCreateFolder()
{
    CKWDoc* doc = GetKWDoc();
    CString location = doc ? doc->GetLocationPath() : CString();
    if (location.IsEmpty())
        return;
    VFileMdDlg prompt(this);
    prompt.m_folder = location;
    if (prompt.DoModal() != IDOK || !FolderCommands::CreateFolder(prompt.m_folder, prompt.m_name))
        return;
    Announce(HintFolderChanged, reinterpret_cast<CObject*>(location.GetBuffer()));
    location.ReleaseBuffer();
}

void CMainFrame::OnRenameFolder()
{
    CKWDoc* doc = GetKWDoc();
    CString name;
    if (!doc || GetPathPart(name, doc->GetLocationPath(), PartFileName).IsEmpty())
        return;
    VFileRnDlg prompt(this);
    prompt.m_folder = name;
    if (prompt.DoModal() == IDOK)
        RenameCurrentFolder(prompt.m_name);
}

void CMainFrame::OnUpdateCreateFolder(CCmdUI* pCmdUI)
{
    CKWDoc* doc = GetKWDoc();
    pCmdUI->Enable(doc && doc->IsFolderLocation());
}

void CMainFrame::OnUpdateRenameFolder(CCmdUI* pCmdUI)
{
    CKWDoc* doc = GetKWDoc();
    pCmdUI->Enable(doc && !doc->IsArchiveLocation());
}

BOOL CMainFrame::RenameCurrentFolder(LPCWSTR lpszNewName)
{
    CKWDoc* doc = GetKWDoc();
    if (!doc || !lpszNewName || !*lpszNewName)
        return FALSE;
    const CString oldPath = doc->GetLocationPath();
    CString folder, newPath;
    GetPathPart(folder, oldPath, PartFolder);
    MakePath(newPath, nullptr, folder, lpszNewName, nullptr);
    if (newPath == oldPath)
        return FALSE;
    if (!FolderCommands::MoveFolder(this, doc, oldPath, newPath)) {
        ShowMessageBox(FormatMessageText(MsgFolderRenameFailed, static_cast<LPCWSTR>(newPath)), MB_OK | MB_ICONSTOP);
        RestartWatchers(FALSE);
        return FALSE;
    }
    // The folder that holds it changed: the tree shows the new name before the views go there.
    CString path = folder;
    Announce(HintFolderChanged, reinterpret_cast<CObject*>(path.GetBuffer()));
    path.ReleaseBuffer();
    path = newPath;
    Announce(HintGoToPath, reinterpret_cast<CObject*>(path.GetBuffer()));
    path.ReleaseBuffer();
    RestartWatchers(FALSE);
    return TRUE;
}

// ---------------------------------------------------------------- visited folders

void CMainFrame::OnFolderBack()
{
    if (m_pFolderView && m_pFolderView->GetHistoryPosition() > 0)
        m_pFolderView->GoToHistory(m_pFolderView->GetHistoryPosition() - 1);
}

void CMainFrame::OnFolderForward()
{
    if (m_pFolderView && m_pFolderView->GetHistoryPosition() < m_pFolderView->GetVisitedFolders().GetCount() - 1)
        m_pFolderView->GoToHistory(m_pFolderView->GetHistoryPosition() + 1);
}

void CMainFrame::OnUpdateFolderBack(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pFolderView && m_pFolderView->GetHistoryPosition() > 0);
}

void CMainFrame::OnUpdateFolderForward(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pFolderView &&
                   m_pFolderView->GetHistoryPosition() < m_pFolderView->GetVisitedFolders().GetCount() - 1);
}

void CMainFrame::OnHistory(UINT nID)
{
    if (!m_pFolderView)
        return;
    const int current = m_pFolderView->GetHistoryPosition();
    const int position = nID < ID_HISTORY_FORWARD_FIRST ? static_cast<int>(nID - ID_HISTORY_FIRST)
                                                        : current + static_cast<int>(nID - ID_HISTORY_FORWARD_FIRST);
    if (position >= 0 && position < m_pFolderView->GetVisitedFolders().GetCount())
        m_pFolderView->GoToHistory(position);
}

void CMainFrame::OnRefreshFolder()
{
    CKWDoc* doc = GetKWDoc();
    if (!doc)
        return;
    doc->ResetCantDrawFlags();
    CString folder = doc->GetFolderPath();
    Announce(HintFolderChanged, reinterpret_cast<CObject*>(folder.GetBuffer()));
    folder.ReleaseBuffer();
}

// ---------------------------------------------------------------- thumbnail layout presets

CString CMainFrame::StorePreset()
{
    CKWDoc* doc = GetKWDoc();
    if (!doc)
        return CString();
    THUMBSDATA record = {};
    doc->GetLayout(&record);
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CString section;
    section.Format(L"%02d%02d%02d%02d%02d%02d", now.wYear % 100, now.wMonth, now.wDay, now.wHour, now.wMinute,
                   now.wSecond);
    VyxConfig().Save(record, section);
    return section;
}

void CMainFrame::OnStorePreset()
{
    StorePreset();
}

BOOL CMainFrame::LoadPreset(int nIndex, THUMBSDATA& record)
{
    // Counted over the sections that load, as the menu counts them: a section that is no layout
    // takes no number, so every entry applies the layout it names.
    CStringArray sections;
    VyxConfig layouts;
    layouts.GetSectionNameList(sections);
    for (INT_PTR i = 0, loadable = 0; i < sections.GetSize(); ++i) {
        THUMBSDATA candidate = {};
        if (!layouts.Load(candidate, sections[i]))
            continue;
        if (loadable++ == nIndex) {
            record = candidate;
            return TRUE;
        }
    }
    return FALSE;
}

void CMainFrame::OnApplyPreset(UINT nID)
{
    CKWDoc* doc = GetKWDoc();
    THUMBSDATA record = {};
    if (doc && LoadPreset(static_cast<int>(nID - ID_THUMB_PRESET_FIRST), record))
        doc->ApplyLayout(record);
}

// ---------------------------------------------------------------- the tool bar's drop-down menus

BOOL CMainFrame::BuildDropDownMenu(UINT nButton, CMenu& popup)
{
    const int kHistoryIds = ID_HISTORY_FORWARD_FIRST - ID_HISTORY_FIRST;
    if (nButton == ID_FOLDER_BACK || nButton == ID_FOLDER_FORWARD) {
        if (!m_pFolderView)
            return TRUE;
        const VyxStringArray& visited = m_pFolderView->GetVisitedFolders();
        const int current = m_pFolderView->GetHistoryPosition();
        if (nButton == ID_FOLDER_BACK) {
            for (int i = std::min(current - 1, kHistoryIds - 1); i >= 0; --i)
                popup.AppendMenu(MF_STRING, ID_HISTORY_FIRST + i, MenuItemText(visited[i].GetText()));
        } else {
            for (int i = current + 1; i < visited.GetCount() && i - current < kHistoryIds; ++i)
                popup.AppendMenu(MF_STRING, ID_HISTORY_FORWARD_FIRST + (i - current),
                                 MenuItemText(visited[i].GetText()));
        }
        return TRUE;
    }
    if (nButton != ID_THUMBS_SMALLER)
        return FALSE;
    CMenu columns;
    columns.CreatePopupMenu();
    const int first = std::max(GetAppIniInt(kSection, L"ThumbsFirst", 2), 0);
    const int last =
        std::min(GetAppIniInt(kSection, L"ThumbsLast", 16), ID_THUMB_COLUMNS_LAST - ID_THUMB_COLUMNS_FIRST);
    for (int n = first; n <= last; ++n) {
        CString text;
        text.Format(L"%d 分割", n);
        columns.AppendMenu(MF_STRING, ID_THUMB_COLUMNS_FIRST + n, WithFreeMnemonic(columns.GetSafeHmenu(), text));
    }
    popup.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(columns.Detach()), L"分割");
    popup.AppendMenu(MF_SEPARATOR, 0, static_cast<LPCWSTR>(nullptr));
    popup.AppendMenu(MF_STRING, ID_THUMB_PRESET_STORE, L"現在値を記憶");
    CStringArray sections;
    VyxConfig layouts;
    layouts.GetSectionNameList(sections);
    UINT id = ID_THUMB_PRESET_FIRST;
    for (INT_PTR i = 0; i < sections.GetSize() && id <= ID_THUMB_PRESET_LAST; ++i) {
        THUMBSDATA record = {};
        if (!layouts.Load(record, sections[i]))
            continue;
        CString text;
        text.Format(L"%dx%d\t", record.ThumbsSize.cx, record.ThumbsSize.cy);
        if (record.Name == 1)
            text += L"下 ";
        else if (record.Name == 2)
            text += L"右 ";
        if (record.Name != 0) {
            CString format(record.NameFormat, static_cast<int>(wcsnlen(record.NameFormat, 256)));
            format.Replace(L'\t', L' ');
            text += format;
        }
        popup.AppendMenu(MF_STRING, id++, MenuItemText(text));
    }
    return TRUE;
}

void CMainFrame::OnToolBarDropDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* notify = reinterpret_cast<NMTOOLBARW*>(pNMHDR);
    *pResult = TBDDRET_DEFAULT;
    CMenu popup;
    popup.CreatePopupMenu();
    if (!BuildDropDownMenu(static_cast<UINT>(notify->iItem), popup))
        return;
    // The pop-up rides as the only sub-menu of a carrier, as the frame's menu images expect.
    CMenu carrier;
    carrier.CreateMenu();
    carrier.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), L"_POPUP_");
    CRect button = notify->rcButton;
    ::MapWindowPoints(notify->hdr.hwndFrom, nullptr, reinterpret_cast<POINT*>(&button), 2);
    HMENU menu = ::GetSubMenu(carrier.GetSafeHmenu(), 0);
    // The button's tip, due from the pointer's rest on it, would open over the menu's first entry.
    // A move off every tool told to it first: Wine's tips keep a pending show through deactivation.
    HWND tip = reinterpret_cast<HWND>(::SendMessageW(notify->hdr.hwndFrom, TB_GETTOOLTIPS, 0, 0));
    if (tip) {
        MSG away = {notify->hdr.hwndFrom, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1), 0, {-1, -1}};
        ::SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&away));
        ::SendMessageW(tip, TTM_POP, 0, 0);
        ::SendMessageW(tip, TTM_ACTIVATE, FALSE, 0);
    }
    if (VyxWinAppEx* app = VyxGetAppEx()) {
        app->PrepareMenuImages(CMenu::FromHandle(menu), TRUE);
        app->TrackMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, button.left, button.bottom, this, nullptr);
    } else {
        ::TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, button.left, button.bottom, m_hWnd, nullptr);
    }
    if (tip && ::IsWindow(tip))
        ::SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
}

// ---------------------------------------------------------------- picture windows

int CMainFrame::OpenPictureWindow(int nViewIndex, int nMode)
{
    CKWDoc* doc = GetKWDoc();
    VyxFile* item = doc ? doc->GetItem(nViewIndex) : nullptr;
    if (!item)
        return -1;
    if (item->GetLoaderId() < 0 && item->DetectPlugin() < 0)
        return 1;
    const int want = nMode & PictureWindowChoice;
    const bool newWindow =
        want == PictureNewWindow ||
        (want != PictureReuseWindow && (doc->MultiPicView || (::GetKeyState(VK_CONTROL) & 0x8000) != 0));
    COneWnd* window = nullptr;
    {
        COneWndListLock lock(m_pictureBlock);
        window = m_wndList.IsEmpty() || newWindow ? m_wndList.NewWindow(doc, this) : m_wndList.GetWindow(0);
    }
    // No window to show it in is a failure, never a success.
    if (!window)
        return -1;
    window->ShowPicture(nViewIndex);
    window->ShowWindow(RestorePicturePlacement(window));
    window->FollowPicture();
    window->UpdateWindow();
    window->SetFocus();
    if (nMode & PictureOnTop)
        window->SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return 0;
}

void CMainFrame::StartSlideshow(int nViewIndex)
{
    CKWDoc* doc = GetKWDoc();
    COneWndListLock lock(m_pictureBlock);
    if (VSlideShowDlg* show = m_wndList.GetOpenSlideshow()) {
        show->SetIndex(nViewIndex);
        show->SetLocked(FALSE);
        show->Reload();
        return;
    }
    auto* show = new VSlideShowDlg;
    m_wndList.m_pSlideShow = show;
    show->SetDocument(doc);
    show->SetAutoPlay(FALSE);
    show->SetIndex(nViewIndex);
    show->SetMonitor(doc ? doc->Monitor : 0);
    if (!show->Create(this)) {
        m_wndList.m_pSlideShow = nullptr;
        delete show;
    }
}

int CMainFrame::RestorePicturePlacement(COneWnd* pWindow)
{
    LPBYTE data = nullptr;
    UINT bytes = 0;
    CWinApp* app = AfxGetApp();
    if (pWindow->m_strPlacementSection.IsEmpty() || !app ||
        !app->GetProfileBinary(pWindow->m_strPlacementSection, L"FrameWndPlacement", &data, &bytes))
        return SW_SHOW;
    WINDOWPLACEMENT placement = {};
    const bool whole = bytes == sizeof(placement);
    if (whole)
        memcpy(&placement, data, sizeof(placement));
    delete[] data;
    CRect desktop, normal(placement.rcNormalPosition);
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    if (!whole || !CRect().IntersectRect(&normal, &desktop))
        return SW_SHOW;
    UINT show = placement.showCmd;
    if (show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_SHOWMINNOACTIVE)
        show = SW_SHOWNORMAL;
    placement.showCmd = SW_HIDE;
    pWindow->SetWindowPlacement(&placement);
    return static_cast<int>(show);
}

void CMainFrame::OnListRebuilding()
{
    CKWDoc* doc = GetKWDoc();
    COneWndListLock lock(m_pictureBlock);
    if (doc && doc->Stay)
        m_wndList.RelocateAll();
    else
        m_wndList.CloseAll();
    if (m_wndList.m_pSlideShow)
        m_wndList.m_pSlideShow->SetLocked(TRUE);
}

void CMainFrame::OnItemRemoved(int nViewIndex)
{
    CKWDoc* doc = GetKWDoc();
    COneWndListLock lock(m_pictureBlock);
    if (doc && doc->Stay)
        m_wndList.RemoveIndex(nViewIndex);
    else
        m_wndList.CloseIndex(nViewIndex);
    if (m_wndList.m_pSlideShow && m_wndList.m_pSlideShow->GetIndex() == nViewIndex)
        m_wndList.m_pSlideShow->SetLocked(TRUE);
}

void CMainFrame::SyncPictureWindow(int nViewIndex)
{
    CKWDoc* doc = GetKWDoc();
    if (!doc || !doc->Synchronous)
        return;
    COneWndListLock lock(m_pictureBlock);
    // The last window may be gone: only one still in the list is used.
    COneWnd* window =
        m_wndList.IndexOf(m_pLastPictureWnd) >= 0 ? static_cast<COneWnd*>(m_pLastPictureWnd) : m_wndList.GetWindow(0);
    if (window)
        window->ShowPicture(nViewIndex);
    if (VSlideShowDlg* show = m_wndList.m_pSlideShow) {
        show->SetIndex(nViewIndex);
        show->SetLocked(FALSE);
        show->Reload();
    }
}

void CMainFrame::SetThumbViewBackColor(COLORREF colour)
{
    if (CKWView* view = DYNAMIC_DOWNCAST(CKWView, m_pThumbView))
        view->SetBackColor(colour);
}
