// One theme handle of the visual-styles library, closed when replaced or destroyed.
#pragma once

#include "controls/UxThemeBinder.h"

class UxThemeHandle
{
public:
    UxThemeHandle() = default;
    explicit UxThemeHandle(HTHEME hTheme) : m_hTheme(hTheme) {}
    UxThemeHandle(HWND hWnd, LPCWSTR pszClassList) { Open(hWnd, pszClassList); }
    ~UxThemeHandle() { Close(); }
    UxThemeHandle(const UxThemeHandle&) = delete;
    UxThemeHandle& operator=(const UxThemeHandle&) = delete;

    BOOL Open(HWND hWnd, LPCWSTR pszClassList);
    void Close();
    void Attach(HTHEME hTheme);
    HTHEME Detach();
    BOOL IsNull() const { return m_hTheme == nullptr; }
    HTHEME GetHandle() const { return m_hTheme; }
    operator HTHEME() const { return m_hTheme; }

private:
    HTHEME m_hTheme = nullptr;
};
