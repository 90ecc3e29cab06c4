// CWnd's mechanics: handle maps, creation through the CBT hook, the common window procedure,
// message-map dispatch, command routing with reflection, destruction, the pre-translate walk and
// the modal loop. The thin wrappers of the Windows API are in CWndMembers.cpp.
#include "framework/CWnd.h"
#include "framework/CCmdUI.h"
#include "framework/CDC.h"
#include "framework/CMenu.h"
#include "framework/CDataExchange.h"
#include "framework/CDialog.h"
#include "framework/CException.h"
#include "framework/CHandleMap.h"
#include "framework/CStdControls.h"
#include "framework/CWinThread.h"
#include "framework/COleDropTarget.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
ON_WM_CTLCOLOR()
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_DELETEITEM()
ON_WM_COMPAREITEM()
ON_WM_CHARTOITEM()
ON_WM_VKEYTOITEM()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_PARENTNOTIFY()
ON_WM_SETTINGCHANGE()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

namespace {

CWnd* NewTempWnd(HWND hWnd)
{
    CWnd* wnd = new CWnd;
    wnd->m_hWnd = hWnd;
    return wnd;
}

void ForgetTempWnd(CWnd* wnd)
{
    wnd->m_hWnd = nullptr;
}

CHandleMap<CWnd, HWND>* WndMap()
{
    return AfxHandleMap<CWnd, HWND>(afxWndMap, &NewTempWnd, &ForgetTempWnd);
}

void LogSwallowedException(const MSG& msg)
{
    wchar_t text[160];
    wsprintfW(text, L"framework: a C++ exception left the handler of message 0x%04X of window %p\n", msg.message,
              static_cast<void*>(msg.hwnd));
    OutputDebugStringW(text);
}

// The input method's own windows are created on the side while a window is being made; they are
// never the window the creation hook waits for.
bool IsInputMethodWindow(HWND hWnd)
{
    wchar_t name[32];
    if (!::GetClassNameW(hWnd, name, 32))
        return false;
    return lstrcmpiW(name, L"IME") == 0 || lstrcmpiW(name, L"MSCTFIME UI") == 0;
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (code == HCBT_CREATEWND && state->m_pWndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!IsInputMethodWindow(hWnd)) {
            CWnd* wnd = state->m_pWndInit;
            state->m_pWndInit = nullptr;
            try {
                if (wnd->Attach(hWnd)) {
                    wnd->PreSubclassWindow();
                    WNDPROC old = reinterpret_cast<WNDPROC>(
                        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
                    if (old != &AfxWndProc)
                        *wnd->GetSuperWndProcAddr() = old;
                }
            } catch (CException* e) {
                e->Delete();
            } catch (...) {
                OutputDebugStringW(L"framework: a C++ exception left PreSubclassWindow\n");
            }
        }
    }
    return ::CallNextHookEx(state->m_hHookCbtFilter, code, wParam, lParam);
}

void CenterAfterInitDialog(HWND hWnd, const RECT& before, DWORD styleBefore)
{
    // A dialog that stayed where its template put it is centred on its owner, unless it is a
    // child or already visible, or a modeless one beside an owner still in use (a modal dialog's
    // owner is disabled by now).
    if ((styleBefore & (WS_VISIBLE | WS_CHILD)) || !::IsWindow(hWnd))
        return;
    HWND owner = ::GetWindow(hWnd, GW_OWNER);
    if (owner && ::IsWindowEnabled(owner))
        return;
    if (::GetWindowLongW(hWnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD))
        return;
    RECT after;
    ::GetWindowRect(hWnd, &after);
    if (!::EqualRect(&before, &after))
        return;
    if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd))
        wnd->CenterWindow();
}

