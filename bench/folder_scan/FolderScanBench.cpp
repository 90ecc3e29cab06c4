// The folder scan on the road of every folder opening: folders of 10,000 and 100,000 empty files
// with picture names, scanned into file items with the default tests (folders shown, no filters,
// the abort check on) and taken into a file array as the document does. Reports files per second,
// the memory each item costs (the bytes the process's heaps hand out, walked before and after: the
// system's memory status does not move under Wine) and the time to
// sort the array's view order by name and by date. The listing's cost is measured too: the
// document on the folder fills its file list (ten columns, texts and icons asked on demand), against
// the platform's own list control holding no row of its own, told the number of rows (its floor),
// each in a process of its own, in time (filled and its first rows painted) and in memory per row
// once painted, and the time each takes to go with its window. The list's memory is the larger of
// what the heaps hand out and what is committed: a list that lives in the heap's slack commits
// nothing more. Goals: at 200,000 rows the list takes under 5 MB; filling it and destroying it wait
// no more than 100 ms beyond the floor. The benchmark fails (exit code 1) and
// says which goal it missed, or that it measured nothing.
// The folders are made in seconds (ManyFiles.h), stay in the temporary folder of the Wine prefix
// and are used again while they hold the right count. Fails when a scan or a list measured nothing.
// (A small run: folders of 1,000 and 2,000 files.)
#include "browser/CLstView.h"
#include "browser/ShellImageList.h"
#include "catalogue/CFileList.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxFileArray.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "image/plugins/Spi.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../ManyFiles.h"
#include "common/OwnedProcess.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The bytes the process's heaps hand out at the moment.
ULONGLONG HeapBytesInUse()
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    ULONGLONG bytes = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

