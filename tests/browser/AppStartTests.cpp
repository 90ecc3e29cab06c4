#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "common/OwnedProcess.h"
#include "../../bench/ManyFiles.h"
#include "../../bench/ProgramCopy.h"
#include "browser/CKWApp.h"
#include "browser/InstanceHandOver.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/CKWDocSettings.h"
#include "foundation/VyxPath.h"
#include "foundation/WindowPlacement.h"

#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

// A copy of Vyx.exe alone in a scratch folder (no plug-in beside it), whose settings file is its
// own, started as a process of its own. No other instance runs in the session when it is made: a
// start beside one would hand its location over to that one and end.
class ProgramCopy
{
public:
    ProgramCopy()
    {
        EXPECT_TRUE(NoInstanceRuns(60000)) << "another instance of the program runs in this session";
        CString folder;
        GetModuleFolder(folder);
        CString source = folder + L"\\..\\bin\\Vyx.exe";
        m_exe = m_folder / L"Vyx.exe";
        EXPECT_TRUE(CopyFileW(source, m_exe, FALSE));
    }
    CString Ini() const { return m_folder / L"Vyx.ini"; }
    void WriteIni(const std::string& bytes) const { m_folder.WriteFile(L"Vyx.ini", bytes); }
    CString ReadIni(LPCWSTR section, LPCWSTR key) const
    {
        wchar_t value[1024] = {};
        GetPrivateProfileStringW(section, key, L"<none>", value, 1024, Ini());
        return value;
    }
    const FrameworkScratchFolder& Folder() const { return m_folder; }

    // The process, started with the arguments; empty when it cannot start.
    OwnedProcess Start(const CString& arguments) const
    {
        OwnedProcess process;
        process.Start((L"\"" + m_exe + L"\" " + arguments).GetString(), m_folder.Path());
        return process;
    }

private:
    FrameworkScratchFolder m_folder;
    CString m_exe;
};

// The process's main window once it shows; null when the process ends first or after the bound.
HWND WaitForMainWindow(const OwnedProcess& process, DWORD timeoutMs = 60000)
{
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = ShownMainWindowOf(process.Id());
            return window || process.Ended();
        },
        timeoutMs);
    return window;
}

// Closes the program as the user does and waits for its end; false when it did not end by itself.
bool CloseProgram(OwnedProcess& process, HWND window)
{
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = process.Ended(60000);
    process.End();
    return ended;
}

} // namespace

TEST(AppStart, CommonControlsBelow581StopTheStart)
{
    EXPECT_FALSE(CKWApp::IsComCtlVersionSupported(0x40000));
    EXPECT_FALSE(CKWApp::IsComCtlVersionSupported(0x50050));
    EXPECT_TRUE(CKWApp::IsComCtlVersionSupported(0x50051));
    EXPECT_TRUE(CKWApp::IsComCtlVersionSupported(0x60000));
}

TEST(AppStart, OnlyTheFirstOfTwoInstancesClaimsTheProgram)
{
    CString name;
    name.Format(L"{vyx-test-instance-%lu}", GetCurrentProcessId());
    HANDLE first = nullptr, second = nullptr;
    ASSERT_TRUE(CKWApp::ClaimSingleInstance(name, &first));
    EXPECT_NE(nullptr, first);
    EXPECT_FALSE(CKWApp::ClaimSingleInstance(name, &second));
    EXPECT_EQ(nullptr, second);
    CloseHandle(first);
    EXPECT_TRUE(CKWApp::ClaimSingleInstance(name, &second));
    CloseHandle(second);
}

TEST(AppStart, AStartWhileTheLastInstanceIsEndingBecomesTheInstanceOnceItHasEnded)
{
    CString name;
    name.Format(L"{vyx-test-ending-%lu}", GetCurrentProcessId());
    HANDLE ending = nullptr, claimed = nullptr;
    ASSERT_TRUE(CKWApp::ClaimSingleInstance(name, &ending));
    // This start found the name held; the instance holding it had no marked window (it was
    // closing) and has ended since.
    CloseHandle(ending);
    BOOL took = FALSE;
    EXPECT_EQ(nullptr, CKWApp::AwaitRunningInstance(name, &claimed, &took));
    EXPECT_TRUE(took);
    EXPECT_NE(nullptr, claimed);
    HANDLE third = nullptr;
    EXPECT_FALSE(CKWApp::ClaimSingleInstance(name, &third));
    CloseHandle(claimed);
}

