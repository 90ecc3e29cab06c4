// Sorting the children of a folder item in the folder tree: a folder of 1,000 sub-folders listed
// from the shell into a tree, then its items put in name order and in date order, both ways
// (goal: 0.1 s a sort). The tree lives in a hidden window of a plain application object.
#include "browser/CFolderTreeView.h"
#include "foundation/VyxFileUtil.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kFolders = 1000;

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

    for (auto _ : state) {
        for (int kind : {CFolderTreeView::SortByName, CFolderTreeView::SortByDate})
            for (int direction : {1, 0}) {
                tree->m_nSortKind = kind;
                tree->m_nSortDirection = direction;
                const double start = BenchSeconds();
                tree->SortChildren(item, FALSE);
                const double seconds = BenchSeconds() - start;
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

} // namespace

int wmain(int argc, wchar_t** argv)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_HIDE);
    CoInitialize(nullptr);
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CoUninitialize();
    return 0;
}
