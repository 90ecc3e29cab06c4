#include "CatalogueTestUtil.h"

#include "foundation/VyxPath.h"

#include <climits>

using namespace cataloguetest;

namespace {

const DWORD kTime = 1000000000; // 2001-09-09 01:46:40 UTC, 03:46:40 summer time in Berlin

// Reaches the facts that only the file system or a decoder set.
struct TestItem : VyxFile
{
    using VyxFile::VyxFile;
    void SetTimes(long long write, long long creation)
    {
        m_writeTime = write;
        m_creationTime = creation;
    }
    void SetCameraMaker(const char* maker) { lstrcpynA(PrepareExifInfo().CameraMake, maker, 32); }
};

// An archive file in a scratch folder and items for its members, as the scan makes them.
struct ArchiveItems
{
    ScratchFolder folder{L"items"};
    std::wstring archivePath = PutFile(folder, L"box.tarc", "TARC");

    TestItem Member(const char* path, const char* name, DWORD size = 999, int archiveId = 3)
    {
        VyxFileFind finder;
        EXPECT_TRUE(FindEntry(finder, folder.Path(), L"box.tarc"));
        SPIFileInfo record = MemberRecord(path, name, size, kTime, 77);
        return TestItem(finder, -1, archiveId, &record);
    }
};

CString ModuleFolder()
{
    CString folder;
    return GetModuleFolder(folder);
}

} // namespace

TEST(FileItem, PathConstructorReadsFactsAndKind)
{
    ScratchFolder folder(L"items");
    VyxFile file(PutFile(folder, L"photo.tar.gz", std::string(1234, 'x'), kTime).c_str());
    EXPECT_EQ(VyxFile::KindFile, file.GetKind());
    EXPECT_EQ(1234u, file.GetFileSize());
    EXPECT_EQ(kTime, file.GetFileTime());
    EXPECT_STREQ(folder.Path().c_str(), file.GetFolder().GetString());
    EXPECT_TRUE(VyxFile(PutFolder(folder, L"sub").c_str()).IsFolder());
    VyxFile missing((folder / L"missing.jpg").c_str());
    EXPECT_EQ(0u, missing.GetFileSize() + missing.GetFileTime());
}

TEST(FileItem, FoundEntryAndArchiveMemberConstructors)
{
    ArchiveItems archive;
    PutFolder(archive.folder, L"child");
    VyxFileFind finder;
    ASSERT_TRUE(FindEntry(finder, archive.folder.Path() + L"\\", L"child"));
    VyxFile child(finder, 5, -1, nullptr);
    EXPECT_TRUE(child.IsFolder());
    EXPECT_STREQ(archive.folder.Path().c_str(), child.GetFolder().GetString()); // no trailing separator

    // Member texts come in the code page their bytes suggest (here Shift_JIS).
    TestItem member = archive.Member("sub", "\x83\x65\x83\x58\x83\x67.jpg");
    EXPECT_TRUE(member.IsArchiveMember());
    EXPECT_STREQ(L"sub\\\u30c6\u30b9\u30c8.jpg", member.GetPath().GetString());
    EXPECT_STREQ(L"\u30c6\u30b9\u30c8.jpg", member.GetFileName().GetString());
    EXPECT_STREQ(archive.folder.Path().c_str(), member.GetFolder().GetString());
    EXPECT_STREQ(archive.archivePath.c_str(), member.GetArchivePath().GetString());
    EXPECT_STREQ(L"box.tarc", member.GetArchiveFileName().GetString());
    EXPECT_EQ(kTime, member.GetCreationTime());
    EXPECT_EQ(77u, member.GetArchivePosition());
    EXPECT_STREQ(L"pic.jpg", archive.Member("", "pic.jpg").GetPath().GetString());
}

TEST(FileItem, CopiesCarryTheExifOnlyWhenAsked)
{
    ArchiveItems archive;
    TestItem original = archive.Member("sub", "pic.jpg");
    original.SetCameraMaker("Maker");
    original.SetWidth(7);
    VyxFile copy(original);
    EXPECT_EQ(7, copy.GetWidth());
    ASSERT_NE(nullptr, copy.GetExifInfo());
    EXPECT_STREQ("Maker", copy.GetExifInfo()->CameraMake);
    VyxFile partial;
    partial.CopyFrom(original, false);
    EXPECT_TRUE(partial.IsSameFile(L"sub\\pic.jpg", original.GetArchivePath()));
    EXPECT_EQ(nullptr, partial.GetExifInfo());
}

