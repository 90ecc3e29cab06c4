// Sorting the children of a folder item in the folder tree: a folder of 1,000 sub-folders listed
// from the shell into a tree, then its items put in name order and in date order, both ways
// (goal: 0.1 s a sort). The tree lives in a hidden window of a plain application object.
// Then whether a folder of 100,000 files (the one folder_scan leaves in the temporary folder, made
// here when it is not there) holds sub-folders: the reading itself, which the platform bounds,
// against the time the window's thread spends on the question, asked of the probe thread (goal: no
// wait over 100 ms). Fails when a sort or the question was not timed. (A small run: 100 sub-folders
// and a folder of 2,000 files.)
#include "browser/CFolderTreeView.h"
#include "browser/SubFolderProbe.h"
#include "foundation/VyxFileUtil.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../LargeScanFolder.h"
#include "../ManyFiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

const int kFolders = BenchSize(1000, 100);
const int kLargeFiles = BenchSize(100000, 2000);
double g_slowestSort = 0, g_longestWait = -1;
// The large folder this run made itself, removed at its end.
std::wstring g_madeLarge;

// A folder of kLargeFiles empty files: folder_scan's at full size when it left one.
std::wstring LargeFolder()
{
    if (!BenchSmall() && !LargeScanFolder().empty())
        return LargeScanFolder();
    if (g_madeLarge.empty()) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        g_madeLarge = std::wstring(temp) + L"vyx_folder_tree_bench_large_" + std::to_wstring(GetCurrentProcessId());
        MakeEmptyFiles(g_madeLarge, CameraNamedFilesInOrder(kLargeFiles));
    }
    return g_madeLarge;
}

class BenchApp : public CWinApp
{
};
BenchApp theBenchApp;

// A folder of sub-folders with spread write times, made once per run.
std::wstring MakeFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"vyx_folder_tree_bench_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < kFolders; ++i) {
        CString name;
        name.Format(L"\\フォルダ%04d", (i * 389) % kFolders);
        std::wstring path = folder + name.GetString();
        CreateDirectoryW(path.c_str(), nullptr);
        HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ULONGLONG ticks = 130000000000000000ull + static_cast<ULONGLONG>((i * 7919) % kFolders) * 10000000ull;
        FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        SetFileTime(handle, nullptr, nullptr, &time);
        CloseHandle(handle);
    }
    return folder;
}

void SortSubFolders(benchmark::State& state)
{
    const std::wstring folder = MakeFolder();
    CWnd host;
    host.CreateEx(0, AfxRegisterWndClass(0), L"bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 600), nullptr, 0);
    auto* tree = new CFolderTreeView; // deletes itself with its window
    tree->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 600), &host, 1, nullptr);

    // The folder's item in a listing of the temporary folder, opened: its children are read and
    // sorted as when the user opens it.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    LPSHELLFOLDER desktop = nullptr;
    SHGetDesktopFolder(&desktop);
    LPITEMIDLIST list = nullptr;
    desktop->ParseDisplayName(nullptr, nullptr, temp, nullptr, &list, nullptr);
    LPSHELLFOLDER shellFolder = nullptr;
    desktop->BindToObject(list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&shellFolder));
    tree->FillFromShellFolder(shellFolder, list, TVI_ROOT);
    CTreeCtrl& ctrl = tree->GetTreeCtrl();
    HTREEITEM item = ctrl.GetRootItem();
    while (item && tree->GetItemPath(item).CompareNoCase(folder.c_str()) != 0)
        item = ctrl.GetNextSiblingItem(item);
    if (!item || !tree->PopulateShellItem(item)) {
        state.SkipWithError("the folder's item could not be opened");
        return;
    }
    int items = 0;
    for (HTREEITEM child = ctrl.GetChildItem(item); child; child = ctrl.GetNextSiblingItem(child))
        ++items;
    if (items != kFolders) {
        state.SkipWithError("the tree did not list every sub-folder");
        return;
    }

    for (auto _ : state) {
        for (int kind : {CFolderTreeView::SortByName, CFolderTreeView::SortByDate})
            for (int direction : {1, 0}) {
                tree->m_nSortKind = kind;
                tree->m_nSortDirection = direction;
                const double start = BenchSeconds();
                tree->SortChildren(item, FALSE);
                const double seconds = BenchSeconds() - start;
                g_slowestSort = std::max(g_slowestSort, seconds);
                const char* label = kind == CFolderTreeView::SortByName ? "name" : "date";
                state.counters[std::string(label) + (direction ? "_desc_ms" : "_asc_ms")] = seconds * 1000;
                std::printf("%d sub-folders sorted by %s, %s: %.1f ms\n", items, label,
                            direction ? "descending" : "ascending", seconds * 1000);
                std::fflush(stdout);
            }
    }
    host.DestroyWindow();
    shellFolder->Release();
    CoTaskMemFree(list);
    desktop->Release();
    DeleteFolderTree(folder.c_str());
}

BENCHMARK(SortSubFolders)->Iterations(1)->Unit(benchmark::kMillisecond);

void SubFoldersOfALargeFolder(benchmark::State& state)
{
    const std::wstring large = LargeFolder();
    const wchar_t specs[] = L"*.zip\0*.lzh\0";
    for (auto _ : state) {
        double start = BenchSeconds();
        const int answer = SubFolderProbe::Answer(large.c_str(), false, specs);
        const double reading = BenchSeconds() - start;
        SubFolderProbe probe;
        double onThread = 0, longest = 0;
        start = BenchSeconds();
        probe.Ask(1, large.c_str(), false, L"*.zip;*.lzh");
        onThread = longest = BenchSeconds() - start;
        UINT_PTR key = 0;
        int answered = -1;
        while (!probe.Take(key, answered)) {
            const double step = BenchSeconds();
            probe.Wait();
            const double waited = BenchSeconds() - step;
            onThread += waited;
            longest = std::max(longest, waited);
        }
        state.SetIterationTime(reading);
        state.counters["reading_ms"] = reading * 1000;
        state.counters["longest_wait_ms"] = longest * 1000;
        g_longestWait = std::max(g_longestWait, longest);
        std::printf("a folder of %d files read for sub-folders in %.0f ms (answer %d, the probe's %d); the "
                    "window's longest wait for it %.1f ms, %.2fx of the reading (goal: under 100 ms)\n",
                    kLargeFiles, reading * 1000, answer, answered, longest * 1000,
                    reading > 0 ? longest / reading : 0.0);
        std::fflush(stdout);
        if (answered != answer)
            state.SkipWithError("the probe's answer is not the reading's");
    }
}

BENCHMARK(SubFoldersOfALargeFolder)->Iterations(BenchIterations(2))->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_HIDE);
    CoInitialize(nullptr);
    InitializeBenchmarks(argc, argv);
    BenchRun();
    CoUninitialize();
    if (BenchMeasured(g_slowestSort > 0, "no sort was timed"))
        BenchGoal(g_slowestSort <= 0.1, "the slowest sort of %d sub-folders took %.0f ms (goal: 100 ms)", kFolders,
                  g_slowestSort * 1000);
    if (BenchMeasured(g_longestWait >= 0, "the question of sub-folders was not timed"))
        BenchGoal(g_longestWait <= 0.1, "the window waited %.0f ms for the probe (goal: under 100 ms)",
                  g_longestWait * 1000);
    if (!g_madeLarge.empty())
        DeleteFolderTree(g_madeLarge.c_str());
    return BenchExitCode();
}
