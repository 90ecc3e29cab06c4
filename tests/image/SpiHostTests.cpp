#include "PluginTestUtil.h"

#include "foundation/VyxIni.h"
#include "foundation/VyxStringArray.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <set>

using namespace plugintest;

namespace {

// A host over a scratch folder of test plug-ins; destroyed before the folder.
struct HostFixture
{
    PluginFolder folder;
    SPImapIndex host;

    void Add(const wchar_t* source, std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names)
            folder.Add(source, name);
    }
    void Scan(HWND status = nullptr, const wchar_t* set = nullptr)
    {
        host.ScanPlugins(folder.Pattern().c_str(), status, set);
    }
    VyxSPI* Image(const wchar_t* name) { return host.FindPluginByName(name, SPImapIndex::KindImage); }
    std::wstring WriteFile(const wchar_t* name, const std::string& bytes)
    {
        std::wstring path = folder.Folder() / name;
        ScratchFolder::WriteFile(path, bytes);
        return path;
    }
    std::vector<std::wstring> ImageOrder()
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < host.GetPluginCount(SPImapIndex::KindImage); ++i)
            names.emplace_back(host.GetPluginAt(i, SPImapIndex::KindImage)->GetFileName().GetString());
        return names;
    }
};

using Names = std::vector<std::wstring>;

std::vector<LONG_PTR> s_progressSeen;
int s_progressAnswer;

int WINAPI RecordProgress(int, int, LONG_PTR data)
{
    s_progressSeen.push_back(data);
    return s_progressAnswer;
}

} // namespace

TEST(SpiHost, ScanSortsDllsByKindAndNumbersThemInNameOrder)
{
    HostFixture f;
    f.Add(L"test_image", {L"b", L"a"});
    f.folder.Add(L"test_archive", L"arc");
    f.folder.Add(L"test_unknown", L"odd");
    f.WriteFile(L"broken.spi", "not a DLL");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    StatusWindow status;
    f.Scan(status.Handle());

    ASSERT_EQ(2, f.host.GetPluginCount(SPImapIndex::KindImage));
    EXPECT_EQ(0, f.Image(L"a")->GetId());
    EXPECT_EQ(1, f.Image(L"B")->GetId());
    ASSERT_EQ(1, f.host.GetPluginCount(SPImapIndex::KindArchive));
    EXPECT_EQ(0, f.host.GetPluginAt(0, SPImapIndex::KindArchive)->GetId());
    EXPECT_EQ(nullptr, f.host.FindPluginByName(L"odd", SPImapIndex::KindImage));
    EXPECT_STREQ(L"arc", f.host.GetPluginFileName(0, SPImapIndex::KindArchive));
    EXPECT_STREQ(L"", f.host.GetPluginFileName(5, SPImapIndex::KindArchive));

    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);

    auto has = [&](int code, const std::wstring& text) {
        for (const auto& entry : status.texts)
            if (entry.first == code && entry.second == text)
                return true;
        return false;
    };
    EXPECT_TRUE(has(0, L"[a]を調査しています"));
    EXPECT_TRUE(has(-1, L"[odd.spi]未定義のSPI(00IN,00AM以外のSPI)"));
    bool brokenReported = false;
    for (const auto& entry : status.texts)
        brokenReported |= entry.first == -1 && entry.second.rfind(L"[broken]:", 0) == 0;
    EXPECT_TRUE(brokenReported);
}

