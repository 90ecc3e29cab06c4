#include <gtest/gtest.h>

#include "../image/TestArchiveFile.h"
#include "ViewTestUtil.h"
#include "common/FrameTestUtil.h"
#include "common/RealInput.h"
#include "catalogue/FrameMessages.h"
#include "foundation/VyxPath.h"
#include "catalogue/VyxFile.h"
#include "image/plugins/Spi.h"

#include <vector>

namespace {

std::vector<CString> ChildLabels(CFolderView* pane, HTREEITEM item)
{
    std::vector<CString> labels;
    CTreeCtrl& tree = pane->GetTreeCtrl();
    for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
        labels.push_back(tree.GetItemText(child));
    return labels;
}

HTREEITEM ItemOf(CFolderView* pane, const CString& path)
{
    BOOL exact = FALSE;
    HTREEITEM item = pane->FindItemByPath(path, nullptr, &exact);
    return exact ? item : nullptr;
}

HTREEITEM ChildNamed(CFolderView* pane, HTREEITEM parent, LPCWSTR name)
{
    CTreeCtrl& tree = pane->GetTreeCtrl();
    for (HTREEITEM child = tree.GetChildItem(parent); child; child = tree.GetNextSiblingItem(child))
        if (tree.GetItemText(child) == name)
            return child;
    return nullptr;
}

int ChildCount(CFolderView* pane, HTREEITEM item)
{
    TVITEMW data = {};
    data.mask = TVIF_CHILDREN;
    data.hItem = item;
    pane->GetTreeCtrl().GetItem(&data);
    return data.cChildren;
}

} // namespace

TEST(FolderPane, ArchiveFilesFollowTheFoldersInTheirOwnOrder)
{
    HostedPlugins plugin({{L"test_archive", L"arc"}});
    struct Row
    {
        int sort;
        int direction;
        std::vector<CString> expected;
    };
    const Row rows[] = {{0, 0, {L"sub", L"zeta", L"old.tarc", L"young.tarc"}},
                        {1, 0, {L"sub", L"zeta", L"old.tarc", L"young.tarc"}},
                        {1, 1, {L"sub", L"zeta", L"young.tarc", L"old.tarc"}}};
    for (const Row& row : rows) {
        FrameProgram p(
            [&] {
                WriteAppIniInt(L"FolderView", L"ArcFileSort", row.sort);
                WriteAppIniInt(L"FolderView", L"ArcFileSortDirection", row.direction);
                // Folders by date: the archives keep their own order after them.
                WriteAppIniInt(L"FolderView", L"Sort", 1);
            },
            false);
        p.m_folder.WriteFile(L"young.tarc", "x");
        p.m_folder.WriteFile(L"old.tarc", "x");
        SetWriteTime(p.m_folder / L"old.tarc", 20);
        CreateDirectoryW(p.m_folder / L"zeta", nullptr);
        SetWriteTime(p.m_folder / L"zeta", 1);
        SetWriteTime(p.m_folder / L"sub", 5);
        ASSERT_TRUE(p.Start(p.m_folder.Path()));
        HTREEITEM folder = ItemOf(p.Pane(), p.m_folder.Path());
        ASSERT_NE(nullptr, folder);
        p.Pane()->GetTreeCtrl().Expand(folder, TVE_EXPAND);
        EXPECT_EQ(row.expected, ChildLabels(p.Pane(), folder)) << row.sort << row.direction;
        EXPECT_EQ(p.m_folder / L"old.tarc", p.Pane()->GetItemPath(ChildNamed(p.Pane(), folder, L"old.tarc")));
    }
}

