#include "CatalogueTestUtil.h"

#include "catalogue/CFileList.h"

#include <algorithm>

using namespace cataloguetest;

namespace {

const long long kTime = 1000000000; // 2001-09-09 03:46:40 summer time in Berlin

// A request on the program's host that deletes what it still holds when the test ends.
struct Request : CFileList
{
    explicit Request(const std::wstring& folder)
    {
        SetImageHost(&theSPImapIndex);
        SetFolder(folder.c_str());
        SetShowFolders(true);
    }
    ~Request() { DeleteAt(-1); }

    // "name" for a first-pass item, "name+" for a later one; members as "archive:path".
    std::vector<std::wstring> Found() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < GetCount(); ++i) {
            const VyxFile* item = GetAt(i);
            std::wstring name = item->IsArchiveMember()
                                    ? std::wstring(item->GetArchiveFileName()) + L":" + item->GetPath().GetString()
                                    : std::wstring(item->GetFileName());
            names.push_back(name + (GetFlagAt(i) ? L"+" : L""));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

using Names = std::vector<std::wstring>;

struct Scanning : StandardPlugins
{
    ScratchFolder folder{L"scan"};
};

void PostKey(UINT key)
{
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, key, 0);
}

// Takes every waiting key-down and returns their keys.
std::vector<WPARAM> WaitingKeys()
{
    std::vector<WPARAM> keys;
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
        keys.push_back(message.wParam);
    return keys;
}

SYSTEMTIME LocalDate(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

} // namespace

TEST(FolderScan, EachPatternIsAPassAndLaterPassesAreFlagged)
{
    Scanning f;
    for (const wchar_t* name : {L"a.jpg", L"ab.jpg", L"b.png", L"c.txt"})
        PutFile(f.folder, name, "x");
    PutFolder(f.folder, L"sub");

    Request all(f.folder.Path());
    ASSERT_EQ(CFileList::ScanDone, all.Scan());
    EXPECT_FALSE(all.IsPatternListInUse());
    EXPECT_EQ((Names{L"a.jpg", L"ab.jpg", L"b.png", L"c.txt", L"sub"}), all.Found());

    Request two(f.folder.Path());
    two.SetNamePatterns(L"\"*.jpg\";;*.PNG");
    ASSERT_EQ(CFileList::ScanDone, two.Scan());
    EXPECT_TRUE(two.IsPatternListInUse());
    EXPECT_EQ((Names{L"a.jpg", L"ab.jpg", L"b.png+"}), two.Found());
    EXPECT_STREQ(L"\"*.jpg\";;*.PNG", two.GetNamePatterns().GetString());

    Request overlapping(f.folder.Path());
    overlapping.SetNamePatterns(L"*.jpg;a*.*");
    overlapping.Scan();
    EXPECT_EQ((Names{L"a.jpg", L"a.jpg+", L"ab.jpg", L"ab.jpg+"}), overlapping.Found());
}

TEST(FolderScan, SideFilesHiddenEntriesAndFoldersFollowTheOptions)
{
    Scanning f;
    for (const wchar_t* name : {L"_THUMBS_.KWI", L"_Note_.kwi", L"_CONFIG_.KWI"})
        PutFile(f.folder, name, "x");
    Request sideOnly(f.folder.Path());
    sideOnly.Scan();
    EXPECT_TRUE(sideOnly.Found().empty());

    SetFileAttributesW(PutFile(f.folder, L"hidden.jpg", "x").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(PutFolder(f.folder, L"hiddenDir").c_str(), FILE_ATTRIBUTE_HIDDEN);
    PutFolder(f.folder, L"shown");
    Request plain(f.folder.Path());
    plain.Scan();
    EXPECT_EQ((Names{L"shown"}), plain.Found());
    Request hidden(f.folder.Path());
    hidden.SetShowHidden(true);
    hidden.SetShowFolders(false);
    hidden.Scan();
    EXPECT_EQ((Names{L"hidden.jpg"}), hidden.Found());
}

TEST(FolderScan, ArchivesExpandIntoTheirMembersAndUnlistableOnesVanish)
{
    Scanning f;
    PutFile(f.folder, L"box.tarc",
            MakeTestArchive(0, {{"sub", "pic.tpic", "x", 0, 1}, {"", "top.tpic", "x", 0, 1}, {"", "", "x", 0, 1}}));
    PutFile(f.folder, L"fake.tarc", "not an archive");
    PutFile(f.folder, L"empty.tarc", "");
    PutFile(f.folder, L"pic.tpic", "x");

    Request unexpanded(f.folder.Path());
    unexpanded.Scan();
    EXPECT_EQ((Names{L"box.tarc", L"empty.tarc", L"fake.tarc", L"pic.tpic"}), unexpanded.Found());

    Request expanded(f.folder.Path());
    expanded.SetExpandArchives(true);
    expanded.Scan();
    EXPECT_EQ((Names{L"box.tarc:sub\\pic.tpic", L"box.tarc:top.tpic", L"pic.tpic"}), expanded.Found());
    const VyxFile* member = expanded.GetAt(0)->IsArchiveMember() ? expanded.GetAt(0) : expanded.GetAt(1);
    EXPECT_EQ(HostPlugins::ArchiveId(L"arc"), member->GetArchivePluginId());
    EXPECT_STREQ(f.folder.Path().c_str(), member->GetFolder().GetString());

    // The folder search itself applies a single pattern: the archive file is not even found.
    Request patterned(f.folder.Path());
    patterned.SetExpandArchives(true);
    patterned.SetNamePatterns(L"*.tpic");
    patterned.Scan();
    EXPECT_EQ((Names{L"pic.tpic"}), patterned.Found());
}

TEST(FolderScan, ArchiveLocationTestsEachMemberAgainstThePattern)
{
    Scanning f;
    PutFile(f.folder, L"box.tarc",
            MakeTestArchive(TestArchiveBareListing, {{"sub", "pic.tpic", "12345", 0, 1}, {"", "read.me", "x", 0, 1}}));
    Request location(f.folder.Path());
    location.SetArchiveFileName(L"box.tarc");
    location.SetNamePatterns(L"*.tpic");
    ASSERT_EQ(CFileList::ScanDone, location.Scan());
    ASSERT_EQ((Names{L"box.tarc:sub\\pic.tpic"}), location.Found());
    // A listing without positions and sizes is completed from the member information.
    EXPECT_EQ(5u, location.GetAt(0)->GetFileSize());
    EXPECT_NE(0u, location.GetAt(0)->GetArchivePosition());
}

TEST(FolderScan, SubFoldersAreMergedButNotListed)
{
    Scanning f;
    PutFile(f.folder, L"top.jpg", "x");
    PutFolder(f.folder, L"a");
    PutFile(f.folder, L"a\\x.jpg", "x");
    SetFileAttributesW(PutFolder(f.folder, L"a\\h").c_str(), FILE_ATTRIBUTE_HIDDEN);
    PutFile(f.folder, L"a\\h\\y.jpg", "x");
    SetFileAttributesW(PutFile(f.folder, L"a\\h\\z.jpg", "x").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Request tree(f.folder.Path());
    tree.SetIncludeSubFolders(true);
    ASSERT_EQ(CFileList::ScanDone, tree.Scan());
    EXPECT_EQ((Names{L"top.jpg", L"x.jpg", L"y.jpg"}), tree.Found());
}

TEST(FolderScan, ScanDoesNotFollowALinkedFolderRound)
{
    // sub\up links back to the folder itself.
    std::wstring linked = L"Z:" VYX_CATALOGUE_LINKED_FOLDER;
    std::replace(linked.begin(), linked.end(), L'/', L'\\');
    ASSERT_TRUE(ScratchFolder::Exists(linked + L"\\sub\\up\\sub\\picture.tpic"));
    Request tree(linked);
    tree.SetIncludeSubFolders(true);
    ASSERT_EQ(CFileList::ScanDone, tree.Scan());
    EXPECT_EQ((Names{L"picture.tpic"}), tree.Found());
}

TEST(FolderScan, SizeFilterIsInclusiveAndRefusesFilesBeyond32Bits)
{
    Scanning f;
    PutFile(f.folder, L"empty.jpg", "");
    PutFile(f.folder, L"two.jpg", "12");
    PutFile(f.folder, L"three.jpg", "123");
    PutFile(f.folder, L"four.jpg", "1234");
    HANDLE file = CreateFileW((f.folder / L"huge.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000002LL;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);

    Request empty(f.folder.Path());
    empty.SetShowFolders(false);
    empty.SetSizeFilter(true, 0, 0);
    empty.Scan();
    EXPECT_EQ((Names{L"empty.jpg"}), empty.Found());
    Request range(f.folder.Path());
    range.SetSizeFilter(true, 2, 3);
    range.Scan();
    EXPECT_EQ((Names{L"three.jpg", L"two.jpg"}), range.Found());
    Request wide(f.folder.Path());
    wide.SetSizeFilter(true, 0, 0xFFFFFFFF);
    wide.Scan();
    EXPECT_EQ(4u, wide.Found().size());
}

TEST(FolderScan, DateFilterBoundsAreInclusiveLocalTimes)
{
    ASSERT_TRUE(InBerlinTime());
    Scanning f;
    PutFile(f.folder, L"at.jpg", "x", kTime);
    PutFile(f.folder, L"after.jpg", "x", kTime + 1);
    PutFile(f.folder, L"before.jpg", "x", kTime - 3 * 3600 - 47 * 60); // 2001-09-08 23:59:40 local
    PutFile(f.folder, L"old.jpg", "x", -315619200);                    // 1960-01-01 UTC

    Request day(f.folder.Path());
    day.SetDateFilter(true, LocalDate(2001, 9, 9), LocalDate(2001, 9, 9, 3, 46, 40));
    day.Scan();
    EXPECT_EQ((Names{L"at.jpg"}), day.Found());

    // A bound of a year before 1900 counts as 0, and so does one before 1970.
    for (WORD year : {1899, 1960}) {
        Request early(f.folder.Path());
        early.SetDateFilter(true, LocalDate(year, 1, 1), LocalDate(2001, 9, 8, 23, 59, 59));
        early.Scan();
        EXPECT_EQ((Names{L"before.jpg"}), early.Found()) << year;
    }
}

TEST(FolderScan, AbortKeyEndsTheScanEmptyAndStaysQueued)
{
    Scanning f;
    for (int i = 0; i < 5; ++i)
        PutFile(f.folder, std::to_wstring(i) + L".jpg", "x");
    WaitingKeys();

    Request aborted(f.folder.Path());
    aborted.SetNamePatterns(L"0.jpg;*.jpg");
    aborted.SetAbortCheck(true);
    PostKey(VK_ESCAPE);
    EXPECT_EQ(CFileList::ScanAborted, aborted.Scan());
    EXPECT_EQ(0, aborted.GetCount());
    EXPECT_EQ((std::vector<WPARAM>{VK_ESCAPE}), WaitingKeys());

    // Another key does not stop the scan and is used up.
    Request letter(f.folder.Path());
    letter.SetAbortCheck(true);
    PostKey('A');
    PostKey(VK_DOWN);
    EXPECT_EQ(CFileList::ScanAborted, letter.Scan());
    EXPECT_EQ((std::vector<WPARAM>{VK_DOWN}), WaitingKeys());
    PostKey('A');
    EXPECT_EQ(CFileList::ScanDone, letter.Scan());
    EXPECT_EQ(5, letter.GetCount());
    EXPECT_TRUE(WaitingKeys().empty());

    // Without keys every key-down is used up and none aborts; without the check none is looked at.
    const UINT none[] = {0};
    EXPECT_FALSE(CFileList::AbortKeyPressed(none));
    PostKey(VK_ESCAPE);
    EXPECT_FALSE(CFileList::AbortKeyPressed(none));
    EXPECT_TRUE(WaitingKeys().empty());
    Request unchecked(f.folder.Path());
    PostKey(VK_ESCAPE);
    EXPECT_EQ(CFileList::ScanDone, unchecked.Scan());
    EXPECT_EQ(1u, WaitingKeys().size());
}

namespace {

int g_pulses = 0;

void CountPulse()
{
    ++g_pulses;
}

} // namespace

// A caller waiting on a long listing (the start-up, which shows its window on the way) hears
// from every scan at each entry, whether the scan looks for abort keys or not, until it stops
// listening.
TEST(FolderScan, TheScanPulseBeatsAtEveryEntryUntilCleared)
{
    Scanning f;
    for (int i = 0; i < 5; ++i)
        PutFile(f.folder, L"写真_" + std::to_wstring(i) + L".a~&b.jpg", "x");
    CFileList::SetScanPulse(&CountPulse);
    for (bool checked : {false, true}) {
        g_pulses = 0;
        Request request(f.folder.Path());
        request.SetAbortCheck(checked);
        EXPECT_EQ(CFileList::ScanDone, request.Scan());
        EXPECT_EQ(5, request.GetCount());
        EXPECT_GE(g_pulses, 5) << checked;
    }
    CFileList::SetScanPulse(nullptr);
    g_pulses = 0;
    Request quiet(f.folder.Path());
    quiet.Scan();
    EXPECT_EQ(0, g_pulses);
}
