// Cache maintenance on a scratch cache root: the tree of indexed locations (folders, locations
// inside archives, a network share), the records of a location, and optimise and delete on the
// checked locations, looked at on disk.
#include <gtest/gtest.h>

#include "SettingsTestUtil.h"
#include "browser/CMaintCache.h"
#include "catalogue/VyxCacheThumbs.h"
#include "image/DibCore.h"
#include "res/resource.h"

#include <vector>

using namespace settingstest;

namespace {

// A cache file for a location holding records for the names given (a name with "|" is an archive
// member path after it).
CString WriteCache(const CString& root, const CString& folder, const wchar_t* member,
                   std::initializer_list<const wchar_t*> names)
{
    VyxCacheIndex index(root);
    const CString path = index.GetThumbsFileName(folder, member);
    VyxCacheFolder cache;
    for (const wchar_t* name : names) {
        auto* record = new VyxCacheThumbs;
        CString text(name);
        const int bar = text.Find(L'|');
        record->m_fileName = bar < 0 ? text : text.Left(bar);
        if (bar >= 0)
            record->m_memberPath = text.Mid(bar + 1);
        record->m_fileSize = 1234567;
        record->m_fileTime = 1500000000;
        record->m_width = 640;
        record->m_height = 480;
        record->m_bitCount = 24;
        record->m_boxSize = {120, 90};
        record->m_loaderName = L"vyx_jpeg";
        record->m_archiveLoaderName = L"test_archive";
        cache.AddRecord(record);
    }
    EXPECT_EQ(1, cache.SaveIfModified(path));
    return path;
}

class MaintCache : public testing::Test
{
protected:
    void SetUp() override
    {
        root = m_root.Path();
        pictures = m_pictures.Path();
        for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"x.zip"})
            m_pictures.WriteFile(name, "1234");
        CreateDirectoryW(m_pictures / L"sub", nullptr);
    }
    void TearDown() override
    {
        if (dialog && dialog->GetSafeHwnd())
            dialog->DestroyWindow();
    }
    void Open()
    {
        dialog = std::make_unique<CMaintCache>(root);
        ASSERT_TRUE(dialog->Create(CMaintCache::IDD));
        dialog->ShowWindow(SW_SHOW);
    }
    // The tree item whose location is the folder (and member), or null.
    HTREEITEM Find(const CString& folder, const wchar_t* member = L"")
    {
        std::vector<HTREEITEM> pending{dialog->GetLocalRoot(), dialog->GetUnknownRoot()};
        while (!pending.empty()) {
            HTREEITEM item = pending.back();
            pending.pop_back();
            for (HTREEITEM child = Tree().GetChildItem(item); child; child = Tree().GetNextSiblingItem(child)) {
                CString itemMember;
                if (dialog->GetItemPath(child, itemMember).CompareNoCase(folder) == 0 && itemMember == member)
                    return child;
                pending.push_back(child);
            }
        }
        return nullptr;
    }
    CTreeCtrl& Tree() { return dialog->GetTree(); }
    static bool Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
    bool Indexed(const CString& folder, const wchar_t* member = L"")
    {
        return VyxCacheIndex(root).HasThumbsFile(folder, member);
    }

    ScratchSettings settings;
    FrameworkScratchFolder m_root;
    FrameworkScratchFolder m_pictures;
    CString root;
    CString pictures;
    std::unique_ptr<CMaintCache> dialog;
};

} // namespace

TEST_F(MaintCache, TheTreeHoldsEveryIndexedLocationSortedAndANetworkShareUnderUnknown)
{
    WriteCache(root, pictures, L"", {L"a.jpg"});
    WriteCache(root, pictures + L"\\sub", L"", {L"c.jpg"});
    WriteCache(root, pictures, L"x.zip", {L"x.zip|in.jpg"});
    // A share's key as the index writes one for a mapped network folder.
    VyxIni(root + L"\\_cache_.lst").WriteString(L"Thumbsnail", L"\\\\srv\\share:1234ABCD\\dir", L"00000009.kwt");
    Open();
    ASSERT_NE(nullptr, Find(pictures));
    ASSERT_NE(nullptr, Find(pictures + L"\\sub"));
    HTREEITEM archive = Find(pictures, L"x.zip");
    ASSERT_NE(nullptr, archive);
    EXPECT_EQ(1u, Tree().GetItemData(archive));
    EXPECT_EQ(Find(pictures), Tree().GetParentItem(archive));
    // The location's children in order: the sub-folder before the archive location.
    EXPECT_EQ(archive, Tree().GetNextSiblingItem(Tree().GetChildItem(Find(pictures))));
    HTREEITEM share = Tree().GetChildItem(dialog->GetUnknownRoot());
    ASSERT_NE(nullptr, share);
    EXPECT_EQ(CString(L"\\\\srv\\share"), Tree().GetItemText(share));
    EXPECT_EQ(CString(L"dir"), Tree().GetItemText(Tree().GetChildItem(share)));
    Shot(dialog->GetSafeHwnd(), L"maint_cache.bmp");
}

