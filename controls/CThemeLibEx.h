// The few visual-styles entries the tree property sheet's page frames draw with, bound once when
// the object is made. Callers ask IsAvailable first; an entry the library lacks answers its
// fallback (FALSE, no theme, or E_FAIL).
#pragma once

#include "framework/Framework.h"

#include <uxtheme.h>

namespace TreePropSheet {

class CThemeLibEx
{
public:
    CThemeLibEx();
    // Another library stands in for the visual-styles library (tests).
    explicit CThemeLibEx(LPCWSTR pszLibraryName);
    virtual ~CThemeLibEx();
    CThemeLibEx(const CThemeLibEx&) = delete;
    CThemeLibEx& operator=(const CThemeLibEx&) = delete;

    BOOL IsAvailable() const { return m_hThemeLib != nullptr; }

    BOOL IsAppThemed();
    BOOL IsThemeActive();
    HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList);
    HRESULT CloseThemeData(HTHEME hTheme);
    HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pBoundingRect,
                                          RECT* pContentRect);
    HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                const RECT* pClipRect);
    HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor);

private:
    HMODULE m_hThemeLib = nullptr;
    BOOL(WINAPI* m_pIsAppThemed)() = nullptr;
    BOOL(WINAPI* m_pIsThemeActive)() = nullptr;
    HTHEME(WINAPI* m_pOpenThemeData)(HWND, LPCWSTR) = nullptr;
    HRESULT(WINAPI* m_pCloseThemeData)(HTHEME) = nullptr;
    HRESULT(WINAPI* m_pGetThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*) = nullptr;
    HRESULT(WINAPI* m_pDrawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
    HRESULT(WINAPI* m_pGetThemeColor)(HTHEME, int, int, int, COLORREF*) = nullptr;
};

} // namespace TreePropSheet
