#include "controls/COXToolTipCtrl.h"

IMPLEMENT_DYNAMIC(COXToolTipInfo, CObject)
IMPLEMENT_DYNAMIC(COXToolTipCtrl, CWnd)

BEGIN_MESSAGE_MAP(COXToolTipCtrl, CWnd)
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEACTIVATE()
ON_WM_SETFOCUS()
ON_WM_DESTROY()
ON_WM_SETTINGCHANGE()
ON_MESSAGE(WM_SETFONT, OnSetFont)
ON_MESSAGE(WM_GETFONT, OnGetFont)
END_MESSAGE_MAP()

namespace {

const UINT_PTR kInitialTimer = 1;
const UINT_PTR kCheckTimer = 2;
const wchar_t kTwoBlanks[] = L"  ";

LOGFONTW g_systemFont = {};

void ReadSystemToolTipFont()
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        g_systemFont = metrics.lfStatusFont;
    else
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(g_systemFont), &g_systemFont);
}

bool HidesTheTip(UINT message)
{
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST)
        return true;
    switch (message) {
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
        return true;
    }
    return false;
}

} // namespace

const LOGFONTW& COXToolTipCtrl::SystemToolTipFont()
{
    if (!g_systemFont.lfFaceName[0] && !g_systemFont.lfHeight)
        ReadSystemToolTipFont();
    return g_systemFont;
}

COXToolTipCtrl::COXToolTipCtrl()
    : m_rectMargin(2, 2, 3, 3), m_ptOffset(0, 20),
      m_dwTextStyle(DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX)
{
    m_arrTools.SetSize(0);
}

COXToolTipCtrl::~COXToolTipCtrl()
{
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i)
        delete m_arrTools[i];
    m_arrTools.RemoveAll();
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL COXToolTipCtrl::Create(CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
    LPCWSTR cls = AfxRegisterWndClass(CS_SAVEBITS | CS_CLASSDC, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!CreateEx(WS_EX_TOPMOST, cls, L"", WS_POPUP, 0, 0, 10, 10, pParentWnd->GetSafeHwnd(), nullptr))
        return FALSE;
    SetLogFont(&SystemToolTipFont(), FALSE);
    return TRUE;
}

BOOL COXToolTipCtrl::AddTool(CWnd* pWnd, LPCWSTR lpszText, const RECT* pRect, UINT nIDTool)
{
    if (!pWnd || !::IsWindow(pWnd->GetSafeHwnd()))
        return FALSE;
    auto* info = new COXToolTipInfo;
    info->hWnd = pWnd->m_hWnd;
    info->nIDTool = nIDTool;
    CRect rect;
    if (pRect) {
        rect = *pRect;
        ::MapWindowPoints(pWnd->m_hWnd, nullptr, reinterpret_cast<LPPOINT>(&rect), 2);
    } else {
        pWnd->GetWindowRect(&rect);
    }
    ::MapWindowPoints(nullptr, m_pParentWnd->GetSafeHwnd(), reinterpret_cast<LPPOINT>(&rect), 2);
    info->rectBounds = rect;
    if (lpszText == LPSTR_TEXTCALLBACKW) {
        info->nTextSource = -1;
    } else {
        info->strText = lpszText ? lpszText : L"";
    }
    info->nWidth = m_nMaxWidth;
    info->clrTextColor = m_crTextColor;
    info->clrBackColor = m_crBackColor;
    m_arrTools.Add(info);
    return TRUE;
}

BOOL COXToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, const RECT* pRect, UINT nIDTool)
{
    CString text;
    text.LoadString(nIDText);
    return AddTool(pWnd, text, pRect, nIDTool);
}

void COXToolTipCtrl::DelTool(CWnd* pWnd, UINT nIDTool)
{
    for (INT_PTR i = m_arrTools.GetSize() - 1; i >= 0; --i) {
        auto* info = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (info->hWnd != pWnd->GetSafeHwnd() || info->nIDTool != nIDTool)
            continue;
        if (info == m_pCurrTool) {
            Hide();
            m_bTipCancelled = TRUE;
            m_pCurrTool = nullptr;
        }
        delete info;
        m_arrTools.RemoveAt(i);
    }
}

