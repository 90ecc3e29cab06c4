#include "CatalogueTestUtil.h"

#include "foundation/TestSettings.h"

#include <memory>

using namespace cataloguetest;

namespace {

using ItemPtr = std::unique_ptr<VyxFile>;

// The program's host with the standard plug-ins and a scratch folder of files.
struct Loading : StandardPlugins
{
    ScratchFolder folder{L"loading"};

    ~Loading() { VyxFilexImage::SetItemSettings(ItemSettings{}); }
    static TestPluginCalls* ImageCalls() { return Calls(Image(L"a_image")); }
    static TestPluginCalls* MakerCalls() { return Calls(Image(L"b_maker")); }
    static TestPluginCalls* ArchiveCalls() { return Calls(Archive(L"arc")); }
    std::wstring Picture(const wchar_t* name, BYTE mode = TestPictureNormal, WORD width = 7, WORD height = 5)
    {
        return PutFile(folder, name, MakeTestPicture(mode, width, height));
    }
};

std::string BlockBytes(HGLOBAL block)
{
    std::string bytes(static_cast<const char*>(GlobalLock(block)), GlobalSize(block));
    GlobalUnlock(block);
    return bytes;
}

// APP1 data with the three camera texts the items show, little-endian TIFF structure.
std::string ExifBlock()
{
    const char* texts[] = {"Maker", "Model 1", "2001:09:09 10:46:40"};
    const WORD tags[] = {0x010F, 0x0110, 0x0132};
    std::string tiff("II*\0\x08\0\0\0", 8);
    auto put16 = [&](WORD v) { tiff.append(reinterpret_cast<const char*>(&v), 2); };
    auto put32 = [&](DWORD v) { tiff.append(reinterpret_cast<const char*>(&v), 4); };
    put16(3);
    DWORD offset = 8 + 2 + 3 * 12 + 4;
    std::string data;
    for (int i = 0; i < 3; ++i) {
        DWORD count = static_cast<DWORD>(strlen(texts[i]) + 1);
        put16(tags[i]);
        put16(2);
        put32(count);
        put32(offset + static_cast<DWORD>(data.size()));
        data.append(texts[i], count);
    }
    put32(0);
    return std::string("Exif\0\0", 6) + tiff + data;
}

} // namespace

TEST(PictureLoading, FilePictureComesWithItsFactsFromTheFirstAcceptingDecoder)
{
    Loading f;
    VyxFile item(f.Picture(L"pic.tpic").c_str());
    GlobalBlock picture(item.LoadPicture());
    EXPECT_TRUE(HasTestPixels(picture.get()));
    EXPECT_EQ(HostPlugins::ImageId(L"a_image"), item.GetLoaderId());
    EXPECT_EQ(7, item.GetWidth());
    EXPECT_EQ(5, item.GetHeight());
    EXPECT_EQ(24, item.GetBitCount());
    EXPECT_STREQ(L"test picture", item.GetInfoText().GetString());
    EXPECT_EQ(1, Loading::ImageCalls()->getPictureInfo);

    // Facts already known are not asked again.
    GlobalBlock again(item.LoadPicture());
    EXPECT_EQ(1, Loading::ImageCalls()->getPictureInfo);
    EXPECT_EQ(2, Loading::ImageCalls()->getPicture);
}

TEST(PictureLoading, ReductionIsTheLargerRatioOfPictureToDesiredSize)
{
    Loading f;
    VyxFile item(f.Picture(L"big.tpic", TestPictureNormal, 70, 50).c_str());
    SIZE desired = {10, 20};
    GlobalBlock picture(item.LoadPicture(&desired));
    ASSERT_TRUE(Loading::ImageCalls()->sawVyxTag);
    SPIRequest seen;
    std::memcpy(&seen, Loading::ImageCalls()->request, sizeof(seen));
    EXPECT_EQ(7, seen.reduction);
    EXPECT_EQ(10, seen.desiredWidth);
    EXPECT_EQ(20, seen.desiredHeight);

    SIZE larger = {700, 500};
    GlobalBlock small(item.LoadPicture(&larger));
    std::memcpy(&seen, Loading::ImageCalls()->request, sizeof(seen));
    EXPECT_EQ(0, seen.reduction);
}

