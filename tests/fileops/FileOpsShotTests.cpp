// Pictures of the progress window part way through a job, the same-name dialog with its two
// previews and the copy dialog, saved when VYX_FILEOPS_SHOT names a folder; the checks run every
// time.
#include "CopyTestUtil.h"
#include "../foundation/TestSettings.h"
#include "FileopsTestUtil.h"
#include "OutputTestUtil.h"
#include "catalogue/FolderList.h"
#include "fileops/FileCopy.h"
#include "fileops/VFileAccDlg.h"
#include "fileops/VFileCopyDlg.h"
#include "fileops/VSameFileDlg.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

CString ShotFolder()
{
    wchar_t folder[MAX_PATH] = {};
    return GetEnvironmentVariableW(L"VYX_FILEOPS_SHOT", folder, MAX_PATH) ? CString(folder) : CString();
}

void Save(HWND window, LPCWSTR name)
{
    CString folder = ShotFolder();
    if (folder.IsEmpty())
        return;
    CRect rect;
    GetWindowRect(window, &rect);
    EXPECT_TRUE(SaveScreenBitmap(rect, folder + L"\\" + name));
}

bool ShowsAPicture(HWND control)
{
    CRect rect;
    GetWindowRect(control, &rect);
    HDC screen = GetDC(nullptr);
    COLORREF centre = GetPixel(screen, rect.CenterPoint().x, rect.CenterPoint().y);
    ReleaseDC(nullptr, screen);
    return centre != GetSysColor(COLOR_BTNFACE) && centre != CLR_INVALID;
}

TEST(FileOpsShot, ProgressWindowPartWayThroughAJob)
{
    CTestHostWnd owner;
    VFileAccDlg dialog;
    ASSERT_TRUE(dialog.Create(&owner));
    dialog.SetFileName(L"C:\\写真\\2024\\旅行の写真_0042.jpg");
    dialog.SetFileRange(0, 120);
    dialog.SetTotalBytes(48ull * 1024 * 1024);
    dialog.m_startTick -= 6000;
    for (int file = 0; file < 41; ++file) {
        VFileAccDlg::CopyCallback(1, 0, 400 * 1024, 0);
        VFileAccDlg::CopyCallback(1, 400 * 1024, 400 * 1024, 0);
        VFileAccDlg::CopyCallback(1, kCopyEndCall, 0, 0);
        dialog.FileDone(1);
    }
    VFileAccDlg::CopyCallback(1, 0, 2 * 1024 * 1024, 0);
    VFileAccDlg::CopyCallback(1, 1300 * 1024, 2 * 1024 * 1024, 0);
    EXPECT_EQ(4, dialog.m_panel.GetRows());
    EXPECT_EQ(41, dialog.m_filePos);
    dialog.DrawCounters();
    dialog.m_panel.PaintChanged();
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpPending();
    Save(dialog.GetSafeHwnd(), L"fileops_progress.bmp");
    dialog.DestroyWindow();
}

TEST(FileOpsShot, SameNameDialogWithBothPictures)
{
    ScratchSettings settings;
    outputtest::OwnPlugins plugins;
    TestFolder folder;
    CreateDirectoryW(folder / L"dst", nullptr);
    CString source = folder / L"夕焼け.jpg", target = folder / L"dst\\夕焼け.jpg";
    // Squares over a gradient, one picture wide and one tall.
    outputtest::PutPicture(source.GetString(), 320, 240, [](LONG x, LONG y) {
        return ((x / 16 + y / 16) & 1) ? RGB(40, 200, x * 255 / 320) : RGB(40, 80, x * 255 / 320);
    });
    outputtest::PutPicture(target.GetString(), 180, 260, [](LONG x, LONG y) {
        return ((x / 16 + y / 16) & 1) ? RGB(y * 255 / 260, 200, 40) : RGB(y * 255 / 260, 80, 40);
    });
    VyxFile item(source);
    VSameFileDlg dialog(item, target, 0, 0, 0, L"%s-%d%s");
    bool sourceShown = false, targetShown = false;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"同名ファイルが存在しています", 30000);
        if (!window)
            return;
        HWND left = GetDlgItem(window, IDC_SAME_SOURCE_VIEW), right = GetDlgItem(window, IDC_SAME_DEST_VIEW);
        sourceShown = WaitUntil([&] { return ShowsAPicture(left); }, 30000);
        targetShown = WaitUntil([&] { return ShowsAPicture(right); }, 30000);
        Save(window, L"fileops_samename.bmp");
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(sourceShown);
    EXPECT_TRUE(targetShown);
}

TEST(FileOpsShot, CopyDialogWithItsHistoryAndOptions)
{
    ScratchSettings settings;
    CStringArray history;
    history.Add(L"D:\\写真\\整理済み");
    history.Add(L"C:\\Users\\me\\Pictures");
    FolderList::SaveKind(FolderListFilerFolder, history);
    VFileCopyDlg dialog;
    dialog.m_initialFolder = L"C:\\写真\\2024";
    int items = 0;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"ファイルの複写", 30000);
        if (!window)
            return;
        items = static_cast<int>(SendDlgItemMessageW(window, IDC_FILECOPY_OPTIONS, TVM_GETCOUNT, 0, 0));
        Save(window, L"fileops_copy.bmp");
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal();
    // Two groups: two target-file choices and six same-name choices.
    EXPECT_EQ(10, items);
}

} // namespace
