// Printing to the test session's PDF printer. Each job's PDF is left in the output folder with a
// description of what its pages must show (page count, and regions that must be filled with a
// colour, hold ink or stay blank, in thousandths of the page); the printed-pages check that
// follows this program renders the pages and compares.
#include "fileops/CPrintOutDialog.h"
#include "common/SetUpParts.h"

#include "OutputWindowUtil.h"

#include "res/resource.h"

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace {

using namespace outputtest;

using namespace printed;

// Page geometry of the printer in thousandths of the paper, for the expectations.
struct Paper
{
    int offsetX, offsetY, width, height, printableWidth, printableHeight;
    // As the scripts convert millimetres: whole dots per inch from the printable size.
    double dotsPerMmX, dotsPerMmY;
    explicit Paper(CDC& dc)
        : offsetX(dc.GetDeviceCaps(PHYSICALOFFSETX)), offsetY(dc.GetDeviceCaps(PHYSICALOFFSETY)),
          width(dc.GetDeviceCaps(PHYSICALWIDTH)), height(dc.GetDeviceCaps(PHYSICALHEIGHT)),
          printableWidth(dc.GetDeviceCaps(HORZRES)), printableHeight(dc.GetDeviceCaps(VERTRES)),
          dotsPerMmX(std::floor(printableWidth / (dc.GetDeviceCaps(HORZSIZE) / 25.4)) / 25.4),
          dotsPerMmY(std::floor(printableHeight / (dc.GetDeviceCaps(VERTSIZE) / 25.4)) / 25.4)
    {
    }
    // A rectangle in millimetres from the printable area's corner.
    std::string RegionMm(double left, double top, double right, double bottom, double shrink) const
    {
        return Region(left * dotsPerMmX, top * dotsPerMmY, right * dotsPerMmX, bottom * dotsPerMmY, shrink);
    }
    // A rectangle in device pixels, shrunk by a share of its size on every side, in thousandths.
    std::string Region(double left, double top, double right, double bottom, double shrink = 0.1) const
    {
        double dx = (right - left) * shrink, dy = (bottom - top) * shrink;
        std::ostringstream text;
        text << static_cast<int>((offsetX + left + dx) * 1000 / width) << ' '
             << static_cast<int>((offsetY + top + dy) * 1000 / height) << ' '
             << static_cast<int>((offsetX + right - dx) * 1000 / width) << ' '
             << static_cast<int>((offsetY + bottom - dy) * 1000 / height);
        return text.str();
    }
    // Where a picture of w x h goes when it is fitted and centred.
    void Fit(int w, int h, double* left, double* top, double* right, double* bottom) const
    {
        double scale = std::min(static_cast<double>(printableWidth) / w, static_cast<double>(printableHeight) / h);
        *left = (printableWidth - w * scale) / 2;
        *top = (printableHeight - h * scale) / 2;
        *right = printableWidth - *left;
        *bottom = printableHeight - *top;
    }
};

class PdfPrinter : public testing::Test
{
protected:
    // What an earlier run left must never pass the check for this one.
    static void SetUpTestSuite()
    {
        std::wstring output = Output();
        CreateDirectoryW(WindowsPathOf(VYX_FILEOPS_OUTPUT).c_str(), nullptr);
        CreateDirectoryW(output.c_str(), nullptr);
        for (const wchar_t* pattern : {L"\\*.pdf", L"\\*.expect"}) {
            WIN32_FIND_DATAW found;
            HANDLE find = FindFirstFileW((output + pattern).c_str(), &found);
            if (find == INVALID_HANDLE_VALUE)
                continue;
            do
                DeleteFileW((output + L"\\" + found.cFileName).c_str());
            while (FindNextFileW(find, &found));
            FindClose(find);
        }
    }
    static std::wstring Output() { return WindowsPathOf(VYX_FILEOPS_OUTPUT) + L"\\printed"; }

    void SetUp() override
    {
        m_output = Output();
        m_pdfOut = PdfOutFolder();
        VYX_NEEDS_SETUP_PART(!m_pdfOut.empty(), "a PDF printer (CUPS and cups-pdf)");
        ASSERT_TRUE(m_defaults.GetDefaults()) << "the PDF printer is not the default printer";
        ASSERT_TRUE(m_printer.Attach(m_defaults.CreatePrinterDC()));
    }
    void TearDown() override
    {
        if (m_printer.GetSafeHdc())
            m_printer.DeleteDC();
    }

    // Prints the items through the job window, takes the PDF into the output folder under the
    // name and writes the expectations beside it; the job's result.
    int PrintAndKeep(const std::vector<std::wstring>& pictures, const wchar_t* definition, const char* name,
                     const std::string& expectations)
    {
        std::set<std::wstring> earlier = PdfFiles(m_pdfOut);
        int result;
        {
            CPrintOutDialog job(&m_owner);
            for (const std::wstring& picture : pictures)
                job.AddItem(m_items.Add(picture));
            EXPECT_TRUE(job.Create());
            result = job.Print(&m_printer, definition);
        }
        std::wstring pdf = WaitForNewPdf(m_pdfOut, earlier, 90000);
        EXPECT_FALSE(pdf.empty()) << "no PDF came from the printer";
        std::wstring kept = m_output + L"\\" + std::wstring(name, name + strlen(name));
        EXPECT_TRUE(CopyFileW(pdf.c_str(), (kept + L".pdf").c_str(), FALSE));
        std::ofstream((kept + L".expect").c_str(), std::ios::binary) << expectations;
        return result;
    }

    ScratchSettings m_settings;
    ScratchFolder m_folder{L"vyxpdf"};
    OwnPlugins m_plugins;
    Pictures m_items;
    CTestHostWnd m_owner;
    CPrintDialog m_defaults{FALSE};
    CDC m_printer;
    std::wstring m_pdfOut;
    std::wstring m_output;
};

TEST_F(PdfPrinter, EachPictureFillsItsOwnPageCentred)
{
    struct Picture
    {
        const wchar_t* name;
        int width, height;
        COLORREF colour;
    };
    const Picture pictures[] = {{L"wide.bmp", 300, 100, RGB(255, 0, 0)},
                                {L"tall.bmp", 100, 300, RGB(0, 0, 255)},
                                {L"square.bmp", 200, 200, RGB(0, 160, 0)}};
    Paper paper(m_printer);
    std::vector<std::wstring> paths;
    std::ostringstream expect;
    expect << "pages 3\n";
    int page = 1;
    for (const Picture& p : pictures) {
        paths.push_back(PutPicture(m_folder / p.name, p.width, p.height, p.colour));
        double left, top, right, bottom;
        paper.Fit(p.width, p.height, &left, &top, &right, &bottom);
        expect << "fill " << page << ' ' << int(GetRValue(p.colour)) << ' ' << int(GetGValue(p.colour)) << ' '
               << int(GetBValue(p.colour)) << ' ' << paper.Region(left, top, right, bottom) << '\n';
        // Beside the picture the paper stays white.
        if (top > paper.printableHeight / 20)
            expect << "blank " << page << ' ' << paper.Region(0, 0, paper.printableWidth, top, 0.15) << '\n';
        if (left > paper.printableWidth / 20)
            expect << "blank " << page << ' ' << paper.Region(0, 0, left, paper.printableHeight, 0.15) << '\n';
        ++page;
    }
    EXPECT_EQ(0, PrintAndKeep(paths, L"", "plain", expect.str()));
}

TEST_F(PdfPrinter, ADefinitionDrawsTheNameAboveThePicture)
{
    Paper paper(m_printer);
    std::vector<std::wstring> paths = {PutPicture(m_folder / L"赤い写真.bmp", 120, 120, RGB(255, 0, 0)),
                                       PutPicture(m_folder / L"青い写真.bmp", 120, 120, RGB(0, 0, 255))};
    // Millimetres on the page: the name in a band at the top, the picture in a box below it.
    WriteText(m_folder / L"layout.dps", L"DRAWTEXT (20,15)-(190,35), \"$(FileName)\", 0, \"ＭＳ ゴシック\", "
                                        L"#000000, 28, 700\n"
                                        L"DRAWIMAGE (20,60)-(190,230), 5\n");
    std::ostringstream expect;
    expect << "pages 2\n";
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255)};
    for (int page = 1; page <= 2; ++page) {
        // The picture is square: it fills 170 x 170 mm of its box, centred.
        expect << "fill " << page << ' ' << int(GetRValue(colours[page - 1])) << ' '
               << int(GetGValue(colours[page - 1])) << ' ' << int(GetBValue(colours[page - 1])) << ' '
               << paper.RegionMm(20, 60, 190, 230, 0.1) << '\n';
        expect << "ink " << page << ' ' << paper.RegionMm(20, 15, 190, 35, 0.0) << '\n';
        expect << "blank " << page << ' ' << paper.RegionMm(20, 40, 190, 55, 0.0) << '\n';
    }
    std::wstring definition = m_folder / L"layout.dps";
    EXPECT_EQ(0, PrintAndKeep(paths, definition.c_str(), "layout", expect.str()));
}

TEST_F(PdfPrinter, AScriptFailureKeepsThePagesPrinted)
{
    std::vector<std::wstring> paths;
    for (int i = 0; i < 3; ++i)
        paths.push_back(PutPicture(m_folder / (L"p" + std::to_wstring(i) + L".bmp"), 50, 50, RGB(0, 0, 0)));
    WriteText(m_folder / L"fails.dps",
              L"DRAWIMAGE (0,0)-($_WIDTH,$_HEIGHT), 5\nIF $_PAGE == 2\n BOX -(20,20)\nENDIF\n");
    std::wstring definition = m_folder / L"fails.dps";
    EXPECT_EQ(IDS_PRINT_DEFINITION_FAILED, PrintAndKeep(paths, definition.c_str(), "failed", "pages 2\n"));
}

} // namespace
