// A file's stamp: what tells a kept copy of a file's contents from a stale one.
#include <gtest/gtest.h>

#include "common/ScratchFolder.h"
#include "foundation/FileStamp.h"

TEST(FileStamp, TellsAFileThatChangedInSizeOrTimeAndGivesNoneForWhatIsNotThere)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"_THUMBS_.KWI";
    ASSERT_TRUE(ScratchFolder::WriteFile(path, "1234"));
    FileStamp first, again;
    ASSERT_TRUE(FileStamp::Read(path.c_str(), first));
    EXPECT_EQ(4u, first.size);
    ASSERT_TRUE(FileStamp::Read(path.c_str(), again));
    EXPECT_TRUE(first == again);

    // The same size written at another time.
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME later = first.written;
    later.dwHighDateTime += 1;
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &later));
    CloseHandle(file);
    ASSERT_TRUE(FileStamp::Read(path.c_str(), again));
    EXPECT_TRUE(first != again);
    // Another size at the same time.
    FileStamp grown = first;
    grown.size = 5;
    EXPECT_TRUE(first != grown);

    FileStamp none;
    EXPECT_FALSE(FileStamp::Read((scratch / L"gone").c_str(), none));
    EXPECT_FALSE(FileStamp::Read(nullptr, none));
    // A folder has a stamp, unless files only are asked for.
    EXPECT_TRUE(FileStamp::Read(scratch.Path().c_str(), none));
    EXPECT_FALSE(FileStamp::Read(scratch.Path().c_str(), none, true));
}
