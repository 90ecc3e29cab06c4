#include "framework/CFrameWnd.h"
#include "framework/AfxRes.h"
#include "framework/AfxTexts.h"
#include "framework/CCmdUI.h"
#include "framework/CDC.h"
#include "framework/CControlBar.h"
#include "framework/CDocument.h"
#include "framework/CMenu.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

#include <vector>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_SETFOCUS()
ON_WM_ACTIVATE()
ON_WM_NCACTIVATE()
ON_WM_INITMENUPOPUP()
ON_WM_MENUSELECT()
ON_WM_ENTERIDLE()
ON_WM_QUERYENDSESSION()
ON_WM_ENDSESSION()
ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_MESSAGE(WM_ACTIVATETOPLEVEL, OnActivateTopLevel)
ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
ON_COMMAND_EX(ID_VIEW_REBAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
ON_UPDATE_COMMAND_UI(ID_VIEW_REBAR, OnUpdateControlBarMenu)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_KANA, OnUpdateKeyIndicator)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

namespace {

const DWORD kDefaultViewStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;

// The prompt of a system command: one string per command, from AFX_IDS_SCFIRST.
UINT PromptOfSystemCommand(UINT nID)
{
    return ((nID - 0xF000) >> 4) + AFX_IDS_SCFIRST;
}

void SetWindowTextIfChanged(HWND hWnd, LPCWSTR text)
{
    wchar_t current[512];
    int n = ::GetWindowTextW(hWnd, current, 512);
    if (n >= 511 || lstrcmpW(current, text) != 0)
        ::SetWindowTextW(hWnd, text);
}

struct ModalSearch
{
    HWND top;
    std::vector<HWND>* found;
};

// The enabled, visible top-level windows of the thread under the frame's top-level window.
BOOL CALLBACK CollectModalWindows(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<ModalSearch*>(lParam);
    HWND root = hWnd;
    for (HWND up; (up = ::GetParent(root)) != nullptr;)
        root = up;
    if (root == search->top && ::IsWindowEnabled(hWnd) && ::IsWindowVisible(hWnd))
        search->found->push_back(hWnd);
    return TRUE;
}

} // namespace

// ---------------------------------------------------------------- construction

CFrameWnd::CFrameWnd()
    : m_rectBorder(0, 0, 0, 0), m_bAutoMenuEnable(TRUE), m_nWindow(-1), m_hMenuDefault(nullptr), m_hAccelTable(nullptr),
      m_nIDHelp(0), m_nIdleFlags(0), m_nShowDelay(-1), m_nIDTracking(0), m_nIDLastMessage(0), m_pViewActive(nullptr),
      m_lpfnCloseProc(nullptr), m_hMenuAlt(nullptr), m_bInRecalcLayout(FALSE), m_cModalStack(0),
      m_phWndDisable(nullptr), m_pNextFrameWnd(nullptr)
{
    // Every frame of the thread hears the idle updates, not only the main window's tree.
    AFX_THREAD_STATE* state = AfxGetThreadState();
    m_pNextFrameWnd = state->m_pFirstFrameWnd;
    state->m_pFirstFrameWnd = this;
}

CFrameWnd::~CFrameWnd()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    for (CFrameWnd** link = &state->m_pFirstFrameWnd; *link; link = &(*link)->m_pNextFrameWnd) {
        if (*link == this) {
            *link = m_pNextFrameWnd;
            break;
        }
    }
    delete[] m_phWndDisable;
    if (m_hAccelTable)
        ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       LPCWSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU menu = nullptr;
    if (lpszMenuName) {
        menu = ::LoadMenuW(AfxFindResourceHandle(lpszMenuName, MAKEINTRESOURCEW(4)), lpszMenuName);
        if (!menu) {
            PostNcDestroy(); // the object is told as if its window had gone
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName;
    int x = rect.left, y = rect.top, cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT) {
        x = y = cx = cy = CW_USEDEFAULT; // Windows places and sizes the frame
    }
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, pParentWnd->GetSafeHwnd(), menu,
                  pContext)) {
        if (menu)
            ::DestroyMenu(menu);
        return FALSE; // the object has deleted itself
    }
    return TRUE;
}

