#include "foundation/VyxSystem.h"

#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

TEST(VyxSystem, HexTextToIntReadsHexDigitsAfterBlanksAndHash)
{
    struct Row
    {
        const wchar_t* text;
        int expected;
    } rows[] = {
        {L"  #ff", 255}, {L"1g", 1},        {L"", 0},          {L"\t#00FF8000", 0xFF8000}, {L"12#3", 0x12},
        {L"##1", 0},     {L"aBcD", 0xABCD}, {L"FFFFFFFF", -1}, {L"123456789", 0x23456789}, {nullptr, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, HexTextToInt(row.text)) << (row.text ? row.text : L"(null)");
    CString text;
    EXPECT_STREQ(L"00ABCDEF", FormatHex8(text, 0xABCDEF));
    EXPECT_STREQ(L"FFFFFFFF", FormatHex8(text, -1));
}

TEST(VyxSystem, CopyMemorySafeHandlesOverlapAndNulls)
{
    char above[] = "abcdefgh";
    CopyMemorySafe(above + 2, above, 5);
    EXPECT_STREQ("ababcdeh", above);
    char below[] = "abcdefgh";
    CopyMemorySafe(below, below + 2, 5);
    EXPECT_STREQ("cdefgfgh", below);
    char target[4] = "xyz";
    EXPECT_EQ(target, CopyMemorySafe(target, nullptr, 3));
    EXPECT_EQ(nullptr, CopyMemorySafe(nullptr, "a", 1));
    EXPECT_STREQ("xyz", target);
}

TEST(VyxSystem, MonitorIndexIsClampedToTheTable)
{
    int count = GetMonitorCount();
    ASSERT_GE(count, 1);
    RECT last, clamped, first, negative;
    GetMonitorRect(last, count - 1);
    GetMonitorRect(clamped, 5);
    GetMonitorRect(first, 0);
    GetMonitorRect(negative, -1);
    EXPECT_TRUE(EqualRect(&last, &clamped));
    EXPECT_TRUE(EqualRect(&first, &negative));
    EXPECT_GT(first.right - first.left, 0);
    CString device;
    GetMonitorDeviceString(device, 7);
    RECT work;
    GetWorkAreaAtPoint(work, first.left + 1, first.top + 1);
    EXPECT_GT(work.right, work.left);
    RECT common;
    GetCommonWorkArea(common, first.left - 50, first.top - 50, first.right + 50, first.bottom + 50);
    EXPECT_TRUE(EqualRect(&common, &work)); // one monitor: its work area
}

TEST(VyxSystem, WindowsVersionTextFollowsTheTable)
{
    struct Row
    {
        DWORD platform, major, minor, build;
        WORD productType, suite;
        int bitness, product;
        const wchar_t* expected;
    } rows[] = {
        {1, 4, 10, 0x040A08AE, 1, 0, 1, -1, L"Windows 98 SP Build 2222"},
        {2, 4, 0, 1381, 1, 0, 1, -1, L"Windows NT4.0 SP Build 1381"},
        {2, 5, 0, 2195, 3, 0, 1, -1, L"Windows 2000 Server SP Build 2195"},
        {2, 5, 1, 2600, 1, 0x200, 1, -1, L"Windows XP Home Edition SP Build 2600"},
        {2, 5, 1, 2600, 3, 0, 1, -1, L"Windows 2002 .NET Server SP Build 2600"},
        {2, 5, 2, 3790, 1, 0, 2, -1, L"Windows XP Professional x64 Edition SP Build 3790"},
        {2, 6, 0, 6002, 1, 0, 1, 3, L"Windows Vista Home Premium Edition"},
        {2, 6, 1, 7601, 1, 0, 1, 1, L"Windows 7 SP Build 7601"},
        {2, 6, 1, 7601, 1, 0, 3, 1, L"Windows 7 SP x64 Edition Build 7601"},
        {2, 6, 3, 9600, 3, 0, 1, 7, L"Windows 2012 Server R2 SP Build 9600"},
        {2, 10, 0, 19045, 1, 0, 2, 99, L"Windows 10"},
        {2, 6, 1, 7601, 2, 0, 1, 1, L"Windows ?? 6.1 SP Build 7601"}, // a domain controller
        {2, 7, 0, 1, 1, 0, 1, 1, L"Windows ?? 7.0 SP Build 1"},
    };
    for (const Row& row : rows) {
        OSVERSIONINFOEXW v = {};
        v.dwPlatformId = row.platform;
        v.dwMajorVersion = row.major;
        v.dwMinorVersion = row.minor;
        v.dwBuildNumber = row.build;
        v.wProductType = static_cast<BYTE>(row.productType);
        v.wSuiteMask = row.suite;
        wcscpy(v.szCSDVersion, L"SP");
        CString text;
        EXPECT_STREQ(row.expected, FormatWindowsVersionText(text, v, row.bitness, row.product));
    }
    CString actual;
    GetWindowsVersionText(actual);
    EXPECT_EQ(0, actual.Find(L"Windows ")) << static_cast<const wchar_t*>(actual);
}

TEST(VyxSystem, LastErrorTextIsTheSystemMessage)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    CString text;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastErrorCodeAndText(text));
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_STREQ(text, GetLastErrorText());
    SetLastError(0x7FFFFFF0); // no text for this code
    EXPECT_STREQ(L"", GetLastErrorText());
}

