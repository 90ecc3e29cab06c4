// Byte counts of pixel rows and images in 64 bits, the one place they are computed: sizes come from
// files, plug-ins, settings and headers and are never trusted to fit 32 bits.
#pragma once

#include <windows.h>

// One row padded to 4 bytes; 0 for a width below 1 or no bits. A count past 64 bits saturates.
ULONGLONG PixelRowBytes(LONGLONG width, unsigned bitCount);
// rows rows of that width; 0 for rows below 1. Saturates at ~0ull instead of wrapping.
ULONGLONG PixelImageBytes(LONGLONG width, LONGLONG rows, unsigned bitCount);
// a * b, saturating at ~0ull.
ULONGLONG SaturatedProduct(ULONGLONG a, ULONGLONG b);
// a + b, saturating at ~0ull.
ULONGLONG SaturatedSum(ULONGLONG a, ULONGLONG b);
