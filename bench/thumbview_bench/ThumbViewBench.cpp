// The thumbnail view as a user waits for it, in one process: the program's frame and views made
// by its document template, the idle loop run as the program runs it, on folders of JPEG pictures
// made by the benchmark (24 megapixels, 12 and 2), with the frame at the size it opens with and
// at 1920 x 1080 (camera pictures, Exif blocks and all, several different ones in each folder).
// Without a cache: the time until every shown cell holds its thumbnail and until
// the idle-time pass has made them all, beside the bare side (each file read once into memory and
// decoded by libjpeg at the scale the program chose); the longest idle step and the longest time
// input waited meanwhile. With the cache filled: the first screen again. A folder of 24-megapixel
// pictures wheel-scrolled for 15 seconds: how often input waited over 100 ms. And a folder of
// 10,000 pictures scrolled from top to bottom a page at a time: the slowest paint and idle step.
// Argument "quick": the 24-megapixel and 2-megapixel folders at 1920 x 1080 only. A thumbnail
// counts as made once the view announced its cell (hint 8) holding it, or the item holds it at the
// end: the held-picture bound lets the least recently drawn go by design. Fails when a folder's
// thumbnails were not all made or a part timed nothing (a folder's goals are still weighed when
// it was timed), and at full size when the window did not get the 1920 x 1080 asked. On a smaller
// screen a full run goes on in a virtual desktop of that size of its own. (A small run: 30 pictures of
// 2 megapixels, the wheel for 2 seconds over 60, 200 pictures scrolled.)
#include "browser/CKWView.h"
#include "browser/CMainFrame.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../OwnPlugins.h"
#include "../ProgramFrame.h"
#include "../CameraJpeg.h"
#include "common/FrameTestUtil.h"
#include "common/OwnedProcess.h"
#include "common/ScratchTree.h"

#include <shlwapi.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

class CBenchApp : public CWinApp
{
};

CBenchApp theBenchApp;

namespace {

const int kScrollPictures = BenchSize(10000, 200);
constexpr double kDecodeGoal = 1.1;
constexpr double kStepGoalMs = 100;

struct PictureSet
{
    PictureSet(const wchar_t* name_, LONG width_, LONG height_, int count_)
        : name(name_), width(width_), height(height_), count(count_)
    {
    }
    const wchar_t* name;
    LONG width;
    LONG height;
    int count;
    std::vector<std::wstring> files;
    std::wstring folder;
};

// The program's message loop: messages first, then one idle step at a time while none waits.
// Notes when each posted input message for the grid is handled and how long each idle step took.
class ProgramLoop
{
public:
    explicit ProgramLoop(CMainFrame* frame) : m_frame(frame) {}

