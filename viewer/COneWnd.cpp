#include "viewer/COneWnd.h"

#include "browser/FrameMessages.h"
#include "catalogue/CKWDoc.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxSystem.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"
#include "viewer/COneWndList.h"
#include "viewer/VSlideShowDlg.h"

#include <imm.h>

#include <algorithm>
#include <climits>

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
END_MESSAGE_MAP()

COneWnd::COneWnd()
{
    CString defaultTitle;
    defaultTitle.Format(L"%s %sx%s %sb %s", L"$(FileName)", L"$(Width)", L"$(Height)", L"$(Color)", L"$(Length)");
    GetAppIniString(m_strTitleFormat, kSection, L"TitleFormat", defaultTitle);
    m_bTopMost = GetAppIniInt(kSection, L"TopMost", 1);
    m_settings.Load();
    CString steps;
    GetAppIniString(steps, kViewSection, L"ZoomSteps", kDefaultZoomSteps);
    ParseZoomSteps(steps, m_zoomSteps, m_nHundredStep);
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
    SaveWindowPlacement(m_hWnd, kSection);
    WriteAppIniInt(kSection, L"StatusBar", IsBarShown(m_wndStatusBar));
    WriteAppIniInt(kSection, L"MenuBar", IsBarShown(m_wndMenuBar));
    WriteAppIniInt(kSection, L"ToolBar", IsBarShown(m_wndToolBar));
    WriteAppIniString(kSection, L"TitleFormat", m_strTitleFormat);
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
    LeaveList();
    return VyxFrameWndEx::DestroyWindow();
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
        m_pView->SetPicture(item);
        FollowPicture();
        m_pView->Invalidate(FALSE);
    }
    Invalidate();
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

void COneWnd::UpdateTitle(const VyxFile* item)
{
    CSize size = m_pView ? m_pView->GetDisplaySize() : CSize(0, 0);
    const double percent = m_pView ? m_pView->GetZoom() * 100 : 0;
    if (m_wndStatusBar.GetSafeHwnd()) {
        CString text;
        text.Format(L"%ldx%ld", size.cx, size.cy);
        m_wndStatusBar.SetPaneText(0, text);
        // A zoom grown past every bound still reads as a number.
        text.Format(L"%d%%", percent >= INT_MAX ? INT_MAX : percent > INT_MIN ? static_cast<int>(percent) : INT_MIN);
        m_wndStatusBar.SetPaneText(1, text);
        if (item) {
            CString info = item->GetInfoText();
            m_wndStatusBar.SetPaneText(2, info.IsEmpty() ? item->GetNote() : info);
        }
    }
    if (item)
        m_strTitle = item->ExpandMacros(m_strTitleFormat);
    const int count = m_pDocument ? m_pDocument->GetItemCount() : 0;
    const int page = m_pView ? m_pView->GetCurrentPage() : 0;
    const int pages = m_pView ? m_pView->GetPageCount() : 0;
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
        CRect before;
        GetWindowRect(&before);
        if (before == window)
            return;
        MoveWindow(&window, bRepaint);
    }
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
        if (COneWndList* list = lock.GetList()) {
            delete list->m_pSlideShow;
            list->m_pSlideShow = nullptr;
        }
    }
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
