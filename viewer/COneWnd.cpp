// The picture window: its creation and destruction, its messages, keys and the mouse, and the
// window commands. Showing a file and the status are in COneWndShow.cpp, stepping through the
// files and the file commands in COneWndFiles.cpp, the picture and option commands in
// COneWndCommands.cpp.
#include "viewer/COneWnd.h"

#include "catalogue/CKWDocSettings.h"
#include "catalogue/DeleteRule.h"
#include "catalogue/FrameMessages.h"
#include "foundation/VyxIni.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"
#include "viewer/COneWndList.h"
#include "viewer/VSlideShowDlg.h"

#include <imm.h>

#include <algorithm>

namespace {

const wchar_t kSection[] = L"OnePic";
const wchar_t kViewSection[] = L"COneView";
const wchar_t kDefaultZoomSteps[] = L"0.25,0.333,0.5,0.75,1,1.5,2";
const wchar_t kToolBarState[] = L"PicViewToolbarState";
const wchar_t kReBarState[] = L"PicViewRebarState";
const UINT kIndicators[] = {IDS_PICTURE_PANE_SIZE, IDS_PICTURE_PANE_ZOOM, IDS_PICTURE_PANE_INFO};
// The system menu's own entries (their low four bits are the system's).
const UINT kSysMenuBar = 0x10;
const UINT kSysToolBar = 0x20;
const UINT kSysStatusBar = 0x30;

BOOL IsBarShown(CControlBar& bar)
{
    return bar.GetSafeHwnd() && (bar.GetStyle() & WS_VISIBLE);
}

} // namespace

UINT COneWnd::s_nActivateState = WA_INACTIVE;

IMPLEMENT_DYNCREATE(COneWnd, VyxFrameWndEx)