TEST(AppStart, TheFirstLocationComesFromTheCommandLineElseTheSettings)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    CString exeFolder, current;
    GetModuleFolder(exeFolder);
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    current = buffer;
    CString missingDrive;
    DWORD drives = GetLogicalDrives();
    for (int i = 25; i >= 3 && missingDrive.IsEmpty(); --i)
        if (!(drives & (1u << i)))
            missingDrive.Format(L"%c:\\photos", L'A' + i);

    struct Row
    {
        const wchar_t* commandLine;
        int restore;
        CString lastPath;
        CString home;
        CString expected;
    };
    const Row rows[] = {
        {L"/max ", 1, L"", L"", L""}, // only switches: no location
        {L"-min /nologo", 1, folder.Path(), L"", L""},
        {L"", 1, folder.Path(), L"", folder.Path()},
        {L"", 0, folder.Path(), L"$(ExeDir)", exeFolder},
        {L"", 0, L"", L"", current},
        {L"", 0, L"", folder / L"gone", folder / L"gone"},
        {L"", 1, missingDrive, L"", L""},
        {L"", 0, L"", missingDrive, L""},
    };
    for (const Row& row : rows) {
        WriteAppIniInt(L"KWDoc", L"RestoreFolder", row.restore);
        WriteAppIniString(L"KWDoc", L"LastPath", row.lastPath);
        WriteAppIniString(L"KWDoc", L"HomeFolder", row.home);
        EXPECT_EQ(row.expected, CKWApp::ChooseFirstLocation(row.commandLine)) << row.commandLine << row.lastPath;
    }
    // A path on the command line wins over the settings, with its stored spelling and without a
    // trailing separator.
    CreateDirectoryW(folder / L"Photos", nullptr);
    CString typed = folder / L"PHOTOS\\";
    EXPECT_EQ(folder / L"Photos", CKWApp::ChooseFirstLocation(L"/max " + typed));
}

TEST(AppStart, StartUpReadsTheDocumentsKeysAsTheDocumentReadsThem)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    // A value edited by hand that is no number reads as the default, on, in the document and so in
    // its options sheet: start-up restores the last folder as the sheet shows.
    WriteAppIniString(L"KWDoc", L"RestoreFolder", L"yes");
    WriteAppIniString(L"KWDoc", L"LastPath", folder.Path());
    WriteAppIniString(L"KWDoc", L"HomeFolder", folder / L"home");
    CKWDocSettings document;
    document.ReadSettings(nullptr);
    ASSERT_TRUE(document.RestoreFolder);
    EXPECT_EQ(folder.Path(), CKWApp::ChooseFirstLocation(L""));

    // The plug-in folder as stored, else the program's.
    CString exeFolder;
    GetModuleFolder(exeFolder);
    EXPECT_EQ(exeFolder + L"\\*.SPI", CKWApp::GetPluginPattern());
    WriteAppIniString(L"SPI", L"SPIDIR", folder.Path());
    EXPECT_EQ(folder / L"*.SPI", CKWApp::GetPluginPattern());
}

TEST(AppStart, MinAndMaxOverrideTheSavedPlacement)
{
    ScratchSettings settings;
    CTestHostWnd window;
    window.MoveWindow(50, 60, 300, 200);
    SaveWindowPlacement(window.GetSafeHwnd(), L"MainFrame");
    window.MoveWindow(0, 0, 100, 100);
    CKWApp::PlaceMainWindow(&window, FALSE, FALSE);
    CRect rect;
    window.GetWindowRect(&rect);
    EXPECT_EQ(50, rect.left);
    EXPECT_EQ(60, rect.top);
    EXPECT_EQ(300, rect.Width());
    EXPECT_EQ(200, rect.Height());
    CKWApp::PlaceMainWindow(&window, FALSE, TRUE);
    EXPECT_TRUE(window.IsZoomed());
    CKWApp::PlaceMainWindow(&window, TRUE, FALSE);
    EXPECT_TRUE(window.IsIconic());
}

TEST(AppStart, TheProblemReportListsTheVersions)
{
    FrameworkScratchFolder folder;
    CString path = folder / L"$report.txt";
    ASSERT_TRUE(CKWApp::WriteProblemReport(path));
    std::string text = FrameworkScratchFolder::ReadFile(path);
    EXPECT_EQ(0u, text.find("Vesko    Version "));
    // The program's own version follows on its first line.
    const std::string first = text.substr(0, text.find("\r\n"));
    ASSERT_GT(first.size(), 17u);
    EXPECT_TRUE(isdigit(static_cast<unsigned char>(first[17]))) << first;
    EXPECT_NE(std::string::npos, text.find("\r\nWindows  Version "));
    EXPECT_NE(std::string::npos, text.find("\r\nCOMCTL32 Version 5.81"));
    EXPECT_NE(std::string::npos, text.find("\r\nSHELL32  Version "));
    EXPECT_NE(std::string::npos, text.find("\r\n" + std::string(70, '-') + "\r\n"));
    EXPECT_FALSE(CKWApp::WriteProblemReport(folder / L"no folder\\$report.txt"));
}

