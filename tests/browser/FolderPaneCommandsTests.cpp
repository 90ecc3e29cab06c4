// The folder pane's commands: deleting folder trees (never through a link), renaming folders in
// place or through the prompt with the document following, quick access, the context menu, the
// sorts and the keys.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "browser/FolderCommands.h"
#include "catalogue/FolderList.h"
#include "common/CommandState.h"
#include "common/LinkFixture.h"
#include "controls/ProgressDlg.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"

#include <vector>

namespace {

const DWORD kWait = 30000;

HTREEITEM ItemOf(CFolderView* pane, const CString& path)
{
    BOOL exact = FALSE;
    HTREEITEM item = pane->FindItemByPath(path, nullptr, &exact);
    return exact ? item : nullptr;
}

bool IsFolder(const CString& path)
{
    return PathExists(path, FILE_ATTRIBUTE_DIRECTORY);
}

// A program whose recycle bin is off: folders go for good, after the question.
struct NoTrashCan : FrameProgram
{
    NoTrashCan() : FrameProgram([] { WriteAppIniInt(L"KWDoc", L"TrashCan", 0); }, false) {}
};

} // namespace

TEST(FolderPaneCommands, DeletingAFolderTreeNeverFollowsALinkOutOfIt)
{
    NoTrashCan p;
    const std::wstring fixture = FixtureLinkTree(L"browser");
    ASSERT_FALSE(fixture.empty()) << "no host link: run through ctest, whose fixture makes it";
    const CString tree = fixture.c_str();
    ASSERT_TRUE(EnsureFolderExists(tree + L"\\plain", true));
    ASSERT_TRUE(FrameworkScratchFolder::ReadFile(CString(FixtureKeptFile().c_str())) == "kept");
    ASSERT_TRUE(p.Start(tree));
    HTREEITEM item = ItemOf(p.Pane(), tree);
    ASSERT_NE(nullptr, item);

    CString question, failure;
    BOOL gone = FALSE;
    {
        HelperThread answers([&] {
            AnswerMessageBox(&question, IDYES);
            // Where the link cannot be removed alone, the deletion stops and says why.
            if (IsLinkedFolderThere(fixture + L"\\link"))
                AnswerMessageBox(&failure, IDOK);
        });
        gone = p.Pane()->DeleteFolderItem(item);
    }
    EXPECT_NE(-1, Joined(question).Find(tree));
    EXPECT_EQ(FrameworkScratchFolder::ReadFile(CString(FixtureKeptFile().c_str())), "kept");
    if (gone) {
        EXPECT_FALSE(IsFolder(tree));
        EXPECT_EQ(nullptr, ItemOf(p.Pane(), tree));
    } else {
        EXPECT_FALSE(failure.IsEmpty());
        EXPECT_TRUE(IsLinkedFolderThere(fixture + L"\\link"));
        EXPECT_NE(nullptr, ItemOf(p.Pane(), tree));
    }
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());
}