// The private memory committed in the process's address space, region by region: the heaps'
// free blocks and what is allocated outside them count too.
double CommittedBytes()
{
    double total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (BYTE* address = nullptr; VirtualQuery(address, &region, sizeof(region)) == sizeof(region);) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += static_cast<double>(region.RegionSize);
        BYTE* next = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

int CountEntries(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\IMG_*.JPG").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

// A folder of count empty files named like a camera's pictures, with spread write times.
std::wstring MakeFolder(int count)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"vyx_folder_scan_" + std::to_wstring(count);
    if (CountEntries(folder) == count)
        return folder;
    DeleteFolderTree(folder.c_str());
    const std::vector<EmptyFile> files = CameraNamedFiles(count);
    const double start = Seconds();
    MakeEmptyFiles(folder, files);
    std::printf("made the folder of %d files in %.1f s\n", CountEntries(folder), Seconds() - start);
    std::fflush(stdout);
    return folder;
}

template <class Less> double SortSeconds(VyxFileArray& array, Less less)
{
    double start = Seconds();
    std::vector<int> order(static_cast<size_t>(array.GetItemCount()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return less(*array.GetItem(a), *array.GetItem(b)); });
    for (size_t i = 0; i < order.size(); ++i)
        array.SetOrderEntry(static_cast<int>(i), order[i]);
    return Seconds() - start;
}

void FolderScan(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::wstring folder = MakeFolder(count);
    for (auto _ : state) {
        const ULONGLONG before = HeapBytesInUse();
        const double start = Seconds();
        VyxFileArray array;
        {
            CFileList scan;
            scan.SetImageHost(&theSPImapIndex);
            scan.SetFolder(folder.c_str());
            scan.SetShowFolders(true);
            scan.SetAbortCheck(true);
            if (scan.Scan() != CFileList::ScanDone) {
                state.SkipWithError("scan aborted");
                BenchNothing("the folder scan was aborted");
                break;
            }
            for (int i = 0; i < scan.GetCount(); ++i)
                array.Add(scan.GetAt(i));
        }
        const double scanned = Seconds() - start;
        const ULONGLONG after = HeapBytesInUse();
        state.SetIterationTime(scanned);

        const double byName = SortSeconds(
            array, [](const VyxFile& a, const VyxFile& b) { return lstrcmpiW(a.GetFileName(), b.GetFileName()) < 0; });
        const double byDate =
            SortSeconds(array, [](const VyxFile& a, const VyxFile& b) { return a.GetFileTime() < b.GetFileTime(); });

        if (array.GetCount() != count) {
            state.SkipWithError("the scan did not list every file");
            break;
        }
        const double items = array.GetCount();
        const double heap = static_cast<double>(after) - static_cast<double>(before);
        state.counters["files_per_s"] = items / scanned;
        state.counters["heap_bytes_per_item"] = heap / items;
        state.counters["sort_name_ms"] = byName * 1000;
        state.counters["sort_date_ms"] = byDate * 1000;
        std::printf("%d files: scanned in %.3f s (%.0f files/s); %.0f heap bytes per item (%.1f MB of heap); "
                    "sorted by name in %.1f ms, by date in %.1f ms\n",
                    count, scanned, items / scanned, heap / items, heap / 1048576.0, byName * 1000, byDate * 1000);
        std::fflush(stdout);
    }
}

BENCHMARK(FolderScan)
    ->Arg(BenchSize(10000, 1000))
    ->Arg(BenchSize(100000, 2000))
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The platform's list control in report style with the list's ten columns, holding no row of its
// own: told the number of rows, it asks for their texts and icons when it draws them. The least a
// list of that many rows can cost.
HWND MakeBareList(CWnd& host)
{
    HWND list =
        CreateWindowExW(0, WC_LISTVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA, 0,
                        0, 800, 600, host.GetSafeHwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int column = 0; column < 10; ++column) {
        LVCOLUMNW header = {};
        header.mask = LVCF_TEXT | LVCF_WIDTH;
        header.cx = 80;
        header.pszText = const_cast<LPWSTR>(L"column");
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    }
    return list;
}

void FillBareRows(HWND list, int count)
{
    SendMessageW(list, LVM_SETITEMCOUNT, count, 0);
}

struct ListSide
{
    double seconds = 0;
    double destroySeconds = 0;
    double heapPerRow = 0;
    double committedPerRow = 0;
    double scanCommittedPerItem = 0;
};

// One side in this process, after the document has listed the folder: the document's file list
// filled as a reload fills it (hint 2), or the platform's list with as many rows.
ListSide FillOneSide(const std::wstring& folder, bool program)
{
    ListSide side;
    const double empty = CommittedBytes();
    CKWDoc doc;
    doc.m_bAutoDelete = FALSE;
    doc.OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
    const int items = doc.GetItemCount();
    if (items == 0)
        return side;
    side.scanCommittedPerItem = (CommittedBytes() - empty) / items;
    CWnd host;
    host.CreateEx(0, AfxRegisterWndClass(0), L"bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600), nullptr, 0);
    // Shown, so that the rows on show are asked for and drawn as a user sees them.
    host.ShowWindow(SW_SHOWNOACTIVATE);
    host.UpdateWindow();
    HWND bare = nullptr;
    if (program) {
        CCreateContext context;
        context.m_pCurrentDoc = &doc;
        auto* view = new CLstView; // deletes itself with its window
        view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &host, AFX_IDW_PANE_FIRST,
                     &context);
        view->SendMessage(WM_INITIALUPDATE);
    } else {
        bare = MakeBareList(host);
    }
    // The shell's icon lists, which the program's views share (the tree and the grid ask for them
    // too), are made first on both sides: what is measured is the list's own.
    GetShellImageList(TRUE);
    GetShellImageList(FALSE);
    const ULONGLONG before = HeapBytesInUse();
    const double committed = CommittedBytes();
    const double start = Seconds();
    if (program)
        doc.UpdateAllViews(nullptr, HintListRebuilt, nullptr);
    else
        FillBareRows(bare, items);
    host.RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    side.seconds = Seconds() - start;
    side.heapPerRow = (static_cast<double>(HeapBytesInUse()) - static_cast<double>(before)) / items;
    side.committedPerRow = (CommittedBytes() - committed) / items;
    const double destroying = Seconds();
    host.DestroyWindow();
    side.destroySeconds = Seconds() - destroying;
    doc.ClearItems(true);
    return side;
}

// The side in a process of its own, as a program starts on the folder: what one list leaves free
// in the heap would serve the other.
bool FillInOwnProcess(int count, bool program, ListSide& side)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"vyx_folder_scan_side_" + std::to_wstring(GetCurrentProcessId());
    DeleteFileW(out.c_str());
    std::wstring command = L"\"" + std::wstring(self) + L"\" --list-side=" + (program ? L"program" : L"bare") + L" " +
                           std::to_wstring(count) + L" \"" + out + L"\"";
    OwnedProcess process;
    if (!process.Start(command))
        return false;
    process.Ended(600000);
    process.End();
    FILE* file = _wfopen(out.c_str(), L"r");
    if (!file)
        return false;
    const bool read = std::fscanf(file, "%lf %lf %lf %lf %lf", &side.seconds, &side.heapPerRow, &side.committedPerRow,
                                  &side.scanCommittedPerItem, &side.destroySeconds) == 5;
    std::fclose(file);
    DeleteFileW(out.c_str());
    return read && side.seconds > 0;
}

