#include "ThumbnailTestUtil.h"

#include "catalogue/CacheFileWriter.h"
#include "catalogue/RetiredItems.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxFilexDraw.h"
#include "catalogue/VyxNoteStore.h"
#include "foundation/VyxSystem.h"
#include "image/DibCore.h"

#include <atomic>
#include <memory>
#include <thread>

using namespace thumbtest;

namespace {

const long long kTime = 1500000000;

std::wstring IndexValue(const std::wstring& root, const wchar_t* section, const CString& key)
{
    wchar_t text[512] = {};
    GetPrivateProfileStringW(section, key, L"<none>", text, 512, (root + L"\\_cache_.lst").c_str());
    return text;
}

CString Serial(const std::wstring& path)
{
    CString serial;
    return GetVolumeSerialText(serial, path.c_str());
}

// Items of pictures in a folder, each holding a thumbnail of its own colour.
struct PictureFolder
{
    explicit PictureFolder(const std::wstring& path) : path(path) { CreateDirectoryW(path.c_str(), nullptr); }
    VyxFile* Item(const wchar_t* name, COLORREF colour = RGB(10, 20, 30))
    {
        std::wstring file = path + L"\\" + name;
        ScratchFolder::WriteFile(file, plugintest::MakeTestPicture(0, 8, 6));
        SetFileTimes(file, kTime);
        VyxFile* item = new VyxFile(file.c_str());
        item->DetectPlugin();
        HGLOBAL thumbnail = CreateDib(4, 3, 24);
        BYTE* bits = DibBits(static_cast<BYTE*>(GlobalLock(thumbnail)));
        for (int i = 0; i < 12; ++i) {
            bits[i * 3] = GetBValue(colour);
            bits[i * 3 + 1] = GetGValue(colour);
            bits[i * 3 + 2] = GetRValue(colour);
        }
        GlobalUnlock(thumbnail);
        item->SetThumbnail(thumbnail);
        items.emplace_back(item);
        return item;
    }
    // A fresh item for the same file, without thumbnail.
    std::unique_ptr<VyxFile> Again(const VyxFile* item)
    {
        return std::make_unique<VyxFile>(item->GetPath().GetString());
    }

    std::wstring path;
    std::vector<std::unique_ptr<VyxFile>> items;
};

} // namespace

TEST(CacheIndex, LocationKeysCarryTheVolumeThePathAndTheArchive)
{
    ScratchFolder folder(L"index");
    std::wstring path = folder.Path();
    CString expected = Serial(path) + CString(path.substr(2).c_str());
    EXPECT_STREQ(expected, VyxCacheIndex::GetLocationKey(path.c_str(), L""));
    EXPECT_STREQ(expected, VyxCacheIndex::GetLocationKey((path + L"\\").c_str(), nullptr));
    EXPECT_STREQ(expected + L"/a|b.zip", VyxCacheIndex::GetLocationKey(path.c_str(), L"a=b.zip"));
}

TEST(CacheIndex, WithoutRootEverySideFileLiesInTheFolder)
{
    ScratchFolder folder(L"index");
    VyxCacheIndex index;
    std::wstring base = folder.Path();
    EXPECT_STREQ((base + L"\\_THUMBS_.KWI").c_str(), index.GetThumbsFileName(base.c_str(), L"a.zip"));
    EXPECT_STREQ((base + L"\\_NOTE_.KWI").c_str(), index.GetNoteFileName(base.c_str(), L""));
    EXPECT_STREQ((base + L"\\_CONFIG_.KWI").c_str(), index.GetConfigFileName(base.c_str(), L""));
    CString found;
    EXPECT_FALSE(index.FindThumbsFile(found, base.c_str(), L""));
    EXPECT_STREQ((base + L"\\_THUMBS_.KWI").c_str(), found);
    PutFile(folder, L"_NOTE_.KWI", "[a.jpg]\r\nNote=x\r\n");
    EXPECT_TRUE(index.HasNoteFile(base.c_str(), L""));
    EXPECT_EQ(1, index.DeleteNoteFile(base.c_str(), L""));
    EXPECT_FALSE(index.HasNoteFile(base.c_str(), L""));
    index.RenameFolder(L"C:\\b", base.c_str());
    EXPECT_EQ(1, index.DeleteThumbsFile(base.c_str(), L""));
    // Nothing was ever written beside the folder but the note file the test made.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"\\*").c_str(), &data);
    int entries = 0;
    do
        entries += data.cFileName[0] != L'.';
    while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(0, entries);
}

