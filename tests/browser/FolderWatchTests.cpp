#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "browser/FolderWatchThread.h"

namespace {

const LoggedMessage* LastChange(const CLogHostWnd& host)
{
    return host.Last(WMU_FOLDERCHANGED);
}

bool ThreadHasEnded(DWORD threadId)
{
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (!thread)
        return true;
    bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

// The thread opens its notification on its own time: a change made before that is not seen, so
// new files are made until one is.
bool ChangeUntilPosted(const FrameworkScratchFolder& folder, const CLogHostWnd& host)
{
    int n = 0;
    return PumpUntil(
        [&] {
            if (n++ % 10 == 0)
                folder.WriteFile((L"f" + std::to_wstring(n) + L".jpg").c_str(), "x");
            return LastChange(host) != nullptr;
        },
        30000);
}

} // namespace

TEST(FolderWatch, AChangeInTheWatchedFolderIsPostedWithTheWatcherNumberAndBlock)
{
    CLogHostWnd host;
    FrameworkScratchFolder folder;
    FolderWatchSlot slot(FolderChangeInFolder);
    ASSERT_TRUE(slot.Start(host.GetSafeHwnd(), folder.Path(), FALSE));
    EXPECT_TRUE(slot.IsRunning());
    EXPECT_EQ(folder.Path(), slot.GetPath());

    ASSERT_TRUE(ChangeUntilPosted(folder, host));
    EXPECT_EQ(static_cast<WPARAM>(FolderChangeInFolder), LastChange(host)->wParam);
    EXPECT_TRUE(slot.IsBlock(LastChange(host)->lParam));
    slot.Stop();
    EXPECT_FALSE(slot.IsStarted());
}

TEST(FolderWatch, WithSubtreeOnAChangeInTheFolderItselfIsStillPosted)
{
    // Wine reports only entries directly in the watched folder, whatever the subtree flag; a
    // change in the folder itself is what the watcher can rely on.
    CLogHostWnd host;
    FrameworkScratchFolder folder;
    ASSERT_TRUE(CreateDirectoryW(folder / L"sub", nullptr));
    FolderWatchSlot slot(FolderChangeOnDrive);
    ASSERT_TRUE(slot.Start(host.GetSafeHwnd(), folder.Path(), TRUE));
    ASSERT_TRUE(ChangeUntilPosted(folder, host));
    EXPECT_EQ(static_cast<WPARAM>(FolderChangeOnDrive), LastChange(host)->wParam);
}

TEST(FolderWatch, RetargetingKeepsTheThreadAndWatchesTheNewFolder)
{
    CLogHostWnd host;
    FrameworkScratchFolder first;
    FrameworkScratchFolder second;
    FolderWatchSlot slot(FolderChangeInFolder);
    ASSERT_TRUE(slot.Start(host.GetSafeHwnd(), first.Path(), FALSE));
    DWORD thread = slot.GetThreadId();
    ASSERT_TRUE(slot.Retarget(second.Path()));
    EXPECT_EQ(thread, slot.GetThreadId());
    EXPECT_EQ(second.Path(), slot.GetPath());
    ASSERT_TRUE(ChangeUntilPosted(second, host));
    EXPECT_TRUE(slot.IsRunning());
}

TEST(FolderWatch, QuickRetargetsNeverOpenAPathTheFrameDidNotGive)
{
    // Two folders whose paths differ in length: a path read while the other is written over it
    // names no folder, and the thread would end on it.
    CLogHostWnd host;
    FrameworkScratchFolder scratch;
    const CString shortPath = scratch / L"a";
    const CString longName = CString(L'b', 240) + L"\\" + CString(L'b', 240);
    const CString longPath = scratch / longName;
    ASSERT_LT(longPath.GetLength(), static_cast<int>(FolderWatchBlock::PathSize));
    ASSERT_TRUE(CreateDirectoryW(shortPath, nullptr));
    ASSERT_TRUE(CreateDirectoryW(scratch / CString(L'b', 240), nullptr));
    ASSERT_TRUE(CreateDirectoryW(longPath, nullptr));
    FolderWatchSlot slot(FolderChangeInFolder);
    ASSERT_TRUE(slot.Start(host.GetSafeHwnd(), shortPath, FALSE));
    // A torn path is rare per re-target: many are needed to meet one. A thread that ended on
    // one ends the loop early.
    for (int i = 0; i < 12000 && (i % 100 != 0 || slot.IsRunning()); ++i)
        ASSERT_TRUE(slot.Retarget(i % 2 ? longPath : shortPath));
    ASSERT_TRUE(slot.Retarget(longPath));

    // Still running, on the last path given.
    int n = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            if (n++ % 10 == 0)
                scratch.WriteFile(longName + L"\\f" + std::to_wstring(n).c_str() + L".jpg", "x");
            return LastChange(host) != nullptr || !slot.IsRunning();
        },
        30000));
    EXPECT_TRUE(slot.IsRunning());
    EXPECT_NE(nullptr, LastChange(host));
}

TEST(FolderWatch, APathLongerThanTheBlockHoldsLeavesTheWatcherOff)
{
    CLogHostWnd host;
    FrameworkScratchFolder folder;
    CString longPath = folder.Path() + L"\\" + CString(L'a', FolderWatchBlock::PathSize);
    FolderWatchSlot slot(FolderChangeInFolder);
    EXPECT_FALSE(slot.Start(host.GetSafeHwnd(), longPath, FALSE));
    EXPECT_FALSE(slot.IsStarted());

    ASSERT_TRUE(slot.Start(host.GetSafeHwnd(), folder.Path(), FALSE));
    EXPECT_FALSE(slot.Retarget(longPath));
    EXPECT_FALSE(slot.IsStarted());
}

TEST(FolderWatch, StoppingEndsTheThreadBeforeItsBlockGoes)
{
    CLogHostWnd host;
    FrameworkScratchFolder folder;
    FolderWatchSlot slot(FolderChangeOnDrive);
    ASSERT_TRUE(slot.Start(host.GetSafeHwnd(), folder.Path(), TRUE));
    DWORD thread = slot.GetThreadId();
    slot.Stop();
    EXPECT_TRUE(ThreadHasEnded(thread));
    EXPECT_TRUE(slot.GetPath().IsEmpty());
}

TEST(FolderWatch, AFolderThatCannotBeWatchedEndsItsThread)
{
    CLogHostWnd host;
    FrameworkScratchFolder folder;
    FolderWatchSlot slot(FolderChangeInFolder);
    ASSERT_TRUE(slot.Start(host.GetSafeHwnd(), folder / L"missing", FALSE));
    EXPECT_TRUE(slot.IsStarted());
    EXPECT_TRUE(PumpUntil([&] { return !slot.IsRunning(); }, 30000));
}
