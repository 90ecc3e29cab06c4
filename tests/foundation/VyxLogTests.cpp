#include "foundation/VyxLog.h"
#include "foundation/VyxPath.h"

#include "TestSettings.h"
#include "common/ImportPatch.h"

#include <gtest/gtest.h>

namespace {

CString TodayFileName()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString name;
    name.Format(L"%04d-%02d-%02d.log", now.wYear, now.wMonth, now.wDay);
    return name;
}

class VyxLogTest : public ::testing::Test
{
protected:
    ScratchSettings settings;
};

TEST_F(VyxLogTest, WritesLinesAtOrAboveTheLevel)
{
    CapturedLog log;
    struct Row
    {
        int setting; // -1: not stored (default 4)
        int level;
        bool written;
    } rows[] = {
        {-1, 5, true}, {-1, 4, true}, {-1, 2, false}, {4, 5, true}, {4, 3, false},
        {1, 1, true},  {0, 8, false}, {0, 1, false},  {8, 8, true},
    };
    for (const Row& row : rows) {
        if (row.setting < 0)
            theAppIni.WriteString(L"LOG", L"Level", nullptr);
        else
            WriteAppIniInt(L"LOG", L"Level", row.setting);
        log.records.clear();
        LogWrite(VYX_LOG_SOURCE, row.level, L"line %d", row.level);
        EXPECT_EQ(row.written ? 1u : 0u, log.records.size()) << row.setting << " " << row.level;
    }
}

TEST_F(VyxLogTest, LineHasTimeLevelLocationAndMessage)
{
    CapturedLog log;
    LogWrite(LogSourceRecord("C:\\src\\foundation\\VyxMemory.cpp", 117, "f"), 5, L"%s %d%%", L"text", 5);
    ASSERT_EQ(1u, log.records.size());
    const LogRecord& record = log.records[0];
    EXPECT_STREQ(L"VyxMemory(117)", record.location);
    EXPECT_STREQ(L"text 5%", record.message);
    // "YYYY-MM-DD HH:MM:SS ERROR:"
    ASSERT_EQ(26, record.head.GetLength());
    EXPECT_STREQ(L" ERROR:", record.head.Mid(19));
    EXPECT_EQ(L'-', record.head[4]);
    EXPECT_EQ(L':', record.head[13]);
    EXPECT_STREQ(TodayFileName(), record.path.Mid(record.path.ReverseFind(L'\\') + 1));
}

TEST_F(VyxLogTest, DefaultFolderIsTheProgramFolder)
{
    CapturedLog log;
    LogWrite(VYX_LOG_SOURCE, 5, L"x");
    ASSERT_EQ(1u, log.records.size());
    CString expected;
    MakeModulePath(expected, TodayFileName());
    EXPECT_STREQ(expected, log.records[0].path);
}

TEST_F(VyxLogTest, StartUpStoresTheFolderTheLogGoesToFromThenOn)
{
    StoreLogSettings();
    EXPECT_EQ(CString(L"4"), GetAppIniString(L"LOG", L"Level", L""));
    EXPECT_EQ(CString(L"log"), GetAppIniString(L"LOG", L"Folder", L""));
    CString folder;
    MakeModulePath(folder, L"log");
    const bool existed = GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES;
    {
        CapturedLog log;
        LogWrite(VYX_LOG_SOURCE, 5, L"x");
        ASSERT_EQ(1u, log.records.size());
        CString expected;
        MakePath(expected, nullptr, folder, TodayFileName(), nullptr);
        EXPECT_STREQ(expected, log.records[0].path);
    }
    if (!existed)
        RemoveDirectoryW(folder);
    // What is stored stays.
    WriteAppIniString(L"LOG", L"Folder", L"elsewhere");
    WriteAppIniInt(L"LOG", L"Level", 2);
    StoreLogSettings();
    EXPECT_EQ(CString(L"2"), GetAppIniString(L"LOG", L"Level", L""));
    EXPECT_EQ(CString(L"elsewhere"), GetAppIniString(L"LOG", L"Folder", L""));
}

TEST_F(VyxLogTest, RelativeFolderIsCreatedUnderTheProgramFolderWhateverTheCurrentDirectory)
{
    CString name;
    name.Format(L"vyxlogtest_%u_%u", GetCurrentProcessId(), GetTickCount());
    WriteAppIniString(L"LOG", L"Folder", name);
    CString folder;
    MakeModulePath(folder, name);

    // The sink sees the current directory while the line is written: other threads share it.
    static CString duringWrite;
    struct Sink
    {
        static int Record(const LogRecord* record)
        {
            wchar_t current[520];
            GetCurrentDirectoryW(520, current);
            duringWrite = current;
            return AppendLogRecord(record);
        }
    };
    LogSinkProc previous = SetLogSink(&Sink::Record);
    wchar_t before[520];
    GetCurrentDirectoryW(520, before);
    SetCurrentDirectoryW(settings.Folder().Path().c_str());
    LogWrite(VYX_LOG_SOURCE, 5, L"日本語 100%% done"); // "%%" formats to one percent sign
    SetCurrentDirectoryW(before);
    SetLogSink(previous);

    EXPECT_STREQ(settings.Folder().Path().c_str(), duringWrite);
    CString file;
    MakePath(file, nullptr, folder, TodayFileName(), nullptr);
    std::string content = ScratchFolder::ReadFile(static_cast<const wchar_t*>(file));
    DeleteFileW(file);
    RemoveDirectoryW(folder);
    // Code page 932 text, tab separated, CR LF.
    EXPECT_NE(std::string::npos, content.find(" ERROR:\t"));
    EXPECT_NE(std::string::npos, content.find("\t\x93\xfa\x96\x7b\x8c\xea 100% done\r\n"));
    EXPECT_FALSE(ScratchFolder::Exists(std::wstring(settings.Folder() / static_cast<const wchar_t*>(name))));
}

