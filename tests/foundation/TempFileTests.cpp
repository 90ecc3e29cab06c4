// Temporary files: always new, never a user's entry of the same name.
#include <gtest/gtest.h>

#include "common/ScratchFolder.h"
#include "foundation/TempFile.h"

#include <set>

TEST(TempFile, ATemporaryFileIsNewAndEntriesOfTheNamesTriedStayAsTheyWere)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"_NOTE_.KWI";
    CString first;
    HANDLE file = CreateTempFileBeside(target.c_str(), first);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_EQ(0, first.Find((target + L".").c_str()));
    EXPECT_EQ(first.GetLength() - 4, first.Find(L".tmp"));
    // The names that come next hold the user's files and a folder.
    const unsigned long number = wcstoul(first.Mid(static_cast<int>(target.size()) + 1, 8), nullptr, 16);
    std::set<std::wstring> files;
    CString folder;
    for (unsigned long i = 1; i <= 40; ++i) {
        CString name;
        name.Format(L"%s.%08lX.tmp", target.c_str(), number + i);
        if (i == 1) {
            folder = name;
            ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
        } else {
            files.insert(name.GetString());
            ASSERT_TRUE(ScratchFolder::WriteFile(name.GetString(), "mine"));
        }
    }
    CString made;
    file = CreateTempFileBeside(target.c_str(), made);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_NE(first, made);
    EXPECT_NE(folder, made);
    EXPECT_EQ(0u, files.count(made.GetString())) << made.GetString();
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(folder) & FILE_ATTRIBUTE_DIRECTORY);
    for (const std::wstring& name : files)
        EXPECT_EQ("mine", ScratchFolder::ReadFile(name)) << name;

    // Where the folder is missing, none is made and the platform's reason is kept.
    CString none;
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateUniqueTempFile((scratch / L"missing\\vyx").c_str(), L".avi", none));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_TRUE(none.IsEmpty());
}