TEST(SpiHost, MakersPluginIdCarriesItsGroupAndItsRequestsTheVyxRecord)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.folder.Add(L"test_maker", L"maker");
    f.Scan();
    VyxSPI* maker = f.Image(L"maker");
    ASSERT_NE(nullptr, maker);
    EXPECT_EQ(1 + (0x102 << 16), maker->GetId());
    EXPECT_EQ(0x102, maker->GetGroup());
    EXPECT_EQ(0, f.Image(L"a")->GetId());
    EXPECT_EQ(0x102, f.host.GetGroupCode(L"GIF"));
    EXPECT_EQ(-1, f.host.GetGroupCode(L"gif"));

    std::wstring path = f.WriteFile(L"p.tpic", MakeTestPicture(TestPictureNormal));
    SPIRequest request;
    request.id = maker->GetId();
    request.source = path.c_str();
    request.reduction = 4;
    request.desiredWidth = 160;
    request.desiredHeight = 120;
    request.decodeOption = 0x55;
    f.host.SetMoviePreviewPosition(-30);
    ASSERT_EQ(SPI_OK, f.host.GetPicture(&request));
    dibtest::Dib picture(request.output);
    TestPluginCalls* calls = Calls(maker);
    ASSERT_TRUE(calls->sawVyxTag);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&request), calls->lastCallbackData);
    int fields[5];
    // From the reduction on (byte 40 in 32-bit code), as the plug-in reads them.
    std::memcpy(fields, calls->request + offsetof(SPIRequest, reduction), sizeof(fields));
    EXPECT_EQ(4, fields[0]);
    EXPECT_EQ(160, fields[1]);
    EXPECT_EQ(120, fields[2]);
    EXPECT_EQ(-30, fields[3]);
    EXPECT_EQ(0x55, fields[4]);
}

TEST(SpiHost, HoldingShiftSkipsTheScan)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_SHIFT;
    SendInput(1, &key, sizeof(key));
    f.Scan();
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof(key));
    EXPECT_EQ(0, f.host.GetPluginCount(SPImapIndex::KindImage));
    std::wstring path = f.WriteFile(L"p.tpic", MakeTestPicture(TestPictureNormal));
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(path)));

    f.Scan();
    EXPECT_EQ(1, f.host.GetPluginCount(SPImapIndex::KindImage));
}

TEST(SpiHost, PluginsFoundForTheFirstTimeAreEnabledAndStoredValuesReadAsTheyStand)
{
    HostFixture f;
    f.Add(L"test_image", {L"fresh", L"off", L"on"});
    f.folder.Add(L"test_archive", L"arc");
    WriteAppIniString(L"SPISET\\_Default", L"off", L"0,5");
    WriteAppIniString(L"SPISET\\_Default", L"on", L"65536,10");
    f.Scan();
    EXPECT_EQ(0x10000, f.Image(L"fresh")->GetFlags());
    EXPECT_EQ(100, f.Image(L"fresh")->GetOrder());
    EXPECT_FALSE(f.Image(L"off")->IsEnabled());
    EXPECT_EQ(5, f.Image(L"off")->GetOrder());
    EXPECT_TRUE(f.Image(L"on")->IsEnabled());
    EXPECT_EQ(10, f.Image(L"on")->GetOrder());
    EXPECT_EQ(0x10001, f.host.GetPluginAt(0, SPImapIndex::KindArchive)->GetFlags());
    EXPECT_EQ((Names{L"off", L"on", L"fresh"}), f.ImageOrder());
}

