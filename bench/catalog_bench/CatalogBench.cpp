// An HTML catalog of 1,000 JPEG pictures with JPEG thumbnails (the writer's whole path: items,
// the plug-in host, scaled decodes, sharpened thumbnails, pages) beside the bare image work on the
// same files in the same run: each file read, decoded at the thumbnail's scale, resampled and
// sharpened into the thumbnail box and encoded to a file. Prints both rates and their ratio in
// processor time (goal: within 1.2x).
#include "catalogue/VyxFile.h"
#include "catalogue/VyxFileArray.h"
#include "fileops/CHtmlCatalogWriter.h"
#include "image/DibCore.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/SaveDib.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
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

// The thread's processor time in seconds: on a machine shared with other work it says more than
// the clock does.
double Now()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
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
double Catalog(const std::wstring& out)
{
    RemoveFiles(out);
    double start = Now();
    CHtmlCatalogWriter writer;
    writer.m_pFileArray = &Items();
    writer.m_currentFolder = PictureFolder().c_str();
    writer.m_linkMode = CHtmlCatalogWriter::LinkToJpeg;
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

// Seconds for the image work alone: each file read, decoded by the codec at the thumbnail's scale,
// resampled into the box and sharpened as the catalog's thumbnails are (the same resampler and
// sharpening, through the thumbnail maker), and encoded to a file; negative on failure.
double Bare(const std::wstring& out)
{
    VyxFile maker;
    maker.SetScaleMode(10);
    maker.SetUnsharp(TRUE);
    maker.SetWidth(kWidth);
    maker.SetHeight(kHeight);
    std::vector<BYTE> data;
    double start = Now();
    int n = 0;
    for (const std::wstring& path : Pictures()) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD size = GetFileSize(file, nullptr), read = 0;
        data.resize(size);
        ReadFile(file, data.data(), size, &read, nullptr);
        CloseHandle(file);
        JpegFile codec;
        codec.m_data = data.data();
        codec.m_dataSize = read;
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

double g_catalog = 0;
double g_bare = 0;

// The two in turn, round after round (the machine's load changes over minutes): the best round of each counts.
void CatalogAgainstBare(benchmark::State& state)
{
    const std::wstring catalogOut = Folder(L"catalog"), bareOut = Folder(L"bare");
    for (auto _ : state) {
        double bare = Bare(bareOut), catalog = Catalog(catalogOut);
        if (bare < 0 || catalog < 0) {
            state.SkipWithError("a picture failed");
            break;
        }
        g_bare = g_bare > 0 ? std::min(g_bare, bare) : bare;
        g_catalog = g_catalog > 0 ? std::min(g_catalog, catalog) : catalog;
    }
    state.counters["catalog pictures/s"] = kPictures / g_catalog;
    state.counters["bare pictures/s"] = kPictures / g_bare;
    for (const std::wstring& out : {catalogOut, bareOut}) {
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
    double catalog = g_catalog, bare = g_bare;
    if (catalog > 0 && bare > 0)
        std::printf("\n%d pictures of %ldx%ld, processor time: catalog %.2f s (%.1f pictures/s), bare decode and "
                    "thumbnail encode %.2f s (%.1f pictures/s): %.3fx (goal: within 1.2x)\n",
                    kPictures, kWidth, kHeight, catalog, kPictures / catalog, bare, kPictures / bare, catalog / bare);
    RemoveFiles(PictureFolder());
    RemoveDirectoryW(PictureFolder().c_str());
    return 0;
}
