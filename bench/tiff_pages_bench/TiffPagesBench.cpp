// 100 large photographs (3000 x 2000, 17 MB each as a picture) saved as one uncompressed
// multi-page TIFF through the document's save in another format: the process's working set and
// private bytes at the start, throughout (sampled every 20 ms from another thread, with the file's
// size) and at the end. Flat memory and a file that grows page by page show that each page is
// written as it is made; holding the pages would need 1.7 GB, past what a 32-bit process can have.
// And a TIFF of 400 pages of 1200 x 900 (3.1 MB each as a picture) paged through by the picture
// display engine as the picture window pages it, to the end, round to the first page and back:
// the pages reached, the bytes its pages hold and the process's private bytes at most, and the
// time a page takes, beside what holding every page would take (goal: every page reached, the
// pages within their budget of 128 MB). Fails when the multi-page file lacks a page. (A small run:
// 5 pictures of 600 x 400, a TIFF of 40 pages.)
#include "browser/CKWDocPictureOutput.h"
#include "catalogue/COnePicture.h"
#include "fileops/CFileSaveDlg.h"
#include "foundation/VyxIni.h"

#include "../BenchArgs.h"
#include "../FolderDocument.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"

#include <benchmark/benchmark.h>

#include <tiffio.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kPictures = BenchSize(100, 5);
const LONG kWidth = BenchSize(3000L, 600L), kHeight = BenchSize(2000L, 400L);
const double kPageMb = kWidth * kHeight * 3 / 1048576.0;
bool g_savedWhole = false;
int g_pagesReached = -1, g_pagesAgain = -1;
ULONGLONG g_heldMost = 0;

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
        CKWDocPictureOutput(document.doc).SaveSelectedPictures(options);
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
        g_savedWhole = true;
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

// The memory committed in the process (its address space walked).
double CommittedMb()
{
    double committed = 0;
    MEMORY_BASIC_INFORMATION info;
    for (BYTE* at = nullptr; VirtualQuery(at, &info, sizeof(info)) == sizeof(info);) {
        if (info.State == MEM_COMMIT)
            committed += info.RegionSize / 1048576.0;
        BYTE* next = static_cast<BYTE*>(info.BaseAddress) + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return committed;
}

const int kLongPages = BenchSize(400, 40);
constexpr uint32_t kLongWidth = 1200, kLongHeight = 900;

// Pages of bands of colour, a page's own (so the file stays small while each page is a whole
// picture when read).
bool WriteLongTiff(const std::wstring& path)
{
    TIFF* tif = TIFFOpenW(path.c_str(), "w");
    if (!tif)
        return false;
    std::vector<BYTE> row(kLongWidth * 3);
    bool ok = true;
    for (int page = 0; page < kLongPages && ok; ++page) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kLongWidth);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kLongHeight);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16);
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, page, kLongPages);
        for (uint32_t y = 0; y < kLongHeight && ok; ++y) {
            const BYTE band = static_cast<BYTE>(y / 30 * 8 + page);
            for (uint32_t x = 0; x < kLongWidth; ++x) {
                row[x * 3] = band;
                row[x * 3 + 1] = static_cast<BYTE>(page * 3);
                row[x * 3 + 2] = static_cast<BYTE>(x < kLongWidth / 2 ? 40 : 200);
            }
            ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
        }
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

