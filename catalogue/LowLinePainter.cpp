#include "catalogue/LowLinePainter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

const wchar_t kLowLine = L'_';
const wchar_t kEllipsis[] = L"...";

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
// The grey level (of 255) a pixel of black text on white must reach for a mark to be seen beside
// the letters: a line of fainter grey reads as paper.
const int kVisible = 192;

// A character drawn alone in the font, black on white, as text is drawn on screen: its darkest
// grey and the rows where it reaches kVisible.
struct Ink
{
    bool measured = false;
    int darkest = 255;
    int rows = 0;
};

Ink MeasureInk(HDC dc, const TEXTMETRICW& metrics, wchar_t mark)
{
    Ink ink;
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
    if (bitmap && bits) {
        HGDIOBJ oldBitmap = SelectObject(canvas, bitmap);
        HGDIOBJ oldFont = SelectObject(canvas, GetCurrentObject(dc, OBJ_FONT));
        const RECT all = {0, 0, width, height};
        FillRect(canvas, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(canvas, RGB(0, 0, 0));
        SetBkMode(canvas, TRANSPARENT);
        TextOutW(canvas, 4, 4, &mark, 1);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (int y = 0; y < height; ++y) {
            int row = 255;
            for (int x = 0; x < width; ++x) {
                const DWORD c = pixels[y * width + x];
                row = std::min<int>(row, ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) / 3);
            }
            ink.darkest = std::min(ink.darkest, row);
            ink.rows += row <= kVisible;
        }
        ink.measured = true;
        SelectObject(canvas, oldFont);
        SelectObject(canvas, oldBitmap);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (canvas)
        DeleteDC(canvas);
    return ink;
}

// How a font draws "_", and how its own horizontal stroke ("-") looks, for painting a line in
// its place: as dark and as thick as the letters beside it, not a black bar among grey letters.
struct LowLineLook
{
    bool drops = false;
    int darkest = 0;
    int rows = 1;
};

LowLineLook LookOf(HDC dc)
{
    // One answer per font: every cell of a view asks with the same one.
    static LOGFONTW s_font = {};
    static bool s_known = false;
    static LowLineLook s_look;
    LOGFONTW font = {};
    HGDIOBJ handle = GetCurrentObject(dc, OBJ_FONT);
    if (!handle || !GetObjectW(handle, sizeof font, &font))
        return {};
    if (s_known && std::memcmp(&font, &s_font, sizeof font) == 0)
        return s_look;
    LowLineLook look;
    GLYPHMETRICS glyph = {};
    TEXTMETRICW metrics = {};
    if (GetGlyphOutlineW(dc, kLowLine, GGO_METRICS, &glyph, 0, nullptr, &kIdentity) != GDI_ERROR &&
        glyph.gmBlackBoxX > 0 && glyph.gmBlackBoxY > 0 && GetTextMetricsW(dc, &metrics)) {
        // When it cannot be measured, the font's own drawing stands. A "_" as dark as the
        // font's "-" is drawn as the font means it, however light the face.
        const Ink lowLine = MeasureInk(dc, metrics, kLowLine);
        const Ink hyphen = MeasureInk(dc, metrics, L'-');
        const int seen = hyphen.measured ? std::max(kVisible, hyphen.darkest) : kVisible;
        look.drops = lowLine.measured && lowLine.darkest > seen;
        if (hyphen.measured && hyphen.darkest < 255) {
            look.darkest = std::min(hyphen.darkest, kVisible);
            look.rows = std::clamp<int>(hyphen.rows, 1, static_cast<int>(glyph.gmBlackBoxY));
        }
    }
    s_look = look;
    s_font = font;
    s_known = true;
    return s_look;
}

// The rectangle in the text colour laid over what is there, as a stroke of the given darkest
// grey covers paper.
void PaintStroke(HDC dc, const RECT& bar, int darkest)
{
    const COLORREF text = GetTextColor(dc);
    const int cover = 255 - darkest;
    auto blend = [cover](int under, int over) { return under + (over - under) * cover / 255; };
    for (int y = bar.top; y < bar.bottom; ++y)
        for (int x = bar.left; x < bar.right; ++x) {
            const COLORREF under = GetPixel(dc, x, y);
            if (under == CLR_INVALID)
                continue; // outside the DC's clipping
            SetPixelV(dc, x, y,
                      RGB(blend(GetRValue(under), GetRValue(text)), blend(GetGValue(under), GetGValue(text)),
                          blend(GetBValue(under), GetBValue(text))));
        }
}

} // namespace

bool FontDropsLowLine(HDC dc)
{
    return LookOf(dc).drops;
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
    const LowLineLook look = LookOf(dc);
    for (int i = 0; i < length; ++i) {
        if (text[i] != kLowLine)
            continue;
        if (static_cast<long long>(x) + ends[i] > limit)
            break;
        const int left = x + (i > 0 ? ends[i - 1] : 0) + glyph.gmptGlyphOrigin.x;
        const int top = y + metrics.tmAscent - glyph.gmptGlyphOrigin.y;
        // The stroke sits on the foot of the glyph's box.
        const int bottom = top + static_cast<int>(glyph.gmBlackBoxY);
        RECT bar = {left, bottom - look.rows, left + static_cast<int>(glyph.gmBlackBoxX), bottom};
        if (IntersectRect(&bar, &bar, &clip))
            PaintStroke(dc, bar, look.darkest);
    }
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
