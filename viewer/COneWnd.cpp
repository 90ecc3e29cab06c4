#include "viewer/COneWnd.h"

#include "catalogue/CCommentDlg.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/WatchModeScope.h"
#include "fileops/CMyPrintDialog.h"
#include "fileops/CPrintOutDialog.h"
#include "fileops/FileSaveSettings.h"
#include "fileops/VFileMoveDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/FormatMessageText.h"
#include "foundation/SettingsTable.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "foundation/WindowPlacement.h"
#include "image/DibCore.h"
#include "image/DibFilter.h"
#include "image/DibQuant.h"
#include "image/codecs/SaveDib.h"
#include "res/resource.h"
#include "viewer/CContrastDlg.h"
#include "viewer/COneWndList.h"
#include "viewer/CWallPaperDlg.h"
#include "viewer/FitOptionDlg.h"
#include "viewer/VSlideShowDlg.h"

#include <imm.h>

#include <algorithm>
#include <climits>
#include <memory>

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
const UINT_PTR kAutoPlayTimer = 1;
const UINT kAutoPlayInterval = 55;
// Shift with an arrow scrolls the picture this far.
const int kScrollStep = 100;
const wchar_t kSaveSection[] = L"FileSave";

struct ModeCommand
{
    UINT id;
    int mode;
};

// The fit mode and scale mode each menu command stands for.
const ModeCommand kFitCommands[] = {
    {ID_PICTURE_FIT_ASIS, COnePicture::FitAsIs},       {ID_PICTURE_FIT_FOLLOW, COnePicture::FitWindowFollows},
    {ID_PICTURE_FIT_STRETCH, COnePicture::FitStretch}, {ID_PICTURE_FIT_ASPECT, COnePicture::FitAspect},
    {ID_PICTURE_FIT_WIDTH, COnePicture::FitWidth},     {ID_PICTURE_FIT_HEIGHT, COnePicture::FitHeight}};
const ModeCommand kScaleCommands[] = {{ID_PICTURE_SCALE_DEVICE, COnePicture::ScaleDevice},
                                      {ID_PICTURE_SCALE_NEAREST, COnePicture::ScaleNearest},
                                      {ID_PICTURE_SCALE_BILINEAR, COnePicture::ScaleBilinear},
                                      {ID_PICTURE_SCALE_AVERAGE, COnePicture::ScaleAverage},
                                      {ID_PICTURE_SCALE_AUTO, COnePicture::ScaleAuto}};

template <size_t N> int ModeOf(const ModeCommand (&table)[N], UINT id)
{
    for (const ModeCommand& entry : table)
        if (entry.id == id)
            return entry.mode;
    return -1;
}

BOOL IsBarShown(CControlBar& bar)
{
    return bar.GetSafeHwnd() && (bar.GetStyle() & WS_VISIBLE);
}

