// A stand-in for the visual-styles library: it answers "themed", hands out one theme handle and
// paints each part in a colour of its state, recording the calls.
#include "FakeUxTheme.h"

// Not <uxtheme.h>: its declarations of these names are imports.
using HTHEME = HANDLE;

namespace {

FakeThemeState g_state = {TRUE, 0, 0, 0, 0, {}, 0, 0, {}};
HTHEME const kTheme = reinterpret_cast<HTHEME>(0x7E57);

} // namespace

extern "C" {

__declspec(dllexport) FakeThemeState* WINAPI FakeTheme_State()
{
    return &g_state;
}

__declspec(dllexport) BOOL WINAPI IsAppThemed()
{
    return g_state.themed;
}

__declspec(dllexport) BOOL WINAPI IsThemeActive()
{
    return g_state.themed;
}

__declspec(dllexport) HTHEME WINAPI OpenThemeData(HWND, LPCWSTR pszClassList)
{
    ++g_state.opened;
    lstrcpynW(g_state.lastClass, pszClassList ? pszClassList : L"", 64);
    return g_state.themed ? kTheme : nullptr;
}

__declspec(dllexport) HRESULT WINAPI CloseThemeData(HTHEME)
{
    ++g_state.closed;
    return S_OK;
}

#ifndef FAKE_THEME_PARTIAL

__declspec(dllexport) HRESULT WINAPI DrawThemeParentBackground(HWND, HDC, RECT*)
{
    ++g_state.parentDrawn;
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect, const RECT*)
{
    if (hTheme != kTheme)
        return E_HANDLE;
    ++g_state.drawn;
    g_state.lastPart = iPartId;
    g_state.lastState = iStateId;
    g_state.lastRect = *pRect;
    HBRUSH brush = CreateSolidBrush(FakeThemeColour(iStateId));
    FillRect(hdc, pRect, brush);
    DeleteObject(brush);
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT* pBoundingRect, RECT* pContentRect)
{
    *pContentRect = *pBoundingRect;
    InflateRect(pContentRect, -2, -2);
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI GetThemeColor(HTHEME, int, int, int, COLORREF* pColor)
{
    *pColor = RGB(10, 20, 30);
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DrawThemeText(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)
{
    return S_OK;
}

#endif

} // extern "C"
