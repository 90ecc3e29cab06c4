// What start-up hands to threads of its own: the plug-ins mapped ahead of their scan, the shell's
// icon lists built ahead of the panes that show them.
#include <gtest/gtest.h>

#include "common/FrameTestUtil.h"
#include "browser/CLstView.h"
#include "browser/PluginPreload.h"
#include "browser/ShellImageList.h"
#include "foundation/VyxPath.h"

#include <shellapi.h>

namespace {

bool Loaded(const CString& path)
{
    return GetModuleHandleW(path) != nullptr;
}

TEST(PluginPreload, MapsTheFolderPluginsUntilFinishAndLeavesOthersTheirOwnReferences)
{
    FrameworkScratchFolder folder;
    CString source;
    MakeModulePath(source, L"plugins\\test_image.spi");
    const CString first = folder / L"first.spi", second = folder / L"second.spi", other = folder / L"other.dll";
    for (const CString& to : {first, second, other})
        ASSERT_TRUE(CopyFileW(source, to, FALSE));

    PluginPreload preload;
    preload.Start(folder / L"*.SPI");
    preload.Finish();
    EXPECT_FALSE(Loaded(first) || Loaded(second) || Loaded(other));

    // The scan's own reference outlives the preload's.
    preload.Start(folder / L"*.SPI");
    HMODULE own = LoadLibraryW(first);
    ASSERT_NE(nullptr, own);
    preload.Finish();
    EXPECT_TRUE(Loaded(first));
    EXPECT_FALSE(Loaded(second) || Loaded(other));
    FreeLibrary(own);
    EXPECT_FALSE(Loaded(first));

    // A folder without plug-ins, or none at all: nothing to map, nothing to give back.
    preload.Start(folder / L"none\\*.SPI");
    preload.Finish();
    EXPECT_EQ(0, preload.GetLoadedCount());
}

TEST(ShellImageLists, APrefetchGivesTheShellsOwnListsToEveryCaller)
{
    StartShellImageListPrefetch();
    const HIMAGELIST small = GetShellImageList(TRUE), large = GetShellImageList(FALSE);
    EndShellImageListPrefetch();
    SHFILEINFOW info = {};
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(
                  SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON)),
              small);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(
                  SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_LARGEICON)),
              large);
    EXPECT_NE(small, large);
}

TEST(ShellImageLists, TheTreeAndTheFileListShowTheShellIconsOnceFilled)
{
    FrameProgram p;
    ASSERT_NE(nullptr, p.Frame());
    CTreeCtrl& tree = p.Pane()->GetTreeCtrl();
    ASSERT_NE(nullptr, tree.GetRootItem());
    ASSERT_NE(nullptr, tree.GetImageList(TVSIL_NORMAL));
    EXPECT_EQ(GetShellImageList(TRUE), tree.GetImageList(TVSIL_NORMAL)->GetSafeHandle());
    CListCtrl& list = p.Frame()->GetListView()->GetListCtrl();
    ASSERT_GT(list.GetItemCount(), 0);
    ASSERT_NE(nullptr, list.GetImageList(LVSIL_SMALL));
    EXPECT_EQ(GetShellImageList(TRUE), list.GetImageList(LVSIL_SMALL)->GetSafeHandle());
    EXPECT_EQ(GetShellImageList(FALSE), list.GetImageList(LVSIL_NORMAL)->GetSafeHandle());
}

} // namespace
