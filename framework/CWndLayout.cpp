// CWnd's part in frames and layout: the frame chain, RepositionBars, dialog-init resources,
// control updates through CCmdUI and the thread's tool tip for hit-tested windows.
#include "framework/CWnd.h"
#include "framework/CCmdUI.h"
#include "framework/CException.h"
#include "framework/CFrameWnd.h"
#include "framework/ModuleState.h"

#include <vector>

// ---------------------------------------------------------------- frames

BOOL CWnd::IsFrameWnd() const
{
    return FALSE;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (!m_hWnd)
        return nullptr;
    for (HWND up = ::GetParent(m_hWnd); up; up = ::GetParent(up)) {
        CWnd* wnd = CWnd::FromHandlePermanent(up);
        if (wnd && wnd->IsFrameWnd())
            return static_cast<CFrameWnd*>(wnd);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (!m_hWnd)
        return nullptr;
    CFrameWnd* frame = IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
    while (frame) {
        CFrameWnd* above = frame->GetParentFrame();
        if (!above)
            break;
        frame = above;
    }
    return frame;
}

CFrameWnd* CWnd::EnsureParentFrame() const
{
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        AfxThrowInvalidArgException();
    return frame;
}

// ---------------------------------------------------------------- layout

void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
    HWND parent = ::GetParent(hWnd);
    RECT current;
    ::GetWindowRect(hWnd, &current);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&current), 2);
    if (::EqualRect(&current, lpRect))
        return;
    const int cx = lpRect->right - lpRect->left;
    const int cy = lpRect->bottom - lpRect->top;
    const UINT flags = SWP_NOACTIVATE | SWP_NOZORDER;
    if (lpLayout && lpLayout->hDWP) {
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top, cx, cy, flags);
        if (lpLayout->hDWP)
            return;
    }
    ::SetWindowPos(hWnd, nullptr, lpRect->left, lpRect->top, cx, cy, flags);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout = {};
    layout.bStretch = bStretch;
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    const UINT mode = nFlags & ~reposNoPosLeftOver;
    if (mode != reposQuery)
        layout.hDWP = ::BeginDeferWindowPos(8);

    // Each bar in z-order takes its strip off the free rectangle.
    HWND leftOver = nullptr;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == nIDLeftOver)
            leftOver = child;
        else if (id >= nIDFirst && id <= nIDLast && FromHandlePermanent(child))
            ::SendMessageW(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (mode == reposQuery) {
        if (lpRectParam) {
            if (bStretch)
                ::CopyRect(lpRectParam, &layout.rect);
            else
                ::SetRect(lpRectParam, 0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        }
        return;
    }
    if (leftOver && !(nFlags & reposNoPosLeftOver)) {
        if (mode == reposExtra && lpRectParam) {
            layout.rect.left += lpRectParam->left;
            layout.rect.top += lpRectParam->top;
            layout.rect.right -= lpRectParam->right;
            layout.rect.bottom -= lpRectParam->bottom;
        }
        CWnd* pane = FromHandle(leftOver);
        pane->CalcWindowRect(&layout.rect);
        AfxRepositionWindow(&layout, leftOver, &layout.rect);
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);
}

// ---------------------------------------------------------------- dialog-init resources

BOOL CWnd::ExecuteDlgInit(LPCWSTR lpszResourceName)
{
    if (!lpszResourceName)
        return TRUE;
    const LPCWSTR type = MAKEINTRESOURCEW(240);
    HINSTANCE instance = AfxFindResourceHandle(lpszResourceName, type);
    HRSRC resource = ::FindResourceW(instance, lpszResourceName, type);
    if (!resource)
        return TRUE; // no initial data: nothing to do
    HGLOBAL handle = ::LoadResource(instance, resource);
    void* data = handle ? ::LockResource(handle) : nullptr;
    if (!data)
        return FALSE;
    // Records past the resource's end would be read from beyond it: the size bounds the walk.
    const DWORD size = ::SizeofResource(instance, resource);
    std::vector<BYTE> bounded(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    bounded.resize(size + 2, 0); // a closing zero id whatever the resource holds
    return ExecuteDlgInit(bounded.data());
}

BOOL CWnd::ExecuteDlgInit(LPVOID lpResource)
{
    if (!lpResource)
        return TRUE;
    // Records: WORD control id (0 ends), WORD message, DWORD length, then the bytes: a text in
    // code page 932 for the add-string messages, whatever the system's code page. Messages are
    // those of 16-bit Windows.
    const BYTE* p = static_cast<const BYTE*>(lpResource);
    BOOL ok = TRUE;
    for (;;) {
        WORD id;
        std::memcpy(&id, p, sizeof(id));
        if (id == 0)
            break;
        WORD message;
        DWORD length;
        std::memcpy(&message, p + 2, sizeof(message));
        std::memcpy(&length, p + 4, sizeof(length));
        const char* text = reinterpret_cast<const char*>(p + 8);
        UINT nMsg = message;
        if (message == 0x0401) // LB_ADDSTRING of 16-bit Windows
            nMsg = LB_ADDSTRING;
        else if (message == 0x0403) // CB_ADDSTRING of 16-bit Windows
            nMsg = CB_ADDSTRING;
        if (nMsg == LB_ADDSTRING || nMsg == CB_ADDSTRING) {
            const UINT codePage = 932; // the resource compiler's, not the system's
            int n = ::MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), nullptr, 0);
            std::wstring wide(static_cast<size_t>(n), L'\0');
            ::MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), &wide[0], n);
            wide.resize(std::wcslen(wide.c_str()));
            LRESULT result = ::SendDlgItemMessageW(m_hWnd, id, nMsg, 0, reinterpret_cast<LPARAM>(wide.c_str()));
            if (result == LB_ERR || result == LB_ERRSPACE)
                ok = FALSE;
        }
        p += 8 + length;
    }
    return ok;
}

