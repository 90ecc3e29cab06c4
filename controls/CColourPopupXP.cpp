#include "controls/CColourPopupXP.h"

#include "controls/CColourPickerXP.h"

#include <algorithm>
#include <vector>

namespace {

const int kMaxColours = 100;
const UINT kSpiGetFlatMenu = 0x1022;
const UINT kSpiGetDropShadow = 0x1024;
const UINT kDropShadowClassStyle = 0x00020000;

bool IsWindowsXPOrLater()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ::GetVersionExW(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1));
}

// The work area's size of the monitor nearest the window; the primary screen without the monitor
// functions (bound at run time: they are missing before Windows 98 and 2000).
CSize ScreenSizeNear(HWND hWnd)
{
    using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
    using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    HMODULE user = ::GetModuleHandleW(L"USER32.DLL");
    auto fromWindow = reinterpret_cast<MonitorFromWindowFn>(::GetProcAddress(user, "MonitorFromWindow"));
    auto info = reinterpret_cast<GetMonitorInfoFn>(::GetProcAddress(user, "GetMonitorInfoA"));
    if (fromWindow && info) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        HMONITOR handle = fromWindow(hWnd, MONITOR_DEFAULTTONEAREST);
        if (handle && info(handle, &monitor))
            return CSize(monitor.rcMonitor.right, monitor.rcMonitor.bottom);
    }
    return CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

} // namespace

BEGIN_MESSAGE_MAP(CColourPopupXP, CWnd)
ON_WM_PAINT()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_KEYDOWN()
ON_WM_KILLFOCUS()
ON_WM_ACTIVATEAPP()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CColourPopupXP::CColourPopupXP() : m_nMargin(::GetSystemMetrics(SM_CXEDGE))
{
    m_nNumColours = std::min(CColourPickerXP::GetColourCount(), kMaxColours);
    m_nNumRows = (m_nNumColours + m_nNumColumns - 1) / m_nNumColumns;
    if (m_nBoxSize - 2 * m_nMargin - 2 < 5)
        m_nBoxSize = 2 * m_nMargin + 7;
    m_bIsXP = IsWindowsXPOrLater();
    BOOL flat = FALSE;
    if (m_bIsXP && ::SystemParametersInfoW(kSpiGetFlatMenu, 0, &flat, 0))
        m_bFlatMenus = flat;
    m_clrBackground = ::GetSysColor(COLOR_MENU);
    m_clrHiLightBorder = ::GetSysColor(COLOR_HIGHLIGHT);
    m_clrHiLight = ::GetSysColor(m_bIsXP ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
    m_clrHiLightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_clrText = ::GetSysColor(COLOR_MENUTEXT);
    auto blend = [](BYTE menu, BYTE light) { return static_cast<BYTE>((207 * menu + 48 * light) / 256); };
    m_clrLoLight = RGB(blend(GetRValue(m_clrBackground), GetRValue(m_clrHiLightBorder)),
                       blend(GetGValue(m_clrBackground), GetGValue(m_clrHiLightBorder)),
                       blend(GetBValue(m_clrBackground), GetBValue(m_clrHiLightBorder)));

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    m_Font.CreateFontIndirect(&metrics.lfMessageFont);

    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * m_nNumColours);
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(m_nNumColours);
    for (int i = 0; i < m_nNumColours; ++i) {
        COLORREF colour = CColourPickerXP::GetColourEntry(i).crColour;
        palette->palPalEntry[i] = {GetRValue(colour), GetGValue(colour), GetBValue(colour), 0};
    }
    m_Palette.CreatePalette(palette);
}