    bool RunUntil(const std::function<bool()>& done, double seconds = 1800)
    {
        const double end = BenchSeconds() + seconds;
        LONG count = 0;
        while (BenchSeconds() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if ((msg.message == WM_MOUSEMOVE || msg.message == WM_MOUSEWHEEL) && msg.hwnd == inputTarget)
                    handled.push_back(BenchSeconds());
                const double handling = BenchSeconds();
                if (!AfxGetApp()->PreTranslateMessage(&msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
                if (BenchSeconds() - handling > longestMessage) {
                    longestMessage = BenchSeconds() - handling;
                    longestMessageId = msg.message;
                }
                count = 0;
            }
            if (done())
                return true;
            const double start = BenchSeconds();
            const bool more = m_frame->SendMessage(WMU_IDLESTEP, static_cast<WPARAM>(count++), 0) != 0;
            const double step = BenchSeconds() - start;
            longestStep = std::max(longestStep, step);
            stepsOver += step * 1000 > kStepGoalMs;
            ++steps;
            if (!more) {
                if (done())
                    return true;
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            }
        }
        return false;
    }
    // The idle loop has nothing left to do.
    bool Rested() const { return m_frame->GetWorkFlags() == 0; }
    void Reset()
    {
        handled.clear();
        longestStep = 0;
        longestMessage = 0;
        longestMessageId = 0;
        stepsOver = 0;
        steps = 0;
    }

    HWND inputTarget = nullptr;
    std::vector<double> handled;
    double longestStep = 0;
    // The message whose handling took longest, outside the idle steps.
    double longestMessage = 0;
    UINT longestMessageId = 0;
    int stepsOver = 0;
    int steps = 0;

private:
    CMainFrame* m_frame;
};

// A thread posting a message to the window every period while it lives.
class InputPoster
{
public:
    InputPoster(HWND target, UINT message, WPARAM wParam, DWORD periodMs)
        : m_thread([this, target, message, wParam, periodMs] {
              while (m_running) {
                  PostMessageW(target, message, wParam, MAKELPARAM(1, 1));
                  Sleep(periodMs);
              }
          })
    {
    }
    ~InputPoster()
    {
        m_running = false;
        m_thread.join();
    }

private:
    std::atomic<bool> m_running{true};
    std::thread m_thread;
};

// The items whose thumbnails were made while it listens: those the view announced holding one,
// and those that hold one when asked.
class MadeThumbnails : public CView
{
public:
    explicit MadeThumbnails(CKWDoc& doc) : m_doc(doc) { doc.AddView(this); }
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM hint, CObject* pHint) override
    {
        if (hint == HintListRebuilding)
            m_made.clear();
        if (hint == HintItemChanged)
            Note(HintIndex(pHint));
    }
    void NoteHeld()
    {
        for (int i = 0; i < m_doc.GetItemCount(); ++i)
            Note(i);
    }
    int Count()
    {
        NoteHeld();
        return static_cast<int>(m_made.size());
    }

private:
    void Note(int index)
    {
        const VyxFile* item = m_doc.GetItem(index);
        if (item && item->HasThumbnail())
            m_made.insert(index);
    }
    CKWDoc& m_doc;
    std::set<int> m_made;
};

struct Gaps
{
    double longest = 0;
    int over = 0;
};

Gaps InputGaps(const std::vector<double>& times)
{
    Gaps gaps;
    for (size_t i = 1; i < times.size(); ++i) {
        const double gap = times[i] - times[i - 1];
        gaps.longest = std::max(gaps.longest, gap);
        gaps.over += gap * 1000 > kStepGoalMs;
    }
    return gaps;
}

struct Program : ProgramFrame
{
    CKWView* view = nullptr;

    bool Start(const std::wstring& folder)
    {
        if (!ProgramFrame::Start(folder))
            return false;
        view = DYNAMIC_DOWNCAST(CKWView, frame->GetThumbPane());
        return view != nullptr;
    }
    void Open(const std::wstring& folder)
    {
        doc->OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
    }
    // The folder without a cache, only the shown cells' thumbnails made.
    void OpenShownOnly(const std::wstring& folder)
    {
        doc->ThumbsCreate = false;
        doc->CacheFolder = false;
        doc->AutoCacheFolder = false;
        Open(folder);
    }
    void Resize(int width, int height)
    {
        frame->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpWaitingMessages();
        view->Invalidate(FALSE);
        view->UpdateWindow();
    }
    // Every cell the grid shows holds its thumbnail.
    bool FirstScreenDone() const
    {
        const ThumbGridLayout& layout = view->GetLayout();
        if (doc->GetItemCount() == 0 || !layout.HasCells())
            return false;
        const int height = layout.GetCell().cy;
        const int first = layout.GetFirstIndexAt(view->GetPosition());
        const int end = std::min<int>(doc->GetItemCount(), (view->GetPosition() + layout.GetClient().cy + height - 1) /
                                                               height * layout.GetColumns());
        for (int i = first; i < end; ++i)
            if (!doc->GetItem(i)->HasThumbnail())
                return false;
        return end > first;
    }
    int CellsShown() const
    {
        const ThumbGridLayout& layout = view->GetLayout();
        if (!layout.HasCells())
            return 0;
        const int rows = (layout.GetClient().cy + layout.GetCell().cy - 1) / layout.GetCell().cy;
        return rows * layout.GetColumns();
    }
};

// The same files, each read once into memory and decoded by libjpeg at the scale the program
// chose for its cells.
double BareDecode(const PictureSet& set, SIZE box)
{
    const int reduction = std::max(set.width / std::max<LONG>(box.cx, 1), set.height / std::max<LONG>(box.cy, 1));
    const int denominator = JpegScaleDenominator(reduction);
    std::vector<BYTE> bytes, row;
    const double start = BenchSeconds();
    for (const std::wstring& path : set.files) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD size = GetFileSize(file, nullptr), read = 0;
        bytes.resize(size);
        ReadFile(file, bytes.data(), size, &read, nullptr);
        CloseHandle(file);
        bytes.resize(read);
        DecodeScaledBare(bytes, denominator, row);
    }
    return BenchSeconds() - start;
}