LPCWSTR CFrameWnd::GetIconWndClass(DWORD, UINT nIDResource)
{
    HINSTANCE instance = AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), RT_GROUP_ICON);
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(nIDResource));
    return AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString full;
    if (full.LoadString(nIDResource))
        AfxExtractSubString(m_strTitle, full, 0);
    CString title = m_strTitle;
    CString className = GetIconWndClass(dwDefaultStyle, nIDResource); // the name is valid until the next one
    if (!Create(className, title, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCEW(nIDResource), 0, pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    HINSTANCE instance = AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), RT_ACCELERATOR);
    if (!m_hAccelTable)
        m_hAccelTable = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(nIDResource));
    // Without a creation context nobody else will give the views their first update.
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return OnCreateHelper(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams));
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    // The status bar starts with the idle text once the frame runs.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass)
        return nullptr;
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    CWnd* view = DYNAMIC_DOWNCAST(CWnd, object);
    if (!view) {
        delete object;
        return nullptr;
    }
    // A view that fails to be created deletes itself (PostNcDestroy).
    if (!view->Create(nullptr, nullptr, kDefaultViewStyle, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    // The view's own sunken edge replaces the frame's.
    if (view->GetExStyle() & WS_EX_CLIENTEDGE)
        ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    return view;
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::OnDestroy()
{
    // The default menu is the frame's to free: attach it again so the window takes it along.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault && ::IsMenu(m_hMenuDefault))
        ::SetMenu(m_hWnd, m_hMenuDefault);
    if (AfxGetThreadState()->m_hWndLastHit && ::IsChild(m_hWnd, AfxGetThreadState()->m_hWndLastHit))
        CancelToolTips();
    Default();
}

void CFrameWnd::OnClose()
{
    if (m_lpfnCloseProc) {
        // Print preview closes itself first.
        m_lpfnCloseProc(this);
        return;
    }
    CDocument* document = GetActiveDocument();
    if (document && !document->CanCloseFrame(this))
        return;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!document && !app->SaveAllModified())
            return;
        // Closing the documents closes their frames; the main frame among them ends the program.
        app->CloseAllDocuments(FALSE);
        if (!app->m_pMainWnd)
            return;
    }
    if (document && ::IsWindow(m_hWnd))
        document->PreCloseFrame(this);
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CFrameWnd::OnQueryEndSession()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        return app->SaveAllModified();
    return TRUE;
}

void CFrameWnd::OnEndSession(BOOL bEnding)
{
    CWinApp* app = AfxGetApp();
    if (bEnding && app && app->m_pMainWnd == this)
        app->CloseAllDocuments(TRUE);
}

// ---------------------------------------------------------------- views and documents

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* old = m_pViewActive;
    if (pViewNew == old)
        return;
    m_pViewActive = nullptr; // none while the old one hears of it
    if (old && bNotify)
        old->OnActivateView(FALSE, pViewNew, old);
    // The old view's handler may have activated another view: that one stays.
    if (m_pViewActive)
        return;
    m_pViewActive = pViewNew;
    if (pViewNew && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, old);
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* view = nullptr;
    if (!GetActiveView()) {
        // The first pane (the innermost one of nested splitters) becomes the active view.
        CWnd* pane = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        view = DYNAMIC_DOWNCAST(CView, pane);
        if (view)
            SetActiveView(view, FALSE);
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (view)
            view->OnActivateFrame(WA_INACTIVE, this);
        int nCmdShow = -1;
        CWinApp* app = AfxGetApp();
        if (app && AfxGetThread() == app && app->m_pMainWnd == this) {
            nCmdShow = app->m_nCmdShow; // the main frame shows as the program was asked to show
            app->m_nCmdShow = -1;
        }
        ActivateFrame(nCmdShow);
        if (view)
            view->OnActivateView(TRUE, view, view);
    }
    if (pDoc)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::BringToTop(int nCmdShow)
{
    if (GetStyle() & WS_CHILD)
        return;
    if (nCmdShow == SW_HIDE || nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINNOACTIVE ||
        nCmdShow == SW_SHOWNOACTIVATE || nCmdShow == SW_SHOWMINIMIZED)
        return;
    HWND popup = ::GetLastActivePopup(m_hWnd);
    if (::IsWindowVisible(m_hWnd))
        ::BringWindowToTop(popup ? popup : m_hWnd);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    BringToTop(nCmdShow);
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        BringToTop(nCmdShow);
    }
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

