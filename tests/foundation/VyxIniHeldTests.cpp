// The program's settings file held in memory: the same values as the platform's reader, changes
// by any writer seen at the next read, writes on disk at once, one read of an unchanged file.
#include "foundation/VyxIni.h"

#include "TestSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Utf16File(const std::wstring& text)
{
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

// Makes the file look written an hour ago, so that its size and time alone tell a change.
void AgeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= 36000000000ull;
    FILETIME old = {time.LowPart, time.HighPart};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &old));
    CloseHandle(file);
}

TEST(VyxIniHeld, ReadsWhatThePlatformReadsFromTheSameFile)
{
    ScratchSettings settings;
    const std::string ansi = "top=before any section\r\n"
                             "[Main]\r\n"
                             "  Plain = value with  inner  blanks   \r\n"
                             "Quoted=\"in quotes\"\r\n"
                             "Single='single'\r\n"
                             "Half=\"open only\r\n"
                             "Lone=\"\r\n"
                             "Empty=\r\n"
                             "NoEquals\r\n"
                             "; comment=like a key\r\n"
                             "dup=first\r\n"
                             "DUP=second\r\n"
                             "Eq=a=b\r\n"
                             "Ctrl=z\x1a\r\n"
                             "Japanese=\x93\xfa\x96\x7b\x8c\xea\r\n"
                             "n1= 12\r\nn2=+7\r\nn3=-3\r\nn4=12abc\r\nn5=abc\r\nn6=\"5\"\r\nn7=0x10\r\n"
                             "n8=4294967297\r\nn9=\r\nn10=0b101\r\nn11=0o17\r\nn12=-0X1f\r\nn13=0x1g\r\n"
                             "n14=0X1f\r\nn15=-0x1f\r\nn16=0B11\r\nn17=0O7\r\nn18= -0x10\r\n"
                             "\tTabbed\t=\tt\t\r\n"
                             "[ Spaced ]\r\nk=spaced section\r\n"
                             "[Broken\r\nafter=broken header\r\n"
                             "[main]\r\nlater=in a second section of the same name\r\n"
                             "[Unix]\nk=lf only\n"
                             "[Tail]\r\nlast=no line end";
    const std::wstring utf16 = L"[Main]\r\nPlain=\u65E5\u672C\r\nWide=\u3000\u3000lead\r\n";
    const std::string utf8 = "\xEF\xBB\xBF[Main]\r\nPlain=\xE6\x97\xA5\xE6\x9C\xAC\r\n";
    const std::string loneReturns = "[Main]\rPlain=lone\rtop=x\r\r\n[Unix]\r\n k = a\rb\r\n";
    const std::string nuls("[Nul]\r\nk=ab\0cd\r\nz\0y=1\r\n[N\0x]\r\nq=2\r\n", 35);
    const std::string files[] = {ansi, Utf16File(utf16), utf8, loneReturns, nuls, std::string()};
    const wchar_t* const keys[][2] = {
        {L"Main", L"Plain"}, {L"main", L"plain"},  {L"Main", L"Quoted"},   {L"Main", L"Single"},    {L"Main", L"Half"},
        {L"Main", L"Lone"},  {L"Main", L"Empty"},  {L"Main", L"NoEquals"}, {L"Main", L"; comment"}, {L"Main", L"dup"},
        {L"Main", L"Eq"},    {L"Main", L"Ctrl"},   {L"Main", L"Japanese"}, {L"Main", L"n1"},        {L"Main", L"n2"},
        {L"Main", L"n3"},    {L"Main", L"n4"},     {L"Main", L"n5"},       {L"Main", L"n6"},        {L"Main", L"n7"},
        {L"Main", L"n8"},    {L"Main", L"n9"},     {L"Main", L"n10"},      {L"Main", L"n11"},       {L"Main", L"n12"},
        {L"Main", L"n13"},   {L"Main", L"Tabbed"}, {L"Main", L" Plain "},  {L"Main", L"n14"},       {L"Main", L"n15"},
        {L"Main", L"n16"},   {L"Main", L"n17"},    {L"Main", L"n18"},      {L"Main", L"top"},       {L"", L"top"},
        {L"Spaced", L"k"},   {L" Spaced ", L"k"},  {L"Main", L"after"},    {L"Main", L"later"},     {L"Unix", L"k"},
        {L"Tail", L"last"},  {L"Main", L"Wide"},   {L"None", L"k"}};
    int index = 0;
    for (const std::string& bytes : files) {
        // A file of its own per row: no reader has seen an earlier text under the same name.
        const std::wstring path = settings.Folder() / (L"same" + std::to_wstring(index++) + L".ini");
        ASSERT_TRUE(ScratchFolder::WriteFile(path, bytes));
        theAppIni.SetPath(path.c_str());
        for (const auto& key : keys) {
            SCOPED_TRACE(testing::Message() << "file " << index << " [" << CStringA(key[0]).GetString() << "] "
                                            << CStringA(key[1]).GetString());
            wchar_t expected[2001] = {};
            GetPrivateProfileStringW(key[0], key[1], L"default  ", expected, 2001, path.c_str());
            CString read;
            EXPECT_STREQ(expected, GetAppIniString(read, key[0], key[1], L"default  "));
            EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(key[0], key[1], -9, path.c_str())),
                      GetAppIniInt(key[0], key[1], -9));
        }
    }
}

