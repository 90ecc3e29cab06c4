// Thumbnails of camera JPEGs (Exif blocks, several different pictures of each size, taken in turn)
// of 24, 12, 2 and 0.3 megapixels, in one process: a file item's own way from the file on disk to
// its thumbnail (the decoder found and asked through the plug-in host, the picture's facts, the
// decode for the box, the thumbnail made and sharpened as the settings ask), a new item per
// picture taken from a listing of the folder as the document makes them; picture by picture
// beside the bare side (the same file read once into memory and libjpeg called directly for the
// same decoded size) and the floor (the program's own decoder and thumbnail maker on the bytes).
// Then where the time of one picture goes, step by step through the host. Prints pictures per
// second, the ratios to the bare side (beside its goal) and to the floor, and the peak memory.
// Fails when a picture gave no thumbnail or a size measured nothing. (A small run: 2 and 0.3
// megapixels, a few pictures each.)
#include "catalogue/CFileList.h"
#include "catalogue/VyxFile.h"
#include "image/plugins/Spi.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "image/codecs/JpegMemory.h"
#include "common/ScratchTree.h"
#include "../OwnPlugins.h"
#include "../CameraJpeg.h"

#include <benchmark/benchmark.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The picture box of a thumbnail cell (the view's default 200 x 300 cell, less its name).
constexpr LONG kBoxWidth = 190;
constexpr LONG kBoxHeight = 240;
constexpr double kGoal = 1.1;

struct Size
{
    int tenthsOfMegapixels;
    LONG width;
    LONG height;
};

const Size kSizes[] = {{240, 5664, 4248}, {120, 4000, 3000}, {20, 1632, 1224}, {3, 640, 480}};

const Size& SizeOf(int tenths)
{
    for (const Size& size : kSizes)
        if (size.tenthsOfMegapixels == tenths)
            return size;
    return kSizes[0];
}

std::string Label(int tenths)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%g MP", tenths / 10.0);
    return text;
}

// Several different camera pictures of the size as files in the temporary folder, written once:
// each pass goes from one to the next, as a folder's pictures come.
const std::vector<std::wstring>& PictureFiles(int tenths)
{
    static std::map<int, std::vector<std::wstring>> files;
    std::vector<std::wstring>& paths = files[tenths];
    if (paths.empty()) {
        const Size& size = SizeOf(tenths);
        const int distinct = tenths >= 120 ? 4 : tenths >= 20 ? 12 : 32;
        paths = MakeCameraFolder(BenchTempFile(L"thumbnail_bench", std::to_wstring(tenths).c_str()), distinct, distinct,
                                 size.width, size.height);
    }
    return paths;
}

// The whole file into the buffer, which is kept from picture to picture as a loop would keep it.
void ReadWhole(const std::wstring& path, std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
}

// The libjpeg scale the host asks for the box: the reduction max(w / bw, h / bh) in integers.
int Denominator(int tenths)
{
    const Size& size = SizeOf(tenths);
    return JpegScaleDenominator(std::max(size.width / kBoxWidth, size.height / kBoxHeight));
}

std::map<std::string, double> g_rate;

void Record(benchmark::State& state, const std::string& key, double seconds)
{
    const double rate = seconds > 0 ? static_cast<double>(state.iterations()) / seconds : 0;
    g_rate[key] = rate;
    state.counters["pictures/s"] = rate;
}

// The items of a listing of the pictures' folder, as the document makes them (the listing's time
// counted, shared out over its items): one item for each picture.
class ListedItems
{
public:
    explicit ListedItems(const std::wstring& folder) : m_folder(folder) {}
    // The next item; the folder is listed again once every item was taken.
    std::unique_ptr<VyxFile> Next()
    {
        if (m_next >= m_items.size()) {
            m_items.clear();
            m_next = 0;
            CFileList listing;
            listing.SetImageHost(&theSPImapIndex);
            listing.SetFolder(m_folder.c_str());
            listing.SetShowFolders(true);
            listing.SetAbortCheck(true);
            if (listing.Scan() == CFileList::ScanDone)
                for (int i = 0; i < listing.GetCount(); ++i)
                    if (VyxFile* item = listing.GetAt(i))
                        m_items.emplace_back(item);
        }
        return m_next < m_items.size() ? std::move(m_items[m_next++]) : nullptr;
    }

private:
    std::wstring m_folder;
    std::vector<std::unique_ptr<VyxFile>> m_items;
    size_t m_next = 0;
};

std::wstring FolderOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