TEST(SpiHost, SavedSetLoadsBackWithChildLists)
{
    HostFixture f;
    f.Add(L"test_image", {L"a", L"b", L"c"});
    f.folder.Add(L"test_archive", L"arc");
    f.Scan();
    f.Image(L"a")->SetOrder(30);
    f.Image(L"b")->SetFlags(0);
    EXPECT_EQ(1, f.host.AddArchiveChild(0, f.Image(L"a")->GetId()));
    EXPECT_EQ(2, f.host.AddArchiveChild(0, f.Image(L"c")->GetId()));
    EXPECT_EQ(0, f.host.AddArchiveChild(0, f.Image(L"c")->GetId()));
    EXPECT_EQ(0, f.host.AddArchiveChild(7, f.Image(L"c")->GetId()));
    EXPECT_EQ(0x10000, f.host.GetPluginAt(0, SPImapIndex::KindArchive)->GetFlags());
    f.host.SavePluginSet(L"mine");
    EXPECT_STREQ(L"65536,30", GetAppIniString(L"SPISET\\mine", L"a", L""));
    EXPECT_STREQ(L"0,100", GetAppIniString(L"SPISET\\mine", L"b", L""));
    EXPECT_STREQ(L"65536,100", GetAppIniString(L"SPISET\\mine", L"arc", L""));
    EXPECT_STREQ(L"a,c", GetAppIniString(L"SPISET\\mine\\arc", L"ViewSPI", L""));

    f.host.ClearArchiveChildren(0);
    f.Image(L"a")->SetOrder(1);
    f.Image(L"b")->SetFlags(0x10000);
    f.host.LoadPluginSet(L"mine");
    EXPECT_EQ(30, f.Image(L"a")->GetOrder());
    EXPECT_FALSE(f.Image(L"b")->IsEnabled());
    ASSERT_NE(nullptr, f.host.GetArchiveChildAt(0, 1));
    EXPECT_STREQ(L"c", f.host.GetArchiveChildAt(0, 1)->GetFileName());
    EXPECT_EQ(nullptr, f.host.GetArchiveChildAt(0, 2));
    EXPECT_STREQ(L"*.tpic;*.tpc2;*.TPIC;*.tpic;*.tpc2;*.TPIC", f.host.GetArchiveChildPatterns(0));
    EXPECT_EQ(1, f.host.RemoveArchiveChild(0, L"A"));
    EXPECT_EQ(0, f.host.RemoveArchiveChild(0, L"a"));
    EXPECT_EQ(1, f.Image(L"c")->GetUseCount());
    EXPECT_EQ(0, f.Image(L"a")->GetUseCount());
}

TEST(SpiHost, ViewSpiListRestrictsArchiveMembersToTheListedPlugins)
{
    HostFixture f;
    f.Add(L"test_image", {L"a", L"b", L"c"});
    f.folder.Add(L"test_archive", L"arc");
    WriteAppIniString(L"SPISET\\_Default\\arc", L"ViewSPI", L"b,c");
    WriteAppIniString(L"SPISET\\_Default", L"c", L"0,100");
    f.Scan();
    f.host.LoadPluginSet(nullptr);
    std::string picture = MakeTestPicture(TestPictureNormal);
    SPISupportQuery query = {};
    query.kind = SPImapIndex::KindImage;
    query.startAfter = -1;
    query.archiveId = 0;
    query.path = L"member.tpic";
    query.head = picture.data();
    query.headLength = static_cast<int>(picture.size());
    // Within the restricted list a disabled plug-in still counts; "a" is never asked.
    int b = f.Image(L"b")->GetId(), c = f.Image(L"c")->GetId(), a = f.Image(L"a")->GetId();
    EXPECT_EQ(b, f.host.IsSupported(query));
    query.startAfter = b;
    EXPECT_EQ(c, f.host.IsSupported(query));
    EXPECT_EQ(0, Calls(f.Image(L"a"))->isSupported);
    EXPECT_STREQ("member.tpic", Calls(f.Image(L"c"))->lastName);
    // Without a restriction the disabled one is skipped (and "b" is first since its probe).
    query.archiveId = -1;
    query.startAfter = -1;
    EXPECT_EQ(b, f.host.IsSupported(query));
    query.startAfter = b;
    EXPECT_EQ(a, f.host.IsSupported(query));
    query.startAfter = a;
    EXPECT_EQ(-1, f.host.IsSupported(query));
}

TEST(SpiHost, ProbeFromTheFirstMovesTheWinnerToTheFront)
{
    HostFixture f;
    f.Add(L"test_image", {L"a", L"b"});
    WriteAppIniString(L"SPISET\\_Default", L"a", L"65536,10");
    WriteAppIniString(L"SPISET\\_Default", L"b", L"65536,20");
    f.Scan();
    std::wstring path = f.WriteFile(L"p.tpic", MakeTestPicture(TestPictureNormal));
    EXPECT_EQ(0, f.host.IsSupported(FileQuery(path)));

    f.Image(L"a")->SetFlags(0);
    EXPECT_EQ(1, f.host.IsSupported(FileQuery(path)));
    EXPECT_EQ((Names{L"b", L"a"}), f.ImageOrder());
    f.Image(L"a")->SetFlags(0x10000);
    EXPECT_EQ(1, f.host.IsSupported(FileQuery(path))); // stays first against the order keys
    f.host.LoadEnabledPlugins();
    EXPECT_EQ((Names{L"a", L"b"}), f.ImageOrder());
    EXPECT_EQ(0, f.host.IsSupported(FileQuery(path)));
}

