#include "fileops/CPrintOutDialog.h"

#include "OutputWindowUtil.h"

#include "res/resource.h"

#include <commctrl.h>

#include <memory>

namespace {

using namespace outputtest;

// Where a page's drawing went: the box round every pixel that is not white, and the colours at
// the centres of its upper and lower halves.
struct PageShot
{
    RECT ink;
    COLORREF upper;
    COLORREF lower;
};

// A print job whose printer is a memory page the size of the screen (a memory DC reports the
// screen's size): the document and page calls are recorded, each page is kept as a shot, and
// tests choose the device's capabilities and the results of its calls.
class RecordingPrintJob : public CPrintOutDialog
{
public:
    explicit RecordingPrintJob(CWnd* parent = nullptr) : CPrintOutDialog(parent)
    {
        CDC screen;
        screen.CreateDC(L"DISPLAY", nullptr, nullptr, nullptr);
        width = screen.GetDeviceCaps(HORZRES);
        height = screen.GetDeviceCaps(VERTRES);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        dc.CreateCompatibleDC(&screen);
        m_old = SelectObject(dc.GetSafeHdc(), m_bitmap);
    }
    ~RecordingPrintJob() override
    {
        SelectObject(dc.GetSafeHdc(), m_old);
        DeleteObject(m_bitmap);
    }