// A window that follows its picture grows to the right and down, within the virtual screen and
// the work area common to the monitors at its corners.
void KeepWithinWorkArea(CRect& window)
{
    window.right = std::max<LONG>(window.right, window.left + 2 * ::GetSystemMetrics(SM_CXFRAME));
    window.bottom = std::max<LONG>(window.bottom, window.top + 2 * ::GetSystemMetrics(SM_CYFRAME));
    const int screenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int screenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    window.left = std::max<LONG>(window.left, screenLeft);
    window.top = std::max<LONG>(window.top, screenTop);
    window.right = std::min<LONG>(window.right, screenLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1);
    window.bottom = std::min<LONG>(window.bottom, screenTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
    RECT work;
    GetCommonWorkArea(work, window.left, window.top, window.right, window.bottom);
    window.right = std::min(window.right, work.right);
    window.bottom = std::min(window.bottom, work.bottom);
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
    m_block.Create(L"COneWndList", 4);
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

CString COneWnd::FormatWindowText(const CString& title, BOOL bLocked, int nIndex, int nCount, int nPage, int nPages)
{
    CString text;
    if (bLocked)
        text.Format(L"**locked** %s", title.GetString());
    else
        text.Format(L"%s (%d/%d)", title.GetString(), nIndex + 1, nCount);
    if (nPages > 1) {
        CString pages;
        pages.Format(L" [%d/%d]", nPage + 1, nPages);
        text += pages;
    }
    return text;
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
        !m_wndReBar.AddBar(&m_wndToolBar, nullptr, nullptr, RBBS_CHILDEDGE, L"Toolbar", FALSE, TRUE))
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

// ---------------------------------------------------------------- showing a file

VyxFile* COneWnd::ShowPicture(int nIndex)
{
    if (nIndex < 0)
        nIndex = m_nIndex;
    VyxFile* item = m_pDocument ? m_pDocument->GetItem(nIndex) : nullptr;
    if (!item)
        return nullptr;
    m_nIndex = nIndex;
    m_bLocked = FALSE;
    if (m_pView) {
        m_pView->SetDisplaySettings(m_settings);
        m_pView->SetAngle(m_nAngle);
        m_pView->GetPicture().SetFollowRoom(GetFollowRoom());
        m_pView->SetPicture(item);
        FollowPicture();
        // Only the view shows the picture: the frame itself invalidated would have every bar
        // drawn again with it, for nothing.
        m_pView->Invalidate(FALSE);
    }
    // The view's own copy of the item has the picture's facts once it is loaded.
    UpdateTitle(m_pView && m_pView->GetItem() ? m_pView->GetItem() : item);
    COneWndListLock lock(m_block);
    COneWndList* list = lock.GetList();
    if (VSlideShowDlg* show = list ? list->m_pSlideShow : nullptr) {
        show->UpdatePositionBar();
        show->SetLocked(FALSE);
        show->SetIndex(nIndex);
        show->Reload();
    }
    return item;
}

BOOL COneWnd::Relocate()
{
    VyxFile* item = m_pView ? m_pView->GetItem() : nullptr;
    if (!item || !m_pDocument)
        return TRUE;
    m_nIndex = m_pDocument->FindItem(item->GetPath(), item->GetArchivePath(), m_nIndex - 1);
    const BOOL locked = m_nIndex < 0;
    if (locked != m_bLocked) {
        m_bLocked = locked;
        UpdateTitle(nullptr);
        COneWndListLock lock(m_block);
        COneWndList* list = lock.GetList();
        if (VSlideShowDlg* show = list ? list->m_pSlideShow : nullptr)
            show->SetLocked(locked);
    }
    return m_bLocked;
}

void COneWnd::UpdateSizePanes()
{
    if (!m_wndStatusBar.GetSafeHwnd())
        return;
    CSize size = m_pView ? m_pView->GetDisplaySize() : CSize(0, 0);
    const double percent = m_pView ? m_pView->GetShownZoom() * 100 : 0;
    CString text;
    text.Format(L"%ldx%ld", size.cx, size.cy);
    m_wndStatusBar.SetPaneText(0, text);
    // A zoom grown past every bound still reads as a number.
    text.Format(L"%d%%", percent >= INT_MAX ? INT_MAX : percent > INT_MIN ? static_cast<int>(percent) : INT_MIN);
    m_wndStatusBar.SetPaneText(1, text);
}

void COneWnd::RecalcLayout(BOOL bNotify)
{
    VyxFrameWndEx::RecalcLayout(bNotify);
    // The bars may have taken another height at the window's new width: a picture fitted into
    // the room the window can grow to is fitted again into the room as it is now.
    if (m_pView && m_settings.FitSize == COnePicture::FitWindowFollows) {
        COnePicture& picture = m_pView->GetPicture();
        const CSize room = GetFollowRoom();
        if (room != picture.GetFollowRoom()) {
            picture.SetFollowRoom(room);
            const CSize before = m_pView->GetDisplaySize();
            picture.Refit();
            if (m_pView->GetDisplaySize() != before)
                FollowPicture();
        }
    }
    // The view has been given its new size and has fitted the picture to it (maximised, tiled,
    // a bar shown or hidden): the panes tell the new size and zoom.
    if (m_pView)
        UpdateSizePanes();
}

void COneWnd::UpdateTitle(const VyxFile* item)
{
    UpdateSizePanes();
    if (item && m_wndStatusBar.GetSafeHwnd()) {
        CString info = item->GetInfoText();
        m_wndStatusBar.SetPaneText(2, info.IsEmpty() ? item->GetNote() : info);
    }
    if (item)
        m_strTitle = item->ExpandMacros(m_strTitleFormat);
    const int count = m_pDocument ? m_pDocument->GetItemCount() : 0;
    const int page = m_pView ? m_pView->GetCurrentPage() : 0;
    const int pages = m_pView ? m_pView->GetKnownPageCount() : 0;
    if (m_hWnd)
        SetWindowText(FormatWindowText(m_strTitle, m_bLocked, m_nIndex, count, page, pages));
}

void COneWnd::FitWindowToPicture(int width, int height, BOOL bRepaint)
{
    if (!m_hWnd || !m_pView || IsZoomed())
        return;
    // The bars may wrap to another height at the new width: the view is measured again.
    for (int pass = 0; pass < 3; ++pass) {
        CRect window, client;
        GetWindowRect(&window);
        m_pView->GetClientRect(&client);
        if (client.Width() == width && client.Height() == height)
            return;
        window.right += width - client.Width();
        window.bottom += height - client.Height();
        KeepWithinWorkArea(window);
        CRect before;
        GetWindowRect(&before);
        if (before == window)
            return;
        MoveWindow(&window, bRepaint);
    }
}

CSize COneWnd::GetFollowRoom()
{
    if (!m_hWnd || !m_pView || IsZoomed())
        return CSize(0, 0);
    CRect window, client;
    GetWindowRect(&window);
    m_pView->GetClientRect(&client);
    CRect grown(window.TopLeft(), CSize(SHRT_MAX, SHRT_MAX));
    KeepWithinWorkArea(grown);
    return grown.Size() - (window.Size() - client.Size());
}

void COneWnd::FollowPicture()
{
    if (m_pView && m_settings.FitSize == COnePicture::FitWindowFollows) {
        CSize size = m_pView->GetDisplaySize();
        FitWindowToPicture(size.cx, size.cy, TRUE);
    }
}

// ---------------------------------------------------------------- messages and commands

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

// ---------------------------------------------------------------- command helpers

double COneWnd::ZoomInValue(const VyxVariantArray& steps, int& nStep, double viewZoom)
{
    const int count = steps.GetCount();
    if (nStep + 1 >= count)
        return viewZoom * 2;
    if (nStep == 0 && steps[0].GetDouble() > viewZoom * 2)
        return viewZoom * 2;
    return steps[++nStep].GetDouble();
}

double COneWnd::ZoomOutValue(const VyxVariantArray& steps, int& nStep, double viewZoom)
{
    const int count = steps.GetCount();
    if (nStep < 1 || nStep >= count)
        return viewZoom * 0.5;
    if (nStep == count - 1 && viewZoom * 0.5 > steps[count - 1].GetDouble())
        return viewZoom * 0.5;
    return steps[--nStep].GetDouble();
}

int COneWnd::StepTarget(int nIndex, int nCount, BOOL bRepeat)
{
    if (nIndex < 0)
        return bRepeat ? nCount - 1 : 0;
    if (nIndex >= nCount)
        return bRepeat ? 0 : nCount - 1;
    return nIndex;
}

int COneWnd::GetFileCount() const
{
    return m_pDocument ? m_pDocument->GetItemCount() : 0;
}

void COneWnd::SendToOwner(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsOwnerWindow())
        m_pOwner->SendMessage(message, wParam, lParam);
}

void COneWnd::Announce(LPARAM lHint, const void* pObject)
{
    if (m_pDocument)
        m_pDocument->UpdateAllViews(nullptr, lHint, reinterpret_cast<CObject*>(const_cast<void*>(pObject)));
}

void COneWnd::ApplyZoom(double zoom)
{
    if (!m_pView)
        return;
    m_pView->SetZoom(zoom);
    if (m_settings.FitSize != COnePicture::FitWindowFollows)
        m_settings.FitSize = COnePicture::FitAsIs;
    ShowPicture(-1);
}

void COneWnd::ReplaceDisplayedPage(HGLOBAL dib)
{
    if (!dib || !m_pView)
        return;
    m_pView->ReplacePage(dib);
    m_pView->Invalidate(FALSE);
    UpdateTitle(nullptr);
}

void COneWnd::ShowStep(int nIndex, BOOL bFromCurrent)
{
    // The index the step starts from is the one the file has after following the document.
    if (GetFileCount() <= 0 || Relocate())
        return;
    ShowPicture(StepTarget(bFromCurrent ? m_nIndex + nIndex : nIndex, GetFileCount(), m_settings.Repeat));
}

// ---------------------------------------------------------------- keys and the mouse

BOOL COneWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_SPACE) {
        SendMessage(WM_COMMAND, m_settings.SpaceCommandID, 0);
    } else if (pMsg->wParam == VK_DELETE && (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP)) {
        // The Delete key acts when it is released.
        if (pMsg->message == WM_KEYUP)
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

void COneWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kAutoPlayTimer || m_nAutoPlay != 1) {
        VyxFrameWndEx::OnTimer(nIDEvent);
        return;
    }
    const DWORD now = ::GetTickCount();
    if (static_cast<long long>(now - m_dwAutoPlayStart) < m_settings.SleepTime)
        return;
    OnNext();
    if (m_bLocked)
        StopAutoPlay();
    m_dwAutoPlayStart = ::GetTickCount();
}

