#include "controls/CThemeHelperST.h"

#include <shlwapi.h>

CThemeHelperST::CThemeHelperST() : CThemeHelperST(L"UxTheme.dll") {}

CThemeHelperST::CThemeHelperST(LPCWSTR pszLibraryName) : m_hDll(::LoadLibraryW(pszLibraryName)) {}

CThemeHelperST::~CThemeHelperST()
{
    if (m_hDll)
        ::FreeLibrary(m_hDll);
}

// Null when the library or the entry is missing: the caller answers the fallback instead.
template <class Fn> Fn CThemeHelperST::Entry(const char* pszName) const
{
    return m_hDll ? reinterpret_cast<Fn>(::GetProcAddress(m_hDll, pszName)) : nullptr;
}

HTHEME CThemeHelperST::OpenThemeData(HWND hwnd, LPCWSTR pszClassList)
{
    auto fn = Entry<HTHEME(WINAPI*)(HWND, LPCWSTR)>("OpenThemeData");
    return fn ? fn(hwnd, pszClassList) : nullptr;
}

HRESULT CThemeHelperST::CloseThemeData(HTHEME hTheme)
{
    auto fn = Entry<HRESULT(WINAPI*)(HTHEME)>("CloseThemeData");
    return fn ? fn(hTheme) : E_FAIL;
}

HRESULT CThemeHelperST::DrawThemeBackground(HTHEME hTheme, HWND hWnd, HDC hdc, int iPartId, int iStateId,
                                            const RECT* pRect, const RECT* pClipRect)
{
    if (hWnd) {
        if (auto parent = Entry<HRESULT(WINAPI*)(HWND, HDC, RECT*)>("DrawThemeParentBackground"))
            parent(hWnd, hdc, const_cast<RECT*>(pRect));
    }
    auto fn = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*)>("DrawThemeBackground");
    return fn ? fn(hTheme, hdc, iPartId, iStateId, pRect, pClipRect) : E_FAIL;
}

HRESULT CThemeHelperST::DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText,
                                      int iCharCount, DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect)
{
    auto fn = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)>("DrawThemeText");
    return fn ? fn(hTheme, hdc, iPartId, iStateId, pszText, iCharCount, dwTextFlags, dwTextFlags2, pRect) : E_FAIL;
}

BOOL CThemeHelperST::IsAppThemed()
{
    auto fn = Entry<BOOL(WINAPI*)()>("IsAppThemed");
    return fn ? fn() : FALSE;
}

BOOL CThemeHelperST::CommonControlsThemed()
{
    // Only the common controls of version 6 draw visual styles: with older ones (this program
    // asks for no other) every button, tab and page of the window is plain.
    HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
    auto version =
        controls ? reinterpret_cast<DLLGETVERSIONPROC>(::GetProcAddress(controls, "DllGetVersion")) : nullptr;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    return version && SUCCEEDED(version(&info)) && info.dwMajorVersion >= 6;
}

BOOL CThemeHelperST::IsThemeActive()
{
    auto fn = Entry<BOOL(WINAPI*)()>("IsThemeActive");
    return fn ? fn() : FALSE;
}
