// The progress window of the thumbnail cache written at the close: its 中止 button, pressed while a
// write holds on, gives the write up at once, the window goes, and the file being replaced stays
// as it was.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "common/RealInput.h"
#include "catalogue/CacheFileWriter.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheList.h"
#include "res/resource.h"

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

// Writes wait between two records until they are told to stop: a disk slower than any close.
struct HeldWrites
{
    HeldWrites()
    {
        CacheFileWriter::SetBetweenRecordsForTests([](const VyxCacheFolder::WriteWatch& watch) {
            while (!watch.stop.load())
                Sleep(1);
        });
    }
    ~HeldWrites() { CacheFileWriter::SetBetweenRecordsForTests(nullptr); }
};

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