COXToolTipInfo* COXToolTipCtrl::FindToolAtPoint(CPoint point)
{
    HWND parent = m_pParentWnd->GetSafeHwnd();
    if (!parent)
        return nullptr;
    CPoint screen = point;
    ::ClientToScreen(parent, &screen);
    HWND hWnd = ::WindowFromPoint(screen);
    if (hWnd == parent)
        hWnd = ::ChildWindowFromPointEx(parent, point, CWP_SKIPINVISIBLE);
    if (!hWnd || hWnd == parent || !::IsChild(parent, hWnd))
        return nullptr;
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
        auto* info = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (info->hWnd == hWnd || ::IsChild(info->hWnd, hWnd))
            return info->rectBounds.PtInRect(point) ? info : nullptr;
    }
    return nullptr;
}

COXToolTipInfo* COXToolTipCtrl::ToolUnderCursor()
{
    CPoint point;
    ::GetCursorPos(&point);
    ::ScreenToClient(m_pParentWnd->GetSafeHwnd(), &point);
    return FindToolAtPoint(point);
}

BOOL COXToolTipCtrl::IsCursorInToolTip() const
{
    if (!::IsWindow(m_hWnd) || !IsWindowVisible())
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    CRect rect;
    GetWindowRect(&rect);
    return rect.PtInRect(point);
}

void COXToolTipCtrl::StopTimers()
{
    if (::IsWindow(m_hWnd)) {
        KillTimer(kInitialTimer);
        KillTimer(kCheckTimer);
    }
}

void COXToolTipCtrl::Hide()
{
    if (::IsWindow(m_hWnd))
        ShowWindow(SW_HIDE);
    m_strDisplayed.Empty();
}

void COXToolTipCtrl::RelayEvent(MSG* pMsg)
{
    if (!::IsWindow(m_hWnd) || !m_pParentWnd)
        return;
    switch (pMsg->message) {
    case WM_MOUSEMOVE: {
        CPoint point(static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam)));
        ::MapWindowPoints(pMsg->hwnd, m_pParentWnd->m_hWnd, &point, 1);
        COXToolTipInfo* tool = FindToolAtPoint(point);
        if (tool) {
            if (tool == m_pCurrTool || IsCursorInToolTip())
                return;
            StopTimers();
            Hide();
            m_bTipCancelled = FALSE;
            m_pCurrTool = tool;
            SetTimer(kInitialTimer, static_cast<UINT>(m_nInitDelay), nullptr);
        } else if (m_bTipCancelled) {
            m_pCurrTool = nullptr;
        }
        return;
    }
    case WM_LBUTTONDOWN:
        if (!IsCursorInToolTip()) {
            Hide();
            m_bTipCancelled = TRUE;
        }
        return;
    }
    if (HidesTheTip(pMsg->message)) {
        Hide();
        m_bTipCancelled = TRUE;
    }
}

CString COXToolTipCtrl::GetToolText(COXToolTipInfo* pInfo)
{
    if (!pInfo)
        return CString();
    if (pInfo->nTextSource != -1)
        return pInfo->strText;
    NMTTDISPINFOW request = {};
    request.hdr.hwndFrom = m_hWnd;
    request.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(pInfo->hWnd));
    request.hdr.code = TTN_NEEDTEXTW;
    m_pParentWnd->SendMessage(WM_NOTIFY, pInfo->nIDTool, reinterpret_cast<LPARAM>(&request));
    if (request.hinst) {
        wchar_t buffer[512] = {};
        UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(request.lpszText));
        if (::LoadStringW(request.hinst, id, buffer, 512) <= 0)
            return CString();
        return buffer;
    }
    if (request.lpszText && request.lpszText != LPSTR_TEXTCALLBACKW)
        return request.lpszText;
    return request.szText;
}

void COXToolTipCtrl::SplitText(const CString& text)
{
    int cr = text.Find(L'\r');
    m_bHasExtendedText = cr >= 0;
    if (m_bHasExtendedText) {
        m_strShort = text.Left(cr) + kTwoBlanks;
        m_strLong = kTwoBlanks + text.Mid(cr + 1);
    } else {
        m_strShort = text;
        m_strLong.Empty();
    }
}

void COXToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT nIDTool)
{
    str.Empty();
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
        auto* info = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (info->hWnd == pWnd->GetSafeHwnd() && info->nIDTool == nIDTool) {
            str = GetToolText(info);
            return;
        }
    }
}

BOOL COXToolTipCtrl::GetToolInfo(OXTOOLINFO& info, CWnd* pWnd, UINT nIDTool)
{
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
        auto* tool = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (tool->hWnd != pWnd->GetSafeHwnd() || tool->nIDTool != nIDTool)
            continue;
        info = {};
        info.cbSize = sizeof(OXTOOLINFO);
        info.uFlags = tool->uFlags;
        info.hwnd = tool->hWnd;
        info.uId = tool->nIDTool;
        info.rect = tool->rectBounds;
        info.hinst = AfxGetInstanceHandle();
        info.lpszText = tool->nTextSource == -1 ? LPSTR_TEXTCALLBACKW : const_cast<LPWSTR>(tool->strText.GetString());
        info.nWidth = tool->nWidth;
        info.clrTextColor = tool->clrTextColor;
        info.clrBackColor = tool->clrBackColor;
        return TRUE;
    }
    return FALSE;
}

void COXToolTipCtrl::SetToolInfo(const OXTOOLINFO& info)
{
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
        auto* tool = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (tool->hWnd != info.hwnd || tool->nIDTool != info.uId)
            continue;
        tool->uFlags = info.uFlags;
        tool->rectBounds = info.rect;
        if (info.lpszText == LPSTR_TEXTCALLBACKW) {
            tool->nTextSource = -1;
            tool->strText.Empty();
        } else {
            tool->nTextSource = 0;
            tool->strText = info.lpszText ? info.lpszText : L"";
        }
        tool->nWidth = info.nWidth;
        tool->clrTextColor = info.clrTextColor;
        tool->clrBackColor = info.clrBackColor;
        return;
    }
}

void COXToolTipCtrl::SetDelayTime(DWORD dwDuration, int nTime)
{
    if (dwDuration == TTDT_AUTOPOP)
        m_nDisplayDelay = nTime;
    else if (dwDuration == TTDT_INITIAL)
        m_nInitDelay = nTime;
}

int COXToolTipCtrl::GetDelayTime(DWORD dwDuration) const
{
    if (dwDuration == TTDT_AUTOPOP)
        return m_nDisplayDelay;
    if (dwDuration == TTDT_INITIAL)
        return m_nInitDelay;
    return 0;
}

void COXToolTipCtrl::SetMaxTipWidth(int nWidth)
{
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
        auto* tool = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (tool->nWidth == m_nMaxWidth)
            tool->nWidth = nWidth;
    }
    m_nMaxWidth = nWidth;
}

void COXToolTipCtrl::SetTipBkColor(COLORREF clr)
{
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
        auto* tool = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (tool->clrBackColor == m_crBackColor)
            tool->clrBackColor = clr;
    }
    m_crBackColor = clr;
}

void COXToolTipCtrl::SetTipTextColor(COLORREF clr)
{
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
        auto* tool = static_cast<COXToolTipInfo*>(m_arrTools[i]);
        if (tool->clrTextColor == m_crTextColor)
            tool->clrTextColor = clr;
    }
    m_crTextColor = clr;
}

BOOL COXToolTipCtrl::SetLogFont(const LOGFONTW* pLogFont, BOOL bRedraw)
{
    if (!pLogFont)
        return FALSE;
    m_logFont = *pLogFont;
    m_bUsingSystemFont = memcmp(&m_logFont, &SystemToolTipFont(), sizeof(LOGFONTW)) == 0;
    m_font.DeleteObject();
    if (!m_font.CreateFontIndirect(&m_logFont))
        return FALSE;
    if (bRedraw && ::IsWindow(m_hWnd))
        Invalidate();
    return TRUE;
}