BEGIN_MESSAGE_MAP(COneWnd, VyxFrameWndEx)
ON_WM_CREATE()
ON_WM_SYSCOMMAND()
ON_WM_ACTIVATE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_DESTROY()
ON_COMMAND(ID_PICTURE_CLOSE_ALL, OnCloseAll)
ON_COMMAND(ID_VIEW_MENUBAR, OnViewMenuBar)
ON_COMMAND(ID_PICTURE_SYNCHRONIZE, OnSynchronize)
ON_UPDATE_COMMAND_UI(ID_PICTURE_SYNCHRONIZE, OnUpdateSynchronize)
ON_MESSAGE(WMU_PICTUREWNDBROADCAST, OnPictureWndBroadcast)
ON_MESSAGE(WMU_SLIDESHOWENDED, OnSlideshowEnded)
ON_MESSAGE(WMU_CONTRASTRESULT, OnContrastResult)
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONDBLCLK()
ON_WM_MOUSEWHEEL()
ON_COMMAND(ID_PICTURE_COPY, OnFileCopy)
ON_UPDATE_COMMAND_UI(ID_PICTURE_COPY, OnUpdateAutoPlayOff)
ON_COMMAND(ID_PICTURE_MOVE, OnFileMove)
ON_UPDATE_COMMAND_UI(ID_PICTURE_MOVE, OnUpdateFileMove)
ON_COMMAND(ID_PICTURE_PRINT, OnFilePrint)
ON_UPDATE_COMMAND_UI(ID_PICTURE_PRINT, OnUpdateFilePrint)
ON_COMMAND(ID_EDIT_COMMENT, OnComment)
ON_UPDATE_COMMAND_UI(ID_EDIT_COMMENT, OnUpdateAutoPlayOff)
ON_COMMAND(ID_PICTURE_DELETE, OnFileDelete)
ON_UPDATE_COMMAND_UI(ID_PICTURE_DELETE, OnUpdateFileMove)
ON_COMMAND(ID_PICTURE_SAVE, OnFileSave)
ON_UPDATE_COMMAND_UI(ID_PICTURE_SAVE, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_ZOOM_IN, OnZoomIn)
ON_UPDATE_COMMAND_UI(ID_PICTURE_ZOOM_IN, OnUpdateZoom)
ON_COMMAND(ID_PICTURE_ZOOM_OUT, OnZoomOut)
ON_UPDATE_COMMAND_UI(ID_PICTURE_ZOOM_OUT, OnUpdateZoom)
ON_COMMAND(ID_PICTURE_ZOOM_ORIGINAL, OnZoomOriginal)
ON_UPDATE_COMMAND_UI(ID_PICTURE_ZOOM_ORIGINAL, OnUpdateAutoPlayOff)
ON_COMMAND(ID_PICTURE_ROTATE_LEFT, OnRotateLeft)
ON_UPDATE_COMMAND_UI(ID_PICTURE_ROTATE_LEFT, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_ROTATE_RIGHT, OnRotateRight)
ON_UPDATE_COMMAND_UI(ID_PICTURE_ROTATE_RIGHT, OnUpdateDisplayedPage)
ON_COMMAND_RANGE(ID_PICTURE_FLIP_VERTICAL, ID_PICTURE_FLIP_HORIZONTAL, OnFlip)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_FLIP_VERTICAL, ID_PICTURE_FLIP_HORIZONTAL, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_WALLPAPER, OnWallpaper)
ON_UPDATE_COMMAND_UI(ID_PICTURE_WALLPAPER, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_CLIPBOARD, OnClipboard)
ON_UPDATE_COMMAND_UI(ID_PICTURE_CLIPBOARD, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_SELECT, OnSelect)
ON_UPDATE_COMMAND_UI(ID_PICTURE_SELECT, OnUpdateSelect)
ON_COMMAND(ID_PICTURE_UNSHARP, OnUnsharp)
ON_UPDATE_COMMAND_UI(ID_PICTURE_UNSHARP, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_REDUCE, OnReduce)
ON_UPDATE_COMMAND_UI(ID_PICTURE_REDUCE, OnUpdateReduce)
ON_COMMAND(ID_PICTURE_GRAY, OnGray)
ON_UPDATE_COMMAND_UI(ID_PICTURE_GRAY, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_CONTRAST, OnContrast)
ON_UPDATE_COMMAND_UI(ID_PICTURE_CONTRAST, OnUpdateDisplayedPage)
ON_COMMAND(ID_PICTURE_FIRST, OnFirst)
ON_UPDATE_COMMAND_UI(ID_PICTURE_FIRST, OnUpdateBackward)
ON_COMMAND(ID_PICTURE_PREVIOUS, OnPrevious)
ON_UPDATE_COMMAND_UI(ID_PICTURE_PREVIOUS, OnUpdateBackward)
ON_COMMAND(ID_PICTURE_NEXT, OnNext)
ON_UPDATE_COMMAND_UI(ID_PICTURE_NEXT, OnUpdateForward)
ON_COMMAND(ID_PICTURE_LAST, OnLast)
ON_UPDATE_COMMAND_UI(ID_PICTURE_LAST, OnUpdateForward)
ON_COMMAND(ID_PICTURE_AUTOPLAY, OnAutoPlay)
ON_UPDATE_COMMAND_UI(ID_PICTURE_AUTOPLAY, OnUpdateAutoPlay)
ON_COMMAND_RANGE(ID_PICTURE_NEXT_PAGE, ID_PICTURE_PREVIOUS_PAGE, OnPage)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_NEXT_PAGE, ID_PICTURE_PREVIOUS_PAGE, OnUpdatePage)
ON_COMMAND(ID_VIEW_CUSTOMIZE_TOOLBAR, OnCustomizeToolBar)
ON_COMMAND(ID_PICTURE_OPTIONS, OnOptions)
ON_UPDATE_COMMAND_UI(ID_PICTURE_OPTIONS, OnUpdateAutoPlayOff)
ON_COMMAND_RANGE(ID_PICTURE_FIT_ASIS, ID_PICTURE_FIT_ASPECT, OnFitMode)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_FIT_ASIS, ID_PICTURE_FIT_ASPECT, OnUpdateFitMode)
ON_COMMAND_RANGE(ID_PICTURE_FIT_WIDTH, ID_PICTURE_FIT_WIDTH, OnFitMode)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_FIT_WIDTH, ID_PICTURE_FIT_WIDTH, OnUpdateFitMode)
ON_COMMAND_RANGE(ID_PICTURE_FIT_HEIGHT, ID_PICTURE_FIT_HEIGHT, OnFitMode)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_FIT_HEIGHT, ID_PICTURE_FIT_HEIGHT, OnUpdateFitMode)
ON_COMMAND_RANGE(ID_PICTURE_SCALE_DEVICE, ID_PICTURE_SCALE_BILINEAR, OnScaleMode)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_SCALE_DEVICE, ID_PICTURE_SCALE_BILINEAR, OnUpdateScaleMode)
ON_COMMAND_RANGE(ID_PICTURE_SCALE_AVERAGE, ID_PICTURE_SCALE_AVERAGE, OnScaleMode)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_SCALE_AVERAGE, ID_PICTURE_SCALE_AVERAGE, OnUpdateScaleMode)
ON_COMMAND_RANGE(ID_PICTURE_SCALE_AUTO, ID_PICTURE_SCALE_AUTO, OnScaleMode)
ON_UPDATE_COMMAND_UI_RANGE(ID_PICTURE_SCALE_AUTO, ID_PICTURE_SCALE_AUTO, OnUpdateScaleMode)
ON_COMMAND(ID_PICTURE_REPEAT, OnRepeat)
ON_UPDATE_COMMAND_UI(ID_PICTURE_REPEAT, OnUpdateRepeat)
ON_COMMAND(ID_PICTURE_CLOSE, OnClose)
ON_COMMAND(ID_PICTURE_NEXT_WINDOW, OnNextWindow)
ON_COMMAND(ID_PICTURE_PREVIOUS_WINDOW, OnPreviousWindow)
ON_COMMAND(ID_PICTURE_MAIN_WINDOW, OnMainWindow)
ON_COMMAND(ID_PICTURE_TILE, OnTile)
ON_COMMAND(ID_PICTURE_TOPMOST, OnTopMost)
ON_UPDATE_COMMAND_UI(ID_PICTURE_TOPMOST, OnUpdateTopMost)
ON_COMMAND(ID_PICTURE_FULLSCREEN, OnFullScreen)
ON_UPDATE_COMMAND_UI(ID_PICTURE_FULLSCREEN, OnUpdateFullScreen)
ON_COMMAND_RANGE(ID_PICTURE_SCROLL_RIGHT, ID_PICTURE_SCROLL_DOWN, OnScroll)
END_MESSAGE_MAP()