void COneWnd::StopAutoPlay()
{
    if (m_nAutoPlayTimer && m_hWnd)
        KillTimer(m_nAutoPlayTimer);
    m_nAutoPlayTimer = 0;
    m_nAutoPlay = 0;
}

// ---------------------------------------------------------------- update rules

void COneWnd::OnUpdateAutoPlayOff(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0);
}

void COneWnd::OnUpdateDisplayedPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && GetDisplayedPage());
}

void COneWnd::OnUpdateFileMove(CCmdUI* pCmdUI)
{
    const VyxFile* item = GetShownItem();
    pCmdUI->Enable(m_nAutoPlay == 0 && item && !item->IsArchiveMember());
}

void COneWnd::OnUpdateFilePrint(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && GetDisplayedPage() && !m_bLocked);
}

void COneWnd::OnUpdateZoom(CCmdUI* pCmdUI)
{
    const int fit = m_settings.FitSize;
    const bool fitted = fit == COnePicture::FitStretch || fit == COnePicture::FitWidth || fit == COnePicture::FitHeight;
    pCmdUI->Enable(m_nAutoPlay == 0 && !fitted && GetDisplayedPage());
}

void COneWnd::OnUpdateReduce(CCmdUI* pCmdUI)
{
    HGLOBAL page = GetDisplayedPage();
    pCmdUI->Enable(m_nAutoPlay == 0 && page && GetDibBitCount(page) == 24);
}

