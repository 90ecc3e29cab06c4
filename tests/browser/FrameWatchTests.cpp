#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "common/RealInput.h"
#include "common/SetUpParts.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxFile.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

#include <algorithm>
#include <atomic>

namespace {

// Watching the shown folder on, with short delays so that the tests need not wait the defaults.
void WatchWithShortDelays()
{
    WriteAppIniInt(L"MainFrame", L"FolderMonitor", 1);
    WriteAppIniInt(L"MainFrame", L"FolderChangeCheckTimes", 300);
    WriteAppIniInt(L"MainFrame", L"UpdateStatusTimes", 100);
}

CString Root(const CString& path)
{
    CString root;
    MakeDriveRoot(root, GetDriveIndex(path));
    return root;
}

int IndexOf(CKWDoc* doc, LPCWSTR name)
{
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (doc->GetItem(i)->GetFileName().CompareNoCase(name) == 0)
            return i;
    return -1;
}

// From a helper thread while the program runs an operation: a change of the shown folder as its
// watcher reports it, with the delay run out at once. True when the views were told to read the
// folder again then, under the operation.
bool ChangeReportedRefreshes(FrameProgram& p)
{
    const CString folder = p.m_folder.Path();
    const int before = p.m_hints.Count(HintFolderChanged);
    p.Frame()->SendMessage(WMU_FOLDERCHANGED, FolderChangeByDocument, reinterpret_cast<LPARAM>(folder.GetString()));
    p.Frame()->SendMessage(WM_TIMER, FolderChangeByDocument);
    return p.m_hints.Count(HintFolderChanged) > before;
}

// Sends the message that starts an operation; while its window of that caption is up, a change is
// reported, then the window is given the text (when there is one) and answered with the button.
// True when the change refreshed the folder under the operation.
bool RefreshedUnder(FrameProgram& p, UINT message, WPARAM wParam, LPCWSTR caption, int button, LPCWSTR text = nullptr)
{
    bool refreshed = true;
    {
        HelperThread user([&] {
            HWND window = WaitForDialog(caption, 30000);
            ASSERT_NE(nullptr, window) << CStringA(caption).GetString();
            refreshed = ChangeReportedRefreshes(p);
            if (text)
                SetWindowTextW(GetDlgItem(window, IDC_RENAME_EDIT), text);
            PostMessageW(window, WM_COMMAND, button, 0);
        });
        p.Frame()->SendMessage(message, wParam);
    }
    return refreshed;
}

} // namespace

TEST(FrameWatch, BothWatchersFollowTheShownFolderWhenMonitoringIsOn)
{
    FrameProgram p(WatchWithShortDelays);
    const FolderWatchSlot& drive = p.Frame()->GetWatcher(FolderChangeOnDrive);
    const FolderWatchSlot& folder = p.Frame()->GetWatcher(FolderChangeInFolder);
    EXPECT_TRUE(drive.IsRunning());
    EXPECT_EQ(0, drive.GetPath().CompareNoCase(Root(p.m_folder.Path())));
    EXPECT_TRUE(folder.IsRunning());
    EXPECT_EQ(0, folder.GetPath().CompareNoCase(p.m_folder.Path()));

    // A new folder re-targets the same thread.
    DWORD thread = folder.GetThreadId();
    ASSERT_TRUE(p.Pane()->GoToPath(p.m_folder / L"sub", FALSE));
    EXPECT_EQ(thread, folder.GetThreadId());
    EXPECT_EQ(0, folder.GetPath().CompareNoCase(p.m_folder / L"sub"));

    // The drive's root needs no second watcher.
    ASSERT_TRUE(p.Pane()->GoToPath(Root(p.m_folder.Path()), FALSE));
    EXPECT_TRUE(drive.IsRunning());
}

TEST(FrameWatch, WithMonitoringOffOnlyTheDriveIsWatchedUnlessForced)
{
    FrameProgram p;
    EXPECT_TRUE(p.Frame()->GetWatcher(FolderChangeOnDrive).IsRunning());
    EXPECT_FALSE(p.Frame()->GetWatcher(FolderChangeInFolder).IsStarted());
    p.Frame()->SetWatchMode(WatchMode::ForcedPaused);
    EXPECT_TRUE(p.Frame()->GetWatcher(FolderChangeInFolder).IsRunning());
    EXPECT_EQ(WatchMode::ForcedPaused, p.Frame()->SetWatchMode(WatchMode::RootOnly));
    EXPECT_FALSE(p.Frame()->GetWatcher(FolderChangeInFolder).IsStarted());
    EXPECT_EQ(WatchMode::RootOnly, p.Frame()->SetWatchMode(WatchMode::Watching));
    EXPECT_FALSE(p.Frame()->GetWatcher(FolderChangeInFolder).IsStarted());
}

