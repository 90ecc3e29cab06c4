#include "catalogue/CacheRootCheck.h"

#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

TEST(CacheRootCheck, OnlyAFolderThatIsThereCanTakeTheCache)
{
    ScratchFolder folder;
    ASSERT_TRUE(ScratchFolder::WriteFile(folder / L"file.txt", "x"));
    const std::wstring existing = folder.Path();
    const struct
    {
        std::wstring root;
        DWORD problem;
    } cases[] = {
        {L"", ERROR_SUCCESS}, // beside the pictures
        {existing, ERROR_SUCCESS},
        {existing + L"\\", ERROR_SUCCESS},
        {L"C:", ERROR_SUCCESS},
        {L"C:\\", ERROR_SUCCESS},
        {folder / L"missing", ERROR_PATH_NOT_FOUND},
        {folder / L"missing\\deeper", ERROR_PATH_NOT_FOUND},
        {folder / L"file.txt", ERROR_DIRECTORY},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.problem, CacheRootCheck::Problem(c.root.c_str())) << CStringA(c.root.c_str()).GetString();
    // The text names the folder.
    const CString text = CacheRootCheck::CannotWriteText((folder / L"missing").c_str(), ERROR_PATH_NOT_FOUND);
    CString joined = text;
    joined.Replace(L"\r\n", L"");
    EXPECT_NE(-1, joined.Find((L"「" + (folder / L"missing") + L"」").c_str())) << CStringA(text).GetString();
}
