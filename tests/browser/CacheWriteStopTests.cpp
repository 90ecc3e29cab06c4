// The progress window of the thumbnail cache written at the close: its 中止 button, pressed while a
// write holds on, gives the write up at once, the window goes, and the file being replaced stays
// as it was. The cache of a location the document leaves is written on a thread of its own: the
// leaving does not wait for the file, a look-up of that location waits for it, and the program's
// close waits for it too, so no thumbnail is lost.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "common/RealInput.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CacheFileWriter.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheList.h"
#include "res/resource.h"

#include <atomic>

namespace {

// A folder's cache in memory with count records named from the prefix, none written yet.
VyxCacheFolder* CacheOf(const CString& folder, const wchar_t* prefix, int count)
{
    auto* cache = new VyxCacheFolder(folder, L"");
    for (int i = 0; i < count; ++i) {
        auto* record = new VyxCacheThumbs;
        record->m_fileName.Format(L"%s_%03d.JPG", prefix, i);
        record->m_loaderName = L"vyx_jpeg";
        record->m_fileTime = 1500000000;
        cache->AddRecord(record);
    }
    return cache;
}

// Writes wait between two records until they are told to stop or released: a disk slower than
// any close or step of the user's.
struct HeldWrites
{
    HeldWrites()
    {
        s_released = false;
        CacheFileWriter::SetBetweenRecordsForTests([](const VyxCacheFolder::WriteWatch& watch) {
            while (!s_released.load() && !watch.stop.load())
                Sleep(1);
        });
    }
    ~HeldWrites()
    {
        Release();
        CacheFileWriter::SetBetweenRecordsForTests(nullptr);
    }
    static void Release() { s_released = true; }
    static std::atomic<bool> s_released;
};

std::atomic<bool> HeldWrites::s_released{false};

INT_PTR RecordsIn(const CString& file)
{
    VyxCacheFolder read;
    read.KeepSettings();
    return read.Load(file) == VyxCacheFolder::LoadDone ? read.GetCount() : -1;
}

} // namespace

TEST(CacheWriteOnClose, ItsStopButtonEndsTheCloseWithinASecondAndLeavesTheOldFile)
{
    FrameProgram p([] { WriteAppIniInt(L"KWDoc", L"AutoCacheFolder", 1); });
    const CString folder = p.m_folder.Path();
    const CString file = folder + L"\\_THUMBS_.KWI";
    {
        std::unique_ptr<VyxCacheFolder> old(CacheOf(folder, L"OLD", 3));
        ASSERT_EQ(1, old->SaveIfModified(file));
    }
    const std::string before = FrameworkScratchFolder::ReadFile(file);
    ASSERT_FALSE(before.empty());
    theCacheList.AddTail(CacheOf(folder, L"NEW", 20));

    HeldWrites held;
    const HWND frame = p.Frame()->m_hWnd;
    p.Frame()->SendMessage(WM_CLOSE);
    ASSERT_TRUE(IsWindow(frame));
    const CString title(MAKEINTRESOURCEW(IDS_CACHE_SAVE_TITLE));
    HWND progress = nullptr;
    ASSERT_TRUE(RunLoopUntil([&] { return (progress = FindWindowW(nullptr, title)) != nullptr; }));
    const HWND stop = GetDlgItem(progress, IDCANCEL);
    ASSERT_NE(nullptr, stop);
    EXPECT_EQ(CString(L"中止"), TextOf(stop));
    CRect button;
    GetWindowRect(stop, &button);
    ASSERT_TRUE(ShowsAt(stop, button.CenterPoint()));

    SendClick(button.CenterPoint(), MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(RunLoopUntil([&] { return !IsWindow(progress) && !IsWindow(frame); }, 1000));
    RunLoopUntil([&] { return !IsWindow(frame); });
    p.Close();
    EXPECT_EQ(before, FrameworkScratchFolder::ReadFile(file));
    // Nothing of the given-up write is left beside it.
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"\\_THUMBS_*", &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    int entries = 0;
    do
        ++entries;
    while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ(1, entries);
}

TEST(CacheWriteOnLeave, TheLeavingGoesOnWhileTheFileIsWrittenAndALookUpWaitsForIt)
{
    FrameProgram p([] { WriteAppIniInt(L"KWDoc", L"AutoCacheFolder", 1); });
    const CString folder = p.m_folder.Path();
    const CString file = folder + L"\\_THUMBS_.KWI";
    HeldWrites held;
    theCacheList.AddTail(CacheOf(folder, L"NEW", 20));

    p.Document()->ClearItems(true);
    // Back from the leaving with the write still held: nothing of the file is in place yet.
    EXPECT_TRUE(theCacheList.IsWriting());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file));
    EXPECT_EQ(nullptr, theCacheList.FindFolder(folder, L""));

    HeldWrites::Release();
    theCacheList.FinishWriting();
    EXPECT_FALSE(theCacheList.IsWriting());
    EXPECT_EQ(20, RecordsIn(file));
    p.Close();
}

namespace {

// The document leaves its location with 30 records held in their writing, the cache turned off
// after when asked, and the program closes: the window stays until the file is written.
void CloseWhileTheLocationLeftIsWritten(bool cacheTurnedOffAfter)
{
    FrameProgram p([] { WriteAppIniInt(L"KWDoc", L"AutoCacheFolder", 1); });
    const CString folder = p.m_folder.Path();
    const CString file = folder + L"\\_THUMBS_.KWI";
    HeldWrites held;
    theCacheList.AddTail(CacheOf(folder, L"NEW", 30));
    p.Document()->ClearItems(true);
    ASSERT_TRUE(theCacheList.IsWriting());
    if (cacheTurnedOffAfter)
        p.Document()->AutoCacheFolder = false;

    const HWND frame = p.Frame()->m_hWnd;
    p.Frame()->SendMessage(WM_CLOSE);
    // The window stays while the file is held, and goes once it is written.
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_FALSE(theCacheList.IsWriting());
    HeldWrites::Release();
    EXPECT_TRUE(RunLoopUntil([&] { return !IsWindow(frame); }));
    p.Close();
    EXPECT_EQ(30, RecordsIn(file));
}

} // namespace

TEST(CacheWriteOnLeave, TheCloseWaitsForTheFileOfALocationLeftJustBefore)
{
    CloseWhileTheLocationLeftIsWritten(false);
}

TEST(CacheWriteOnLeave, TheCloseWaitsForTheFileOfALocationLeftWhileTheCacheWasOn)
{
    CloseWhileTheLocationLeftIsWritten(true);
}