TEST(FrameWatch, AChangeInTheShownFolderRefreshesItAfterTheDelay)
{
    FrameProgram p(WatchWithShortDelays);
    ASSERT_TRUE(p.Frame()->GetWatcher(FolderChangeInFolder).IsRunning());
    int n = 0;
    // The watcher opens its notification on its own time: files are made until one is seen;
    // then the changes stop, and the delay runs out.
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (p.Frame()->GetChangedFolder().IsEmpty() && n++ % 10 == 0)
                p.m_folder.WriteFile((L"new" + std::to_wstring(n) + L".jpg").c_str(), "x");
            return p.m_hints.Count(HintFolderChanged) > 0;
        },
        60000));
    std::wstring expected = L"21 " + std::wstring(p.m_folder.Path());
    EXPECT_NE(p.m_hints.heard.end(), std::find(p.m_hints.heard.begin(), p.m_hints.heard.end(), expected));
    EXPECT_EQ(p.m_folder.Path(), p.Frame()->GetChangedFolder());
}

TEST(FrameWatch, ABurstOfChangesGivesOneRefresh)
{
    FrameProgram p(WatchWithShortDelays);
    CString path = p.m_folder.Path();
    for (int i = 0; i < 3; ++i)
        p.Frame()->SendMessage(WMU_FOLDERCHANGED, FolderChangeByDocument,
                               reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(path)));
    ASSERT_TRUE(PumpUntilTimer(p.Frame()->GetSafeHwnd(), FolderChangeByDocument));
    EXPECT_EQ(1, p.m_hints.Count(HintFolderChanged));
    // No second refresh is pending.
    EXPECT_FALSE(::KillTimer(p.Frame()->GetSafeHwnd(), FolderChangeByDocument));
}

TEST(FrameWatch, WhileTheProgramChangesFilesARefreshIsDropped)
{
    FrameProgram p(WatchWithShortDelays);
    CString path = p.m_folder.Path();
    p.Frame()->SetWatchMode(WatchMode::Paused);
    p.Frame()->SendMessage(WMU_FOLDERCHANGED, FolderChangeByDocument,
                           reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(path)));
    ASSERT_TRUE(PumpUntilTimer(p.Frame()->GetSafeHwnd(), FolderChangeByDocument));
    EXPECT_EQ(0, p.m_hints.Count(HintFolderChanged));
    p.Frame()->SetWatchMode(WatchMode::Watching);
    p.Frame()->SendMessage(WMU_FOLDERCHANGED, FolderChangeByDocument,
                           reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(path)));
    ASSERT_TRUE(PumpUntilTimer(p.Frame()->GetSafeHwnd(), FolderChangeByDocument));
    EXPECT_EQ(1, p.m_hints.Count(HintFolderChanged));
}

TEST(FrameWatch, ThePathOfAWatchersChangeIsTheFramesOwnCopyNeverItsPost)
{
    FrameProgram p(WatchWithShortDelays);
    HWND frame = p.Frame()->GetSafeHwnd();
    // A post whose block is not the running watcher's (a stopped watcher's, gone with it) is
    // dropped without being read.
    auto* freed = new wchar_t[4]{L'x', 0, 0, 0};
    delete[] freed;
    LPARAM gone = reinterpret_cast<LPARAM>(freed);
    p.Frame()->SendMessage(WMU_FOLDERCHANGED, FolderChangeInFolder, gone);
    p.Frame()->SendMessage(WMU_FOLDERCHANGED, FolderChangeOnDrive, gone);
    EXPECT_FALSE(::KillTimer(frame, 2));
    EXPECT_FALSE(::KillTimer(frame, 1));
    EXPECT_TRUE(p.Frame()->GetChangedFolder().IsEmpty());

    // After the watcher has stopped, its last posts change nothing.
    p.Frame()->StopFolderWatcher(2);
    p.Frame()->SendMessage(WMU_FOLDERCHANGED, FolderChangeInFolder, 0);
    EXPECT_FALSE(::KillTimer(frame, 2));
}

TEST(FrameWatch, TheDriveWatchersChangeRefreshesTheFreeSpaceAfterItsDelay)
{
    FrameProgram p(WatchWithShortDelays);
    // Files are made in the drive's root: only in the prefix's own drive.
    VYX_NEEDS_SETUP_PART(Root(p.m_folder.Path()).CompareNoCase(L"C:\\") == 0, "a scratch folder on the prefix's drive");
    p.Frame()->GetStatusBar().SetPaneText(2, L"stale");
    int n = 0;
    DWORD made = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            // Files in the drive's root are what watcher 1 sees under Wine. Each change re-arms
            // the delay, so changes come seconds apart: closer ones would hold the refresh off.
            if (n == 0 || ::GetTickCount() - made > 2000) {
                ++n;
                made = ::GetTickCount();
                CString name;
                name.Format(L"%svyx_watch_%lu_%d.tmp", static_cast<LPCWSTR>(Root(p.m_folder.Path())),
                            GetCurrentProcessId(), n);
                HANDLE file =
                    CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
                if (file != INVALID_HANDLE_VALUE)
                    CloseHandle(file);
            }
            return p.Frame()->GetStatusBar().GetPaneText(2) != L"stale";
        },
        60000));
    EXPECT_NE(-1, p.Frame()->GetStatusBar().GetPaneText(2).Find(L" 空 "));
}

