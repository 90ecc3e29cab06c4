#include "image/DibResample.h"

#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibRotate.h"
#include "image/RotateInfo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The source as 24-bit rows: the DIB itself, its widening for palette depths, or black for the
// depths the resamplers do not read.
class Source24
{
public:
    explicit Source24(void* dib)
    {
        if (!dib)
            return;
        WORD bits = DibBitCount(dib);
        if (bits == 24) {
            m_dib = dib;
            return;
        }
        m_copy.reset(bits <= 8 ? WidenDibTo24(dib) : CreateDib(DibWidth(dib), DibHeight(dib), 24));
        if (m_copy) {
            m_lock = GlobalLock(m_copy.get());
            m_dib = m_lock;
        }
    }
    ~Source24()
    {
        if (m_lock)
            GlobalUnlock(m_copy.get());
    }
    Source24(const Source24&) = delete;
    Source24& operator=(const Source24&) = delete;

    bool ok() const { return m_dib != nullptr; }
    const BYTE* bits() const { return DibBits(m_dib); }
    DWORD row() const { return DibRowSize(m_dib); }
    const BYTE* RowFromTop(LONG y) const { return bits() + static_cast<SIZE_T>(height() - 1 - y) * row(); }
    LONG width() const { return DibWidth(m_dib); }
    LONG height() const { return DibHeight(m_dib); }

private:
    void* m_dib = nullptr;
    GlobalBlock m_copy;
    void* m_lock = nullptr;
};

HGLOBAL Create24Like(const void* dib, LONG width, LONG height)
{
    HGLOBAL out = CreateDib(width, height, 24);
    if (out && GetDibHeaderKind(dib) >= 3) {
        DibLock lock(out);
        lock.header()->biXPelsPerMeter = static_cast<const BITMAPINFOHEADER*>(dib)->biXPelsPerMeter;
        lock.header()->biYPelsPerMeter = static_cast<const BITMAPINFOHEADER*>(dib)->biYPelsPerMeter;
    }
    return out;
}

// What both resamplers start from: the source as 24-bit rows, the bounding rectangle of the turned
// picture, the new 24-bit DIB and the source step per output pixel; for a turn the inverse turn.
class ResampleJob
{
public:
    ResampleJob(HGLOBAL dib, LONG width, LONG height, double angle)
        : m_lock(dib), src(m_lock.get()), info(angle), turned(angle != 0 && !std::isnan(angle))
    {
        if (!src.ok())
            return;
        rect = info.GetBoundingRect(src.width(), src.height());
        m_out = Create24Like(m_lock.get(), width, height);
        if (!m_out)
            return;
        m_outBlock = GlobalLock(m_out);
        outBits = DibBits(m_outBlock);
        outRow = DibRowSize(m_outBlock);
        stepX = static_cast<double>(rect.right - rect.left) / width;
        stepY = static_cast<double>(rect.bottom - rect.top) / height;
        if (turned)
            info.SetAngle(360 - angle);
    }
    ~ResampleJob()
    {
        if (m_outBlock)
            GlobalUnlock(m_out);
    }
    ResampleJob(const ResampleJob&) = delete;
    ResampleJob& operator=(const ResampleJob&) = delete;

    bool ok() const { return m_outBlock != nullptr; }
    HGLOBAL result() const { return m_out; }

private:
    DibLock m_lock;

public:
    Source24 src;
    CRotateInfo info;
    const bool turned;
    RECT rect = {};
    BYTE* outBits = nullptr;
    DWORD outRow = 0;
    double stepX = 0, stepY = 0;

private:
    HGLOBAL m_out = nullptr;
    void* m_outBlock = nullptr;
};

