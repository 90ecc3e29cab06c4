// JPEG side of the image library: the Exif reader, which fills a camera-facts record from one
// Exif block (a whole JPEG stream, APP1 data starting "Exif", or a bare TIFF-structured block).
#pragma once

#include "image/cximage/CxImage.h"
#include "image/cximage/CxMemFile.h"

#define MAX_COMMENT 1000

// Camera facts; texts are 8-bit and NUL-terminated, numbers 0 while absent.
struct tag_ExifInfo
{
    char Version[5];
    char CameraMake[32];
    char CameraModel[40];
    char DateTime[20];
    int Height, Width;
    int Orientation;
    int IsColor;
    int Process;
    int FlashUsed;
    float FocalLength;
    float ExposureTime;
    float ApertureFNumber;
    float Distance;
    float CCDWidth;
    float ExposureBias;
    int Whitebalance;
    int MeteringMode;
    int ExposureProgram;
    int ISOequivalent;
    int CompressionLevel;
    float FocalplaneXRes;
    float FocalplaneYRes;
    float FocalplaneUnits;
    float Xresolution;
    float Yresolution;
    float ResolutionUnit;
    float Brightness;
    char Comments[MAX_COMMENT];
    bool IsExif;
};
typedef tag_ExifInfo EXIFINFO;

#define EXIF_READ_EXIF 0x1
#define EXIF_READ_IMAGE 0x2
#define EXIF_READ_ALL 0x3

class CxImageJPG : public CxImage
{
public:
    CxImageJPG() : CxImage(CXIMAGE_FORMAT_JPG) {}

    class CxExifInfo
    {
    public:
        // With a null record the reader fills a record of its own.
        explicit CxExifInfo(EXIFINFO* info = nullptr);
        // Reads from the file's position to its end; true when Exif data were found. The record
        // is cleared first.
        bool DecodeExif(CxMemFile* file, int flags = EXIF_READ_EXIF);

        EXIFINFO* m_exifinfo;
        char m_szLastError[256];

    private:
        EXIFINFO m_own;
    };
};