TEST(FolderPaneCommands, RemovingAFolderTreeCountsEveryEntryAndStopsAtTheFirstFailure)
{
    FrameworkScratchFolder scratch;
    CString tree = scratch / L"tree";
    ASSERT_TRUE(EnsureFolderExists(tree + L"\\a\\b", true));
    scratch.WriteFile(L"tree\\a\\b\\1.txt", "1");
    scratch.WriteFile(L"tree\\2.txt", "2");
    VCopyFileDlg progress;
    ASSERT_TRUE(progress.Create(nullptr));
    progress.SetRange(0, 100);
    EXPECT_TRUE(FolderCommands::RemoveFolderTree(tree, &progress));
    EXPECT_FALSE(IsFolder(tree));
    // Four entries, and one step for each folder's own end.
    EXPECT_EQ(7, progress.SetPos(0));

    // A file that cannot go (held open without sharing) stops the deletion: its folder stays.
    ASSERT_TRUE(EnsureFolderExists(tree, true));
    CString held = scratch.WriteFile(L"tree\\held.txt", "h");
    HANDLE file = CreateFileW(held, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_FALSE(FolderCommands::RemoveFolderTree(tree, nullptr));
    CloseHandle(file);
    EXPECT_TRUE(IsFolder(tree));
    progress.DestroyWindow();
}

TEST(FolderPaneCommands, DeletingTheSelectedFolderSelectsTheNextSiblingThenThePreviousThenTheParent)
{
    NoTrashCan p;
    for (const wchar_t* name : {L"a", L"b", L"c"})
        CreateDirectoryW(p.m_folder / name, nullptr);
    ASSERT_TRUE(p.Start(p.m_folder / L"b"));
    struct Step
    {
        const wchar_t* deleted;
        CString expected;
    };
    // "sub" is the first child of the scratch folder, so "c" has "b" before it, then "a"...
    const Step steps[] = {{L"b", p.m_folder / L"c"}, {L"c", p.m_folder / L"sub"}, {L"sub", p.m_folder / L"a"}};
    for (const Step& step : steps) {
        CString path = p.m_folder / step.deleted;
        ASSERT_TRUE(p.Pane()->GoToPath(path, FALSE));
        {
            HelperThread answer([&] { AnswerMessageBox(nullptr, IDYES); });
            EXPECT_TRUE(p.Pane()->DeleteFolderItem(ItemOf(p.Pane(), path)));
        }
        EXPECT_FALSE(IsFolder(path));
        EXPECT_EQ(step.expected, p.Document()->GetLocationPath()) << step.deleted;
    }
    ASSERT_TRUE(p.Pane()->GoToPath(p.m_folder / L"a", FALSE));
    {
        HelperThread answer([&] { AnswerMessageBox(nullptr, IDYES); });
        EXPECT_TRUE(p.Pane()->DeleteFolderItem(ItemOf(p.Pane(), p.m_folder / L"a")));
    }
    EXPECT_EQ(p.m_folder.Path(), p.Document()->GetLocationPath());
}

TEST(FolderPaneCommands, DeletingAFolderThatHoldsTheLocationMovesTheDocumentToOneThatIsThere)
{
    NoTrashCan p;
    CString inner = p.m_folder / L"outer\\inner";
    ASSERT_TRUE(EnsureFolderExists(inner, true));
    CreateDirectoryW(p.m_folder / L"zz", nullptr);
    ASSERT_TRUE(p.Start(inner));
    {
        HelperThread answer([&] { AnswerMessageBox(nullptr, IDYES); });
        EXPECT_TRUE(p.Pane()->DeleteFolderItem(ItemOf(p.Pane(), p.m_folder / L"outer")));
    }
    EXPECT_FALSE(IsFolder(p.m_folder / L"outer"));
    EXPECT_TRUE(IsFolder(p.Document()->GetLocationPath()));
    EXPECT_EQ(p.m_folder / L"sub", p.Document()->GetLocationPath());
}

TEST(FolderPaneCommands, CancellingTheDeletionQuestionLeavesTheFolderAndTheTree)
{
    NoTrashCan p;
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CString sub = p.m_folder / L"sub";
    HTREEITEM item = ItemOf(p.Pane(), sub);
    ASSERT_NE(nullptr, item);
    {
        HelperThread answer([&] { AnswerMessageBox(nullptr, IDNO); });
        EXPECT_FALSE(p.Pane()->DeleteFolderItem(item));
    }
    EXPECT_TRUE(IsFolder(sub));
    EXPECT_EQ(item, ItemOf(p.Pane(), sub));
    EXPECT_EQ(p.m_folder.Path(), p.Document()->GetLocationPath());
}

TEST(FolderPaneCommands, WithTheRecycleBinOnAFolderGoesThereWithTheShellsQuestion)
{
    FrameProgram p;
    CString sub = p.m_folder / L"sub";
    p.m_folder.WriteFile(L"sub\\x.txt", "x");
    {
        // The shell asks itself; what it asks is its own.
        HelperThread answer([&] {
            HWND box = WaitForWindow(
                [](HWND window) {
                    wchar_t name[16] = {};
                    GetClassNameW(window, name, 16);
                    return wcscmp(name, L"#32770") == 0 && GetDlgItem(window, IDYES) != nullptr;
                },
                kWait);
            if (box)
                PostMessageW(box, WM_COMMAND, IDYES, 0);
        });
        EXPECT_TRUE(p.Pane()->DeleteFolderItem(ItemOf(p.Pane(), sub)));
    }
    EXPECT_FALSE(IsFolder(sub));
}

TEST(FolderPaneCommands, RenamingAFolderThatHoldsTheLocationReopensTheDocumentAtTheNewPath)
{
    FrameProgram p([] { WriteAppIniInt(L"FolderView", L"EditLabel", 1); }, false);
    CString inner = p.m_folder / L"sub\\inner";
    ASSERT_TRUE(EnsureFolderExists(inner, true));
    p.m_folder.WriteFile(L"sub\\inner\\x.jpg", "x");
    ASSERT_TRUE(p.Start(inner));
    CFolderView* pane = p.Pane();

    // In place: the label's edit box, a new text and Enter.
    HWND edit = reinterpret_cast<HWND>(
        pane->SendMessage(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(ItemOf(pane, p.m_folder / L"sub"))));
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, L"moved");
    ::SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpPending();
    EXPECT_TRUE(IsFolder(p.m_folder / L"moved\\inner"));
    EXPECT_EQ(p.m_folder / L"moved\\inner", p.Document()->GetLocationPath());
    EXPECT_EQ(1, p.Document()->GetItemCount());
    EXPECT_NE(nullptr, ItemOf(pane, p.m_folder / L"moved"));

    // Through the rename: the location itself.
    EXPECT_TRUE(pane->RenameFolderItem(ItemOf(pane, p.m_folder / L"moved\\inner"), L"deep", TRUE));
    EXPECT_EQ(p.m_folder / L"moved\\deep", p.Document()->GetLocationPath());

    // A name that is taken, or that would leave the folder: reported with the old path, nothing moves.
    CreateDirectoryW(p.m_folder / L"moved\\taken", nullptr);
    for (const wchar_t* name : {L"taken", L"..\\away"}) {
        CString text;
        {
            HelperThread answer([&] { AnswerMessageBox(&text, IDOK); });
            EXPECT_FALSE(pane->RenameFolderItem(ItemOf(pane, p.m_folder / L"moved\\deep"), name, TRUE)) << name;
        }
        EXPECT_NE(-1, Joined(text).Find(p.m_folder / L"moved\\deep")) << name;
        EXPECT_TRUE(IsFolder(p.m_folder / L"moved\\deep"));
    }
    EXPECT_FALSE(IsFolder(p.m_folder / L"away"));
    EXPECT_EQ(p.m_folder / L"moved\\deep", p.Document()->GetLocationPath());
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());

    // A change of letter case alone reaches the disk.
    EXPECT_TRUE(pane->RenameFolderItem(ItemOf(pane, p.m_folder / L"moved\\deep"), L"Deep", TRUE));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(p.m_folder / L"moved\\deep", &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    FindClose(find);
    EXPECT_STREQ(L"Deep", found.cFileName);
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder / L"moved\\Deep"));
}

