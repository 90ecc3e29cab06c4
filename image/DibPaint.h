// Painting packed DIBs on device contexts, their palettes, and conversion between DIBs and
// device-dependent bitmaps and metafiles. Source rectangles count rows from the bottom of the
// picture, as the platform does for bottom-up DIBs.
#pragma once

#include <windows.h>

class CDC;
class CPalette;
class CBitmap;

// Bits per pixel times planes of the display.
int GetScreenBitDepth();

// A logical palette of the DIB's colour table attached to the CPalette, or the stock default
// palette when the DIB has no colours; false for a null handle or no memory.
bool CreateDibPalette(HGLOBAL dib, CPalette* palette);

HGLOBAL DdbToDib(CBitmap* bitmap, CPalette* palette, CDC* dc);
// bitCount 0 takes the bitmap's own depth; a null palette means the stock default palette.
HGLOBAL BitmapToDib(HBITMAP bitmap, DWORD compression, WORD bitCount, HPALETTE palette);
HGLOBAL BitmapToDibOnDc(HDC dc, HBITMAP bitmap, DWORD compression);
// Makes a compatible bitmap of the rectangle's size holding that part of the DIB.
BOOL DibToDdb(CBitmap* bitmap, CPalette* palette, CDC* dc, HGLOBAL dib, int left, int top, int right, int bottom);
// A new 16-byte METAFILEPICT block holding a metafile that draws the DIB.
HGLOBAL DibToMetafilePict(HGLOBAL dib, CDC* dc);
// The DIB's size in 0.01 mm (the dc's MM_HIMETRIC conversion).
void GetDibLogicalSize(HGLOBAL dib, CDC* dc, LONG* width, LONG* height);

void PaintDibStretchPtr(CDC* dc, int x, int y, int width, int height, const void* dib, int srcX, int srcY, int srcWidth,
                        int srcHeight, DWORD rop = SRCCOPY);
void PaintDibRectPtr(CDC* dc, int left, int top, int right, int bottom, int srcLeft, int srcTop, int srcRight,
                     int srcBottom, const void* dib, DWORD rop = SRCCOPY);
void PaintDibRect(CDC* dc, int left, int top, int right, int bottom, int srcLeft, int srcTop, int srcRight,
                  int srcBottom, HGLOBAL dib, DWORD rop = SRCCOPY);
void PaintDibIntoPtr(CDC* dc, int left, int top, int right, int bottom, const void* dib, DWORD rop = SRCCOPY);
void PaintDib(CDC* dc, RECT rect, HGLOBAL dib, DWORD rop = SRCCOPY);
void PaintDibAtPtr(CDC* dc, int x, int y, const void* dib);
void PaintDibAt(CDC* dc, int x, int y, HGLOBAL dib);
void PaintDibBits(CDC* dc, int left, int top, int right, int bottom, HGLOBAL header, const void* bits,
                  DWORD rop = SRCCOPY);
BOOL PaintDibToHdc(HDC dc, const RECT* dest, HGLOBAL dib, const RECT* src, CPalette* palette);
// Paints single rows in passes (rows p, p + step, ...), or at once for fewer than one pass.
void PaintDibInterlacedPtr(CDC* dc, int x, int y, const void* dib, int passes);
void PaintDibInterlaced(CDC* dc, int x, int y, HGLOBAL dib, int passes);
// Paints in horizontal bands of about bandHeight destination rows, or at once.
void PaintDibBanded(CDC* dc, int bandHeight, int left, int top, int right, int bottom, HGLOBAL dib);
