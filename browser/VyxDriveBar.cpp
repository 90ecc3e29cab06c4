#include "browser/VyxDriveBar.h"

#include "catalogue/FrameMessages.h"

UINT VyxDriveBar::s_rebuildDelay = 1500;

BEGIN_MESSAGE_MAP(VyxDriveBar, CDialogBar)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_DEVICECHANGE()
ON_WM_TIMER()
ON_REGISTERED_MESSAGE(WM_DRIVE_SELECTED, OnDriveSelected)
END_MESSAGE_MAP()

VyxDriveBar::VyxDriveBar() {}

VyxDriveBar::~VyxDriveBar()
{
    delete m_pDriveButtons;
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
    buttons->SetThemeHelper(&m_theme);
    buttons->CreateDriveButtons();
    m_pDriveButtons = buttons;
    ++m_nBuildCount;
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