TEST_F(VyxLogTest, MessageIsWrittenUnchangedAndLinesAppend)
{
    WriteAppIniString(L"LOG", L"Folder", settings.Folder().Path().c_str());
    WriteLogLine(VYX_LOG_SOURCE, 5, L"50% %s %d");
    WriteLogLine(VYX_LOG_SOURCE, 6, L"second");
    std::string content = ScratchFolder::ReadFile(settings.Folder() / static_cast<const wchar_t*>(TodayFileName()));
    EXPECT_NE(std::string::npos, content.find("\t50% %s %d\r\n"));
    EXPECT_NE(std::string::npos, content.find(" CRITICAL:\t"));
    EXPECT_NE(std::string::npos, content.find("\tsecond\r\n"));
}

TEST_F(VyxLogTest, UnwritableFolderLosesTheLineQuietly)
{
    std::wstring file = settings.Folder() / L"plainfile";
    ASSERT_TRUE(ScratchFolder::WriteFile(file, "x"));
    WriteAppIniString(L"LOG", L"Folder", (file + L"\\sub").c_str()); // under a file: cannot be made
    LogWrite(VYX_LOG_SOURCE, 5, L"lost");
    EXPECT_EQ("x", ScratchFolder::ReadFile(file));
}

CString s_observedMessage;
WPARAM s_observedParam = 0;

LRESULT CALLBACK ObserverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_USER + 1000) {
        s_observedMessage = reinterpret_cast<const LogRecord*>(lParam)->message;
        s_observedParam = wParam;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(VyxLogTest, ObserverWindowReceivesEachRecord)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ObserverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VyxLogObserverTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    LogSinkProc previous = SetLogSink(nullptr);
    SetLogObserver(window, WM_USER + 1000, 7);
    LogWrite(VYX_LOG_SOURCE, 5, L"seen");
    SetLogObserver(nullptr);
    SetLogSink(previous);
    DestroyWindow(window);
    EXPECT_STREQ(L"seen", s_observedMessage);
    EXPECT_EQ(7u, s_observedParam);
}

UINT g_levelReads = 0;
decltype(&GetPrivateProfileIntW) g_profileInt = nullptr;
UINT WINAPI CountingProfileInt(LPCWSTR section, LPCWSTR key, INT fallback, LPCWSTR file)
{
    ++g_levelReads;
    return g_profileInt(section, key, fallback, file);
}

TEST_F(VyxLogTest, LevelIsReadAgainOnlyWhenTheSettingsChange)
{
    CapturedLog log;
    WriteAppIniInt(L"LOG", L"Level", 4);
    g_levelReads = 0;
    {
        ImportPatch patch("kernel32.dll", "GetPrivateProfileIntW", reinterpret_cast<void*>(&CountingProfileInt));
        ASSERT_TRUE(patch);
        g_profileInt = reinterpret_cast<decltype(g_profileInt)>(patch.Original());
        for (int i = 0; i < 1000; ++i)
            LogWrite(VYX_LOG_SOURCE, LogLevelInfo, L"below the level %d", i);
        EXPECT_LE(g_levelReads, 1u);
        // A change this process makes takes effect at once.
        WriteAppIniInt(L"LOG", L"Level", 2);
        LogWrite(VYX_LOG_SOURCE, LogLevelInfo, L"now written");
    }
    ASSERT_EQ(1u, log.records.size());
    EXPECT_STREQ(L"now written", log.records[0].message);
}

TEST_F(VyxLogTest, ALevelChangedInTheFileByAnotherProgramTakesEffect)
{
    CapturedLog log;
    WriteAppIniInt(L"LOG", L"Level", 4);
    LogWrite(VYX_LOG_SOURCE, LogLevelInfo, L"not yet");
    EXPECT_TRUE(log.records.empty());
    // Written past the settings functions, with a write time of its own.
    const CString& path = theAppIni.GetPath();
    ASSERT_TRUE(WritePrivateProfileStringW(L"LOG", L"Level", L"1", path));
    HANDLE file = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks = {{now.dwLowDateTime, now.dwHighDateTime}};
    ticks.QuadPart += 10000000ULL * 3600;
    FILETIME later = {ticks.LowPart, ticks.HighPart};
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);
    // The file is looked at again within moments: wait for that, not for a fixed time.
    for (DWORD start = GetTickCount(); log.records.empty() && GetTickCount() - start < 10000; Sleep(10))
        LogWrite(VYX_LOG_SOURCE, LogLevelDebug, L"written");
    ASSERT_FALSE(log.records.empty());
    EXPECT_STREQ(L"written", log.records[0].message);
}

} // namespace
