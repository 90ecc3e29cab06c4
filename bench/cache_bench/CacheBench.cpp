// A folder of 1,000 pictures shown again: the thumbnail cache file read once and every cell
// drawn once from it (cache lookup, thumbnail decode, name and frames, the document's default
// cell settings) into a 24-bit surface as the thumbnail view draws; with JPEG thumbnails (the
// default) and with DIBs. Prints the time of a whole pass and of its part that only reads the
// cache, beside libjpeg's bare decode of the same JPEG thumbnails in the same run.
#include "catalogue/CellSurfaceHolder.h"
#include "catalogue/VyxCacheFolder.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxCacheThumbs.h"
#include "catalogue/VyxFile.h"
#include "common/ScratchTree.h"
#include "image/DibCore.h"
#include "image/DibSection.h"
#include "image/codecs/JpegMemory.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../OwnPlugins.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPictures = 1000;
constexpr int kCellWidth = 200;
constexpr int kCellHeight = 300;
constexpr long long kTime = 1500000000;

struct Folder
{
    std::wstring path;
    std::vector<std::unique_ptr<VyxFile>> items;
};

HGLOBAL Thumbnail(int seed)
{
    HGLOBAL dib = CreateDib(176, 132, 24);
    BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
    for (int y = 0; y < 132; ++y)
        for (int x = 0; x < 176; ++x) {
            BYTE* p = DibBits(block) + y * DibRowSize(block) + x * 3;
            p[0] = static_cast<BYTE>(x + seed);
            p[1] = static_cast<BYTE>(y * 2 + seed * 3);
            p[2] = static_cast<BYTE>((x ^ y) + seed);
        }
    GlobalUnlock(dib);
    return dib;
}

void SetWriteTime(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ULONGLONG ticks = static_cast<ULONGLONG>(kTime) * 10000000ull + 116444736000000000ull;
    FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

std::map<int, Folder>& Folders()
{
    static std::map<int, Folder> folders;
    return folders;
}

// 1,000 small files, their items and the folder's cache file with a thumbnail of the cache
// image kind (0 JPEG, 1 DIB) for each.
Folder& TheFolder(int cacheImage)
{
    Folder& folder = Folders()[cacheImage];
    if (!folder.items.empty())
        return folder;
    LoadOwnPlugins();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder.path = std::wstring(temp) + L"vyx_cache_bench_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                  std::to_wstring(cacheImage);
    CreateDirectoryW(folder.path.c_str(), nullptr);
    VyxCacheFolder cache(folder.path.c_str(), L"");
    cache.SetCacheImage(cacheImage);
    for (int i = 0; i < kPictures; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"写真%04d.jpg", i);
        std::wstring path = folder.path + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, name, 64, &written, nullptr);
        CloseHandle(file);
        SetWriteTime(path);
        auto item = std::make_unique<VyxFile>(path.c_str());
        item->SetLoaderId(theSPImapIndex.FindPluginByName(L"vyx_jpeg", SPImapIndex::KindImage)->GetId());
        item->SetWidth(4000);
        item->SetHeight(3000);
        item->SetBitCount(24);
        item->SetThumbnail(Thumbnail(i));
        cache.StoreFromItem(*item);
        folder.items.push_back(std::move(item));
    }
    cache.SaveIfModified((folder.path + L"\\_THUMBS_.KWI").c_str());
    return folder;
}

// The document's default cell settings, as a first start draws them.
void PrepareItem(VyxFile& item)
{
    item.DropThumbnail();
    item.SetCacheLookup(TRUE);
    item.SetScaleMode(10);
    item.SetLimitCheck(TRUE);
    item.SetFrame(FALSE);
    item.SetNameFrame(TRUE);
    item.SetNameFrameEdge(2);
    item.SetNameMode(1);
    item.SetName2Per(100);
    item.SetMarginSize(SIZE{2, 2});
    item.SetPaddingSize(SIZE{4, 4});
    item.SetShadow(0);
    item.SetWordBreak(TRUE);
    item.SetNameFormat(L"$(FileName)");
    item.colBackGround = GetSysColor(COLOR_BTNFACE);
    item.colText = 0;
    LOGFONTW font = {};
    font.lfHeight = -12;
    font.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyW(font.lfFaceName, L"ＭＳ Ｐゴシック");
    item.SetFont(font);
}

