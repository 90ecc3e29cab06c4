#include "ThumbnailTestUtil.h"

#include "catalogue/VyxFilexDraw.h"
#include "catalogue/VyxNoteStore.h"

#include <vector>

using namespace thumbtest;

namespace {

std::wstring IniValue(const std::wstring& file, const wchar_t* section, const wchar_t* key)
{
    wchar_t text[512] = {};
    GetPrivateProfileStringW(section, key, L"<none>", text, 512, file.c_str());
    return text;
}

} // namespace

TEST(NoteStore, SectionsAreTheFileNamesWithBracketsAsBraces)
{
    ScratchFolder folder(L"notes");
    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    std::wstring path = folder / L"a[1].jpg";
    ASSERT_EQ(1, store.WriteNote(path.c_str(), L"桜の写真"));
    EXPECT_EQ(L"桜の写真", IniValue(folder / L"_NOTE_.KWI", L"a{1}.jpg", L"Note"));
    EXPECT_STREQ(L"桜の写真", store.ReadNote(path.c_str()));
    EXPECT_STREQ(L"", store.ReadNote((folder / L"a(1).jpg").c_str()));
}

TEST(NoteStore, MembersAreFiledByTheirPathUnderTheArchivesLocation)
{
    ScratchFolder folder(L"notes");
    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"box.zip");
    ASSERT_EQ(1, store.WriteNote(L"sub\\pic.jpg", L"inside"));
    EXPECT_EQ(L"inside", IniValue(folder / L"_NOTE_.KWI", L"sub\\pic.jpg", L"Note"));
    EXPECT_STREQ(L"inside", store.ReadNote(L"sub\\pic.jpg"));
}

TEST(NoteStore, ClearingTheLastNoteLeavesNoFileAndNoIndexEntry)
{
    ScratchFolder root(L"root"), folder(L"notes");
    for (bool withRoot : {false, true}) {
        VyxNoteStore store(withRoot ? root.Path().c_str() : L"");
        store.SetLocation(folder.Path().c_str(), L"");
        std::wstring path = folder / L"only.jpg";
        ASSERT_EQ(1, store.WriteNote(path.c_str(), L"one"));
        CString file;
        ASSERT_TRUE(store.FindNoteFile(file, folder.Path().c_str(), L""));
        EXPECT_EQ(1, store.WriteNote(path.c_str(), L""));
        EXPECT_FALSE(ScratchFolder::Exists(file.GetString())) << withRoot;
        EXPECT_FALSE(store.HasNoteFile(folder.Path().c_str(), L""));
        if (withRoot) {
            EXPECT_EQ(L"<none>", IniValue(root / L"_cache_.lst", L"Note",
                                          VyxCacheIndex::GetLocationKey(folder.Path().c_str(), L"")));
        }
        // A note file that still holds other notes stays.
        store.WriteNote((folder / L"keep.jpg").c_str(), L"kept");
        store.WriteNote(path.c_str(), L"two");
        EXPECT_EQ(1, store.DeleteNote(path.c_str()));
        EXPECT_STREQ(L"kept", store.ReadNote((folder / L"keep.jpg").c_str()));
        EXPECT_STREQ(L"", store.ReadNote(path.c_str()));
        store.DeleteNote((folder / L"keep.jpg").c_str());
    }
}

TEST(NoteStore, SameNamesInOtherFoldersHaveTheirOwnNotes)
{
    ScratchFolder root(L"root"), one(L"one"), two(L"two");
    VyxNoteStore store(root.Path().c_str());
    store.SetLocation(one.Path().c_str(), L"");
    store.WriteNote((one / L"x.jpg").c_str(), L"first");
    store.SetLocation(two.Path().c_str(), L"");
    store.WriteNote((two / L"x.jpg").c_str(), L"second");
    EXPECT_STREQ(L"second", store.ReadNote((two / L"x.jpg").c_str()));
    store.SetLocation(one.Path().c_str(), L"");
    EXPECT_STREQ(L"first", store.ReadNote((one / L"x.jpg").c_str()));
}

TEST(NoteStore, NotesWithLineBreaksAreWrittenInTheirBackslashForm)
{
    ScratchFolder folder(L"notes");
    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    std::wstring path = folder / L"a.jpg";
    ASSERT_EQ(1, store.WriteNote(path.c_str(), L"line one\r\n[b.jpg]\nNote=forged\rend"));
    EXPECT_STREQ(L"line one\\n[b.jpg]\\nNote=forged\\nend", store.ReadNote(path.c_str()));
    EXPECT_STREQ(L"", store.ReadNote((folder / L"b.jpg").c_str()));
    // Texts already in that form (from the comment dialog) stay as they are.
    ASSERT_EQ(1, store.WriteNote(path.c_str(), L"a\\nb"));
    EXPECT_STREQ(L"a\\nb", store.ReadNote(path.c_str()));
}

