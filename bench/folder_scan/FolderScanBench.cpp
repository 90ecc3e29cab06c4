// The folder scan on the road of every folder opening: folders of 10,000 and 100,000 empty files
// with picture names, scanned into file items with the default tests (folders shown, no filters,
// the abort check on) and taken into a file array as the document does. Reports files per second,
// the memory each item costs (the bytes the process's heaps hand out, walked before and after: the
// system's memory status does not move under Wine) and the time to
// sort the array's view order by name and by date. Wine reads the whole folder for every new name,
// so filling the larger folder takes a quarter of an hour: the folders stay in the temporary
// folder of the Wine prefix and are used again while they hold the right count.
#include "catalogue/CFileList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxFileArray.h"
#include "foundation/VyxFileUtil.h"
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

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