// The program's menu object holding item nID in the tree below hMenu: the one of the menu that
// holds it, else the nearest one above; null when none of them has an object.
CMenu* FindMenuOfItem(HMENU hMenu, UINT nID, CMenu* above)
{
    CMenu* here = CMenu::FromHandlePermanent(hMenu);
    if (!here)
        here = above;
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(hMenu, i)) {
            if (CMenu* found = FindMenuOfItem(sub, nID, here))
                return found;
        } else if (::GetMenuItemID(hMenu, i) == nID) {
            return here;
        }
    }
    return nullptr;
}

void SendToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND child = ::GetTopWindow(hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            if (CWnd* wnd = CWnd::FromHandlePermanent(child))
                AfxCallWndProc(wnd, child, message, wParam, lParam);
        } else {
            ::SendMessageW(child, message, wParam, lParam);
        }
        if (bDeep && ::GetTopWindow(child))
            SendToDescendants(child, message, wParam, lParam, bDeep, bOnlyPerm);
    }
}

} // namespace

// ---------------------------------------------------------------- construction and handle maps

CWnd::CWnd()
    : m_hWnd(nullptr), m_nFlags(0), m_hWndOwner(nullptr), m_nModalResult(0), m_pDropTarget(nullptr), m_pfnSuper(nullptr)
{
}

CWnd::CWnd(HWND hWnd)
    : m_hWnd(hWnd), m_nFlags(0), m_hWndOwner(nullptr), m_nModalResult(0), m_pDropTarget(nullptr), m_pfnSuper(nullptr)
{
}

CWnd::~CWnd()
{
    // An object deleted while its window lives takes the window with it (its own handlers no
    // longer run: the object is only a CWnd by now).
    if (m_hWnd && ::IsWindow(m_hWnd) && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    return WndMap()->FromHandle(hWnd);
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? WndMap()->LookupPermanent(hWnd) : nullptr;
}

void PASCAL CWnd::DeleteTempMap()
{
    WndMap()->DeleteTemp();
}

void AFXAPI CWnd::DeleteTempWnd(CWnd* pWnd)
{
    ForgetTempWnd(pWnd);
    delete pWnd;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd || FromHandlePermanent(hWndNew))
        return FALSE;
    m_hWnd = hWndNew;
    WndMap()->SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd && WndMap()->LookupPermanent(hWnd) == this)
        WndMap()->RemoveHandle(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

// ---------------------------------------------------------------- creation and destruction

void AFXAPI AfxHookWindowCreate(CWnd* pWnd)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_pWndInit == pWnd)
        return;
    if (!state->m_hHookCbtFilter) {
        state->m_hHookCbtFilter = ::SetWindowsHookExW(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
        if (!state->m_hHookCbtFilter)
            AfxThrowMemoryException();
    }
    ++state->m_nCbtHookUsers;
    state->m_pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    BOOL attached = state->m_pWndInit == nullptr;
    state->m_pWndInit = nullptr;
    // The hook lives only while a creation is under way on this thread.
    if (state->m_nCbtHookUsers > 0 && --state->m_nCbtHookUsers == 0 && state->m_hHookCbtFilter) {
        ::UnhookWindowsHookEx(state->m_hHookCbtFilter);
        state->m_hHookCbtFilter = nullptr;
    }
    return attached;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCTW cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // Nothing was attached: the window never came to be, so the object is told as if destroyed.
    // (When creation failed after attaching, WM_NCDESTROY has already done so; 'this' may be gone.)
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), reinterpret_cast<HMENU>(UINT_PTR(nID)), lpParam);
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext)
{
    // Create always makes a child window.
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    static_cast<LPVOID>(pContext));
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    bool permanent = FromHandlePermanent(hWnd) == this;
    BOOL result = ::DestroyWindow(hWnd);
    // A permanent object was detached by WM_NCDESTROY (and may have deleted itself); a wrapper
    // of a foreign window lets go of the handle here.
    if (!permanent && m_hWnd == hWnd)
        Detach();
    return result;
}

