// The file-operation engine against a plain CopyFileW loop over the same files in the same run:
// 10,000 small files (half of them with notes, and again without any), one 512 MB file, and one
// 1 GB file through the copy command's path in the program's own frame, on an idle machine and
// with every core kept busy. The engine runs as the main frame runs it, with its
// progress window, on this (the user-interface) thread; a watcher thread measures how long that
// thread takes to answer a message throughout, and the process's memory is read before and after.
// The large files are copied in several rounds (7 of the 512 MB file, 5 of the 1 GB one), the plain
// copy and the engine (with the progress window and without) taking turns; each figure is the
// fastest of its rounds, since what else the machine does only adds time, and one copy of it is
// too short to be steady on a shared machine. The spread of each round's ratio to its own plain
// copy is printed beside. Goals, each row to meet all three: within 1.2x of the plain loop on the
// small files and 1.1x on the large ones, the thread answering within 100 ms in every round,
// memory flat (under 16 MB more after than before). The large file is also copied with the reader
// thread at idle priority on the busy machine, to show the stall that priority invites. Fails when
// a copy left files out. (A small run: 300 files, files of 16 and 32 MB, two rounds, idle only.)
#include "browser/CKWDocPictureOutput.h"
#include "browser/CKWView.h"
#include "browser/CMainFrame.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CKWDocScopes.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"
#include "fileops/CThreadedCopier.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../OwnPlugins.h"
#include "../ProgramFrame.h"
#include "common/FrameTestUtil.h"

#include <benchmark/benchmark.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kSmallFiles = BenchSize(10000, 300);
const ULONGLONG kLargeFile = BenchSize(512ull, 16ull) * 1024 * 1024;
const int kLargeRounds = BenchSize(7, 2);
const ULONGLONG kGigabyteFile = BenchSize(1024ull, 32ull) * 1024 * 1024;
const int kGigabyteRounds = BenchSize(5, 2);
// The thread's longest answer, and how much more memory after a copy than before.
constexpr double kAnswerGoalMs = 100;
constexpr double kMemoryGoalMb = 16;

std::wstring g_root;

std::string SizeText(ULONGLONG bytes)
{
    char text[32];
    if (bytes >= 1024ull * 1024 * 1024)
        std::snprintf(text, sizeof(text), "%g GB", bytes / (1024.0 * 1024 * 1024));
    else
        std::snprintf(text, sizeof(text), "%g MB", bytes / (1024.0 * 1024));
    return text;
}

// The files of the copied kind (their names' ending) under a folder and their bytes, sub-folders
// included; notes and other side files are not counted.
void CountTree(const std::wstring& folder, const wchar_t* ending, int& files, ULONGLONG& bytes)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0)
            continue;
        const size_t length = wcslen(data.cFileName), endingLength = wcslen(ending);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CountTree(folder + L"\\" + data.cFileName, ending, files, bytes);
        } else if (length >= endingLength && lstrcmpiW(data.cFileName + length - endingLength, ending) == 0) {
            ++files;
            bytes += static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

bool HoldsFiles(const std::wstring& folder, const wchar_t* ending, int files, ULONGLONG bytes)
{
    int foundFiles = 0;
    ULONGLONG foundBytes = 0;
    CountTree(folder, ending, foundFiles, foundBytes);
    return foundFiles == files && (bytes == 0 || foundBytes == bytes);
}

double PrivateMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage / 1048576.0;
}

bool WriteBytes(const std::wstring& path, ULONGLONG size, unsigned seed)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>((i * 31 + seed) >> 3);
    bool ok = true;
    for (ULONGLONG done = 0; ok && done < size;) {
        DWORD n = static_cast<DWORD>(std::min<ULONGLONG>(block.size(), size - done)), written = 0;
        ok = WriteFile(file, block.data(), n, &written, nullptr) && written == n;
        done += n;
    }
    // A large source goes to the disk before any round: its writing back must not fall on the
    // first copies.
    if (size >= kLargeFile)
        FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

