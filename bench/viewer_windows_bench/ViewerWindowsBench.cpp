// The viewer's windows as the user drives them, each part timed from the key (or slider move) to
// the painted window:
// - the full-screen slideshow paging a 2 x 2 grid of 12-megapixel JPEGs, with and without reading
//   the next page ahead (goal with it: the next page painted within one 55 ms tick), "next"
//   pressed as soon as the first page shows, before the next is read (goal: one tick more at
//   most: the first cell read and the others showing their thumbnails, fitted, until each is
//   read in a tick of its own; the time until the whole page is read beside it), and paging back
//   onto the bank left behind (nothing decoded again);
// - a picture window stepping through a folder of 24-megapixel JPEGs fitted to the window, against
//   the bare libjpeg decode at the same scale in the same run (goal: within 1.2 times);
// - the colour dialog's preview of a 24-megapixel displayed page with "Drag同期" on (goal: under
//   100 ms a slider move);
// - a 4 x 4 slideshow of animated GIFs (48 engines) playing until their pages stop growing: the
//   peak the grid holds against the page budget (goal: within it), and the process's peak working
//   set.
// Fails when a window did not show its pictures. (A small run: pictures of 1 and 1.5 megapixels,
// once each.)
#include "catalogue/CKWDoc.h"
#include "common/ScratchTree.h"
#include "foundation/VyxIni.h"
#include "image/DibCore.h"
#include "res/resource.h"
#include "viewer/CContrastDlg.h"
#include "viewer/COneWnd.h"
#include "viewer/COneWndList.h"
#include "viewer/VSlideShowDlg.h"

#include "../../tests/image/ImageSamples.h"
#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../OwnPlugins.h"
#include "../PhotoJpeg.h"

#include <benchmark/benchmark.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

class CBenchApp : public CWinApp
{
};
CBenchApp theBenchApp;

std::map<std::string, double> g_figures;
std::vector<std::wstring> g_folders;
// The slideshow's pictures (12 megapixels) and the picture window's (24).
const LONG kSlideWidth = BenchSize(4000L, 1200L), kSlideHeight = BenchSize(3000L, 900L);
const LONG kLargeWidth = BenchSize(6000L, 1500L), kLargeHeight = BenchSize(4000L, 1000L);

// Dispatches this thread's messages (timers included) until done() holds; false after the bound.
bool PumpUntil(const std::function<bool()>& done, double seconds = 120)
{
    const double start = BenchSeconds();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (BenchSeconds() - start > seconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// A folder in the temporary folder with count copies of the file's bytes, removed at the end.
std::wstring MakeFolder(const wchar_t* tag, const std::vector<BYTE>& bytes, int count, const wchar_t* extension)
{
    const std::wstring folder = BenchTempFile(L"viewer_windows", tag);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\%03d%ls", i, extension);
        WriteBytes(folder + name, bytes);
    }
    g_folders.push_back(folder);
    return folder;
}

// The document on a folder, as the program opens it.
struct Document
{
    explicit Document(const std::wstring& folder)
    {
        doc.m_bAutoDelete = FALSE;
        doc.OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
    }
    CKWDoc doc;
};

// A plain top-level window owning the viewer's windows.
struct Owner
{
    Owner()
    {
        wnd.CreateEx(0, AfxRegisterWndClass(0), L"owner", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 200), nullptr, 0);
    }
    ~Owner() { wnd.DestroyWindow(); }
    CWnd wnd;
};

// A picture window on a folder's pictures, fitted as asked, under a plain owner.
struct PictureWindow
{
    PictureWindow(const std::wstring& folder, int fitSize) : document(folder)
    {
        window = list.NewWindow(&document.doc, &owner.wnd);
        if (!window)
            return;
        window->GetSettings().FitSize = fitSize;
        window->ShowWindow(SW_SHOW);
    }
    ~PictureWindow()
    {
        if (window)
            window->DestroyWindow();
    }
    Document document;
    Owner owner;
    COneWndList list;
    COneWnd* window = nullptr;
};

double PeakWorkingSetMB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize / 1048576.0;
}

const std::vector<BYTE>& Jpeg(LONG width, LONG height)
{
    static std::map<LONG, std::vector<BYTE>> made;
    std::vector<BYTE>& jpeg = made[width];
    if (jpeg.empty())
        jpeg = MakePhotoJpeg(width, height);
    return jpeg;
}