TEST(CacheIndex, CentralFilesAreNumberedPerKindAndAnInFolderFileWins)
{
    ScratchFolder root(L"root"), pictures(L"pics");
    VyxCacheIndex index(root.Path().c_str());
    std::wstring base = pictures.Path();
    EXPECT_STREQ((root.Path() + L"\\_cache_.lst").c_str(), index.GetIndexFileName());
    EXPECT_STREQ((root.Path() + L"\\00000000.kwt").c_str(), index.GetThumbsFileName(base.c_str(), L""));
    EXPECT_STREQ((root.Path() + L"\\00000000.kwt").c_str(), index.GetThumbsFileName(base.c_str(), L""));
    EXPECT_STREQ((root.Path() + L"\\00000001.kwt").c_str(), index.GetThumbsFileName(base.c_str(), L"a.zip"));
    EXPECT_STREQ((root.Path() + L"\\00000000.kwn").c_str(), index.GetNoteFileName(base.c_str(), L""));
    EXPECT_STREQ((root.Path() + L"\\00000000.kwc").c_str(), index.GetConfigFileName(base.c_str(), L""));
    EXPECT_EQ(L"2", IndexValue(root.Path(), L"Thumbsnail", L"CacheSeqNo"));
    EXPECT_EQ(L"1", IndexValue(root.Path(), L"Note", L"CacheSeqNo"));
    EXPECT_EQ(L"00000001.kwt",
              IndexValue(root.Path(), L"Thumbsnail", VyxCacheIndex::GetLocationKey(base.c_str(), L"a.zip")));

    CString found;
    EXPECT_FALSE(index.FindThumbsFile(found, base.c_str(), L"")); // indexed, but not written yet
    EXPECT_STREQ((root.Path() + L"\\00000000.kwt").c_str(), found);
    PutFile(root, L"00000000.kwt", "x");
    EXPECT_TRUE(index.HasThumbsFile(base.c_str(), L""));
    PutFile(pictures, L"_THUMBS_.KWI", "y");
    EXPECT_TRUE(index.FindThumbsFile(found, base.c_str(), L""));
    EXPECT_STREQ((base + L"\\_THUMBS_.KWI").c_str(), found);
    EXPECT_STREQ((base + L"\\_THUMBS_.KWI").c_str(), index.GetThumbsFileName(base.c_str(), L""));

    // Deleting removes the in-folder file first; the central one with its entry next time.
    index.DeleteThumbsFile(base.c_str(), L"");
    EXPECT_FALSE(ScratchFolder::Exists(base + L"\\_THUMBS_.KWI"));
    EXPECT_TRUE(ScratchFolder::Exists(root / L"00000000.kwt"));
    index.DeleteThumbsFile(base.c_str(), L"");
    EXPECT_FALSE(ScratchFolder::Exists(root / L"00000000.kwt"));
    EXPECT_EQ(L"<none>", IndexValue(root.Path(), L"Thumbsnail", VyxCacheIndex::GetLocationKey(base.c_str(), L"")));
}

TEST(CacheIndex, KeysWithEqualsSignsAreStoredEscapedAndShownAgain)
{
    ScratchFolder root(L"root"), pictures(L"pics");
    std::wstring odd = pictures / L"x=y";
    CreateDirectoryW(odd.c_str(), nullptr);
    VyxCacheIndex index(root.Path().c_str());
    index.GetThumbsFileName(odd.c_str(), L"p=q.zip");
    CString key = VyxCacheIndex::GetLocationKey(odd.c_str(), L"p=q.zip");
    EXPECT_EQ(-1, key.Find(L'='));
    EXPECT_EQ(L"00000000.kwt", IndexValue(root.Path(), L"Thumbsnail", key));

    index.BuildDriveKeys();
    CString archive;
    EXPECT_STREQ(odd.c_str(), index.ParseKey(key, archive));
    EXPECT_STREQ(L"p=q.zip", archive);
    EXPECT_STREQ(L"C:", index.GetDriveOfVolume(Serial(odd)));
    EXPECT_STREQ(L"\\\\srv\\pics\\2020", index.ParseKey(L"\\\\srv\\pics:0BADF00D\\2020", archive));
    EXPECT_STREQ(L"", archive);
    EXPECT_STREQ(L"", index.ParseKey(L"no serial here", archive));
}