BOOL CColourPopupXP::Create(CPoint p, COLORREF crColour, CWnd* pParentWnd, LPCWSTR szDefaultText, LPCWSTR szCustomText,
                            LPCWSTR szRegSection)
{
    m_pParent = pParentWnd;
    m_crColour = m_crInitialColour = crColour;
    m_strRegSection = szRegSection ? szRegSection : L"";

    UINT classStyle = CS_VREDRAW | CS_HREDRAW | CS_CLASSDC | CS_SAVEBITS;
    BOOL shadow = FALSE;
    if (m_bIsXP && ::SystemParametersInfoW(kSpiGetDropShadow, 0, &shadow, 0) && shadow)
        classStyle |= kDropShadowClassStyle;
    LPCWSTR windowClass = AfxRegisterWndClass(classStyle, nullptr, reinterpret_cast<HBRUSH>(5), nullptr);

    // The owner keeps its active title bar and does not flash while the popup takes over.
    CWnd* owner = pParentWnd ? pParentWnd->GetTopLevelParent() : nullptr;
    if (owner)
        owner->SendMessage(WM_SETREDRAW, FALSE);
    BOOL created = CreateEx(0, windowClass, L"", WS_VISIBLE | WS_POPUP, p.x, p.y, 100, 100, pParentWnd->GetSafeHwnd(),
                            nullptr, nullptr);
    if (owner) {
        owner->SendMessage(WM_NCACTIVATE, TRUE);
        owner->SendMessage(WM_SETREDRAW, TRUE);
    }
    if (!created) {
        // A creation refused after the window was attached leaves a handle that is no more.
        if (m_hWnd && !::IsWindow(m_hWnd))
            Detach();
        return FALSE;
    }
    m_bOwnsItself = TRUE;

    m_strDefaultText = szDefaultText ? szDefaultText : L"";
    m_strCustomText = szCustomText ? szCustomText : L"";
    Layout();

    m_ToolTip.Create(this);
    for (int i = 0; i < m_nNumColours; ++i) {
        CRect cell;
        GetCellRect(i, &cell);
        m_ToolTip.AddTool(this, CColourPickerXP::GetColourEntry(i).szName, &cell, 1);
    }

    int found = CColourPickerXP::FindColour(crColour);
    if (crColour == CLR_DEFAULT && !m_strDefaultText.IsEmpty())
        m_nChosenColourSel = CellDefault;
    else if (found >= 0 && found < m_nNumColours)
        m_nChosenColourSel = found;
    else
        m_nChosenColourSel = m_strCustomText.IsEmpty() ? CellNone : CellCustom;
    m_nCurrentSel = m_nChosenColourSel;
    SetCapture();
    return TRUE;
}

void CColourPopupXP::PostNcDestroy()
{
    // Until its window exists the popup belongs to the picker, which deletes it on failure.
    if (m_bOwnsItself)
        delete this;
}

void CColourPopupXP::Layout()
{
    const int m = m_nMargin;
    CSize textSize(0, 0);
    if (!m_strDefaultText.IsEmpty() || !m_strCustomText.IsEmpty()) {
        CClientDC dc(this);
        CFont* old = dc.SelectObject(&m_Font);
        for (const CString& text : {m_strDefaultText, m_strCustomText}) {
            if (text.IsEmpty())
                continue;
            CSize extent = dc.GetTextExtent(text);
            textSize.cx = std::max(textSize.cx, extent.cx);
            textSize.cy = std::max(textSize.cy, extent.cy);
        }
        dc.SelectObject(old);
        textSize.cx += 2 * m;
        textSize.cy += 2 + 4 * m;
    }

    CRect window;
    GetWindowRect(&window);
    m_WindowRect.SetRect(window.left, window.top, window.left + m_nNumColumns * m_nBoxSize + 2 * m,
                         window.top + m_nNumRows * m_nBoxSize + 2 * m);

    m_DefaultTextRect.SetRectEmpty();
    if (!m_strDefaultText.IsEmpty()) {
        if (m_WindowRect.Width() < textSize.cx)
            m_WindowRect.right = m_WindowRect.left + textSize.cx;
        m_DefaultTextRect.SetRect(m, m, m + m_WindowRect.Width() - 2 * m, 2 * m + textSize.cy);
        m_WindowRect.bottom += m_DefaultTextRect.Height() + 2 * m;
    }
    m_CustomTextRect.SetRectEmpty();
    if (!m_strCustomText.IsEmpty()) {
        if (m_WindowRect.Width() < textSize.cx)
            m_WindowRect.right = m_WindowRect.left + textSize.cx;
        int top = m_WindowRect.Height();
        m_CustomTextRect.SetRect(m, top, m + m_WindowRect.Width() - 2 * m, top + m + textSize.cy);
        m_WindowRect.bottom += m_CustomTextRect.Height() + m;
    }
    if (!m_DefaultTextRect.IsRectEmpty())
        m_DefaultTextRect.right = m + m_WindowRect.Width() - 2 * m;

    const int gridWidth = m_nNumColumns * m_nBoxSize;
    const int inner = std::max(m_WindowRect.Width() - 2 * m, gridWidth);
    const int gridTop = m + (m_DefaultTextRect.IsRectEmpty() ? 0 : m_DefaultTextRect.Height() + m);
    m_BoxesRect.SetRect(m + (inner - gridWidth) / 2, gridTop, m + (inner - gridWidth) / 2 + gridWidth,
                        gridTop + m_nNumRows * m_nBoxSize);

    CSize screen = ScreenSizeNear(m_hWnd);
    if (m_WindowRect.right > screen.cx)
        m_WindowRect.OffsetRect(screen.cx - m_WindowRect.right, 0);
    if (m_WindowRect.left < 0)
        m_WindowRect.OffsetRect(-m_WindowRect.left, 0);
    if (m_WindowRect.bottom > screen.cy) {
        CRect picker;
        m_pParent->GetWindowRect(&picker);
        m_WindowRect.OffsetRect(0, picker.top - m_WindowRect.bottom);
    }
    MoveWindow(&m_WindowRect, TRUE);
}

