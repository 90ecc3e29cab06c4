#include "KitTestUtil.h"

#include "controls/CSizableReBar.h"
#include "res/resource.h"

#include <iterator>

ScopedKitApp::ScopedKitApp()
{
    AFX_MODULE_STATE* module = AfxGetModuleState();
    m_previousApp = module->m_pCurrentWinApp;
    m_previousName = module->m_lpszCurrentAppName;
    m_previousThread = AfxGetThreadState()->m_pCurrentWinThread;
    m_app = new CKitTestApp;
    // The same instance, names and profile file as the test application.
    m_app->m_hInstance = m_previousApp->m_hInstance;
    m_app->m_pszProfileName = _wcsdup(m_previousApp->m_pszProfileName);
    m_app->m_pszAppName = _wcsdup(m_previousApp->m_pszAppName ? m_previousApp->m_pszAppName : L"test");
    m_app->m_pszExeName = _wcsdup(m_previousApp->m_pszExeName ? m_previousApp->m_pszExeName : L"test");
    module->m_lpszCurrentAppName = m_app->m_pszAppName;
}

ScopedKitApp::~ScopedKitApp()
{
    delete m_app;
    AFX_MODULE_STATE* module = AfxGetModuleState();
    module->m_pCurrentWinApp = m_previousApp;
    module->m_lpszCurrentAppName = m_previousName;
    AfxGetThreadState()->m_pCurrentWinThread = m_previousThread;
}

void CKitTestApp::LoadMenuImages()
{
    ++m_imageLoads;
    if (!m_giveImages)
        return;
    CMap<UINT, UINT, int, int> map;
    map.SetAt(900, 1);
    AddMenuImages(map, IDB_PREVIEW_TOOLBAR, RGB(255, 0, 255));
}

// ---------------------------------------------------------------- the test tool bar

std::vector<UINT> CKitTestToolBar::TableIds()
{
    return {ID_KITTEST_NEW,     ID_KITTEST_OPEN,  0,
            ID_KITTEST_COPY,    ID_KITTEST_PASTE, ID_KITTEST_BIGGER,
            ID_KITTEST_SMALLER, ID_KITTEST_ABOUT, ID_KITTEST_UNTEXTED};
}

void CKitTestToolBar::Init()
{
    const UINT none = static_cast<UINT>(-1);
    SetBitmaps(IDB_PREVIEW_TOOLBAR, IDB_PREVIEW_TOOLBAR_HOT, none, IDB_KITTEST_LARGE, none, none, 0, RGB(255, 0, 255));
    std::vector<UINT> ids = TableIds();
    TBBUTTONEX buttons[kTableSize] = {};
    int image = 0;
    for (int i = 0; i < kTableSize; ++i) {
        TBBUTTON& b = buttons[i].tbinfo;
        b.idCommand = static_cast<int>(ids[i]);
        b.fsState = TBSTATE_ENABLED;
        if (ids[i] == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++ % 7;
            b.fsStyle = ids[i] == ID_KITTEST_OPEN ? BTNS_DROPDOWN : BTNS_BUTTON;
        }
        // The last two wait in the table.
        buttons[i].bInitiallyVisible = i < kTableSize - 2;
    }
    SetButtons(kTableSize, buttons, 1);
}

std::vector<UINT> CKitTestToolBar::ButtonIds()
{
    std::vector<UINT> ids;
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    for (int i = 0; i < ctrl.GetButtonCount(); ++i) {
        TBBUTTON b = {};
        ctrl.GetButton(i, &b);
        ids.push_back((b.fsStyle & BTNS_SEP) ? 0 : static_cast<UINT>(b.idCommand));
    }
    return ids;
}

// ---------------------------------------------------------------- frames

BOOL CCommandLog::Route(UINT nID, int nCode, void* pExtra)
{
    if (nID < ID_KITTEST_NEW || nID > ID_KITTEST_UNTEXTED)
        return FALSE;
    if (nCode == CN_COMMAND) {
        commands.push_back(nID);
        return TRUE;
    }
    if (nCode == static_cast<int>(CN_UPDATE_COMMAND_UI)) {
        static_cast<CCmdUI*>(pExtra)->Enable(TRUE);
        return TRUE;
    }
    return FALSE;
}

