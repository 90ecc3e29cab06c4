#include "foundation/MessageLines.h"

#include <climits>

namespace {

// Columns a UTF-16 unit takes on screen: full-width and wide characters two, the rest (half-width
// kana included) one; a low surrogate none, its high one counting for the pair.
int Columns(wchar_t c)
{
    if (c >= 0xDC00 && c <= 0xDFFF)
        return 0;
    if (c >= 0xFF61 && c <= 0xFFDC)
        return 1;
    return c >= 0x1100 ? 2 : 1;
}

bool IsBreakAfter(wchar_t c)
{
    return c == L'\\' || c == L'/' || c == L' ' || c == L'、' || c == L'。' || c == L'，' || c == L'　';
}

// The pixel width a line may take, in the font selected into dc; no bound without a dc.
struct PixelBound
{
    HDC dc;
    int maxPixels;
};

void BreakLine(const CString& line, int maxColumns, const PixelBound& bound, CString& out)
{
    int start = 0;
    while (start < line.GetLength()) {
        int columns = 0, end = start;
        while (end < line.GetLength() && columns + Columns(line[end]) <= maxColumns)
            columns += Columns(line[end++]);
        // Columns do not bound pixels in a proportional font: a line of "W" is wider than one of "i".
        int fit = 0;
        SIZE size = {};
        if (bound.dc && end > start &&
            GetTextExtentExPointW(bound.dc, line.GetString() + start, end - start, bound.maxPixels, &fit, nullptr,
                                  &size))
            end = start + fit;
        // A low surrogate goes with its high one.
        while (end < line.GetLength() && end > start + 1 && Columns(line[end]) == 0)
            --end;
        if (end >= line.GetLength()) {
            out += line.Mid(start);
            return;
        }
        // A natural place to break in the last third of the line, if there is one.
        const int lowest = start + (end - start) * 2 / 3;
        for (int at = end; at > lowest; --at) {
            if (IsBreakAfter(line[at - 1])) {
                end = at;
                break;
            }
        }
        if (end <= start)
            end = start + 1;
        out += line.Mid(start, end - start);
        out += L"\r\n";
        start = end;
    }
}

CString BreakLines(const CString& text, int maxColumns, const PixelBound& bound)
{
    if (maxColumns < 2)
        maxColumns = 2;
    CString out;
    int start = 0;
    while (start <= text.GetLength()) {
        int end = start;
        while (end < text.GetLength() && text[end] != L'\r' && text[end] != L'\n')
            ++end;
        BreakLine(text.Mid(start, end - start), maxColumns, bound, out);
        if (end >= text.GetLength())
            break;
        // The break as it stands: CR LF, CR or LF.
        const int breakLength = text[end] == L'\r' && end + 1 < text.GetLength() && text[end + 1] == L'\n' ? 2 : 1;
        out += text.Mid(end, breakLength);
        start = end + breakLength;
    }
    return out;
}

} // namespace

CString BreakLongLines(const CString& text, int maxColumns)
{
    return BreakLines(text, maxColumns, PixelBound{nullptr, 0});
}

CString BreakLongLines(const CString& text, HDC dc, int maxPixels)
{
    // Columns without a bound of their own: a line's pixels alone decide.
    return BreakLines(text, INT_MAX / 4, PixelBound{dc, maxPixels});
}