// ---------------------------------------------------------------- the slideshow's pages

bool BankRead(VSlideShowDlg* show, int bank)
{
    for (int k = 0; k < show->GetCellCount(); ++k)
        if (!show->GetEngine(bank, k)->GetDisplayPage())
            return false;
    return true;
}

// Argument: 0 no reading ahead; 1 reading ahead, "next" pressed once the next page is read; 2
// reading ahead, "next" pressed as soon as the first page shows.
void SlideshowPaging(benchmark::State& state)
{
    const bool lookAhead = state.range(0) != 0;
    const bool atOnce = state.range(0) == 2;
    static const std::wstring folder = MakeFolder(L"slideshow", Jpeg(kSlideWidth, kSlideHeight), 12, L".jpg");
    Document document(folder);
    document.doc.ColumnCount = 2;
    document.doc.LineCount = 2;
    WriteAppIniInt(L"SlideShow", L"FitSize", COnePicture::FitAspect);
    WriteAppIniInt(L"SlideShow", L"LookAhead", lookAhead ? 1 : 0);
    // The thumbnails the view has made by the time a slideshow starts from it.
    for (int i = 0; i < document.doc.GetItemCount(); ++i)
        if (VyxFile* item = document.doc.GetItem(i); item && !item->HasThumbnail())
            item->CreateThumbnail(SIZE{160, 120});
    Owner owner;
    double forward = 0, back = 0, whole = 0;
    int backDecodes = 0;
    for (auto _ : state) {
        // A new slideshow each time: the first page shown, the next one read ahead (or not).
        VSlideShowDlg show;
        show.SetDocument(&document.doc);
        show.SetMonitor(0);
        // At once: as soon as the first page shows, its first picture read and the others maybe
        // still in their previews.
        if (!show.Create(&owner.wnd) || !PumpUntil([&] {
                return atOnce ? show.GetEngine(0, 0)->GetDisplayPage() != nullptr : BankRead(&show, 0);
            }) ||
            (lookAhead && !atOnce && !PumpUntil([&] { return BankRead(&show, 1); }))) {
            state.SkipWithError("the slideshow did not show its pages");
            break;
        }
        HGLOBAL left = show.GetEngine(0, 0)->GetSourcePage(0);
        double start = BenchSeconds();
        show.SendMessage(WM_COMMAND, ID_PICTURE_NEXT);
        show.UpdateWindow();
        forward += BenchSeconds() - start;
        if (!PumpUntil([&] { return BankRead(&show, show.GetBank()); })) {
            state.SkipWithError("the next page was not read");
            break;
        }
        whole += BenchSeconds() - start;
        start = BenchSeconds();
        show.SendMessage(WM_COMMAND, ID_PICTURE_PREVIOUS);
        show.UpdateWindow();
        back += BenchSeconds() - start;
        backDecodes += show.GetEngine(0, 0)->GetSourcePage(0) != left;
        show.DestroyWindow();
    }
    const std::string name = atOnce      ? "slideshow 2x2 12 MP, next pressed at once"
                             : lookAhead ? "slideshow 2x2 12 MP, reading ahead"
                                         : "slideshow 2x2 12 MP, not reading ahead";
    g_figures[name + ": next page painted ms"] = forward * 1000 / state.iterations();
    g_figures[name + ": back again painted ms"] = back * 1000 / state.iterations();
    g_figures[name + ": next page wholly read ms"] = whole * 1000 / state.iterations();
    g_figures[name + ": pages read again going back"] = backDecodes;
}

// ---------------------------------------------------------------- a picture window stepping

const CSize kWindowView(1000, 640);

// libjpeg alone at the scale that still covers the view, as the window reads the picture; seconds.
double BareScaledDecode()
{
    const int reduction = std::max(kLargeWidth / kWindowView.cx, kLargeHeight / kWindowView.cy);
    int denominator = 1;
    while (denominator * 2 <= std::min(reduction, 8))
        denominator *= 2;
    static std::vector<BYTE> row;
    const double start = BenchSeconds();
    DecodeScaledBare(Jpeg(kLargeWidth, kLargeHeight), denominator, row);
    benchmark::DoNotOptimize(row.data());
    return BenchSeconds() - start;
}

