// Common entry point of the test executables.
#include <gtest/gtest.h>

#include "FrameworkScratchFolder.h"
#include "TestApp.h"

namespace {

// Every test starts with the mouse pointer parked in the screen's bottom-right corner, so a pointer
// an earlier test left over a window cannot hover, highlight or click in the next one.
class ParkThePointer : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo&) override
    {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // Wine's default error mode would open a crash dialog instead of ending a failing test.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // The application object starts as the program's does, without a window or message loop.
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    CWinApp* app = AfxGetApp();
    if (!app || !app->InitApplication() || !app->InitInstance())
        return 1;
    FrameworkScratchFolder::RemoveLeftovers();
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ParkThePointer);
    int result = RUN_ALL_TESTS();
    app->ExitInstance();
    return result;
}
