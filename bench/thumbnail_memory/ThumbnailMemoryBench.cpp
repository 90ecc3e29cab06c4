// What drawn thumbnails cost the 32-bit process: a folder of 20,000 small JPEG pictures (made by
// the benchmark) listed by the document with its thumbnail cache on, every cell drawn screen by
// screen through the cell renderer from the top to the bottom, making the thumbnails, and then
// back to the top. Prints the peak of the process's private committed memory (goal: under
// 400 MB) and the time of a screen drawn going back, its thumbnails fetched again (goal: within
// the first-screen goal of the thumbnail view, 0.3 s).
#include "catalogue/CKWDoc.h"
#include "catalogue/HeldPictureBudget.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxIni.h"
#include "image/DibSection.h"

#include "../BenchClock.h"
#include "../OwnPlugins.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kPictures = 20000;
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

} // namespace

int wmain(int, wchar_t**)
{
    const std::wstring root = BenchTempFile(L"thumbnail_memory", L"files");
    const std::wstring folder = root + L"\\pictures", cache = root + L"\\cache";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(cache.c_str(), nullptr);
    theAppIni.SetPath((root + L"\\settings.ini").c_str());
    LoadOwnPlugins();

    MakePictureFolder(folder, kPictures, MakePhotoJpeg(160, 120));

    size_t peak = 0;
    double slowestBack = 0, totalBack = 0;
    int screensBack = 0;
    {
        CKWDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.CacheFolder = true;
        doc.AutoCacheFolder = true;
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
    std::printf("peak private committed memory %.1f MB (goal: under 400 MB)\n", peak / 1048576.0);
    std::printf("a screen going back: %.1f ms on average, %.1f ms at the slowest (goal: under 300 ms)\n",
                screensBack ? totalBack / screensBack * 1000 : 0.0, slowestBack * 1000);
    RemoveTree(root);
    return 0;
}
