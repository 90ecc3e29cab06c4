// The TIFF codec: one page of TIFF data in memory (or of an open file) into a packed DIB through
// libtiff, the page count and the size alone. It does not encode.
#pragma once

#include "image/codecs/ImageFileBase.h"

struct tiff;

class TiffFile : public ImageFileBase
{
public:
    TiffFile() = default;
    ~TiffFile() override = default;

    // 0 when page m_page was converted (m_dib set), 1 otherwise.
    int Decode() override;
    // Width, length and bits per sample x samples per pixel; 0 when the data open as a TIFF, else 1.
    int ReadInfo() override;
    int SaveToFile() override { return -1; }
    int SaveToMemory() override { return -1; }

    // Page counts (0 when the data do not open): of the mapped file, and of m_data.
    int CountPagesFile();
    int CountPages();

    DWORD m_page = 0;
    DWORD m_reserved = 0;
    // When set, Decode, ReadInfo and CountPages read this open file (the caller's) instead of
    // m_data: a file of any size, none of it held.
    HANDLE m_file = INVALID_HANDLE_VALUE;

private:
    tiff* Open() const;
};

int CountTiffDirectories(tiff* tif);
// A zero-filled DIB for a TIFF sample depth: 1 bit below 2, 4 up to 4, 8 up to 8, else 24.
HGLOBAL CreateDibForDepth(LONG width, LONG height, int depth);
