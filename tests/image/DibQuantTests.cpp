#include "DibTestUtil.h"
#include "ImageSamples.h"

#include "image/DibQuant.h"
#include "image/codecs/SaveDib.h"

#include "framework/Framework.h"

#include <gtest/gtest.h>

#include <set>

using namespace dibtest;
using samples::IndexAt;

namespace {

std::vector<int> g_positions;
int g_cancelAt = -1;

int Record(int position)
{
    g_positions.push_back(position);
    return g_cancelAt >= 0 && static_cast<int>(g_positions.size()) > g_cancelAt;
}

// Runs one reduction with the recording callback.
HGLOBAL Reduce(HGLOBAL dib, int cancelAt = -1)
{
    g_positions.clear();
    g_cancelAt = cancelAt;
    CQuant quant;
    quant.m_graph.SetSource(dib);
    quant.SetProgress(Record);
    quant.Quantize();
    return quant.m_graph.DetachResult();
}

COLORREF Entry(HGLOBAL dib, int i)
{
    COLORREF c = GetDibColorEntry(GlobalLock(dib), i);
    GlobalUnlock(dib);
    return c;
}

COLORREF Shown(HGLOBAL dib, LONG x, LONG y)
{
    return Entry(dib, IndexAt(dib, x, y));
}

COLORREF Photo(LONG x, LONG y)
{
    // Gradients with a sharp edge and some texture.
    int r = (x * 255) / 63, g = (y * 255) / 47, b = x > 30 ? 200 : 40;
    b += ((x * 7 + y * 13) % 11) - 5;
    return RGB(r, g, b);
}

} // namespace

TEST(ColorSpace, EveryGreyAndSampledColourComesBackUnchanged)
{
    CColorSpace space;
    for (DWORD v = 0; v < 256; ++v) {
        int coords[3];
        DWORD grey = v | v << 8 | v << 16;
        space.ToSpace(grey, coords);
        ASSERT_EQ(grey, space.FromSpace(coords)) << v;
    }
    for (DWORD rgb = 0; rgb < 0x1000000; rgb += 0x010307) {
        int coords[3];
        space.ToSpace(rgb, coords);
        ASSERT_EQ(rgb, space.FromSpace(coords)) << std::hex << rgb;
    }
    int black[3];
    space.ToSpace(0, black);
    EXPECT_EQ(0, black[0]);
    EXPECT_EQ(0, black[2]);
}

TEST(DibQuant, PictureWithFewColoursKeepsExactlyThoseColours)
{
    const std::vector<COLORREF> colours = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(10, 20, 30), RGB(250, 250, 250),
                                           RGB(0, 0, 255)};
    Dib source(Make24(23, 17, [&](LONG x, LONG y) { return colours[(x / 3 + y / 4) % colours.size()]; }));
    Dib result(Reduce(source));
    ASSERT_TRUE(result);
    BITMAPINFOHEADER h = Header(result);
    EXPECT_EQ(8, h.biBitCount);
    EXPECT_EQ(256u, h.biClrUsed);
    std::set<COLORREF> palette;
    int blacks = 0;
    for (int i = 0; i < 256; ++i) {
        palette.insert(Entry(result, i));
        blacks += Entry(result, i) == RGB(0, 0, 0);
    }
    EXPECT_EQ(251, blacks);
    for (COLORREF c : colours)
        EXPECT_TRUE(palette.count(c)) << std::hex << c;
    for (LONG y = 0; y < 17; ++y)
        for (LONG x = 0; x < 23; ++x)
            ASSERT_EQ(Pixel24(source, x, y), Shown(result, x, y)) << x << "," << y;
}

