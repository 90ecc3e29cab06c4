#include "ThumbnailTestUtil.h"

#include "catalogue/CFileList.h"
#include "catalogue/ListedSideFiles.h"
#include "catalogue/VyxCacheIndex.h"
#include "image/DibCore.h"

using namespace thumbtest;

namespace {

const ULONGLONG kSecond = 10000000ull;

ULONGLONG Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<ULONGLONG>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

// Sets the folder's write time (in 100 ns units), as a change made in it at that time would.
void SetFolderTime(const std::wstring& folder, ULONGLONG ticks)
{
    HANDLE handle = CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    const FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &time));
    CloseHandle(handle);
}

ULONGLONG FolderTime(const std::wstring& folder)
{
    FileStamp stamp;
    EXPECT_TRUE(FileStamp::Read(folder.c_str(), stamp));
    return static_cast<ULONGLONG>(stamp.written.dwHighDateTime) << 32 | stamp.written.dwLowDateTime;
}

// The folder listed as the document lists it (patterns: ";"-separated, empty for every name).
void List(const std::wstring& folder, const wchar_t* patterns = L"")
{
    CFileList request;
    request.SetImageHost(&theSPImapIndex);
    request.SetFolder(folder.c_str());
    request.SetNamePatterns(patterns);
    ASSERT_EQ(CFileList::ScanDone, request.Scan());
    request.DeleteAt(-1);
}

// A file put into the folder behind the listing's back: the folder keeps the write time it had,
// as though nothing had changed since it was listed.
void PutUnseen(const ScratchFolder& folder, const wchar_t* name)
{
    const ULONGLONG before = FolderTime(folder.Path());
    PutFile(folder, name, "[Layout]\r\n");
    SetFolderTime(folder.Path(), before);
}

// As the folder's layout is looked up when it is entered, trusting its listing.
bool HasConfig(const std::wstring& folder)
{
    CString path;
    return VyxCacheIndex().FindConfigFile(path, folder.c_str(), L"", true);
}

struct Listing
{
    Listing() { ListedSideFiles::Forget(); }
    ~Listing() { ListedSideFiles::Forget(); }
    StandardPlugins plugins;
};

} // namespace

// What a whole listing of a folder that has stood a while saw of the side files holds while the
// folder stands as it was: a side file it did not show is not looked for (under this platform
// that reads a large folder whole), one it showed is. Any change of the folder ends that.
TEST(ListedSideFiles, AFileTheListingDidNotShowIsNotLookedForWhileTheFolderStandsAsItWas)
{
    Listing listing;
    ScratchFolder folder(L"listed");
    PutFile(folder, L"a.tpic", plugintest::MakeTestPicture(0, 8, 6));
    PutFile(folder, L"_THUMBS_.KWI", "x");
    // A folder last changed a minute ago, at a time finer than a second.
    SetFolderTime(folder.Path(), Now() - 60 * kSecond + 1234567);
    List(folder.Path());
    EXPECT_TRUE(ListedSideFiles::KnownMissing(folder.Path().c_str(), ListedSideFiles::Config));
    EXPECT_TRUE(ListedSideFiles::KnownMissing(folder.Path().c_str(), ListedSideFiles::Note));
    EXPECT_FALSE(ListedSideFiles::KnownMissing(folder.Path().c_str(), ListedSideFiles::Thumbs));

    PutUnseen(folder, L"_CONFIG_.KWI");
    EXPECT_FALSE(HasConfig(folder.Path()));
    // A look-up that goes on to write asks the disk: a note file never hides behind the listing.
    EXPECT_TRUE(VyxCacheIndex().HasConfigFile(folder.Path().c_str(), L""));
    PutUnseen(folder, L"_NOTE_.KWI");
    EXPECT_TRUE(VyxCacheIndex().HasNoteFile(folder.Path().c_str(), L""));
    CString found;
    EXPECT_TRUE(VyxCacheIndex().FindThumbsFile(found, folder.Path().c_str(), L""));
    // Another spelling of the folder is the same folder.
    EXPECT_TRUE(ListedSideFiles::KnownMissing((folder.Path() + L"\\").c_str(), ListedSideFiles::Config));

    // The folder changed: its files are looked for again.
    SetFolderTime(folder.Path(), FolderTime(folder.Path()) + kSecond);
    EXPECT_TRUE(HasConfig(folder.Path()));
    EXPECT_FALSE(ListedSideFiles::KnownMissing(folder.Path().c_str(), ListedSideFiles::Note));
}

