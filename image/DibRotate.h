// Turning packed DIBs: by any angle, by quarter turns, and the nearest-pixel turn-and-scale.
// Results keep the bit count and colour table; the input itself comes back when there is nothing
// to do or no memory (callers compare before freeing).
#pragma once

#include <windows.h>

HGLOBAL RotateDib(HGLOBAL dib, double angle);
HGLOBAL RotateResizeDib(HGLOBAL dib, LONG width, LONG height, double angle);
// Quarter turns of 1, 4, 8 and 24-bit DIBs (other depths come back zero-filled); null when the
// result cannot be allocated.
HGLOBAL RotateDib90(HGLOBAL dib);
HGLOBAL RotateDib180(HGLOBAL dib);
HGLOBAL RotateDib270(HGLOBAL dib);

// Rows counted from the top; 0 outside the picture or for depths other than 1, 4, 8 and 24.
DWORD GetDibPixel(const void* dib, LONG x, LONG y);
void SetDibPixel(void* dib, LONG x, LONG y, DWORD value);

// True when angle is a multiple of 90 by the library's test (a remainder just above it counts).
bool IsQuarterTurn(double angle);
// The shortcuts of the turn-and-scale functions: true with *result set when the angle is a quarter
// turn that needs no resampling (the input itself, or RotateDib of it).
bool QuarterTurnShortcut(HGLOBAL dib, LONG width, LONG height, double angle, HGLOBAL* result);
// A zero-filled DIB of the given size with the source's header fields, depth and colour table.
HGLOBAL CreateDibLike(const void* dib, LONG width, LONG height);
