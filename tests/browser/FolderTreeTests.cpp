#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "browser/CFolderTreeView.h"

#include <algorithm>
#include <vector>

namespace {

struct TreeFixture
{
    CTestHostWnd host;
    CFolderTreeView* tree = new CFolderTreeView; // deletes itself with its window
    TreeFixture()
    {
        CoInitialize(nullptr);
        EXPECT_TRUE(tree->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 250), &host, 1, nullptr));
    }
    ~TreeFixture()
    {
        host.DestroyWindow();
        CoUninitialize();
    }
    CTreeCtrl& Ctrl() { return tree->GetTreeCtrl(); }
    std::vector<CString> Labels(HTREEITEM parent)
    {
        std::vector<CString> labels;
        HTREEITEM child = parent ? Ctrl().GetChildItem(parent) : Ctrl().GetRootItem();
        for (; child; child = Ctrl().GetNextSiblingItem(child))
            labels.push_back(Ctrl().GetItemText(child));
        return labels;
    }
    std::vector<CString> Paths(HTREEITEM parent)
    {
        std::vector<CString> paths;
        HTREEITEM child = parent ? Ctrl().GetChildItem(parent) : Ctrl().GetRootItem();
        for (; child; child = Ctrl().GetNextSiblingItem(child))
            paths.push_back(tree->GetItemPath(child));
        return paths;
    }
    // Lists the children of a folder of the disk at the top level, as the shell gives them.
    void ListFolder(const CString& path)
    {
        LPSHELLFOLDER desktop = nullptr;
        SHGetDesktopFolder(&desktop);
        CString name = path;
        LPITEMIDLIST list = nullptr;
        desktop->ParseDisplayName(nullptr, nullptr, name.GetBuffer(), nullptr, &list, nullptr);
        name.ReleaseBuffer();
        LPSHELLFOLDER folder = nullptr;
        desktop->BindToObject(list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
        ASSERT_NE(nullptr, folder);
        Ctrl().DeleteAllItems();
        tree->FillFromShellFolder(folder, list, TVI_ROOT);
        folder->Release();
        CoTaskMemFree(list);
        desktop->Release();
    }
};

bool Contains(const std::vector<CString>& list, const CString& text)
{
    for (const CString& entry : list)
        if (entry.CompareNoCase(text) == 0)
            return true;
    return false;
}

} // namespace

TEST(FolderTree, TheComputersDrivesShowWithoutTheControlPanel)
{
    TreeFixture f;
    f.tree->ShowSpecialFolder(CSIDL_DRIVES);
    std::vector<CString> paths = f.Paths(nullptr);
    EXPECT_TRUE(Contains(paths, L"C:\\"));
    EXPECT_TRUE(Contains(paths, L"Z:\\"));
    for (HTREEITEM item = f.Ctrl().GetRootItem(); item; item = f.Ctrl().GetNextSiblingItem(item)) {
        CString parsing = f.tree->GetItemDisplayName(item, SHGDN_FORPARSING);
        EXPECT_EQ(-1, parsing.Find(L"21EC2020-3AEA-1069-A2DD-08002B30309D")) << static_cast<LPCWSTR>(parsing);
        // Drive roots are folders with an expand button from the start.
        if (f.tree->GetItemPath(item).CompareNoCase(L"C:\\") == 0) {
            EXPECT_EQ(1, f.tree->ShellHasSubFolders(item));
        }
    }
}

TEST(FolderTree, TheDesktopRootIsOneItemWhoseChildrenReadWhenItOpens)
{
    TreeFixture f;
    f.tree->ShowDesktopRoot();
    HTREEITEM root = f.Ctrl().GetRootItem();
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(nullptr, f.Ctrl().GetNextSiblingItem(root));
    EXPECT_EQ(nullptr, f.Ctrl().GetChildItem(root));
    f.Ctrl().Expand(root, TVE_EXPAND);
    HTREEITEM child = f.Ctrl().GetChildItem(root);
    ASSERT_NE(nullptr, child);
    // A virtual folder (such as the computer) has no path; its record has shell data.
    bool virtualSeen = false;
    for (; child; child = f.Ctrl().GetNextSiblingItem(child))
        virtualSeen |= f.tree->GetItemPath(child).IsEmpty() && f.tree->ShellHasSubFolders(child) >= 0;
    EXPECT_TRUE(virtualSeen);
}

TEST(FolderTree, HiddenFoldersShowOnlyWithTheHiddenEnumerationAndFilesNever)
{
    FrameworkScratchFolder folder;
    CreateDirectoryW(folder / L"shown", nullptr);
    CreateDirectoryW(folder / L"secret", nullptr);
    SetFileAttributesW(folder / L"secret", FILE_ATTRIBUTE_HIDDEN);
    folder.WriteFile(L"picture.jpg", "x");
    folder.WriteFile(L"archive.zip", "PK");

    TreeFixture f;
    f.tree->m_dwEnumFlags = CFolderTreeView::EnumFolders;
    f.ListFolder(folder.Path());
    EXPECT_EQ(std::vector<CString>{folder / L"shown"}, f.Paths(nullptr));
    f.tree->m_dwEnumFlags = CFolderTreeView::EnumFoldersAndHidden;
    f.ListFolder(folder.Path());
    std::vector<CString> paths = f.Paths(nullptr);
    EXPECT_EQ(2u, paths.size());
    EXPECT_TRUE(Contains(paths, folder / L"secret"));
}

