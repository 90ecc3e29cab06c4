// Ends the process with exit code 0 in the middle of a GoogleTest run, as a test killed from
// outside or one calling exit would; the Wine wrapper must not count the run as passed.
#include <gtest/gtest.h>

#include <windows.h>

TEST(HalfRun, EndsBeforeTheSummary)
{
    ExitProcess(0);
}

TEST(HalfRun, IsNeverReached) {}

int wmain(int argc, wchar_t** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
