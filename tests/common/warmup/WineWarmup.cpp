// Starts the Wine session's background processes (services and the desktop window's explorer)
// with the caller's standard handles, so that they do not inherit a test's output pipe and keep
// the test runner waiting for it to close.
#include <windows.h>

int wmain()
{
    HWND desktop = GetDesktopWindow();
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe)
        DestroyWindow(probe);
    return desktop && probe ? 0 : 1;
}
