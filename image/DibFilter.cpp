#include "image/DibFilter.h"

#include "image/DibCore.h"
#include "image/DibPixelView.h"
#include "image/DibDepth.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

BYTE ClampByte(LONGLONG v)
{
    return v < 0 ? 0 : v > 255 ? 255 : static_cast<BYTE>(v);
}

// The bytes of a 24-bit picture, with its geometry.
struct Pixels24
{
    BYTE* bits;
    LONG width;
    LONG height;
    DWORD row;
    BYTE* At(LONG x, LONG y) const { return bits + static_cast<size_t>(y) * row + static_cast<size_t>(x) * 3; }
};

bool Is24(const void* dib)
{
    return DibBitCount(dib) == 24 && DibCompression(dib) == BI_RGB;
}

// Sharpening against the weighted mean of the neighbourhood, read from the unchanged source.
HGLOBAL Sharpen(HGLOBAL dib, double factor, int size, const int* weights)
{
    HGLOBAL copy = CopyGlobal(dib);
    if (!copy)
        return nullptr;
    DibLock source(dib), target(copy);
    if (!source || !target || !Is24(source.get()) || size < 1)
        return copy;
    const Pixels24 from{DibBits(source.get()), DibWidth(source.get()), DibHeight(source.get()),
                        DibRowSize(source.get())};
    const Pixels24 to{DibBits(target.get()), from.width, from.height, from.row};
    const int radius = (size - 1) / 2;
    for (LONG y = 0; y < from.height; ++y) {
        for (LONG x = 0; x < from.width; ++x) {
            LONGLONG sum[3] = {}, weightSum = 0;
            for (int ky = 0; ky < size; ++ky) {
                LONG sy = y + ky - radius;
                if (sy < 0 || sy >= from.height)
                    continue;
                for (int kx = 0; kx < size; ++kx) {
                    LONG sx = x + kx - radius;
                    int weight = weights[ky * size + kx];
                    if (weight == 0 || sx < 0 || sx >= from.width)
                        continue;
                    const BYTE* p = from.At(sx, sy);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += static_cast<LONGLONG>(weight) * p[c];
                    weightSum += weight;
                }
            }
            if (weightSum == 0)
                weightSum = 1;
            const BYTE* p = from.At(x, y);
            BYTE* q = to.At(x, y);
            for (int c = 0; c < 3; ++c) {
                LONGLONG mean = sum[c] / weightSum;
                q[c] = ClampByte(p[c] + static_cast<LONGLONG>(std::trunc((p[c] - mean) * factor)));
            }
        }
    }
    return copy;
}

const int kNeighbourWeights[9] = {0, 1, 0, 1, 0, 1, 0, 1, 0};

} // namespace

HGLOBAL ConvertDibToGray(HGLOBAL dib)
{
    if (!dib)
        return nullptr;
    // Palette lookups and three-byte pixels need a depth they can read: anything but 1, 4, 8 and
    // 24 bits is widened first.
    GlobalBlock widened;
    HGLOBAL source = dib;
    WORD bits = GetDibBitCount(dib);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        source = MakeDib24(dib);
        if (!source)
            return dib;
        if (source != dib)
            widened.reset(source);
    }
    DibLock from(source);
    if (!from)
        return dib;
    const LONG width = DibWidth(from.get()), height = DibHeight(from.get());
    HGLOBAL grey = CreateDib(width, height, 8);
    DibLock to(grey);
    if (!to) {
        if (grey)
            GlobalFree(grey);
        return dib;
    }
    BITMAPINFOHEADER* header = to.header();
    header->biClrUsed = 0;
    auto* table = reinterpret_cast<RGBQUAD*>(to.get() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < 256; ++i)
        table[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    bits = DibBitCount(from.get());
    RGBQUAD palette[256];
    ReadDibPalette256(from.get(), palette);
    const BYTE* src = DibBits(from.get());
    const DWORD srcRow = DibRowSize(from.get());
    BYTE* dst = DibBits(to.get());
    const DWORD dstRow = DibRowSize(to.get());
    for (LONG y = 0; y < height; ++y) {
        const BYTE* line = src + static_cast<size_t>(y) * srcRow;
        BYTE* out = dst + static_cast<size_t>(y) * dstRow;
        for (LONG x = 0; x < width; ++x) {
            BYTE r, g, b;
            if (bits == 24) {
                b = line[x * 3];
                g = line[x * 3 + 1];
                r = line[x * 3 + 2];
            } else {
                int index = GetPackedIndex(line, x, bits);
                r = palette[index].rgbRed;
                g = palette[index].rgbGreen;
                b = palette[index].rgbBlue;
            }
            out[x] = static_cast<BYTE>(0.299 * r + 0.587 * g + 0.114 * b);
        }
    }
    return grey;
}

