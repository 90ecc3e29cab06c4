// The per-format workers behind CxImage: each decodes into a packed DIB or encodes a locked one
// into a malloc block. GIF and TIFF decoding go through the codecs GifFile and TiffFile.
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

// A multi-page TIFF written page by page into an open file ("w+b"), so that no page waits in
// memory for the others: each page's picture may be freed as soon as it is added.
class CxTiffPageWriter
{
public:
    CxTiffPageWriter() = default;
    ~CxTiffPageWriter();
    CxTiffPageWriter(const CxTiffPageWriter&) = delete;
    CxTiffPageWriter& operator=(const CxTiffPageWriter&) = delete;

    bool Open(FILE* file);
    // False, and every later page refused, once a page could not be written.
    bool AddPage(const CxTiffPage& page);
    // Ends the file (the file stays open, the caller's); true when it holds every page added.
    bool Close();
    int GetPageCount() const { return m_pages; }

private:
    struct tiff* m_tif = nullptr;
    FILE* m_file = nullptr;
    int m_pages = 0;
    bool m_ok = false;
};

// A 1, 4 or 8-bit DIB with a 40-byte header as a GIF89a file (one LZW-coded image).
bool CxEncodeGif(const void* dib, CxEncodeResult* out);

// JPEG 2000 (JP2 files and bare codestreams) through OpenJPEG; null when the data are refused.
HGLOBAL CxDecodeJp2(const BYTE* data, SIZE_T size);
// A JP2 file of the picture (widened to 24 bits); quality 100 or more is lossless.
bool CxEncodeJp2(HGLOBAL dib, int quality, CxEncodeResult* out);
