// The faces the program draws its texts in, as the test prefix maps them: a name's "." and "_"
// keep ink of their own, apart from the letters beside them, at every size the program uses.
#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "common/ControlTestUtil.h"
#include "browser/CJumpDialogBar.h"
#include "catalogue/CKWDocSettings.h"
#include "res/resource.h"

#include <string>
#include <vector>

namespace {

const wchar_t kName[] = L"a_b.c P1030019.JPG";
const int kWidth = 200, kHeight = 32, kLeft = 4, kTop = 6;

// The pixels of a text drawn black on white that hold ink: a smoothed face draws thin strokes
// in greys.
class Ink
{
public:
    Ink(HFONT font, const wchar_t* text, int count, int x) : m_dark(static_cast<size_t>(kWidth) * kHeight)
    {
        MemoryCanvas canvas(kWidth, kHeight);
        CDC* dc = canvas.DC();
        HGDIOBJ old = SelectObject(dc->GetSafeHdc(), font);
        dc->SetTextColor(RGB(0, 0, 0));
        dc->SetBkMode(TRANSPARENT);
        TextOutW(dc->GetSafeHdc(), x, kTop, text, count);
        SelectObject(dc->GetSafeHdc(), old);
        GdiFlush();
        for (int y = 0; y < kHeight; ++y)
            for (int px = 0; px < kWidth; ++px) {
                const COLORREF c = canvas.Pixel(px, y);
                m_dark[static_cast<size_t>(y) * kWidth + px] = GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 224;
            }
    }
    bool At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < kWidth && y < kHeight && m_dark[static_cast<size_t>(y) * kWidth + x];
    }
    int Count() const
    {
        int n = 0;
        for (bool d : m_dark)
            n += d;
        return n;
    }
    // Whether any of this ink lies on or beside (diagonals included) the other's.
    bool Touches(const Ink& other) const
    {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y))
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (other.At(x + dx, y + dy))
                                return true;
        return false;
    }
    // Whether every pixel of this ink is inked in the other.
    bool Within(const Ink& other) const
    {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) && !other.At(x, y))
                    return false;
        return true;
    }

private:
    std::vector<bool> m_dark;
};

std::string Describe(const LOGFONTW& font)
{
    char face[LF_FACESIZE * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, font.lfFaceName, -1, face, sizeof(face), nullptr, nullptr);
    return std::string(face) + " " + std::to_string(font.lfHeight);
}

// Each "." and "_" of the name, drawn in the font, has ink, shows in the name as drawn whole, and
// touches neither neighbour.
void ExpectDotsAndLowLinesApart(const LOGFONTW& logFont)
{
    HFONT font = CreateFontIndirectW(&logFont);
    ASSERT_NE(nullptr, font) << Describe(logFont);
    const int length = lstrlenW(kName);
    std::vector<int> ends(static_cast<size_t>(length));
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    int fit = 0;
    SIZE size = {};
    GetTextExtentExPointW(screen, kName, length, INT_MAX, &fit, ends.data(), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);

    const Ink whole(font, kName, length, kLeft);
    ASSERT_GT(whole.Count(), 0) << Describe(logFont);
    auto alone = [&](int i) { return Ink(font, kName + i, 1, kLeft + (i > 0 ? ends[i - 1] : 0)); };
    int checked = 0;
    for (int i = 1; i + 1 < length; ++i) {
        if (kName[i] != L'.' && kName[i] != L'_')
            continue;
        const Ink mark = alone(i);
        const char shown[] = {static_cast<char>(kName[i]), 0};
        EXPECT_GT(mark.Count(), 0) << Describe(logFont) << " '" << shown << "' at " << i << " has no ink";
        EXPECT_TRUE(mark.Within(whole)) << Describe(logFont) << " '" << shown << "' at " << i;
        EXPECT_FALSE(mark.Touches(alone(i - 1))) << Describe(logFont) << " '" << shown << "' at " << i;
        EXPECT_FALSE(mark.Touches(alone(i + 1))) << Describe(logFont) << " '" << shown << "' at " << i;
        ++checked;
    }
    EXPECT_EQ(3, checked);
    DeleteObject(font);
}

LOGFONTW FontOf(HWND window)
{
    LOGFONTW font = {};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    GetObjectW(handle ? handle : GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    return font;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

} // namespace

TEST(FontInk, NamesKeepTheirDotsAndLowLinesInEveryFaceTheProgramDrawsThem)
{
    ScratchSettings settings;
    std::vector<LOGFONTW> fonts;
    // Every dialog's font, from a dialog of the program.
    HWND dialog = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDD_COMMENT), nullptr, PlainDialog, 0);
    ASSERT_NE(nullptr, dialog);
    fonts.push_back(FontOf(dialog));
    DestroyWindow(dialog);
    // The jump bar's entry.
    CLogHostWnd host;
    CJumpDialogBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_JUMPBAR, CBRS_TOP, 0xE803));
    fonts.push_back(FontOf(bar.GetPathEdit().GetSafeHwnd()));
    // The captions' default font, list rows, menus and the status bar.
    CKWDocSettings document;
    HDC screen = GetDC(nullptr);
    document.ReadSettings(screen);
    ReleaseDC(nullptr, screen);
    fonts.push_back(document.font);
    LOGFONTW gui = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    fonts.push_back(gui);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    fonts.push_back(metrics.lfMenuFont);
    fonts.push_back(metrics.lfStatusFont);
    fonts.push_back(metrics.lfMessageFont);
    // A caption font the user picks among the program's faces, at the sizes the settings offer.
    for (const wchar_t* face : {L"ＭＳ ゴシック", L"ＭＳ Ｐゴシック"})
        for (int height = -11; height >= -16; --height) {
            LOGFONTW font = document.font;
            font.lfHeight = height;
            lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
            fonts.push_back(font);
        }
    for (const LOGFONTW& font : fonts)
        ExpectDotsAndLowLinesApart(font);
}
