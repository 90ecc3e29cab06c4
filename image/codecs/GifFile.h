// The GIF codec: this system's own reader of GIF87a and GIF89a data. It decodes one frame's LZW
// data into a packed DIB of 1, 4 or 8 bits with a 1-bit transparency mask, and reads the size and
// the comment without decoding.
#pragma once

#include "image/codecs/ImageFileBase.h"

#include <vector>

class GifFile : public ImageFileBase
{
public:
    GifFile();
    ~GifFile() override;

    // Decodes frame m_frameIndex from m_data. 0 success (LZW data that end early still give a
    // picture); 1 not a GIF, a code size above 11, or a frame wholly outside its screen; 2 the data
    // end inside the headers; 3 no image where one is expected (also past the last frame); 4 the
    // LZW stack would overflow, the frame has more rows than its data could fill, or the picture
    // cannot be allocated. The frame is clipped to the logical screen: m_frameWidth and
    // m_frameHeight give what was kept.
    int Decode() override;
    int DecodeMemory(const BYTE* data, DWORD size);
    // Size of the logical screen (or of the first image), bit count and the comment (held in
    // m_held). 0; -6 when nothing follows the headers and the global table.
    int ReadInfo() override;

    int m_frameIndex = 0;
    int m_workFrame = 0;
    const BYTE* m_gifData = nullptr;
    DWORD m_gifSize = 0;
    DWORD m_pos = 0;
    int m_frameLeft = 0;
    int m_frameTop = 0;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_colorBits = 0;
    int m_background = -1;
    BOOL m_tableRead = FALSE;
    DWORD m_red[256] = {};
    DWORD m_green[256] = {};
    DWORD m_blue[256] = {};
    BOOL m_greyTable = FALSE;
    WORD m_delay = 0; // hundredths of a second
    int m_transparent = -1;
    int m_disposal = 0;
    // Interlace state.
    int m_curX = 0;
    int m_curRow = 0;
    int m_rowStep = 1;
    int m_pass = 0;
    DWORD m_pixelOffset = 0;
    DWORD m_maskOffset = 0;
    std::vector<BYTE> m_mask; // (kept width + 7) / 8 bytes a row, bit set = opaque
    COLORREF m_transparentColor = 0;
    HGLOBAL m_maskDib = nullptr; // 1-bit, white = opaque; freed by the destructor
    // The logical screen, which animated frames are placed on.
    int m_screenWidth = 0;
    int m_screenHeight = 0;

private:
    void ResetState();
    int ParseHeaders();
    int SkipExtensionsAndImage();
    int ReadWantedExtensions();
    bool ReadColorTable(int entries);
    bool SkipSubBlocks();
    int DecodeLzw();
    void StorePixel(int index);
    // The DIB of the kept part, its table filled and its rows at index 0.
    HGLOBAL CreateFrameDib();
    int BuildMask();

    // The part of the frame inside the screen, which the indices are stored into (bottom-up rows
    // of the DIB being decoded).
    int m_keptWidth = 0;
    int m_keptHeight = 0;
    int m_dibBits = 1;
    BYTE* m_bits = nullptr;
    DWORD m_rowBytes = 0;
};

// The number of images in GIF data (0 when the data are not a GIF).
int CountGifFrames(const BYTE* data, DWORD size);