TEST(AppStart, ThePlacementOfTheLastRunIsRestoredAtTheNextStart)
{
    ProgramCopy program;
    OwnedProcess process = program.Start(L"\"" + program.Folder().Path() + L"\"");
    ASSERT_TRUE(process);
    HWND window = WaitForMainWindow(process);
    ASSERT_NE(nullptr, window);
    MoveWindow(window, 40, 30, 700, 500, TRUE);
    ASSERT_TRUE(CloseProgram(process, window));
    EXPECT_EQ(CString(L"40,30,700,500"), program.ReadIni(L"MainFrame", L"Window"));
    EXPECT_EQ(CString(L"4"), program.ReadIni(L"LOG", L"Level"));
    EXPECT_EQ(CString(L"log"), program.ReadIni(L"LOG", L"Folder"));
    EXPECT_EQ(0, program.ReadIni(L"KWDoc", L"LastPath").CompareNoCase(program.Folder().Path()));

    process = program.Start(L"");
    window = WaitForMainWindow(process);
    ASSERT_NE(nullptr, window);
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(CRect(40, 30, 740, 530), CRect(rect));
    EXPECT_TRUE(CloseProgram(process, window));
}

// The libraries of what the first screen never shows (network connections, videos and their
// drawing) are not loaded by a start: they come with their first use. The common dialogs' library
// is linked as usual: its header's calls cannot go through a delay-load stub.
TEST(AppStart, AStartLeavesTheNetworkAndVideoLibrariesUnloaded)
{
    ProgramCopy program;
    program.Folder().WriteFile(L"写真_2024.01.jpg", "not a picture");
    OwnedProcess process = program.Start(L"\"" + program.Folder().Path() + L"\"");
    ASSERT_TRUE(process);
    HWND window = WaitForMainWindow(process);
    ASSERT_NE(nullptr, window);
    // Started whole: the program's idle work is done.
    EXPECT_TRUE(WaitUntil(
        [&] {
            DWORD_PTR work = 1;
            return SendMessageTimeoutW(window, WMU_WORKFLAGS, 0, 0, SMTO_NORMAL, 5000, &work) && work == 0;
        },
        60000));
    HMODULE modules[512];
    DWORD bytes = 0;
    ASSERT_TRUE(EnumProcessModules(process.Handle(), modules, sizeof(modules), &bytes));
    std::vector<std::wstring> loaded;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        wchar_t name[MAX_PATH] = {};
        if (GetModuleBaseNameW(process.Handle(), modules[i], name, MAX_PATH)) {
            CharLowerBuffW(name, static_cast<DWORD>(wcslen(name)));
            loaded.push_back(name);
        }
    }
    EXPECT_NE(loaded.end(), std::find(loaded.begin(), loaded.end(), L"user32.dll"));
    for (const wchar_t* library : {L"mpr.dll", L"avifil32.dll", L"msvfw32.dll"})
        EXPECT_EQ(loaded.end(), std::find(loaded.begin(), loaded.end(), library)) << library;
    EXPECT_TRUE(CloseProgram(process, window));
}

TEST(AppStart, ADamagedSettingsFileOrAMissingStartFolderStillStarts)
{
    ProgramCopy program;
    struct Row
    {
        std::string ini;
        const wchar_t* arguments;
    };
    std::string damaged = "[MainFrame]\r\nWindow=abc,,\r\nFrameSplit=banana\r\n[FolderView]\r\nWindow=1\r\n"
                          "[LstView]\r\nWindow=\r\n\x01\xff\xfe garbage \x80\r\n[KWView\r\nWindow=9,9,9\r\n";
    CString gone = program.Folder() / L"gone\\away";
    std::string lastPath = "[KWDoc]\r\nLastPath=" + std::string(CStringA(gone).GetString()) + "\r\n";
    const Row rows[] = {{damaged, L""}, {lastPath, L""}, {"", L"/max"}};
    for (const Row& row : rows) {
        if (!row.ini.empty())
            program.WriteIni(row.ini);
        OwnedProcess process = program.Start(row.arguments);
        ASSERT_TRUE(process);
        HWND window = WaitForMainWindow(process);
        EXPECT_NE(nullptr, window) << row.ini;
        if (window && wcscmp(row.arguments, L"/max") == 0) {
            EXPECT_TRUE(IsZoomed(window));
        }
        EXPECT_TRUE(CloseProgram(process, window));
        DeleteFileW(program.Ini());
    }
}

