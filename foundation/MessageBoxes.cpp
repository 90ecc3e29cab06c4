#include "foundation/MessageBoxes.h"

#include "foundation/MessageLines.h"

#include <algorithm>
#include <vector>

namespace {

// Wine's box first lays its text out 300 pixels wide, 25 full-width characters of its font, and
// wraps Japanese text there: lines kept narrower are never wrapped again, so the lines given are
// the lines shown and the box's height follows from their count.
const int kLineFullWidthCharacters = 24;

// The screen with the message font selected: the font the box draws its text in.
class MessageFontDC
{
public:
    MessageFontDC() : m_dc(GetDC(nullptr))
    {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        if (m_dc && SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            m_font = CreateFontIndirectW(&metrics.lfMessageFont);
        if (m_font)
            m_old = SelectObject(m_dc, m_font);
    }
    ~MessageFontDC()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_font)
            DeleteObject(m_font);
        if (m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    MessageFontDC(const MessageFontDC&) = delete;
    MessageFontDC& operator=(const MessageFontDC&) = delete;

    HDC Get() const { return m_old ? m_dc : nullptr; }

private:
    HDC m_dc;
    HFONT m_font = nullptr;
    HGDIOBJ m_old = nullptr;
};

struct TextLine
{
    int start;
    int end; // with its line break
};

std::vector<TextLine> LinesOf(const CString& text)
{
    std::vector<TextLine> lines;
    int start = 0;
    for (int at = 0; at < text.GetLength(); ++at) {
        if (text[at] == L'\r' && at + 1 < text.GetLength() && text[at + 1] == L'\n')
            ++at;
        if (text[at] == L'\r' || text[at] == L'\n') {
            lines.push_back({start, at + 1});
            start = at + 1;
        }
    }
    lines.push_back({start, text.GetLength()});
    return lines;
}

// The text broken to fit, and whether it was cut.
CString Fit(const CString& text, bool* whole)
{
    *whole = true;
    MessageFontDC screen;
    TEXTMETRICW font = {};
    SIZE fullWidth = {};
    if (text.IsEmpty() || !screen.Get() || !GetTextMetricsW(screen.Get(), &font) ||
        !GetTextExtentPoint32W(screen.Get(), L"あ", 1, &fullWidth) || font.tmHeight <= 0)
        return text;
    RECT work = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    // Around its text the box has its icon, margins of about a line's height, the buttons (two
    // lines high), the caption and its frame.
    const int line = font.tmHeight;
    const int frameWidth = GetSystemMetrics(SM_CXICON) + 2 * GetSystemMetrics(SM_CXFIXEDFRAME) + 4 * line;
    const int frameHeight = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME) + 4 * line;
    const int width = std::min<int>(fullWidth.cx * kLineFullWidthCharacters, work.right - work.left - frameWidth);
    const CString broken = BreakLongLines(text, screen.Get(), std::max<int>(width, fullWidth.cx));

    const std::vector<TextLine> lines = LinesOf(broken);
    const int most = std::max(3, static_cast<int>((work.bottom - work.top - frameHeight) / line));
    if (static_cast<int>(lines.size()) <= most)
        return broken;
    // Both ends stay: the end holds the question a box asks.
    *whole = false;
    const int tail = (most - 1) / 2, head = most - 1 - tail;
    const TextLine& lastKept = lines[head - 1];
    const TextLine& firstAfter = lines[lines.size() - tail];
    return broken.Left(lastKept.end) + L"…\r\n" + broken.Mid(firstAfter.start);
}

} // namespace

CString FitMessageText(const CString& text)
{
    bool whole = true;
    return Fit(text, &whole);
}

size_t ItemsShownWhole(size_t most, const std::function<CString(size_t told)>& compose)
{
    for (; most > 1; --most) {
        bool whole = true;
        Fit(compose(most), &whole);
        if (whole)
            break;
    }
    return std::max<size_t>(most, 1);
}

int ShowMessageBox(const wchar_t* text, UINT type, UINT helpId)
{
    return AfxMessageBox(FitMessageText(text ? text : L""), type, helpId);
}

int ShowMessageBox(UINT textId, UINT type)
{
    CString text;
    text.LoadString(textId);
    return ShowMessageBox(text, type, textId);
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return ::MessageBoxW(owner, FitMessageText(text ? text : L""), caption, type);
}
