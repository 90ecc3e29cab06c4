#include "browser/VyxDriveBar.h"

#include "browser/ShellImageList.h"
#include "catalogue/FrameMessages.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

// Posted by the look-up thread to the bar, with the build count it looked up for.
const UINT kDriveDetailsMessage = WM_APP + 0x40;

} // namespace

UINT VyxDriveBar::s_rebuildDelay = 1500;

BEGIN_MESSAGE_MAP(VyxDriveBar, CDialogBar)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_DEVICECHANGE()
ON_WM_TIMER()
ON_REGISTERED_MESSAGE(WM_DRIVE_SELECTED, OnDriveSelected)
ON_WM_DESTROY()
ON_MESSAGE(kDriveDetailsMessage, OnDriveDetails)
END_MESSAGE_MAP()

VyxDriveBar::VyxDriveBar() {}

VyxDriveBar::~VyxDriveBar()
{
    EndDetails();
    delete m_pDriveButtons;
}

void VyxDriveBar::OnDestroy()
{
    EndDetails();
    CDialogBar::OnDestroy();
}

// Waits for a look-up under way and drops what no button took.
void VyxDriveBar::EndDetails()
{
    if (m_detailsThread.joinable())
        m_detailsThread.join();
    std::lock_guard<std::mutex> hold(m_detailsLock);
    for (DriveDetails& details : m_details) {
        if (details.icon)
            ::DestroyIcon(details.icon);
    }
    m_details.clear();
}

void VyxDriveBar::StartDetails(DWORD drives)
{
    EndDetails();
    HIMAGELIST list = m_pImageList ? static_cast<HIMAGELIST>(m_pImageList->GetSafeHandle()) : nullptr;
    m_detailsThread = std::thread(&VyxDriveBar::LookUpDetails, GetSafeHwnd(), m_nBuildCount, drives, list, &m_details,
                                  &m_detailsLock);
}

void VyxDriveBar::LookUpDetails(HWND bar, int build, DWORD drives, HIMAGELIST list, std::vector<DriveDetails>* out,
                                std::mutex* lock)
{
    // The shell's look-ups want COM on the thread that makes them.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!list)
        list = GetShellImageList(TRUE);
    std::vector<DriveDetails> found;
    for (int drive = 0; drive < 26; ++drive) {
        if (!(drives & (1u << drive)))
            continue;
        const CString root = CXDriveBar::GetRootPath(drive);
        SHFILEINFOW info = {};
        HICON icon = nullptr;
        if (list && ::SHGetFileInfoW(root, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
            icon = ::ImageList_GetIcon(list, info.iIcon, ILD_NORMAL);
        found.push_back(DriveDetails{drive, CXDriveBar::GetDisplayName(root), icon});
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    {
        std::lock_guard<std::mutex> hold(*lock);
        out->swap(found);
    }
    ::PostMessageW(bar, kDriveDetailsMessage, static_cast<WPARAM>(build), 0);
}

LRESULT VyxDriveBar::OnDriveDetails(WPARAM wParam, LPARAM)
{
    // A look-up for buttons since replaced was waited for, and its details dropped, before the
    // new buttons' look-up began: what the lock holds now is the new one's.
    if (static_cast<int>(wParam) != m_nBuildCount || !m_pDriveButtons)
        return 0;
    std::vector<DriveDetails> details;
    {
        std::lock_guard<std::mutex> hold(m_detailsLock);
        details.swap(m_details);
    }
    for (DriveDetails& drive : details)
        m_pDriveButtons->SetDriveDetails(drive.drive, drive.name, drive.icon);
    m_nDetailedBuild = m_nBuildCount;
    return 0;
}

int VyxDriveBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialogBar::OnCreate(lpCreateStruct) == -1)
        return -1;
    LOGFONTW font = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = 12;
    font.lfWeight = 800;
    m_font.CreateFontIndirect(&font);
    BuildDriveButtons(CRect(0, 0, lpCreateStruct->cx, lpCreateStruct->cy));
    return 0;
}

BOOL VyxDriveBar::BuildDriveButtons(const CRect& rect)
{
    EndDetails();
    if (m_pDriveButtons) {
        m_pDriveButtons->DestroyWindow();
        delete m_pDriveButtons;
        m_pDriveButtons = nullptr;
    }
    auto* buttons = new CXDriveBar;
    buttons->SetImageList(m_pImageList);
    LPCWSTR className = AfxRegisterWndClass(CS_PARENTDC);
    if (!buttons->Create(className, L"VyxDriveBar", WS_CHILD | WS_VISIBLE, rect, this, AFX_IDW_PANE_FIRST)) {
        delete buttons;
        return FALSE;
    }
    buttons->SetButtonFont(&m_font);
    // Themed faces only where the window's other buttons have them too: with the plain common
    // controls (under Wine, for one) a themed face would be the only one, a blue frame round the
    // current drive among flat buttons.
    buttons->SetThemeHelper(CThemeHelperST::CommonControlsThemed() ? &m_theme : nullptr);
    buttons->CreateDriveButtons(FALSE);
    m_pDriveButtons = buttons;
    ++m_nBuildCount;
    StartDetails(::GetLogicalDrives());
    return TRUE;
}

void VyxDriveBar::OnSize(UINT nType, int cx, int cy)
{
    CDialogBar::OnSize(nType, cx, cy);
    if (m_pDriveButtons && m_pDriveButtons->GetSafeHwnd())
        m_pDriveButtons->MoveWindow(0, 0, cx, cy);
}

BOOL VyxDriveBar::OnDeviceChange(UINT, DWORD_PTR)
{
    // A burst of device changes gives one rebuild: each restarts the delay.
    SetTimer(RebuildTimer, s_rebuildDelay, nullptr);
    return TRUE;
}

void VyxDriveBar::OnTimer(UINT_PTR nIDEvent)
{
    KillTimer(nIDEvent);
    if (nIDEvent != RebuildTimer)
        return;
    CRect client;
    GetClientRect(&client);
    BuildDriveButtons(client);
}

LRESULT VyxDriveBar::OnDriveSelected(WPARAM wParam, LPARAM)
{
    if (CWnd* frame = GetTopLevelParent())
        frame->SendMessage(WMU_UPDATEALLVIEWS, HintDriveChosen, static_cast<LPARAM>(wParam));
    return 0;
}