    CDC dc;
    int width = 0;
    int height = 0;
    int caps = RC_BITBLT | RC_BITMAP64 | RC_DIBTODEV | RC_STRETCHDIB;
    int startDoc = 1;
    int endDoc = 1;
    DWORD failureError = 0;                                  // the thread's last error after a failing call
    std::function<int(int)> endPage = [](int) { return 1; }; // by page number
    std::vector<std::string> calls;
    std::vector<PageShot> pages;

protected:
    int DeviceCaps(CDC* device, int index) override
    {
        return index == RASTERCAPS ? caps : CPrintOutDialog::DeviceCaps(device, index);
    }
    int DeviceStartDoc(CDC*, DOCINFOW* info) override
    {
        calls.push_back(info && info->lpszDocName && wcscmp(info->lpszDocName, L"Vesko Print") == 0 ? "StartDoc"
                                                                                                    : "StartDoc?");
        return Result(startDoc);
    }
    int DeviceStartPage(CDC*) override
    {
        calls.push_back("StartPage");
        std::fill(m_bits, m_bits + width * height, 0xFFFFFF);
        return 1;
    }
    int DeviceEndPage(CDC*) override
    {
        calls.push_back("EndPage");
        GdiFlush();
        PageShot shot = {{width, height, 0, 0}, Pixel(width / 2, height / 4), Pixel(width / 2, height * 3 / 4)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((m_bits[y * width + x] & 0xFFFFFF) != 0xFFFFFF) {
                    shot.ink.left = std::min<LONG>(shot.ink.left, x);
                    shot.ink.top = std::min<LONG>(shot.ink.top, y);
                    shot.ink.right = std::max<LONG>(shot.ink.right, x + 1);
                    shot.ink.bottom = std::max<LONG>(shot.ink.bottom, y + 1);
                }
        pages.push_back(shot);
        return Result(endPage(static_cast<int>(pages.size())));
    }
    int DeviceEndDoc(CDC*) override
    {
        calls.push_back("EndDoc");
        return Result(endDoc);
    }
    int DeviceAbortDoc(CDC*) override
    {
        calls.push_back("AbortDoc");
        return 1;
    }

private:
    int Result(int result) const
    {
        if (result <= 0)
            SetLastError(failureError);
        return result;
    }
    COLORREF Pixel(int x, int y) const
    {
        DWORD bgr = m_bits[y * width + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

    HBITMAP m_bitmap = nullptr;
    DWORD* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};

std::vector<std::string> PageCalls(int pages, const char* end)
{
    std::vector<std::string> calls = {"StartDoc"};
    for (int i = 0; i < pages; ++i) {
        calls.push_back("StartPage");
        calls.push_back("EndPage");
    }
    calls.push_back(end);
    return calls;
}

class PrintJob : public testing::Test
{
protected:
    std::wstring Picture(const wchar_t* name, LONG width, LONG height, COLORREF colour)
    {
        return PutPicture(folder / name, width, height, colour);
    }
    // Items for three pictures: a wide red one, a tall blue one and a square green one.
    void AddThreePictures(RecordingPrintJob& job)
    {
        const std::wstring paths[] = {Picture(L"wide.bmp", 300, 100, RGB(255, 0, 0)),
                                      Picture(L"tall.bmp", 100, 300, RGB(0, 0, 255)),
                                      Picture(L"square.bmp", 200, 200, RGB(0, 255, 0))};
        for (const std::wstring& path : paths)
            job.AddItem(pictures.Add(path));
    }
    std::wstring Definition(const std::wstring& text)
    {
        WriteText(folder / L"job.dps", text);
        return folder / L"job.dps";
    }

    ScratchSettings settings;
    ScratchFolder folder{L"vyxprint"};
    OwnPlugins plugins;
    Pictures pictures;
    CTestHostWnd owner;
};

// Within a pixel or two of the rectangle.
void ExpectNear(const RECT& expected, const RECT& actual)
{
    EXPECT_NEAR(expected.left, actual.left, 2);
    EXPECT_NEAR(expected.top, actual.top, 2);
    EXPECT_NEAR(expected.right, actual.right, 2);
    EXPECT_NEAR(expected.bottom, actual.bottom, 2);
}

TEST_F(PrintJob, WithoutADefinitionEachPictureFillsItsOwnPageCentred)
{
    RecordingPrintJob job(&owner);
    AddThreePictures(job);
    ASSERT_TRUE(job.Create());
    ASSERT_EQ(0, job.Print(&job.dc, L""));
    EXPECT_EQ(PageCalls(3, "EndDoc"), job.calls);
    const int w = job.width, h = job.height;
    // Scaled by the smaller ratio and centred; the bands leave no gap.
    const int wideHeight = std::min(w / 3, h), tallWidth = std::min(h / 3, w), square = std::min(w, h);
    ExpectNear({(w - wideHeight * 3) / 2, (h - wideHeight) / 2, (w + wideHeight * 3) / 2, (h + wideHeight) / 2},
               job.pages[0].ink);
    ExpectNear({(w - tallWidth) / 2, (h - tallWidth * 3) / 2, (w + tallWidth) / 2, (h + tallWidth * 3) / 2},
               job.pages[1].ink);
    ExpectNear({(w - square) / 2, (h - square) / 2, (w + square) / 2, (h + square) / 2}, job.pages[2].ink);
    EXPECT_EQ(RGB(0, 0, 255), job.pages[1].upper);
    EXPECT_EQ(CString(L"square.bmp"), TextOf(GetDlgItem(job.GetSafeHwnd(), IDC_PRINT_JOB_NAME)));
    EXPECT_EQ(CString(L"100%"), TextOf(GetDlgItem(job.GetSafeHwnd(), IDC_PRINT_JOB_PERCENT)));
    EXPECT_EQ(3, SendDlgItemMessageW(job.GetSafeHwnd(), IDC_PRINT_JOB_BAR, PBM_GETPOS, 0, 0));
}

TEST_F(PrintJob, AScriptLaysOutPagesAndAsksForTheNextFiles)
{
    RecordingPrintJob job(&owner);
    for (COLORREF colour : {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0)})
        job.AddItem(pictures.Add(Picture((std::to_wstring(colour) + L".bmp").c_str(), 40, 40, colour)));
    ASSERT_TRUE(job.Create());
    // Two pictures a page: one in the upper half, the next in the lower.
    std::wstring script = Definition(L"DRAWIMAGE (0,0)-($_WIDTH,$_HEIGHT/2), 5\n"
                                     L"NEXTFILE\n"
                                     L"DRAWIMAGE (0,$_HEIGHT/2)-($_WIDTH,$_HEIGHT), 5\n"
                                     L"NEXTFILE\n");
    ASSERT_EQ(0, job.Print(&job.dc, script.c_str()));
    EXPECT_EQ(PageCalls(2, "EndDoc"), job.calls);
    EXPECT_EQ(RGB(255, 0, 0), job.pages[0].upper);
    EXPECT_EQ(RGB(0, 0, 255), job.pages[0].lower);
    EXPECT_EQ(RGB(0, 255, 0), job.pages[1].upper);
    EXPECT_EQ(RGB(255, 255, 255), job.pages[1].lower); // no picture was left for it
}

TEST_F(PrintJob, FailuresBeforeTheDocumentStartNoDocument)
{
    struct Case
    {
        int caps;
        const wchar_t* script;
        int result;
    };
    const int all = RC_BITBLT | RC_BITMAP64 | RC_DIBTODEV | RC_STRETCHDIB;
    const Case cases[] = {{all, L"DRAWIMAGE (0,0)-(9,9)\nBOX COLOR_RED\n", IDS_PRINT_DEFINITION_FAILED},
                          {all & ~RC_BITBLT, L"", IDS_PRINT_NO_BITBLT},
                          {all & ~RC_BITMAP64, L"", IDS_PRINT_NO_BITMAP64K},
                          {all & ~RC_DIBTODEV, L"", IDS_PRINT_NO_DIBTODEV},
                          {all & ~RC_STRETCHDIB, L"", IDS_PRINT_NO_STRETCHDIB}};
    for (const Case& c : cases) {
        RecordingPrintJob job;
        AddThreePictures(job);
        job.caps = c.caps;
        std::wstring script = *c.script ? Definition(c.script) : L"";
        EXPECT_EQ(c.result, job.Print(&job.dc, script.c_str())) << c.result;
        EXPECT_TRUE(job.calls.empty()) << c.result;
    }
    // A definition file that cannot be read at all fails the same way.
    RecordingPrintJob job;
    EXPECT_EQ(IDS_PRINT_DEFINITION_FAILED, job.Print(&job.dc, (folder / L"missing.dps").c_str()));
    // And without a printer nothing is started.
    EXPECT_EQ(IDS_PRINT_FAILED, job.Print(nullptr, L""));
    EXPECT_TRUE(job.calls.empty());
}

TEST_F(PrintJob, AbortingOnPageTwoCancelsTheDocumentAfterThatPage)
{
    RecordingPrintJob job(&owner);
    AddThreePictures(job);
    ASSERT_TRUE(job.Create());
    job.endPage = [&job](int page) {
        if (page == 2) // the user presses "中止(&A)" while page 2 prints
            PostMessageW(job.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(job.GetSafeHwnd(), IDCANCEL)));
        return 1;
    };
    EXPECT_EQ(IDS_PRINT_ABORTED, job.Print(&job.dc, L""));
    EXPECT_EQ(PageCalls(2, "AbortDoc"), job.calls);
}

TEST_F(PrintJob, AScriptFailureKeepsThePagesPrintedAndIsReported)
{
    RecordingPrintJob job(&owner);
    AddThreePictures(job);
    ASSERT_TRUE(job.Create());
    // A box continued from no point fails the script on the second page.
    std::wstring script = Definition(L"DRAWIMAGE (0,0)-($_WIDTH,$_HEIGHT), 5\nIF $_PAGE == 2\n BOX -(20,20)\nENDIF\n");
    EXPECT_EQ(IDS_PRINT_DEFINITION_FAILED, job.Print(&job.dc, script.c_str()));
    EXPECT_EQ(PageCalls(2, "EndDoc"), job.calls);
    EXPECT_EQ(RGB(0, 0, 255), job.pages[1].upper);
}

TEST_F(PrintJob, PrinterCallsThatFailAreReportedAsFailures)
{
    struct Case
    {
        int startDoc, failingPage, endDoc;
        DWORD lastError;
        int result;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {0, 0, 1, 0, IDS_PRINT_FAILED, {"StartDoc"}},
        {SP_ERROR, 0, 1, 0, IDS_PRINT_FAILED, {"StartDoc"}},
        {SP_OUTOFDISK, 0, 1, 0, IDS_PRINT_NO_DISK, {"StartDoc"}},
        {SP_OUTOFMEMORY, 0, 1, 0, IDS_PRINT_NO_MEMORY, {"StartDoc"}},
        {-7, 0, 1, 0, IDS_PRINT_FAILED, {"StartDoc"}},
        {0, 0, 1, ERROR_CANCELLED, IDS_PRINT_ABORTED, {"StartDoc"}},
        {1, 2, 1, 0, IDS_PRINT_FAILED, PageCalls(2, "AbortDoc")},
        {1, 0, 0, 0, IDS_PRINT_FAILED, PageCalls(3, "EndDoc")},
    };
    for (const Case& c : cases) {
        RecordingPrintJob job;
        AddThreePictures(job);
        job.startDoc = c.startDoc;
        job.endDoc = c.endDoc;
        job.endPage = [&c](int page) { return page == c.failingPage ? 0 : 1; };
        job.failureError = c.lastError;
        EXPECT_EQ(c.result, job.Print(&job.dc, L"")) << c.startDoc << "/" << c.failingPage;
        EXPECT_EQ(c.calls, job.calls) << c.startDoc << "/" << c.failingPage;
    }
}

TEST_F(PrintJob, BandHeightsBelowOneFallBackTo500)
{
    for (const wchar_t* stored : {L"0", L"-3", L"many"}) {
        WriteAppIniString(L"Print", L"Raster", stored);
        EXPECT_EQ(500, CPrintOutDialog::LoadBandHeight()) << stored;
    }
    WriteAppIniString(L"Print", L"Raster", L"250");
    RecordingPrintJob job(&owner);
    EXPECT_EQ(250, job.m_bandHeight);
    ASSERT_TRUE(job.Create());
    job.m_bandHeight = 120;
    job.DestroyWindow();
    EXPECT_EQ(120, GetAppIniInt(L"Print", L"Raster", 0));
}

TEST_F(PrintJob, ThePrintWindowDisablesItsOwnerAndOwnsItsItems)
{
    auto job = std::make_unique<RecordingPrintJob>(&owner);
    {
        Pictures gone;
        job->AddItem(gone.Add(Picture(L"red.bmp", 30, 30, RGB(255, 0, 0))));
    } // the document's items are gone while the job runs
    ASSERT_TRUE(job->Create());
    EXPECT_FALSE(owner.IsWindowEnabled());
    EXPECT_EQ(0, job->Print(&job->dc, L""));
    EXPECT_EQ(RGB(255, 0, 0), job->pages[0].upper);
    job->DestroyWindow();
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(PrintJob, APictureWindowsPictureGivesOnePageAndStaysItsOwn)
{
    RecordingPrintJob job(&owner);
    VyxFile* item = pictures.Add(Picture(L"shown.bmp", 30, 30, RGB(255, 0, 0)));
    job.AddItem(item);
    dibtest::Dib shown(dibtest::Make24(20, 10, [](LONG, LONG) { return RGB(0, 0, 255); }));
    job.SetImage(shown);
    ASSERT_TRUE(job.Create());
    EXPECT_EQ(0, job.Print(&job.dc, L""));
    EXPECT_EQ(PageCalls(1, "EndDoc"), job.calls);
    EXPECT_EQ(RGB(0, 0, 255), job.pages[0].upper);
    EXPECT_EQ(20, GetDibWidth(shown)); // still the caller's, still whole
}

} // namespace