TEST(PictureLoading, FailedDecoderPassesToTheNextAcceptingOneWhichIsKept)
{
    Loading f;
    VyxFile item(f.Picture(L"maker.tpic", TestPictureMakerOnly).c_str());
    GlobalBlock picture(item.LoadPicture());
    EXPECT_TRUE(HasTestPixels(picture.get()));
    EXPECT_EQ(HostPlugins::ImageId(L"b_maker"), item.GetLoaderId());
    EXPECT_EQ(1, Loading::ImageCalls()->getPicture);
    GlobalBlock again(item.LoadPicture());
    EXPECT_EQ(1, Loading::ImageCalls()->getPicture);

    // Each accepting decoder is tried once; none left leaves the loader unknown.
    const int imageBefore = Loading::ImageCalls()->getPicture;
    const int makerBefore = Loading::MakerCalls()->getPicture;
    VyxFile broken(f.Picture(L"broken.tpic", TestPictureFailDecode).c_str());
    EXPECT_EQ(nullptr, broken.LoadPicture());
    EXPECT_EQ(-1, broken.GetLoaderId());
    EXPECT_TRUE(broken.GetInfoText().IsEmpty());
    EXPECT_EQ(imageBefore + 1, Loading::ImageCalls()->getPicture);
    EXPECT_EQ(makerBefore + 1, Loading::MakerCalls()->getPicture);

    VyxFile junk(PutFile(f.folder, L"junk.tpic", "not a picture").c_str());
    EXPECT_EQ(nullptr, junk.LoadPicture());
    EXPECT_EQ(-1, junk.GetLoaderId());
}

// The plug-ins write no log of their own: a picture every reader refuses is named in the
// program's log, once for each reader that refused it.
TEST(PictureLoading, APictureItsReadersRefuseIsNamedInTheLog)
{
    Loading f;
    const std::wstring path = f.Picture(L"refused_1.tpic", TestPictureFailDecode);
    VyxFile refused(path.c_str());
    CapturedLog log;
    EXPECT_EQ(nullptr, refused.LoadPicture());
    ASSERT_EQ(2u, log.records.size());
    for (const LogRecord& record : log.records) {
        EXPECT_EQ(0, record.message.Find(L"picture refused by its reader (code 3): "))
            << static_cast<const wchar_t*>(record.message);
        EXPECT_NE(-1, record.message.Find(path.c_str())) << static_cast<const wchar_t*>(record.message);
    }
    // A picture read says nothing.
    VyxFile shown(f.Picture(L"shown.tpic").c_str());
    GlobalBlock picture(shown.LoadPicture());
    EXPECT_TRUE(HasTestPixels(picture.get()));
    EXPECT_EQ(2u, log.records.size());
}

TEST(PictureLoading, TheProgramsOwnDecodersTakeTheFileFromTheOneReadingOfIt)
{
    Loading f;
    const std::string bytes = MakeTestPicture(TestPictureMakerOnly);
    VyxFile item(PutFile(f.folder, L"maker.tpic", bytes).c_str());
    GlobalBlock picture(item.LoadPicture());
    EXPECT_TRUE(HasTestPixels(picture.get()));
    EXPECT_EQ(HostPlugins::ImageId(L"b_maker"), item.GetLoaderId());
    EXPECT_EQ(7, item.GetWidth());
    EXPECT_STREQ(L"test picture", item.GetInfoText().GetString());
    // The maker's decoder got its facts and its picture from the bytes read once, whole.
    EXPECT_EQ(SPI_INPUT_MEMORY, Loading::MakerCalls()->lastFlags & SPI_INPUT_MASK);
    EXPECT_EQ(static_cast<LONG_PTR>(bytes.size()), Loading::MakerCalls()->lastLength);
    EXPECT_EQ(1, Loading::MakerCalls()->getPictureInfo);
    // Another decoder still reads the file by its name.
    EXPECT_EQ(SPI_INPUT_FILE, Loading::ImageCalls()->lastFlags & SPI_INPUT_MASK);
    EXPECT_EQ(1, Loading::ImageCalls()->getPicture);

    // An empty file reaches no decoder, however it is loaded.
    const int asked = Loading::ImageCalls()->isSupported;
    VyxFile empty(PutFile(f.folder, L"empty.tpic", "").c_str());
    EXPECT_EQ(nullptr, empty.LoadPicture());
    EXPECT_EQ(asked, Loading::ImageCalls()->isSupported);
}

