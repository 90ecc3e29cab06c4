// An off-screen drawing surface: a bitmap (as a rule a DIB section whose pixels can be addressed)
// selected into a memory device context. Views paint packed DIBs, fills and text into it, then
// copy it to the screen, or turn it into a packed DIB or a BMP file.
#pragma once

#include "framework/Framework.h"

class CDibSection
{
public:
    CDibSection() = default;
    ~CDibSection() { Destroy(); }
    CDibSection(const CDibSection&) = delete;
    CDibSection& operator=(const CDibSection&) = delete;

    // A surface of width x height at bitCount bits (palettes: a grey ramp), filled with colour
    // when it is not 0. A surface of the same size and depth is only filled, with any colour.
    // dc null: compatible with the display. The created flag; 0 for a 0 x 0 size.
    BYTE Create(CDC* dc, int width, int height, int bitCount, COLORREF colour);
    BYTE Create24(CDC* dc, int width, int height, COLORREF colour);
    // As Create, always building a new section.
    BYTE Recreate(CDC* dc, int width, int height, int bitCount, COLORREF colour);
    // An empty surface with the DIB's depth and colour table; 0 x 0 means the DIB's own size.
    BYTE CreateLikeDib(CDC* dc, HGLOBAL dib, int width, int height);
    // A device-dependent bitmap holding the DIB.
    BYTE CreateFromDib(CDC* dc, HGLOBAL dib);
    int Destroy();
    int ReleaseBitmap();
    int ReleaseMemDC();
    BOOL HasBitmap() const { return m_bitmap != nullptr; }

    // Block transfers of the surface to a target (false for a null target).
    bool Draw(CDC* target, int x, int y, DWORD rop = SRCCOPY);
    bool DrawAt(CDC* target, int x, int y, DWORD rop = SRCCOPY) { return Draw(target, x, y, rop); }
    bool DrawRect(CDC* target, int left, int top, int right, int bottom, int srcX, int srcY, DWORD rop = SRCCOPY);
    bool StretchDraw(CDC* target, int left, int top, int right, int bottom, DWORD rop = SRCCOPY);

    // Painting packed DIBs into a created surface.
    void PutDib(HGLOBAL dib, int x, int y, DWORD rop = SRCCOPY);
    void PutDibAt(HGLOBAL dib, int x, int y, DWORD rop = SRCCOPY) { PutDib(dib, x, y, rop); }
    void PutDibRect(HGLOBAL dib, const RECT& rect, DWORD rop = SRCCOPY);
    void PutDibSized(HGLOBAL dib, int width, int height, DWORD rop = SRCCOPY);
    // null: the whole surface (one pixel wider and higher); false when not created.
    bool Fill(const RECT* rect, COLORREF colour);

    CDC* GetMemDC() const { return m_memDC; }
    BYTE IsCreated() const { return m_created; }
    CSize GetSize() const;
    const void* GetBits() const { return m_bits; }

    // A new packed DIB of the surface (the caller frees it); null when there is none.
    HGLOBAL ToPackedDib();
    int LoadResourceBitmap(UINT id);
    int LoadBitmapAndDraw(CDC* target, UINT id, int x, int y, DWORD rop = SRCCOPY);
    int LoadBitmapAndStretch(CDC* target, UINT id, const RECT& rect, DWORD rop = SRCCOPY);
    // BMP files: 0 done, -1 failed (a failed save leaves no file behind).
    int LoadBmp(CFile* file, CDC* dc);
    int LoadBmpFile(LPCWSTR path, CDC* dc);
    int SaveBmp(CFile* file);
    int SaveBmpFile(LPCWSTR path);
    // Makes this surface the 1-bit mask of a 1, 4 or 8-bit DIB: 0 where a pixel has the colour
    // (a colour -(k + 1) means palette index k), 1 elsewhere. 1, or 0 without memory.
    int MakeMask(HGLOBAL dib, COLORREF colour);
    // Paints the DIB into the surface at (x, y) leaving out the mask colour. 0.
    int DrawDibMasked(HGLOBAL dib, COLORREF maskColour, int x, int y);

    BYTE m_created = 0;
    int m_bitCount = 0;
    CDC* m_memDC = nullptr;
    BYTE m_dcMade = 0;
    HBITMAP m_bitmap = nullptr;
    BYTE* m_header = nullptr; // BITMAPINFOHEADER and colour table (new[])
    void* m_bits = nullptr;

private:
    HGDIOBJ m_defaultBitmap = nullptr; // the memory DC's own bitmap, put back before ours is deleted

    bool BuildSection(CDC* dc, int width, int height, int bitCount, const RGBQUAD* table);
    bool MakeMemDC(CDC* dc);
    bool EnsureMemDC(CDC* target);
    void ReleaseHeader();
};

// Paints a palette DIB at (x, y) on the target with one colour left out (see MakeMask).
void PaintDibTransparent(CDC* target, HGLOBAL dib, COLORREF colour, int x, int y);