TEST(FolderPaneCommands, ADriveRootIsNeitherRenamedNorDeletedNorEditedInPlace)
{
    FrameProgram p([] { WriteAppIniInt(L"FolderView", L"EditLabel", 1); });
    CFolderView* pane = p.Pane();
    HTREEITEM root = pane->GetTreeCtrl().GetRootItem();
    ASSERT_NE(nullptr, root);
    ASSERT_EQ(3, pane->GetItemPath(root).GetLength());
    EXPECT_FALSE(pane->DeleteFolderItem(root));
    EXPECT_FALSE(pane->RenameFolderItem(root, L"other", TRUE));
    EXPECT_EQ(nullptr, reinterpret_cast<HWND>(pane->SendMessage(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(root))));
}

TEST(FolderPaneCommands, QuickAccessTakesAPathOnceAndAUsedEntryMovesUpOnlyWhenLearning)
{
    for (int learn : {1, 0}) {
        FrameProgram p([&] {
            WriteAppIniInt(L"FolderView", L"LearnQuick", learn);
            WriteAppIniString(L"FolderView", L"QuickAccess0", L"C:\\windows");
        });
        CString sub = p.m_folder / L"sub";
        p.Pane()->SetCommandItem(ItemOf(p.Pane(), sub));
        RunCommand(*p.Pane(), ID_QUICK_ACCESS_ADD);
        RunCommand(*p.Pane(), ID_QUICK_ACCESS_ADD);
        FolderList quick(FolderListQuickAccess);
        quick.Load();
        ASSERT_EQ(2, quick.GetSize());
        EXPECT_EQ(sub, quick[0]);
        RunCommand(*p.Pane(), ID_QUICK_ACCESS_FIRST + 1);
        EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(L"C:\\windows"));
        quick.RemoveAll();
        quick.Load();
        EXPECT_EQ(learn ? CString(L"C:\\windows") : sub, quick[0]) << learn;
        // An index beyond the list goes nowhere.
        RunCommand(*p.Pane(), ID_QUICK_ACCESS_FIRST + 5);
        EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(L"C:\\windows"));
    }
}

