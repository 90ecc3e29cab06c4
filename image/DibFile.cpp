#include "image/DibFile.h"

#include "image/DibCore.h"
#include "image/DibValidate.h"

#include <cstring>

namespace {

constexpr WORD kBmpType = 0x4D42; // "BM"

} // namespace

HGLOBAL ReadBmpMemory(const BYTE* data, SIZE_T size)
{
    if (!data || size < sizeof(BITMAPFILEHEADER))
        return nullptr;
    BITMAPFILEHEADER fileHeader;
    std::memcpy(&fileHeader, data, sizeof(fileHeader));
    if (fileHeader.bfType != kBmpType)
        return nullptr;
    // The pixel offset counts only when it points past the header and table (NormalizeDib checks).
    SIZE_T pixelOffset = fileHeader.bfOffBits >= sizeof(fileHeader) ? fileHeader.bfOffBits - sizeof(fileHeader) : 0;
    return NormalizeDib(data + sizeof(fileHeader), size - sizeof(fileHeader), pixelOffset);
}

BITMAPFILEHEADER MakeBmpFileHeader(const void* dib)
{
    BITMAPFILEHEADER header = {};
    header.bfType = kBmpType;
    header.bfSize = DibTotalSize(dib) + sizeof(header);
    header.bfOffBits = sizeof(header) + DibHeaderSize(dib) + DibColorTableSize(dib);
    return header;
}