// A new item for every picture, with the document's default thumbnail settings (automatic
// scale mode, sharpening as "Unsharp" asks, no enlarging), no cache; and after each the bare side
// on the same picture: the file read once into memory, libjpeg's scaled decode at the same scale.
// Taking turns picture by picture, both sides meet the same load of the machine.
void ItemAgainstBare(benchmark::State& state)
{
    const int tenths = static_cast<int>(state.range(0));
    const bool sharpen = state.range(1) != 0;
    LoadOwnPlugins();
    ListedItems listed(FolderOf(PictureFiles(tenths).front()));
    const int denominator = Denominator(tenths);
    const Size& size = SizeOf(tenths);
    const int reduction = std::max(size.width / kBoxWidth, size.height / kBoxHeight);
    // The floor: the program's own decoder and thumbnail maker on the bytes, without the item.
    VyxFile maker;
    maker.SetScaleMode(10);
    maker.SetLimitCheck(TRUE);
    maker.SetUnsharp(sharpen);
    maker.SetWidth(size.width);
    maker.SetHeight(size.height);
    maker.colBackGround = RGB(255, 255, 255);
    std::vector<BYTE> bytes, row;
    double itemSeconds = 0, bareSeconds = 0, floorSeconds = 0;
    for (auto _ : state) {
        const std::unique_ptr<VyxFile> next = listed.Next();
        if (!next) {
            state.SkipWithError("the folder lists no picture");
            break;
        }
        VyxFile& item = *next;
        double start = BenchSeconds();
        item.SetCacheLookup(FALSE);
        item.SetScaleMode(10);
        item.SetLimitCheck(TRUE);
        item.SetUnsharp(sharpen);
        item.colBackGround = RGB(255, 255, 255);
        if (!item.GetThumbnailFor(0, 0, kBoxWidth, kBoxHeight, true)) {
            state.SkipWithError("no thumbnail");
            break;
        }
        itemSeconds += BenchSeconds() - start;
        start = BenchSeconds();
        ReadWhole(std::wstring(item.GetPath()), bytes);
        DecodeScaledBare(bytes, denominator, row);
        benchmark::DoNotOptimize(row.data());
        bareSeconds += BenchSeconds() - start;
        start = BenchSeconds();
        ReadWhole(std::wstring(item.GetPath()), bytes);
        HGLOBAL picture = nullptr;
        if (JpegDecodeDib(bytes.data(), bytes.size(), reduction, &picture) == 0) {
            HGLOBAL thumbnail = maker.MakeThumbnailFromPicture(picture, SIZE{kBoxWidth, kBoxHeight});
            if (thumbnail != picture)
                GlobalFree(thumbnail);
            GlobalFree(picture);
        }
        floorSeconds += BenchSeconds() - start;
    }
    if (sharpen)
        g_rate["floor/" + std::to_string(tenths)] = floorSeconds > 0 ? state.iterations() / floorSeconds : 0;
    Record(state, (sharpen ? "item/" : "item-plain/") + std::to_string(tenths), itemSeconds);
    if (sharpen)
        g_rate["bare/" + std::to_string(tenths)] = bareSeconds > 0 ? state.iterations() / bareSeconds : 0;
    state.counters["ratio"] = bareSeconds > 0 ? itemSeconds / bareSeconds : 0;
}

// The sizes a run measures: all of them, or the two smallest in a small run; min time a size at
// full size, a few pictures in a small run.
bool Measured(int tenths)
{
    return !BenchSmall() || tenths <= 20;
}

void ItemSizes(benchmark::internal::Benchmark* benchmark)
{
    for (const auto& args : std::vector<std::vector<int64_t>>{{240, 1}, {120, 1}, {20, 1}, {3, 1}, {20, 0}, {3, 0}})
        if (Measured(static_cast<int>(args[0])))
            benchmark->Args(args);
    if (BenchSmall())
        benchmark->Iterations(3);
    else
        benchmark->MinTime(4.0);
}

BENCHMARK(ItemAgainstBare)->Unit(benchmark::kMillisecond)->Apply(ItemSizes);

// Where one picture's time goes through the host, in milliseconds a picture: each request as the
// item makes it, the file named by its path, and the same requests on the bytes read once.
struct Steps
{
    double probe = 0, facts = 0, decode = 0, read = 0, probeMemory = 0, factsMemory = 0, decodeMemory = 0;
};
std::map<int, Steps> g_steps;

