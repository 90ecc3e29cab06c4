// A file put in place of another only when whole.
#include <gtest/gtest.h>

#include "common/ScratchFolder.h"
#include "foundation/ReplacementFile.h"

TEST(ReplacementFile, OnlyAWholeFileTakesThePlaceOfTheOldOneAndKeepsItsHiddenAttribute)
{
    ScratchFolder scratch;
    const std::wstring target = scratch / L"写真_1.2.jpg";
    ASSERT_TRUE(ScratchFolder::WriteFile(target, "old"));
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    {
        // Dropped before it is put in place: the old file stays, nothing beside it.
        ReplacementFile file(target.c_str());
        ASSERT_TRUE(file.Stream());
        std::fputs("half", file.Stream());
    }
    EXPECT_EQ("old", ScratchFolder::ReadFile(target));
    EXPECT_EQ(1u, scratch.Names().size());

    ReplacementFile file(target.c_str());
    ASSERT_TRUE(file.Stream());
    std::fputs("new", file.Stream());
    ASSERT_TRUE(file.PutInPlace());
    EXPECT_EQ("new", ScratchFolder::ReadFile(target));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN), GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(1u, scratch.Names().size());
    EXPECT_FALSE(file.PutInPlace());

    // A read-only file is not replaced, and the new one does not stay beside it.
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    ReplacementFile refused(target.c_str());
    ASSERT_TRUE(refused.Stream());
    std::fputs("other", refused.Stream());
    EXPECT_FALSE(refused.PutInPlace());
    EXPECT_EQ("new", ScratchFolder::ReadFile(target));
    EXPECT_EQ(1u, scratch.Names().size());
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Where the folder is missing no stream is made.
    EXPECT_FALSE(ReplacementFile((scratch / L"missing\\x.jpg").c_str()).Stream());
}
