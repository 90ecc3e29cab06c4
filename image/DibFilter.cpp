#include "image/DibFilter.h"

#include "image/DibCore.h"
#include "image/DibPixelView.h"
#include "image/DibDepth.h"

#include <algorithm>
#include <climits>
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

// One pixel sharpened against the weighted mean of its neighbourhood (the taps inside the
// picture only), read from the unchanged source: the rule every pixel follows.
void SharpenPixel(const Pixels24& from, const Pixels24& to, LONG x, LONG y, double factor, int size, const int* weights)
{
    const int radius = (size - 1) / 2;
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

// The pixels whose whole neighbourhood lies inside the picture, the same rule in 32-bit sums
// with the division and the scaled difference taken from tables: a thumbnail's sharpening would
// otherwise cost as much as its decode. Only kernels whose sums fit 32 bits and whose means take
// a small range come here.
class InteriorSharpener
{
public:
    InteriorSharpener(double factor, int size, const int* weights)
    {
        const int radius = (size - 1) / 2;
        LONGLONG positive = 0, negative = 0;
        for (int ky = 0; ky < size; ++ky)
            for (int kx = 0; kx < size; ++kx) {
                const int weight = weights[ky * size + kx];
                if (weight == 0)
                    continue;
                m_taps.push_back({kx - radius, ky - radius, weight});
                (weight > 0 ? positive : negative) += weight;
                m_weightSum += weight;
            }
        if (m_weightSum == 0)
            m_weightSum = 1;
        const LONGLONG lowSum = negative * 255;
        const LONGLONG highSum = positive * 255;
        if (highSum - lowSum >= kMaxTable || !(std::fabs(factor) < 10000))
            return;
        m_lowSum = static_cast<int>(lowSum);
        m_means.resize(static_cast<size_t>(highSum - lowSum + 1));
        LONGLONG lowMean = 0, highMean = 0;
        for (LONGLONG sum = lowSum; sum <= highSum; ++sum) {
            const LONGLONG mean = sum / m_weightSum;
            m_means[static_cast<size_t>(sum - m_lowSum)] = static_cast<int>(mean);
            lowMean = std::min(lowMean, mean);
            highMean = std::max(highMean, mean);
        }
        // The difference p - mean lies in [-highMean, 255 - lowMean].
        const LONGLONG lowDifference = -highMean;
        const LONGLONG highDifference = 255 - lowMean;
        if (highDifference - lowDifference >= kMaxTable) {
            m_means.clear();
            return;
        }
        m_lowDifference = static_cast<int>(lowDifference);
        for (LONGLONG d = lowDifference; d <= highDifference; ++d)
            m_steps.push_back(static_cast<int>(static_cast<LONGLONG>(std::trunc(d * factor))));
        m_usable = true;
    }

    bool IsUsable() const { return m_usable; }

    void Run(const Pixels24& from, const Pixels24& to, LONG y, LONG x0, LONG x1) const
    {
        const size_t taps = m_taps.size();
        // Each tap as a byte offset from the pixel it serves.
        ptrdiff_t offsets[kMaxTaps];
        for (size_t t = 0; t < taps; ++t)
            offsets[t] = static_cast<ptrdiff_t>(m_taps[t].dy) * static_cast<ptrdiff_t>(from.row) + m_taps[t].dx * 3;
        const int* means = m_means.data() - m_lowSum;
        const int* steps = m_steps.data() - m_lowDifference;
        const BYTE* p = from.At(x0, y);
        BYTE* q = to.At(x0, y);
        for (LONG x = x0; x < x1; ++x, p += 3, q += 3) {
            int sum0 = 0, sum1 = 0, sum2 = 0;
            for (size_t t = 0; t < taps; ++t) {
                const BYTE* n = p + offsets[t];
                const int weight = m_taps[t].weight;
                sum0 += weight * n[0];
                sum1 += weight * n[1];
                sum2 += weight * n[2];
            }
            q[0] = Clamp255(p[0] + steps[p[0] - means[sum0]]);
            q[1] = Clamp255(p[1] + steps[p[1] - means[sum1]]);
            q[2] = Clamp255(p[2] + steps[p[2] - means[sum2]]);
        }
    }

    // A pixel near the edge: the same rule over the taps inside the picture, in 32 bits.
    void Edge(const Pixels24& from, const Pixels24& to, LONG x, LONG y, double factor) const
    {
        int sum[3] = {}, weightSum = 0;
        for (const Tap& tap : m_taps) {
            const LONG sx = x + tap.dx, sy = y + tap.dy;
            if (sx < 0 || sx >= from.width || sy < 0 || sy >= from.height)
                continue;
            const BYTE* n = from.At(sx, sy);
            sum[0] += tap.weight * n[0];
            sum[1] += tap.weight * n[1];
            sum[2] += tap.weight * n[2];
            weightSum += tap.weight;
        }
        if (weightSum == 0)
            weightSum = 1;
        const BYTE* p = from.At(x, y);
        BYTE* q = to.At(x, y);
        for (int c = 0; c < 3; ++c) {
            const int mean = sum[c] / weightSum;
            q[c] = Clamp255(p[c] + static_cast<int>(std::trunc((p[c] - mean) * factor)));
        }
    }

private:
    struct Tap
    {
        int dx;
        int dy;
        int weight;
    };
    static constexpr LONGLONG kMaxTable = 1 << 16;
    static constexpr size_t kMaxTaps = 25;

    static BYTE Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<BYTE>(v); }

    std::vector<Tap> m_taps;
    LONGLONG m_weightSum = 0;
    int m_lowSum = 0;
    int m_lowDifference = 0;
    std::vector<int> m_means;
    std::vector<int> m_steps;
    bool m_usable = false;
};

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
    const InteriorSharpener interior(factor, size, weights);
    // The neighbourhood's far side: an even size reaches one further right and down.
    const int reach = size - 1 - radius;
    for (LONG y = 0; y < from.height; ++y) {
        const bool rowInside = interior.IsUsable() && y >= radius && y + reach < from.height;
        const LONG x0 = rowInside ? std::min<LONG>(radius, from.width) : from.width;
        const LONG x1 = rowInside ? std::max<LONG>(x0, from.width - reach) : from.width;
        auto edge = [&](LONG x) {
            if (interior.IsUsable())
                interior.Edge(from, to, x, y, factor);
            else
                SharpenPixel(from, to, x, y, factor, size, weights);
        };
        for (LONG x = 0; x < x0; ++x)
            edge(x);
        if (x1 > x0)
            interior.Run(from, to, y, x0, x1);
        for (LONG x = x1; x < from.width; ++x)
            edge(x);
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
