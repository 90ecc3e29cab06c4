#include "controls/UxThemeHandle.h"

BOOL UxThemeHandle::Open(HWND hWnd, LPCWSTR pszClassList)
{
    Close();
    m_hTheme = UxThemeBinder::OpenThemeData(hWnd, pszClassList);
    return m_hTheme != nullptr;
}

void UxThemeHandle::Close()
{
    if (m_hTheme)
        UxThemeBinder::CloseThemeData(m_hTheme);
    m_hTheme = nullptr;
}

void UxThemeHandle::Attach(HTHEME hTheme)
{
    Close();
    m_hTheme = hTheme;
}

HTHEME UxThemeHandle::Detach()
{
    HTHEME hTheme = m_hTheme;
    m_hTheme = nullptr;
    return hTheme;
}