TEST(PictureLoading, MemberPictureBytesAndDecoderComeThroughTheArchivePlugin)
{
    Loading f;
    std::string bytes = MakeTestPicture(TestPictureNormal);
    std::wstring archive = PutFile(f.folder, L"box.tarc", MakeTestArchive(0, {{"sub", "pic.tpic", bytes, 0, 1}}));
    std::vector<SPIFileInfo> members = ListMembers(archive);
    ASSERT_EQ(1u, members.size());
    ItemPtr item(NewMemberItem(archive, members[0]));
    ASSERT_TRUE(item && item->IsArchiveMember());

    GlobalBlock picture(item->LoadPicture());
    EXPECT_TRUE(HasTestPixels(picture.get()));
    EXPECT_EQ(HostPlugins::ImageId(L"a_image"), item->GetLoaderId());
    EXPECT_EQ(SPI_INPUT_MEMORY, Loading::ImageCalls()->lastFlags & SPI_INPUT_MASK);

    item->SetLoaderId(-1);
    EXPECT_EQ(HostPlugins::ImageId(L"a_image"), item->DetectPlugin());
    GlobalBlock data(item->ReadFileData());
    EXPECT_EQ(bytes, BlockBytes(data.get()));
}

TEST(PictureLoading, FolderCoverIsTheFirstDecodableFileWithinTheSearchCount)
{
    Loading f;
    std::wstring covered = PutFolder(f.folder, L"covered");
    PutFolder(f.folder, L"covered\\sub");
    ScratchFolder::WriteFile(covered + L"\\sub\\pic.tpic", MakeTestPicture(TestPictureNormal));
    for (const wchar_t* name : {L"_THUMBS_.KWI", L"_note_.kwi", L"_CONFIG_.KWI"})
        ScratchFolder::WriteFile(covered + L"\\" + name, MakeTestPicture(TestPictureNormal));
    VyxFile folderItem(covered.c_str());
    EXPECT_EQ(nullptr, folderItem.LoadPicture()); // folder covers off
    ChangeItemSettings([&](ItemSettings& s) { s.coverKinds = 3; });
    // Sub-folders and the side files cost nothing.
    EXPECT_EQ(nullptr, folderItem.LoadPicture());
    EXPECT_EQ(0, Loading::ImageCalls()->isSupported);
    ScratchFolder::WriteFile(covered + L"\\pic.tpic", MakeTestPicture(TestPictureNormal, 9, 6));
    GlobalBlock cover(folderItem.LoadPicture());
    EXPECT_EQ(9, GetDibWidth(cover.get()));
    EXPECT_EQ(HostPlugins::ImageId(L"a_image"), folderItem.GetLoaderId());

    // Each file without a decoder costs one, up to the search count or the last file.
    std::wstring junk = PutFolder(f.folder, L"junk");
    for (int i = 0; i < 5; ++i)
        ScratchFolder::WriteFile(junk + L"\\" + std::to_wstring(i) + L".tpic", "junk");
    ChangeItemSettings([&](ItemSettings& s) { s.coverSearchCount = 3; });
    const int asked = Loading::ImageCalls()->isSupported;
    EXPECT_EQ(nullptr, VyxFile(junk.c_str()).LoadPicture());
    EXPECT_EQ(asked + 3, Loading::ImageCalls()->isSupported);
    ChangeItemSettings([&](ItemSettings& s) { s.coverSearchCount = 10; });
    EXPECT_EQ(nullptr, VyxFile(junk.c_str()).LoadPicture());
    EXPECT_EQ(asked + 8, Loading::ImageCalls()->isSupported);
}