void CWnd::NotifyTopLevelActivation(WPARAM wParam, LPARAM lParam)
{
    // Activation moving between two top-level trees: the tree's top-level window hears it as
    // WM_ACTIVATETOPLEVEL (lParam: this window and the other one).
    if (GetStyle() & WS_CHILD)
        return;
    HWND other = reinterpret_cast<HWND>(lParam);
    CWnd* top = GetTopLevelParent();
    CWnd* otherTop = other ? CWnd::FromHandle(other)->GetTopLevelParent() : nullptr;
    if (!top || (otherTop && otherTop->m_hWnd == top->m_hWnd))
        return;
    HWND pair[2] = {m_hWnd, other};
    top->SendMessage(WM_ACTIVATETOPLEVEL, wParam, reinterpret_cast<LPARAM>(pair));
}

void CWnd::OnNcDestroy()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hWndLastHit == m_hWnd)
        EnableToolTips(FALSE);
    // OLE would otherwise keep calling a drop target whose window is gone.
    if (m_pDropTarget) {
        m_pDropTarget->Revoke();
        m_pDropTarget = nullptr;
    }
    // The thread's main window going away ends the thread's message loop.
    if (CWinThread* thread = AfxGetThread()) {
        if (thread->m_pMainWnd == this) {
            AfxPostQuitMessage(0);
            thread->m_pMainWnd = nullptr;
        }
        if (thread->m_pActiveWnd == this)
            thread->m_pActiveWnd = nullptr;
    }
    WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    Default();
    // Put the original procedure back unless someone subclassed the window after us.
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == current) {
        if (WNDPROC super = *GetSuperWndProcAddr())
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    }
    Detach();
    PostNcDestroy();
}

LPCDLGTEMPLATE AFXAPI AfxLoadDialogTemplate(LPCWSTR lpszTemplateName, HINSTANCE* phInst)
{
    HINSTANCE instance = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    if (phInst)
        *phInst = instance;
    HRSRC resource = ::FindResourceW(instance, lpszTemplateName, RT_DIALOG);
    HGLOBAL handle = resource ? ::LoadResource(instance, resource) : nullptr;
    return handle ? static_cast<LPCDLGTEMPLATE>(::LockResource(handle)) : nullptr;
}

BOOL CWnd::CreateDlg(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
{
    HINSTANCE instance = nullptr;
    LPCDLGTEMPLATE dialogTemplate = AfxLoadDialogTemplate(lpszTemplateName, &instance);
    return dialogTemplate ? CreateDlgIndirect(dialogTemplate, pParentWnd, instance) : FALSE;
}

BOOL CWnd::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (!hInst)
        hInst = AfxGetResourceHandle();
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), &AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    // EndDialog during WM_INITDIALOG: the dialog is not wanted after all.
    if (hWnd && !(m_nFlags & WF_CONTINUEMODAL)) {
        ::DestroyWindow(hWnd);
        hWnd = nullptr;
    }
    return hWnd != nullptr;
}

// ---------------------------------------------------------------- subclassing

WNDPROC* CWnd::GetSuperWndProcAddr()
{
    return &m_pfnSuper;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        *GetSuperWndProcAddr() = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* super = GetSuperWndProcAddr();
    if (m_hWnd && *super)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*super));
    *super = nullptr;
    return Detach();
}

// ---------------------------------------------------------------- the window procedure

WNDPROC AFXAPI AfxGetAfxWndProc()
{
    return &AfxWndProc;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_QUERYAFXWNDPROC)
        return 1;
    CWnd* wnd = nullptr;
    try {
        wnd = CWnd::FromHandlePermanent(hWnd);
    } catch (...) {
    }
    if (!wnd)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(wnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    const MSG saved = state->m_lastSentMsg;
    state->m_lastSentMsg.hwnd = hWnd;
    state->m_lastSentMsg.message = nMsg;
    state->m_lastSentMsg.wParam = wParam;
    state->m_lastSentMsg.lParam = lParam;

    LRESULT result = 0;
    try {
        RECT before = {};
        DWORD styleBefore = 0;
        if (nMsg == WM_INITDIALOG) {
            ::GetWindowRect(hWnd, &before);
            styleBefore = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE));
        }
        result = pWnd->WindowProc(nMsg, wParam, lParam); // pWnd may be deleted from here on
        if (nMsg == WM_INITDIALOG)
            CenterAfterInitDialog(hWnd, before, styleBefore);
    } catch (...) {
        result = AfxProcessDispatchException(&state->m_lastSentMsg);
    }
    if (nMsg == WM_NCDESTROY && WndMap()->LookupPermanent(hWnd) == pWnd) {
        // A handler that did not pass WM_NCDESTROY on left the handle mapped; drop the stale entry.
        WndMap()->RemoveHandle(hWnd);
    }
    state->m_lastSentMsg = saved;
    return result;
}

