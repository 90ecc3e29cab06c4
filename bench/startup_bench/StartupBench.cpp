// Start-up of Vyx.exe on a folder of 1,000 pictures, from process creation to the folder listed
// and the first screen of its thumbnails painted, against a bare window program started the same
// way (to its window painted): Wine's own process start is the same for both, so the difference is
// what the program adds (goal: under 0.5 s). Each phase is reported (window shown, first answer,
// folder listed, thumbnails done) with the longest wait for an answer after the window showed; the
// time in all runs until the program has painted every window of it by itself.
// The pictures and the program's copy lie in a folder of the run's own at the drive's root, so
// what lies beside the temporary folder does not weigh on the folder tree; it is removed at the end.
#include "image/DibCore.h"
#include "image/codecs/SaveDib.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../LargeScanFolder.h"
#include "../PictureFolder.h"

#include <benchmark/benchmark.h>

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kPictures = 1000;

std::wstring g_root;       // the run's own folder
std::wstring g_folder;     // the pictures
std::wstring g_programDir; // a copy of the program and its plug-ins, with settings of its own
std::wstring g_self;       // the bare window program

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

void Prepare()
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring root = std::wstring(windows, 3) + L"vyx_startup_bench_" + std::to_wstring(GetCurrentProcessId());
    g_root = root;
    g_folder = root + L"\\pictures";
    g_programDir = root + L"\\program";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(g_folder.c_str(), nullptr);
    CreateDirectoryW(g_programDir.c_str(), nullptr);
    HGLOBAL dib = CreateDib(64, 48, 24);
    std::wstring first = g_folder + L"\\p0000.jpg";
    SaveDibAsJpeg(first.c_str(), dib, 80, 0, 0);
    GlobalFree(dib);
    for (int i = 1; i < kPictures; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\p%04d.jpg", i);
        CopyFileW(first.c_str(), (g_folder + name).c_str(), FALSE);
    }
    std::wstring bin = ModuleFolder() + L"\\..\\bin\\";
    CopyFileW((bin + L"Vyx.exe").c_str(), (g_programDir + L"\\Vyx.exe").c_str(), FALSE);
    // The folder tree's idle walk over the folders it shows is idle work of its own: off, so that
    // the end of the idle work is the end of the grid's first screen.
    WritePrivateProfileStringW(L"FolderView", L"CheckSubFolder", L"0", (g_programDir + L"\\Vyx.ini").c_str());
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((bin + L"*.spi").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            CopyFileW((bin + data.cFileName).c_str(), (g_programDir + L"\\" + data.cFileName).c_str(), FALSE);
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
}

struct FindData
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindData*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    if (process == data->process && IsWindowVisible(hWnd) && !GetWindow(hWnd, GW_OWNER)) {
        data->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

// The program's idle step (its frame's private message 0x7F7): non-zero while a pane has work
// left, the grid's first screen of thumbnails among it.
const UINT kIdleStep = 0x7F7;

// Seconds from the process's creation to each phase, and the longest wait for the program to
// answer a message once its window showed.
struct Phases
{
    double shown = 0, answered = 0, listed = 0, done = 0, longestWait = 0;
};

// Sends a message, counting the wait for the answer into the longest.
bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, Phases& phases)
{
    const double start = BenchSeconds();
    const bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 60000, result) != 0;
    phases.longestWait = std::max(phases.longestWait, BenchSeconds() - start);
    return answered;
}

// Waits until the frame's title names the listed folder (set once the list is rebuilt, never
// inside the scan) and, with thumbnails, then until its idle steps report no work left, so that
// the first screen of thumbnails is painted. A message answered inside the scan would end the
// clock too early.
bool WaitForFirstScreen(HWND frame, const std::wstring& listing, bool thumbnails, double start, Phases& phases)
{
    auto lower = [](std::wstring text) {
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
        return text;
    };
    const std::wstring wanted = lower(listing);
    bool listed = false;
    for (int i = 0; i < 120000 && !listed; ++i) {
        wchar_t title[1024] = {};
        DWORD_PTR length = 0;
        listed = Ask(frame, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(title), &length, phases) &&
                 lower(title).find(wanted) != std::wstring::npos;
        if (!listed)
            Sleep(1);
    }
    phases.listed = BenchSeconds() - start;
    if (!listed || !thumbnails)
        return listed;
    for (WPARAM step = 0; step < 1000000; ++step) {
        DWORD_PTR busy = 0;
        if (!Ask(frame, kIdleStep, step, 0, &busy, phases))
            return false;
        if (!busy) {
            phases.done = BenchSeconds() - start;
            return true;
        }
    }
    return false;
}

bool HasUpdateRegion(HWND window)
{
    RECT update = {};
    return GetUpdateRect(window, &update, FALSE) && !IsRectEmpty(&update);
}

