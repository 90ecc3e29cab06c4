// Packed DIBs: one movable global block holding a bitmap header, its colour table and bottom-up
// pixel rows padded to 4 bytes. Header accessors, creation, copying and colour-table entries.
#pragma once

#include <windows.h>

// Header kinds by header size: 2 core, 3 BITMAPINFOHEADER, 4 version 4, 5 version 5, 0 unknown.
int GetDibHeaderKind(const void* dib);
DWORD DibHeaderSize(const void* dib);

LONG DibWidth(const void* dib);
LONG DibHeight(const void* dib);
WORD DibBitCount(const void* dib);
DWORD DibCompression(const void* dib);
DWORD DibRowSize(const void* dib);
DWORD DibColorCount(const void* dib);
// Colour-table bytes as stored: 3 a colour for core (and unknown) headers, else 4 a colour plus 12 bytes of masks
// for BI_BITFIELDS.
DWORD DibColorTableSize(const void* dib);
// The same table counted in 4-byte entries whatever the header kind.
DWORD DibQuadTableSize(const void* dib);
DWORD DibImageSize(const void* dib);
DWORD DibTotalSize(const void* dib);
BYTE* DibBits(void* dib);
const BYTE* DibBits(const void* dib);
BYTE* DibBitsPtr(void* dib);
const BYTE* DibBitsPtr(const void* dib);
DWORD CalcDibImageSize(LONG width, LONG height, WORD bitCount);

// Handle forms: lock, read, unlock; 0 for a null handle or a failed lock.
LONG GetDibWidth(HGLOBAL dib);
LONG GetDibHeight(HGLOBAL dib);
WORD GetDibBitCount(HGLOBAL dib);
DWORD GetDibImageSize(HGLOBAL dib);
DWORD GetDibTotalSize(HGLOBAL dib);

// A new zero-filled block for the 40-byte header given (refused when the header fails the checks
// of DibValidate.h); tables of 8 bits or fewer get a grey ramp.
HGLOBAL CreateDibFromHeader(const void* header);
// A new DIB of the given size and depth with a 40-byte header (no colour table above 8 bits).
HGLOBAL CreateDib(LONG width, LONG height, WORD bitCount);
HGLOBAL CopyGlobal(HGLOBAL block);

COLORREF GetDibColorEntry(const void* dib, int index);
void SetDibColorEntry(COLORREF color, void* dib, int index);

// Scoped lock of a global block.
class DibLock
{
public:
    explicit DibLock(HGLOBAL block) : m_block(block), m_data(block ? GlobalLock(block) : nullptr) {}
    ~DibLock()
    {
        if (m_data)
            GlobalUnlock(m_block);
    }
    DibLock(const DibLock&) = delete;
    DibLock& operator=(const DibLock&) = delete;
    BYTE* get() const { return static_cast<BYTE*>(m_data); }
    BITMAPINFOHEADER* header() const { return static_cast<BITMAPINFOHEADER*>(m_data); }
    explicit operator bool() const { return m_data != nullptr; }

private:
    HGLOBAL m_block;
    void* m_data;
};

// Owns a global block until released.
class GlobalBlock
{
public:
    explicit GlobalBlock(HGLOBAL block = nullptr) : m_block(block) {}
    ~GlobalBlock()
    {
        if (m_block)
            GlobalFree(m_block);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL get() const { return m_block; }
    HGLOBAL release()
    {
        HGLOBAL block = m_block;
        m_block = nullptr;
        return block;
    }
    void reset(HGLOBAL block = nullptr)
    {
        if (m_block && m_block != block)
            GlobalFree(m_block);
        m_block = block;
    }
    explicit operator bool() const { return m_block != nullptr; }

private:
    HGLOBAL m_block;
};