TEST(VyxIniHeld, ChangesByAnotherWriterAreReadAtTheNextRead)
{
    ScratchSettings settings;
    const std::wstring path = settings.Folder() / L"settings.ini";
    // Values of one length, written and read back faster than a file-time tick.
    for (int i = 0; i < 40; ++i) {
        const wchar_t value[2] = {static_cast<wchar_t>(L'a' + i % 26), 0};
        ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"k", value, path.c_str()));
        CString read;
        EXPECT_STREQ(value, GetAppIniString(read, L"S", L"k", L"")) << i;
        EXPECT_EQ(i, GetAppIniInt(L"S", L"gone", i));
    }
    // The whole file replaced by another program, then removed.
    for (char digit : std::string("1234")) {
        ASSERT_TRUE(ScratchFolder::WriteFile(path, std::string("[S]\r\nn=") + digit + "\r\n"));
        EXPECT_EQ(digit - '0', GetAppIniInt(L"S", L"n", 0));
    }
    AgeFile(path);
    EXPECT_EQ(4, GetAppIniInt(L"S", L"n", 0));
    ASSERT_TRUE(ScratchFolder::WriteFile(path, "[S]\r\nn=5\r\n"));
    EXPECT_EQ(5, GetAppIniInt(L"S", L"n", 0));
    DeleteFileW(path.c_str());
    EXPECT_EQ(-1, GetAppIniInt(L"S", L"n", -1));
}

TEST(VyxIniHeld, AWrittenSettingIsOnDiskAtOnceAndReadBack)
{
    ScratchSettings settings;
    const std::wstring path = settings.Folder() / L"settings.ini";
    ASSERT_TRUE(ScratchFolder::WriteFile(path, "[S]\r\nk=old\r\nn=1\r\n"));
    AgeFile(path);
    CString read;
    EXPECT_STREQ(L"old", GetAppIniString(read, L"S", L"k", L""));
    EXPECT_TRUE(WriteAppIniString(L"S", L"k", L"new"));
    EXPECT_TRUE(WriteAppIniInt(L"S", L"n", 2));
    wchar_t onDisk[64] = {};
    GetPrivateProfileStringW(L"S", L"k", L"", onDisk, 64, path.c_str());
    EXPECT_STREQ(L"new", onDisk);
    EXPECT_NE(std::string::npos, ScratchFolder::ReadFile(path).find("n=2"));
    EXPECT_STREQ(L"new", GetAppIniString(read, L"S", L"k", L""));
    EXPECT_EQ(2, GetAppIniInt(L"S", L"n", 0));
    // A deleted key and section read as missing at once.
    EXPECT_TRUE(WriteAppIniString(L"S", L"k", nullptr));
    EXPECT_STREQ(L"gone", GetAppIniString(read, L"S", L"k", L"gone"));
    EXPECT_TRUE(theAppIni.WriteString(L"S", nullptr, nullptr));
    EXPECT_EQ(0, GetAppIniInt(L"S", L"n", 0));
}

