// The faces the program draws its texts in, as the test prefix maps them: a name's "." and "_"
// keep ink of their own, apart from the letters beside them, at every size the program uses, and
// every other mark of a name is drawn where it belongs.
#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "common/ControlTestUtil.h"
#include "browser/CJumpDialogBar.h"
#include "browser/VyxDriveBar.h"
#include "catalogue/CKWDocSettings.h"
#include "catalogue/LowLinePainter.h"
#include "res/resource.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const wchar_t kName[] = L"a_b.c P1030019.JPG";
const int kWidth = 200, kHeight = 32, kLeft = 4, kTop = 6;
// The grey (of 255) a mark drawn black on white must reach to be seen beside the letters.
const int kSeen = 192;

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

// Every font the program draws names and labels with.
std::vector<LOGFONTW> ProgramFonts()
{
    std::vector<LOGFONTW> fonts;
    // Every dialog's font, from a dialog of the program.
    HWND dialog = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDD_COMMENT), nullptr, PlainDialog, 0);
    EXPECT_NE(nullptr, dialog);
    if (dialog) {
        fonts.push_back(FontOf(dialog));
        DestroyWindow(dialog);
    }
    // The jump bar's entry.
    CLogHostWnd host;
    CJumpDialogBar bar;
    EXPECT_TRUE(bar.Create(&host, IDD_JUMPBAR, CBRS_TOP, 0xE803));
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
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
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
    return fonts;
}

// One character drawn alone, black on white, and the rows that took its ink.
class Glyph
{
public:
    static const int kSize = 64, kOrigin = 8;
    Glyph(HFONT font, const wchar_t* text, int count, bool paintLowLines = false)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dc || !bitmap || !bits) {
            ADD_FAILURE() << "no canvas";
            return;
        }
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        RECT all = {0, 0, kSize, kSize};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, kOrigin, kOrigin, text, count);
        if (paintLowLines)
            PaintLowLines(dc, CString(text, count), kOrigin, kOrigin, INT_MAX, all);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const DWORD c = pixels[y * kSize + x];
                const int grey = static_cast<int>((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) / 3;
                m_darkest = std::min(m_darkest, grey);
                if (grey < 224) {
                    ++m_count;
                    m_top = m_top < 0 ? y : m_top;
                    m_bottom = y;
                }
            }
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    int Count() const { return m_count; }
    int Top() const { return m_top; }
    int Bottom() const { return m_bottom; }
    int Darkest() const { return m_darkest; }

private:
    int m_count = 0, m_top = -1, m_bottom = -1, m_darkest = 255;
};

std::string Utf8(const CString& text)
{
    char buffer[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer) - 1, nullptr, nullptr);
    return buffer;
}

// The face a font name stands for in this prefix.
CString RealFace(HFONT font)
{
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return face;
}

// Every mark a name may hold leaves ink of its own in the font: a low line the face drops is one
// the low-line painter knows of and draws; and "~" is a tilde at the height of "-", not an overline.
void ExpectEveryMarkDrawn(const LOGFONTW& logFont)
{
    HFONT font = CreateFontIndirectW(&logFont);
    ASSERT_NE(nullptr, font) << Describe(logFont);
    const std::string name = Describe(logFont) + " (" + Utf8(RealFace(font)) + ")";
    CString marks;
    for (wchar_t c = 0x21; c < 0x7F; ++c)
        marks += c;
    marks += L"¥～・Ελληνικά Русский";
    const Glyph hyphen(font, L"-", 1);
    for (int i = 0; i < marks.GetLength(); ++i) {
        const wchar_t mark = marks[i];
        if (mark == L'_') {
            // A line fainter than kSeen and than the font's own "-" is paper beside the letters:
            // the painter must draw it, as dark as that "-", not a black bar among grey letters.
            const Glyph drawn(font, &mark, 1);
            if (drawn.Darkest() <= std::max(kSeen, hyphen.Darkest()))
                continue;
            HDC screen = GetDC(nullptr);
            HGDIOBJ old = SelectObject(screen, font);
            const bool known = FontDropsLowLine(screen);
            SelectObject(screen, old);
            ReleaseDC(nullptr, screen);
            EXPECT_TRUE(known) << name << ": '_' has no ink to be seen, and the low-line painter does not know";
            const Glyph painted(font, &mark, 1, true);
            EXPECT_LE(painted.Darkest(), kSeen) << name << ": the low-line painter draws no '_' to be seen";
            EXPECT_GE(painted.Darkest(), hyphen.Darkest() - 48)
                << name << ": the painted '_' is grey " << painted.Darkest() << " over the font's "
                << drawn.Darkest() << ", its '-' " << hyphen.Darkest();
            continue;
        }
        if (mark == L' ' || Glyph(font, &mark, 1).Count() > 0)
            continue;
        ADD_FAILURE() << name << ": '" << Utf8(CString(mark)) << "' has no ink";
    }
    const Glyph tilde(font, L"~", 1);
    ASSERT_GT(hyphen.Count(), 0) << name;
    EXPECT_TRUE(tilde.Bottom() >= hyphen.Top() - 1 && tilde.Top() <= hyphen.Bottom() + 1)
        << name << ": '~' has its ink in rows " << tilde.Top() << "-" << tilde.Bottom() << ", '-' in rows "
        << hyphen.Top() << "-" << hyphen.Bottom();
    DeleteObject(font);
}

} // namespace

TEST(FontInk, NamesKeepTheirDotsAndLowLinesInEveryFaceTheProgramDrawsThem)
{
    ScratchSettings settings;
    for (const LOGFONTW& font : ProgramFonts())
        ExpectDotsAndLowLinesApart(font);
}

// The names the program and the platform's dialogs ask for, each a face of the prefix's mapping,
// at every size text is drawn in (the captions' -9 to -16 pixels, the drive bar's cell height of
// 12), and every font the program makes.
TEST(FontInk, EveryMarkOfANameIsDrawnAndTheTildeSitsLevelWithTheHyphenInEveryMappedFace)
{
    ScratchSettings settings;
    std::vector<LOGFONTW> fonts = ProgramFonts();
    for (const wchar_t* face : {L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic", L"ＭＳ ゴシック", L"MS Gothic",
                                L"ＭＳ 明朝", L"MS Mincho", L"MS Shell Dlg", L"MS Shell Dlg 2", L"Tahoma"})
        for (int height : {-9, -10, -11, -12, -13, -14, -15, -16, 12}) {
            LOGFONTW font = {};
            font.lfHeight = height;
            font.lfCharSet = DEFAULT_CHARSET;
            lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
            fonts.push_back(font);
        }
    // The drive bar's letters.
    CLogHostWnd host;
    VyxDriveBar drives;
    ASSERT_TRUE(drives.Create(&host, IDD_DRIVEBAR, CBRS_TOP, 0xE804));
    ASSERT_NE(nullptr, drives.GetDriveButtons());
    HWND letter = GetWindow(drives.GetDriveButtons()->GetSafeHwnd(), GW_CHILD);
    ASSERT_NE(nullptr, letter);
    fonts.push_back(FontOf(letter));
    for (const LOGFONTW& font : fonts)
        ExpectEveryMarkDrawn(font);
}