TEST(FolderPane, ArchivesInsideAnArchiveAreShownOnlyWhenTheirNamesStayInTheFolder)
{
    HostedPlugins plugin({{L"test_archive", L"arc"}});
    FrameProgram p([] { WriteAppIniInt(L"FolderView", L"ArchiveInArchive", 1); }, false);
    const DWORD time = 1600000000;
    // A copy of a member archive is read from a work folder and deleted with everything under it
    // when the document goes: a name that climbs out of that folder must never become one.
    p.m_folder.WriteFile(L"outer.tarc", plugintest::MakeTestArchive(0, {{"", "inner.tarc", "x", 0, time},
                                                                        {"", "..\\..\\victim.tarc", "x", 0, time},
                                                                        {"..", "up.tarc", "x", 0, time},
                                                                        {"", "C:\\drive.tarc", "x", 0, time}}));
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CFolderView* pane = p.Pane();
    HTREEITEM folder = ItemOf(pane, p.m_folder.Path());
    ASSERT_NE(nullptr, folder);
    pane->GetTreeCtrl().Expand(folder, TVE_EXPAND);
    HTREEITEM outer = ChildNamed(pane, folder, L"outer.tarc");
    ASSERT_NE(nullptr, outer);
    pane->GetTreeCtrl().SelectItem(outer);
    EXPECT_EQ(4, p.Document()->GetItemCount());
    EXPECT_EQ(std::vector<CString>{L"inner.tarc"}, ChildLabels(pane, outer));

    // The one that stays is unpacked into its work folder and opened from there.
    pane->GetTreeCtrl().SelectItem(ChildNamed(pane, outer, L"inner.tarc"));
    const CVirtualFolder& location = p.Document()->GetLocation();
    EXPECT_TRUE(p.Document()->IsArchiveLocation());
    EXPECT_EQ(p.m_folder / L"outer.tarc/inner.tarc", location.GetPath());
    EXPECT_EQ("x", FrameworkScratchFolder::ReadFile(location.GetRealPath()));
}

TEST(FolderPane, VisitingAFolderAgainKeepsOneEntryOfIt)
{
    FrameProgram p([] {}, false);
    CreateDirectoryW(p.m_folder / L"second", nullptr);
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CFolderView* pane = p.Pane();
    CString first = p.m_folder / L"sub";
    CString second = p.m_folder / L"second";
    ASSERT_TRUE(pane->GoToPath(first, FALSE));
    ASSERT_TRUE(pane->GoToPath(second, FALSE));
    ASSERT_TRUE(pane->GoToPath(first, FALSE));
    const VyxStringArray& visited = pane->GetVisitedFolders();
    ASSERT_EQ(3, visited.GetCount());
    EXPECT_EQ(0, p.m_folder.Path().CompareNoCase(visited[0].GetText()));
    EXPECT_EQ(second, CString(visited[1].GetText()));
    EXPECT_EQ(first, CString(visited[2].GetText()));
    EXPECT_EQ(2, pane->GetHistoryPosition());

    pane->GoToHistory(0);
    EXPECT_EQ(0, pane->GetHistoryPosition());
    EXPECT_EQ(3, pane->GetVisitedFolders().GetCount());
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder.Path()));
    // A new visit from an earlier position drops the entries after it.
    ASSERT_TRUE(pane->GoToPath(second, FALSE));
    ASSERT_EQ(2, pane->GetVisitedFolders().GetCount());
    EXPECT_EQ(second, CString(pane->GetVisitedFolders()[1].GetText()));
}

TEST(FolderPane, ANetworkPathSwitchesTheRootToTheDesktopAndStoresIt)
{
    FrameProgram p;
    ASSERT_GE(p.Pane()->GetRootMode(), 0);
    ASSERT_LE(p.Pane()->GetRootMode(), 25);
    // No network under Wine: the path is not found, but the root has switched.
    p.Pane()->GoToPath(L"\\\\server\\share\\photos", FALSE);
    EXPECT_EQ(static_cast<int>(CFolderView::RootDesktop), p.Pane()->GetRootMode());
    EXPECT_EQ(static_cast<int>(CFolderView::RootDesktop), p.Document()->TreeRoot);
    // A drive path is then found under the desktop; the root stays.
    EXPECT_TRUE(p.Pane()->GoToPath(p.m_folder.Path(), FALSE));
    EXPECT_EQ(static_cast<int>(CFolderView::RootDesktop), p.Pane()->GetRootMode());
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder.Path()));
}

