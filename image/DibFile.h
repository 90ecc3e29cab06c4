// BMP files: reading into and writing from packed DIBs. Every DIB read passes the validation of
// DibValidate.h (header sizes other than 12, 40, 52, 56, 108 and 124 are refused).
#pragma once

#include <windows.h>

HGLOBAL ReadBmpMemory(const BYTE* data, SIZE_T size);
// The 14-byte file header for a packed DIB: "BM", file size, pixel offset.
BITMAPFILEHEADER MakeBmpFileHeader(const void* dib);