struct FolderFigures
{
    std::string label;
    int cellsShown = 0;
    double listing = 0;
    double firstScreen = 0;
    double allMade = 0;
    double bare = 0;
    double longestStep = 0;
    int stepsOver = 0;
    int steps = 0;
    int made = 0;
    int items = 0;
    Gaps input;
    bool done = false;
};

// Without a cache: the first screen, then every thumbnail, input arriving all the while.
FolderFigures MeasureFolder(Program& program, const PictureSet& set, const char* windowLabel)
{
    CKWDoc& doc = *program.doc;
    ProgramLoop loop(program.frame);
    loop.inputTarget = program.view->GetSafeHwnd();
    doc.ThumbsCreate = true;
    doc.CacheFolder = false;
    doc.AutoCacheFolder = false;
    FolderFigures figures;
    char label[96];
    std::snprintf(label, sizeof(label), "%d x %ls, %s", set.count, set.name, windowLabel);
    figures.label = label;
    MadeThumbnails made(doc);
    {
        const double start = BenchSeconds();
        program.Open(set.folder);
        figures.listing = BenchSeconds() - start;
        InputPoster input(program.view->GetSafeHwnd(), WM_MOUSEMOVE, 0, 16);
        figures.done = loop.RunUntil([&] { return program.FirstScreenDone(); });
        figures.firstScreen = BenchSeconds() - start;
        made.NoteHeld();
        figures.done = loop.RunUntil([&] { return loop.Rested(); }) && figures.done;
        figures.allMade = BenchSeconds() - start;
    }
    figures.items = doc.GetItemCount();
    figures.made = made.Count();
    figures.done = figures.done && figures.items == set.count && figures.made == figures.items;
    figures.cellsShown = program.CellsShown();
    figures.input = InputGaps(loop.handled);
    figures.longestStep = loop.longestStep;
    figures.stepsOver = loop.stepsOver;
    figures.steps = loop.steps;
    // Right after, so that both sides run under the same load of the machine.
    figures.bare = BareDecode(set, doc.GetItem(0)->GetBoxSize());

    return figures;
}

struct CacheFigures
{
    double listing = 0;
    double firstScreen = 0;
    bool done = false;
};

// With the cache: filled once, written on leaving, then the first screen again.
CacheFigures MeasureCachedFolder(Program& program, const PictureSet& set, const std::wstring& cacheRoot)
{
    CKWDoc& doc = *program.doc;
    ProgramLoop loop(program.frame);
    doc.ThumbsCreate = true;
    doc.CacheFolder = true;
    doc.AutoCacheFolder = true;
    doc.CacheDataFolder = cacheRoot.c_str();
    program.Open(set.folder);
    loop.RunUntil([&] { return loop.Rested(); });
    program.Open(cacheRoot);
    CacheFigures figures;
    const double start = BenchSeconds();
    program.Open(set.folder);
    figures.listing = BenchSeconds() - start;
    figures.done = loop.RunUntil([&] { return program.FirstScreenDone(); });
    figures.firstScreen = BenchSeconds() - start;
    doc.CacheFolder = false;
    doc.AutoCacheFolder = false;
    program.Open(cacheRoot);
    return figures;
}

