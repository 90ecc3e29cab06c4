#include "image/DibDepth.h"

#include "foundation/PixelSize.h"
#include "image/DibCore.h"
#include "image/DibPixelView.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

BYTE ClampByte(double value)
{
    if (value < 0)
        return 0;
    if (value > 255)
        return 255;
    return static_cast<BYTE>(value);
}

BYTE ClampByte(int value)
{
    return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// A new DIB of the given depth whose 40-byte header takes the resolution fields of the source.
HGLOBAL CreateLike(const void* dib, LONG width, LONG height, WORD bitCount)
{
    HGLOBAL out = CreateDib(width, height, bitCount);
    if (!out)
        return nullptr;
    if (GetDibHeaderKind(dib) >= 3) {
        DibLock lock(out);
        const auto* from = static_cast<const BITMAPINFOHEADER*>(dib);
        lock.header()->biXPelsPerMeter = from->biXPelsPerMeter;
        lock.header()->biYPelsPerMeter = from->biYPelsPerMeter;
    }
    return out;
}

// One channel of a masked 16 or 32-bit pixel: at most 8 bits collected from the top mask bit
// down, then widened by bit replication (5-bit 0 gives 0, 31 gives 255; an empty mask gives 0).
struct ChannelMask
{
    int positions[8];
    int count = 0;

    explicit ChannelMask(DWORD mask)
    {
        for (int bit = 31; bit >= 0 && count < 8; --bit)
            if (mask & (1u << bit))
                positions[count++] = bit;
    }

    BYTE Extract(DWORD pixel) const
    {
        if (count == 0)
            return 0;
        unsigned value = 0;
        for (int i = 0; i < count; ++i)
            value = (value << 1) | ((pixel >> positions[i]) & 1);
        if (count == 8)
            return static_cast<BYTE>(value);
        unsigned result = 0;
        int shift = 8 - count;
        result = value << shift;
        while (shift > 0) {
            shift -= count;
            result |= shift >= 0 ? value << shift : value >> -shift;
        }
        return static_cast<BYTE>(result & 255);
    }
};

HGLOBAL DecodeRleBounded(const void* dib, SIZE_T available)
{
    DWORD compression = DibCompression(dib);
    WORD bits = DibBitCount(dib);
    if (!((compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4)))
        return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof(header));
    header.biCompression = BI_RGB;
    header.biSizeImage = 0;
    HGLOBAL out = CreateDibFromHeader(&header);
    if (!out)
        return nullptr;
    bool decoded;
    {
        DibLock lock(out);
        std::memcpy(lock.get() + sizeof(header), static_cast<const BYTE*>(dib) + sizeof(header),
                    DibColorTableSize(dib));
        SIZE_T srcBytes = DibImageSize(dib);
        if (srcBytes > available)
            srcBytes = available;
        decoded = DecodeRlePixels(DibBits(dib), srcBytes, bits, header.biWidth, header.biHeight, DibBits(lock.get()),
                                  DibRowSize(lock.get()));
    }
    if (!decoded) {
        GlobalFree(out);
        return nullptr;
    }
    return out;
}

} // namespace

void ReadDibPalette256(const void* dib, RGBQUAD table[256])
{
    std::memset(table, 0, 256 * sizeof(RGBQUAD));
    if (DibBitCount(dib) > 8)
        return;
    DWORD count = std::min<DWORD>(DibColorCount(dib), 256);
    for (DWORD i = 0; i < count; ++i) {
        COLORREF color = GetDibColorEntry(dib, static_cast<int>(i));
        table[i].rgbRed = GetRValue(color);
        table[i].rgbGreen = GetGValue(color);
        table[i].rgbBlue = GetBValue(color);
    }
}

