// A small per-object access to the visual-styles library for the themed button: the library is
// loaded with the object, each entry looked up at its call, and a missing library or entry answers
// a harmless fallback.
#pragma once

#include "framework/Framework.h"

#include <uxtheme.h>

class CThemeHelperST
{
public:
    CThemeHelperST();
    // Another library stands in for the visual-styles library (tests).
    explicit CThemeHelperST(LPCWSTR pszLibraryName);
    virtual ~CThemeHelperST();
    CThemeHelperST(const CThemeHelperST&) = delete;
    CThemeHelperST& operator=(const CThemeHelperST&) = delete;

    HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList);
    HRESULT CloseThemeData(HTHEME hTheme);
    // Draws the parent's background under the rectangle first when a window is given.
    HRESULT DrawThemeBackground(HTHEME hTheme, HWND hWnd, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                const RECT* pClipRect);
    HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int iCharCount,
                          DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect);
    BOOL IsAppThemed();
    BOOL IsThemeActive();
    // Whether the process's common controls draw visual styles (version 6 or later).
    static BOOL CommonControlsThemed();

private:
    template <class Fn> Fn Entry(const char* pszName) const;

    HMODULE m_hDll = nullptr;
};