COneWnd::COneWnd()
{
    m_strTitleFormat = SettingKeys::TitleFormat.Read();
    m_bTopMost = SettingKeys::TopMost.Read() != 0;
    m_settings.Load();
    CString steps;
    GetAppIniString(steps, kViewSection, L"ZoomSteps", kDefaultZoomSteps);
    ParseZoomSteps(steps, m_zoomSteps, m_nHundredStep);
    m_nZoomStep = m_nHundredStep;
    m_bSwapped = ::GetSystemMetrics(SM_SWAPBUTTON) != 0;
    m_block.Create(L"COneWndList", kOneWndListBlockSize);
}

COneWnd::~COneWnd() = default;

void COneWnd::ParseZoomSteps(const wchar_t* text, VyxVariantArray& steps, int& nHundredStep)
{
    steps.Split(text ? text : L"", L",");
    if (steps.GetCount() == 0)
        steps.Add(VyxVariant(1));
    nHundredStep = 0;
    for (int i = 0; i < steps.GetCount(); ++i) {
        if (steps[i].GetDouble() >= 1.0) {
            nHundredStep = i;
            break;
        }
    }
}

BOOL COneWnd::IsBroadcastCommand(UINT nID)
{
    static const UINT commands[] = {10044, 10100, 10101, 10118, 10219, 10220, 32788, 32789};
    return std::find(std::begin(commands), std::end(commands), nID) != std::end(commands);
}

