// Common entry point of the test executables.
#include <gtest/gtest.h>

#include "TestApp.h"

int wmain(int argc, wchar_t** argv)
{
    // Wine's default error mode would open a crash dialog instead of ending a failing test.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // The application object starts as the program's does, without a window or message loop.
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    CWinApp* app = AfxGetApp();
    if (!app || !app->InitApplication() || !app->InitInstance())
        return 1;
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    app->ExitInstance();
    return result;
}