TEST(PictureLoading, ArchiveCoverIsTheFirstMemberByPathAndCountsAllMembers)
{
    Loading f;
    std::wstring archive =
        PutFile(f.folder, L"box.tarc",
                MakeTestArchive(0, {{"b", "1.tpic", MakeTestPicture(TestPictureNormal, 10, 9), 0, 1},
                                    {"a", "2.tpic", MakeTestPicture(TestPictureNormal, 12, 10), 0, 1},
                                    {"", "", "nameless", 0, 1}}));
    VyxFile item(archive.c_str());
    GlobalBlock cover(item.LoadPicture());
    EXPECT_EQ(12, GetDibWidth(cover.get()));
    EXPECT_TRUE(item.IsArchive());
    EXPECT_TRUE(item.HasCover());
    const ULONGLONG total = 2 * sizeof(TestPictureHeader) + (10 * 9 + 12 * 10) * 3;
    CString expected;
    expected.Format(L"2 files (%s)", FormatShortSize(total).GetString());
    EXPECT_STREQ(expected.GetString(), item.GetInfoText().GetString());

    // Members below 257 bytes, or of the member limit or more, are no candidates; all are counted.
    std::wstring small =
        PutFile(f.folder, L"small.tarc",
                MakeTestArchive(0, {{"", "tiny.tpic", MakeTestPicture(TestPictureNormal, 4, 4), 0, 1}}));
    VyxFile smallItem(small.c_str());
    EXPECT_EQ(nullptr, smallItem.LoadPicture());
    EXPECT_FALSE(smallItem.IsArchive());
    EXPECT_STREQ(L"1 files (60B)", smallItem.GetInfoText().GetString());
    ChangeItemSettings([&](ItemSettings& s) { s.archiveMemberLimit = 0; });
    const int extracted = Loading::ArchiveCalls()->getFile;
    VyxFile limited(archive.c_str());
    EXPECT_EQ(nullptr, limited.LoadPicture());
    EXPECT_EQ(extracted, Loading::ArchiveCalls()->getFile);
    EXPECT_EQ(L"2 files", limited.GetInfoText().Left(7));
}

TEST(PictureLoading, ArchiveCoverLimitIsTakenIn64Bits)
{
    // 4096 MB is 2^32 bytes: in 32 bits the limit would wrap to 0 and admit no member.
    Loading f;
    std::wstring archive =
        PutFile(f.folder, L"box.tarc",
                MakeTestArchive(0, {{"", "pic.tpic", MakeTestPicture(TestPictureNormal, 10, 10), 0, 1}}));
    ChangeItemSettings([&](ItemSettings& s) { s.archiveMemberLimit = 4096; });
    VyxFile item(archive.c_str());
    GlobalBlock cover(item.LoadPicture());
    EXPECT_TRUE(HasTestPixels(cover.get(), 10, 10));
}

TEST(PictureLoading, DetectionAsksNothingForEmptyFilesAndFolders)
{
    Loading f;
    VyxFile empty(PutFile(f.folder, L"empty.tpic", "").c_str());
    EXPECT_EQ(-1, empty.DetectPlugin());
    VyxFile folderItem(PutFolder(f.folder, L"sub").c_str());
    EXPECT_EQ(-1, folderItem.DetectPlugin());
    EXPECT_EQ(0, Loading::ImageCalls()->isSupported);
    VyxFile picture(f.Picture(L"pic.tpic").c_str());
    EXPECT_EQ(HostPlugins::ImageId(L"a_image"), picture.DetectPlugin());
    EXPECT_EQ(0, Loading::ImageCalls()->getPicture);
    GlobalBlock data(picture.ReadFileData());
    EXPECT_EQ(MakeTestPicture(TestPictureNormal), BlockBytes(data.get()));
    EXPECT_EQ(nullptr, VyxFile((f.folder / L"missing.bin").c_str()).ReadFileData());
}