HGLOBAL UnsharpMaskDib(HGLOBAL dib, double factor)
{
    return Sharpen(dib, factor, 3, kNeighbourWeights);
}

HGLOBAL SharpenDibKernel(HGLOBAL dib, double factor, int size, const int* weights)
{
    if (!weights)
        return Sharpen(dib, factor, 3, kNeighbourWeights);
    return Sharpen(dib, factor, size, weights);
}

HGLOBAL FlipDib(HGLOBAL dib, int flag)
{
    DibLock lock(dib);
    if (!lock)
        return dib;
    const LONG width = DibWidth(lock.get()), height = DibHeight(lock.get());
    const DWORD row = DibRowSize(lock.get());
    const WORD bits = DibBitCount(lock.get());
    BYTE* pixels = DibBits(lock.get());
    if (DibCompression(lock.get()) != BI_RGB && DibCompression(lock.get()) != BI_BITFIELDS)
        return dib;
    if (flag == 0) {
        std::vector<BYTE> buffer(row);
        for (LONG top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
            BYTE* a = pixels + static_cast<size_t>(top) * row;
            BYTE* b = pixels + static_cast<size_t>(bottom) * row;
            std::memcpy(buffer.data(), a, row);
            std::memcpy(a, b, row);
            std::memcpy(b, buffer.data(), row);
        }
        return dib;
    }
    for (LONG y = 0; y < height; ++y) {
        BYTE* line = pixels + static_cast<size_t>(y) * row;
        for (LONG x = 0, mirror = width - 1; x < width / 2; ++x, --mirror) {
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                BYTE a = GetPackedIndex(line, x, bits), b = GetPackedIndex(line, mirror, bits);
                SetPackedIndex(line, x, bits, b);
                SetPackedIndex(line, mirror, bits, a);
                break;
            }
            case 24:
                for (int c = 0; c < 3; ++c)
                    std::swap(line[x * 3 + c], line[mirror * 3 + c]);
                break;
            default:
                return dib;
            }
        }
    }
    return dib;
}

HGLOBAL EdgeDib(HGLOBAL dib)
{
    HGLOBAL copy = CopyGlobal(dib);
    if (!copy)
        return nullptr;
    DibLock source(dib), target(copy);
    if (!source || !target || !Is24(source.get()))
        return copy;
    const Pixels24 from{DibBits(source.get()), DibWidth(source.get()), DibHeight(source.get()),
                        DibRowSize(source.get())};
    const Pixels24 to{DibBits(target.get()), from.width, from.height, from.row};
    for (LONG y = 0; y + 1 < from.height; ++y) {
        for (LONG x = 0; x + 1 < from.width; ++x) {
            const BYTE* p = from.At(x, y);
            const BYTE* right = from.At(x + 1, y);
            const BYTE* next = from.At(x, y + 1);
            BYTE* q = to.At(x, y);
            for (int c = 0; c < 3; ++c) {
                double dx = right[c] - p[c], dy = next[c] - p[c];
                q[c] = ClampByte(static_cast<LONGLONG>(std::trunc(p[c] - std::sqrt(dx * dx + dy * dy))));
            }
        }
    }
    return copy;
}

HGLOBAL InvertDib(HGLOBAL dib)
{
    HGLOBAL copy = CopyGlobal(dib);
    if (!copy)
        return nullptr;
    DibLock lock(copy);
    if (!lock)
        return copy;
    const WORD bits = DibBitCount(lock.get());
    if (bits <= 8) {
        // Only the entries the table holds: a short table is followed by the pixels.
        DWORD entries = DibColorCount(lock.get());
        if (entries > (1u << bits))
            entries = 1u << bits;
        auto* table = reinterpret_cast<RGBQUAD*>(lock.get() + DibHeaderSize(lock.get()));
        for (DWORD i = 0; i < entries; ++i) {
            table[i].rgbBlue = static_cast<BYTE>(~table[i].rgbBlue);
            table[i].rgbGreen = static_cast<BYTE>(~table[i].rgbGreen);
            table[i].rgbRed = static_cast<BYTE>(~table[i].rgbRed);
        }
        return copy;
    }
    auto* words = reinterpret_cast<DWORD*>(DibBits(lock.get()));
    SIZE_T count = DibImageSize(lock.get()) / 4;
    for (SIZE_T i = 0; i < count; ++i)
        words[i] = ~words[i];
    return copy;
}