void PictureWindowStepping(benchmark::State& state)
{
    static const std::wstring folder = MakeFolder(L"stepping", Jpeg(kLargeWidth, kLargeHeight), 8, L".jpg");
    PictureWindow shown(folder, COnePicture::FitAspect);
    COneWnd* window = shown.window;
    if (!window) {
        state.SkipWithError("no picture window");
        return;
    }
    // The view takes the size the bare decode below is measured for.
    CRect frame, view;
    window->GetWindowRect(&frame);
    window->GetView()->GetClientRect(&view);
    window->MoveWindow(0, 0, frame.Width() + kWindowView.cx - view.Width(),
                       frame.Height() + kWindowView.cy - view.Height());
    window->ShowPicture(0);
    window->UpdateWindow();
    // The window's steps and the bare decodes alternate, so both meet the same load of the machine.
    double total = 0, bare = 0;
    int steps = 0;
    for (auto _ : state) {
        bare += BareScaledDecode();
        if (window->GetIndex() + 1 >= shown.document.doc.GetItemCount()) {
            window->SendMessage(WM_COMMAND, ID_PICTURE_FIRST);
            window->UpdateWindow();
        }
        const double start = BenchSeconds();
        window->SendMessage(WM_COMMAND, ID_PICTURE_NEXT);
        window->UpdateWindow();
        window->GetView()->UpdateWindow();
        total += BenchSeconds() - start;
        ++steps;
    }
    g_figures["picture window 24 MP step to painted ms"] = total * 1000 / steps;
    g_figures["picture window bare scaled decode ms (same run)"] = bare * 1000 / steps;
    g_figures["picture window view width"] = window->GetView()->GetDisplaySize().cx;
}

// ---------------------------------------------------------------- the colour dialog's preview

void ColourPreview(benchmark::State& state)
{
    static const std::wstring folder = MakeFolder(L"colour", Jpeg(kLargeWidth, kLargeHeight), 1, L".jpg");
    // The whole picture as the displayed page.
    PictureWindow shown(folder, COnePicture::FitAsIs);
    COneWnd* window = shown.window;
    if (!window) {
        state.SkipWithError("no picture window");
        return;
    }
    window->ShowPicture(0);
    window->UpdateWindow();
    if (window->GetView()->GetDisplaySize() != CSize(kLargeWidth, kLargeHeight)) {
        state.SkipWithError("the picture is not shown whole");
        return;
    }
    WriteAppIniInt(L"ColorBalance", L"Synchronous", 1);
    CContrastDlg dialog(window);
    dialog.SetSource(window->GetView()->GetDisplayPage());
    dialog.Create(IDD_CONTRAST, window);
    CWnd* slider = dialog.GetDlgItem(IDC_RED_SLIDER);
    double total = 0;
    int pos = 0;
    for (auto _ : state) {
        pos = pos >= 100 ? -100 : pos + 7;
        const double start = BenchSeconds();
        slider->SendMessage(TBM_SETPOS, TRUE, pos);
        dialog.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, pos), reinterpret_cast<LPARAM>(slider->m_hWnd));
        window->GetView()->UpdateWindow();
        total += BenchSeconds() - start;
    }
    g_figures["colour preview 24 MP per slider move ms"] = total * 1000 / state.iterations();
    dialog.DestroyWindow();
}

// ---------------------------------------------------------------- a 4 x 4 grid's memory

