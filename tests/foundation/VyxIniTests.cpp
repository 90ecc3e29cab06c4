#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxString.h"

#include "TestSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class VyxIniTest : public ::testing::Test
{
protected:
    ScratchSettings settings;

    std::string FileText() const { return ScratchFolder::ReadFile(settings.Folder() / L"settings.ini"); }
};

TEST(VyxIniPath, BareNameGoesToTheProgramFolderWithIniExtension)
{
    CString folder;
    GetModuleFolder(folder);
    struct Row
    {
        const wchar_t* name;
        CString expected;
    } rows[] = {
        {L"ThumbData", folder + L"\\ThumbData.ini"},
        {L"ThumbData.cfg", folder + L"\\ThumbData.cfg"},
        {L"C:\\data\\Thumb", L"C:\\data\\Thumb.ini"},
        {L"C:\\data\\Thumb.x", L"C:\\data\\Thumb.x"},
        {L"", L""},
        {nullptr, L""},
    };
    for (const Row& row : rows) {
        VyxIni ini;
        ini.SetPath(row.name);
        EXPECT_STREQ(row.expected, ini.GetPath()) << (row.name ? row.name : L"(null)");
    }
}

TEST_F(VyxIniTest, MissingKeysGiveTheDefaults)
{
    CString text;
    EXPECT_EQ(-7, GetAppIniInt(L"S", L"none", -7));
    EXPECT_TRUE(GetAppIniBool(L"S", L"none", true));
    EXPECT_EQ(0x123456, GetAppIniHexInt(L"S", L"none", 0x123456));
    EXPECT_DOUBLE_EQ(2.5, GetAppIniDouble(L"S", L"none", 2.5));
    EXPECT_STREQ(L"def", GetAppIniString(text, L"S", L"none", L"def"));
    unsigned char bytes[4] = {9, 9, 9, 9};
    EXPECT_EQ(0, GetAppIniBinary(L"S", L"none", bytes, 4));
    EXPECT_EQ(0u, theAppIni.GetFileSize());
}

TEST_F(VyxIniTest, IntsBoolsStringsAndDoublesRoundTrip)
{
    EXPECT_TRUE(WriteAppIniInt(L"S", L"i", -12345));
    EXPECT_TRUE(WriteAppIniBool(L"S", L"b", true));
    EXPECT_TRUE(WriteAppIniString(L"S", L"s", L"日本語 text"));
    EXPECT_EQ(-12345, GetAppIniInt(L"S", L"i", 0));
    EXPECT_TRUE(GetAppIniBool(L"S", L"b", false));
    EXPECT_STREQ(L"日本語 text", GetAppIniString(L"S", L"s", L""));
    VyxString vs;
    EXPECT_TRUE(GetAppIniString(vs, L"S", L"s", L"") == L"日本語 text");
    EXPECT_TRUE(WriteAppIniDouble(L"D", L"big", 1e20));
    EXPECT_DOUBLE_EQ(1e20, GetAppIniDouble(L"D", L"big", 0));
    std::string text = FileText();
    EXPECT_NE(std::string::npos, text.find("i=-12345"));
    EXPECT_NE(std::string::npos, text.find("big=1e+20\r\n")); // the shortest general form
    EXPECT_GT(theAppIni.GetFileSize(), 0u);
}

TEST_F(VyxIniTest, HexIntsAreWrittenWithHashAndReadEitherWay)
{
    EXPECT_TRUE(WriteAppIniHexInt(L"C", L"colour", 0xFF8000));
    EXPECT_NE(std::string::npos, FileText().find("colour=#00FF8000"));
    EXPECT_EQ(0xFF8000, GetAppIniHexInt(L"C", L"colour", 0));
    struct Row
    {
        const wchar_t* stored;
        int expected;
    } rows[] = {{L"#ff8000", 0xFF8000}, {L"255", 255}, {L"#FFFFFFFF", -1}, {L"#12zz", 0x12}, {L"abc", 0}};
    for (const Row& row : rows) {
        WriteAppIniString(L"C", L"k", row.stored);
        EXPECT_EQ(row.expected, GetAppIniHexInt(L"C", L"k", 99)) << row.stored;
    }
}

TEST_F(VyxIniTest, BinaryIsUpperCaseHexPairsReadInEitherCase)
{
    const unsigned char data[] = {0x01, 0xAB, 0xff, 0x00};
    EXPECT_TRUE(WriteAppIniBinary(L"B", L"v", data, 4));
    EXPECT_NE(std::string::npos, FileText().find("v=01ABFF00"));
    unsigned char read[4] = {};
    EXPECT_EQ(4, GetAppIniBinary(L"B", L"v", read, 4));
    EXPECT_EQ(0, memcmp(data, read, 4));
    // Read back: hex letters in either case; a pair of other characters counts but gives zero;
    // the count is the stored one, only the buffer's size is copied.
    WriteAppIniString(L"B", L"v", L"0aZz0Bx");
    unsigned char pairs[4] = {7, 7, 7, 7};
    EXPECT_EQ(3, GetAppIniBinary(L"B", L"v", pairs, 2));
    EXPECT_EQ(0x0A, pairs[0]);
    EXPECT_EQ(0x00, pairs[1]);
    EXPECT_EQ(7, pairs[2]);
}

TEST_F(VyxIniTest, LongStringsAreCutAt2000Characters)
{
    std::wstring text(2500, L'x');
    text[1999] = L'y';
    WriteAppIniString(L"L", L"s", text.c_str());
    CString read = GetAppIniString(L"L", L"s", L"");
    EXPECT_EQ(2000, read.GetLength());
    EXPECT_EQ(L'y', read[1999]);
}

