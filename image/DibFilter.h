// Point and neighbourhood filters on packed DIBs: grey conversion, unsharp masking and kernel
// sharpening, mirroring, an edge filter and colour inversion. All but FlipDib return a new DIB
// (null when it cannot be made); FlipDib works in place.
#pragma once

#include <windows.h>

// A new 8-bit grey DIB (grey = trunc(0.299 R + 0.587 G + 0.114 B)); the input itself when the new
// DIB cannot be allocated.
HGLOBAL ConvertDibToGray(HGLOBAL dib);
// 24-bit DIBs only; other depths come back as an unchanged copy.
HGLOBAL UnsharpMaskDib(HGLOBAL dib, double factor);
// weights: size x size integers, or null for the four direct neighbours (size 3).
HGLOBAL SharpenDibKernel(HGLOBAL dib, double factor, int size, const int* weights);
// flag 0 top-bottom, otherwise left-right; returns dib.
HGLOBAL FlipDib(HGLOBAL dib, int flag);
HGLOBAL EdgeDib(HGLOBAL dib);
HGLOBAL InvertDib(HGLOBAL dib);