std::map<std::string, double> g_seconds;

// Arguments: the cache image kind; 1 to draw the cells, 0 to read the cache only.
void ShowFolderFromCache(benchmark::State& state)
{
    const int cacheImage = static_cast<int>(state.range(0));
    const bool drawCells = state.range(1) != 0;
    Folder& folder = TheFolder(cacheImage);
    // The view draws into a 24-bit surface of its client area and copies that to the screen; it
    // keeps as many drawn cells as it shows, with two rows more for scrolling.
    CDibSection view;
    view.Create24(nullptr, kCellWidth * 5, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
    const size_t keptCells = CellSurfaceHolder::GetLimit();
    CellSurfaceHolder::SetLimitForCells(5 * 3, SIZE{kCellWidth, kCellHeight});
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        theCacheList.RemoveAllFolders();
        for (auto& item : folder.items)
            PrepareItem(*item);
        LARGE_INTEGER start, end, frequency;
        QueryPerformanceCounter(&start);
        state.ResumeTiming();
        int drawn = 0, i = 0;
        for (auto& item : folder.items) {
            if (drawCells)
                drawn += item->DrawCell(view.GetMemDC(), (i++ % 5) * kCellWidth, 0, kCellWidth, kCellHeight, 2) == 0 &&
                         item->IsCached();
            else
                drawn += theCacheList.LoadFromCache(item.get()) == 0;
        }
        state.PauseTiming();
        QueryPerformanceCounter(&end);
        QueryPerformanceFrequency(&frequency);
        total += static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (drawn != kPictures) {
            state.SkipWithError("not every cell came from the cache");
            break;
        }
        state.ResumeTiming();
    }
    CellSurfaceHolder::SetLimit(keptCells);
    g_seconds[std::to_string(cacheImage) + (drawCells ? "cells" : "read")] =
        state.iterations() ? total / state.iterations() : 0;
}

// The same thumbnails decoded from the cache file's bytes straight through libjpeg, nothing else.
void DecodeThumbnailsBare(benchmark::State& state)
{
    Folder& folder = TheFolder(0);
    VyxCacheFolder cache(folder.path.c_str(), L"");
    cache.Load((folder.path + L"\\_THUMBS_.KWI").c_str());
    std::vector<std::vector<BYTE>> thumbnails;
    for (INT_PTR i = 0; i < cache.GetCount(); ++i)
        if (const VyxCacheThumbs* record = cache.GetAt(i))
            thumbnails.emplace_back(record->m_image, record->m_image + record->m_imageLength);
    if (thumbnails.size() != kPictures) {
        state.SkipWithError("not every thumbnail is in the cache file");
        return;
    }
    double total = 0;
    std::vector<BYTE> row;
    for (auto _ : state) {
        const double start = BenchSeconds();
        for (const std::vector<BYTE>& thumbnail : thumbnails)
            DecodeScaledBare(thumbnail, 1, row);
        total += BenchSeconds() - start;
    }
    g_seconds["bare"] = state.iterations() ? total / state.iterations() : 0;
}