// Nothing is kept from a listing that may have missed a name: of some names only, of a folder
// changed a moment before (a change in the same tick of its time would not show), or one whose
// time is of whole seconds changed less than a few seconds before (such a file system's tick is
// as long).
TEST(ListedSideFiles, AListingThatMayHaveMissedANameTellsNothing)
{
    Listing listing;
    const ULONGLONG fine = 1234567;
    // Each time is taken from the clock just before its folder is listed.
    struct Case
    {
        const wchar_t* what;
        const wchar_t* patterns;
        ULONGLONG (*time)(ULONGLONG now, ULONGLONG fine);
    } cases[] = {
        {L"some names", L"*.tpic", [](ULONGLONG now, ULONGLONG fine) { return now - 60 * kSecond + fine; }},
        // As far as the file system knows: its clock may be ahead of this one.
        {L"changed a moment before", L"", [](ULONGLONG now, ULONGLONG fine) { return now + 30 * kSecond + fine; }},
        {L"whole seconds, changed a second before", L"",
         [](ULONGLONG now, ULONGLONG) { return now - now % kSecond - kSecond; }},
    };
    for (const Case& c : cases) {
        ScratchFolder folder(L"listed");
        PutFile(folder, L"a.tpic", plugintest::MakeTestPicture(0, 8, 6));
        SetFolderTime(folder.Path(), c.time(Now(), fine));
        List(folder.Path(), c.patterns);
        PutUnseen(folder, L"_CONFIG_.KWI");
        EXPECT_TRUE(HasConfig(folder.Path())) << c.what;
    }
    // Of whole seconds and settled long enough, the listing holds.
    ScratchFolder folder(L"listed");
    const ULONGLONG time = Now() - 10 * kSecond;
    SetFolderTime(folder.Path(), time - time % kSecond);
    List(folder.Path());
    PutUnseen(folder, L"_CONFIG_.KWI");
    EXPECT_FALSE(HasConfig(folder.Path()));
}

// A location whose cache file its listing showed restores its records as they are checked
// against the files: a picture changed since its record was written is made again.
TEST(ListedSideFiles, ACacheRecordFoundAfterTheListingIsStillRefusedForAPictureChangedSince)
{
    Listing listing;
    ScratchFolder pictures(L"listed");
    const std::wstring kept = PutFile(pictures, L"kept.tpic", plugintest::MakeTestPicture(0, 8, 6), 1500000000);
    const std::wstring changed =
        PutFile(pictures, L"changed.tpic", plugintest::MakeTestPicture(0, 8, 6), 1500000000);
    {
        CacheScope scope;
        WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
        for (const std::wstring& path : {kept, changed}) {
            VyxFile item(path.c_str());
            item.DetectPlugin();
            item.SetThumbnail(CreateDib(4, 3, 24));
            ASSERT_EQ(0, item.StoreCache());
        }
        ASSERT_EQ(1, theCacheList.Flush());
    }
    PutFile(pictures, L"changed.tpic", plugintest::MakeTestPicture(0, 10, 6), 1500000100);
    SetFolderTime(pictures.Path(), Now() - 60 * kSecond + 1234567);
    List(pictures.Path());

    CacheScope scope;
    VyxFile keptAgain(kept.c_str()), changedAgain(changed.c_str());
    keptAgain.DetectPlugin();
    changedAgain.DetectPlugin();
    EXPECT_EQ(0, theCacheList.LoadFromCache(&keptAgain));
    EXPECT_TRUE(keptAgain.HasThumbnail());
    EXPECT_NE(0, theCacheList.LoadFromCache(&changedAgain));
    EXPECT_FALSE(changedAgain.HasThumbnail());
}