LRESULT AFXAPI AfxProcessDispatchException(const MSG* pMsg)
{
    try {
        throw;
    } catch (CException* e) {
        LRESULT result = 0;
        try {
            CWinThread* thread = AfxGetThread();
            result = thread ? thread->ProcessWndProcException(e, pMsg) : AfxInternalProcessWndProcException(e, pMsg);
        } catch (...) {
            LogSwallowedException(*pMsg);
        }
        e->Delete();
        return result;
    } catch (...) {
        LogSwallowedException(*pMsg);
        return AfxFailedMessageResult(pMsg);
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_ACTIVATE)
        NotifyTopLevelActivation(wParam, lParam);
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        if (pResult)
            *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || !OnNotify(wParam, lParam, &result))
            return FALSE;
        if (pResult)
            *pResult = result;
        return TRUE;
    }
    // Every WM_CTLCOLORxxx reaches the one ON_WM_CTLCOLOR entry.
    UINT lookup = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        lookup = WM_CTLCOLOR;
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), lookup);
    if (!entry)
        return FALSE;
    AFX_MSGCALL call = {message, wParam, lParam, 0, nullptr, 0};
    if (!entry->pfn(this, call))
        return FALSE;
    if (pResult)
        *pResult = call.lResult;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (WNDPROC super = *GetSuperWndProcAddr())
        return ::CallWindowProcW(super, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* PASCAL CWnd::GetCurrentMessage()
{
    MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    DWORD pos = ::GetMessagePos();
    msg.pt.x = static_cast<short>(LOWORD(pos));
    msg.pt.y = static_cast<short>(HIWORD(pos));
    msg.time = static_cast<DWORD>(::GetMessageTime());
    return &msg;
}

// ---------------------------------------------------------------- commands, notifications, reflection

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!hWndCtrl) {
        // A menu item or accelerator: only when its command is still enabled.
        if (nID == 0)
            return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
        if (!state.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    } else {
        if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
            return TRUE; // UpdateData is filling the controls
        if (ReflectLastMsg(hWndCtrl))
            return TRUE; // the control handled its own notification
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
        return TRUE;
    // The sender's own control id, not idFrom: a tool tip (a top-level window, id 0) puts the
    // tool's window there for TTF_IDISHWND tools. idFrom only when no window sent it.
    HWND hWndCtrl = header->hwndFrom;
    UINT nID = hWndCtrl ? static_cast<UINT>(::GetDlgCtrlID(hWndCtrl)) : static_cast<UINT>(header->idFrom);
    if (hWndCtrl && ReflectLastMsg(hWndCtrl, pResult))
        return TRUE;
    AFX_NOTIFY notify = {pResult, header};
    return OnCmdMsg(nID, MAKELONG(header->code, WM_NOTIFY), &notify, nullptr);
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* child = FromHandlePermanent(hWndChild);
    return child ? child->SendChildNotifyLastMsg(pResult) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND:
        // Only this control's own map: a reflected notification is not routed further.
        if (CCmdTarget::OnCmdMsg(0, MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr)) {
            if (pResult)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify = {pResult, header};
        return CCmdTarget::OnCmdMsg(0, MAKELONG(header->code, WM_REFLECT_BASE + WM_NOTIFY), &notify, nullptr);
    }
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            AFX_CTLCOLOR ctl = {m_hWnd, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
            return CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), pResult);
        }
        return FALSE;
    }
}