// The floor under Wine: the same thumbnails decoded by libjpeg into pictures of their own, which
// stay held as the items hold theirs (every page of new memory is faulted in), and each cell drawn
// with the fewest calls that show it (background, the name's box and text, the picture, the copy
// to the view).
void PlatformFloor(benchmark::State& state)
{
    Folder& folder = TheFolder(0);
    VyxCacheFolder cache(folder.path.c_str(), L"");
    cache.Load((folder.path + L"\\_THUMBS_.KWI").c_str());
    CDibSection view, cell;
    view.Create24(nullptr, kCellWidth * 5, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
    cell.Create24(nullptr, kCellWidth, kCellHeight, 0);
    LOGFONTW logFont = {};
    logFont.lfHeight = -12;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyW(logFont.lfFaceName, L"ＭＳ Ｐゴシック");
    HFONT font = CreateFontIndirectW(&logFont);
    double decode = 0, draw = 0;
    std::vector<HGLOBAL> held;
    for (auto _ : state) {
        double start = BenchSeconds();
        for (INT_PTR i = 0; i < cache.GetCount(); ++i) {
            HGLOBAL dib = nullptr;
            if (JpegDecodeDib(cache.GetAt(i)->m_image, cache.GetAt(i)->m_imageLength, 1, &dib) == 0)
                held.push_back(dib);
        }
        decode += BenchSeconds() - start;
        start = BenchSeconds();
        CDC* dc = cell.GetMemDC();
        HGDIOBJ oldFont = SelectObject(dc->GetSafeHdc(), font);
        for (size_t i = 0; i < held.size(); ++i) {
            dc->FillSolidRect(0, 0, kCellWidth, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
            dc->FillSolidRect(4, kCellHeight - 44, kCellWidth - 8, 40, RGB(255, 255, 255));
            dc->TextOutW(6, kCellHeight - 42, folder.items[i]->GetFileName());
            DibLock picture(held[i]);
            SetDIBitsToDevice(dc->GetSafeHdc(), 12, 12, DibWidth(picture.get()), DibHeight(picture.get()), 0, 0, 0,
                              DibHeight(picture.get()), DibBits(picture.get()),
                              reinterpret_cast<const BITMAPINFO*>(picture.get()), DIB_RGB_COLORS);
            cell.Draw(view.GetMemDC(), static_cast<int>(i % 5) * kCellWidth, 0, SRCCOPY);
        }
        SelectObject(dc->GetSafeHdc(), oldFont);
        draw += BenchSeconds() - start;
        for (HGLOBAL dib : held)
            GlobalFree(dib);
        held.clear();
    }
    DeleteObject(font);
    const double n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    g_seconds["floor decode"] = decode / n;
    g_seconds["floor draw"] = draw / n;
}

BENCHMARK(DecodeThumbnailsBare)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PlatformFloor)->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK(ShowFolderFromCache)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0});

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n1,000 cells drawn from the folder's cache file, a pass (goal: under 0.2 s, and within 1.1x of "
                "the platform's floor below):\n");
    const double bare = g_seconds["bare"];
    const double floorPass = g_seconds["floor decode"] + g_seconds["floor draw"];
    for (int kind : {0, 1}) {
        const double cells = g_seconds[std::to_string(kind) + "cells"];
        std::printf("  %s thumbnails: %.3f s (%s), of which reading the cache %.3f s; %.2fx the bare decode, %.2fx the "
                    "floor%s\n",
                    kind ? "DIB " : "JPEG", cells, cells < 0.2 ? "under the goal" : "over the goal",
                    g_seconds[std::to_string(kind) + "read"], bare > 0 ? cells / bare : 0,
                    floorPass > 0 ? cells / floorPass : 0,
                    floorPass > 0 && cells / floorPass <= 1.1 ? "" : " (over 1.1x)");
    }
    std::printf("  the same JPEG thumbnails decoded bare (libjpeg on the cache file's bytes): %.3f s\n", bare);
    std::printf("  the platform's floor: decoded into pictures that stay held %.3f s, and the cells drawn with the "
                "fewest calls %.3f s: %.3f s\n",
                g_seconds["floor decode"], g_seconds["floor draw"],
                g_seconds["floor decode"] + g_seconds["floor draw"]);
    theCacheList.RemoveAllFolders();
    for (auto& folder : Folders()) {
        folder.second.items.clear();
        RemoveTree(folder.second.path);
    }
    return 0;
}