TEST(PictureLoading, MovieTextTellsLengthAndCodecBeforeThePluginText)
{
    HostPlugins host({{L"test_movie", L"movie"}});
    ScratchFolder folder(L"loading");
    VyxFile item(PutFile(folder, L"clip.tpic", MakeTestPicture(TestPictureNormal)).c_str());
    GlobalBlock frame(item.LoadPicture());
    EXPECT_EQ(0x0301, HIWORD(item.GetLoaderId()));
    EXPECT_STREQ(L"01:02:05 XVIDtest picture", item.GetInfoText().GetString());
}

TEST(PictureLoading, ExifCameraTextsComeFromThePicturesExifBlock)
{
    Loading f;
    VyxFile item(PutFile(f.folder, L"camera.tpic", MakeTestPicture(TestPictureWithExif) + ExifBlock()).c_str());
    GlobalBlock picture(item.LoadPicture());
    ASSERT_NE(nullptr, item.GetExifInfo());
    EXPECT_STREQ(L"Maker|Model 1|2001:09:09 10:46:40",
                 item.ExpandMacros(L"$(ExifCameraMaker)|$(ExifCameraModel)|$(ExifDateTime)").GetString());
    EXPECT_TRUE(item.GetPropertyText(33).IsEmpty());

    VyxFile plain(f.Picture(L"plain.tpic").c_str());
    GlobalBlock other(plain.LoadPicture());
    EXPECT_EQ(nullptr, plain.GetExifInfo());
    EXPECT_TRUE(plain.GetPropertyText(29).IsEmpty());
}

TEST(PictureLoading, ExifTextsOfAnItemNeverDrawnAreReadFromItsPictureOnce)
{
    // A rename, a catalog or a list column asks before any cell was drawn: the answer is the same.
    Loading f;
    const std::string camera = MakeTestPicture(TestPictureWithExif) + ExifBlock();
    VyxFile item(PutFile(f.folder, L"kyoto.tpic", camera).c_str());
    item.DetectPlugin();
    EXPECT_STREQ(L"京都_2001:09:09 10:46:40_013", item.ExpandMacros(L"京都_$(ExifDateTime)_013").GetString());
    EXPECT_STREQ(L"Maker", item.GetPropertyText(29).GetString());
    EXPECT_EQ(1, Loading::ImageCalls()->getPictureInfo);
    EXPECT_EQ(0, Loading::ImageCalls()->getPicture);
    // A copy made afterwards has it read; a picture without Exif data is asked once, not per text.
    VyxFile copy(item);
    EXPECT_STREQ(L"Model 1", copy.GetPropertyText(30).GetString());
    VyxFile plain(f.Picture(L"plain.tpic").c_str());
    EXPECT_TRUE(plain.ExpandMacros(L"$(ExifDateTime)$(ExifCameraModel)").IsEmpty());
    EXPECT_TRUE(plain.GetPropertyText(29).IsEmpty());
    EXPECT_EQ(2, Loading::ImageCalls()->getPictureInfo);
    // Texts without an Exif word ask nothing.
    VyxFile other(f.Picture(L"other.tpic").c_str());
    EXPECT_STREQ(L"other", other.ExpandMacros(L"$(Name)").GetString());
    EXPECT_EQ(2, Loading::ImageCalls()->getPictureInfo);

    std::wstring archive = PutFile(f.folder, L"box.tarc", MakeTestArchive(0, {{"", "inner.tpic", camera, 0, 1}}));
    std::unique_ptr<VyxFile> member(NewMemberItem(archive, ListMembers(archive)[0]));
    ASSERT_TRUE(member);
    EXPECT_STREQ(L"2001:09:09 10:46:40", member->GetPropertyText(31).GetString());
}

TEST(PictureLoading, FileOfFourGibibytesOrMoreIsNotReadTruncated)
{
    ScratchFolder folder(L"loading");
    std::wstring path = folder / L"huge.bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000003LL;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    VyxFile item(path.c_str());
    ASSERT_EQ(0x100000003ull, item.GetFileSize());
    EXPECT_EQ(nullptr, item.ReadFileData());
}