TEST(DibQuant, OneColourPictureGivesThatColourAndBlacks)
{
    Dib source(Make24(8, 8, [](LONG, LONG) { return RGB(90, 120, 200); }));
    Dib result(Reduce(source));
    ASSERT_TRUE(result);
    int first = -1;
    for (int i = 0; i < 256; ++i)
        if (Entry(result, i) == RGB(90, 120, 200) && first < 0)
            first = i;
    ASSERT_GE(first, 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(i == first ? RGB(90, 120, 200) : RGB(0, 0, 0), Entry(result, i)) << i;
    for (LONG y = 0; y < 8; ++y)
        EXPECT_EQ(first, IndexAt(result, y, y));
}

TEST(DibQuant, PalettePicturesAndNarrowPicturesReduce)
{
    // Tiny pictures have no interior pixels; palette sources read through their table.
    Dib narrow(Make24(1, 9, [](LONG, LONG y) { return RGB(y * 20, 0, 0); }));
    Dib reduced(Reduce(narrow));
    ASSERT_TRUE(reduced);
    for (LONG y = 0; y < 9; ++y)
        EXPECT_EQ(RGB(y * 20, 0, 0), Shown(reduced, 0, y));
    Dib palette(MakeIndexed(5, 2, 4, {RGB(1, 2, 3), RGB(200, 100, 0)}, [](LONG x, LONG) { return x & 1; }));
    Dib fromPalette(Reduce(palette));
    ASSERT_TRUE(fromPalette);
    EXPECT_EQ(RGB(200, 100, 0), Shown(fromPalette, 1, 1));
    EXPECT_EQ(RGB(1, 2, 3), Shown(fromPalette, 4, 0));
}

TEST(DibQuant, PaletteIndicesBeyondTheStoredColoursReadBlack)
{
    // Two colours stored, pixels using index 200: read as black, never past the table.
    Dib source(
        MakeIndexed(4, 4, 8, {RGB(9, 9, 9), RGB(50, 60, 70)}, [](LONG x, LONG) { return x == 3 ? 200 : x & 1; }));
    Dib result(Reduce(source));
    ASSERT_TRUE(result);
    EXPECT_EQ(RGB(0, 0, 0), Shown(result, 3, 2));
    EXPECT_EQ(RGB(50, 60, 70), Shown(result, 1, 2));
}

TEST(DibQuant, ManyColoursReduceToAPaletteSortedByLightness)
{
    Dib source(Make24(64, 48, Photo));
    Dib result(Reduce(source));
    ASSERT_TRUE(result);
    CColorSpace space;
    int previous = -1;
    for (int i = 0; i < 256; ++i) {
        COLORREF c = Entry(result, i);
        int coords[3];
        space.ToSpace(GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16, coords);
        EXPECT_GE(coords[2], previous) << i;
        previous = coords[2];
    }
    // The reduced picture stays close to the source.
    double error = 0;
    for (LONG y = 0; y < 48; ++y)
        for (LONG x = 0; x < 64; ++x) {
            COLORREF a = Pixel24(source, x, y), b = Shown(result, x, y);
            error += std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                     std::abs(GetBValue(a) - GetBValue(b));
        }
    EXPECT_LT(error / (64 * 48 * 3), 6.0);
}

TEST(DibQuant, ProgressRunsThroughItsPhasesInOrder)
{
    Dib source(Make24(40, 30, Photo));
    Dib result(Reduce(source));
    ASSERT_TRUE(result);
    ASSERT_FALSE(g_positions.empty());
    EXPECT_EQ(5, g_positions.front());
    for (int expected : {20, 100, 425, 450, 451, 800})
        EXPECT_NE(g_positions.end(), std::find(g_positions.begin(), g_positions.end(), expected)) << expected;
    for (size_t i = 1; i < g_positions.size(); ++i)
        ASSERT_GE(g_positions[i], g_positions[i - 1]) << i;
    EXPECT_LE(g_positions.back(), 1000);
}

TEST(DibQuant, CancelAtAnyProgressPointGivesNoResultAndLeavesTheSource)
{
    Dib source(Make24(30, 20, Photo));
    std::vector<BYTE> before = Bytes(source);
    Reduce(source);
    size_t points = g_positions.size();
    for (size_t cancel : {size_t(0), size_t(1), size_t(40), size_t(62), points / 2, points - 1}) {
        SCOPED_TRACE(cancel);
        HGLOBAL result = Reduce(source, static_cast<int>(cancel));
        EXPECT_EQ(nullptr, result);
        EXPECT_EQ(cancel + 1, g_positions.size());
    }
    EXPECT_EQ(before, Bytes(source));
}

TEST(DibQuant, OutOfMemoryReturnsNullAndFreesEverything)
{
    Dib source(Make24(50, 40, Photo));
    for (size_t budget : {size_t(1000), size_t(60000), size_t(200000)}) {
        SCOPED_TRACE(budget);
        CQuant::SetTableBudgetForTesting(budget);
        EXPECT_THROW(Reduce(source), std::bad_alloc);
        EXPECT_EQ(nullptr, ReduceDibTo256Colors(source, TRUE));
    }
    CQuant::SetTableBudgetForTesting(0);
    Dib result(ReduceDibTo256Colors(source, TRUE));
    EXPECT_TRUE(result);
}

TEST(DibQuant, SixteenBitSourcesAreWidenedFirst)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = 4;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 16;
    Dib source(CreateDibFromHeader(&header));
    WORD* pixels = reinterpret_cast<WORD*>(Bits(source));
    pixels[0] = 0x7C00; // red in 5-5-5, bottom-left
    Unlock(source);
    Dib result(ReduceDibTo256Colors(source, TRUE));
    ASSERT_TRUE(result);
    EXPECT_EQ(RGB(255, 0, 0), Shown(result, 0, 1));
    EXPECT_EQ(nullptr, ReduceDibTo256Colors(nullptr, TRUE));
}