BOOL CColourPopupXP::GetCellRect(int nIndex, LPRECT rect) const
{
    if (nIndex == CellCustom) {
        *rect = m_CustomTextRect;
        return !m_CustomTextRect.IsRectEmpty();
    }
    if (nIndex == CellDefault) {
        *rect = m_DefaultTextRect;
        return !m_DefaultTextRect.IsRectEmpty();
    }
    if (nIndex < 0 || nIndex >= m_nNumColours)
        return FALSE;
    rect->left = m_BoxesRect.left + Column(nIndex) * m_nBoxSize;
    rect->top = m_BoxesRect.top + Row(nIndex) * m_nBoxSize;
    rect->right = rect->left + m_nBoxSize;
    rect->bottom = rect->top + m_nBoxSize;
    return TRUE;
}

int CColourPopupXP::CellAt(CPoint point) const
{
    if (!m_CustomTextRect.IsRectEmpty() && m_CustomTextRect.PtInRect(point))
        return CellCustom;
    if (!m_DefaultTextRect.IsRectEmpty() && m_DefaultTextRect.PtInRect(point))
        return CellDefault;
    if (!m_BoxesRect.PtInRect(point))
        return CellNone;
    int index = (point.y - m_BoxesRect.top) / m_nBoxSize * m_nNumColumns + (point.x - m_BoxesRect.left) / m_nBoxSize;
    return index < m_nNumColours ? index : CellNone;
}

BOOL CColourPopupXP::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.RelayEvent(pMsg);
    // The popup takes every mouse input until it ends.
    if (CWnd::GetCapture() != this && !m_bChildWindowVisible)
        SetCapture();
    return CWnd::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------- selection

void CColourPopupXP::ChangeSelection(int nIndex)
{
    if (nIndex >= m_nNumColours)
        nIndex = CellCustom;
    CClientDC dc(this);
    int old = m_nCurrentSel;
    m_nCurrentSel = nIndex;
    if (old != CellNone)
        PaintCell(&dc, old);
    if (m_nCurrentSel != CellNone)
        PaintCell(&dc, m_nCurrentSel);
    if (m_nCurrentSel >= 0)
        m_crColour = CColourPickerXP::GetColourEntry(m_nCurrentSel).crColour;
    else if (m_nCurrentSel == CellDefault)
        m_crColour = CLR_DEFAULT;
    else if (m_nCurrentSel == CellCustom)
        m_crColour = m_crInitialColour;
    if (m_pParent)
        m_pParent->SendMessage(WMU_COLOUR_SELCHANGE, static_cast<WPARAM>(m_crColour), 0);
}

void CColourPopupXP::EndSelection(UINT nMessage)
{
    ::ReleaseCapture();
    if (nMessage == WMU_COLOUR_SELENDCANCEL)
        m_crColour = m_crInitialColour;
    if (nMessage == WMU_COLOUR_SELENDOK && m_nCurrentSel == CellCustom) {
        m_bChildWindowVisible = TRUE;
        COLORREF custom[16];
        HKEY key = nullptr;
        if (!m_strRegSection.IsEmpty())
            key = AfxGetApp() ? AfxGetApp()->GetSectionKey(m_strRegSection) : nullptr;
        for (int i = 0; i < 16; ++i) {
            custom[i] = RGB(255, 255, 255);
            CString name;
            name.Format(L"CUSTOM_COLOR_%d", i);
            DWORD value = 0, type = 0, size = sizeof(value);
            if (key &&
                ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD)
                custom[i] = value;
        }
        CColorDialog dialog(m_crInitialColour, CC_FULLOPEN | CC_ANYCOLOR, this);
        dialog.m_cc.lpCustColors = custom;
        if (dialog.DoModal() == IDOK) {
            m_crColour = dialog.GetColor();
        } else {
            nMessage = WMU_COLOUR_SELENDCANCEL;
            m_crColour = m_crInitialColour;
        }
        if (key) {
            for (int i = 0; i < 16; ++i) {
                CString name;
                name.Format(L"CUSTOM_COLOR_%d", i);
                DWORD value = custom[i];
                ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
            }
            ::RegCloseKey(key);
        }
        m_bChildWindowVisible = FALSE;
    }
    if (m_pParent)
        m_pParent->SendMessage(nMessage, static_cast<WPARAM>(m_crColour), 0);
    if (!m_bChildWindowVisible)
        DestroyWindow();
}

