// The per-format workers behind CxImage: each decodes into a packed DIB or encodes a locked one
// into a malloc block. Formats without a worker yet (GIF and TIFF decoding, GIF encoding, JPEG
// 2000) are refused by CxImage with an error text.
#pragma once

#include <windows.h>

#include <cstdio>

struct CxEncodeResult
{
    BYTE* data = nullptr; // malloc block
    SIZE_T size = 0;
};

HGLOBAL CxDecodePng(const BYTE* data, SIZE_T size);
// option: 2 no compression, 4 fastest, 6 smallest, other values the default level; +1 interlaced.
bool CxEncodePng(const void* dib, DWORD option, CxEncodeResult* out);

// One TIFF page: the picture, its TIFF compression code (0 or 1 none, 5 LZW, 7 JPEG, 32773
// PackBits, 32946 or 8 Deflate; other codes are refused) and the quality of JPEG compression.
struct CxTiffPage
{
    HGLOBAL dib;
    DWORD compression;
    int jpegQuality;
};
bool CxEncodeTiff(const CxTiffPage* pages, int count, CxEncodeResult* out);
// Writes into an open file (read and write access: libtiff reads back while linking pages).
bool CxEncodeTiffToFile(const CxTiffPage* pages, int count, FILE* file);