BOOL CALLBACK FindUnpainted(HWND hWnd, LPARAM lParam)
{
    if (IsWindowVisible(hWnd) && HasUpdateRegion(hWnd)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

// Waits until neither the frame nor any window inside it has anything left to paint, asking the
// program for an answer between looks so that it runs its message loop.
bool WaitForPainted(HWND frame, Phases& phases)
{
    for (int i = 0; i < 60000; ++i) {
        bool unpainted = IsWindowVisible(frame) && HasUpdateRegion(frame);
        if (!unpainted)
            EnumChildWindows(frame, &FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
        if (!unpainted)
            return true;
        Sleep(1);
        DWORD_PTR answer = 0;
        if (!Ask(frame, WM_NULL, 0, 0, &answer, phases))
            return false;
    }
    return false;
}

// Seconds from the start of the process to its main window shown and painted, and, when listing
// names a folder, to that folder listed with its first screen of thumbnails; negative when it
// does not get there.
double TimeStart(const std::wstring& commandLine, const std::wstring& folder, const std::wstring& listing,
                 bool thumbnails, Phases& phases)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    double start = BenchSeconds();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info))
        return -1;
    FindData data = {info.dwProcessId, nullptr};
    double seconds = -1;
    for (int i = 0; i < 60000 && !data.found; ++i) {
        EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&data));
        if (!data.found) {
            if (WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0)
                break;
        }
    }
    phases.shown = BenchSeconds() - start;
    DWORD_PTR answer = 0;
    if (data.found && Ask(data.found, WM_NULL, 0, 0, &answer, phases)) {
        phases.answered = BenchSeconds() - start;
        // The clock stops once the program has painted, by itself, what the phase shows: no
        // window of it is left with anything to paint. (A paint forced from here would draw the
        // panes in the middle of the listing, as no user's start does, and again after it.)
        if ((listing.empty() || WaitForFirstScreen(data.found, listing, thumbnails, start, phases)) &&
            WaitForPainted(data.found, phases))
            seconds = BenchSeconds() - start;
    }
    if (data.found)
        PostMessageW(data.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return seconds;
}

double g_bare = 0; // the bare window's mean, measured first

void Measure(benchmark::State& state, const std::wstring& commandLine, const std::wstring& folder,
             const std::wstring& listing, bool thumbnails)
{
    Phases sum;
    double total = 0, longestWait = 0;
    int runs = 0;
    for (auto _ : state) {
        Phases phases;
        double seconds = TimeStart(commandLine, folder, listing, thumbnails, phases);
        if (seconds < 0) {
            state.SkipWithError("the program did not show its window");
            break;
        }
        state.SetIterationTime(seconds);
        sum.shown += phases.shown;
        sum.answered += phases.answered;
        sum.listed += phases.listed;
        sum.done += phases.done;
        longestWait = std::max(longestWait, phases.longestWait);
        total += seconds;
        ++runs;
    }
    if (!runs)
        return;
    const double ms = 1000.0 / runs;
    state.counters["shown_ms"] = sum.shown * ms;
    state.counters["answered_ms"] = sum.answered * ms;
    state.counters["longest_wait_ms"] = longestWait * 1000;
    if (listing.empty()) {
        g_bare = total / runs;
        std::printf("bare window: shown %.0f ms, answering %.0f ms\n", sum.shown * ms, sum.answered * ms);
    } else {
        state.counters["listed_ms"] = sum.listed * ms;
        if (thumbnails)
            state.counters["thumbnails_ms"] = sum.done * ms;
        const double mean = total / runs;
        char done[64] = "";
        if (thumbnails)
            std::snprintf(done, sizeof(done), ", thumbnails done %.0f ms", sum.done * ms);
        std::printf("%s: shown %.0f ms, answering %.0f ms, listed %.0f ms%s; longest wait for an answer %.0f ms; "
                    "%.0f ms in all, %.1fx the bare window's %.0f ms (goal: under 500 ms)\n",
                    thumbnails ? "first screen of thumbnails" : "folder listed", sum.shown * ms, sum.answered * ms,
                    sum.listed * ms, done, longestWait * 1000, mean * 1000, g_bare > 0 ? mean / g_bare : 0.0,
                    g_bare * 1000);
    }
    std::fflush(stdout);
}

// To the folder listed, and on to its first screen of thumbnails painted.
void StartVyxToTheFolderListed(benchmark::State& state)
{
    Measure(state, L"\"" + g_programDir + L"\\Vyx.exe\" \"" + g_folder + L"\"", g_programDir, g_folder, false);
}

void StartVyxToTheFirstScreenOfThumbnails(benchmark::State& state)
{
    Measure(state, L"\"" + g_programDir + L"\\Vyx.exe\" \"" + g_folder + L"\"", g_programDir, g_folder, true);
}

// The folder tree's idle walk (its default) over a folder beside one of 100,000 files, the one
// folder_scan leaves in the temporary folder: the longest wait for an answer tells whether the
// walk holds the window. Skipped without that folder.
void StartVyxBesideAFolderOf100000Files(benchmark::State& state)
{
    const std::wstring large = LargeScanFolder();
    if (large.empty()) {
        state.SkipWithError("no folder of 100,000 files beside: run folder_scan first");
        for (auto _ : state) {
        }
        return;
    }
    const std::wstring beside =
        large.substr(0, large.rfind(L'\\') + 1) + L"vyx_startup_bench_beside_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(beside.c_str(), nullptr);
    const std::wstring ini = g_programDir + L"\\Vyx.ini";
    WritePrivateProfileStringW(L"FolderView", L"CheckSubFolder", L"1", ini.c_str());
    Measure(state, L"\"" + g_programDir + L"\\Vyx.exe\" \"" + beside + L"\"", g_programDir, beside, true);
    WritePrivateProfileStringW(L"FolderView", L"CheckSubFolder", L"0", ini.c_str());
    RemoveDirectoryW(beside.c_str());
}

void StartBareWindow(benchmark::State& state)
{
    Measure(state, L"\"" + g_self + L"\"", g_programDir, L"", false);
}

} // namespace

BENCHMARK(StartBareWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(StartVyxToTheFolderListed)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(StartVyxToTheFirstScreenOfThumbnails)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(StartVyxBesideAFolderOf100000Files)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int wmain(int argc, wchar_t** argv)
{
    g_self = ModuleFolder() + L"\\bare_window.exe";
    Prepare();
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveTree(g_root);
    return 0;
}