BOOL COneWnd::IsOwnerWindow() const
{
    return m_pOwner && ::IsWindow(m_pOwner->m_hWnd);
}

// ---------------------------------------------------------------- creation and destruction

BOOL COneWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!VyxFrameWndEx::PreCreateWindow(cs))
        return FALSE;
    if (m_bTopMost)
        cs.dwExStyle |= WS_EX_TOPMOST;
    cs.style |= WS_MAXIMIZEBOX;
    return TRUE;
}

int COneWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (VyxFrameWndEx::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY, AFX_IDW_TOOLBAR) ||
        !m_wndReBar.AddBar(&m_wndToolBar, nullptr, nullptr, RBBS_CHILDEDGE | RBBS_BREAK, L"Toolbar", FALSE, TRUE))
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 3))
        return -1;
    UINT id = 0, style = 0;
    int width = 0;
    m_wndStatusBar.GetPaneInfo(2, id, style, width);
    m_wndStatusBar.SetPaneInfo(2, id, style | SBPS_STRETCH, width);
    m_wndToolBar.LoadState(kToolBarState);
    m_wndReBar.LoadState(kReBarState);
    // Beside the tool bar the menu had room for a few titles only, the rest behind the chevron
    // even in a maximised window; a layout saved that way is mended too.
    m_wndReBar.GiveBandARow(&m_wndMenuBar);
    if (!GetAppIniInt(kSection, L"StatusBar", 1))
        ShowControlBar(&m_wndStatusBar, FALSE, FALSE);
    RestoreWindowPlacement(m_hWnd, kSection);
    ::ImmAssociateContext(m_hWnd, nullptr);
    if (CMenu* system = GetSystemMenu(FALSE)) {
        system->InsertMenu(0, MF_BYPOSITION | MF_STRING, ID_PICTURE_CLOSE_ALL, L"全て閉じる(&A)");
        system->InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR);
        system->InsertMenu(0, MF_BYPOSITION | MF_STRING, kSysStatusBar, L"ステータスバーのOn/Off");
        system->InsertMenu(0, MF_BYPOSITION | MF_STRING, kSysToolBar, L"ツールバーのOn/Off");
        system->InsertMenu(0, MF_BYPOSITION | MF_STRING, kSysMenuBar, L"メニューバーのOn/Off");
    }
    return 0;
}

void COneWnd::OnDestroy()
{
    StopAutoPlay();
    CloseOwnSlideshow();
    SaveWindowPlacement(m_hWnd, kSection);
    WriteAppIniInt(kSection, L"StatusBar", IsBarShown(m_wndStatusBar));
    WriteAppIniInt(kSection, L"MenuBar", IsBarShown(m_wndMenuBar));
    WriteAppIniInt(kSection, L"ToolBar", IsBarShown(m_wndToolBar));
    SettingKeys::TitleFormat.Write(m_strTitleFormat);
    VyxFrameWndEx::OnDestroy();
}

BOOL COneWnd::DestroyWindow()
{
    if (m_wndReBar.GetSafeHwnd())
        m_wndReBar.SaveState(kReBarState);
    if (m_wndToolBar.GetSafeHwnd())
        m_wndToolBar.SaveState(kToolBarState);
    m_settings.Save();
    WriteAppIniString(kViewSection, L"ZoomSteps", m_zoomSteps.Join(L","));
    CloseOwnSlideshow();
    LeaveList();
    return VyxFrameWndEx::DestroyWindow();
}

void COneWnd::CloseOwnSlideshow()
{
    COneWndListLock lock(m_block);
    if (COneWndList* list = lock.GetList())
        list->CloseSlideshowOf(this);
}

void COneWnd::LeaveList()
{
    COneWndListLock lock(m_block);
    if (COneWndList* list = lock.GetList())
        list->Remove(this);
}