// ---------------------------------------------------------------- control updates

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    CWnd wndTemp; // stands in for controls the program has no object of
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(child));
        CWnd* control = FromHandlePermanent(child);
        if (control) {
            state.m_pOther = control;
            // A control that updates itself (a reflected update) needs no more.
            if (control->CCmdTarget::OnCmdMsg(0, MAKELONG(0xFFFF, WM_COMMAND + WM_REFLECT_BASE), &state, nullptr))
                continue;
        } else {
            wndTemp.m_hWnd = child;
            state.m_pOther = &wndTemp;
        }
        // Only push buttons are disabled for want of a handler.
        BOOL disable = FALSE;
        if (bDisableIfNoHndler && (::SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
            DWORD type = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE)) & 0x0F;
            disable = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON;
        }
        state.DoUpdate(pTarget, disable);
    }
    wndTemp.m_hWnd = nullptr;
}

// ---------------------------------------------------------------- tool tips

namespace {

AFX_THREAD_STATE* ToolTipState()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hWndToolTip && !::IsWindow(state->m_hWndToolTip)) {
        state->m_hWndToolTip = nullptr;
        state->m_hWndLastHit = nullptr;
        state->m_nLastHit = -1;
    }
    return state;
}

void ForgetLastTool(AFX_THREAD_STATE* state)
{
    if (state->m_hWndToolTip && state->m_hWndLastHit) {
        TOOLINFOW info = state->m_lastInfo;
        info.cbSize = sizeof(TOOLINFOW);
        ::SendMessageW(state->m_hWndToolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    state->m_hWndLastHit = nullptr;
    state->m_nLastHit = -1;
}

} // namespace

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    BOOL old = (m_nFlags & WF_TOOLTIPS) != 0;
    if (bEnable) {
        m_nFlags |= WF_TOOLTIPS;
    } else {
        m_nFlags &= ~WF_TOOLTIPS;
        AFX_THREAD_STATE* state = ToolTipState();
        if (state->m_hWndLastHit == m_hWnd)
            ForgetLastTool(state);
    }
    return old;
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFOW* pTI) const
{
    // The visible child under the point, disabled ones included.
    HWND hit = nullptr;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
        if (::PtInRect(&rect, point)) {
            hit = child;
            break;
        }
    }
    int id = hit ? ::GetDlgCtrlID(hit) : 0;
    if (!hit || id == 0 || id == -1)
        return -1;
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = reinterpret_cast<UINT_PTR>(hit);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACKW;
        if (!(::SendMessageW(hit, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON))
            pTI->uFlags |= TTF_CENTERTIP;
    }
    return id;
}

void PASCAL CWnd::CancelToolTips(BOOL)
{
    AFX_THREAD_STATE* state = ToolTipState();
    if (state->m_hWndToolTip) {
        ::SendMessageW(state->m_hWndToolTip, TTM_ACTIVATE, FALSE, 0);
        ::SendMessageW(state->m_hWndToolTip, TTM_ACTIVATE, TRUE, 0);
    }
}

void CWnd::FilterToolTipMessage(MSG* pMsg)
{
    const UINT message = pMsg->message;
    const bool mouse = message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE || message == WM_LBUTTONUP ||
                       message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    const bool cancels = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                         message == WM_NCLBUTTONDOWN || message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (!mouse && !cancels)
        return;
    // Only the nearest window with tips enabled, from the message's target up, handles them.
    HWND owner = pMsg->hwnd;
    while (owner) {
        CWnd* wnd = FromHandlePermanent(owner);
        if (wnd && (wnd->m_nFlags & WF_TOOLTIPS))
            break;
        owner = ::GetParent(owner);
    }
    if (owner != m_hWnd)
        return;
    AFX_THREAD_STATE* state = ToolTipState();
    if (cancels) {
        CancelToolTips(message == WM_KEYDOWN || message == WM_SYSKEYDOWN);
        return;
    }
    if (!state->m_hWndToolTip) {
        // A tip may show a file name: its "&" is a character, not a mnemonic to strip.
        state->m_hWndToolTip = ::CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, AfxGetInstanceHandle(), nullptr);
        if (!state->m_hWndToolTip)
            return;
        ::SendMessageW(state->m_hWndToolTip, TTM_ACTIVATE, TRUE, 0);
    }
    POINT point = pMsg->pt;
    ::ScreenToClient(m_hWnd, &point);
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    INT_PTR hit = OnToolHitTest(point, &info);
    if (state->m_hWndLastHit != m_hWnd || state->m_nLastHit != hit) {
        ForgetLastTool(state);
        if (hit != -1) {
            info.cbSize = sizeof(info);
            if (!(info.uFlags & TTF_IDISHWND) && ::IsRectEmpty(&info.rect))
                ::GetClientRect(m_hWnd, &info.rect);
            ::SendMessageW(state->m_hWndToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
            state->m_hWndLastHit = m_hWnd;
            state->m_nLastHit = hit;
            state->m_lastInfo = info;
        }
    }
    if (hit != -1) {
        // The tip window sees the move as if it were over the tool's own window.
        MSG relay = *pMsg;
        if (info.uFlags & TTF_IDISHWND) {
            relay.hwnd = m_hWnd;
            POINT client = pMsg->pt;
            ::ScreenToClient(m_hWnd, &client);
            relay.lParam = MAKELPARAM(client.x, client.y);
        }
        ::SendMessageW(state->m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
}