TEST(FolderPane, APathOnADriveThatIsNotThereOpensTheRootOfTheProgramsDrive)
{
    FrameProgram p;
    wchar_t missing = 0;
    DWORD drives = GetLogicalDrives();
    for (int i = 25; i >= 3 && !missing; --i)
        if (!(drives & (1u << i)))
            missing = static_cast<wchar_t>(L'A' + i);
    ASSERT_NE(0, missing);
    CString path;
    path.Format(L"%c:\\photos\\2024", missing);
    EXPECT_TRUE(p.Pane()->GoToPath(path, FALSE));
    CString programFolder, root;
    GetModuleFolder(programFolder);
    MakeDriveRoot(root, GetDriveIndex(programFolder));
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(root));
}

TEST(FolderPane, AFolderChangeReadsTheBranchAgainAndKeepsOpenedFoldersOpen)
{
    FrameProgram p([] {}, false);
    CreateDirectoryW(p.m_folder / L"sub\\inner", nullptr);
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CFolderView* pane = p.Pane();
    HTREEITEM folder = ItemOf(pane, p.m_folder.Path());
    pane->GetTreeCtrl().Expand(folder, TVE_EXPAND);
    // The idle walk gives "sub" its expand button, without which it does not open.
    p.RunIdle(20000);
    HTREEITEM sub = ChildNamed(pane, folder, L"sub");
    ASSERT_NE(nullptr, sub);
    pane->GetTreeCtrl().Expand(sub, TVE_EXPAND);
    ASSERT_EQ(std::vector<CString>{L"inner"}, ChildLabels(pane, sub));

    CreateDirectoryW(p.m_folder / L"added", nullptr);
    CString path = p.m_folder.Path();
    p.Frame()->SendMessage(WMU_UPDATEALLVIEWS, HintFolderChanged, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(path)));
    folder = ItemOf(pane, p.m_folder.Path());
    EXPECT_EQ((std::vector<CString>{L"added", L"sub"}), ChildLabels(pane, folder));
    sub = ChildNamed(pane, folder, L"sub");
    ASSERT_NE(nullptr, sub);
    EXPECT_TRUE(pane->GetTreeCtrl().GetItemState(sub, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(std::vector<CString>{L"inner"}, ChildLabels(pane, sub));
    // The document's location stays selected, without being opened again.
    EXPECT_EQ(folder, pane->GetTreeCtrl().GetSelectedItem());
}

TEST(FolderPane, TheIdleWalkGivesFoldersTheirExpandButtons)
{
    FrameProgram p([] {}, false);
    CreateDirectoryW(p.m_folder / L"sub\\inner", nullptr);
    CreateDirectoryW(p.m_folder / L"empty", nullptr);
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CFolderView* pane = p.Pane();
    HTREEITEM folder = ItemOf(pane, p.m_folder.Path());
    pane->GetTreeCtrl().Expand(folder, TVE_EXPAND);
    HTREEITEM sub = ChildNamed(pane, folder, L"sub");
    HTREEITEM empty = ChildNamed(pane, folder, L"empty");
    ASSERT_TRUE(sub && empty);
    EXPECT_EQ(0, ChildCount(pane, sub));
    ASSERT_GT(p.RunIdle(20000), 0);
    EXPECT_EQ(1, ChildCount(pane, sub));
    EXPECT_EQ(0, ChildCount(pane, empty));
    EXPECT_EQ(0u, p.Frame()->GetWorkFlags() & WorkFolderWalk);
}

TEST(FolderPane, TheWalksAnswersForItemsGoneMeanwhileAreDropped)
{
    HostedPlugins plugin({{L"test_archive", L"arc"}});
    FrameProgram p([] {}, false);
    CreateDirectoryW(p.m_folder / L"arc", nullptr);
    p.m_folder.WriteFile(L"arc\\inner.tarc", "x");
    CreateDirectoryW(p.m_folder / L"sub\\inner", nullptr);
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CFolderView* pane = p.Pane();
    CTreeCtrl& tree = pane->GetTreeCtrl();
    HTREEITEM folder = ItemOf(pane, p.m_folder.Path());
    tree.Expand(folder, TVE_EXPAND);
    // Questions asked about the children, then the children deleted before any answer is taken.
    for (int step = 0; step < 6; ++step)
        pane->IdleWalkStep();
    // What the answers about "sub" said no longer holds for the items read next.
    RemoveDirectoryW(p.m_folder / L"sub\\inner");
    tree.Expand(folder, TVE_COLLAPSE | TVE_COLLAPSERESET);
    ASSERT_EQ(nullptr, tree.GetChildItem(folder));

    // Read again (the control may hand the new items the old ones' handles), the children get their
    // buttons from the walk: an archive counts with its own value.
    tree.Expand(folder, TVE_EXPAND);
    HTREEITEM arc = ChildNamed(pane, folder, L"arc");
    HTREEITEM sub = ChildNamed(pane, folder, L"sub");
    ASSERT_TRUE(arc && sub);
    ASSERT_GT(p.RunIdle(20000), 0);
    EXPECT_EQ(0u, p.Frame()->GetWorkFlags() & WorkFolderWalk);
    EXPECT_EQ(2, ChildCount(pane, arc));
    EXPECT_EQ(0, ChildCount(pane, sub));
}

TEST(FolderPane, ChoosingADriveGoesToItsLastPath)
{
    FrameProgram p;
    int drive = GetDriveIndex(p.m_folder.Path());
    CString sub = p.m_folder / L"sub";
    ASSERT_TRUE(p.Pane()->GoToPath(sub, FALSE));
    EXPECT_EQ(0, p.Pane()->GetDrivePath(drive).CompareNoCase(sub));
    // Another drive has no path of its own yet: its root.
    int other = drive == 25 ? 2 : 25;
    CString otherRoot;
    MakeDriveRoot(otherRoot, other);
    p.Frame()->SendMessage(WMU_UPDATEALLVIEWS, HintDriveChosen, other);
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(otherRoot));
    p.Frame()->SendMessage(WMU_UPDATEALLVIEWS, HintDriveChosen, drive);
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(sub));
}