double SampleSpacing(double step, int fineStep)
{
    if (fineStep == 0)
        return std::min(1.0, step / 3);
    static const double table[16] = {0,   0,   0,   0,   1.333333, 1.666667, 1.5,      2.0,
                                     2.5, 1.5, 2.0, 2.5, 2.0,      2.666667, 3.333333, 2.0};
    double whole = std::trunc(step);
    if (whole < 1 || whole >= 16)
        return step * 0.5;
    int n = static_cast<int>(whole);
    return n <= 3 ? 1.0 : table[n];
}

// Sample positions along one axis of each output cell, in the order start, start + dx, ... while
// below start + step; positions outside 0..limit-1 are dropped (they are skipped, not counted).
void AxisSamples(double origin, double step, double dx, LONG cells, LONG limit, bool halfShift,
                 std::vector<LONG>& offsets, std::vector<LONG>& positions)
{
    offsets.assign(1, 0);
    positions.clear();
    for (LONG cell = 0; cell < cells; ++cell) {
        double start = halfShift ? origin - step / 2 + cell * step : origin + cell * step;
        double end = start + step;
        for (double s = start; s < end; s += dx) {
            LONG p = static_cast<LONG>(std::trunc(s));
            if (p >= 0 && p < limit)
                positions.push_back(p);
            if (s + dx == s)
                break;
        }
        offsets.push_back(static_cast<LONG>(positions.size()));
    }
}

template <typename Sum>
void AverageStraight(const Source24& src, BYTE* outBits, DWORD outRow, LONG width, LONG height,
                     const std::vector<LONG>& colOffsets, const std::vector<LONG>& cols,
                     const std::vector<LONG>& rowOffsets, const std::vector<LONG>& rows)
{
    std::vector<Sum> sums(static_cast<size_t>(width) * 3);
    for (LONG y = 0; y < height; ++y) {
        const LONG firstRow = rowOffsets[y], lastRow = rowOffsets[y + 1];
        const LONG cy = lastRow - firstRow;
        if (cy == 0)
            continue;
        std::fill(sums.begin(), sums.end(), 0);
        for (LONG r = firstRow; r < lastRow; ++r) {
            const BYTE* line = src.RowFromTop(rows[r]);
            Sum* sum = sums.data();
            for (LONG x = 0; x < width; ++x, sum += 3) {
                Sum b = 0, g = 0, red = 0;
                for (LONG k = colOffsets[x]; k < colOffsets[x + 1]; ++k) {
                    const BYTE* p = line + cols[k] * 3;
                    b += p[0];
                    g += p[1];
                    red += p[2];
                }
                sum[0] += b;
                sum[1] += g;
                sum[2] += red;
            }
        }
        BYTE* dst = outBits + static_cast<SIZE_T>(height - 1 - y) * outRow;
        const Sum* sum = sums.data();
        for (LONG x = 0; x < width; ++x, sum += 3, dst += 3) {
            Sum count = static_cast<Sum>(colOffsets[x + 1] - colOffsets[x]) * cy;
            if (count == 0)
                continue;
            dst[0] = static_cast<BYTE>(sum[0] / count);
            dst[1] = static_cast<BYTE>(sum[1] / count);
            dst[2] = static_cast<BYTE>(sum[2] / count);
        }
    }
}

void PutColor(BYTE* dst, COLORREF color)
{
    dst[0] = GetBValue(color);
    dst[1] = GetGValue(color);
    dst[2] = GetRValue(color);
}

int Lerp(int a, int b, int f)
{
    return a + (((b - a) * f) >> 8);
}

BYTE Blend(int a, int b, int c, int d, int fx, int fy)
{
    int first = Lerp(a, b, fx), second = Lerp(c, d, fx);
    return static_cast<BYTE>(std::clamp(Lerp(first, second, fy), 0, 255));
}

