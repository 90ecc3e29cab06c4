#include "image/DibCore.h"

#include "foundation/PixelSize.h"
#include "image/DibValidate.h"

#include <cstring>

namespace {

DWORD ReadDword(const void* p, size_t offset)
{
    DWORD value;
    std::memcpy(&value, static_cast<const BYTE*>(p) + offset, sizeof(value));
    return value;
}

WORD ReadWord(const void* p, size_t offset)
{
    WORD value;
    std::memcpy(&value, static_cast<const BYTE*>(p) + offset, sizeof(value));
    return value;
}

DWORD Clamp32(ULONGLONG value)
{
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(value);
}

} // namespace

int GetDibHeaderKind(const void* dib)
{
    if (!dib)
        return 0;
    switch (ReadDword(dib, 0)) {
    case 12:
        return 2;
    case 40:
        return 3;
    case 108:
        return 4;
    case 124:
        return 5;
    default:
        return 0;
    }
}

DWORD DibHeaderSize(const void* dib)
{
    return dib ? ReadDword(dib, 0) : 0;
}

LONG DibWidth(const void* dib)
{
    return static_cast<LONG>(ReadDword(dib, 4));
}

LONG DibHeight(const void* dib)
{
    return static_cast<LONG>(ReadDword(dib, 8));
}

WORD DibBitCount(const void* dib)
{
    return ReadWord(dib, 14);
}

DWORD DibCompression(const void* dib)
{
    return ReadDword(dib, 16);
}

DWORD DibRowSize(const void* dib)
{
    return Clamp32(PixelRowBytes(DibWidth(dib), DibBitCount(dib)));
}

DWORD DibColorCount(const void* dib)
{
    if (GetDibHeaderKind(dib) >= 3) {
        DWORD used = ReadDword(dib, 32);
        if (used)
            return used;
    }
    WORD bits = DibBitCount(dib);
    return bits <= 8 ? 1u << bits : 0;
}

DWORD DibColorTableSize(const void* dib)
{
    // Core and unknown headers count 3-byte entries and no masks.
    ULONGLONG colors = DibColorCount(dib);
    if (GetDibHeaderKind(dib) < 3)
        return Clamp32(colors * 3);
    ULONGLONG size = colors * 4;
    if (DibCompression(dib) == BI_BITFIELDS)
        size += 12;
    return Clamp32(size);
}

DWORD DibQuadTableSize(const void* dib)
{
    ULONGLONG size = static_cast<ULONGLONG>(DibColorCount(dib)) * 4;
    if (DibCompression(dib) == BI_BITFIELDS)
        size += 12;
    return Clamp32(size);
}

DWORD DibImageSize(const void* dib)
{
    if (GetDibHeaderKind(dib) >= 3) {
        DWORD compression = DibCompression(dib);
        if (compression == BI_RLE8 || compression == BI_RLE4 || compression == BI_JPEG || compression == BI_PNG)
            return ReadDword(dib, 20);
    }
    LONGLONG height = DibHeight(dib);
    if (height < 0)
        height = -height;
    return Clamp32(PixelImageBytes(DibWidth(dib), height, DibBitCount(dib)));
}

DWORD DibTotalSize(const void* dib)
{
    return Clamp32(static_cast<ULONGLONG>(DibHeaderSize(dib)) + DibColorTableSize(dib) + DibImageSize(dib));
}

BYTE* DibBits(void* dib)
{
    return static_cast<BYTE*>(dib) + DibHeaderSize(dib) + DibColorTableSize(dib);
}

const BYTE* DibBits(const void* dib)
{
    return static_cast<const BYTE*>(dib) + DibHeaderSize(dib) + DibColorTableSize(dib);
}

BYTE* DibBitsPtr(void* dib)
{
    return static_cast<BYTE*>(dib) + DibHeaderSize(dib) + DibQuadTableSize(dib);
}

const BYTE* DibBitsPtr(const void* dib)
{
    return static_cast<const BYTE*>(dib) + DibHeaderSize(dib) + DibQuadTableSize(dib);
}

