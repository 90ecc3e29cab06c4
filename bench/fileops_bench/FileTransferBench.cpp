// The file-operation engine against a plain CopyFileW loop over the same files in the same run:
// 10,000 small files (half of them with notes) and one 512 MB file, on an idle machine and with
// every core kept busy. The engine runs as the main frame runs it, with its progress window, on
// this (the user-interface) thread; a watcher thread measures how long that thread takes to
// answer a message throughout, and the process's memory is read before and after. Goals: within
// 1.2x of the plain loop on the small files and 1.1x on the large one, the thread answering
// within 100 ms, memory flat. The large file is also copied with the reader thread at idle
// priority on the busy machine, to show the stall that priority invites.
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"
#include "fileops/CThreadedCopier.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/VyxFileUtil.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"

#include <benchmark/benchmark.h>

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kSmallFiles = 10000;
constexpr ULONGLONG kLargeFile = 512ull * 1024 * 1024;

std::wstring g_root;

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
    CloseHandle(file);
    return ok;
}

// The sources, made once: a folder of small files with notes for every other file, and a large
// file.
const std::wstring& SmallFolder()
{
    static std::wstring folder;
    if (!folder.empty())
        return folder;
    folder = g_root + L"\\small";
    CreateDirectoryW(folder.c_str(), nullptr);
    VyxNoteSession session;
    VyxNoteStore notes(theCacheList.GetCacheFolder());
    notes.SetLocation(folder.c_str(), nullptr);
    for (int i = 0; i < kSmallFiles; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\p%05d.jpg", i);
        WriteBytes(folder + name, 1024 + (i % 7) * 512, i);
        if (i % 2 == 0) {
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
    double goal = 0;
    double plain = 0;
    double engine = 0;
    double worstAnswerMs = 0;
    double memoryGrowthMb = 0;
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

// The engine as the main frame runs it: progress window, settings' buffer size, a run.
double EngineCopy(CWnd& owner, const std::wstring& source, const std::wstring& destination, Figure& figure)
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
    bool busy = state.range(0) != 0;
    const std::wstring& folder = SmallFolder();
    std::vector<std::wstring> sources;
    for (int i = 0; i < kSmallFiles; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\p%05d.jpg", i);
        sources.push_back(folder + name);
    }
    Figure figure;
    figure.name = busy ? "10,000 small files, every core busy" : "10,000 small files, idle machine";
    figure.goal = 1.2;
    for (auto _ : state) {
        BusyCores load(busy);
        std::wstring plainTarget = g_root + L"\\plain_small", engineTarget = g_root + L"\\engine_small";
        figure.plain = PlainCopy(sources, plainTarget);
        figure.engine = EngineCopy(Owner(), folder, engineTarget, figure);
        state.SetIterationTime(figure.engine);
        DeleteFolderTree(plainTarget.c_str());
        DeleteFolderTree(engineTarget.c_str());
    }
    g_figures.push_back(figure);
}

void LargeFileCopy(benchmark::State& state)
{
    bool busy = state.range(0) != 0;
    Figure figure;
    figure.name = busy ? "one 512 MB file, every core busy" : "one 512 MB file, idle machine";
    figure.goal = 1.1;
    for (auto _ : state) {
        BusyCores load(busy);
        std::wstring plainTarget = g_root + L"\\plain_large", engineTarget = g_root + L"\\engine_large";
        figure.plain = PlainCopy({LargeFile()}, plainTarget);
        DeleteFolderTree(plainTarget.c_str());
        figure.engine = EngineCopy(Owner(), LargeFile(), engineTarget, figure);
        state.SetIterationTime(figure.engine);
        DeleteFolderTree(engineTarget.c_str());
    }
    g_figures.push_back(figure);
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

BENCHMARK(SmallFiles)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LargeFileCopy)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ReaderPriority)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    std::printf("\nFile-operation engine against a plain CopyFileW loop (goals: 1.2x small, 1.1x large; answers "
                "within 100 ms; memory flat):\n");
    std::printf("  %-40s %9s %9s %7s %6s %11s %10s\n", "", "plain s", "engine s", "ratio", "goal", "answer ms",
                "memory MB");
    for (const Figure& figure : g_figures)
        std::printf("  %-40s %9.2f %9.2f %7.2f %6.1f %11.0f %10.1f\n", figure.name.c_str(), figure.plain,
                    figure.engine, figure.plain > 0 ? figure.engine / figure.plain : 0.0, figure.goal,
                    figure.worstAnswerMs, figure.memoryGrowthMb);
    std::printf("Reader thread of the copier, 512 MB with every core busy: idle priority %.2f s, below normal %.2f s\n",
                g_idleReaderSeconds, g_belowNormalReaderSeconds);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_HIDE);
    g_root = BenchTempFile(L"fileops", L"files");
    CreateDirectoryW(g_root.c_str(), nullptr);
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    DeleteFolderTree(g_root.c_str());
    return 0;
}