TEST_F(MaintCache, AnEmptyIndexGivesTheTwoRootsOnly)
{
    Open();
    EXPECT_EQ(nullptr, Tree().GetChildItem(dialog->GetLocalRoot()));
    EXPECT_EQ(nullptr, Tree().GetChildItem(dialog->GetUnknownRoot()));
    EXPECT_EQ(CString(L"ローカルドライブ"), Tree().GetItemText(dialog->GetLocalRoot()));
    EXPECT_EQ(CString(L"不明"), Tree().GetItemText(dialog->GetUnknownRoot()));
}

TEST_F(MaintCache, ALocationListsItsRecordsWithTheirFacts)
{
    WriteCache(root, pictures, L"", {L"a.jpg", L"gone.jpg"});
    WriteAppIniString(L"MaintenanceCache", L"Index", L"7,6,5,4,3,2,1,0");
    Open();
    Tree().SelectItem(Find(pictures));
    CListCtrl& list = dialog->GetList();
    ASSERT_EQ(2, list.GetItemCount());
    EXPECT_EQ(CString(L"a.jpg"), dialog->GetRowText(0, 0));
    EXPECT_EQ(CString(L"jpg"), dialog->GetRowText(0, 1));
    EXPECT_EQ(CString(L"1,234,567"), dialog->GetRowText(0, 2));
    EXPECT_EQ(CTime(1500000000).Format(L"%Y/%m/%d %H:%M:%S"), dialog->GetRowText(0, 3));
    EXPECT_EQ(CString(L"640x480 24bpp"), dialog->GetRowText(0, 4));
    EXPECT_EQ(CString(L"120x90"), dialog->GetRowText(0, 6));
    EXPECT_EQ(CString(L"VYX_JPEG"), dialog->GetRowText(0, 7));
    EXPECT_EQ(CMaintCache::StateExists, dialog->GetRowState(0));
    EXPECT_EQ(CMaintCache::StateMissing, dialog->GetRowState(1));
    EXPECT_EQ(CString(L" ") + pictures, TextOf(dialog->GetDlgItem(IDC_MAINT_PATH)->GetSafeHwnd()));
    EXPECT_EQ(Find(pictures), dialog->GetSelectedItem());
    int order[CMaintCache::ColumnCount] = {};
    list.GetColumnOrderArray(order, CMaintCache::ColumnCount);
    EXPECT_EQ(7, order[0]);
    Shot(dialog->GetSafeHwnd(), L"maint_cache_list.bmp");
    list.SetColumnWidth(0, 77);
    dialog->DestroyWindow();
    EXPECT_EQ(CString(L"77,60,70,120,90,80,100,90"), ReadSetting(L"MaintenanceCache", L"Column"));
    EXPECT_EQ(CString(L"7,6,5,4,3,2,1,0"), ReadSetting(L"MaintenanceCache", L"Index"));
}

