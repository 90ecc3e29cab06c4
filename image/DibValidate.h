// The one gate every DIB from outside the system passes (BMP files, plug-ins, codecs, the
// clipboard): afterwards a DIB has a 40-byte header, a positive height, a supported depth, no
// run-length compression and sizes that fit the block.
#pragma once

#include <windows.h>

// One picture's block, at most: 256 MiB. The program is a 32-bit process of 2 GB, which must keep
// its caches, a second picture and the passing copies a picture takes (a decoder's own copy, a
// turned or resized one) beside it: three such blocks and the program's own 300 MB or so still
// leave room to find them in a fragmented address space. That is 89 megapixels at 24 bits (a
// 61-megapixel camera photo, an A3 page scanned at 600 dpi), 67 at 32 bits and 268 at 8 bits;
// thumbnails of larger JPEG photos are decoded reduced and stay within it.
constexpr ULONGLONG kMaxDibBytes = 1ull << 28;

struct DibLayout
{
    DWORD rowBytes;
    DWORD tableBytes; // colours (4 bytes each) plus 12 bytes of masks for BI_BITFIELDS
    DWORD imageBytes;
    DWORD totalBytes;
};

// Checks a 40-byte header as the system keeps it (positive width and height, bit count 1, 4, 8,
// 16, 24 or 32, a compression that fits the depth, colours used within the depth, total below
// kMaxDibBytes); sizes are computed in 64 bits. RLE headers must carry their image size.
bool CheckDibHeader(const BITMAPINFOHEADER& header, DibLayout* layout = nullptr);
// Whether a picture of that size and depth may be made, by the same rule: asked before anything
// is allocated for it.
bool IsDibSizeAllowed(long long width, long long height, WORD bitCount);

// Writes to the log (WARNING) that a picture of that kind ("BMP", "GIF frame") was refused because
// its bytes cannot fill the size it declares.
void LogUnfillablePicture(const wchar_t* kind, ULONGLONG width, ULONGLONG height, ULONGLONG bytes);

// The most stored pixel bytes that dataBytes of rows may stand for: a picture cut short keeps
// its size, its missing rows zero, but not past 64 times what is there (or 1 MB).
ULONGLONG FillableImageBytes(ULONGLONG dataBytes);

// Builds a normalised copy of a packed DIB of any header kind (core, 40, 52, 56, V4, V5):
// top-down rows flipped, core tables widened, V4/V5 masks moved behind the header, RLE expanded.
// pixelOffset, when nonzero, is where the rows start (a BMP file's offset); rows missing from
// the data stay zero. Null when the DIB is refused, and before anything is allocated when its
// bytes cannot fill it: stored rows more than 64 times what the data hold (past 1 MB), run-length
// rows further down than the data's escapes reach (64 rows a byte) or, past 16 megapixels, more
// than 1,024 pixels a byte.
HGLOBAL NormalizeDib(const void* packed, SIZE_T bytes, SIZE_T pixelOffset = 0);

// The bytes a packed DIB of any header kind says it holds, counted from its header: header,
// masks and table, then its rows from pixelOffset when that lies past them (run-length data: its
// image size, or unbounded when that is 0). 0 when the header is refused. headerBytes holds at
// least the header's own size.
ULONGLONG PromisedDibBytes(const void* header, SIZE_T headerBytes, SIZE_T pixelOffset = 0);

// Takes ownership of a DIB from outside: returns it unchanged when already normal, else a
// normalised copy (the input freed), or null (the input freed) when it is refused.
HGLOBAL AdoptDib(HGLOBAL dib);