bool DecodeRlePixels(const BYTE* src, SIZE_T srcBytes, int bitCount, LONG width, LONG height, BYTE* rows,
                     DWORD rowBytes)
{
    // A run that crosses the end of a row is cut there, as readers of the format do (writers pad
    // rows to whole words: 64-pixel runs for a 63-pixel-wide picture); a run below the last row
    // or a move outside the picture is refused.
    const bool rle4 = bitCount == 4;
    LONG x = 0, y = 0;
    SIZE_T pos = 0;
    while (pos + 2 <= srcBytes) {
        BYTE count = src[pos];
        BYTE value = src[pos + 1];
        pos += 2;
        if (count > 0) {
            if (y >= height)
                return false;
            BYTE* row = rows + static_cast<SIZE_T>(y) * rowBytes;
            for (int k = 0; k < count && x < width; ++k, ++x) {
                SetPackedIndex(row, x, bitCount, rle4 && !(k & 1) ? value >> 4 : value);
            }
            continue;
        }
        switch (value) {
        case 0:
            x = 0;
            ++y;
            break;
        case 1:
            return true;
        case 2:
            if (pos + 2 > srcBytes)
                return true;
            x += src[pos];
            y += src[pos + 1];
            pos += 2;
            if (x > width || y >= height)
                return false;
            break;
        default: {
            LONG n = value;
            if (y >= height)
                return false;
            SIZE_T bytes = rle4 ? (n + 1) / 2 : n;
            SIZE_T padded = (bytes + 1) & ~static_cast<SIZE_T>(1);
            BYTE* row = rows + static_cast<SIZE_T>(y) * rowBytes;
            for (LONG k = 0; k < n && x < width; ++k, ++x) {
                SIZE_T at = pos + (rle4 ? k / 2 : k);
                if (at >= srcBytes)
                    return true;
                SetPackedIndex(row, x, bitCount, rle4 && !(k & 1) ? src[at] >> 4 : src[at]);
            }
            pos += padded;
            break;
        }
        }
    }
    return true;
}

HGLOBAL DecodeRleDib(const void* dib)
{
    if (!dib)
        return nullptr;
    return DecodeRleBounded(dib, DibImageSize(dib));
}

HGLOBAL DecodeRleDibHandle(HGLOBAL dib)
{
    DibLock lock(dib);
    if (!lock || GetDibHeaderKind(lock.get()) < 3)
        return dib;
    DWORD compression = DibCompression(lock.get());
    if (compression != BI_RLE8 && compression != BI_RLE4)
        return dib;
    SIZE_T offset = static_cast<SIZE_T>(DibBits(lock.get()) - lock.get());
    SIZE_T size = GlobalSize(dib);
    return DecodeRleBounded(lock.get(), size > offset ? size - offset : 0);
}

HGLOBAL WidenDibTo24(const void* dib)
{
    if (!dib)
        return nullptr;
    WORD bits = DibBitCount(dib);
    if (bits == 16 || bits == 32)
        return WidenDib16or32To24(dib);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return nullptr;
    LONG width = DibWidth(dib), height = DibHeight(dib);
    HGLOBAL out = CreateLike(dib, width, height, 24);
    if (!out)
        return nullptr;
    DibLock lock(out);
    BYTE* to = DibBits(lock.get());
    const BYTE* from = DibBits(dib);
    DWORD toRow = DibRowSize(lock.get());
    DWORD fromRow = DibRowSize(dib);
    if (bits == 24) {
        std::memcpy(to, from, static_cast<SIZE_T>(toRow) * height);
        return out;
    }
    RGBQUAD table[256];
    ReadDibPalette256(dib, table);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* src = from + static_cast<SIZE_T>(y) * fromRow;
        BYTE* dst = to + static_cast<SIZE_T>(y) * toRow;
        for (LONG x = 0; x < width; ++x) {
            unsigned index = GetPackedIndex(src, x, bits);
            *dst++ = table[index].rgbBlue;
            *dst++ = table[index].rgbGreen;
            *dst++ = table[index].rgbRed;
        }
    }
    return out;
}

