// BMP files: reading into and writing from packed DIBs. Every DIB read passes the validation of
// DibValidate.h (header sizes other than 12, 40, 52, 56, 108 and 124 are refused).
#pragma once

#include <windows.h>

class CFile;

// New DIB from the file's current position, or null for a short, foreign or refused file.
HGLOBAL ReadBmp(CFile* file);
HGLOBAL ReadBmpFile(const wchar_t* path);
// The 14-byte file header, then the whole block; false for a null handle, a failed lock or a
// file error. The path form removes a partly written file.
bool WriteBmp(CFile* file, HGLOBAL dib);
bool WriteBmpFile(const wchar_t* path, HGLOBAL dib);

HGLOBAL ReadBmpMemory(const BYTE* data, SIZE_T size);
// The 14-byte file header for a packed DIB: "BM", file size, pixel offset.
BITMAPFILEHEADER MakeBmpFileHeader(const void* dib);