TEST(FolderPaneCommands, TheMenuOpensWithTheShortenedPathAndEndsWithTheQuickAccessFolders)
{
    CString deep = L"C:\\" + CString(L'x', 40) + L"\\" + CString(L'y', 40);
    FrameProgram p([&] { WriteAppIniString(L"FolderView", L"QuickAccess0", deep); });
    CMenu menu;
    ASSERT_TRUE(p.Pane()->BuildContextMenu(ItemOf(p.Pane(), p.m_folder / L"sub"), menu));
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, popup);
    CString first, last;
    popup->GetMenuString(0, first, MF_BYPOSITION);
    EXPECT_EQ(static_cast<UINT>(ID_OPEN_ASSOCIATED), popup->GetMenuItemID(0));
    EXPECT_EQ(p.m_folder / L"sub" + L" を開く", first);
    EXPECT_EQ(0u, popup->GetMenuItemID(1));
    const int count = popup->GetMenuItemCount();
    EXPECT_EQ(static_cast<UINT>(ID_QUICK_ACCESS_FIRST), popup->GetMenuItemID(count - 1));
    popup->GetMenuString(count - 1, last, MF_BYPOSITION);
    EXPECT_EQ(deep.Left(28) + L"..." + deep.Right(28), last);
    EXPECT_EQ(static_cast<UINT>(ID_QUICK_ACCESS_ADD), popup->GetMenuItemID(count - 2));
}

TEST(FolderPaneCommands, CommandsOnAnArchiveMemberAreDisabledAndSortsAreMarked)
{
    FrameProgram p;
    EXPECT_TRUE(UpdateCommand(*p.Pane(), ID_FOLDER_CREATE).enabled);
    EXPECT_TRUE(UpdateCommand(*p.Pane(), ID_FOLDER_DELETE).enabled);
    EXPECT_TRUE(UpdateCommand(*p.Pane(), ID_OPEN_ASSOCIATED).enabled);
    RunCommand(*p.Pane(), ID_ARCHIVE_SORT_NEWEST);
    EXPECT_EQ(1, p.Pane()->m_nArcSortKind);
    EXPECT_EQ(1, p.Pane()->m_nArcSortDirection);
    EXPECT_EQ(1, UpdateCommand(*p.Pane(), ID_ARCHIVE_SORT_NEWEST).checked);
    EXPECT_EQ(0, UpdateCommand(*p.Pane(), ID_ARCHIVE_SORT_OLDEST).checked);
    RunCommand(*p.Pane(), ID_FOLDER_SORT_DATE);
    EXPECT_EQ(1, UpdateCommand(*p.Pane(), ID_FOLDER_SORT_DATE).checked);
}

TEST(FolderPaneCommands, DeleteAndTabAreThePanesOwnKeys)
{
    NoTrashCan p;
    CreateDirectoryW(p.m_folder / L"gone", nullptr);
    ASSERT_TRUE(p.Start(p.m_folder / L"gone"));
    MSG key = {};
    key.hwnd = p.Pane()->GetSafeHwnd();
    key.message = WM_KEYDOWN;
    key.wParam = VK_DELETE;
    {
        HelperThread answer([&] { AnswerMessageBox(nullptr, IDYES); });
        EXPECT_TRUE(p.Pane()->PreTranslateMessage(&key));
    }
    EXPECT_FALSE(IsFolder(p.m_folder / L"gone"));
    p.Frame()->SetActiveView(p.Pane());
    key.wParam = VK_TAB;
    EXPECT_FALSE(p.Pane()->PreTranslateMessage(&key));
    EXPECT_NE(static_cast<CView*>(p.Pane()), p.Frame()->GetActiveView());
}