TEST(VyxSystem, VersionsDisksAndVolumes)
{
    LoadLibraryW(L"comctl32.dll"); // the program has it loaded; asked of the loaded module
    EXPECT_GE(GetComCtl32Version(), 0x50051u);
    CString version;
    GetVersionInfoString(version, L"C:\\windows\\system32\\kernel32.dll", L"FileVersion");
    EXPECT_FALSE(version.IsEmpty());
    CString sameByIndex;
    EXPECT_STREQ(version, GetVersionInfoString(sameByIndex, L"C:\\windows\\system32\\kernel32.dll", 2));
    CString missing;
    EXPECT_STREQ(L"", GetVersionInfoString(missing, L"C:\\windows\\system32\\kernel32.dll", L"NoSuchValue"));

    ULONGLONG caller = 0, total = 0, free = 0;
    EXPECT_TRUE(GetDiskFreeSpace64(L"C:\\", &caller, &total, &free));
    // A folder named outside the ANSI code page (Hangul is not in code page 932).
    ScratchFolder scratch;
    std::wstring korean = scratch / L"한글";
    ASSERT_TRUE(CreateDirectoryW(korean.c_str(), nullptr));
    EXPECT_TRUE(GetDiskFreeSpace64((korean + L"\\").c_str(), &caller, &total, &free));
    EXPECT_GT(total, 0u);
    EXPECT_LE(caller, total);
    EXPECT_FALSE(GetDiskFreeSpace64(L"\\\\nosuchserver\\share\\", &caller, &total, &free));
    EXPECT_EQ(0u, total);

    CString serial;
    GetVolumeSerialText(serial, L"C:\\windows");
    EXPECT_EQ(8, serial.GetLength());
    EXPECT_EQ(GetVolumeSerialNumber(L"C:\\"), static_cast<DWORD>(HexTextToInt(serial)));
    EXPECT_EQ(3, GetDriveKind(2)); // C: is fixed
    EXPECT_GT(GetWheelScrollLines(), 0);
}

TEST(VyxSystem, WheelScrollLinesGivePageScrollingAsAFlag)
{
    UINT saved = 3;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &saved, 0));
    bool page = true;
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 5, nullptr, 0));
    EXPECT_EQ(5, ReadWheelScrollLines(&page));
    EXPECT_FALSE(page);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0));
    EXPECT_EQ(3, ReadWheelScrollLines(&page));
    EXPECT_TRUE(page);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, saved, nullptr, 0);
}

TEST(VyxSystem, WallpaperOfAMissingFileIsRefused)
{
    ScratchFolder scratch;
    EXPECT_FALSE(SetDesktopWallpaper((scratch / L"missing.bmp").c_str(), 0));
}

TEST(VyxSystem, LoadLastErrorTextTakesTheTextAndKeepsTheCode)
{
    SetLastError(ERROR_ACCESS_DENIED);
    const CString expected = GetLastErrorText();
    ASSERT_FALSE(expected.IsEmpty());
    CString text = L"old";
    EXPECT_EQ(&text, &LoadLastErrorText(text));
    EXPECT_STREQ(expected, text);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST(VyxSystem, AWindowIsCentredOnTheDisplaysResolution)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 3, 5, 301, 151, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    const int width = GetDeviceCaps(display, HORZRES), height = GetDeviceCaps(display, VERTRES);
    DeleteDC(display);
    CenterWindowOnDisplay(window, nullptr, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ((width - 301) / 2, rect.left);
    EXPECT_EQ((height - 151) / 2, rect.top);
    EXPECT_EQ(301, rect.right - rect.left);
    EXPECT_EQ(151, rect.bottom - rect.top);
    DestroyWindow(window);
}

TEST(VyxSystem, TheDefaultPrintersContextIsMadeOnlyWhenThereIsOne)
{
    wchar_t name[256] = {};
    DWORD size = 256;
    const bool hasDefault = GetDefaultPrinterW(name, &size) != FALSE;
    HDC printer = CreateDefaultPrinterDC();
    if (!hasDefault) {
        EXPECT_EQ(nullptr, printer);
        return;
    }
    ASSERT_NE(nullptr, printer) << name;
    EXPECT_EQ(DT_RASPRINTER, GetDeviceCaps(printer, TECHNOLOGY));
    DeleteDC(printer);
}

TEST(VyxSystem, PumpGivesBackAQuitMessage)
{
    PostQuitMessage(3);
    EXPECT_FALSE(PumpWaitingMessages());
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, message.wParam);
    EXPECT_TRUE(PumpWaitingMessages());
}

} // namespace
