#include "PluginTestUtil.h"

#include <gtest/gtest.h>

using namespace plugintest;

namespace {

// A host with the test archive plug-in and an archive of three members, the last listing 100
// bytes of which the archive holds 7.
struct ArchiveFixture
{
    PluginFolder folder;
    SPImapIndex host;
    std::wstring archivePath;
    std::vector<SPIFileInfo> members;

    explicit ArchiveFixture(BYTE flags = 0)
    {
        folder.Add(L"test_archive", L"arc");
        host.ScanPlugins(folder.Pattern().c_str(), nullptr, nullptr);
        archivePath = folder.Folder() / L"box.tarc";
        ScratchFolder::WriteFile(archivePath, MakeTestArchive(flags, {{"dir", "one.bin", "0123456789", 0, 1000000000},
                                                                      {"", "two.bin", "abcde", 0, 1100000000},
                                                                      {"", "short.bin", "SEVEN..", 100, 0}}));
        SPIRequest request;
        request.id = 0;
        request.source = archivePath.c_str();
        if (host.GetArchiveInfo(&request) == SPI_OK) {
            members = ReadArchiveListing(request.output);
            GlobalFree(request.output);
        }
    }
    VyxSPI* Plugin() { return host.GetPluginAt(0, SPImapIndex::KindArchive); }
    std::wstring Path(const wchar_t* name) { return folder.Folder() / name; }
};

ULONGLONG WriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

} // namespace

TEST(SpiArchive, ArchiveIsFoundByProbeAndListsItsMembers)
{
    ArchiveFixture f;
    EXPECT_EQ(0, f.host.IsSupported(FileQuery(f.archivePath, SPImapIndex::KindArchive)));
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(f.archivePath, SPImapIndex::KindImage)));
    ASSERT_EQ(3u, f.members.size());
    EXPECT_STREQ("dir", f.members[0].path);
    EXPECT_STREQ("one.bin", f.members[0].fileName);
    EXPECT_EQ(10u, f.members[0].fileSize);
    EXPECT_EQ(1000000000u, f.members[0].timestamp);
    EXPECT_STREQ("short.bin", f.members[2].fileName);
    EXPECT_EQ(100u, f.members[2].fileSize);
    EXPECT_EQ(SPI_INPUT_FILE, Calls(f.Plugin())->lastFlags);
}

TEST(SpiArchive, ListingWithoutEndRecordOrTerminatorsIsReadOnlyWithinItsBlock)
{
    ArchiveFixture f(TestArchiveNoEndRecord | TestArchiveUnterminatedNames);
    ASSERT_EQ(3u, f.members.size());
    for (const SPIFileInfo& member : f.members) {
        EXPECT_EQ(199u, std::strlen(member.path));
        EXPECT_EQ(199u, std::strlen(member.fileName));
    }
}

TEST(SpiArchive, MemberInformationIsAskedByNameWithoutRegardToCase)
{
    ArchiveFixture f;
    SPIRequest request;
    request.id = 0;
    request.source = f.archivePath.c_str();
    SPIFileInfo record;
    std::memset(&record, 0xCC, sizeof(record));
    ASSERT_EQ(SPI_OK, f.host.GetArchiveFileInfo(&request, "DIR\\ONE.BIN", &record));
    EXPECT_STREQ("one.bin", record.fileName);
    EXPECT_EQ(f.members[0].position, record.position);
    EXPECT_EQ(SPI_IGNORE_CASE, Calls(f.Plugin())->lastFlags & SPI_IGNORE_CASE);
    EXPECT_STREQ("DIR\\ONE.BIN", Calls(f.Plugin())->lastMember);
    EXPECT_NE(SPI_OK, f.host.GetArchiveFileInfo(&request, "none", &record));
    EXPECT_LT(std::strlen(record.fileName), sizeof(record.fileName));
}