void PageThroughALongTiff(benchmark::State& state)
{
    const std::wstring path = g_root + L"\\long.tif";
    if (!WriteLongTiff(path)) {
        state.SkipWithError("the TIFF could not be written");
        return;
    }
    // The page capacity a user sets for long files (the default reads 128 pages).
    WriteAppIniInt(L"COneView", L"MaxDibPageCount", 512);
    VyxFile item(path.c_str());
    item.DetectPlugin();
    for (auto _ : state) {
        COnePicture engine;
        engine.Init();
        engine.SetDisplayRect(CRect(0, 0, 1024, 768));
        const ProcessMemory start = ProcessMemory::Now();
        ULONGLONG heldMost = 0;
        double privateMost = 0;
        double committedMost = 0;
        auto note = [&] {
            heldMost = std::max(heldMost, engine.GetHeldBytes());
            privateMost = std::max(privateMost, ProcessMemory::Now().privateMb);
            committedMost = std::max(committedMost, CommittedMb());
        };
        const double begun = BenchSeconds();
        engine.Show(nullptr, &item, TRUE);
        note();
        int reached = 1;
        // As the picture window pages: one more page read, the next one shown.
        for (int i = 1; i < kLongPages; ++i) {
            engine.StepPage();
            engine.NextPage();
            engine.Show(nullptr, nullptr, FALSE);
            note();
            if (engine.GetCurrentPage() == i && engine.GetDisplayPage())
                ++reached;
        }
        const double forward = BenchSeconds() - begun;
        // Round to the first page and back over the last 50, each read again.
        const double back = BenchSeconds();
        engine.StepPage();
        engine.NextPage();
        engine.Show(nullptr, nullptr, FALSE);
        int again = engine.GetCurrentPage() == 0 && engine.GetDisplayPage() ? 1 : 0;
        for (int i = 0; i < 50; ++i) {
            engine.PrevPage();
            engine.Show(nullptr, nullptr, FALSE);
            note();
            again += engine.GetDisplayPage() ? 1 : 0;
        }
        const double backSeconds = BenchSeconds() - back;
        state.SetIterationTime(forward + backSeconds);
        const double pageMb = COnePicture::Dib24Bytes(kLongWidth, kLongHeight) / 1048576.0;
        const double displayMb = COnePicture::Dib24Bytes(1024, 768) / 1048576.0;
        std::printf("\n%d pages of %u x %u (%.1f MB each as a picture, %.1f MB with its display copy; the file "
                    "%.0f MB) paged through: %d of %d reached in %.1f s (%.0f ms a page); round to the first and "
                    "back over 50, each read again: %d of 51 shown, %.0f ms a page\n",
                    kLongPages, kLongWidth, kLongHeight, pageMb, pageMb + displayMb, FileMegabytes(path), reached,
                    kLongPages, forward, forward * 1000 / kLongPages, again, backSeconds * 1000 / 51);
        std::printf("  the pages held at most %.1f MB (budget %.0f MB; holding every page would take %.0f MB, "
                    "%.1fx the budget); the process's private bytes %.1f MB at the start, %.1f MB at most; its "
                    "committed memory %.1f MB at most\n",
                    heldMost / 1048576.0, COnePicture::ReadAgainBudget / 1048576.0, kLongPages * (pageMb + displayMb),
                    kLongPages * (pageMb + displayMb) * 1048576.0 / COnePicture::ReadAgainBudget, start.privateMb,
                    privateMost, committedMost);
        g_pagesReached = reached;
        g_pagesAgain = again;
        g_heldMost = heldMost;
        state.counters["pages_reached"] = reached;
        state.counters["held_mb"] = heldMost / 1048576.0;
        state.counters["private_mb"] = privateMost;
        engine.Free();
    }
    DeleteFileW(path.c_str());
}

BENCHMARK(PageThroughALongTiff)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    g_root = StartDocumentProcess(L"tiff_pages");
    MakePictureFolder(g_root + L"\\pictures", kPictures, MakePhotoJpeg(kWidth, kHeight));
    InitializeBenchmarks(argc, argv);
    BenchRun();
    BenchMeasured(g_savedWhole, "no multi-page TIFF was saved whole");
    if (BenchMeasured(g_pagesReached >= 0, "the long TIFF was not paged through")) {
        BenchGoal(g_pagesReached == kLongPages && g_pagesAgain == 51,
                  "%d of %d pages reached, %d of 51 shown again (goal: every one)", g_pagesReached, kLongPages,
                  g_pagesAgain);
        BenchGoal(g_heldMost <= COnePicture::ReadAgainBudget, "the pages held %.1f MB at most (goal: within %.0f MB)",
                  g_heldMost / 1048576.0, COnePicture::ReadAgainBudget / 1048576.0);
    }
    RemoveTree(g_root);
    return BenchExitCode();
}