BEGIN_MESSAGE_MAP(CKitTestFrame, VyxFrameWndEx)
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CKitTestFrame* CKitTestFrame::Make(int width, BOOL bToolBar)
{
    auto* frame = new CKitTestFrame;
    if (!frame->LoadFrame(IDR_KITTEST_FRAME, WS_OVERLAPPEDWINDOW))
        return nullptr;
    if (bToolBar) {
        if (!frame->m_wndToolBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
            !frame->m_wndReBar.AddBar(&frame->m_wndToolBar, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP,
                                      L"標準のボタン", FALSE, TRUE)) {
            frame->DestroyWindow();
            return nullptr;
        }
        frame->m_wndToolBar.UpdateBand();
    }
    frame->SetWindowPos(nullptr, 30, 30, width, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
    frame->RecalcLayout();
    PumpPending();
    return frame;
}

BOOL CKitTestFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!pHandlerInfo && m_log.Route(nID, nCode, pExtra))
        return TRUE;
    return VyxFrameWndEx::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CKitTestFrame::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    m_popups.push_back(pPopupMenu->m_hMenu);
    VyxFrameWndEx::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
}

CKitTestMDIFrame* CKitTestMDIFrame::Make()
{
    auto* frame = new CKitTestMDIFrame;
    if (!frame->LoadFrame(IDR_KITTEST_MDIFRAME, WS_OVERLAPPEDWINDOW))
        return nullptr;
    frame->SetWindowPos(nullptr, 30, 30, 640, 420, SWP_NOZORDER | SWP_SHOWWINDOW);
    PumpPending();
    return frame;
}

VyxMDIChildWndEx* CKitTestMDIFrame::NewChild(LPCWSTR title)
{
    auto* child = new VyxMDIChildWndEx;
    if (!child->LoadFrame(IDR_KITTEST_MDICHILD, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, this))
        return nullptr;
    child->SetTitle(title);
    child->SetWindowText(title);
    child->InitialUpdateFrame(nullptr, TRUE);
    return child;
}

BOOL CKitTestMDIFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!pHandlerInfo && m_log.Route(nID, nCode, pExtra))
        return TRUE;
    return VyxMDIFrameWndEx::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void SetBandWidth(CFrameWnd* frame, CReBarCtrl& rebar, UINT nBarID, int cx)
{
    VyxBandInfo info = CSizableReBar::MakeBandInfo(CSizableReBar::GetBandInfoSize(), RBBIM_SIZE);
    info.cx = static_cast<UINT>(cx);
    rebar.SetBandInfo(static_cast<UINT>(rebar.IDToIndex(nBarID)), &info);
    frame->RecalcLayout();
    PumpPending();
}

// ---------------------------------------------------------------- input

void PressKey(WORD vk)
{
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = vk;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

CRect ButtonScreenRect(CToolBar& bar, int index)
{
    CRect rect(0, 0, 0, 0);
    bar.GetToolBarCtrl().GetItemRect(index, &rect);
    bar.ClientToScreen(&rect);
    return rect;
}

void RunIdle(CFrameWnd* frame)
{
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}

void InspectAndDriveMenu(HWND owner, const std::function<void(HMENU)>& inspect, int n)
{
    HWND menuWnd = WaitForMenu();
    if (menuWnd && inspect)
        inspect(reinterpret_cast<HMENU>(SendMessageW(menuWnd, MN_GETHMENU, 0, 0)));
    if (!menuWnd) {
        ADD_FAILURE() << "no menu opened";
        PostMessageW(owner, WM_CANCELMODE, 0, 0);
        return;
    }
    for (int i = 0; i < n; ++i)
        PostMessageW(menuWnd, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menuWnd, WM_KEYDOWN, n < 0 ? VK_ESCAPE : VK_RETURN, 0);
}

CString MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}
