#include "controls/CHookWnd.h"

IMPLEMENT_DYNAMIC(CHookWnd, CObject)

namespace {

const wchar_t kHookProperty[] = L"HookWnd_P";

CCriticalSection& HookLock()
{
    static CCriticalSection lock;
    return lock;
}

} // namespace

CHookWnd::~CHookWnd()
{
    if (IsHooked())
        Unhook();
}

CHookWnd* PASCAL CHookWnd::GetHook(HWND hWnd)
{
    return hWnd ? static_cast<CHookWnd*>(::GetPropW(hWnd, kHookProperty)) : nullptr;
}

BOOL CHookWnd::HookWindow(CWnd* pWnd)
{
    CSingleLock lock(&HookLock(), TRUE);
    return HookWindowNoLock(pWnd);
}

BOOL CHookWnd::HookWindowNoLock(CWnd* pWnd)
{
    HWND hWnd = pWnd->GetSafeHwnd();
    if (!hWnd || !::IsWindow(hWnd) || IsHooked())
        return FALSE;
    CHookWnd* head = GetHook(hWnd);
    if (!::SetPropW(hWnd, kHookProperty, this))
        return FALSE;
    if (head) {
        m_pOldWndProc = head->m_pOldWndProc;
        m_pNext = head;
    } else {
        m_pOldWndProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHookWnd::HookWndProc)));
        m_pNext = nullptr;
    }
    m_pWndHooked = pWnd;
    m_hWndHooked = hWnd;
    return TRUE;
}

BOOL CHookWnd::Unhook()
{
    CSingleLock lock(&HookLock(), TRUE);
    if (!IsHooked())
        return FALSE;
    UnhookNoLock();
    m_pWndHooked = nullptr;
    m_hWndHooked = nullptr;
    m_pOldWndProc = nullptr;
    m_pNext = nullptr;
    return TRUE;
}

void CHookWnd::UnhookNoLock()
{
    HWND hWnd = m_hWndHooked;
    if (!hWnd)
        return;
    CHookWnd* head = GetHook(hWnd);
    if (head == this) {
        if (m_pNext) {
            ::SetPropW(hWnd, kHookProperty, m_pNext);
        } else {
            ::RemovePropW(hWnd, kHookProperty);
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pOldWndProc));
        }
        return;
    }
    for (CHookWnd* hook = head; hook; hook = hook->m_pNext) {
        if (hook->m_pNext == this) {
            hook->m_pNext = m_pNext;
            return;
        }
    }
}

void PASCAL CHookWnd::UnhookAll(HWND hWnd)
{
    while (CHookWnd* head = GetHook(hWnd)) {
        if (!head->Unhook())
            break;
    }
}

LRESULT CHookWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pNext)
        return m_pNext->WindowProc(message, wParam, lParam);
    if (m_pOldWndProc)
        return ::CallWindowProcW(m_pOldWndProc, m_hWndHooked, message, wParam, lParam);
    return ::DefWindowProcW(m_hWndHooked, message, wParam, lParam);
}

LRESULT CHookWnd::Default()
{
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return CHookWnd::WindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CHookWnd::IsFirstHook() const
{
    return IsHooked() && GetHook(m_hWndHooked) == this;
}

BOOL CHookWnd::IsLastHook() const
{
    return IsHooked() && m_pNext == nullptr;
}

BOOL CHookWnd::IsMiddleHook() const
{
    return IsHooked() && GetHookCount() > 1 && !IsFirstHook() && !IsLastHook();
}

int CHookWnd::GetHookCount() const
{
    if (!IsHooked())
        return 0;
    int count = 0;
    for (CHookWnd* hook = GetHook(m_hWndHooked); hook; hook = hook->m_pNext)
        ++count;
    return count;
}

LRESULT CHookWnd::DispatchNcDestroy(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    CHookWnd* head = GetHook(hWnd);
    WNDPROC saved = head->m_pOldWndProc;
    UnhookAll(hWnd);
    if (!saved)
        return ::DefWindowProcW(hWnd, WM_NCDESTROY, wParam, lParam);
    return ::CallWindowProcW(saved, hWnd, WM_NCDESTROY, wParam, lParam);
}

LRESULT CALLBACK CHookWnd::HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    const MSG saved = state->m_lastSentMsg;
    state->m_lastSentMsg.hwnd = hWnd;
    state->m_lastSentMsg.message = message;
    state->m_lastSentMsg.wParam = wParam;
    state->m_lastSentMsg.lParam = lParam;
    LRESULT result = 0;
    try {
        CHookWnd* head = GetHook(hWnd);
        if (!head)
            result = ::DefWindowProcW(hWnd, message, wParam, lParam);
        else if (message == WM_NCDESTROY)
            result = DispatchNcDestroy(hWnd, wParam, lParam);
        else
            result = head->WindowProc(message, wParam, lParam);
    } catch (...) {
        result = AfxProcessDispatchException(&state->m_lastSentMsg);
    }
    state->m_lastSentMsg = saved;
    return result;
}
