// Pixel access on a locked packed DIB with rows counted from the top of the picture; values are
// palette indices for 1, 4 and 8 bits and (first << 16) | (second << 8) | third for 24 bits.
#pragma once

#include "image/DibCore.h"

// The palette index of pixel x of a row of 1, 4 or 8 bits a pixel (the high bits first); 0 for
// other depths.
inline BYTE GetPackedIndex(const BYTE* row, LONG x, int bits)
{
    switch (bits) {
    case 8:
        return row[x];
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default:
        return 0;
    }
}

// Sets pixel x of such a row to the index (its low bits), leaving the other pixels alone.
inline void SetPackedIndex(BYTE* row, LONG x, int bits, unsigned index)
{
    switch (bits) {
    case 8:
        row[x] = static_cast<BYTE>(index);
        break;
    case 4: {
        BYTE& b = row[x >> 1];
        b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | (index & 0x0F))
                    : static_cast<BYTE>((b & 0x0F) | ((index & 0x0F) << 4));
        break;
    }
    case 1: {
        BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
        BYTE& b = row[x >> 3];
        b = (index & 1) ? static_cast<BYTE>(b | mask) : static_cast<BYTE>(b & ~mask);
        break;
    }
    default:
        break;
    }
}

struct DibPixelView
{
    BYTE* bits;
    LONG width;
    LONG height;
    DWORD row;
    WORD bitCount;

    explicit DibPixelView(void* dib)
        : bits(DibBits(dib)), width(DibWidth(dib)), height(DibHeight(dib)), row(DibRowSize(dib)),
          bitCount(DibBitCount(dib))
    {
    }

    bool Supported() const { return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24; }
    bool Inside(LONG x, LONG y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    BYTE* RowFromTop(LONG y) const { return bits + static_cast<SIZE_T>(height - 1 - y) * row; }

    DWORD Get(LONG x, LONG y) const
    {
        if (!Inside(x, y))
            return 0;
        const BYTE* p = RowFromTop(y);
        switch (bitCount) {
        case 24:
            p += static_cast<SIZE_T>(x) * 3;
            return (static_cast<DWORD>(p[0]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[2];
        default:
            return GetPackedIndex(p, x, bitCount);
        }
    }

    void Set(LONG x, LONG y, DWORD value) const
    {
        if (!Inside(x, y))
            return;
        BYTE* p = RowFromTop(y);
        switch (bitCount) {
        case 24:
            p += static_cast<SIZE_T>(x) * 3;
            p[0] = static_cast<BYTE>(value >> 16);
            p[1] = static_cast<BYTE>(value >> 8);
            p[2] = static_cast<BYTE>(value);
            break;
        default:
            SetPackedIndex(p, x, bitCount, value);
            break;
        }
    }
};