void COneWnd::OnUpdateSelect(CCmdUI* pCmdUI)
{
    const VyxFile* item = GetShownItem();
    pCmdUI->SetCheck(item && item->TestFlags(VyxFilexDraw::FlagSelected) ? 1 : 0);
    pCmdUI->Enable(m_nAutoPlay == 0 && !m_bLocked);
}

void COneWnd::OnUpdateBackward(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nIndex > 0 && GetFileCount() > 0 && !m_bLocked);
}

void COneWnd::OnUpdateForward(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nIndex + 1 < GetFileCount() && !m_bLocked);
}

void COneWnd::OnUpdateAutoPlay(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_nAutoPlay != 0 ? 1 : 0);
    pCmdUI->Enable(GetFileCount() > 0 && !m_bLocked);
}

void COneWnd::OnUpdatePage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && !m_bLocked && GetDisplayedPage());
}

void COneWnd::OnUpdateFitMode(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(ModeOf(kFitCommands, pCmdUI->m_nID) == m_settings.FitSize ? 1 : 0);
}

void COneWnd::OnUpdateScaleMode(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(ModeOf(kScaleCommands, pCmdUI->m_nID) == m_settings.ScaleMode ? 1 : 0);
}

void COneWnd::OnUpdateRepeat(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_settings.Repeat ? 1 : 0);
}