TEST_F(MaintCache, APreviewShowsTheStoredThumbnailOnBlack)
{
    const CString path = WriteCache(root, pictures, L"", {L"a.jpg"});
    {
        // A red thumbnail stored as DIB bytes.
        VyxCacheFolder cache;
        ASSERT_EQ(0, cache.Load(path));
        HGLOBAL dib = CreateDib(8, 6, 24);
        BYTE* bytes = static_cast<BYTE*>(GlobalLock(dib));
        BYTE* bits = DibBits(bytes);
        for (int i = 0; i < 8 * 6; ++i) {
            bits[(i / 8) * 24 + (i % 8) * 3 + 2] = 255;
        }
        cache.GetAt(0)->SetImage(VyxCacheThumbs::ImageDib, bytes, static_cast<DWORD>(GlobalSize(dib)));
        GlobalUnlock(dib);
        GlobalFree(dib);
        cache.SetModified(true);
        ASSERT_EQ(1, cache.SaveIfModified(path));
    }
    Open();
    Tree().SelectItem(Find(pictures));
    dialog->ShowPreview(0);
    const CRect rect = dialog->GetPreviewRect();
    HDC screen = GetDC(dialog->GetSafeHwnd());
    const COLORREF centre = GetPixel(screen, rect.CenterPoint().x, rect.CenterPoint().y);
    const COLORREF corner = GetPixel(screen, rect.left, rect.top);
    ReleaseDC(dialog->GetSafeHwnd(), screen);
    EXPECT_EQ(RGB(255, 0, 0), centre);
    EXPECT_EQ(RGB(0, 0, 0), corner);
}

TEST_F(MaintCache, OptimiseDropsTheRecordsOfFilesThatAreGoneAndEmptyCaches)
{
    const CString kept = WriteCache(root, pictures, L"", {L"a.jpg", L"gone.jpg", L"b.jpg"});
    const CString emptied = WriteCache(root, pictures + L"\\sub", L"", {L"gone.jpg"});
    const CString untouched = WriteCache(root, pictures + L"\\other", L"", {L"c.jpg"});
    const std::string before = FrameworkScratchFolder::ReadFile(untouched);
    Open();
    for (HTREEITEM item : {Find(pictures), Find(pictures + L"\\sub")})
        Tree().SetCheck(item, TRUE);
    EXPECT_TRUE(dialog->Optimise());

    VyxCacheFolder cache;
    ASSERT_EQ(0, cache.Load(kept));
    ASSERT_EQ(2, cache.GetCount());
    EXPECT_EQ(CString(L"a.jpg"), cache.GetAt(0)->m_fileName);
    EXPECT_EQ(CString(L"b.jpg"), cache.GetAt(1)->m_fileName);
    EXPECT_FALSE(Exists(emptied));
    EXPECT_FALSE(Indexed(pictures + L"\\sub"));
    EXPECT_EQ(nullptr, Find(pictures + L"\\sub"));
    EXPECT_NE(nullptr, Find(pictures));
    EXPECT_FALSE(Tree().GetCheck(Find(pictures)));
    EXPECT_EQ(before, FrameworkScratchFolder::ReadFile(untouched));
}

TEST_F(MaintCache, AFolderWhoseFilesAllStillExistKeepsItsCacheFileUnchanged)
{
    const CString path = WriteCache(root, pictures, L"", {L"a.jpg", L"b.jpg"});
    const std::string before = FrameworkScratchFolder::ReadFile(path);
    Open();
    Tree().SetCheck(Find(pictures), TRUE);
    EXPECT_FALSE(dialog->Optimise());
    EXPECT_EQ(before, FrameworkScratchFolder::ReadFile(path));
}

// An archive location's members cannot be looked at without opening the archive: its cache is
// kept while the archive is there, and goes with the archive.
TEST_F(MaintCache, OptimiseKeepsTheCacheOfAnArchiveLocationWhoseArchiveStillExists)
{
    const CString there = WriteCache(root, pictures, L"x.zip", {L"x.zip|in.jpg"});
    const CString inner = WriteCache(root, pictures, L"x.zip/sub", {L"x.zip|sub/in.jpg"});
    const CString gone = WriteCache(root, pictures, L"gone.zip", {L"gone.zip|in.jpg"});
    Open();
    for (const wchar_t* member : {L"x.zip", L"x.zip/sub", L"gone.zip"})
        Tree().SetCheck(Find(pictures, member), TRUE);
    dialog->Optimise();
    EXPECT_TRUE(Exists(there));
    EXPECT_TRUE(Indexed(pictures, L"x.zip"));
    EXPECT_TRUE(Exists(inner));
    EXPECT_NE(nullptr, Find(pictures, L"x.zip"));
    EXPECT_FALSE(Exists(gone));
    EXPECT_FALSE(Indexed(pictures, L"gone.zip"));
    EXPECT_EQ(nullptr, Find(pictures, L"gone.zip"));
}

