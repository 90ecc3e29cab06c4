#include "controls/CCJHyperLink.h"

#include "foundation/MessageBoxes.h"

#include <commctrl.h>
#include <shellapi.h>

BEGIN_MESSAGE_MAP(CCJHyperLink, CStatic)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CCJHyperLink::CCJHyperLink() : m_crHoverColour(::GetSysColor(COLOR_HIGHLIGHT)) {}

CCJHyperLink::~CCJHyperLink()
{
    if (m_hLinkCursor)
        ::DestroyCursor(m_hLinkCursor);
}

BOOL CCJHyperLink::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CCJHyperLink::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    CString text;
    GetWindowText(text);
    if (m_strLink.IsEmpty())
        m_strLink = text;
    if (text.IsEmpty())
        SetWindowText(m_strLink);

    LOGFONTW logFont = {};
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    ::GetObjectW(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    logFont.lfUnderline = static_cast<BYTE>(m_bUnderline);
    m_linkFont.CreateFontIndirect(&logFont);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_linkFont.GetSafeHandle()), TRUE);

    FitToText();
    LoadHandCursor();

    if (m_ToolTip.Create(this)) {
        CRect client;
        GetClientRect(&client);
        m_ToolTip.AddTool(this, m_strLink, &client, 1);
    }
    CStatic::PreSubclassWindow();
}

void CCJHyperLink::SetLink(LPCWSTR lpszLink)
{
    m_strLink = lpszLink;
    if (!GetSafeHwnd())
        return;
    FitToText();
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.UpdateTipText(m_strLink, this, 1);
}

CString CCJHyperLink::GetLink() const
{
    return m_strLink;
}

void CCJHyperLink::SetLinkColours(COLORREF crLinkColour, COLORREF crVisitedColour, COLORREF crHoverColour,
                                  BOOL bRepaint)
{
    m_crLinkColour = crLinkColour;
    m_crVisitedColour = crVisitedColour;
    m_crHoverColour = crHoverColour;
    if (bRepaint && GetSafeHwnd())
        InvalidateRect(nullptr);
}

COLORREF CCJHyperLink::GetLinkColour() const
{
    return m_crLinkColour;
}

COLORREF CCJHyperLink::GetVisitedColour() const
{
    return m_crVisitedColour;
}

COLORREF CCJHyperLink::GetHoverColour() const
{
    return m_crHoverColour;
}

void CCJHyperLink::SetVisited(BOOL bVisited)
{
    m_bVisited = bVisited;
    if (GetSafeHwnd())
        InvalidateRect(nullptr);
}

BOOL CCJHyperLink::IsVisited() const
{
    return m_bVisited;
}

void CCJHyperLink::SetLinkCursor(HCURSOR hCursor)
{
    if (!hCursor) {
        LoadHandCursor();
        return;
    }
    if (m_hLinkCursor && m_hLinkCursor != hCursor)
        ::DestroyCursor(m_hLinkCursor);
    m_hLinkCursor = hCursor;
}

HCURSOR CCJHyperLink::GetLinkCursor() const
{
    return m_hLinkCursor;
}

void CCJHyperLink::SetUnderlined(BOOL bUnderline)
{
    m_bUnderline = bUnderline;
    if (!GetSafeHwnd())
        return;
    LOGFONTW logFont = {};
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    ::GetObjectW(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    logFont.lfUnderline = static_cast<BYTE>(bUnderline);
    // The window still uses the old font until WM_SETFONT: delete it only afterwards.
    CFont newFont;
    newFont.CreateFontIndirect(&logFont);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(newFont.GetSafeHandle()), TRUE);
    m_linkFont.DeleteObject();
    m_linkFont.Attach(newFont.Detach());
    InvalidateRect(nullptr);
}

BOOL CCJHyperLink::IsUnderlined() const
{
    return m_bUnderline;
}

void CCJHyperLink::SetFitToText(BOOL bFitToText)
{
    m_bAdjustToFit = bFitToText;
    if (GetSafeHwnd())
        FitToText();
}

BOOL CCJHyperLink::IsFitToText() const
{
    return m_bAdjustToFit;
}

void CCJHyperLink::FitToText()
{
    if (!GetSafeHwnd() || !m_bAdjustToFit)
        return;
    CRect rect;
    GetWindowRect(&rect);
    if (CWnd* parent = GetParent())
        parent->ScreenToClient(&rect);
    CString text;
    GetWindowText(text);
    SIZE extent = {};
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_linkFont.GetSafeHandle() ? m_linkFont.GetSafeHandle()
                                                                : reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    ::GetTextExtentPoint32W(dc, text, text.GetLength(), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);

    DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        int d = (rect.Height() - extent.cy) / 2;
        rect.top += d;
        rect.bottom -= d;
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
        int d = (rect.Width() - extent.cx) / 2;
        rect.left += d;
        rect.right -= d;
        break;
    }
    case SS_RIGHT:
        rect.left = rect.right - extent.cx;
        break;
    default:
        rect.right = rect.left + extent.cx;
        break;
    }
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER);
}

