#include "image/DibRotate.h"

#include "image/DibPixelView.h"
#include "image/DibValidate.h"
#include "image/RotateInfo.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

enum class Turn { Quarter, Half, ThreeQuarters };

HGLOBAL TurnQuarters(HGLOBAL dib, Turn turn)
{
    DibLock lock(dib);
    if (!lock)
        return nullptr;
    DibPixelView from(lock.get());
    bool swap = turn != Turn::Half;
    HGLOBAL out = CreateDibLike(lock.get(), swap ? from.height : from.width, swap ? from.width : from.height);
    if (!out || !from.Supported())
        return out;
    DibLock outLock(out);
    DibPixelView to(outLock.get());
    const LONG w = from.width, h = from.height;
    for (LONG y = 0; y < to.height; ++y) {
        BYTE* dst = to.RowFromTop(y);
        for (LONG x = 0; x < to.width; ++x) {
            LONG sx, sy;
            switch (turn) {
            case Turn::Quarter: // clockwise: the bottom-left pixel goes to the top-left
                sx = y;
                sy = h - 1 - x;
                break;
            case Turn::Half:
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            default: // counter-clockwise
                sx = w - 1 - y;
                sy = x;
                break;
            }
            if (from.bitCount == 24) {
                const BYTE* src = from.RowFromTop(sy) + static_cast<SIZE_T>(sx) * 3;
                dst[x * 3] = src[0];
                dst[x * 3 + 1] = src[1];
                dst[x * 3 + 2] = src[2];
            } else if (from.bitCount == 8) {
                dst[x] = from.RowFromTop(sy)[sx];
            } else {
                to.Set(x, y, from.Get(sx, sy));
            }
        }
    }
    return out;
}

HGLOBAL KeepInputOnFailure(HGLOBAL input, HGLOBAL result)
{
    return result ? result : input;
}

} // namespace

DWORD GetDibPixel(const void* dib, LONG x, LONG y)
{
    if (!dib)
        return 0;
    DibPixelView view(const_cast<void*>(dib));
    return view.Supported() ? view.Get(x, y) : 0;
}

void SetDibPixel(void* dib, LONG x, LONG y, DWORD value)
{
    if (!dib)
        return;
    DibPixelView view(dib);
    if (view.Supported())
        view.Set(x, y, value);
}

bool IsQuarterTurn(double angle)
{
    return std::fabs(std::fmod(angle + 360, 90)) < 0.0001;
}

HGLOBAL CreateDibLike(const void* dib, LONG width, LONG height)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof(header));
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biSizeImage = CalcDibImageSize(width, height, header.biBitCount);
    if (header.biCompression != BI_BITFIELDS)
        header.biCompression = BI_RGB;
    DibLayout layout;
    if (!CheckDibHeader(header, &layout))
        return nullptr;
    HGLOBAL out = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, layout.totalBytes);
    if (!out)
        return nullptr;
    DibLock lock(out);
    std::memcpy(lock.get(), &header, sizeof(header));
    std::memcpy(lock.get() + sizeof(header), static_cast<const BYTE*>(dib) + DibHeaderSize(dib), layout.tableBytes);
    return out;
}

HGLOBAL RotateDib90(HGLOBAL dib)
{
    return TurnQuarters(dib, Turn::Quarter);
}

HGLOBAL RotateDib180(HGLOBAL dib)
{
    return TurnQuarters(dib, Turn::Half);
}

HGLOBAL RotateDib270(HGLOBAL dib)
{
    return TurnQuarters(dib, Turn::ThreeQuarters);
}