struct WheelFigures
{
    Gaps input;
    double longestStep = 0;
    double longestMessage = 0;
    UINT longestMessageId = 0;
    int wheels = 0;
};

// The wheel turned one notch down every 200 ms for 15 s (2 s in a small run) over a long folder of
// large pictures,
// while the visible thumbnails are made; a mouse move every 16 ms shows how long input waited.
WheelFigures MeasureWheel(Program& program, const std::wstring& folder)
{
    program.OpenShownOnly(folder);
    ProgramLoop loop(program.frame);
    loop.inputTarget = program.view->GetSafeHwnd();
    loop.RunUntil([&] { return program.FirstScreenDone(); });
    loop.Reset();
    {
        InputPoster moves(program.view->GetSafeHwnd(), WM_MOUSEMOVE, 0, 16);
        InputPoster wheel(program.view->GetSafeHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                          200);
        loop.RunUntil([] { return false; }, BenchSize(15, 2));
    }
    WheelFigures figures;
    figures.input = InputGaps(loop.handled);
    figures.longestStep = loop.longestStep;
    figures.longestMessage = loop.longestMessage;
    figures.longestMessageId = loop.longestMessageId;
    figures.wheels = program.view->GetPosition();
    return figures;
}

struct ScrollFigures
{
    double longestPaint = 0;
    double longestStep = 0;
    double total = 0;
    int pages = 0;
    bool done = true;
};

ScrollFigures MeasureScrolling(Program& program, const std::wstring& folder)
{
    ProgramLoop loop(program.frame);
    program.OpenShownOnly(folder);
    loop.RunUntil([&] { return loop.Rested(); });
    loop.Reset();
    CKWView& view = *program.view;
    ScrollFigures figures;
    const double start = BenchSeconds();
    for (;;) {
        const int before = view.GetPosition();
        view.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
        if (view.GetPosition() == before)
            break;
        const double paint = BenchSeconds();
        view.UpdateWindow();
        figures.longestPaint = std::max(figures.longestPaint, BenchSeconds() - paint);
        figures.done = loop.RunUntil([&] { return loop.Rested(); }) && figures.done;
        ++figures.pages;
    }
    figures.total = BenchSeconds() - start;
    figures.longestStep = loop.longestStep;
    return figures;
}

void PrintFolder(const FolderFigures& f)
{
    const double ratio = f.bare > 0 ? f.allMade / f.bare : 0;
    BenchMeasured(f.done, "%s: %d thumbnails of %d items made", f.label.c_str(), f.made, f.items);
    if (BenchMeasured(f.allMade > 0 && f.bare > 0, "%s: the view or the bare side timed nothing", f.label.c_str())) {
        BenchGoal(ratio <= kDecodeGoal, "%s: all made in %.3fx the bare read and decode (goal: %.1fx)", f.label.c_str(),
                  ratio, kDecodeGoal);
        BenchGoal(f.input.over == 0, "%s: input waited over %.0f ms %d times, %.0f ms at the longest (goal: never)",
                  f.label.c_str(), kStepGoalMs, f.input.over, f.input.longest * 1000);
    }
    std::printf("  %s (%d cells a screen, %d thumbnails of %d items made):\n", f.label.c_str(), f.cellsShown, f.made,
                f.items);
    std::printf("    first screen %.3f s (the listing %.3f s of it); all made %.3f s; bare read and decode %.3f s: "
                "%.3fx (goal: within %.1fx)%s\n",
                f.firstScreen, f.listing, f.allMade, f.bare, ratio, kDecodeGoal, ratio <= kDecodeGoal ? "" : " over");
    std::printf("    longest idle step %.0f ms, %d of %d steps over %.0f ms; longest wait of input %.0f ms, %d waits "
                "over %.0f ms (goal: none)\n",
                f.longestStep * 1000, f.stepsOver, f.steps, kStepGoalMs, f.input.longest * 1000, f.input.over,
                kStepGoalMs);
}