TEST(VyxIniHeld, AnUnchangedFileIsReadOnceForManyReadsAndACopyKeepsItsOwnFile)
{
    ScratchSettings settings;
    const std::wstring path = settings.Folder() / L"settings.ini";
    ASSERT_TRUE(ScratchFolder::WriteFile(path, "[S]\r\nk=v\r\nn=3\r\n"));
    AgeFile(path);
    const unsigned before = theAppIni.GetHeldFileLoads();
    CString read;
    for (int i = 0; i < 100; ++i) {
        GetAppIniString(read, L"S", L"k", L"");
        GetAppIniInt(L"S", L"n", 0);
    }
    EXPECT_EQ(before + 1, theAppIni.GetHeldFileLoads());
    EXPECT_EQ(0u, VyxIni(path.c_str()).GetHeldFileLoads());

    VyxIni copy = theAppIni;
    const std::wstring other = settings.Folder() / L"other.ini";
    ASSERT_TRUE(ScratchFolder::WriteFile(other, "[S]\r\nk=other\r\n"));
    theAppIni.SetPath(other.c_str());
    EXPECT_STREQ(L"other", GetAppIniString(read, L"S", L"k", L""));
    EXPECT_STREQ(L"v", copy.GetString(read, L"S", L"k", L""));
}

TEST(VyxIniHeld, AWriteBackWritesOnlyAValueTheFileDoesNotHoldAsItStands)
{
    ScratchSettings settings;
    const std::wstring path = settings.Folder() / L"settings.ini";
    ASSERT_TRUE(ScratchFolder::WriteFile(path, "[S]\r\nn=4\r\nt=log\r\ne=\r\nq=\"x\"\r\n"));
    AgeFile(path);
    const unsigned writes = VyxIni::GetWriteCount();
    EXPECT_TRUE(WriteBackAppIniInt(L"S", L"n", 4));
    EXPECT_TRUE(WriteBackAppIniString(L"S", L"t", L"log"));
    EXPECT_TRUE(WriteBackAppIniString(L"S", L"e", L""));
    EXPECT_EQ(writes, VyxIni::GetWriteCount());
    // Another value, a missing key (empty values too) and a value read otherwise than it is
    // written are written.
    EXPECT_TRUE(WriteBackAppIniInt(L"S", L"n", 5));
    EXPECT_TRUE(WriteBackAppIniString(L"S", L"missing", L""));
    EXPECT_TRUE(WriteBackAppIniString(L"S", L"q", L"\"x\""));
    EXPECT_EQ(writes + 3, VyxIni::GetWriteCount());
    const std::string bytes = ScratchFolder::ReadFile(path);
    EXPECT_NE(std::string::npos, bytes.find("n=5"));
    EXPECT_NE(std::string::npos, bytes.find("missing="));
}

TEST(VyxIniHeld, AWriteOfTheValueTheFileHoldsLeavesTheFileAsItStands)
{
    ScratchSettings settings;
    const std::wstring path = settings.Folder() / L"settings.ini";
    const std::string before = "[S]\r\nn=4\r\nt=log\r\nq=\"x\"\r\nlong=abcd\r\n";
    ASSERT_TRUE(ScratchFolder::WriteFile(path, before));
    AgeFile(path);
    const unsigned writes = VyxIni::GetWriteCount();
    EXPECT_TRUE(WriteAppIniInt(L"S", L"n", 4));
    EXPECT_TRUE(WriteAppIniString(L"s", L"T", L"log"));
    EXPECT_EQ(writes, VyxIni::GetWriteCount());
    EXPECT_EQ(before, ScratchFolder::ReadFile(path));
    // Another value, a value the file holds only in part or otherwise than written, and a
    // missing key all go to the file.
    const struct
    {
        const wchar_t* key;
        const wchar_t* value;
        const char* written;
    } rows[] = {
        {L"n", L"5", "n=5"}, {L"long", L"abc", "long=abc\r"}, {L"q", L"\"x\"", "q=\"x\""}, {L"new", L"", "new="}};
    for (const auto& row : rows) {
        const unsigned count = VyxIni::GetWriteCount();
        EXPECT_TRUE(WriteAppIniString(L"S", row.key, row.value));
        EXPECT_EQ(count + 1, VyxIni::GetWriteCount()) << row.written;
        EXPECT_NE(std::string::npos, ScratchFolder::ReadFile(path).find(row.written)) << row.written;
    }
    // Right after a write, values that stand are told from one reading of the file, not one each.
    const unsigned loads = theAppIni.GetHeldFileLoads();
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(WriteAppIniInt(L"S", L"n", 5));
    EXPECT_LE(theAppIni.GetHeldFileLoads(), loads + 1);
    CString read;
    EXPECT_STREQ(L"5", GetAppIniString(read, L"S", L"n", L""));
}

} // namespace
