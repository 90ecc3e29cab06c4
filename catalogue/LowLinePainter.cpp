#include "catalogue/LowLinePainter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

const wchar_t kLowLine = L'_';
const wchar_t kEllipsis[] = L"...";

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
// The grey level (of 255) a pixel of black text on white must reach to be seen.
const int kVisible = 224;

// Whether "_" drawn alone in the font, black on white as text is drawn on screen, leaves a pixel
// dark enough to be seen. A smoothed face can spread the line over two rows of faint grey that
// the glyph bitmaps count as ink and the eye does not see.
bool LowLineHasInk(HDC dc, const TEXTMETRICW& metrics)
{
    const int width = std::max<int>(metrics.tmMaxCharWidth, 1) + 8;
    const int height = metrics.tmHeight + 8;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC canvas = CreateCompatibleDC(dc);
    HBITMAP bitmap = canvas ? CreateDIBSection(canvas, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool ink = true; // when it cannot be measured, the font's own drawing stands
    if (bitmap && bits) {
        HGDIOBJ oldBitmap = SelectObject(canvas, bitmap);
        HGDIOBJ oldFont = SelectObject(canvas, GetCurrentObject(dc, OBJ_FONT));
        const RECT all = {0, 0, width, height};
        FillRect(canvas, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(canvas, RGB(0, 0, 0));
        SetBkMode(canvas, TRANSPARENT);
        TextOutW(canvas, 4, 4, &kLowLine, 1);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        ink = std::any_of(pixels, pixels + static_cast<size_t>(width) * height,
                          [](DWORD c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * kVisible; });
        SelectObject(canvas, oldFont);
        SelectObject(canvas, oldBitmap);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (canvas)
        DeleteDC(canvas);
    return ink;
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
    GLYPHMETRICS glyph = {};
    TEXTMETRICW metrics = {};
    const bool hasBox = GetGlyphOutlineW(dc, kLowLine, GGO_METRICS, &glyph, 0, nullptr, &kIdentity) != GDI_ERROR &&
                        glyph.gmBlackBoxX > 0 && glyph.gmBlackBoxY > 0 && GetTextMetricsW(dc, &metrics);
    s_drops = hasBox && !LowLineHasInk(dc, metrics);
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
    dc->DrawText(text, &area, flags | DT_SINGLELINE | DT_NOPREFIX);
    HDC hdc = dc->GetSafeHdc();
    if (text.Find(kLowLine) < 0 || !FontDropsLowLine(hdc))
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