TEST(AppStart, OfTwoInstancesStartedTogetherOneSurvives)
{
    ProgramCopy program;
    OwnedProcess first = program.Start(L"");
    OwnedProcess second = program.Start(L"");
    ASSERT_TRUE(first && second);
    HANDLE both[2] = {first.Handle(), second.Handle()};
    // The instance that found the other ends by itself, without a window.
    DWORD ended = WaitForMultipleObjects(2, both, FALSE, 60000);
    ASSERT_TRUE(ended == WAIT_OBJECT_0 || ended == WAIT_OBJECT_0 + 1);
    OwnedProcess& survivor = ended == WAIT_OBJECT_0 ? second : first;
    HWND window = WaitForMainWindow(survivor);
    EXPECT_NE(nullptr, window);
    EXPECT_FALSE(survivor.Ended());
    EXPECT_TRUE(CloseProgram(survivor, window));
}

TEST(AppStart, WithMultiProcessOffEveryInstanceRuns)
{
    ProgramCopy program;
    program.WriteIni("[KWDoc]\r\nMultiProcess=0\r\n");
    OwnedProcess first = program.Start(L"");
    HWND firstWindow = WaitForMainWindow(first);
    OwnedProcess second = program.Start(L"");
    HWND secondWindow = WaitForMainWindow(second);
    EXPECT_NE(nullptr, firstWindow);
    EXPECT_NE(nullptr, secondWindow);
    EXPECT_TRUE(CloseProgram(second, secondWindow));
    EXPECT_TRUE(CloseProgram(first, firstWindow));
}

TEST(AppStart, ASecondStartOnAnotherFolderHasTheRunningWindowOpenIt)
{
    ProgramCopy program;
    const CString first = program.Folder() / L"旅行_京都.写真";
    const wchar_t second[] = L"奈良_2023.春";
    ASSERT_TRUE(CreateDirectoryW(first, nullptr));
    ASSERT_TRUE(CreateDirectoryW(program.Folder() / second, nullptr));
    OwnedProcess running = program.Start(L"\"" + first + L"\"");
    ASSERT_TRUE(running);
    HWND window = WaitForMainWindow(running);
    ASSERT_NE(nullptr, window);
    auto showing = [&](const CString& path) {
        return WaitUntil([&] { return TextOf(window).MakeLower().Find(CString(path).MakeLower()) == 0; }, 60000);
    };
    ASSERT_TRUE(showing(first)) << TextOf(window).GetString();
    // Named relative to the second start's own folder (the running one has moved on to its own).
    OwnedProcess again = program.Start(CString(L"\"") + second + L"\"");
    ASSERT_TRUE(again);
    EXPECT_TRUE(again.Ended(60000));
    EXPECT_TRUE(showing(program.Folder() / second)) << TextOf(window).GetString();
    EXPECT_TRUE(CloseProgram(running, window));
    EXPECT_EQ(0, program.ReadIni(L"KWDoc", L"LastPath").CompareNoCase(program.Folder() / second));
}

TEST(AppStart, AHandedLocationIsTakenOnlyWholeAndEndedByItsNul)
{
    const wchar_t whole[] = L"C:\\写真\\奈良_2023.春";
    struct Row
    {
        ULONG_PTR tag;
        const void* data;
        DWORD bytes;
        bool taken;
    };
    const wchar_t unended[] = {L'C', L':', L'\\', L'a'};
    const wchar_t inner[] = {L'C', L':', L'\0', L'a', L'\0'};
    const std::wstring longest(32767, L'a'), tooLong(32768, L'a');
    const Row rows[] = {
        {InstanceHandOver::kLocationTag, whole, sizeof whole, true},
        {InstanceHandOver::kLocationTag, longest.c_str(), static_cast<DWORD>((longest.size() + 1) * 2), true},
        {InstanceHandOver::kLocationTag + 1, whole, sizeof whole, false},
        {InstanceHandOver::kLocationTag, whole, sizeof whole - 1, false},
        {InstanceHandOver::kLocationTag, unended, sizeof unended, false},
        {InstanceHandOver::kLocationTag, inner, sizeof inner, false},
        {InstanceHandOver::kLocationTag, L"", 2, false},
        {InstanceHandOver::kLocationTag, nullptr, 0, false},
        {InstanceHandOver::kLocationTag, tooLong.c_str(), static_cast<DWORD>((tooLong.size() + 1) * 2), false},
    };
    for (const Row& row : rows) {
        COPYDATASTRUCT data = {row.tag, row.bytes, const_cast<void*>(row.data)};
        CString path = L"unchanged";
        EXPECT_EQ(row.taken, InstanceHandOver::ReadLocation(&data, path)) << row.bytes;
        if (row.taken)
            EXPECT_EQ(CString(static_cast<const wchar_t*>(row.data)), path);
        else
            EXPECT_EQ(CString(L"unchanged"), path);
    }
}

