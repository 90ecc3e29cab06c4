#include "framework/CMDIChildWnd.h"
#include "framework/CDocument.h"
#include "framework/CException.h"
#include "framework/CMDIFrameWnd.h"
#include "framework/CView.h"
#include "framework/CWinThread.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_WM_CREATE()
ON_WM_MOUSEACTIVATE()
ON_WM_NCACTIVATE()
ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivateMessage)
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() : m_hMenuShared(nullptr), m_hAccelShared(nullptr) {}

CMDIChildWnd::~CMDIChildWnd()
{
    if (m_hMenuShared)
        ::DestroyMenu(m_hMenuShared);
    if (m_hAccelShared)
        ::DestroyAcceleratorTable(m_hAccelShared);
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    BOOL ok = CFrameWnd::PreCreateWindow(cs);
    cs.style |= WS_CHILD;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE; // the MDI client has it
    return ok;
}

BOOL CMDIChildWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (!pParentWnd) {
        CWinThread* thread = AfxGetThread();
        pParentWnd = thread ? DYNAMIC_DOWNCAST(CMDIFrameWnd, thread->m_pMainWnd) : nullptr;
    }
    if (!pParentWnd || !pParentWnd->m_hWndMDIClient) {
        PostNcDestroy();
        return FALSE;
    }
    pParentWnd->RecalcLayout();
    CREATESTRUCTW cs = {};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.left;
    cs.y = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.top;
    cs.cx = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    cs.cy = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    cs.hwndParent = pParentWnd->m_hWnd;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    m_strTitle = lpszWindowName;
    // The MDI client makes the window: the creation hook attaches it on the way.
    MDICREATESTRUCTW create = {};
    create.szClass = cs.lpszClass;
    create.szTitle = cs.lpszName;
    create.hOwner = cs.hInstance;
    create.x = cs.x;
    create.y = cs.y;
    create.cx = cs.cx;
    create.cy = cs.cy;
    create.style = cs.style & ~(WS_MAXIMIZE | WS_VISIBLE); // shown below, once it exists
    create.lParam = reinterpret_cast<LPARAM>(cs.lpCreateParams);
    AfxHookWindowCreate(this);
    HWND hWnd = reinterpret_cast<HWND>(
        ::SendMessageW(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    if (!hWnd)
        return FALSE;
    if (cs.style & WS_VISIBLE) {
        ::BringWindowToTop(hWnd);
        if (cs.style & WS_MINIMIZE)
            ShowWindow(SW_SHOWMINIMIZED);
        else if (cs.style & WS_MAXIMIZE)
            ShowWindow(SW_SHOWMAXIMIZED);
        else
            ShowWindow(SW_SHOWNORMAL);
        pParentWnd->MDIActivate(this);
        ::SendMessageW(pParentWnd->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString full;
    if (full.LoadString(nIDResource))
        AfxExtractSubString(m_strTitle, full, 0);
    // An MDI child has no menu bar: its menu shows on the MDI frame while it is active.
    HINSTANCE instance = AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), MAKEINTRESOURCEW(4));
    m_hMenuShared = ::LoadMenuW(instance, MAKEINTRESOURCEW(nIDResource));
    m_hAccelShared = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(nIDResource));
    CString className = GetIconWndClass(dwDefaultStyle, nIDResource);
    CString title = m_strTitle;
    return Create(className, title, dwDefaultStyle, rectDefault, DYNAMIC_DOWNCAST(CMDIFrameWnd, pParentWnd), pContext);
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    // The creation context travels inside the MDI creation record.
    auto* create = static_cast<MDICREATESTRUCTW*>(lpCreateStruct->lpCreateParams);
    auto* context = create ? reinterpret_cast<CCreateContext*>(create->lParam) : nullptr;
    return OnCreateHelper(lpCreateStruct, context);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProcW(m_hWnd, nMsg, wParam, lParam);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame()
{
    // Parent: the MDI client; its parent: the frame.
    HWND client = ::GetParent(m_hWnd);
    return client ? DYNAMIC_DOWNCAST(CMDIFrameWnd, CWnd::FromHandlePermanent(::GetParent(client))) : nullptr;
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    // The MDI client destroys its children (and picks the next active one).
    MDIDestroy();
    return TRUE;
}

void CMDIChildWnd::MDIDestroy()
{
    HWND client = ::GetParent(m_hWnd);
    if (client)
        ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
    else
        CWnd::DestroyWindow();
}

void CMDIChildWnd::MDIActivate()
{
    ::SendMessageW(::GetParent(m_hWnd), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIMaximize()
{
    ::SendMessageW(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore()
{
    ::SendMessageW(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // A child's accelerators work for the MDI frame, which has the menu.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL table = GetDefaultAccelerator();
        if (!table)
            table = m_hAccelShared;
        CMDIFrameWnd* frame = GetMDIFrame();
        return table && frame && ::TranslateAcceleratorW(frame->m_hWnd, table, pMsg);
    }
    return FALSE;
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (nCmdShow == -1 && frame) {
        // A new child takes the maximised state of the one before.
        BOOL maximized = FALSE;
        frame->MDIGetActive(&maximized);
        DWORD style = GetStyle();
        if (maximized || (style & WS_MAXIMIZE))
            nCmdShow = SW_SHOWMAXIMIZED;
        else if (style & WS_MINIMIZE)
            nCmdShow = SW_SHOWMINIMIZED;
    }
    CFrameWnd::ActivateFrame(nCmdShow);
    if (frame && frame->MDIGetActive() != this)
        MDIActivate();
    if (frame)
        frame->OnUpdateFrameMenu(nullptr);
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (GetStyle() & FWS_ADDTOTITLE) {
        CDocument* document = GetActiveDocument();
        CString text = m_strTitle;
        if (bAddToTitle && document) {
            text = document->GetTitle();
            if (m_nWindow > 0)
                text.AppendFormat(L":%d", m_nWindow);
        }
        CString current;
        GetWindowText(current);
        if (current != text)
            SetWindowText(text);
    }
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->OnUpdateFrameTitle(bAddToTitle);
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame)
        return;
    if (!hMenuAlt && bActive) {
        if (CDocument* document = GetActiveDocument())
            hMenuAlt = document->GetDefaultMenu();
    }
    if (!hMenuAlt)
        hMenuAlt = m_hMenuShared;
    if (hMenuAlt && bActive) {
        ::SendMessageW(frame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenuAlt),
                       reinterpret_cast<LPARAM>(frame->GetWindowMenuPopup(hMenuAlt)));
    } else if (!bActive && !pActivateWnd) {
        // The last child went: the frame's own menu comes back.
        ::SendMessageW(frame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(frame->m_hMenuDefault),
                       reinterpret_cast<LPARAM>(frame->GetWindowMenuPopup(frame->m_hMenuDefault)));
    } else {
        ::SendMessageW(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
}

LRESULT CMDIChildWnd::OnMDIActivateMessage(WPARAM wParam, LPARAM lParam)
{
    Default();
    OnMDIActivate(reinterpret_cast<HWND>(lParam) == m_hWnd, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
                  CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
    return 0;
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd*)
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!bActivate) {
        if (CView* view = GetActiveView())
            view->OnActivateView(FALSE, view, view);
    }
    // The menu follows the active child; the last child going brings the frame's back.
    if (bActivate || !pActivateWnd) {
        OnUpdateFrameMenu(bActivate, pActivateWnd, nullptr);
        if (frame)
            frame->DrawMenuBar();
    }
    if (bActivate) {
        if (CView* view = GetActiveView())
            view->OnActivateView(TRUE, view, view);
    }
    if (frame)
        frame->OnUpdateFrameTitle(TRUE);
}

int CMDIChildWnd::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CFrameWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    CMDIFrameWnd* frame = GetMDIFrame();
    if (frame && frame->MDIGetActive() != this)
        MDIActivate();
    return result;
}

BOOL CMDIChildWnd::OnNcActivate(BOOL)
{
    // The MDI client decides which child looks active.
    return static_cast<BOOL>(Default());
}
