// TIFF side of the image library: multi-page writing of several pictures into one open file.
#pragma once

#include "image/cximage/CxImage.h"

#include <cstdio>

class CxImageTIF : public CxImage
{
public:
    CxImageTIF() : CxImage(CXIMAGE_FORMAT_TIF) {}

    // Writes each picture as one page, compressed by the page's own TIFF codec option (this
    // object's when the page has none) into a file opened for reading and writing ("w+b").
    bool Encode(FILE* file, CxImage** pages, int pageCount);
};