namespace {

struct ChildSearch
{
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindChildOfClass(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    if (lstrcmpiW(name, search->className) != 0)
        return TRUE;
    search->found = hWnd;
    return FALSE;
}

HWND ChildOfClass(HWND parent, const wchar_t* className)
{
    ChildSearch search = {className, nullptr};
    EnumChildWindows(parent, &FindChildOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

// The first folder is listed while the window is hidden: the window's first paint already has the
// folder tree gone to it (more sub-folders than the pane shows: its scroll bar is there the moment
// the window shows), and the thumbnail grid has the focus as the settings gave it.
TEST(AppStart, TheWindowFirstShowsWithItsStartFolderListedAndTheGridFocused)
{
    ProgramCopy program;
    const CString start = program.Folder() / L"写真_2024.春~&夏";
    ASSERT_TRUE(CreateDirectoryW(start, nullptr));
    for (int i = 0; i < 80; ++i) {
        CString name;
        name.Format(L"\\DSC_%02d.旅行~&", i);
        ASSERT_TRUE(CreateDirectoryW(start + name, nullptr));
    }
    OwnedProcess process = program.Start(L"\"" + start + L"\"");
    ASSERT_TRUE(process);
    // Looked at as soon as it shows, without a message to the program (which would let it run on).
    HWND window = nullptr;
    LONG treeStyle = 0;
    WaitUntil(
        [&] {
            window = ShownMainWindowOf(process.Id());
            if (HWND tree = window ? ChildOfClass(window, L"SysTreeView32") : nullptr)
                treeStyle = GetWindowLongW(tree, GWL_STYLE);
            return window || process.Ended();
        },
        60000);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(treeStyle & WS_VSCROLL);

    // Once started, the grid (neither the tree nor the list) has the focus.
    EXPECT_TRUE(WaitUntil(
        [&] {
            DWORD_PTR work = 1;
            return SendMessageTimeoutW(window, WMU_WORKFLAGS, 0, 0, SMTO_NORMAL, 5000, &work) && work == 0;
        },
        60000));
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info));
    ASSERT_NE(nullptr, info.hwndFocus);
    EXPECT_TRUE(IsChild(window, info.hwndFocus));
    wchar_t focusClass[64] = {};
    GetClassNameW(info.hwndFocus, focusClass, 64);
    EXPECT_STRNE(L"SysTreeView32", focusClass);
    EXPECT_STRNE(L"SysListView32", focusClass);
    EXPECT_TRUE(CloseProgram(process, window));
}

// A start folder whose listing runs long does not keep the window hidden until it ends: the
// window shows on the listing's way, before the title names the folder's path (set once it is
// listed).
TEST(AppStart, TheWindowShowsWhileALongStartListingIsStillRunning)
{
    // With its JPEG reader: the scan offers the pictures it lists.
    ProgramCopy program;
    ASSERT_TRUE(CopyProgram(ProgramBinFolder() + L"Vyx.exe", program.Folder().Path().GetString()));
    const CString start = program.Folder() / L"スキャン_大量.旧~&";
    ASSERT_TRUE(CreateDirectoryW(start, nullptr));
    // Far more entries than the scan lists within the hidden window's bound on any machine.
    const int count = 60000;
    MakeEmptyFiles(start.GetString(), CameraNamedFilesInOrder(count));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(start + L"\\IMG_*.JPG", &found);
    int made = 0;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
        ++made;
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    ASSERT_EQ(count, made);
    OwnedProcess process = program.Start(L"\"" + start + L"\"");
    ASSERT_TRUE(process);
    // Its title read from the system's copy, without a message the listing would keep waiting.
    HWND window = nullptr;
    wchar_t title[512] = {};
    WaitUntil(
        [&] {
            window = ShownMainWindowOf(process.Id());
            if (window)
                InternalGetWindowText(window, title, 512);
            return window || process.Ended();
        },
        120000);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(nullptr, StrStrIW(title, start)) << "shown only once listed: " << CStringA(title).GetString();
    // The listing goes on to its end with the window shown.
    EXPECT_TRUE(WaitUntil(
        [&] {
            InternalGetWindowText(window, title, 512);
            return StrStrIW(title, start) != nullptr;
        },
        120000));
    EXPECT_TRUE(CloseProgram(process, window));
}