TEST(FolderPane, NamesSortByTheirOwnOrderOrByTime)
{
    FrameworkScratchFolder folder;
    const wchar_t* names[] = {L"b.tarc", L"a.tarc", L"c.tarc"};
    int days[] = {1, 10, 5};
    for (int i = 0; i < 3; ++i) {
        folder.WriteFile(names[i], "x");
        SetWriteTime(folder / names[i], days[i]);
    }
    struct Row
    {
        int kind;
        std::vector<CString> expected;
    };
    const Row rows[] = {{0, {L"a.tarc", L"b.tarc", L"c.tarc"}},
                        {1, {L"gone.tarc", L"a.tarc", L"c.tarc", L"b.tarc"}},
                        {5, {L"b.tarc", L"a.tarc", L"c.tarc", L"gone.tarc"}}};
    for (const Row& row : rows) {
        VyxStringArray list;
        for (const wchar_t* name : names)
            list.Add(VyxString(name));
        if (row.kind != 0)
            list.Add(VyxString(L"gone.tarc")); // its time cannot be read: it counts as the oldest
        CFolderView::SortNamesByTime(folder.Path(), list, row.kind, 2);
        std::vector<CString> sorted;
        for (int i = 0; i < list.GetCount(); ++i)
            sorted.emplace_back(list[i].GetText());
        EXPECT_EQ(row.expected, sorted) << row.kind;
    }
}