namespace {

// A top-level window standing in for the program's main window for the length of a test.
class MainWindowScope
{
public:
    MainWindowScope()
    {
        LPCWSTR cls =
            AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        m_window.CreateEx(0, cls, L"主窓", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr);
        AfxGetApp()->m_pMainWnd = &m_window;
    }
    ~MainWindowScope()
    {
        AfxGetApp()->m_pMainWnd = nullptr;
        m_window.DestroyWindow();
    }
    CWnd& window() { return m_window; }

private:
    CWnd m_window;
};

// Presses the abort button of every dialog as soon as it has been set up.
HHOOK g_abortHook = nullptr;
LRESULT CALLBACK AbortOnInit(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_INITDIALOG)
        PostMessageW(message->hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return CallNextHookEx(g_abortHook, code, wParam, lParam);
}

bool ReductionDialogOpen()
{
    return FindWindowW(L"#32770", L"減色処理") != nullptr;
}

} // namespace

TEST(DibQuant, DialogOverTheMainWindowShowsTheWorkAndIsGoneAfterwards)
{
    MainWindowScope main;
    Dib source(Make24(40, 30, Photo));
    Dib result(ReduceDibTo256Colors(source, FALSE));
    EXPECT_TRUE(result);
    EXPECT_TRUE(main.window().IsWindowEnabled());
    EXPECT_FALSE(ReductionDialogOpen());
    EXPECT_EQ(0, ReportReduceProgress(10)); // the registration went with the dialog
}

TEST(DibQuant, CancelFromTheDialogGivesNoResult)
{
    MainWindowScope main;
    Dib source(Make24(40, 30, Photo));
    g_abortHook = SetWindowsHookExW(WH_CALLWNDPROCRET, AbortOnInit, nullptr, GetCurrentThreadId());
    HGLOBAL result = ReduceDibTo256Colors(source, FALSE);
    UnhookWindowsHookEx(g_abortHook);
    EXPECT_EQ(nullptr, result);
    EXPECT_TRUE(main.window().IsWindowEnabled());
    EXPECT_FALSE(ReductionDialogOpen());
}

TEST(DibQuant, OutOfMemoryReenablesTheMainWindowAndRestoresTheCursor)
{
    MainWindowScope main;
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    Dib source(Make24(50, 40, Photo));
    CQuant::SetTableBudgetForTesting(100000);
    HGLOBAL result = ReduceDibTo256Colors(source, FALSE);
    CQuant::SetTableBudgetForTesting(0);
    EXPECT_EQ(nullptr, result);
    EXPECT_TRUE(main.window().IsWindowEnabled());
    EXPECT_FALSE(ReductionDialogOpen());
    EXPECT_EQ(arrow, GetCursor());
    EXPECT_EQ(0, ReportReduceProgress(10));
}

TEST(DibQuant, WaitCursorOfTheReductionIsInTheResources)
{
    EXPECT_NE(nullptr, LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(233)));
}
