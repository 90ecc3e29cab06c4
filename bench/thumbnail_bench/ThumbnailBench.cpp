// Thumbnails of large JPEG pictures: the program's path (JpegFile's scaled decode into a packed
// DIB, then ResizeDib to 160x120) beside the bare libjpeg scaled decode of the same files, in one process.
// Also a file item's own way to its thumbnail (the JPEG plug-in found and asked through the host,
// the picture decoded for the box, the thumbnail made and sharpened or not), 100 pictures a run.
// Prints pictures per second, the ratio of the two and the process's peak memory.
#include "catalogue/VyxFile.h"
#include "image/DibCore.h"
#include "image/DibResample.h"
#include "image/codecs/JpegFile.h"
#include "image/codecs/JpegMemory.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../OwnPlugins.h"
#include "../PhotoJpeg.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr LONG kThumbWidth = 160;
constexpr LONG kThumbHeight = 120;

struct Picture
{
    LONG width;
    LONG height;
    std::vector<BYTE> jpeg;
};

const Picture& PictureOf(int megapixels)
{
    static std::map<int, Picture> pictures;
    auto found = pictures.find(megapixels);
    if (found != pictures.end())
        return found->second;
    LONG width = megapixels == 24 ? 5664 : megapixels == 12 ? 4000 : 1632;
    LONG height = width * 3 / 4;
    Picture& picture = pictures[megapixels];
    picture.width = width;
    picture.height = height;
    picture.jpeg = MakePhotoJpeg(width, height);
    return picture;
}

// The reduction the thumbnail loader asks for: max(w / dw, h / dh) in integers.
int Reduction(const Picture& picture)
{
    return std::max(picture.width / kThumbWidth, picture.height / kThumbHeight);
}

void FitThumbnail(LONG width, LONG height, LONG* outWidth, LONG* outHeight)
{
    if (width * kThumbHeight >= height * kThumbWidth) {
        *outWidth = kThumbWidth;
        *outHeight = std::max<LONG>(1, height * kThumbWidth / width);
    } else {
        *outHeight = kThumbHeight;
        *outWidth = std::max<LONG>(1, width * kThumbHeight / height);
    }
}

std::map<std::string, double> g_picturesPerSecond;

void Record(benchmark::State& state, const std::string& key, double seconds)
{
    double rate = seconds > 0 ? static_cast<double>(state.iterations()) / seconds : 0;
    g_picturesPerSecond[key] = rate;
    state.counters["pictures/s"] = rate;
}

void ThumbnailPath(benchmark::State& state)
{
    const int megapixels = static_cast<int>(state.range(0));
    const Picture& picture = PictureOf(megapixels);
    const int reduction = Reduction(picture);
    double start = BenchSeconds();
    for (auto _ : state) {
        JpegFile codec;
        codec.m_data = picture.jpeg.data();
        codec.m_dataSize = static_cast<DWORD>(picture.jpeg.size());
        codec.m_scale = reduction;
        if (codec.Decode() != 0) {
            state.SkipWithError("decode failed");
            break;
        }
        HGLOBAL dib = codec.m_dib;
        LONG w, h;
        FitThumbnail(GetDibWidth(dib), GetDibHeight(dib), &w, &h);
        HGLOBAL thumb = ResizeDib(dib, w, h, 0, RGB(255, 255, 255));
        benchmark::DoNotOptimize(thumb);
        if (thumb != dib)
            GlobalFree(thumb);
        GlobalFree(dib);
    }
    Record(state, "path/" + std::to_string(megapixels), BenchSeconds() - start);
}

// libjpeg alone: the same scale and pixel order, scanlines into one reused row.
void BareScaledDecode(benchmark::State& state)
{
    const int megapixels = static_cast<int>(state.range(0));
    const Picture& picture = PictureOf(megapixels);
    const int denominator = JpegScaleDenominator(Reduction(picture));
    std::vector<BYTE> row;
    double start = BenchSeconds();
    for (auto _ : state) {
        DecodeScaledBare(picture.jpeg, denominator, row);
        benchmark::DoNotOptimize(row.data());
    }
    Record(state, "bare/" + std::to_string(megapixels), BenchSeconds() - start);
}

// The picture as a file in the temporary folder, written once.
const std::wstring& PictureFile(int megapixels)
{
    static std::map<int, std::wstring> files;
    std::wstring& path = files[megapixels];
    if (path.empty()) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + L"vyx_thumbnail_bench_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(megapixels) + L".jpg";
        const Picture& picture = PictureOf(megapixels);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, picture.jpeg.data(), static_cast<DWORD>(picture.jpeg.size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

// A new item for every picture, as a folder listing makes them; the automatic scale mode.
void ItemThumbnailPath(benchmark::State& state)
{
    const int megapixels = static_cast<int>(state.range(0));
    const bool sharpen = state.range(1) != 0;
    LoadOwnPlugins();
    const std::wstring& path = PictureFile(megapixels);
    double start = BenchSeconds();
    for (auto _ : state) {
        VyxFile item(path.c_str());
        item.SetCacheLookup(FALSE);
        item.SetScaleMode(10);
        item.SetUnsharp(sharpen);
        item.colBackGround = RGB(255, 255, 255);
        HGLOBAL thumb = item.GetThumbnailFor(0, 0, kThumbWidth, kThumbHeight, true);
        if (!thumb) {
            state.SkipWithError("no thumbnail");
            break;
        }
        benchmark::DoNotOptimize(thumb);
    }
    Record(state, (sharpen ? "itemsharp/" : "item/") + std::to_string(megapixels), BenchSeconds() - start);
}

BENCHMARK(ThumbnailPath)->Arg(24)->Arg(12)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ItemThumbnailPath)->Args({12, 0})->Args({12, 1})->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BareScaledDecode)->Arg(24)->Arg(12)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void PrintSummary()
{
    std::printf("\nThumbnail path against the bare scaled decode (same files, same process):\n");
    std::printf("%8s %12s %14s %12s %10s\n", "picture", "JPEG bytes", "path pics/s", "bare pics/s", "ratio");
    for (int megapixels : {24, 12, 2}) {
        double path = g_picturesPerSecond["path/" + std::to_string(megapixels)];
        double bare = g_picturesPerSecond["bare/" + std::to_string(megapixels)];
        if (path <= 0 || bare <= 0)
            continue;
        std::printf("%6d MP %12u %14.2f %12.2f %9.3fx\n", megapixels,
                    static_cast<unsigned>(PictureOf(megapixels).jpeg.size()), path, bare, bare / path);
    }
    double bare = g_picturesPerSecond["bare/12"];
    for (const char* kind : {"item", "itemsharp"}) {
        double item = g_picturesPerSecond[std::string(kind) + "/12"];
        if (item > 0 && bare > 0)
            std::printf("file item's thumbnail%s, 12 MP: %.2f pictures/s, %.3fx the bare scaled decode (goal: "
                        "within 1.3x)\n",
                        kind == std::string("item") ? "" : " with sharpening", item, bare / item);
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        std::printf("peak working set of the whole run %.1f MB (the three JPEG files held in memory included)\n",
                    counters.PeakWorkingSetSize / 1048576.0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    for (int megapixels : {12})
        DeleteFileW(PictureFile(megapixels).c_str());
    return 0;
}