void COneWnd::OnUpdateTopMost(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bTopMost ? 1 : 0);
}

void COneWnd::OnUpdateFullScreen(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && !m_bLocked);
}

// ---------------------------------------------------------------- file commands

void COneWnd::OnFileCopy()
{
    TransferShownFile(FALSE);
}

void COneWnd::OnFileMove()
{
    TransferShownFile(TRUE);
}

void COneWnd::TransferShownFile(BOOL bMove)
{
    const BOOL locked = Relocate();
    VyxFile* shown = GetShownItem();
    if (!shown || !m_pDocument || !PathExists(shown->GetPath(), 0))
        return;
    // The document's item holds the note as last written (the view's copy may hold an older one,
    // which the job would carry and lose the newer); the view may load another file while the
    // dialog and the job pump messages.
    VyxFile* current = locked ? nullptr : m_pDocument->GetItem(m_nIndex);
    VyxFile item(current ? *current : *shown);
    // Either may also see this window closed: nothing of it is touched after that.
    bool deleted = false;
    m_pDeleted = &deleted;
    std::unique_ptr<VFileCopyDlg> dialog(bMove ? new VFileMoveDlg(this) : new VFileCopyDlg(this));
    dialog->m_initialFolder = m_pDocument->GetFolderPath();
    LRESULT transferred = 0;
    bool sent = false;
    if (dialog->DoModal() == IDOK && !deleted && dialog->MakeDestination() && !deleted) {
        auto* job = new VyxFileTransfer;
        job->SetDestination(dialog->m_destination);
        job->SetExistingOnly(dialog->GetExistingOnly());
        job->SetSameNameMode(dialog->GetSameNameMode());
        job->SetMoveMode(bMove);
        job->AddItem(&item, 0);
        sent = true;
        transferred = VyxFileTransfer::Send(AfxGetMainWnd(), job);
    }
    if (deleted)
        return;
    m_pDeleted = nullptr;
    // The job's progress window was the main window's, which it left active: the user goes on here.
    if (sent)
        SetForegroundWindow();
    if (!bMove || transferred <= 0)
        return;
    // The document's list may have changed while the job ran: the item is looked up again.
    Relocate();
    ForgetShownFile(item, TRUE);
}

void COneWnd::ForgetShownFile(VyxFile& item, BOOL bRemovedFirst)
{
    item.DeleteNote();
    if (m_bLocked) {
        DestroyWindow();
        return;
    }
    // Hearing of the removal may close this window: only locals are used from here on.
    CKWDoc* doc = m_pDocument;
    const int index = m_nIndex;
    doc->RemoveItem(index);
    CString folder = item.IsFolder() ? doc->GetFolderPath() : CString();
    auto* removed = reinterpret_cast<CObject*>(static_cast<INT_PTR>(index));
    if (bRemovedFirst)
        doc->UpdateAllViews(nullptr, CKWDoc::HintRemoved, removed);
    if (item.IsFolder())
        doc->UpdateAllViews(nullptr, CKWDoc::HintFolderChanged,
                            reinterpret_cast<CObject*>(const_cast<wchar_t*>(folder.GetString())));
    else
        doc->UpdateAllViews(nullptr, CKWDoc::HintRedraw, nullptr);
    if (!bRemovedFirst)
        doc->UpdateAllViews(nullptr, CKWDoc::HintRemoved, removed);
}