COLORREF COXToolTipCtrl::TextColor() const
{
    COLORREF clr = m_pCurrTool ? m_pCurrTool->clrTextColor : m_crTextColor;
    return clr == 0xFF000000 ? ::GetSysColor(COLOR_INFOTEXT) : clr;
}

COLORREF COXToolTipCtrl::BackColor() const
{
    COLORREF clr = m_pCurrTool ? m_pCurrTool->clrBackColor : m_crBackColor;
    return clr == 0xFF000000 ? ::GetSysColor(COLOR_INFOBK) : clr;
}

void COXToolTipCtrl::CalcTextRect(RECT* pRect, const CString& strText, int nWidth)
{
    CWindowDC dc(this);
    CFont* oldFont = dc.SelectObject(&m_font);
    if (nWidth == 0) {
        int start = 0;
        for (;;) {
            int end = strText.Find(L'\n', start);
            CString line = strText.Mid(start, end < 0 ? strText.GetLength() - start : end - start);
            int width = dc.GetTextExtent(line + kTwoBlanks).cx;
            if (width > nWidth)
                nWidth = width;
            if (end < 0)
                break;
            start = end + 1;
        }
    }
    CRect rect(0, 0, nWidth, 0);
    dc.DrawText(strText, &rect, m_dwTextStyle | DT_CALCRECT);
    dc.SelectObject(oldFont);
    rect.right += m_rectMargin.left + m_rectMargin.right;
    rect.bottom += m_rectMargin.top + m_rectMargin.bottom;
    *pRect = rect;
}

void COXToolTipCtrl::CalcTipPosition(RECT* pRect, POINT pt, COXToolTipInfo* pInfo, const RECT& rectBounds)
{
    CRect rect = rectBounds;
    rect.OffsetRect(pt.x - rect.left, pt.y - rect.top);
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (rect.right > screenWidth)
        rect.OffsetRect(screenWidth - rect.right, 0);
    if (rect.left < 0)
        rect.OffsetRect(-rect.left, 0);
    if (rect.bottom > screenHeight && pInfo) {
        CRect tool;
        ::GetWindowRect(pInfo->hWnd, &tool);
        rect.OffsetRect(0, tool.top - rect.bottom);
    }
    *pRect = rect;
}

void COXToolTipCtrl::DisplayToolTip(CPoint pt, BOOL bExtended)
{
    if (!m_bActivated)
        return;
    CString text = bExtended ? m_strLong : m_strShort;
    if (text.IsEmpty())
        return;
    m_bExtended = bExtended;
    m_strDisplayed = text;
    CRect bounds, rect;
    CalcTextRect(&bounds, text, m_pCurrTool ? m_pCurrTool->nWidth : m_nMaxWidth);
    CalcTipPosition(&rect, pt, m_pCurrTool, bounds);
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS);
    Invalidate();
}

void COXToolTipCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kInitialTimer && nIDEvent != kCheckTimer) {
        CWnd::OnTimer(nIDEvent);
        return;
    }
    if (!m_pCurrTool || m_bTipCancelled) {
        KillTimer(nIDEvent);
        Hide();
        return;
    }
    if (nIDEvent == kInitialTimer) {
        KillTimer(kInitialTimer);
        if (ToolUnderCursor() != m_pCurrTool)
            return;
        SplitText(GetToolText(m_pCurrTool));
        CPoint point;
        ::GetCursorPos(&point);
        DisplayToolTip(point + m_ptOffset, FALSE);
        m_nElapsedTime = 0;
        SetTimer(kCheckTimer, static_cast<UINT>(m_nCheckInterval), nullptr);
        return;
    }
    m_nElapsedTime += m_nCheckInterval;
    COXToolTipInfo* tool = ToolUnderCursor();
    if (tool && tool != m_pCurrTool) {
        KillTimer(kCheckTimer);
        Hide();
        return;
    }
    if (tool == m_pCurrTool && m_nElapsedTime < m_nDisplayDelay)
        return;
    if (IsCursorInToolTip())
        return;
    KillTimer(kCheckTimer);
    Hide();
}

void COXToolTipCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, BackColor());
    ::FrameRect(dc.m_hDC, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (m_strDisplayed.IsEmpty())
        return;
    CFont* oldFont = dc.SelectObject(&m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(TextColor());
    CRect text = client;
    text.DeflateRect(m_rectMargin.left, m_rectMargin.top, m_rectMargin.right, m_rectMargin.bottom);
    dc.DrawText(m_strDisplayed, &text, m_dwTextStyle);

    if (m_bHasExtendedText) {
        // A small triangle in the two blanks of the first line: click for the other part.
        TEXTMETRICW metrics = {};
        dc.GetTextMetrics(&metrics);
        int t = metrics.tmInternalLeading + metrics.tmExternalLeading;
        if (metrics.tmDescent > t)
            t = metrics.tmDescent;
        CSize blanks = dc.GetTextExtent(CString(kTwoBlanks));
        int h = blanks.cy & ~1;
        int a = metrics.tmAveCharWidth / 2;
        int top = m_rectMargin.top;
        POINT points[3];
        if (!m_bExtended) {
            int tip = client.right - m_rectMargin.right;
            int base = tip - blanks.cx + a;
            points[0] = {base, top + t};
            points[1] = {base, top + h - t};
            points[2] = {tip, top + h / 2};
        } else {
            int tip = m_rectMargin.left;
            int base = tip + blanks.cx - a;
            points[0] = {base, top + t};
            points[1] = {base, top + h - t};
            points[2] = {tip, top + h / 2};
        }
        HGDIOBJ oldBrush = ::SelectObject(dc.m_hDC, ::GetStockObject(BLACK_BRUSH));
        HGDIOBJ oldPen = ::SelectObject(dc.m_hDC, ::GetStockObject(BLACK_PEN));
        dc.Polygon(points, 3);
        ::SelectObject(dc.m_hDC, oldPen);
        ::SelectObject(dc.m_hDC, oldBrush);
    }
    dc.SelectObject(oldFont);
}

void COXToolTipCtrl::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/)
{
    if (m_pCurrTool && !m_bTipCancelled) {
        if (m_bHasExtendedText) {
            CRect rect;
            GetWindowRect(&rect);
            BOOL extended = !m_bExtended;
            CString text = extended ? m_strLong : m_strShort;
            if (m_bActivated && !text.IsEmpty()) {
                m_bExtended = extended;
                m_strDisplayed = text;
                CRect bounds;
                CalcTextRect(&bounds, text, m_pCurrTool->nWidth);
                SetWindowPos(nullptr, rect.left, rect.top, bounds.Width(), bounds.Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS);
                Invalidate();
            }
        }
        if (::IsWindow(m_hOldFocusWnd))
            ::SetFocus(m_hOldFocusWnd);
    }
}

int COXToolTipCtrl::OnMouseActivate(CWnd* /*pDesktopWnd*/, UINT /*nHitTest*/, UINT /*message*/)
{
    return MA_NOACTIVATE;
}

void COXToolTipCtrl::OnSetFocus(CWnd* pOldWnd)
{
    m_hOldFocusWnd = pOldWnd->GetSafeHwnd();
    CWnd::OnSetFocus(pOldWnd);
}

void COXToolTipCtrl::OnDestroy()
{
    StopTimers();
    CWnd::OnDestroy();
}

void COXToolTipCtrl::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    CWnd::OnSettingChange(uFlags, lpszSection);
    BOOL usingSystem = m_bUsingSystemFont;
    ReadSystemToolTipFont();
    if (usingSystem)
        SetLogFont(&g_systemFont, TRUE);
}

LRESULT COXToolTipCtrl::OnSetFont(WPARAM wParam, LPARAM /*lParam*/)
{
    LOGFONTW logFont = {};
    if (!wParam || !::GetObjectW(reinterpret_cast<HGDIOBJ>(wParam), sizeof(logFont), &logFont))
        logFont = SystemToolTipFont();
    SetLogFont(&logFont, TRUE);
    return 0;
}

LRESULT COXToolTipCtrl::OnGetFont(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    return reinterpret_cast<LRESULT>(m_font.GetSafeHandle());
}