int CColourPopupXP::NextCell(UINT nKey) const
{
    const int last = m_nNumColours - 1;
    const bool hasDefault = !m_strDefaultText.IsEmpty();
    const bool hasCustom = !m_strCustomText.IsEmpty();
    const int start = hasDefault ? CellDefault : 0;
    const int sel = m_nCurrentSel;
    switch (nKey) {
    case VK_DOWN:
        if (sel == CellDefault)
            return 0;
        if (sel >= 0 && sel + m_nNumColumns <= last)
            return sel + m_nNumColumns;
        if (sel >= 0 && hasCustom)
            return CellCustom;
        return start;
    case VK_UP:
        if (sel >= m_nNumColumns)
            return sel - m_nNumColumns;
        if (sel >= 0)
            return hasDefault ? CellDefault : (hasCustom ? CellCustom : last);
        if (sel == CellCustom)
            return last;
        return hasCustom ? CellCustom : last;
    case VK_RIGHT:
        if (sel == CellDefault || sel == CellNone)
            return 0;
        if (sel >= 0 && sel < last)
            return sel + 1;
        if (sel == last && hasCustom)
            return CellCustom;
        return start;
    case VK_LEFT:
        if (sel > 0)
            return sel - 1;
        if (sel == 0)
            return hasDefault ? CellDefault : (hasCustom ? CellCustom : last);
        if (sel == CellCustom)
            return last;
        return hasCustom ? CellCustom : last;
    default:
        return sel;
    }
}

// ---------------------------------------------------------------- messages

void CColourPopupXP::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_DOWN:
    case VK_UP:
    case VK_RIGHT:
    case VK_LEFT:
        ChangeSelection(NextCell(nChar));
        break;
    case VK_ESCAPE:
        m_crColour = m_crInitialColour;
        EndSelection(WMU_COLOUR_SELENDCANCEL);
        break;
    case VK_RETURN:
    case VK_SPACE:
        EndSelection(WMU_COLOUR_SELENDOK);
        break;
    default:
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        break;
    }
}

void CColourPopupXP::OnMouseMove(UINT nFlags, CPoint point)
{
    int index = CellAt(point);
    if (index != m_nCurrentSel)
        ChangeSelection(index);
    CWnd::OnMouseMove(nFlags, point);
}

void CColourPopupXP::OnLButtonUp(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonUp(nFlags, point);
    DWORD pos = ::GetMessagePos();
    CPoint screen(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
    CRect window;
    GetWindowRect(&window);
    EndSelection(window.PtInRect(screen) ? WMU_COLOUR_SELENDOK : WMU_COLOUR_SELENDCANCEL);
}

void CColourPopupXP::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    ::ReleaseCapture();
}

void CColourPopupXP::OnActivateApp(BOOL bActive, DWORD dwThreadID)
{
    CWnd::OnActivateApp(bActive, dwThreadID);
    if (!bActive)
        EndSelection(WMU_COLOUR_SELENDCANCEL);
}

BOOL CColourPopupXP::OnQueryNewPalette()
{
    Invalidate();
    return CWnd::OnQueryNewPalette();
}

void CColourPopupXP::OnPaletteChanged(CWnd* pFocusWnd)
{
    CWnd::OnPaletteChanged(pFocusWnd);
    if (pFocusWnd && pFocusWnd->GetSafeHwnd() != m_hWnd)
        Invalidate();
}

// ---------------------------------------------------------------- painting

