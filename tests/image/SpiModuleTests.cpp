#include "PluginTestUtil.h"

#include "image/DibValidate.h"
#include "image/plugins/VyxSPI.h"

#include <gtest/gtest.h>

using namespace plugintest;

namespace {

// A plug-in object on a fresh copy of a test DLL (so its record of calls starts empty).
class LoadedPlugin
{
public:
    LoadedPlugin(PluginFolder& folder, const wchar_t* source, const wchar_t* name)
    {
        folder.Add(source, name);
        plugin = new VyxSPI(LoadLibraryW(folder.Path(name).c_str()));
        plugin->SetPath(folder.Path(name).c_str());
        plugin->LoadInfo();
    }
    ~LoadedPlugin() { delete plugin; }
    VyxSPI* operator->() const { return plugin; }
    VyxSPI* plugin;
};

HGLOBAL Block(const void* data, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    return block;
}

} // namespace

TEST(VyxSPI, LoadInfoReadsKindNamesAndJoinsEvenTextsAsPatterns)
{
    PluginFolder folder;
    LoadedPlugin plugin(folder, L"test_image", L"Pictures");
    ASSERT_NE(nullptr, plugin->GetModule());
    EXPECT_STREQ(L"00IN", plugin->GetInfoString(0));
    EXPECT_STREQ(L"Test picture plug-in", plugin->GetInfoString(1));
    EXPECT_STREQ(L"Test pictures", plugin->GetInfoString(3));
    EXPECT_STREQ(L"", plugin->GetInfoString(5)); // odd texts after 3 are not read
    EXPECT_STREQ(L"", plugin->GetInfoString(99));
    EXPECT_STREQ(L"*.tpic;*.tpc2;*.TPIC", plugin->GetFilePatterns());
    EXPECT_STREQ(L"Pictures", plugin->GetFileName());
}

TEST(VyxSPI, InformationTextsEndInsideTheirBuffer)
{
    PluginFolder folder;
    LoadedPlugin sloppy(folder, L"test_unknown", L"sloppy"); // fills all 256 bytes of text 1
    EXPECT_STREQ(L"00XX", sloppy->GetInfoString(0));
    EXPECT_EQ(SPI_INFO_TEXT_BYTES - 1, sloppy->GetInfoString(1).GetLength());
    wchar_t small[8];
    EXPECT_NE(0, sloppy->GetPluginInfo(1, small, 8)); // too long for the caller's buffer: empty
    EXPECT_STREQ(L"", small);
}

TEST(VyxSPI, MissingEntryPointsAreNeverCalled)
{
    PluginFolder folder;
    LoadedPlugin archive(folder, L"test_archive", L"arc");
    SPIRequest request;
    request.source = L"C:\\nothing.tarc";
    EXPECT_EQ(SPI_NO_FUNCTION, archive->GetPicture(&request));
    EXPECT_EQ(SPI_NO_FUNCTION, archive->GetPreview(&request));
    SPIPictureInfoEx info = {};
    EXPECT_EQ(SPI_NO_FUNCTION, archive->GetPictureInfo(&request, &info));
    EXPECT_EQ(SPI_NO_FUNCTION, archive->ConfigurationDlg(nullptr, 0));
    EXPECT_FALSE(archive->HasConfigurationDlg());

    VyxSPI empty;
    wchar_t text[16] = L"x";
    EXPECT_EQ(0, empty.GetPluginInfo(0, text, 16));
    EXPECT_STREQ(L"", text);
    BYTE head[SPI_HEAD_BYTES] = {};
    EXPECT_EQ(0, empty.IsSupported(L"C:\\a.tpic", head));
    EXPECT_EQ(SPI_NO_FUNCTION, empty.GetArchiveInfo(&request));
    EXPECT_EQ(SPI_NO_FUNCTION, empty.GetFile(&request));
    SPIFileInfo record = {};
    EXPECT_EQ(SPI_NO_FUNCTION, empty.GetFileInfo(&request, "a", &record));
}