TEST(SpiArchive, MembersAreExtractedToMemoryAndToAFolder)
{
    ArchiveFixture f;
    ASSERT_EQ(3u, f.members.size());
    SPIRequest request;
    request.id = 0;
    request.source = f.archivePath.c_str();
    request.length = static_cast<LONG_PTR>(f.members[1].position);
    request.flags = SPI_OUTPUT_MEMORY;
    ASSERT_EQ(SPI_OK, f.host.GetFile(&request));
    ASSERT_NE(nullptr, request.output);
    EXPECT_EQ(5u, GlobalSize(request.output));
    EXPECT_EQ(0, std::memcmp(GlobalLock(request.output), "abcde", 5));
    GlobalUnlock(request.output);
    GlobalFree(request.output);
    EXPECT_TRUE(Calls(f.Plugin())->sawVyxTag);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&request), Calls(f.Plugin())->lastCallbackData);
    EXPECT_TRUE(Calls(f.Plugin())->progressGiven);

    std::wstring out = f.Path(L"out folder");
    CreateDirectoryW(out.c_str(), nullptr);
    SPIRequest toFolder;
    toFolder.id = 0;
    toFolder.source = f.archivePath.c_str();
    toFolder.length = static_cast<LONG_PTR>(f.members[0].position);
    toFolder.destination = out.c_str();
    ASSERT_EQ(SPI_OK, f.host.GetFile(&toFolder));
    EXPECT_EQ("0123456789", ScratchFolder::ReadFile(out + L"\\one.bin"));
    EXPECT_EQ(nullptr, std::strchr(Calls(f.Plugin())->lastDestination, ' ')); // its short name
}

TEST(SpiArchive, ExtractToFileWritesTheListedSizeWithTheTimeGiven)
{
    ArchiveFixture f;
    ASSERT_EQ(3u, f.members.size());
    const ULONGLONG time = 130000000000000000ull;
    std::wstring target = f.Path(L"one.bin");
    ASSERT_EQ(SPI_OK, f.host.ExtractToFile(0, f.archivePath.c_str(), f.members[0].position, target.c_str(), 8, time));
    EXPECT_EQ("01234567", ScratchFolder::ReadFile(target));
    EXPECT_EQ(time, WriteTime(target));

    // A block more than 4 bytes larger than the size given is written whole.
    ASSERT_EQ(SPI_OK, f.host.ExtractToFile(0, f.archivePath.c_str(), f.members[0].position, target.c_str(), 5, 0));
    EXPECT_EQ("0123456789", ScratchFolder::ReadFile(target));

    // Size 0 writes the whole member.
    std::wstring whole = f.Path(L"whole.bin");
    ASSERT_EQ(SPI_OK, f.host.ExtractToFile(0, f.archivePath.c_str(), f.members[0].position, whole.c_str(), 0, 0));
    EXPECT_EQ("0123456789", ScratchFolder::ReadFile(whole));

    EXPECT_EQ(SPI_NO_FUNCTION, f.host.ExtractToFile(5, f.archivePath.c_str(), 0, whole.c_str(), 0, 0));
    EXPECT_EQ(SPI_INTERNAL_ERROR, f.host.ExtractToFile(0, f.archivePath.c_str(), 3, whole.c_str(), 0, 0));
}

TEST(SpiArchive, ExtractToFileNeverWritesMoreThanThePluginGave)
{
    ArchiveFixture f;
    ASSERT_EQ(3u, f.members.size());
    std::wstring target = f.Path(L"short.bin");
    ASSERT_EQ(SPI_OK, f.host.ExtractToFile(0, f.archivePath.c_str(), f.members[2].position, target.c_str(),
                                           f.members[2].fileSize, 0));
    EXPECT_EQ("SEVEN..", ScratchFolder::ReadFile(target));
}

TEST(SpiArchive, ExtractToFileReportsADestinationItCannotWriteAndLeavesNothing)
{
    ArchiveFixture f;
    ASSERT_EQ(3u, f.members.size());
    std::wstring inMissingFolder = f.Path(L"missing\\one.bin");
    EXPECT_NE(SPI_OK,
              f.host.ExtractToFile(0, f.archivePath.c_str(), f.members[0].position, inMissingFolder.c_str(), 10, 0));
    EXPECT_FALSE(ScratchFolder::Exists(inMissingFolder));

    std::wstring folderInTheWay = f.Path(L"kept");
    CreateDirectoryW(folderInTheWay.c_str(), nullptr);
    EXPECT_NE(SPI_OK,
              f.host.ExtractToFile(0, f.archivePath.c_str(), f.members[0].position, folderInTheWay.c_str(), 10, 0));
    EXPECT_TRUE(GetFileAttributesW(folderInTheWay.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}