HGLOBAL RotateDib(HGLOBAL dib, double angle)
{
    if (!dib)
        return dib;
    if (IsQuarterTurn(angle)) {
        switch (static_cast<int>(std::trunc(std::fmod(angle + 360, 360)))) {
        case 0:
            return dib;
        case 90:
            return KeepInputOnFailure(dib, RotateDib90(dib));
        case 180:
            return KeepInputOnFailure(dib, RotateDib180(dib));
        case 270:
            return KeepInputOnFailure(dib, RotateDib270(dib));
        default:
            break;
        }
    }
    DibLock lock(dib);
    if (!lock)
        return dib;
    DibPixelView from(lock.get());
    CRotateInfo info(angle);
    RECT rect = info.GetBoundingRect(from.width, from.height);
    LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return dib;
    HGLOBAL out = CreateDibLike(lock.get(), width, height);
    if (!out)
        return dib;
    if (!from.Supported())
        return out;
    DibLock outLock(out);
    DibPixelView to(outLock.get());
    info.SetAngle(360 - angle);
    const long long c = info.m_cos1024, s = info.m_sin1024;
    for (LONG y = 0; y < height; ++y) {
        const long long Y = rect.top + y;
        for (LONG x = 0; x < width; ++x) {
            const long long X = rect.left + x;
            LONG sx = static_cast<LONG>(X), sy = static_cast<LONG>(Y);
            if (info.m_rotating) {
                sx = static_cast<LONG>((c * X - s * Y) >> 10);
                sy = static_cast<LONG>((s * X + c * Y) >> 10);
            }
            to.Set(x, y, from.Get(sx, sy));
        }
    }
    return out;
}

bool QuarterTurnShortcut(HGLOBAL dib, LONG width, LONG height, double angle, HGLOBAL* result)
{
    if (!IsQuarterTurn(angle))
        return false;
    LONG w = GetDibWidth(dib), h = GetDibHeight(dib);
    int whole = static_cast<int>(std::trunc(angle));
    if (whole == 0 && w == width && h == height) {
        *result = dib;
        return true;
    }
    if ((whole == 180 && w == width && h == height) || ((whole == 90 || whole == 270) && w == height && h == width)) {
        *result = RotateDib(dib, angle);
        return true;
    }
    return false;
}

HGLOBAL RotateResizeDib(HGLOBAL dib, LONG width, LONG height, double angle)
{
    DibLock lock(dib);
    if (!lock || width <= 0 || height <= 0)
        return dib;
    HGLOBAL shortcut;
    if (QuarterTurnShortcut(dib, width, height, angle, &shortcut))
        return shortcut;
    DibPixelView from(lock.get());
    CRotateInfo info(angle);
    RECT rect = info.GetBoundingRect(from.width, from.height);
    HGLOBAL out = CreateDibLike(lock.get(), width, height);
    if (!out)
        return dib;
    if (!from.Supported())
        return out;
    DibLock outLock(out);
    DibPixelView to(outLock.get());
    const double stepX = static_cast<double>(rect.right - rect.left) / width;
    const double stepY = static_cast<double>(rect.bottom - rect.top) / height;
    if (angle != 0 && !std::isnan(angle))
        info.SetAngle(360 - angle);
    if (info.m_rotating) {
        for (LONG y = 0; y < height; ++y) {
            const double Y = rect.top + y * stepY;
            for (LONG x = 0; x < width; ++x) {
                const double X = rect.left + x * stepX;
                LONG sx = static_cast<LONG>(std::trunc(info.m_cos * X - info.m_sin * Y + 0.5));
                LONG sy = static_cast<LONG>(std::trunc(info.m_sin * X + info.m_cos * Y + 0.5));
                to.Set(x, y, from.Get(sx, sy));
            }
        }
        return out;
    }
    // Unturned: the source column of each output column and the source row of each output row
    // are computed once, with the same arithmetic as the per-pixel form.
    std::vector<LONG> columns(width);
    for (LONG x = 0; x < width; ++x)
        columns[x] = static_cast<LONG>(std::trunc(rect.left + x * stepX + 0.5));
    for (LONG y = 0; y < height; ++y) {
        LONG sy = static_cast<LONG>(std::trunc(rect.top + y * stepY + 0.5));
        if (sy < 0 || sy >= from.height)
            continue;
        const BYTE* src = from.RowFromTop(sy);
        BYTE* dst = to.RowFromTop(y);
        for (LONG x = 0; x < width; ++x) {
            LONG sx = columns[x];
            if (sx < 0 || sx >= from.width)
                continue;
            if (from.bitCount == 24) {
                std::memcpy(dst + x * 3, src + static_cast<SIZE_T>(sx) * 3, 3);
            } else if (from.bitCount == 8) {
                dst[x] = src[sx];
            } else {
                to.Set(x, y, from.Get(sx, sy));
            }
        }
    }
    return out;
}
