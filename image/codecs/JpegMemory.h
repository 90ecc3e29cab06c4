// libjpeg glue shared by the JPEG codec and the CxImage layer: the error manager that returns by a
// long jump, a memory source, a growable memory destination, scaled decoding into a 24-bit packed
// DIB and encoding of a 24-bit DIB. libjpeg's RGB order is set to blue, green, red so rows go to
// and from DIB rows unchanged.
#pragma once

#include "image/codecs/JpegMetadata.h"

#include <windows.h>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// Library errors never escape: the error exit formats the message, sets the process-wide flag and
// jumps back to the operation, which destroys the library object.
struct JpegErrorManager
{
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};
jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager* manager);
extern int g_jpegErrorFlag;

// Reads the data in place; past the end it warns and supplies an end-of-image marker, so truncated
// pictures decode with their missing rows filled by the library.
void InstallJpegMemorySource(j_decompress_ptr cinfo, const BYTE* data, SIZE_T size);

// Caps libjpeg's own working memory (progressive coefficient buffers) for hostile headers.
void LimitJpegMemory(j_common_ptr cinfo);

// The libjpeg scale denominator for a reduction: the largest power of two not above it, at most 8.
int JpegScaleDenominator(int reduction);

// Told how far a decode has come (done of total, across the library's passes); answering true
// stops the decode.
struct JpegDecodeProgress
{
    bool (*report)(long done, long total, void* context);
    void* context;
};

// Decodes to a 24-bit packed DIB (grey pictures too): 0 success, 1 library error, 2 the DIB could
// not be made (including pictures refused as too large, and pictures wider or taller than
// largest, when given, before scaling), 3 stopped by the progress report (nothing is kept).
int JpegDecodeDib(const BYTE* data, SIZE_T size, int reduction, HGLOBAL* dib,
                  const JpegDecodeProgress* progress = nullptr, const SIZE* largest = nullptr);

// The picture's size from its header alone; false when the header cannot be read.
bool JpegReadSize(const BYTE* data, SIZE_T size, LONG* width, LONG* height);

struct JpegEncodeSettings
{
    int quality = 90;
    bool grey = false;
    bool progressive = false;
    // Segments written after the start of the picture (those the metadata keeps with the pixels);
    // its Exif segment, when there is one, comes first, in place of the JFIF header.
    const JpegMetadata* metadata = nullptr;
};

// Encodes a locked 24-bit DIB. To memory: *data is a malloc block the caller frees with free().
// Results: 0 success, 1 library error (nothing kept).
int JpegEncodeToMemory(const void* dib24, const JpegEncodeSettings& settings, BYTE** data, SIZE_T* size);
// To a file, written beside the one at the path and put in its place only when whole: 0 written,
// -1 no file could be made, 1 a library error or a failed write (a file that was there stays as
// it was, and nothing is left beside it).
int JpegEncodeToFile(const void* dib24, const JpegEncodeSettings& settings, const wchar_t* path);
