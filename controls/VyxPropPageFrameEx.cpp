#include "controls/VyxPropPageFrameEx.h"

#include "controls/VyxMemDC.h"

#include <vssym32.h>

namespace TreePropSheet {

IMPLEMENT_DYNAMIC(VyxPropPageFrameEx, CWnd)

BEGIN_MESSAGE_MAP(VyxPropPageFrameEx, CWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

CThemeLibEx* g_themeLib = nullptr;

} // namespace

CThemeLibEx& VyxPropPageFrameEx::ThemeLib()
{
    static CThemeLibEx programLib;
    return g_themeLib ? *g_themeLib : programLib;
}

void VyxPropPageFrameEx::SetThemeLib(CThemeLibEx* pLib)
{
    g_themeLib = pLib;
}

BOOL VyxPropPageFrameEx::IsThemed()
{
    CThemeLibEx& lib = ThemeLib();
    return lib.IsAvailable() && lib.IsThemeActive() && lib.IsAppThemed();
}

VyxPropPageFrameEx::~VyxPropPageFrameEx()
{
    m_images.DeleteImageList();
}

BOOL VyxPropPageFrameEx::CreateFrameWindow(DWORD dwExStyle, LPCWSTR lpszText, DWORD dwWindowStyle, const RECT& rect,
                                           CWnd* pwndParent, UINT nID)
{
    LPCWSTR cls = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                      ::GetSysColorBrush(COLOR_3DFACE), nullptr);
    return CWnd::CreateEx(dwExStyle, cls, lpszText, dwWindowStyle, rect, pwndParent, nID);
}

BOOL VyxPropPageFrameEx::Create(DWORD dwWindowStyle, const RECT& rect, CWnd* pwndParent, UINT nID)
{
    return CreateFrameWindow(0, L"PropPageFrameEx", dwWindowStyle, rect, pwndParent, nID);
}

void VyxPropPageFrameEx::SetCaption(LPCWSTR lpszCaption, HICON hIcon)
{
    CPropPageFrame::SetCaption(lpszCaption, hIcon);
    m_images.DeleteImageList();
    if (!hIcon)
        return;
    ICONINFO info = {};
    if (!::GetIconInfo(hIcon, &info))
        return;
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    BITMAP mask = {};
    ::GetObjectW(info.hbmMask, sizeof(mask), &mask);
    ::DeleteObject(info.hbmMask);
    if (m_images.Create(mask.bmWidth, mask.bmHeight, ILC_COLOR32 | ILC_MASK, 0, 1) && m_images.Add(hIcon) < 0)
        m_images.DeleteImageList();
}

VyxPropPageFrameEx::ThemedArea VyxPropPageFrameEx::GetThemedContentRect(CRect& client, CRect& content)
{
    client.SetRectEmpty();
    if (::IsWindow(m_hWnd))
        GetClientRect(&client);
    content = client;
    if (!::IsWindow(m_hWnd) || !IsThemed())
        return ThemedArea::Unthemed;
    CThemeLibEx& lib = ThemeLib();
    HTHEME theme = lib.OpenThemeData(m_hWnd, L"Tab");
    if (!theme)
        return ThemedArea::NoThemeData;
    CWindowDC dc(this);
    lib.GetThemeBackgroundContentRect(theme, dc.m_hDC, TABP_PANE, 0, &client, &content);
    lib.CloseThemeData(theme);
    return ThemedArea::Content;
}

CRect VyxPropPageFrameEx::CalcCaptionArea()
{
    CRect client, content;
    switch (GetThemedContentRect(client, content)) {
    case ThemedArea::Unthemed:
        return CPropPageFrame::CalcCaptionArea();
    case ThemedArea::NoThemeData:
        return client;
    case ThemedArea::Content:
        break;
    }
    content.bottom = m_bShowCaption ? client.top + m_nCaptionHeight : content.top;
    return content;
}

CRect VyxPropPageFrameEx::CalcMsgArea()
{
    CRect client, content;
    switch (GetThemedContentRect(client, content)) {
    case ThemedArea::Unthemed:
        if (m_bShowCaption)
            client.top += m_nCaptionHeight + 1;
        return client;
    case ThemedArea::NoThemeData:
        return client;
    case ThemedArea::Content:
        break;
    }
    if (m_bShowCaption)
        content.top = client.top + m_nCaptionHeight + 1;
    return content;
}

void VyxPropPageFrameEx::DrawGradient(CDC* pDc, const CRect& rect, COLORREF clrLeft, COLORREF clrRight)
{
    int width = rect.Width();
    if (width <= 0)
        return; // a collapsed band has no steps to take
    double red = GetRValue(clrLeft), green = GetGValue(clrLeft), blue = GetBValue(clrLeft);
    double stepRed = (static_cast<double>(GetRValue(clrRight)) - red) / width;
    double stepGreen = (static_cast<double>(GetGValue(clrRight)) - green) / width;
    double stepBlue = (static_cast<double>(GetBValue(clrRight)) - blue) / width;
    for (int x = rect.left; x < rect.right; ++x) {
        CPen pen(PS_SOLID, 1, RGB(static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue)));
        CPen* old = pDc->SelectObject(&pen);
        pDc->MoveTo(x, rect.top);
        pDc->LineTo(x, rect.bottom);
        pDc->SelectObject(old);
        red += stepRed;
        green += stepGreen;
        blue += stepBlue;
    }
}

void VyxPropPageFrameEx::DrawCaption(CDC* pDc, CRect rect, LPCWSTR lpszCaption, HICON hIcon)
{
    COLORREF right = pDc->GetPixel(rect.right - 1, rect.top);
    m_pfnGradient(pDc, rect, ::GetSysColor(COLOR_ACTIVECAPTION), right);

    if (hIcon && m_images.GetSafeHandle() && m_images.GetImageCount() == 1) {
        IMAGEINFO info = {};
        m_images.GetImageInfo(0, &info);
        CSize size(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
        m_images.Draw(pDc, 0, CPoint(3, (rect.top + rect.bottom) / 2 - size.cy / 2), ILD_TRANSPARENT);
        rect.left += 3 + size.cx;
    }

    rect.left += 2;
    COLORREF oldColour = pDc->SetTextColor(::GetSysColor(COLOR_CAPTIONTEXT));
    int oldMode = pDc->SetBkMode(TRANSPARENT);
    CGdiObject* oldFont = pDc->SelectStockObject(SYSTEM_FONT);
    pDc->DrawText(lpszCaption, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    pDc->SetTextColor(oldColour);
    pDc->SetBkMode(oldMode);
    if (oldFont)
        pDc->SelectObject(oldFont->GetSafeHandle());
}

void VyxPropPageFrameEx::DrawBackground(CDC* pDc)
{
    CRect client;
    GetClientRect(&client);
    if (IsThemed()) {
        CThemeLibEx& lib = ThemeLib();
        if (HTHEME theme = lib.OpenThemeData(m_hWnd, L"Tab")) {
            lib.DrawThemeBackground(theme, pDc->m_hDC, TABP_PANE, 0, &client, nullptr);
            lib.CloseThemeData(theme);
            return;
        }
    }
    DefWindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(pDc->m_hDC), 0);
    ::FillRect(pDc->m_hDC, &client, ::GetSysColorBrush(COLOR_3DFACE));
}

BOOL VyxPropPageFrameEx::OnEraseBkgnd(CDC* /*pDC*/)
{
    return TRUE; // painted with everything else, off screen
}

void VyxPropPageFrameEx::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    VyxMemDC memory(&dc, &client);
    DrawBackground(&memory);
    Draw(&memory);
}

} // namespace TreePropSheet