TEST(VyxSPI, ChildListsCountUsesAndKeepTheDllLoaded)
{
    PluginFolder folder;
    LoadedPlugin image(folder, L"test_image", L"img");
    LoadedPlugin other(folder, L"test_image", L"other");
    VyxSPIChildArray first, second;
    EXPECT_EQ(0, first.Add(nullptr));
    EXPECT_EQ(1, first.Add(image.plugin));
    EXPECT_EQ(0, first.Add(image.plugin)); // the same name is held once
    EXPECT_EQ(2, first.Add(other.plugin));
    EXPECT_EQ(1, second.Add(image.plugin));
    EXPECT_EQ(2, image->GetUseCount());

    first.RemoveAll();
    EXPECT_EQ(1, image->GetUseCount());
    EXPECT_EQ(0, other->GetUseCount());
    image->Unload();
    EXPECT_NE(nullptr, image->GetModule());

    EXPECT_EQ(0, second.RemoveByName(L"other"));
    EXPECT_EQ(1, second.RemoveByName(L"IMG"));
    image->Unload();
    EXPECT_EQ(nullptr, image->GetModule());
    wchar_t text[16];
    EXPECT_EQ(0, image->GetPluginInfo(0, text, 16));
}

TEST(VyxSPI, AChildListLetsAPlugInGoByItsId)
{
    PluginFolder folder;
    LoadedPlugin image(folder, L"test_image", L"img");
    LoadedPlugin other(folder, L"test_image", L"other");
    image->SetId(5);
    other->SetId(7);
    VyxSPIChildArray list;
    ASSERT_EQ(1, list.Add(image.plugin));
    ASSERT_EQ(2, list.Add(other.plugin));
    EXPECT_EQ(0, list.RemoveById(9));
    EXPECT_EQ(2, list.GetSize());
    EXPECT_EQ(1, list.RemoveById(7));
    EXPECT_EQ(0, other->GetUseCount());
    EXPECT_EQ(1, image->GetUseCount());
    ASSERT_EQ(1, list.GetSize());
    EXPECT_EQ(image.plugin, list.GetAt(0));
    EXPECT_EQ(0, list.RemoveById(7));
}

TEST(VyxSPI, SortIsStableByOrderKeyUnlessAskedToKeepTheOrder)
{
    VyxSPIArray list;
    VyxSPI a, b, c;
    a.SetOrder(100);
    a.SetId(1);
    b.SetOrder(10);
    b.SetId(2);
    c.SetOrder(100);
    c.SetId(3);
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    list.Sort(1);
    EXPECT_EQ(&a, list.GetAt(0));
    list.Sort();
    EXPECT_EQ(&b, list.GetAt(0));
    EXPECT_EQ(&a, list.GetAt(1));
    EXPECT_EQ(&c, list.GetAt(2));
    EXPECT_EQ(nullptr, list.GetAt(3));
    EXPECT_EQ(2, list.IndexOfId(3));
    EXPECT_EQ(nullptr, list.FindById(7));
    list.RemoveAll();
}

TEST(VyxSPI, JoinDibHandlesReadsV4AndV5HeadersAndStaysInsideTheBlocks)
{
    // A 3 x 2 picture of 24 bits behind a V4 header: rows of 12 bytes.
    BITMAPV4HEADER v4 = {};
    v4.bV4Size = sizeof(v4);
    v4.bV4Width = 3;
    v4.bV4Height = 2;
    v4.bV4Planes = 1;
    v4.bV4BitCount = 24;
    std::string rows(24, '\0');
    for (int i = 0; i < 24; ++i)
        rows[i] = static_cast<char>(i + 1);
    HGLOBAL info = Block(&v4, sizeof(v4));
    HGLOBAL bits = Block(rows.data(), rows.size());
    dibtest::Dib joined(AdoptDib(JoinDibHandles(info, bits)));
    ASSERT_NE(nullptr, joined.handle);
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(joined));
    EXPECT_EQ(40u, DibHeaderSize(block));
    EXPECT_EQ(0, std::memcmp(DibBits(block), rows.data(), rows.size()));
    GlobalUnlock(joined);

    // Short bits: the rest of the picture is zero, nothing is read past the block.
    HGLOBAL shortBits = Block(rows.data(), 5);
    dibtest::Dib partial(AdoptDib(JoinDibHandles(info, shortBits)));
    ASSERT_NE(nullptr, partial.handle);
    block = static_cast<const BYTE*>(GlobalLock(partial));
    EXPECT_EQ(0, std::memcmp(DibBits(block), rows.data(), 5));
    EXPECT_EQ(0, DibBits(block)[5]);
    GlobalUnlock(partial);

    // An info block shorter than the header it announces cannot be read.
    HGLOBAL truncated = Block(&v4, 20);
    EXPECT_EQ(nullptr, JoinDibHandles(truncated, bits));
    BYTE odd[44] = {44};
    HGLOBAL unknown = Block(odd, sizeof(odd));
    EXPECT_EQ(nullptr, JoinDibHandles(unknown, bits));
    for (HGLOBAL h : {info, bits, shortBits, truncated, unknown})
        GlobalFree(h);
}