TEST(SpiHost, ChainOfPluginsThatAcceptButFailEndsAfterEachWasTried)
{
    HostFixture f;
    f.Add(L"test_image", {L"a", L"b"});
    f.Scan();
    std::wstring path = f.WriteFile(L"bad.tpic", MakeTestPicture(TestPictureFailDecode));
    std::vector<int> tried;
    for (int loader = f.host.IsSupported(FileQuery(path)); loader >= 0 && tried.size() < 10;
         loader = f.host.IsSupported(FileQuery(path, SPImapIndex::KindImage, loader))) {
        tried.push_back(loader);
        SPIRequest request;
        request.id = loader;
        request.source = path.c_str();
        EXPECT_EQ(SPI_BROKEN_DATA, f.host.GetPicture(&request));
        EXPECT_EQ(nullptr, request.output);
    }
    EXPECT_EQ((std::vector<int>{0, 1}), tried);
    EXPECT_EQ((Names{L"a", L"b"}), f.ImageOrder());
}

TEST(SpiHost, ProbeFindsNoneAfterTheLastCandidateForEmptyOrUnreadableFiles)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.Scan();
    std::wstring path = f.WriteFile(L"p.tpic", MakeTestPicture(TestPictureNormal));
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(path, SPImapIndex::KindImage, 0)));
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(path, SPImapIndex::KindArchive)));

    std::wstring empty = f.WriteFile(L"empty.tpic", "");
    int asked = Calls(f.Image(L"a"))->isSupported;
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(empty)));
    EXPECT_EQ(asked, Calls(f.Image(L"a"))->isSupported);

    CapturedLog log;
    std::wstring missing = f.folder.Folder() / L"missing.tpic";
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(missing)));
    ASSERT_EQ(1u, log.records.size());
    EXPECT_STREQ(L"Spi(683)", log.records[0].location);
    EXPECT_EQ(0, log.records[0].message.Find(missing.c_str()));
}

TEST(SpiHost, ExtensionCheckAsksOnlyPluginsWhosePatternsMatch)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.Scan();
    std::string picture = MakeTestPicture(TestPictureNormal);
    std::wstring other = f.WriteFile(L"p.other", picture);
    std::wstring known = f.WriteFile(L"p.TPC2", picture);
    SPISupportQuery query = FileQuery(other);
    query.checkExtension = 1;
    EXPECT_EQ(-1, f.host.IsSupported(query));
    query = FileQuery(known);
    query.checkExtension = 1;
    EXPECT_EQ(0, f.host.IsSupported(query));
    f.host.SetPluginExtensionCheck(1);
    EXPECT_EQ(-1, f.host.IsSupported(FileQuery(other)));
    f.host.SetPluginExtensionCheck(0);
    EXPECT_EQ(0, f.host.IsSupported(FileQuery(other)));
}

