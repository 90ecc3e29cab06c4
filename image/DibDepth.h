// Bit-depth conversion of packed DIBs: widening to 24 bits, widening 1 and 4-bit DIBs to 8 bits,
// RLE expansion, canvas resizing and a per-channel colour adjustment.
#pragma once

#include "image/DibCore.h"

#include <windows.h>

HGLOBAL MakeDib24(HGLOBAL dib);
HGLOBAL ConvertDibDepth(HGLOBAL dib, int bitCount);
HGLOBAL WidenDibTo24(const void* dib);
HGLOBAL WidenDib16or32To24(const void* dib);
HGLOBAL WidenDibHandle16or32To24(HGLOBAL dib);
HGLOBAL WidenDibTo8(const void* dib, int bitCount);
// The locked form cannot see the block's end; DecodeRleDibHandle bounds reads by GlobalSize too.
HGLOBAL DecodeRleDib(const void* dib);
HGLOBAL DecodeRleDibHandle(HGLOBAL dib);
HGLOBAL ResizeDibCanvas(HGLOBAL dib, LONG width, LONG height);
HGLOBAL AdjustDibColor(HGLOBAL dib, int red, int green, int blue, double factor);

// Expands BI_RLE8 (bitCount 8) or BI_RLE4 (bitCount 4) data into zeroed bottom-up rows. Reads stop
// at srcBytes (missing end-of-bitmap means done); a run past a row or below the last row fails.
bool DecodeRlePixels(const BYTE* src, SIZE_T srcBytes, int bitCount, LONG width, LONG height, BYTE* rows,
                     DWORD rowBytes);

// The colour table of a 1, 4 or 8-bit DIB as 256 entries; indices past the stored colours are black.
void ReadDibPalette256(const void* dib, RGBQUAD table[256]);

// A DIB widened to 24 bits and locked for reading: the DIB itself when it is 24-bit already, else a
// copy freed with this object. get() is null when the DIB cannot be widened.
class LockedDib24
{
public:
    explicit LockedDib24(HGLOBAL dib) : m_dib(MakeDib24(dib)), m_copy(m_dib != dib ? m_dib : nullptr), m_lock(m_dib) {}
    const void* get() const { return m_lock.get(); }

private:
    HGLOBAL m_dib;
    GlobalBlock m_copy;
    DibLock m_lock;
};
