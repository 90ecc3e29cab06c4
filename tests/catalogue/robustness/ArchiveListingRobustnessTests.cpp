// Hostile archive listings through the archive plug-in: member names that climb out of their
// folder, name a drive or fill their fields without an end, sizes far beyond what the archive
// holds, listings without an end record or without positions. The scan, the archive cover and the
// unpacking must stay inside their memory and write nothing outside the destination.
#include "../CatalogueTestUtil.h"
#include "common/HostileInputs.h"

#include "catalogue/ArchiveMember.h"
#include "catalogue/CFileList.h"

#include <string>
#include <vector>

using namespace cataloguetest;

namespace {

using hostile::Lcg;

const char* const kPaths[] = {"", "sub", "..", "..\\..", "\\", "C:", "C:\\x", "a\\..\\..", "a\\. .", "sub\\"};
const char* const kNames[] = {"pic.tpic",
                              "..\\up.tpic",
                              "C:\\drive.tpic",
                              "\\rooted.tpic",
                              "..",
                              "",
                              "a name that is long enough to fill most of its sixty-four bytes"};
const DWORD kSizes[] = {0, 1, 300, 0x7FFFFFFF, 0xFFFFFFFF, 20 * 1048576};

std::vector<MemberSpec> RandomMembers(Lcg& random)
{
    std::vector<MemberSpec> members;
    for (int i = 1 + random.Next() % 6; i > 0; --i) {
        MemberSpec member;
        member.path = kPaths[random.Next() % (sizeof(kPaths) / sizeof(kPaths[0]))];
        member.name = kNames[random.Next() % (sizeof(kNames) / sizeof(kNames[0]))];
        member.data = random.Next() % 2 ? MakeTestPicture(TestPictureNormal, 10, 10) : std::string("junk");
        member.listedSize = kSizes[random.Next() % (sizeof(kSizes) / sizeof(kSizes[0]))];
        member.time = random.Next();
        members.push_back(member);
    }
    return members;
}

// The files below root, counted.
int CountFiles(const std::wstring& root)
{
    int count = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        count += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(root + L"\\" + name) : 1;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

} // namespace

TEST(ArchiveListingRobustness, HostileMembersAreListedCoveredAndUnpackedSafely)
{
    StandardPlugins plugins;
    ScratchFolder folder(L"hostile");
    std::wstring outside = PutFolder(folder, L"outside");
    std::wstring destination = PutFolder(folder, L"outside\\inner");
    ChangeItemSettings([&](ItemSettings& s) { s.coverKinds = 1; });
    Lcg random{77};
    for (int round = 0, rounds = hostile::InputsPerReader() / 100; round < rounds; ++round) {
        BYTE flags = static_cast<BYTE>(random.Next() % 8);
        PutFile(folder, L"box.tarc", MakeTestArchive(flags, RandomMembers(random)));

        CFileList scan;
        scan.SetImageHost(&theSPImapIndex);
        scan.SetFolder(folder.Path().c_str());
        scan.SetArchiveFileName(L"box.tarc");
        ASSERT_EQ(CFileList::ScanDone, scan.Scan()) << round;
        for (int i = 0; i < scan.GetCount(); ++i) {
            VyxFile* member = scan.GetAt(i);
            EXPECT_TRUE(member->IsArchiveMember());
            EXPECT_LT(member->GetFileName().GetLength(), 200);
            if (HGLOBAL data = member->ReadFileData())
                GlobalFree(data);
            const bool safe = IsSafeMemberPath(member->GetPath());
            const int extracted = member->ExtractMemberTo(destination.c_str());
            EXPECT_TRUE(safe || extracted != 0) << member->GetPath().GetString();
        }
        scan.DeleteAt(-1);

        VyxFile archive((folder / L"box.tarc").c_str());
        if (HGLOBAL cover = archive.LoadPicture())
            GlobalFree(cover);
        EXPECT_NE(-1, archive.GetInfoText().Find(L" files (")) << round;
        ExtractArchive((folder / L"box.tarc").c_str(), destination.c_str());
        // Only the destination gains files; the scratch folder keeps just the archive.
        EXPECT_EQ(0, CountFiles(outside) - CountFiles(destination)) << round;
        EXPECT_EQ(1 + CountFiles(outside), CountFiles(folder.Path())) << round;
    }
    EXPECT_FALSE(ScratchFolder::Exists(L"C:\\drive.tpic"));
    EXPECT_FALSE(ScratchFolder::Exists(L"C:\\rooted.tpic"));
}