TEST(VyxSPI, MakePluginPathGivesANameThePluginCanOpenOrNone)
{
    ScratchFolder scratch(L"vyxspi");
    char name[MAX_PATH];
    std::wstring ascii = scratch / L"a rather long file name.tpic";
    ScratchFolder::WriteFile(ascii, "x");
    ASSERT_TRUE(MakePluginPath(ascii.c_str(), name));
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);

    // Hangul is outside code page 932: only a short name can carry such a file.
    std::wstring foreign = scratch / L"\uAC00\uB098.tpic";
    ScratchFolder::WriteFile(foreign, "x");
    ASSERT_TRUE(MakePluginPath(foreign.c_str(), name));
    file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);

    std::wstring missing = scratch / L"missing.tpic";
    ASSERT_TRUE(MakePluginPath(missing.c_str(), name));
    EXPECT_EQ(0, lstrcmpiA(name, CStringA(missing.c_str())));
    std::wstring missingForeign = scratch / L"\uAC00.tpic";
    EXPECT_FALSE(MakePluginPath(missingForeign.c_str(), name));
    EXPECT_STREQ("", name);
}

TEST(SpiInterface, ListingIsReadWithinItsBlockWithTerminatedTexts)
{
    SPIFileInfo records[2] = {};
    std::memcpy(records[0].method, "TEST", 4);
    std::memset(records[0].path, 'p', sizeof(records[0].path));
    std::memset(records[0].fileName, 'n', sizeof(records[0].fileName));
    std::memcpy(records[1].method, "TEST", 4);
    // No end record, and a trailing part record that must not be read.
    HGLOBAL listing = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(records) + 100);
    BYTE* block = static_cast<BYTE*>(GlobalLock(listing));
    std::memcpy(block, records, sizeof(records));
    std::memset(block + sizeof(records), 'x', 100);
    GlobalUnlock(listing);
    std::vector<SPIFileInfo> read = ReadArchiveListing(listing);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(199u, std::strlen(read[0].path));
    EXPECT_EQ(199u, std::strlen(read[0].fileName));
    GlobalFree(listing);
    EXPECT_TRUE(ReadArchiveListing(nullptr).empty());
}

TEST(SpiInterface, RequestIsFoundOnlyBehindItsOwnAddress)
{
    SPIRequest request;
    EXPECT_EQ(nullptr, FindVyxRequest(reinterpret_cast<LONG_PTR>(&request))); // callback data not set
    request.callbackData = reinterpret_cast<LONG_PTR>(&request);
    EXPECT_EQ(&request, FindVyxRequest(request.callbackData));
    EXPECT_EQ(nullptr, FindVyxRequest(0));
    EXPECT_EQ(nullptr, FindVyxRequest(0x1234));
    request.tag[0] = 'w';
    EXPECT_EQ(nullptr, FindVyxRequest(request.callbackData));

    SPIPictureInfoEx longer = {};
    EXPECT_EQ(nullptr, FindPictureInfoEx(&longer.info));
    MarkPictureInfoEx(&longer);
    EXPECT_EQ(&longer, FindPictureInfoEx(&longer.info));
}