// ---------------------------------------------------------------- commands

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it its document) first, then the frame, then the application.
    if (CView* view = GetActiveView()) {
        if (view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A command chosen from a menu has been prompted: the status bar goes back to idle.
    if (lParam == 0 && HIWORD(wParam) == 0)
        PostMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    return CWnd::OnCommand(wParam, lParam);
}

HACCEL CFrameWnd::GetDefaultAccelerator()
{
    HACCEL table = m_hAccelTable;
    if (CDocument* document = GetActiveDocument()) {
        if (HACCEL own = document->GetDefaultAccelerator())
            table = own;
    }
    return table;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL table = GetDefaultAccelerator();
        return table && ::TranslateAcceleratorW(m_hWnd, table, pMsg);
    }
    return FALSE;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    CancelToolTips(TRUE);
    if (bSysMenu)
        return; // the system menu keeps its own states
    AfxUpdateMenuCmdUI(this, pMenu, m_bAutoMenuEnable);
}

// ---------------------------------------------------------------- layout

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    try {
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    } catch (...) {
        m_bInRecalcLayout = FALSE;
        throw;
    }
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify)
{
    m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The view paints its own area; erasing under it would only flicker.
    if (m_pViewActive)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & idleMenu) {
        m_nIdleFlags &= ~idleMenu;
        OnUpdateFrameMenu(m_hMenuAlt);
    }
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    if (m_nIdleFlags & idleLayout) {
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
        UpdateWindow();
    }
    if (m_nIDTracking != m_nIDLastMessage)
        SetMessageText(m_nIDTracking);
    m_nIdleFlags = 0;
    return 0;
}

// ---------------------------------------------------------------- title and menu

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* document = GetActiveDocument();
    UpdateFrameTitleForDocument(bAddToTitle && document ? document->GetTitle().GetString() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCWSTR lpszDocName)
{
    UpdateFrameTitle(TRUE, lpszDocName);
}

void CFrameWnd::UpdateFrameTitle(BOOL, LPCWSTR lpszDocName)
{
    CString text;
    CString document;
    if (lpszDocName) {
        document = lpszDocName;
        if (m_nWindow > 0)
            document.AppendFormat(L":%d", m_nWindow);
    }
    if (GetStyle() & FWS_PREFIXTITLE) {
        if (lpszDocName)
            text = document + L" - ";
        text += m_strTitle;
    } else {
        text = m_strTitle;
        if (lpszDocName)
            text += L" - " + document;
    }
    SetWindowTextIfChanged(m_hWnd, text);
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (!hMenuAlt) {
        if (CDocument* document = GetActiveDocument())
            hMenuAlt = document->GetDefaultMenu();
        if (!hMenuAlt)
            hMenuAlt = m_hMenuDefault;
    }
    ::SetMenu(m_hWnd, hMenuAlt);
}

void CFrameWnd::DelayUpdateFrameMenu(HMENU hMenuAlt)
{
    m_hMenuAlt = hMenuAlt;
    m_nIdleFlags |= idleMenu;
}