// The sources, made once: a folder of small files with notes for every other file, one of the
// same files without notes, and a large file.
const std::wstring& SmallFolder(bool withNotes)
{
    static std::wstring folders[2];
    std::wstring& folder = folders[withNotes ? 1 : 0];
    if (!folder.empty())
        return folder;
    folder = g_root + (withNotes ? L"\\small" : L"\\small_bare");
    CreateDirectoryW(folder.c_str(), nullptr);
    VyxNoteSession session;
    VyxNoteStore notes(theCacheList.GetCacheFolder());
    notes.SetLocation(folder.c_str(), nullptr);
    for (int i = 0; i < kSmallFiles; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\p%05d.jpg", i);
        WriteBytes(folder + name, 1024 + (i % 7) * 512, i);
        if (withNotes && i % 2 == 0) {
            wchar_t note[48];
            wsprintfW(note, L"メモ %d", i);
            notes.WriteNote((folder + name).c_str(), note);
        }
    }
    return folder;
}

const std::wstring& LargeFile()
{
    static std::wstring path;
    if (path.empty()) {
        path = g_root + L"\\large.bin";
        WriteBytes(path, kLargeFile, 5);
    }
    return path;
}

// A folder holding one file of 1 GB, a film as the program lists it (through its own plug-ins).
const std::wstring& GigabyteFolder()
{
    static std::wstring folder;
    if (folder.empty()) {
        LoadOwnPlugins();
        folder = g_root + L"\\gigabyte";
        CreateDirectoryW(folder.c_str(), nullptr);
        WriteBytes(folder + L"\\動画_2024.01.avi", kGigabyteFile, 9);
    }
    return folder;
}