TEST(CacheIndex, RenamingAFolderMovesItsOwnKeysOnly)
{
    ScratchFolder root(L"root"), pictures(L"pics");
    std::wstring base = pictures.Path();
    VyxCacheIndex index(root.Path().c_str());
    struct Location
    {
        std::wstring folder;
        const wchar_t* archive;
        std::wstring renamedFolder;
        const wchar_t* renamedArchive;
    } locations[] = {
        {base + L"\\a", L"", base + L"\\b", L""},
        {base + L"\\a\\x", L"", base + L"\\b\\x", L""},
        {base + L"\\a", L"z.zip", base + L"\\b", L"z.zip"},
        {base, L"a", base, L"b"},
        // Keys that merely begin alike belong to other folders and files.
        {base + L"\\ab", L"", base + L"\\ab", L""},
        {base, L"abc.zip", base, L"abc.zip"},
    };
    for (const Location& l : locations)
        index.GetNoteFileName(l.folder.c_str(), l.archive);
    index.RenameFolder((base + L"\\b").c_str(), (base + L"\\a").c_str());
    for (const Location& l : locations) {
        CString oldKey = VyxCacheIndex::GetLocationKey(l.folder.c_str(), l.archive);
        CString newKey = VyxCacheIndex::GetLocationKey(l.renamedFolder.c_str(), l.renamedArchive);
        EXPECT_NE(L"<none>", IndexValue(root.Path(), L"Note", newKey)) << newKey.GetString();
        if (oldKey != newKey) {
            EXPECT_EQ(L"<none>", IndexValue(root.Path(), L"Note", oldKey)) << oldKey.GetString();
        }
    }
    EXPECT_EQ(L"6", IndexValue(root.Path(), L"Note", L"CacheSeqNo"));
}

TEST(CacheIndex, RenamingAnArchiveMovesItsKeyAndRenamesItsRecords)
{
    CacheScope scope;
    ScratchFolder root(L"root"), pictures(L"pics");
    std::wstring base = pictures.Path();
    VyxCacheIndex index(root.Path().c_str());
    CString cacheFile = index.GetThumbsFileName(base.c_str(), L"a.zip");
    CString backupFile = index.GetThumbsFileName(base.c_str(), L"a.zip.bak");
    PutFile(root, L"00000000.kwt", CacheBytes().Head().Record(L"m.jpg", L"x", 1, 2, L"m.jpg", L"a.zip").End().bytes);
    std::string backup = CacheBytes().Head().Record(L"m.jpg", L"x", 1, 2, L"m.jpg", L"a.zip.bak").End().bytes;
    PutFile(root, L"00000001.kwt", backup);

    index.RenameFolder((base + L"\\b.zip").c_str(), (base + L"\\a.zip").c_str());
    EXPECT_EQ(L"00000000.kwt",
              IndexValue(root.Path(), L"Thumbsnail", VyxCacheIndex::GetLocationKey(base.c_str(), L"b.zip")));
    EXPECT_EQ(L"<none>", IndexValue(root.Path(), L"Thumbsnail", VyxCacheIndex::GetLocationKey(base.c_str(), L"a.zip")));
    EXPECT_EQ(L"00000001.kwt",
              IndexValue(root.Path(), L"Thumbsnail", VyxCacheIndex::GetLocationKey(base.c_str(), L"a.zip.bak")));
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load(cacheFile));
    EXPECT_STREQ(L"b.zip", cache.GetAt(0)->m_archiveFileName);
    EXPECT_EQ(backup, ScratchFolder::ReadFile(backupFile.GetString()));
}

TEST(CacheList, ThumbnailsAreFoundInTheFolderAndUnderACacheRoot)
{
    StandardPlugins plugins;
    ScratchFolder root(L"root"), pictures(L"pics");
    for (bool withRoot : {false, true}) {
        PictureFolder folder(pictures / (withRoot ? L"central" : L"local"));
        {
            CacheScope scope(withRoot ? root.Path().c_str() : L"");
            WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
            VyxFile* item = folder.Item(L"p.tpic", RGB(200, 100, 50));
            ASSERT_EQ(0, item->StoreCache());
            EXPECT_TRUE(item->IsCached());
            EXPECT_EQ(1, theCacheList.Flush());
        }
        EXPECT_EQ(!withRoot, ScratchFolder::Exists(folder.path + L"\\_THUMBS_.KWI"));
        EXPECT_EQ(withRoot, ScratchFolder::Exists(root / L"00000000.kwt"));

        CacheScope scope(withRoot ? root.Path().c_str() : L"");
        auto again = folder.Again(folder.items[0].get());
        ASSERT_EQ(0, theCacheList.LoadFromCache(again.get()));
        EXPECT_EQ(RGB(200, 100, 50), dibtest::Pixel24(again->GetThumbnail(), 1, 1));
    }
}