TEST_F(VyxIniTest, NullKeyDeletesSectionAndNullValueDeletesKey)
{
    WriteAppIniInt(L"S", L"a", 1);
    WriteAppIniInt(L"S", L"b", 2);
    WriteAppIniInt(L"T", L"c", 3);
    WriteAppIniString(L"S", L"a", nullptr);
    EXPECT_EQ(0, GetAppIniInt(L"S", L"a", 0));
    EXPECT_EQ(2, GetAppIniInt(L"S", L"b", 0));
    WriteAppIniString(L"S", nullptr, nullptr);
    EXPECT_EQ(0, GetAppIniInt(L"S", L"b", 0));
    wchar_t names[64] = {};
    int length = theAppIni.GetSectionNames(names, 64);
    EXPECT_STREQ(L"T", names);
    EXPECT_EQ(2, length);
}

TEST_F(VyxIniTest, SectionsAreReadAndWrittenWhole)
{
    EXPECT_TRUE(theAppIni.WriteSection(L"W", L"x=1\0y=2\0"));
    wchar_t buffer[64] = {};
    EXPECT_GT(theAppIni.GetSection(L"W", buffer, 64), 0);
    EXPECT_STREQ(L"x=1", buffer);
    EXPECT_STREQ(L"y=2", buffer + 4);
    VyxIni noPath;
    EXPECT_EQ(0, noPath.GetSection(L"W", buffer, 64));
    EXPECT_FALSE(noPath.WriteSection(L"W", L"x=1\0"));
}

TEST(VyxIniProfile, EmptyPathFallsBackToTheApplicationProfile)
{
    CWinApp* app = AfxGetApp();
    ASSERT_NE(nullptr, app);
    VyxIni profile;
    const unsigned char bytes[] = {0x00, 0x7F, 0xAB};
    EXPECT_TRUE(profile.WriteInt(L"VyxIniProfile", L"i", -5));
    EXPECT_TRUE(profile.WriteHexInt(L"VyxIniProfile", L"h", 0xABCDEF));
    EXPECT_TRUE(profile.WriteDouble(L"VyxIniProfile", L"d", 0.25));
    EXPECT_TRUE(profile.WriteBinary(L"VyxIniProfile", L"b", bytes, 3));
    EXPECT_EQ(-5, profile.GetInt(L"VyxIniProfile", L"i", 0));
    EXPECT_EQ(-5, static_cast<int>(app->GetProfileInt(L"VyxIniProfile", L"i", 0)));
    EXPECT_EQ(0xABCDEF, profile.GetHexInt(L"VyxIniProfile", L"h", 0));
    EXPECT_DOUBLE_EQ(0.25, profile.GetDouble(L"VyxIniProfile", L"d", 0));
    unsigned char read[3] = {};
    EXPECT_EQ(3, profile.GetBinary(L"VyxIniProfile", L"b", read, 3));
    EXPECT_EQ(0, memcmp(bytes, read, 3));
    // The profile's binary form is the one the file reader decodes.
    VyxIni file(app->m_pszProfileName);
    unsigned char fromFile[3] = {};
    EXPECT_EQ(3, file.GetBinary(L"VyxIniProfile", L"b", fromFile, 3));
    EXPECT_EQ(0, memcmp(bytes, fromFile, 3));
    EXPECT_EQ(0, profile.GetSection(L"VyxIniProfile", nullptr, 0));
    profile.WriteString(L"VyxIniProfile", nullptr, nullptr);
    EXPECT_EQ(7, profile.GetInt(L"VyxIniProfile", L"i", 7));
}

} // namespace

TEST_F(VyxIniTest, FilesOfFourGigabytesAndMoreAreMeasuredWholeAndNeverReadWhole)
{
    WriteAppIniString(L"Big", L"key", L"value");
    // Sparse: the size without the disk space.
    const CString path = theAppIni.GetPath();
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER end;
    end.QuadPart = (1ll << 32) + 100;
    const bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(grown);
    EXPECT_EQ((1ull << 32) + 100, theAppIni.GetFileSize());
    std::vector<wchar_t> entries;
    EXPECT_FALSE(theAppIni.GetWholeSection(L"Big", entries));
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(0, entries[0]);
    CStringArray lines;
    theAppIni.GetSectionLines(L"Big", lines);
    EXPECT_EQ(0, lines.GetSize());
    DeleteFileW(path);
}

TEST_F(VyxIniTest, WholeSectionsAndSectionNamesComeInOneReadInFileOrder)
{
    WriteAppIniString(L"One", L"a", L"1");
    WriteAppIniString(L"One", L"b", std::wstring(3000, L'x').c_str());
    WriteAppIniString(L"Two", L"c", L"3");
    std::vector<wchar_t> entries;
    ASSERT_TRUE(theAppIni.GetWholeSection(L"One", entries));
    std::vector<std::wstring> read;
    for (const wchar_t* entry = entries.data(); *entry; entry += wcslen(entry) + 1)
        read.emplace_back(entry);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(L"a=1", read[0]);
    EXPECT_EQ(L"b=" + std::wstring(3000, L'x'), read[1]);
    std::vector<wchar_t> names;
    ASSERT_TRUE(theAppIni.GetWholeSectionNames(names));
    EXPECT_STREQ(L"One", names.data());
    EXPECT_STREQ(L"Two", names.data() + 4);
    EXPECT_FALSE(theAppIni.GetWholeSection(L"Three", entries));
    EXPECT_EQ(0, entries[0]);
}
