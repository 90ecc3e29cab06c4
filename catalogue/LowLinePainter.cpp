#include "catalogue/LowLinePainter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

const wchar_t kLowLine = L'_';
const wchar_t kEllipsis[] = L"...";

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// Whether the glyph bitmap of "_" in that format holds any ink.
bool LowLineHasInk(HDC dc, UINT format)
{
    GLYPHMETRICS metrics = {};
    const DWORD size = GetGlyphOutlineW(dc, kLowLine, format, &metrics, 0, nullptr, &kIdentity);
    if (size == GDI_ERROR || size == 0)
        return false;
    std::vector<BYTE> bits(size);
    if (GetGlyphOutlineW(dc, kLowLine, format, &metrics, size, bits.data(), &kIdentity) == GDI_ERROR)
        return false;
    return std::any_of(bits.begin(), bits.end(), [](BYTE b) { return b != 0; });
}

} // namespace

bool FontDropsLowLine(HDC dc)
{
    // One answer per font: every cell of a view asks with the same one.
    static LOGFONTW s_font = {};
    static bool s_known = false;
    static bool s_drops = false;
    LOGFONTW font = {};
    HGDIOBJ handle = GetCurrentObject(dc, OBJ_FONT);
    if (!handle || !GetObjectW(handle, sizeof font, &font))
        return false;
    if (s_known && std::memcmp(&font, &s_font, sizeof font) == 0)
        return s_drops;
    GLYPHMETRICS metrics = {};
    const bool hasBox = GetGlyphOutlineW(dc, kLowLine, GGO_METRICS, &metrics, 0, nullptr, &kIdentity) != GDI_ERROR &&
                        metrics.gmBlackBoxX > 0 && metrics.gmBlackBoxY > 0;
    // Text is drawn plain or smoothed as the system decides: either kind may lose the glyph.
    s_drops = hasBox && (!LowLineHasInk(dc, GGO_BITMAP) || !LowLineHasInk(dc, GGO_GRAY8_BITMAP));
    s_font = font;
    s_known = true;
    return s_drops;
}

void PaintLowLines(HDC dc, const CString& text, int x, int y, int limit, const RECT& clip)
{
    const int length = text.GetLength();
    if (text.Find(kLowLine) < 0 || !FontDropsLowLine(dc))
        return;
    GLYPHMETRICS glyph = {};
    TEXTMETRICW metrics = {};
    if (GetGlyphOutlineW(dc, kLowLine, GGO_METRICS, &glyph, 0, nullptr, &kIdentity) == GDI_ERROR ||
        !GetTextMetricsW(dc, &metrics))
        return;
    // ends[i]: the extent of the first i + 1 characters.
    std::vector<int> ends(static_cast<size_t>(length));
    SIZE size = {};
    int fit = 0;
    if (!GetTextExtentExPointW(dc, text, length, INT_MAX, &fit, ends.data(), &size))
        return;
    HBRUSH brush = CreateSolidBrush(GetTextColor(dc));
    if (!brush)
        return;
    for (int i = 0; i < length; ++i) {
        if (text[i] != kLowLine)
            continue;
        if (static_cast<long long>(x) + ends[i] > limit)
            break;
        const int left = x + (i > 0 ? ends[i - 1] : 0) + glyph.gmptGlyphOrigin.x;
        const int top = y + metrics.tmAscent - glyph.gmptGlyphOrigin.y;
        RECT bar = {left, top, left + static_cast<int>(glyph.gmBlackBoxX), top + static_cast<int>(glyph.gmBlackBoxY)};
        if (IntersectRect(&bar, &bar, &clip))
            FillRect(dc, &bar, brush);
    }
    DeleteObject(brush);
}

void DrawTextLine(CDC* dc, const CString& text, const CRect& rect, UINT flags)
{
    CRect area = rect;
    dc->DrawText(text, &area, flags | DT_SINGLELINE);
    // A "&" is a mnemonic prefix to DrawText: the characters do not stand where they are counted.
    HDC hdc = dc->GetSafeHdc();
    if (text.Find(kLowLine) < 0 || (text.Find(L'&') >= 0 && !(flags & DT_NOPREFIX)) || !FontDropsLowLine(hdc))
        return;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(hdc, &metrics);
    int shown = dc->GetTextExtent(text).cx;
    int limit = INT_MAX;
    if (shown > rect.Width() && (flags & (DT_WORD_ELLIPSIS | DT_END_ELLIPSIS))) {
        // What fits beside the ellipsis is shown of the text.
        const int ellipsis = dc->GetTextExtent(kEllipsis).cx;
        const int room = std::max(rect.Width() - ellipsis, 0);
        std::vector<int> ends(static_cast<size_t>(text.GetLength()));
        int fit = 0;
        SIZE size = {};
        if (!GetTextExtentExPointW(hdc, text, text.GetLength(), room, &fit, ends.data(), &size))
            return;
        shown = (fit > 0 ? ends[fit - 1] : 0) + ellipsis;
        limit = fit > 0 ? ends[fit - 1] : 0;
    }
    // The places DrawText gives a line.
    const int x = (flags & DT_CENTER) ? (rect.left + rect.right - shown) / 2 : rect.left;
    const int y = (flags & DT_VCENTER) ? rect.top + rect.Height() / 2 - metrics.tmHeight / 2 : rect.top;
    PaintLowLines(hdc, text, x, y, limit == INT_MAX ? INT_MAX : x + limit, rect);
}