HGLOBAL WidenDib16or32To24(const void* dib)
{
    if (!dib)
        return nullptr;
    WORD bits = DibBitCount(dib);
    DWORD compression = DibCompression(dib);
    if ((bits != 16 && bits != 32) || (compression != BI_RGB && compression != BI_BITFIELDS))
        return nullptr;
    DWORD red, green, blue;
    const BYTE* base = static_cast<const BYTE*>(dib) + DibHeaderSize(dib);
    DWORD colorsUsed = GetDibHeaderKind(dib) >= 3 ? static_cast<const BITMAPINFOHEADER*>(dib)->biClrUsed : 0;
    if (compression == BI_BITFIELDS) {
        std::memcpy(&red, base, 4);
        std::memcpy(&green, base + 4, 4);
        std::memcpy(&blue, base + 8, 4);
    } else if (bits == 16) {
        red = 0x7C00, green = 0x03E0, blue = 0x001F;
    } else {
        red = 0xFF0000, green = 0xFF00, blue = 0xFF;
    }
    const BYTE* from = base + static_cast<SIZE_T>(colorsUsed) * 4 + (compression == BI_BITFIELDS ? 12 : 0);
    LONG width = DibWidth(dib), height = DibHeight(dib);
    HGLOBAL out = CreateLike(dib, width, height, 24);
    if (!out)
        return nullptr;
    DibLock lock(out);
    BYTE* to = DibBits(lock.get());
    DWORD toRow = DibRowSize(lock.get());
    const SIZE_T fromRow = static_cast<SIZE_T>(PixelRowBytes(width, bits));
    ChannelMask r(red), g(green), b(blue);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* src = from + y * fromRow;
        BYTE* dst = to + static_cast<SIZE_T>(y) * toRow;
        for (LONG x = 0; x < width; ++x) {
            DWORD pixel;
            if (bits == 32) {
                std::memcpy(&pixel, src + x * 4, 4);
            } else {
                WORD word;
                std::memcpy(&word, src + x * 2, 2);
                pixel = word;
            }
            *dst++ = b.Extract(pixel);
            *dst++ = g.Extract(pixel);
            *dst++ = r.Extract(pixel);
        }
    }
    return out;
}

HGLOBAL WidenDibHandle16or32To24(HGLOBAL dib)
{
    DibLock lock(dib);
    return lock ? WidenDib16or32To24(lock.get()) : nullptr;
}

HGLOBAL WidenDibTo8(const void* dib, int bitCount)
{
    if (!dib || bitCount != 8)
        return nullptr;
    WORD bits = DibBitCount(dib);
    if (bits != 1 && bits != 4)
        return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof(header));
    header.biSize = sizeof(header);
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biClrUsed = header.biClrImportant = header.biSizeImage = 0;
    HGLOBAL out = CreateDibFromHeader(&header);
    if (!out)
        return nullptr;
    DibLock lock(out);
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(lock.get() + sizeof(header));
    std::memset(table, 0, 256 * sizeof(RGBQUAD));
    RGBQUAD source[256];
    ReadDibPalette256(dib, source);
    std::memcpy(table, source, (1u << bits) * sizeof(RGBQUAD));
    LONG width = header.biWidth, height = header.biHeight;
    const BYTE* from = DibBits(dib);
    DWORD fromRow = DibRowSize(dib);
    BYTE* to = DibBits(lock.get());
    DWORD toRow = DibRowSize(lock.get());
    for (LONG y = 0; y < height; ++y) {
        const BYTE* src = from + static_cast<SIZE_T>(y) * fromRow;
        BYTE* dst = to + static_cast<SIZE_T>(y) * toRow;
        for (LONG x = 0; x < width; ++x)
            dst[x] = GetPackedIndex(src, x, bits);
    }
    return out;
}