TEST(NoteStore, NotesFollowAFolderRenameUnderTheCacheRoot)
{
    ScratchFolder root(L"root"), pictures(L"pics");
    std::wstring before = pictures / L"before", after = pictures / L"after";
    CreateDirectoryW(before.c_str(), nullptr);
    VyxNoteStore store(root.Path().c_str());
    store.SetLocation(before.c_str(), L"");
    ASSERT_EQ(1, store.WriteNote((before + L"\\p.jpg").c_str(), L"moved with it"));
    ASSERT_TRUE(MoveFileW(before.c_str(), after.c_str()));
    store.RenameFolder(after.c_str(), before.c_str());
    store.SetLocation(after.c_str(), L"");
    EXPECT_STREQ(L"moved with it", store.ReadNote((after + L"\\p.jpg").c_str()));
}

TEST(NoteStore, AnItemReadsItsNoteOnceAndWritesThrough)
{
    CacheScope scope;
    ScratchFolder folder(L"notes");
    std::wstring path = PutFile(folder, L"p.jpg", "x");
    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    store.WriteNote(path.c_str(), L"on disk");

    VyxFile item(path.c_str());
    EXPECT_STREQ(L"on disk", item.GetNote());
    store.WriteNote(path.c_str(), L"changed behind its back");
    EXPECT_STREQ(L"on disk", item.GetNote());
    EXPECT_STREQ(L"on disk", item.ExpandMacros(L"$(Note)"));

    item.SetNote(L"new note");
    EXPECT_STREQ(L"new note", store.ReadNote(path.c_str()));
    EXPECT_EQ(1, item.DeleteNote());
    EXPECT_STREQ(L"", item.GetNote());
    EXPECT_FALSE(ScratchFolder::Exists(folder / L"_NOTE_.KWI"));
}

TEST(NoteStore, NamesThatFoldToOneSectionAreFoundHoweverTheFileSystemComparesThem)
{
    ScratchFolder folder(L"notes");
    const std::vector<std::pair<std::wstring, std::wstring>> twins = {
        {L"k[1].jpg", L"K{1}.JPG"},
        {L"pic_1.2~&.jpg", L"\u3000PIC_1.2~&.jpg"},
        {L".a[1].jpg", L" .A{1}.JPG"},
        {L"\uFF31[2].png", L"\uFF51{2}.PNG"},
    };
    for (const auto& twin : twins) {
        PutFile(folder, twin.first, "x");
        PutFile(folder, twin.second, "x");
    }
    PutFile(folder, L"k(1).jpg", "x");
    PutFile(folder, L"a[1].jpg", "x");

    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    // More questions than one folder stamp answers by a search each: the whole listing answers the rest.
    for (int round = 0; round < 3; ++round)
        for (const auto& twin : twins)
            for (const std::wstring* name : {&twin.first, &twin.second}) {
                SCOPED_TRACE(*name);
                std::wstring path = folder / *name;
                EXPECT_TRUE(store.SharesSection(path.c_str()));
                std::vector<CString> others = store.GetNamesSharingSection(path.c_str());
                ASSERT_EQ(1u, others.size());
                EXPECT_STREQ((name == &twin.first ? twin.second : twin.first).c_str(), others[0]);
            }
    for (const wchar_t* name : {L"k(1).jpg", L"a[1].jpg", L"new.jpg"}) {
        std::wstring path = folder / name;
        EXPECT_FALSE(store.SharesSection(path.c_str())) << name;
        EXPECT_TRUE(store.GetNamesSharingSection(path.c_str()).empty()) << name;
    }
    ASSERT_EQ(1, store.WriteNote((folder / L"a[1].jpg").c_str(), L"own"));
    EXPECT_EQ(VyxNoteStore::NoteRefused, store.WriteNote((folder / L"k[1].jpg").c_str(), L"other"));
}

TEST(NoteStore, AJobsListingOfAFolderLetsItsWindowAnswerAndMayBeAskedAgainMeanwhile)
{
    ScratchFolder folder(L"notes");
    const int files = 300;
    for (int i = 0; i < files; ++i)
        PutFile(folder, L"p" + std::to_wstring(i) + L".jpg", "x");
    PutFile(folder, L"p[7].jpg", "x");

    VyxNoteStore store;
    store.SetLocation(folder.Path().c_str(), L"");
    VyxNoteSession session;
    int calls = 0;
    bool answering = false, nestedShared = false;
    session.SetBetweenEntries([&] {
        ++calls;
        // A window answering meanwhile may ask the same folder, as a paint of the list would.
        if (!answering && calls == 1) {
            answering = true;
            nestedShared = store.SharesSection((folder / L"p{7}.jpg").c_str());
            answering = false;
        }
    });
    EXPECT_TRUE(store.SharesSection((folder / L"p{7}.jpg").c_str()));
    EXPECT_TRUE(nestedShared);
    EXPECT_GE(calls, files / 128);
    const int afterListing = calls;
    EXPECT_FALSE(store.SharesSection((folder / L"p8.jpg").c_str()));
    EXPECT_EQ(afterListing, calls);
}
