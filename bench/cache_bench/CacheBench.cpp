// A folder of 1,000 pictures shown again: the thumbnail cache file read and every cell drawn once
// from it (cache lookup, thumbnail decode, name and frames, the document's default cell settings)
// into a 24-bit surface as the thumbnail view draws, a screen of 5 x 3 cells at a time, each
// screen's images read ahead as the view reads them; with JPEG thumbnails (the default) and with
// DIBs. Prints the time of a whole pass and of its part that only reads the cache, beside the
// platform's floor measured in the same run (the file read in one pass, the same thumbnails
// decoded by libjpeg into pictures that stay held, each cell drawn with the fewest calls) and
// libjpeg's bare decode alone. Goal: a pass of JPEG cells under 0.2 s and within 1.1x of the floor.
// Fails when a cell did not come from the cache or the floor decoded fewer pictures.
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
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kPictures = BenchSize(1000, 60);
constexpr int kColumns = 5;
constexpr int kRows = 3;
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

// Arguments: the cache image kind; 1 to draw the cells, 0 to read the cache only. A screen's
// images are read ahead before its cells ask for them, as the view reads them.
void ShowFolderFromCache(benchmark::State& state)
{
    const int cacheImage = static_cast<int>(state.range(0));
    const bool drawCells = state.range(1) != 0;
    Folder& folder = TheFolder(cacheImage);
    // The view draws into a 24-bit surface of its client area and copies that to the screen; it
    // keeps as many drawn cells as it shows, with two rows more for scrolling.
    CDibSection view;
    view.Create24(nullptr, kCellWidth * kColumns, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
    const size_t keptCells = CellSurfaceHolder::GetLimit();
    CellSurfaceHolder::SetLimitForCells(kColumns * kRows, SIZE{kCellWidth, kCellHeight});
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        theCacheList.RemoveAllFolders();
        for (auto& item : folder.items)
            PrepareItem(*item);
        LARGE_INTEGER start, end, frequency;
        QueryPerformanceCounter(&start);
        state.ResumeTiming();
        int drawn = 0;
        const int screen = kColumns * kRows;
        for (size_t first = 0; first < folder.items.size(); first += screen) {
            const size_t last = std::min(folder.items.size(), first + screen);
            std::vector<VyxFilexDraw*> shown;
            for (size_t i = first; i < last; ++i)
                shown.push_back(folder.items[i].get());
            theCacheList.ReadAhead(shown);
            for (size_t i = first; i < last; ++i) {
                VyxFile& item = *folder.items[i];
                if (drawCells)
                    drawn += item.DrawCell(view.GetMemDC(), static_cast<int>(i % kColumns) * kCellWidth, 0, kCellWidth,
                                           kCellHeight, 2) == 0 &&
                             item.IsCached();
                else
                    drawn += theCacheList.LoadFromCache(&item) == 0 && item.HasThumbnail();
            }
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

// The JPEG thumbnails of the folder's cache file: the file read whole in one pass and its fields
// walked (each a tag, a length and the value), nothing else.
std::vector<std::vector<BYTE>> ThumbnailsOfTheFile(const Folder& folder)
{
    std::vector<std::vector<BYTE>> thumbnails;
    HANDLE file = CreateFileW((folder.path + L"\\_THUMBS_.KWI").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return thumbnails;
    LARGE_INTEGER size = {};
    std::vector<BYTE> bytes;
    DWORD read = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
            read = 0;
    }
    CloseHandle(file);
    bytes.resize(read);
    for (size_t at = 0; bytes.size() - at >= 8;) {
        DWORD tag, length;
        std::memcpy(&tag, &bytes[at], 4);
        std::memcpy(&length, &bytes[at + 4], 4);
        if (length > bytes.size() - at - 8)
            break;
        if (tag == VyxCacheThumbs::ImageJpeg)
            thumbnails.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        at += 8 + static_cast<size_t>(length);
    }
    return thumbnails;
}

// The same thumbnails decoded from the cache file's bytes straight through libjpeg, nothing else.
void DecodeThumbnailsBare(benchmark::State& state)
{
    Folder& folder = TheFolder(0);
    const std::vector<std::vector<BYTE>> thumbnails = ThumbnailsOfTheFile(folder);
    if (thumbnails.size() != static_cast<size_t>(kPictures)) {
        state.SkipWithError("not every thumbnail is in the cache file");
        return;
    }
    double total = 0;
    size_t decoded = 0;
    std::vector<BYTE> row;
    for (auto _ : state) {
        const double start = BenchSeconds();
        for (const std::vector<BYTE>& thumbnail : thumbnails) {
            row.clear();
            DecodeScaledBare(thumbnail, 1, row);
            decoded += row.size() == 176 * 3;
        }
        total += BenchSeconds() - start;
    }
    if (decoded != thumbnails.size() * static_cast<size_t>(state.iterations()))
        state.SkipWithError("libjpeg did not decode every thumbnail");
    g_seconds["bare"] = state.iterations() ? total / state.iterations() : 0;
}

// The floor under Wine: the cache file read in one pass, the same thumbnails decoded by libjpeg
// into pictures of their own, which stay held as the items hold theirs (every page of new memory
// is faulted in), and each cell drawn with the fewest calls that show it (background, the name's
// box and text, the picture, the copy to the view).
void PlatformFloor(benchmark::State& state)
{
    Folder& folder = TheFolder(0);
    CDibSection view, cell;
    view.Create24(nullptr, kCellWidth * kColumns, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
    cell.Create24(nullptr, kCellWidth, kCellHeight, 0);
    LOGFONTW logFont = {};
    logFont.lfHeight = -12;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyW(logFont.lfFaceName, L"ＭＳ Ｐゴシック");
    HFONT font = CreateFontIndirectW(&logFont);
    double read = 0, decode = 0, draw = 0;
    std::vector<HGLOBAL> held;
    for (auto _ : state) {
        double start = BenchSeconds();
        const std::vector<std::vector<BYTE>> thumbnails = ThumbnailsOfTheFile(folder);
        read += BenchSeconds() - start;
        start = BenchSeconds();
        for (const std::vector<BYTE>& thumbnail : thumbnails) {
            HGLOBAL dib = nullptr;
            if (JpegDecodeDib(thumbnail.data(), thumbnail.size(), 1, &dib) == 0 && dib)
                held.push_back(dib);
        }
        decode += BenchSeconds() - start;
        if (held.size() != static_cast<size_t>(kPictures)) {
            state.SkipWithError("the floor did not decode every thumbnail of the cache file");
            break;
        }
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
            cell.Draw(view.GetMemDC(), static_cast<int>(i % kColumns) * kCellWidth, 0, SRCCOPY);
        }
        SelectObject(dc->GetSafeHdc(), oldFont);
        draw += BenchSeconds() - start;
        for (HGLOBAL dib : held)
            GlobalFree(dib);
        held.clear();
    }
    for (HGLOBAL dib : held)
        GlobalFree(dib);
    DeleteObject(font);
    const double n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    g_seconds["floor read"] = read / n;
    g_seconds["floor decode"] = decode / n;
    g_seconds["floor draw"] = draw / n;
}

BENCHMARK(DecodeThumbnailsBare)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(10));
BENCHMARK(PlatformFloor)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(10));

BENCHMARK(ShowFolderFromCache)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(BenchIterations(10))
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0});

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    BenchRun();
    std::printf("\n%d cells drawn from the folder's cache file, a pass (goal: JPEG cells under 0.2 s, and within "
                "1.1x of the platform's floor below):\n",
                kPictures);
    const double bare = g_seconds["bare"];
    const double floorPass = g_seconds["floor read"] + g_seconds["floor decode"] + g_seconds["floor draw"];
    for (int kind : {0, 1}) {
        const double cells = g_seconds[std::to_string(kind) + "cells"];
        std::printf("  %s thumbnails: %.3f s, of which reading the cache %.3f s; %.2fx the bare decode, %.2fx the "
                    "floor\n",
                    kind ? "DIB " : "JPEG", cells, g_seconds[std::to_string(kind) + "read"],
                    bare > 0 ? cells / bare : 0, floorPass > 0 ? cells / floorPass : 0);
    }
    std::printf("  the same JPEG thumbnails decoded bare (libjpeg on the cache file's bytes): %.3f s\n", bare);
    std::printf("  the platform's floor: the file read in one pass %.3f s, decoded into pictures that stay held %.3f "
                "s, and the cells drawn with the fewest calls %.3f s: %.3f s\n",
                g_seconds["floor read"], g_seconds["floor decode"], g_seconds["floor draw"], floorPass);
    const double cells = g_seconds["0cells"];
    if (BenchMeasured(cells > 0 && floorPass > 0 && bare > 0, "a pass, its floor or the bare decode took no time")) {
        BenchGoal(cells < 0.2, "%d JPEG cells took %.3f s (goal: under 0.2 s)", kPictures, cells);
        BenchGoal(cells / floorPass <= 1.1, "%d JPEG cells took %.2fx the floor's %.3f s (goal: 1.1x)", kPictures,
                  cells / floorPass, floorPass);
    }
    theCacheList.RemoveAllFolders();
    for (auto& folder : Folders()) {
        folder.second.items.clear();
        RemoveTree(folder.second.path);
    }
    return BenchExitCode();
}
