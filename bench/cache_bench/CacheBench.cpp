// A folder of 1,000 pictures shown again: the thumbnail cache file read and every cell drawn once
// from it (cache lookup, thumbnail decode, name and frames, the document's default cell settings)
// into a 24-bit surface as the thumbnail view draws, a screen of 5 x 3 cells at a time, each
// screen's images read ahead as the view reads them; with JPEG thumbnails (the default) and with
// DIBs. Prints the time of a whole pass and of its part that only reads the cache, beside the
// platform's floor (the file read in one pass, the same thumbnails decoded by libjpeg into pictures
// that stay held, each cell drawn with the fewest calls) and libjpeg's bare decode alone. The JPEG
// cells and the floor take turns, pass by pass, and the median pass of each side counts: the
// machine's pace drifts by a fifth within a run, and both sides then meet it alike. Goal: a pass of
// JPEG cells within 1.2x of the floor, the two taking turns in one run (no time of its own: here the
// floor's decode alone takes longer than the 0.2 s once asked). Fails when a cell did not come from
// the cache or the floor decoded fewer pictures.
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

// The view draws into a 24-bit surface of its client area and copies that to the screen; it keeps
// as many drawn cells as it shows (with two rows more for scrolling, left out here).
class CellsPass
{
public:
    explicit CellsPass(int cacheImage) : m_folder(TheFolder(cacheImage)), m_keptCells(CellSurfaceHolder::GetLimit())
    {
        m_view.Create24(nullptr, kCellWidth * kColumns, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
        CellSurfaceHolder::SetLimitForCells(kColumns * kRows, SIZE{kCellWidth, kCellHeight});
    }
    ~CellsPass() { CellSurfaceHolder::SetLimit(m_keptCells); }

    // Every cell of the folder from a cache read afresh, drawn or (drawCells false) only read, a
    // screen at a time, the screen's images read ahead before its cells ask for them as the view
    // reads them. The seconds of the pass; 0 when a cell did not come from the cache.
    double Run(bool drawCells)
    {
        theCacheList.RemoveAllFolders();
        for (auto& item : m_folder.items)
            PrepareItem(*item);
        const double start = BenchSeconds();
        int drawn = 0;
        const int screen = kColumns * kRows;
        for (size_t first = 0; first < m_folder.items.size(); first += screen) {
            const size_t last = std::min(m_folder.items.size(), first + screen);
            std::vector<VyxFilexDraw*> shown;
            for (size_t i = first; i < last; ++i)
                shown.push_back(m_folder.items[i].get());
            theCacheList.ReadAhead(shown);
            for (size_t i = first; i < last; ++i) {
                VyxFile& item = *m_folder.items[i];
                if (drawCells)
                    drawn += item.DrawCell(m_view.GetMemDC(), static_cast<int>(i % kColumns) * kCellWidth, 0,
                                           kCellWidth, kCellHeight, 2) == 0 &&
                             item.IsCached();
                else
                    drawn += theCacheList.LoadFromCache(&item) == 0 && item.HasThumbnail();
            }
        }
        const double seconds = BenchSeconds() - start;
        return drawn == kPictures ? seconds : 0;
    }

private:
    Folder& m_folder;
    const size_t m_keptCells;
    CDibSection m_view;
};

// Arguments: the cache image kind; 1 to draw the cells, 0 to read the cache only.
void ShowFolderFromCache(benchmark::State& state)
{
    const int cacheImage = static_cast<int>(state.range(0));
    const bool drawCells = state.range(1) != 0;
    CellsPass pass(cacheImage);
    std::vector<double> seconds;
    for (auto _ : state) {
        seconds.push_back(pass.Run(drawCells));
        state.SetIterationTime(seconds.back());
        if (seconds.back() == 0) {
            state.SkipWithError("not every cell came from the cache");
            return;
        }
    }
    g_seconds[std::to_string(cacheImage) + (drawCells ? "cells" : "read")] = BenchMedian(seconds);
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
class FloorPass
{
public:
    struct Seconds
    {
        double read = 0, decode = 0, draw = 0;
        double Total() const { return read + decode + draw; }
    };

    FloorPass() : m_folder(TheFolder(0))
    {
        m_view.Create24(nullptr, kCellWidth * kColumns, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
        m_cell.Create24(nullptr, kCellWidth, kCellHeight, 0);
        LOGFONTW logFont = {};
        logFont.lfHeight = -12;
        logFont.lfCharSet = SHIFTJIS_CHARSET;
        lstrcpyW(logFont.lfFaceName, L"ＭＳ Ｐゴシック");
        m_font = CreateFontIndirectW(&logFont);
    }
    ~FloorPass() { DeleteObject(m_font); }

    // False when it did not decode every thumbnail.
    bool Run(Seconds& seconds)
    {
        double start = BenchSeconds();
        const std::vector<std::vector<BYTE>> thumbnails = ThumbnailsOfTheFile(m_folder);
        seconds.read = BenchSeconds() - start;
        start = BenchSeconds();
        std::vector<HGLOBAL> held;
        for (const std::vector<BYTE>& thumbnail : thumbnails) {
            HGLOBAL dib = nullptr;
            if (JpegDecodeDib(thumbnail.data(), thumbnail.size(), 1, &dib) == 0 && dib)
                held.push_back(dib);
        }
        seconds.decode = BenchSeconds() - start;
        const bool whole = held.size() == static_cast<size_t>(kPictures);
        start = BenchSeconds();
        CDC* dc = m_cell.GetMemDC();
        HGDIOBJ oldFont = SelectObject(dc->GetSafeHdc(), m_font);
        for (size_t i = 0; whole && i < held.size(); ++i) {
            dc->FillSolidRect(0, 0, kCellWidth, kCellHeight, RGB(0xD0, 0xD0, 0xD0));
            dc->FillSolidRect(4, kCellHeight - 44, kCellWidth - 8, 40, RGB(255, 255, 255));
            dc->TextOutW(6, kCellHeight - 42, m_folder.items[i]->GetFileName());
            DibLock picture(held[i]);
            SetDIBitsToDevice(dc->GetSafeHdc(), 12, 12, DibWidth(picture.get()), DibHeight(picture.get()), 0, 0, 0,
                              DibHeight(picture.get()), DibBits(picture.get()),
                              reinterpret_cast<const BITMAPINFO*>(picture.get()), DIB_RGB_COLORS);
            m_cell.Draw(m_view.GetMemDC(), static_cast<int>(i % kColumns) * kCellWidth, 0, SRCCOPY);
        }
        SelectObject(dc->GetSafeHdc(), oldFont);
        seconds.draw = BenchSeconds() - start;
        for (HGLOBAL dib : held)
            GlobalFree(dib);
        return whole;
    }

private:
    Folder& m_folder;
    CDibSection m_view, m_cell;
    HFONT m_font = nullptr;
};

struct Turn
{
    double cells;
    FloorPass::Seconds floor;
    double load;
};
std::vector<Turn> g_turns;

// The median of one figure of the turns.
double MedianOfTurns(double (*figure)(const Turn&))
{
    std::vector<double> values;
    for (const Turn& turn : g_turns)
        values.push_back(figure(turn));
    return BenchMedian(values);
}

// The JPEG cells and the floor taking turns, each round in the other order than the last (the pass
// after another meets the memory the other just let go).
void JpegCellsBesideTheFloor(benchmark::State& state)
{
    FloorPass floor;
    CellsPass cells(0);
    for (auto _ : state) {
        FloorPass::Seconds floorPass;
        double cellPass = 0;
        bool floorWhole = true;
        if (g_turns.size() % 2) {
            floorWhole = floor.Run(floorPass);
            cellPass = cells.Run(true);
        } else {
            cellPass = cells.Run(true);
            floorWhole = floor.Run(floorPass);
        }
        if (!floorWhole) {
            state.SkipWithError("the floor did not decode every thumbnail of the cache file");
            return;
        }
        if (cellPass == 0) {
            state.SkipWithError("not every cell came from the cache");
            return;
        }
        state.SetIterationTime(cellPass);
        g_turns.push_back({cellPass, floorPass, BenchLoadAverage()});
    }
    g_seconds["0cells"] = MedianOfTurns([](const Turn& turn) { return turn.cells; });
    g_seconds["floor"] = MedianOfTurns([](const Turn& turn) { return turn.floor.Total(); });
    g_seconds["floor read"] = MedianOfTurns([](const Turn& turn) { return turn.floor.read; });
    g_seconds["floor decode"] = MedianOfTurns([](const Turn& turn) { return turn.floor.decode; });
    g_seconds["floor draw"] = MedianOfTurns([](const Turn& turn) { return turn.floor.draw; });
}

BENCHMARK(DecodeThumbnailsBare)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(10));
BENCHMARK(JpegCellsBesideTheFloor)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(BenchIterations(10));

BENCHMARK(ShowFolderFromCache)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(BenchIterations(10))
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0});

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    BenchRun();
    std::printf("\n%d JPEG cells and the floor, taking turns:\n", kPictures);
    for (size_t i = 0; i < g_turns.size(); ++i)
        std::printf("  turn %2zu (load %.2f, %s first): cells %.3f s, floor %.3f s, %.2fx\n", i + 1, g_turns[i].load,
                    i % 2 ? "floor" : "cells", g_turns[i].cells, g_turns[i].floor.Total(),
                    g_turns[i].floor.Total() > 0 ? g_turns[i].cells / g_turns[i].floor.Total() : 0);
    std::printf("\n%d cells drawn from the folder's cache file, the median pass (goal: JPEG cells within 1.2x of the "
                "platform's floor below):\n",
                kPictures);
    const double bare = g_seconds["bare"];
    const double floorPass = g_seconds["floor"];
    for (int kind : {0, 1}) {
        const double cells = g_seconds[std::to_string(kind) + "cells"];
        std::printf("  %s thumbnails: %.3f s, of which reading the cache %.3f s; %.2fx the bare decode, %.2fx the "
                    "floor\n",
                    kind ? "DIB " : "JPEG", cells, g_seconds[std::to_string(kind) + "read"],
                    bare > 0 ? cells / bare : 0, floorPass > 0 ? cells / floorPass : 0);
    }
    std::printf("  the same JPEG thumbnails decoded bare (libjpeg on the cache file's bytes): %.3f s\n", bare);
    std::printf("  the platform's floor: the file read in one pass %.3f s, decoded into pictures that stay held %.3f "
                "s, and the cells drawn with the fewest calls %.3f s; its median pass %.3f s\n",
                g_seconds["floor read"], g_seconds["floor decode"], g_seconds["floor draw"], floorPass);
    const double cells = g_seconds["0cells"];
    if (BenchMeasured(cells > 0 && floorPass > 0 && bare > 0, "a pass, its floor or the bare decode took no time")) {
        BenchGoal(cells / floorPass <= 1.2, "%d JPEG cells took %.2fx the floor's %.3f s (goal: 1.2x)", kPictures,
                  cells / floorPass, floorPass);
    }
    theCacheList.RemoveAllFolders();
    for (auto& folder : Folders()) {
        folder.second.items.clear();
        RemoveTree(folder.second.path);
    }
    return BenchExitCode();
}
