#include "image/DibColor.h"

#include "image/DibCore.h"

#include <algorithm>
#include <cstring>

namespace {

BYTE Brighten(int c, int percent)
{
    int value = percent >= 0 ? c + (255 - c) * percent / 100 : c * (percent + 100) / 100;
    return static_cast<BYTE>(std::clamp(value, 0, 255));
}

bool IsPaletteDepth(WORD bits)
{
    return bits == 1 || bits == 4 || bits == 8;
}

DWORD PaletteEntries(const void* dib)
{
    return std::min<DWORD>(DibColorCount(dib), 1u << DibBitCount(dib));
}

RGBQUAD* Palette(void* dib)
{
    return reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(dib) + DibHeaderSize(dib));
}

// Calls visit(blue, green, red) for every pixel of a 24-bit DIB.
template <typename Visit> void ForEachPixel24(void* dib, Visit visit)
{
    LONG width = DibWidth(dib), height = DibHeight(dib);
    DWORD row = DibRowSize(dib);
    BYTE* bits = DibBits(dib);
    for (LONG y = 0; y < height; ++y) {
        BYTE* p = bits + static_cast<SIZE_T>(y) * row;
        for (LONG x = 0; x < width; ++x, p += 3)
            visit(p[0], p[1], p[2]);
    }
}

// Contrast map of one channel; a flat channel (nothing to stretch) stays as it is.
struct ContrastMap
{
    int scale = 0, offset = 0;
    bool flat = true;
    ContrastMap(int low, int high, int range)
    {
        if (high <= low)
            return;
        flat = false;
        scale = range * 100 / (high - low);
        offset = (256 - range) / 2 - low * scale / 100;
    }
    BYTE Apply(BYTE c) const
    {
        if (flat)
            return c;
        return static_cast<BYTE>(std::clamp(c * scale / 100 + offset, 0, 255));
    }
};

void Widen(BYTE& low, BYTE& high, BYTE value)
{
    low = std::min(low, value);
    high = std::max(high, value);
}

void CollectStats(HGLOBAL dib, DibChannelStats* stats, bool count)
{
    DibLock lock(dib);
    if (!lock || !stats)
        return;
    WORD bits = DibBitCount(lock.get());
    auto add = [&](BYTE b, BYTE g, BYTE r) {
        Widen(stats->blueLow, stats->blueHigh, b);
        Widen(stats->greenLow, stats->greenHigh, g);
        Widen(stats->redLow, stats->redHigh, r);
        if (count) {
            ++stats->blue[b];
            ++stats->green[g];
            ++stats->red[r];
        }
    };
    if (IsPaletteDepth(bits)) {
        RGBQUAD* table = Palette(lock.get());
        DWORD entries = PaletteEntries(lock.get());
        for (DWORD i = 0; i < entries; ++i)
            add(table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed);
    } else if (bits == 24) {
        ForEachPixel24(lock.get(), [&](BYTE& b, BYTE& g, BYTE& r) { add(b, g, r); });
    }
}

} // namespace

HGLOBAL AdjustPaletteRgb(HGLOBAL dib, int red, int green, int blue)
{
    DibLock lock(dib);
    if (!lock || !IsPaletteDepth(DibBitCount(lock.get())))
        return dib;
    RGBQUAD* table = Palette(lock.get());
    DWORD entries = PaletteEntries(lock.get());
    for (DWORD i = 0; i < entries; ++i) {
        table[i].rgbRed = Brighten(table[i].rgbRed, red);
        table[i].rgbGreen = Brighten(table[i].rgbGreen, green);
        table[i].rgbBlue = Brighten(table[i].rgbBlue, blue);
    }
    return dib;
}

HGLOBAL AdjustPixelsRgb(HGLOBAL dib, int red, int green, int blue)
{
    DibLock lock(dib);
    if (!lock || DibBitCount(lock.get()) != 24)
        return dib;
    BYTE mapRed[256], mapGreen[256], mapBlue[256];
    for (int c = 0; c < 256; ++c) {
        mapRed[c] = Brighten(c, red);
        mapGreen[c] = Brighten(c, green);
        mapBlue[c] = Brighten(c, blue);
    }
    ForEachPixel24(lock.get(), [&](BYTE& b, BYTE& g, BYTE& r) {
        b = mapBlue[b];
        g = mapGreen[g];
        r = mapRed[r];
    });
    return dib;
}

void AdjustDibRgb(HGLOBAL dib, int red, int green, int blue)
{
    if (IsPaletteDepth(GetDibBitCount(dib)))
        AdjustPaletteRgb(dib, red, green, blue);
    else
        AdjustPixelsRgb(dib, red, green, blue);
}

void GetDibChannelRange(HGLOBAL dib, DibChannelStats* stats)
{
    if (!stats)
        return;
    stats->blueLow = stats->greenLow = stats->redLow = 255;
    stats->blueHigh = stats->greenHigh = stats->redHigh = 0;
    CollectStats(dib, stats, false);
}

void GetDibHistogram(HGLOBAL dib, DibChannelStats* stats)
{
    CollectStats(dib, stats, true);
}

HGLOBAL AdjustPaletteContrast(HGLOBAL dib, int range)
{
    DibChannelStats stats;
    GetDibChannelRange(dib, &stats);
    DibLock lock(dib);
    if (!lock || !IsPaletteDepth(DibBitCount(lock.get())))
        return dib;
    ContrastMap r(stats.redLow, stats.redHigh, range), g(stats.greenLow, stats.greenHigh, range),
        b(stats.blueLow, stats.blueHigh, range);
    RGBQUAD* table = Palette(lock.get());
    DWORD entries = PaletteEntries(lock.get());
    for (DWORD i = 0; i < entries; ++i) {
        table[i].rgbRed = r.Apply(table[i].rgbRed);
        table[i].rgbGreen = g.Apply(table[i].rgbGreen);
        table[i].rgbBlue = b.Apply(table[i].rgbBlue);
    }
    return dib;
}

HGLOBAL AdjustPixelsContrast(HGLOBAL dib, int range)
{
    DibChannelStats stats;
    GetDibChannelRange(dib, &stats);
    DibLock lock(dib);
    if (!lock || DibBitCount(lock.get()) != 24)
        return dib;
    ContrastMap r(stats.redLow, stats.redHigh, range), g(stats.greenLow, stats.greenHigh, range),
        b(stats.blueLow, stats.blueHigh, range);
    ForEachPixel24(lock.get(), [&](BYTE& blue, BYTE& green, BYTE& red) {
        blue = b.Apply(blue);
        green = g.Apply(green);
        red = r.Apply(red);
    });
    return dib;
}

void AdjustDibContrast(HGLOBAL dib, int range)
{
    if (IsPaletteDepth(GetDibBitCount(dib)))
        AdjustPaletteContrast(dib, range);
    else
        AdjustPixelsContrast(dib, range);
}
