#include "framework/CWnd.h"
#include "framework/CException.h"
#include "framework/ModuleState.h"

BOOL AFXAPI AfxRegisterClass(WNDCLASSW* lpWndClass)
{
    WNDCLASSW existing;
    if (::GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassW(lpWndClass) != 0;
}

LPCWSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The name describes the class, so equal requests share one class.
    wchar_t* name = AfxGetThreadState()->m_szTempClassName;
    HINSTANCE instance = AfxGetInstanceHandle();
    auto bits = [](const void* p) { return static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(p)); };
    if (!hCursor && !hbrBackground && !hIcon)
        wsprintfW(name, L"Afx:%lx:%x", bits(instance), nClassStyle);
    else
        wsprintfW(name, L"Afx:%lx:%x:%lx:%lx:%lx", bits(instance), nClassStyle, bits(hCursor), bits(hbrBackground),
                  bits(hIcon));
    WNDCLASSW wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcW; // AfxWndProc takes over through the creation hook
    wc.hInstance = instance;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
    return name;
}
