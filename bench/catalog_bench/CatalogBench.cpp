// An HTML catalog of 1,000 JPEG pictures with JPEG thumbnails (the writer's whole path: items,
// the plug-in host, scaled decodes, sharpened thumbnails, pages) beside two bare paths over the
// same files in the same run, in processor time, each writing into an empty folder as the catalog
// does:
// - libjpeg alone: each file read once into memory, decoded at the largest scale that still
//   covers the box, brought to the box's size by the cheapest resample (bilinear, in this file)
//   and encoded at the same quality into a file (goal: the catalog within 1.1x);
// - the floor the catalog's own thumbnails set: the same decode by the codec, then the program's
//   area-average resample and sharpening, which its thumbnails must have, and the same encode.
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

constexpr int kPictures = 1000;
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

double Now()
{
    return BenchThreadSeconds();
}

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

// Seconds for the whole catalog, pages and JPEG thumbnails, 20 pictures a page; negative on failure.
double Catalog(const std::wstring& out, int linkMode = CHtmlCatalogWriter::LinkToJpeg)
{
    RemoveFiles(out);
    double start = Now();
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
    return written ? Now() - start : -1;
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

// Seconds for libjpeg alone: each file read into a buffer kept from file to file, decoded at the
// largest scale that covers the box (the program's pixel order, rows into one picture), brought to
// the box by bilinear sampling and encoded at the catalog's quality; negative on failure.
double BareLibraries(const std::wstring& out)
{
    std::vector<BYTE> data, row, decoded, box(static_cast<size_t>(kBoxWidth) * kBoxHeight * 3);
    RemoveFiles(out);
    double start = Now();
    int n = 0;
    for (const std::wstring& path : Pictures()) {
        if (!ReadWhole(path, data))
            return -1;
        decoded.clear();
        DecodeScaledBare(data, JpegScaleDenominator(Reduction()), row,
                         [&](const std::vector<BYTE>& line) { decoded.insert(decoded.end(), line.begin(), line.end()); });
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
            return -1;
    }
    return Now() - start;
}

// Seconds for the floor the catalog's thumbnails set: each file read, decoded by the codec at the
// thumbnail's scale, resampled into the box and sharpened as the catalog's thumbnails are (the
// same resampler and sharpening, through the thumbnail maker), and encoded to a file; negative on
// failure.
double Floor(const std::wstring& out)
{
    VyxFile maker;
    maker.SetScaleMode(10);
    maker.SetUnsharp(TRUE);
    maker.SetWidth(kWidth);
    maker.SetHeight(kHeight);
    std::vector<BYTE> data;
    RemoveFiles(out);
    double start = Now();
    int n = 0;
    for (const std::wstring& path : Pictures()) {
        if (!ReadWhole(path, data))
            return -1;
        JpegFile codec;
        codec.m_data = data.data();
        codec.m_dataSize = static_cast<DWORD>(data.size());
        codec.m_scale = Reduction();
        if (codec.Decode() != 0)
            return -1;
        HGLOBAL dib = codec.m_dib;
        HGLOBAL thumb = maker.MakeThumbnailFromPicture(dib, SIZE{kBoxWidth, kBoxHeight});
        SaveDibAsJpeg((out + L"\\t" + std::to_wstring(n++) + L".jpg").c_str(), thumb, 85, 0, 0);
        if (thumb != dib)
            GlobalFree(thumb);
        GlobalFree(dib);
    }
    return Now() - start;
}

// The catalog's thumbnails taken apart, as the writer makes them: each item's thumbnail made
// (read, decode, resample, sharpen) and saved; seconds of each added up.
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
        double start = Now();
        copy.CreateThumbnail(SIZE{kBoxWidth, kBoxHeight});
        making += Now() - start;
        start = Now();
        SaveDibAsJpeg((out + L"\\p" + std::to_wstring(n++) + L".jpg").c_str(), copy.GetThumbnail(), 85, 0, 0);
        saving += Now() - start;
    }
}

double g_catalog = 0;
double g_bare = 0;
double g_floor = 0;
double g_making = 0;
double g_saving = 0;
double g_pages = 0;

void KeepBest(double& best, double seconds)
{
    best = best > 0 ? std::min(best, seconds) : seconds;
}

// The three in turn, round after round (the machine's load changes over minutes): the best round of each counts.
void CatalogAgainstBare(benchmark::State& state)
{
    const std::wstring catalogOut = Folder(L"catalog"), bareOut = Folder(L"bare"), floorOut = Folder(L"floor");
    for (auto _ : state) {
        double bare = BareLibraries(bareOut), floorTime = Floor(floorOut), catalog = Catalog(catalogOut);
        if (bare < 0 || floorTime < 0 || catalog < 0) {
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
    state.counters["catalog pictures/s"] = kPictures / g_catalog;
    state.counters["bare pictures/s"] = kPictures / g_bare;
    for (const std::wstring& out : {catalogOut, bareOut, floorOut}) {
        RemoveFiles(out);
        RemoveDirectoryW(out.c_str());
    }
}

BENCHMARK(CatalogAgainstBare)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double catalog = g_catalog, bare = g_bare, floorTime = g_floor;
    if (catalog > 0 && bare > 0 && floorTime > 0) {
        std::printf("\n%d pictures of %ldx%ld into %ldx%ld thumbnails, processor time, best of the rounds:\n", kPictures,
                    kWidth, kHeight, kBoxWidth, kBoxHeight);
        std::printf("  libjpeg alone (read, 1/%d decode, bilinear, encode) %7.2f s %7.1f pictures/s\n",
                    JpegScaleDenominator(Reduction()), bare, kPictures / bare);
        std::printf("  the thumbnails' floor (codec, area average, sharpen) %7.2f s %7.1f pictures/s  %.3fx of libjpeg\n",
                    floorTime, kPictures / floorTime, floorTime / bare);
        std::printf("  catalog                                               %7.2f s %7.1f pictures/s  %.3fx of libjpeg "
                    "(goal: within 1.1x), %.3fx of the floor\n",
                    catalog, kPictures / catalog, catalog / bare, catalog / floorTime);
        std::printf("  of which the thumbnails made %.2f s and saved %.2f s; the pages and the rest %.2f s (the pages "
                    "alone, linked to the pictures, %.2f s)\n",
                    g_making, g_saving, catalog - g_making - g_saving, g_pages);
    }
    RemoveFiles(PictureFolder());
    RemoveDirectoryW(PictureFolder().c_str());
    return 0;
}
