// The folder scan on the road of every folder opening: folders of 10,000 and 100,000 empty files
// with picture names, scanned into file items with the default tests (folders shown, no filters,
// the abort check on) and taken into a file array as the document does. Reports files per second,
// the memory each item costs (the bytes the process's heaps hand out, walked before and after: the
// system's memory status does not move under Wine) and the time to
// sort the array's view order by name and by date. The listing's cost is measured too: the
// document on the folder fills its file list (ten columns, texts and icons asked on demand), against
// the platform's own list control filled with the same number of rows asked on demand (its floor).
// Wine reads the whole folder for every new name,
// so filling the larger folder takes a quarter of an hour: the folders stay in the temporary
// folder of the Wine prefix and are used again while they hold the right count.
#include "browser/CLstView.h"
#include "catalogue/CFileList.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxFileArray.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "image/plugins/Spi.h"

#include "../BenchArgs.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
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
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\IMG_%06d.JPG", (i * 7919) % count);
        HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        FILETIME time;
        ULONGLONG ticks = 130000000000000000ull + static_cast<ULONGLONG>((i * 104729) % count) * 10000000ull;
        time.dwLowDateTime = static_cast<DWORD>(ticks);
        time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
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

BENCHMARK(FolderScan)->Arg(10000)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The platform's list control in report style with the list's ten columns, filled with rows whose
// texts and icons are asked on demand: what any list of that many rows costs.
double BareListBytesPerRow(CWnd& host, int count, double* seconds, double* committedPerRow)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                0, 0, 800, 600, host.GetSafeHwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int column = 0; column < 10; ++column) {
        LVCOLUMNW header = {};
        header.mask = LVCF_TEXT | LVCF_WIDTH;
        header.cx = 80;
        header.pszText = const_cast<LPWSTR>(L"column");
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    }
    const ULONGLONG before = HeapBytesInUse();
    const double committed = CommittedBytes();
    const double start = Seconds();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, count, 0);
    for (int i = 0; i < count; ++i) {
        LVITEMW row = {};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        row.iItem = i;
        row.pszText = LPSTR_TEXTCALLBACKW;
        row.iImage = I_IMAGECALLBACK;
        row.lParam = i;
        row.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    *seconds = Seconds() - start;
    const double bytes = static_cast<double>(HeapBytesInUse()) - static_cast<double>(before);
    *committedPerRow = (CommittedBytes() - committed) / count;
    DestroyWindow(list);
    return bytes / count;
}

// The document's file list filled with the folder's items (the reload's fill, hint 2).
void ListFill(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::wstring folder = MakeFolder(count);
    for (auto _ : state) {
        const double empty = CommittedBytes();
        CKWDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
        const int items = doc.GetItemCount();
        const double scanned = (CommittedBytes() - empty) / items;
        CWnd host;
        host.CreateEx(0, AfxRegisterWndClass(0), L"bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600), nullptr, 0);
        CCreateContext context;
        context.m_pCurrentDoc = &doc;
        auto* view = new CLstView; // deletes itself with its window
        view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &host, AFX_IDW_PANE_FIRST,
                     &context);
        view->SendMessage(WM_INITIALUPDATE);
        const ULONGLONG before = HeapBytesInUse();
        const double committed = CommittedBytes();
        const double start = Seconds();
        doc.UpdateAllViews(nullptr, HintListRebuilt, nullptr);
        const double filled = Seconds() - start;
        const double bytes = (static_cast<double>(HeapBytesInUse()) - static_cast<double>(before)) / items;
        const double listCommitted = (CommittedBytes() - committed) / items;
        state.SetIterationTime(filled);
        double bareSeconds = 0, bareCommitted = 0;
        const double bare = BareListBytesPerRow(host, items, &bareSeconds, &bareCommitted);
        state.counters["scan_committed_per_item"] = scanned;
        state.counters["list_bytes_per_row"] = bytes;
        state.counters["list_committed_per_row"] = listCommitted;
        state.counters["bare_bytes_per_row"] = bare;
        state.counters["bare_committed_per_row"] = bareCommitted;
        std::printf("%d items: the document's listing committed %.0f bytes per item (%.1f MB); the file list "
                    "filled in %.3f s, %.0f heap bytes per row, %.0f bytes committed per row (%.1f MB); the "
                    "platform's list alone %.3f s, %.0f heap bytes and %.0f committed per row: %.2fx of its heap "
                    "bytes (goal: the platform's floor)\n",
                    items, scanned, scanned * items / 1048576.0, filled, bytes, listCommitted,
                    listCommitted * items / 1048576.0, bareSeconds, bare, bareCommitted, bare > 0 ? bytes / bare : 0.0);
        std::fflush(stdout);
        host.DestroyWindow();
        doc.ClearItems(true);
    }
}

BENCHMARK(ListFill)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

CWinApp theBenchApp;

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_HIDE);
    wchar_t settings[MAX_PATH];
    GetTempPathW(MAX_PATH, settings);
    const std::wstring ini = std::wstring(settings) + L"vyx_folder_scan_" + std::to_wstring(GetCurrentProcessId()) + L".ini";
    theAppIni.SetPath(ini.c_str());
    AfxOleInit();
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DeleteFileW(ini.c_str());
    return 0;
}
