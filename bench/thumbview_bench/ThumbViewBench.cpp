// The thumbnail view as a user waits for it, in one process: the program's frame and views made
// by its document template, the idle loop run as the program runs it, on a folder of 1,000 JPEG
// pictures of 12 megapixels made by the benchmark. Without a cache: the time until every shown
// cell holds its thumbnail and until the idle-time pass has made all 1,000, beside the bare
// scaled decode of the same files; the longest time the loop left input waiting meanwhile. With
// the cache filled: the first screen again. And a folder of 10,000 pictures scrolled from top to
// bottom a page at a time: the slowest paint and the slowest idle step.
#include "browser/CKWView.h"
#include "browser/CMainFrame.h"
#include "browser/FrameMessages.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include "../BenchClock.h"
#include "../BenchJpeg.h"
#include "../OwnPlugins.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class CBenchApp : public CWinApp
{
};

CBenchApp theBenchApp;

namespace {

constexpr int kPictures = 1000;
constexpr int kScrollPictures = 10000;

// The program's message loop: messages first, then one idle step at a time while none waits.
// Notes when each posted mouse move for the grid is handled and how long each idle step took.
class ProgramLoop
{
public:
    explicit ProgramLoop(CMainFrame* frame) : m_frame(frame) {}

    bool RunUntil(const std::function<bool()>& done, double seconds = 900)
    {
        const double end = BenchSeconds() + seconds;
        LONG count = 0;
        while (BenchSeconds() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_MOUSEMOVE && msg.hwnd == inputTarget)
                    handled.push_back(BenchSeconds());
                if (!AfxGetApp()->PreTranslateMessage(&msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
                count = 0;
            }
            if (done())
                return true;
            const double start = BenchSeconds();
            const bool more = m_frame->SendMessage(WMU_IDLESTEP, static_cast<WPARAM>(count++), 0) != 0;
            longestStep = std::max(longestStep, BenchSeconds() - start);
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

    HWND inputTarget = nullptr;
    std::vector<double> handled;
    double longestStep = 0;

private:
    CMainFrame* m_frame;
};

// A thread posting a mouse move to the window every few milliseconds while it lives.
class InputPoster
{
public:
    explicit InputPoster(HWND target)
        : m_thread([this, target] {
              while (m_running) {
                  PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
                  Sleep(5);
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

double LongestGap(const std::vector<double>& times)
{
    double gap = 0;
    for (size_t i = 1; i < times.size(); ++i)
        gap = std::max(gap, times[i] - times[i - 1]);
    return gap;
}

struct Program
{
    CSingleDocTemplate docTemplate{IDR_MAINFRAME, RUNTIME_CLASS(CKWDoc), RUNTIME_CLASS(CMainFrame),
                                   RUNTIME_CLASS(CKWView)};
    CKWDoc* doc = nullptr;
    CMainFrame* frame = nullptr;
    CKWView* view = nullptr;

    bool Start(const std::wstring& folder)
    {
        doc = DYNAMIC_DOWNCAST(CKWDoc, docTemplate.OpenDocumentFile(folder.c_str()));
        frame = DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
        if (!doc || !frame)
            return false;
        frame->ShowWindow(SW_SHOW);
        view = DYNAMIC_DOWNCAST(CKWView, frame->GetThumbPane());
        return view != nullptr;
    }
    void Close()
    {
        if (frame && IsWindow(frame->GetSafeHwnd()))
            frame->SendMessage(WM_CLOSE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    void Open(const std::wstring& folder)
    {
        doc->OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
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
};

struct Figures
{
    double listing = 0;
    double firstScreen = 0;
    double allMade = 0;
    double bare = 0;
    double gap = 0;
    double longestMakingStep = 0;
    double cachedListing = 0;
    double cachedFirstScreen = 0;
    double longestPaint = 0;
    double longestScrollStep = 0;
    double scrollTotal = 0;
    int pages = 0;
};

void MeasureFolder(Program& program, const std::wstring& folder, const std::vector<std::wstring>& files,
                   const std::wstring& cacheRoot, Figures& figures)
{
    CKWDoc& doc = *program.doc;
    ProgramLoop loop(program.frame);
    loop.inputTarget = program.view->GetSafeHwnd();

    // Without a cache: the first screen, then every thumbnail, input waiting all the while.
    doc.ThumbsCreate = true;
    doc.CacheFolder = false;
    doc.AutoCacheFolder = false;
    {
        const double start = BenchSeconds();
        program.Open(folder);
        figures.listing = BenchSeconds() - start;
        // Input arrives while the thumbnails are made (the listing before is the scan's).
        InputPoster input(program.view->GetSafeHwnd());
        loop.RunUntil([&] { return program.FirstScreenDone(); });
        figures.firstScreen = BenchSeconds() - start;
        loop.RunUntil([&] { return loop.Rested(); });
        figures.allMade = BenchSeconds() - start;
    }
    figures.gap = LongestGap(loop.handled);
    figures.longestMakingStep = loop.longestStep;

    // The same files decoded bare, at the scale the program chose for the cells.
    const SIZE box = doc.GetItem(0)->GetBoxSize();
    const int reduction = std::max(4000 / std::max<LONG>(box.cx, 1), 3000 / std::max<LONG>(box.cy, 1));
    const int denominator = JpegScaleDenominator(reduction);
    std::vector<BYTE> bytes, row;
    const double start = BenchSeconds();
    for (const std::wstring& path : files) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD size = GetFileSize(file, nullptr), read = 0;
        bytes.resize(size);
        ReadFile(file, bytes.data(), size, &read, nullptr);
        CloseHandle(file);
        bytes.resize(read);
        DecodeScaledBare(bytes, denominator, row);
    }
    figures.bare = BenchSeconds() - start;

    // With the cache: filled once, written on leaving, then the first screen again.
    doc.CacheFolder = true;
    doc.AutoCacheFolder = true;
    doc.CacheDataFolder = cacheRoot.c_str();
    program.Open(folder);
    loop.RunUntil([&] { return loop.Rested(); });
    program.Open(cacheRoot);
    const double cached = BenchSeconds();
    program.Open(folder);
    figures.cachedListing = BenchSeconds() - cached;
    loop.RunUntil([&] { return program.FirstScreenDone(); });
    figures.cachedFirstScreen = BenchSeconds() - cached;
}

void MeasureScrolling(Program& program, const std::wstring& folder, Figures& figures)
{
    CKWDoc& doc = *program.doc;
    doc.ThumbsCreate = false;
    doc.CacheFolder = false;
    doc.AutoCacheFolder = false;
    ProgramLoop loop(program.frame);
    program.Open(folder);
    loop.RunUntil([&] { return loop.Rested(); });
    loop.longestStep = 0;
    CKWView& view = *program.view;
    const double start = BenchSeconds();
    for (;;) {
        const int before = view.GetPosition();
        view.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
        if (view.GetPosition() == before)
            break;
        const double paint = BenchSeconds();
        view.UpdateWindow();
        figures.longestPaint = std::max(figures.longestPaint, BenchSeconds() - paint);
        loop.RunUntil([&] { return loop.Rested(); });
        ++figures.pages;
    }
    figures.scrollTotal = BenchSeconds() - start;
    figures.longestScrollStep = loop.longestStep;
}

} // namespace

int wmain(int, wchar_t**)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    const std::wstring root = BenchTempFile(L"thumbview_bench", L"files");
    CreateDirectoryW(root.c_str(), nullptr);
    const std::wstring settings = root + L"\\settings.ini";
    theAppIni.SetPath(settings.c_str());
    free(const_cast<LPWSTR>(theBenchApp.m_pszProfileName));
    theBenchApp.m_pszProfileName = _wcsdup(settings.c_str());
    LoadOwnPlugins();

    std::printf("making the pictures...\n");
    const std::vector<std::wstring> files =
        MakePictureFolder(root + L"\\pictures", kPictures, MakePhotoJpeg(4000, 3000));
    MakePictureFolder(root + L"\\many", kScrollPictures, MakePhotoJpeg(640, 480));
    const std::wstring cacheRoot = root + L"\\cache";
    CreateDirectoryW(cacheRoot.c_str(), nullptr);

    Figures figures;
    Program program;
    if (!program.Start(cacheRoot)) {
        std::printf("the program's frame could not be made\n");
        return 1;
    }
    MeasureFolder(program, root + L"\\pictures", files, cacheRoot, figures);
    MeasureScrolling(program, root + L"\\many", figures);
    program.Close();

    std::printf("\n%d pictures of 12 megapixels in the thumbnail view:\n", kPictures);
    std::printf("  no cache: first screen %.3f s (the listing %.3f s of it); all %d thumbnails made %.3f s\n",
                figures.firstScreen, figures.listing, kPictures, figures.allMade);
    std::printf("  bare scaled decode of the same files %.3f s: the view takes %.2fx (goal: within 1.3x)\n",
                figures.bare, figures.bare > 0 ? figures.allMade / figures.bare : 0);
    std::printf("  longest wait of input while thumbnails were made %.0f ms, longest idle step %.0f ms (goal: 100 ms "
                "at most)\n",
                figures.gap * 1000, figures.longestMakingStep * 1000);
    std::printf("  cache filled: first screen %.3f s, the listing %.3f s of it (goal: under 0.3 s)\n",
                figures.cachedFirstScreen, figures.cachedListing);
    std::printf("%d pictures scrolled top to bottom, %d pages in %.2f s: slowest paint %.1f ms, slowest idle step "
                "%.1f ms (goal: no pass over 50 ms)\n",
                kScrollPictures, figures.pages, figures.scrollTotal, figures.longestPaint * 1000,
                figures.longestScrollStep * 1000);
    RemoveFolderTree(root);
    return 0;
}