// The parent's default handlers of the messages a control sends about itself: the control gets
// them back first (reflection), and what it leaves goes to Windows.

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT result = 0;
    if (pWnd && pWnd->SendChildNotifyLastMsg(&result))
        return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        // A menu item names its menu in hwndItem; a menu object of the program draws it.
        if (CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem))) {
            menu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
        // By its window, not its id: a list view's header has the id 0.
        return;
    }
    (void)nIDCtl;
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        // Only the item id comes with the message: look for it in the pop-up being tracked for
        // this window, else in the window's menu bar.
        AFX_THREAD_STATE* state = AfxGetThreadState();
        HMENU start = nullptr;
        if (state->m_hTrackingWindow == m_hWnd)
            start = state->m_hTrackingMenu;
        else if (!(GetStyle() & WS_CHILD))
            start = ::GetMenu(m_hWnd);
        if (CMenu* menu = start ? FindMenuOfItem(start, lpMeasureItemStruct->itemID, nullptr) : nullptr) {
            menu->MeasureItem(lpMeasureItemStruct);
            return;
        }
    } else if (nIDCtl != 0 && ReflectLastMsg(::GetDlgItem(m_hWnd, nIDCtl))) {
        return;
    }
    Default();
}

void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    if (ReflectLastMsg(lpDeleteItemStruct->hwndItem))
        return;
    Default();
}

int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    LRESULT result = 0;
    if (ReflectLastMsg(lpCompareItemStruct->hwndItem, &result))
        return static_cast<int>(result);
    return static_cast<int>(Default());
}

int CWnd::OnCharToItem(UINT, CListBox* pListBox, UINT)
{
    LRESULT result = 0;
    if (pListBox && ReflectLastMsg(pListBox->m_hWnd, &result))
        return static_cast<int>(result);
    return static_cast<int>(Default());
}

int CWnd::OnVKeyToItem(UINT, CListBox* pListBox, UINT)
{
    LRESULT result = 0;
    if (pListBox && ReflectLastMsg(pListBox->m_hWnd, &result))
        return static_cast<int>(result);
    return static_cast<int>(Default());
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar && ReflectLastMsg(pScrollBar->m_hWnd))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar && ReflectLastMsg(pScrollBar->m_hWnd))
        return;
    Default();
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    // Creation and destruction name the child in lParam; mouse clicks do not.
    if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY) &&
        ReflectLastMsg(reinterpret_cast<HWND>(lParam)))
        return;
    Default();
}

void CWnd::OnSettingChange(UINT, LPCWSTR)
{
    // Windows tells only top-level windows; their children hear it from them.
    if (!(GetStyle() & WS_CHILD)) {
        const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
        SendMessageToDescendants(msg.message, msg.wParam, msg.lParam, TRUE, TRUE);
    }
    Default();
}

void CWnd::OnSysColorChange()
{
    if (!(GetStyle() & WS_CHILD))
        SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, TRUE, TRUE);
    Default();
}

