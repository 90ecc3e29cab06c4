#include "controls/CColourPickerXP.h"

#include "controls/CColourPopupXP.h"
#include "controls/ControlDrawing.h"
#include "controls/VyxMemDC.h"

namespace {

const int kColourCount = 40;

struct BuiltInColour
{
    COLORREF colour;
    const wchar_t* name;
};

const BuiltInColour kBuiltIn[kColourCount] = {
    {RGB(0, 0, 0), L"Black"},
    {RGB(165, 42, 0), L"Brown"},
    {RGB(0, 64, 64), L"Dark Olive Green"},
    {RGB(0, 85, 0), L"Dark Green"},
    {RGB(0, 0, 94), L"Dark Teal"},
    {RGB(0, 0, 139), L"Dark blue"},
    {RGB(75, 0, 130), L"Indigo"},
    {RGB(40, 40, 40), L"Dark grey"},
    {RGB(139, 0, 0), L"Dark red"},
    {RGB(255, 104, 32), L"Orange"},
    {RGB(139, 139, 0), L"Dark yellow"},
    {RGB(0, 147, 0), L"Green"},
    {RGB(56, 142, 142), L"Teal"},
    {RGB(0, 0, 255), L"Blue"},
    {RGB(123, 123, 192), L"Blue-grey"},
    {RGB(102, 102, 102), L"Grey - 40"},
    {RGB(255, 0, 0), L"Red"},
    {RGB(255, 173, 91), L"Light orange"},
    {RGB(50, 205, 50), L"Lime"},
    {RGB(60, 179, 113), L"Sea green"},
    {RGB(127, 255, 212), L"Aqua"},
    {RGB(125, 158, 192), L"Light blue"},
    {RGB(128, 0, 128), L"Violet"},
    {RGB(128, 128, 128), L"Grey - 50"},
    {RGB(255, 192, 203), L"Pink"},
    {RGB(255, 215, 0), L"Gold"},
    {RGB(255, 255, 0), L"Yellow"},
    {RGB(0, 255, 0), L"Bright green"},
    {RGB(64, 224, 208), L"Turquoise"},
    {RGB(192, 255, 255), L"Skyblue"},
    {RGB(72, 0, 72), L"Plum"},
    {RGB(192, 192, 192), L"Light grey"},
    {RGB(255, 228, 225), L"Rose"},
    {RGB(210, 180, 140), L"Tan"},
    {RGB(255, 255, 224), L"Light yellow"},
    {RGB(152, 251, 152), L"Pale green "},
    {RGB(175, 238, 238), L"Pale turquoise"},
    {RGB(104, 131, 139), L"Pale blue"},
    {RGB(230, 230, 250), L"Lavender"},
    {RGB(255, 255, 255), L"White"},
};

// The shared table, whose names SetColourNames may replace.
ColourTableEntry* Table()
{
    static ColourTableEntry table[kColourCount];
    static bool filled = false;
    if (!filled) {
        for (int i = 0; i < kColourCount; ++i) {
            table[i].crColour = kBuiltIn[i].colour;
            lstrcpynW(table[i].szName, kBuiltIn[i].name, 256);
        }
        filled = true;
    }
    return table;
}

const UINT kSpiGetFlatMenu = 0x1022;

} // namespace

CString CColourPickerXP::s_strDefaultRegSection;

BEGIN_MESSAGE_MAP(CColourPickerXP, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
ON_MESSAGE(WMU_COLOUR_SELCHANGE, OnSelChange)
ON_MESSAGE(WMU_COLOUR_SELENDOK, OnSelEndOK)
ON_MESSAGE(WMU_COLOUR_SELENDCANCEL, OnSelEndCancel)
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

CColourPickerXP::CColourPickerXP() : m_DefaultColor(::GetSysColor(COLOR_APPWORKSPACE))
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ::GetVersionExW(&version);
    bool xpOrLater = version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                     (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1));
    BOOL flat = FALSE;
    if (xpOrLater && ::SystemParametersInfoW(kSpiGetFlatMenu, 0, &flat, 0))
        m_bFlatMenus = flat;
}