TEST(SpiHost, PatternListJoinsEnabledPluginsPatternsSortedWithoutDuplicates)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.folder.Add(L"test_maker", L"b");
    f.folder.Add(L"test_image", L"c");
    f.folder.Add(L"test_archive", L"arc");
    f.Scan();
    EXPECT_STREQ(L"*.TPIC;*.tpc2;*.tpic", f.host.GetPatternList(SPImapIndex::KindImage));
    EXPECT_STREQ(L"*.tarc", f.host.GetPatternList(SPImapIndex::KindArchive));
    VyxStringArray list;
    CString text = L"*.x";
    f.host.BuildPatternList(list, text, SPImapIndex::KindArchive);
    EXPECT_STREQ(L"*.x;*.tarc", text);
    EXPECT_EQ(1, list.GetCount());

    EXPECT_TRUE(f.host.IsSupportedName(L"photo.TPC2", SPImapIndex::KindImage));
    EXPECT_TRUE(f.host.IsSupportedName(L"C:\\dir\\photo.tpic", SPImapIndex::KindImage));
    EXPECT_FALSE(f.host.IsSupportedName(L"photo.jpg", SPImapIndex::KindImage));
    EXPECT_FALSE(f.host.IsSupportedName(L"photo.tpic", SPImapIndex::KindArchive));

    f.Image(L"a")->SetFlags(0);
    f.Image(L"c")->SetFlags(0);
    EXPECT_STREQ(L"*.tpic", f.host.GetPatternList(SPImapIndex::KindImage));
    EXPECT_FALSE(f.host.IsSupportedName(L"photo.tpc2", SPImapIndex::KindImage));

    std::unique_ptr<wchar_t[]> multi = SplitListToMultiString(L"*.a;*.b");
    EXPECT_EQ(0, std::memcmp(multi.get(), L"*.a\0*.b\0", 9 * sizeof(wchar_t)));
}

TEST(SpiHost, PictureRequestsGiveOneValidatedPackedDibWhateverThePluginHandsBack)
{
    struct Case
    {
        BYTE mode;
        int result;
        WORD bits;
    };
    const Case cases[] = {
        {TestPictureNormal, SPI_OK, 24},
        {TestPicturePackedInInfo, SPI_OK, 24},
        {TestPicturePackedLeavingBits, SPI_OK, 24},
        {TestPictureV4Header, SPI_OK, 24},
        {TestPictureV5Bitfields, SPI_OK, 32},
        {TestPictureHeaderOnly, SPI_BROKEN_DATA, 0},
        {TestPictureFailDecode, SPI_BROKEN_DATA, 0},
    };
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.Scan();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        std::string bytes = MakeTestPicture(c.mode);
        std::wstring path = f.WriteFile(L"p.tpic", bytes);
        for (bool memory : {false, true}) {
            SPIRequest request = PictureRequest(0, path, bytes, memory);
            ASSERT_EQ(c.result, f.host.GetPicture(&request));
            dibtest::Dib picture(request.output);
            if (c.result != SPI_OK) {
                EXPECT_EQ(nullptr, picture.handle);
                continue;
            }
            ASSERT_NE(nullptr, picture.handle);
            const BYTE* block = static_cast<const BYTE*>(GlobalLock(picture));
            EXPECT_EQ(40u, DibHeaderSize(block));
            EXPECT_EQ(c.bits, DibBitCount(block));
            GlobalUnlock(picture);
            EXPECT_TRUE(HasTestPixels(picture));
        }
    }
    SPIRequest unknown;
    unknown.id = 9;
    EXPECT_EQ(SPI_NO_FUNCTION, f.host.GetPicture(&unknown));
    SPIPictureInfoEx info;
    EXPECT_EQ(SPI_NO_FUNCTION, f.host.GetPictureInfo(&unknown, &info));
    EXPECT_EQ(SPI_NO_FUNCTION, f.host.GetArchiveInfo(&unknown));
    EXPECT_EQ(SPI_NO_FUNCTION, f.host.GetFile(&unknown));
    EXPECT_EQ(SPI_NO_FUNCTION, f.host.ShowConfigurationDlg(9, nullptr, 0, SPImapIndex::KindImage));
    EXPECT_EQ(101, f.host.ShowConfigurationDlg(0, nullptr, 1, SPImapIndex::KindImage));
}

