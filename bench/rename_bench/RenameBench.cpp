// The batch rename's name computation for 5,000 files: a group of five regular expressions (one
// with a date field), and a template using a sequence number, a date and an item macro (goal:
// under 0.2 s a computation); on its own, and as the dialog does it on opening and on "更新" (the
// list of 5,000 rows included). Also the preview of the selected file, drawn as the dialog draws
// it (a copy of the item past the thumbnail cache) from a 24-megapixel JPEG, beside libjpeg's
// bare scaled decode of the same picture in the same run. Fails when no name was computed or no
// preview drawn. (A small run: 200 rows and a picture of 1.5 megapixels.)
#include "catalogue/VyxFile.h"
#include "fileops/RegExpGroupFile.h"
#include "fileops/RenameTemplate.h"
#include "fileops/VFileRenameNDlg.h"
#include "foundation/VyxIni.h"
#include "image/codecs/JpegMemory.h"
#include "res/resource.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../OwnPlugins.h"
#include "../PhotoJpeg.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kRows = BenchSize(5000, 200);
const LONG kPictureWidth = BenchSize(5664L, 1416L);
const LONG kPictureHeight = BenchSize(4248L, 1062L);
const wchar_t kGroupFormat[] = L"\\$bench";
const wchar_t kTemplate[] = L"旅行_#5#_%Y%m%d_$(Width)";

class CBenchApp : public CWinApp
{
};
CBenchApp theBenchApp;

// A listed file known by its facts, as a folder scan makes them.
struct BenchItem : VyxFile
{
    explicit BenchItem(int i)
    {
        wchar_t name[64];
        swprintf(name, 64, L"DSC_%05d_20240804.jpg", i);
        m_fileName = name;
        m_folder = L"C:\\pictures";
        m_path = m_folder + L"\\" + m_fileName;
        m_writeTime = 1722772800 + i * 60;
        m_width = 4000 + i % 3;
    }
};

const std::vector<std::unique_ptr<BenchItem>>& Items()
{
    static std::vector<std::unique_ptr<BenchItem>> items;
    if (items.empty())
        for (int i = 0; i < kRows; ++i)
            items.emplace_back(new BenchItem(i));
    return items;
}

const RegExpGroupFile& Groups()
{
    static RegExpGroupFile groups;
    static bool written = false;
    if (!written) {
        groups.SetPath(BenchTempFile(L"rename_bench", L"RegExpGroup.ini").c_str());
        CStringArray patterns;
        patterns.Add(L"DSC_[0-9]+_%Y[0-9]{4}");
        patterns.Add(L"[0-9]+_[0-9]+");
        patterns.Add(L"[0-9]{5}_");
        patterns.Add(L"[0-9]+");
        patterns.Add(L"[0-9]{3}$");
        groups.WriteGroup(L"bench", patterns);
        written = true;
    }
    return groups;
}

std::map<std::string, double> g_seconds;

void Record(benchmark::State& state, const std::string& key, double seconds)
{
    double each = state.iterations() ? seconds / static_cast<double>(state.iterations()) : 0;
    g_seconds[key] = each;
    state.counters["s/run"] = each;
}

void ComputeNames(benchmark::State& state, const wchar_t* format, const std::string& key)
{
    const auto& items = Items();
    RenameTemplate names;
    double start = BenchSeconds();
    for (auto _ : state) {
        names.Prepare(L"", format, Groups());
        for (int i = 0; i < kRows; ++i)
            benchmark::DoNotOptimize(names.MakeName(*items[static_cast<size_t>(i)], i + 1));
    }
    Record(state, key, BenchSeconds() - start);
    if (names.MakeName(*items[0], 1).IsEmpty())
        state.SkipWithError("no name was computed");
}

void GroupNames(benchmark::State& state)
{
    ComputeNames(state, kGroupFormat, "group");
}

void TemplateNames(benchmark::State& state)
{
    ComputeNames(state, kTemplate, "template");
}

// The dialog opened on 5,000 rows (the names computed at once) and "更新" pressed.
class BenchDialog : public VFileRenameNDlg
{
public:
    BenchDialog()
    {
        m_groups = Groups();
        for (const auto& item : Items())
            AddFile(item.get());
    }
};

void DialogOpen(benchmark::State& state)
{
    WriteAppIniString(L"RenameFormat", L"0", kGroupFormat);
    double open = 0, update = 0;
    for (auto _ : state) {
        BenchDialog dialog;
        double start = BenchSeconds();
        dialog.Create(IDD_FILE_RENAME_N, nullptr);
        open += BenchSeconds() - start;
        start = BenchSeconds();
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RENAMEN_UPDATE, BN_CLICKED), 0);
        update += BenchSeconds() - start;
        dialog.DestroyWindow();
    }
    Record(state, "open", open);
    Record(state, "update", update);
}

