// An HTML catalog of 1,000 JPEG pictures with JPEG thumbnails (the writer's whole path: items,
// the plug-in host, scaled decodes, sharpened thumbnails, pages) beside two bare paths over the
// same files in the same run, in the thread's processor time and on the clock, each writing into
// an empty folder as the catalog does:
// - libjpeg alone: each file read once into memory, decoded at the largest scale that still
//   covers the box, brought to the box's size by the cheapest resample (bilinear, in this file)
//   and encoded at the same quality into a file (goal: the catalog within 1.1x, on both);
// - the floor the catalog's own thumbnails set: the same decode by the codec, then the program's
//   area-average resample and sharpening, which its thumbnails must have, and the same encode.
// Fails when a picture failed on any side. (A small run: 30 pictures, one round.)
#include "catalogue/VyxFile.h"
#include "catalogue/VyxFileArray.h"
#include "fileops/CHtmlCatalogWriter.h"
#include "image/DibCore.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/SaveDib.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../OwnPlugins.h"
#include "../PhotoJpeg.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kPictures = BenchSize(1000, 30);
constexpr LONG kWidth = 1600;
constexpr LONG kHeight = 1200;
constexpr LONG kBoxWidth = 160;
constexpr LONG kBoxHeight = 120;

std::wstring Folder(const wchar_t* name)
{
    std::wstring folder = BenchTempFile(L"catalog", name);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

const std::wstring& PictureFolder()
{
    static const std::wstring folder = Folder(L"pictures");
    return folder;
}

// Photograph-like pictures, each with a light and grain of its own.
const std::vector<std::wstring>& Pictures()
{
    static std::vector<std::wstring> paths;
    if (!paths.empty())
        return paths;
    HGLOBAL dib = CreateDib(kWidth, kHeight, 24);
    for (int n = 0; n < kPictures; ++n) {
        BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
        BYTE* bits = DibBits(block);
        DWORD row = DibRowSize(block);
        unsigned noise = 12345u + n;
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x)
                PhotoPixel(bits + y * row + x * 3, x, y, kWidth, kHeight, noise, n % 50);
        GlobalUnlock(dib);
        paths.push_back(PictureFolder() + L"\\picture" + std::to_wstring(n) + L".jpg");
        SaveDibAsJpeg(paths.back().c_str(), dib, 90, 0, 0);
    }
    GlobalFree(dib);
    return paths;
}

void RemoveFiles(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        while (FindNextFileW(find, &found));
        FindClose(find);
    }
}

// The calling thread's processor time and the clock, together: a shared machine's other work
// adds to the clock only, but waits (the disk, the system's own threads) only show on the clock.
struct Times
{
    double cpu = 0;
    double clock = 0;
    bool failed() const { return cpu < 0; }
};

struct Stopwatch
{
    double cpu = BenchThreadSeconds();
    double clock = BenchSeconds();
    Times Elapsed() const { return {BenchThreadSeconds() - cpu, BenchSeconds() - clock}; }
};

const Times kFailed = {-1, -1};

// The document's items, all selected, their pictures' kinds known as once their thumbnails are shown.
VyxFileArray& Items()
{
    static VyxFileArray items;
    if (items.GetCount() == 0) {
        LoadOwnPlugins();
        for (const std::wstring& path : Pictures()) {
            VyxFile* item = new VyxFile(path.c_str());
            item->DetectPlugin();
            item->SetFlags(VyxFilexDraw::FlagSelected);
            items.Add(item);
        }
    }
    return items;
}

// The whole catalog, pages and JPEG thumbnails, 20 pictures a page.
Times Catalog(const std::wstring& out, int linkMode = CHtmlCatalogWriter::LinkToJpeg)
{
    RemoveFiles(out);
    const Stopwatch start;
    CHtmlCatalogWriter writer;
    writer.m_pFileArray = &Items();
    writer.m_currentFolder = PictureFolder().c_str();
    writer.m_linkMode = linkMode;
    writer.m_jpegQuality = 85;
    writer.m_picturesPerPage = 20;
    writer.m_boxWidth = kBoxWidth;
    writer.m_boxHeight = kBoxHeight;
    writer.m_pageNameFormat = L"$file_$page#3";
    writer.m_thumbnailNameFormat = L"Ve_$file";
    writer.m_thumbnailFolder = L".";
    for (const wchar_t* line : {L"*One", L"<A HREF=\"$ORGPATHNAME$\"><IMG SRC=\"$THUMBSNAME$\"></A> $NUMBER$"})
        writer.ParseDefinitionLine(line);
    bool written = writer.Generate((out + L"\\catalog.htm").c_str());
    return written ? start.Elapsed() : kFailed;
}