// The program's own operations hold the refresh while they run: a folder read again under them
// would free the items they work on (and the dialogs that show them).
TEST(WatchedOperations, AChangeReportedWhileRenamingWaitsUntilTheRenameIsDone)
{
    FrameProgram p(WatchWithShortDelays);
    CKWDoc* doc = p.Document();
    doc->SelectItem(IndexOf(doc, L"a.jpg"), TRUE, nullptr);
    EXPECT_FALSE(RefreshedUnder(p, WM_COMMAND, ID_FILE_RENAME_ONE, L"名前の変更", IDOK, L"奈良_001.jpg"));
    EXPECT_GE(IndexOf(doc, L"奈良_001.jpg"), 0);
    EXPECT_TRUE(ChangeReportedRefreshes(p));
}

TEST(WatchedOperations, AChangeReportedWhileTheBatchRenameIsOpenWaitsUntilItCloses)
{
    FrameProgram p(WatchWithShortDelays);
    CKWDoc* doc = p.Document();
    doc->SelectItem(IndexOf(doc, L"a.jpg"), TRUE, nullptr);
    doc->SelectItem(IndexOf(doc, L"b.jpg"), TRUE, nullptr);
    EXPECT_FALSE(RefreshedUnder(p, WM_COMMAND, ID_FILE_RENAME_MANY, L"名前の編集変更", IDCANCEL));
    EXPECT_TRUE(ChangeReportedRefreshes(p));
}

TEST(WatchedOperations, AChangeReportedWhileTheShellMenuIsOpenWaitsUntilItCloses)
{
    FrameProgram p(WatchWithShortDelays);
    CKWDoc* doc = p.Document();
    const int a = IndexOf(doc, L"a.jpg");
    doc->SelectItem(a, TRUE, nullptr);
    CKWView* view = DYNAMIC_DOWNCAST(CKWView, p.Frame()->GetThumbPane());
    ASSERT_NE(nullptr, view);
    ASSERT_TRUE(MakeActive(*p.Frame()));
    view->Invalidate(FALSE);
    view->UpdateWindow();
    CPoint point = view->GetLayout().GetCellOrigin(a) - view->GetScrollOffset() + CSize(10, 10);
    view->ClientToScreen(&point);
    ASSERT_TRUE(ShowsAt(view->GetSafeHwnd(), point));
    bool refreshed = true;
    std::atomic<bool> closed{false};
    {
        HelperThread user([&] {
            if (!WaitForMenu(30000)) {
                ADD_FAILURE() << "no shell menu";
                PostMessageW(p.Frame()->GetSafeHwnd(), WM_CANCELMODE, 0, 0);
            } else {
                refreshed = ChangeReportedRefreshes(p);
                DriveMenu(p.Frame()->GetSafeHwnd(), -1);
            }
            closed = true;
        });
        // Ctrl and Shift held while the right button is pressed on the selected file: the shell's
        // menu for it.
        SendKeyStrokes({{VK_CONTROL, true}, {VK_SHIFT, true}});
        SendClick(point, MOUSEEVENTF_RIGHTDOWN);
        SendKeyStrokes({{VK_SHIFT, false}, {VK_CONTROL, false}});
        EXPECT_TRUE(RunLoopUntil([&] { return closed.load(); }, 60000));
        RunLoopUntil([] { return true; });
    }
    EXPECT_FALSE(refreshed);
    EXPECT_TRUE(ChangeReportedRefreshes(p));
}

TEST(WatchedOperations, AChangeReportedWhileACopyAsksAboutASameNameWaitsUntilTheJobEnds)
{
    FrameProgram p(WatchWithShortDelays);
    // A file of the same name as one shown comes from elsewhere, asking what to do.
    FrameworkScratchFolder elsewhere;
    elsewhere.WriteFile(L"a.jpg", "other bytes");
    VyxFile incoming((elsewhere / L"a.jpg").GetString());
    auto* job = new VyxFileTransfer;
    job->AddItem(&incoming, 0);
    job->SetDestination(p.m_folder.Path());
    job->SetSameNameMode(VyxFileTransfer::SameAsk);
    EXPECT_FALSE(
        RefreshedUnder(p, WMU_FILEOPERATION, reinterpret_cast<WPARAM>(job), L"同名ファイルが存在しています", IDCANCEL));
    EXPECT_EQ("aaaa", FrameworkScratchFolder::ReadFile(p.m_folder / L"a.jpg"));
    EXPECT_TRUE(ChangeReportedRefreshes(p));
}

TEST(WatchedOperations, AChangeReportedWhileTheRecycleBinQuestionIsOpenWaitsUntilTheDeletionIsDone)
{
    FrameProgram p(WatchWithShortDelays);
    CKWDoc* doc = p.Document();
    doc->TrashCan = true;
    doc->DELQA = false;
    doc->SelectItem(IndexOf(doc, L"a.jpg"), TRUE, nullptr);
    EXPECT_FALSE(RefreshedUnder(p, WM_COMMAND, ID_FILE_DELETE_SELECTED, L"ファイルの削除の確認", IDNO));
    EXPECT_TRUE(PathExists(p.m_folder / L"a.jpg", 0));
    EXPECT_TRUE(ChangeReportedRefreshes(p));
}