TEST(FileItem, IdentityRenameAndArchiveMarkFollowTheirRules)
{
    VyxFile file(L"C:\\x.jpg\\x.jpg");
    EXPECT_TRUE(file.IsSameFile(L"c:\\X.JPG\\x.jpg", L""));
    EXPECT_FALSE(file.IsSameFile(L"C:\\x.jpg\\x.jpg", L"C:\\a.zip"));
    file.Rename(L"y.jpg");
    EXPECT_STREQ(L"C:\\x.jpg\\y.jpg", file.GetPath().GetString());

    ArchiveItems archive;
    TestItem member = archive.Member("sub", "pic.jpg");
    member.Rename(L"new.jpg");
    EXPECT_STREQ(L"sub\\new.jpg", member.GetPath().GetString());
    member.MarkAsArchive(VyxFile::KindArchive);
    EXPECT_TRUE(member.IsArchiveMember());

    file.MarkAsArchive(VyxFile::KindArchive);
    EXPECT_TRUE(file.IsArchive());
}

TEST(FileItem, PropertyTextsByIdAndUnknownIdsEmpty)
{
    ScratchFolder folder(L"items");
    std::wstring path = folder / L"photo.tar.gz";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 1234567;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    VyxFile item(path.c_str());
    item.SetBitCount(24);
    item.SetInfoText(L"info");
    const struct
    {
        int id;
        const wchar_t* text;
    } cases[] = {{3, L"photo.tar"}, {4, L"gz"},    {14, L"1.2MB"}, {15, L"1,234,567"}, {21, L"0"},
                 {22, L"24"},       {23, L"info"}, {24, L""},      {27, L""},          {28, L""},
                 {32, L""},         {56, L""},     {57, L""},      {-1, L""},          {INT_MIN, L""}};
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, item.VyxFilexInfo::GetPropertyText(c.id).GetString()) << "id " << c.id;

    // The short form exists for a file on disk, not for a member's path inside its archive.
    EXPECT_FALSE(item.GetPropertyText(7).IsEmpty());
    EXPECT_EQ(item.GetPropertyText(7).Right(item.GetPropertyText(8).GetLength()), item.GetPropertyText(8));
    ArchiveItems archive;
    EXPECT_TRUE(archive.Member("sub", "pic.jpg").GetPropertyText(7).IsEmpty());
    // From 1000 bytes on the value is scaled.
    EXPECT_EQ(L"KB", archive.Member("", "a", 1023).GetPropertyText(14).Right(2));
    EXPECT_STREQ(L"0", archive.Member("", "a", 0).GetPropertyText(15).GetString());
}

TEST(FileItem, DatesAreLocalTimesOfThePlatformTimeZone)
{
    ASSERT_TRUE(InBerlinTime());
    ScratchFolder folder(L"items");
    VyxFile file(PutFile(folder, L"dated.jpg", "x", kTime).c_str());
    EXPECT_STREQ(L"2001/09/09 03:46:40 2001/09/09 03:46:40", file.ExpandMacros(L"$(DateTime) $(D) $(T)").GetString());
    ArchiveItems archive;
    EXPECT_STREQ(L"2001/09/09 03:46:40", archive.Member("", "a").ExpandMacros(L"$(CD) $(CT)").GetString());
    TestItem winter(L"winter.jpg");
    winter.SetTimes(1010000000, 1010000000); // 2002-01-02 19:33:20 UTC
    EXPECT_STREQ(L"2002/01/02 20:33:20", winter.GetPropertyText(9).GetString());
}

TEST(FileItem, DateTextOfATimeTheLocalTimeConversionRefusesIsEmpty)
{
    TestItem item(L"x.jpg");
    for (long long time : {-1LL, -788950800LL, 32535216000LL, LLONG_MAX, LLONG_MIN}) {
        item.SetTimes(time, time);
        for (int id : {9, 10, 11, 12, 13})
            EXPECT_TRUE(item.GetPropertyText(id).IsEmpty()) << time << " id " << id;
    }
}