void CColourPopupXP::PaintSeparator(CDC* pDC, CRect rect, UINT nEdge, UINT nFlags)
{
    if (!m_bFlatMenus) {
        pDC->DrawEdge(&rect, nEdge, nFlags);
        return;
    }
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_GRAYTEXT));
    CPen* old = pDC->SelectObject(&pen);
    if (nFlags & BF_TOP) {
        pDC->MoveTo(rect.left, rect.top);
        pDC->LineTo(rect.right, rect.top);
    }
    if (nFlags & BF_BOTTOM) {
        pDC->MoveTo(rect.left, rect.bottom - 1);
        pDC->LineTo(rect.right, rect.bottom - 1);
    }
    if (nFlags & BF_LEFT) {
        pDC->MoveTo(rect.left, rect.top);
        pDC->LineTo(rect.left, rect.bottom);
    }
    if (nFlags & BF_RIGHT) {
        pDC->MoveTo(rect.right - 1, rect.top);
        pDC->LineTo(rect.right - 1, rect.bottom);
    }
    pDC->SelectObject(old);
}

void CColourPopupXP::PaintCell(CDC* pDC, int nIndex)
{
    CRect rect;
    if (!GetCellRect(nIndex, &rect))
        return;
    const bool entry = nIndex < 0;
    const int margin = entry ? 2 : 0;
    const int border = entry ? 3 : 2;
    COLORREF background = m_clrBackground, text = m_clrText, topLeft = 0, bottomRight = 0;
    bool framed = false;
    if (nIndex == m_nCurrentSel) {
        background = m_clrHiLight;
        text = m_bFlatMenus ? m_clrHiLightText : m_clrText;
        topLeft = ::GetSysColor(COLOR_3DHILIGHT);
        bottomRight = ::GetSysColor(COLOR_3DSHADOW);
        framed = true;
    } else if (nIndex == m_nChosenColourSel) {
        background = m_clrLoLight;
        topLeft = ::GetSysColor(COLOR_3DSHADOW);
        bottomRight = ::GetSysColor(COLOR_3DHILIGHT);
        framed = true;
    }
    if (framed) {
        pDC->FillSolidRect(&rect, m_clrBackground);
        if (margin > 0)
            rect.DeflateRect(margin, margin);
        if (!m_bFlatMenus) {
            pDC->FillSolidRect(&rect, background);
            pDC->Draw3dRect(&rect, topLeft, bottomRight);
            rect.DeflateRect(border, border);
        } else {
            CPen pen(PS_SOLID, 1, m_clrHiLightBorder);
            CBrush brush(background);
            CPen* oldPen = pDC->SelectObject(&pen);
            CBrush* oldBrush = pDC->SelectObject(&brush);
            pDC->Rectangle(&rect);
            pDC->SelectObject(oldBrush);
            pDC->SelectObject(oldPen);
            rect.DeflateRect(border - 1, border - 1);
        }
    } else {
        pDC->FillSolidRect(&rect, m_clrBackground);
        rect.DeflateRect(margin + border, margin + border);
    }

    if (!entry) {
        CPalette* oldPalette = nullptr;
        if (pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) {
            oldPalette = pDC->SelectPalette(&m_Palette, FALSE);
            pDC->RealizePalette();
        }
        CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
        CBrush brush(0x02000000 | CColourPickerXP::GetColourEntry(nIndex).crColour);
        CPen* oldPen = pDC->SelectObject(&pen);
        CBrush* oldBrush = pDC->SelectObject(&brush);
        CRect swatch = rect;
        swatch.DeflateRect(1, 1);
        pDC->Rectangle(&swatch);
        pDC->SelectObject(oldBrush);
        pDC->SelectObject(oldPen);
        if (oldPalette)
            pDC->SelectPalette(oldPalette, FALSE);
        return;
    }
    CFont* oldFont = pDC->SelectObject(&m_Font);
    pDC->SetTextColor(text);
    pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(nIndex == CellCustom ? m_strCustomText : m_strDefaultText, &rect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SelectObject(oldFont);
    CRect line;
    GetCellRect(nIndex, &line);
    line.InflateRect(-2, 1);
    PaintSeparator(pDC, line, EDGE_ETCHED, nIndex == CellDefault ? BF_BOTTOM : BF_TOP);
}

void CColourPopupXP::OnPaint()
{
    CPaintDC dc(this);
    if (!m_strDefaultText.IsEmpty())
        PaintCell(&dc, CellDefault);
    for (int i = 0; i < m_nNumColours; ++i)
        PaintCell(&dc, i);
    if (!m_strCustomText.IsEmpty())
        PaintCell(&dc, CellCustom);
    CRect client;
    GetClientRect(&client);
    PaintSeparator(&dc, client, EDGE_RAISED, BF_RECT);
}
