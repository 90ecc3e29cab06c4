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

// An open file's stamp is its path's, whatever the file's size and time; none without a handle.
TEST(FileStamp, AnOpenFileHasTheStampOfItsPath)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"写真_一覧.KWI";
    for (const std::string& bytes : {std::string(), std::string("1234"), std::string(70000, 'x')}) {
        ASSERT_TRUE(ScratchFolder::WriteFile(path, bytes));
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        // A time of its own, with a part below the second.
        FILETIME written = {0x12345677u + static_cast<DWORD>(bytes.size()), 0x01D9ABCDu};
        ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
        FileStamp byPath, byHandle;
        ASSERT_TRUE(FileStamp::ReadOpen(file, byHandle));
        CloseHandle(file);
        ASSERT_TRUE(FileStamp::Read(path.c_str(), byPath));
        EXPECT_EQ(bytes.size(), byHandle.size);
        EXPECT_TRUE(byPath == byHandle) << bytes.size();
    }
    FileStamp none;
    EXPECT_FALSE(FileStamp::ReadOpen(INVALID_HANDLE_VALUE, none));
}