DWORD CalcDibImageSize(LONG width, LONG height, WORD bitCount)
{
    return Clamp32(PixelImageBytes(width, height, bitCount));
}

LONG GetDibWidth(HGLOBAL dib)
{
    DibLock lock(dib);
    return lock ? DibWidth(lock.get()) : 0;
}

LONG GetDibHeight(HGLOBAL dib)
{
    DibLock lock(dib);
    return lock ? DibHeight(lock.get()) : 0;
}

WORD GetDibBitCount(HGLOBAL dib)
{
    DibLock lock(dib);
    return lock ? DibBitCount(lock.get()) : 0;
}

DWORD GetDibImageSize(HGLOBAL dib)
{
    DibLock lock(dib);
    return lock ? DibImageSize(lock.get()) : 0;
}

DWORD GetDibTotalSize(HGLOBAL dib)
{
    DibLock lock(dib);
    return lock ? DibTotalSize(lock.get()) : 0;
}

HGLOBAL CreateDibFromHeader(const void* header)
{
    if (!header || ReadDword(header, 0) != sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER info;
    std::memcpy(&info, header, sizeof(info));
    DibLayout layout;
    if (!CheckDibHeader(info, &layout))
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, layout.totalBytes);
    if (!block)
        return nullptr;
    DibLock lock(block);
    if (!lock) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(lock.get(), &info, sizeof(info));
    if (info.biBitCount <= 8) {
        // Grey ramp: a one-entry table has no step and stays black.
        DWORD count = DibColorCount(lock.get());
        RGBQUAD* table = reinterpret_cast<RGBQUAD*>(lock.get() + sizeof(info));
        if (count > 1) {
            DWORD step = 256 / (count - 1);
            for (DWORD i = 0; i < count; ++i) {
                DWORD value = i * step;
                BYTE grey = value >= 256 ? 255 : static_cast<BYTE>(value);
                table[i].rgbBlue = table[i].rgbGreen = table[i].rgbRed = grey;
            }
        }
    }
    return block;
}

HGLOBAL CreateDib(LONG width, LONG height, WORD bitCount)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = bitCount;
    info.biCompression = BI_RGB;
    info.biSizeImage = CalcDibImageSize(width, height, bitCount);
    return CreateDibFromHeader(&info);
}

HGLOBAL CopyGlobal(HGLOBAL block)
{
    if (!block)
        return nullptr;
    SIZE_T size = GlobalSize(block);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        return nullptr;
    void* from = GlobalLock(block);
    void* to = GlobalLock(copy);
    if (!from || !to) {
        if (from)
            GlobalUnlock(block);
        if (to)
            GlobalUnlock(copy);
        GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(to, from, size);
    GlobalUnlock(block);
    GlobalUnlock(copy);
    return copy;
}

COLORREF GetDibColorEntry(const void* dib, int index)
{
    if (!dib || index < 0 || static_cast<DWORD>(index) >= DibColorCount(dib))
        return 0;
    const BYTE* table = static_cast<const BYTE*>(dib) + DibHeaderSize(dib);
    if (GetDibHeaderKind(dib) == 2) {
        const BYTE* entry = table + index * 3;
        return RGB(entry[2], entry[1], entry[0]);
    }
    if (DibCompression(dib) == BI_BITFIELDS)
        table += 12;
    const BYTE* entry = table + index * 4;
    return RGB(entry[2], entry[1], entry[0]);
}

void SetDibColorEntry(COLORREF color, void* dib, int index)
{
    if (!dib || index < 0 || static_cast<DWORD>(index) >= DibColorCount(dib))
        return;
    BYTE* table = static_cast<BYTE*>(dib) + DibHeaderSize(dib);
    BYTE* entry;
    if (GetDibHeaderKind(dib) == 2) {
        entry = table + index * 3;
    } else {
        if (DibCompression(dib) == BI_BITFIELDS)
            table += 12;
        entry = table + index * 4;
    }
    entry[0] = GetBValue(color);
    entry[1] = GetGValue(color);
    entry[2] = GetRValue(color);
}