// Unturned bilinear resampling over precomputed neighbours; neighbours past the last column or row
// repeat the edge pixel. Rows are counted from the bottom when fromBottom (the enlarging form).
void BilinearStraight(const Source24& src, BYTE* outBits, DWORD outRow, LONG width, LONG height, double stepX,
                      double stepY, bool fromBottom)
{
    const LONG W = src.width(), H = src.height();
    std::vector<LONG> left(width), right(width);
    std::vector<int> fx(width);
    for (LONG x = 0; x < width; ++x) {
        double p = x * stepX;
        LONG i = static_cast<LONG>(std::floor(p));
        fx[x] = static_cast<int>((p - i) * 256);
        i = std::clamp<LONG>(i, 0, W - 1);
        left[x] = i * 3;
        right[x] = std::min<LONG>(i + 1, W - 1) * 3;
    }
    for (LONG y = 0; y < height; ++y) {
        double q = y * stepY;
        LONG j = static_cast<LONG>(std::floor(q));
        int fy = static_cast<int>((q - j) * 256);
        j = std::clamp<LONG>(j, 0, H - 1);
        LONG j1 = std::min<LONG>(j + 1, H - 1);
        const BYTE* r0 = fromBottom ? src.bits() + static_cast<SIZE_T>(j) * src.row() : src.RowFromTop(j);
        const BYTE* r1 = fromBottom ? src.bits() + static_cast<SIZE_T>(j1) * src.row() : src.RowFromTop(j1);
        BYTE* dst = outBits + static_cast<SIZE_T>(fromBottom ? y : height - 1 - y) * outRow;
        for (LONG x = 0; x < width; ++x, dst += 3) {
            const BYTE *a = r0 + left[x], *b = r0 + right[x], *c = r1 + left[x], *d = r1 + right[x];
            const int f = fx[x];
            for (int ch = 0; ch < 3; ++ch)
                dst[ch] = Blend(a[ch], b[ch], c[ch], d[ch], f, fy);
        }
    }
}

// The input itself for a request that cannot be met, or a quarter turn that needs no resampling.
bool EarlyResult(HGLOBAL dib, LONG width, LONG height, double angle, HGLOBAL* result)
{
    if (!dib || width <= 0 || height <= 0) {
        *result = dib;
        return true;
    }
    return QuarterTurnShortcut(dib, width, height, angle, result);
}

} // namespace

HGLOBAL ResizeDib(HGLOBAL dib, LONG width, LONG height, double angle, COLORREF background)
{
    LONG w = GetDibWidth(dib), h = GetDibHeight(dib);
    double scaleX = w ? static_cast<double>(width) / w : 0;
    double scaleY = h ? static_cast<double>(height) / h : 0;
    if (std::min(scaleX, scaleY) <= 0.5)
        return ResampleDibAverage(dib, width, height, angle, 0, background);
    return ResampleDibBilinear(dib, width, height, angle, background);
}