void HostSteps(benchmark::State& state)
{
    const int tenths = static_cast<int>(state.range(0));
    LoadOwnPlugins();
    const std::vector<std::wstring>& paths = PictureFiles(tenths);
    size_t next = 0;
    const Size& size = SizeOf(tenths);
    Steps total;
    std::vector<BYTE> bytes;
    auto timed = [](double& sum, auto&& call) {
        const double start = BenchSeconds();
        call();
        sum += BenchSeconds() - start;
    };
    for (auto _ : state) {
        const std::wstring& path = paths[next++ % paths.size()];
        SPISupportQuery probe = {};
        probe.kind = SPImapIndex::KindImage;
        probe.startAfter = -1;
        probe.archiveId = -1;
        probe.path = path.c_str();
        int id = -1;
        timed(total.probe, [&] { id = SPlugIn::IsSupported(probe); });
        // The facts and the picture through the host, timed; what they give is freed.
        const auto factsAndPicture = [&](SPIRequest& request, double& facts, double& decode) {
            SPIPictureInfoEx info = {};
            timed(facts, [&] { theSPImapIndex.GetPictureInfo(&request, &info); });
            if (info.info.hInfo)
                LocalFree(info.info.hInfo);
            for (HGLOBAL block : info.exif)
                if (block)
                    GlobalFree(block);
            request.reduction = std::max(size.width / kBoxWidth, size.height / kBoxHeight);
            request.desiredWidth = kBoxWidth;
            request.desiredHeight = kBoxHeight;
            timed(decode, [&] { theSPImapIndex.GetPicture(&request); });
            if (request.output)
                GlobalFree(request.output);
        };
        SPIRequest request;
        request.id = id;
        request.source = path.c_str();
        request.flags = SPI_INPUT_FILE;
        factsAndPicture(request, total.facts, total.decode);

        timed(total.read, [&] { ReadWhole(path, bytes); });
        probe.head = bytes.data();
        probe.headLength = static_cast<int>(bytes.size());
        timed(total.probeMemory, [&] { SPlugIn::IsSupported(probe); });
        SPIRequest memory;
        memory.id = id;
        memory.source = bytes.data();
        memory.length = static_cast<LONG_PTR>(bytes.size());
        memory.flags = SPI_INPUT_MEMORY;
        factsAndPicture(memory, total.factsMemory, total.decodeMemory);
    }
    const double n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1)) / 1000.0;
    g_steps[tenths] = {total.probe / n,       total.facts / n,       total.decode / n,      total.read / n,
                       total.probeMemory / n, total.factsMemory / n, total.decodeMemory / n};
}

void StepSizes(benchmark::internal::Benchmark* benchmark)
{
    for (const Size& size : kSizes)
        if (Measured(size.tenthsOfMegapixels))
            benchmark->Arg(size.tenthsOfMegapixels);
    if (BenchSmall())
        benchmark->Iterations(3);
    else
        benchmark->MinTime(1.0);
}

BENCHMARK(HostSteps)->Unit(benchmark::kMillisecond)->Apply(StepSizes);

void PrintSummary()
{
    std::printf("\nA file item's thumbnail against the bare side (the file read once, libjpeg's scaled decode "
                "of the same size), same files, same process, taking turns; the floor beside: the program's own "
                "decoder and thumbnail maker (resample, sharpening) on the bytes read once, without the item:\n");
    std::printf("%8s %10s %14s %16s %12s %8s %8s %13s %9s\n", "picture", "JPEG MB", "item pics/s", "unsharp off",
                "bare pics/s", "ratio", "goal", "floor pics/s", "to floor");
    for (const Size& size : kSizes) {
        const std::string key = std::to_string(size.tenthsOfMegapixels);
        const double item = g_rate["item/" + key], plain = g_rate["item-plain/" + key], bare = g_rate["bare/" + key];
        if (!Measured(size.tenthsOfMegapixels))
            continue;
        if (!BenchMeasured(item > 0 && bare > 0, "no thumbnail of %s was timed",
                           Label(size.tenthsOfMegapixels).c_str()))
            continue;
        char plainText[16] = "-";
        if (plain > 0)
            std::snprintf(plainText, sizeof(plainText), "%.2f", plain);
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(PictureFiles(size.tenthsOfMegapixels).front().c_str(), GetFileExInfoStandard, &data);
        const double floorRate = g_rate["floor/" + key];
        std::printf("%8s %10.2f %14.2f %16s %12.2f %7.3fx %7.1fx %13.2f %8.3fx%s\n",
                    Label(size.tenthsOfMegapixels).c_str(), data.nFileSizeLow / 1048576.0, item, plainText, bare,
                    bare / item, kGoal, floorRate, floorRate > 0 ? floorRate / item : 0.0,
                    bare / item <= kGoal ? "" : "  (over)");
        BenchGoal(bare / item <= kGoal, "a thumbnail of %s took %.3fx the bare decode (goal: %.1fx)",
                  Label(size.tenthsOfMegapixels).c_str(), bare / item, kGoal);
    }
    std::printf("\nOne picture through the host, ms (by path | on the bytes read once, the read %s):\n", "apart");
    std::printf("%8s %9s %9s %9s | %9s %9s %9s %9s\n", "picture", "probe", "facts", "decode", "read", "probe", "facts",
                "decode");
    for (const auto& [tenths, steps] : g_steps)
        std::printf("%8s %9.2f %9.2f %9.2f | %9.2f %9.2f %9.2f %9.2f\n", Label(tenths).c_str(), steps.probe,
                    steps.facts, steps.decode, steps.read, steps.probeMemory, steps.factsMemory, steps.decodeMemory);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        std::printf("peak working set of the whole run %.1f MB\n", counters.PeakWorkingSetSize / 1048576.0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    InitializeBenchmarks(argc, argv);
    BenchRun();
    PrintSummary();
    for (const Size& size : kSizes)
        RemoveTree(BenchTempFile(L"thumbnail_bench", std::to_wstring(size.tenthsOfMegapixels).c_str()));
    return BenchExitCode();
}
