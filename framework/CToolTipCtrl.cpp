#include "framework/CToolTipCtrl.h"

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

// The record size of comctl32 5.81 (with lParam): larger records are refused by that version.
static const UINT kToolInfoSize = TTTOOLINFOW_V2_SIZE;

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    return CreateEx(pParentWnd, dwStyle, 0);
}

BOOL CToolTipCtrl::CreateEx(CWnd* pParentWnd, DWORD dwStyle, DWORD dwStyleEx)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
    BOOL created = CWnd::CreateEx(dwStyleEx, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), nullptr);
    if (created)
        SetOwner(pParentWnd);
    return created;
}

void CToolTipCtrl::FillInToolInfo(TTTOOLINFOW& ti, CWnd* pWnd, UINT_PTR nIDTool) const
{
    ZeroMemory(&ti, sizeof(ti));
    ti.cbSize = kToolInfoSize;
    HWND hWnd = pWnd->GetSafeHwnd();
    if (nIDTool == 0) {
        // The window itself is the tool: its handle is the id and its parent is asked for texts.
        ti.hwnd = ::GetParent(hWnd);
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(hWnd);
    } else {
        ti.hwnd = hWnd;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCWSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!pWnd->GetSafeHwnd())
        return FALSE;
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool)
        ti.rect = *lpRectTool;
    else if (nIDTool != 0)
        ::GetClientRect(pWnd->m_hWnd, &ti.rect);
    // A top-level window has no parent to ask: it answers for itself.
    if (!ti.hwnd)
        ti.hwnd = pWnd->m_hWnd;
    ti.lpszText = const_cast<LPWSTR>(lpszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    CString text;
    text.LoadString(nIDText);
    return AddTool(pWnd, text, lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (!ti.hwnd)
        ti.hwnd = pWnd->GetSafeHwnd();
    SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg)
{
    SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg));
}

void CToolTipCtrl::UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (!ti.hwnd)
        ti.hwnd = pWnd->GetSafeHwnd();
    ti.lpszText = const_cast<LPWSTR>(lpszText);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool)
{
    CString text;
    text.LoadString(nIDText);
    UpdateTipText(text, pWnd, nIDTool);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    SendMessage(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
    // The control copies the text into the caller's buffer, which it assumes is large enough.
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (!ti.hwnd)
        ti.hwnd = pWnd->GetSafeHwnd();
    wchar_t buffer[1024] = {};
    ti.lpszText = buffer;
    SendMessage(TTM_GETTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    str = buffer;
}

BOOL CToolTipCtrl::GetToolInfo(TTTOOLINFOW& ToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const
{
    FillInToolInfo(ToolInfo, pWnd, nIDTool);
    if (!ToolInfo.hwnd)
        ToolInfo.hwnd = pWnd->GetSafeHwnd();
    return static_cast<BOOL>(SendMessage(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ToolInfo)));
}

void CToolTipCtrl::SetToolInfo(LPTTTOOLINFOW lpToolInfo)
{
    SendMessage(TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(lpToolInfo));
}

int CToolTipCtrl::GetToolCount() const
{
    return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT));
}

void CToolTipCtrl::Activate(BOOL bActivate)
{
    SendMessage(TTM_ACTIVATE, bActivate);
}

void CToolTipCtrl::Pop()
{
    SendMessage(TTM_POP);
}

void CToolTipCtrl::Update()
{
    SendMessage(TTM_UPDATE);
}

void CToolTipCtrl::SetDelayTime(UINT nDelay)
{
    SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, static_cast<LPARAM>(nDelay));
}

void CToolTipCtrl::SetDelayTime(DWORD dwDuration, int iTime)
{
    SendMessage(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0));
}

int CToolTipCtrl::GetDelayTime(DWORD dwDuration) const
{
    return static_cast<int>(SendMessage(TTM_GETDELAYTIME, dwDuration));
}

int CToolTipCtrl::SetMaxTipWidth(int iWidth)
{
    return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth));
}

int CToolTipCtrl::GetMaxTipWidth() const
{
    return static_cast<int>(SendMessage(TTM_GETMAXTIPWIDTH));
}

void CToolTipCtrl::SetTipBkColor(COLORREF clr)
{
    SendMessage(TTM_SETTIPBKCOLOR, clr);
}

COLORREF CToolTipCtrl::GetTipBkColor() const
{
    return static_cast<COLORREF>(SendMessage(TTM_GETTIPBKCOLOR));
}

void CToolTipCtrl::SetTipTextColor(COLORREF clr)
{
    SendMessage(TTM_SETTIPTEXTCOLOR, clr);
}

COLORREF CToolTipCtrl::GetTipTextColor() const
{
    return static_cast<COLORREF>(SendMessage(TTM_GETTIPTEXTCOLOR));
}

void CToolTipCtrl::SetMargin(LPRECT lprc)
{
    SendMessage(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(lprc));
}

void CToolTipCtrl::GetMargin(LPRECT lprc) const
{
    SendMessage(TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(lprc));
}
