// Start-up of Vyx.exe as a user starts it, from process creation to the first screen of
// thumbnails painted, against a bare window program started the same way (to its window painted):
// Wine's own process start is the same for both, so the difference is what the program adds
// (goal: under 0.5 s, with the default settings and from the cache alike). The two take turns, each
// turn in the other order than the last, and the goal holds on the median turn of each side over 9
// turns: the machine's pace drifts within a run, and both sides then meet it alike; the turns that
// went 0.5 s or more over singly are counted too. The program runs with
// the settings it writes itself (none at the first start), on a folder of 1,000 camera pictures of
// 2 megapixels (40 different ones, Exif blocks and all) with sub-folders, whose neighbours include
// a folder of 100,000 files and folders with sub-folders of their own; the folder tree walks them
// as it does by default. Once more with the thumbnail cache on and filled by an earlier start.
// The program's own idle loop does all its work: the benchmark only asks what is left (the frame's
// work flags, a question that runs no step) and whether anything is still to be painted.
// Every run prints its phases: window shown, first answer, folder listed, first screen of
// thumbnails painted, the idle work done (the folder tree's walk included), the longest wait for
// an answer after the window showed, and the time the program took to close.
// Everything lies in a folder of the run's own at the drive's root, removed at the end. Fails when
// the program was copied without its JPEG reader or did not get to its first screen. (A small run:
// 60 pictures, a neighbour of 1,000 files, one turn of each.)
#include "catalogue/FrameMessages.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../CameraJpeg.h"
#include "../ManyFiles.h"
#include "../ProgramCopy.h"

#include "common/OwnedProcess.h"
#include "common/ScratchTree.h"
#include "common/WindowTestUtil.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kPictures = BenchSize(1000, 60);
constexpr int kDistinct = 40;
const int kNeighbourFiles = BenchSize(100000, 1000);
constexpr LONG kWidth = 1632;
constexpr LONG kHeight = 1224;

std::wstring g_root;       // the run's own folder
std::wstring g_folder;     // the pictures
std::wstring g_programDir; // a copy of the program and its plug-ins, with settings of its own
std::wstring g_self;       // the bare window program

// Pictures of the main folder under new names in a sub-folder (hard links: no disk space).
void LinkPictures(const std::wstring& folder, int count, int from)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\DSC_%04d.JPG", i + 1);
        wchar_t source[32];
        swprintf(source, 32, L"\\IMG_%04d.JPG", (from + i) % kPictures + 1);
        if (!CreateHardLinkW((folder + name).c_str(), (g_folder + source).c_str(), nullptr))
            CopyFileW((g_folder + source).c_str(), (folder + name).c_str(), FALSE);
    }
}

bool Prepare()
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    g_root = std::wstring(windows, 3) + L"vyx_startup_bench_" + std::to_wstring(GetCurrentProcessId());
    g_folder = g_root + L"\\写真_2024.カメラ";
    g_programDir = g_root + L"\\program";
    CreateDirectoryW(g_root.c_str(), nullptr);
    CreateDirectoryW(g_programDir.c_str(), nullptr);
    // Another build of the program may be named, to compare the two in the same minutes.
    wchar_t other[MAX_PATH] = {};
    const std::wstring program =
        GetEnvironmentVariableW(L"VYX_STARTUP_PROGRAM", other, MAX_PATH) ? other : ProgramBinFolder() + L"Vyx.exe";
    if (!CopyProgram(program, g_programDir))
        return false;

    std::printf("making %d camera pictures of %ldx%ld (%d different) and the folders beside...\n", kPictures, kWidth,
                kHeight, kDistinct);
    std::fflush(stdout);
    MakeCameraFolder(g_folder, kPictures, kDistinct, kWidth, kHeight);
    LinkPictures(g_folder + L"\\2023_夏休み.沖縄", 60, 0);
    LinkPictures(g_folder + L"\\2023_夏休み.沖縄\\選んだ写真", 12, 5);
    LinkPictures(g_folder + L"\\2024_家族_春", 40, 100);
    LinkPictures(g_folder + L"\\RAW現像.tmp", 8, 200);

    MakeEmptyFiles(g_root + L"\\スキャン_100000", CameraNamedFilesInOrder(kNeighbourFiles));
    for (const wchar_t* folder : {L"\\書類", L"\\書類\\2023", L"\\書類\\2024", L"\\書類\\2024\\見積.旧", L"\\動画"})
        CreateDirectoryW((g_root + folder).c_str(), nullptr);
    LinkPictures(g_root + L"\\書類\\2024", 5, 300);
    return true;
}