// ---------------------------------------------------------------- control bars and prompts

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (!m_listControlBars.Find(pBar))
        m_listControlBars.AddTail(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    if (POSITION pos = m_listControlBars.Find(pBar))
        m_listControlBars.RemoveAt(pos);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (nID == 0)
        return nullptr;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
        auto* bar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (bar->m_hWnd && static_cast<UINT>(::GetDlgCtrlID(bar->m_hWnd)) == nID)
            return bar;
    }
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (bDelay) {
        pBar->DelayShow(bShow);
        DelayRecalcLayout();
        return;
    }
    pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                       SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                           (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    pBar->DelayShow(bShow); // nothing left pending
    RecalcLayout(FALSE);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* bar = GetControlBar(nID);
    if (!bar)
        return FALSE;
    ShowControlBar(bar, (bar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    if (CControlBar* bar = GetControlBar(pCmdUI->m_nID)) {
        pCmdUI->SetCheck((bar->GetStyle() & WS_VISIBLE) != 0);
        return;
    }
    pCmdUI->ContinueRouting();
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    UINT key = 0;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS:
        key = VK_CAPITAL;
        break;
    case ID_INDICATOR_NUM:
        key = VK_NUMLOCK;
        break;
    case ID_INDICATOR_SCRL:
        key = VK_SCROLL;
        break;
    case ID_INDICATOR_KANA:
        key = VK_KANA;
        break;
    default:
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->Enable(::GetKeyState(static_cast<int>(key)) & 1);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    CString full;
    if (full.LoadString(nID)) {
        AfxExtractSubString(rMessage, full, 0);
        return;
    }
    // The program may carry no idle string: the framework's own text stands in.
    LPCWSTR standard = AfxStandardText(nID);
    rMessage = standard ? standard : L"";
}

CWnd* CFrameWnd::GetMessageBar()
{
    return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE);
}

void CFrameWnd::SetMessageText(LPCWSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, static_cast<WPARAM>(nID));
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT last = m_nIDLastMessage;
    m_nFlags &= ~WF_NOPOPMSG;
    if (CWnd* bar = GetMessageBar()) {
        CString text;
        LPCWSTR message = reinterpret_cast<LPCWSTR>(lParam);
        if (!message && wParam != 0) {
            GetMessageString(static_cast<UINT>(wParam), text);
            message = text;
        }
        // The status bar shows it as its pane 0 (it may take WM_SETTEXT its own way).
        bar->SetWindowText(message ? message : L"");
        if (CFrameWnd* owner = bar->GetParentFrame()) {
            owner->m_nIDLastMessage = static_cast<UINT>(wParam);
            owner->m_nIDTracking = static_cast<UINT>(wParam);
        }
    }
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    return last;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    if (m_nFlags & WF_NOPOPMSG)
        return 0;
    return SendMessage(WM_SETMESSAGESTRING, wParam, lParam);
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU)
{
    CFrameWnd* top = GetTopLevelFrame();
    if (!top)
        top = this;
    if (nFlags == 0xFFFF) {
        // The menu closed: back to the idle text, at once.
        m_nFlags &= ~WF_NOPOPMSG;
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
        if (CWnd* bar = GetMessageBar())
            bar->UpdateWindow();
        return;
    }
    if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP)))
        m_nIDTracking = 0;
    else if (nItemID >= 0xF000 && nItemID < 0xF1F0)
        m_nIDTracking = PromptOfSystemCommand(nItemID);
    else if (nItemID >= AFX_IDM_FIRST_MDICHILD)
        m_nIDTracking = AFX_IDS_MDICHILD;
    else
        m_nIDTracking = nItemID;
    top->m_nFlags |= WF_NOPOPMSG;
}

void CFrameWnd::OnEnterIdle(UINT nWhy, CWnd*)
{
    Default();
    // The prompt of the highlighted item shows once the menu waits for input.
    if (nWhy != MSGF_MENU || m_nIDTracking == m_nIDLastMessage)
        return;
    SetMessageText(m_nIDTracking);
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    // The tip of a bar button is the second "\n" field of its command's string.
    UINT_PTR nID = pNMHDR->idFrom;
    bool wide = pNMHDR->code == TTN_NEEDTEXTW;
    UINT flags =
        wide ? reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR)->uFlags : reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR)->uFlags;
    if (flags & TTF_IDISHWND)
        nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    CString tip;
    if (nID != 0) {
        CString full;
        if (full.LoadString(static_cast<UINT>(nID)))
            AfxExtractSubString(tip, full, 1);
    }
    if (wide) {
        auto* text = reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR);
        lstrcpynW(text->szText, tip, static_cast<int>(sizeof(text->szText) / sizeof(wchar_t)));
    } else {
        auto* text = reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR);
        CStringA narrow(tip);
        lstrcpynA(text->szText, narrow, static_cast<int>(sizeof(text->szText)));
    }
    *pResult = 0;
    // Above every other pop-up of the program.
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOOWNERZORDER);
    return TRUE;
}