HGLOBAL ResampleDibAverage(HGLOBAL dib, LONG width, LONG height, double angle, int fineStep, COLORREF background)
{
    HGLOBAL early;
    if (EarlyResult(dib, width, height, angle, &early))
        return early;
    ResampleJob job(dib, width, height, angle);
    if (!job.ok())
        return dib;
    const Source24& src = job.src;
    const LONG W = src.width(), H = src.height();
    const double dx = SampleSpacing(job.stepX, fineStep), dy = SampleSpacing(job.stepY, fineStep);

    if (!job.turned) {
        std::vector<LONG> colOffsets, cols, rowOffsets, rows;
        AxisSamples(job.rect.left, job.stepX, dx, width, W, true, colOffsets, cols);
        AxisSamples(job.rect.top, job.stepY, dy, height, H, true, rowOffsets, rows);
        LONG maxCols = 0, maxRows = 0;
        for (LONG x = 0; x < width; ++x)
            maxCols = std::max(maxCols, colOffsets[x + 1] - colOffsets[x]);
        for (LONG y = 0; y < height; ++y)
            maxRows = std::max(maxRows, rowOffsets[y + 1] - rowOffsets[y]);
        if (static_cast<ULONGLONG>(maxCols) * maxRows * 255 < 0xFFFFFFFFull)
            AverageStraight<DWORD>(src, job.outBits, job.outRow, width, height, colOffsets, cols, rowOffsets, rows);
        else
            AverageStraight<ULONGLONG>(src, job.outBits, job.outRow, width, height, colOffsets, cols, rowOffsets, rows);
        return job.result();
    }

    const double c = job.info.m_cos, s = job.info.m_sin;
    for (LONG y = 0; y < height; ++y) {
        BYTE* dst = job.outBits + static_cast<SIZE_T>(height - 1 - y) * job.outRow;
        const double top = job.rect.top + y * job.stepY;
        for (LONG x = 0; x < width; ++x, dst += 3) {
            const double left = job.rect.left + x * job.stepX;
            ULONGLONG b = 0, g = 0, r = 0, count = 0;
            for (double Y = top; Y < top + job.stepY; Y += dy) {
                for (double X = left; X < left + job.stepX; X += dx) {
                    double fx = std::trunc(c * X - s * Y), fy = std::trunc(s * X + c * Y);
                    if (fx >= 0 && fy >= 0 && fx < W && fy < H) {
                        const BYTE* p = src.RowFromTop(static_cast<LONG>(fy)) + static_cast<SIZE_T>(fx) * 3;
                        b += p[0];
                        g += p[1];
                        r += p[2];
                        ++count;
                    }
                    if (X + dx == X)
                        break;
                }
                if (Y + dy == Y)
                    break;
            }
            if (count == 0) {
                PutColor(dst, background);
                continue;
            }
            dst[0] = static_cast<BYTE>(b / count);
            dst[1] = static_cast<BYTE>(g / count);
            dst[2] = static_cast<BYTE>(r / count);
        }
    }
    return job.result();
}

HGLOBAL ResampleDibBilinear(HGLOBAL dib, LONG width, LONG height, double angle, COLORREF background)
{
    HGLOBAL early;
    if (EarlyResult(dib, width, height, angle, &early))
        return early;
    ResampleJob job(dib, width, height, angle);
    if (!job.ok())
        return dib;
    const Source24& src = job.src;
    const LONG W = src.width(), H = src.height();

    if (!job.turned) {
        BilinearStraight(src, job.outBits, job.outRow, width, height, job.stepX, job.stepY,
                         job.stepX <= 1 && job.stepY <= 1);
        return job.result();
    }

    const double c = job.info.m_cos, s = job.info.m_sin;
    const BYTE backgroundBgr[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    auto pixel = [&](LONG x, LONG y) -> const BYTE* {
        if (x < 0 || y < 0 || x >= W || y >= H)
            return backgroundBgr;
        return src.RowFromTop(y) + static_cast<SIZE_T>(x) * 3;
    };
    for (LONG y = 0; y < height; ++y) {
        BYTE* dst = job.outBits + static_cast<SIZE_T>(height - 1 - y) * job.outRow;
        const double Y = job.rect.top + y * job.stepY;
        for (LONG x = 0; x < width; ++x, dst += 3) {
            const double X = job.rect.left + x * job.stepX;
            double px = X, py = Y;
            if (job.info.m_rotating) {
                px = c * X - s * Y;
                py = s * X + c * Y;
            }
            double fi = std::floor(px), fj = std::floor(py);
            if (fi < -2 || fj < -2 || fi > W + 1 || fj > H + 1) {
                PutColor(dst, background);
                continue;
            }
            LONG i = static_cast<LONG>(fi), j = static_cast<LONG>(fj);
            int fx = static_cast<int>((px - i) * 256), fy = static_cast<int>((py - j) * 256);
            const BYTE *a = pixel(i, j), *b = pixel(i + 1, j), *cc = pixel(i, j + 1), *d = pixel(i + 1, j + 1);
            for (int ch = 0; ch < 3; ++ch)
                dst[ch] = Blend(a[ch], b[ch], cc[ch], d[ch], fx, fy);
        }
    }
    return job.result();
}
