#include "foundation/VyxFileFind.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxPath.h"

#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

const long long kYear2200 = 7258118400LL; // 2200-01-01 00:00:00 UTC

CString Text(const std::wstring& s)
{
    return CString(s.c_str());
}

// Sets a file's times to the given Unix seconds; a null time leaves that time alone.
void SetTimes(const std::wstring& path, const long long* creation, const long long* write)
{
    FILETIME c, w;
    if (creation)
        UnixTimeToFileTime(*creation, c);
    if (write)
        UnixTimeToFileTime(*write, w);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_TRUE(SetFileTime(h, creation ? &c : nullptr, nullptr, write ? &w : nullptr));
    CloseHandle(h);
}

} // namespace

TEST(VyxFileStatus, ReadsSizeAttributesAndTimes)
{
    ScratchFolder folder;
    std::wstring path = folder / L"a.txt";
    ScratchFolder::WriteFile(path, "hello");
    VyxFileStatus status(path.c_str());
    EXPECT_EQ(5u, status.GetSize());
    EXPECT_FALSE(status.IsDirectory());
    EXPECT_EQ(0, status.GetAttributes() & ~0x7F);
    EXPECT_GT(status.GetWriteTime(), 1500000000LL);
    EXPECT_NE(0, status.GetCreationTime());
    EXPECT_NE(0, status.GetAccessTime());
    VyxFileStatus dir(folder.Path().c_str());
    EXPECT_TRUE(dir.IsDirectory());
    VyxFileStatus missing;
    EXPECT_FALSE(missing.GetStatus((folder / L"none.txt").c_str()));
    EXPECT_EQ(0u, missing.GetSize());
    EXPECT_EQ(0, missing.GetAttributes());
    EXPECT_EQ(0, missing.GetWriteTime());
}

TEST(VyxFileStatus, TimesAfter2038SurviveAWriteBack)
{
    ScratchFolder folder;
    std::wstring source = folder / L"source.txt", target = folder / L"target.txt";
    ScratchFolder::WriteFile(source, "x");
    ScratchFolder::WriteFile(target, "y");
    SetTimes(source, &kYear2200, &kYear2200);
    VyxFileStatus status(source.c_str());
    EXPECT_EQ(kYear2200, status.GetWriteTime());
    status.SetStatus(target.c_str());
    VyxFileStatus copy(target.c_str());
    EXPECT_EQ(kYear2200, copy.GetWriteTime());
    EXPECT_EQ(kYear2200, copy.GetCreationTime());
    EXPECT_TRUE(copy.IsSameFile(status));
}

TEST(VyxFileStatus, UnixTimeConvertsInUtcWithoutLocalShift)
{
    struct
    {
        long long seconds;
        unsigned long long ticks;
    } const cases[] = {
        {0, 116444736000000000ULL},
        {1720000000LL, 116444736000000000ULL + 1720000000ULL * 10000000ULL}, // a summer date
        {1700000000LL, 116444736000000000ULL + 1700000000ULL * 10000000ULL}, // a winter date
        {-11644473600LL, 0},
        {kYear2200, 116444736000000000ULL + 7258118400ULL * 10000000ULL},
    };
    // The tests run under a zone with summer time: a conversion through local time would shift
    // the summer or the winter date (whichever differs from today) by an hour or more.
    for (long long seconds : {1720000000LL, 1700000000LL}) {
        FILETIME utcFile;
        UnixTimeToFileTime(seconds, utcFile);
        SYSTEMTIME utc, local;
        FileTimeToSystemTime(&utcFile, &utc);
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
        ASSERT_NE(utc.wHour, local.wHour) << "the test zone is UTC";
    }
    for (const auto& c : cases) {
        FILETIME ft;
        UnixTimeToFileTime(c.seconds, ft);
        EXPECT_EQ(c.ticks, static_cast<unsigned long long>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) << c.seconds;
        EXPECT_EQ(c.seconds, FileTimeToUnixTime(ft));
    }
    FILETIME ft;
    EXPECT_THROW(
        {
            try {
                UnixTimeToFileTime(-11644473601LL, ft);
            } catch (CFileException* e) {
                e->Delete();
                throw 1;
            }
        },
        int);
}

TEST(VyxFileStatus, ReadOnlyTargetGetsTimesAndKeepsReadOnly)
{
    ScratchFolder folder;
    std::wstring source = folder / L"ro-source.txt", target = folder / L"ro-target.txt";
    ScratchFolder::WriteFile(source, "x");
    ScratchFolder::WriteFile(target, "y");
    const long long first = 1234567890LL, second = 1000000000LL;
    SetTimes(source, nullptr, &first);
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY);
    // Stored read-only, target writable: times first, then the attribute.
    VyxFileStatus status(source.c_str());
    status.SetStatus(target.c_str());
    VyxFileStatus copied(target.c_str());
    EXPECT_EQ(first, copied.GetWriteTime());
    EXPECT_TRUE(copied.GetAttributes() & FILE_ATTRIBUTE_READONLY);
    // Stored writable, target read-only: the attribute first, so the times can be written.
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetTimes(source, nullptr, &second);
    VyxFileStatus writable(source.c_str());
    writable.SetStatus(target.c_str());
    VyxFileStatus result(target.c_str());
    EXPECT_FALSE(result.GetAttributes() & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(second, result.GetWriteTime());
}