// The reduction the thumbnail loader asks the JPEG decoder for.
int Reduction()
{
    return std::max(kWidth / kBoxWidth, kHeight / kBoxHeight);
}

// The file into a buffer kept from file to file.
bool ReadWhole(const std::wstring& path, std::vector<BYTE>& data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr), read = 0;
    data.resize(size);
    const bool whole = ReadFile(file, data.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    return whole;
}

// libjpeg alone: each file read into a buffer kept from file to file, decoded at the largest
// scale that covers the box (the program's pixel order, rows into one picture), brought to the box
// by bilinear sampling and encoded at the catalog's quality.
Times BareLibraries(const std::wstring& out)
{
    std::vector<BYTE> data, row, decoded, box(static_cast<size_t>(kBoxWidth) * kBoxHeight * 3);
    RemoveFiles(out);
    const Stopwatch start;
    int n = 0;
    for (const std::wstring& path : Pictures()) {
        if (!ReadWhole(path, data))
            return kFailed;
        decoded.clear();
        DecodeScaledBare(data, JpegScaleDenominator(Reduction()), row, [&](const std::vector<BYTE>& line) {
            decoded.insert(decoded.end(), line.begin(), line.end());
        });
        const size_t stride = row.size();
        const LONG width = static_cast<LONG>(stride / 3), height = static_cast<LONG>(decoded.size() / stride);
        // Bilinear in 8-bit fixed point, each box pixel from the four decoded pixels around it.
        for (LONG y = 0; y < kBoxHeight; ++y) {
            const LONG sy = static_cast<LONG>((y * 2 + 1) * height * 128 / kBoxHeight - 128);
            const LONG y0 = std::clamp<LONG>(sy >> 8, 0, height - 1), y1 = std::min(y0 + 1, height - 1);
            const int fy = sy < 0 ? 0 : sy & 255;
            BYTE* target = &box[static_cast<size_t>(y) * kBoxWidth * 3];
            for (LONG x = 0; x < kBoxWidth; ++x) {
                const LONG sx = static_cast<LONG>((x * 2 + 1) * width * 128 / kBoxWidth - 128);
                const LONG x0 = std::clamp<LONG>(sx >> 8, 0, width - 1), x1 = std::min(x0 + 1, width - 1);
                const int fx = sx < 0 ? 0 : sx & 255;
                const BYTE* a = &decoded[stride * y0];
                const BYTE* b = &decoded[stride * y1];
                for (int c = 0; c < 3; ++c) {
                    const int top = a[x0 * 3 + c] * (256 - fx) + a[x1 * 3 + c] * fx;
                    const int bottom = b[x0 * 3 + c] * (256 - fx) + b[x1 * 3 + c] * fx;
                    target[x * 3 + c] = static_cast<BYTE>((top * (256 - fy) + bottom * fy + 32768) >> 16);
                }
            }
        }
        if (!EncodeBareToFile((out + L"\\l" + std::to_wstring(n++) + L".jpg").c_str(), box.data(),
                              static_cast<size_t>(kBoxWidth) * 3, kBoxWidth, kBoxHeight, 85))
            return kFailed;
    }
    return start.Elapsed();
}

// The floor the catalog's thumbnails set: each file read, decoded by the codec at the thumbnail's
// scale, resampled into the box and sharpened as the catalog's thumbnails are (the same resampler
// and sharpening, through the thumbnail maker), and encoded to a file.
Times Floor(const std::wstring& out)
{
    VyxFile maker;
    maker.SetScaleMode(10);
    maker.SetUnsharp(TRUE);
    maker.SetWidth(kWidth);
    maker.SetHeight(kHeight);
    std::vector<BYTE> data;
    RemoveFiles(out);
    const Stopwatch start;
    int n = 0;
    for (const std::wstring& path : Pictures()) {
        if (!ReadWhole(path, data))
            return kFailed;
        JpegFile codec;
        codec.m_data = data.data();
        codec.m_dataSize = static_cast<DWORD>(data.size());
        codec.m_scale = Reduction();
        if (codec.Decode() != 0)
            return kFailed;
        HGLOBAL dib = codec.m_dib;
        HGLOBAL thumb = maker.MakeThumbnailFromPicture(dib, SIZE{kBoxWidth, kBoxHeight});
        SaveDibAsJpeg((out + L"\\t" + std::to_wstring(n++) + L".jpg").c_str(), thumb, 85, 0, 0);
        if (thumb != dib)
            GlobalFree(thumb);
        GlobalFree(dib);
    }
    return start.Elapsed();
}