void GridMemory(benchmark::State& state)
{
    std::vector<samples::GifFrame> frames;
    for (int i = 0; i < 40; ++i) {
        samples::GifFrame frame;
        frame.width = 320;
        frame.height = 240;
        frame.control = true;
        frame.indices.resize(320 * 240);
        for (size_t p = 0; p < frame.indices.size(); ++p)
            frame.indices[p] = static_cast<int>((p / 320 + p % 320 + i * 8) / 16 % 16);
        frames.push_back(frame);
    }
    std::vector<COLORREF> table;
    for (int i = 0; i < 16; ++i)
        table.push_back(RGB(i * 16, 255 - i * 16, 128));
    static const std::wstring folder = MakeFolder(L"grid", samples::MakeGif(320, 240, table, frames), 48, L".gif");
    Document document(folder);
    document.doc.ColumnCount = 4;
    document.doc.LineCount = 4;
    WriteAppIniInt(L"SlideShow", L"FitSize", COnePicture::FitAspect);
    WriteAppIniInt(L"SlideShow", L"LookAhead", 1);
    Owner owner;
    auto* show = new VSlideShowDlg;
    show->SetDocument(&document.doc);
    show->SetMonitor(0);
    ULONGLONG peak = 0;
    int pages = 0;
    for (auto _ : state) {
        if (!show->GetSafeHwnd() && !show->Create(&owner.wnd)) {
            state.SkipWithError("the slideshow did not show");
            break;
        }
        // Every page of the list in turn, each playing until its grid holds no more.
        for (int page = 0; page < 3; ++page) {
            ULONGLONG last = 0;
            int quiet = 0;
            PumpUntil([&] {
                const ULONGLONG held = show->GetHeldBytes();
                peak = std::max(peak, held);
                quiet = held == last ? quiet + 1 : 0;
                last = held;
                return quiet > 40;
            });
            pages += show->GetCellCount();
            show->SendMessage(WM_COMMAND, ID_PICTURE_NEXT);
        }
    }
    g_figures["grid 4x4 GIFs: peak held MB"] = peak / 1048576.0;
    g_figures["grid 4x4 GIFs: page budget MB"] = COnePicture::DefaultPageBudget / 1048576.0;
    g_figures["grid 4x4 GIFs: peak working set MB"] = PeakWorkingSetMB();
    g_figures["grid 4x4 GIFs: files shown"] = pages;
    show->SendMessage(WM_COMMAND, ID_PICTURE_CLOSE);
    PumpUntil([] { return true; });
    delete show;
}

BENCHMARK(SlideshowPaging)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5));
BENCHMARK(PictureWindowStepping)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(20));
BENCHMARK(ColourPreview)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(20));
BENCHMARK(GridMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void PrintSummary()
{
    std::printf("\nViewer windows:\n");
    for (const auto& figure : g_figures)
        std::printf("  %-60s %10.2f\n", figure.first.c_str(), figure.second);
    const double bare = g_figures["picture window bare scaled decode ms (same run)"];
    if (bare > 0)
        std::printf("  %-60s %10.2f\n", "picture window step / bare scaled decode (goal 1.2)",
                    g_figures["picture window 24 MP step to painted ms"] / bare);
    const double ahead = g_figures["slideshow 2x2 12 MP, reading ahead: next page painted ms"];
    const double atOnce = g_figures["slideshow 2x2 12 MP, next pressed at once: next page painted ms"];
    if (ahead > 0 && atOnce > 0)
        std::printf("  %-60s %10.2f\n", "next pressed at once less next once read ahead (goal: 55 ms, one tick)",
                    atOnce - ahead);
    std::printf("  (goals: next page with reading ahead within 55 ms; colour preview under 100 ms)\n");
    const double step = g_figures["picture window 24 MP step to painted ms"];
    const double colour = g_figures["colour preview 24 MP per slider move ms"];
    const double held = g_figures["grid 4x4 GIFs: peak held MB"], budget = g_figures["grid 4x4 GIFs: page budget MB"];
    if (!BenchMeasured(ahead > 0 && atOnce > 0 && step > 0 && bare > 0 && colour > 0 && held > 0,
                       "a slideshow page, a picture window step, the colour preview or the GIF grid was not timed"))
        return;
    BenchGoal(ahead <= 55, "the next page read ahead was painted in %.1f ms (goal: 55 ms)", ahead);
    BenchGoal(atOnce - ahead <= 55, "next pressed at once took %.1f ms more than once read ahead (goal: 55 ms)",
              atOnce - ahead);
    BenchGoal(step / bare <= 1.2, "a picture window step took %.2fx the bare decode (goal: 1.2x)", step / bare);
    BenchGoal(colour < 100, "the colour preview took %.1f ms a slider move (goal: under 100 ms)", colour);
    BenchGoal(held <= budget, "the GIF grid held %.1f MB at its peak (goal: within the %.0f MB budget)", held, budget);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    CWinApp* app = AfxGetApp();
    if (!app || !app->InitApplication() || !app->InitInstance()) {
        BenchNothing("the application did not start");
        return BenchExitCode();
    }
    const std::wstring settings = BenchTempFile(L"viewer_windows", L"settings.ini");
    DeleteFileW(settings.c_str());
    theAppIni.SetPath(settings.c_str());
    LoadOwnPlugins();
    InitializeBenchmarks(argc, argv);
    BenchRun();
    PrintSummary();
    for (const std::wstring& folder : g_folders)
        RemoveTree(folder);
    DeleteFileW(settings.c_str());
    app->ExitInstance();
    return BenchExitCode();
}