CColourPickerXP::~CColourPickerXP() = default;

// ---------------------------------------------------------------- the colour table

int CColourPickerXP::GetColourCount()
{
    return kColourCount;
}

const ColourTableEntry& CColourPickerXP::GetColourEntry(int nIndex)
{
    return Table()[nIndex];
}

int CColourPickerXP::FindColour(COLORREF crColour)
{
    for (int i = 0; i < kColourCount; ++i) {
        if (Table()[i].crColour == crColour)
            return i;
    }
    return -1;
}

void CColourPickerXP::SetColourNames(UINT nFirstStringId)
{
    for (int i = 0; i < kColourCount; ++i) {
        CString name;
        if (nFirstStringId == 0 || !name.LoadString(nFirstStringId + i) || name.IsEmpty())
            name = kBuiltIn[i].name;
        lstrcpynW(Table()[i].szName, name, 256);
    }
}

void CColourPickerXP::SetDefaultRegSection(LPCWSTR lpszRegSection)
{
    s_strDefaultRegSection = lpszRegSection ? lpszRegSection : L"";
}

// ---------------------------------------------------------------- settings

COLORREF CColourPickerXP::GetColour(BOOL bResolve) const
{
    return (bResolve && m_Color == CLR_DEFAULT) ? m_DefaultColor : m_Color;
}

COLORREF CColourPickerXP::GetRawColour() const
{
    return m_Color;
}

void CColourPickerXP::SetColour(COLORREF crColour)
{
    m_Color = crColour;
    if (GetSafeHwnd())
        InvalidateRect(nullptr, FALSE);
}

COLORREF CColourPickerXP::GetDefaultColour() const
{
    return m_DefaultColor;
}

void CColourPickerXP::SetDefaultColour(COLORREF crColour)
{
    m_DefaultColor = crColour;
}

void CColourPickerXP::SetCustomText(LPCWSTR lpszText)
{
    m_strCustomText = lpszText ? lpszText : L"";
}

void CColourPickerXP::SetDefaultText(LPCWSTR lpszText)
{
    m_strDefaultText = lpszText ? lpszText : L"";
    if (m_bComboBoxStyle && m_Color == CLR_DEFAULT && GetSafeHwnd())
        InvalidateRect(nullptr, FALSE);
}

void CColourPickerXP::SetRegSection(LPCWSTR lpszRegSection)
{
    m_strRegSection = lpszRegSection ? lpszRegSection : L"";
}

void CColourPickerXP::SetTrackSelection(BOOL bTrack)
{
    m_bTrackSelection = bTrack;
}

BOOL CColourPickerXP::GetTrackSelection() const
{
    return m_bTrackSelection;
}