TEST(FolderPane, AFolderMadeAfterTheTreeWasReadIsEnteredFromItsCell)
{
    // Cells small enough for all of them to show.
    FrameProgram p([] { WriteAppIniString(L"KWDoc", L"ThumbsSize", L"100,100"); });
    CFolderView* pane = p.Pane();
    CKWDoc* doc = p.Document();
    CKWView* view = ThumbView(p);
    // The user has opened the folder in the tree.
    HTREEITEM folder = ItemOf(pane, p.m_folder.Path());
    pane->GetTreeCtrl().Expand(folder, TVE_EXPAND);
    ASSERT_NE(nullptr, ChildNamed(pane, folder, L"sub"));
    const CString made = p.m_folder / L"選抜_2024.05";
    ASSERT_TRUE(CreateDirectoryW(made, nullptr));
    PaintAndIdle(p);
    auto indexOf = [&](const CString& path) {
        for (int i = 0; i < doc->GetItemCount(); ++i)
            if (doc->GetItem(i)->GetPath().CompareNoCase(path) == 0)
                return i;
        return -1;
    };
    auto clickName = [&](int index) {
        CPoint point = view->GetLayout().GetCellOrigin(index) - view->GetScrollOffset() +
                       doc->GetItem(index)->GetNameRect().CenterPoint();
        view->ClientToScreen(&point);
        ASSERT_TRUE(ShowsAt(view->GetSafeHwnd(), point));
        SendClick(point, MOUSEEVENTF_LEFTDOWN);
        EXPECT_TRUE(RunLoopUntil([&] { return doc->GetCursorIndex() == index && GetFocus() == view->GetSafeHwnd(); }));
    };
    // The grid lists it after F5; the tree still holds what it read at the start.
    clickName(indexOf(p.m_folder / L"a.jpg"));
    ASSERT_TRUE(Press(VK_F5, 0, [&] { return indexOf(made) >= 0; }));
    PaintAndIdle(p);
    clickName(indexOf(made));
    EXPECT_TRUE(Press(VK_RETURN, 0, [&] { return doc->GetLocationPath().CompareNoCase(made) == 0; }));
    HTREEITEM item = ItemOf(pane, made);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(item, pane->GetTreeCtrl().GetSelectedItem());
    EXPECT_EQ((std::vector<CString>{L"sub", L"選抜_2024.05"}), ChildLabels(pane, ItemOf(pane, p.m_folder.Path())));

    // A path that is nowhere is said so in the status bar, not passed over in silence.
    CString gone = made + L"\\無い";
    p.Frame()->SendMessage(WMU_UPDATEALLVIEWS, HintGoToPath, reinterpret_cast<LPARAM>(gone.GetString()));
    RunLoopUntil([] { return true; });
    EXPECT_EQ(L"見つかりません: " + gone, p.Frame()->GetStatusBar().GetPaneText(CMyStatusBar::PaneProgress));
}

TEST(FolderPane, AChangeInAFolderTheTreeDoesNotShowReadsItsDeepestShownAncestor)
{
    FrameProgram p;
    CFolderView* pane = p.Pane();
    HTREEITEM folder = ItemOf(pane, p.m_folder.Path());
    pane->GetTreeCtrl().Expand(folder, TVE_EXPAND);
    ASSERT_EQ(std::vector<CString>{L"sub"}, ChildLabels(pane, folder));
    // A copy into a new folder made it on the way.
    ASSERT_TRUE(CreateDirectoryW(p.m_folder / L"選抜", nullptr));
    CString target = p.m_folder / L"選抜";
    p.Frame()->SendMessage(WMU_UPDATEALLVIEWS, HintFolderChanged, reinterpret_cast<LPARAM>(target.GetString()));
    EXPECT_EQ((std::vector<CString>{L"sub", L"選抜"}), ChildLabels(pane, ItemOf(pane, p.m_folder.Path())));
    EXPECT_EQ(0, p.Document()->GetLocationPath().CompareNoCase(p.m_folder.Path()));
}