TEST(CacheList, ALocationWithoutCacheFileIsNotAskedAgainUntilAnotherIs)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder pictures(L"pics");
    PictureFolder first(pictures / L"first"), second(pictures / L"second");
    VyxFile* a = first.Item(L"a.tpic");
    VyxFile* b = first.Item(L"b.tpic");
    VyxFile* c = second.Item(L"c.tpic");
    auto freshA = first.Again(a), freshB = first.Again(b), freshC = first.Again(c);
    EXPECT_NE(0, theCacheList.LoadFromCache(freshA.get()));
    // The file appears behind the list's back: the remembered location still says there is none.
    VyxCacheFolder writer(first.path.c_str(), L"");
    writer.SetCacheImage(1);
    ASSERT_EQ(0, writer.StoreFromItem(*b));
    ASSERT_EQ(1, writer.SaveIfModified((first.path + L"\\_THUMBS_.KWI").c_str()));
    EXPECT_NE(0, theCacheList.LoadFromCache(freshB.get()));
    EXPECT_NE(0, theCacheList.LoadFromCache(freshC.get()));
    EXPECT_EQ(0, theCacheList.LoadFromCache(freshB.get()));
    EXPECT_TRUE(theCacheList.FindFolder(first.path.c_str(), L""));
}

TEST(CacheList, ALocationTheListWroteACacheForIsAskedAgainOnceItsFoldersAreDropped)
{
    StandardPlugins plugins;
    CacheScope scope;
    ScratchFolder pictures(L"pics");
    PictureFolder folder(pictures / L"f");
    VyxFile* a = folder.Item(L"a.tpic");
    auto fresh = folder.Again(a);
    EXPECT_NE(0, theCacheList.LoadFromCache(fresh.get()));
    // Leaving the folder, the program writes its cache and drops the folders in memory.
    ASSERT_EQ(0, a->StoreCache());
    ASSERT_EQ(1, theCacheList.Flush());
    theCacheList.RemoveAllFolders();
    auto again = folder.Again(a);
    EXPECT_EQ(0, theCacheList.LoadFromCache(again.get()));
}

TEST(CacheList, StoringIntoALocationKeepsTheThumbnailsAlreadyInItsFile)
{
    StandardPlugins plugins;
    ScratchFolder pictures(L"pics");
    PictureFolder folder(pictures / L"f");
    {
        CacheScope scope;
        WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
        ASSERT_EQ(0, folder.Item(L"x.tpic")->StoreCache());
        ASSERT_EQ(0, folder.Item(L"y.tpic")->StoreCache());
        ASSERT_EQ(1, theCacheList.Flush());
    }
    CacheScope scope;
    WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
    ASSERT_EQ(0, folder.Item(L"z.tpic")->StoreCache());
    ASSERT_EQ(1, theCacheList.Flush());
    VyxCacheFolder cache;
    ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load((folder.path + L"\\_THUMBS_.KWI").c_str()));
    ASSERT_EQ(3, cache.GetCount());
    for (INT_PTR i = 0; i < 3; ++i)
        EXPECT_FALSE(ImageOf(cache, cache.GetAt(i)).empty());
}

TEST(CacheList, FlushDeletesEmptyFilesAndFilesUnderTheRootItself)
{
    StandardPlugins plugins;
    ScratchFolder root(L"root"), pictures(L"pics");
    CacheScope scope(root.Path().c_str());
    PictureFolder emptied(pictures / L"emptied"), inside(root / L"inside");
    PutFile(pictures, L"emptied\\_THUMBS_.KWI", CacheBytes().Head().Record(L"gone.tpic", L"a_image", 1, 2).End().bytes);
    VyxFile* item = emptied.Item(L"gone.tpic");
    theCacheList.StoreToCache(item);
    theCacheList.RemoveFromCache(item);
    ASSERT_EQ(0, theCacheList.FindFolder(emptied.path.c_str(), L"")->GetCount());
    ASSERT_EQ(0, inside.Item(L"i.tpic")->StoreCache());
    EXPECT_EQ(0, theCacheList.Flush()); // no folder reached a write
    EXPECT_FALSE(ScratchFolder::Exists(emptied.path + L"\\_THUMBS_.KWI"));
    EXPECT_FALSE(ScratchFolder::Exists(root / L"00000000.kwt"));
    EXPECT_FALSE(ScratchFolder::Exists(inside.path + L"\\_THUMBS_.KWI"));
}