HGLOBAL MakeDib24(HGLOBAL dib)
{
    if (!dib)
        return dib;
    DibLock lock(dib);
    if (!lock)
        return nullptr;
    if (DibBitCount(lock.get()) == 24)
        return dib;
    if (GetDibHeaderKind(lock.get()) >= 3) {
        HGLOBAL expanded = DecodeRleDibHandle(dib);
        if (expanded && expanded != dib) {
            HGLOBAL widened = nullptr;
            {
                DibLock inner(expanded);
                if (inner)
                    widened = WidenDibTo24(inner.get());
            }
            GlobalFree(expanded);
            return widened;
        }
        if (!expanded)
            return nullptr;
    }
    return WidenDibTo24(lock.get());
}

HGLOBAL ConvertDibDepth(HGLOBAL dib, int bitCount)
{
    if (bitCount == 24)
        return MakeDib24(dib);
    DibLock lock(dib);
    if (!lock)
        return dib;
    WORD bits = DibBitCount(lock.get());
    if (bits == 1 || bits == 4) {
        HGLOBAL widened = WidenDibTo8(lock.get(), 8);
        return widened ? widened : dib;
    }
    return dib;
}

HGLOBAL ResizeDibCanvas(HGLOBAL dib, LONG width, LONG height)
{
    DibLock lock(dib);
    if (!lock || width <= 0 || height <= 0)
        return dib;
    BITMAPINFOHEADER header;
    std::memcpy(&header, lock.get(), sizeof(header));
    LONG oldHeight = header.biHeight;
    header.biWidth = width;
    header.biHeight = height;
    header.biSizeImage = CalcDibImageSize(width, height, header.biBitCount);
    HGLOBAL out = CreateDibFromHeader(&header);
    if (!out)
        return dib;
    DibLock to(out);
    std::memcpy(to.get() + sizeof(header), lock.get() + sizeof(header), DibColorTableSize(lock.get()));
    DWORD fromRow = DibRowSize(lock.get()), toRow = DibRowSize(to.get());
    DWORD copyBytes = std::min(fromRow, toRow);
    LONG rows = std::min(oldHeight, height);
    for (LONG y = 0; y < rows; ++y)
        std::memcpy(DibBits(to.get()) + static_cast<SIZE_T>(y) * toRow,
                    DibBits(lock.get()) + static_cast<SIZE_T>(y) * fromRow, copyBytes);
    return out;
}

HGLOBAL AdjustDibColor(HGLOBAL dib, int red, int green, int blue, double factor)
{
    const double whole = std::trunc(factor);
    if (red == 0 && green == 0 && blue == 0 && whole == 0)
        return dib;
    DibLock lock(dib);
    if (!lock)
        return dib;
    auto adjust = [&](BYTE& c, int offset) {
        int value = c;
        if (whole != 0)
            value = ClampByte(std::trunc((value - std::sqrt(static_cast<double>(value))) * factor + value));
        c = ClampByte(value + offset);
    };
    WORD bits = DibBitCount(lock.get());
    if (bits == 1 || bits == 4 || bits == 8) {
        RGBQUAD* table = reinterpret_cast<RGBQUAD*>(lock.get() + DibHeaderSize(lock.get()));
        DWORD count = std::min<DWORD>(DibColorCount(lock.get()), 1u << bits);
        for (DWORD i = 0; i < count; ++i) {
            adjust(table[i].rgbRed, red);
            adjust(table[i].rgbGreen, green);
            adjust(table[i].rgbBlue, blue);
        }
    } else if (bits == 24) {
        LONG width = DibWidth(lock.get()), height = DibHeight(lock.get());
        DWORD row = DibRowSize(lock.get());
        BYTE* bitsPtr = DibBits(lock.get());
        for (LONG y = 0; y < height; ++y) {
            BYTE* p = bitsPtr + static_cast<SIZE_T>(y) * row;
            for (LONG x = 0; x < width; ++x, p += 3) {
                adjust(p[0], blue);
                adjust(p[1], green);
                adjust(p[2], red);
            }
        }
    }
    return dib;
}