TEST(FileItem, MacroTemplatesExpandByTheTable)
{
    ArchiveItems archive;
    TestItem member = archive.Member("sub", "pic.jpg");
    member.SetNoteText(L"NOTE");
    CString parent;
    GetPathPart(parent, archive.folder.Path().c_str(), PartFileName);
    const CString folder = archive.folder.Path().c_str();
    const CString arcPath = archive.archivePath.c_str();

    const struct
    {
        const wchar_t* templateText;
        CString expanded;
    } cases[] = {
        {L"", L""},
        {L"no words here", L"no words here"},
        {L"$(Path)|$(P)", L"sub\\pic.jpg|sub\\pic.jpg"},
        {L"$(Folder)|$(Dir)|$(F)", folder + L"|" + folder + L"|" + folder},
        {L"$(FileName)|$(FN)|$(Name)|$(Ext)|$(E)", L"pic.jpg|pic.jpg|pic|jpg|jpg"},
        {L"$(ParentDir)|$(PD)|$(ExeDir)", parent + L"|" + parent + L"|" + ModuleFolder()},
        {L"$(ArcPath)|$(AP)|$(ArcFileName)|$(AFN)", arcPath + L"|" + arcPath + L"|box.tarc|box.tarc"},
        {L"$(Length)|$(L)|$(Size)|$(S)", L"999B|999B|999|999"},
        {L"$(Width)x$(H)x$(C)/$(W)x$(Height)x$(Color)", L"0x0x0/0x0x0"},
        {L"[$(Info)$(I)$(ShortPath)$(SFN)]", L"[]"},
        {L"$(N)/$(Note)/$(Comment)", L"pic/NOTE/NOTE"},
        {L"$(Name)-$(Name)", L"pic-pic"},
        {L"$(SpiName)", L"/"},
        {L"[$(ExifWidth)$(ExifCameraMaker)$(ExifVersion)$(ExifComments)]", L"[]"},
        {L"$(Unknown) $(name) $(", L"$(Unknown) $(name) $("},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.expanded.GetString(), member.ExpandMacros(c.templateText).GetString()) << c.templateText;
}

TEST(FileItem, ValueHoldingItsOwnMacroWordIsExpandedOnce)
{
    ArchiveItems archive;
    TestItem member = archive.Member("", "$(Name).jpg");
    EXPECT_STREQ(L"$(Name) $(Name)", member.ExpandMacros(L"$(Name) $(Name)").GetString());
    EXPECT_STREQ(L"$(Name).jpg", member.ExpandMacros(L"$(FileName)").GetString());
}

TEST(FileItem, InsertedValuesAreNeverExpandedAgain)
{
    ArchiveItems archive;
    // Words of later rows inside a value stay as they stand, whatever row brought the value in.
    const struct
    {
        const char* name;
        const wchar_t* templateText;
        const wchar_t* expanded;
    } cases[] = {
        {"$(Ext)x.jpg", L"$(FileName)", L"$(Ext)x.jpg"},
        {"$(Ext)x.jpg", L"$(Name)|$(Ext)", L"$(Ext)x|jpg"},
        {"$(ArcFileName)", L"$(FN)", L"$(ArcFileName)"},
        {"$(N)$(Size)", L"[$(FileName)] $(Size)", L"[$(N)$(Size)] 999"},
        // A value and the template after it never join into a word.
        {"a$(E", L"$(FileName))", L"a$(E)"},
    };
    for (const auto& c : cases) {
        TestItem member = archive.Member("", c.name);
        EXPECT_STREQ(c.expanded, member.ExpandMacros(c.templateText).GetString()) << c.name;
    }
}

TEST(FileItem, NoteHoldingMacroWordsComesOutAsItStands)
{
    VyxFile item(L"C:\\pictures\\pic.jpg");
    item.SetNoteText(L"a $(Note) b of $(Name)");
    EXPECT_STREQ(L"a $(Note) b of $(Name)", item.GetPropertyText(24).GetString());
    EXPECT_STREQ(L"[a $(Note) b of $(Name)] pic", item.ExpandMacros(L"[$(Comment)] $(Name)").GetString());
}