void CCJHyperLink::LoadHandCursor()
{
    if (m_hLinkCursor)
        return;
    wchar_t path[MAX_PATH] = {};
    ::GetWindowsDirectoryW(path, MAX_PATH);
    lstrcatW(path, L"\\winhlp32.exe");
    HMODULE module = ::LoadLibraryW(path);
    if (!module)
        return;
    if (HCURSOR cursor = ::LoadCursorW(module, MAKEINTRESOURCEW(106)))
        m_hLinkCursor = static_cast<HCURSOR>(::CopyIcon(cursor));
    ::FreeLibrary(module);
}

LONG CCJHyperLink::ReadRegDefault(HKEY hKey, LPCWSTR lpszSubKey, LPWSTR lpszValue)
{
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExW(hKey, lpszSubKey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    wchar_t data[260] = {};
    LONG size = sizeof(data);
    result = ::RegQueryValueW(key, nullptr, data, &size);
    data[259] = 0;
    if (result == ERROR_SUCCESS)
        lstrcpyW(lpszValue, data);
    ::RegCloseKey(key);
    return result;
}

CString CCJHyperLink::BuildHandlerCommand(const CString& strCommand, LPCWSTR lpszLink)
{
    CString command = strCommand;
    int cut = command.Find(L"\"%1\"");
    if (cut < 0)
        cut = command.Find(L"%1");
    if (cut >= 0)
        command = command.Left(cut);
    return command + L" " + lpszLink;
}

INT_PTR CCJHyperLink::OpenLink(LPCWSTR lpszLink, int nShowCmd)
{
    INT_PTR shell = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", lpszLink, nullptr, nullptr, nShowCmd));
    if (shell > 32)
        return shell;
    wchar_t key[1040] = {};
    if (ReadRegDefault(HKEY_CLASSES_ROOT, L".htm", key) != ERROR_SUCCESS)
        return shell;
    lstrcatW(key, L"\\shell\\open\\command");
    wchar_t handler[260] = {};
    if (ReadRegDefault(HKEY_CLASSES_ROOT, key, handler) != ERROR_SUCCESS)
        return shell;
    CString command = BuildHandlerCommand(handler, lpszLink);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, command.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        command.ReleaseBuffer();
        return 0;
    }
    command.ReleaseBuffer();
    // The handler runs on its own; nothing here waits for it.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 33;
}

CString CCJHyperLink::OpenErrorText(int nError)
{
    struct Message
    {
        int code;
        LPCWSTR text;
    };
    static const Message messages[] = {
        {0, L"The operating system is out\nof memory or resources."},
        {2, L"The specified file was not found."},
        {3, L"The specified path was not found."},
        {5, L"The operating system denied\naccess to the specified file."},
        {8, L"There was not enough memory to complete the operation."},
        {11, L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, L"A sharing violation occurred. "},
        {27, L"The filename association is\nincomplete or invalid."},
        {28, L"The DDE transaction could not\nbe completed because the request timed out."},
        {29, L"The DDE transaction failed."},
        {30, L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, L"There is no application associated\nwith the given filename extension."},
        {32, L"The specified dynamic-link library was not found."},
    };
    CString text = L"Unable to open hyperlink:\n\n";
    for (const Message& m : messages) {
        if (m.code == nError)
            return text + m.text;
    }
    CString unknown;
    unknown.Format(L"Unknown Error (%d) occurred.", nError);
    return text + unknown;
}

void CCJHyperLink::ShowOpenError(int nError)
{
    ShowMessageBox(OpenErrorText(nError), MB_ICONEXCLAMATION);
}

void CCJHyperLink::OnClicked()
{
    INT_PTR result = OpenLink(m_strLink, SW_SHOW);
    m_bVisited = result >= 33;
    if (result > 32) {
        SetVisited(TRUE);
    } else {
        ::MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(static_cast<int>(result));
    }
}

HBRUSH CCJHyperLink::CtlColor(CDC* pDC, UINT)
{
    if (m_bOverControl)
        pDC->SetTextColor(m_crHoverColour);
    else if (m_bVisited)
        pDC->SetTextColor(m_crVisitedColour);
    else
        pDC->SetTextColor(m_crLinkColour);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CCJHyperLink::OnMouseMove(UINT nFlags, CPoint point)
{
    CStatic::OnMouseMove(nFlags, point);
    if (!m_bOverControl) {
        m_bOverControl = TRUE;
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SetCapture();
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        m_bOverControl = FALSE;
        ::ReleaseCapture();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

BOOL CCJHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hLinkCursor) {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return FALSE;
}