TEST_F(MaintCache, DeleteDropsTheCheckedCachesAParentWhoseChildrenWentIncluded)
{
    const CString a = WriteCache(root, pictures + L"\\sub", L"", {L"a.jpg"});
    const CString b = WriteCache(root, pictures + L"\\sub\\deeper", L"", {L"b.jpg"});
    const CString other = WriteCache(root, pictures + L"\\other", L"", {L"c.jpg"});
    Open();
    HTREEITEM sub = Find(pictures + L"\\sub");
    ASSERT_NE(nullptr, sub);
    // A click on the box checks the children too; with Ctrl held only the item.
    ASSERT_NE(nullptr, Find(pictures + L"\\sub\\deeper"));
    dialog->OnCheckClicked(sub, false);
    Tree().SetCheck(sub, TRUE);
    EXPECT_TRUE(Tree().GetCheck(Find(pictures + L"\\sub\\deeper")));
    HTREEITEM others = Find(pictures + L"\\other");
    dialog->OnCheckClicked(Tree().GetParentItem(others), true);
    EXPECT_FALSE(Tree().GetCheck(others));

    EXPECT_TRUE(dialog->Delete());
    EXPECT_FALSE(Exists(b));
    EXPECT_FALSE(Indexed(pictures + L"\\sub\\deeper"));
    EXPECT_EQ(nullptr, Find(pictures + L"\\sub\\deeper"));
    // The parent's children went, so it went from the tree with them, its own cache deleted too.
    EXPECT_EQ(nullptr, Find(pictures + L"\\sub"));
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Indexed(pictures + L"\\sub"));
    EXPECT_TRUE(Exists(other));
    EXPECT_NE(nullptr, Find(pictures + L"\\other"));
}

TEST_F(MaintCache, ACheckedLocationWithoutCacheFileOnlyLeavesTheTree)
{
    const CString path = WriteCache(root, pictures, L"", {L"a.jpg"});
    Open();
    DeleteFileW(path);
    HTREEITEM item = Find(pictures);
    Tree().SelectItem(item);
    Tree().SetCheck(item, TRUE);
    EXPECT_TRUE(dialog->Delete());
    EXPECT_EQ(nullptr, Find(pictures));
    EXPECT_EQ(nullptr, dialog->GetSelectedItem());
}

// Only the caches under the cache root are maintained; a cache kept in the folder itself is left
// as it is, even where the index names a central one for the same location.
TEST_F(MaintCache, ACacheKeptInsideTheFolderIsLeftAlone)
{
    const CString central = WriteCache(root, pictures, L"", {L"a.jpg", L"gone.jpg"});
    const CString inFolder = m_pictures.WriteFile(L"_THUMBS_.KWI", "kept as it is");
    Open();
    Tree().SelectItem(Find(pictures));
    EXPECT_EQ(2, dialog->GetList().GetItemCount());
    Tree().SetCheck(Find(pictures), TRUE);
    dialog->Optimise();
    VyxCacheFolder cache;
    ASSERT_EQ(0, cache.Load(central));
    EXPECT_EQ(1, cache.GetCount());
    Tree().SetCheck(Find(pictures), TRUE);
    dialog->Delete();
    EXPECT_FALSE(Exists(central));
    EXPECT_EQ("kept as it is", FrameworkScratchFolder::ReadFile(inFolder));
}

TEST_F(MaintCache, ACacheFileASecondKeyAlsoNamesIsTheFirstKeysAndIsNeverDeletedForTheSecond)
{
    const CString first = WriteCache(root, pictures + L"\\p1", L"", {L"a.jpg"});
    CString name;
    GetPathPart(name, first, PartFileName);
    WritePrivateProfileStringW(VyxCacheIndex::GetSectionName(VyxCacheIndex::KindThumbs),
                               VyxCacheIndex::GetLocationKey(pictures + L"\\p2", L""), name,
                               root + L"\\_cache_.lst");
    Open();
    HTREEITEM second = Find(pictures + L"\\p2");
    ASSERT_NE(nullptr, second);
    Tree().SelectItem(second);
    EXPECT_EQ(0, dialog->GetList().GetItemCount());
    Tree().SetCheck(second, TRUE);
    EXPECT_TRUE(dialog->Delete());
    EXPECT_EQ(nullptr, Find(pictures + L"\\p2"));
    EXPECT_TRUE(Exists(first));
    EXPECT_TRUE(Indexed(pictures + L"\\p1"));
    Tree().SelectItem(Find(pictures + L"\\p1"));
    EXPECT_EQ(1, dialog->GetList().GetItemCount());
}
