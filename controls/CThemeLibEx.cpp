#include "controls/CThemeLibEx.h"

#include <type_traits>

namespace TreePropSheet {

CThemeLibEx::CThemeLibEx() : CThemeLibEx(L"uxtheme.dll") {}

CThemeLibEx::CThemeLibEx(LPCWSTR pszLibraryName) : m_hThemeLib(::LoadLibraryW(pszLibraryName))
{
    if (!m_hThemeLib)
        return;
    auto bind = [this](auto& pointer, const char* name) {
        pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(::GetProcAddress(m_hThemeLib, name));
    };
    bind(m_pIsAppThemed, "IsAppThemed");
    bind(m_pIsThemeActive, "IsThemeActive");
    bind(m_pOpenThemeData, "OpenThemeData");
    bind(m_pCloseThemeData, "CloseThemeData");
    bind(m_pGetThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
    bind(m_pDrawThemeBackground, "DrawThemeBackground");
    bind(m_pGetThemeColor, "GetThemeColor");
}

CThemeLibEx::~CThemeLibEx()
{
    if (m_hThemeLib)
        ::FreeLibrary(m_hThemeLib);
}

BOOL CThemeLibEx::IsAppThemed()
{
    return m_pIsAppThemed ? m_pIsAppThemed() : FALSE;
}

BOOL CThemeLibEx::IsThemeActive()
{
    return m_pIsThemeActive ? m_pIsThemeActive() : FALSE;
}

HTHEME CThemeLibEx::OpenThemeData(HWND hwnd, LPCWSTR pszClassList)
{
    return m_pOpenThemeData ? m_pOpenThemeData(hwnd, pszClassList) : nullptr;
}

HRESULT CThemeLibEx::CloseThemeData(HTHEME hTheme)
{
    return m_pCloseThemeData ? m_pCloseThemeData(hTheme) : E_FAIL;
}

HRESULT CThemeLibEx::GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                   const RECT* pBoundingRect, RECT* pContentRect)
{
    if (!m_pGetThemeBackgroundContentRect)
        return E_FAIL;
    return m_pGetThemeBackgroundContentRect(hTheme, hdc, iPartId, iStateId, pBoundingRect, pContentRect);
}

HRESULT CThemeLibEx::DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                         const RECT* pClipRect)
{
    if (!m_pDrawThemeBackground)
        return E_FAIL;
    return m_pDrawThemeBackground(hTheme, hdc, iPartId, iStateId, pRect, pClipRect);
}

HRESULT CThemeLibEx::GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor)
{
    return m_pGetThemeColor ? m_pGetThemeColor(hTheme, iPartId, iStateId, iPropId, pColor) : E_FAIL;
}

} // namespace TreePropSheet