TEST(SpiHost, PictureInformationCarriesTheDecodeOptionAndTheSourceAsGiven)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.Scan();
    std::string bytes = std::string(16, 'z') + MakeTestPicture(TestPictureNormal, 9, 4);
    std::wstring path = f.WriteFile(L"p.tpic", bytes);
    SPIRequest request;
    request.id = 0;
    request.source = path.c_str();
    request.length = 16; // the picture starts 16 bytes into the file
    request.decodeOption = 0x1234;
    SPIPictureInfoEx info;
    std::memset(&info, 0xCC, sizeof(info));
    ASSERT_EQ(SPI_OK, f.host.GetPictureInfo(&request, &info));
    EXPECT_EQ(9, info.info.width);
    EXPECT_EQ(4, info.info.height);
    EXPECT_EQ(24, info.info.colorDepth);
    EXPECT_EQ(0x1234u, info.decodeOption);
    EXPECT_EQ(nullptr, info.exif[0]);
    EXPECT_EQ(0.0, info.length);
    TestPluginCalls* calls = Calls(f.Image(L"a"));
    EXPECT_TRUE(calls->infoRecordMarked);
    EXPECT_EQ(0x1234u, calls->infoDecodeOption);
    EXPECT_EQ(16, calls->lastLength);
    EXPECT_EQ(0u, calls->lastFlags);
    ASSERT_NE(nullptr, info.info.hInfo);
    EXPECT_STREQ("test picture", static_cast<const char*>(GlobalLock(info.info.hInfo)));
    GlobalUnlock(info.info.hInfo);
    GlobalFree(info.info.hInfo);
}

TEST(SpiHost, ProgressCallbackReceivesTheRequestAndCanStopTheDecoder)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.Scan();
    std::wstring path = f.WriteFile(L"p.tpic", MakeTestPicture(TestPictureNormal));
    s_progressSeen.clear();
    s_progressAnswer = 0;
    SPIProgressProc callback = RecordProgress;
    SPIRequest request;
    request.id = 0;
    request.source = path.c_str();
    request.progress = callback;
    ASSERT_EQ(SPI_OK, f.host.GetPicture(&request));
    GlobalFree(request.output);
    EXPECT_EQ((std::vector<LONG_PTR>{reinterpret_cast<LONG_PTR>(&request), reinterpret_cast<LONG_PTR>(&request)}),
              s_progressSeen);

    s_progressAnswer = 1;
    SPIRequest stopped;
    stopped.id = 0;
    stopped.source = path.c_str();
    stopped.progress = callback;
    EXPECT_EQ(SPI_ABORTED, f.host.GetPicture(&stopped));
    EXPECT_EQ(nullptr, stopped.output);

    // Without a callback of its own the request gets the host's, which lets the plug-in go on.
    SPIRequest plain;
    plain.id = 0;
    plain.source = path.c_str();
    ASSERT_EQ(SPI_OK, f.host.GetPicture(&plain));
    GlobalFree(plain.output);
    EXPECT_EQ(f.host.GetDefaultProgress(), plain.progress);
    EXPECT_TRUE(Calls(f.Image(L"a"))->progressGiven);
    EXPECT_EQ(0, Calls(f.Image(L"a"))->progressAnswer);
}

TEST(SpiHost, TheProgramsOwnPluginsAreProbedWithThePlainNameAndOthersWithTheShortOne)
{
    HostFixture f;
    f.folder.Add(L"test_maker", L"a_maker");
    f.folder.Add(L"test_image", L"b_image");
    f.Scan();
    ASSERT_NE(0, f.Image(L"a_maker")->GetGroup());
    std::wstring path = f.WriteFile(L"a rather long picture name.tpic", "no picture at all");
    SPISupportQuery query = FileQuery(path);
    EXPECT_EQ(-1, f.host.IsSupported(query));
    char plain[MAX_PATH] = "", shortName[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, plain, MAX_PATH, nullptr, nullptr);
    wchar_t wideShort[MAX_PATH] = L"";
    ASSERT_NE(0u, GetShortPathNameW(path.c_str(), wideShort, MAX_PATH));
    WideCharToMultiByte(CP_ACP, 0, wideShort, -1, shortName, MAX_PATH, nullptr, nullptr);
    ASSERT_STRNE(plain, shortName);
    // The maker's plug-in judges by the head: no short-name look-up of every folder for it.
    EXPECT_STREQ(plain, Calls(f.Image(L"a_maker"))->lastName);
    EXPECT_STREQ(shortName, Calls(f.Image(L"b_image"))->lastName);
}

