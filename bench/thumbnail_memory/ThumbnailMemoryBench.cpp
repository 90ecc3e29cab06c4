// What drawn thumbnails cost the 32-bit process: a folder of 50,000 small JPEG pictures (made by
// the benchmark) listed by the document, every cell drawn screen by screen through the cell
// renderer from the top to the bottom, making the thumbnails, and then back to the top; once with
// the thumbnail cache off and once with it on, each in a process of its own (the benchmark runs
// itself). Prints the peak of each process's private committed memory (goals: under 400 MB, and
// with the cache on within 1.2x of it off) and the time of a screen drawn going back, its
// thumbnails fetched again (goal: within the first-screen goal of the thumbnail view, 0.3 s).
// Fails when a drawing process did not end normally or made no thumbnail. (A small run: 300
// pictures.)
#include "catalogue/CKWDoc.h"
#include "catalogue/HeldPictureBudget.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxIni.h"
#include "image/DibSection.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../OwnPlugins.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"
#include "common/OwnedProcess.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int kPictures = BenchSize(50000, 300);
constexpr int kColumns = 5;
constexpr int kRows = 3;
constexpr int kCellWidth = 200;
constexpr int kCellHeight = 300;

// The private memory committed in the process's address space, region by region.
size_t CommittedBytes()
{
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (BYTE* address = nullptr; VirtualQuery(address, &region, sizeof(region)) == sizeof(region);) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        BYTE* next = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

// What a drawing process found: its peak, the slowest screen going back, the thumbnails it made.
struct Drawing
{
    double peakMb = -1, slowestBackMs = -1;
    int made = 0;
};

std::wstring ResultFile(const std::wstring& root, bool cacheOn)
{
    return root + (cacheOn ? L"\\result_on.txt" : L"\\result_off.txt");
}

// Runs this program on the folder with the cache on or off; what it found (a peak of -1 when it
// did not end normally).
Drawing RunDrawing(const std::wstring& root, bool cacheOn)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring line = L"\"" + std::wstring(self) + L"\" --draw \"" + root + L"\" " + (cacheOn ? L"on" : L"off");
    OwnedProcess process;
    if (!process.Start(line))
        return Drawing();
    const DWORD code = process.Ended(INFINITE) ? process.ExitCode() : 1;
    Drawing drawing;
    std::ifstream result(ResultFile(root, cacheOn).c_str());
    if (code == 0 && result >> drawing.peakMb >> drawing.slowestBackMs >> drawing.made)
        return drawing;
    return Drawing();
}

// The drawing itself, in the process the benchmark started: its figures go to the result file.
int Draw(const std::wstring& root, bool cacheOn)
{
    int made = 0;
    const std::wstring folder = root + L"\\pictures", cache = root + L"\\cache";
    theAppIni.SetPath((root + L"\\settings.ini").c_str());
    LoadOwnPlugins();

    size_t peak = 0;
    double slowestBack = 0, totalBack = 0;
    int screensBack = 0;
    {
        CKWDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.CacheFolder = cacheOn;
        doc.AutoCacheFolder = cacheOn;
        doc.CacheDataFolder = cache.c_str();
        doc.OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
        const int count = doc.GetItemCount();
        CDibSection screen;
        screen.Create24(nullptr, kColumns * kCellWidth, kRows * kCellHeight, RGB(0xD0, 0xD0, 0xD0));
        const int perScreen = kColumns * kRows;
        const int screens = (count + perScreen - 1) / perScreen;
        auto drawScreen = [&](int s) {
            for (int i = s * perScreen; i < std::min(count, (s + 1) * perScreen); ++i) {
                const int cell = i - s * perScreen;
                const int x = cell % kColumns * kCellWidth, y = cell / kColumns * kCellHeight;
                VyxFile* item = doc.GetItem(i);
                item->SetPosition(POINT{x, y + i / kColumns * kCellHeight});
                item->DrawCell(screen.GetMemDC(), x, y, kCellWidth, kCellHeight, VyxFilexDraw::PictureMade);
            }
        };
        const double down = BenchSeconds();
        for (int s = 0; s < screens; ++s) {
            drawScreen(s);
            for (int i = s * perScreen; i < std::min(count, (s + 1) * perScreen); ++i)
                made += doc.GetItem(i)->HasThumbnail() ? 1 : 0;
            if (s % 10 == 0)
                peak = std::max(peak, CommittedBytes());
        }
        std::printf("%d pictures drawn from the top in %.1f s, %d screens of %d cells\n", count, BenchSeconds() - down,
                    screens, perScreen);
        for (int s = screens - 1; s >= 0; --s) {
            const double start = BenchSeconds();
            drawScreen(s);
            const double seconds = BenchSeconds() - start;
            slowestBack = std::max(slowestBack, seconds);
            totalBack += seconds;
            ++screensBack;
            if (s % 10 == 0)
                peak = std::max(peak, CommittedBytes());
        }
        std::printf("held by the items at the end: %.1f MB (bound %.0f MB)\n",
                    HeldPictureBudget::GetHeldBytes() / 1048576.0, HeldPictureBudget::GetLimit() / 1048576.0);
        doc.AutoCacheFolder = false;
        doc.ClearItems(true);
    }
    std::printf("cache %s: peak private committed memory %.1f MB (goal: under 400 MB)\n", cacheOn ? "on" : "off",
                peak / 1048576.0);
    std::printf("cache %s: a screen going back: %.1f ms on average, %.1f ms at the slowest (goal: under 300 ms)\n",
                cacheOn ? "on" : "off", screensBack ? totalBack / screensBack * 1000 : 0.0, slowestBack * 1000);
    std::fflush(stdout);
    std::ofstream result(ResultFile(root, cacheOn).c_str());
    result << peak / 1048576.0 << ' ' << slowestBack * 1000 << ' ' << made << '\n';
    return result ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wstring(argv[1]) == L"--draw")
        return Draw(argv[2], std::wstring(argv[3]) == L"on");
    const std::wstring root = BenchTempFile(L"thumbnail_memory", L"files");
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\cache").c_str(), nullptr);
    MakePictureFolder(root + L"\\pictures", kPictures, MakePhotoJpeg(160, 120));
    const Drawing off = RunDrawing(root, false);
    const Drawing on = RunDrawing(root, true);
    std::printf("%d pictures: peak %.0f MB with the cache off, %.0f MB with it on: %.2fx (goal: within 1.2x)\n",
                kPictures, off.peakMb, on.peakMb, off.peakMb > 0 ? on.peakMb / off.peakMb : 0.0);
    for (const Drawing* drawing : {&off, &on}) {
        const char* cache = drawing == &on ? "on" : "off";
        if (!BenchMeasured(drawing->peakMb > 0 && drawing->made > 0,
                           "the drawing with the cache %s did not end normally or made no thumbnail", cache))
            continue;
        BenchGoal(drawing->peakMb < 400, "with the cache %s the peak was %.0f MB (goal: under 400 MB)", cache,
                  drawing->peakMb);
        BenchGoal(drawing->slowestBackMs < 300, "with the cache %s a screen going back took %.0f ms (goal: 300 ms)",
                  cache, drawing->slowestBackMs);
    }
    if (off.peakMb > 0 && on.peakMb > 0)
        BenchGoal(on.peakMb <= 1.2 * off.peakMb, "the cache on took %.2fx the memory of it off (goal: 1.2x)",
                  on.peakMb / off.peakMb);
    RemoveTree(root);
    return BenchExitCode();
}