// The document's file list filled with the folder's items against the platform's list told as many
// rows, each in a fresh process, three rounds taking turns; the median round of each side counts
// (Wine's heap grows in steps, so a round lands on one step or the next).
void ListFill(benchmark::State& state)
{
    constexpr int kRounds = 3;
    constexpr double kMemoryGoalMb = 5, kWaitGoalMs = 100;
    const int count = static_cast<int>(state.range(0));
    MakeFolder(count);
    for (auto _ : state) {
        std::vector<ListSide> rounds[2];
        for (int round = 1; round <= kRounds; ++round) {
            const double load = BenchLoadAverage();
            ListSide sides[2];
            if (!FillInOwnProcess(count, false, sides[0]) || !FillInOwnProcess(count, true, sides[1])) {
                state.SkipWithError("a list could not be filled");
                BenchNothing("%d rows: a list could not be filled", count);
                return;
            }
            std::printf("%d rows, round %d (load %.2f): the file list filled in %.3f s, %.0f bytes committed per row "
                        "(%.2f MB), %.0f heap bytes, gone in %.3f s; the platform's list %.3f s, %.1f bytes per row "
                        "(%.2f MB), %.0f heap bytes, gone in %.3f s\n",
                        count, round, load, sides[1].seconds, sides[1].committedPerRow,
                        sides[1].committedPerRow * count / 1048576.0, sides[1].heapPerRow, sides[1].destroySeconds,
                        sides[0].seconds, sides[0].committedPerRow, sides[0].committedPerRow * count / 1048576.0,
                        sides[0].heapPerRow, sides[0].destroySeconds);
            std::fflush(stdout);
            rounds[0].push_back(sides[0]);
            rounds[1].push_back(sides[1]);
        }
        const auto median = [](std::vector<ListSide> sides, double ListSide::*field) {
            std::sort(sides.begin(), sides.end(),
                      [field](const ListSide& a, const ListSide& b) { return a.*field < b.*field; });
            return sides[sides.size() / 2].*field;
        };
        double seconds[2], committedMb[2], heapMb[2], memoryMb[2], destroy[2];
        for (int side = 0; side < 2; ++side) {
            seconds[side] = median(rounds[side], &ListSide::seconds);
            committedMb[side] = median(rounds[side], &ListSide::committedPerRow) * count / 1048576.0;
            heapMb[side] = median(rounds[side], &ListSide::heapPerRow) * count / 1048576.0;
            memoryMb[side] = std::max(committedMb[side], heapMb[side]);
            destroy[side] = median(rounds[side], &ListSide::destroySeconds);
        }
        const bool memoryMet = memoryMb[1] < kMemoryGoalMb;
        const bool fillMet = (seconds[1] - seconds[0]) * 1000 <= kWaitGoalMs;
        const bool destroyMet = (destroy[1] - destroy[0]) * 1000 <= kWaitGoalMs;
        state.SetIterationTime(seconds[1]);
        state.counters["list_mb"] = memoryMb[1];
        state.counters["list_committed_mb"] = committedMb[1];
        state.counters["list_heap_mb"] = heapMb[1];
        state.counters["bare_mb"] = memoryMb[0];
        state.counters["fill_ms"] = seconds[1] * 1000;
        state.counters["bare_fill_ms"] = seconds[0] * 1000;
        state.counters["destroy_ms"] = destroy[1] * 1000;
        state.counters["bare_destroy_ms"] = destroy[0] * 1000;
        std::printf("%d rows, median rounds: the document's listing committed %.0f bytes per item beforehand; the "
                    "file list took %.2f MB once painted (%.2f MB committed, %.2f MB of heap; goal: under %.0f MB: %s), "
                    "the platform's list %.2f MB (%.2f MB committed, %.2f MB of heap); filled and painted in "
                    "%.3f s against %.3f s (goal: within %.0f ms of it: %s); gone in %.3f s against %.3f s (goal: "
                    "within %.0f ms of it: %s)\n",
                    count, median(rounds[1], &ListSide::scanCommittedPerItem), memoryMb[1], committedMb[1], heapMb[1],
                    kMemoryGoalMb, memoryMet ? "met" : "not met", memoryMb[0], committedMb[0], heapMb[0], seconds[1],
                    seconds[0], kWaitGoalMs,
                    fillMet ? "met" : "not met", destroy[1], destroy[0], kWaitGoalMs, destroyMet ? "met" : "not met");
        std::fflush(stdout);
        BenchGoal(memoryMet, "%d rows: the list's memory once painted, %.2f MB (goal: under %.0f MB)", count,
                  memoryMb[1], kMemoryGoalMb);
        BenchGoal(fillMet, "%d rows: the list's filling, %.3f s against %.3f s (goal: within %.0f ms)", count,
                  seconds[1], seconds[0], kWaitGoalMs);
        BenchGoal(destroyMet, "%d rows: the list's going, %.3f s against %.3f s (goal: within %.0f ms)", count,
                  destroy[1], destroy[0], kWaitGoalMs);
    }
}

