#include "foundation/CurrentDirectoryScope.h"

#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

CString Current()
{
    wchar_t path[520] = {};
    GetCurrentDirectoryW(520, path);
    return path;
}

} // namespace

TEST(CurrentDirectoryScope, MovesForItsLifeAndGivesTheDirectoryBackOnEveryWayOut)
{
    ScratchFolder scratch;
    const std::wstring inner = scratch / L"in";
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));
    SetCurrentDirectoryW(scratch.Path().c_str());
    const CString start = Current();
    {
        CurrentDirectoryScope directory(inner.c_str());
        EXPECT_EQ(0, Current().CompareNoCase(inner.c_str()));
        EXPECT_EQ(start, directory.Previous());
    }
    EXPECT_EQ(start, Current());

    EXPECT_THROW(
        {
            CurrentDirectoryScope directory(inner.c_str());
            throw std::runtime_error("dialog failed");
        },
        std::runtime_error);
    EXPECT_EQ(start, Current());

    // Without a folder it only keeps: a move made meanwhile is undone.
    {
        CurrentDirectoryScope directory;
        SetCurrentDirectoryW(inner.c_str());
    }
    EXPECT_EQ(start, Current());

    // Told to keep, it leaves the directory where it is.
    {
        CurrentDirectoryScope directory(inner.c_str());
        directory.Keep();
    }
    EXPECT_EQ(0, Current().CompareNoCase(inner.c_str()));

    // A directory that went meanwhile cannot be taken back: the current one stays.
    {
        CurrentDirectoryScope directory(scratch.Path().c_str());
        ASSERT_TRUE(RemoveDirectoryW(inner.c_str()));
    }
    EXPECT_EQ(start, Current());
    SetCurrentDirectoryW(L"C:\\");
}
