// Log lines written during a test run (every raised library exception leaves one) go to a
// scratch folder that is removed afterwards, not beside the test executables.
#include <gtest/gtest.h>

#include "ScratchTree.h"
#include "framework/Framework.h"

namespace {

class TestLogFolder : public ::testing::Environment
{
public:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder.Format(L"%svyx_tests_log_%lu", temp, GetCurrentProcessId());
        CreateDirectoryW(m_folder, nullptr);
        if (CWinApp* app = AfxGetApp())
            app->WriteProfileString(L"LOG", L"Folder", m_folder);
    }

    void TearDown() override { RemoveTree(m_folder.GetString()); }

private:
    CString m_folder;
};

::testing::Environment* const s_testLogFolder = ::testing::AddGlobalTestEnvironment(new TestLogFolder);

} // namespace