// Keeps every core busy while it lives.
class BusyCores
{
public:
    explicit BusyCores(bool on)
    {
        if (!on)
            return;
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        for (DWORD i = 0; i < info.dwNumberOfProcessors; ++i)
            m_threads.emplace_back([this] {
                volatile unsigned spin = 0;
                while (!m_stop)
                    ++spin;
            });
    }
    ~BusyCores()
    {
        m_stop = true;
        for (std::thread& thread : m_threads)
            thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

// Measures, from another thread, how long a window of this thread takes to answer a message.
class Responsiveness
{
public:
    explicit Responsiveness(HWND window) : m_window(window)
    {
        m_thread = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    }
    ~Responsiveness() { Stop(); }
    // The worst wait seen; this thread answers the last message while the watcher ends.
    double Stop()
    {
        if (!m_thread)
            return m_worst;
        m_stop = true;
        while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
        CloseHandle(m_thread);
        m_thread = nullptr;
        return m_worst;
    }

private:
    static DWORD WINAPI Watch(LPVOID param)
    {
        auto* self = static_cast<Responsiveness*>(param);
        while (!self->m_stop) {
            double start = BenchSeconds();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(self->m_window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            double waited = (BenchSeconds() - start) * 1000;
            if (!self->m_stop && waited > self->m_worst)
                self->m_worst = waited;
            Sleep(10);
        }
        return 0;
    }

    HWND m_window;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_worst{0};
};

struct Figure
{
    std::string name;
    double plain = 0;
    double engine = 0;
    // Negative where nothing pumps during the run (no progress window): nothing to measure.
    double worstAnswerMs = 0;
    double memoryGrowthMb = 0;
    double goal = 0;
    // The lowest and highest ratio of one round to its own plain copy, where there were rounds.
    double lowRatio = 0;
    double highRatio = 0;
};
std::vector<Figure> g_figures;
double g_idleReaderSeconds = 0;
double g_belowNormalReaderSeconds = 0;

double PlainCopy(const std::vector<std::wstring>& sources, const std::wstring& destination)
{
    CreateDirectoryW(destination.c_str(), nullptr);
    double start = BenchSeconds();
    for (const std::wstring& source : sources)
        CopyFileW(source.c_str(), (destination + source.substr(source.find_last_of(L'\\'))).c_str(), FALSE);
    return BenchSeconds() - start;
}

double Fastest(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

// The engine as the main frame runs it: progress window (or none), settings' buffer size, a run.
double EngineCopy(CWnd& owner, const std::wstring& source, const std::wstring& destination, Figure& figure,
                  bool progress = true)
{
    CreateDirectoryW(destination.c_str(), nullptr);
    VyxFile item(source.c_str());
    double before = PrivateMegabytes();
    Responsiveness watch(owner.GetSafeHwnd());
    double start = BenchSeconds();
    {
        VyxFileTransfer job;
        job.AddItem(&item, 0);
        job.SetDestination(destination.c_str());
        job.SetSameNameMode(VyxFileTransfer::SameOverwrite);
        if (progress)
            job.CreateProgress(&owner);
        job.SetCopyBufferSize(1048576);
        job.SetCacheRoot(theCacheList.GetCacheFolder());
        job.Run();
    }
    double seconds = BenchSeconds() - start;
    figure.worstAnswerMs = watch.Stop();
    figure.memoryGrowthMb = PrivateMegabytes() - before;
    return seconds;
}

CWnd& Owner()
{
    static CWnd owner;
    if (!owner.GetSafeHwnd())
        owner.CreateEx(0, AfxRegisterWndClass(0), L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr);
    return owner;
}

void SmallFiles(benchmark::State& state)
{
    bool busy = state.range(0) != 0, withNotes = state.range(1) != 0;
    const std::wstring& folder = SmallFolder(withNotes);
    std::vector<std::wstring> sources;
    for (int i = 0; i < kSmallFiles; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\p%05d.jpg", i);
        sources.push_back(folder + name);
    }
    Figure figure;
    figure.name = std::to_string(kSmallFiles) + " small files" + (withNotes ? ", half noted" : ", no notes") +
                  (busy ? ", cores busy" : ", idle");
    figure.goal = 1.2;
    for (auto _ : state) {
        BusyCores load(busy);
        std::wstring plainTarget = g_root + L"\\plain_small", engineTarget = g_root + L"\\engine_small";
        figure.plain = PlainCopy(sources, plainTarget);
        figure.engine = EngineCopy(Owner(), folder, engineTarget, figure);
        state.SetIterationTime(figure.engine);
        const bool whole =
            HoldsFiles(plainTarget, L".jpg", kSmallFiles, 0) && HoldsFiles(engineTarget, L".jpg", kSmallFiles, 0);
        DeleteFolderTree(plainTarget.c_str());
        DeleteFolderTree(engineTarget.c_str());
        if (!whole) {
            state.SkipWithError("a copy left files out");
            return;
        }
    }
    g_figures.push_back(figure);
}

// Rounds of the plain copy and the engine with and without its progress window, taking turns so
// that what the machine does meanwhile falls on all three alike.
void LargeFileCopy(benchmark::State& state)
{
    bool busy = state.range(0) != 0;
    const char* load = busy ? ", cores busy" : ", idle";
    Figure shown, bare;
    shown.name = SizeText(kLargeFile) + " file, progress window" + load;
    bare.name = SizeText(kLargeFile) + " file, no window" + load;
    shown.goal = bare.goal = 1.1;
    for (auto _ : state) {
        BusyCores cores(busy);
        std::wstring plainTarget = g_root + L"\\plain_large", engineTarget = g_root + L"\\engine_large";
        std::vector<double> plain, withWindow, without, windowRatios, bareRatios;
        double worst = 0, growth = 0, bareGrowth = 0;
        bool whole = true;
        for (int round = 0; round < kLargeRounds; ++round) {
            plain.push_back(PlainCopy({LargeFile()}, plainTarget));
            whole = whole && HoldsFiles(plainTarget, L".bin", 1, kLargeFile);
            DeleteFolderTree(plainTarget.c_str());
            withWindow.push_back(EngineCopy(Owner(), LargeFile(), engineTarget, shown));
            worst = std::max(worst, shown.worstAnswerMs);
            growth = std::max(growth, shown.memoryGrowthMb);
            whole = whole && HoldsFiles(engineTarget, L".bin", 1, kLargeFile);
            DeleteFolderTree(engineTarget.c_str());
            without.push_back(EngineCopy(Owner(), LargeFile(), engineTarget, bare, false));
            bareGrowth = std::max(bareGrowth, bare.memoryGrowthMb);
            whole = whole && HoldsFiles(engineTarget, L".bin", 1, kLargeFile);
            DeleteFolderTree(engineTarget.c_str());
            windowRatios.push_back(withWindow.back() / plain.back());
            bareRatios.push_back(without.back() / plain.back());
        }
        shown.plain = bare.plain = Fastest(plain);
        shown.engine = Fastest(withWindow);
        bare.engine = Fastest(without);
        shown.worstAnswerMs = worst;
        shown.memoryGrowthMb = growth;
        shown.lowRatio = *std::min_element(windowRatios.begin(), windowRatios.end());
        shown.highRatio = *std::max_element(windowRatios.begin(), windowRatios.end());
        bare.lowRatio = *std::min_element(bareRatios.begin(), bareRatios.end());
        bare.highRatio = *std::max_element(bareRatios.begin(), bareRatios.end());
        bare.worstAnswerMs = -1;
        bare.memoryGrowthMb = bareGrowth;
        state.SetIterationTime(shown.engine);
        if (!whole) {
            state.SkipWithError("a copy of the large file was not whole");
            return;
        }
    }
    g_figures.push_back(shown);
    g_figures.push_back(bare);
}

// The reader at idle priority against below normal, every core busy.
void ReaderPriority(benchmark::State& state)
{
    for (auto _ : state) {
        BusyCores load(true);
        for (int priority : {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_BELOW_NORMAL}) {
            CThreadedCopier::s_readerPriority = priority;
            CThreadedCopier copier;
            copier.SetUp(1048576);
            std::wstring target = g_root + L"\\priority.bin";
            double start = BenchSeconds();
            copier.CopyFileThreaded(LargeFile().c_str(), target.c_str(), nullptr, 0);
            double seconds = BenchSeconds() - start;
            DeleteFileW(target.c_str());
            (priority == THREAD_PRIORITY_IDLE ? g_idleReaderSeconds : g_belowNormalReaderSeconds) = seconds;
        }
        CThreadedCopier::s_readerPriority = THREAD_PRIORITY_BELOW_NORMAL;
        state.SetIterationTime(g_idleReaderSeconds + g_belowNormalReaderSeconds);
    }
}

// The program's frame and views made by its document template, the document on the folder of the
// 1 GB file, the file selected: the copy command's path once its dialog has answered (the
// document building the job and sending it to the frame, which runs it with its progress window),
// against CopyFileW in rounds taking turns. Pictures of the frame's thread answering from the
// watcher thread throughout.
struct FrameProgram : ProgramFrame
{
    bool Start(const std::wstring& folder)
    {
        if (!ProgramFrame::Start(folder))
            return false;
        // Listed now, as the program has listed it once it answers.
        doc->OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
        frame->UpdateWindow();
        return true;
    }
    ~FrameProgram() { Close(); }
};

double FrameCopy(FrameProgram& program, const std::wstring& destination, Figure& figure)
{
    CreateDirectoryW(destination.c_str(), nullptr);
    CKWDoc& doc = *program.doc;
    doc.SetAllSelection(true);
    double before = PrivateMegabytes();
    Responsiveness watch(program.frame->GetSafeHwnd());
    double start = BenchSeconds();
    {
        // As the copy command holds the document while its dialog and job run.
        UpdatingScope updating(doc);
        CKWDocPictureOutput(doc).TransferSelected(destination.c_str(), 0, VyxFileTransfer::SameOverwrite, false);
    }
    double seconds = BenchSeconds() - start;
    figure.worstAnswerMs = std::max(figure.worstAnswerMs, watch.Stop());
    figure.memoryGrowthMb = std::max(figure.memoryGrowthMb, PrivateMegabytes() - before);
    return seconds;
}

void GigabyteThroughTheFrame(benchmark::State& state)
{
    const bool busy = state.range(0) != 0;
    Figure figure;
    figure.name = SizeText(kGigabyteFile) + " file, the copy command's path" + (busy ? ", cores busy" : ", idle");
    figure.goal = 1.1;
    const std::wstring source = GigabyteFolder() + L"\\動画_2024.01.avi";
    for (auto _ : state) {
        FrameProgram program;
        if (!program.Start(GigabyteFolder()) || program.doc->GetItemCount() != 1) {
            state.SkipWithError("the program's frame could not be made on the folder");
            break;
        }
        BusyCores cores(busy);
        const std::wstring plainTarget = g_root + L"\\plain_gigabyte", frameTarget = g_root + L"\\frame_gigabyte";
        std::vector<double> plain, framed, ratios;
        bool whole = true;
        for (int round = 0; round < kGigabyteRounds; ++round) {
            plain.push_back(PlainCopy({source}, plainTarget));
            whole = whole && HoldsFiles(plainTarget, L".avi", 1, kGigabyteFile);
            DeleteFolderTree(plainTarget.c_str());
            framed.push_back(FrameCopy(program, frameTarget, figure));
            whole = whole && HoldsFiles(frameTarget, L".avi", 1, kGigabyteFile);
            DeleteFolderTree(frameTarget.c_str());
            ratios.push_back(framed.back() / plain.back());
        }
        if (!whole) {
            state.SkipWithError("a copy of the film was not whole");
            break;
        }
        figure.plain = Fastest(plain);
        figure.engine = Fastest(framed);
        figure.lowRatio = *std::min_element(ratios.begin(), ratios.end());
        figure.highRatio = *std::max_element(ratios.begin(), ratios.end());
        std::sort(ratios.begin(), ratios.end());
        std::printf("%s: ratios of the rounds, each to its own plain copy, from the lowest:", figure.name.c_str());
        for (double ratio : ratios)
            std::printf(" %.2f", ratio);
        std::printf(" (median %.2fx)\n", ratios[ratios.size() / 2]);
        std::fflush(stdout);
        state.SetIterationTime(figure.engine);
    }
    g_figures.push_back(figure);
}

// The idle machine, and (not in a small run) every core busy.
void IdleAndBusy(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(0);
    if (!BenchSmall())
        benchmark->Arg(1);
}

void NotedIdleAndBusy(benchmark::internal::Benchmark* benchmark)
{
    for (int noted : {1, 0})
        for (int busy : {0, 1})
            if (!busy || !BenchSmall())
                benchmark->Args({busy, noted});
}

BENCHMARK(SmallFiles)->Apply(NotedIdleAndBusy)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LargeFileCopy)->Apply(IdleAndBusy)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ReaderPriority)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GigabyteThroughTheFrame)->Apply(IdleAndBusy)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    std::printf("\nFile-operation engine against a plain CopyFileW loop in the same run (the %s file: fastest of "
                "%d rounds, the %s one: fastest of %d; goals: the ratio, every answer within %.0f ms, memory under "
                "%.0f MB more after than before):\n",
                SizeText(kLargeFile).c_str(), kLargeRounds, SizeText(kGigabyteFile).c_str(), kGigabyteRounds,
                kAnswerGoalMs, kMemoryGoalMb);
    std::printf("  %-44s %8s %9s %7s %6s %13s %10s %10s\n", "", "plain s", "engine s", "ratio", "goal", "round ratios",
                "answer ms", "memory MB");
    for (const Figure& figure : g_figures) {
        char rounds[32] = "";
        if (figure.highRatio > 0)
            std::snprintf(rounds, sizeof(rounds), "%.2f-%.2f", figure.lowRatio, figure.highRatio);
        char answer[16] = "-";
        if (figure.worstAnswerMs >= 0)
            std::snprintf(answer, sizeof(answer), "%.0f", figure.worstAnswerMs);
        const double ratio = figure.plain > 0 ? figure.engine / figure.plain : 0.0;
        const bool fast = ratio <= figure.goal;
        const bool answered = figure.worstAnswerMs <= kAnswerGoalMs;
        const bool flat = figure.memoryGrowthMb < kMemoryGoalMb;
        std::printf("  %-44s %8.2f %9.2f %6.2fx %5.1fx %13s %10s %10.1f  %s\n", figure.name.c_str(), figure.plain,
                    figure.engine, ratio, figure.goal, rounds, answer, figure.memoryGrowthMb,
                    fast && answered && flat ? "met" : "not met");
        if (!BenchMeasured(figure.plain > 0 && figure.engine > 0, "%s: no copy was timed", figure.name.c_str()))
            continue;
        BenchGoal(fast, "%s: %.2fx the plain copy (goal: %.1fx)", figure.name.c_str(), ratio, figure.goal);
        BenchGoal(answered, "%s: the thread answered after %.0f ms (goal: %.0f ms)", figure.name.c_str(),
                  figure.worstAnswerMs, kAnswerGoalMs);
        BenchGoal(flat, "%s: %.1f MB more memory after the copy (goal: under %.0f MB)", figure.name.c_str(),
                  figure.memoryGrowthMb, kMemoryGoalMb);
    }
    BenchMeasured(!g_figures.empty(), "no copy was measured");
    std::printf("Reader thread of the copier, %s with every core busy: idle priority %.2f s, below normal %.2f s\n",
                SizeText(kLargeFile).c_str(), g_idleReaderSeconds, g_belowNormalReaderSeconds);
}

} // namespace

CWinApp theBenchApp;

int wmain(int argc, wchar_t** argv)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_HIDE);
    g_root = BenchTempFile(L"fileops", L"files");
    CreateDirectoryW(g_root.c_str(), nullptr);
    // The frame's settings go to a file of the run's own.
    const std::wstring settings = g_root + L"\\settings.ini";
    theAppIni.SetPath(settings.c_str());
    const ProfileRedirect profile;
    AfxOleInit();
    InitializeBenchmarks(argc, argv);
    BenchRun();
    PrintSummary();
    DeleteFolderTree(g_root.c_str());
    return BenchExitCode();
}