TEST(SpiHost, FileWithoutAnAnsiNameFailsBeforeReachingThePlugin)
{
    HostFixture f;
    f.folder.Add(L"test_image", L"a");
    f.Scan();
    std::wstring path = f.WriteFile(L"\uAC00\uB098.tpic", MakeTestPicture(TestPictureNormal));
    SPIRequest request;
    request.id = 0;
    request.source = path.c_str();
    ASSERT_EQ(SPI_OK, f.host.GetPicture(&request)); // through its short name
    dibtest::Dib picture(request.output);
    EXPECT_TRUE(HasTestPixels(picture));
    EXPECT_EQ(nullptr, std::strchr(Calls(f.Image(L"a"))->lastName, '?'));

    CapturedLog log;
    std::wstring missing = f.folder.Folder() / L"\uAC00.tpic";
    int calls = Calls(f.Image(L"a"))->getPicture;
    SPIRequest failing;
    failing.id = 0;
    failing.source = missing.c_str();
    EXPECT_EQ(SPI_FILE_READ_ERROR, f.host.GetPicture(&failing));
    EXPECT_EQ(calls, Calls(f.Image(L"a"))->getPicture);
    SPIPictureInfoEx info;
    EXPECT_EQ(SPI_FILE_READ_ERROR, f.host.GetPictureInfo(&failing, &info));
    EXPECT_EQ(2u, log.records.size());
}

TEST(SpiHost, DynamicLoadingKeepsOnlyEnabledPluginsAndTheirUsersLoaded)
{
    HostFixture f;
    f.Add(L"test_image", {L"a", L"b"});
    f.folder.Add(L"test_archive", L"arc");
    WriteAppIniInt(L"SPI", L"DynamicSPI", 1);
    WriteAppIniString(L"SPISET\\_Default", L"b", L"0,100");
    f.Scan();
    EXPECT_EQ(1, f.host.GetDynamicLoading());
    EXPECT_NE(nullptr, f.Image(L"a")->GetModule());
    EXPECT_EQ(nullptr, f.Image(L"b")->GetModule());
    EXPECT_STREQ(L"*.tpic;*.tpc2;*.TPIC", f.Image(L"b")->GetFilePatterns()); // read before unloading

    f.Image(L"b")->SetFlags(0x10000);
    f.Image(L"a")->SetFlags(0);
    f.host.AddArchiveChild(0, f.Image(L"a")->GetId());
    f.host.LoadEnabledPlugins();
    EXPECT_NE(nullptr, f.Image(L"b")->GetModule());
    EXPECT_STREQ(L"00IN", f.Image(L"b")->GetInfoString(0));
    EXPECT_NE(nullptr, f.Image(L"a")->GetModule()); // a child of an enabled archive plug-in

    f.host.ClearArchiveChildren(0);
    f.host.LoadEnabledPlugins();
    EXPECT_EQ(nullptr, f.Image(L"a")->GetModule());
    std::wstring path = f.WriteFile(L"p.tpic", MakeTestPicture(TestPictureNormal));
    EXPECT_EQ(f.Image(L"b")->GetId(), f.host.IsSupported(FileQuery(path)));
}

TEST(SpiHost, SettingsAreReadAtTheScanAndWrittenBackByTheHost)
{
    PluginFolder folder;
    WriteAppIniInt(L"SPI", L"#PluginEXT", 1);
    WriteAppIniInt(L"SPI", L"MoviePreviewPosition", 25);
    {
        SPImapIndex host;
        EXPECT_EQ(-50, host.GetMoviePreviewPosition());
        host.ScanPlugins(folder.Pattern().c_str(), nullptr, nullptr);
        EXPECT_EQ(1, host.GetPluginExtensionCheck());
        EXPECT_EQ(25, host.GetMoviePreviewPosition());
        host.SetDynamicLoading(1);
        host.SetMoviePreviewPosition(-10);
    }
    EXPECT_EQ(1, GetAppIniInt(L"SPI", L"DynamicSPI", 0));
    EXPECT_EQ(-10, GetAppIniInt(L"SPI", L"MoviePreviewPosition", 0));
    EXPECT_EQ(1, GetAppIniInt(L"SPI", L"#PluginEXT", 0));
}