// A 24-megapixel photograph-like JPEG, written once.
const std::vector<BYTE>& Picture()
{
    static std::vector<BYTE> jpeg = MakePhotoJpeg(kPictureWidth, kPictureHeight);
    return jpeg;
}

const std::wstring& PictureFile()
{
    static std::wstring path;
    if (path.empty()) {
        path = BenchTempFile(L"rename_bench", L"24mp.jpg");
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, Picture().data(), static_cast<DWORD>(Picture().size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

// The dialog's preview frame: 60 x 60 dialog units, about 90 pixels square.
const RECT kFrame = {0, 0, 92, 92};

void PreviewDraw(benchmark::State& state)
{
    LoadOwnPlugins();
    VyxFile listed(PictureFile().c_str());
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kFrame.right, kFrame.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CDC dc;
    dc.Attach(memory);
    double start = BenchSeconds();
    for (auto _ : state) {
        VyxFile copy(listed);
        copy.SetScaleMode(10);
        copy.SetUnsharp(TRUE);
        copy.SetAutoCache(FALSE);
        copy.SetCacheLookup(FALSE);
        copy.DrawPreview(&dc, kFrame, true);
        if (!copy.HasThumbnail()) {
            state.SkipWithError("no picture drawn");
            break;
        }
    }
    Record(state, "preview", BenchSeconds() - start);
    dc.Detach();
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void BareScaledDecode(benchmark::State& state)
{
    // The reduction the preview's thumbnail asks for, as libjpeg's scale.
    const int denominator = JpegScaleDenominator(std::max(kPictureWidth / 88, kPictureHeight / 88));
    std::vector<BYTE> row;
    double start = BenchSeconds();
    for (auto _ : state) {
        DecodeScaledBare(Picture(), denominator, row);
        benchmark::DoNotOptimize(row.data());
    }
    Record(state, "bare", BenchSeconds() - start);
}

// Two seconds of runs at full size, one run in a small one.
void TwoSeconds(benchmark::internal::Benchmark* benchmark)
{
    if (BenchSmall())
        benchmark->Iterations(1);
    else
        benchmark->MinTime(2.0);
}

BENCHMARK(GroupNames)->Unit(benchmark::kMillisecond)->Apply(TwoSeconds);
BENCHMARK(TemplateNames)->Unit(benchmark::kMillisecond)->Apply(TwoSeconds);
BENCHMARK(DialogOpen)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(10));
BENCHMARK(PreviewDraw)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(20));
BENCHMARK(BareScaledDecode)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(20));

void PrintSummary()
{
    std::printf("\nBatch rename, %d rows (goal: under 0.2 s a computation):\n", kRows);
    std::printf("  group of 5 expressions  %8.3f s\n", g_seconds["group"]);
    std::printf("  template                %8.3f s (number, date, item macro)\n", g_seconds["template"]);
    std::printf("  dialog opened           %8.3f s (list filled and names computed)\n", g_seconds["open"]);
    std::printf("  \"更新\" pressed          %8.3f s\n", g_seconds["update"]);
    double preview = g_seconds["preview"], bare = g_seconds["bare"];
    if (preview > 0 && bare > 0)
        std::printf("Preview of a JPEG of %ld x %ld: %.1f ms, bare scaled decode %.1f ms (%.2fx)\n", kPictureWidth,
                    kPictureHeight, preview * 1000, bare * 1000, preview / bare);
    if (BenchMeasured(g_seconds["group"] > 0 && g_seconds["template"] > 0, "no names were computed"))
        for (const char* key : {"group", "template"})
            BenchGoal(g_seconds[key] < 0.2, "the %s names of %d rows took %.3f s (goal: under 0.2 s)", key, kRows,
                      g_seconds[key]);
    BenchMeasured(preview > 0 && bare > 0, "no preview was drawn, or nothing decoded bare");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    theAppIni.SetPath(BenchTempFile(L"rename_bench", L"settings.ini").c_str());
    InitializeBenchmarks(argc, argv);
    BenchRun();
    PrintSummary();
    DeleteFileW(PictureFile().c_str());
    DeleteFileW(BenchTempFile(L"rename_bench", L"RegExpGroup.ini").c_str());
    DeleteFileW(BenchTempFile(L"rename_bench", L"settings.ini").c_str());
    return BenchExitCode();
}
