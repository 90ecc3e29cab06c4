// The general codec: decoding, information and encoding through the image library layer
// (CxImage) by format code.
#pragma once

#include "image/codecs/ImageFileBase.h"
#include "image/cximage/CxImage.h"

class ImgFile : public ImageFileBase
{
public:
    ImgFile() = default;
    ~ImgFile() override;

    // 0 decoded; 2 the library could not decode the data.
    int Decode() override;
    // 0 written; 3 the library could not write the picture.
    int SaveToFile() override;
    int SaveToMemory() override;
    // 0 read; 2 (no format code set) or 3 (a format code set) when the data do not decode.
    int ReadInfo() override;

    CxImage m_image;
    DWORD m_format = 0;   // CxImage format code; on decoding the one the library found
    int m_jpegScale = 1;  // reduction on JPEG decoding: below 2 none, at most 32
    DWORD m_quality = 90; // JPEG quality on encoding
    BYTE m_flag1 = 0;     // stored by the save helpers
    BYTE m_flag2 = 0;
    VyxMemoryHandle m_heldBlocks[16];
    int m_frame = 0;         // frame to decode
    int m_frameCount = 0;    // set by Decode / ReadInfo
    DWORD m_codecOption = 0; // the library's codec option for the format

private:
    void TakeFacts();
    bool PrepareEncoding();
};