void COneWnd::PostNcDestroy()
{
    LeaveList();
    if (m_pDeleted)
        *m_pDeleted = true;
    VyxFrameWndEx::PostNcDestroy();
}
// ---------------------------------------------------------------- messages

BOOL COneWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_bSynchronized && IsBroadcastCommand(LOWORD(wParam)) && IsOwnerWindow())
        m_pOwner->PostMessage(WMU_PICTUREWNDBROADCAST, wParam, lParam);
    return VyxFrameWndEx::OnCommand(wParam, lParam);
}

LRESULT COneWnd::OnPictureWndBroadcast(WPARAM wParam, LPARAM)
{
    // The leading window ignores its own broadcast; the others run the command as from a menu,
    // since a control of the leading window means nothing here.
    if (!m_bSynchronized)
        SendMessage(WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
    return 0;
}

LRESULT COneWnd::OnSlideshowEnded(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        COneWndListLock lock(m_block);
        if (COneWndList* list = lock.GetList())
            list->DeleteEndedSlideshow();
    }
    // Its options may have changed the wait this window writes back when it closes.
    m_settings.ReloadSleepTime();
    ShowPicture(static_cast<int>(lParam));
    return 0;
}

LRESULT COneWnd::OnContrastResult(WPARAM wParam, LPARAM)
{
    if (m_pView) {
        m_pView->ReplacePage(reinterpret_cast<HGLOBAL>(wParam));
        m_pView->Invalidate(FALSE);
    } else if (wParam) {
        ::GlobalFree(reinterpret_cast<HGLOBAL>(wParam));
    }
    return 0;
}

void COneWnd::OnSysCommand(UINT nID, LPARAM lParam)
{
    if (nID == ID_PICTURE_CLOSE_ALL) {
        SendMessage(WM_COMMAND, ID_PICTURE_CLOSE_ALL);
        return;
    }
    switch (nID & 0xFFF0) {
    case kSysMenuBar:
        OnViewMenuBar();
        return;
    case kSysToolBar:
        SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
        return;
    case kSysStatusBar:
        SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
        return;
    default:
        VyxFrameWndEx::OnSysCommand(nID, lParam);
        return;
    }
}

void COneWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    s_nActivateState = nState;
    // A Delete pressed here and let go in another window deletes nothing: its Shift must not stay
    // for the next delete from the menu or the tool bar.
    if (nState == WA_INACTIVE)
        m_nDeleteKeyShift = -1;
    VyxFrameWndEx::OnActivate(nState, pWndOther, bMinimized);
}

void COneWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pView)
        Relocate();
    VyxFrameWndEx::OnSetFocus(pOldWnd);
}

void COneWnd::OnKillFocus(CWnd* pNewWnd)
{
    VyxFrameWndEx::OnKillFocus(pNewWnd);
    if (IsOwnerWindow())
        m_pOwner->SendMessage(WMU_LASTPICTUREWND, reinterpret_cast<WPARAM>(this), 0);
}

void COneWnd::OnCloseAll()
{
    if (IsOwnerWindow())
        m_pOwner->PostMessage(WMU_CLOSEPICTUREWND, 0, 0);
}

void COneWnd::OnViewMenuBar()
{
    ShowControlBar(&m_wndMenuBar, !IsBarShown(m_wndMenuBar), FALSE);
    RecalcLayout();
}

void COneWnd::OnSynchronize()
{
    m_bSynchronized = !m_bSynchronized;
}

void COneWnd::OnUpdateSynchronize(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bSynchronized);
}
// ---------------------------------------------------------------- keys and the mouse

BOOL COneWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_SPACE) {
        SendMessage(WM_COMMAND, m_settings.SpaceCommandID, 0);
    } else if (pMsg->wParam == VK_DELETE && (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP)) {
        // The Delete key acts when it is released, with Shift as it was held when the key went
        // down: Shift+Del deletes for good also when Shift is let go first.
        if (pMsg->message == WM_KEYDOWN)
            m_nDeleteKeyShift = DeleteRule::IsShiftHeld();
        else
            SendMessage(WM_COMMAND, ID_PICTURE_DELETE, 0);
        return TRUE;
    }
    return VyxFrameWndEx::PreTranslateMessage(pMsg);
}