void COneWnd::OnFileDelete()
{
    Relocate();
    VyxFile* shown = GetShownItem();
    if (!shown || !m_pDocument)
        return;
    VyxFile item(*shown);
    bool deleted = false;
    {
        WatchModeScope watch(dynamic_cast<FolderWatchHost*>(m_pOwner));
        const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (m_pDocument->TrashCan && !shift) {
            WORD flags = FOF_ALLOWUNDO;
            if (m_pDocument->DELQA)
                flags |= FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
            deleted = ShellDeleteFile(item.GetPath(), m_hWnd, flags) &&
                      ::GetFileAttributesW(item.GetPath()) == INVALID_FILE_ATTRIBUTES;
        } else {
            const bool asked = !m_pDocument->DELQA;
            if (!asked || AfxMessageBox(FormatMessageText(0x4000000A), MB_YESNO | MB_ICONQUESTION) == IDYES)
                deleted = DeleteFiles(item.GetPath());
            SetFocus();
        }
    }
    if (deleted)
        ForgetShownFile(item, FALSE);
}

void COneWnd::OnFileSave()
{
    Relocate();
    VyxFile* item = GetShownItem();
    if (!item)
        return;
    CString folder, title;
    GetPathPart(folder, item->GetPath(), PartFolder);
    GetPathPart(title, item->GetPath(), PartName);
    CFileDialog dialog(FALSE, L"bmp", title, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"BMP形式 files(*.bmp)|*.bmp|JPEG形式 files(*.jpg)|*.jpg|PNG形式 files(*.png)|*.png|"
                       L"TIF形式 files(*.tif)|*.tif|GIF形式 files(*.gif)|*.gif||",
                       this);
    dialog.m_ofn.lpstrTitle = L"ファイルの保存";
    dialog.m_ofn.lpstrInitialDir = folder;
    dialog.m_ofn.nFilterIndex = static_cast<DWORD>(GetAppIniInt(kSaveSection, L"FilterIndex", 0));
    if (dialog.DoModal() != IDOK)
        return;
    const int filter = static_cast<int>(dialog.m_ofn.nFilterIndex);
    WriteAppIniInt(kSaveSection, L"FilterIndex", filter);
    if (!SaveDisplayedPage(dialog.GetPathName(), filter))
        AfxMessageBox(L"ファイルの保存に失敗しました", MB_OK | MB_ICONEXCLAMATION);
}

void COneWnd::OnFilePrint()
{
    if (Relocate())
        return;
    VyxFile* item = GetShownItem();
    if (!item)
        return;
    CMyPrintDialog setup(TRUE, PD_NOSELECTION | PD_HIDEPRINTTOFILE, this);
    if (setup.DoModal() != IDOK)
        return;
    CDC printer;
    if (!printer.Attach(setup.CreatePrinterDC()))
        return;
    int result = 0;
    {
        // The job prints the page as shown and leaves it to the window.
        CPrintOutDialog job(this);
        job.AddItem(item);
        job.SetImage(GetDisplayedPage());
        job.Create(this);
        result = job.Print(&printer, setup.m_definitionFile);
        job.DestroyWindow();
    }
    printer.DeleteDC();
    if (result) {
        CString text;
        text.LoadString(static_cast<UINT>(result));
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    }
}

BOOL COneWnd::SaveDisplayedPage(const wchar_t* path, int nFilterIndex)
{
    HGLOBAL page = GetDisplayedPage();
    if (!page || !path || !*path || nFilterIndex < 1 || nFilterIndex > 5)
        return FALSE;
    // The picture may be the very file it is saved over: it is written whole beside it first.
    CString folder;
    GetPathPart(folder, path, PartFolder);
    wchar_t temp[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder.IsEmpty() ? L"." : folder.GetString(), L"vyx", 0, temp))
        return FALSE;
    int result = -1;
    switch (nFilterIndex) {
    case 1:
        result = SaveDibAsBmp(temp, page);
        break;
    case 2:
        result = SaveDibAsJpeg(temp, page, SettingsTable::ReadOne(&FileSaveSettings::JpegQuality),
                               SettingsTable::ReadOne(&FileSaveSettings::JpegProgressive), 0);
        break;
    case 3:
        result = SaveDibAsPng(temp, page, 8);
        break;
    case 4:
        result = SaveDibAsTiff(temp, page, 1);
        break;
    default:
        result = SaveDibAsGif(temp, page, 0);
        break;
    }
    if (result == 0 && ::MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    ::DeleteFileW(temp);
    return FALSE;
}