TEST(FolderTree, DateOrderFollowsTheFoldersTimesInEitherDirection)
{
    FrameworkScratchFolder folder;
    const wchar_t* names[] = {L"b-old", L"a-new", L"c-middle"};
    int days[] = {30, 1, 10};
    for (int i = 0; i < 3; ++i) {
        CreateDirectoryW(folder / names[i], nullptr);
        SetWriteTime(folder / names[i], days[i]);
    }
    TreeFixture f;
    f.ListFolder(folder.Path());
    f.tree->m_nSortKind = CFolderTreeView::SortByDate;
    f.tree->SortChildren(TVI_ROOT, FALSE);
    EXPECT_EQ((std::vector<CString>{L"b-old", L"c-middle", L"a-new"}), f.Labels(nullptr));
    f.tree->m_nSortDirection = 1;
    f.tree->SortChildren(TVI_ROOT, FALSE);
    EXPECT_EQ((std::vector<CString>{L"a-new", L"c-middle", L"b-old"}), f.Labels(nullptr));
    f.tree->m_nSortKind = CFolderTreeView::SortByName;
    f.tree->m_nSortDirection = 0;
    f.tree->SortChildren(TVI_ROOT, FALSE);
    EXPECT_EQ((std::vector<CString>{L"a-new", L"b-old", L"c-middle"}), f.Labels(nullptr));
}

TEST(FolderTree, AnOpenedFoldersChildrenSortByDateWithTheirOwnPaths)
{
    FrameworkScratchFolder folder;
    const wchar_t* names[] = {L"b-old", L"a-new", L"日本の写真", L"c-middle"};
    int days[] = {30, 1, 20, 10};
    for (int i = 0; i < 4; ++i) {
        CreateDirectoryW(folder / names[i], nullptr);
        SetWriteTime(folder / names[i], days[i]);
    }
    TreeFixture f;
    const CString path = folder.Path();
    f.ListFolder(path.Left(path.ReverseFind(L'\\')));
    HTREEITEM item = f.Ctrl().GetRootItem();
    while (item && f.tree->GetItemPath(item).CompareNoCase(path) != 0)
        item = f.Ctrl().GetNextSiblingItem(item);
    ASSERT_NE(nullptr, item);
    ASSERT_TRUE(f.tree->PopulateShellItem(item));
    f.tree->m_nSortKind = CFolderTreeView::SortByDate;
    for (int direction : {0, 1}) {
        f.tree->m_nSortDirection = direction;
        f.tree->SortChildren(item, FALSE);
        std::vector<CString> expected = {L"b-old", L"日本の写真", L"c-middle", L"a-new"};
        if (direction)
            std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(expected, f.Labels(item)) << direction;
    }
    for (const CString& label : f.Labels(item))
        EXPECT_TRUE(Contains(f.Paths(item), folder / label)) << static_cast<LPCWSTR>(label);
}

TEST(FolderTree, DriveRootsKeepNameOrderWhenFoldersSortByDate)
{
    TreeFixture f;
    f.tree->ShowSpecialFolder(CSIDL_DRIVES);
    f.tree->m_nSortKind = CFolderTreeView::SortByDate;
    f.tree->m_nSortDirection = 1;
    f.tree->SortChildren(TVI_ROOT, FALSE);
    std::vector<CString> drives;
    for (const CString& path : f.Paths(nullptr))
        if (path.GetLength() == 3)
            drives.push_back(path);
    ASSERT_GE(drives.size(), 2u);
    for (size_t i = 1; i < drives.size(); ++i)
        EXPECT_LT(drives[i - 1].CompareNoCase(drives[i]), 0);
}

TEST(FolderTree, ItemsWithoutShellDataTakeTheirPathFromTheParent)
{
    FrameworkScratchFolder folder;
    CreateDirectoryW(folder / L"sub", nullptr);
    TreeFixture f;
    f.ListFolder(folder.Path());
    HTREEITEM sub = f.Ctrl().GetRootItem();
    ASSERT_NE(nullptr, sub);
    auto* record = new FolderTreeItem;
    record->kind = FolderTreeFolder;
    HTREEITEM plain = f.Ctrl().InsertItem(TVIF_TEXT | TVIF_PARAM, L"plain", 0, 0, 0, 0,
                                          reinterpret_cast<LPARAM>(record), sub, TVI_LAST);
    record->item = plain;
    EXPECT_EQ(folder / L"sub\\plain", f.tree->GetItemPath(plain));
    EXPECT_EQ(0xABCDu, f.tree->GetItemAttributes(plain, 0xABCD));
    EXPECT_EQ(-1, f.tree->ShellHasSubFolders(plain));
}

TEST(FolderTree, ARenamedFolderKeepsItsItemWithTheNewPath)
{
    FrameworkScratchFolder folder;
    CreateDirectoryW(folder / L"parent", nullptr);
    CreateDirectoryW(folder / L"parent\\before", nullptr);
    TreeFixture f;
    f.ListFolder(folder.Path());
    HTREEITEM parent = f.Ctrl().GetRootItem();
    ASSERT_TRUE(f.tree->PopulateShellItem(parent));
    HTREEITEM child = f.Ctrl().GetChildItem(parent);
    ASSERT_NE(nullptr, child);
    ASSERT_TRUE(MoveFileW(folder / L"parent\\before", folder / L"parent\\after"));
    ASSERT_TRUE(f.tree->UpdateRenamedItem(child, L"after"));
    EXPECT_EQ(folder / L"parent\\after", f.tree->GetItemPath(child));
}