void COneWnd::StepOnClick(UINT nCommand)
{
    // The click that activates the window only activates it.
    if (s_nActivateState == WA_ACTIVE)
        SendMessage(WM_COMMAND, nCommand, 0);
    s_nActivateState = WA_ACTIVE;
}

void COneWnd::OnLButtonDown(UINT, CPoint)
{
    if (m_nAutoPlay)
        m_nAutoPlay = 2;
    else
        StepOnClick(m_bSwapped ? ID_PICTURE_NEXT : ID_PICTURE_PREVIOUS);
}

void COneWnd::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    OnLButtonDown(nFlags, point);
}

void COneWnd::OnLButtonUp(UINT, CPoint)
{
    if (m_nAutoPlay == 2)
        m_nAutoPlay = 1;
}

void COneWnd::OnRButtonDown(UINT, CPoint)
{
    if (!m_nAutoPlay)
        StepOnClick(m_bSwapped ? ID_PICTURE_PREVIOUS : ID_PICTURE_NEXT);
}

void COneWnd::OnRButtonDblClk(UINT nFlags, CPoint point)
{
    OnRButtonDown(nFlags, point);
}

BOOL COneWnd::OnMouseWheel(UINT, short zDelta, CPoint)
{
    if (zDelta > 0)
        SendMessage(WM_COMMAND, ID_PICTURE_PREVIOUS, 0);
    else if (zDelta < 0)
        SendMessage(WM_COMMAND, ID_PICTURE_NEXT, 0);
    return TRUE;
}
// ---------------------------------------------------------------- window commands

void COneWnd::SendToOwner(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsOwnerWindow())
        m_pOwner->SendMessage(message, wParam, lParam);
}

void COneWnd::OnClose()
{
    if (m_nAutoPlay)
        StopAutoPlay();
    else
        PostMessage(WM_CLOSE);
}

void COneWnd::OnNextWindow()
{
    SendToOwner(WMU_FOCUSPICTUREWND, reinterpret_cast<WPARAM>(this), 0);
}

void COneWnd::OnPreviousWindow()
{
    SendToOwner(WMU_FOCUSPICTUREWND, reinterpret_cast<WPARAM>(this), 1);
}

void COneWnd::OnMainWindow()
{
    if (IsOwnerWindow())
        m_pOwner->SetFocus();
}

void COneWnd::OnTile()
{
    SendToOwner(WMU_TILEPICTUREWND, reinterpret_cast<WPARAM>(this), static_cast<LPARAM>(m_settings.FitSize));
}

void COneWnd::OnTopMost()
{
    m_bTopMost = !m_bTopMost;
    SetWindowPos(m_bTopMost ? &wndTopMost : &wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void COneWnd::OnUpdateTopMost(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bTopMost ? 1 : 0);
}

void COneWnd::OnFullScreen()
{
    if (Relocate())
        return;
    COneWndListLock lock(m_block);
    COneWndList* list = lock.GetList();
    if (!list)
        return;
    if (VSlideShowDlg* show = list->GetOpenSlideshow()) {
        show->SetIndex(m_nIndex);
        show->SetLocked(FALSE);
        show->Reload();
        return;
    }
    auto* show = new VSlideShowDlg;
    show->SetDocument(m_pDocument);
    show->SetAutoPlay(FALSE);
    show->SetIndex(m_nIndex);
    show->SetSleepTime(m_settings.SleepTime);
    show->SetMonitor(-1);
    list->m_pSlideShow = show;
    if (!show->Create(this)) {
        list->m_pSlideShow = nullptr;
        delete show;
    }
}

void COneWnd::OnUpdateFullScreen(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && !m_bLocked);
}

void COneWnd::OnCustomizeToolBar()
{
    if (m_wndToolBar.GetSafeHwnd())
        m_wndToolBar.GetToolBarCtrl().Customize();
}