TEST(CacheIndex, AnEntryNamingAnythingButTheProgramsOwnFileInTheRootIsNeverWrittenOrDeleted)
{
    StandardPlugins plugins;
    ScratchFolder top(L"damaged");
    const std::wstring rootPath = top / L"root", victimPath = top / L"victim";
    CreateDirectoryW(rootPath.c_str(), nullptr);
    CreateDirectoryW(victimPath.c_str(), nullptr);
    const std::string important = "a user's own document";
    ScratchFolder::WriteFile(victimPath + L"\\important.txt", important);
    ScratchFolder::WriteFile(rootPath + L"\\00000003.kwn", important);
    PictureFolder folder(top / L"pics");
    const std::wstring index = rootPath + L"\\_cache_.lst";
    const CString key = VyxCacheIndex::GetLocationKey(folder.path.c_str(), L"");
    const std::wstring hostile[] = {L"..\\victim\\important.txt",
                                    L"00000001.kwt\\..\\..\\victim\\important.txt",
                                    victimPath + L"\\important.txt",
                                    L"00000003.kwn",
                                    L"12345678.kwt.txt",
                                    L"1.kwt",
                                    L"-0000001.kwt"};
    for (const std::wstring& text : hostile) {
        const wchar_t* value = text.c_str();
        WritePrivateProfileStringW(L"Thumbsnail", key, value, index.c_str());
        {
            CacheScope scope(rootPath.c_str());
            WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
            VyxCacheIndex& cacheIndex = theCacheList.GetIndex();
            CString found;
            EXPECT_FALSE(cacheIndex.FindThumbsFile(found, folder.path.c_str(), L"")) << value;
            // The thumbnails go to a file of the root's own, under an entry made anew.
            folder.items.clear();
            ASSERT_EQ(0, folder.Item(L"p.tpic")->StoreCache()) << value;
            EXPECT_EQ(1, theCacheList.Flush()) << value;
            const std::wstring written = IndexValue(rootPath, L"Thumbsnail", key);
            EXPECT_TRUE(VyxCacheIndex::IsCentralFileName(VyxCacheIndex::KindThumbs, written.c_str())) << written;
            EXPECT_TRUE(ScratchFolder::Exists(rootPath + L"\\" + written)) << value;
            // Deleting takes the entry and the root's file only.
            WritePrivateProfileStringW(L"Thumbsnail", key, value, index.c_str());
            EXPECT_EQ(1, cacheIndex.DeleteThumbsFile(folder.path.c_str(), L""));
            EXPECT_EQ(L"<none>", IndexValue(rootPath, L"Thumbsnail", key));
        }
        EXPECT_EQ(important, ScratchFolder::ReadFile(victimPath + L"\\important.txt")) << value;
        EXPECT_EQ(important, ScratchFolder::ReadFile(rootPath + L"\\00000003.kwn")) << value;
    }
}

TEST(CacheIndex, ADamagedCounterNeverHandsOutANumberAnEntryOrAFileHas)
{
    ScratchFolder root(L"root"), pictures(L"pics");
    const std::wstring first = pictures / L"first", second = pictures / L"second", third = pictures / L"third";
    const std::wstring index = root / L"_cache_.lst";
    {
        VyxCacheIndex cacheIndex(root.Path().c_str());
        EXPECT_STREQ((root / L"00000000.kwn").c_str(), cacheIndex.GetNoteFileName(first.c_str(), L""));
    }
    PutFile(root, L"00000000.kwn", "[a.jpg]\r\nNote=first folder's note\r\n");
    PutFile(root, L"00000001.kwn", "left behind by an entry that went");
    for (const wchar_t* counter : {L"0", L"-5", L"abc", L"2147483647"}) {
        WritePrivateProfileStringW(L"Note", L"CacheSeqNo", counter, index.c_str());
        WritePrivateProfileStringW(L"Note", VyxCacheIndex::GetLocationKey(second.c_str(), L""), nullptr, index.c_str());
        VyxCacheIndex cacheIndex(root.Path().c_str());
        EXPECT_STREQ((root / L"00000002.kwn").c_str(), cacheIndex.GetNoteFileName(second.c_str(), L"")) << counter;
        EXPECT_EQ(L"3", IndexValue(root.Path(), L"Note", L"CacheSeqNo")) << counter;
    }
    // Numbers taken by entries of the section count even without a file.
    WritePrivateProfileStringW(L"Note", L"CacheSeqNo", L"1", index.c_str());
    VyxCacheIndex cacheIndex(root.Path().c_str());
    EXPECT_STREQ((root / L"00000003.kwn").c_str(), cacheIndex.GetNoteFileName(third.c_str(), L""));
    EXPECT_EQ("[a.jpg]\r\nNote=first folder's note\r\n", ScratchFolder::ReadFile(root / L"00000000.kwn"));
    EXPECT_EQ(L"00000000.kwn", IndexValue(root.Path(), L"Note", VyxCacheIndex::GetLocationKey(first.c_str(), L"")));
}

