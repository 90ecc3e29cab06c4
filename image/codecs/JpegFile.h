// The JPEG codec on libjpeg: decoding (optionally reduced), reading the header with the comment
// and the application markers, and encoding to memory or a file.
#pragma once

#include "image/codecs/ImageFileBase.h"
#include "image/codecs/JpegStart.h"

class JpegFile : public ImageFileBase
{
public:
    JpegFile() = default;
    ~JpegFile() override;

    // 0 decoded; 1 a library error; 2 the DIB could not be made.
    int Decode() override;
    // 0 read (size, depth, the comment in m_held, APPn data in m_markers[n]); 1 a library error.
    int ReadInfo() override;
    // 0 encoded; 1 a library error (or nothing to encode).
    int SaveToMemory() override;
    // 0 written; -1 the file cannot be created; 1 a library error or a failed write (a file that was
    // there stays as it was).
    int SaveToFile() override;

    BOOL m_findStart = FALSE;
    VyxMemoryHandle m_markers[16];
    int m_scale = 1;
    int m_quality = 90;
    BYTE m_grey = 0;
    BYTE m_progressive = 0;

private:
    const BYTE* StreamStart(DWORD* size) const;
};