BENCHMARK(ListFill)
    ->Arg(BenchSize(100000, 2000))
    ->Arg(BenchSize(200000, 4000))
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

CWinApp theBenchApp;

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_HIDE);
    wchar_t settings[MAX_PATH];
    GetTempPathW(MAX_PATH, settings);
    const std::wstring ini =
        std::wstring(settings) + L"vyx_folder_scan_" + std::to_wstring(GetCurrentProcessId()) + L".ini";
    theAppIni.SetPath(ini.c_str());
    AfxOleInit();
    // One side of the list fill in this process: "--list-side=bare|program COUNT OUTPUT".
    if (argc == 4 && std::wcsncmp(argv[1], L"--list-side=", 12) == 0) {
        const ListSide side = FillOneSide(MakeFolder(_wtoi(argv[2])), std::wcscmp(argv[1] + 12, L"program") == 0);
        if (FILE* out = _wfopen(argv[3], L"w")) {
            std::fprintf(out, "%f %f %f %f %f\n", side.seconds, side.heapPerRow, side.committedPerRow,
                         side.scanCommittedPerItem, side.destroySeconds);
            std::fclose(out);
        }
        DeleteFileW(ini.c_str());
        return 0;
    }
    InitializeBenchmarks(argc, argv);
    BenchRun();
    DeleteFileW(ini.c_str());
    return BenchExitCode();
}