// Seconds from the process's creation to each phase, the longest wait for the program to answer
// a message once its window showed, and the time from the close request to the process's end.
struct Phases
{
    double shown = 0, answered = 0, listed = 0, firstScreen = 0, idleDone = 0, longestWait = 0, closed = 0;
};

// A start's bound: a program that hangs fails the run with the phase it did not reach, well within
// the test runner's own limit (a start takes about a second).
constexpr double kStartBound = 120;

// Sends a message, counting the wait for the answer into the longest; no answer by the deadline is
// none.
bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result, Phases& phases, double deadline)
{
    const double start = BenchSeconds();
    const UINT bound = static_cast<UINT>(std::max(deadline - start, 0.001) * 1000);
    const bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, bound, result) != 0;
    phases.longestWait = std::max(phases.longestWait, BenchSeconds() - start);
    return answered;
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
bool WaitForPainted(HWND frame, Phases& phases, double deadline)
{
    while (BenchSeconds() < deadline) {
        bool unpainted = IsWindowVisible(frame) && HasUpdateRegion(frame);
        if (!unpainted)
            EnumChildWindows(frame, &FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
        if (!unpainted)
            return true;
        Sleep(1);
        DWORD_PTR answer = 0;
        if (!Ask(frame, WM_NULL, 0, 0, &answer, phases, deadline))
            return false;
    }
    return false;
}

// Waits until the frame's title names the folder (set once the list is rebuilt, never inside the
// scan), then until the frame's work flags say the thumbnails on show are made and nothing is left
// to paint: the first screen. Then until no idle work is left. The program's idle loop runs every
// step; the flags are only read.
bool WaitForPhases(HWND frame, const std::wstring& folder, double start, Phases& phases, const char*& stuck)
{
    const double deadline = start + kStartBound;
    auto lower = [](std::wstring text) {
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
        return text;
    };
    const std::wstring wanted = lower(folder);
    bool listed = false;
    stuck = "the folder was not listed (the title never named it)";
    while (!listed && BenchSeconds() < deadline) {
        wchar_t title[1024] = {};
        DWORD_PTR length = 0;
        listed = Ask(frame, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(title), &length, phases, deadline) &&
                 lower(title).find(wanted) != std::wstring::npos;
        if (!listed)
            Sleep(1);
    }
    phases.listed = BenchSeconds() - start;
    if (!listed)
        return false;
    bool firstScreen = false;
    stuck = "the thumbnails on show were not made";
    while (BenchSeconds() < deadline) {
        DWORD_PTR work = 0;
        if (!Ask(frame, WMU_WORKFLAGS, 0, 0, &work, phases, deadline)) {
            stuck = "the program stopped answering";
            return false;
        }
        if (!firstScreen && !(work & WorkVisibleThumbs)) {
            if (!WaitForPainted(frame, phases, deadline)) {
                stuck = "the first screen was not painted";
                return false;
            }
            phases.firstScreen = BenchSeconds() - start;
            firstScreen = true;
            stuck = "its idle work was not done";
        }
        if (!work) {
            phases.idleDone = BenchSeconds() - start;
            return true;
        }
        Sleep(1);
    }
    return false;
}

// One start of the program (or the bare window when folder is empty) to its last phase, then
// its close; false when it does not get there.
bool TimeStart(const std::wstring& commandLine, const std::wstring& folder, Phases& phases, const char*& stuck)
{
    if (!NoInstanceRuns(60000)) {
        stuck = "another instance of the program runs in this session (a start would hand over to it)";
        return false;
    }
    stuck = "the program did not start";
    OwnedProcess process;
    const double start = BenchSeconds();
    if (!process.Start(commandLine, g_programDir.c_str()))
        return false;
    const double deadline = start + kStartBound;
    HWND window = nullptr;
    stuck = "no window showed";
    while (!window && BenchSeconds() < deadline) {
        window = ShownMainWindowOf(process.Id());
        if (!window && process.Ended(1)) {
            stuck = "the program ended before its window showed";
            break;
        }
    }
    phases.shown = BenchSeconds() - start;
    bool reached = false;
    DWORD_PTR answer = 0;
    if (window && !Ask(window, WM_NULL, 0, 0, &answer, phases, deadline)) {
        stuck = "the window never answered";
    } else if (window) {
        phases.answered = BenchSeconds() - start;
        if (folder.empty()) {
            reached = WaitForPainted(window, phases, deadline);
            stuck = "the window was not painted";
            phases.firstScreen = phases.idleDone = BenchSeconds() - start;
        } else {
            reached = WaitForPhases(window, folder, start, phases, stuck);
        }
    }
    const double closing = BenchSeconds();
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    process.Ended(60000);
    phases.closed = BenchSeconds() - closing;
    return reached;
}

std::wstring ProgramLine()
{
    return L"\"" + g_programDir + L"\\Vyx.exe\" \"" + g_folder + L"\"";
}

// The program's median over the bare window's, by label.
std::vector<std::pair<std::string, double>> g_over;
// Turns the goals rest on (at full size): one slow start on a shared machine moves no median.
const int kTurns = BenchIterations(9);

void PrintPhases(const char* label, int turn, const Phases& phases, double bare)
{
    std::printf("  %s, turn %d: shown %.0f ms, answering %.0f ms, listed %.0f ms, first screen %.0f ms (+%.0f ms over "
                "the bare window's %.0f ms of this turn), idle work done %.0f ms; longest wait %.0f ms; closed in "
                "%.0f ms\n",
                label, turn, phases.shown * 1000, phases.answered * 1000, phases.listed * 1000,
                phases.firstScreen * 1000, (phases.firstScreen - bare) * 1000, bare * 1000, phases.idleDone * 1000,
                phases.longestWait * 1000, phases.closed * 1000);
}

// The program and the bare window take turns, each turn in the other order than the last, so that
// the machine's pace drifting within the run meets both sides alike; the median turn of each side
// counts.
void Measure(benchmark::State& state, const std::wstring& folder, const char* label)
{
    std::vector<double> program, bare, shown, answered, listed, idleDone, closed;
    double longestWait = 0;
    int overSingly = 0;
    for (auto _ : state) {
        Phases phases, barePhases;
        const char* stuck = "";
        const std::wstring bareLine = L"\"" + g_self + L"\"";
        const bool bareFirst = program.size() % 2 == 1;
        const double load = BenchLoadAverage();
        bool started = !bareFirst || TimeStart(bareLine, L"", barePhases, stuck);
        started = started && TimeStart(ProgramLine(), folder, phases, stuck);
        started = started && (bareFirst || TimeStart(bareLine, L"", barePhases, stuck));
        if (!started) {
            const std::string why = std::string("a start did not get to its first screen: ") + stuck;
            state.SkipWithError(why.c_str());
            break;
        }
        state.SetIterationTime(phases.firstScreen);
        std::printf("  load %.2f, %s first:\n", load, bareFirst ? "the bare window" : "the program");
        PrintPhases(label, static_cast<int>(program.size()) + 1, phases, barePhases.firstScreen);
        std::fflush(stdout);
        program.push_back(phases.firstScreen);
        bare.push_back(barePhases.firstScreen);
        shown.push_back(phases.shown);
        answered.push_back(phases.answered);
        listed.push_back(phases.listed);
        idleDone.push_back(phases.idleDone);
        closed.push_back(phases.closed);
        overSingly += phases.firstScreen - barePhases.firstScreen >= 0.5;
        longestWait = std::max(longestWait, phases.longestWait);
    }
    const int turns = static_cast<int>(program.size());
    if (!turns)
        return;
    const double programMs = BenchMedian(program) * 1000, bareMs = BenchMedian(bare) * 1000;
    const double over = programMs - bareMs;
    if (!BenchMeasured(turns >= kTurns, "%s: %d turns, of the %d its goal rests on", label, turns, kTurns))
        return;
    g_over.emplace_back(label, over);
    state.counters["shown_ms"] = BenchMedian(shown) * 1000;
    state.counters["answered_ms"] = BenchMedian(answered) * 1000;
    state.counters["listed_ms"] = BenchMedian(listed) * 1000;
    state.counters["idle_done_ms"] = BenchMedian(idleDone) * 1000;
    state.counters["bare_ms"] = bareMs;
    state.counters["longest_wait_ms"] = longestWait * 1000;
    std::printf("%s, median of %d turns: shown %.0f ms, answering %.0f ms, listed %.0f ms, first screen %.0f ms, idle "
                "work done %.0f ms; longest wait %.0f ms; closed in %.0f ms\n"
                "  first screen %.0f ms over the bare window's %.0f ms, %.2fx of it (goal: under 500 ms over on the "
                "median turns): %s; %d of %d single turns 500 ms or more over\n",
                label, turns, BenchMedian(shown) * 1000, BenchMedian(answered) * 1000, BenchMedian(listed) * 1000,
                programMs, BenchMedian(idleDone) * 1000, longestWait * 1000, BenchMedian(closed) * 1000, over, bareMs,
                bareMs > 0 ? programMs / bareMs : 0.0, over < 500 ? "met" : "not met", overSingly, turns);
    std::fflush(stdout);
}

// With the settings the program writes itself: none at the first run.
void StartVyxToTheFirstScreen(benchmark::State& state)
{
    Measure(state, g_folder, "first screen of thumbnails");
}

// With the thumbnail cache on, filled by a start before the measured ones.
void StartVyxToTheFirstScreenFromTheCache(benchmark::State& state)
{
    const std::wstring ini = g_programDir + L"\\Vyx.ini";
    WritePrivateProfileStringW(L"KWDoc", L"CacheFolder", L"1", ini.c_str());
    WritePrivateProfileStringW(L"KWDoc", L"AutoCacheFolder", L"1", ini.c_str());
    Phases filling;
    const char* stuck = "";
    if (TimeStart(ProgramLine(), g_folder, filling, stuck)) {
        Measure(state, g_folder, "first screen from the cache");
    } else {
        const std::string why = std::string("the start that fills the cache did not get to its end: ") + stuck;
        state.SkipWithError(why.c_str());
    }
    WritePrivateProfileStringW(L"KWDoc", L"CacheFolder", L"0", ini.c_str());
    WritePrivateProfileStringW(L"KWDoc", L"AutoCacheFolder", L"0", ini.c_str());
}

} // namespace

BENCHMARK(StartVyxToTheFirstScreen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kTurns);
BENCHMARK(StartVyxToTheFirstScreenFromTheCache)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kTurns);

int wmain(int argc, wchar_t** argv)
{
    g_self = BenchModuleFolder() + L"\\bare_window.exe";
    InitializeBenchmarks(argc, argv);
    if (Prepare()) {
        BenchRun();
        if (BenchMeasured(!g_over.empty(), "no start of the program was timed beside the bare window"))
            for (const auto& [label, over] : g_over)
                BenchGoal(over < 500, "%s: %.0f ms over the bare window on the median turns (goal: under 500 ms)",
                          label.c_str(), over);
    } else {
        BenchNothing("the program could not be copied with its JPEG reader");
    }
    RemoveTree(g_root);
    return BenchExitCode();
}