// ---------------------------------------------------------------- picture commands

double COneWnd::TakeShownZoom(int& nStep) const
{
    const double shown = m_pView->GetShownZoom();
    if (shown == m_pView->GetZoom())
        return shown;
    // A picture shown smaller than asked (too large for a display copy at that zoom) zooms on
    // from what is on screen: the step is the last one at or below it.
    nStep = 0;
    for (int i = 0; i < m_zoomSteps.GetCount(); ++i)
        if (m_zoomSteps[i].GetDouble() <= shown)
            nStep = i;
    return shown;
}

void COneWnd::OnZoomIn()
{
    if (!m_pView)
        return;
    int step = m_nZoomStep;
    const double zoom = ZoomInValue(m_zoomSteps, step, TakeShownZoom(step));
    // Past the largest display copy the picture stays as it is.
    if (!m_pView->GetPicture().IsZoomAllowed(zoom))
        return;
    m_nZoomStep = step;
    ApplyZoom(zoom);
}

void COneWnd::OnZoomOut()
{
    if (!m_pView)
        return;
    const double zoom = ZoomOutValue(m_zoomSteps, m_nZoomStep, TakeShownZoom(m_nZoomStep));
    ApplyZoom(zoom);
}

void COneWnd::OnZoomOriginal()
{
    m_nZoomStep = m_nHundredStep;
    ApplyZoom(m_zoomSteps.GetCount() > m_nHundredStep ? m_zoomSteps[m_nHundredStep].GetDouble() : 1.0);
}

void COneWnd::OnRotateLeft()
{
    m_nAngle = COnePicture::TurnAngle(m_nAngle, -m_settings.AngleUnit);
    ShowPicture(-1);
}

void COneWnd::OnRotateRight()
{
    m_nAngle = COnePicture::TurnAngle(m_nAngle, m_settings.AngleUnit);
    ShowPicture(-1);
}

void COneWnd::OnFlip(UINT nID)
{
    // The display copy may be the source page itself: the mirror is made on a copy.
    HGLOBAL copy = CopyGlobal(GetDisplayedPage());
    if (copy)
        FlipDib(copy, nID == ID_PICTURE_FLIP_VERTICAL ? 0 : 1);
    ReplaceDisplayedPage(copy);
}

void COneWnd::OnWallpaper()
{
    HGLOBAL page = GetDisplayedPage();
    if (!page)
        return;
    CWallPaperDlg dialog(this);
    dialog.SetSource(page);
    dialog.DoModal();
}

void COneWnd::OnClipboard()
{
    CopyDibToClipboard(GetDisplayedPage());
}

void COneWnd::OnComment()
{
    const BOOL locked = Relocate();
    VyxFile* shown = GetShownItem();
    if (!shown)
        return;
    // The document's own item, while it is there, so its note is the one the views show.
    VyxFile* item = !locked && m_pDocument ? m_pDocument->GetItem(m_nIndex) : nullptr;
    CCommentDlg dialog(item ? item : shown, this);
    if (dialog.DoModal() != IDOK)
        return;
    if (item)
        shown->SetNoteText(item->GetNote());
    if (locked) {
        UpdateTitle(shown);
        return;
    }
    Announce(CKWDoc::HintItemChanged, reinterpret_cast<const void*>(static_cast<INT_PTR>(m_nIndex)));
    // A view that heard of the change may have shown the file again, with a new item.
    UpdateTitle(GetShownItem());
}

void COneWnd::OnSelect()
{
    if (Relocate() || !m_pDocument)
        return;
    VyxFile* item = m_pDocument->GetItem(m_nIndex);
    if (!item)
        return;
    const bool select = !item->TestFlags(VyxFilexDraw::FlagSelected);
    m_pDocument->SelectItem(m_nIndex, select, nullptr);
    if (VyxFile* shown = GetShownItem()) {
        if (select)
            shown->SetFlags(VyxFilexDraw::FlagSelected);
        else
            shown->ClearFlags(VyxFilexDraw::FlagSelected);
    }
}

