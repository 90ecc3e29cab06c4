// Cache maintenance on a cache root whose index holds 10,000 locations (100 folders of 100
// sub-folders, each with its cache file of two records of files that exist): the tree of
// locations built, and "optimise" over every location checked, which must look at every record's
// file. A second optimise pass finds 1% of the locations gone (their caches and index entries
// are removed). Prints the times against the goal (the tree under 0.5 s). Fails when the tree lacks
// locations or nothing was timed. (A small run: 10 folders of 10 sub-folders.)
#include "browser/CMaintCache.h"
#include "catalogue/VyxCacheThumbs.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"

#include "../BenchArgs.h"
#include "../PictureFolder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kFolders = BenchSize(100, 10);
const int kSubFolders = BenchSize(100, 10);

class BenchApp : public CWinApp
{
};
BenchApp theBenchApp;

std::wstring g_base;
std::wstring g_root;
double g_treeSeconds = 0;
double g_optimiseSeconds = 0;
double g_goneSeconds = 0;
double g_diskSeconds = 0;
int g_locations = 0;

std::wstring Location(int folder, int sub)
{
    return g_base + L"\\d" + std::to_wstring(folder) + L"\\s" + std::to_wstring(sub);
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// The folders with their two files, one cache file copied to every location, and the index
// written in one piece (as 10,000 key writes would take minutes).
void MakeCacheRoot()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring top = std::wstring(temp) + L"vyx_maint_bench_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(top.c_str(), nullptr);
    g_base = top + L"\\pictures";
    g_root = top + L"\\cache";
    CreateDirectoryW(g_base.c_str(), nullptr);
    CreateDirectoryW(g_root.c_str(), nullptr);
    theAppIni.SetPath((top + L"\\settings.ini").c_str());

    const std::wstring sample = g_root + L"\\sample.kwt";
    {
        VyxCacheFolder cache;
        for (const wchar_t* name : {L"a.jpg", L"b.jpg"}) {
            auto* record = new VyxCacheThumbs;
            record->m_fileName = name;
            record->m_fileSize = 4;
            cache.AddRecord(record);
        }
        cache.SaveIfModified(sample.c_str());
    }
    const std::string cacheBytes = ReadBytes(sample);
    DeleteFileW(sample.c_str());

    std::wstring index = L"[Thumbsnail]\r\n";
    for (int folder = 0; folder < kFolders; ++folder) {
        CreateDirectoryW((g_base + L"\\d" + std::to_wstring(folder)).c_str(), nullptr);
        for (int sub = 0; sub < kSubFolders; ++sub, ++g_locations) {
            const std::wstring location = Location(folder, sub);
            CreateDirectoryW(location.c_str(), nullptr);
            WriteBytes(location + L"\\a.jpg", "data");
            WriteBytes(location + L"\\b.jpg", "data");
            wchar_t name[16];
            swprintf(name, 16, L"%08d.kwt", g_locations);
            WriteBytes(g_root + L"\\" + name, cacheBytes);
            index +=
                std::wstring(VyxCacheIndex::GetLocationKey(location.c_str(), L"").GetString()) + L"=" + name + L"\r\n";
        }
    }
    index += L"CacheSeqNo=" + std::to_wstring(g_locations) + L"\r\n";
    const int length = WideCharToMultiByte(CP_ACP, 0, index.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length - 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, index.c_str(), -1, &ansi[0], length, nullptr, nullptr);
    WriteBytes(g_root + L"\\_cache_.lst", ansi);
}

double Seconds(LARGE_INTEGER start)
{
    LARGE_INTEGER end, frequency;
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

void CheckAll(CTreeCtrl& tree, HTREEITEM item)
{
    for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child)) {
        tree.SetCheck(child, TRUE);
        CheckAll(tree, child);
    }
}

int CountItems(CTreeCtrl& tree, HTREEITEM item)
{
    int count = 0;
    for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
        count += 1 + CountItems(tree, child);
    return count;
}

void BuildTree(benchmark::State& state)
{
    CMaintCache dialog(g_root.c_str());
    dialog.Create(CMaintCache::IDD);
    for (auto _ : state) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        dialog.BuildTree();
        g_treeSeconds = Seconds(start);
    }
    // Locations, their folders, the drive and the folders above the bench's own.
    if (CountItems(dialog.GetTree(), dialog.GetLocalRoot()) < g_locations + kFolders)
        state.SkipWithError("the tree lacks locations");
    dialog.DestroyWindow();
}

void Optimise(benchmark::State& state)
{
    const bool someGone = state.range(0) != 0;
    CMaintCache dialog(g_root.c_str());
    dialog.Create(CMaintCache::IDD);
    for (auto _ : state) {
        state.PauseTiming();
        if (someGone) {
            for (int folder = 0; folder < kFolders; ++folder) {
                const std::wstring location = Location(folder, 0);
                DeleteFileW((location + L"\\a.jpg").c_str());
                DeleteFileW((location + L"\\b.jpg").c_str());
            }
        }
        dialog.BuildTree();
        CheckAll(dialog.GetTree(), dialog.GetLocalRoot());
        state.ResumeTiming();
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        dialog.Optimise();
        (someGone ? g_goneSeconds : g_optimiseSeconds) = Seconds(start);
    }
    dialog.DestroyWindow();
}

// The disk accesses optimise cannot do without, alone: every cache file read, every record's file
// looked for (as the program looks: a directory search for the name).
void DiskChecksAlone(benchmark::State& state)
{
    for (auto _ : state) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        int found = 0;
        for (int i = 0; i < g_locations; ++i) {
            wchar_t name[16];
            swprintf(name, 16, L"%08d.kwt", i);
            found += !ReadBytes(g_root + L"\\" + name).empty();
            const std::wstring location = Location(i / kSubFolders, i % kSubFolders);
            found += PathExists((location + L"\\a.jpg").c_str(), kFileNotFolder);
            found += PathExists((location + L"\\b.jpg").c_str(), kFileNotFolder);
        }
        g_diskSeconds = Seconds(start);
        benchmark::DoNotOptimize(found);
    }
}

BENCHMARK(DiskChecksAlone)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BuildTree)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3));
BENCHMARK(Optimise)->Unit(benchmark::kMillisecond)->Iterations(1)->Arg(0)->Arg(1);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    InitializeBenchmarks(argc, argv);
    MakeCacheRoot();
    BenchRun();
    std::printf("\nCache maintenance over an index of %d locations:\n", g_locations);
    std::printf("  the tree of locations built: %.3f s (goal: under 0.5 s)\n", g_treeSeconds);
    std::printf("  optimise, every location checked, every file there: %.3f s (%d cache files read, %d files "
                "looked for)\n",
                g_optimiseSeconds, g_locations, 2 * g_locations);
    std::printf("  optimise with 1%% of the locations gone: %.3f s\n", g_goneSeconds);
    std::printf("  the same disk accesses alone (every cache file read, every file looked for): %.3f s\n",
                g_diskSeconds);
    if (BenchMeasured(g_treeSeconds > 0 && g_optimiseSeconds > 0 && g_goneSeconds > 0,
                      "the tree or an optimise took no time"))
        BenchGoal(g_treeSeconds < 0.5, "the tree of %d locations was built in %.3f s (goal: under 0.5 s)", g_locations,
                  g_treeSeconds);
    theAppIni.SetPath(L"");
    RemoveTree(g_base.substr(0, g_base.rfind(L'\\')));
    return BenchExitCode();
}