void CColourPickerXP::SetComboStyle(BOOL bComboStyle)
{
    m_bComboBoxStyle = bComboStyle;
    if (!GetSafeHwnd())
        return;
    if (bComboStyle) {
        CClientDC dc(this);
        CFont* font = GetFont();
        CFont* old = font ? dc.SelectObject(font) : nullptr;
        TEXTMETRICW metrics = {};
        dc.GetTextMetrics(&metrics);
        if (old)
            dc.SelectObject(old);
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.Width(), metrics.tmHeight + 8,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
    InvalidateRect(nullptr);
}

BOOL CColourPickerXP::IsComboStyle() const
{
    return m_bComboBoxStyle;
}

void CColourPickerXP::SetRGBLabel(LPCWSTR lpszLabel)
{
    m_strRGBText = lpszLabel ? lpszLabel : L"";
    while (m_strRGBText.GetLength() < 3)
        m_strRGBText += L" ";
    if (m_bComboBoxStyle && m_Color != CLR_DEFAULT && GetSafeHwnd())
        InvalidateRect(nullptr);
}

void CColourPickerXP::SetShowColourValue(BOOL bShow)
{
    m_bShowColourValue = bShow;
    if (m_bComboBoxStyle && m_Color != CLR_DEFAULT && GetSafeHwnd())
        InvalidateRect(nullptr);
}

BOOL CColourPickerXP::GetShowColourValue() const
{
    return m_bShowColourValue;
}

CString CColourPickerXP::ColourText(COLORREF crColour) const
{
    if (crColour == CLR_DEFAULT)
        return m_strDefaultText;
    CString value;
    value.Format(L"%s:%d %s:%d %s:%d", static_cast<LPCWSTR>(m_strRGBText.Mid(0, 1)), GetRValue(crColour),
                 static_cast<LPCWSTR>(m_strRGBText.Mid(1, 1)), GetGValue(crColour),
                 static_cast<LPCWSTR>(m_strRGBText.Mid(2, 1)), GetBValue(crColour));
    int index = FindColour(crColour);
    if (index < 0)
        return value;
    CString name = GetColourEntry(index).szName;
    if (!m_bShowColourValue)
        return name;
    CString both;
    both.Format(L"%s (%s)", static_cast<LPCWSTR>(name), static_cast<LPCWSTR>(value));
    return both;
}

// ---------------------------------------------------------------- the popup

void CColourPickerXP::PreSubclassWindow()
{
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

BOOL CColourPickerXP::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        if (pMsg->wParam == VK_UP)
            return TRUE;
        if (pMsg->wParam == VK_DOWN || pMsg->wParam == VK_F4) {
            OnClicked();
            return TRUE;
        }
    }
    return CButton::PreTranslateMessage(pMsg);
}

CColourPopupXP* CColourPickerXP::NewPopup()
{
    return new CColourPopupXP;
}

BOOL CColourPickerXP::OnClicked()
{
    m_bPopupActive = TRUE;
    CRect window;
    GetWindowRect(&window);
    CColourPopupXP* popup = NewPopup();
    const CString& section = m_strRegSection.IsEmpty() ? s_strDefaultRegSection : m_strRegSection;
    if (!popup->Create(CPoint(window.left, window.bottom), m_Color, this, m_strDefaultText, m_strCustomText, section)) {
        // No window took the popup over: it is still this picker's to delete.
        delete popup;
        m_bPopupActive = FALSE;
        return FALSE;
    }
    TellParent(WMU_COLOUR_DROPDOWN, m_Color);
    return FALSE;
}

void CColourPickerXP::TellParent(UINT nMessage, COLORREF crColour)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(nMessage, static_cast<WPARAM>(crColour), GetDlgCtrlID());
}

LRESULT CColourPickerXP::OnSelChange(WPARAM wParam, LPARAM)
{
    if (m_bTrackSelection)
        SetColour(static_cast<COLORREF>(wParam));
    TellParent(WMU_COLOUR_SELCHANGE, static_cast<COLORREF>(wParam));
    return 0;
}

LRESULT CColourPickerXP::OnSelEndOK(WPARAM wParam, LPARAM)
{
    const COLORREF chosen = static_cast<COLORREF>(wParam);
    const COLORREF before = m_Color;
    m_bPopupActive = FALSE;
    SetColour(chosen);
    TellParent(WMU_COLOUR_CLOSEUP, chosen);
    TellParent(WMU_COLOUR_SELENDOK, chosen);
    if (chosen != before)
        TellParent(WMU_COLOUR_SELCHANGE, chosen);
    return 0;
}

LRESULT CColourPickerXP::OnSelEndCancel(WPARAM wParam, LPARAM)
{
    const COLORREF initial = static_cast<COLORREF>(wParam);
    m_bPopupActive = FALSE;
    SetColour(initial);
    TellParent(WMU_COLOUR_CLOSEUP, initial);
    TellParent(WMU_COLOUR_SELENDCANCEL, initial);
    return 0;
}