void COneWnd::OnUnsharp()
{
    HGLOBAL page = GetDisplayedPage();
    HGLOBAL sharpened = page ? UnsharpMaskDib(page, 0.3) : nullptr;
    ReplaceDisplayedPage(sharpened != page ? sharpened : nullptr);
}

void COneWnd::OnReduce()
{
    HGLOBAL page = GetDisplayedPage();
    if (!page)
        return;
    HCURSOR previous = ::SetCursor(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_WAIT_CURSOR)));
    // The progress window is this window's, so this window is the active one when it closes.
    HGLOBAL reduced = ReduceDibTo256Colors(page, FALSE, this);
    ReplaceDisplayedPage(reduced != page ? reduced : nullptr);
    ::SetCursor(previous);
}

void COneWnd::OnGray()
{
    HGLOBAL page = GetDisplayedPage();
    HGLOBAL grey = page ? ConvertDibToGray(page) : nullptr;
    ReplaceDisplayedPage(grey != page ? grey : nullptr);
}

void COneWnd::OnContrast()
{
    HGLOBAL page = GetDisplayedPage();
    if (!page)
        return;
    CContrastDlg dialog(this);
    dialog.SetSource(page);
    if (dialog.DoModal() == IDOK && m_pView)
        m_pView->Invalidate(FALSE);
}

// ---------------------------------------------------------------- view commands

void COneWnd::OnFirst()
{
    ShowStep(0, FALSE);
}

void COneWnd::OnPrevious()
{
    ShowStep(-1, TRUE);
}

void COneWnd::OnNext()
{
    ShowStep(1, TRUE);
}

void COneWnd::OnLast()
{
    ShowStep(GetFileCount() - 1, FALSE);
}

void COneWnd::OnAutoPlay()
{
    if (GetFileCount() <= 0)
        return;
    if (Relocate() || m_nAutoPlay) {
        StopAutoPlay();
        return;
    }
    m_nAutoPlay = 1;
    m_nAutoPlayTimer = SetTimer(kAutoPlayTimer, kAutoPlayInterval, nullptr);
    m_dwAutoPlayStart = ::GetTickCount();
}

void COneWnd::OnPage(UINT nID)
{
    if (Relocate() || !m_pView)
        return;
    if (nID == ID_PICTURE_NEXT_PAGE)
        m_pView->NextPage();
    else
        m_pView->PrevPage();
    // The stepped page stays: the file is not read again.
    m_pView->Invalidate(FALSE);
    UpdateTitle(nullptr);
}

void COneWnd::OnCustomizeToolBar()
{
    if (m_wndToolBar.GetSafeHwnd())
        m_wndToolBar.GetToolBarCtrl().Customize();
}

void COneWnd::OnScroll(UINT nID)
{
    if (!m_pView)
        return;
    switch (nID) {
    case ID_PICTURE_SCROLL_LEFT:
        m_pView->Scroll(kScrollStep, 0);
        break;
    case ID_PICTURE_SCROLL_RIGHT:
        m_pView->Scroll(-kScrollStep, 0);
        break;
    case ID_PICTURE_SCROLL_UP:
        m_pView->Scroll(0, kScrollStep);
        break;
    default:
        m_pView->Scroll(0, -kScrollStep);
        break;
    }
    m_pView->Invalidate(FALSE);
}

// ---------------------------------------------------------------- option commands

void COneWnd::OnOptions()
{
    FitOptionDlg dialog(this);
    dialog.m_pSettings = &m_settings;
    if (dialog.DoModal() == IDOK)
        ShowPicture(-1);
}

void COneWnd::OnFitMode(UINT nID)
{
    m_settings.FitSize = ModeOf(kFitCommands, nID);
    ShowPicture(-1);
}

void COneWnd::OnScaleMode(UINT nID)
{
    m_settings.ScaleMode = ModeOf(kScaleCommands, nID);
    ShowPicture(-1);
}

void COneWnd::OnRepeat()
{
    m_settings.Repeat = !m_settings.Repeat;
}

// ---------------------------------------------------------------- window commands

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