TEST(VyxFileStatus, SetStatusOnAMissingFileThrows)
{
    ScratchFolder folder;
    std::wstring source = folder / L"s.txt";
    ScratchFolder::WriteFile(source, "x");
    VyxFileStatus status(source.c_str());
    bool thrown = false;
    try {
        status.SetStatus((folder / L"missing.txt").c_str());
    } catch (CFileException* e) {
        thrown = e->m_lOsError == ERROR_FILE_NOT_FOUND;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST(VyxFileStatus, MacroTextsOfAPath)
{
    VyxFileStatus status;
    status.SetPath(L"C:\\a\\b.txt");
    struct
    {
        int id;
        const wchar_t* text;
    } const cases[] = {
        {0, L"C:\\a\\b.txt"}, {1, L"C:\\a"}, {2, L"b.txt"}, {3, L"b"}, {4, L".txt"}, {6, L"a"},
        {15, L"0"},           {20, L""},     {-1, L""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, status.GetMacroText(c.id).GetString()) << c.id;
    CString folder;
    EXPECT_STREQ(GetModuleFolder(folder).GetString(), status.GetMacroText(5).GetString());
    EXPECT_EQ(8, status.GetMacroText(19).GetLength());
    EXPECT_FALSE(status.GetMacroText(16).IsEmpty());
    EXPECT_FALSE(status.GetMacroText(17).IsEmpty());
    EXPECT_EQ(20, static_cast<int>(sizeof kFileMacros / sizeof kFileMacros[0]));
    EXPECT_STREQ(L"$(Dir)", kFileMacros[2].name);
    EXPECT_EQ(1, kFileMacros[2].id);
    EXPECT_EQ(19, kFileMacros[19].id);
}

TEST(VyxFileStatus, MacroTextsOfAFile)
{
    ScratchFolder folder;
    std::wstring path = folder / L"a long file name.jpeg";
    ScratchFolder::WriteFile(path, std::string(1234567, 'z'));
    const long long winter = 1234567890LL, summer = 1720000000LL;
    SetTimes(path, nullptr, &winter);
    VyxFileStatus status(path.c_str());
    EXPECT_STREQ(L"1,234,567", status.GetMacroText(14).GetString());
    EXPECT_STREQ(L"1,234,567", status.GetMacroText(15).GetString());
    // The tests run under a zone with summer time that is never UTC, so a date shown in UTC or
    // with today's offset instead of the date's cannot pass.
    auto local = [](long long seconds) {
        FILETIME time;
        UnixTimeToFileTime(seconds, time);
        SYSTEMTIME utc, st;
        FileTimeToSystemTime(&time, &utc);
        EXPECT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st));
        EXPECT_NE(utc.wHour, st.wHour) << "the test zone is UTC";
        CString text;
        text.Format(L"%04d/%02d/%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
        return text;
    };
    for (long long seconds : {winter, summer}) {
        SetTimes(path, nullptr, &seconds);
        status.GetStatus(path.c_str());
        CString expected = local(seconds);
        EXPECT_STREQ(expected.GetString(), status.GetMacroText(9).GetString());
        EXPECT_STREQ(expected.Left(10).GetString(), status.GetMacroText(10).GetString());
        EXPECT_STREQ(expected.Mid(11).GetString(), status.GetMacroText(11).GetString());
        EXPECT_STREQ(local(status.GetCreationTime()).Left(10).GetString(), status.GetMacroText(12).GetString());
    }
    wchar_t shortPath[520];
    GetShortPathNameW(path.c_str(), shortPath, 520);
    EXPECT_STREQ(shortPath, status.GetMacroText(7).GetString());
    CString shortName;
    EXPECT_STREQ(GetPathPart(shortName, shortPath, PartFileName).GetString(), status.GetMacroText(8).GetString());
}

TEST(VyxFileFind, CountTreeCountsEntriesAndBytesToTheGivenDepth)
{
    ScratchFolder folder;
    ScratchFolder::WriteFile(folder / L"one.txt", "1");
    ScratchFolder::WriteFile(folder / L"two.txt", "22");
    CreateDirectoryW((folder / L"sub").c_str(), nullptr);
    ScratchFolder::WriteFile(folder / L"sub\\three.txt", "333");
    CreateDirectoryW((folder / L"sub\\deep").c_str(), nullptr);
    ScratchFolder::WriteFile(folder / L"sub\\deep\\four.txt", "4444");
    CString all = Text(folder / L"*.*");
    VyxFileFind find;
    EXPECT_EQ(3, find.CountTree(all, L"*.*", 0));
    EXPECT_EQ(3u, find.GetTotalLength());
    EXPECT_EQ(5, find.CountTree(all, L"*.*", 1)); // one, two, sub, three, deep
    EXPECT_EQ(6u, find.GetTotalLength());
    EXPECT_EQ(6, find.CountTree(all, L"*.*", -1)); // every level
    EXPECT_EQ(10u, find.GetTotalLength());
    EXPECT_EQ(6, find.GetCount());
    EXPECT_EQ(0, find.CountTree(Text(folder / L"nothing\\*.*"), L"*.*", 1));
    // The caller hears of every entry, at every level, while the count runs.
    int heard = 0;
    EXPECT_EQ(6, find.CountTree(all, L"*.*", -1, [&] { ++heard; }));
    EXPECT_GE(heard, 6);
}

TEST(VyxFileFind, FilePathIsTheRootJoinedWithTheName)
{
    ScratchFolder folder;
    ScratchFolder::WriteFile(folder / L"photo.jpg", "j");
    VyxFileFind find;
    ASSERT_TRUE(find.FindFileIn(folder.Path().c_str(), L"*.jpg"));
    find.FindNextFile();
    EXPECT_STREQ((folder / L"photo.jpg").c_str(), find.GetFilePath().GetString());
}