void CColourPickerXP::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bMouseOver) {
        m_bMouseOver = TRUE;
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        ::TrackMouseEvent(&track);
        if (m_bComboBoxStyle)
            PaintHotDropButton(TRUE);
        else
            InvalidateRect(nullptr, FALSE);
    }
    CButton::OnMouseMove(nFlags, point);
}

void CColourPickerXP::OnMouseLeave()
{
    m_bMouseOver = FALSE;
    if (m_bComboBoxStyle)
        PaintHotDropButton(FALSE);
    else
        InvalidateRect(nullptr, FALSE);
    CButton::OnMouseLeave();
}

// ---------------------------------------------------------------- painting

BOOL CColourPickerXP::HasTheme()
{
    if (!m_bThemesOpened && GetSafeHwnd()) {
        m_bThemesOpened = TRUE;
        if (UxThemeBinder::IsAppThemed()) {
            m_themeButton.Open(m_hWnd, L"BUTTON");
            m_themeEdit.Open(m_hWnd, L"EDIT");
            m_themeCombo.Open(m_hWnd, L"COMBOBOX");
        }
    }
    return !m_themeButton.IsNull() && UxThemeBinder::IsAppThemed();
}

void CColourPickerXP::PaintHotDropButton(BOOL bHot)
{
    if (!HasTheme() || m_themeEdit.IsNull() || m_themeCombo.IsNull())
        return;
    CClientDC dc(this);
    CRect client, content;
    GetClientRect(&client);
    UxThemeBinder::GetThemeBackgroundContentRect(m_themeEdit, dc.GetSafeHdc(), 1, 1, &client, &content);
    CRect button(content.right + 2 - content.Height(), content.top, content.right, content.bottom);
    UxThemeBinder::DrawThemeBackground(m_themeCombo, dc.GetSafeHdc(), 1, bHot ? 2 : 1, &button, nullptr);
}