TEST(CacheIndex, ACentralFileTwoKeysNameIsTheFirstKeysAloneAndTheOtherWritesANewOne)
{
    ScratchFolder root(L"root"), pictures(L"pics");
    const std::wstring p1 = pictures / L"p1", p2 = pictures / L"p2", index = root / L"_cache_.lst";
    CreateDirectoryW(p1.c_str(), nullptr);
    CreateDirectoryW(p2.c_str(), nullptr);
    const CString k1 = VyxCacheIndex::GetLocationKey(p1.c_str(), L"");
    const CString k2 = VyxCacheIndex::GetLocationKey(p2.c_str(), L"");
    const std::string p1Notes = "[a.jpg]\r\nNote=p1's note\r\n";
    const std::pair<const wchar_t*, const wchar_t*> kinds[] = {
        {L"Thumbsnail", L"00000000.kwt"}, {L"Note", L"00000000.kwn"}, {L"Config", L"00000000.kwc"}};
    for (const auto& kind : kinds) {
        WritePrivateProfileStringW(kind.first, L"CacheSeqNo", L"1", index.c_str());
        WritePrivateProfileStringW(kind.first, k1, kind.second, index.c_str());
        WritePrivateProfileStringW(kind.first, k2, kind.second, index.c_str());
        ASSERT_TRUE(ScratchFolder::WriteFile(root / kind.second, kind.first[0] == L'N' ? p1Notes : "p1's own"));
    }
    VyxNoteStore notes1(root.Path().c_str()), notes2(root.Path().c_str());
    notes1.SetLocation(p1.c_str(), L"");
    notes2.SetLocation(p2.c_str(), L"");
    EXPECT_STREQ(L"", notes2.ReadNote((p2 + L"\\a.jpg").c_str()));
    EXPECT_STREQ(L"p1's note", notes1.ReadNote((p1 + L"\\a.jpg").c_str()));
    VyxCacheIndex cacheIndex(root.Path().c_str());
    CString found;
    EXPECT_FALSE(cacheIndex.FindThumbsFile(found, p2.c_str(), L""));
    EXPECT_FALSE(cacheIndex.FindConfigFile(found, p2.c_str(), L""));
    EXPECT_TRUE(cacheIndex.FindConfigFile(found, p1.c_str(), L""));

    // Clearing and deleting for the second key leave the first key's files.
    EXPECT_EQ(1, notes2.DeleteNote((p2 + L"\\a.jpg").c_str()));
    EXPECT_EQ(1, cacheIndex.DeleteThumbsFile(p2.c_str(), L""));
    EXPECT_EQ(p1Notes, ScratchFolder::ReadFile(root / L"00000000.kwn"));
    EXPECT_EQ("p1's own", ScratchFolder::ReadFile(root / L"00000000.kwt"));
    EXPECT_EQ(L"<none>", IndexValue(root.Path(), L"Thumbsnail", k2));
    EXPECT_EQ(L"00000000.kwt", IndexValue(root.Path(), L"Thumbsnail", k1));

    // Writing for the second key takes a number of its own.
    ASSERT_EQ(1, notes2.WriteNote((p2 + L"\\a.jpg").c_str(), L"p2's note"));
    const std::wstring written = IndexValue(root.Path(), L"Note", k2);
    EXPECT_NE(L"00000000.kwn", written);
    EXPECT_TRUE(VyxCacheIndex::IsCentralFileName(VyxCacheIndex::KindNote, written.c_str())) << written;
    EXPECT_STREQ(L"p2's note", notes2.ReadNote((p2 + L"\\a.jpg").c_str()));
    EXPECT_EQ(p1Notes, ScratchFolder::ReadFile(root / L"00000000.kwn"));
    const CString config = cacheIndex.GetConfigFileName(p2.c_str(), L"");
    EXPECT_NE(CString((root / L"00000000.kwc").c_str()), config);
    EXPECT_EQ(CString((root / L"00000000.kwc").c_str()), cacheIndex.GetConfigFileName(p1.c_str(), L""));
}

