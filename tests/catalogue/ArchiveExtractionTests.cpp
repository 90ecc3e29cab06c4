#include "CatalogueTestUtil.h"

#include <algorithm>
#include <memory>

using namespace cataloguetest;

namespace {

const DWORD kTime = 1100000000;

struct Extraction : StandardPlugins
{
    ScratchFolder folder{L"extract"};
    std::wstring destination = PutFolder(folder, L"out");

    std::wstring Archive(BYTE flags, const std::vector<MemberSpec>& members)
    {
        return PutFile(folder, L"box.tarc", MakeTestArchive(flags, members));
    }
    std::string Read(const std::wstring& relative) { return ScratchFolder::ReadFile(destination + L"\\" + relative); }
};

long long WriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return FileTimeToUnixTime(data.ftLastWriteTime);
}

// Every file below root, as paths relative to it.
void ListTree(const std::wstring& root, const std::wstring& prefix, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTree(root + L"\\" + name, prefix + name + L"\\", out);
        else
            out.push_back(prefix + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace

TEST(ArchiveExtraction, MemberIsWrittenIntoTheFolder)
{
    Extraction f;
    std::wstring archive = f.Archive(0, {{"dir", "one.bin", "0123456789", 0, kTime}});
    std::unique_ptr<VyxFile> member(NewMemberItem(archive, ListMembers(archive)[0]));
    ASSERT_TRUE(member);
    EXPECT_EQ(0, member->ExtractTo(f.destination.c_str()));
    EXPECT_EQ("0123456789", f.Read(L"one.bin"));
}

TEST(ArchiveExtraction, ArchiveIsUnpackedWithItsFoldersAndTimes)
{
    Extraction f;
    for (BYTE flags : {BYTE(0), BYTE(TestArchiveBareListing)}) {
        std::wstring archive = f.Archive(flags, {{"dir\\deeper", "one.bin", "0123456789", 0, kTime},
                                                 {"dir\\", "two.bin", "abc", 0, kTime + 60},
                                                 {"empty", "", "", 0, 0}});
        VyxFile item(archive.c_str());
        EXPECT_EQ(0, item.ExtractTo(f.destination.c_str())) << flags;
        EXPECT_EQ("0123456789", f.Read(L"dir\\deeper\\one.bin"));
        EXPECT_EQ("abc", f.Read(L"dir\\two.bin"));
        EXPECT_EQ(kTime + 60, WriteTime(f.destination + L"\\dir\\two.bin"));
        EXPECT_TRUE(ScratchFolder::Exists(f.destination + L"\\empty"));
    }
}

TEST(ArchiveExtraction, ArchiveMembersAreNeverWrittenOutsideTheDestination)
{
    Extraction f;
    std::wstring inner = PutFolder(f.folder, L"out\\inner");
    std::wstring archive = f.Archive(0, {{"..", "up.bin", "x", 0, kTime},
                                         {"", "..\\up2.bin", "x", 0, kTime},
                                         {"sub\\..\\..", "up3.bin", "x", 0, kTime},
                                         {"\\", "rooted.bin", "x", 0, kTime},
                                         {"", "C:\\drive.bin", "x", 0, kTime},
                                         {"C:", "drive2.bin", "x", 0, kTime},
                                         {"a\\. .\\..", "dots.bin", "x", 0, kTime},
                                         {"", "good.bin", "good", 0, kTime}});
    VyxFile item(archive.c_str());
    EXPECT_NE(0, item.ExtractTo(inner.c_str()));
    EXPECT_EQ("good", ScratchFolder::ReadFile(inner + L"\\good.bin"));
    std::vector<std::wstring> written;
    ListTree(f.folder.Path(), L"", written);
    std::sort(written.begin(), written.end());
    EXPECT_EQ((std::vector<std::wstring>{L"box.tarc", L"out\\inner\\good.bin"}), written);
    EXPECT_FALSE(ScratchFolder::Exists(L"C:\\drive.bin"));
    EXPECT_FALSE(ScratchFolder::Exists(L"C:\\drive2.bin"));
    EXPECT_FALSE(ScratchFolder::Exists(L"C:\\rooted.bin"));

    // A single member of such a name is refused before the plug-in is asked to write it.
    for (const SPIFileInfo& record : ListMembers(archive)) {
        std::unique_ptr<VyxFile> member(NewMemberItem(archive, record));
        if (member->GetFileName() == L"good.bin")
            continue;
        const int calls = Calls(HostPlugins::Archive(L"arc"))->getFile;
        EXPECT_NE(0, member->ExtractMemberTo(inner.c_str())) << member->GetPath().GetString();
        EXPECT_EQ(calls, Calls(HostPlugins::Archive(L"arc"))->getFile);
    }
}

TEST(ArchiveExtraction, NothingToExtractFromAnOrdinaryFile)
{
    Extraction f;
    VyxFile picture(PutFile(f.folder, L"pic.tpic", MakeTestPicture(TestPictureNormal)).c_str());
    picture.DetectPlugin();
    EXPECT_EQ(0, picture.ExtractTo(f.destination.c_str()));
    // A file no plug-in reads (an archive whose plug-in is missing) cannot be unpacked: a failure.
    VyxFile text(PutFile(f.folder, L"notes.txt", "not an archive").c_str());
    EXPECT_EQ(SPI_UNKNOWN_FORMAT, text.ExtractTo(f.destination.c_str()));
    std::vector<std::wstring> written;
    ListTree(f.destination, L"", written);
    EXPECT_TRUE(written.empty());
}

TEST(ArchiveExtraction, MemberIsWrittenUnderTheNameItWasListedBy)
{
    // The plug-in lists filler names but knows the member as "..\up.bin": the file written is the
    // one the listing named, inside the folder.
    Extraction f;
    std::wstring archive = f.Archive(TestArchiveUnterminatedNames, {{"", "..\\up.bin", "data", 0, kTime}});
    std::unique_ptr<VyxFile> member(NewMemberItem(archive, ListMembers(archive)[0]));
    ASSERT_EQ(199, member->GetFileName().GetLength());
    EXPECT_EQ(0, member->ExtractMemberTo(f.destination.c_str()));
    std::vector<std::wstring> written;
    ListTree(f.folder.Path(), L"", written);
    std::sort(written.begin(), written.end());
    EXPECT_EQ((std::vector<std::wstring>{L"box.tarc", L"out\\" + std::wstring(199, L'n')}), written);
    EXPECT_EQ(kTime, WriteTime(f.destination + L"\\" + std::wstring(199, L'n')));
}

TEST(ArchiveExtraction, AnExistingFileIsReplacedOnlyWhenTheUserSaysSoAndAFailedWriteIsNamed)
{
    Extraction f;
    std::wstring archive = f.Archive(0, {{"", "one.bin", "new1", 0, kTime}, {"", "two.bin", "new2", 0, kTime}});
    ASSERT_TRUE(ScratchFolder::WriteFile(f.destination + L"\\one.bin", "old1"));
    ASSERT_TRUE(ScratchFolder::WriteFile(f.destination + L"\\two.bin", "old2"));
    std::vector<std::wstring> asked;
    std::vector<int> answers = {IDNO, IDYES};
    ExtractionGuard guard;
    guard.askToReplace = [&](const CString& target) {
        asked.push_back(target.GetString());
        int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    };
    VyxFile item(archive.c_str());
    EXPECT_EQ(0, item.ExtractTo(f.destination.c_str(), &guard));
    EXPECT_EQ(2u, asked.size());
    EXPECT_EQ("old1", f.Read(L"one.bin"));
    EXPECT_EQ("new2", f.Read(L"two.bin"));

    // Cancel stops before anything more is written.
    answers = {IDCANCEL};
    EXPECT_NE(0, item.ExtractTo(f.destination.c_str(), &guard));
    EXPECT_EQ("old1", f.Read(L"one.bin"));

    // A target that cannot be written (a folder stands in its place) is named.
    ExtractionGuard named;
    std::wstring blocked = PutFolder(f.folder, L"blocked");
    PutFolder(f.folder, L"blocked\\one.bin");
    EXPECT_NE(0, item.ExtractTo(blocked.c_str(), &named));
    EXPECT_NE(-1, named.failedTarget.Find(L"one.bin"));
}