void CColourPickerXP::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* target = CDC::FromHandle(lpDIS->hDC);
    VyxMemDC dc(target, &lpDIS->rcItem);
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    CRect rect = lpDIS->rcItem;
    const UINT state = lpDIS->itemState;
    const BOOL pressed = (state & ODS_SELECTED) || (m_bPopupActive && !m_bComboBoxStyle);
    const BOOL focused = (state & ODS_FOCUS) != 0;
    const BOOL disabled = (state & ODS_DISABLED) != 0;
    const BOOL hot = (state & ODS_HOTLIGHT) || m_bMouseOver;
    const BOOL themed = HasTheme();
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    const int cyEdge = ::GetSystemMetrics(SM_CYEDGE);

    if (!themed) {
        if (!m_bComboBoxStyle) {
            UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
            if (pressed)
                flags |= DFCS_PUSHED;
            if (disabled)
                flags |= DFCS_INACTIVE;
            dc.DrawFrameControl(&rect, DFC_BUTTON, flags);
            if (pressed)
                rect.OffsetRect(1, 1);
        } else {
            if (!disabled)
                dc.FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
            dc.DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
            rect.DeflateRect(cxEdge, cyEdge);
        }
    } else {
        int themeState = (pressed ? 3 : 0) | (disabled ? 4 : 0);
        if (hot)
            themeState |= 2;
        else if (focused && !m_bComboBoxStyle)
            themeState |= 5;
        if (m_bComboBoxStyle && disabled) {
            CBrush frame(RGB(0xC9, 0xC7, 0xBA));
            dc.FrameRect(&rect, &frame);
            rect.DeflateRect(1, 1);
        } else {
            HTHEME theme = m_bComboBoxStyle ? m_themeEdit.GetHandle() : m_themeButton.GetHandle();
            CRect part = rect;
            if (!m_bComboBoxStyle)
                part.right += 1;
            UxThemeBinder::DrawThemeBackground(theme, dc.GetSafeHdc(), 1, themeState, &part, nullptr);
            CRect content;
            if (SUCCEEDED(UxThemeBinder::GetThemeBackgroundContentRect(theme, dc.GetSafeHdc(), 1, themeState, &part,
                                                                       &content)))
                rect = content;
        }
    }

    if (m_bComboBoxStyle) {
        if (!themed) {
            CRect button(rect.right - rect.Height(), rect.top, rect.right, rect.bottom);
            UINT flags = DFCS_SCROLLCOMBOBOX;
            if (pressed)
                flags |= DFCS_FLAT | DFCS_PUSHED;
            if (disabled)
                flags |= DFCS_INACTIVE;
            dc.DrawFrameControl(&button, DFC_SCROLL, flags);
            rect.left += 1;
            rect.top += 1;
            rect.bottom -= 1;
            rect.right -= button.Width();
        } else {
            int comboState = (pressed ? 3 : 0) | (disabled ? 4 : 0) | (hot ? 2 : 0);
            CRect button(rect.right - rect.Height() + 2, rect.top, rect.right, rect.bottom);
            UxThemeBinder::DrawThemeBackground(m_themeCombo, dc.GetSafeHdc(), 1, comboState, &button, nullptr);
            rect.right = button.left;
            if (disabled) {
                CBrush frame(RGB(0xF5, 0xF4, 0xEA));
                dc.FrameRect(&rect, &frame);
            }
            rect.left += 2;
            rect.top += 2;
            rect.right -= 1;
            rect.bottom -= 2;
        }
    }

    if (focused && !pressed) {
        CRect focus = rect;
        focus.right -= 1;
        if (m_bComboBoxStyle) {
            dc.FillSolidRect(&focus, ::GetSysColor(COLOR_HIGHLIGHT));
            CBrush inverse(::GetSysColor(COLOR_HIGHLIGHT) ^ 0x00FFFFFF);
            dc.FrameRect(&focus, &inverse);
        }
        dc.DrawFocusRect(&focus);
    }
    rect.DeflateRect(cxEdge, cyEdge);
    rect.right -= 1;

    if (!m_bComboBoxStyle) {
        int x = rect.right - cxEdge / 2;
        int y = (rect.top + rect.bottom) / 2;
        POINT arrow[3] = {{x - 4, y - 1}, {x, y - 1}, {(2 * x - 4) / 2, y + 1}};
        COLORREF arrowColour = disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
        int oldMode = dc.SetPolyFillMode(WINDING);
        FillSolidPolygon(&dc, arrow, 3, arrowColour);
        dc.SetPolyFillMode(oldMode);
        rect.right = x - 4 - cxEdge / 2 - 2;
        CRect separator = rect;
        dc.DrawEdge(&separator, EDGE_ETCHED, BF_RIGHT | (m_bFlatMenus ? BF_FLAT : 0));
        rect.right -= 2 * cxEdge + 1;
    }

    if (!disabled) {
        CRect swatch = rect;
        if (m_bComboBoxStyle)
            swatch.right = swatch.left + swatch.Height();
        COLORREF colour = m_Color == CLR_DEFAULT ? m_DefaultColor : m_Color;
        dc.FillSolidRect(&swatch, colour);
        dc.FrameRect(&swatch, CBrush::FromHandle(::GetSysColorBrush(m_bComboBoxStyle && focused ? COLOR_HIGHLIGHTTEXT
                                                                                                : COLOR_WINDOWTEXT)));
        if (m_bComboBoxStyle) {
            CRect text(swatch.right + 2, rect.top - 1, rect.right, rect.bottom + 1);
            CFont* font = GetFont();
            CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(::GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            dc.DrawText(ColourText(m_Color), &text, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
            if (oldFont)
                dc.SelectObject(oldFont);
        }
    }
}

void AFXAPI DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& crColour)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    auto* picker = static_cast<CColourPickerXP*>(CWnd::FromHandlePermanent(control));
    if (!picker)
        return;
    if (pDX->m_bSaveAndValidate)
        crColour = picker->GetRawColour();
    else
        picker->SetColour(crColour);
}