// The files a flush would write, left to a writer of their own: the folders that need writing
// leave the list for it (the others stay), it writes them on its thread, and a writing given up
// leaves each old file as it was.
TEST(CacheList, FoldersLeftToAWriterAreWrittenOnItsThreadAndAStoppedWriteLeavesTheOldFile)
{
    StandardPlugins plugins;
    ScratchFolder pictures(L"pics");
    PictureFolder first(pictures / L"first"), second(pictures / L"second"), kept(pictures / L"kept");
    CacheScope scope;
    WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
    ASSERT_EQ(0, kept.Item(L"k.tpic")->StoreCache());
    ASSERT_EQ(1, theCacheList.Flush());
    ASSERT_EQ(0, first.Item(L"a.tpic")->StoreCache());
    ASSERT_EQ(0, first.Item(L"b.tpic")->StoreCache());
    ASSERT_EQ(0, second.Item(L"c.tpic")->StoreCache());
    std::unique_ptr<CacheFileWriter> writer = theCacheList.TakeForWriting();
    ASSERT_TRUE(writer);
    EXPECT_EQ(3, writer->GetTotal());
    EXPECT_EQ(1, theCacheList.GetCount());
    EXPECT_NE(nullptr, theCacheList.FindFolder(kept.path.c_str(), L""));
    EXPECT_FALSE(ScratchFolder::Exists(first.path + L"\\_THUMBS_.KWI"));
    writer->Start();
    ASSERT_TRUE(writer->Wait(INFINITE));
    EXPECT_EQ(3, writer->GetWritten());
    EXPECT_EQ(0, writer->GetFailures());
    writer.reset();
    for (const auto& [path, count] : {std::make_pair(first.path, 2), std::make_pair(second.path, 1)}) {
        VyxCacheFolder cache;
        ASSERT_EQ(VyxCacheFolder::LoadDone, cache.Load((path + L"\\_THUMBS_.KWI").c_str()));
        EXPECT_EQ(count, cache.GetCount());
        for (INT_PTR i = 0; i < cache.GetCount(); ++i)
            EXPECT_FALSE(ImageOf(cache, cache.GetAt(i)).empty());
    }
    // Nothing more to write: no writer.
    EXPECT_EQ(nullptr, theCacheList.TakeForWriting());

    // Given up: the old file stays as it was.
    const std::string before = ScratchFolder::ReadFile(first.path + L"\\_THUMBS_.KWI");
    ASSERT_EQ(0, first.Item(L"d.tpic")->StoreCache());
    theCacheList.FindFolder(first.path.c_str(), L"")->SetModified(true);
    writer = theCacheList.TakeForWriting();
    ASSERT_TRUE(writer);
    writer->Stop();
    writer->Start();
    ASSERT_TRUE(writer->Wait(INFINITE));
    writer.reset();
    EXPECT_EQ(before, ScratchFolder::ReadFile(first.path + L"\\_THUMBS_.KWI"));
}

namespace {

void WaitForTheWriters()
{
    for (int i = 0; i < 6000 && theCacheList.IsWriting(); ++i)
        theCacheList.WaitForReading(10);
}

} // namespace

// A location still shown has its new records written ahead on a thread once there are enough of
// them; its folder joins the list again once written, and later records are appended to the
// file. A location let go meanwhile is not taken back.
TEST(CacheList, ALocationWrittenAheadComesBackToTheListAndOneLetGoMeanwhileDoesNot)
{
    StandardPlugins plugins;
    ScratchFolder pictures(L"pics");
    PictureFolder folder(pictures / L"f");
    CacheScope scope;
    WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
    VyxFile* a = folder.Item(L"a.tpic", RGB(200, 100, 50));
    for (VyxFile* item : {a, folder.Item(L"b.tpic")})
        ASSERT_EQ(0, item->StoreCache());
    const std::wstring file = folder.path + L"\\_THUMBS_.KWI";
    EXPECT_FALSE(theCacheList.WriteAheadInBackground(a, 3));
    ASSERT_TRUE(theCacheList.WriteAheadInBackground(a, 2));
    WaitForTheWriters();
    ASSERT_FALSE(theCacheList.IsWriting());
    VyxCacheFolder* cache = theCacheList.FindFolder(folder.path.c_str(), L"");
    ASSERT_NE(nullptr, cache);
    EXPECT_EQ(0, cache->GetUnwrittenCount());
    EXPECT_FALSE(theCacheList.WriteAheadInBackground(a, 0));
    {
        VyxCacheFolder written;
        ASSERT_EQ(VyxCacheFolder::LoadDone, written.Load(file.c_str()));
        EXPECT_EQ(2, written.GetCount());
    }

    const std::string before = ScratchFolder::ReadFile(file);
    ASSERT_EQ(0, folder.Item(L"c.tpic")->StoreCache());
    EXPECT_EQ(1, cache->GetUnwrittenCount());
    ASSERT_TRUE(theCacheList.WriteAheadInBackground(a, 1));
    WaitForTheWriters();
    const std::string after = ScratchFolder::ReadFile(file);
    EXPECT_GT(after.size(), before.size());
    EXPECT_EQ(before, after.substr(0, before.size()));
    auto fresh = folder.Again(a);
    fresh->SetCacheLookup(TRUE);
    ASSERT_EQ(0, theCacheList.LoadFromCache(fresh.get()));
    EXPECT_EQ(RGB(200, 100, 50), dibtest::Pixel24(fresh->GetThumbnail(), 1, 1));

    // A record removed meanwhile is removed from the folder that comes back.
    VyxFile* c = folder.items.back().get();
    ASSERT_EQ(0, folder.Item(L"d.tpic")->StoreCache());
    ASSERT_TRUE(theCacheList.WriteAheadInBackground(a, 1));
    c->RemoveFromCache();
    cache = theCacheList.FindFolder(folder.path.c_str(), L"");
    ASSERT_NE(nullptr, cache);
    EXPECT_EQ(nullptr, cache->FindRecord(*c));
    EXPECT_NE(nullptr, cache->FindRecord(*a));

    ASSERT_EQ(0, folder.Item(L"e.tpic")->StoreCache());
    ASSERT_TRUE(theCacheList.WriteAheadInBackground(a, 1));
    theCacheList.RemoveAllFolders();
    WaitForTheWriters();
    ASSERT_FALSE(theCacheList.IsWriting());
    EXPECT_EQ(nullptr, theCacheList.FindFolder(folder.path.c_str(), L""));
    VyxCacheFolder written;
    ASSERT_EQ(VyxCacheFolder::LoadDone, written.Load(file.c_str()));
    EXPECT_EQ(4, written.GetCount());
    EXPECT_EQ(nullptr, written.FindRecord(*c));
}