// ---------------------------------------------------------------- pre-translation

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    FilterToolTipMessage(pMsg);
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    // From the target up through its parents (owners, for pop-ups) to hWndStop.
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* wnd = FromHandlePermanent(hWnd)) {
            if (wnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::PreTranslateInput(LPMSG lpMsg)
{
    bool keyboard = lpMsg->message >= WM_KEYFIRST && lpMsg->message <= WM_KEYLAST;
    bool mouse = lpMsg->message >= WM_MOUSEFIRST && lpMsg->message <= WM_MOUSELAST;
    return (keyboard || mouse) ? IsDialogMessage(lpMsg) : FALSE;
}

BOOL CWnd::IsDialogMessage(LPMSG lpMsg)
{
    return ::IsDialogMessageW(m_hWnd, lpMsg);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    SendToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

// ---------------------------------------------------------------- modal loop

int CWnd::RunModalLoop(DWORD dwFlags)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    MSG* msg = &state->m_msgCur;
    BOOL idle = TRUE;
    LONG idleCount = 0;
    BOOL showIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(m_hWnd);
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;

    auto showNow = [&] {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        showIdle = FALSE;
    };
    for (;;) {
        while (idle && !::PeekMessageW(msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // The window appears once the queue first runs dry (its first paint is ready).
            if (showIdle)
                showNow();
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent && idleCount == 0)
                ::SendMessageW(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            if ((dwFlags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++))
                idle = FALSE;
        }
        do {
            if (!ContinueModal())
                goto ExitModal;
            if (!AfxPumpMessage()) {
                AfxPostQuitMessage(0); // the outer loop must see WM_QUIT too
                return -1;
            }
            if (showIdle && (msg->message == 0x0118 /* WM_SYSTIMER */ || msg->message == WM_SYSKEYDOWN))
                showNow();
            if (!ContinueModal())
                goto ExitModal;
            if (AfxIsIdleMessage(msg)) {
                idle = TRUE;
                idleCount = 0;
            }
        } while (::PeekMessageW(msg, nullptr, 0, 0, PM_NOREMOVE));
    }
ExitModal:
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

BOOL CWnd::ContinueModal()
{
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL); // wakes the loop up
    }
}

BOOL AFXAPI AfxPumpMessage()
{
    if (CWinThread* thread = AfxGetThread())
        return thread->PumpMessage();
    MSG& msg = AfxGetThreadState()->m_msgCur;
    if (!::GetMessageW(&msg, nullptr, 0, 0))
        return FALSE;
    if (msg.message != WM_KICKIDLE && !CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL AFXAPI AfxIsIdleMessage(MSG* pMsg)
{
    CWinThread* thread = AfxGetThread();
    return thread ? thread->IsIdleMessage(pMsg) : AfxInternalIsIdleMessage(pMsg);
}

void AFXAPI AfxPostQuitMessage(int nExitCode)
{
    ::PostQuitMessage(nExitCode);
}

// ---------------------------------------------------------------- data exchange

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    // The controls being filled notify this window; those notifications are not user input.
    // The lockout ends however the exchange ends, or the window would stay deaf for good.
    struct LockoutGuard
    {
        AFX_THREAD_STATE* state;
        HWND old;
        ~LockoutGuard() { state->m_hLockoutNotifyWindow = old; }
    } guard = {AfxGetThreadState(), AfxGetThreadState()->m_hLockoutNotifyWindow};
    guard.state->m_hLockoutNotifyWindow = m_hWnd;
    BOOL ok = FALSE;
    try {
        DoDataExchange(&dx);
        ok = TRUE;
    } catch (CException* e) {
        // A user exception: the user has been told. Anything else is reported now.
        if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
            e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }
    return ok;
}

// ---------------------------------------------------------------- owners

HWND PASCAL CWnd::GetSafeOwner_(HWND hParent, HWND* pWndTop)
{
    HWND hWnd = hParent;
    if (!hWnd) {
        CWnd* mainWnd = AfxGetMainWnd();
        hWnd = mainWnd->GetSafeHwnd();
    }
    // A pop-up cannot be owned by a child window.
    while (hWnd && (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    HWND hWndTop = hWnd;
    for (HWND up = hWnd; up; up = ::GetParent(up))
        hWndTop = up;
    if (!hParent && hWnd)
        hWnd = ::GetLastActivePopup(hWnd);
    if (pWndTop) {
        if (hWndTop && ::IsWindowEnabled(hWndTop) && hWndTop != hWnd) {
            *pWndTop = hWndTop;
            ::EnableWindow(hWndTop, FALSE);
        } else {
            *pWndTop = nullptr;
        }
    }
    return hWnd;
}

CWnd* PASCAL CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    return FromHandle(GetSafeOwner_(pParent->GetSafeHwnd(), pWndTop));
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinThread* thread = AfxGetThread();
    return thread ? thread->GetMainWnd() : nullptr;
}
