// 100 large photographs (3000 x 2000, 17 MB each as a picture) saved as one uncompressed
// multi-page TIFF through the document's save in another format: the process's working set and
// private bytes at the start, throughout (sampled every 20 ms from another thread, with the file's
// size) and at the end. Flat memory and a file that grows page by page show that each page is
// written as it is made; holding the pages would need 1.7 GB, past what a 32-bit process can have.
#include "fileops/CFileSaveDlg.h"

#include "../BenchArgs.h"
#include "../FolderDocument.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kPictures = 100;
constexpr LONG kWidth = 3000, kHeight = 2000;
constexpr double kPageMb = kWidth * kHeight * 3 / 1048576.0;

std::wstring g_root;

struct Sample
{
    double seconds;
    ProcessMemory memory;
    double fileMb;
};

double FileMegabytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) / 1048576.0;
}

void PrintMemory(const char* when, const ProcessMemory& memory, double fileMb)
{
    std::printf("  %-28s %10.1f %12.1f %10.1f\n", when, memory.workingSetMb, memory.privateMb, fileMb);
}

void MultiPageTiff(benchmark::State& state)
{
    FolderDocument document(g_root + L"\\pictures");
    if (document.doc.GetItemCount() != kPictures) {
        state.SkipWithError("the pictures were not listed");
        return;
    }
    const std::wstring out = g_root + L"\\out", target = out + L"\\p00000.tif";
    CFileSaveDlg options;
    options.m_folder = out.c_str();
    options.Format = CFileSaveDlg::FormatTiff;
    options.TifMultiPage = TRUE;
    options.TifCodec = 1;
    for (auto _ : state) {
        // The folder is there, as the save dialog's choice is: a missing one would be asked about.
        RemoveTree(out);
        CreateDirectoryW(out.c_str(), nullptr);
        const ProcessMemory start = ProcessMemory::Now();
        std::vector<Sample> samples;
        std::atomic<bool> stop{false};
        const double begun = BenchSeconds();
        std::thread sampler([&] {
            while (!stop) {
                samples.push_back(Sample{BenchSeconds() - begun, ProcessMemory::Now(), FileMegabytes(target)});
                Sleep(20);
            }
        });
        document.doc.SaveSelectedPictures(options);
        const double seconds = BenchSeconds() - begun;
        stop = true;
        sampler.join();
        state.SetIterationTime(seconds);
        const ProcessMemory end = ProcessMemory::Now();
        const double fileMb = FileMegabytes(target);
        if (fileMb < kPictures * kPageMb) {
            state.SkipWithError("the file does not hold every page");
            break;
        }
        Sample highest = samples.front();
        for (const Sample& sample : samples)
            if (sample.memory.privateMb > highest.memory.privateMb)
                highest = sample;
        std::printf("\n%d pictures of %ld x %ld (%.1f MB each as a picture) as one multi-page TIFF of %.0f MB, "
                    "in %.1f s (%zu samples)\n",
                    kPictures, kWidth, kHeight, kPageMb, fileMb, seconds, samples.size());
        std::printf("  %-28s %10s %12s %10s\n", "", "working MB", "private MB", "file MB");
        PrintMemory("start", start, 0);
        for (double share : {0.25, 0.5, 0.75}) {
            const Sample& at = samples[std::min(samples.size() - 1, static_cast<size_t>(samples.size() * share))];
            char when[40];
            std::snprintf(when, sizeof(when), "during, %.1f s", at.seconds);
            PrintMemory(when, at.memory, at.fileMb);
        }
        char when[40];
        std::snprintf(when, sizeof(when), "highest private, %.1f s", highest.seconds);
        PrintMemory(when, highest.memory, highest.fileMb);
        PrintMemory("end", end, fileMb);
        std::printf("  peak working set %.1f MB, peak private %.1f MB (the process's own peaks); growth over the "
                    "start: %.1f MB working, %.1f MB private\n",
                    end.peakWorkingSetMb, end.peakPrivateMb, end.peakWorkingSetMb - start.workingSetMb,
                    end.peakPrivateMb - start.privateMb);
        RemoveTree(out);
    }
}

BENCHMARK(MultiPageTiff)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    g_root = StartDocumentProcess(L"tiff_pages");
    MakePictureFolder(g_root + L"\\pictures", kPictures, MakePhotoJpeg(kWidth, kHeight));
    InitializeBenchmarks(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveTree(g_root);
    return 0;
}