TEST(CacheList, FoldersDroppedAreLeftToTheIdleTimeWithTheirSettingsWrittenAtOnce)
{
    RetiredItems::DeleteAll();
    StandardPlugins plugins;
    ScratchFolder pictures(L"pics");
    PictureFolder folder(pictures / L"f");
    {
        CacheScope scope;
        VyxFile* item = folder.Item(L"p.tpic");
        ASSERT_EQ(0, item->StoreCache());
        VyxCacheFolder* cache = theCacheList.FindFolder(folder.path.c_str(), L"");
        ASSERT_NE(nullptr, cache);
        cache->SetCacheQuality(70);
        // Leaving a folder of many pictures waits for none of its records to be deleted.
        theCacheList.RemoveAllFolders();
        EXPECT_EQ(nullptr, theCacheList.FindFolder(folder.path.c_str(), L""));
        EXPECT_EQ(1u, RetiredItems::GetCacheFolderCount());
        EXPECT_EQ(70, GetAppIniInt(L"KWDoc", L"CacheQuality", 0));
    }
    // Deleted later, it leaves the settings file of that time alone.
    ScratchSettings later;
    RetiredItems::DeleteAll();
    EXPECT_EQ(0u, RetiredItems::GetCacheFolderCount());
    EXPECT_EQ(-1, GetAppIniInt(L"KWDoc", L"CacheQuality", -1));
}

// A look-up made in the background while its location's file is still being written (the folder
// was just left) does not wait for the writer: its item waits for the cache and is asked again,
// and once the file is whole the thumbnail comes from it.
TEST(CacheList, ABackgroundLookUpOfALocationBeingWrittenIsAskedAgainInsteadOfWaiting)
{
    StandardPlugins plugins;
    ScratchFolder pictures(L"pics");
    PictureFolder folder(pictures / L"f"), other(pictures / L"g");
    CacheScope scope;
    WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
    ASSERT_EQ(0, folder.Item(L"a.tpic", RGB(200, 100, 50))->StoreCache());
    ASSERT_EQ(0, folder.Item(L"b.tpic")->StoreCache());
    // The writer holds between its two records until released; should the look-up wait for it
    // after all, it is released after a while and the look-up's answer tells.
    static std::atomic<bool> released;
    released = false;
    CacheFileWriter::SetBetweenRecordsForTests([](const VyxCacheFolder::WriteWatch& watch) {
        while (!released.load() && !watch.stop.load())
            Sleep(1);
    });
    theCacheList.WriteInBackground();
    std::atomic<bool> answered{false};
    std::thread rescue([&] {
        for (int i = 0; i < 30000 && !answered; ++i)
            Sleep(1);
        released = true;
    });
    auto fresh = folder.Again(folder.items[0].get());
    fresh->SetCacheLookup(TRUE);
    const int found = theCacheList.LoadFromCache(fresh.get(), true);
    answered = true;
    EXPECT_EQ(VyxCacheList::StillReading, found);
    EXPECT_FALSE(fresh->HasThumbnail());
    EXPECT_TRUE(fresh->IsWaitingForCache());
    // Another location's item does not wait for that file.
    auto elsewhere = std::make_unique<VyxFile>((other.path + L"\\c.tpic").c_str());
    elsewhere->SetCacheLookup(TRUE);
    EXPECT_FALSE(elsewhere->IsWaitingForCache());

    released = true;
    rescue.join();
    CacheFileWriter::SetBetweenRecordsForTests(nullptr);
    for (int i = 0; i < 6000 && theCacheList.IsWriting(); ++i)
        theCacheList.WaitForReading(10);
    ASSERT_FALSE(theCacheList.IsWriting());
    EXPECT_FALSE(fresh->IsWaitingForCache());
    ASSERT_EQ(0, theCacheList.LoadFromCache(fresh.get()));
    EXPECT_EQ(RGB(200, 100, 50), dibtest::Pixel24(fresh->GetThumbnail(), 1, 1));
}