// The catalog's thumbnails taken apart, as the writer makes them: each item's thumbnail made
// (read, decode, resample, sharpen) and saved; processor seconds of each added up.
void MakingAndSaving(const std::wstring& out, double& making, double& saving)
{
    RemoveFiles(out);
    int n = 0;
    for (int i = 0; i < Items().GetCount(); ++i) {
        VyxFile copy(*Items().GetAt(i));
        copy.SetScaleMode(10);
        copy.SetUnsharp(TRUE);
        copy.SetAutoCache(FALSE);
        copy.SetCacheLookup(FALSE);
        double start = BenchThreadSeconds();
        copy.CreateThumbnail(SIZE{kBoxWidth, kBoxHeight});
        making += BenchThreadSeconds() - start;
        start = BenchThreadSeconds();
        SaveDibAsJpeg((out + L"\\p" + std::to_wstring(n++) + L".jpg").c_str(), copy.GetThumbnail(), 85, 0, 0);
        saving += BenchThreadSeconds() - start;
    }
}

Times g_catalog, g_bare, g_floor, g_pages;
double g_making = 0;
double g_saving = 0;

void KeepBest(double& best, double seconds)
{
    best = best > 0 ? std::min(best, seconds) : seconds;
}

void KeepBest(Times& best, const Times& times)
{
    KeepBest(best.cpu, times.cpu);
    KeepBest(best.clock, times.clock);
}

// The three in turn, round after round (the machine's load changes over minutes): the best round of each counts.
void CatalogAgainstBare(benchmark::State& state)
{
    const std::wstring catalogOut = Folder(L"catalog"), bareOut = Folder(L"bare"), floorOut = Folder(L"floor");
    for (auto _ : state) {
        const Times bare = BareLibraries(bareOut), floorTime = Floor(floorOut), catalog = Catalog(catalogOut);
        if (bare.failed() || floorTime.failed() || catalog.failed()) {
            state.SkipWithError("a picture failed");
            break;
        }
        KeepBest(g_bare, bare);
        KeepBest(g_floor, floorTime);
        KeepBest(g_catalog, catalog);
        double making = 0, saving = 0;
        MakingAndSaving(floorOut, making, saving);
        KeepBest(g_making, making);
        KeepBest(g_saving, saving);
        // The pages alone: linked to the pictures, whose sizes the items know by now.
        KeepBest(g_pages, Catalog(catalogOut, CHtmlCatalogWriter::LinkToPicture));
    }
    state.counters["catalog pictures/s"] = kPictures / g_catalog.clock;
    state.counters["bare pictures/s"] = kPictures / g_bare.clock;
    for (const std::wstring& out : {catalogOut, bareOut, floorOut}) {
        RemoveFiles(out);
        RemoveDirectoryW(out.c_str());
    }
}

BENCHMARK(CatalogAgainstBare)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3));

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    BenchRun();
    if (BenchMeasured(g_catalog.cpu > 0 && g_bare.cpu > 0 && g_floor.cpu > 0, "no catalog or bare side was timed")) {
        std::printf("\n%d pictures of %ldx%ld into %ldx%ld thumbnails, best of the rounds, processor time of the "
                    "thread | clock:\n",
                    kPictures, kWidth, kHeight, kBoxWidth, kBoxHeight);
        const auto line = [](const char* label, const Times& times, const char* tail) {
            std::printf("  %-52s %7.2f s %6.3fx | %7.2f s %6.3fx%s\n", label, times.cpu, times.cpu / g_bare.cpu,
                        times.clock, times.clock / g_bare.clock, tail);
        };
        char bareLabel[64];
        std::snprintf(bareLabel, sizeof(bareLabel), "libjpeg alone (read, 1/%d decode, bilinear, encode)",
                      JpegScaleDenominator(Reduction()));
        line(bareLabel, g_bare, "");
        line("the thumbnails' floor (codec, area average, sharpen)", g_floor, "");
        const bool met = g_catalog.cpu / g_bare.cpu <= 1.1 && g_catalog.clock / g_bare.clock <= 1.1;
        line("catalog", g_catalog,
             met ? "  (goal: within 1.1x on both: met)" : "  (goal: within 1.1x on both: not met)");
        std::printf("  the catalog against the floor: %.3fx | %.3fx\n", g_catalog.cpu / g_floor.cpu,
                    g_catalog.clock / g_floor.clock);
        std::printf("  of which the thumbnails made %.2f s and saved %.2f s; the pages and the rest %.2f s (the pages "
                    "alone, linked to the pictures, %.2f s), processor time\n",
                    g_making, g_saving, g_catalog.cpu - g_making - g_saving, g_pages.cpu);
        BenchGoal(met, "the catalog took %.3fx libjpeg alone's processor time and %.3fx its clock (goal: 1.1x on both)",
                  g_catalog.cpu / g_bare.cpu, g_catalog.clock / g_bare.clock);
    }
    RemoveFiles(PictureFolder());
    RemoveDirectoryW(PictureFolder().c_str());
    return BenchExitCode();
}