// The file the run in a desktop of its own leaves its exit code in.
constexpr const wchar_t* kExitFileVariable = L"VYX_THUMBVIEW_EXIT_FILE";

// On a screen smaller than the window asked (a session's own is 1024 x 768), the run goes on in a
// virtual desktop of Wine's of 1920 x 1080 that it starts for itself; its exit code comes back
// through a file, since the desktop's program does not pass it on. -1 when it did not run there.
int RunInADesktopOfItsOwn()
{
    const std::wstring exitFile = BenchTempFile(L"thumbview_bench", L"exit.txt");
    DeleteFileW(exitFile.c_str());
    SetEnvironmentVariableW(kExitFileVariable, exitFile.c_str());
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const wchar_t* arguments = PathGetArgsW(GetCommandLineW());
    const std::wstring line = L"explorer.exe /desktop=vyx_thumbview_" + std::to_wstring(GetCurrentProcessId()) +
                              L",1920x1080 \"" + self + L"\" " + arguments;
    std::printf("the screen is %d x %d: the run goes on in a desktop of 1920 x 1080 of its own\n",
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::fflush(stdout);
    OwnedProcess desktop;
    if (!desktop.Start(line) || !desktop.Ended(INFINITE))
        return -1;
    int code = -1;
    if (FILE* file = _wfopen(exitFile.c_str(), L"r")) {
        if (std::fscanf(file, "%d", &code) != 1)
            code = -1;
        std::fclose(file);
    }
    DeleteFileW(exitFile.c_str());
    return code;
}

// The exit code, left for the run that started this one in a desktop of its own.
int Leave(int code)
{
    wchar_t exitFile[MAX_PATH] = {};
    if (GetEnvironmentVariableW(kExitFileVariable, exitFile, MAX_PATH))
        if (FILE* file = _wfopen(exitFile, L"w")) {
            std::fprintf(file, "%d\n", code);
            std::fclose(file);
        }
    return code;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool quick = argc > 1 && std::wstring(argv[1]) == L"quick";
    wchar_t started[MAX_PATH] = {};
    if (!BenchSmall() && !GetEnvironmentVariableW(kExitFileVariable, started, MAX_PATH) &&
        (GetSystemMetrics(SM_CXSCREEN) < 1920 || GetSystemMetrics(SM_CYSCREEN) < 1080)) {
        const int code = RunInADesktopOfItsOwn();
        if (code >= 0)
            return code;
        BenchNothing("the run in a desktop of 1920 x 1080 of its own did not end with an exit code");
        return BenchExitCode();
    }
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    const std::wstring root = BenchTempFile(L"thumbview_bench", L"files");
    CreateDirectoryW(root.c_str(), nullptr);
    const std::wstring settings = root + L"\\settings.ini";
    theAppIni.SetPath(settings.c_str());
    const ProfileRedirect profile;
    LoadOwnPlugins();

    std::printf("making the pictures...\n");
    std::vector<PictureSet> sets;
    if (BenchSmall())
        sets = {{L"2 MP", 1632, 1224, 30}};
    else
        sets = {{L"24 MP", 5664, 4248, 200}, {L"12 MP", 4000, 3000, 1000}, {L"2 MP", 1632, 1224, 1000}};
    for (PictureSet& set : sets) {
        set.folder = root + L"\\" + std::to_wstring(set.width);
        set.files = MakeCameraFolder(set.folder, set.count, set.width > 2000 ? 8 : 40, set.width, set.height);
    }
    // The folder the cache is measured on, and the one the grid opens at its first size.
    PictureSet& twelve = sets[sets.size() > 1 ? 1 : 0];
    const std::wstring wheelFolder = root + L"\\wheel";
    MakeCameraFolder(wheelFolder, BenchSize(3000, 60), 8, BenchSize(5664L, 1632L), BenchSize(4248L, 1224L));
    if (!quick)
        MakeCameraFolder(root + L"\\many", kScrollPictures, 100, 640, 480);
    const std::wstring cacheRoot = root + L"\\cache";
    CreateDirectoryW(cacheRoot.c_str(), nullptr);

    Program program;
    if (!program.Start(cacheRoot)) {
        BenchNothing("the program's frame could not be made");
        return Leave(BenchExitCode());
    }
    std::vector<FolderFigures> folders;
    CacheFigures cached;
    ScrollFigures scrolled;
    if (!quick) {
        CRect window;
        program.frame->GetWindowRect(&window);
        char label[64];
        std::snprintf(label, sizeof(label), "window %d x %d", window.Width(), window.Height());
        folders.push_back(MeasureFolder(program, twelve, label));
    }
    program.Resize(1920, 1080);
    CRect window;
    program.frame->GetWindowRect(&window);
    char label[64];
    std::snprintf(label, sizeof(label), "window %d x %d", window.Width(), window.Height());
    // A smaller screen clips the window, and its figures would be of fewer cells than asked.
    const bool fullWindow = window.Width() >= 1920 && window.Height() >= 1080;
    std::printf("the window asked 1920 x 1080 got %d x %d on a screen of %d x %d\n", window.Width(), window.Height(),
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (!BenchSmall())
        BenchMeasured(fullWindow, "the window got %d x %d of the 1920 x 1080 asked: the screen is %d x %d",
                      window.Width(), window.Height(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    for (PictureSet& set : sets)
        if (!quick || set.width != 4000)
            folders.push_back(MeasureFolder(program, set, label));
    if (!quick)
        cached = MeasureCachedFolder(program, twelve, cacheRoot);
    const WheelFigures wheel = MeasureWheel(program, wheelFolder);
    if (!quick)
        scrolled = MeasureScrolling(program, root + L"\\many");
    program.Close();

    std::printf("\nThumbnails made by the view without a cache, against the bare side of the same files:\n");
    for (const FolderFigures& f : folders)
        PrintFolder(f);
    if (!quick) {
        std::printf("%d x %ls with the cache filled, %s: first screen %.3f s, the listing %.3f s of it (goal: "
                    "under 0.3 s)\n",
                    twelve.count, twelve.name, label, cached.firstScreen, cached.listing);
        if (BenchMeasured(cached.done, "the first screen from the cache was not shown"))
            BenchGoal(cached.firstScreen < 0.3, "the first screen from the cache took %.3f s (goal: under 0.3 s)",
                      cached.firstScreen);
    }
    std::printf("wheel turned every 200 ms for 15 s over 24-MP pictures, %s: input waited over %.0f ms %d times "
                "(goal: never), longest %.0f ms; longest idle step %.0f ms, longest message 0x%X %.0f ms; the view "
                "moved %d pixels\n",
                label, kStepGoalMs, wheel.input.over, wheel.input.longest * 1000, wheel.longestStep * 1000,
                wheel.longestMessageId, wheel.longestMessage * 1000, wheel.wheels);
    if (BenchMeasured(wheel.wheels > 0, "the wheel did not move the view"))
        BenchGoal(wheel.input.over == 0, "under the wheel input waited over %.0f ms %d times (goal: never)",
                  kStepGoalMs, wheel.input.over);
    if (!quick)
        std::printf("%d pictures scrolled top to bottom, %d pages in %.2f s: slowest paint %.1f ms, slowest idle step "
                    "%.1f ms (goal: no pass over 50 ms)\n",
                    kScrollPictures, scrolled.pages, scrolled.total, scrolled.longestPaint * 1000,
                    scrolled.longestStep * 1000);
    if (!quick && BenchMeasured(scrolled.done && scrolled.pages > 0, "the grid was not scrolled page by page"))
        BenchGoal(scrolled.longestPaint <= 0.05 && scrolled.longestStep <= 0.05,
                  "scrolling, the slowest paint took %.1f ms and the slowest idle step %.1f ms (goal: 50 ms)",
                  scrolled.longestPaint * 1000, scrolled.longestStep * 1000);
    RemoveTree(root);
    return Leave(BenchExitCode());
}
