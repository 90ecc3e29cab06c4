// Common entry point of the test executables.
#include <gtest/gtest.h>

#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    // Wine's default error mode would open a crash dialog instead of ending a failing test.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