// ---------------------------------------------------------------- activation

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    Default();
    if (nState == WA_INACTIVE) {
        // A tool window of this frame taking the activation leaves the frame looking active.
        HWND other = pWndOther->GetSafeHwnd();
        if (other && (::GetWindowLongW(other, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
            CWnd::FromHandle(other)->GetTopLevelParent()->GetSafeHwnd() == m_hWnd) {
            m_nFlags |= WF_STAYACTIVE;
            SendMessage(WM_NCACTIVATE, TRUE);
        }
    } else {
        m_nFlags &= ~WF_STAYACTIVE;
    }
    if (CView* view = GetActiveView())
        if (nState != WA_INACTIVE && !bMinimized)
            view->OnActivateFrame(nState, this);
}

LRESULT CFrameWnd::OnActivateTopLevel(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        CancelToolTips(TRUE);
        // The activation left the frame's tree altogether.
        if (m_nFlags & WF_STAYACTIVE) {
            m_nFlags &= ~WF_STAYACTIVE;
            SendMessage(WM_NCACTIVATE, FALSE);
        }
    }
    return 0;
}

BOOL CFrameWnd::OnNcActivate(BOOL bActive)
{
    if (m_nFlags & WF_STAYACTIVE)
        bActive = TRUE;
    if (!IsWindowEnabled())
        bActive = FALSE;
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}

// ---------------------------------------------------------------- modal state

void CFrameWnd::BeginModalState()
{
    if (m_cModalStack++ > 0)
        return;
    // The frame and every enabled top-level window of the thread that it owns.
    std::vector<HWND> disabled;
    CWnd* top = GetTopLevelParent();
    HWND topHwnd = top ? top->m_hWnd : m_hWnd;
    ModalSearch search = {topHwnd, &disabled};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectModalWindows, reinterpret_cast<LPARAM>(&search));
    delete[] m_phWndDisable;
    m_phWndDisable = new HWND[disabled.size() + 1];
    size_t n = 0;
    for (HWND hWnd : disabled) {
        m_phWndDisable[n++] = hWnd;
        ::EnableWindow(hWnd, FALSE);
    }
    m_phWndDisable[n] = nullptr;
}

void CFrameWnd::EndModalState()
{
    if (m_cModalStack == 0 || --m_cModalStack > 0 || !m_phWndDisable)
        return;
    for (HWND* p = m_phWndDisable; *p; ++p) {
        if (::IsWindow(*p))
            ::EnableWindow(*p, TRUE);
    }
    delete[] m_phWndDisable;
    m_phWndDisable = nullptr;
}

// ---------------------------------------------------------------- print preview

void CFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState)
{
    // Bars of the first 32 ids hide for the preview and come back after it.
    if (bPreview) {
        pState->dwStates = 0;
        for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
            auto* bar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
            UINT id = static_cast<UINT>(bar->GetDlgCtrlID());
            if (id >= AFX_IDW_CONTROLBAR_FIRST && id < AFX_IDW_CONTROLBAR_FIRST + 32 && bar->IsVisible()) {
                pState->dwStates |= 1UL << (id - AFX_IDW_CONTROLBAR_FIRST);
                if (id != AFX_IDW_PREVIEW_BAR)
                    ShowControlBar(bar, FALSE, TRUE);
            }
        }
        pState->hMenu = ::GetMenu(m_hWnd);
        if (pState->hMenu)
            ::SetMenu(m_hWnd, nullptr);
        pState->hAccelTable = m_hAccelTable;
        m_hAccelTable = nullptr;
        pState->lpfnCloseProc = m_lpfnCloseProc;
        // The main pane steps aside for the preview view.
        if (CWnd* pane = GetDlgItem(static_cast<int>(pState->nIDMainPane))) {
            pane->SetDlgCtrlID(AFX_IDW_PANE_SAVE);
            pane->ShowWindow(SW_HIDE);
        }
    } else {
        if (CWnd* pane = GetDlgItem(AFX_IDW_PANE_SAVE)) {
            pane->SetDlgCtrlID(static_cast<int>(pState->nIDMainPane));
            pane->ShowWindow(SW_SHOW);
        }
        for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
            auto* bar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
            UINT id = static_cast<UINT>(bar->GetDlgCtrlID());
            if (id >= AFX_IDW_CONTROLBAR_FIRST && id < AFX_IDW_CONTROLBAR_FIRST + 32)
                ShowControlBar(bar, (pState->dwStates >> (id - AFX_IDW_CONTROLBAR_FIRST)) & 1, TRUE);
        }
        if (pState->hMenu)
            ::SetMenu(m_hWnd, pState->hMenu);
        m_hAccelTable = pState->hAccelTable;
        m_lpfnCloseProc = pState->lpfnCloseProc;
    }
    RecalcLayout();
}
